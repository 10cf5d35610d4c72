// The mouse over the phase plane: clicks trace, drags do not, the status bar
// reads out the pointer, and without additions the frame is the fixed one.

#include "AppTestSupport.h"

#include "AppCommands.h"
#include "PhasePlaneExport.h"
#include "PhasePlaneInteraction.h"
#include "PlotGeometry.h"
#include "SolutionTrace.h"

#include <QAction>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTemporaryDir>

namespace plot = cosmophase::plot;

class TestPhasePlaneInteraction : public QObject {
    Q_OBJECT

    apptest::App m_app;

    const std::vector<cosmophase::SolutionTrace>& traces() const
    {
        return m_app.delegate->phasePlaneInteraction()->traces().traces();
    }
    QAction* action(const QString& text) const
    {
        for (QAction* a : m_app.delegate->window()->findChildren<QAction*>())
            if (a->text().remove(QLatin1Char('&')) == text)
                return a;
        return nullptr;
    }
    // The centre of a pixel of the view under glOrtho(-2, 2, -2, 2).
    plot::Point centreOf(QPoint pixel) const
    {
        return {(pixel.x() + 0.5) / m_app.view->width() * 4 - 2, 2 - (pixel.y() + 0.5) / m_app.view->height() * 4};
    }
    // Everything a click must leave alone: marker, slider, playback.
    QVariantList playback() const
    {
        const MasterViewController& c = *m_app.controller;
        return {c.simIndex(), m_app.view->simIndex(), m_app.slider->doubleValue(), c.clock(), c.isRunning(), c.isPaused()};
    }
    void drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(m_app.view, button, {}, from);
        QTest::mouseMove(m_app.view, to);
        QTest::mouseRelease(m_app.view, button, {}, to);
    }

private slots:
    void init()
    {
        QVERIFY(apptest::launch(m_app));
        QVERIFY(m_app.view->width() == m_app.view->height() && m_app.view->devicePixelRatio() == 1);
    }
    void cleanup() { m_app.delegate.reset(); }

    void clickTracesThroughThePixel_data()
    {
        QTest::addColumn<QPointF>("where"); // fraction of the view across and down
        QTest::newRow("upper right") << QPointF(0.71, 0.23);
        QTest::newRow("near the origin") << QPointF(0.52, 0.47);
        QTest::newRow("lower left corner") << QPointF(0.01, 0.99);
    }

    void clickTracesThroughThePixel()
    {
        QFETCH(QPointF, where);
        m_app.controller->scrubTo(37);
        QTest::mouseClick(m_app.play, Qt::LeftButton);
        QTest::mouseClick(m_app.play, Qt::LeftButton); // paused, mid-playback
        const QVariantList before = playback();
        const QPoint pixel(int(where.x() * m_app.view->width()), int(where.y() * m_app.view->height()));
        QTest::mouseClick(m_app.view, Qt::LeftButton, {}, pixel);
        QCOMPARE(traces().size(), std::size_t{1});
        const cosmophase::SolutionTrace& trace = traces().back();
        const plot::Point centre = centreOf(pixel);
        const double halfPixel = 2.0 / m_app.view->width();
        for (const cosmophase::Curve* half : {&trace.forward, &trace.backward})
            QVERIFY(std::abs(half->x[0] - centre.x) <= halfPixel && std::abs(half->y[0] - centre.y) <= halfPixel);
        const cosmophase::SolutionTrace again = cosmophase::traceThrough(trace.forward.x[0], trace.forward.y[0]);
        QVERIFY(again.forward.x == trace.forward.x && again.forward.y == trace.forward.y);
        QVERIFY(again.backward.x == trace.backward.x && again.backward.y == trace.backward.y);
        QCOMPARE(playback(), before);
        // The dot at the clicked point shows in the next frame.
        const QImage frame = m_app.view->grabFramebuffer();
        QCOMPARE(frame.pixel(pixel), qRgb(255, 0, 255));
    }

    void dragsAndOtherButtonsMakeNoTrace()
    {
        const QPoint at(m_app.view->width() / 3, m_app.view->height() / 3);
        drag(at, at + QPoint(20, 0));
        drag(at, at + QPoint(0, -PlotPointer::kClickSlop - 1));
        QTest::mouseClick(m_app.view, Qt::RightButton, {}, at);
        QCOMPARE(traces().size(), std::size_t{0});
        drag(at, at + QPoint(2, -2)); // a shaky click still counts
        QCOMPARE(traces().size(), std::size_t{1});
        QVERIFY(std::abs(traces()[0].z2 - centreOf(at).x) <= 2.0 / m_app.view->width()); // where it was pressed
    }

    void undoClearAndTheLimit()
    {
        QAction* undo = action("Undo Trace");
        QAction* clear = action("Clear Traces");
        QAction* save = action(QString::fromUtf8("Export Traces\u2026"));
        QVERIFY(undo && clear && save && !undo->isEnabled() && !clear->isEnabled() && !save->isEnabled());
        // Outside the square every half is its one point: quick to make.
        PhasePlaneInteraction& interaction = *m_app.delegate->phasePlaneInteraction();
        for (int k = 1; k <= 101; ++k)
            interaction.traceFrom({2.5 + k, 0});
        QCOMPARE(traces().size(), std::size_t{100});
        QVERIFY(traces().front().z2 == 4.5 && traces().back().z2 == 103.5); // the first one went
        QVERIFY(undo->isEnabled() && clear->isEnabled() && save->isEnabled());
        QTest::keyClick(m_app.delegate->window(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(traces().size() == 99 && traces().back().z2 == 102.5);
        clear->trigger();
        QVERIFY(traces().empty() && !undo->isEnabled() && !clear->isEnabled() && !save->isEnabled());
    }

    void frameIsTheFixedOneWithoutAdditions()
    {
        m_app.controller->scrubTo(50);
        const QImage fixed = m_app.view->grabFramebuffer();
        const QPoint at(m_app.view->width() / 4, m_app.view->height() / 5);
        QTest::mouseClick(m_app.view, Qt::LeftButton, {}, at);
        QVERIFY(m_app.view->grabFramebuffer() != fixed);
        QTest::keyClick(m_app.delegate->window(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(m_app.view->grabFramebuffer(), fixed);
        QTest::mouseClick(m_app.view, Qt::LeftButton, {}, at);
        QTest::mouseClick(m_app.view, Qt::LeftButton, {}, at * 2);
        action("Clear Traces")->trigger();
        QCOMPARE(m_app.view->grabFramebuffer(), fixed);
        action("Nullclines")->trigger();
        QVERIFY(m_app.view->grabFramebuffer() != fixed);
        action("Nullclines")->trigger();
        QCOMPARE(m_app.view->grabFramebuffer(), fixed);
    }

    void statusBarReadsOutThePointer()
    {
        QStatusBar* status = m_app.delegate->window()->statusBar();
        QVERIFY(m_app.view->toolTip().isEmpty());
        cosmophase::Simulation arrows; // the field with the direction flag true, as the arrows draw it
        arrows.initialize();
        const QRegularExpression numbers(QStringLiteral("^z2 = (\\S+), w0 = (\\S+); field: z2' = (\\S+), w0' = (\\S+)$"));
        for (const QPoint pixel : {QPoint(100, 60), QPoint(m_app.view->width() - 30, m_app.view->height() / 2 + 7)}) {
            QTest::mouseMove(m_app.view, pixel);
            QTRY_VERIFY(numbers.match(status->currentMessage()).hasMatch());
            const QRegularExpressionMatch shown = numbers.match(status->currentMessage());
            const plot::Point at = centreOf(pixel);
            const double expected[] = {at.x, at.y, arrows.z2ODE(at.x, 0, at.y, 0), arrows.w0ODE(at.x, 0, at.y, 0)};
            for (int k = 0; k < 4; ++k)
                QVERIFY2(std::abs(shown.captured(k + 1).toDouble() - expected[k]) <= 0.5e-4 + 1e-9,
                         qPrintable(status->currentMessage()));
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(m_app.view, &leave);
            QCOMPARE(status->currentMessage(), QString());
        }
    }

    void exportWritesEveryTrace()
    {
        QTemporaryDir dir;
        m_app.delegate->commands()->setPathPrompt([&](const QString&, const QString&, const QString&) {
            return dir.filePath("traces.csv");
        });
        QTest::mouseClick(m_app.view, Qt::LeftButton, {}, QPoint(m_app.view->width() / 2 + 40, m_app.view->height() / 3));
        QTest::mouseClick(m_app.view, Qt::LeftButton, {}, QPoint(m_app.view->width() / 5, m_app.view->height() / 2));
        action(QString::fromUtf8("Export Traces\u2026"))->trigger();
        QFile file(dir.filePath("traces.csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray csv = file.readAll();
        QCOMPARE(csv, QByteArray::fromStdString(cosmophase::tracesCsv(traces())));
        QVERIFY(csv.startsWith("curve,index,z2,w0\ntrace1_forward,0,") && csv.contains("\ntrace2_backward,0,"));
    }
};

QTEST_MAIN(TestPhasePlaneInteraction)
#include "tst_phaseplaneinteraction.moc"
