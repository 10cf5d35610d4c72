#pragma once

class QWidget;

// The main form's share-out of room between the phase plane and the side
// panel (controls, read-outs, chart), found in `form` by object name.

// Keeps the plot square at least as large as the side panel is wide, so
// the smallest window still shows a usable phase plane.
void keepPlotAtLeastPanelWide(QWidget& form);

// Shows or hides the time-series chart. Hidden, the side panel keeps only
// the width its controls need and the plot takes the rest, staying square.
void setChartShown(QWidget& form, bool shown);
