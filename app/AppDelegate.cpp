#include "AppDelegate.h"

#include "AnimationActions.h"
#include "AppCommands.h"
#include "AppPreferences.h"
#include "FieldFocus.h"
#include "LegendOverlay.h"
#include "MarkerNavigation.h"
#include "MarkerStateReadout.h"
#include "MasterViewController.h"
#include "MyOpenGLView.h"
#include "OffPlotNotice.h"
#include "PanelLayout.h"
#include "ParameterRuns.h"
#include "ParameterStudyWindow.h"
#include "PhasePlaneInteraction.h"
#include "PlotNavigation.h"
#include "RunReplacement.h"
#include "SamplesTableActions.h"
#include "RunsInPlane.h"
#include "SessionDrops.h"
#include "SessionFiles.h"
#include "SessionState.h"
#include "StudyGridForm.h"
#include "TimeSeriesChart.h"
#include "PlotLayerActions.h"
#include "Preferences.h"
#include "WindowPlacement.h"

#include <QAction>
#include <QBoxLayout>
#include <QCoreApplication>
#include <QIcon>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QDir>
#include <QScreen>
#include <QStatusBar>

AppDelegate::AppDelegate(QObject* parent)
    : QObject(parent)
    , m_window(std::make_unique<QMainWindow>())
{
    m_window->setWindowTitle(QStringLiteral("Cosmophase"));
    m_window->setWindowIcon(QIcon::fromTheme(QStringLiteral("cosmophase")));
    placeWindow();
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching(const std::function<void(AppDelegate&)>& beforeShown)
{
    m_master_view_controller = std::make_unique<MasterViewController>();
    // As the central widget the view fills the window and follows resizes.
    m_window->setCentralWidget(m_master_view_controller->view());
    MyOpenGLView& plot = *m_master_view_controller->openGLView();
    m_phase_plane_interaction = std::make_unique<PhasePlaneInteraction>(plot, *m_window->statusBar());
    m_legend = new LegendOverlay(plot);
    m_commands = std::make_unique<AppCommands>(*m_master_view_controller, m_phase_plane_interaction->traces(),
                                               *m_legend, m_window.get());
    m_default_run = new QAction(tr("&Default Run"), m_window.get());
    m_default_run->setCheckable(true);
    m_default_run->setChecked(true);
    m_parameter_runs = std::make_unique<ParameterRuns>(*m_master_view_controller, *m_default_run);
    m_animation = new AnimationActions(*m_master_view_controller, *m_commands, *m_window,
                                       [this] { return m_session_state->capture(); });
    m_runs_in_plane = std::make_unique<RunsInPlane>(*m_window, *m_master_view_controller, *m_parameter_runs);
    addPlotTools();
    buildMenus();
    if (m_preferences) {
        keepApplicationPreferences(*m_preferences, *this);
        m_preferences->restoreGeometry(*m_window);
        m_preferences->restore(*m_window);
    }
    m_session_state = std::make_unique<SessionState>(SessionState::Parts{
        *m_master_view_controller, *m_parameter_runs, *m_phase_plane_interaction, *m_layer_switches.directionField,
        *m_layer_switches.legend, *m_default_run});
    m_session_state->attachRuns(*m_runs_in_plane);
    m_commands->setSessionSource([this] { return m_session_state->capture(); });
    m_session_files = std::make_unique<SessionFiles>(*m_session_state, *m_commands, *m_window);
    m_session_files->addTo(*m_file_menu);
    new SessionDrops(
        *m_window, [files = m_session_files.get()](const QString& path) { files->openChosen(path); },
        m_session_files.get());
    connect(m_session_files.get(), &SessionFiles::saved, this, &AppDelegate::showSaved);
    connect(m_session_files.get(), &SessionFiles::opened, this, [this](const QString& path, const QString& warning) {
        m_window->statusBar()->showMessage(
            warning.isEmpty() ? tr("Opened %1").arg(QDir::toNativeSeparators(path)) : warning, kSavedMessageMs);
    });
    m_field_focus = std::make_unique<FieldFocus>(*m_window, *m_master_view_controller->openGLView());
    if (beforeShown)
        beforeShown(*this);
    m_window->show();
}

void AppDelegate::placeWindow()
{
    const QSize preferred(kDefaultWidth, kDefaultHeight);
    const QScreen* screen = m_window->screen();
    if (screen == nullptr) {
        m_window->resize(preferred);
        return;
    }
    // Before the window is shown its frame is unknown: assume a title bar
    // and thin borders, which is what the usual window managers draw.
    const QMargins assumedFrame(4, 36, 4, 4);
    const WindowPlacement placement = WindowPlacement::within(screen->availableGeometry(), assumedFrame, preferred);
    m_window->resize(placement.size);
    m_window->move(placement.framePosition);
}

void AppDelegate::addPlotTools()
{
    MasterViewController* controller = m_master_view_controller.get();
    MyOpenGLView* plot = controller->openGLView();
    m_plot_navigation = std::make_unique<PlotNavigation>(*plot);
    new OffPlotNotice(*plot);

    const PanelLayout panel = controller->additions().panelLayout();
    m_marker_state = new MarkerStateReadout(controller->z2Array(), controller->w0Array(), controller->w2Array());
    // Below the controls, above the chart.
    panel.sidePanelLayout->insertWidget(1, m_marker_state);
    connect(controller, &MasterViewController::markerMoved, m_marker_state, &MarkerStateReadout::showSample);
    panel.keepPlotAtLeastPanelWide();

    connect(m_commands.get(), &AppCommands::saved, this, &AppDelegate::showSaved);
}

void AppDelegate::showSaved(const QString& path)
{
    m_window->statusBar()->showMessage(tr("Saved %1").arg(QDir::toNativeSeparators(path)), kSavedMessageMs);
}

void AppDelegate::showParameterStudy()
{
    if (!m_parameter_study) {
        RunReplacement& runs = m_master_view_controller->additions().runs();
        m_parameter_study = new ParameterStudyWindow(*m_commands, m_window.get());
        m_parameter_study->setCurrentParameters(runs.parameters());
        connect(&runs, &RunReplacement::runReplaced, m_parameter_study,
                &ParameterStudyWindow::setCurrentParameters);
        connect(m_parameter_study, &ParameterStudyWindow::runRequested, m_parameter_runs.get(),
                &ParameterRuns::start);
        connect(m_parameter_study, &ParameterStudyWindow::familyRequested, m_runs_in_plane.get(),
                &RunsInPlane::showFamily);
        m_session_state->attachStudyGrid(*m_parameter_study->gridForm());
    }
    m_parameter_study->show();
    m_parameter_study->raise();
    m_parameter_study->activateWindow();
}

void AppDelegate::buildMenus()
{
    QMenuBar* bar = m_window->menuBar();
    MasterViewController* controller = m_master_view_controller.get();
    AppCommands* commands = m_commands.get();
    PhasePlaneInteraction* interaction = m_phase_plane_interaction.get();
    MarkerNavigation* markers = &controller->additions().markers();

    // The session's commands come first, once the window's state is known.
    QMenu* file = m_file_menu = bar->addMenu(tr("&File"));
    file->addAction(tr("Save Plot &Image\u2026"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), commands,
                    &AppCommands::savePlotImageAs);
    file->addAction(tr("&Export Samples\u2026"), QKeySequence(Qt::CTRL | Qt::Key_E), commands,
                    &AppCommands::exportSamplesAs);
    QAction* exportTraces = file->addAction(tr("Export &Traces\u2026"), commands, &AppCommands::exportTracesAs);
    file->addSeparator();
    file->addAction(tr("Save &Figure\u2026"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F), commands,
                    &AppCommands::saveFigureAs);
    file->addAction(tr("Save C&hart\u2026"), commands, &AppCommands::saveChartAs);
    m_animation->addExportAction(*file);
    file->addSeparator();
    // Through the window's close, which asks first while the session is unsaved.
    file->addAction(tr("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), m_window.get(), &QWidget::close);

    QMenu* edit = bar->addMenu(tr("&Edit"));
    edit->addAction(tr("&Copy Read-outs"), QKeySequence::Copy, commands, &AppCommands::copyReadouts);
    edit->addSeparator();
    QAction* undoTrace = edit->addAction(tr("&Undo Trace"), QKeySequence(Qt::CTRL | Qt::Key_Z), interaction,
                                         &PhasePlaneInteraction::undoTrace);
    QAction* redoTrace = edit->addAction(tr("&Redo Trace"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                         interaction, &PhasePlaneInteraction::redoTrace);
    QAction* clearTraces = edit->addAction(tr("C&lear Traces"), interaction, &PhasePlaneInteraction::clearTraces);
    // The trace commands only while there is a trace to act on; undo and
    // redo name what they would do.
    for (QAction* action : {exportTraces, clearTraces}) {
        action->setEnabled(false);
        connect(interaction, &PhasePlaneInteraction::tracesChanged, action,
                [action](int count) { action->setEnabled(count > 0); });
    }
    undoTrace->setEnabled(false);
    redoTrace->setEnabled(false);
    connect(interaction, &PhasePlaneInteraction::tracesChanged, this, [undoTrace, redoTrace, interaction] {
        const cosmophase::PhasePlaneTraces& traces = interaction->traces();
        undoTrace->setEnabled(traces.canUndo());
        undoTrace->setText(traces.undoRestoresCleared() ? tr("&Undo Clear Traces") : tr("&Undo Trace"));
        redoTrace->setEnabled(traces.canRedo());
        redoTrace->setText(traces.redoClears() ? tr("&Redo Clear Traces") : tr("&Redo Trace"));
    });

    QMenu* view = bar->addMenu(tr("&View"));
    CurveSwitches& switches = controller->additions().curveSwitches();
    view->addActions({&switches.stable(), &switches.unstable(), &switches.family()});
    view->addSeparator();
    view->addAction(&switches.nullclines());
    m_layer_switches = addPlotLayerActions(*view, *controller->openGLView(), *m_legend, *m_plot_navigation);
    view->addSeparator();
    QAction* timeSeries = view->addAction(tr("&Time Series"));
    timeSeries->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    timeSeries->setCheckable(true);
    timeSeries->setChecked(true);
    connect(timeSeries, &QAction::toggled, controller,
            [panel = controller->additions().panelLayout()](bool shown) { panel.setChartShown(shown); });
    view->addAction(m_default_run);
    m_default_run->setToolTip(tr("The default run's trajectory as a faint curve while the parameters differ"));
    m_default_run->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_7));
    view->addSeparator();
    // A window to look at beside the plane, as the chart is: a view, not help.
    view->addAction(tr("&Equilibria\u2026"), commands, &AppCommands::showEquilibria);
    view->addAction(tr("Parameter &Study\u2026"), this, &AppDelegate::showParameterStudy);
    m_samples_table = std::make_unique<SamplesTableActions>(*controller, *m_window);
    view->addAction(&m_samples_table->showSamples());

    // Window-wide shortcuts: the buttons and check boxes take no focus from
    // clicks, so only a text field being typed in keeps Space and the
    // arrows, and FieldFocus hands them back as soon as it is left.
    QMenu* playback = bar->addMenu(tr("&Playback"));
    QAction* play = playback->addAction(tr("&Play/Pause"), QKeySequence(Qt::Key_Space), controller,
                                        &MasterViewController::simToggle);
    playback->addAction(tr("&Back 1%"), QKeySequence(Qt::Key_Left), markers,
                        [markers] { markers->scrubBy(-1); });
    playback->addAction(tr("&Forward 1%"), QKeySequence(Qt::Key_Right), markers,
                        [markers] { markers->scrubBy(1); });
    QAction* previous = playback->addAction(tr("P&revious Sample"), markers, [markers] {
        markers->stepSamples(-1);
    });
    previous->setShortcuts({QKeySequence(Qt::Key_Comma), QKeySequence(Qt::SHIFT | Qt::Key_Left)});
    QAction* next = playback->addAction(tr("&Next Sample"), markers, [markers] { markers->stepSamples(1); });
    next->setShortcuts({QKeySequence(Qt::Key_Period), QKeySequence(Qt::SHIFT | Qt::Key_Right)});
    playback->addAction(tr("Go to &Start"), QKeySequence(Qt::Key_Home), markers,
                        [markers] { markers->scrubTo(0); });
    playback->addAction(tr("Go to &End"), QKeySequence(Qt::Key_End), markers,
                        [markers] { markers->scrubTo(100); });
    playback->addSeparator();
    playback->addActions({&m_samples_table->goToSample(), &m_samples_table->goToTime()});
    m_samples_table->shareWithWindow({play});
    m_animation->addPaceMenu(*playback);
    m_runs_in_plane->addActions(*view, *playback);

    QMenu* help = bar->addMenu(tr("&Help"));
    help->addAction(tr("&About Cosmophase"), commands, &AppCommands::showAbout);
}
