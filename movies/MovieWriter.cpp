#include "MovieWriter.h"

#include "AtomicWrite.h"
#include "DataFormat.h"
#include "EmbeddedRecord.h"
#include "GifPalette.h"
#include "MovieEncoder.h"
#include "MovieFrames.h"
#include "OrderedParallel.h"
#include "SessionFigure.h"
#include "Simulation.h"

#include <QGuiApplication>

#include <thread>

namespace cosmophase {

namespace {

// Enough to keep the workers busy while the encoder takes a frame; a frame
// of the largest movies is tens of megabytes.
constexpr std::uint64_t kFramesAheadPerThread = 3;

MovieResult failed(const std::string& error)
{
    return {MovieResult::Status::Failed, error, {}};
}

// Its title, and the session that drew it, so that the movie reopens as it.
MovieTags movieTags(const SessionScene& scene, const Session& session, const Simulation& run)
{
    const std::string digest =
        samplesDigest({run.getz2Data(), run.getw0Data(), run.getw2Data(), run.getTimeData()});
    return {{"title", scene.title().toStdString()}, {"comment", sessionRecordText(session, digest)}};
}

} // namespace

MovieResult writeMovie(const MovieRequest& request, const MovieProgress& progress, const std::atomic<bool>* cancel)
{
    if (const std::string error = movieRequestError(request); !error.empty())
        return failed(error);
    const MovieFormat format = *movieFormatFor(request.path);

    const RunParameters parameters = request.session.parameters();
    Simulation run;
    run.initialize(parameters);
    if (const RunStatus status = run.runSimulationBounded(); status != RunStatus::Ok)
        return {MovieResult::Status::NoRun,
                "q = " + accelerationText(parameters.q) + ", T = " + std::to_string(parameters.T) + ": " +
                    statusReason(status),
                {}};
    const std::vector<double>& times = run.getTimeData();
    const Curve trajectory{run.getz2Data(), run.getw0Data()};

    const SessionScene scene(request.session, trajectory, request.side, QGuiApplication::font());
    const MovieFrames frames(scene.figure(), MovieEncoder::frameSize(format, scene.figure().size()));
    const int frameCount = request.frameCount();
    const auto markerOf = [&](int frame) {
        const std::size_t sample = request.frameSample(times, frame);
        return plot::Point{trajectory.x[sample], trajectory.y[sample]};
    };

    std::unique_ptr<FrameConverter> converter;
    if (format == MovieFormat::Gif) {
        converter = std::make_unique<GifPalette>(GifPalette::kSampleFrames, [&](int i) {
            return frames.frame(markerOf(i * (frameCount - 1) / (GifPalette::kSampleFrames - 1)));
        });
    } else {
        converter = std::make_unique<YuvConverter>(frames.frame(markerOf(0)));
    }

    AtomicFileWriter file(request.path);
    if (WriteResult opened = file.open(); !opened.ok)
        return failed(opened.error);
    MovieEncoder encoder;
    const auto encodeFailed = [&request](const std::string& error) { return failed(request.path + ": " + error); };
    if (const std::string error = encoder.open(format, frames.imageSize(), request.fps, request.threads,
                                               movieTags(scene, request.session, run), file);
        !error.empty())
        return encodeFailed(error);

    const unsigned threads = request.threads != 0 ? request.threads : std::max(1u, std::thread::hardware_concurrency());
    std::string error;
    bool cancelled = false;
    const bool complete = studies::computeInOrder<EncoderFrame>(
        0, static_cast<std::uint64_t>(frameCount), threads,
        [&](std::uint64_t k) { return converter->convert(frames.frame(markerOf(static_cast<int>(k)))); },
        [&](std::uint64_t k, EncoderFrame frame) {
            if (cancel && cancel->load()) {
                cancelled = true;
                return false;
            }
            if (!frame) {
                error = "out of memory";
                return false;
            }
            error = encoder.encode(std::move(frame), static_cast<int>(k));
            if (!error.empty())
                return false;
            if (progress)
                progress(static_cast<int>(k) + 1, frameCount);
            return true;
        },
        kFramesAheadPerThread);
    if (cancelled)
        return {MovieResult::Status::Cancelled, {}, {}};
    if (!complete || !(error = encoder.finish()).empty())
        return encodeFailed(error);
    const WriteResult written = file.commit();
    if (!written.ok)
        return failed(written.error);
    return {MovieResult::Status::Written, {}, written.warning};
}

} // namespace cosmophase
