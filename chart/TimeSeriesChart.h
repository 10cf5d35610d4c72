#pragma once

#include "AxisTicks.h"
#include "TimeSeries.h"

#include <QWidget>

#include <array>
#include <vector>

class QAbstractAxis;
class QChart;
class QChartView;
class QGraphicsLineItem;
class QGraphicsSimpleTextItem;
class QLineSeries;
class QPainter;
class QLogValueAxis;
class QTabWidget;

// The run over time below the controls: q0, xi0 and the density ratio on one
// tab, the state (z2, w0, w2) on the other, against the elapsed time in years
// on a logarithmic axis labelled in powers of ten. Once a reference solution
// is given, it is drawn dashed in the same colours, and the third tab plots
// the run's relative error in q0, xi0 and the density ratio on a logarithmic
// axis. A vertical line marks the sample at the marker; a click or drag in a
// plot asks for the sample nearest that time, and hovering names the time
// and values there.
class TimeSeriesChart : public QWidget {
    Q_OBJECT

public:
    enum Tab { Observables, State, Error };
    static constexpr int kTabs = 3;
    static constexpr int kCurvesPerTab = 3;

    explicit TimeSeriesChart(QWidget* parent = nullptr);
    ~TimeSeriesChart() override;

    // Fills both tabs; before this the plots are empty and the marker hidden.
    void setSeries(cosmophase::TimeSeries series);
    const cosmophase::TimeSeries& series() const { return m_series; }

    // The reference at each sample, index for index with the series: dashed
    // curves on the first two tabs and the error tab's curves.
    void setReference(cosmophase::TimeSeries reference);
    bool hasReference() const { return !m_reference.time.empty(); }
    // Empty until a reference is given; so is everything of the Error tab,
    // whose page says until then that the reference is being computed.
    const std::array<QLineSeries*, kCurvesPerTab>& referenceCurves(Tab tab) const;

    int markerIndex() const { return m_marker_index; }
    QTabWidget* tabs() const { return m_tabs; }
    QChartView* chartView(Tab tab) const;
    const std::array<QLineSeries*, kCurvesPerTab>& curves(Tab tab) const;
    QGraphicsLineItem* markerLine(Tab tab) const;

    // The open tab's plot as shown, drawn afresh rather than from the
    // screen's cached pixmap, so that vector devices get vector curves.
    QSize currentPlotSize() const;
    void renderCurrentPlot(QPainter& painter) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    // Moves only the marker line; the curves are left as they are.
    void setMarkerIndex(int index);

signals:
    // The sample nearest the time clicked or dragged to.
    void sampleRequested(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Plot {
        QChartView* view = nullptr;
        QChart* chart = nullptr;
        QLogValueAxis* timeAxis = nullptr;
        QAbstractAxis* valueAxis = nullptr;
        // On the right, for a curve that would flatten the others.
        QAbstractAxis* sideAxis = nullptr;
        std::array<QLineSeries*, kCurvesPerTab> curves{};
        std::array<QLineSeries*, kCurvesPerTab> referenceCurves{};
        QGraphicsLineItem* marker = nullptr;
        // "10⁴" under the axis, in place of its own "1e+04" labels.
        std::vector<QGraphicsSimpleTextItem*> timeLabels;
    };

    void buildPlot(Plot& plot, Tab tab);
    void fillPlot(Plot& plot, Tab tab);
    void fillReference(Plot& plot, Tab tab);
    const cosmophase::TimeSeries& shownOn(Tab tab) const;
    void placeMarker(const Plot& plot);
    void placeTimeLabels(Plot& plot);
    int sampleAt(const Plot& plot, const QPointF& viewportPos) const;
    void showValuesAt(const Plot& plot, Tab tab, const QPoint& viewportPos, const QPoint& globalPos) const;
    void fitLinearAxes(Plot& plot, Tab tab, const std::vector<cosmophase::axisticks::Span>& spans);
    bool chartPixmapFitsCache() const;
    const Plot* plotOfViewport(const QObject* viewport) const;
    void scrubAt(const Plot& plot, const QPointF& viewportPos);
    Tab tabOf(const Plot& plot) const { return static_cast<Tab>(&plot - m_plots.data()); }

    QTabWidget* m_tabs = nullptr;
    std::array<Plot, kTabs> m_plots;
    cosmophase::TimeSeries m_series;
    cosmophase::TimeSeries m_reference;
    cosmophase::TimeSeries m_errors;
    int m_marker_index = 0;
    const Plot* m_dragging = nullptr;
};
