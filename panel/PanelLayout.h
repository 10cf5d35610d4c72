#pragma once

class QBoxLayout;
class QWidget;

// The parts of the main form among which the room is shared out: the phase
// plane's frame and the side panel (controls, read-outs, chart) in the root
// layout. The controller hands them out; nothing is looked up by name.
struct PanelLayout {
    QBoxLayout* root = nullptr;
    QWidget* plotFrame = nullptr;
    QWidget* sidePanel = nullptr;
    QBoxLayout* sidePanelLayout = nullptr;
    QWidget* chart = nullptr;

    // Keeps the side panel at least as wide as its controls need, so no
    // read-out is cut, and the plot square at least as large as the panel is
    // wide, so the smallest window still shows a usable phase plane.
    void keepPlotAtLeastPanelWide() const;

    // Shows or hides the time-series chart. Hidden, the side panel keeps only
    // the width its controls need and the plot takes the rest, staying square.
    void setChartShown(bool shown) const;
};
