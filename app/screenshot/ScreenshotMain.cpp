// Takes the README's picture of the main window: launches the application as
// main() does, lets the plot draw, moves the marker part-way through the run
// the way a user dragging the slider would, and saves the whole window.
// Usage: cosmophase-screenshot OUTPUT.png [PERCENT] [WIDTHxHEIGHT] [Q-TEXT]
// Q-TEXT is typed into the q field, as a user would.

#include "AppDelegate.h"
#include "MasterViewController.h"
#include "MyOpenGLView.h"

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QOpenGLWidget>
#include <QPainter>
#include <QPixmap>
#include <QSurfaceFormat>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fputs("usage: cosmophase-screenshot OUTPUT.png [PERCENT] [WIDTHxHEIGHT] [Q-TEXT]\n", stderr);
        return 2;
    }
    QSurfaceFormat::setDefaultFormat(MyOpenGLView::defaultSurfaceFormat());
    QApplication app(argc, argv);
    const QString output = QString::fromLocal8Bit(argv[1]);
    const double percent = argc > 2 ? QString::fromLocal8Bit(argv[2]).toDouble() : 62.0;

    AppDelegate delegate;
    // Another window size, to check how the layout resizes.
    if (argc > 3) {
        const QStringList size = QString::fromLocal8Bit(argv[3]).split(QLatin1Char('x'));
        if (size.size() == 2)
            delegate.window()->resize(size[0].toInt(), size[1].toInt());
    }
    delegate.applicationDidFinishLaunching();
    MasterViewController& controller = *delegate.masterViewController();
    MyOpenGLView* view = controller.openGLView();

    int frames = 0;
    QObject::connect(view, &QOpenGLWidget::frameSwapped, &app, [&] {
        ++frames;
        if (frames == 5) {
            controller.scrubTo(percent);
            if (argc > 4) {
                auto* field = delegate.window()->findChild<QLineEdit*>(QStringLiteral("qParameterField"));
                field->setText(QString::fromLocal8Bit(argv[4]));
                emit field->textEdited(field->text());
            }
        }
        if (frames != 15)
            return;
        // The window's own rendering plus the plot's framebuffer on top, so
        // the picture does not depend on how the GL surface is composed.
        QPixmap shot = delegate.window()->grab();
        QPainter painter(&shot);
        painter.drawImage(QRect(view->mapTo(delegate.window(), QPoint(0, 0)), view->size()),
                          view->grabFramebuffer());
        painter.end();
        const bool saved = shot.save(output, "PNG");
        if (!saved)
            std::fprintf(stderr, "cosmophase-screenshot: cannot write %s\n", argv[1]);
        QApplication::exit(saved ? 0 : 1);
    });
    return QApplication::exec();
}
