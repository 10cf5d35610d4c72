// The phase plane's frame rate during playback while File > Export
// Animation... writes a movie, against idle, in one run of the application:
// 3 s idle and 3 s exporting (a 720 px, 600-frame MP4, cancelled at the end
// of the phase if not done), four times over, then 3 s idle again. The
// phases alternate so that other load on the machine falls on both alike.
// Prints each phase's frames per second, the exporting phases' share of
// the idle mean and the frames encoded. Run under a display
// (scripts/measure-export-fps uses Xvfb).
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
#include <vector>

namespace {

constexpr qint64 kPhaseMillis = 3000;
constexpr int kPhases = 9; // even: idle, odd: exporting

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

    std::vector<double> rates;
    int frames = 0;
    int encoded = 0;
    int started = 0;
    QObject::connect(&animation.movieExport(), &MovieExport::progressed, &app,
                     [&encoded](int, int) { ++encoded; });
    QElapsedTimer clock;
    QObject::connect(controller.openGLView(), &QOpenGLWidget::frameSwapped, &app, [&] {
        if (!clock.isValid()) {
            // Once the chart is filled, as a user would find it.
            if (controller.additions().timeSeriesChart()->series().time.empty())
                return;
            controller.simToggle();
            clock.start();
            return;
        }
        ++frames;
        if (clock.elapsed() < kPhaseMillis)
            return;
        rates.push_back(frames * 1000.0 / clock.elapsed());
        if (rates.size() % 2 == 0) // an exporting phase ended
            animation.movieExport().cancel();
        if (rates.size() == kPhases) {
            QApplication::quit();
            return;
        }
        // Playback restarts when it ends; each exporting phase starts a new movie.
        if (!controller.isRunning())
            controller.simToggle();
        if (rates.size() % 2 == 1) {
            started += exportAction->isEnabled() ? 1 : 0;
            exportAction->trigger();
        }
        frames = 0;
        clock.start();
    });
    QApplication::exec();

    double idle = 0;
    double busy = 0;
    for (std::size_t k = 0; k < rates.size(); ++k) {
        std::printf("%-9s %.1f fps\n", k % 2 == 0 ? "idle" : "exporting", rates[k]);
        (k % 2 == 0 ? idle : busy) += rates[k];
    }
    idle /= (kPhases + 1) / 2;
    busy /= kPhases / 2;
    std::printf("exporting / idle: %.1f%% (%.1f against %.1f fps; %d of %d movies started, %d frames encoded)\n",
                100.0 * busy / idle, busy, idle, started, kPhases / 2, encoded);
    return 0;
}
