#include "ParameterStudyWindow.h"

#include "AppCommands.h"
#include "AtomicWrite.h"
#include "FigureWriter.h"
#include "ParameterGrid.h"
#include "ParameterStudy.h"
#include "SweepFormat.h"

#include <QChart>
#include <QChartView>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {

using cosmophase::studies::PresentDayValues;
using cosmophase::studies::StudyPoint;

struct QuantityStyle {
    const char* title;
    QColor colour;
    // What is plotted, in the axis title's unit.
    double (*value)(const PresentDayValues&);
};

const QuantityStyle kStyles[ParameterStudyWindow::QuantityCount] = {
    {QT_TRANSLATE_NOOP("ParameterStudyWindow", "Age (billion years)"), QColor(31, 119, 180),
     [](const PresentDayValues& v) { return v.elapsedYears / 1e9; }},
    {"q0", QColor(255, 127, 14), [](const PresentDayValues& v) { return v.q0; }},
    {"xi0", QColor(44, 160, 44), [](const PresentDayValues& v) { return v.xi0; }},
    {QT_TRANSLATE_NOOP("ParameterStudyWindow", "Density ratio"), QColor(148, 103, 189),
     [](const PresentDayValues& v) { return v.densityRatio; }}};

// The main window's marker colour.
const QColor kCurrentColour(200, 0, 0);
const QString kSaveCsvTitle = QStringLiteral("Export Study");
const QString kSaveFigureTitle = QStringLiteral("Save Study Figure");

// 1 - q, where a log axis can show it.
std::optional<double> distanceOf(const StudyPoint& point)
{
    const double distance = 1.0 - point.parameters.q;
    return distance > 0 ? std::optional<double>(distance) : std::nullopt;
}

} // namespace

ParameterStudyWindow::ParameterStudyWindow(AppCommands& commands, QWidget* parent)
    : QDialog(parent)
    , m_commands(commands)
    , m_study(new ParameterStudy(this))
    , m_plot_grid(new QWidget(this))
    , m_grid_field(new QLineEdit(QString::fromLatin1(kDefaultGrid), this))
    , m_temperature(new QLabel(this))
    , m_compute(new QPushButton(tr("Compute"), this))
    , m_progress(new QProgressBar(this))
    , m_cancel(new QPushButton(tr("Cancel"), this))
    , m_status(new QLabel(this))
    , m_export_csv(new QPushButton(tr("Export CSV\u2026"), this))
    , m_save_figure(new QPushButton(tr("Save Figure\u2026"), this))
{
    setWindowTitle(tr("Parameter Study"));
    m_grid_field->setToolTip(tr("The values of q, as cosmophase-export sweep --q takes them: a comma list, "
                                "A:B:N (evenly spaced) or A:B:N:log (1 \u2212 q evenly spaced in log10)"));
    auto* gridLabel = new QLabel(tr("&q:"), this);
    gridLabel->setBuddy(m_grid_field);
    auto* top = new QHBoxLayout;
    top->addWidget(gridLabel);
    top->addWidget(m_grid_field, 1);
    top->addWidget(m_temperature);
    top->addWidget(m_compute);

    auto* plots = new QGridLayout(m_plot_grid);
    plots->setContentsMargins(0, 0, 0, 0);
    for (int k = 0; k < QuantityCount; ++k) {
        buildPlot(m_plots[k], static_cast<Quantity>(k));
        plots->addWidget(m_plots[k].view, k / 2, k % 2);
    }

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_progress, 1);
    bottom->addWidget(m_cancel);
    bottom->addWidget(m_status, 2);
    bottom->addWidget(m_export_csv);
    bottom->addWidget(m_save_figure);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_plot_grid, 1);
    layout->addLayout(bottom);

    connect(m_grid_field, &QLineEdit::returnPressed, this, &ParameterStudyWindow::compute);
    connect(m_compute, &QPushButton::clicked, this, &ParameterStudyWindow::compute);
    connect(m_cancel, &QPushButton::clicked, m_study, &ParameterStudy::cancel);
    connect(m_export_csv, &QPushButton::clicked, this, &ParameterStudyWindow::saveCsvAs);
    connect(m_save_figure, &QPushButton::clicked, this, &ParameterStudyWindow::saveFigureAs);
    connect(m_study, &ParameterStudy::progressed, this, &ParameterStudyWindow::showProgress);
    connect(m_study, &ParameterStudy::finished, this, &ParameterStudyWindow::showStudy);
    connect(m_study, &ParameterStudy::cancelled, this,
            [this] { showIdle(tr("Cancelled; the curves are the last complete study's.")); });
    // Enter in the field computes; it is no dialog's default button.
    for (QPushButton* button : {m_compute, m_cancel, m_export_csv, m_save_figure})
        button->setAutoDefault(false);
    setCurrentParameters(m_current);
    showIdle(tr("Not computed yet."));
    resize(960, 720);
}

ParameterStudyWindow::~ParameterStudyWindow() = default;

void ParameterStudyWindow::buildPlot(Plot& plot, Quantity quantity)
{
    const QuantityStyle& style = kStyles[quantity];
    plot.chart = new QChart;
    plot.chart->setMargins(QMargins(4, 0, 8, 4));
    plot.chart->legend()->setAlignment(Qt::AlignTop);
    plot.chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    plot.distanceAxis = new QLogValueAxis;
    plot.distanceAxis->setBase(10);
    plot.distanceAxis->setLabelFormat(QStringLiteral("%.0e"));
    plot.distanceAxis->setTitleText(tr("1 \u2212 q"));
    plot.chart->addAxis(plot.distanceAxis, Qt::AlignBottom);

    const auto addCurve = [&](const QString& name, QPen pen) {
        auto* curve = new QLineSeries;
        curve->setName(name);
        curve->setPen(pen);
        plot.chart->addSeries(curve);
        return curve;
    };
    QPen pen(style.colour);
    pen.setWidthF(1.5);
    plot.run = addCurve(tr("Run"), pen);
    pen.setStyle(Qt::DashLine);
    plot.reference = addCurve(tr("Reference"), pen);
    QPen markerPen(kCurrentColour);
    markerPen.setWidthF(1.5);
    plot.marker = addCurve(tr("Current q"), markerPen);
    plot.chart->legend()->markers(plot.marker).constFirst()->setVisible(false);

    plot.view = new QChartView(plot.chart, m_plot_grid);
    plot.view->setRenderHint(QPainter::Antialiasing);
    plot.view->setToolTip(tr("Click to run the main window at the nearest q of the study"));
    plot.view->viewport()->installEventFilter(this);
    plot.view->setMinimumSize(320, 240);
    // Empty until the first study; its value axis comes with the values.
    fillPlot(plot, quantity);
}

void ParameterStudyWindow::setCurrentParameters(const cosmophase::RunParameters& parameters)
{
    const bool newTemperature = parameters.T != m_current.T;
    m_current = parameters;
    m_temperature->setText(tr("T = %1").arg(parameters.T));
    for (Plot& plot : m_plots)
        placeMarker(plot);
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
    const cosmophase::studies::GridParse parsed =
        cosmophase::studies::GridParse::acceleration(m_grid_field->text().trimmed().toStdString());
    m_computing_temperature = m_current.T;
    if (!parsed.grid) {
        m_study->cancel();
        showIdle(QString::fromStdString(parsed.error));
        return;
    }
    const cosmophase::studies::ParameterGrid& grid = *parsed.grid;
    if (grid.size() > static_cast<std::size_t>(kMaxPoints)) {
        m_study->cancel();
        showIdle(tr("At most %1 points here; cosmophase-export sweep takes more.").arg(kMaxPoints));
        return;
    }
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
    m_progress->setValue(m_progress->maximum());
    QString status = tr("%1 points at T = %2 in %3 s").arg(points.size()).arg(points.front().parameters.T)
                         .arg(m_study->elapsedMilliseconds() / 1000.0, 0, 'f', 1);
    if (failed > 0)
        status += tr("; %1 did not reach the present day").arg(failed);
    showIdle(status);
    for (int k = 0; k < QuantityCount; ++k)
        fillPlot(m_plots[k], static_cast<Quantity>(k));
}

// Values on a log axis when all are positive and span more than two decades
// (the density ratio); otherwise linear (xi0 changes sign, the age and q0
// vary by less than a decade).
void ParameterStudyWindow::fillPlot(Plot& plot, Quantity quantity)
{
    const QuantityStyle& style = kStyles[quantity];
    QList<QPointF> run;
    QList<QPointF> reference;
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    double lowDistance = low;
    double highDistance = -low;
    for (const StudyPoint& point : m_study->points()) {
        const std::optional<double> distance = distanceOf(point);
        if (!distance)
            continue;
        for (const auto& [values, curve] : {std::pair{&point.run, &run}, std::pair{&point.reference, &reference}}) {
            if (!*values)
                continue;
            const double y = style.value(**values);
            if (!std::isfinite(y))
                continue;
            curve->append(QPointF(*distance, y));
            low = std::min(low, y), high = std::max(high, y);
            lowDistance = std::min(lowDistance, *distance), highDistance = std::max(highDistance, *distance);
        }
    }
    const bool empty = run.isEmpty() && reference.isEmpty();
    const bool logarithmic = !empty && low > 0 && high / low > 100;

    // Emptied first: a log axis would meet the old values.
    for (QLineSeries* curve : {plot.run, plot.reference, plot.marker})
        curve->clear();
    if (plot.valueAxis)
        plot.chart->removeAxis(plot.valueAxis);
    delete plot.valueAxis;
    QAbstractAxis* axis = nullptr;
    if (logarithmic) {
        auto* logAxis = new QLogValueAxis;
        logAxis->setBase(10);
        logAxis->setLabelFormat(QStringLiteral("%.0e"));
        logAxis->setRange(low, high);
        axis = logAxis;
    } else {
        auto* linear = new QValueAxis;
        if (empty) {
            linear->setRange(0, 1);
        } else {
            const double margin = high > low ? (high - low) * 0.05 : std::max(std::abs(high) * 0.05, 1e-12);
            linear->setRange(low - margin, high + margin);
            linear->applyNiceNumbers();
        }
        linear->setLabelFormat(QStringLiteral("%.4g"));
        axis = linear;
    }
    axis->setTitleText(tr(style.title));
    plot.chart->addAxis(axis, Qt::AlignLeft);
    plot.valueAxis = axis;
    if (empty)
        plot.distanceAxis->setRange(1e-9, 1e-3);
    else
        plot.distanceAxis->setRange(lowDistance, highDistance);
    for (QLineSeries* curve : {plot.run, plot.reference, plot.marker}) {
        if (curve->attachedAxes().isEmpty())
            curve->attachAxis(plot.distanceAxis);
        curve->attachAxis(axis);
    }
    plot.run->replace(run);
    plot.reference->replace(reference);
    if (logarithmic) {
        plot.low = low, plot.high = high;
    } else {
        const auto* linear = static_cast<const QValueAxis*>(axis);
        plot.low = linear->min(), plot.high = linear->max();
    }
    placeMarker(plot);
}

void ParameterStudyWindow::placeMarker(Plot& plot)
{
    const double distance = 1.0 - m_current.q;
    const bool inside = !m_study->points().empty() && distance >= plot.distanceAxis->min()
                        && distance <= plot.distanceAxis->max();
    if (inside)
        plot.marker->replace({QPointF(distance, plot.low), QPointF(distance, plot.high)});
    else
        plot.marker->clear();
}

bool ParameterStudyWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        for (const Plot& plot : m_plots) {
            if (plot.view->viewport() == watched && mouse->button() == Qt::LeftButton) {
                runNearest(plot, mouse->position());
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ParameterStudyWindow::runNearest(const Plot& plot, const QPointF& viewportPos)
{
    const QPointF scenePos = plot.view->mapToScene(viewportPos.toPoint());
    const QPointF chartPos = plot.chart->mapFromScene(scenePos);
    if (!plot.chart->plotArea().contains(chartPos))
        return;
    const double clicked = std::log10(plot.chart->mapToValue(chartPos, plot.run).x());
    const StudyPoint* nearest = nullptr;
    double nearestGap = std::numeric_limits<double>::infinity();
    for (const StudyPoint& point : m_study->points()) {
        const std::optional<double> distance = distanceOf(point);
        if (!distance)
            continue;
        const double gap = std::abs(std::log10(*distance) - clicked);
        if (gap < nearestGap)
            nearest = &point, nearestGap = gap;
    }
    if (nearest)
        emit runRequested({nearest->parameters.q, m_current.T});
}

std::string ParameterStudyWindow::csv() const
{
    std::string out = cosmophase::studies::sweepCsvHeader(true);
    for (const StudyPoint& point : m_study->points())
        cosmophase::studies::appendSweepCsvRow(out, point, true);
    return out;
}

QSize ParameterStudyWindow::figureSize() const
{
    return m_plot_grid->size();
}

void ParameterStudyWindow::renderFigure(QPainter& painter) const
{
    // Each chart drawn afresh into its place, so that vector devices get
    // vector curves rather than the screen's pixels.
    for (const Plot& plot : m_plots) {
        const QRect area = plot.view->geometry();
        plot.view->render(&painter, QRectF(area), QRect(QPoint(), area.size()));
    }
}

void ParameterStudyWindow::saveCsvAs()
{
    const std::string contents = csv();
    m_commands.saveAs(kSaveCsvTitle, QStringLiteral("cosmophase-study.csv"), tr("CSV files (*.csv)"),
                      tr("The study was not exported."), [&contents](const QString& path) {
                          return cosmophase::writeFileAtomically(QFile::encodeName(path).toStdString(), contents);
                      });
}

void ParameterStudyWindow::saveFigureAs()
{
    const QString title = tr("Cosmophase parameter study, T = %1").arg(m_study->points().front().parameters.T);
    m_commands.saveAs(kSaveFigureTitle, QStringLiteral("cosmophase-study.svg"), cosmophase::figureFileFilter(),
                      tr("The study figure was not saved."), [this, &title](const QString& path) {
                          return cosmophase::writeFigure(
                              path, figureSize(), [this](QPainter& painter) { renderFigure(painter); }, title);
                      });
}
