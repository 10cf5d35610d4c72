#include "AppDelegate.h"

#include "AppCommands.h"
#include "MasterViewController.h"
#include "ParameterRuns.h"
#include "PhasePlaneInteraction.h"
#include "TimeSeriesChart.h"
#include "ViewMenu.h"

#include <QAction>
#include <QCoreApplication>
#include <QIcon>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

AppDelegate::AppDelegate(QObject* parent)
    : QObject(parent)
    , m_window(std::make_unique<QMainWindow>())
{
    m_window->setWindowTitle(QStringLiteral("Cosmophase"));
    m_window->setWindowIcon(QIcon::fromTheme(QStringLiteral("cosmophase")));
    m_window->resize(kDefaultWidth, kDefaultHeight);
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching()
{
    m_master_view_controller = std::make_unique<MasterViewController>();
    // As the central widget the view fills the window and follows resizes.
    m_window->setCentralWidget(m_master_view_controller->view());
    m_phase_plane_interaction = std::make_unique<PhasePlaneInteraction>(*m_master_view_controller->openGLView(),
                                                                        *m_window->statusBar());
    m_commands = std::make_unique<AppCommands>(*m_master_view_controller, m_phase_plane_interaction->traces(),
                                               m_window.get());
    buildMenus();
    m_window->show();
}

void AppDelegate::buildMenus()
{
    QMenuBar* bar = m_window->menuBar();
    MasterViewController* controller = m_master_view_controller.get();
    AppCommands* commands = m_commands.get();
    PhasePlaneInteraction* interaction = m_phase_plane_interaction.get();

    QMenu* file = bar->addMenu(tr("&File"));
    file->addAction(tr("&Save Plot Image\u2026"), QKeySequence(Qt::CTRL | Qt::Key_S), commands,
                    &AppCommands::savePlotImageAs);
    file->addAction(tr("&Export Samples\u2026"), QKeySequence(Qt::CTRL | Qt::Key_E), commands,
                    &AppCommands::exportSamplesAs);
    QAction* exportTraces = file->addAction(tr("Export &Traces\u2026"), commands, &AppCommands::exportTracesAs);
    file->addSeparator();
    file->addAction(tr("Save &Figure\u2026"), commands, &AppCommands::saveFigureAs);
    file->addAction(tr("Save C&hart\u2026"), commands, &AppCommands::saveChartAs);
    file->addSeparator();
    file->addAction(tr("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), qApp, &QCoreApplication::quit);

    QMenu* edit = bar->addMenu(tr("&Edit"));
    edit->addAction(tr("&Copy Read-outs"), QKeySequence::Copy, commands, &AppCommands::copyReadouts);
    edit->addSeparator();
    QAction* undoTrace = edit->addAction(tr("&Undo Trace"), QKeySequence(Qt::CTRL | Qt::Key_Z), interaction,
                                         &PhasePlaneInteraction::undoTrace);
    QAction* clearTraces = edit->addAction(tr("C&lear Traces"), interaction, &PhasePlaneInteraction::clearTraces);
    // The trace commands only while there is a trace to act on.
    for (QAction* action : {exportTraces, undoTrace, clearTraces}) {
        action->setEnabled(false);
        connect(interaction, &PhasePlaneInteraction::tracesChanged, action,
                [action](int count) { action->setEnabled(count > 0); });
    }

    QMenu* view = bar->addMenu(tr("&View"));
    addPlotViewActions(*view, *controller->view(), *controller->openGLView());
    view->addSeparator();
    QAction* timeSeries = view->addAction(tr("&Time Series"));
    timeSeries->setObjectName(QStringLiteral("timeSeriesAction"));
    timeSeries->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    timeSeries->setCheckable(true);
    timeSeries->setChecked(true);
    connect(timeSeries, &QAction::toggled, controller->timeSeriesChart(), &QWidget::setVisible);
    QAction* defaultRun = view->addAction(tr("&Default Run"));
    defaultRun->setObjectName(QStringLiteral("defaultRunAction"));
    defaultRun->setToolTip(tr("The default run's trajectory as a faint curve while the parameters differ"));
    defaultRun->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_5));
    defaultRun->setCheckable(true);
    defaultRun->setChecked(true);
    m_parameter_runs = std::make_unique<ParameterRuns>(*controller, *defaultRun);

    // Window-wide shortcuts: they work wherever the focus is, and the
    // buttons and check boxes take no focus from clicks, so Space is never
    // swallowed by a focused control.
    QMenu* playback = bar->addMenu(tr("&Playback"));
    playback->addAction(tr("&Play/Pause"), QKeySequence(Qt::Key_Space), controller,
                        &MasterViewController::simToggle);
    playback->addAction(tr("&Back 1%"), QKeySequence(Qt::Key_Left), controller,
                        [controller] { controller->scrubBy(-1); });
    playback->addAction(tr("&Forward 1%"), QKeySequence(Qt::Key_Right), controller,
                        [controller] { controller->scrubBy(1); });
    playback->addAction(tr("Go to &Start"), QKeySequence(Qt::Key_Home), controller,
                        [controller] { controller->scrubTo(0); });
    playback->addAction(tr("Go to &End"), QKeySequence(Qt::Key_End), controller,
                        [controller] { controller->scrubTo(100); });

    QMenu* help = bar->addMenu(tr("&Help"));
    help->addAction(tr("&Equilibria\u2026"), commands, &AppCommands::showEquilibria);
    help->addAction(tr("&About Cosmophase"), commands, &AppCommands::showAbout);
}
