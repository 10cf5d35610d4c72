#pragma once

#include "PlotAxes.h"
#include "SquarePlotFrame.h"

#include <QString>

// The square plot with its axes (PlotAxes) drawn around it, outside the GL
// frame.
class PlotAxesFrame : public SquarePlotFrame {
    Q_OBJECT

public:
    static constexpr int kTickLength = PlotAxes::kTickLength;
    static constexpr int kGap = PlotAxes::kGap;

    explicit PlotAxesFrame(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static QString tickLabel(double value) { return PlotAxes::tickLabel(value); }

public slots:
    // The axes follow the part of the plane the plot shows.
    void setPlotWindow(const cosmophase::plot::PlotWindow& window);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Room for the labels and titles, from the current font.
    void updateMargins();

    PlotAxes m_axes;
    cosmophase::plot::PlotWindow m_window;
};
