// The mouse over the phase plane: clicks trace, drags do not, the status bar
// reads out the pointer, and without additions the frame is the fixed one.

#include "AppTestSupport.h"

#include "AppCommands.h"
#include "OffPlotNotice.h"
#include "ParameterRuns.h"
#include "PlotNavigation.h"
#include "PhasePlaneExport.h"
#include "PhasePlaneInteraction.h"
#include "SolutionTrace.h"

#include <QAction>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>

namespace plot = cosmophase::plot;

class TestPhasePlaneInteraction : public QObject {
    Q_OBJECT

    apptest::App m_app;

    const std::vector<cosmophase::SolutionTrace>& traces() const { return m_app.delegate->phasePlaneInteraction()->traces().traces(); }
    QAction* action(const QString& text) const { return m_app.menuAction(text); }
    // The centre of a pixel of the view under glOrtho(-2, 2, -2, 2).
    plot::Point centreOf(QPoint p) const { return {(p.x() + 0.5) / m_app.view->width() * 4 - 2, 2 - (p.y() + 0.5) / m_app.view->height() * 4}; }
    QPoint at(double across, double down) const { return QPoint(int(across * m_app.view->width()), int(down * m_app.view->height())); }
    // Press at p, release `moved` away.
    void click(QPoint p, QPoint moved = {}, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(m_app.view, button, {}, p);
        QTest::mouseMove(m_app.view, p + moved);
        QTest::mouseRelease(m_app.view, button, {}, p + moved);
    }

private slots:
    void init() { QVERIFY(apptest::launch(m_app) && m_app.view->devicePixelRatio() == 1); }
    void cleanup() { m_app.delegate.reset(); }

    void clickTracesThroughThePixel_data()
    {
        QTest::addColumn<QPointF>("where"); // fraction of the view across and down
        QTest::newRow("upper right") << QPointF(0.71, 0.23);
        QTest::newRow("lower left corner") << QPointF(0.001, 0.999);
    }

    void clickTracesThroughThePixel()
    {
        QFETCH(QPointF, where);
        m_app.controller->additions().markers().scrubTo(37);
        QTest::mouseClick(m_app.play, Qt::LeftButton);
        QTest::mouseClick(m_app.play, Qt::LeftButton); // paused mid-playback
        const MasterViewController& c = *m_app.controller;
        const auto playback = [&] { return QVariantList{c.simIndex(), m_app.view->simIndex(), m_app.slider->doubleValue(), c.clock(), c.isRunning(), c.isPaused()}; };
        const QVariantList before = playback();
        const QPoint pixel = at(where.x(), where.y());
        click(pixel);
        QCOMPARE(playback(), before); // marker, slider and playback left alone
        QCOMPARE(traces().size(), std::size_t{1});
        const cosmophase::SolutionTrace& trace = traces().back();
        const double halfPixel = 2.0 / m_app.view->width();
        for (const cosmophase::Curve* half : {&trace.forward, &trace.backward})
            QVERIFY(qAbs(half->x[0] - centreOf(pixel).x) <= halfPixel && qAbs(half->y[0] - centreOf(pixel).y) <= halfPixel);
        const cosmophase::SolutionTrace again = cosmophase::traceThrough(trace.forward.x[0], trace.forward.y[0]);
        QVERIFY(again.forward.x == trace.forward.x && again.forward.y == trace.forward.y
                && again.backward.x == trace.backward.x && again.backward.y == trace.backward.y);
        QCOMPARE(m_app.view->grabFramebuffer().pixel(pixel), qRgb(255, 0, 255)); // its dot
    }

    void dragsAndOtherButtonsMakeNoTrace()
    {
        const QPoint p = at(0.3, 0.3);
        click(p, {20, 0}), click(p, {0, -PlotPointer::kClickSlop - 1}), click(p, {}, Qt::RightButton);
        QCOMPARE(traces().size(), std::size_t{0});
        click(p, {2, -2}); // a shaky click still counts, where it was pressed
        QVERIFY(traces().size() == 1 && qAbs(traces()[0].z2 - centreOf(p).x) <= 2.0 / m_app.view->width());
    }

    // With no trace and the nullclines off the frame is the one from before any click.
    void undoAndClearRestoreTheFixedFrame()
    {
        m_app.controller->additions().markers().scrubTo(50);
        const QImage fixed = m_app.view->grabFramebuffer();
        QList<QAction*> actions{action("Undo Trace"), action("Clear Traces"), action(QString::fromUtf8("Export Traces\u2026"))};
        const auto enabled = [&](bool on) { return std::all_of(actions.begin(), actions.end(), [on](QAction* a) { return a->isEnabled() == on; }); };
        QVERIFY(!actions.contains(nullptr) && enabled(false));
        click(at(0.25, 0.2));
        QVERIFY(m_app.view->grabFramebuffer() != fixed && enabled(true));
        apptest::keyClick(m_app.delegate->window(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(traces().empty() && enabled(false));
        QCOMPARE(m_app.view->grabFramebuffer(), fixed);
        click(at(0.25, 0.2));
        click(at(0.7, 0.6));
        actions[1]->trigger();
        // Clear Traces can be undone, and the menu says so.
        QVERIFY(traces().empty() && !actions[1]->isEnabled() && !actions[2]->isEnabled() && actions[0]->isEnabled());
        QCOMPARE(actions[0]->text().remove('&'), QStringLiteral("Undo Clear Traces"));
        QCOMPARE(m_app.view->grabFramebuffer(), fixed);
        const QImage both = [&] { actions[0]->trigger(); return m_app.view->grabFramebuffer(); }();
        QVERIFY(traces().size() == 2 && both != fixed);
        QCOMPARE(actions[0]->text().remove('&'), QStringLiteral("Undo Trace"));
        // Redo (Ctrl+Shift+Z) clears again; undone once more, both are back.
        QAction* redo = action("Redo Clear Traces");
        QVERIFY(redo && redo->isEnabled() && redo->shortcut() == QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
        apptest::keyClick(m_app.delegate->window(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(traces().empty() && !redo->isEnabled());
        actions[0]->trigger();
        QCOMPARE(m_app.view->grabFramebuffer(), both);
        actions[1]->trigger();
        action("Nullclines")->trigger();
        QVERIFY(m_app.view->grabFramebuffer() != fixed);
        action("Nullclines")->trigger();
        QCOMPARE(m_app.view->grabFramebuffer(), fixed);
    }

    // The position and the field with the direction flag true, as the arrows draw it; cleared on leaving.
    void statusBarReadsOutThePointer()
    {
        QStatusBar* status = m_app.delegate->window()->statusBar();
        QVERIFY(m_app.view->toolTip().isEmpty());
        cosmophase::Simulation arrows;
        arrows.initialize();
        const QRegularExpression numbers(QStringLiteral("^z2 = (\\S+), w0 = (\\S+); field: z2' = (\\S+), w0' = (\\S+)$"));
        for (const QPoint pixel : {at(0.15, 0.1), at(0.95, 0.51)}) {
            // Read at once: nothing else may move the read-out in between.
            apptest::hover(m_app.view, pixel);
            const QRegularExpressionMatch shown = numbers.match(status->currentMessage());
            QVERIFY2(shown.hasMatch(), qPrintable(status->currentMessage()));
            const plot::Point p = centreOf(pixel);
            const double expected[] = {p.x, p.y, arrows.z2ODE(p.x, 0, p.y, 0), arrows.w0ODE(p.x, 0, p.y, 0)};
            for (int k = 0; k < 4; ++k)
                QVERIFY2(qAbs(shown.captured(k + 1).toDouble() - expected[k]) <= 0.5e-4 + 1e-9, qPrintable(status->currentMessage()));
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(m_app.view, &leave);
            QCOMPARE(status->currentMessage(), QString());
        }
    }

    // Zoomed, the read-out and a click name the point of the window under
    // the pointer; Reset View (Ctrl+0) brings back the fixed frame.
    void zoomedPointerReadsTheWindow()
    {
        const QImage fixed = m_app.view->grabFramebuffer();
        plot::PlotWindow window;
        window.zoomAbout({0.01, -0.02}, 40);
        m_app.view->setPlotWindow(window);
        const QPoint pixel = at(0.75, 0.25);
        const plot::Point p = window.pointAt(pixel.x() + 0.5, pixel.y() + 0.5, m_app.view->width(), m_app.view->height());
        apptest::hover(m_app.view, pixel);
        QStatusBar* status = m_app.delegate->window()->statusBar();
        QVERIFY(status->currentMessage().startsWith(QString::asprintf("z2 = %.4f, w0 = %.4f;", p.x, p.y)));
        click(pixel);
        QVERIFY(traces().size() == 1 && traces()[0].z2 == p.x && traces()[0].w0 == p.y);
        apptest::keyClick(m_app.delegate->window(), Qt::Key_Z, Qt::ControlModifier);
        apptest::keyClick(m_app.delegate->window(), Qt::Key_0, Qt::ControlModifier);
        QVERIFY(m_app.view->plotWindow().isFull());
        QCOMPARE(m_app.view->grabFramebuffer(), fixed);
    }

    // Zoomed deep, the read-out keeps enough decimals that the next pixel reads differently.
    void readoutResolvesAPixel()
    {
        const struct { double half; int pixels; int decimals; } rows[] = {
            {2, 600, 4}, {2, 80000, 5}, {0.0008, 600, 6}, {plot::PlotWindow::kMinHalfSide, 637, 8}};
        for (const auto& row : rows) {
            plot::PlotWindow window;
            window.zoomAbout({}, 2 / row.half);
            QCOMPARE(PhasePlaneInteraction::decimalsFor(window, row.pixels), row.decimals);
        }
        plot::PlotWindow window;
        window.zoomAbout({0.0002, -0.0001}, 2 / 0.0008);
        m_app.view->setPlotWindow(window);
        QStatusBar* status = m_app.delegate->window()->statusBar();
        QStringList read;
        for (const QPoint pixel : {at(0.5, 0.5), at(0.5, 0.5) + QPoint(1, 1)}) {
            apptest::hover(m_app.view, pixel);
            read += status->currentMessage().section(QLatin1Char(';'), 0, 0).split(QStringLiteral(", "));
        }
        QVERIFY2(read.size() == 4 && read[0] != read[2] && read[1] != read[3], qPrintable(read.join(" | ")));
    }

    // A run outside the square says so; Zoom to Run frames all of it, and
    // Reset View brings back the square and the note.
    void runOutsideTheSquareIsNoticed()
    {
        auto* notice = m_app.delegate->window()->findChild<OffPlotNotice*>();
        QVERIFY(notice && !notice->isVisible());
        m_app.delegate->parameterRuns()->start({1.32, 9000});
        QCOMPARE(m_app.controller->additions().runs().parameters().q, 1.32);
        QVERIFY(notice->isVisible() && notice->geometry().bottom() < m_app.view->height());
        QTest::mouseClick(notice->zoomButton(), Qt::LeftButton);
        const plot::PlotWindow& window = m_app.view->plotWindow();
        const MasterViewController& c = *m_app.controller;
        for (std::size_t i = 0; i < c.z2Array().size(); ++i)
            QVERIFY(c.z2Array()[i] > window.left() && c.z2Array()[i] < window.right()
                    && c.w0Array()[i] > window.bottom() && c.w0Array()[i] < window.top());
        QVERIFY(!notice->isVisible());
        // The trajectory's blue is on screen.
        QSignalSpy frames(m_app.view, &QOpenGLWidget::frameSwapped);
        QVERIFY(frames.wait());
        const QImage shot = m_app.view->grabFramebuffer();
        int blue = 0;
        for (int y = 0; y < shot.height(); y += 2)
            for (int x = 0; x < shot.width(); x += 2)
                blue += shot.pixel(x, y) == qRgb(0, 0, 255) ? 1 : 0;
        QVERIFY2(blue > 50, qPrintable(QString::number(blue)));
        m_app.delegate->plotNavigation()->resetView();
        QVERIFY(notice->isVisible());
        m_app.delegate->parameterRuns()->start({});
        QVERIFY(!notice->isVisible());
    }

    void exportWritesEveryTrace()
    {
        QTemporaryDir dir;
        m_app.delegate->commands()->setPathPrompt([&](const QString&, const QString&, const QString&) { return dir.filePath("t.csv"); });
        click(at(0.6, 0.3));
        click(at(0.2, 0.5));
        action(QString::fromUtf8("Export Traces\u2026"))->trigger();
        QFile file(dir.filePath("t.csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray::fromStdString(cosmophase::tracesCsv(traces()))); // both, in order
    }
};

QTEST_MAIN(TestPhasePlaneInteraction)
#include "tst_phaseplaneinteraction.moc"
