#pragma once

#include "MovieRequest.h"

#include <atomic>
#include <functional>
#include <string>

namespace cosmophase {

struct MovieResult {
    // NoRun: the session's run cannot reach the present day.
    enum class Status { Written, Cancelled, Failed, NoRun };
    Status status = Status::Failed;
    std::string error;   // when Failed or NoRun: one line saying why
    std::string warning; // when Written: as WriteResult's warning
    bool ok() const { return status == Status::Written; }
};

// Called on the writing thread after each frame is encoded.
using MovieProgress = std::function<void(int framesDone, int frameCount)>;

// Computes the session's run and writes the movie the request describes,
// frames drawn on `request.threads` workers and encoded as they come, so
// memory does not grow with the number of frames. The file appears only
// once complete: a failure, or `cancel` set (checked between frames),
// leaves no file behind and an existing one as it was. Needs a
// QGuiApplication (for the fonts), but may run on any thread.
MovieResult writeMovie(const MovieRequest& request, const MovieProgress& progress = {},
                       const std::atomic<bool>* cancel = nullptr);

} // namespace cosmophase
