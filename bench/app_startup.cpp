// Time to the first frame: from QApplication::exec() (and from the start of
// main) to the first "N fps" window title. `app` launches Cosmophase exactly
// as its main() does; `bare` shows an empty QOpenGLWidget window of the same
// size that titles itself the same way, as the baseline. One launch per
// process, so that every run pays the full start-up; scripts/measure-startup
// repeats it and reports medians.

#include "AppDelegate.h"
#include "MyOpenGLView.h"
#include "Platform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QRegularExpression>
#include <QSurfaceFormat>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

class BareView : public QOpenGLWidget {
protected:
    void paintGL() override
    {
        context()->functions()->glClearColor(0, 0, 0, 1);
        context()->functions()->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        window()->setWindowTitle(QStringLiteral("0 fps"));
        update();
    }
};

} // namespace

int main(int argc, char* argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    const bool bare = argc > 1 && std::strcmp(argv[1], "bare") == 0;

    QSurfaceFormat::setDefaultFormat(MyOpenGLView::defaultSurfaceFormat());
    QApplication app(argc, argv);

    qint64 execAt = -1;
    bool firstFrameSeen = false;
    const QRegularExpression fps(QStringLiteral("^\\d+ fps$"));
    const auto watchTitle = [&](QWidget* window) {
        QObject::connect(window, &QWidget::windowTitleChanged, &app, [&](const QString& title) {
            if (firstFrameSeen || !fps.match(title).hasMatch())
                return;
            const qint64 now = sinceStart.nsecsElapsed();
            // A frame drawn while the window is being shown, before exec(),
            // counts as 0 ms from exec().
            const double fromExec = execAt < 0 ? 0.0 : (now - execAt) / 1e6;
            std::printf("%s from_exec_ms=%.3f from_start_ms=%.3f\n", bare ? "bare" : "app", fromExec,
                        now / 1e6);
            std::fflush(stdout);
            firstFrameSeen = true;
            QApplication::exit(0);
        });
    };

    std::unique_ptr<AppDelegate> delegate;
    std::unique_ptr<BareView> bareView;
    if (bare) {
        bareView = std::make_unique<BareView>();
        bareView->resize(AppDelegate::kDefaultWidth, AppDelegate::kDefaultHeight);
        watchTitle(bareView.get());
        bareView->show();
    } else {
        if (!cosmophase::openGlAvailable())
            return 2;
        delegate = std::make_unique<AppDelegate>();
        watchTitle(delegate->window());
        delegate->applicationDidFinishLaunching();
    }
    if (firstFrameSeen)
        return 0;
    execAt = sinceStart.nsecsElapsed();
    return QApplication::exec();
}
