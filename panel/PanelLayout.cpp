#include "PanelLayout.h"

#include <QBoxLayout>
#include <QWidget>

#include <algorithm>

void PanelLayout::keepPlotAtLeastPanelWide() const
{
    // Never narrower than its controls, or the read-outs' reference lines
    // would be cut.
    const int side = std::max(sidePanel->minimumWidth(), sidePanelLayout->minimumSize().width());
    sidePanel->setMinimumWidth(side);
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
