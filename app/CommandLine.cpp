#include "CommandLine.h"

#include "DecimalText.h"
#include "FigureWriter.h"
#include "MovieCommand.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace cosmophase {

namespace {

ApplicationArguments failed(const QString& error)
{
    ApplicationArguments arguments;
    arguments.action = ApplicationArguments::Action::Fail;
    arguments.text = error;
    return arguments;
}

ApplicationArguments printed(const QString& text)
{
    ApplicationArguments arguments;
    arguments.action = ApplicationArguments::Action::PrintText;
    arguments.text = text;
    return arguments;
}

// Qt's documented QGuiApplication/QApplication options. The session manager
// restarts Qt programs with -session, so rejecting these would break that.
void acceptQtOptions(QCommandLineParser& parser)
{
    const QStringList withValue{
        QStringLiteral("platform"),       QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"),  QStringLiteral("plugin"),
        QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
        QStringLiteral("qwindowtitle"),   QStringLiteral("session"),
        QStringLiteral("display"),        QStringLiteral("style"),
        QStringLiteral("stylesheet"),
    };
    for (const QString& name : withValue) {
        QCommandLineOption option(name, QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    QCommandLineOption reverse(QStringLiteral("reverse"));
    reverse.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(reverse);
}

// The parser's usage line names the program by the path it was started
// with, or by a placeholder before any application object exists. It also
// lists one-letter names with one dash; --q and --T are written as the
// long options they are read as (both spellings work).
QString helpText(const QCommandLineParser& parser)
{
    QString text = parser.helpText();
    text.replace(QStringLiteral("\n  -q <Q> "), QStringLiteral("\n  --q <Q>"));
    text.replace(QStringLiteral("\n  -T <N> "), QStringLiteral("\n  --T <N>"));
    return QStringLiteral("Usage: cosmophase [options] [FILE]\n") + text.section(QLatin1Char('\n'), 1);
}

} // namespace

QStringList argumentList(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

ApplicationArguments parseApplicationArguments(const QStringList& arguments)
{
    QCommandLineParser parser;
    // Qt's options are single-dash words (-platform), so -h and --help alike
    // are read as whole option names.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "Watch and scrub a four-variable cosmological model in its phase plane.\n"
        "Needs a desktop session; without one: xvfb-run -a cosmophase"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption saveFigure(QStringLiteral("save-figure"),
                                        QStringLiteral("Write the start-up picture of the phase plane with its axes "
                                                       "to PATH (.svg, .pdf, .png; name@2x.png or name@4x.png for "
                                                       "a larger PNG) and exit. Needs no display."),
                                        QStringLiteral("PATH"));
    const QCommandLineOption size(QStringLiteral("size"),
                                  QStringLiteral("Side of the plot in the saved figure or movie, in pixels "
                                                 "(default %1).").arg(ApplicationArguments::kDefaultFigureSide),
                                  QStringLiteral("PIXELS"));
    const QCommandLineOption acceleration(
        QStringLiteral("q"),
        QStringLiteral("Initial acceleration parameter the run starts from: a finite decimal number "
                       "above 0 and below sqrt(7)/2 = 1.3228756555322954 (default 0.999999426). "
                       "Above 1.311 some runs cannot reach the present day."),
        QStringLiteral("Q"));
    const QCommandLineOption temperature(
        QStringLiteral("T"),
        QStringLiteral("Initial temperature: a whole number from 1 to 2147483647 (default 9000)."),
        QStringLiteral("N"));
    const QCommandLineOption position(
        QStringLiteral("position"),
        QStringLiteral("With --save-figure: put the marker at this percentage (0 to 100) of the run's "
                       "elapsed time, as the time slider does."),
        QStringLiteral("PERCENT"));
    const QCommandLineOption noRestore(
        QStringLiteral("no-restore"),
        QStringLiteral("Start clean: do not offer to restore the work of an instance that crashed "
                       "(its autosave is kept and offered at the next launch)."));
    const QCommandLineOption defaults(
        QStringLiteral("defaults"),
        QStringLiteral("Start with the default window size, switches and folders, and leave the "
                       "saved preferences as they are."));
    parser.addOptions({help, version, saveFigure, size, acceleration, temperature, position, noRestore, defaults});
    parser.addOptions(animationOptions());
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A saved session (.cosmophase), or a figure or movie that carries "
                                                "one, to open, or to draw with --save-figure or --save-animation."),
                                 QStringLiteral("[FILE]"));
    acceptQtOptions(parser);

    if (!parser.parse(arguments))
        return failed(parser.errorText());
    if (parser.positionalArguments().size() > 1)
        return failed(QStringLiteral("Unexpected argument '%1'.")
                          .arg(parser.positionalArguments().at(1)));
    if (parser.isSet(help))
        return printed(helpText(parser));
    if (parser.isSet(version))
        return printed(QStringLiteral("cosmophase " COSMOPHASE_VERSION "\n"));
    const bool saveAnimation = parser.isSet(QStringLiteral("save-animation"));
    if (saveAnimation && parser.isSet(saveFigure))
        return failed(QStringLiteral("--save-figure and --save-animation cannot go together."));
    if (QString option; hasAnimationOnlyOption(parser, &option) && !saveAnimation)
        return failed(QStringLiteral("--%1 needs --save-animation.").arg(option));
    if (parser.isSet(size) && !parser.isSet(saveFigure) && !saveAnimation)
        return failed(QStringLiteral("--size needs --save-figure or --save-animation."));
    if (parser.isSet(position) && !parser.isSet(saveFigure))
        return failed(QStringLiteral("--position needs --save-figure."));
    const QString session = parser.positionalArguments().value(0);
    if (!session.isEmpty() && (parser.isSet(acceleration) || parser.isSet(temperature)))
        return failed(QStringLiteral("--%1 conflicts with the session file, which gives q and T.")
                          .arg(parser.isSet(acceleration) ? QStringLiteral("q") : QStringLiteral("T")));
    ApplicationArguments run;
    run.offerRestore = !parser.isSet(noRestore);
    run.defaultPreferences = parser.isSet(defaults);
    if (parser.isSet(acceleration)) {
        const cosmophase::ParsedValue<double> q = cosmophase::parseAcceleration(parser.value(acceleration).toStdString());
        if (!q.value)
            return failed(QStringLiteral("--q '%1': %2.").arg(parser.value(acceleration), QString::fromStdString(q.error)));
        run.parameters.q = *q.value;
    }
    if (parser.isSet(temperature)) {
        const cosmophase::ParsedValue<std::int32_t> T = cosmophase::parseTemperature(parser.value(temperature).toStdString());
        if (!T.value)
            return failed(QStringLiteral("--T '%1': %2.").arg(parser.value(temperature), QString::fromStdString(T.error)));
        run.parameters.T = *T.value;
    }
    const std::string outside = cosmophase::ParameterDomain::check(run.parameters);
    if (!outside.empty())
        return failed(QStringLiteral("--q and --T: %1.").arg(QString::fromStdString(outside)));
    if (saveAnimation) {
        ApplicationArguments movie = run;
        movie.action = ApplicationArguments::Action::SaveAnimation;
        movie.sessionPath = session;
        if (const QString error = readAnimationOptions(parser, movie.animation); !error.isEmpty())
            return failed(error);
        return movie;
    }
    run.sessionPath = session;
    if (!parser.isSet(saveFigure))
        return run;

    ApplicationArguments figure = run;
    figure.action = ApplicationArguments::Action::SaveFigure;
    figure.figurePath = parser.value(saveFigure);
    if (parser.isSet(position)) {
        double percent = 0;
        if (readFiniteDecimal(parser.value(position).toStdString(), percent) != DecimalError::None ||
            percent < 0 || percent > 100)
            return failed(QStringLiteral("--position must be a percentage from 0 to 100, not '%1'.")
                              .arg(parser.value(position)));
        figure.positionPercent = percent;
    }
    if (!figureFormatFor(figure.figurePath))
        return failed(QStringLiteral("Cannot save a figure as '%1': use .svg, .pdf or .png.").arg(figure.figurePath));
    if (parser.isSet(size)) {
        bool ok = false;
        figure.figureSide = parser.value(size).toInt(&ok);
        if (!ok || figure.figureSide < 1 || figure.figureSide > ApplicationArguments::kMaxFigureSide)
            return failed(QStringLiteral("--size must be a whole number of pixels from 1 to %1, not '%2'.")
                              .arg(ApplicationArguments::kMaxFigureSide)
                              .arg(parser.value(size)));
    }
    return figure;
}

} // namespace cosmophase
