#include "FieldFocus.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

FieldFocus::FieldFocus(QWidget& window, QWidget& home, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_home(home)
{
    // Presses go to whichever widget is under the pointer: only the
    // application sees them all.
    qApp->installEventFilter(this);
}

FieldFocus::~FieldFocus()
{
    qApp->removeEventFilter(this);
}

QWidget* FieldFocus::focusedField() const
{
    QWidget* focus = m_window.focusWidget();
    return qobject_cast<QLineEdit*>(focus) != nullptr ? focus : nullptr;
}

bool FieldFocus::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::MouseButtonPress)
        return false;
    QWidget* field = focusedField();
    if (field == nullptr || !watched->isWidgetType())
        return false;
    auto* target = static_cast<QWidget*>(watched);
    if (type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (target == field && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape))
            m_home.setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (target->window() == &m_window && target != field && !field->isAncestorOf(target))
        m_home.setFocus(Qt::MouseFocusReason);
    return false;
}
