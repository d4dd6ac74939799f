// The state file of the simulated device, shared by every process that uses
// it: the winmm.dll inside each program and the tavik8sim tool. The file named
// by TAVIK8_SIM holds DeviceState as key=value lines; beside it, FILE.image
// holds the image received in the last session (raw bytes) and
// FILE.transcript every message in and out, one line each. Every access runs
// under a named mutex derived from the file's full path, so that a program
// and the tool never see half of a change.
#pragma once

#include "Model/DeviceState.h"

#include <functional>
#include <string>

namespace Tavik8Sim {

class StateStore
{
public:
    explicit StateStore(const std::wstring& path);
    ~StateStore();
    StateStore(const StateStore&) = delete;
    StateStore& operator=(const StateStore&) = delete;

    const std::wstring& Path() const { return mPath; }
    std::wstring ImagePath() const { return mPath + L".image"; }
    std::wstring TranscriptPath() const { return mPath + L".transcript"; }

    // Loads the state under the lock, lets `change` work on it, and writes
    // back whatever it marked as changed (the state, and what it added to
    // the image and the transcript). A missing file is a fresh device.
    void Update(const std::function<void(DeviceState&)>& change);

    // The state as it is now, without changing it.
    DeviceState Read();

    std::string ReadTranscript();
    Bytes ReadImage();

    // TAVIK8_SIM, made a Windows path when it is a Unix one (under Wine); the
    // temporary folder's "tavik8-sim.state" when the variable is not set.
    static std::wstring PathFromEnvironment();

    // Milliseconds since 1970 on the wall clock: the one clock all processes share.
    static TimeMs WallClockNow();

private:
    class Lock;
    DeviceState Load();

    std::wstring mPath;
    void* mMutex;
};

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

} // namespace Tavik8Sim
