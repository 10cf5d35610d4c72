#include "TimeSeriesChart.h"

#include "AxisFit.h"
#include "SampleNavigator.h"

#include <QChart>
#include <QChartView>
#include <QGraphicsEffect>
#include <QHelpEvent>
#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QGraphicsSimpleTextItem>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmapCache>
#include <QResizeEvent>
#include <QTabWidget>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

struct Curve {
    const char* name;
    std::vector<double> cosmophase::TimeSeries::*values;
};

using cosmophase::TimeSeries;

constexpr Curve kObservableCurves[TimeSeriesChart::kCurvesPerTab] = {
    {"q0", &TimeSeries::q0},
    {"xi0", &TimeSeries::xi0},
    {QT_TRANSLATE_NOOP("TimeSeriesChart", "Density ratio"), &TimeSeries::densityRatio}};
constexpr Curve kStateCurves[TimeSeriesChart::kCurvesPerTab] = {
    {"z2", &TimeSeries::z2}, {"w0", &TimeSeries::w0}, {"w2", &TimeSeries::w2}};
// The error tab shows the observables' errors under the observables' names.
constexpr const Curve* kCurves[TimeSeriesChart::kTabs] = {kObservableCurves, kStateCurves,
                                                          kObservableCurves};
const char* const kTabTitles[TimeSeriesChart::kTabs] = {
    QT_TRANSLATE_NOOP("TimeSeriesChart", "Observables"), QT_TRANSLATE_NOOP("TimeSeriesChart", "State"),
    QT_TRANSLATE_NOOP("TimeSeriesChart", "Error")};
const char* const kValueTitles[TimeSeriesChart::kTabs] = {
    QT_TRANSLATE_NOOP("TimeSeriesChart", "Observable"),
    QT_TRANSLATE_NOOP("TimeSeriesChart", "State variable"),
    QT_TRANSLATE_NOOP("TimeSeriesChart", "Relative error")};

// Drawn above the chart.
constexpr qreal kMarkerZ = 100;

// Labels a value axis of the chart's height holds without eliding them.
constexpr int kValueLabels = 6;

using cosmophase::axisticks::Span;
using cosmophase::axisfit::fitLinear;

// Draws the chart from one pixmap that Qt keeps (in QPixmapCache) until
// something in the chart changes. The marker is not part of the chart, so
// moving it on every playback tick repaints two thin strips from that pixmap
// instead of stroking thousands of points again.
class CachedChartEffect : public QGraphicsEffect {
public:
    using QGraphicsEffect::QGraphicsEffect;

protected:
    void draw(QPainter* painter) override
    {
        QPoint offset;
        const QPixmap pixmap = sourcePixmap(Qt::DeviceCoordinates, &offset, QGraphicsEffect::NoPad);
        const QTransform itemToDevice = painter->worldTransform();
        painter->setWorldTransform(QTransform());
        painter->drawPixmap(offset, pixmap);
        painter->setWorldTransform(itemToDevice);
    }
};

} // namespace

TimeSeriesChart::TimeSeriesChart(QWidget* parent)
    : QWidget(parent)
    , m_tabs(new QTabWidget(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs);
    m_tabs->setDocumentMode(true);
    for (const Tab tab : {Observables, State})
        buildPlot(m_plots[tab], tab);
    // The error plot is built with the reference, after the first frame;
    // start-up only pays for this label.
    auto* placeholder = new QLabel(tr("Computing the reference solution…"));
    placeholder->setAlignment(Qt::AlignCenter);
    m_tabs->addTab(placeholder, tr(kTabTitles[Error]));
}

TimeSeriesChart::~TimeSeriesChart() = default;

void TimeSeriesChart::buildPlot(Plot& plot, Tab tab)
{
    plot.chart = new QChart;
    plot.chart->legend()->setAlignment(Qt::AlignTop);
    plot.chart->setMargins(QMargins(4, 0, 8, 4));
    plot.timeAxis = new QLogValueAxis;
    // A label every second decade: the run spans twelve.
    plot.timeAxis->setBase(100);
    plot.timeAxis->setLabelFormat(QStringLiteral("%.0e"));
    // The axis keeps its labels' room, but the labels shown are ours.
    plot.timeAxis->setLabelsBrush(Qt::transparent);
    plot.timeAxis->setTitleText(tr("Elapsed time (years)"));
    if (tab == Error) {
        auto* logAxis = new QLogValueAxis;
        logAxis->setBase(10);
        logAxis->setLabelFormat(QStringLiteral("%.0e"));
        plot.valueAxis = logAxis;
    } else {
        plot.valueAxis = new QValueAxis;
        // The dominant curve's own, shown only while one dominates.
        plot.sideAxis = new QValueAxis;
        plot.sideAxis->setVisible(false);
        // The left axis's grid is the plot's; a second would not line up.
        plot.sideAxis->setGridLineVisible(false);
        plot.chart->addAxis(plot.sideAxis, Qt::AlignRight);
    }
    plot.valueAxis->setTitleText(tr(kValueTitles[tab]));
    plot.chart->addAxis(plot.timeAxis, Qt::AlignBottom);
    plot.chart->addAxis(plot.valueAxis, Qt::AlignLeft);
    for (int k = 0; k < kCurvesPerTab; ++k) {
        auto* curve = new QLineSeries;
        curve->setName(tr(kCurves[tab][k].name));
        plot.chart->addSeries(curve);
        curve->attachAxis(plot.timeAxis);
        curve->attachAxis(plot.valueAxis);
        plot.curves[k] = curve;
    }

    plot.marker = new QGraphicsLineItem;
    QPen pen(QColor(200, 0, 0));
    pen.setWidthF(1.5);
    pen.setCosmetic(true);
    plot.marker->setPen(pen);
    plot.marker->setZValue(kMarkerZ);
    plot.marker->hide();
    connect(plot.chart, &QChart::plotAreaChanged, this, [this, &plot] {
        placeMarker(plot);
        placeTimeLabels(plot);
    });

    plot.view = new QChartView(plot.chart);
    plot.view->scene()->addItem(plot.marker);
    plot.view->setRenderHint(QPainter::Antialiasing);
    plot.view->viewport()->installEventFilter(this);
    plot.view->viewport()->setMouseTracking(true);
    if (tab != Error) {
        m_tabs->addTab(plot.view, tr(kTabTitles[tab]));
        return;
    }
    const int current = m_tabs->currentIndex();
    QWidget* placeholder = m_tabs->widget(Error);
    m_tabs->removeTab(Error);
    delete placeholder;
    m_tabs->insertTab(Error, plot.view, tr(kTabTitles[tab]));
    m_tabs->setCurrentIndex(current);
}

QSize TimeSeriesChart::currentPlotSize() const
{
    const Plot& plot = m_plots[m_tabs->currentIndex()];
    return plot.view ? plot.view->viewport()->size() : m_tabs->currentWidget()->size();
}

void TimeSeriesChart::renderCurrentPlot(QPainter& painter) const
{
    const Plot& plot = m_plots[m_tabs->currentIndex()];
    if (!plot.view) {
        m_tabs->currentWidget()->render(&painter);
        return;
    }
    QGraphicsEffect* const effect = plot.chart->graphicsEffect();
    const bool cached = effect && effect->isEnabled();
    if (cached)
        effect->setEnabled(false);
    const QRect area(QPoint(), currentPlotSize());
    plot.view->render(&painter, area, area);
    if (cached)
        effect->setEnabled(true);
}

void TimeSeriesChart::setSeries(cosmophase::TimeSeries series)
{
    m_series = std::move(series);
    if (hasReference())
        m_errors = cosmophase::relativeErrorOf(m_series, m_reference);
    for (const Tab tab : {Observables, State, Error}) {
        if (m_plots[tab].chart)
            fillPlot(m_plots[tab], tab);
    }
}

void TimeSeriesChart::setReference(cosmophase::TimeSeries reference)
{
    m_reference = std::move(reference);
    m_errors = cosmophase::relativeErrorOf(m_series, m_reference);
    for (const Tab tab : {Observables, State})
        fillReference(m_plots[tab], tab);
    if (!m_plots[Error].chart)
        buildPlot(m_plots[Error], Error);
    fillPlot(m_plots[Error], Error);
}

const cosmophase::TimeSeries& TimeSeriesChart::shownOn(Tab tab) const
{
    return tab == Error ? m_errors : m_series;
}

void TimeSeriesChart::placeTimeLabels(Plot& plot)
{
    for (QGraphicsSimpleTextItem* label : plot.timeLabels)
        delete label;
    plot.timeLabels.clear();
    if (m_series.time.empty() || !(plot.timeAxis->min() > 0))
        return;
    const QRectF area = plot.chart->plotArea();
    const QFont font = plot.timeAxis->labelsFont();
    const QBrush brush = plot.timeAxis->titleBrush();
    // Where the axis puts its own labels: each power of its base in range.
    const int step = static_cast<int>(std::lround(std::log10(plot.timeAxis->base())));
    const int first = static_cast<int>(std::ceil(std::log10(plot.timeAxis->min()) / step - 1e-9)) * step;
    for (int exponent = first; std::pow(10.0, exponent) <= plot.timeAxis->max() * (1 + 1e-9); exponent += step) {
        // Any positive value will do for y, which a logarithmic axis needs.
        const qreal x = plot.chart->mapToPosition(QPointF(std::pow(10.0, exponent), 1), plot.curves[0]).x();
        auto* label = new QGraphicsSimpleTextItem(cosmophase::axisticks::powerOfTen(exponent));
        label->setFont(font);
        label->setBrush(brush);
        const QRectF box = label->boundingRect();
        label->setPos(plot.chart->mapToScene(QPointF(x - box.width() / 2, area.bottom() + 4)));
        label->setZValue(kMarkerZ);
        plot.view->scene()->addItem(label);
        plot.timeLabels.push_back(label);
    }
}

void TimeSeriesChart::fillPlot(Plot& plot, Tab tab)
{
    const cosmophase::TimeSeries& shown = shownOn(tab);
    const std::vector<double>& time = shown.time;
    // A logarithmic value axis cannot place zero (a sample where the run is
    // exact) or below.
    const bool logarithmic = tab == Error;
    std::vector<Span> spans(kCurvesPerTab);
    for (int k = 0; k < kCurvesPerTab; ++k) {
        const std::vector<double>& values = shown.*kCurves[tab][k].values;
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(time.size()));
        for (std::size_t i = 0; i < time.size() && i < values.size(); ++i) {
            if (logarithmic && !(values[i] > 0 && std::isfinite(values[i])))
                continue;
            points.append(QPointF(time[i], values[i]));
            if (std::isfinite(values[i]))
                spans[k].add(values[i]);
        }
        plot.curves[k]->replace(points);
    }
    // A logarithmic axis needs a positive range; the run's times always are.
    if (!time.empty() && time.front() > 0 && time.back() > time.front())
        plot.timeAxis->setRange(time.front(), time.back());
    if (logarithmic) {
        Span all;
        for (const Span& span : spans) {
            if (!span.empty())
                all.add(span);
        }
        // Whole decades; every one of sixteen would not fit the chart's height.
        if (all.low < all.high)
            cosmophase::axisfit::fitLogarithmic(*static_cast<QLogValueAxis*>(plot.valueAxis),
                                                std::pow(10.0, std::floor(std::log10(all.low))),
                                                std::pow(10.0, std::ceil(std::log10(all.high))), kValueLabels);
    } else {
        fitLinearAxes(plot, tab, spans);
    }
    placeTimeLabels(plot);
    // Only a filled chart is worth caching; the empty one is drawn directly
    // in the window's first frame.
    if (!plot.chart->graphicsEffect()) {
        plot.chart->setGraphicsEffect(new CachedChartEffect(plot.chart));
        plot.chart->graphicsEffect()->setEnabled(chartPixmapFitsCache());
    }
    placeMarker(plot);
}

// One axis for all three curves unless one would flatten the others; that
// one then has its own axis on the right, in its colour.
void TimeSeriesChart::fitLinearAxes(Plot& plot, Tab tab, const std::vector<Span>& spans)
{
    const int apart = cosmophase::axisfit::dominantCurve(spans);
    Span shared;
    for (int k = 0; k < kCurvesPerTab; ++k) {
        QAbstractAxis* axis = k == apart ? plot.sideAxis : plot.valueAxis;
        for (QLineSeries* curve : {plot.curves[k], plot.referenceCurves[k]}) {
            if (!curve || curve->attachedAxes().contains(axis))
                continue;
            curve->detachAxis(k == apart ? plot.valueAxis : plot.sideAxis);
            curve->attachAxis(axis);
        }
        if (k != apart && !spans[k].empty())
            shared.add(spans[k]);
    }
    if (!shared.empty())
        fitLinear(*static_cast<QValueAxis*>(plot.valueAxis), shared);
    // The tab's own title: the curves' names side by side outgrow a short
    // chart, and the legend and the coloured side axis tell them apart.
    plot.valueAxis->setTitleText(tr(kValueTitles[tab]));
    plot.sideAxis->setVisible(apart >= 0);
    if (apart < 0)
        return;
    auto* side = static_cast<QValueAxis*>(plot.sideAxis);
    fitLinear(*side, spans[apart]);
    const QColor colour = plot.curves[apart]->pen().color();
    side->setTitleText(tr(kCurves[tab][apart].name));
    side->setTitleBrush(colour);
    side->setLabelsColor(colour);
}

// Dashed, in the colour of the run's curve of the same quantity, against the
// run's times, on the run's curve's axis.
void TimeSeriesChart::fillReference(Plot& plot, Tab tab)
{
    for (int k = 0; k < kCurvesPerTab; ++k) {
        QLineSeries*& curve = plot.referenceCurves[k];
        if (!curve) {
            curve = new QLineSeries;
            curve->setName(tr("Reference (dashed)"));
            plot.chart->addSeries(curve);
            curve->attachAxis(plot.timeAxis);
            curve->attachAxis(plot.curves[k]->attachedAxes().contains(plot.sideAxis) ? plot.sideAxis
                                                                                       : plot.valueAxis);
            QPen pen = plot.curves[k]->pen();
            pen.setStyle(Qt::DashLine);
            curve->setPen(pen);
        }
        const std::vector<double>& time = m_series.time;
        const std::vector<double>& values = m_reference.*kCurves[tab][k].values;
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(time.size()));
        for (std::size_t i = 0; i < time.size() && i < values.size(); ++i)
            points.append(QPointF(time[i], values[i]));
        curve->replace(points);
        // One legend entry stands for all three.
        plot.chart->legend()->markers(curve).constFirst()->setVisible(k == 0);
    }
    // Entries drawn as short lines in each curve's pen show which is dashed.
    plot.chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
}

const std::array<QLineSeries*, TimeSeriesChart::kCurvesPerTab>& TimeSeriesChart::referenceCurves(Tab tab) const
{
    return m_plots[tab].referenceCurves;
}

QChartView* TimeSeriesChart::chartView(Tab tab) const
{
    return m_plots[tab].view;
}

const std::array<QLineSeries*, TimeSeriesChart::kCurvesPerTab>& TimeSeriesChart::curves(Tab tab) const
{
    return m_plots[tab].curves;
}

QGraphicsLineItem* TimeSeriesChart::markerLine(Tab tab) const
{
    return m_plots[tab].marker;
}

QSize TimeSeriesChart::sizeHint() const
{
    return {660, 380};
}

QSize TimeSeriesChart::minimumSizeHint() const
{
    return {320, 220};
}

void TimeSeriesChart::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    for (const Plot& plot : m_plots) {
        if (QGraphicsEffect* effect = plot.chart ? plot.chart->graphicsEffect() : nullptr)
            effect->setEnabled(chartPixmapFitsCache());
    }
}

bool TimeSeriesChart::chartPixmapFitsCache() const
{
    // A pixmap the cache cannot keep would be rendered whole on every marker
    // move; such a large chart is drawn directly instead.
    const qreal ratio = devicePixelRatioF();
    const qint64 kilobytes = qint64(width() * ratio) * qint64(height() * ratio) * 4 / 1024;
    return 2 * kilobytes <= QPixmapCache::cacheLimit();
}

void TimeSeriesChart::setMarkerIndex(int index)
{
    m_marker_index = index;
    for (const Plot& plot : m_plots) {
        if (plot.chart)
            placeMarker(plot);
    }
}

void TimeSeriesChart::placeMarker(const Plot& plot)
{
    const bool known = m_marker_index >= 0 && static_cast<std::size_t>(m_marker_index) < m_series.time.size();
    if (!known) {
        plot.marker->hide();
        return;
    }
    const QRectF area = plot.chart->plotArea();
    // Any value maps to the same x; 1 is one that a logarithmic axis can place.
    const qreal x =
        plot.chart->mapToPosition(QPointF(m_series.time[static_cast<std::size_t>(m_marker_index)], 1), plot.curves[0]).x();
    plot.marker->setLine(QLineF(plot.chart->mapToScene(QPointF(x, area.top())),
                                plot.chart->mapToScene(QPointF(x, area.bottom()))));
    plot.marker->show();
}

bool TimeSeriesChart::eventFilter(QObject* watched, QEvent* event)
{
    const Plot* plot = plotOfViewport(watched);
    if (!plot || m_series.time.empty())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPointF at = plot->chart->mapFromScene(plot->view->mapToScene(mouse->position().toPoint()));
        if (mouse->button() != Qt::LeftButton || !plot->chart->plotArea().contains(at))
            break;
        m_dragging = plot;
        scrubAt(*plot, mouse->position());
        return true;
    }
    case QEvent::ToolTip: {
        // The read-out, rather than a static hint, wherever the pointer rests.
        const auto* help = static_cast<QHelpEvent*>(event);
        showValuesAt(*plot, tabOf(*plot), help->pos(), help->globalPos());
        return true;
    }
    case QEvent::MouseMove:
        if (m_dragging != plot) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            showValuesAt(*plot, tabOf(*plot), mouse->position().toPoint(), mouse->globalPosition().toPoint());
            break;
        }
        scrubAt(*plot, static_cast<QMouseEvent*>(event)->position());
        return true;
    case QEvent::MouseButtonRelease:
        if (m_dragging != plot)
            break;
        m_dragging = nullptr;
        return true;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

const TimeSeriesChart::Plot* TimeSeriesChart::plotOfViewport(const QObject* viewport) const
{
    for (const Plot& plot : m_plots) {
        if (plot.view && plot.view->viewport() == viewport)
            return &plot;
    }
    return nullptr;
}

int TimeSeriesChart::sampleAt(const Plot& plot, const QPointF& viewportPos) const
{
    const QPointF at = plot.chart->mapFromScene(plot.view->mapToScene(viewportPos.toPoint()));
    const QRectF area = plot.chart->plotArea();
    // A drag beyond the plot holds at its first or last time.
    const qreal x = std::clamp(at.x(), area.left(), area.right());
    const double time = plot.chart->mapToValue(QPointF(x, area.center().y()), plot.curves[0]).x();
    return cosmophase::SampleNavigator(m_series.time).nearest(time);
}

void TimeSeriesChart::scrubAt(const Plot& plot, const QPointF& viewportPos)
{
    emit sampleRequested(sampleAt(plot, viewportPos));
}

void TimeSeriesChart::showValuesAt(const Plot& plot, Tab tab, const QPoint& viewportPos, const QPoint& globalPos) const
{
    const QPointF at = plot.chart->mapFromScene(plot.view->mapToScene(viewportPos));
    if (!plot.chart->plotArea().contains(at)) {
        QToolTip::hideText();
        return;
    }
    const auto index = static_cast<std::size_t>(sampleAt(plot, viewportPos));
    QString text = tr("Sample %1, %2 years").arg(index).arg(m_series.time[index], 0, 'g', 6);
    const cosmophase::TimeSeries& shown = shownOn(tab);
    for (int k = 0; k < kCurvesPerTab; ++k) {
        const std::vector<double>& values = shown.*kCurves[tab][k].values;
        if (index < values.size())
            text += QStringLiteral("\n%1 = %2").arg(tr(kCurves[tab][k].name)).arg(values[index], 0, 'g', 9);
    }
    text += tr("\nClick or drag to move the marker here");
    QToolTip::showText(globalPos, text, plot.view->viewport());
}
