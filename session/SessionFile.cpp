#include "SessionFile.h"

#include "OneLine.h"
#include "PhasePlaneTraces.h"
#include "SessionRuns.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sys/stat.h>

namespace cosmophase {

namespace {

using Json = nlohmann::json;

// Thrown inside the reader for a bad file; caught at its one entry point.
struct BadSession {
    std::string reason;
};

std::string quoted(const std::string& text)
{
    return "'" + escapeControlCharacters(text) + "'";
}

using sessionjson::noteUnknownKeys;

double finiteNumber(const Json& value, const std::string& name)
{
    // JSON has no infinity, but 1e999 reads as one.
    if (!value.is_number() || !std::isfinite(value.get<double>()))
        throw BadSession{name + " must be a finite number"};
    return value.get<double>();
}

void readFormat(const Json& document)
{
    const auto format = document.find("format");
    if (format == document.end())
        throw BadSession{"not a session file: it has no \"format\""};
    if (!format->is_string() || format->get<std::string>() != kSessionFormat)
        throw BadSession{"not a session file: its format is " + quoted(format->dump()) + ", not '" +
                         kSessionFormat + "'"};
    const auto version = document.find("version");
    if (version == document.end())
        throw BadSession{"the session has no \"version\""};
    if (!version->is_number_integer())
        throw BadSession{"the session's version must be a whole number, not " + quoted(version->dump())};
    if (version->is_number_unsigned() && version->get<std::uint64_t>() > static_cast<unsigned>(kSessionVersion))
        throw BadSession{"the session's version " + version->dump() + " is newer than this Cosmophase reads (" +
                         std::to_string(kSessionVersion) + ")"};
    if (version->get<std::int64_t>() < 1)
        throw BadSession{"the session's version must be 1 or more, not " + version->dump()};
}

void readRun(const Json& document, Session& session)
{
    if (const auto q = document.find("q"); q != document.end()) {
        if (!q->is_string() && !q->is_number())
            throw BadSession{"q must be a decimal number, as text or a number"};
        const std::string text = q->is_string() ? q->get<std::string>() : accelerationText(q->get<double>());
        const ParsedValue<double> parsed = parseAcceleration(text);
        if (!parsed.value)
            throw BadSession{"q " + quoted(text) + ": " + parsed.error};
        session.q = text;
    }
    if (const auto T = document.find("T"); T != document.end()) {
        const std::string error = ParameterDomain::checkTemperature(0);
        if (!T->is_number_integer() || (T->is_number_unsigned() && T->get<std::uint64_t>() > INT32_MAX) ||
            !ParameterDomain::checkTemperature(T->get<std::int64_t>()).empty())
            throw BadSession{"T " + quoted(T->dump()) + ": " + error};
        session.T = static_cast<std::int32_t>(T->get<std::int64_t>());
    }
    const std::string outside = ParameterDomain::check(session.parameters());
    if (!outside.empty())
        throw BadSession{"q and T: " + outside};
    if (const auto marker = document.find("marker"); marker != document.end()) {
        if (!marker->is_number_unsigned())
            throw BadSession{"marker must be a sample index (a whole number from 0), not " + quoted(marker->dump())};
        session.marker = marker->get<std::size_t>();
    }
}

void readView(const Json& document, Session& session, std::vector<std::string>& unknown)
{
    const auto view = document.find("view");
    if (view == document.end())
        return;
    if (!view->is_object())
        throw BadSession{"view must be an object with z2, w0 and half_side"};
    noteUnknownKeys(*view, {"z2", "w0", "half_side"}, "view.", unknown);
    if (const auto z2 = view->find("z2"); z2 != view->end())
        session.view.z2 = finiteNumber(*z2, "view's z2");
    if (const auto w0 = view->find("w0"); w0 != view->end())
        session.view.w0 = finiteNumber(*w0, "view's w0");
    if (const auto half = view->find("half_side"); half != view->end()) {
        session.view.halfSide = finiteNumber(*half, "view's half_side");
        if (!(session.view.halfSide > 0))
            throw BadSession{"view's half_side must be above 0, not " + half->dump()};
    }
}

void readLayers(const Json& document, Session& session, std::vector<std::string>& unknown)
{
    const auto layers = document.find("layers");
    if (layers == document.end())
        return;
    if (!layers->is_object())
        throw BadSession{"layers must be an object of true and false"};
    const std::vector<std::pair<const char*, bool*>> switches{
        {"direction_field", &session.layers.directionField},
        {"legend", &session.layers.legend},
        {"stable_manifold", &session.layers.stableManifold},
        {"unstable_manifold", &session.layers.unstableManifold},
        {"family_curve", &session.layers.familyCurve},
        {"default_run", &session.layers.defaultRun},
        {"nullclines", &session.layers.nullclines},
    };
    std::vector<const char*> known;
    for (const auto& [name, target] : switches) {
        known.push_back(name);
        const auto value = layers->find(name);
        if (value == layers->end())
            continue;
        if (!value->is_boolean())
            throw BadSession{std::string("layer ") + name + " must be true or false, not " + quoted(value->dump())};
        *target = value->get<bool>();
    }
    noteUnknownKeys(*layers, known, "layers.", unknown);
}

void readTraces(const Json& document, Session& session, std::vector<std::string>& unknown)
{
    const auto traces = document.find("traces");
    if (traces == document.end())
        return;
    if (!traces->is_array())
        throw BadSession{"traces must be a list of starting points"};
    if (traces->size() > PhasePlaneTraces::kMaxTraces)
        throw BadSession{"the session has " + std::to_string(traces->size()) + " traces; the plot keeps at most " +
                         std::to_string(PhasePlaneTraces::kMaxTraces)};
    for (std::size_t i = 0; i < traces->size(); ++i) {
        const Json& trace = (*traces)[i];
        const std::string name = "traces[" + std::to_string(i) + "]";
        if (!trace.is_object() || !trace.contains("z2") || !trace.contains("w0"))
            throw BadSession{name + " must be an object with numbers z2 and w0"};
        noteUnknownKeys(trace, {"z2", "w0"}, "traces[].", unknown);
        session.traces.push_back({finiteNumber(trace["z2"], name + ".z2"), finiteNumber(trace["w0"], name + ".w0")});
    }
}

void readOthers(const Json& document, Session& session)
{
    if (const auto tab = document.find("chart_tab"); tab != document.end()) {
        bool found = false;
        for (ChartTab candidate : {ChartTab::Observables, ChartTab::State, ChartTab::Error}) {
            if (tab->is_string() && tab->get<std::string>() == chartTabName(candidate)) {
                session.chartTab = candidate;
                found = true;
            }
        }
        if (!found)
            throw BadSession{"chart_tab must be observables, state or error, not " + quoted(tab->dump())};
    }
    if (const auto grid = document.find("study_grid"); grid != document.end()) {
        if (!grid->is_string())
            throw BadSession{"study_grid must be text, as the sweep's --q takes it"};
        session.studyGrid = grid->get<std::string>();
    }
}

// The parser quotes what it last read, which may be any bytes.
std::string printableText(const std::string& text)
{
    std::string printable;
    for (unsigned char c : text)
        printable += c < 0x80 ? static_cast<char>(c) : '?';
    return printable;
}

SessionReadResult failure(std::string error)
{
    SessionReadResult result;
    result.error = escapeControlCharacters(error);
    return result;
}

} // namespace

SessionReadResult parseSession(std::string_view text)
{
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos)
        return failure("the file is empty");
    Json document;
    try {
        document = Json::parse(text.begin(), text.end());
    } catch (const Json::exception& error) {
        // What follows the library's "[json.exception.parse_error.101] ".
        const std::string what = error.what();
        const std::size_t start = what.find("] ");
        return failure("not a session file: not valid JSON: " +
                       printableText(start == std::string::npos ? what : what.substr(start + 2)));
    }
    if (!document.is_object())
        return failure("not a session file: a JSON object was expected");
    SessionReadResult result;
    Session session;
    try {
        readFormat(document);
        noteUnknownKeys(document,
                        {"format", "version", "q", "T", "marker", "view", "layers", "traces", "chart_tab",
                         "study_grid", "pinned_runs", "family"},
                        "", result.unknownKeys);
        readRun(document, session);
        readView(document, session, result.unknownKeys);
        readLayers(document, session, result.unknownKeys);
        readTraces(document, session, result.unknownKeys);
        readOthers(document, session);
        if (const std::string refused = sessionjson::readRunSets(document, session, result.unknownKeys);
            !refused.empty())
            throw BadSession{refused};
    } catch (const BadSession& bad) {
        return failure(bad.reason);
    }
    result.session = std::move(session);
    return result;
}

SessionReadResult readSessionFile(const std::string& path)
{
    const auto failed = [&path](const std::string& reason) {
        return failure(path + ": " + reason);
    };
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return failed(std::strerror(errno));
    if (S_ISDIR(info.st_mode))
        return failed("is a folder, not a session file");
    if (!S_ISREG(info.st_mode))
        return failed("is not a regular file");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return failed(std::strerror(errno));
    std::string text(kMaxSessionBytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.bad())
        return failed("cannot be read");
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() > kMaxSessionBytes)
        return failed("is larger than a session file can be (" + std::to_string(kMaxSessionBytes / 1024) + " KiB)");
    SessionReadResult result = parseSession(text);
    if (!result.ok())
        result.error = escapeControlCharacters(path) + ": " + result.error;
    return result;
}

std::string sessionText(const Session& session)
{
    using Ordered = nlohmann::ordered_json;
    Ordered traces = Ordered::array();
    for (const SessionTrace& trace : session.traces)
        traces.push_back(Ordered{{"z2", trace.z2}, {"w0", trace.w0}});
    const SessionLayers& layers = session.layers;
    Ordered document{
        {"format", kSessionFormat},
        {"version", kSessionVersion},
        {"q", session.q},
        {"T", session.T},
        {"marker", session.marker},
        {"view", {{"z2", session.view.z2}, {"w0", session.view.w0}, {"half_side", session.view.halfSide}}},
        {"layers",
         {{"direction_field", layers.directionField},
          {"legend", layers.legend},
          {"stable_manifold", layers.stableManifold},
          {"unstable_manifold", layers.unstableManifold},
          {"family_curve", layers.familyCurve},
          {"default_run", layers.defaultRun},
          {"nullclines", layers.nullclines}}},
        {"traces", traces},
        {"chart_tab", chartTabName(session.chartTab)},
        {"study_grid", session.studyGrid},
    };
    sessionjson::writeRunSets(session, document);
    return document.dump(2, ' ', false, Ordered::error_handler_t::replace) + "\n";
}

WriteResult writeSessionFile(const std::string& path, const Session& session, FolderSync folderSync)
{
    return writeFileAtomically(path, sessionText(session), folderSync);
}

std::string unknownKeysWarning(const std::vector<std::string>& keys)
{
    // A status bar line: a few names, each cut short.
    constexpr std::size_t kNamesShown = 5;
    constexpr std::size_t kNameLength = 40;
    if (keys.empty())
        return {};
    std::string text = std::to_string(keys.size()) + (keys.size() == 1 ? " unknown key" : " unknown keys") +
                       " ignored:";
    for (std::size_t i = 0; i < keys.size() && i < kNamesShown; ++i)
        text += (i == 0 ? " " : ", ") +
                (keys[i].size() > kNameLength ? keys[i].substr(0, kNameLength) + "..." : keys[i]);
    if (keys.size() > kNamesShown)
        text += ", ...";
    return text;
}

} // namespace cosmophase
