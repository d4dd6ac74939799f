#include "Midi/MidiCallbackTargets.h"

#include <condition_variable>
#include <map>
#include <mutex>

namespace KX {

namespace {

struct Target
{
    bool listed = true;
    int32_t pins = 0;
    int32_t removers = 0; // Remove calls waiting for the pins to go
};

struct Registry
{
    std::mutex lock;
    std::condition_variable unpinned;
    std::map<const void*, Target> targets;
};

// Made on first use and kept to the end of the process: callbacks may still
// come while static objects are destroyed.
Registry& TheRegistry()
{
    static Registry* const registry = new Registry();
    return *registry;
}

// The innermost pin that a callback under way on this thread holds; each pin
// links to the one it was taken inside. A plain pointer on purpose: with the
// toolchain's emulated thread storage, a thread's variables are freed before
// the destructors of its thread_local objects run, so a thread_local container
// would free its buffer through memory that is already gone as the thread ends
// (every MIDI callback thread and every worker that took a pin).
thread_local MidiCallbackTargets::Pin* tInnermostPin = nullptr;

} // namespace

int32_t MidiCallbackTargets::PinnedHere(const void* target)
{
    int32_t count = 0;
    for (const Pin* pin = tInnermostPin; pin; pin = pin->mOuter)
        if (pin->mTarget == target)
            ++count;
    return count;
}

void MidiCallbackTargets::Add(const void* target)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    registry.targets[target] = Target();
}

void MidiCallbackTargets::Remove(const void* target)
{
    Registry& registry = TheRegistry();
    std::unique_lock<std::mutex> guard(registry.lock);
    const auto found = registry.targets.find(target);
    if (found == registry.targets.end())
        return;
    found->second.listed = false;
    // Only this function erases an entry, so `found` stays valid meanwhile.
    const int32_t own = PinnedHere(target);
    ++found->second.removers;
    registry.unpinned.wait(guard, [&] { return found->second.pins <= own; });
    --found->second.removers;
    // With a callback of this very thread under way, the unlisted entry stays
    // until the target's address is listed again.
    if (own == 0)
        registry.targets.erase(found);
}

bool MidiCallbackTargets::IsListed(const void* target)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    const auto found = registry.targets.find(target);
    return found != registry.targets.end() && found->second.listed;
}

bool MidiCallbackTargets::IsWaitingForCallbacks(const void* target)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    const auto found = registry.targets.find(target);
    return found != registry.targets.end() && found->second.removers > 0;
}

int32_t MidiCallbackTargets::GetPinCount(const void* target)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    const auto found = registry.targets.find(target);
    return found == registry.targets.end() ? 0 : found->second.pins;
}

MidiCallbackTargets::Pin::Pin(const void* target) : mTarget(nullptr)
{
    if (!target)
        return;
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    const auto found = registry.targets.find(target);
    if (found == registry.targets.end() || !found->second.listed)
        return;
    ++found->second.pins;
    mTarget = target;
    mOuter = tInnermostPin;
    tInnermostPin = this;
}

MidiCallbackTargets::Pin::~Pin()
{
    if (!mTarget)
        return;
    // Pins live on their callback's stack, so this is the innermost one; the
    // walk keeps the list whole should one ever end out of order.
    for (Pin** link = &tInnermostPin; *link; link = &(*link)->mOuter) {
        if (*link == this) {
            *link = mOuter;
            break;
        }
    }
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.lock);
    const auto found = registry.targets.find(mTarget);
    if (found == registry.targets.end())
        return;
    --found->second.pins;
    if (!found->second.listed)
        registry.unpinned.notify_all();
}

} // namespace KX
