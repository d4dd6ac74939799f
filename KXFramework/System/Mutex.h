// KX::Mutex and KX::MutexLock: the framework's lock, a Win32 critical section.
//
// Contract:
// - Re-entrant: the thread that holds the lock may take it again; the lock is
//   free once every take has been matched by a release.
// - Taken and released through a KX::MutexLock on the stack. A function that
//   must give the lock up before its end calls Enter and Leave itself, both in
//   that same function and on the same thread.
// - Creation cannot fail in a way that is reported; the wrapper throws nothing.
#pragma once

#include "KXPlatform.h"

namespace KX {

class Mutex
{
public:
    Mutex();
    virtual ~Mutex();

    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void Enter();
    // Takes the lock when that is possible without blocking.
    bool TryEnter();
    void Leave();

private:
    CRITICAL_SECTION mSection;
};

// Holds a KX::Mutex for the lifetime of the scope. Ends on the thread that made it.
class MutexLock
{
public:
    explicit MutexLock(Mutex& mutex) : mMutex(&mutex) { mMutex->Enter(); }
    ~MutexLock() { mMutex->Leave(); }

    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

private:
    Mutex* mMutex;
};

// Holds the mutex, when there is one, for the guard's scope: for containers
// whose lock is optional.
class OptionalMutexLock
{
public:
    explicit OptionalMutexLock(Mutex* mutex) : mMutex(mutex)
    {
        if (mMutex)
            mMutex->Enter();
    }
    ~OptionalMutexLock()
    {
        if (mMutex)
            mMutex->Leave();
    }

    OptionalMutexLock(const OptionalMutexLock&) = delete;
    OptionalMutexLock& operator=(const OptionalMutexLock&) = delete;

private:
    Mutex* mMutex;
};

} // namespace KX
