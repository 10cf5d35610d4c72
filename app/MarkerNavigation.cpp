#include "MarkerNavigation.h"

#include "MasterViewController.h"
#include "RealSlider.h"
#include "SampleNavigator.h"
#include "TimeSeriesChart.h"

MarkerNavigation::MarkerNavigation(MasterViewController& controller, RealSlider& slider,
                                   const TimeSeriesChart& chart, QObject* parent)
    : QObject(parent)
    , m_controller(controller)
    , m_slider(slider)
{
    connect(&chart, &TimeSeriesChart::sampleRequested, this, &MarkerNavigation::goToSample);
}

void MarkerNavigation::scrubTo(double percent)
{
    m_slider.setDoubleValue(percent);
    m_controller.sliderMoved();
}

void MarkerNavigation::scrubBy(double deltaPercent)
{
    scrubTo(m_slider.doubleValue() + deltaPercent);
}

void MarkerNavigation::goToSample(std::int32_t index)
{
    const cosmophase::SampleNavigator samples(m_controller.timeArray());
    const std::int32_t held = samples.step(index, 0);
    m_slider.setDoubleValue(samples.percentOf(held));
    m_controller.moveMarkerTo(held);
}

void MarkerNavigation::stepSamples(std::int32_t delta)
{
    goToSample(cosmophase::SampleNavigator(m_controller.timeArray()).step(m_controller.simIndex(), delta));
}
