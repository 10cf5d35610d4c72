#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace cosmophase::studies {

// Computes rows [begin, end) on `threads` workers and hands each to `emit`
// on the calling thread, strictly in row order, so the output does not
// depend on the thread count. Workers stay at most `rowsAheadPerThread` rows
// a thread ahead of the row being emitted, so memory does not grow with the
// number of rows (fewer where rows are large, such as a movie's frames).
// `compute(row)` must be safe to call concurrently; `emit(row, value)`
// returns false to stop early (a failed write, an interrupt). Returns
// whether every row was emitted. An exception from `compute` or `emit` is
// rethrown here once the workers have stopped and been joined.
template <class Value, class Compute, class Emit>
bool computeInOrder(std::uint64_t begin, std::uint64_t end, unsigned threads, Compute compute, Emit emit,
                    std::uint64_t rowsAheadPerThread = 16)
{
    if (threads <= 1) {
        for (std::uint64_t row = begin; row < end; ++row) {
            if (!emit(row, compute(row)))
                return false;
        }
        return true;
    }

    const std::uint64_t window = std::uint64_t{threads} * std::max<std::uint64_t>(rowsAheadPerThread, 1);
    std::vector<std::optional<Value>> slots(window);
    std::mutex mutex;
    std::condition_variable rowReady;
    std::condition_variable roomFreed;
    std::uint64_t nextClaim = begin;
    std::uint64_t nextEmit = begin;
    bool stop = false;
    std::exception_ptr failure;

    const auto work = [&] {
        for (;;) {
            std::uint64_t row = 0;
            {
                std::unique_lock<std::mutex> lock(mutex);
                roomFreed.wait(lock, [&] { return stop || nextClaim >= end || nextClaim < nextEmit + window; });
                if (stop || nextClaim >= end)
                    return;
                row = nextClaim++;
            }
            std::optional<Value> value;
            try {
                value.emplace(compute(row));
            } catch (...) {
                std::lock_guard<std::mutex> lock(mutex);
                if (!failure)
                    failure = std::current_exception();
                stop = true;
                rowReady.notify_all();
                roomFreed.notify_all();
                return;
            }
            std::lock_guard<std::mutex> lock(mutex);
            slots[(row - begin) % window] = std::move(value);
            if (row == nextEmit)
                rowReady.notify_one();
        }
    };

    std::vector<std::thread> workers;
    workers.reserve(threads);
    // Joinable threads left behind by a throw would end the process.
    const auto stopAndJoin = [&] {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stop = true;
        }
        roomFreed.notify_all();
        for (std::thread& worker : workers)
            worker.join();
    };

    bool complete = true;
    try {
        for (unsigned i = 0; i < threads; ++i)
            workers.emplace_back(work);
        while (nextEmit < end) {
            std::optional<Value> value;
            {
                std::unique_lock<std::mutex> lock(mutex);
                std::optional<Value>& slot = slots[(nextEmit - begin) % window];
                rowReady.wait(lock, [&] { return stop || slot.has_value(); });
                if (stop)
                    break;
                value = std::move(slot);
                slot.reset();
            }
            const bool keepGoing = emit(nextEmit, std::move(*value));
            {
                std::lock_guard<std::mutex> lock(mutex);
                ++nextEmit;
                if (!keepGoing)
                    stop = true;
            }
            roomFreed.notify_all();
            if (!keepGoing) {
                complete = false;
                break;
            }
        }
    } catch (...) {
        stopAndJoin();
        throw;
    }
    stopAndJoin();
    if (failure)
        std::rethrow_exception(failure);
    return complete && nextEmit >= end;
}

} // namespace cosmophase::studies
