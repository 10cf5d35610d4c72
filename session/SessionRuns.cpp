#include "SessionRuns.h"

#include "OneLine.h"
#include "ParameterGrid.h"

#include <algorithm>
#include <cctype>

namespace cosmophase::sessionjson {

namespace {

using Json = nlohmann::json;

struct Refused {
    std::string reason;
};

std::string quoted(const Json& value)
{
    return "'" + escapeControlCharacters(value.dump()) + "'";
}

// q as text or a number, T a whole number, both inside their domain.
void readParameters(const Json& object, const std::string& name, std::string& qText, std::int32_t& T)
{
    const Json& q = object["q"];
    if (!q.is_string() && !q.is_number())
        throw Refused{name + ".q must be a decimal number, as text or a number"};
    qText = q.is_string() ? q.get<std::string>() : accelerationText(q.get<double>());
    const Json& t = object["T"];
    if (!t.is_number_integer() || (t.is_number_unsigned() && t.get<std::uint64_t>() > INT32_MAX) ||
        !ParameterDomain::checkTemperature(t.get<std::int64_t>()).empty())
        throw Refused{name + ".T " + quoted(t) + ": " + ParameterDomain::checkTemperature(0)};
    T = static_cast<std::int32_t>(t.get<std::int64_t>());
}

bool isColour(const std::string& text)
{
    return text.size() == 7 && text[0] == '#' &&
           std::all_of(text.begin() + 1, text.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
}

void readPinned(const Json& document, Session& session, std::vector<std::string>& unknown)
{
    const auto runs = document.find("pinned_runs");
    if (runs == document.end())
        return;
    if (!runs->is_array())
        throw Refused{"pinned_runs must be a list of runs, each with q and T"};
    if (runs->size() > kMaxPinnedRuns)
        throw Refused{"the session has " + std::to_string(runs->size()) + " pinned runs; the plot keeps at most " +
                      std::to_string(kMaxPinnedRuns)};
    for (std::size_t i = 0; i < runs->size(); ++i) {
        const Json& run = (*runs)[i];
        const std::string name = "pinned_runs[" + std::to_string(i) + "]";
        if (!run.is_object() || !run.contains("q") || !run.contains("T"))
            throw Refused{name + " must be an object with q and T"};
        noteUnknownKeys(run, {"q", "T", "colour", "shown"}, "pinned_runs[].", unknown);
        SessionPinnedRun pinned;
        readParameters(run, name, pinned.q, pinned.T);
        const ParsedValue<double> q = parseAcceleration(pinned.q);
        if (!q.value)
            throw Refused{name + ".q '" + escapeControlCharacters(pinned.q) + "': " + q.error};
        if (const std::string outside = ParameterDomain::check(pinned.parameters()); !outside.empty())
            throw Refused{name + ": " + outside};
        if (const auto colour = run.find("colour"); colour != run.end()) {
            if (!colour->is_string() || !isColour(colour->get<std::string>()))
                throw Refused{name + ".colour must be a colour as #rrggbb, not " + quoted(*colour)};
            pinned.colour = colour->get<std::string>();
        }
        if (const auto shown = run.find("shown"); shown != run.end()) {
            if (!shown->is_boolean())
                throw Refused{name + ".shown must be true or false, not " + quoted(*shown)};
            pinned.shown = shown->get<bool>();
        }
        session.pinnedRuns.push_back(std::move(pinned));
    }
}

void readFamily(const Json& document, Session& session, std::vector<std::string>& unknown)
{
    const auto family = document.find("family");
    if (family == document.end())
        return;
    if (!family->is_object() || !family->contains("q") || !family->contains("T"))
        throw Refused{"family must be an object with q (a grid, as the sweep's --q takes it) and T"};
    noteUnknownKeys(*family, {"q", "T"}, "family.", unknown);
    if (!(*family)["q"].is_string())
        throw Refused{"family.q must be a grid as text, as the sweep's --q takes it"};
    SessionFamily read;
    readParameters(*family, "family", read.q, read.T);
    const studies::GridParse grid = studies::GridParse::acceleration(read.q);
    if (!grid.grid)
        throw Refused{"family.q '" + escapeControlCharacters(read.q) + "': " + grid.error};
    if (grid.grid->size() > kMaxFamilyRuns)
        throw Refused{"the family has " + std::to_string(grid.grid->size()) + " runs; the plot draws at most " +
                      std::to_string(kMaxFamilyRuns)};
    session.family = std::move(read);
}

} // namespace

void noteUnknownKeys(const Json& object, const std::vector<const char*>& known, const std::string& prefix,
                     std::vector<std::string>& unknown)
{
    for (const auto& item : object.items()) {
        if (std::find_if(known.begin(), known.end(), [&](const char* k) { return item.key() == k; }) != known.end())
            continue;
        const std::string name = escapeControlCharacters(prefix + item.key());
        if (std::find(unknown.begin(), unknown.end(), name) == unknown.end())
            unknown.push_back(name);
    }
}

std::string readRunSets(const Json& document, Session& session, std::vector<std::string>& unknown)
{
    try {
        readPinned(document, session, unknown);
        readFamily(document, session, unknown);
    } catch (const Refused& refused) {
        return refused.reason;
    }
    return {};
}

void writeRunSets(const Session& session, nlohmann::ordered_json& document)
{
    using Ordered = nlohmann::ordered_json;
    if (!session.pinnedRuns.empty()) {
        Ordered runs = Ordered::array();
        for (const SessionPinnedRun& run : session.pinnedRuns) {
            Ordered entry{{"q", run.q}, {"T", run.T}};
            if (!run.colour.empty())
                entry["colour"] = run.colour;
            entry["shown"] = run.shown;
            runs.push_back(std::move(entry));
        }
        document["pinned_runs"] = std::move(runs);
    }
    if (session.family)
        document["family"] = Ordered{{"q", session.family->q}, {"T", session.family->T}};
}

} // namespace cosmophase::sessionjson
