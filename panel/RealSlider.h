#pragma once

#include <QSlider>

// A horizontal slider whose value is a real number from 0 to 100 (percent),
// kept at a resolution of 1/1000 of a percent. Values outside the range are
// clamped and NaN counts as 0.
//
// scrubbed() is emitted only for changes the user makes (mouse, keyboard,
// wheel), never for setDoubleValue()/setIntegerValue(), so that playback can
// move the slider without being mistaken for a scrub.
class RealSlider : public QSlider {
    Q_OBJECT

public:
    static constexpr int kStepsPerPercent = 1000;
    static constexpr double kMaximum = 100.0;

    explicit RealSlider(QWidget* parent = nullptr);

    double doubleValue() const;
    void setDoubleValue(double percent);
    void setIntegerValue(int percent);

signals:
    void scrubbed();

private:
    void onValueChanged();

    bool m_setting_programmatically = false;
};
