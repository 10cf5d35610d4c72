// Takes the README's picture of the main window: launches the application as
// main() does, lets the plot draw, moves the marker part-way through the run
// the way a user dragging the slider would, and saves the whole window.
// Usage: cosmophase-screenshot OUTPUT.png [PERCENT] [WIDTHxHEIGHT] [OPTION...]
// Options: zoom=Z2,W0,HALFSIDE (the plot window), legend, nochart, tab=N (the
// chart's tab), traces
// (three clicked traces), q=TEXT (a run at that q, as the Parameters group
// starts it), zoomtorun (Zoom to Run after that), study[=WxH] (the Parameter
// Study window, at that size, once its default grid is computed, instead of
// the main window), samples (the Samples window opened beside the main one
// once the reference's columns are in, and the whole screen saved), export
// (the Export Animation dialog instead), exporting (the window while a 720 px
// movie is written), pin=Q1,Q2,... (runs at those q pinned), family=GRID (the
// family of runs of that grid of q, once computed), pinnedpanel (the Pinned
// Runs panel shown, docked), recent (File > Open Recent open, with example
// entries) or unsaved (a trace, then Quit: the question whether to save),
// session=FILE (opened as `cosmophase FILE` opens it).

#include "AnimationActions.h"
#include "AnimationExportDialog.h"
#include "AppDelegate.h"
#include "MasterViewController.h"
#include "MarkerNavigation.h"
#include "MenuActions.h"
#include "MovieExport.h"
#include "MyOpenGLView.h"
#include "OffPlotNotice.h"
#include "ParameterStudy.h"
#include "ParameterStudyWindow.h"
#include "ParametersPanel.h"
#include "PhasePlaneInteraction.h"
#include "PinnedRuns.h"
#include "RunFamily.h"
#include "RunsDock.h"
#include "RunsInPlane.h"
#include "PlotWindow.h"
#include "ReferenceComputation.h"
#include "RunComparison.h"
#include "SamplesTableActions.h"
#include "SamplesTableModel.h"
#include "SamplesWindow.h"
#include "RecentSessions.h"
#include "SessionFiles.h"
#include "TimeSeriesChart.h"

#include <QMenuBar>
#include <QApplication>
#include <QAction>
#include <QMainWindow>
#include <QOpenGLWidget>
#include <QPainter>
#include <QKeyEvent>
#include <QMenu>
#include <QPixmap>
#include <QScreen>
#include <QStandardPaths>
#include <QSurfaceFormat>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fputs("usage: cosmophase-screenshot OUTPUT.png [PERCENT] [WIDTHxHEIGHT] [OPTION...]\n", stderr);
        return 2;
    }
    QSurfaceFormat::setDefaultFormat(MyOpenGLView::defaultSurfaceFormat());
    QApplication app(argc, argv);
    // The example recent files never reach the user's own settings.
    QStandardPaths::setTestModeEnabled(true);
    const QString output = QString::fromLocal8Bit(argv[1]);
    const double percent = argc > 2 ? QString::fromLocal8Bit(argv[2]).toDouble() : 62.0;

    AppDelegate delegate;
    // Another window size, to check how the layout resizes.
    if (argc > 3) {
        const QStringList size = QString::fromLocal8Bit(argv[3]).split(QLatin1Char('x'));
        if (size.size() == 2)
            delegate.window()->resize(size[0].toInt(), size[1].toInt());
    }
    QString sessionFile;
    for (int k = 4; k < argc; ++k)
        if (const QString option = QString::fromLocal8Bit(argv[k]); option.startsWith(QLatin1String("session=")))
            sessionFile = option.mid(8);
    delegate.applicationDidFinishLaunching([&sessionFile](AppDelegate& launched) {
        if (!sessionFile.isEmpty())
            launched.sessionFiles()->openFile(sessionFile);
    });
    MasterViewController& controller = *delegate.masterViewController();
    MyOpenGLView* view = controller.openGLView();
    QString qText;
    bool study = false;
    QStringList studySize;
    bool zoomToRun = false;
    bool samples = false;
    QString exportShot;
    RunsInPlane& runs = *delegate.runsInPlane();
    // Shown on screen over the window: a menu or a question.
    QString popup;
    for (int k = 4; k < argc; ++k) {
        const QString option = QString::fromLocal8Bit(argv[k]);
        if (option.startsWith(QLatin1String("q="))) {
            qText = option.mid(2);
        } else if (option.startsWith(QLatin1String("study"))) {
            study = true;
            studySize = option.mid(6).split(QLatin1Char('x'));
        } else if (option.startsWith(QLatin1String("tab="))) {
            controller.additions().timeSeriesChart()->tabs()->setCurrentIndex(option.mid(4).toInt());
        } else if (option == QLatin1String("samples")) {
            samples = true;
        } else if (option == QLatin1String("export") || option == QLatin1String("exporting")) {
            exportShot = option;
        } else if (option.startsWith(QLatin1String("pin="))) {
            for (const QString& q : option.mid(4).split(QLatin1Char(','))) {
                const cosmophase::RunParameters parameters{q.toDouble(), cosmophase::RunParameters::kDefaultTemperature};
                runs.pinned().pin(parameters, PinnedRuns::trajectoryOf(parameters));
            }
        } else if (option.startsWith(QLatin1String("family="))) {
            runs.showFamily(option.mid(7).toStdString(), cosmophase::RunParameters::kDefaultTemperature);
        } else if (option == QLatin1String("pinnedpanel")) {
            // Docked, so that the window's picture holds it.
            runs.dock().setFloating(false);
            runs.dock().show();
        } else if (option == QLatin1String("recent") || option == QLatin1String("unsaved")) {
            popup = option;
        } else if (option == QLatin1String("zoomtorun")) {
            zoomToRun = true;
        } else if (option == QLatin1String("legend")) {
            menuAction(*delegate.window()->menuBar(), QStringLiteral("Legend"))->setChecked(true);
        } else if (option == QLatin1String("nochart")) {
            menuAction(*delegate.window()->menuBar(), QStringLiteral("Time Series"))->setChecked(false);
        } else if (option == QLatin1String("traces")) {
            for (const cosmophase::plot::Point p : {cosmophase::plot::Point{0.5, 1.2}, {-0.6, -1.5}, {1.2, -0.4}})
                delegate.phasePlaneInteraction()->traceFrom(p);
        } else if (option.startsWith(QLatin1String("zoom="))) {
            const QStringList v = option.mid(5).split(QLatin1Char(','));
            cosmophase::plot::PlotWindow window;
            const double half = v.value(2).toDouble();
            window.zoomAbout({0, 0}, cosmophase::plot::PlotWindow::kFullHalfSide / half);
            window.panBy(v.value(0).toDouble(), v.value(1).toDouble());
            view->setPlotWindow(window);
        }
    }

    int frames = 0;
    int readyAt = -1;
    QObject::connect(view, &QOpenGLWidget::frameSwapped, &app, [&] {
        ++frames;
        if (frames == 5) {
            controller.additions().markers().scrubTo(percent);
            if (!qText.isEmpty()) {
                const auto q = cosmophase::parseAcceleration(qText.toStdString());
                if (q.value) {
                    const cosmophase::RunParameters parameters{*q.value, cosmophase::RunParameters::kDefaultTemperature};
                    controller.additions().parametersPanel()->showParameters(parameters);
                    emit controller.additions().parametersPanel()->runRequested(parameters);
                }
            }
            if (zoomToRun)
                view->findChild<OffPlotNotice*>()->zoomToRun();
        }
        // Once, a few frames after the family (if any) is computed.
        if (readyAt < 0 && frames >= 15 && !runs.family().isComputing())
            readyAt = frames + 5;
        if (readyAt < 0 || frames < readyAt || (frames > readyAt && exportShot != QLatin1String("progress shown")))
            return;
        if (samples) {
            menuAction(*delegate.window()->menuBar(), QString::fromUtf8("Samples\u2026"))->trigger();
            SamplesWindow* window = delegate.samplesTable()->window();
            auto* poll = new QTimer(window);
            QObject::connect(poll, &QTimer::timeout, window, [poll, window, output] {
                if (!window->model().hasReference())
                    return;
                poll->stop();
                // A moment for the new columns to be laid out and painted.
                QTimer::singleShot(500, window, [window, output] {
                    const QPixmap screen = window->screen()->grabWindow(0);
                    QApplication::exit(screen.save(output, "PNG") ? 0 : 1);
                });
            });
            poll->start(50);
            return;
        }
        if (!popup.isEmpty()) {
            QMainWindow* window = delegate.window();
            // The screen holds the popup as well as the window.
            QTimer::singleShot(800, &app, [window, output] {
                const QRect frame = window->frameGeometry();
                const QPixmap shot = window->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(),
                                                                  frame.height());
                QApplication::exit(shot.save(output, "PNG") ? 0 : 1);
            });
            if (popup == QLatin1String("recent")) {
                RecentSessions& recent = delegate.sessionFiles()->recent();
                for (const char* path : {"/home/ada/notes/first-look.cosmophase", "/home/ada/papers/q-scan.cosmophase",
                                         "/home/ada/papers/figure-3.cosmophase", "/home/ada/papers/saddle.cosmophase"})
                    recent.add(QString::fromLatin1(path));
                QMenu* file = window->menuBar()->actions().first()->menu();
                window->menuBar()->setActiveAction(file->menuAction());
                file->setActiveAction(window->findChild<QMenu*>(QStringLiteral("openRecentMenu"))->menuAction());
                QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
                QApplication::sendEvent(file, &right);
            } else {
                delegate.phasePlaneInteraction()->traceFrom({0.5, 1.2});
                menuAction(*window->menuBar(), QStringLiteral("Quit"))->trigger();
            }
            return;
        }
        if (study) {
            menuAction(*delegate.window()->menuBar(), QString::fromUtf8("Parameter Study\u2026"))->trigger();
            ParameterStudyWindow* window = delegate.parameterStudy();
            if (studySize.size() == 2)
                window->resize(studySize[0].toInt(), studySize[1].toInt());
            QObject::connect(&window->study(), &ParameterStudy::finished, window, [window, output] {
                // A moment for the charts to lay out their new axes.
                QTimer::singleShot(500, window, [window, output] {
                    QApplication::exit(window->grab().save(output, "PNG") ? 0 : 1);
                });
            });
            return;
        }
        if (exportShot == QLatin1String("export")) {
            AnimationActions& animation = *delegate.animation();
            animation.setDialogRunner([output](AnimationExportDialog& dialog) {
                dialog.show();
                QApplication::exit(dialog.grab().save(output, "PNG") ? 0 : 1);
                return false;
            });
            animation.exportAnimation();
            return;
        }
        if (exportShot == QLatin1String("exporting")) {
            static QTemporaryDir folder;
            AnimationActions& animation = *delegate.animation();
            animation.setDialogRunner([](AnimationExportDialog& dialog) {
                dialog.findChild<QLineEdit*>(QStringLiteral("fileField"))->setText(folder.filePath(QStringLiteral("m.mp4")));
                dialog.findChild<QLineEdit*>(QStringLiteral("sizeField"))->setText(QStringLiteral("720"));
                return true;
            });
            QObject::connect(&animation.movieExport(), &MovieExport::progressed, &app, [&](int done, int) {
                if (done == 200)
                    exportShot = QStringLiteral("progress shown");
            });
            animation.exportAnimation();
            return;
        }
        // The window's own rendering plus the plot's framebuffer on top, so
        // the picture does not depend on how the GL surface is composed.
        QPixmap shot = delegate.window()->grab();
        QPainter painter(&shot);
        painter.drawImage(QRect(view->mapTo(delegate.window(), QPoint(0, 0)), view->size()),
                          view->grabFramebuffer());
        // Child widgets over the plot, such as the legend, come on top of it.
        for (QWidget* overlay : view->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (overlay->isVisible())
                painter.drawPixmap(overlay->mapTo(delegate.window(), QPoint(0, 0)), overlay->grab());
        painter.end();
        const bool saved = shot.save(output, "PNG");
        if (!saved)
            std::fprintf(stderr, "cosmophase-screenshot: cannot write %s\n", argv[1]);
        QApplication::exit(saved ? 0 : 1);
    });
    return QApplication::exec();
}
