#pragma once

#include "CurveSet.h"
#include "RunParameters.h"
#include "RunStatus.h"
#include "Session.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// A family of runs for the phase plane: the run of every q of a grid at one
// T, computed on the studies library's workers off the UI thread with
// progress, and cancelled by a later start, cancel() or the destructor.
class RunFamily : public QObject {
    Q_OBJECT

public:
    static constexpr std::size_t kMaxRuns = cosmophase::kMaxFamilyRuns;

    struct Member {
        cosmophase::RunParameters parameters;
        cosmophase::RunStatus status = cosmophase::RunStatus::Ok;
        std::shared_ptr<const cosmophase::Curve> trajectory;
    };

    explicit RunFamily(QObject* parent = nullptr);
    ~RunFamily() override;

    // Starts computing the grid of q (as the sweep's --q takes it) at T,
    // dropping what is under way. Returns one line saying why the grid is
    // refused, or nothing.
    QString start(const std::string& grid, std::int32_t T);
    void cancel();
    // Hides the family; nothing is computed.
    void clear();
    bool isComputing() const { return m_worker.joinable() && !m_finished; }

    // The last complete family, in grid order; runs that did not reach the
    // present day are kept with their samples and status.
    const std::vector<Member>& members() const { return m_members; }
    const std::string& grid() const { return m_grid; }
    std::int32_t temperature() const { return m_temperature; }
    // What the plane is to show: the family being computed, else the last
    // complete one; an empty grid for none.
    const std::string& shownGrid() const { return isComputing() ? m_pending_grid : m_grid; }
    std::int32_t shownTemperature() const { return isComputing() ? m_pending_temperature : m_temperature; }

signals:
    void progressed(int done, int total);
    // members() holds the new family (or none, after clear()).
    void changed();
    void cancelled();

private:
    void stopWorker();
    void collect(std::uint64_t generation, std::vector<Member> members, const std::string& grid, std::int32_t T);

    std::thread m_worker;
    std::atomic<bool> m_stop{false};
    bool m_finished = true;
    std::uint64_t m_generation = 0;
    std::vector<Member> m_members;
    std::string m_grid;
    std::int32_t m_temperature = cosmophase::RunParameters::kDefaultTemperature;
    std::string m_pending_grid;
    std::int32_t m_pending_temperature = cosmophase::RunParameters::kDefaultTemperature;
};
