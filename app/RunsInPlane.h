#pragma once

#include "RunParameters.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class ColourBarOverlay;
class FamilyPicking;
class MasterViewController;
class ParameterRuns;
class PinnedRuns;
class PlaneRuns;
class QLabel;
class QMainWindow;
class QMenu;
class RunFamily;
class RunsDock;
namespace cosmophase {
struct Session;
}

// Pinned runs and a family of runs in the phase plane, put together: the
// runs themselves, their curves in the view, the colour bar, the "Pinned
// Runs" dock, naming and choosing family members with the pointer, and the
// menu items.
class RunsInPlane : public QObject {
    Q_OBJECT

public:
    // Asks for a family's grid of q; nothing when the user cancels.
    // Replaced in tests, so no modal dialog waits for a user.
    using AskGrid = std::function<std::optional<QString>(const QString& initial, QWidget* parent)>;
    static constexpr const char* kDefaultFamilyGrid = "0.999999999:0.999:50:log";

    RunsInPlane(QMainWindow& window, MasterViewController& controller, ParameterRuns& runs,
                QObject* parent = nullptr);
    ~RunsInPlane() override;

    // Playback ▸ Pin Run; View ▸ Pinned Runs and Family of Runs….
    void addActions(QMenu& view, QMenu& playback);
    void setAskGrid(AskGrid ask) { m_ask_grid = std::move(ask); }

    // The session's "pinned_runs" and "family" from what the plane shows
    // (a family being computed included), and back: pinned runs are
    // computed again from q and T, a family starts computing unless it is
    // the one shown.
    void captureInto(cosmophase::Session& session) const;
    void applyFrom(const cosmophase::Session& session);

    PinnedRuns& pinned() const { return *m_pinned; }
    RunFamily& family() const { return *m_family; }
    RunsDock& dock() const { return *m_dock; }
    FamilyPicking& picking() const { return *m_picking; }
    QLabel& pickedLabel() const { return *m_picked; }

signals:
    // Pinned runs or the family changed.
    void changed();

public slots:
    // Keeps the window's run in the plane.
    void pinCurrentRun();
    // Asks for a grid and shows its family at the window's T.
    void askFamily();
    // Computes and shows the family of `grid` (in q) at T; a refused grid
    // is said in the status bar.
    void showFamily(const std::string& grid, std::int32_t T);
    void makeMemberCurrent(std::size_t index);

private:
    QMainWindow& m_window;
    MasterViewController& m_controller;
    ParameterRuns& m_runs;
    PinnedRuns* m_pinned = nullptr;
    RunFamily* m_family = nullptr;
    PlaneRuns* m_plane = nullptr;
    RunsDock* m_dock = nullptr;
    QLabel* m_picked = nullptr;
    FamilyPicking* m_picking = nullptr;
    AskGrid m_ask_grid;
    bool m_dock_placed = false;
};
