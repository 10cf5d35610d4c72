// Time to the first frame: from QApplication::exec() (and from the start of
// main) to the first "N fps" window title. `app` launches Cosmophase exactly
// as its main() does; `bare` shows an empty QOpenGLWidget window of the same
// size that titles itself the same way, as the baseline; `session` launches
// as `cosmophase FILE` does with a session of 50 traces and a zoom (written
// to a temporary file first, and read from it in the timed part). One launch
// per process, so that every run pays the full start-up;
// scripts/measure-startup and scripts/measure-session-open repeat it and
// report medians.

#include "AppDelegate.h"
#include "MyOpenGLView.h"
#include "Platform.h"
#include "SessionFile.h"
#include "PhasePlaneInteraction.h"
#include "SessionFiles.h"
#include "SessionState.h"
#include "TraceBatch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QRegularExpression>
#include <QSurfaceFormat>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

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

// Fifty traces from a grid over the square, and a zoom on the saddle.
cosmophase::Session sessionWithTraces()
{
    cosmophase::Session session;
    session.view = {0, 0, 0.5};
    for (int i = 0; i < 50; ++i)
        session.traces.push_back({-1.8 + 0.4 * (i % 10), -1.6 + 0.8 * (i / 10)});
    return session;
}

} // namespace

int main(int argc, char* argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    const bool bare = argc > 1 && std::strcmp(argv[1], "bare") == 0;
    const bool withSession = argc > 1 && std::strcmp(argv[1], "session") == 0;
    QTemporaryDir folder;
    const std::string sessionPath = folder.filePath(QStringLiteral("bench.cosmophase")).toStdString();
    if (withSession && !cosmophase::writeSessionFile(sessionPath, sessionWithTraces()).ok)
        return 2;
    const char* mode = bare ? "bare" : withSession ? "session" : "app";
    // As main() opens `cosmophase FILE`: read first, traces started, then launched.
    const cosmophase::SessionReadResult session =
        withSession ? cosmophase::readSessionFile(sessionPath) : cosmophase::SessionReadResult{};
    if (withSession && !session.ok())
        return 2;
    std::optional<TraceBatch> traces;
    if (withSession)
        traces.emplace(SessionState::traceStarts(*session.session));

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
            std::printf("%s from_exec_ms=%.3f from_start_ms=%.3f\n", mode, fromExec,
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
        delegate->applicationDidFinishLaunching([&](AppDelegate& launched) {
            if (!withSession)
                return;
            launched.phasePlaneInteraction()->replaceTraces(traces->take());
            launched.sessionFiles()->show(QString::fromStdString(sessionPath), *session.session, session.unknownKeys);
        });
    }
    if (firstFrameSeen)
        return 0;
    execAt = sinceStart.nsecsElapsed();
    return QApplication::exec();
}
