#pragma once

#include <QWidget>

// Holds the plot and keeps it square and centred whatever shape the window
// takes: the phase plane is drawn over a square, so stretching would distort
// the curves.
class SquarePlotFrame : public QWidget {
    Q_OBJECT

public:
    explicit SquarePlotFrame(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placePlot();
};
