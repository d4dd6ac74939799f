// The state file shared between stores: write-behind stores (as in the
// winmm.dll) keep the state in memory while they own it; every other store
// still sees every change, and no change is lost when several stores, in
// several threads, change the state at once.
#include "Support/Tavik8Sim/StateFile.h"

#include "Model/StateKeeper.h"
#include "Model/StateStore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

using namespace Tavik8Sim;
using namespace Tavik8SimTest;

namespace {

// One change as the device makes them: a counter, a transcript line and an image byte.
void Count(StateStore& store, const std::string& name)
{
    store.Update([&](DeviceState& s) {
        const int64_t n = ++s.counters[name];
        s.newTranscriptLines.push_back(name + " " + std::to_string(n));
        s.newImageBytes.push_back(static_cast<uint8_t>(name[0]));
        s.changed = true;
    });
}

int64_t Counter(const DeviceState& state, const std::string& name)
{
    const auto found = state.counters.find(name);
    return found == state.counters.end() ? 0 : found->second;
}

size_t Occurrences(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// The keeper that serves this file's write-behind stores, as the winmm.dll's
// serves its own. Never destroyed, as in the DLL.
StateKeeper& Keeper()
{
    static StateKeeper* keeper = new StateKeeper();
    return *keeper;
}

std::shared_ptr<StateStore> KeptWriteBehindStore(const std::wstring& path)
{
    auto store = std::make_shared<StateStore>(path, StateStore::Caching::WriteBehind);
    Keeper().Add(store);
    return store;
}

TEST(StateStore, WriteBehindChangesReachTheFilesWhenFlushed)
{
    TempStateFile file;
    StateStore owner(file.Path(), StateStore::Caching::WriteBehind);
    Count(owner, "a");
    Count(owner, "a");
    EXPECT_EQ(2, Counter(owner.Read(), "a")) << "the owner sees its own changes";
    EXPECT_EQ("", TestSystem::ReadWholeFile(file.Path())) << "nothing written before a flush";

    owner.Flush();
    EXPECT_NE(std::string::npos, TestSystem::ReadWholeFile(file.Path()).find("\ncount.a=2\n"));
    EXPECT_EQ("a 1\na 2\n", TestSystem::ReadWholeFile(file.Path() + L".transcript"));
    EXPECT_EQ("aa", TestSystem::ReadWholeFile(file.Path() + L".image"));

    // Appended, not rewritten; a truncation drops what was pending before it.
    Count(owner, "a");
    owner.Update([](DeviceState& s) {
        s.truncateImage = true;
        s.newImageBytes = {'x'};
        s.changed = true;
    });
    owner.Flush();
    EXPECT_EQ("a 1\na 2\na 3\n", TestSystem::ReadWholeFile(file.Path() + L".transcript"));
    EXPECT_EQ("x", TestSystem::ReadWholeFile(file.Path() + L".image"));
}

TEST(StateStore, AnotherStoreSeesTheOwnersStateAndItsChangesReachTheOwner)
{
    TempStateFile file;
    std::shared_ptr<StateStore> owner = KeptWriteBehindStore(file.Path());
    StateStore tool(file.Path());
    Count(*owner, "a");
    Count(*owner, "a");

    // The owner is asked to give the state up, and does, without a flush being due.
    EXPECT_EQ(2, Counter(tool.Read(), "a"));
    EXPECT_EQ("a 1\na 2\n", tool.ReadTranscript());
    EXPECT_EQ(Bytes({'a', 'a'}), tool.ReadImage());

    Count(tool, "b");
    Count(*owner, "a");
    const DeviceState state = owner->Read();
    EXPECT_EQ(1, Counter(state, "b")) << "the owner took the state back from the file";
    EXPECT_EQ(3, Counter(state, "a"));
    EXPECT_EQ("a 1\na 2\nb 1\na 3\n", tool.ReadTranscript());
}

TEST(StateStore, ChangesFromSeveralStoresAtOnceAreAllKept)
{
    // Two programs' write-behind stores and the tool's, each in a thread of its own.
    TempStateFile file;
    std::shared_ptr<StateStore> first = KeptWriteBehindStore(file.Path());
    std::shared_ptr<StateStore> second = KeptWriteBehindStore(file.Path());
    StateStore tool(file.Path());
    const int kOwnerChanges = 100;
    const int kToolChanges = 30;
    std::atomic<bool> go{false};
    // A pause between changes lets the others in: the state changes hands
    // about every time.
    auto changes = [&](StateStore& store, const char* name, int count) {
        while (!go)
            std::this_thread::yield();
        for (int i = 0; i < count; ++i) {
            Count(store, name);
            Sleep(1);
        }
    };
    std::thread a(changes, std::ref(*first), "a", kOwnerChanges);
    std::thread b(changes, std::ref(*second), "b", kOwnerChanges);
    std::thread c(changes, std::ref(tool), "c", kToolChanges);
    go = true;
    a.join();
    b.join();
    c.join();

    const DeviceState state = tool.Read();
    EXPECT_EQ(kOwnerChanges, Counter(state, "a"));
    EXPECT_EQ(kOwnerChanges, Counter(state, "b"));
    EXPECT_EQ(kToolChanges, Counter(state, "c"));
    const std::string transcript = tool.ReadTranscript();
    EXPECT_EQ(static_cast<size_t>(kOwnerChanges), Occurrences(transcript, "a "));
    EXPECT_EQ(static_cast<size_t>(kOwnerChanges), Occurrences(transcript, "b "));
    EXPECT_EQ(static_cast<size_t>(kToolChanges), Occurrences(transcript, "c "));
    EXPECT_NE(std::string::npos, transcript.find("a 100\n"));
    EXPECT_EQ(static_cast<size_t>(2 * kOwnerChanges + kToolChanges), tool.ReadImage().size());
}

TEST(StateStore, AKeptOwnerWritesItsChangesWithoutBeingAsked)
{
    TempStateFile file;
    std::shared_ptr<StateStore> owner = KeptWriteBehindStore(file.Path());
    Count(*owner, "a");
    // The keeper's periodic flush; generous, as it runs in its own time.
    const DWORD start = GetTickCount();
    while (TestSystem::ReadWholeFile(file.Path()).find("\ncount.a=1\n") == std::string::npos && GetTickCount() - start < 5000)
        Sleep(5);
    EXPECT_NE(std::string::npos, TestSystem::ReadWholeFile(file.Path()).find("\ncount.a=1\n"));
    EXPECT_EQ("a 1\n", TestSystem::ReadWholeFile(file.Path() + L".transcript"));
}

TEST(StateStore, AnOwnerThatEndsWritesItsChanges)
{
    TempStateFile file;
    {
        StateStore owner(file.Path(), StateStore::Caching::WriteBehind);
        Count(owner, "a");
    }
    EXPECT_NE(std::string::npos, TestSystem::ReadWholeFile(file.Path()).find("\ncount.a=1\n"));
    StateStore next(file.Path(), StateStore::Caching::WriteBehind);
    Count(next, "a");
    EXPECT_EQ(2, Counter(next.Read(), "a"));
}

} // namespace
