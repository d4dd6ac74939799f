#include "Engine/EngineTiming.h"

#include "KXPlatform.h"

namespace {

// Below this much time left, SleepUntil yields instead of sleeping: the
// system's sleep is only good to about a millisecond, and the data messages
// are paced in steps of a few milliseconds.
const int64_t kYieldBelowMicroseconds = 1500;

} // namespace

KX::RCPtr<LEngineTiming> LEngineTiming::CreateSystemTiming()
{
    return KX::RCPtr<LEngineTiming>(new LEngineTiming);
}

LEngineTiming::LEngineTiming()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    mTicksPerSecond = frequency.QuadPart > 0 ? frequency.QuadPart : 1;
}

bool LEngineTiming::WaitForSignal(KX::TrafficLight& signal, uint32_t milliseconds)
{
    signal.Wait(milliseconds);
    return signal.IsGreen();
}

int64_t LEngineTiming::Now()
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    const int64_t seconds = counter.QuadPart / mTicksPerSecond;
    const int64_t rest = counter.QuadPart % mTicksPerSecond;
    return seconds * 1000000 + rest * 1000000 / mTicksPerSecond;
}

void LEngineTiming::SleepUntil(int64_t deadline)
{
    for (;;) {
        const int64_t left = deadline - Now();
        if (left <= 0)
            return;
        if (left >= kYieldBelowMicroseconds)
            Sleep(static_cast<DWORD>((left - 1000) / 1000));
        else
            SwitchToThread();
    }
}
