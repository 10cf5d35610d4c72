#pragma once

class LegendOverlay;
class MyOpenGLView;
class PlotNavigation;
class QMenu;
class QWidget;

// Adds the plot's switches to a View menu as checkable actions, each with a
// shortcut so that every switch can be reached from the keyboard: the three
// curves, kept in step with their check boxes in `form` both ways, and the
// nullclines, off at start.
void addPlotViewActions(QMenu& menu, QWidget& form, MyOpenGLView& view);

// The plot's other switches and its zoom: Direction Field (on at start),
// Legend (off), Zoom In, Zoom Out, Reset View, and Redraw When Idle (on).
void addPlotLayerActions(QMenu& menu, MyOpenGLView& view, LegendOverlay& legend, PlotNavigation& navigation);
