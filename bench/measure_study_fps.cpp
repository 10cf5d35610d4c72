// The phase plane's frame rate during playback while the Parameter Study
// window computes, against idle, in one run of the application: 5 s idle,
// 5 s computing (a grid far too large to finish, cancelled after), 5 s idle
// again. Prints each phase's frames per second and the computing phase's
// share of the idle mean. Run under a display (scripts/measure-study-fps
// uses Xvfb).
#include "AppDelegate.h"
#include "MasterViewController.h"
#include "MenuActions.h"
#include "MyOpenGLView.h"
#include "ParameterStudy.h"
#include "ParameterStudyWindow.h"
#include "StudyGridForm.h"
#include "TimeSeriesChart.h"

#include <QAction>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QSurfaceFormat>

#include <cstdio>

namespace {

constexpr qint64 kPhaseMillis = 5000;
const char* const kPhaseNames[] = {"idle", "computing", "idle"};

} // namespace

int main(int argc, char* argv[])
{
    QSurfaceFormat::setDefaultFormat(MyOpenGLView::defaultSurfaceFormat());
    QApplication app(argc, argv);
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    MasterViewController& controller = *delegate.masterViewController();

    QAction* open = menuAction(*delegate.window()->menuBar(), QString::fromUtf8("Parameter Study\u2026"));

    double rates[3] = {};
    int phase = -1;
    int frames = 0;
    int studyPoints = 0;
    QElapsedTimer clock;
    QObject::connect(controller.openGLView(), &QOpenGLWidget::frameSwapped, &app, [&] {
        if (phase < 0) {
            // Once the chart is filled, as a user would find it.
            if (controller.additions().timeSeriesChart()->series().time.empty())
                return;
            controller.simToggle();
            phase = 0;
            clock.start();
            return;
        }
        ++frames;
        if (clock.elapsed() < kPhaseMillis)
            return;
        rates[phase] = frames * 1000.0 / clock.elapsed();
        if (phase == 1)
            delegate.parameterStudy()->study().cancel();
        if (++phase == 3) {
            QApplication::quit();
            return;
        }
        if (phase == 1) {
            open->trigger();
            ParameterStudyWindow& window = *delegate.parameterStudy();
            // Opening computes the default grid; this one replaces it.
            window.gridForm()->gridField()->setText(QStringLiteral("1e-9:1e-3:100000:log"));
            window.compute();
            QObject::connect(&window.study(), &ParameterStudy::progressed, &app,
                             [&studyPoints](int done) { studyPoints = done; });
            delegate.window()->activateWindow();
        }
        frames = 0;
        clock.start();
    });
    QApplication::exec();

    for (int k = 0; k < 3; ++k)
        std::printf("%-9s %.1f fps\n", kPhaseNames[k], rates[k]);
    std::printf("computing / idle mean: %.1f%% (%d study points in the computing phase)\n",
                200.0 * rates[1] / (rates[0] + rates[2]), studyPoints);
    return 0;
}
