#include "MovieCommand.h"

#include "DecimalText.h"
#include "MovieWriter.h"
#include "OneLine.h"

#include <QCommandLineParser>
#include <QFile>

#include <cstdio>

namespace cosmophase {

namespace {

const char* const kAnimationOnly[] = {"fps", "duration", "from", "to", "pace"};

bool readNumber(const QString& text, double& value)
{
    return readFiniteDecimal(text.toStdString(), value) == DecimalError::None;
}

} // namespace

QList<QCommandLineOption> animationOptions()
{
    return {
        {QStringLiteral("save-animation"),
         QStringLiteral("Write a movie of the playback to PATH (.mp4, .gif or .webm) and exit: the figure that "
                        "--save-figure draws, with the marker moving through the run. Needs no display."),
         QStringLiteral("PATH")},
        {QStringLiteral("fps"),
         QStringLiteral("With --save-animation: frames per second, 1 to %1 (default %2).")
             .arg(MovieRequest::kMaxFps)
             .arg(MovieRequest::kDefaultFps),
         QStringLiteral("N")},
        {QStringLiteral("duration"),
         QStringLiteral("With --save-animation: the movie's length in seconds, up to %1 (default %2).")
             .arg(MovieRequest::kMaxDuration)
             .arg(MovieRequest::kDefaultDuration),
         QStringLiteral("SECONDS")},
        {QStringLiteral("from"),
         QStringLiteral("With --save-animation: where the marker starts, in percent of the run's elapsed time "
                        "(default 0)."),
         QStringLiteral("PERCENT")},
        {QStringLiteral("to"),
         QStringLiteral("With --save-animation: where the marker ends, in percent (default 100)."),
         QStringLiteral("PERCENT")},
        {QStringLiteral("pace"),
         QStringLiteral("With --save-animation: how the marker moves: time (uniform in elapsed time, as Play "
                        "does; the default), log (uniform in log elapsed time) or samples."),
         QStringLiteral("PACE")},
    };
}

bool hasAnimationOnlyOption(const QCommandLineParser& parser, QString* name)
{
    for (const char* option : kAnimationOnly) {
        if (parser.isSet(QLatin1String(option))) {
            *name = QLatin1String(option);
            return true;
        }
    }
    return false;
}

QString readAnimationOptions(const QCommandLineParser& parser, MovieRequest& request)
{
    request.path = QFile::encodeName(parser.value(QStringLiteral("save-animation"))).toStdString();
    if (!movieFormatFor(request.path))
        return QStringLiteral("Cannot save a movie as '%1': use .mp4, .gif or .webm.")
            .arg(parser.value(QStringLiteral("save-animation")));
    if (parser.isSet(QStringLiteral("fps"))) {
        bool ok = false;
        request.fps = parser.value(QStringLiteral("fps")).toInt(&ok);
        if (!ok || request.fps < 1 || request.fps > MovieRequest::kMaxFps)
            return QStringLiteral("--fps must be a whole number from 1 to %1, not '%2'.")
                .arg(MovieRequest::kMaxFps)
                .arg(parser.value(QStringLiteral("fps")));
    }
    if (parser.isSet(QStringLiteral("duration"))) {
        if (!readNumber(parser.value(QStringLiteral("duration")), request.duration) || !(request.duration > 0) ||
            request.duration > MovieRequest::kMaxDuration)
            return QStringLiteral("--duration must be a number of seconds above 0 and at most %1, not '%2'.")
                .arg(MovieRequest::kMaxDuration)
                .arg(parser.value(QStringLiteral("duration")));
    }
    if (parser.isSet(QStringLiteral("size"))) {
        bool ok = false;
        request.side = parser.value(QStringLiteral("size")).toInt(&ok);
        if (!ok || request.side < MovieRequest::kMinSide || request.side > MovieRequest::kMaxSide)
            return QStringLiteral("--size of a movie must be a whole number of pixels from %1 to %2, not '%3'.")
                .arg(MovieRequest::kMinSide)
                .arg(MovieRequest::kMaxSide)
                .arg(parser.value(QStringLiteral("size")));
    }
    for (const auto& [name, percent] : {std::pair{"from", &request.fromPercent}, {"to", &request.toPercent}}) {
        const QString option = QLatin1String(name);
        if (parser.isSet(option) &&
            (!readNumber(parser.value(option), *percent) || *percent < 0 || *percent > 100))
            return QStringLiteral("--%1 must be a percentage from 0 to 100, not '%2'.").arg(option, parser.value(option));
    }
    if (!(request.fromPercent < request.toPercent))
        return QStringLiteral("--from (%1) must be below --to (%2).").arg(request.fromPercent).arg(request.toPercent);
    if (parser.isSet(QStringLiteral("pace"))) {
        const std::optional<PlaybackPace> pace = playbackPaceFromName(parser.value(QStringLiteral("pace")).toStdString());
        if (!pace)
            return QStringLiteral("--pace must be time, log or samples, not '%1'.").arg(parser.value(QStringLiteral("pace")));
        request.pace = *pace;
    }
    // What no single option says: a movie with no frame, a folder that cannot be written.
    if (const std::string error = movieRequestError(request); !error.empty())
        return QString::fromStdString(error) + QLatin1Char('.');
    return {};
}

int saveAnimation(const MovieRequest& request)
{
    const MovieResult result = writeMovie(request);
    const std::string& line = result.ok() ? result.warning : result.error;
    if (!line.empty())
        std::fprintf(stderr, "cosmophase: %s\n", escapeControlCharacters(line).c_str());
    switch (result.status) {
    case MovieResult::Status::Written: return 0;
    case MovieResult::Status::NoRun: return 3;
    case MovieResult::Status::Cancelled:
    case MovieResult::Status::Failed: break;
    }
    return 1;
}

} // namespace cosmophase
