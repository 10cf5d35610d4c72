#pragma once

#include "SquarePlotFrame.h"

#include <QString>

// The square plot with its axes drawn around it, outside the GL frame: tick
// marks and labels at -2, -1.5, ..., 2 where the grid lines run, "z2" under
// the horizontal axis and "w0" beside the vertical one, reading upwards.
class PlotAxesFrame : public SquarePlotFrame {
    Q_OBJECT

public:
    static constexpr int kTickLength = 4;
    static constexpr int kGap = 3;

    explicit PlotAxesFrame(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // "−1.5" (with a true minus sign), "0", "2".
    static QString tickLabel(double value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Room for the labels and titles, from the current font.
    void updateMargins();

    int m_label_width = 0; // of the widest tick label
};
