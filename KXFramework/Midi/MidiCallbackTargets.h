// KX::MidiCallbackTargets: the MIDI components that the multimedia system's
// callbacks may still reach.
//
// The system calls a component back with a plain pointer (the instance value
// given when a port opened), on threads of its own, and a callback can already
// be under way when the port closes and the component goes. So a callback
// first pins its component here, and only a component that is still listed
// can be pinned; a component that is going away leaves the list and then
// waits until no callback holds it pinned. A late callback whose component has
// gone finds nothing and returns without touching it.
//
// Contract:
// - Add lists a target (a component, by its address); Remove unlists it and
//   returns once no callback of another thread holds it pinned (a callback
//   under way on the removing thread itself is not waited for).
// - A Pin holds its target for its own lifetime when the target was listed;
//   it converts to false, and holds nothing, when it was not.
// - A thread's pins are listed through the Pin objects themselves, headed by a
//   plain thread-local pointer: nothing of a thread's own is left to free when
//   the thread ends.
// - One process-wide lock guards the list. It is held only to look a target
//   up and to count pins, never while a callback runs, so callbacks may take
//   any other lock.
#pragma once

#include <cstdint>

namespace KX {

class MidiCallbackTargets
{
public:
    static void Add(const void* target);
    static void Remove(const void* target);

    // Whether the target is listed, whether a Remove waits for its callbacks,
    // and how many callbacks hold it (for tests).
    static bool IsListed(const void* target);
    static bool IsWaitingForCallbacks(const void* target);
    static int32_t GetPinCount(const void* target);

    class Pin
    {
    public:
        explicit Pin(const void* target);
        ~Pin();
        Pin(const Pin&) = delete;
        Pin& operator=(const Pin&) = delete;

        explicit operator bool() const { return mTarget != nullptr; }

    private:
        friend class MidiCallbackTargets;

        const void* mTarget;
        // The pin that a callback under way on this thread held before this
        // one: the thread's pins form a list through their own objects (see
        // the .cpp for why no thread-local container holds them).
        Pin* mOuter = nullptr;
    };

private:
    static int32_t PinnedHere(const void* target);
};

} // namespace KX
