#pragma once

#include <QWidget>

class MyOpenGLView;

// The legend (PlotLegend) over the corner of the phase plane that hides the
// least of its curves, a child widget of the view so that the GL frame
// itself is unchanged. Hidden at start; it follows the view's switches,
// curves, window and size.
class LegendOverlay : public QWidget {
    Q_OBJECT

public:
    explicit LegendOverlay(MyOpenGLView& view);

    // Also what saved figures ask before drawing the legend.
    bool isShownOnPlot() const { return m_shown; }

public slots:
    void setShownOnPlot(bool shown);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();

    MyOpenGLView& m_view;
    bool m_shown = false;
};
