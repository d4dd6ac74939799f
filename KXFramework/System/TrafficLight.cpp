#include "System/TrafficLight.h"

namespace KX {

TrafficLight::TrafficLight() : Event(false)
{
}

BOOL TrafficLight::SetGreen()
{
    return Signal().Set();
}

BOOL TrafficLight::SetRed()
{
    return Signal().Reset();
}

bool TrafficLight::IsGreen()
{
    // A wait of 0 on a manual-reset event only looks: the state stays as it is.
    return Signal().Wait(0) != TimedOut;
}

bool TrafficLight::HasWaiters() const
{
    return Signal().HasWaiters();
}

} // namespace KX
