#include "AppDelegate.h"
#include "CommandLine.h"
#include "MyOpenGLView.h"
#include "OneLine.h"
#include "Platform.h"
#include "Simulation.h"
#include "StartupFigure.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QSurfaceFormat>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Every error is one line, whatever the user typed into it.
void printError(const std::string& message)
{
    std::fprintf(stderr, "cosmophase: %s\n", cosmophase::escapeControlCharacters(message).c_str());
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
        cosmophase::Simulation run;
        run.initialize(arguments.parameters);
        const cosmophase::RunStatus status = run.runSimulationBounded();
        if (status != cosmophase::RunStatus::Ok) {
            std::fprintf(stderr, "cosmophase: q = %s, T = %d: %s\n",
                         cosmophase::accelerationText(arguments.parameters.q).c_str(), arguments.parameters.T,
                         cosmophase::statusReason(status).c_str());
            return 3;
        }
        QGuiApplication app(argc, argv);
        const cosmophase::WriteResult result =
            cosmophase::saveStartupFigure(arguments.figurePath, arguments.figureSide, arguments.parameters,
                                          {run.getz2Data(), run.getw0Data()});
        if (!result.ok) {
            printError(result.error);
            return 1;
        }
        if (!result.warning.empty())
            printError(result.warning);
        return 0;
    }
    case cosmophase::ApplicationArguments::Action::Run:
        break;
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

    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    return QApplication::exec();
}
