// Tick labels chosen from the data: neighbouring ticks never read the same,
// huge values never print forty digits, and the symmetric-log scale keeps
// both signs and every decade apart; a logarithmic axis counts its decades
// as typed.

#include "AxisFit.h"
#include "AxisTicks.h"

#include <gtest/gtest.h>

#include <QLogValueAxis>
#include <QSet>

using namespace cosmophase::axisticks;

namespace {

QString formatted(const QString& format, double value)
{
    return QString::asprintf(format.toLatin1().constData(), value);
}

struct LinearCase {
    const char* name;
    double low, high;
    int ticks;
    bool scientific;
};

} // namespace

TEST(AxisTicks, LinearLabelsTellEveryTickApartAndStayShort)
{
    const LinearCase cases[] = {
        {"fifths", 0, 1, 6, false},
        {"quarter steps", 0, 1, 5, false},
        {"a value known to nine digits", 14.38000001, 14.38000009, 5, false},
        {"xi0 off the default run", 0, 20000, 5, false},
        {"q0 at q = 1.32", 0, 4e21, 5, true},
        {"huge and nearly flat", 1e20, 1.000001e20, 5, true},
        {"tiny", -2e-6, 2e-6, 5, true},
        {"negative", -1.5, -0.5, 5, false},
    };
    for (const LinearCase& c : cases) {
        const QString format = linearFormat(c.low, c.high, c.ticks);
        QSet<QString> labels;
        for (int k = 0; k < c.ticks; ++k) {
            const QString label = formatted(format, c.low + (c.high - c.low) * k / (c.ticks - 1));
            EXPECT_LE(label.size(), 15) << c.name << ": " << label.toStdString();
            labels.insert(label);
        }
        EXPECT_EQ(labels.size(), c.ticks) << c.name << " with " << format.toStdString();
        EXPECT_EQ(format.endsWith(QLatin1Char('e')), c.scientific) << c.name << ": " << format.toStdString();
    }
    EXPECT_EQ(linearFormat(1, 1, 5), QStringLiteral("%.6g"));
}

TEST(AxisTicks, LogBaseKeepsLabelsWithinTheirCount)
{
    EXPECT_EQ(logBase(-17, 0, 6), 1000.0); // the error tab's sixteen decades
    EXPECT_EQ(logBase(-9, -3, 6), 10.0);
    EXPECT_EQ(logBase(0, 0, 6), 10.0);
}

TEST(AxisTicks, SymmetricLogKeepsSignsAndDecadesApart)
{
    // xi0 over a study near q = 1: a few units of either sign up to 5e6.
    const SymmetricLog scale = SymmetricLog::fitting({-3.2, 0.5, 40, 5e6});
    EXPECT_EQ(scale.scale(), 0.1) << "the smallest";
    EXPECT_EQ(SymmetricLog::fitting({-0.02, 0.5, 40}).scale(), 0.01);
    EXPECT_EQ(scale.forward(0), 0.0);
    EXPECT_LT(scale.forward(-3.2), 0);
    double previous = -1e300;
    for (const double v : {-5e6, -3.2, -0.5, 0.0, 0.5, 40.0, 5e6}) {
        EXPECT_GT(scale.forward(v), previous) << v;
        previous = scale.forward(v);
    }
    // Each decade above the scale takes the same room, to within 1 %.
    EXPECT_NEAR(scale.forward(1e6) - scale.forward(1e5), scale.forward(1e3) - scale.forward(1e2), 1e-2);

    const std::vector<double> ticks = scale.ticks(scale.forward(-3.2), scale.forward(5e6), 6);
    ASSERT_FALSE(ticks.empty());
    EXPECT_LE(ticks.size(), 8u);
    EXPECT_EQ(scale.label(0), QStringLiteral("0"));
    EXPECT_EQ(scale.label(-1), QString::fromUtf8("\u221210\u2070"));
    EXPECT_EQ(scale.label(0.1), QString::fromUtf8("10\u207b\u00b9"));
    EXPECT_EQ(scale.label(1e6), QString::fromUtf8("10\u2076"));
    QSet<QString> labels;
    for (const double tick : ticks)
        labels.insert(scale.label(tick));
    EXPECT_EQ(labels.size(), static_cast<qsizetype>(ticks.size()));
    EXPECT_TRUE(labels.contains(QStringLiteral("0")));

    // At least 1e-9 of the largest, however small the smallest.
    EXPECT_EQ(SymmetricLog::fitting({1e-30, 1e6}).scale(), 1e-3);
    EXPECT_EQ(SymmetricLog::fitting({}).scale(), 1.0);
}

// 1 - q for q = 1 - 1e-9 is 9.99999997e-10: still six decades to 1e-3, each
// labelled, not seven with every second one.
TEST(AxisFit, EndsARoundingFromAPowerOfTenCountAsIt)
{
    QLogValueAxis axis;
    cosmophase::axisfit::fitLogarithmic(axis, 9.9999997171806854e-10, 1.0000000000000009e-3, 7);
    EXPECT_EQ(axis.base(), 10.0);
    EXPECT_EQ(axis.min(), 9.9999997171806854e-10);
}
