#include "RealSlider.h"

#include <QSignalSpy>
#include <QTest>

#include <limits>

class TestRealSlider : public QObject {
    Q_OBJECT

private slots:
    void moves_data()
    {
        QTest::addColumn<char>("how"); // D: setDoubleValue, I: setIntegerValue, K: a key (a user move)
        QTest::addColumn<double>("argument");
        QTest::addColumn<double>("read");
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("inside") << 'D' << 37.5 << 37.5;
        QTest::newRow("fine resolution") << 'D' << 12.3456 << 12.346;
        QTest::newRow("top") << 'D' << 100.0 << 100.0;
        QTest::newRow("last tick overshoot clamps") << 'D' << 100.12499999999966 << 100.0;
        QTest::newRow("below range") << 'D' << -3.0 << 0.0;
        QTest::newRow("nan reads as 0") << 'D' << std::numeric_limits<double>::quiet_NaN() << 0.0;
        QTest::newRow("inf clamps") << 'D' << inf << 100.0;
        QTest::newRow("-inf clamps") << 'D' << -inf << 0.0;
        QTest::newRow("integer 7") << 'I' << 7.0 << 7.0;
        QTest::newRow("integer above 100 clamps") << 'I' << 250.0 << 100.0;
        QTest::newRow("right: one percent") << 'K' << double(Qt::Key_Right) << 51.0;
        QTest::newRow("page down: ten percent") << 'K' << double(Qt::Key_PageDown) << 40.0;
        QTest::newRow("end") << 'K' << double(Qt::Key_End) << 100.0;
    }
    void moves()
    {
        QFETCH(char, how);
        QFETCH(double, argument);
        QFETCH(double, read);
        RealSlider slider;
        slider.setDoubleValue(50);
        QSignalSpy scrubs(&slider, &RealSlider::scrubbed);
        if (how == 'D')
            slider.setDoubleValue(argument);
        else if (how == 'I')
            slider.setIntegerValue(static_cast<int>(argument));
        else
            QTest::keyClick(&slider, static_cast<Qt::Key>(argument));
        QVERIFY2(slider.doubleValue() == read, qPrintable(QString::number(slider.doubleValue(), 'g', 17)));
        // Only the user's moves are scrubs, so playback can move the handle.
        QCOMPARE(scrubs.count(), how == 'K' ? 1 : 0);
    }
};

QTEST_MAIN(TestRealSlider)
#include "tst_realslider.moc"
