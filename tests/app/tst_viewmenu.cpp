// The View menu's switches: shortcuts, the menu and the check boxes all
// flip the same flags and stay in step with one another.

#include "AppTestSupport.h"

#include <QAction>

class TestViewMenu : public QObject {
    Q_OBJECT

    apptest::App m_app;

    QAction* action(const QString& text) const
    {
        for (QAction* a : m_app.delegate->window()->findChildren<QAction*>())
            if (a->text().remove(QLatin1Char('&')) == text)
                return a;
        return nullptr;
    }

private slots:
    void initTestCase() { QVERIFY(apptest::launch(m_app)); }
    void cleanupTestCase() { m_app.delegate.reset(); }

    void curveActionsAndBoxesInStep_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("which"); // stable, unstable, family
        QTest::addColumn<int>("key");
        QTest::newRow("stable") << "Stable Manifold" << 0 << int(Qt::Key_1);
        QTest::newRow("unstable") << "Unstable Manifold" << 1 << int(Qt::Key_2);
        QTest::newRow("family") << "Family Curve" << 2 << int(Qt::Key_3);
    }

    void curveActionsAndBoxesInStep()
    {
        QFETCH(QString, text);
        QFETCH(int, which);
        QFETCH(int, key);
        QAction* a = action(text);
        QVERIFY(a && a->isCheckable());
        QCheckBox* box = m_app.boxes[which];
        QList<bool> flags{true, true, true};
        const auto inStep = [&](bool shown) {
            flags[which] = shown;
            return m_app.flags() == flags && box->isChecked() == shown && a->isChecked() == shown;
        };
        QVERIFY(inStep(true));
        QTest::keyClick(m_app.delegate->window(), static_cast<Qt::Key>(key), Qt::ControlModifier);
        QVERIFY(inStep(false));
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        QVERIFY(inStep(true));
        a->trigger();
        QVERIFY(inStep(false));
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        QVERIFY(inStep(true));
    }

    void nullclinesOffAtStartThenSwitched()
    {
        QAction* a = action("Nullclines");
        QVERIFY(a && a->isCheckable() && !a->isChecked() && !m_app.view->showNullclines());
        QTest::keyClick(m_app.delegate->window(), Qt::Key_4, Qt::ControlModifier);
        QVERIFY(a->isChecked() && m_app.view->showNullclines());
        a->trigger();
        QVERIFY(!a->isChecked() && !m_app.view->showNullclines());
        QCOMPARE(m_app.flags(), (QList<bool>{true, true, true}));
    }
};

QTEST_MAIN(TestViewMenu)
#include "tst_viewmenu.moc"
