#include "StudyGridForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSignalBlocker>
#include <QSpinBox>

#include <cmath>

namespace {

QString shortest(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// "A:B:N" or "A:B:N:log" split in its parts; empty for a list.
QStringList spacedParts(const QString& text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char(':'));
    const bool spaced = parts.size() == 3 || (parts.size() == 4 && parts[3].trimmed() == QLatin1String("log"));
    return spaced ? parts : QStringList();
}

} // namespace

QString complementedGridText(const QString& text)
{
    const auto complement = [](const QString& value, bool& ok) { return shortest(1.0 - value.trimmed().toDouble(&ok)); };
    bool ok = true;
    QStringList parts = spacedParts(text);
    if (!parts.isEmpty()) {
        parts[0] = complement(parts[0], ok);
        if (ok)
            parts[1] = complement(parts[1], ok);
        return ok ? parts.join(QLatin1Char(':')) : QString();
    }
    QStringList values = text.split(QLatin1Char(','));
    for (QString& value : values) {
        value = complement(value, ok);
        if (!ok)
            return QString();
    }
    return values.join(QLatin1Char(','));
}

StudyGridForm::StudyGridForm(int maxPoints, QWidget* parent)
    : QWidget(parent)
    , m_variable(new QComboBox(this))
    , m_from(new QLineEdit(this))
    , m_to(new QLineEdit(this))
    , m_points(new QSpinBox(this))
    , m_log(new QCheckBox(tr("&Log"), this))
    , m_grid(new QLineEdit(QString::fromLatin1(kDefaultGrid), this))
{
    m_variable->addItems({tr("1 \u2212 q"), tr("q")});
    m_variable->setToolTip(tr("Whether the grid's values are 1 \u2212 q, as the plots' axes, or q"));
    m_points->setRange(1, maxPoints);
    m_log->setToolTip(tr("Evenly spaced in log10(1 \u2212 q)"));
    m_grid->setToolTip(tr("The grid as cosmophase-export sweep takes it: a comma list, A:B:N (evenly spaced) "
                          "or A:B:N:log (1 \u2212 q evenly spaced in log10)"));
    for (QLineEdit* field : {m_from, m_to})
        field->setMaximumWidth(110);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    const auto labelled = [&](const QString& text, QWidget* field) {
        auto* label = new QLabel(text, this);
        label->setBuddy(field);
        // Room for a kerned pair such as "To" to keep its last letter.
        label->setMinimumWidth(label->sizeHint().width() + 3);
        layout->addWidget(label);
        layout->addWidget(field);
    };
    labelled(tr("&Grid in"), m_variable);
    labelled(tr("&From"), m_from);
    labelled(tr("&To"), m_to);
    labelled(tr("&Points"), m_points);
    layout->addWidget(m_log);
    labelled(tr("Te&xt"), m_grid);
    layout->setStretchFactor(m_grid, 1);
    textToFields();

    connect(m_variable, &QComboBox::currentIndexChanged, this,
            [this](int index) { setVariable(static_cast<Variable>(index)); });
    for (QLineEdit* field : {m_from, m_to}) {
        connect(field, &QLineEdit::textEdited, this, &StudyGridForm::fieldsToText);
        connect(field, &QLineEdit::returnPressed, this, &StudyGridForm::submitted);
    }
    connect(m_points, &QSpinBox::valueChanged, this, &StudyGridForm::fieldsToText);
    connect(m_log, &QCheckBox::toggled, this, &StudyGridForm::fieldsToText);
    connect(m_grid, &QLineEdit::textEdited, this, &StudyGridForm::textToFields);
    connect(m_grid, &QLineEdit::returnPressed, this, &StudyGridForm::submitted);
    connect(m_points, &QSpinBox::editingFinished, this, [this] {
        if (m_points->hasFocus())
            emit submitted();
    });
}

StudyGridForm::Variable StudyGridForm::variable() const
{
    return m_shown;
}

void StudyGridForm::setVariable(Variable variable)
{
    if (variable == m_shown)
        return;
    m_shown = variable;
    const QSignalBlocker blocker(m_variable);
    m_variable->setCurrentIndex(variable);
    const QString typed = m_grid->text();
    const QString complemented = typed == m_after_switch ? m_before_switch : complementedGridText(typed);
    if (!complemented.isEmpty()) {
        m_grid->setText(complemented);
        m_before_switch = typed;
        m_after_switch = complemented;
    }
    textToFields();
}

cosmophase::studies::GridParse StudyGridForm::parse() const
{
    const QString text = m_grid->text().trimmed();
    if (m_shown == Q)
        return cosmophase::studies::GridParse::acceleration(text.toStdString());
    return cosmophase::studies::GridParse::oneMinusAcceleration(text.toStdString());
}

QString StudyGridForm::accelerationGrid() const
{
    const QString typed = m_grid->text();
    if (m_shown == Q)
        return typed;
    // Straight after a switch from q, the text typed there.
    if (typed == m_after_switch && !m_before_switch.isEmpty())
        return m_before_switch;
    const QString complemented = complementedGridText(typed);
    return complemented.isEmpty() ? typed : complemented;
}

void StudyGridForm::setAccelerationGrid(const QString& text)
{
    QString shown = text;
    if (m_shown == OneMinusQ) {
        shown = complementedGridText(text);
        if (shown.isEmpty() || complementedGridText(shown) != text) {
            shown = text;
            const QSignalBlocker blocker(m_variable);
            m_variable->setCurrentIndex(Q);
            m_shown = Q;
        }
    }
    m_grid->setText(shown);
    m_before_switch.clear();
    m_after_switch.clear();
    textToFields();
}

void StudyGridForm::fieldsToText()
{
    QString text = m_from->text().trimmed() + QLatin1Char(':') + m_to->text().trimmed() + QLatin1Char(':')
                   + QString::number(m_points->value());
    if (m_log->isChecked())
        text += QLatin1String(":log");
    m_grid->setText(text);
}

void StudyGridForm::textToFields()
{
    const QStringList parts = spacedParts(m_grid->text());
    bool whole = false;
    const int count = parts.isEmpty() ? 0 : parts[2].trimmed().toInt(&whole);
    // A list, or a count beyond the box, is only in the text.
    const bool spaced = whole && count >= m_points->minimum() && count <= m_points->maximum();
    if (!spaced)
        return;
    const QSignalBlocker points(m_points);
    const QSignalBlocker log(m_log);
    m_from->setText(parts[0].trimmed());
    m_to->setText(parts[1].trimmed());
    m_points->setValue(count);
    m_log->setChecked(parts.size() == 4);
}
