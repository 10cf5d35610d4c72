#pragma once

#include "ParameterGrid.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

// The study's grid, typed in 1 - q (as its axes show it) or in q: From, To,
// Points and Log for a spaced grid at a glance, and beside them the grid as
// text, which also takes a comma list. The fields and the text follow each
// other; the text is what is computed.
class StudyGridForm : public QWidget {
    Q_OBJECT

public:
    enum Variable { OneMinusQ, Q };
    static constexpr const char* kDefaultGrid = "1e-9:1e-3:200:log";

    explicit StudyGridForm(int maxPoints, QWidget* parent = nullptr);

    Variable variable() const;
    // Switches the variable, rewriting the grid's values in it.
    void setVariable(Variable variable);
    // The grid of q values, or a one-line error.
    cosmophase::studies::GridParse parse() const;
    // The grid's text in q, as the sweep's --q takes it: rewritten from
    // 1 - q when shown so (as typed when it cannot be).
    QString accelerationGrid() const;
    // Shows a grid given in q, in the variable shown when the text can be
    // rewritten there and back unchanged, in q otherwise.
    void setAccelerationGrid(const QString& text);

    QComboBox* variableBox() const { return m_variable; }
    QLineEdit* fromField() const { return m_from; }
    QLineEdit* toField() const { return m_to; }
    QSpinBox* pointsBox() const { return m_points; }
    QCheckBox* logBox() const { return m_log; }
    QLineEdit* gridField() const { return m_grid; }

signals:
    // Enter in any field.
    void submitted();

private:
    void fieldsToText();
    void textToFields();

    QComboBox* m_variable = nullptr;
    QLineEdit* m_from = nullptr;
    QLineEdit* m_to = nullptr;
    QSpinBox* m_points = nullptr;
    QCheckBox* m_log = nullptr;
    QLineEdit* m_grid = nullptr;
    Variable m_shown = OneMinusQ;
    // The text before the last switch and after it: switching straight back
    // restores what was typed (1 - (1 - v) need not be v to the last digit).
    QString m_before_switch;
    QString m_after_switch;
};

// Grid text in 1 - q rewritten in q (or back: the map is its own inverse):
// each value v becomes the shortest text of 1 - v; the count and ":log" stay.
// Empty when a value does not read as a number.
QString complementedGridText(const QString& text);
