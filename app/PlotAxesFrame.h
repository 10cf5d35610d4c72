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

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Room for the labels and titles, from the current font.
    void updateMargins();

    PlotAxes m_axes;
};
