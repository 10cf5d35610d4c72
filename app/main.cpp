#include "AppDelegate.h"
#include "CommandLine.h"
#include "CrashRecovery.h"
#include "DataFormat.h"
#include "EmbeddedRecord.h"
#include "MovieCommand.h"
#include "MyOpenGLView.h"
#include "OneLine.h"
#include "ParameterRuns.h"
#include "PhasePlaneInteraction.h"
#include "Platform.h"
#include "Preferences.h"
#include "SampleAtPercent.h"
#include "ScriptedEdits.h"
#include "SessionFigure.h"
#include "SessionFile.h"
#include "SessionFiles.h"
#include "SessionState.h"
#include "Simulation.h"
#include "StartupFigure.h"
#include "TraceBatch.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QSettings>
#include <QStatusBar>
#include <QSurfaceFormat>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

namespace {

// Every error is one line, whatever the user typed into it.
void printError(const std::string& message)
{
    std::fprintf(stderr, "cosmophase: %s\n", cosmophase::escapeControlCharacters(message).c_str());
}

// The session file of the command line, or the session a figure or movie
// carries, or nothing after printing why it cannot be read; unknown keys
// are warned of.
std::optional<cosmophase::SessionReadResult> readSession(const QString& path)
{
    cosmophase::SessionReadResult read = cosmophase::readSessionOrFigure(QFile::encodeName(path).toStdString());
    if (!read.ok()) {
        printError(read.error);
        return std::nullopt;
    }
    if (!read.unknownKeys.empty())
        printError("warning: " + cosmophase::unknownKeysWarning(read.unknownKeys));
    return read;
}

// The session to draw: the file's, or one of the command line's run; its
// marker at --position when given. Empty after printing why it cannot be.
std::optional<cosmophase::Session> figureSession(const cosmophase::ApplicationArguments& arguments)
{
    cosmophase::Session session;
    session.q = cosmophase::accelerationText(arguments.parameters.q);
    session.T = arguments.parameters.T;
    if (!arguments.sessionPath.isEmpty()) {
        const std::optional<cosmophase::SessionReadResult> read = readSession(arguments.sessionPath);
        if (!read)
            return std::nullopt;
        session = *read->session;
    }
    return session;
}

// For tests (documented in the README): a short autosave delay and a
// stream of scripted edits, so that a test can kill the application while
// it autosaves.
void startTestHooks(CrashRecovery& recovery, SessionState& state)
{
    bool ok = false;
    const int quietMs = qEnvironmentVariableIntValue("COSMOPHASE_AUTOSAVE_MS", &ok);
    if (ok && quietMs > 0 && recovery.autosave())
        recovery.autosave()->setQuietMs(quietMs);
    const int editMs = qEnvironmentVariableIntValue("COSMOPHASE_SCRIPTED_EDITS_MS", &ok);
    if (ok && editMs > 0)
        new ScriptedEdits(state, editMs, &recovery);
}

} // namespace

int main(int argc, char* argv[])
{
    // Options come first: --help and --version answer without a display.
    const cosmophase::ApplicationArguments arguments =
        cosmophase::parseApplicationArguments(cosmophase::argumentList(argc, argv));
    switch (arguments.action) {
    case cosmophase::ApplicationArguments::Action::PrintText:
        std::fputs(arguments.text.toLocal8Bit().constData(), stdout);
        if (std::fflush(stdout) != 0) {
            printError(std::string("cannot write to standard output: ") + std::strerror(errno));
            return 1;
        }
        return 0;
    case cosmophase::ApplicationArguments::Action::Fail:
        printError(arguments.text.toLocal8Bit().toStdString() + " See cosmophase --help.");
        return 2;
    case cosmophase::ApplicationArguments::Action::SaveFigure: {
        // Painted without GL onto Qt's offscreen platform: no display needed.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        std::optional<cosmophase::Session> session = figureSession(arguments);
        if (!session)
            return 2;
        const cosmophase::RunParameters parameters = session->parameters();
        cosmophase::Simulation run;
        run.initialize(parameters);
        const cosmophase::RunStatus status = run.runSimulationBounded();
        if (status != cosmophase::RunStatus::Ok) {
            std::fprintf(stderr, "cosmophase: q = %s, T = %d: %s\n", cosmophase::accelerationText(parameters.q).c_str(),
                         parameters.T, cosmophase::statusReason(status).c_str());
            return 3;
        }
        if (arguments.positionPercent)
            session->marker = static_cast<std::size_t>(
                cosmophase::sampleAtPercent(run.getTimeData(), *arguments.positionPercent));
        if (const std::string error = cosmophase::checkMarker(session->marker, run.getTimeData().size());
            !error.empty()) {
            printError(QFile::encodeName(arguments.sessionPath).toStdString() + ": " + error);
            return 2;
        }
        QGuiApplication app(argc, argv);
        const cosmophase::Curve trajectory{run.getz2Data(), run.getw0Data()};
        const bool plain = arguments.sessionPath.isEmpty() && !arguments.positionPercent;
        const std::string record = cosmophase::sessionRecordText(
            *session,
            cosmophase::samplesDigest({run.getz2Data(), run.getw0Data(), run.getw2Data(), run.getTimeData()}));
        const cosmophase::WriteResult result =
            plain ? cosmophase::saveStartupFigure(arguments.figurePath, arguments.figureSide, parameters, trajectory,
                                                  record)
                  : cosmophase::saveSessionFigure(arguments.figurePath, arguments.figureSide, *session, trajectory,
                                                  record);
        if (!result.ok) {
            printError(result.error);
            return 1;
        }
        if (!result.warning.empty())
            printError(result.warning);
        return 0;
    }
    case cosmophase::ApplicationArguments::Action::SaveAnimation: {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        std::optional<cosmophase::Session> session = figureSession(arguments);
        if (!session)
            return 2;
        cosmophase::MovieRequest request = arguments.animation;
        request.session = std::move(*session);
        QGuiApplication app(argc, argv);
        return cosmophase::saveAnimation(request);
    }
    case cosmophase::ApplicationArguments::Action::Run:
        break;
    }
    // A bad file is refused before anything opens, as scripts expect.
    std::optional<cosmophase::SessionReadResult> session;
    // Its traces are computed while the window is built.
    std::optional<TraceBatch> traces;
    if (!arguments.sessionPath.isEmpty()) {
        session = readSession(arguments.sessionPath);
        if (!session)
            return 2;
        traces.emplace(SessionState::traceStarts(*session->session), TraceBatch::Cores::AllButOne);
    }

    // Without a display QApplication aborts with a message about plugins;
    // say plainly what is missing instead.
    if (!cosmophase::displayAvailable()) {
        printError("no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                   "run it from a desktop session, or headless with: xvfb-run -a cosmophase");
        return 1;
    }

    QSurfaceFormat::setDefaultFormat(MyOpenGLView::defaultSurfaceFormat());
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("cosmophase"));
    QApplication::setApplicationName(QStringLiteral("Cosmophase"));
    QApplication::setApplicationVersion(QStringLiteral(COSMOPHASE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.cosmophase.Cosmophase"));

    if (!cosmophase::openGlAvailable()) {
        QMessageBox::critical(nullptr, QStringLiteral("Cosmophase"),
                              QStringLiteral("No OpenGL context could be created, so the phase "
                                             "plane cannot be drawn.\n\nCheck the graphics driver "
                                             "(Mesa), or try LIBGL_ALWAYS_SOFTWARE=1."));
        return 1;
    }

    // ~/.config/cosmophase/Cosmophase.conf, or under $XDG_CONFIG_HOME.
    QSettings settings;
    Preferences preferences(settings);
    AppDelegate delegate;
    if (!arguments.defaultPreferences) {
        delegate.setPreferences(&preferences);
        QObject::connect(&app, &QCoreApplication::aboutToQuit, &app,
                         [&] { preferences.save(*delegate.window()); });
    }
    bool refused = false;
    delegate.applicationDidFinishLaunching([&](AppDelegate& launched) {
        if (!arguments.parameters.isDefault())
            launched.parameterRuns()->start(arguments.parameters);
        if (!session)
            return;
        // Shown already, the traces stay as they are when the session is applied.
        launched.phasePlaneInteraction()->replaceTraces(traces->take());
        // Only its run can tell a marker beyond it: refused then as a bad file is.
        launched.sessionFiles()->show(arguments.sessionPath, *session->session, session->unknownKeys,
                                      [&refused](const QString& line) {
                                          printError(line.toStdString());
                                          refused = true;
                                          QCoreApplication::exit(2);
                                      });
    });
    if (refused)
        return 2;

    CrashRecovery recovery(*delegate.sessionState(), CrashRecovery::standardFolder(), delegate.window());
    recovery.follow(*delegate.sessionFiles());
    QStatusBar* status = delegate.window()->statusBar();
    QObject::connect(&recovery, &CrashRecovery::failed, status,
                     [status](const QString& message) { status->showMessage(message); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &recovery, &CrashRecovery::finish);
    startTestHooks(recovery, *delegate.sessionState());
    // A file named on the command line is what was asked for: an autosave
    // waits for a later launch then, as with --no-restore.
    if (arguments.offerRestore && !session)
        recovery.offerRestore();
    return QApplication::exec();
}
