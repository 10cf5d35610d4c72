#include "CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace cosmophase {

namespace {

ApplicationArguments failed(const QString& error)
{
    return {ApplicationArguments::Action::Fail, error};
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
    parser.addOptions({help, version});
    acceptQtOptions(parser);

    if (!parser.parse(arguments))
        return failed(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return failed(QStringLiteral("Unexpected argument '%1'.")
                          .arg(parser.positionalArguments().constFirst()));
    if (parser.isSet(help))
        return {ApplicationArguments::Action::PrintText, helpText(parser)};
    if (parser.isSet(version))
        return {ApplicationArguments::Action::PrintText,
                QStringLiteral("cosmophase " COSMOPHASE_VERSION "\n")};
    return {};
}

} // namespace cosmophase
