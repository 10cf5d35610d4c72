// Pinned runs and a family of runs in the window: pinned runs are the runs
// bit for bit, removal undoes, the dock's switches reach the frame, a
// family is computed off the UI thread with progress and cancel, coloured
// by log10(1 - q), and its members are named and chosen with the pointer.
#include "AppTestSupport.h"
#include "FamilyPicking.h"
#include "ParameterRuns.h"
#include "PhasePlaneFigure.h"
#include "PhasePlaneInteraction.h"
#include "PinnedRuns.h"
#include "ParameterStudyWindow.h"
#include "PlotLegend.h"
#include "RunFamily.h"
#include "RunsDock.h"
#include "RunsInPlane.h"
#include "StudyGridForm.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

namespace {

int pixelsOf(const QImage& image, QRgb colour)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            count += (rgb.pixel(x, y) & 0xffffff) == (colour & 0xffffff) ? 1 : 0;
    return count;
}

} // namespace

class TestRunsInPlane : public QObject {
    Q_OBJECT

private:
    apptest::App m_app;
    RunsInPlane* m_runs = nullptr;

    void runAt(double q)
    {
        m_app.delegate->parameterRuns()->start({q, 9000});
        QTRY_COMPARE(m_app.controller->additions().runs().parameters().q, q);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(apptest::launch(m_app));
        m_runs = m_app.delegate->runsInPlane();
        QVERIFY(m_runs);
    }

    void pinnedRunsAreTheRunsBitForBit()
    {
        m_runs->pinCurrentRun();
        runAt(0.9999);
        m_app.menuAction(QStringLiteral("Pin Run"))->trigger();
        m_runs->pinCurrentRun(); // twice: kept once
        const std::vector<PinnedRun>& pinned = m_runs->pinned().runs();
        QCOMPARE(pinned.size(), std::size_t{2});
        QVERIFY(pinned[1].trajectory->x == m_app.controller->z2Array());
        for (const PinnedRun& run : pinned) {
            const auto again = PinnedRuns::trajectoryOf(run.parameters);
            QVERIFY(again->x == run.trajectory->x && again->y == run.trajectory->y);
        }
        QCOMPARE(m_app.view->runCurves().pinned.size(), std::size_t{2});
        QStringList names;
        for (const PlotLegend::Entry& entry : PlotLegend::entries(m_app.view->frameContent(), &m_app.view->runCurves()))
            names << entry.name;
        QVERIFY2(names.contains(QStringLiteral("q = 0.9999, T = 9000")), qPrintable(names.join(", ")));
    }

    void dockHidesRecoloursRemovesAndUndoes()
    {
        // A run far from the others at its start, where its own colour shows.
        runAt(0.5);
        m_runs->pinCurrentRun();
        runAt(cosmophase::RunParameters::kDefaultAcceleration);
        RunsDock& dock = m_runs->dock();
        m_app.menuAction(QStringLiteral("Pinned Runs"))->trigger();
        QVERIFY(dock.isVisible());
        QListWidget* list = dock.pinnedList();
        QCOMPARE(list->count(), 3);
        const auto order = [this] {
            QList<double> qs;
            for (const PinnedRun& run : m_runs->pinned().runs())
                qs << run.parameters.q;
            return qs;
        };
        const QList<double> before = order();

        list->setCurrentRow(1);
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(order(), (QList<double>{before[0], before[2]}));
        QVERIFY(dock.undoButton()->isEnabled());
        QTest::mouseClick(dock.undoButton(), Qt::LeftButton);
        QCOMPARE(order(), before);
        QVERIFY(!dock.undoButton()->isEnabled());

        // A colour no layer has, so the frame's pixels show the run alone.
        const QColor marked(90, 0, 200);
        dock.setAskColour([marked](const QColor&, QWidget*) { return marked; });
        list->setCurrentRow(2);
        dock.recolourSelected();
        QCOMPARE(m_runs->pinned().runs()[2].colour, marked);
        QTRY_VERIFY(pixelsOf(m_app.view->grabFramebuffer(), marked.rgb()) > 50);
        dock.setAskColour([](const QColor&, QWidget*) { return QColor(); }); // cancelled
        dock.recolourSelected();
        QCOMPARE(m_runs->pinned().runs()[2].colour, marked);

        list->item(2)->setCheckState(Qt::Unchecked);
        QVERIFY(!m_app.view->runCurves().pinned[2].shown);
        QTRY_COMPARE(pixelsOf(m_app.view->grabFramebuffer(), marked.rgb()), 0);
        list->item(2)->setCheckState(Qt::Checked);
    }

    void familyComputesWithProgressColouredByDistanceFromOne()
    {
        QSignalSpy progress(&m_runs->family(), &RunFamily::progressed);
        m_runs->showFamily("0.999999999:0.999:6:log", 9000);
        QTRY_COMPARE(m_runs->family().members().size(), std::size_t{6});
        QVERIFY(!m_runs->family().isComputing());
        QCOMPARE(progress.first(), (QList<QVariant>{0, 6}));
        QCOMPARE(progress.last(), (QList<QVariant>{6, 6}));
        const auto& family = m_app.view->runCurves().family;
        QCOMPARE(family.size(), std::size_t{6});
        const auto same = [](cosmophase::plot::Colour a, cosmophase::plot::Colour b) {
            return a.red == b.red && a.green == b.green && a.blue == b.blue;
        };
        QVERIFY(same(family.front().colour, cosmophase::plot::familyColour(0)));
        QVERIFY(same(family.back().colour, cosmophase::plot::familyColour(1)));
        QVERIFY(m_app.view->findChild<QWidget*>(QStringLiteral("familyColourBar"))->isVisible());
        QCOMPARE(m_runs->dock().familyList()->count(), 6);
        QTest::qWait(100);
        QVERIFY2(m_runs->dock().familyStatus()->text().startsWith(QStringLiteral("6 runs, q = 0.999999999:0.999:6:log")),
                 qPrintable(m_runs->dock().familyStatus()->text()));

        // A refused grid leaves the family as it is.
        m_runs->showFamily("0.9:0.99:x", 9000);
        QCOMPARE(m_runs->family().members().size(), std::size_t{6});
    }

    // The study's grid, typed in 1 - q, shown as a family in q at the run's T.
    void showInPhasePlaneFromTheStudy()
    {
        m_app.menuAction(QString::fromUtf8("Parameter Study\u2026"))->trigger();
        ParameterStudyWindow* study = m_app.delegate->parameterStudy();
        QVERIFY(study);
        study->gridForm()->gridField()->setText(QStringLiteral("1e-7:1e-3:4:log"));
        QTest::mouseClick(study->showInPlaneButton(), Qt::LeftButton);
        study->close();
        QTRY_COMPARE(m_runs->family().grid(), std::string("0.9999999:0.999:4:log"));
        QCOMPARE(m_runs->family().members().size(), std::size_t{4});
        QCOMPARE(m_runs->family().temperature(), m_app.controller->additions().runs().parameters().T);
        m_runs->showFamily("0.999999999:0.999:6:log", 9000);
        QTRY_COMPARE(m_runs->family().members().size(), std::size_t{6});
    }

    void cancelKeepsTheLastFamily()
    {
        QSignalSpy cancelled(&m_runs->family(), &RunFamily::cancelled);
        m_runs->showFamily("0.999999999:0.999:400:log", 9000);
        QVERIFY(m_runs->family().isComputing());
        QTest::mouseClick(m_runs->dock().cancelButton(), Qt::LeftButton);
        QCOMPARE(cancelled.size(), 1);
        QVERIFY(!m_runs->family().isComputing());
        QCOMPARE(m_runs->family().members().size(), std::size_t{6});
        QTest::qWait(50); // progress queued before the cancel arrives unseen
        QCOMPARE(m_runs->family().members().size(), std::size_t{6});
    }

    void hoverNamesAMemberAndCtrlClickMakesItTheRun()
    {
        const auto& family = m_app.view->runCurves().family;
        // Far along the last member's curve, where the others are not.
        const auto& strip = family.back().strips.front();
        const cosmophase::plot::Point p = strip[strip.size() * 3 / 4];
        const QPoint at(static_cast<int>((p.x + 2) / 4 * m_app.view->width()),
                        static_cast<int>((2 - p.y) / 4 * m_app.view->height()));
        const int member = m_runs->picking().memberAt(at);
        QVERIFY(member >= 0);
        apptest::hover(m_app.view, at);
        QVERIFY2(m_runs->pickedLabel().text().contains(QString::fromStdString(family[member].label)),
                 qPrintable(m_runs->pickedLabel().text()));
        const double q = family[member].q;
        const std::size_t traces = m_app.delegate->phasePlaneInteraction()->traces().size();
        QTest::mouseClick(m_app.view, Qt::LeftButton, Qt::ControlModifier, at);
        QTRY_COMPARE(m_app.controller->additions().runs().parameters().q, q);
        QCOMPARE(m_app.delegate->phasePlaneInteraction()->traces().size(), traces);
        // Enter on a member in the dock does the same.
        m_runs->dock().familyList()->setCurrentRow(0);
        m_runs->dock().makeSelectedCurrent();
        QTRY_COMPARE(m_app.controller->additions().runs().parameters().q, m_runs->family().members()[0].parameters.q);
    }

    void figuresDrawPinnedRuns()
    {
        cosmophase::plot::RunCurves runs;
        const QColor marked(90, 0, 200);
        runs.pinned.push_back({"q = 0.99, T = 9000", {90 / 255.0f, 0, 200 / 255.0f}, true, 0.99,
                               PinnedRuns::trajectoryOf({0.99, 9000}), {}});
        runs.layOut({});
        const cosmophase::plot::FrameContent& content = m_app.view->frameContent();
        for (const bool withRuns : {false, true}) {
            const PhasePlaneFigure figure(content, 400, QFont(), {}, true, withRuns ? &runs : nullptr);
            QImage image(figure.size(), QImage::Format_RGB32);
            QPainter painter(&image);
            figure.paint(painter);
            painter.end();
            QCOMPARE(pixelsOf(image, marked.rgb()) > 50, withRuns);
        }
    }
};

QTEST_MAIN(TestRunsInPlane)
#include "tst_runsinplane.moc"
