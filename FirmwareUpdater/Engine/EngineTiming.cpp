#include "Engine/EngineTiming.h"

KX::RCPtr<LEngineTiming> LEngineTiming::CreateSystemTiming()
{
    return KX::RCPtr<LEngineTiming>(new LEngineTiming);
}

bool LEngineTiming::WaitForSignal(KX::TrafficLight& signal, uint32_t milliseconds)
{
    signal.Wait(milliseconds);
    return signal.IsGreen();
}

int64_t LEngineTiming::Now()
{
    return mSleeper.Now();
}

int64_t LEngineTiming::Before(int64_t microseconds)
{
    return Now() - microseconds;
}

void LEngineTiming::SleepUntil(int64_t deadline)
{
    mSleeper.SleepUntil(deadline);
}
