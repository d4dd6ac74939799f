// The simulated device and other programs: the winmm.dll keeps the device's
// state in memory while the program runs, so a program that ends without
// closing its ports, or that is killed, must still leave it on disk; and a
// port that one program holds open is refused to every other. The program here is
// this test program itself, started again as a child that runs only
// WinmmChild.Run (chosen by TAVIK8SIM_TEST_CHILD).
#include "Support/Tavik8Sim/StateFile.h"
#include "Support/Windows/Programs.h"

#include "Model/DeviceModel.h"
#include "Model/StateStore.h"

#include <gtest/gtest.h>

#include <mmsystem.h>

#include <string>
#include <vector>

using namespace Tavik8Sim;
using namespace Tavik8SimTest;

namespace {

const wchar_t* const kChildVariable = L"TAVIK8SIM_TEST_CHILD";

std::wstring ChildRole()
{
    wchar_t value[64];
    const DWORD length = GetEnvironmentVariableW(kChildVariable, value, 64);
    return length > 0 && length < 64 ? std::wstring(value, length) : std::wstring();
}

// The child's part: sends the identity request on output 0 and then, by
// role, ends at once ("exit") or waits to be killed ("wait"), ports open.
TEST(WinmmChild, Run)
{
    const std::wstring role = ChildRole();
    if (role.empty())
        GTEST_SKIP() << "only runs as the child of WinmmProcess tests";
    HMIDIOUT out = nullptr;
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutOpen(&out, 0, 0, 0, CALLBACK_NULL));
    Bytes request = DeviceModel::IdentityRequest();
    MIDIHDR header{};
    header.lpData = reinterpret_cast<LPSTR>(request.data());
    header.dwBufferLength = static_cast<DWORD>(request.size());
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutPrepareHeader(out, &header, sizeof header));
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutLongMsg(out, &header, sizeof header));
    if (role == L"exit")
        ExitProcess(0); // long before the periodic write is due
    Sleep(INFINITE);
}

// This test program, started again in the given role with this process's
// environment (so with the same TAVIK8_SIM).
PROCESS_INFORMATION StartChild(const wchar_t* role)
{
    const std::wstring self = TestSystem::ProgramPath();
    std::wstring commandLine = L"\"" + self + L"\" --gtest_filter=WinmmChild.Run";
    std::vector<wchar_t> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back(0);
    SetEnvironmentVariableW(kChildVariable, role);
    // The child's report stays out of this program's output.
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = nul;
    startup.hStdError = nul;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(self.c_str(), mutableLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(nul);
    SetEnvironmentVariableW(kChildVariable, nullptr);
    EXPECT_TRUE(started);
    return started ? process : PROCESS_INFORMATION{};
}

void Finish(PROCESS_INFORMATION& process)
{
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}

class WinmmProcess : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SetEnvironmentVariableW(L"TAVIK8_SIM", file.Path().c_str()));
        store.Update([](DeviceState& s) { DeviceModel(s).Reset(StateStore::WallClockNow(), Mode::Normal, "1.0.3.0"); });
    }

    void TearDown() override { SetEnvironmentVariableW(L"TAVIK8_SIM", nullptr); }

    void ExpectTheRequestWasKept()
    {
        const DeviceState state = store.Read();
        const auto count = state.counters.find("identity_requests");
        EXPECT_TRUE(count != state.counters.end() && count->second == 1) << state.Serialize();
        EXPECT_NE(std::string::npos, store.ReadTranscript().find("host->device  F0 7E 7F 06 01 F7\n"));
    }

    TempStateFile file;
    StateStore store{file.Path()};
};

TEST_F(WinmmProcess, AProgramThatEndsWithItsPortsOpenLeavesTheStateOnDisk)
{
    PROCESS_INFORMATION child = StartChild(L"exit");
    ASSERT_TRUE(child.hProcess);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(child.hProcess, 60000));
    DWORD code = 1;
    GetExitCodeProcess(child.hProcess, &code);
    Finish(child);
    EXPECT_EQ(0u, code);
    ExpectTheRequestWasKept();
}

TEST_F(WinmmProcess, AKilledProgramLeavesWhatItWroteBehindOnDisk)
{
    PROCESS_INFORMATION child = StartChild(L"wait");
    ASSERT_TRUE(child.hProcess);
    // Only the periodic write brings the request to the file: nobody asks
    // the child for the state until it is dead.
    const DWORD start = GetTickCount();
    while (TestSystem::ReadWholeFile(file.Path()).find("\ncount.identity_requests=1\n") == std::string::npos &&
           GetTickCount() - start < 30000 && WaitForSingleObject(child.hProcess, 5) == WAIT_TIMEOUT) {
    }
    TerminateProcess(child.hProcess, 3);
    WaitForSingleObject(child.hProcess, 60000);
    Finish(child);
    // The dead owner does not keep the state from anyone.
    ExpectTheRequestWasKept();
    const int64_t epoch = store.Read().powerEpoch;
    store.Update([](DeviceState& s) { DeviceModel(s).PowerCycle(StateStore::WallClockNow()); });
    EXPECT_EQ(epoch + 1, store.Read().powerEpoch);
}

TEST_F(WinmmProcess, APortHeldByAnotherProgramIsRefusedUntilThatProgramEnds)
{
    PROCESS_INFORMATION child = StartChild(L"wait");
    ASSERT_TRUE(child.hProcess);
    // The child holds output 0 once the device's state says so.
    const DWORD start = GetTickCount();
    while (store.Read().openPorts.empty() && GetTickCount() - start < 30000 &&
           WaitForSingleObject(child.hProcess, 5) == WAIT_TIMEOUT) {
    }
    ASSERT_EQ(1u, store.Read().openPorts.size());

    HMIDIOUT out = nullptr;
    EXPECT_EQ(MMSYSERR_ALLOCATED, midiOutOpen(&out, 0, 0, 0, CALLBACK_NULL)) << "held by the other program";
    EXPECT_EQ(nullptr, out);
    HMIDIIN in = nullptr;
    ASSERT_EQ(MMSYSERR_NOERROR, midiInOpen(&in, 0, 0, 0, CALLBACK_NULL)) << "the input is free";
    EXPECT_EQ(MMSYSERR_NOERROR, midiInClose(in));
    EXPECT_EQ(1, store.Read().counters["identity_requests"]) << "the refusal disturbed nothing";

    TerminateProcess(child.hProcess, 3);
    WaitForSingleObject(child.hProcess, 60000);
    Finish(child);
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutOpen(&out, 0, 0, 0, CALLBACK_NULL)) << "free once its holder has ended";
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutClose(out));
    EXPECT_TRUE(store.Read().openPorts.empty());
}

} // namespace
