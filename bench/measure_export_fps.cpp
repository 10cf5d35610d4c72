// The phase plane's frame rate during playback while File > Export
// Animation... writes a movie, against idle, in one run of the application:
// 5 s idle, 5 s exporting (a 720 px, 600-frame MP4, cancelled at the end of
// the phase if not done), 5 s idle again. Prints each phase's frames per
// second, the exporting phase's share of the idle mean and the frames
// encoded meanwhile. Run under a display (scripts/measure-export-fps uses
// Xvfb).
#include "AnimationActions.h"
#include "AnimationExportDialog.h"
#include "AppDelegate.h"
#include "MasterViewController.h"
#include "MenuActions.h"
#include "MovieExport.h"
#include "MyOpenGLView.h"
#include "TimeSeriesChart.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QSurfaceFormat>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr qint64 kPhaseMillis = 5000;
const char* const kPhaseNames[] = {"idle", "exporting", "idle"};

} // namespace

int main(int argc, char* argv[])
{
    QSurfaceFormat::setDefaultFormat(MyOpenGLView::defaultSurfaceFormat());
    QApplication app(argc, argv);
    QTemporaryDir folder;
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    MasterViewController& controller = *delegate.masterViewController();
    AnimationActions& animation = *delegate.animation();
    animation.setDialogRunner([&folder](AnimationExportDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("fileField"))->setText(folder.filePath(QStringLiteral("m.mp4")));
        dialog.findChild<QLineEdit*>(QStringLiteral("sizeField"))->setText(QStringLiteral("720"));
        return true;
    });
    QAction* exportAction = menuAction(*delegate.window()->menuBar(), QString::fromUtf8("Export Animation\u2026"));

    double rates[3] = {};
    int phase = -1;
    int frames = 0;
    int encoded = 0;
    QObject::connect(&animation.movieExport(), &MovieExport::progressed, &app,
                     [&encoded](int done, int) { encoded = done; });
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
            animation.movieExport().cancel();
        if (++phase == 3) {
            QApplication::quit();
            return;
        }
        if (phase == 1)
            exportAction->trigger();
        frames = 0;
        clock.start();
    });
    QApplication::exec();

    for (int k = 0; k < 3; ++k)
        std::printf("%-9s %.1f fps\n", kPhaseNames[k], rates[k]);
    std::printf("exporting / idle mean: %.1f%% (%d frames encoded in the exporting phase)\n",
                200.0 * rates[1] / (rates[0] + rates[2]), encoded);
    return 0;
}
