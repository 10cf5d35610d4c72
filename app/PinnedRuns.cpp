#include "PinnedRuns.h"

#include "FamilyRuns.h"
#include "RunCurves.h"

#include <algorithm>
#include <utility>

QString PinnedRun::label() const
{
    return QString::fromStdString(cosmophase::plot::runLabel(parameters.q, parameters.T));
}

QColor PinnedRuns::paletteColour(std::size_t index)
{
    const cosmophase::plot::Colour c = cosmophase::plot::pinnedRunColour(index);
    return QColor::fromRgbF(c.red, c.green, c.blue);
}

std::shared_ptr<const cosmophase::Curve> PinnedRuns::trajectoryOf(const cosmophase::RunParameters& parameters)
{
    cosmophase::studies::FamilyRun run = cosmophase::studies::computeFamilyRun(parameters);
    return std::make_shared<const cosmophase::Curve>(cosmophase::Curve{std::move(run.z2), std::move(run.w0)});
}

PinnedRuns::PinnedRuns(QObject* parent)
    : QObject(parent)
{
}

bool PinnedRuns::isPinned(const cosmophase::RunParameters& parameters) const
{
    return std::any_of(m_runs.begin(), m_runs.end(),
                       [&parameters](const PinnedRun& run) { return run.parameters == parameters; });
}

bool PinnedRuns::pin(const cosmophase::RunParameters& parameters, std::shared_ptr<const cosmophase::Curve> trajectory)
{
    if (m_runs.size() >= kMaxRuns || isPinned(parameters))
        return false;
    m_runs.push_back({parameters, paletteColour(m_pinned_count++), true, std::move(trajectory)});
    emit changed();
    return true;
}

void PinnedRuns::setShown(std::size_t index, bool shown)
{
    if (index >= m_runs.size() || m_runs[index].shown == shown)
        return;
    m_runs[index].shown = shown;
    emit changed();
}

void PinnedRuns::setColour(std::size_t index, const QColor& colour)
{
    if (index >= m_runs.size() || !colour.isValid() || m_runs[index].colour == colour)
        return;
    m_runs[index].colour = colour;
    emit changed();
}

void PinnedRuns::remove(std::size_t index)
{
    if (index >= m_runs.size())
        return;
    m_removed.push_back({index, std::move(m_runs[index])});
    m_runs.erase(m_runs.begin() + static_cast<std::ptrdiff_t>(index));
    emit changed();
}

bool PinnedRuns::undoRemove()
{
    if (m_removed.empty() || m_runs.size() >= kMaxRuns)
        return false;
    Removed last = std::move(m_removed.back());
    m_removed.pop_back();
    // Pinned again since it was removed: the one in the list stays.
    if (isPinned(last.run.parameters))
        return undoRemove();
    const std::size_t at = std::min(last.index, m_runs.size());
    m_runs.insert(m_runs.begin() + static_cast<std::ptrdiff_t>(at), std::move(last.run));
    emit changed();
    return true;
}

void PinnedRuns::replaceAll(std::vector<PinnedRun> runs)
{
    m_runs = std::move(runs);
    m_removed.clear();
    m_pinned_count = m_runs.size();
    emit changed();
}
