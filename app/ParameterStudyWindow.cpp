#include "ParameterStudyWindow.h"

#include "AppCommands.h"
#include "AtomicWrite.h"
#include "FigureWriter.h"
#include "ParameterStudy.h"
#include "StudyCharts.h"
#include "StudyGridForm.h"
#include "SweepFormat.h"

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

using cosmophase::studies::PresentDayValues;
using cosmophase::studies::StudyPoint;

const QString kSaveCsvTitle = QStringLiteral("Export Study");
const QString kSaveFigureTitle = QStringLiteral("Save Study Figure");
constexpr int kSavedMessageMs = 8000;

// What the plots show of the points a log axis of 1 - q can place, and
// which points those are.
StudyCurves curvesOf(const std::vector<StudyPoint>& points, std::vector<std::size_t>& plotted)
{
    StudyCurves curves;
    plotted.clear();
    const auto append = [&curves](auto& to, const std::optional<PresentDayValues>& values) {
        const double nan = std::nan("");
        to[StudyCurves::Age].push_back(values ? values->elapsedYears / 1e9 : nan);
        to[StudyCurves::Q0].push_back(values ? values->q0 : nan);
        to[StudyCurves::Xi0].push_back(values ? values->xi0 : nan);
        to[StudyCurves::DensityRatio].push_back(values ? values->densityRatio : nan);
    };
    for (std::size_t i = 0; i < points.size(); ++i) {
        const StudyPoint& point = points[i];
        const double distance = 1.0 - point.parameters.q;
        if (!(distance > 0))
            continue;
        plotted.push_back(i);
        curves.distance.push_back(distance);
        append(curves.run, point.run);
        append(curves.reference, point.reference);
    }
    return curves;
}

} // namespace

ParameterStudyWindow::ParameterStudyWindow(AppCommands& commands, QWidget* parent)
    : QDialog(parent)
    , m_commands(commands)
    , m_study(new ParameterStudy(this))
    , m_grid(new StudyGridForm(kMaxPoints, this))
    , m_charts(new StudyCharts(this))
    , m_temperature(new QLabel(this))
    , m_compute(new QPushButton(tr("Compute"), this))
    , m_progress(new QProgressBar(this))
    , m_cancel(new QPushButton(tr("Cancel"), this))
    , m_export_csv(new QPushButton(tr("Export CSV\u2026"), this))
    , m_save_figure(new QPushButton(tr("Save Figure\u2026"), this))
    , m_show_in_plane(new QPushButton(tr("Show in &Phase Plane"), this))
    , m_status_bar(new QStatusBar(this))
    , m_status(new QLabel(this))
{
    setWindowTitle(tr("Parameter Study"));
    auto* top = new QHBoxLayout;
    top->addWidget(m_grid, 1);
    top->addWidget(m_temperature);
    top->addWidget(m_compute);
    top->addWidget(m_show_in_plane);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_progress, 1);
    bottom->addWidget(m_cancel);
    bottom->addStretch(1);
    bottom->addWidget(m_export_csv);
    bottom->addWidget(m_save_figure);
    m_status_bar->addWidget(m_status, 1);
    m_status_bar->setSizeGripEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_charts, 1);
    layout->addLayout(bottom);
    layout->addWidget(m_status_bar);

    connect(m_grid, &StudyGridForm::submitted, this, &ParameterStudyWindow::compute);
    connect(m_compute, &QPushButton::clicked, this, &ParameterStudyWindow::compute);
    connect(m_cancel, &QPushButton::clicked, m_study, &ParameterStudy::cancel);
    connect(m_show_in_plane, &QPushButton::clicked, this, [this] {
        emit familyRequested(m_grid->accelerationGrid().trimmed().toStdString(), m_current.T);
    });
    connect(m_export_csv, &QPushButton::clicked, this, &ParameterStudyWindow::saveCsvAs);
    connect(m_save_figure, &QPushButton::clicked, this, &ParameterStudyWindow::saveFigureAs);
    connect(m_study, &ParameterStudy::progressed, this, &ParameterStudyWindow::showProgress);
    connect(m_study, &ParameterStudy::finished, this, &ParameterStudyWindow::showStudy);
    connect(m_study, &ParameterStudy::cancelled, this,
            [this] { showIdle(tr("Cancelled; the curves are the last complete study's.")); });
    // The point's own q: below q = 0.5, 1 - (1 - q) may round away from it.
    connect(m_charts, &StudyCharts::pointClicked, this, [this](std::size_t index) {
        emit runRequested({m_study->points()[m_plotted[index]].parameters.q, m_current.T});
    });
    // Enter in a field computes; it is no dialog's default button.
    for (QPushButton* button : {m_compute, m_cancel, m_export_csv, m_save_figure, m_show_in_plane})
        button->setAutoDefault(false);
    setCurrentParameters(m_current);
    showIdle(tr("Not computed yet."));
    // Fits a 1366 × 768 screen with its title bar and panel.
    resize(1000, 680);
}

ParameterStudyWindow::~ParameterStudyWindow() = default;

void ParameterStudyWindow::setCurrentParameters(const cosmophase::RunParameters& parameters)
{
    const bool newTemperature = parameters.T != m_current.T;
    m_current = parameters;
    m_temperature->setText(tr("T = %1").arg(parameters.T));
    m_charts->setCurrentDistance(1.0 - parameters.q);
    if (newTemperature && isVisible())
        compute();
}

void ParameterStudyWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    const std::vector<StudyPoint>& points = m_study->points();
    const bool shownIsCurrent = !points.empty() && points.front().parameters.T == m_current.T;
    if (!shownIsCurrent && !m_study->isComputing())
        compute();
}

void ParameterStudyWindow::hideEvent(QHideEvent* event)
{
    // Nobody watches a closed window: its computation would only take cores.
    m_study->cancel();
    QDialog::hideEvent(event);
}

void ParameterStudyWindow::compute()
{
    const cosmophase::studies::GridParse parsed = m_grid->parse();
    m_computing_temperature = m_current.T;
    if (!parsed.grid || parsed.grid->size() > static_cast<std::size_t>(kMaxPoints)) {
        m_study->cancel();
        showIdle(parsed.grid ? tr("At most %1 points here; cosmophase-export sweep takes more.").arg(kMaxPoints)
                             : QString::fromStdString(parsed.error));
        return;
    }
    const cosmophase::studies::ParameterGrid& grid = *parsed.grid;
    std::vector<cosmophase::RunParameters> points(grid.size());
    for (std::size_t i = 0; i < grid.size(); ++i)
        points[i] = {grid[i], m_current.T};
    m_study->start(std::move(points));
}

void ParameterStudyWindow::showProgress(int done, int total)
{
    m_progress->setRange(0, total);
    m_progress->setValue(done);
    m_progress->setEnabled(true);
    m_cancel->setEnabled(true);
    m_status->setText(tr("Computing %1 points at T = %2\u2026").arg(total).arg(m_computing_temperature));
}

void ParameterStudyWindow::showIdle(const QString& status)
{
    m_progress->setEnabled(false);
    m_cancel->setEnabled(false);
    m_status->setText(status);
    const bool computed = !m_study->points().empty();
    m_export_csv->setEnabled(computed);
    m_save_figure->setEnabled(computed);
}

void ParameterStudyWindow::showStudy()
{
    const std::vector<StudyPoint>& points = m_study->points();
    const auto failed = std::count_if(points.cbegin(), points.cend(), [](const StudyPoint& p) { return !p.run; });
    const auto unplotted = std::count_if(points.cbegin(), points.cend(),
                                         [](const StudyPoint& p) { return !(1.0 - p.parameters.q > 0); });
    m_progress->setValue(m_progress->maximum());
    QString status = tr("%1 points at T = %2 in %3 s").arg(points.size()).arg(points.front().parameters.T)
                         .arg(m_study->elapsedMilliseconds() / 1000.0, 0, 'f', 1);
    if (failed > 0)
        status += tr("; %1 did not reach the present day").arg(failed);
    if (unplotted > 0)
        status += tr("; %1 with q \u2265 1 are only in the CSV").arg(unplotted);
    showIdle(status);
    m_charts->setCurves(curvesOf(points, m_plotted));
}

std::string ParameterStudyWindow::csv() const
{
    std::string out = cosmophase::studies::sweepCsvHeader(true);
    for (const StudyPoint& point : m_study->points())
        cosmophase::studies::appendSweepCsvRow(out, point, true);
    return out;
}

void ParameterStudyWindow::confirmSaved(bool saved, const QString& what)
{
    if (saved)
        m_status_bar->showMessage(tr("Saved %1").arg(QDir::toNativeSeparators(what)), kSavedMessageMs);
}

void ParameterStudyWindow::saveCsvAs()
{
    const std::string contents = csv();
    QString written;
    const bool saved = m_commands.saveAs(
        kSaveCsvTitle, QStringLiteral("cosmophase-study.csv"), tr("CSV files (*.csv)"),
        tr("The study was not exported."), [&contents, &written](const QString& path) {
            written = path;
            return cosmophase::writeFileAtomically(QFile::encodeName(path).toStdString(), contents);
        });
    confirmSaved(saved, written);
}

void ParameterStudyWindow::saveFigureAs()
{
    const QString title = tr("Cosmophase parameter study, T = %1").arg(m_study->points().front().parameters.T);
    QString written;
    const bool saved = m_commands.saveAs(
        kSaveFigureTitle, QStringLiteral("cosmophase-study.svg"), cosmophase::figureFileFilter(),
        tr("The study figure was not saved."), [this, &title, &written](const QString& path) {
            written = path;
            return cosmophase::writeFigure(
                path, m_charts->figureSize(), [this](QPainter& painter) { m_charts->renderFigure(painter); }, title);
        });
    confirmSaved(saved, written);
}
