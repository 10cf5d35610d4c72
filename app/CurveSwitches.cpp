#include "CurveSwitches.h"

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

void CurveSwitches::bind(QAction& action, QCheckBox& box)
{
    action.setChecked(box.isChecked());
    connect(&box, &QCheckBox::toggled, &action, &QAction::setChecked);
    connect(&action, &QAction::toggled, &box, &QCheckBox::setChecked);
}
