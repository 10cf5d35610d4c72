#pragma once

#include "CurveSet.h"
#include "RunParameters.h"

#include <QColor>
#include <QObject>
#include <QString>

#include <cstddef>
#include <memory>
#include <vector>

// A run kept in the phase plane beside the current one, in a colour of its
// own. It is kept by its parameters: the trajectory computed from them is
// the one the window showed, bit for bit.
struct PinnedRun {
    cosmophase::RunParameters parameters;
    QColor colour;
    bool shown = true;
    std::shared_ptr<const cosmophase::Curve> trajectory;

    // "q = 0.9999, T = 9000"
    QString label() const;
};

// The pinned runs, oldest first, with the removals that can be undone.
class PinnedRuns : public QObject {
    Q_OBJECT

public:
    // More would be a blur; sessions are held to it too.
    static constexpr std::size_t kMaxRuns = 50;

    // plot::pinnedRunColour as a QColor.
    static QColor paletteColour(std::size_t index);
    // The run at `parameters` computed afresh: its samples, whether or not
    // it reached the present day (a session may name a run near the pole).
    static std::shared_ptr<const cosmophase::Curve> trajectoryOf(const cosmophase::RunParameters& parameters);

    explicit PinnedRuns(QObject* parent = nullptr);

    const std::vector<PinnedRun>& runs() const { return m_runs; }
    bool isPinned(const cosmophase::RunParameters& parameters) const;

    // Pins a run in the next palette colour unless it is pinned already or
    // the list is full; false then.
    bool pin(const cosmophase::RunParameters& parameters, std::shared_ptr<const cosmophase::Curve> trajectory);
    void setShown(std::size_t index, bool shown);
    void setColour(std::size_t index, const QColor& colour);
    void remove(std::size_t index);
    // Puts the last removed run back where it was.
    bool undoRemove();
    bool canUndoRemove() const { return !m_removed.empty(); }
    // All runs at once, as a session gives them; forgets removals.
    void replaceAll(std::vector<PinnedRun> runs);

signals:
    void changed();

private:
    struct Removed {
        std::size_t index = 0;
        PinnedRun run;
    };
    std::vector<PinnedRun> m_runs;
    std::vector<Removed> m_removed;
    std::size_t m_pinned_count = 0; // picks the next palette colour
};
