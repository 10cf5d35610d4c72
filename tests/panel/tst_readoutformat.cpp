#include "ReadoutFormat.h"

#include <QRegularExpression>
#include <QTest>

#include <cfenv>
#include <cstdlib>
#include <limits>

using namespace cosmophase;

class TestReadoutFormat : public QObject {
    Q_OBJECT

private slots:
    void texts()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
        // Y: elapsed years, S: start-up years, 3: three decimals, R: density ratio.
        const struct { char format; double value; const char* text; } rows[] = {
            // Grouped whole years, ties to even, every digit of the double.
            {'Y', 1234567.5, "1,234,568 Years"}, {'Y', 0.5, "0 Years"}, {'Y', 1.5, "2 Years"},
            {'Y', 2.5, "2 Years"}, {'Y', 0.00998020972064228, "0 Years"}, {'Y', 999999.5, "1,000,000 Years"},
            {'Y', 999.4999999999999, "999 Years"}, {'Y', 1000, "1,000 Years"}, {'Y', -1234.6, "-1,235 Years"},
            {'Y', -1234.5, "-1,234 Years"}, {'Y', -0.4, "0 Years"},
            {'Y', 9007199254740993.0, "9,007,199,254,740,992 Years"},
            {'Y', 1e23, "99,999,999,999,999,991,611,392 Years"},
            {'S', 0.00998020972064228, "0.0100 Years"}, {'3', -0.12499874, "-0.125"}, {'R', 0.99999812, "D Ratio = 0.99999812"},
            // Seven whole digits at most, decided on the rounded text; then scientific.
            {'3', 9999999.9994, "9999999.999"}, {'3', 9999999.9996, "1.000000e+07"}, {'3', -9999999.9994, "-9999999.999"},
            {'3', -12345678.9, "-1.234568e+07"}, {'3', 1228532324623304097792.0, "1.228532e+21"},
            {'3', 1e-300, "0.000"}, {'R', 9999999.999999994, "D Ratio = 9999999.99999999"},
            {'R', 9999999.999999996, "D Ratio = 1.000000e+07"}, {'S', 123456789.0, "123456789.0000 Years"},
            // Non-finite values: printf's spelling, without the sign of a NaN.
            {'Y', nan, "nan Years"}, {'Y', -inf, "-inf Years"}, {'S', inf, "inf Years"},
            {'3', -nan, "nan"}, {'3', -inf, "-inf"}, {'R', nan, "D Ratio = nan"}};
        for (const auto& row : rows) {
            const std::string text = row.format == 'Y'   ? elapsedYearsText(row.value)
                                     : row.format == 'S' ? startupYearsText(row.value)
                                     : row.format == '3' ? threeDecimalText(row.value)
                                                         : densityRatioText(row.value);
            QCOMPARE(QString::fromStdString(text), QString::fromLatin1(row.text));
        }
    }

    // Whole numbers round ties to even whatever rounding mode the caller has
    // set (and leave it), and keep every digit: huge values read back exactly.
    void wholeNumbers()
    {
        static const QRegularExpression grouped(QStringLiteral("^-?\\d{1,3}(,\\d{3})*$"));
        const double values[] = {2.5, -1234.5, 1e300, -1.7976931348623157e308, 123456789012345678901234567890.0};
        const int saved = std::fegetround();
        std::fesetround(FE_UPWARD);
        QStringList texts;
        for (const double value : values)
            texts << QString::fromStdString(groupedWholeNumber(value));
        const int after = std::fegetround();
        std::fesetround(saved);
        QVERIFY(after == FE_UPWARD && texts[0] == "2" && texts[1] == "-1,234");
        for (int i = 2; i < 5; ++i) {
            QVERIFY2(grouped.match(texts[i]).hasMatch(), qPrintable(texts[i]));
            QVERIFY(std::strtod(texts[i].remove(QLatin1Char(',')).toLatin1().constData(), nullptr) == values[i]);
        }
    }
};

QTEST_APPLESS_MAIN(TestReadoutFormat)
#include "tst_readoutformat.moc"
