#pragma once

#include "AxisTicks.h"

#include <QWidget>

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

class QAbstractAxis;
class QChart;
class QChartView;
class QLineSeries;
class QPainter;

// A parameter study's present day, ready to plot: what each point gives
// against its 1 - q.
struct StudyCurves {
    enum Quantity { Age, Q0, Xi0, DensityRatio, QuantityCount };

    // 1 - q of each point, positive.
    std::vector<double> distance;
    // Index for index with `distance`, in each plot's unit (the age in
    // billion years); NaN where a run did not reach the present day.
    std::array<std::vector<double>, QuantityCount> run;
    std::array<std::vector<double>, QuantityCount> reference;
};

// Four plots of a study against 1 - q, the run solid and the reference
// dashed, with a red line at the main window's q. Each value axis is chosen
// from the data: logarithmic for positive values over decades, symmetric-log
// (labelled with the real values) for values of both signs over decades, as
// xi0 has near q = 1, linear otherwise, with labels precise enough to tell
// the ticks apart. Hovering reads out the nearest point; a click asks for it.
class StudyCharts : public QWidget {
    Q_OBJECT

public:
    using Quantity = StudyCurves::Quantity;

    explicit StudyCharts(QWidget* parent = nullptr);
    ~StudyCharts() override;

    void setCurves(StudyCurves curves);
    const StudyCurves& curves() const { return m_curves; }
    // The main window's run in 1 - q; none, or off the grid, hides the line.
    void setCurrentDistance(std::optional<double> distance);

    QChartView* chartView(Quantity quantity) const;
    QLineSeries* runCurve(Quantity quantity) const;
    QLineSeries* referenceCurve(Quantity quantity) const;
    QLineSeries* currentMarker(Quantity quantity) const;
    QAbstractAxis* valueAxis(Quantity quantity) const;
    QAbstractAxis* distanceAxis(Quantity quantity) const;
    // A value where the plot draws it: moved onto the symmetric-log scale
    // where the plot has one.
    double plotted(Quantity quantity, double value) const;

    // The point nearest in log(1 - q) to a position in a plot's viewport;
    // none outside the plot area.
    std::optional<std::size_t> pointAt(Quantity quantity, const QPoint& viewportPos) const;
    // 1 - q, q and the run's and the reference's value at a point.
    QString readout(Quantity quantity, std::size_t index) const;

    // The four plots as laid out, each drawn afresh so that vector devices
    // get vector curves.
    QSize figureSize() const { return size(); }
    void renderFigure(QPainter& painter) const;

signals:
    void pointClicked(std::size_t index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Plot {
        QChartView* view = nullptr;
        QChart* chart = nullptr;
        QAbstractAxis* distanceAxis = nullptr;
        QAbstractAxis* valueAxis = nullptr;
        QLineSeries* run = nullptr;
        QLineSeries* reference = nullptr;
        QLineSeries* marker = nullptr;
        std::optional<cosmophase::axisticks::SymmetricLog> symmetricLog;
        // The value axis's range, as plotted.
        double low = 0;
        double high = 1;
    };

    void buildPlot(Plot& plot, Quantity quantity);
    void fillPlot(Plot& plot, Quantity quantity);
    void setAxes(Plot& plot, QAbstractAxis* distanceAxis, QAbstractAxis* valueAxis);
    QAbstractAxis* valueAxisFor(Plot& plot, const std::vector<double>& values);
    void placeMarker(Plot& plot);
    const Plot* plotOfViewport(const QObject* viewport) const;
    Quantity quantityOf(const Plot& plot) const { return static_cast<Quantity>(&plot - m_plots.data()); }

    std::array<Plot, StudyCurves::QuantityCount> m_plots;
    StudyCurves m_curves;
    std::optional<double> m_current;
};
