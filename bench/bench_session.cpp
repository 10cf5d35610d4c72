// Saving and opening a session with a hundred traces (the most the plot
// keeps) and a zoom: the text, and the atomic write to a file beside it.

#include "SessionFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

using namespace cosmophase;

namespace {

Session fullSession()
{
    Session session;
    session.q = "0.99990000001";
    session.marker = 4000;
    session.view = {0.013, -0.027, 0.0625};
    for (int i = 0; i < 100; ++i)
        session.traces.push_back({-1.9 + 0.038 * i, 1.0 / (i + 3)});
    return session;
}

void BM_SessionText(benchmark::State& state)
{
    const Session session = fullSession();
    for (auto _ : state)
        benchmark::DoNotOptimize(sessionText(session));
}
BENCHMARK(BM_SessionText)->Unit(benchmark::kMicrosecond);

// What Save Session costs the UI thread: the text, a synced temporary file
// and the rename; the folder's sync follows off that thread.
void BM_SaveSession(benchmark::State& state)
{
    const Session session = fullSession();
    const std::string path = "bench-session-" + std::to_string(::getpid()) + ".cosmophase";
    for (auto _ : state) {
        const WriteResult result = writeSessionFile(path, session, FolderSync::Later);
        if (!result.ok)
            state.SkipWithError(result.error.c_str());
        state.PauseTiming();
        syncFolderOf(path);
        state.ResumeTiming();
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_SaveSession)->Unit(benchmark::kMillisecond);

// The whole of it, the folder's sync included.
void BM_SaveSessionDurable(benchmark::State& state)
{
    const Session session = fullSession();
    const std::string path = "bench-session-" + std::to_string(::getpid()) + ".cosmophase";
    for (auto _ : state) {
        const WriteResult result = writeSessionFile(path, session);
        if (!result.ok)
            state.SkipWithError(result.error.c_str());
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_SaveSessionDurable)->Unit(benchmark::kMillisecond);

void BM_ReadSession(benchmark::State& state)
{
    const std::string text = sessionText(fullSession());
    for (auto _ : state)
        benchmark::DoNotOptimize(parseSession(text));
}
BENCHMARK(BM_ReadSession)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
