#include "System/Event.h"

namespace KX {

Event::Event(bool autoReset) : mSignal(autoReset)
{
}

Event::~Event() = default;

bool Event::Set()
{
    return mSignal.Set() != FALSE;
}

bool Event::Reset()
{
    return mSignal.Reset() != FALSE;
}

uint32_t Event::Wait(uint32_t milliseconds)
{
    return mSignal.Wait(milliseconds);
}

} // namespace KX
