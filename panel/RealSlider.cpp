#include "RealSlider.h"

#include <cmath>

RealSlider::RealSlider(QWidget* parent)
    : QSlider(Qt::Horizontal, parent)
{
    const int steps = static_cast<int>(kMaximum) * kStepsPerPercent;
    setRange(0, steps);
    setSingleStep(kStepsPerPercent);
    setPageStep(10 * kStepsPerPercent);
    connect(this, &QSlider::valueChanged, this, &RealSlider::onValueChanged);
}

double RealSlider::doubleValue() const
{
    return static_cast<double>(value()) / kStepsPerPercent;
}

void RealSlider::setDoubleValue(double percent)
{
    if (std::isnan(percent))
        percent = 0;
    const double clamped = std::fmin(std::fmax(percent, 0.0), kMaximum);
    m_setting_programmatically = true;
    setValue(static_cast<int>(std::lround(clamped * kStepsPerPercent)));
    m_setting_programmatically = false;
}

void RealSlider::setIntegerValue(int percent)
{
    setDoubleValue(percent);
}

void RealSlider::onValueChanged()
{
    if (!m_setting_programmatically)
        emit scrubbed();
}
