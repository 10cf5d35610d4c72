#pragma once

#include "MovieRequest.h"

#include <QCommandLineOption>
#include <QList>
#include <QString>

class QCommandLineParser;

namespace cosmophase {

// `--save-animation OUT` and the options that shape the movie (--fps,
// --duration, --from, --to, --pace; --size is shared with --save-figure).
QList<QCommandLineOption> animationOptions();
// Whether any option that only a movie takes is given.
bool hasAnimationOnlyOption(const QCommandLineParser& parser, QString* name);

// Reads the options into `request` (all but the session): an error line
// for the first bad one, or a request that cannot be made; empty when fine.
QString readAnimationOptions(const QCommandLineParser& parser, MovieRequest& request);

// Writes the movie with no display and returns the exit status: 0 written,
// 1 when the file could not be written, 3 when the run cannot reach the
// present day; errors go to standard error as one line each.
int saveAnimation(const MovieRequest& request);

} // namespace cosmophase
