#include "Engine/PreciseSleeper.h"

#include "KXPlatform.h"

#include <algorithm>

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace {

// Sleeps each wait takes on trial before the best is kept.
const int kTrialsPerMethod = 6;
// The margin of a wait not yet tried, and the bounds of every margin (µs).
const int64_t kUntriedMargin = 1000;
const int64_t kSmallestMargin = 20;
// A busy system's waits can be milliseconds late: rather than spin for most
// of a pause then, the pause ends late. The engine's pauses are 3 ms.
const int64_t kLargestMargin = 750;
// The margin follows the overshoots' 90th percentile: it rises nine steps for
// an overshoot above it and falls one step for one below, so it settles where
// one sleep in ten overshoots it, and rises quickly when the system gets busy.
const int64_t kMarginStep = 5;
// A shorter sleep than this is not worth the wait's own cost: the rest is spun.
const int64_t kShortestSleep = 100;
// Sleep counts in whole milliseconds: on average half of one is spun as well.
const int64_t kPlainSleepGranularityCost = 500;
// When a wait's margin leaves no room for it, one pause in this many sleeps
// half its time anyway, so that the margin can come down again.
const int kProbeEvery = 16;

using NativeDelayFunction = LONG(WINAPI*)(BOOLEAN alertable, PLARGE_INTEGER interval);

} // namespace

LPreciseSleeper::LPreciseSleeper()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    mTicksPerSecond = frequency.QuadPart > 0 ? frequency.QuadPart : 1;

    HANDLE timer = CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS);
    if (!timer) // systems before the high-resolution timers
        timer = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
    mTimer = timer;
    mMethods[WaitableTimer].available = timer != nullptr;

    mDelay = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtDelayExecution"));
    mMethods[NativeDelay].available = mDelay != nullptr;
    mMethods[PlainSleep].available = true;
    for (MethodState& method : mMethods)
        method.margin = kUntriedMargin;
}

LPreciseSleeper::~LPreciseSleeper()
{
    if (mTimer)
        CloseHandle(static_cast<HANDLE>(mTimer));
}

const char* LPreciseSleeper::MethodName(Method method)
{
    switch (method) {
    case WaitableTimer: return "waitable timer";
    case NativeDelay: return "native delay";
    case PlainSleep: return "Sleep";
    case MethodCount: break;
    }
    return "(still trying)";
}

int64_t LPreciseSleeper::Now() const
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    const int64_t seconds = counter.QuadPart / mTicksPerSecond;
    const int64_t rest = counter.QuadPart % mTicksPerSecond;
    return seconds * 1000000 + rest * 1000000 / mTicksPerSecond;
}

void LPreciseSleeper::SleepUntil(int64_t deadline)
{
    for (;;) {
        const int64_t left = deadline - Now();
        if (left <= 0)
            return;
        const Method method = Next();
        int64_t sleep = Usable(method, left - mMethods[method].margin);
        if (sleep < kShortestSleep) {
            // The margin leaves no room: the wait has overshot by about the
            // whole pause. A wait on trial, and now and then the wait kept,
            // still sleeps half of what is left, so that its margin goes on
            // learning; otherwise the pause is spun.
            const bool probe = mMethods[method].trials < kTrialsPerMethod || ++mProbes % kProbeEvery == 0;
            if (probe)
                sleep = Usable(method, left / 2);
            if (sleep < kShortestSleep)
                break;
        }
        const int64_t before = Now();
        if (!Sleep(method, sleep)) {
            mMethods[method].available = false;
            continue;
        }
        Learn(method, Now() - before - sleep);
    }
    // The last stretch, spun: handing the processor to the scheduler here
    // could cost a whole time slice on a busy system.
    while (Now() < deadline)
        YieldProcessor();
}

int64_t LPreciseSleeper::Usable(Method method, int64_t microseconds)
{
    // Sleep counts in whole milliseconds.
    return method == PlainSleep ? microseconds - microseconds % 1000 : microseconds;
}

bool LPreciseSleeper::Sleep(Method method, int64_t microseconds)
{
    LARGE_INTEGER due;
    due.QuadPart = -microseconds * 10; // relative, in 100 ns units
    switch (method) {
    case WaitableTimer:
        return SetWaitableTimer(static_cast<HANDLE>(mTimer), &due, 0, nullptr, nullptr, FALSE) &&
               WaitForSingleObject(static_cast<HANDLE>(mTimer), INFINITE) == WAIT_OBJECT_0;
    case NativeDelay:
        return reinterpret_cast<NativeDelayFunction>(mDelay)(FALSE, &due) >= 0;
    case PlainSleep:
        ::Sleep(static_cast<DWORD>(microseconds / 1000));
        return true;
    case MethodCount:
        break;
    }
    return false;
}

LPreciseSleeper::Method LPreciseSleeper::Next()
{
    if (mChosen != MethodCount && mMethods[mChosen].available)
        return mChosen;
    // Trials, in turn, of every wait that has not had its share.
    for (int i = 0; i < MethodCount; ++i) {
        const Method method = static_cast<Method>((mRound + i) % MethodCount);
        if (mMethods[method].available && mMethods[method].trials < kTrialsPerMethod) {
            mRound = method + 1;
            return method;
        }
    }
    // All tried: keep the one that overshot least on average, Sleep's whole
    // milliseconds counted against it.
    Method best = PlainSleep;
    int64_t bestCost = -1;
    for (int i = 0; i < MethodCount; ++i) {
        const MethodState& state = mMethods[i];
        if (!state.available || state.trials == 0)
            continue;
        const int64_t cost = state.trialTotal / state.trials + (i == PlainSleep ? kPlainSleepGranularityCost : 0);
        if (bestCost < 0 || cost < bestCost) {
            best = static_cast<Method>(i);
            bestCost = cost;
        }
    }
    mChosen = best;
    return mChosen;
}

void LPreciseSleeper::Learn(Method method, int64_t overshoot)
{
    MethodState& state = mMethods[method];
    if (state.trials < kTrialsPerMethod) {
        // On trial: the worst overshoot seen is the margin to start from.
        state.margin = state.trials == 0 ? overshoot : std::max(state.margin, overshoot);
        state.trialTotal += overshoot;
        ++state.trials;
    } else {
        state.margin += overshoot > state.margin ? 9 * kMarginStep : -kMarginStep;
    }
    state.margin = std::min(kLargestMargin, std::max(kSmallestMargin, state.margin));
}
