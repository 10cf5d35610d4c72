// The equilibria window: one row per equilibrium, opened from the View menu
// beside the plot without blocking it.

#include "AppTestSupport.h"

#include "EquilibriaDialog.h"

#include <QAction>
#include <QTableWidget>

class TestEquilibriaDialog : public QObject {
    Q_OBJECT

private slots:
    void listsTheThreeEquilibria()
    {
        const struct { double z2, w0; const char* eigenvalues; const char* type; } rows[] = {
            // Nine digits show the single-precision offsets the CLI prints.
            {0, 0, "-1.00000003 | 0.666666687", "saddle"},
            {-4.0 / 3, 1.0 / 3, "-1.00000003 | -1.00000003", "stable degenerate node"},
            {-4.0 / 3, -2.0 / 3, "1.00000003 | 2.00000006", "unstable node"}};
        EquilibriaDialog dialog;
        const QTableWidget& table = dialog.table();
        QCOMPARE(table.rowCount(), 3);
        for (int row = 0; row < 3; ++row) {
            const auto cell = [&](int column) { return table.item(row, column)->text(); };
            const auto& expected = rows[row];
            // The coefficients are single-precision roundings: within 1e-6 of the fractions.
            QVERIFY2(qAbs(cell(EquilibriaDialog::Z2).toDouble() - expected.z2) <= 1e-6
                         && qAbs(cell(EquilibriaDialog::W0).toDouble() - expected.w0) <= 1e-6,
                     qPrintable(cell(EquilibriaDialog::Z2) + ", " + cell(EquilibriaDialog::W0)));
            QCOMPARE(cell(EquilibriaDialog::Type), QLatin1String(expected.type));
            QCOMPARE(cell(EquilibriaDialog::Eigenvalue1) + " | " + cell(EquilibriaDialog::Eigenvalue2), QLatin1String(expected.eigenvalues));
            QVERIFY(cell(EquilibriaDialog::Eigenvector1).count(',') == 1 && cell(EquilibriaDialog::Eigenvector2).count(',') == 1);
        }
    }

    // One window however often it is asked for; the main window still takes keys.
    void opensFromTheMenuWithoutBlocking()
    {
        apptest::App app;
        QVERIFY(apptest::launch(app));
        QAction* open = app.menuAction(QString::fromUtf8("Equilibria\u2026"));
        QVERIFY(open);
        open->trigger(), open->trigger();
        const auto dialogs = app.delegate->window()->findChildren<EquilibriaDialog*>();
        QVERIFY(dialogs.size() == 1 && dialogs[0]->isVisible() && !dialogs[0]->isModal());
        apptest::keyClick(app.delegate->window(), Qt::Key_Right);
        QCOMPARE(app.slider->doubleValue(), 1.0);
    }
};

QTEST_MAIN(TestEquilibriaDialog)
#include "tst_equilibriadialog.moc"
