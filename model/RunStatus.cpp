#include "RunStatus.h"

namespace cosmophase {

const char* statusWord(RunStatus status)
{
    switch (status) {
    case RunStatus::Ok:
        return "ok";
    case RunStatus::Budget:
        return "budget";
    case RunStatus::Stalled:
        return "stalled";
    case RunStatus::NonFinite:
        return "nonfinite";
    case RunStatus::Domain:
        return "domain";
    }
    return "unknown";
}

std::string statusReason(RunStatus status)
{
    switch (status) {
    case RunStatus::Ok:
        return "the run reached the present day";
    case RunStatus::Budget:
        return "the run did not reach the present day within its step budget";
    case RunStatus::Stalled:
        return "the run stalled: its step length shrank until a step no longer advanced the model time";
    case RunStatus::NonFinite:
        return "the run broke down: the model's values became NaN or infinite";
    case RunStatus::Domain:
        return "the parameters lie outside their domain";
    }
    return {};
}

} // namespace cosmophase
