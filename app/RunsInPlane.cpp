#include "RunsInPlane.h"

#include "ColourBarOverlay.h"
#include "FamilyPicking.h"
#include "MasterViewController.h"
#include "MyOpenGLView.h"
#include "ParameterRuns.h"
#include "PinnedRuns.h"
#include "PlaneRuns.h"
#include "RunFamily.h"
#include "RunCurves.h"
#include "RunReplacement.h"
#include "RunsDock.h"
#include "Session.h"

#include <QAction>
#include <QInputDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>

#include <memory>

namespace {

constexpr int kMessageMs = 5000;

} // namespace

RunsInPlane::RunsInPlane(QMainWindow& window, MasterViewController& controller, ParameterRuns& runs,
                         QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_controller(controller)
    , m_runs(runs)
    , m_pinned(new PinnedRuns(this))
    , m_family(new RunFamily(this))
    , m_ask_grid([](const QString& initial, QWidget* p) -> std::optional<QString> {
        bool ok = false;
        const QString text = QInputDialog::getText(
            p, tr("Family of Runs"), tr("Grid of q (A:B:N, A:B:N:log or a comma list):"), QLineEdit::Normal,
            initial, &ok);
        return ok ? std::optional<QString>(text) : std::nullopt;
    })
{
    MyOpenGLView& view = *controller.openGLView();
    m_plane = new PlaneRuns(view, *m_pinned, *m_family, this);
    new ColourBarOverlay(view);
    m_dock = new RunsDock(*m_pinned, *m_family, &window);
    window.addDockWidget(Qt::RightDockWidgetArea, m_dock);
    // Floating at first: docked, it would take its width from the side
    // panel, which on a small screen has none to spare. Over the window's
    // right edge when first shown; the user may dock it.
    m_dock->setFloating(true);
    m_dock->hide();
    m_dock->resize(340, 560);
    connect(m_dock, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (!visible || m_dock_placed || !m_dock->isFloating())
            return;
        m_dock_placed = true;
        const QRect frame = m_window.frameGeometry();
        m_dock->move(frame.right() - m_dock->frameGeometry().width() - 24, frame.top() + 80);
    });
    m_picked = new QLabel(&window);
    m_picked->setObjectName(QStringLiteral("familyMemberLabel"));
    window.statusBar()->addPermanentWidget(m_picked);
    m_picking = new FamilyPicking(view, *m_picked, this);
    connect(m_picking, &FamilyPicking::memberChosen, this, &RunsInPlane::makeMemberCurrent);
    connect(m_dock, &RunsDock::memberChosen, this, &RunsInPlane::makeMemberCurrent);
    connect(m_pinned, &PinnedRuns::changed, this, &RunsInPlane::changed);
    connect(m_family, &RunFamily::changed, this, &RunsInPlane::changed);
    connect(m_family, &RunFamily::cancelled, this, &RunsInPlane::changed);
}

RunsInPlane::~RunsInPlane() = default;

void RunsInPlane::addActions(QMenu& view, QMenu& playback)
{
    QAction* pin = playback.addAction(tr("P&in Run"), this, &RunsInPlane::pinCurrentRun);
    pin->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    QAction* list = m_dock->toggleViewAction();
    list->setText(tr("P&inned Runs"));
    list->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_8));
    view.addAction(list);
    QAction* family = view.addAction(tr("Famil&y of Runs\u2026"), this, &RunsInPlane::askFamily);
    family->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_9));
}

void RunsInPlane::pinCurrentRun()
{
    const cosmophase::RunParameters& parameters = m_controller.additions().runs().parameters();
    const QString label = QString::fromStdString(cosmophase::plot::runLabel(parameters.q, parameters.T));
    if (m_pinned->isPinned(parameters)) {
        m_window.statusBar()->showMessage(tr("%1 is pinned already").arg(label), kMessageMs);
        return;
    }
    // The window's samples are those of a run at these parameters, bit for bit.
    auto trajectory =
        std::make_shared<const cosmophase::Curve>(cosmophase::Curve{m_controller.z2Array(), m_controller.w0Array()});
    if (!m_pinned->pin(parameters, std::move(trajectory))) {
        m_window.statusBar()->showMessage(tr("At most %1 runs can be pinned").arg(PinnedRuns::kMaxRuns), kMessageMs);
        return;
    }
    m_window.statusBar()->showMessage(tr("Pinned %1").arg(label), kMessageMs);
}

void RunsInPlane::askFamily()
{
    const QString initial = QString::fromStdString(m_family->grid().empty() ? kDefaultFamilyGrid : m_family->grid());
    const std::optional<QString> grid = m_ask_grid(initial, &m_window);
    if (grid)
        showFamily(grid->trimmed().toStdString(), m_controller.additions().runs().parameters().T);
}

void RunsInPlane::showFamily(const std::string& grid, std::int32_t T)
{
    const QString refused = m_family->start(grid, T);
    if (!refused.isEmpty()) {
        m_window.statusBar()->showMessage(tr("Family not shown: %1").arg(refused), kMessageMs);
        return;
    }
    m_dock->show();
}

void RunsInPlane::makeMemberCurrent(std::size_t index)
{
    const std::vector<RunFamily::Member>& members = m_family->members();
    if (index < members.size())
        m_runs.start(members[index].parameters);
}

void RunsInPlane::captureInto(cosmophase::Session& session) const
{
    session.pinnedRuns.clear();
    for (const PinnedRun& run : m_pinned->runs())
        session.pinnedRuns.push_back({cosmophase::accelerationText(run.parameters.q), run.parameters.T,
                                      run.colour.name().toStdString(), run.shown});
    session.family.reset();
    if (!m_family->shownGrid().empty())
        session.family = cosmophase::SessionFamily{m_family->shownGrid(), m_family->shownTemperature()};
}

void RunsInPlane::applyFrom(const cosmophase::Session& session)
{
    std::vector<PinnedRun> runs;
    for (std::size_t i = 0; i < session.pinnedRuns.size(); ++i) {
        const cosmophase::SessionPinnedRun& pinned = session.pinnedRuns[i];
        PinnedRun run{pinned.parameters(),
                      pinned.colour.empty() ? PinnedRuns::paletteColour(i)
                                            : QColor(QString::fromStdString(pinned.colour)),
                      pinned.shown, nullptr};
        // A run pinned already keeps its curve: the same numbers.
        for (const PinnedRun& kept : m_pinned->runs())
            if (kept.parameters == run.parameters)
                run.trajectory = kept.trajectory;
        if (!run.trajectory)
            run.trajectory = PinnedRuns::trajectoryOf(run.parameters);
        runs.push_back(std::move(run));
    }
    m_pinned->replaceAll(std::move(runs));

    if (!session.family) {
        if (!m_family->shownGrid().empty())
            m_family->clear();
        return;
    }
    if (session.family->q != m_family->shownGrid() || session.family->T != m_family->shownTemperature())
        m_family->start(session.family->q, session.family->T);
}
