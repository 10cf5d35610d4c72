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

    // Where the plot goes: the largest square centred in the contents
    // rectangle (the whole frame unless contents margins are set).
    QRect plotRect() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void placePlot();
};
