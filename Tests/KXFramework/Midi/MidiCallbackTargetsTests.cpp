// The system's callbacks and the components they reach: a callback under way
// keeps its component from going, and a callback whose component has gone is
// dropped.
#include "MidiTestSupport.h"

#include "Midi/MidiCallbackTargets.h"

#include <atomic>

namespace MidiTest {
namespace {

// Runs `work` on a thread of its own.
class Runner
{
public:
    explicit Runner(std::function<void()> work) : mWork(std::move(work))
    {
        mThread = CreateThread(nullptr, 0, &Runner::Main, this, 0, nullptr);
    }
    ~Runner()
    {
        Join();
        CloseHandle(mThread);
    }
    bool Ended() { return WaitForSingleObject(mThread, 0) == WAIT_OBJECT_0; }
    bool Join() { return WaitForSingleObject(mThread, kGenerousMs) == WAIT_OBJECT_0; }

private:
    static DWORD WINAPI Main(void* self)
    {
        static_cast<Runner*>(self)->mWork();
        return 0;
    }

    std::function<void()> mWork;
    HANDLE mThread = nullptr;
};

// Waits (yielding, within a generous bound) until the condition holds.
bool Eventually(const std::function<bool()>& condition)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > static_cast<DWORD>(kGenerousMs))
            return false;
        SwitchToThread();
    }
    return true;
}

TEST(MidiCallbackTargets, OnlyListedTargetsArePinned)
{
    int target = 0;
    EXPECT_FALSE(MidiCallbackTargets::Pin(&target));
    MidiCallbackTargets::Add(&target);
    EXPECT_TRUE(MidiCallbackTargets::IsListed(&target));
    {
        MidiCallbackTargets::Pin pin(&target);
        EXPECT_TRUE(pin);
        EXPECT_EQ(1, MidiCallbackTargets::GetPinCount(&target));
    }
    EXPECT_EQ(0, MidiCallbackTargets::GetPinCount(&target));
    MidiCallbackTargets::Remove(&target);
    EXPECT_FALSE(MidiCallbackTargets::IsListed(&target));
    EXPECT_FALSE(MidiCallbackTargets::Pin(&target));
    EXPECT_FALSE(MidiCallbackTargets::Pin(nullptr));
}

TEST(MidiCallbackTargets, RemovingWaitsForTheCallbacksOfOtherThreads)
{
    int target = 0;
    MidiCallbackTargets::Add(&target);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    Runner callback([&] {
        MidiCallbackTargets::Pin pin(&target);
        WaitForSingleObject(release, kGenerousMs);
    });
    ASSERT_TRUE(Eventually([&] { return MidiCallbackTargets::GetPinCount(&target) == 1; }));

    Runner remover([&] { MidiCallbackTargets::Remove(&target); });
    ASSERT_TRUE(Eventually([&] { return MidiCallbackTargets::IsWaitingForCallbacks(&target); }));
    EXPECT_FALSE(MidiCallbackTargets::IsListed(&target));
    EXPECT_FALSE(MidiCallbackTargets::Pin(&target)) << "no new callback once it is going";
    EXPECT_FALSE(remover.Ended()) << "a callback still holds it";
    SetEvent(release);
    EXPECT_TRUE(remover.Join());
    EXPECT_TRUE(callback.Join());
    CloseHandle(release);
}

TEST(MidiCallbackTargets, ACallbackMayRemoveItsOwnTarget)
{
    int target = 0;
    MidiCallbackTargets::Add(&target);
    {
        MidiCallbackTargets::Pin pin(&target);
        MidiCallbackTargets::Remove(&target); // returns: it does not wait for itself
        EXPECT_FALSE(MidiCallbackTargets::IsListed(&target));
    }
    EXPECT_FALSE(MidiCallbackTargets::Pin(&target));
    MidiCallbackTargets::Add(&target); // the address may be listed again
    EXPECT_TRUE(MidiCallbackTargets::Pin(&target));
    MidiCallbackTargets::Remove(&target);
}

// Callbacks nest (a callback of one component may reach another, or its own
// again), and a thread ends once its callbacks have: each pin of the thread
// counts as its own, and the thread leaves nothing of them behind.
TEST(MidiCallbackTargets, NestedPinsOfOneThreadAreAllItsOwn)
{
    int outer = 0;
    int inner = 0;
    MidiCallbackTargets::Add(&outer);
    MidiCallbackTargets::Add(&inner);
    std::atomic<bool> removed{false};
    std::atomic<int32_t> innerPinsAfterwards{-1};
    Runner callbacks([&] {
        MidiCallbackTargets::Pin first(&outer);
        {
            MidiCallbackTargets::Pin second(&inner);
            MidiCallbackTargets::Pin third(&outer);
            // Both pins of `outer` are this thread's: nothing to wait for.
            MidiCallbackTargets::Remove(&outer);
            removed = true;
        }
        innerPinsAfterwards = MidiCallbackTargets::GetPinCount(&inner);
    });
    ASSERT_TRUE(callbacks.Join()) << "a removal waited for its own thread's pins";
    EXPECT_TRUE(removed.load());
    EXPECT_EQ(0, innerPinsAfterwards.load());
    EXPECT_FALSE(MidiCallbackTargets::Pin(&outer));
    EXPECT_TRUE(MidiCallbackTargets::Pin(&inner));
    MidiCallbackTargets::Remove(&inner);
}

LMidiComm* AsComponent(const RCPtr<LMidiCommInterface>& comm)
{
    return dynamic_cast<LMidiComm*>(comm.Get());
}

TEST(MidiComponentCallbacks, ALateCallbackOfAComponentThatHasGoneIsDropped)
{
    RCPtr<LMidiCommInterface> comm;
    LMidiCommInterface::Create(comm);
    LMidiComm* address = AsComponent(comm);
    ASSERT_NE(nullptr, address);
    EXPECT_TRUE(MidiCallbackTargets::IsListed(address));
    comm = nullptr;
    EXPECT_FALSE(MidiCallbackTargets::IsListed(address));
    // As the system would deliver them after the close: nothing is touched.
    LMidiComm::MidiInProc(nullptr, MIM_DATA, reinterpret_cast<DWORD_PTR>(address), 0x643C90, 0);
    LMidiComm::MidiOutProc(nullptr, MOM_DONE, reinterpret_cast<DWORD_PTR>(address), 0, 0);
}

TEST(MidiComponentCallbacks, AComponentGoesOnlyOnceTheCallbackUnderWayHasReturned)
{
    RCPtr<LMidiCommInterface> comm;
    LMidiCommInterface::Create(comm);
    LMidiComm* address = AsComponent(comm);
    ASSERT_NE(nullptr, address);

    // The component's lock, held elsewhere, stops a callback inside the component.
    HANDLE locked = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE unlock = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    Runner holder([&] {
        MutexLock lock(address->GetLock());
        SetEvent(locked);
        WaitForSingleObject(unlock, kGenerousMs);
    });
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(locked, kGenerousMs));
    std::atomic<bool> callbackReturned{false};
    Runner callback([&] {
        LMidiComm::MidiInProc(nullptr, MIM_DATA, reinterpret_cast<DWORD_PTR>(address), 0x643C90, 0);
        callbackReturned = true;
    });
    ASSERT_TRUE(Eventually([&] { return MidiCallbackTargets::GetPinCount(address) == 1; }));

    // The last reference goes while the callback waits for the lock.
    Runner releaser([&] { comm = nullptr; });
    ASSERT_TRUE(Eventually([&] { return MidiCallbackTargets::IsWaitingForCallbacks(address); }));
    EXPECT_FALSE(releaser.Ended()) << "destroyed under a running callback";
    EXPECT_FALSE(callbackReturned.load());
    SetEvent(unlock);
    EXPECT_TRUE(releaser.Join());
    EXPECT_TRUE(callback.Join());
    EXPECT_TRUE(callbackReturned.load());
    EXPECT_TRUE(holder.Join());
    CloseHandle(locked);
    CloseHandle(unlock);
}

} // namespace
} // namespace MidiTest
