#include "SamplesTableActions.h"

#include "FormAdditions.h"
#include "MarkerNavigation.h"
#include "MasterViewController.h"
#include "MyOpenGLView.h"
#include "ReferenceComputation.h"
#include "RunComparison.h"
#include "RunReplacement.h"
#include "SamplesWindow.h"

#include <QScreen>

namespace {

// Between the phase plane and the Samples window.
constexpr int kGap = 12;

} // namespace

SamplesTableActions::SamplesTableActions(MasterViewController& controller, QWidget& mainWindow, QObject* parent)
    : QObject(parent)
    , m_controller(controller)
    , m_main_window(mainWindow)
    , m_show(tr("Sa&mples\u2026"))
    , m_go_to_sample(tr("Go to S&ample\u2026"))
    , m_go_to_time(tr("Go to T&ime\u2026"))
{
    m_show.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    m_show.setToolTip(tr("A table of every sample of the run, with the reference's columns"));
    m_go_to_sample.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    m_go_to_time.setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G));
    connect(&m_show, &QAction::triggered, this, [this] { openWindow().present(); });
    connect(&m_go_to_sample, &QAction::triggered, this, [this] { openWindow().goToSampleField(); });
    connect(&m_go_to_time, &QAction::triggered, this, [this] { openWindow().goToTimeField(); });
}

void SamplesTableActions::shareWithWindow(const QList<QAction*>& actions)
{
    m_shared = actions;
}

SamplesWindow* SamplesTableActions::window() const
{
    return m_window;
}

SamplesWindow& SamplesTableActions::openWindow()
{
    if (m_window)
        return *m_window;
    MasterViewController& c = m_controller;
    m_window = new SamplesWindow(c.z2Array(), c.w0Array(), c.w2Array(), c.timeArray(), &m_main_window);
    m_window->setWindowFlag(Qt::Window);
    // Go to works from the window itself; so do the shared keys (Space).
    m_window->addActions({&m_go_to_sample, &m_go_to_time});
    m_window->addActions(m_shared);
    if (const QScreen* screen = m_main_window.screen()) {
        const QWidget& plot = *c.openGLView();
        m_window->placeBeside(screen->availableGeometry(), plot.mapToGlobal(QPoint(plot.width(), 0)).x() + kGap);
    }

    const ReferenceComputation& computation = *c.additions().comparison().computation();
    m_window->resetRun(computation.result());
    connect(&computation, &ReferenceComputation::started, m_window, &SamplesWindow::clearReference);
    connect(&computation, &ReferenceComputation::ready, m_window, &SamplesWindow::setReference);
    connect(&c.additions().runs(), &RunReplacement::runReplaced, m_window,
            [window = m_window.data(), &computation] { window->resetRun(computation.result()); });
    connect(&c, &MasterViewController::markerMoved, m_window, &SamplesWindow::showMarker);
    connect(m_window, &SamplesWindow::sampleChosen, &c.additions().markers(), &MarkerNavigation::goToSample);
    m_window->showMarker(c.simIndex());
    return *m_window;
}
