#include "CurveSwitches.h"

#include "MyOpenGLView.h"

#include <QCheckBox>
#include <QKeySequence>

namespace {

void setUp(QAction& action, const QString& text, int digit, bool checked)
{
    action.setText(text);
    action.setCheckable(true);
    action.setChecked(checked);
    action.setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + digit)));
}

void bindBox(QAction& action, QCheckBox& box)
{
    action.setChecked(box.isChecked());
    QObject::connect(&box, &QCheckBox::toggled, &action, &QAction::setChecked);
    QObject::connect(&action, &QAction::toggled, &box, &QCheckBox::setChecked);
}

} // namespace

CurveSwitches::CurveSwitches(QObject* parent)
    : QObject(parent)
{
    // The curves start shown, the nullclines hidden.
    setUp(m_stable, tr("&Stable Manifold"), 1, true);
    setUp(m_unstable, tr("&Unstable Manifold"), 2, true);
    setUp(m_family, tr("&Family Curve"), 3, true);
    setUp(m_nullclines, tr("&Nullclines"), 4, false);
}

void CurveSwitches::bind(QCheckBox& stable, QCheckBox& unstable, QCheckBox& family, MyOpenGLView& plot)
{
    bindBox(m_stable, stable);
    bindBox(m_unstable, unstable);
    bindBox(m_family, family);
    m_nullclines.setChecked(plot.showNullclines());
    connect(&m_nullclines, &QAction::toggled, &plot, &MyOpenGLView::setShowNullclines);
}
