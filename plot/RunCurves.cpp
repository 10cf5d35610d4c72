#include "RunCurves.h"

#include "WindowedContent.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>

namespace cosmophase::plot {

namespace {

double distanceToSegment(Point p, Point a, Point b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

Segments segmentsOf(const std::vector<RunCurve>& runs)
{
    Segments segments;
    for (const RunCurve& run : runs) {
        if (!run.shown)
            continue;
        for (const std::vector<Point>& strip : run.strips) {
            for (std::size_t i = 1; i < strip.size(); ++i) {
                segments.vertices.insert(segments.vertices.end(), {strip[i - 1], strip[i]});
                segments.colours.insert(segments.colours.end(), {run.colour, run.colour});
            }
        }
    }
    return segments;
}

} // namespace

bool RunCurves::anyShown() const
{
    const auto shown = [](const RunCurve& run) { return run.shown; };
    return std::any_of(pinned.begin(), pinned.end(), shown) || std::any_of(family.begin(), family.end(), shown);
}

std::vector<std::vector<Point>> RunCurves::stripsFor(const Curve& curve, const PlotWindow& window)
{
    if (curve.empty())
        return {};
    return WindowedContent::visibleStrips(curve, window);
}

void RunCurves::layOut(const PlotWindow& window)
{
    layOut(window, RunCurves{});
}

void RunCurves::layOut(const PlotWindow& window, const RunCurves& before)
{
    std::unordered_map<const Curve*, const std::vector<std::vector<Point>>*> done;
    for (const std::vector<RunCurve>* runs : {&before.pinned, &before.family})
        for (const RunCurve& run : *runs)
            done.emplace(run.curve.get(), &run.strips);
    for (std::vector<RunCurve>* runs : {&pinned, &family}) {
        for (RunCurve& run : *runs) {
            if (!run.curve)
                run.strips.clear();
            else if (const auto found = done.find(run.curve.get()); found != done.end())
                run.strips = *found->second;
            else
                run.strips = stripsFor(*run.curve, window);
        }
    }
    pinnedSegments = segmentsOf(pinned);
    familySegments = segmentsOf(family);
}

int RunCurves::familyMemberNear(Point at, double tolerance) const
{
    int nearest = -1;
    double best = tolerance;
    for (std::size_t m = 0; m < family.size(); ++m) {
        if (!family[m].shown)
            continue;
        for (const std::vector<Point>& strip : family[m].strips) {
            for (std::size_t i = 1; i < strip.size(); ++i) {
                const double d = distanceToSegment(at, strip[i - 1], strip[i]);
                if (d <= best) {
                    best = d;
                    nearest = static_cast<int>(m);
                }
            }
        }
    }
    return nearest;
}

Colour pinnedRunColour(std::size_t index)
{
    static constexpr std::array<std::array<int, 3>, 8> kPalette{{
        {140, 81, 10},
        {197, 27, 125},
        {128, 128, 0},
        {64, 64, 64},
        {0, 128, 128},
        {210, 140, 90},
        {128, 0, 0},
        {70, 130, 180},
    }};
    const std::array<int, 3>& c = kPalette[index % kPalette.size()];
    return {static_cast<float>(c[0]) / 255.0f, static_cast<float>(c[1]) / 255.0f, static_cast<float>(c[2]) / 255.0f};
}

std::string runLabel(double q, std::int32_t T)
{
    return "q = " + accelerationText(q) + ", T = " + std::to_string(T);
}

Colour familyColour(double t)
{
    // viridis at 0, 1/8, ..., 1; the family uses it up to kTop.
    static constexpr std::array<std::array<float, 3>, 9> kViridis{{
        {68, 1, 84},
        {72, 40, 120},
        {62, 73, 137},
        {49, 104, 142},
        {38, 130, 142},
        {31, 158, 137},
        {53, 183, 121},
        {110, 206, 88},
        {253, 231, 37},
    }};
    constexpr double kTop = 0.85;
    const double x = std::clamp(std::isnan(t) ? 0.0 : t, 0.0, 1.0) * kTop * 8;
    const auto i = std::min(static_cast<std::size_t>(x), std::size_t{7});
    const auto f = static_cast<float>(x - static_cast<double>(i));
    const auto mix = [&](int c) { return (kViridis[i][c] + (kViridis[i + 1][c] - kViridis[i][c]) * f) / 255.0f; };
    return {mix(0), mix(1), mix(2)};
}

double familyPosition(double q, const FamilyScale& scale)
{
    if (!(scale.high > scale.low))
        return 0.5;
    return std::clamp((std::log10(std::fabs(1.0 - q)) - scale.low) / (scale.high - scale.low), 0.0, 1.0);
}

FamilyScale familyScaleOf(const std::vector<double>& qs)
{
    FamilyScale scale;
    bool first = true;
    for (double q : qs) {
        const double v = std::log10(std::fabs(1.0 - q));
        if (!std::isfinite(v))
            continue;
        scale.low = first ? v : std::min(scale.low, v);
        scale.high = first ? v : std::max(scale.high, v);
        first = false;
    }
    return scale;
}

} // namespace cosmophase::plot
