#pragma once

#include <QObject>
#include <QPointF>

#include <optional>

class MyOpenGLView;

// Zoom and pan of the phase plane with the mouse: the wheel zooms about the
// point under the pointer, a drag with the right or middle button moves the
// plane along with the pointer. The left button is left to tracing.
class PlotNavigation : public QObject {
    Q_OBJECT

public:
    // Magnification per wheel notch and per zoom command.
    static constexpr double kZoomStep = 1.25;

    explicit PlotNavigation(MyOpenGLView& view, QObject* parent = nullptr);

public slots:
    // About the centre of the window.
    void zoomIn();
    void zoomOut();
    // Back to the full square.
    void resetView();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void zoomAbout(QPointF position, double factor);
    void panBy(QPointF pixels);

    MyOpenGLView& m_view;
    std::optional<QPointF> m_pan_from;
};
