#include "RealSlider.h"

#include <QSignalSpy>
#include <QTest>

#include <limits>

class TestRealSlider : public QObject {
    Q_OBJECT

private slots:
    void moves()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
        // D: setDoubleValue, I: setIntegerValue, K: a key press (a user move), each from 50.
        const struct { char how; double argument; double read; } rows[] = {
            {'D', 37.5, 37.5}, {'D', 12.3456, 12.346}, {'D', 100, 100}, {'D', 100.12499999999966, 100},
            {'D', -3, 0}, {'D', nan, 0}, {'D', inf, 100}, {'D', -inf, 0}, {'I', 7, 7}, {'I', 250, 100},
            {'K', Qt::Key_Right, 51}, {'K', Qt::Key_PageDown, 40}, {'K', Qt::Key_End, 100}};
        for (const auto& row : rows) {
            RealSlider slider;
            slider.setDoubleValue(50);
            QSignalSpy scrubs(&slider, &RealSlider::scrubbed);
            row.how == 'D'   ? slider.setDoubleValue(row.argument)
            : row.how == 'I' ? slider.setIntegerValue(static_cast<int>(row.argument))
                             : QTest::keyClick(&slider, static_cast<Qt::Key>(row.argument));
            QVERIFY2(slider.doubleValue() == row.read,
                     qPrintable(QStringLiteral("%1(%2) reads %3").arg(row.how).arg(row.argument).arg(slider.doubleValue(), 0, 'g', 17)));
            // Only the user's moves are scrubs, so playback can move the handle.
            QCOMPARE(scrubs.count(), row.how == 'K' ? 1 : 0);
        }
    }
};

QTEST_MAIN(TestRealSlider)
#include "tst_realslider.moc"
