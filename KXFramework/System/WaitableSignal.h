// KX::WaitableSignal: the system event and waiter count shared by KX::Event and
// KX::LEvent. Internal to the System folder; use those classes instead.
//
// Every wait raises the waiter count before it blocks and lowers it after the
// wait returns, so that KX::TrafficLight::HasWaiters can tell whether some
// thread is blocked on (or just testing) the signal. A failed creation leaves a
// null handle; operations then answer what the system answers for it.
#pragma once

#include "KXPlatform.h"

#include <atomic>
#include <cstdint>

namespace KX {

class WaitableSignal
{
public:
    explicit WaitableSignal(bool autoReset);
    ~WaitableSignal();

    WaitableSignal(const WaitableSignal&) = delete;
    WaitableSignal& operator=(const WaitableSignal&) = delete;

    BOOL Set() { return SetEvent(mHandle); }
    BOOL Reset() { return ResetEvent(mHandle); }
    // WAIT_OBJECT_0, WAIT_TIMEOUT (258) or WAIT_FAILED, unchanged.
    DWORD Wait(DWORD milliseconds);
    bool HasWaiters() const { return mWaiters.fetch_add(0) != 0; }
    HANDLE GetHandle() const { return mHandle; }

private:
    HANDLE mHandle;
    mutable std::atomic<int32_t> mWaiters{0};
};

} // namespace KX
