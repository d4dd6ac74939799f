#include "System/Thread.h"

namespace KX {

Thread::Thread(Procedure procedure, void* parameter)
{
    mHandle = CreateThread(nullptr, 0, procedure, parameter, CREATE_SUSPENDED, &mThreadId);
}

Thread::~Thread()
{
    if (mHandle)
        CloseHandle(mHandle);
}

uint32_t Thread::Resume()
{
    return ResumeThread(mHandle);
}

bool Thread::HasExited() const
{
    return WaitForSingleObject(mHandle, 0) == WAIT_OBJECT_0;
}

bool Thread::Wait(uint32_t milliseconds) const
{
    return WaitForSingleObject(mHandle, milliseconds) == WAIT_OBJECT_0;
}

bool Thread::SetPriority(int32_t priority)
{
    return SetThreadPriority(mHandle, priority) != FALSE;
}

bool Thread::SetPriorityBoost(bool enable)
{
    return SetThreadPriorityBoost(mHandle, enable ? FALSE : TRUE) != FALSE;
}

} // namespace KX
