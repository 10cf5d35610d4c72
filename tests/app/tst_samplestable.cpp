#include "AppTestSupport.h"

#include "DataFormat.h"
#include "MarkerStateReadout.h"
#include "ReferenceComputation.h"
#include "SampleGoTo.h"
#include "SamplesTableActions.h"
#include "SamplesTableModel.h"
#include "SamplesWindow.h"

#include <QClipboard>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>

#include <cmath>

using namespace cosmophase;
using Model = SamplesTableModel;

// The Samples window against the run on screen: its cells are the read-outs'
// texts, its rows and the marker follow each other, Copy gives the samples
// export's lines, and a new run never shows another run's reference.
class TestSamplesTable : public QObject {
    Q_OBJECT

    apptest::App m_app;
    SamplesWindow* m_window = nullptr;

    QString cell(int row, int column) const
    {
        return m_window->model().index(row, column).data().toString();
    }
    int currentRow() const { return m_window->table()->currentIndex().row(); }
    MarkerNavigation& markers() const { return m_app.controller->additions().markers(); }
    ReferenceComputation& computation() const { return *m_app.controller->additions().comparison().computation(); }

private slots:
    void initTestCase()
    {
        QVERIFY(apptest::launch(m_app));
        QVERIFY(QTest::qWaitFor([this] { return computation().result() != nullptr; }, 20000));
        // Opened from the View menu's key, as a user would.
        apptest::keyClick(m_app.delegate->window(), Qt::Key_L, Qt::ControlModifier);
        m_window = m_app.delegate->samplesTable()->window();
        QVERIFY(m_window && QTest::qWaitForWindowExposed(m_window));
    }

    // Each row reads as the read-outs and the state at the marker read for
    // its sample, the fixed formats and the scientific ones far from the
    // defaults alike; the rows are the run's, whichever run is on screen.
    void cellsAreTheReadoutsTexts_data()
    {
        QTest::addColumn<QString>("q");
        QTest::addColumn<double>("percent");
        QTest::newRow("default, sample 0") << QString() << 0.0;
        QTest::newRow("default, middle") << QString() << 50.0;
        QTest::newRow("default, last") << QString() << 100.0;
        QTest::newRow("q = 1.32, last: scientific") << QStringLiteral("1.32") << 100.0;
        QTest::newRow("q = 0.9999, middle") << QStringLiteral("0.9999") << 50.0;
    }

    void cellsAreTheReadoutsTexts()
    {
        QFETCH(QString, q);
        QFETCH(double, percent);
        RunReplacement& runs = m_app.controller->additions().runs();
        const RunParameters parameters{q.isEmpty() ? RunParameters{}.q : q.toDouble(), RunParameters::kDefaultTemperature};
        if (runs.parameters().q != parameters.q)
            QCOMPARE(runs.rerunWith(parameters), RunStatus::Ok);
        markers().scrubTo(percent);
        const int i = m_app.controller->simIndex();
        QCOMPARE(m_window->model().rowCount(), m_app.last() + 1);
        QCOMPARE(currentRow(), i);

        const MarkerStateReadout& state = *m_app.delegate->markerStateReadout();
        const QStringList readouts = m_app.readouts();
        const QString expected[Model::RunColumns] = {
            state.text(0), QString(readouts[0]).remove(QStringLiteral(" Years")), state.text(1), state.text(2),
            state.text(3), QString(readouts[1]).remove(QStringLiteral("D Ratio = ")), readouts[2], readouts[3]};
        for (int column = 0; column < Model::RunColumns; ++column)
            QCOMPARE(cell(i, column), expected[column]);
        if (!q.isEmpty() && percent == 100.0)
            QVERIFY2(cell(i, Model::Q0).contains(QLatin1Char('e')), qPrintable(cell(i, Model::Q0)));
        QVERIFY(runs.rerunWith(RunParameters{}) == RunStatus::Ok);
    }

    // A new run takes the reference's columns away at once; they come back
    // with the new run's reference, never with the last one's.
    void newRunNeverShowsAnotherRunsReference()
    {
        const Model& model = m_window->model();
        QTRY_VERIFY_WITH_TIMEOUT(model.hasReference(), 20000);
        QCOMPARE(model.columnCount(), int(Model::AllColumns));
        for (const double q : {0.9999, 0.99999999}) {
            QCOMPARE(m_app.controller->additions().runs().rerunWith({q, RunParameters::kDefaultTemperature}),
                     RunStatus::Ok);
            QCOMPARE(model.columnCount(), int(Model::RunColumns));
            QCOMPARE(model.rowCount(), m_app.last() + 1);
            QTRY_VERIFY_WITH_TIMEOUT(model.hasReference(), 20000);
            const TimeSeries& reference = computation().result()->reference;
            for (const int row : {0, m_app.last() / 2, m_app.last()}) {
                QCOMPARE(model.index(row, Model::ReferenceQ0).data(Model::ValueRole).toDouble(),
                         reference.q0[static_cast<std::size_t>(row)]);
                QCOMPARE(model.index(row, Model::ReferenceZ2).data(Model::ValueRole).toDouble(),
                         reference.z2[static_cast<std::size_t>(row)]);
            }
        }
        QVERIFY(m_app.controller->additions().runs().rerunWith(RunParameters{}) == RunStatus::Ok);
        QTRY_VERIFY_WITH_TIMEOUT(model.hasReference(), 20000);
    }

    // Choosing a row moves the marker, once; every move of the marker
    // selects its row, without the table moving the marker again.
    void rowsAndMarkerFollowEachOther()
    {
        QSignalSpy moves(m_app.controller, &MasterViewController::markerMoved);
        QTableView& table = *m_window->table();
        table.selectRow(40);
        QCOMPARE(m_app.controller->simIndex(), 40);
        apptest::keyClick(&table, Qt::Key_Down);
        QCOMPARE(m_app.controller->simIndex(), 41);
        QCOMPARE(m_app.readouts(), m_app.readoutsAt(41));
        const QRect below = table.visualRect(m_window->model().index(44, Model::Time));
        QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, below.center());
        QCOMPARE(m_app.controller->simIndex(), 44);
        QCOMPARE(moves.count(), 3);

        const std::function<void()> markerMoves[] = {[&] { markers().goToSample(3000); },
                                                     [&] { markers().scrubTo(20); },
                                                     [&] { markers().stepSamples(-1); }};
        for (const auto& move : markerMoves) {
            moves.clear();
            move();
            QCOMPARE(moves.count(), 1);
            QCOMPARE(currentRow(), m_app.controller->simIndex());
            QCOMPARE(table.selectionModel()->selectedRows().size(), 1);
            QVERIFY(table.viewport()->rect().intersects(table.visualRect(table.currentIndex())));
        }

        // Playback: each tick moves the marker once and the slider keeps
        // the clock, as without the table.
        m_app.controller->simToggle();
        for (int tick = 0; tick < 40; ++tick) {
            moves.clear();
            m_app.controller->timerFired();
            QCOMPARE(moves.count(), 1);
            QCOMPARE(currentRow(), m_app.controller->simIndex());
        }
        QCOMPARE(m_app.slider->doubleValue(), (100 * m_app.controller->clock()) / 20);
        m_app.controller->simToggle();
    }

    // Copy gives the export's header and the export's lines of the selected
    // rows, in order, the reference's columns included while shown.
    void copyGivesTheExportsLines()
    {
        const MasterViewController& c = *m_app.controller;
        const std::vector<std::size_t> rows = {0, 17, 18, static_cast<std::size_t>(m_app.last())};
        QTableView& table = *m_window->table();
        table.clearSelection();
        // Chosen before the reference's columns come, copied after.
        m_window->clearReference();
        for (auto it = rows.rbegin(); it != rows.rend(); ++it)
            table.selectionModel()->select(m_window->model().index(int(*it), 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        m_window->setReference(computation().result());
        QGuiApplication::clipboard()->clear();
        apptest::keyClick(&table, Qt::Key_C, Qt::ControlModifier);

        const QStringList copied = QGuiApplication::clipboard()->text().split(QLatin1Char('\n'));
        const QStringList exported =
            QString::fromStdString(samplesCsv({c.z2Array(), c.w0Array(), c.w2Array(), c.timeArray()},
                                              &computation().result()->reference))
                .split(QLatin1Char('\n'));
        QCOMPARE(copied.size(), int(rows.size()) + 2); // and the empty text after the last newline
        QCOMPARE(copied[0], exported[0]);
        QVERIFY(copied[0].contains(QLatin1String("reference_xi0")));
        for (std::size_t k = 0; k < rows.size(); ++k)
            QCOMPARE(copied[int(k) + 1], exported[int(rows[k]) + 1]);
        // Read back, the copied time is the sample's own double.
        QCOMPARE(copied[2].section(QLatin1Char(','), 1, 1).toDouble(), c.timeArray()[17]);
    }

    void goToText_data()
    {
        QTest::addColumn<bool>("time");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("index");
        QTest::newRow("sample") << false << "2" << 2;
        QTest::newRow("sample, spaces, grouped") << false << " 1,000 " << 1000;
        QTest::newRow("last sample") << false << "1002" << 1002;
        QTest::newRow("past the last sample") << false << "1003" << -1;
        QTest::newRow("negative sample") << false << "-1" << -1;
        QTest::newRow("fractional sample") << false << "1.5" << -1;
        QTest::newRow("empty sample") << false << "" << -1;
        QTest::newRow("before the start") << true << "-5" << 0;
        QTest::newRow("exactly a sample's time") << true << "10" << 2;
        QTest::newRow("just after it") << true << "10.000000000000002" << 3;
        QTest::newRow("a read-out pasted") << true << "1,234,568 Years" << 1002;
        QTest::newRow("scientific") << true << "1e3 years" << 990;
        QTest::newRow("the end, as the table rounds it") << true << "2000000000" << 1002;
        QTest::newRow("past the end") << true << "2000000001" << -1;
        QTest::newRow("not a number") << true << "nan" << -1;
        QTest::newRow("infinite") << true << "inf" << -1;
        QTest::newRow("words") << true << "soon" << -1;
    }

    // Go to sample takes an index in the run; go to time the first sample
    // at or after the time, up to the end as the table shows it.
    void goToText()
    {
        QFETCH(bool, time);
        QFETCH(QString, text);
        QFETCH(int, index);
        // Sample k at 10 + k years from sample 3 to 1000, then two far apart.
        std::vector<double> times = {0.01, 2.5, 10};
        for (int k = 3; k <= 1000; ++k)
            times.push_back(10 + k);
        times.push_back(1234567.75);
        times.push_back(1999999999.25);
        const SampleGoTo target = time ? SampleGoTo::toTime(text, times) : SampleGoTo::toSample(text, times.size());
        QCOMPARE(target.index, index);
        QCOMPARE(target.reason.isEmpty(), index >= 0);
    }

    // The keys reach the fields from either window; Enter goes, a refusal
    // keeps the marker and says why.
    void goToFieldsFromTheKeyboard()
    {
        apptest::keyClick(m_app.delegate->window(), Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(m_window->focusWidget(), m_window->sampleField());
        apptest::keyClicks(m_window->sampleField(), QStringLiteral("123"));
        apptest::keyClick(m_window->sampleField(), Qt::Key_Return);
        QCOMPARE(m_app.controller->simIndex(), 123);
        QCOMPARE(currentRow(), 123);

        apptest::keyClick(m_window->sampleField(), Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(m_window->focusWidget(), m_window->timeField());
        const double t = m_app.controller->timeArray()[500];
        apptest::keyClicks(m_window->timeField(), QString::number(t, 'g', 17));
        apptest::keyClick(m_window->timeField(), Qt::Key_Return);
        QCOMPARE(m_app.controller->simIndex(), 500);

        m_window->timeField()->setText(QStringLiteral("2e10"));
        apptest::keyClick(m_window->timeField(), Qt::Key_Return);
        QCOMPARE(m_app.controller->simIndex(), 500);
        QVERIFY2(m_window->messageLabel()->text().startsWith(QLatin1String("The run ends at 13,143,589,6")),
                 qPrintable(m_window->messageLabel()->text()));

        // Space plays from the Samples window as from the main one.
        apptest::keyClick(m_window->table(), Qt::Key_Space);
        QVERIFY(m_app.controller->isRunning() && !m_app.controller->isPaused());
        m_app.controller->simToggle();
    }
};

QTEST_MAIN(TestSamplesTable)
#include "tst_samplestable.moc"
