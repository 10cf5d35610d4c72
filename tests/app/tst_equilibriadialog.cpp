// The equilibria window: what it lists, and that it opens beside the plot
// without blocking it.

#include "AppTestSupport.h"

#include "EquilibriaDialog.h"

#include <QAction>
#include <QTableWidget>

class TestEquilibriaDialog : public QObject {
    Q_OBJECT

private slots:
    void listsTheThreeEquilibria_data()
    {
        QTest::addColumn<double>("z2");
        QTest::addColumn<double>("w0");
        QTest::addColumn<QString>("eigenvalues");
        QTest::addColumn<QString>("type");
        QTest::newRow("origin") << 0.0 << 0.0 << "-1 | 0.666667" << "saddle";
        QTest::newRow("upper") << -4.0 / 3 << 1.0 / 3 << "-1 | -1" << "stable degenerate node";
        QTest::newRow("lower") << -4.0 / 3 << -2.0 / 3 << "1 | 2" << "unstable node";
    }

    void listsTheThreeEquilibria()
    {
        QFETCH(double, z2);
        QFETCH(double, w0);
        QFETCH(QString, eigenvalues);
        QFETCH(QString, type);
        EquilibriaDialog dialog;
        const QTableWidget& table = dialog.table();
        QCOMPARE(table.rowCount(), 3);
        int found = 0;
        for (int row = 0; row < table.rowCount(); ++row) {
            const auto cell = [&](int column) { return table.item(row, column)->text(); };
            // Single-precision coefficients: positions agree with the fractions to about 1e-7.
            if (std::abs(cell(EquilibriaDialog::Z2).toDouble() - z2) > 1e-6
                || std::abs(cell(EquilibriaDialog::W0).toDouble() - w0) > 1e-6)
                continue;
            ++found;
            QCOMPARE(cell(EquilibriaDialog::Type), type);
            QCOMPARE(cell(EquilibriaDialog::Eigenvalue1) + " | " + cell(EquilibriaDialog::Eigenvalue2), eigenvalues);
            for (int column : {EquilibriaDialog::Eigenvector1, EquilibriaDialog::Eigenvector2})
                QVERIFY2(cell(column).startsWith('(') && cell(column).count(',') == 1, qPrintable(cell(column)));
        }
        QCOMPARE(found, 1);
    }

    void complexText_data()
    {
        QTest::addColumn<double>("re");
        QTest::addColumn<double>("im");
        QTest::addColumn<QString>("text");
        QTest::newRow("real") << -1.0 << 0.0 << "-1";
        QTest::newRow("negative zero") << -0.0 << 0.0 << "0";
        QTest::newRow("upper") << 0.5 << 2.0 << "0.5 + 2i";
        QTest::newRow("lower") << 0.5 << -1.0 / 3 << "0.5 - 0.333333i";
    }

    void complexText()
    {
        QFETCH(double, re);
        QFETCH(double, im);
        QFETCH(QString, text);
        QCOMPARE(EquilibriaDialog::complexText({re, im}), text);
    }

    // From the Help menu, not modal, one window however often it is asked for.
    void opensFromTheMenuWithoutBlocking()
    {
        apptest::App app;
        QVERIFY(apptest::launch(app));
        QAction* open = nullptr;
        for (QAction* a : app.delegate->window()->findChildren<QAction*>())
            open = a->text() == QString::fromUtf8("&Equilibria\u2026") ? a : open;
        QVERIFY(open);
        open->trigger();
        open->trigger();
        const auto dialogs = app.delegate->window()->findChildren<EquilibriaDialog*>();
        QCOMPARE(dialogs.size(), 1);
        QVERIFY(dialogs[0]->isVisible() && !dialogs[0]->isModal());
        QTest::keyClick(app.delegate->window(), Qt::Key_Right); // the main window still takes input
        QCOMPARE(app.slider->doubleValue(), 1.0);
    }
};

QTEST_MAIN(TestEquilibriaDialog)
#include "tst_equilibriadialog.moc"
