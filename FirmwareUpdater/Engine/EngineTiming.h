// LEngineTiming: the clock and the waits of the update engine, in one object
// so that a test can stand in for them.
//
// The engine does all its waiting through this object: the waits for the
// device's replies (identity, mode change, handshake, record acknowledgement)
// and the pause that paces the firmware data messages. The system timing
// waits on the signal itself and sleeps on the platform's clock; a test
// timing can record the time limits and pauses asked for and shorten them.
//
// Contract:
// - WaitForSignal waits up to the given time for the light to turn green and
//   answers whether it is green. It may be called on any engine thread.
// - Now is a monotonic clock in microseconds; Before(d) is Now less d
//   microseconds of real time; SleepUntil returns once Now has
//   reached the deadline (at once when it already has), never early. The
//   system timing sleeps precisely without keeping a processor busy for the
//   pause (LPreciseSleeper); SleepUntil is for one thread at a time.
#pragma once

#include "Engine/PreciseSleeper.h"

#include "ObjectBase/RefCountedObject.h"
#include "System/TrafficLight.h"

#include <cstdint>

class LEngineTiming : public virtual KX::LRefCountedObject
{
public:
    // The timing of the running program: real waits on the system clock.
    static KX::RCPtr<LEngineTiming> CreateSystemTiming();

    virtual bool WaitForSignal(KX::TrafficLight& signal, uint32_t milliseconds);
    virtual int64_t Now();
    virtual void SleepUntil(int64_t deadline);
    // Now, less `microseconds` of real time that have passed since an event
    // (a clock that does not follow real time leaves it at Now).
    virtual int64_t Before(int64_t microseconds);

    // The sleeper of the system timing (for the benchmark's report).
    const LPreciseSleeper& GetSleeper() const { return mSleeper; }

protected:
    LEngineTiming() = default;
    ~LEngineTiming() override = default;

private:
    LPreciseSleeper mSleeper;
};
