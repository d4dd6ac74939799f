#include "System/EventPool.h"

#include <new>

namespace KX {

EventPool::EventPool(uint32_t count) : mHandles(new (std::nothrow) HANDLE[count == 0 ? 1 : count])
{
    if (!mHandles)
        return;
    mEvents.SetCount(static_cast<int32_t>(count));
    for (int32_t i = 0; i < static_cast<int32_t>(count); ++i) {
        LEvent::Create(mEvents.GetAt(i));
        mHandles[i] = mEvents.GetAt(i)->GetHandle();
    }
}

EventPool::~EventPool()
{
    mEvents.SetCount(0);
    delete[] mHandles;
}

int32_t EventPool::WaitAny(uint32_t milliseconds)
{
    const DWORD count = static_cast<DWORD>(mEvents.GetCount());
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS)
        return -1;
    mWaiters.fetch_add(1);
    const DWORD result = WaitForMultipleObjects(count, mHandles, FALSE, milliseconds);
    mWaiters.fetch_sub(1);
    if (result >= WAIT_OBJECT_0 + count)
        return -1; // time-out, failure (or an abandoned wait, which events never give)
    return static_cast<int32_t>(result - WAIT_OBJECT_0);
}

} // namespace KX
