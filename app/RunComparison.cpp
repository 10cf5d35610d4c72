#include "RunComparison.h"

#include "ReferenceComputation.h"
#include "ReferenceReadouts.h"
#include "TimeSeries.h"
#include "TimeSeriesChart.h"

RunComparison::RunComparison(TimeSeriesChart& chart, QFormLayout& readouts, QObject* parent)
    : QObject(parent)
    , m_chart(chart)
    , m_computation(new ReferenceComputation(this))
    , m_readouts(new ReferenceReadouts(&readouts, this))
{
    connect(m_computation, &ReferenceComputation::started, m_readouts, &ReferenceReadouts::showComputing);
    connect(m_computation, &ReferenceComputation::ready, m_readouts, &ReferenceReadouts::setResult);
    connect(m_computation, &ReferenceComputation::ready, this, &RunComparison::referenceReady);
}

void RunComparison::setRun(const cosmophase::Simulation& run, bool deferred)
{
    // Before anything else: the old reference, drawn against a new run's
    // axes, would be wrong, and its dashes, thousands of plot heights long,
    // took seconds to paint.
    if (m_chart.hasReference())
        m_chart.setReference({});
    m_computation->setRun(run);
    if (!deferred)
        m_computation->compute();
}

void RunComparison::refillChart(const cosmophase::SampleColumns& samples)
{
    m_chart.setSeries(cosmophase::timeSeriesOf(samples));
    m_chart_run = m_computation->runNumber();
    if (m_computation->result())
        m_chart.setReference(m_computation->result()->reference);
    else
        m_computation->compute();
}

void RunComparison::referenceReady(const std::shared_ptr<const ReferenceResult>& result)
{
    // Until the chart shows this run's curves, refillChart() brings it.
    if (m_chart_run == m_computation->runNumber())
        m_chart.setReference(result->reference);
}
