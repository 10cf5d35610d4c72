// The View menu's switches: shortcut, menu action and check box flip the
// same flag and stay in step both ways; the nullclines start off.

#include "AppTestSupport.h"

class TestViewMenu : public QObject {
    Q_OBJECT

    apptest::App m_app;

private slots:
    void initTestCase() { QVERIFY(apptest::launch(m_app)); }
    void cleanupTestCase() { m_app.delegate.reset(); }

    void switchesInStep_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("which"); // stable, unstable, family, nullclines
        QTest::newRow("stable") << "Stable Manifold" << 0;
        QTest::newRow("unstable") << "Unstable Manifold" << 1;
        QTest::newRow("family") << "Family Curve" << 2;
        QTest::newRow("nullclines") << "Nullclines" << 3;
    }

    void switchesInStep()
    {
        QFETCH(QString, text);
        QFETCH(int, which);
        QAction* a = m_app.menuAction(text);
        QVERIFY(a);
        QCheckBox* box = which < 3 ? m_app.boxes[which] : nullptr;
        const auto flags = [&] { return m_app.flags() << m_app.view->showNullclines(); };
        QList<bool> expected{true, true, true, false};
        const auto inStep = [&] { return flags() == expected && a->isChecked() == expected[which] && (!box || box->isChecked() == expected[which]); };
        QVERIFY(inStep());
        for (int step = 0; step < 4; ++step) { // the shortcut, the box (or the menu), the menu, the box again
            expected[which] = !expected[which];
            if (step == 0)
                apptest::keyClick(m_app.delegate->window(), static_cast<Qt::Key>(Qt::Key_1 + which), Qt::ControlModifier);
            else if (box && step % 2 == 1)
                QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
            else
                a->trigger();
            QVERIFY2(inStep(), qPrintable(QString::number(step)));
        }
    }
};

QTEST_MAIN(TestViewMenu)
#include "tst_viewmenu.moc"
