#include "ViewMenu.h"

#include "MyOpenGLView.h"

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
