#include "PanelLayout.h"

#include <QBoxLayout>
#include <QWidget>

namespace {

QWidget* child(QWidget& form, const char* name)
{
    return form.findChild<QWidget*>(QLatin1String(name));
}

} // namespace

void keepPlotAtLeastPanelWide(QWidget& form)
{
    QWidget* plot = child(form, "plotFrame");
    QWidget* panel = child(form, "sidePanel");
    if (!plot || !panel)
        return;
    const int side = panel->minimumWidth();
    plot->setMinimumSize(QSize(side, side).grownBy(plot->contentsMargins()));
}

void setChartShown(QWidget& form, bool shown)
{
    QWidget* chart = child(form, "timeSeriesChart");
    QWidget* panel = child(form, "sidePanel");
    auto* root = qobject_cast<QBoxLayout*>(form.layout());
    if (!chart || !panel || !root)
        return;
    chart->setVisible(shown);
    // Shown, the form's own share-out (6 : 5, the panel's width ignored);
    // hidden, the panel no wider than its controls.
    const int panelIndex = root->indexOf(panel);
    root->setStretch(panelIndex, shown ? 5 : 0);
    QSizePolicy policy = panel->sizePolicy();
    policy.setHorizontalPolicy(shown ? QSizePolicy::Ignored : QSizePolicy::Maximum);
    panel->setSizePolicy(policy);
}
