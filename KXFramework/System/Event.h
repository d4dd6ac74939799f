// KX::Event: an unnamed Win32 event, auto-reset or manual-reset.
//
// Contract:
// - Created unsignalled. A creation failure is not reported: the handle is
//   null and every operation then fails as the system reports (Set and Reset
//   answer false, Wait answers 0xFFFFFFFF).
// - Wait answers the system's result unchanged: 0 when signalled,
//   KX::Event::TimedOut when the time ran out, 0xFFFFFFFF when the wait failed.
// - Any thread may call any operation; the event must outlive its waiters.
#pragma once

#include "System/WaitableSignal.h"

#include <cstdint>

namespace KX {

class Event
{
public:
    static constexpr uint32_t Infinite = 0xFFFFFFFF;
    static constexpr uint32_t TimedOut = 258;

    explicit Event(bool autoReset);
    virtual ~Event();

    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    bool Set();
    bool Reset();
    uint32_t Wait(uint32_t milliseconds);

protected:
    WaitableSignal& Signal() { return mSignal; }
    const WaitableSignal& Signal() const { return mSignal; }

private:
    WaitableSignal mSignal;
};

} // namespace KX
