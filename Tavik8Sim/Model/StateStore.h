// The state file of the simulated device, shared by every process that uses
// it: the winmm.dll inside each program and the tavik8sim tool. The file named
// by TAVIK8_SIM holds DeviceState as key=value lines; beside it, FILE.image
// holds the image received in the last session (raw bytes) and
// FILE.transcript every message in and out, one line each. Every access to
// the files runs under a named mutex derived from the file's full path, so
// that a program and the tool never see half of a change.
//
// Two ways of keeping the state:
// - WriteThrough (the tool, tests): every Update loads the file and writes
//   back what changed at once.
// - WriteBehind (the winmm.dll, which sees every MIDI message): the store
//   takes the state over. While it owns it, Update works on a copy in memory
//   without touching the files or the named mutex, and the changes reach the
//   files with Flush or Release, which the process's keeper calls
//   periodically, when a port closes and when the process ends.
// Ownership is recorded in a small named shared memory section beside the
// mutex: the owner's process and store, a request to give the state up, and
// a generation that grows with every write of the files (so that an owner
// that gives the state up and takes it back reloads only when someone else
// wrote in between). Any other store that wants the files asks the owner to
// release them first (Flush, then hand the ownership to the asking store for
// the length of its access): it sets the request, signals the release event
// of the keeper that serves the owner (ReleaseEventName) and waits.
// An owner whose process has ended, or that does not answer within
// kReleaseTimeoutMs, loses the state: what it had not written is lost.
#pragma once

#include "Model/DeviceState.h"

#include <functional>
#include <mutex>
#include <string>

namespace Tavik8Sim {

class StateStore
{
public:
    enum class Caching { WriteThrough, WriteBehind };

    // How long a store waits for an owner in a living process to give the
    // state up before it takes it over.
    static const unsigned kReleaseTimeoutMs = 2000;

    explicit StateStore(const std::wstring& path, Caching caching = Caching::WriteThrough);
    // Releases the state (writing what is only in memory) when it owns it.
    ~StateStore();
    StateStore(const StateStore&) = delete;
    StateStore& operator=(const StateStore&) = delete;

    const std::wstring& Path() const { return mPath; }
    std::wstring ImagePath() const { return mPath + L".image"; }
    std::wstring TranscriptPath() const { return mPath + L".transcript"; }

    // Lets `change` work on the state as it is now and keeps whatever it
    // marked as changed (the state, and what it added to the image and the
    // transcript): written back at once, or, write-behind, kept in memory
    // until the next Flush. A missing file is a fresh device.
    void Update(const std::function<void(DeviceState&)>& change);

    // The state as it is now, without changing it.
    DeviceState Read();

    // The side files as they are now, with everything written to them first.
    std::string ReadTranscript();
    Bytes ReadImage();

    // Write-behind: writes to the files what is only in memory. Nothing to do
    // for a write-through store.
    void Flush();

    // Write-behind: Flush, and lets other stores use the files again. The
    // next Update takes the state back.
    void Release();

    // Write-behind, for the keeper: releases the state when another store
    // asked for it, and flushes changes older than flushAfter; does nothing
    // while another thread works on the store.
    void Maintain(TimeUs flushAfter);

    // Release from a process that is ending: no other thread runs any more,
    // so the in-process lock is only tried, and the named mutex is waited for
    // no longer than kReleaseTimeoutMs.
    void ReleaseAtExit();

    // The keeper that serves this store (StateKeeper::Add): other stores
    // wake it through its release event when they want the state.
    void SetKeeper(int64_t keeperId);

    // The event by which a store asks the keeper keeperId in the process
    // processId, whose store owns the state, to release it (auto-reset; the
    // keeper creates it and waits on it).
    static std::wstring ReleaseEventName(unsigned long processId, int64_t keeperId);

    // TAVIK8_SIM, made a Windows path when it is a Unix one (under Wine); the
    // temporary folder's "tavik8-sim.state" when the variable is not set.
    static std::wstring PathFromEnvironment();

    // A path as a user gives it to the tool: a Unix path (under Wine) becomes
    // the Windows path of the same file; any other path stays as it is.
    static std::wstring WindowsPath(const std::wstring& path);

    // Microseconds since 1970 on the wall clock: the one clock all processes
    // share, as precise as the system keeps it.
    static TimeUs WallClockNow();

private:
    struct Shared;
    class Lock;
    class Access;

    bool Owns() const;
    bool TakeOwnership();
    void Keep(DeviceState& state);
    void FlushLocked();
    void ReleaseLocked(unsigned mutexWaitMs);
    DeviceState LoadFile();
    void WriteFiles(const DeviceState& state, const std::string& transcript, bool truncateTranscript,
                    const Bytes& image, bool truncateImage);

    std::wstring mPath;
    Caching mCaching;
    void* mMutex = nullptr;
    void* mSection = nullptr;
    Shared* mShared = nullptr;
    void* mReleased = nullptr; // set by an owner that has just released the state
    int64_t mKeeperId = 0;

    // Write-behind: the state as this store owns it, and what the files lack.
    std::mutex mGuard;
    bool mHaveCache = false;
    int64_t mGeneration = 0; // the files' generation that mCache reflects
    DeviceState mCache;
    bool mDirty = false;
    TimeUs mDirtySince = 0;
    std::string mPendingTranscript;
    bool mTruncateTranscript = false;
    Bytes mPendingImage;
    bool mTruncateImage = false;
};

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

// The whole content of a file, read while others may still write it; false
// when it cannot be opened.
bool ReadWholeFile(const std::wstring& path, std::string& content);

} // namespace Tavik8Sim
