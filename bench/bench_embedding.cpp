// What embedding the session record costs a figure: the run's samples
// digest, the record's text for a session with 10 traces, and putting it
// in the file's bytes, per format. The counter "added_bytes" is how much
// larger the file grows. Needs no display (Qt's offscreen platform).
#include "DataFormat.h"
#include "EmbeddedRecord.h"
#include "FigureWriter.h"
#include "SessionFile.h"
#include "Simulation.h"
#include "StartupFigure.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

using namespace cosmophase;

struct Fixture {
    Fixture()
    {
        session.q = "0.9999";
        session.marker = 1234;
        session.view = {0.123456789, -0.25, 1.5};
        for (int i = 0; i < 10; ++i)
            session.traces.push_back({-1.9 + 0.37 * i + 1e-9 * i, 1.7 - 0.31 * i});
        run.initialize(session.parameters());
        run.runSimulationBounded();
    }
    Session session;
    Simulation run;
};

std::string record()
{
    static const Fixture f;
    return sessionRecordText(f.session, samplesDigest({f.run.getz2Data(), f.run.getw0Data(), f.run.getw2Data(),
                                                       f.run.getTimeData()}));
}

// The startup figure's file, saved without a record.
std::string figureBytes(const char* name)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(name));
    if (!saveStartupFigure(path, 637).ok)
        return {};
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

void BM_EmbedRecord(benchmark::State& state, const char* name)
{
    const std::string bytes = figureBytes(name);
    const bool pdf = QString::fromLatin1(name).endsWith(QLatin1String(".pdf"));
    std::size_t added = 0;
    for (auto _ : state) {
        const std::string text = record();
        const std::string out = pdf ? pdfXmpPacket("Cosmophase phase plane", "Cosmophase", text)
                                    : withEmbeddedRecord(bytes, text);
        added = pdf ? out.size() : out.size() - bytes.size();
        benchmark::DoNotOptimize(out.data());
    }
    if (pdf) {
        // The packet replaces Qt's own; the file's growth is the difference.
        QTemporaryDir dir;
        const QString with = dir.filePath(QStringLiteral("with.pdf"));
        const QString without = dir.filePath(QStringLiteral("without.pdf"));
        const auto save = [&](const QString& path, const std::string& text) {
            return writeFigure(path, QSize(637, 637), [](QPainter&) {}, QStringLiteral("Cosmophase phase plane"), text);
        };
        save(with, record());
        save(without, {});
        added = static_cast<std::size_t>(QFile(with).size() - QFile(without).size());
    }
    state.counters["added_bytes"] = static_cast<double>(added);
}
BENCHMARK_CAPTURE(BM_EmbedRecord, png, "figure.png")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_EmbedRecord, svg, "figure.svg")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_EmbedRecord, pdf, "figure.pdf")->Unit(benchmark::kMicrosecond);

// Reading it back from the PNG, as reopening does.
void BM_ReadPngRecord(benchmark::State& state)
{
    const std::string png = withEmbeddedRecord(figureBytes("figure.png"), record());
    for (auto _ : state)
        benchmark::DoNotOptimize(readEmbeddedBytes(png).ok());
}
BENCHMARK(BM_ReadPngRecord)->Unit(benchmark::kMicrosecond);

} // namespace
