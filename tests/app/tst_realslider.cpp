#include "RealSlider.h"

#include <QSignalSpy>
#include <QTest>

#include <limits>

class TestRealSlider : public QObject {
    Q_OBJECT

private slots:
    void setDoubleValue_data();
    void setDoubleValue();
    void setIntegerValue();
    void programmaticMovesAreNotScrubs();
    void userMovesAreScrubs_data();
    void userMovesAreScrubs();
};

void TestRealSlider::setDoubleValue_data()
{
    QTest::addColumn<double>("set");
    QTest::addColumn<double>("read");

    QTest::newRow("inside") << 37.5 << 37.5;
    QTest::newRow("fine resolution") << 12.3456 << 12.346;
    QTest::newRow("top") << 100.0 << 100.0;
    QTest::newRow("last tick overshoot clamps") << 100.12499999999966 << 100.0;
    QTest::newRow("below range") << -3.0 << 0.0;
    QTest::newRow("nan reads as 0") << std::numeric_limits<double>::quiet_NaN() << 0.0;
    QTest::newRow("inf clamps") << std::numeric_limits<double>::infinity() << 100.0;
    QTest::newRow("-inf clamps") << -std::numeric_limits<double>::infinity() << 0.0;
}

void TestRealSlider::setDoubleValue()
{
    QFETCH(double, set);
    QFETCH(double, read);
    RealSlider slider;
    slider.setDoubleValue(50);
    slider.setDoubleValue(set);
    QVERIFY2(slider.doubleValue() == read, qPrintable(QString::number(slider.doubleValue(), 'g', 17)));
}

void TestRealSlider::setIntegerValue()
{
    RealSlider slider;
    slider.setDoubleValue(63.2);
    slider.setIntegerValue(0);
    QVERIFY(slider.doubleValue() == 0.0);
    slider.setIntegerValue(250);
    QVERIFY(slider.doubleValue() == 100.0);
}

void TestRealSlider::programmaticMovesAreNotScrubs()
{
    RealSlider slider;
    QSignalSpy scrubs(&slider, &RealSlider::scrubbed);
    slider.setDoubleValue(42.125);
    slider.setIntegerValue(7);
    slider.setDoubleValue(100.125);
    QCOMPARE(scrubs.count(), 0);
}

void TestRealSlider::userMovesAreScrubs_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<double>("expected");

    QTest::newRow("right: one percent") << int(Qt::Key_Right) << 51.0;
    QTest::newRow("page down: ten percent") << int(Qt::Key_PageDown) << 40.0;
    QTest::newRow("end") << int(Qt::Key_End) << 100.0;
}

void TestRealSlider::userMovesAreScrubs()
{
    QFETCH(int, key);
    QFETCH(double, expected);
    RealSlider slider;
    slider.setDoubleValue(50);
    QSignalSpy scrubs(&slider, &RealSlider::scrubbed);
    QTest::keyClick(&slider, static_cast<Qt::Key>(key));
    QCOMPARE(scrubs.count(), 1);
    QVERIFY(slider.doubleValue() == expected);
}

QTEST_MAIN(TestRealSlider)
#include "tst_realslider.moc"
