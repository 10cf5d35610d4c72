#include "AppDelegate.h"
#include "MyOpenGLView.h"
#include "Platform.h"

#include <QApplication>
#include <QMessageBox>
#include <QSurfaceFormat>

#include <cstdio>

int main(int argc, char* argv[])
{
    // Without a display QApplication aborts with a message about plugins;
    // say plainly what is missing instead.
    if (!cosmophase::displayAvailable()) {
        std::fputs("cosmophase: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                   "run it from a desktop session, or headless with: xvfb-run -a cosmophase\n",
                   stderr);
        return 1;
    }

    QSurfaceFormat::setDefaultFormat(MyOpenGLView::defaultSurfaceFormat());
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Cosmophase"));
    QApplication::setApplicationVersion(QStringLiteral(COSMOPHASE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("cosmophase"));

    if (!cosmophase::openGlAvailable()) {
        QMessageBox::critical(nullptr, QStringLiteral("Cosmophase"),
                              QStringLiteral("No OpenGL context could be created, so the phase "
                                             "plane cannot be drawn.\n\nCheck the graphics driver "
                                             "(Mesa), or try LIBGL_ALWAYS_SOFTWARE=1."));
        return 2;
    }

    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    return QApplication::exec();
}
