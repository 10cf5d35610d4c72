#pragma once

class LegendOverlay;
class MyOpenGLView;
class PlotNavigation;
class QMenu;

// The plot's other switches and its zoom: Direction Field (on at start),
// Legend (off), Zoom In, Zoom Out, Reset View, and Redraw When Idle (on).
void addPlotLayerActions(QMenu& menu, MyOpenGLView& view, LegendOverlay& legend, PlotNavigation& navigation);
