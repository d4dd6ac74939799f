#include "System/Mutex.h"

namespace KX {

Mutex::Mutex()
{
    InitializeCriticalSection(&mSection);
}

Mutex::~Mutex()
{
    DeleteCriticalSection(&mSection);
}

void Mutex::Enter()
{
    EnterCriticalSection(&mSection);
}

bool Mutex::TryEnter()
{
    return TryEnterCriticalSection(&mSection) != FALSE;
}

void Mutex::Leave()
{
    LeaveCriticalSection(&mSection);
}

} // namespace KX
