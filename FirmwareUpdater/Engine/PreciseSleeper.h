// LPreciseSleeper: waits until a deadline a few milliseconds away, to within
// tens of microseconds, without keeping a processor busy for the wait.
//
// The system's waits are coarse and late by varying amounts: a sleep asked
// for 2.5 ms may last 2.6 ms or 3.5 ms, by system, load and wait. So the
// sleeper sleeps until a safety margin before the deadline and yields the
// processor (spinning) for the rest. The margin is what the wait in use has
// been measured to overshoot (about its 90th percentile, learnt from every
// sleep), so the spin is short and the deadline is rarely passed.
//
// The sleeper tries each wait the system offers during its first sleeps and
// then keeps the one that overshoots least:
// - a waitable timer (a high-resolution one where the system has it), due a
//   relative time in 100 ns units;
// - the thread delay of the native layer, in the same units;
// - Sleep, in whole milliseconds (timeBeginPeriod(1) makes it finer on
//   Windows; the application sets it while it runs).
//
// Contract:
// - Now is a monotonic clock in microseconds (the performance counter).
// - SleepUntil returns once Now has reached the deadline, at once when it
//   has already; never early.
// - One thread at a time: the engine's worker paces its messages with it.
#pragma once

#include <cstdint>

class LPreciseSleeper
{
public:
    LPreciseSleeper();
    ~LPreciseSleeper();
    LPreciseSleeper(const LPreciseSleeper&) = delete;
    LPreciseSleeper& operator=(const LPreciseSleeper&) = delete;

    int64_t Now() const;
    void SleepUntil(int64_t deadline);

    // The waits, in the order they are tried.
    enum Method { WaitableTimer, NativeDelay, PlainSleep, MethodCount };

    // The wait kept after the trials (MethodCount while still trying), and what
    // a wait is currently expected to overshoot, in microseconds: for the
    // benchmark's report.
    Method GetChosenMethod() const { return mChosen; }
    int64_t GetMargin(Method method) const { return mMethods[method].margin; }
    static const char* MethodName(Method method);

private:
    struct MethodState
    {
        bool available = false;
        int trials = 0;
        int64_t trialTotal = 0; // the overshoots on trial, summed
        int64_t margin = 0;     // expected overshoot, microseconds
    };

    // The part of a sleep of `microseconds` that the method can sleep.
    static int64_t Usable(Method method, int64_t microseconds);
    // Sleeps about `microseconds` with the method; false when it cannot.
    bool Sleep(Method method, int64_t microseconds);
    // The method for the next sleep: each in turn during the trials, then the best.
    Method Next();
    // Takes the overshoot of one sleep into the method's margin.
    void Learn(Method method, int64_t overshoot);

    int64_t mTicksPerSecond = 1;
    void* mTimer = nullptr;
    void* mDelay = nullptr; // the native delay function
    MethodState mMethods[MethodCount];
    Method mChosen = MethodCount;
    int mRound = 0;  // the next wait on trial, in turn
    int mProbes = 0; // pauses whose margin left no room for a sleep
};
