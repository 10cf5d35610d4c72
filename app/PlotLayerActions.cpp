#include "PlotLayerActions.h"

#include "LegendOverlay.h"
#include "MyOpenGLView.h"
#include "PlotNavigation.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace {

QAction* addSwitch(QMenu& menu, const QString& text, bool on)
{
    QAction* action = menu.addAction(text);
    action->setCheckable(true);
    action->setChecked(on);
    return action;
}

} // namespace

PlotLayerSwitches addPlotLayerActions(QMenu& menu, MyOpenGLView& view, LegendOverlay& legend,
                                      PlotNavigation& navigation)
{
    QAction* field = addSwitch(menu, QObject::tr("&Direction Field"), view.showDirectionField());
    field->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_5));
    QObject::connect(field, &QAction::toggled, &view, &MyOpenGLView::setShowDirectionField);
    QAction* key = addSwitch(menu, QObject::tr("&Legend"), legend.isShownOnPlot());
    key->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_6));
    QObject::connect(key, &QAction::toggled, &legend, &LegendOverlay::setShownOnPlot);

    menu.addSeparator();
    QAction* zoomIn = menu.addAction(QObject::tr("Zoom &In"), &navigation, &PlotNavigation::zoomIn);
    // "+" needs Shift on many keyboards; "=" is the same key without it.
    zoomIn->setShortcuts({QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal)});
    menu.addAction(QObject::tr("Zoom &Out"), QKeySequence(Qt::Key_Minus), &navigation, &PlotNavigation::zoomOut);
    menu.addAction(QObject::tr("&Reset View"), QKeySequence(Qt::CTRL | Qt::Key_0), &navigation,
                   &PlotNavigation::resetView);

    menu.addSeparator();
    QAction* idle = addSwitch(menu, QObject::tr("Redraw When &Idle"), view.redrawWhenIdle());
    QObject::connect(idle, &QAction::toggled, &view, &MyOpenGLView::setRedrawWhenIdle);
    return {field, key, idle};
}
