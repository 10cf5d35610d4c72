#include "CommandLine.h"

#include "FigureWriter.h"

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
// with, or by a placeholder before any application object exists.
QString helpText(const QCommandLineParser& parser)
{
    const QString text = parser.helpText();
    return QStringLiteral("Usage: cosmophase [options]\n") + text.section(QLatin1Char('\n'), 1);
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
                                  QStringLiteral("Side of the plot in the saved figure, in pixels "
                                                 "(default %1).").arg(ApplicationArguments::kDefaultFigureSide),
                                  QStringLiteral("PIXELS"));
    parser.addOptions({help, version, saveFigure, size});
    acceptQtOptions(parser);

    if (!parser.parse(arguments))
        return failed(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return failed(QStringLiteral("Unexpected argument '%1'.")
                          .arg(parser.positionalArguments().constFirst()));
    if (parser.isSet(help))
        return printed(helpText(parser));
    if (parser.isSet(version))
        return printed(QStringLiteral("cosmophase " COSMOPHASE_VERSION "\n"));
    if (parser.isSet(size) && !parser.isSet(saveFigure))
        return failed(QStringLiteral("--size needs --save-figure."));
    if (!parser.isSet(saveFigure))
        return {};

    ApplicationArguments figure;
    figure.action = ApplicationArguments::Action::SaveFigure;
    figure.figurePath = parser.value(saveFigure);
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
