#include "System/WaitableSignal.h"

namespace KX {

WaitableSignal::WaitableSignal(bool autoReset) : mHandle(CreateEventW(nullptr, autoReset ? FALSE : TRUE, FALSE, nullptr))
{
}

WaitableSignal::~WaitableSignal()
{
    if (mHandle)
        CloseHandle(mHandle);
}

DWORD WaitableSignal::Wait(DWORD milliseconds)
{
    mWaiters.fetch_add(1);
    const DWORD result = WaitForSingleObject(mHandle, milliseconds);
    mWaiters.fetch_sub(1);
    return result;
}

} // namespace KX
