#pragma once

#include "RunParameters.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace cosmophase {

// What the command line asks of the application. It is read before anything
// needs a display, so --help and --version answer on any terminal.
struct ApplicationArguments {
    enum class Action {
        Run,       // start the application
        PrintText,  // print text to standard output and exit with status 0
        Fail,       // print text (one line) to standard error, exit with status 2
        SaveFigure  // write the start-up figure (or the session's) to figurePath and exit, no display needed
    };
    // The plot's side on screen at the window's default size, and the most
    // --size accepts (a 4x PNG of that is already 16384 px square).
    static constexpr int kDefaultFigureSide = 637;
    static constexpr int kMaxFigureSide = 4096;

    Action action = Action::Run;
    QString text;
    QString figurePath;
    int figureSide = kDefaultFigureSide;
    // --q and --T: the run the window or the figure starts with, in its domain.
    cosmophase::RunParameters parameters;
    // FILE: a session to open, or to draw with --save-figure; its run
    // replaces --q and --T.
    QString sessionPath;
    // --position: the marker at this percentage (0 to 100) of the run's elapsed time.
    std::optional<double> positionPercent;
};

// The program name followed by the arguments, decoded as QCoreApplication
// would decode them.
QStringList argumentList(int argc, char* argv[]);

// Parses a full argument list (program name first). Qt's own windowing
// options (-platform, -style, -session...) are accepted and left for the
// QApplication, which reads them from the same argv.
ApplicationArguments parseApplicationArguments(const QStringList& arguments);

} // namespace cosmophase
