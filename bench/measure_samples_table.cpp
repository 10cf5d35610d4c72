// The Samples window in one run of the application: how long View ▸ Samples
// takes from the menu to the table's first painted rows (the default run's
// 5,923 samples), in wall time and in the UI thread's processor time, with
// the plot's continuous redraw off so that no frame of it shares the time;
// then the phase plane's frame rate while the table scrolls
// against while it rests, and during playback with the table shown against
// hidden. Phases of 250 ms alternate through 16 s, the first 60 ms after
// each switch skipped. While scrolling, the table moves a page every 16 ms,
// down and back up. Run under a display (scripts/measure-samples-table uses
// Xvfb).
#include "AppDelegate.h"
#include "MasterViewController.h"
#include "MenuActions.h"
#include "MyOpenGLView.h"
#include "SamplesTableActions.h"
#include "SamplesWindow.h"
#include "TimeSeriesChart.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMenuBar>
#include <QScrollBar>
#include <QSurfaceFormat>
#include <QTableView>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <functional>

namespace {

constexpr int kPhases = 64;
constexpr qint64 kPhaseMillis = 250;
constexpr qint64 kSkipMillis = 60;
constexpr int kScrollMillis = 16;

double threadCpuNanos()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e9 + now.tv_nsec;
}

// Notes the end of the first paint of a widget: the paint event's own
// handling has finished when the event loop next turns.
class FirstPaint : public QObject {
public:
    void start()
    {
        clock.start();
        cpuStart = threadCpuNanos();
    }
    QElapsedTimer clock;
    double cpuStart = 0;
    qint64 nanos = -1;
    double cpuNanos = 0;
    std::function<void()> done;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && nanos < 0) {
            nanos = 0;
            QTimer::singleShot(0, this, [this] {
                nanos = clock.nsecsElapsed();
                cpuNanos = threadCpuNanos() - cpuStart;
                done();
            });
        }
        return QObject::eventFilter(watched, event);
    }
};

struct Frames {
    int count = 0;
    qint64 nanos = 0;
    double rate() const { return nanos > 0 ? count / (nanos / 1e9) : 0.0; }
};

} // namespace

int main(int argc, char* argv[])
{
    QSurfaceFormat::setDefaultFormat(MyOpenGLView::defaultSurfaceFormat());
    QApplication app(argc, argv);
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    MasterViewController& controller = *delegate.masterViewController();
    QAction* open = menuAction(*delegate.window()->menuBar(), QString::fromUtf8("Samples\u2026"));
    QAction* idle = menuAction(*delegate.window()->menuBar(), QStringLiteral("Redraw When Idle"));

    FirstPaint firstPaint;
    SamplesWindow* window = nullptr;
    QTimer scroller;
    scroller.setInterval(kScrollMillis);
    int direction = 1;
    QObject::connect(&scroller, &QTimer::timeout, &app, [&] {
        QScrollBar& bar = *window->table()->verticalScrollBar();
        if (bar.value() == (direction > 0 ? bar.maximum() : bar.minimum()))
            direction = -direction;
        bar.setValue(bar.value() + direction * bar.pageStep());
    });

    // Scrolling phases, then playback phases; even phases are the baseline.
    Frames frames[2][2];
    int phase = -2;
    QElapsedTimer phaseClock;
    QElapsedTimer frameClock;
    const auto startPhase = [&](int next) {
        phase = next;
        const bool odd = phase % 2 == 1;
        if (phase < kPhases / 2) {
            odd ? scroller.start() : scroller.stop();
        } else {
            scroller.stop();
            if (phase == kPhases / 2)
                controller.simToggle();
            window->setVisible(!odd);
        }
        phaseClock.start();
    };
    QObject::connect(controller.openGLView(), &QOpenGLWidget::frameSwapped, &app, [&] {
        if (phase == -2) {
            // Once the chart holds the run and its reference, as a user
            // would find the window, and nothing else is left to repaint.
            if (!controller.additions().timeSeriesChart()->hasReference())
                return;
            phase = -1;
            // Once the plot's last requested frame is done, so that none
            // shares the measured time.
            idle->setChecked(false);
            QTimer::singleShot(500, &app, [&] {
                firstPaint.done = [idle] { idle->setChecked(true); };
                firstPaint.start();
                open->trigger();
                window = delegate.samplesTable()->window();
                window->table()->viewport()->installEventFilter(&firstPaint);
            });
            return;
        }
        if (phase == -1) {
            if (firstPaint.nanos <= 0)
                return;
            startPhase(0);
            frameClock.start();
            return;
        }
        const qint64 interval = frameClock.nsecsElapsed();
        frameClock.start();
        if (phaseClock.elapsed() >= kPhaseMillis) {
            if (phase + 1 == kPhases) {
                QApplication::quit();
                return;
            }
            startPhase(phase + 1);
            return;
        }
        if (phaseClock.elapsed() >= kSkipMillis) {
            Frames& f = frames[phase < kPhases / 2 ? 0 : 1][phase % 2];
            ++f.count;
            f.nanos += interval;
        }
    });
    QApplication::exec();

    std::printf("open: %.1f ms from View > Samples to the table's first paint, %.1f ms of processor time (%d rows)\n",
                firstPaint.nanos / 1e6, firstPaint.cpuNanos / 1e6, window->table()->model()->rowCount());
    std::printf("table resting: %.1f fps, scrolling a page every %d ms: %.1f fps (%.1f%%)\n", frames[0][0].rate(),
                kScrollMillis, frames[0][1].rate(), 100 * frames[0][1].rate() / frames[0][0].rate());
    std::printf("playback, table shown: %.1f fps, hidden: %.1f fps (%.1f%%)\n", frames[1][0].rate(),
                frames[1][1].rate(), 100 * frames[1][0].rate() / frames[1][1].rate());
    return 0;
}
