#include "ParametersPanel.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>
#include <cmath>

using cosmophase::RunParameters;

namespace {

QString text(const std::string& s)
{
    return QString::fromStdString(s);
}

} // namespace

ParametersPanel::ParametersPanel(QWidget* parent)
    : QGroupBox(tr("Parameters"), parent)
    , m_q_field(new QLineEdit(this))
    , m_q_slider(new QSlider(Qt::Horizontal, this))
    , m_slider_value(new QLabel(this))
    , m_temperature_field(new QLineEdit(this))
    , m_defaults_button(new QPushButton(tr("Defaults"), this))
    , m_message(new QLabel(this))
{
    setObjectName(QStringLiteral("parametersBox"));
    m_q_field->setObjectName(QStringLiteral("qParameterField"));
    m_q_field->setToolTip(tr("Initial acceleration parameter q, exactly as typed: above 0 and below "
                             "sqrt(7)/2 = 1.3228756555322954"));
    m_q_slider->setObjectName(QStringLiteral("qParameterSlider"));
    m_q_slider->setRange(kSliderMinExponent * kSliderStepsPerDecade, kSliderMaxExponent * kSliderStepsPerDecade);
    m_q_slider->setToolTip(tr("1 - q from 1e-9 (left) to 1e-3 (right), logarithmically"));
    m_q_slider->setFocusPolicy(Qt::TabFocus);
    m_temperature_field->setObjectName(QStringLiteral("temperatureParameterField"));
    m_temperature_field->setToolTip(tr("Initial temperature T: a whole number from 1 to 2147483647"));
    m_defaults_button->setObjectName(QStringLiteral("parameterDefaultsButton"));
    m_defaults_button->setToolTip(tr("q = 0.999999426, T = 9000: the seed run"));
    m_defaults_button->setFocusPolicy(Qt::TabFocus);
    m_message->setObjectName(QStringLiteral("parameterMessage"));
    m_message->setWordWrap(true);
    // Two lines always: a refusal then never moves the chart below.
    m_message->setMinimumHeight(2 * fontMetrics().lineSpacing());
    m_message->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* layout = new QGridLayout(this);
    auto* qLabel = new QLabel(tr("q"), this);
    qLabel->setBuddy(m_q_field);
    auto* temperatureLabel = new QLabel(tr("T"), this);
    temperatureLabel->setBuddy(m_temperature_field);
    layout->addWidget(qLabel, 0, 0);
    layout->addWidget(m_q_field, 0, 1);
    layout->addWidget(new QLabel(tr("1 \u2212 q"), this), 0, 2);
    layout->addWidget(m_q_slider, 0, 3);
    layout->addWidget(m_slider_value, 0, 4);
    layout->addWidget(temperatureLabel, 1, 0);
    layout->addWidget(m_temperature_field, 1, 1);
    layout->addWidget(m_defaults_button, 1, 4);
    layout->addWidget(m_message, 2, 0, 1, 5);
    layout->setColumnStretch(1, 2);
    layout->setColumnStretch(3, 3);
    // Room for the widest value, so that the slider does not jump.
    m_slider_value->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("1.0e-9")));

    connect(m_q_field, &QLineEdit::textEdited, this, &ParametersPanel::fieldsEdited);
    connect(m_temperature_field, &QLineEdit::textEdited, this, &ParametersPanel::fieldsEdited);
    connect(m_q_slider, &QSlider::valueChanged, this, &ParametersPanel::sliderMoved);
    connect(m_q_slider, &QSlider::sliderReleased, this, &ParametersPanel::sliderReleased);
    connect(m_defaults_button, &QPushButton::clicked, this, &ParametersPanel::restoreDefaults);
    showParameters(m_parameters);
}

bool ParametersPanel::sliderDragged() const
{
    return m_q_slider->isSliderDown();
}

void ParametersPanel::showParameters(const RunParameters& parameters)
{
    m_parameters = parameters;
    m_q_field->setText(text(cosmophase::accelerationText(parameters.q)));
    m_temperature_field->setText(QString::number(parameters.T));
    placeSlider(parameters.q);
    showProblem(nullptr, {});
}

void ParametersPanel::showAccelerationText(const QString& text)
{
    const cosmophase::ParsedValue<double> q = cosmophase::parseAcceleration(text.trimmed().toStdString());
    if (q.value && *q.value == m_parameters.q)
        m_q_field->setText(text.trimmed());
}

QString ParametersPanel::accelerationText(double q) const
{
    const QString typed = m_q_field->text().trimmed();
    const cosmophase::ParsedValue<double> read = cosmophase::parseAcceleration(typed.toStdString());
    return read.value && *read.value == q ? typed : text(cosmophase::accelerationText(q));
}

void ParametersPanel::placeSlider(double q)
{
    const double exponent = std::log10(1 - q);
    // Outside the slider's decades it rests at the nearer end.
    const double position = std::isfinite(exponent) ? exponent * kSliderStepsPerDecade : m_q_slider->minimum();
    const QSignalBlocker blocker(m_q_slider);
    m_q_slider->setValue(static_cast<int>(std::lround(
        std::clamp<double>(position, m_q_slider->minimum(), m_q_slider->maximum()))));
    m_slider_value->setText(q < 1 ? QString::number(1 - q, 'e', 1) : QString());
}

void ParametersPanel::fieldsEdited()
{
    // Both fields as they read now: a run never mixes one field's text with
    // the other's last valid value.
    // Spaces around a number are no part of it.
    const cosmophase::ParsedValue<double> q = cosmophase::parseAcceleration(m_q_field->text().trimmed().toStdString());
    const cosmophase::ParsedValue<std::int32_t> T =
        cosmophase::parseTemperature(m_temperature_field->text().trimmed().toStdString());
    if (!q.value) {
        showProblem(m_q_field, text(q.error));
        return;
    }
    placeSlider(*q.value);
    if (!T.value) {
        showProblem(m_temperature_field, text(T.error));
        return;
    }
    request({*q.value, *T.value});
}

void ParametersPanel::sliderMoved(int position)
{
    const double q = 1 - std::pow(10.0, static_cast<double>(position) / kSliderStepsPerDecade);
    // The field shows exactly the q that runs, so typing it back gives this run.
    m_q_field->setText(text(cosmophase::accelerationText(q)));
    fieldsEdited();
}

void ParametersPanel::restoreDefaults()
{
    showParameters(RunParameters{});
    request(RunParameters{});
}

void ParametersPanel::request(const RunParameters& parameters)
{
    const std::string outside = cosmophase::ParameterDomain::check(parameters);
    if (!outside.empty()) {
        showProblem(m_q_field, text(outside));
        return;
    }
    emit runRequested(parameters);
}

void ParametersPanel::showRunAccepted(const RunParameters& parameters)
{
    m_parameters = parameters;
    showProblem(nullptr, {});
}

void ParametersPanel::showRunRefused(const QString& reason)
{
    showProblem(m_q_field, tr("Still showing q = %1, T = %2: %3")
                               .arg(text(cosmophase::accelerationText(m_parameters.q)))
                               .arg(m_parameters.T)
                               .arg(reason));
}

void ParametersPanel::showProblem(QLineEdit* field, const QString& message)
{
    // Red text in the field at fault, the reason beneath both fields; the
    // palette, not a style sheet, so that no field changes its size.
    for (QLineEdit* each : {m_q_field, m_temperature_field}) {
        QPalette colours = palette();
        if (each == field)
            colours.setColor(QPalette::Text, QColor(0xb0, 0, 0));
        each->setPalette(colours);
    }
    // Without a problem the line states the domain.
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, message.isEmpty() ? QColor(0x60, 0x60, 0x60) : QColor(0xb0, 0, 0));
    m_message->setPalette(colours);
    m_message->setText(message.isEmpty() ? tr("0 < q < \u221a7/2 = 1.3228756555322954; T from 1 to "
                                              "2147483647. Above q = 1.311 some runs cannot reach the present day.")
                                         : message);
}
