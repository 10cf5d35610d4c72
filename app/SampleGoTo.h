#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// What the Samples window's two go-to fields accept: a sample index, or a
// time in years that goes to the first sample at or after it. Digits may
// be grouped with commas, as the read-outs group them, and a time may end
// in "years", so that a read-out pasted in goes where it says.
struct SampleGoTo {
    // The sample to go to; -1 when refused.
    std::int32_t index = -1;
    // Why the text was refused; empty when it was taken.
    QString reason;

    static SampleGoTo toSample(const QString& text, std::size_t samples);
    // `times` increasing, as a run's are.
    static SampleGoTo toTime(const QString& text, const std::vector<double>& times);
};
