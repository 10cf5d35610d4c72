#pragma once

#include "Session.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

// The session file's runs beside its own, "pinned_runs" and "family", kept
// apart from the rest of the reader. Internal to the session library.
namespace cosmophase::sessionjson {

// Adds the keys of `object` that are not `known` to `unknown`, once each,
// prefixed ("view.tilt").
void noteUnknownKeys(const nlohmann::json& object, const std::vector<const char*>& known, const std::string& prefix,
                     std::vector<std::string>& unknown);

// Reads both keys into `session`; one line saying what is wrong, or nothing.
std::string readRunSets(const nlohmann::json& document, Session& session, std::vector<std::string>& unknown);

// Adds both keys, when the session has them, in a fixed order.
void writeRunSets(const Session& session, nlohmann::ordered_json& document);

} // namespace cosmophase::sessionjson
