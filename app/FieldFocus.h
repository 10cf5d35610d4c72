#pragma once

#include <QObject>

class QWidget;

// Text fields keep the keyboard only while they are typed in: Enter or
// Escape in a field of the window, or a press anywhere else in it, hands
// the focus to `home` (the plot), so that Space, the arrows, Home and End
// drive playback again. Buttons, check boxes and tabs take no focus of
// their own, so without this a click on Play would leave Space typing into
// the field.
class FieldFocus : public QObject {
    Q_OBJECT

public:
    FieldFocus(QWidget& window, QWidget& home, QObject* parent = nullptr);
    ~FieldFocus() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* focusedField() const;

    QWidget& m_window;
    QWidget& m_home;
};
