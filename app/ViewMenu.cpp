#include "ViewMenu.h"

#include "LegendOverlay.h"
#include "MyOpenGLView.h"
#include "PlotNavigation.h"

#include <QAction>
#include <QCheckBox>
#include <QKeySequence>
#include <QMenu>
#include <QWidget>

namespace {

// The action clicks the box, so the box's own path (the controller's switch
// action) flips the curve; the box's state is mirrored back into the action,
// which setChecked() does without triggering it again.
void addCurveAction(QMenu& menu, const QString& text, QKeySequence shortcut, QCheckBox* box)
{
    QAction* action = menu.addAction(text);
    action->setCheckable(true);
    action->setChecked(box->isChecked());
    action->setShortcut(shortcut);
    QObject::connect(action, &QAction::triggered, box, [box](bool checked) {
        if (box->isChecked() != checked)
            box->click();
    });
    QObject::connect(box, &QCheckBox::toggled, action, &QAction::setChecked);
}

} // namespace

void addPlotViewActions(QMenu& menu, QWidget& form, MyOpenGLView& view)
{
    addCurveAction(menu, QObject::tr("&Stable Manifold"), QKeySequence(Qt::CTRL | Qt::Key_1),
                   form.findChild<QCheckBox*>(QStringLiteral("stableCheckBox")));
    addCurveAction(menu, QObject::tr("&Unstable Manifold"), QKeySequence(Qt::CTRL | Qt::Key_2),
                   form.findChild<QCheckBox*>(QStringLiteral("unstableCheckBox")));
    addCurveAction(menu, QObject::tr("&Family Curve"), QKeySequence(Qt::CTRL | Qt::Key_3),
                   form.findChild<QCheckBox*>(QStringLiteral("familyCheckBox")));
    menu.addSeparator();
    QAction* nullclines = menu.addAction(QObject::tr("&Nullclines"));
    nullclines->setCheckable(true);
    nullclines->setChecked(view.showNullclines());
    nullclines->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_4));
    QObject::connect(nullclines, &QAction::toggled, &view, &MyOpenGLView::setShowNullclines);
}

namespace {

QAction* addSwitch(QMenu& menu, const QString& text, const QString& name, bool on)
{
    QAction* action = menu.addAction(text);
    action->setObjectName(name);
    action->setCheckable(true);
    action->setChecked(on);
    return action;
}

} // namespace

void addPlotLayerActions(QMenu& menu, MyOpenGLView& view, LegendOverlay& legend, PlotNavigation& navigation)
{
    QAction* field = addSwitch(menu, QObject::tr("&Direction Field"), QStringLiteral("directionFieldAction"),
                               view.showDirectionField());
    field->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_5));
    QObject::connect(field, &QAction::toggled, &view, &MyOpenGLView::setShowDirectionField);
    QAction* key = addSwitch(menu, QObject::tr("&Legend"), QStringLiteral("legendAction"), legend.isShownOnPlot());
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
    QAction* idle = addSwitch(menu, QObject::tr("Redraw When &Idle"), QStringLiteral("redrawWhenIdleAction"),
                              view.redrawWhenIdle());
    QObject::connect(idle, &QAction::toggled, &view, &MyOpenGLView::setRedrawWhenIdle);
}
