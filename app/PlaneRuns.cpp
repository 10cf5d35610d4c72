#include "PlaneRuns.h"

#include "MyOpenGLView.h"
#include "PinnedRuns.h"
#include "RunCurves.h"
#include "RunFamily.h"

namespace plot = cosmophase::plot;

PlaneRuns::PlaneRuns(MyOpenGLView& view, const PinnedRuns& pinned, const RunFamily& family, QObject* parent)
    : QObject(parent)
    , m_view(view)
    , m_pinned(pinned)
    , m_family(family)
{
    connect(&m_pinned, &PinnedRuns::changed, this, &PlaneRuns::update);
    connect(&m_family, &RunFamily::changed, this, &PlaneRuns::update);
}

void PlaneRuns::update()
{
    plot::RunCurves runs;
    for (const PinnedRun& pinned : m_pinned.runs()) {
        const QColor& c = pinned.colour;
        runs.pinned.push_back({pinned.label().toStdString(),
                               {static_cast<float>(c.redF()), static_cast<float>(c.greenF()),
                                static_cast<float>(c.blueF())},
                               pinned.shown, pinned.parameters.q, pinned.trajectory, {}});
    }
    const std::vector<RunFamily::Member>& members = m_family.members();
    if (!members.empty()) {
        std::vector<double> qs;
        for (const RunFamily::Member& member : members)
            qs.push_back(member.parameters.q);
        plot::FamilyScale scale = plot::familyScaleOf(qs);
        scale.title = "q = " + m_family.grid() + ", T = " + std::to_string(m_family.temperature());
        for (const RunFamily::Member& member : members) {
            const std::string label = plot::runLabel(member.parameters.q, member.parameters.T);
            runs.family.push_back({label, plot::familyColour(plot::familyPosition(member.parameters.q, scale)),
                                   true, member.parameters.q, member.trajectory, {}});
        }
        runs.scale = scale;
    }
    m_view.setRunCurves(std::move(runs));
}
