#pragma once

#include <QObject>
#include <QThreadPool>

#include <functional>
#include <memory>
#include <utility>

// Runs jobs one at a time on a thread of its own, never the global pool. A
// job submitted while another runs waits in a single slot, which any later
// job takes over: quick edits never pile up work. Each job's result goes to
// its `done` on the owner's thread; a result may be out of date by then,
// which `done` decides.
class LatestJobRunner : public QObject {
    Q_OBJECT

public:
    explicit LatestJobRunner(QObject* parent = nullptr);
    // Drops the waiting job and waits for the running one, whose `done` is
    // not called.
    ~LatestJobRunner() override;

    // `work` runs on the worker and touches nothing but what it captured.
    template <typename Work, typename Done>
    void submit(Work work, Done done)
    {
        m_waiting = [work = std::move(work), done = std::move(done)]() mutable -> std::function<void()> {
            auto result = std::make_shared<decltype(work())>(work());
            return [done = std::move(done), result] { done(std::move(*result)); };
        };
        if (!m_running)
            startWaiting();
    }

    bool isBusy() const { return m_running; }

private:
    // A job: the work, returning what is left to do on the owner's thread.
    using Job = std::function<std::function<void()>()>;

    void startWaiting();

    QThreadPool m_pool;
    Job m_waiting;
    bool m_running = false;
};
