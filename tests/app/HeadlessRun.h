#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

namespace apptest {

// The application itself, started with no display at all.
struct HeadlessRun {
    int status = -1; // -1: it did not finish normally
    QString out, err;
};

inline HeadlessRun runHeadless(const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(COSMOPHASE_APP_BINARY), arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

} // namespace apptest
