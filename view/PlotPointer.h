#pragma once

#include "PlotGeometry.h"
#include "PlotWindow.h"

#include <QObject>
#include <QPointF>

#include <optional>

class QWidget;

// Watches the mouse over a plot widget and reports it in plot coordinates:
// where the pointer is, that it has left, and clicks. A click is a left
// press and release at most kClickSlop pixels apart; anything longer is a
// drag and reports nothing. The widget itself still gets every event.
class PlotPointer : public QObject {
    Q_OBJECT

public:
    static constexpr int kClickSlop = 4;

    explicit PlotPointer(QWidget& plot, QObject* parent = nullptr);

    // The plot point at the centre of the pixel at `position` (widget
    // coordinates), mapped over the widget's viewport in device pixels.
    cosmophase::plot::Point plotPointAt(QPointF position) const;

    // The part of the plane the widget shows; the full square at first.
    void setPlotWindow(const cosmophase::plot::PlotWindow& window) { m_window = window; }

signals:
    void moved(cosmophase::plot::Point at);
    void left();
    void clicked(cosmophase::plot::Point at);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_plot;
    std::optional<QPointF> m_press;
    cosmophase::plot::PlotWindow m_window;
};
