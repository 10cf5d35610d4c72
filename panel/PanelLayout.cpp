#include "PanelLayout.h"

#include <QBoxLayout>
#include <QWidget>

#include <algorithm>
#include <QWidget>

void PanelLayout::keepPlotAtLeastPanelWide() const
{
    const int side = sidePanel->minimumWidth();
    plotFrame->setMinimumSize(QSize(side, side).grownBy(plotFrame->contentsMargins()));
}

void PanelLayout::setChartShown(bool shown) const
{
    chart->setVisible(shown);
    // Shown, the form's own share-out (6 : 5, the panel's width ignored);
    // hidden, the panel no wider than its controls need, the plot taking
    // the rest.
    root->setStretch(root->indexOf(sidePanel), shown ? 5 : 0);
    sidePanel->setMaximumWidth(shown ? QWIDGETSIZE_MAX
                                     : std::max(sidePanel->minimumWidth(), sidePanel->minimumSizeHint().width()));
}
