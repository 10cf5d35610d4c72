#include "ReadoutFormat.h"

#include "Observables.h"

#include <QStringList>
#include <QTest>

#include <cfenv>
#include <cmath>
#include <cstdlib>
#include <limits>

using namespace cosmophase;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

QString q(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

class TestReadoutFormat : public QObject {
    Q_OBJECT

private slots:
    void elapsedYears_data();
    void elapsedYears();
    void groupingKeepsEveryDigitOfHugeValues();
    void roundingIgnoresCallersRoundingMode();
    void fixedFormats_data();
    void fixedFormats();
    void readoutRowReadsBackExactly();
};

void TestReadoutFormat::elapsedYears_data()
{
    QTest::addColumn<double>("years");
    QTest::addColumn<QString>("text");

    QTest::newRow("tie rounds to even, grouped") << 1234567.5 << "1,234,568 Years";
    QTest::newRow("0.5 to even 0") << 0.5 << "0 Years";
    QTest::newRow("1.5 to even 2") << 1.5 << "2 Years";
    QTest::newRow("2.5 to even 2") << 2.5 << "2 Years";
    QTest::newRow("first sample rounds to 0") << 0.00998020972064228 << "0 Years";
    QTest::newRow("tie carries into a new group") << 999999.5 << "1,000,000 Years";
    QTest::newRow("just below a tie") << 999.4999999999999 << "999 Years";
    QTest::newRow("three digits, no separator") << 999.0 << "999 Years";
    QTest::newRow("four digits") << 1000.0 << "1,000 Years";
    QTest::newRow("negative") << -1234.6 << "-1,235 Years";
    QTest::newRow("negative tie to even") << -1234.5 << "-1,234 Years";
    QTest::newRow("small negative is plain 0") << -0.4 << "0 Years";
    QTest::newRow("beyond 2^53 printed exactly") << 9007199254740993.0 << "9,007,199,254,740,992 Years";
    QTest::newRow("1e23 is not a round number") << 1e23 << "99,999,999,999,999,991,611,392 Years";
    QTest::newRow("end of the run") << 13144123456.49 << "13,144,123,456 Years";
    QTest::newRow("nan") << kNaN << "nan Years";
    QTest::newRow("inf") << kInf << "inf Years";
    QTest::newRow("-inf") << -kInf << "-inf Years";
}

void TestReadoutFormat::elapsedYears()
{
    QFETCH(double, years);
    QFETCH(QString, text);
    QCOMPARE(q(elapsedYearsText(years)), text);
}

void TestReadoutFormat::groupingKeepsEveryDigitOfHugeValues()
{
    for (const double value : {1e300, -1.7976931348623157e308, 123456789012345678901234567890.0}) {
        const QString text = q(groupedWholeNumber(value));
        const QStringList groups = text.mid(value < 0 ? 1 : 0).split(QLatin1Char(','));
        QVERIFY2(groups.first().size() >= 1 && groups.first().size() <= 3, qPrintable(text));
        for (qsizetype i = 1; i < groups.size(); ++i)
            QCOMPARE(groups[i].size(), 3);
        // The digits are the double's exact decimal expansion, so they read
        // back to the same value.
        QString digits = text;
        digits.remove(QLatin1Char(','));
        QVERIFY(std::strtod(digits.toLatin1().constData(), nullptr) == value);
        QVERIFY2(!digits.contains(QLatin1Char('e')), qPrintable(text));
    }
}

void TestReadoutFormat::roundingIgnoresCallersRoundingMode()
{
    const int saved = std::fegetround();
    std::fesetround(FE_UPWARD);
    const std::string text = groupedWholeNumber(2.5);
    const int after = std::fegetround();
    std::fesetround(saved);
    QCOMPARE(q(text), QStringLiteral("2"));
    QCOMPARE(after, FE_UPWARD);
}

void TestReadoutFormat::fixedFormats_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("q0 at start") << "3" << 0.24999914 << "0.250";
    QTest::newRow("xi0 at start") << "3" << -0.12499874 << "-0.125";
    QTest::newRow("xi0 at end") << "3" << 0.3586 << "0.359";
    QTest::newRow("three decimals nan") << "3" << kNaN << "nan";
    QTest::newRow("three decimals -nan") << "3" << -kNaN << "nan";
    QTest::newRow("three decimals -inf") << "3" << -kInf << "-inf";
    QTest::newRow("start-up figure") << "years" << 0.00998020972064228 << "0.0100 Years";
    QTest::newRow("start-up figure inf") << "years" << kInf << "inf Years";
    QTest::newRow("density ratio") << "ratio" << 0.99999812 << "D Ratio = 0.99999812";
    QTest::newRow("density ratio nan") << "ratio" << kNaN << "D Ratio = nan";
}

void TestReadoutFormat::fixedFormats()
{
    QFETCH(QString, format);
    QFETCH(double, value);
    QFETCH(QString, text);
    if (format == QLatin1String("3"))
        QCOMPARE(q(threeDecimalText(value)), text);
    else if (format == QLatin1String("years"))
        QCOMPARE(q(startupYearsText(value)), text);
    else
        QCOMPARE(q(densityRatioText(value)), text);
}

void TestReadoutFormat::readoutRowReadsBackExactly()
{
    const double time = 1234.56789012345678;
    const double z2 = -1.1417000000000001;
    const double w0 = 0.24735;
    const double w2 = -0.34832;
    const QStringList fields = q(readoutRow(42, time, z2, w0, w2)).split(QLatin1Char('\t'));
    QCOMPARE(fields.size(), 8);
    QCOMPARE(fields[0], QStringLiteral("42"));
    QVERIFY(fields[1].toDouble() == time);
    QVERIFY(fields[2].toDouble() == z2);
    QVERIFY(fields[3].toDouble() == w0);
    QVERIFY(fields[4].toDouble() == w2);
    QVERIFY(fields[5].toDouble() == densityRatio(z2));
    const PresentDay present = presentDayParameters(z2, w0, w2);
    QVERIFY(fields[6].toDouble() == present.q0);
    QVERIFY(fields[7].toDouble() == present.xi0);
}

QTEST_APPLESS_MAIN(TestReadoutFormat)
#include "tst_readoutformat.moc"
