#pragma once

#include <QAction>
#include <QObject>

class MyOpenGLView;
class QCheckBox;

// The plot's curve switches as checkable actions with their shortcuts: the
// stable and unstable manifolds, the family curve and the nullclines. The
// View menu shows these very actions, and the form's check boxes are bound
// to them, so menu, shortcut and box can never disagree.
class CurveSwitches : public QObject {
    Q_OBJECT

public:
    explicit CurveSwitches(QObject* parent = nullptr);

    QAction& stable() { return m_stable; }
    QAction& unstable() { return m_unstable; }
    QAction& family() { return m_family; }
    QAction& nullclines() { return m_nullclines; }

    // Keeps each box and its action checked alike both ways. Neither path
    // emits the other's click or trigger, so whoever flips the curve on a
    // click or a trigger does so once. The nullclines switch `plot` directly.
    void bind(QCheckBox& stable, QCheckBox& unstable, QCheckBox& family, MyOpenGLView& plot);

private:
    QAction m_stable;
    QAction m_unstable;
    QAction m_family;
    QAction m_nullclines;
};
