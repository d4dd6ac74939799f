#include "System/LEvent.h"

namespace KX {

void LEvent::Create(RCPtr<LEvent>& event)
{
    event = new LEvent();
}

LEvent::LEvent() : mSignal(true)
{
}

LEvent::~LEvent() = default;

bool LEvent::Set()
{
    return mSignal.Set() != FALSE;
}

bool LEvent::Reset()
{
    return mSignal.Reset() != FALSE;
}

uint32_t LEvent::Wait(uint32_t milliseconds)
{
    return mSignal.Wait(milliseconds);
}

HANDLE LEvent::GetHandle() const
{
    return mSignal.GetHandle();
}

} // namespace KX
