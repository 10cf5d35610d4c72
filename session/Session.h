#pragma once

#include "RunParameters.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cosmophase {

// Which parts of the phase plane are shown; the defaults are the start-up
// state.
struct SessionLayers {
    bool directionField = true;
    bool legend = false;
    bool stableManifold = true;
    bool unstableManifold = true;
    bool familyCurve = true;
    bool defaultRun = true; // the default run's faint curve behind another run
    bool nullclines = false;

    friend bool operator==(const SessionLayers& a, const SessionLayers& b);
};

// The zoomed window: its centre and half its side, as the plot keeps them.
struct SessionView {
    double z2 = 0;
    double w0 = 0;
    double halfSide = 2;
};

// A trace is kept by the point it was started from and computed again on
// load, which gives the same curve bit for bit.
struct SessionTrace {
    double z2 = 0;
    double w0 = 0;
};

// A run kept in the plane beside the session's own, by its parameters: the
// run is computed again on load, which gives the same curve bit for bit.
struct SessionPinnedRun {
    std::string q; // as typed: read with parseAcceleration
    std::int32_t T = RunParameters::kDefaultTemperature;
    std::string colour; // "#rrggbb"; empty: the next of the pinned runs' own colours
    bool shown = true;

    RunParameters parameters() const;
};

// A family of runs in the plane: every q of a grid (as the sweep's --q
// takes it) at one T.
struct SessionFamily {
    std::string q;
    std::int32_t T = RunParameters::kDefaultTemperature;
};

// Most pinned runs a session (and the window) keeps.
inline constexpr std::size_t kMaxPinnedRuns = 50;
// Most runs a family may hold: more would not read, and a grid of millions
// typed by mistake would take minutes and gigabytes.
inline constexpr std::size_t kMaxFamilyRuns = 500;

enum class ChartTab { Observables, State, Error };

// A user's work, as a session file holds it. Every member defaults to the
// start-up state, so an empty session is a plain launch.
struct Session {
    static constexpr const char* kDefaultStudyGrid = "0.999999999:0.999:200:log";

    std::string q = "0.999999426"; // as typed: read with parseAcceleration
    std::int32_t T = RunParameters::kDefaultTemperature;
    std::size_t marker = 0; // a sample index of the run
    SessionView view;
    SessionLayers layers;
    std::vector<SessionTrace> traces; // oldest first
    ChartTab chartTab = ChartTab::Observables;
    std::string studyGrid = kDefaultStudyGrid; // the sweep's --q grid text
    std::vector<SessionPinnedRun> pinnedRuns; // oldest first
    std::optional<SessionFamily> family;

    // The run's parameters; q is the nearest double to its text, which the
    // reader has checked.
    RunParameters parameters() const;
};

// The chart tab's name in the file.
const char* chartTabName(ChartTab tab);

// One line saying why `marker` does not name a sample of a run with
// `sampleCount` samples; empty when it does. The file alone cannot tell,
// so a reader calls this once the run is computed.
std::string checkMarker(std::size_t marker, std::size_t sampleCount);

} // namespace cosmophase
