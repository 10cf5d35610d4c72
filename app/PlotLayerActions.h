#pragma once

class LegendOverlay;
class MyOpenGLView;
class PlotNavigation;
class QAction;
class QMenu;

// The menu's switches among the actions below, children of the menu, for
// whoever restores or keeps their state.
struct PlotLayerSwitches {
    QAction* directionField = nullptr;
    QAction* legend = nullptr;
    QAction* redrawWhenIdle = nullptr;
};

// The plot's other switches and its zoom: Direction Field (on at start),
// Legend (off), Zoom In, Zoom Out, Reset View, and Redraw When Idle (on).
PlotLayerSwitches addPlotLayerActions(QMenu& menu, MyOpenGLView& view, LegendOverlay& legend,
                                      PlotNavigation& navigation);
