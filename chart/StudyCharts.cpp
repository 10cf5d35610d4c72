#include "StudyCharts.h"

#include "AxisFit.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QHelpEvent>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using cosmophase::axisticks::SymmetricLog;

struct QuantityStyle {
    const char* title;
    QColor colour;
};

const QuantityStyle kStyles[StudyCurves::QuantityCount] = {
    {QT_TRANSLATE_NOOP("StudyCharts", "Age (billion years)"), QColor(31, 119, 180)},
    {"q0", QColor(255, 127, 14)},
    {"xi0", QColor(44, 160, 44)},
    {QT_TRANSLATE_NOOP("StudyCharts", "Density ratio"), QColor(148, 103, 189)}};

// The main window's marker colour.
const QColor kCurrentColour(200, 0, 0);
// Labels an axis of a plot about 300 px high holds without crowding.
constexpr int kValueLabels = 6;
constexpr int kLinearTicks = 5;

using cosmophase::axisticks::Span;

} // namespace

StudyCharts::StudyCharts(QWidget* parent)
    : QWidget(parent)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    for (int k = 0; k < StudyCurves::QuantityCount; ++k) {
        buildPlot(m_plots[k], static_cast<Quantity>(k));
        grid->addWidget(m_plots[k].view, k / 2, k % 2);
    }
}

StudyCharts::~StudyCharts() = default;

void StudyCharts::buildPlot(Plot& plot, Quantity quantity)
{
    plot.chart = new QChart;
    plot.chart->setMargins(QMargins(4, 0, 8, 4));
    plot.chart->legend()->setAlignment(Qt::AlignTop);
    plot.chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    const auto addCurve = [&](const QString& name, const QPen& pen) {
        auto* curve = new QLineSeries;
        curve->setName(name);
        curve->setPen(pen);
        plot.chart->addSeries(curve);
        return curve;
    };
    QPen pen(kStyles[quantity].colour);
    pen.setWidthF(1.5);
    plot.run = addCurve(tr("Run"), pen);
    pen.setStyle(Qt::DashLine);
    plot.reference = addCurve(tr("Reference"), pen);
    QPen markerPen(kCurrentColour);
    markerPen.setWidthF(1.5);
    plot.marker = addCurve(tr("Current q"), markerPen);
    plot.chart->legend()->markers(plot.marker).constFirst()->setVisible(false);

    plot.view = new QChartView(plot.chart, this);
    plot.view->setRenderHint(QPainter::Antialiasing);
    plot.view->setMinimumSize(320, 240);
    plot.view->viewport()->installEventFilter(this);
    plot.view->viewport()->setMouseTracking(true);
    fillPlot(plot, quantity);
}

void StudyCharts::setCurves(StudyCurves curves)
{
    m_curves = std::move(curves);
    for (int k = 0; k < StudyCurves::QuantityCount; ++k)
        fillPlot(m_plots[k], static_cast<Quantity>(k));
}

void StudyCharts::setCurrentDistance(std::optional<double> distance)
{
    m_current = distance;
    for (Plot& plot : m_plots)
        placeMarker(plot);
}

void StudyCharts::setAxes(Plot& plot, QAbstractAxis* distanceAxis, QAbstractAxis* valueAxis)
{
    // Emptied first: a logarithmic axis would meet the old values.
    for (QLineSeries* curve : {plot.run, plot.reference, plot.marker})
        curve->clear();
    for (QAbstractAxis* old : {plot.distanceAxis, plot.valueAxis}) {
        if (old)
            plot.chart->removeAxis(old);
        delete old;
    }
    plot.distanceAxis = distanceAxis;
    plot.valueAxis = valueAxis;
    plot.chart->addAxis(distanceAxis, Qt::AlignBottom);
    plot.chart->addAxis(valueAxis, Qt::AlignLeft);
    for (QLineSeries* curve : {plot.run, plot.reference, plot.marker}) {
        curve->attachAxis(distanceAxis);
        curve->attachAxis(valueAxis);
    }
}

void StudyCharts::fillPlot(Plot& plot, Quantity quantity)
{
    const std::vector<double>& distance = m_curves.distance;
    Span distances;
    std::vector<double> values;
    for (const auto* curve : {&m_curves.run[quantity], &m_curves.reference[quantity]}) {
        for (std::size_t i = 0; i < distance.size() && i < curve->size(); ++i) {
            if (std::isfinite((*curve)[i]) && distance[i] > 0) {
                values.push_back((*curve)[i]);
                distances.add(distance[i]);
            }
        }
    }

    QAbstractAxis* distanceAxis = nullptr;
    // Under a decade a logarithmic axis would have no label at all.
    if (!distances.empty() && distances.high < 10 * distances.low) {
        auto* linear = new QValueAxis;
        linear->setRange(distances.low, distances.high);
        linear->setTickCount(kLinearTicks);
        linear->setLabelFormat(cosmophase::axisticks::linearFormat(distances.low, distances.high, kLinearTicks));
        distanceAxis = linear;
    } else {
        auto* logarithmic = new QLogValueAxis;
        logarithmic->setLabelFormat(QStringLiteral("%.0e"));
        if (distances.empty())
            cosmophase::axisfit::fitLogarithmic(*logarithmic, 1e-9, 1e-3, kValueLabels + 1);
        else
            cosmophase::axisfit::fitLogarithmic(*logarithmic, distances.low, distances.high, kValueLabels + 1);
        distanceAxis = logarithmic;
    }
    distanceAxis->setTitleText(tr("1 \u2212 q"));
    QAbstractAxis* valueAxis = valueAxisFor(plot, values);
    valueAxis->setTitleText(tr(kStyles[quantity].title));
    setAxes(plot, distanceAxis, valueAxis);

    for (const auto& [values, curve] : {std::pair{&m_curves.run[quantity], plot.run},
                                        std::pair{&m_curves.reference[quantity], plot.reference}}) {
        QList<QPointF> points;
        for (std::size_t i = 0; i < distance.size() && i < values->size(); ++i) {
            if (std::isfinite((*values)[i]) && distance[i] > 0)
                points.append(QPointF(distance[i], plotted(quantity, (*values)[i])));
        }
        curve->replace(points);
    }
    placeMarker(plot);
}

QAbstractAxis* StudyCharts::valueAxisFor(Plot& plot, const std::vector<double>& values)
{
    Span span;
    for (const double v : values)
        span.add(v);
    plot.symmetricLog.reset();
    if (span.empty()) {
        auto* empty = new QValueAxis;
        plot.low = 0, plot.high = 1;
        return empty;
    }
    const double largest = std::max(std::abs(span.low), std::abs(span.high));
    if (span.low > 0 && span.high > 100 * span.low) {
        auto* logarithmic = new QLogValueAxis;
        logarithmic->setLabelFormat(QStringLiteral("%g"));
        cosmophase::axisfit::fitLogarithmic(*logarithmic, span.low, span.high, kValueLabels);
        plot.low = span.low, plot.high = span.high;
        return logarithmic;
    }
    if (span.low < 0 && largest > 1000 * span.smallestMagnitude) {
        // Both signs over decades: a linear axis would show only the largest.
        plot.symmetricLog = SymmetricLog::fitting(values);
        const double low = plot.symmetricLog->forward(span.low);
        const double high = plot.symmetricLog->forward(span.high);
        const double margin = (high - low) * 0.03;
        auto* categories = new QCategoryAxis;
        categories->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        categories->setRange(low - margin, high + margin);
        categories->setStartValue(low - margin);
        for (const double tick : plot.symmetricLog->ticks(low - margin, high + margin, kValueLabels))
            categories->append(plot.symmetricLog->label(tick), plot.symmetricLog->forward(tick));
        plot.low = low - margin, plot.high = high + margin;
        return categories;
    }
    auto* linear = new QValueAxis;
    cosmophase::axisfit::fitLinear(*linear, span, 0.05);
    plot.low = linear->min(), plot.high = linear->max();
    return linear;
}

double StudyCharts::plotted(Quantity quantity, double value) const
{
    const Plot& plot = m_plots[quantity];
    return plot.symmetricLog ? plot.symmetricLog->forward(value) : value;
}

void StudyCharts::placeMarker(Plot& plot)
{
    if (!m_current || m_curves.distance.empty()) {
        plot.marker->clear();
        return;
    }
    const auto [lowest, highest] = std::minmax_element(m_curves.distance.cbegin(), m_curves.distance.cend());
    if (*m_current >= *lowest && *m_current <= *highest)
        plot.marker->replace({QPointF(*m_current, plot.low), QPointF(*m_current, plot.high)});
    else
        plot.marker->clear();
}

QChartView* StudyCharts::chartView(Quantity quantity) const
{
    return m_plots[quantity].view;
}

QLineSeries* StudyCharts::runCurve(Quantity quantity) const
{
    return m_plots[quantity].run;
}

QLineSeries* StudyCharts::referenceCurve(Quantity quantity) const
{
    return m_plots[quantity].reference;
}

QLineSeries* StudyCharts::currentMarker(Quantity quantity) const
{
    return m_plots[quantity].marker;
}

QAbstractAxis* StudyCharts::valueAxis(Quantity quantity) const
{
    return m_plots[quantity].valueAxis;
}

QAbstractAxis* StudyCharts::distanceAxis(Quantity quantity) const
{
    return m_plots[quantity].distanceAxis;
}

std::optional<std::size_t> StudyCharts::pointAt(Quantity quantity, const QPoint& viewportPos) const
{
    const Plot& plot = m_plots[quantity];
    const QPointF at = plot.chart->mapFromScene(plot.view->mapToScene(viewportPos));
    if (!plot.chart->plotArea().contains(at))
        return std::nullopt;
    const double pointed = plot.chart->mapToValue(at, plot.run).x();
    if (!(pointed > 0))
        return std::nullopt;
    std::optional<std::size_t> nearest;
    double nearestGap = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < m_curves.distance.size(); ++i) {
        const double gap = std::abs(std::log(m_curves.distance[i] / pointed));
        if (gap < nearestGap)
            nearest = i, nearestGap = gap;
    }
    return nearest;
}

QString StudyCharts::readout(Quantity quantity, std::size_t index) const
{
    const double distance = m_curves.distance.at(index);
    const auto value = [&](const std::vector<double>& values) {
        return index < values.size() && std::isfinite(values[index]) ? QString::number(values[index], 'g', 9)
                                                                      : tr("not reached");
    };
    return tr("1 \u2212 q = %1 (q = %2)\n%3: run %4, reference %5\nClick to run the main window here")
        .arg(QString::number(distance, 'g', 6), QString::number(1.0 - distance, 'g', 17),
             tr(kStyles[quantity].title), value(m_curves.run[quantity]), value(m_curves.reference[quantity]));
}

const StudyCharts::Plot* StudyCharts::plotOfViewport(const QObject* viewport) const
{
    for (const Plot& plot : m_plots) {
        if (plot.view->viewport() == viewport)
            return &plot;
    }
    return nullptr;
}

bool StudyCharts::eventFilter(QObject* watched, QEvent* event)
{
    const Plot* plot = plotOfViewport(watched);
    if (!plot)
        return QWidget::eventFilter(watched, event);
    const Quantity quantity = quantityOf(*plot);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        if (const std::optional<std::size_t> index = pointAt(quantity, mouse->position().toPoint()))
            emit pointClicked(*index);
        return true;
    }
    case QEvent::ToolTip:
    case QEvent::MouseMove: {
        const bool help = event->type() == QEvent::ToolTip;
        const QPoint at = help ? static_cast<QHelpEvent*>(event)->pos()
                               : static_cast<QMouseEvent*>(event)->position().toPoint();
        const std::optional<std::size_t> index = pointAt(quantity, at);
        if (index)
            QToolTip::showText(plot->view->viewport()->mapToGlobal(at), readout(quantity, *index), plot->view->viewport());
        else
            QToolTip::hideText();
        if (help)
            return true;
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void StudyCharts::renderFigure(QPainter& painter) const
{
    for (const Plot& plot : m_plots) {
        const QRect area = plot.view->geometry();
        plot.view->render(&painter, QRectF(area), QRect(QPoint(), area.size()));
    }
}
