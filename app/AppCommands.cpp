#include "AppCommands.h"

#include "AtomicWrite.h"
#include "DataFormat.h"
#include "EmbeddedRecord.h"
#include "EquilibriaDialog.h"
#include "LegendOverlay.h"
#include "FigureWriter.h"
#include "MasterViewController.h"
#include "RunReplacement.h"
#include "MyOpenGLView.h"
#include "PhasePlaneFigure.h"
#include "PhasePlaneTraces.h"
#include "ReadoutFormat.h"
#include "SaveFileDialog.h"
#include "StartupFigure.h"
#include "TimeSeriesChart.h"
#include "PhasePlaneExport.h"

#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMessageBox>
#include <QPainter>

namespace {

const QString kSaveImageTitle = QStringLiteral("Save Plot Image");
const QString kExportTitle = QStringLiteral("Export Samples");
const QString kExportTracesTitle = QStringLiteral("Export Traces");
const QString kSaveFigureTitle = QStringLiteral("Save Figure");
const QString kSaveChartTitle = QStringLiteral("Save Chart");

cosmophase::SampleColumns columnsOf(const MasterViewController& controller)
{
    return {controller.z2Array(), controller.w0Array(), controller.w2Array(), controller.timeArray()};
}

} // namespace

AppCommands::AppCommands(const MasterViewController& controller, const cosmophase::PhasePlaneTraces& traces,
                         const LegendOverlay& legend, QWidget* dialogParent, QObject* parent)
    : QObject(parent)
    , m_controller(controller)
    , m_traces(traces)
    , m_legend(legend)
    , m_dialog_parent(dialogParent)
    , m_path_prompt([dialogParent](const QString& caption, const QString& suggested,
                                   const QString& filter) {
        return askSavePath(dialogParent, caption, suggested, filter);
    })
    , m_error_sink([dialogParent](const QString& title, const QString& text) {
        QMessageBox::warning(dialogParent, title, text);
    })
    , m_last_folder(QDir::homePath())
{
}

bool AppCommands::savePlotImage(const QString& path)
{
    const QImage image = m_controller.openGLView()->grabFramebuffer();
    if (image.isNull()) {
        reportWriteFailure(kSaveImageTitle, path, tr("the plot has not been drawn yet"));
        return false;
    }
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
        reportWriteFailure(kSaveImageTitle, path, tr("the image could not be encoded as PNG"));
        return false;
    }
    if (const std::string record = pictureRecord(); !record.empty())
        png = QByteArray::fromStdString(cosmophase::withEmbeddedRecord(png.toStdString(), record));
    // The same writer as the samples: it refuses devices and folders (a
    // rename would replace a device node such as /dev/full), and a failed
    // write leaves neither a partial PNG nor a temporary file.
    const cosmophase::WriteResult result = cosmophase::writeFileAtomically(
        QFile::encodeName(path).toStdString(), png.toStdString());
    return reported(kSaveImageTitle, tr("The plot image was not saved."), result);
}

bool AppCommands::exportSamples(const QString& path)
{
    const cosmophase::WriteResult result = cosmophase::writeFileAtomically(
        QFile::encodeName(path).toStdString(), cosmophase::samplesCsv(columnsOf(m_controller)));
    return reported(kExportTitle, tr("The samples were not exported."), result);
}

bool AppCommands::exportTraces(const QString& path)
{
    const cosmophase::WriteResult result = cosmophase::writeFileAtomically(
        QFile::encodeName(path).toStdString(), cosmophase::tracesCsv(m_traces.traces()));
    return reported(kExportTracesTitle, tr("The traces were not exported."), result);
}

bool AppCommands::saveFigure(const QString& path)
{
    MyOpenGLView& view = *m_controller.openGLView();
    // The axes are drawn by the frame around the view, in its font.
    const QWidget* axes = view.parentWidget() ? view.parentWidget() : &view;
    const PhasePlaneFigure figure(view.shownContent(), view.width(), axes->font(), view.plotWindow(),
                                  m_legend.isShownOnPlot(), &view.runCurves());
    const cosmophase::WriteResult result = cosmophase::writeFigure(
        path, figure.size(), [&figure](QPainter& painter) { figure.paint(painter); },
        cosmophase::figureTitle(QStringLiteral("Cosmophase phase plane"),
                                m_controller.additions().runs().parameters()),
        pictureRecord());
    return reported(kSaveFigureTitle, tr("The figure was not saved."), result);
}

bool AppCommands::saveChart(const QString& path)
{
    const TimeSeriesChart& chart = *m_controller.additions().timeSeriesChart();
    const cosmophase::WriteResult result = cosmophase::writeFigure(
        path, chart.currentPlotSize(), [&chart](QPainter& painter) { chart.renderCurrentPlot(painter); },
        cosmophase::figureTitle(QStringLiteral("Cosmophase time series"),
                                m_controller.additions().runs().parameters()),
        pictureRecord());
    return reported(kSaveChartTitle, tr("The chart was not saved."), result);
}

std::string AppCommands::pictureRecord() const
{
    if (!m_session_source)
        return {};
    return cosmophase::sessionRecordText(m_session_source(), cosmophase::samplesDigest(columnsOf(m_controller)));
}

QString AppCommands::readoutRow() const
{
    const std::int32_t index = m_controller.simIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= m_controller.timeArray().size())
        return {};
    const auto at = static_cast<std::size_t>(index);
    return QString::fromStdString(cosmophase::readoutRow(index, m_controller.timeArray()[at],
                                                         m_controller.z2Array()[at],
                                                         m_controller.w0Array()[at],
                                                         m_controller.w2Array()[at]));
}

QString AppCommands::aboutText() const
{
    const std::string digest = cosmophase::samplesDigest(columnsOf(m_controller));
    return tr("Cosmophase %1\n\nPhase-plane explorer for a four-variable cosmological model.\n\n"
              "Reproducibility digest of this run:\n%2")
        .arg(QStringLiteral(COSMOPHASE_VERSION), QString::fromStdString(digest));
}

void AppCommands::promptAndSave(const QString& caption, const QString& fileName, const QString& filter,
                                bool (AppCommands::*save)(const QString&))
{
    const QString path = m_path_prompt(caption, QDir(m_last_folder).filePath(fileName), filter);
    if (path.isEmpty())
        return;
    rememberFolderOf(path);
    if ((this->*save)(path))
        emit saved(path);
}

bool AppCommands::saveAs(const QString& caption, const QString& fileName, const QString& filter,
                         const QString& notSaved, const Writer& write)
{
    const QString path = m_path_prompt(caption, QDir(m_last_folder).filePath(fileName), filter);
    if (path.isEmpty())
        return false;
    rememberFolderOf(path);
    if (!reported(caption, notSaved, write(path)))
        return false;
    emit saved(path);
    return true;
}

void AppCommands::rememberFolderOf(const QString& path)
{
    m_last_folder = QFileInfo(path).absolutePath();
}

void AppCommands::savePlotImageAs()
{
    promptAndSave(kSaveImageTitle, QStringLiteral("cosmophase-plot.png"), tr("PNG images (*.png)"),
                  &AppCommands::savePlotImage);
}

void AppCommands::exportSamplesAs()
{
    promptAndSave(kExportTitle, QStringLiteral("cosmophase-samples.csv"), tr("CSV files (*.csv)"),
                  &AppCommands::exportSamples);
}

void AppCommands::exportTracesAs()
{
    promptAndSave(kExportTracesTitle, QStringLiteral("cosmophase-traces.csv"), tr("CSV files (*.csv)"),
                  &AppCommands::exportTraces);
}

void AppCommands::saveFigureAs()
{
    promptAndSave(kSaveFigureTitle, QStringLiteral("cosmophase-figure.svg"), cosmophase::figureFileFilter(),
                  &AppCommands::saveFigure);
}

void AppCommands::saveChartAs()
{
    promptAndSave(kSaveChartTitle, QStringLiteral("cosmophase-chart.svg"), cosmophase::figureFileFilter(),
                  &AppCommands::saveChart);
}

void AppCommands::copyReadouts()
{
    QGuiApplication::clipboard()->setText(readoutRow());
}

void AppCommands::showAbout()
{
    QMessageBox::about(m_dialog_parent, tr("About Cosmophase"), aboutText());
}

void AppCommands::showEquilibria()
{
    if (!m_equilibria)
        m_equilibria = new EquilibriaDialog(m_dialog_parent);
    m_equilibria->show();
    m_equilibria->raise();
    m_equilibria->activateWindow();
}

bool AppCommands::reported(const QString& title, const QString& notSaved, const cosmophase::WriteResult& result)
{
    // The writer's message already names the path and the reason.
    if (!result.ok)
        m_error_sink(title, notSaved + QLatin1Char('\n') + QString::fromStdString(result.error));
    else if (!result.warning.empty())
        m_error_sink(title, QString::fromStdString(result.warning));
    return result.ok;
}

void AppCommands::reportWriteFailure(const QString& title, const QString& path, const QString& reason)
{
    m_error_sink(title, tr("Could not write \u201c%1\u201d: %2.").arg(QDir::toNativeSeparators(path), reason));
}
