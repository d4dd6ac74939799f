// The simulated device through the real multimedia API: these tests call the
// winmm functions of the winmm.dll that sits beside the test program.
#include "WinmmTestSupport.h"

#include "Support/Windows/Programs.h"

using namespace Tavik8SimTest;

namespace {

TEST_F(WinmmTest, TheSimulatedWinmmIsLoaded)
{
    HMODULE winmm = GetModuleHandleW(L"winmm.dll");
    ASSERT_NE(nullptr, winmm);
    EXPECT_NE(nullptr, reinterpret_cast<void*>(GetProcAddress(winmm, "Tavik8SimIsSimulated")))
        << "the system's winmm.dll was loaded: winmm.dll must sit beside the program and "
           "WINEDLLOVERRIDES must contain winmm=n,b";
}

TEST_F(WinmmTest, PortListFollowsTheDevice)
{
    EXPECT_EQ(std::vector<std::string>{"Tavik 8"}, InputNames());
    EXPECT_EQ(std::vector<std::string>{"Tavik 8"}, OutputNames());
    MIDIINCAPSW inCaps{};
    EXPECT_EQ(MMSYSERR_BADDEVICEID, midiInGetDevCapsW(1, &inCaps, sizeof inCaps));
    MIDIOUTCAPSA outCapsA{};
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutGetDevCapsA(0, &outCapsA, sizeof outCapsA));
    EXPECT_STREQ("Tavik 8", outCapsA.szPname);
    EXPECT_EQ(MMSYSERR_INVALPARAM, midiInGetDevCapsW(0, nullptr, sizeof inCaps));

    Device([](DeviceModel& m, TimeUs now) {
        m.Receive(now, "Tavik 8", DeviceModel::ModeChangeMessage());
        m.PowerCycle(now);
    });
    EXPECT_EQ(std::vector<std::string>{"Tavik Updater"}, InputNames());
    EXPECT_EQ(std::vector<std::string>{"Tavik Updater"}, OutputNames());

    DeviceSet("off_ms", "600000");
    Device([](DeviceModel& m, TimeUs now) { m.PowerCycle(now); });
    EXPECT_EQ(0u, midiInGetNumDevs());
    EXPECT_EQ(0u, midiOutGetNumDevs());

    Device([](DeviceModel& m, TimeUs now) { m.Reset(now, Mode::Normal, "1.0.3.0"); });
    DeviceSet("duplicate_ports", "1");
    DeviceSet("extra_ports_before", "MIDIIN2 (Tavik 8)");
    DeviceSet("extra_ports_after", "A,B,A");
    std::vector<std::string> expected = {"MIDIIN2 (Tavik 8)", "Tavik 8", "Tavik 8", "A", "B", "A"};
    EXPECT_EQ(expected, InputNames());
    EXPECT_EQ(expected, OutputNames());
}

TEST_F(WinmmTest, IdentityRequestAndReplyThroughTheApi)
{
    DeviceSet("send_latency_ms", "100");
    InputRecorder input;
    InputBuffers buffers(256);
    HMIDIIN in = OpenInput(input, buffers);
    ASSERT_EQ(1u, input.Count(MIM_OPEN));
    EXPECT_EQ(GetCurrentThreadId(), input.Reports(MIM_OPEN)[0].thread) << "reported inside midiInOpen";

    OutputRecorder output;
    HMIDIOUT out = OpenOutput(output);
    ASSERT_EQ(1u, output.Count(MOM_OPEN));

    Bytes request = DeviceModel::IdentityRequest();
    MIDIHDR header{};
    header.lpData = reinterpret_cast<LPSTR>(request.data());
    header.dwBufferLength = static_cast<DWORD>(request.size());
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutPrepareHeader(out, &header, sizeof header));
    EXPECT_EQ(static_cast<DWORD>(MHDR_PREPARED), header.dwFlags);
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutLongMsg(out, &header, sizeof header));
    // The bytes are copied: the caller's buffer can change at once.
    request.assign(request.size(), 0);
    EXPECT_EQ(static_cast<DWORD>(MHDR_PREPARED | MHDR_INQUEUE), header.dwFlags) << "completes later";
    EXPECT_EQ(static_cast<MMRESULT>(MIDIERR_STILLPLAYING), midiOutUnprepareHeader(out, &header, sizeof header));
    ASSERT_TRUE(output.WaitFor(MOM_DONE, 1));
    EXPECT_EQ(static_cast<DWORD>(MHDR_PREPARED | MHDR_DONE), header.dwFlags);
    EXPECT_NE(GetCurrentThreadId(), output.threads.back()) << "completion comes from the simulation's thread";
    EXPECT_EQ(&header, output.headers.back());
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutUnprepareHeader(out, &header, sizeof header));

    ASSERT_TRUE(input.WaitFor(MIM_LONGDATA, 1));
    auto reply = input.Reports(MIM_LONGDATA)[0];
    EXPECT_EQ(B({0xF0, 0x7E, 0x00, 0x06, 0x02, 0x7D, 0x08, 0x00, 0x01, 0x00, '1', '0', '3', '0', 0xF7}), reply.data);
    EXPECT_EQ(reinterpret_cast<DWORD_PTR>(&buffers.headers[0]), reply.param1) << "buffers fill in queue order";
    EXPECT_EQ(static_cast<DWORD>(MHDR_PREPARED | MHDR_DONE), reply.flags);
    EXPECT_NE(GetCurrentThreadId(), reply.thread);

    // A reset returns the two buffers still queued, empty, before it returns.
    ASSERT_EQ(MMSYSERR_NOERROR, midiInReset(in));
    auto returned = input.Reports(MIM_LONGDATA);
    ASSERT_EQ(3u, returned.size());
    EXPECT_EQ(reinterpret_cast<DWORD_PTR>(&buffers.headers[1]), returned[1].param1);
    EXPECT_EQ(reinterpret_cast<DWORD_PTR>(&buffers.headers[2]), returned[2].param1);
    EXPECT_TRUE(returned[1].data.empty());
    EXPECT_EQ(static_cast<DWORD>(MHDR_PREPARED | MHDR_DONE), buffers.headers[2].dwFlags);
    for (MIDIHDR& h : buffers.headers)
        EXPECT_EQ(MMSYSERR_NOERROR, midiInUnprepareHeader(in, &h, sizeof h));
    EXPECT_EQ(MMSYSERR_NOERROR, midiInClose(in));
    EXPECT_EQ(1u, input.Count(MIM_CLOSE));
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutClose(out));
    EXPECT_EQ(1u, output.Count(MOM_CLOSE));

    std::string transcript = store.ReadTranscript();
    EXPECT_NE(std::string::npos, transcript.find("\"Tavik 8\"  host->device  F0 7E 7F 06 01 F7"));
    EXPECT_NE(std::string::npos, transcript.find("\"Tavik 8\"  device->host  F0 7E 00 06 02"));
}

TEST_F(WinmmTest, AMessageDoneAtOnceIsReportedInsideTheCall)
{
    DeviceSet("send_latency_ms", "0");
    OutputRecorder output;
    HMIDIOUT out = OpenOutput(output);
    Bytes request = DeviceModel::IdentityRequest();
    MIDIHDR header{};
    header.lpData = reinterpret_cast<LPSTR>(request.data());
    header.dwBufferLength = static_cast<DWORD>(request.size());
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutPrepareHeader(out, &header, sizeof header));
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutLongMsg(out, &header, sizeof header));
    EXPECT_EQ(1u, output.Count(MOM_DONE)) << "before midiOutLongMsg returned";
    EXPECT_EQ(GetCurrentThreadId(), output.threads.back());
    EXPECT_EQ(static_cast<DWORD>(MHDR_PREPARED | MHDR_DONE), header.dwFlags);
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutUnprepareHeader(out, &header, sizeof header));
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutClose(out));
}

TEST_F(WinmmTest, SystemExclusiveLongerThanABufferSpansTheQueuedBuffers)
{
    InputRecorder input;
    InputBuffers buffers(16);
    HMIDIIN in = OpenInput(input, buffers);
    Bytes message(40, 0x11);
    message.front() = 0xF0;
    message.back() = 0xF7;
    Device([&](DeviceModel& m, TimeUs now) { m.Send(now, message); });
    ASSERT_TRUE(input.WaitFor(MIM_LONGDATA, 3));
    auto reports = input.Reports(MIM_LONGDATA);
    ASSERT_EQ(3u, reports.size());
    Bytes joined;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(reinterpret_cast<DWORD_PTR>(&buffers.headers[i]), reports[i].param1);
        joined.insert(joined.end(), reports[i].data.begin(), reports[i].data.end());
    }
    EXPECT_EQ(16u, reports[0].data.size());
    EXPECT_EQ(16u, reports[1].data.size());
    EXPECT_EQ(8u, reports[2].data.size());
    EXPECT_EQ(message, joined);
    CloseInput(in, buffers);
}

TEST_F(WinmmTest, BuffersHandedBackInTheCallbackCarryTheRest)
{
    InputRecorder input;
    input.handBack = true;
    InputBuffers buffers(16);
    HMIDIIN in = OpenInput(input, buffers);
    Bytes message(300, 0x22);
    message.front() = 0xF0;
    message.back() = 0xF7;
    Bytes second = {0xF0, 0x01, 0xF7};
    Device([&](DeviceModel& m, TimeUs now) {
        m.Send(now, message);
        m.Send(now, second);
    });
    ASSERT_TRUE(input.WaitFor(MIM_LONGDATA, 20));
    auto reports = input.Reports(MIM_LONGDATA);
    Bytes joined;
    for (size_t i = 0; i + 1 < reports.size(); ++i)
        joined.insert(joined.end(), reports[i].data.begin(), reports[i].data.end());
    EXPECT_EQ(message, joined);
    EXPECT_EQ(second, reports.back().data);
    EXPECT_EQ(static_cast<MMRESULT>(MMSYSERR_NOERROR), input.handBackResult);
    input.handBack = false;
    CloseInput(in, buffers);
}

TEST_F(WinmmTest, SystemExclusiveWithoutABufferIsLost)
{
    InputRecorder input;
    InputBuffers buffers(64);
    HMIDIIN in = nullptr;
    ASSERT_EQ(MMSYSERR_NOERROR, midiInOpen(&in, 0, reinterpret_cast<DWORD_PTR>(&InputRecorder::Proc),
                                           reinterpret_cast<DWORD_PTR>(&input), CALLBACK_FUNCTION));
    ASSERT_EQ(MMSYSERR_NOERROR, midiInStart(in));
    Device([](DeviceModel& m, TimeUs now) {
        m.Send(now, B({0xF0, 0x01, 0xF7}));
        m.Send(now, B({0xFE}));
    });
    ASSERT_TRUE(input.WaitFor(MIM_DATA, 1)); // the short message after it passed
    EXPECT_EQ(0u, input.Count(MIM_LONGDATA));
    MIDIHDR& h = buffers.headers[0];
    ASSERT_EQ(MMSYSERR_NOERROR, midiInPrepareHeader(in, &h, sizeof h));
    ASSERT_EQ(MMSYSERR_NOERROR, midiInAddBuffer(in, &h, sizeof h));
    Device([](DeviceModel& m, TimeUs now) { m.Send(now, B({0xF0, 0x02, 0xF7})); });
    ASSERT_TRUE(input.WaitFor(MIM_LONGDATA, 1));
    EXPECT_EQ(B({0xF0, 0x02, 0xF7}), input.Reports(MIM_LONGDATA)[0].data);
    EXPECT_EQ(MMSYSERR_NOERROR, midiInReset(in));
    EXPECT_EQ(MMSYSERR_NOERROR, midiInUnprepareHeader(in, &h, sizeof h));
    EXPECT_EQ(MMSYSERR_NOERROR, midiInClose(in));
}

TEST_F(WinmmTest, ShortMessagesArriveAsMimData)
{
    InputRecorder input;
    InputBuffers buffers(256);
    HMIDIIN in = OpenInput(input, buffers);
    Device([](DeviceModel& m, TimeUs now) {
        m.Send(now, B({0x90, 0x3C, 0x64}));
        m.Send(now, B({0xC0, 0x05}));
        m.Send(now, B({0xF8}));
    });
    ASSERT_TRUE(input.WaitFor(MIM_DATA, 3));
    auto reports = input.Reports(MIM_DATA);
    ASSERT_EQ(3u, reports.size());
    EXPECT_EQ(0x643C90u, reports[0].param1);
    EXPECT_EQ(0x05C0u, reports[1].param1);
    EXPECT_EQ(0xF8u, reports[2].param1);
    EXPECT_LE(reports[0].param2, reports[2].param2) << "time stamps since midiInStart";
    CloseInput(in, buffers);
}

TEST_F(WinmmTest, ShortMessagesReachTheDevice)
{
    OutputRecorder output;
    HMIDIOUT out = OpenOutput(output);
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutShortMsg(out, 0x643C90));
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutClose(out));
    EXPECT_NE(std::string::npos, store.ReadTranscript().find("host->device  90 3C 64\n"));
}

TEST_F(WinmmTest, InputBufferRules)
{
    InputRecorder input;
    HMIDIIN in = nullptr;
    ASSERT_EQ(MMSYSERR_NOERROR, midiInOpen(&in, 0, reinterpret_cast<DWORD_PTR>(&InputRecorder::Proc),
                                           reinterpret_cast<DWORD_PTR>(&input), CALLBACK_FUNCTION));
    char data[32];
    MIDIHDR h{};
    h.lpData = data;
    h.dwBufferLength = sizeof data;
    EXPECT_EQ(static_cast<MMRESULT>(MIDIERR_UNPREPARED), midiInAddBuffer(in, &h, sizeof h));
    EXPECT_EQ(MMSYSERR_INVALPARAM, midiInPrepareHeader(in, &h, 8));
    EXPECT_EQ(MMSYSERR_INVALPARAM, midiInPrepareHeader(in, nullptr, sizeof h));
    ASSERT_EQ(MMSYSERR_NOERROR, midiInPrepareHeader(in, &h, sizeof h));
    ASSERT_EQ(MMSYSERR_NOERROR, midiInAddBuffer(in, &h, sizeof h));
    EXPECT_EQ(static_cast<DWORD>(MHDR_PREPARED | MHDR_INQUEUE), h.dwFlags);
    EXPECT_EQ(static_cast<MMRESULT>(MIDIERR_STILLPLAYING), midiInAddBuffer(in, &h, sizeof h));
    EXPECT_EQ(static_cast<MMRESULT>(MIDIERR_STILLPLAYING), midiInUnprepareHeader(in, &h, sizeof h));
    EXPECT_EQ(static_cast<MMRESULT>(MIDIERR_STILLPLAYING), midiInClose(in));
    EXPECT_EQ(0u, input.Count(MIM_CLOSE));
    EXPECT_EQ(MMSYSERR_NOERROR, midiInReset(in));
    EXPECT_EQ(1u, input.Count(MIM_LONGDATA));
    EXPECT_EQ(MMSYSERR_NOERROR, midiInUnprepareHeader(in, &h, sizeof h));
    EXPECT_EQ(0u, h.dwFlags & MHDR_PREPARED);
    EXPECT_EQ(MMSYSERR_NOERROR, midiInClose(in));
    EXPECT_EQ(MMSYSERR_INVALHANDLE, midiInClose(in));
    EXPECT_EQ(MMSYSERR_INVALHANDLE, midiInStart(in));
}

TEST_F(WinmmTest, OutputRulesAndACompletionThatNeverComes)
{
    DeviceSet("send_done", "never");
    OutputRecorder output;
    HMIDIOUT out = OpenOutput(output);
    Bytes bytes = {0xF0, 0x01, 0xF7};
    MIDIHDR h{};
    h.lpData = reinterpret_cast<LPSTR>(bytes.data());
    h.dwBufferLength = 3;
    EXPECT_EQ(static_cast<MMRESULT>(MIDIERR_UNPREPARED), midiOutLongMsg(out, &h, sizeof h));
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutPrepareHeader(out, &h, sizeof h));
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutLongMsg(out, &h, sizeof h));
    EXPECT_EQ(static_cast<MMRESULT>(MIDIERR_STILLPLAYING), midiOutLongMsg(out, &h, sizeof h));
    EXPECT_EQ(static_cast<MMRESULT>(MIDIERR_STILLPLAYING), midiOutUnprepareHeader(out, &h, sizeof h));
    EXPECT_EQ(static_cast<MMRESULT>(MIDIERR_STILLPLAYING), midiOutClose(out));
    // A reset gives the header back, inside the call.
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutReset(out));
    EXPECT_EQ(1u, output.Count(MOM_DONE));
    EXPECT_EQ(static_cast<DWORD>(MHDR_PREPARED | MHDR_DONE), h.dwFlags);
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutUnprepareHeader(out, &h, sizeof h));
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutClose(out));
    EXPECT_EQ(MMSYSERR_INVALHANDLE, midiOutShortMsg(out, 0x90));
}

TEST_F(WinmmTest, OpenRules)
{
    HMIDIIN in = reinterpret_cast<HMIDIIN>(1);
    EXPECT_EQ(MMSYSERR_BADDEVICEID, midiInOpen(&in, 1, 0, 0, CALLBACK_NULL));
    EXPECT_EQ(nullptr, in);
    EXPECT_EQ(MMSYSERR_INVALFLAG, midiInOpen(&in, 0, 0, 0, 0x70000));
    EXPECT_EQ(MMSYSERR_INVALPARAM, midiInOpen(nullptr, 0, 0, 0, CALLBACK_NULL));
    ASSERT_EQ(MMSYSERR_NOERROR, midiInOpen(&in, 0, 0, 0, CALLBACK_NULL));
    HMIDIIN second = nullptr;
    EXPECT_EQ(MMSYSERR_ALLOCATED, midiInOpen(&second, 0, 0, 0, CALLBACK_NULL));
    UINT id = 99;
    EXPECT_EQ(MMSYSERR_NOERROR, midiInGetID(in, &id));
    EXPECT_EQ(0u, id);
    EXPECT_EQ(MMSYSERR_NOERROR, midiInClose(in));
    ASSERT_EQ(MMSYSERR_NOERROR, midiInOpen(&second, 0, 0, 0, CALLBACK_NULL));
    EXPECT_EQ(MMSYSERR_NOERROR, midiInClose(second));

    // An event callback is signalled on open, completion and close.
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HMIDIOUT out = nullptr;
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutOpen(&out, 0, reinterpret_cast<DWORD_PTR>(event), 0, CALLBACK_EVENT));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(event, 0));
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutClose(out));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(event, 0));
    CloseHandle(event);
}

TEST_F(WinmmTest, HandlesDieWhenTheDeviceGoesOff)
{
    OutputRecorder output;
    HMIDIOUT out = OpenOutput(output);
    MIDIOUTCAPSW caps{};
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutGetDevCapsW(reinterpret_cast<UINT_PTR>(out), &caps, sizeof caps))
        << "a handle stands for its device";
    EXPECT_EQ(std::string("Tavik 8"), ToUtf8(caps.szPname));
    Device([](DeviceModel& m, TimeUs now) { m.PowerCycle(now); });
    EXPECT_EQ(MMSYSERR_NODRIVER, midiOutGetDevCapsW(reinterpret_cast<UINT_PTR>(out), &caps, sizeof caps));
    EXPECT_EQ(MMSYSERR_NODRIVER, midiOutShortMsg(out, 0x90));
    Bytes bytes = {0xF0, 0x01, 0xF7};
    MIDIHDR h{};
    h.lpData = reinterpret_cast<LPSTR>(bytes.data());
    h.dwBufferLength = 3;
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutPrepareHeader(out, &h, sizeof h));
    EXPECT_EQ(MMSYSERR_NODRIVER, midiOutLongMsg(out, &h, sizeof h));
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutUnprepareHeader(out, &h, sizeof h));
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutClose(out));
    // The device is back: a new handle works.
    out = OpenOutput(output);
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutShortMsg(out, 0x90));
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutClose(out));
}

TEST_F(WinmmTest, AWholeUpdateWithThePortsFollowingTheDevice)
{
    DeviceSet("auto_power_cycle_ms", "50");
    DeviceSet("restart_quiet_ms", "50");
    DeviceSet("reboot_ms", "50");
    InputRecorder input;
    InputBuffers buffers(256);
    HMIDIIN in = OpenInput(input, buffers);
    OutputRecorder output;
    HMIDIOUT out = OpenOutput(output);
    SendLong(out, output, DeviceModel::ModeChangeMessage());
    ASSERT_TRUE(input.WaitFor(MIM_LONGDATA, 1));
    EXPECT_EQ(kModeAck, input.Reports(MIM_LONGDATA)[0].data);
    CloseInput(in, buffers);
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutClose(out));

    // Re-enumeration: wait (generously) for the update-mode ports.
    WaitForInputNames({"Tavik Updater"});
    EXPECT_EQ(std::vector<std::string>{"Tavik Updater"}, InputNames());

    // The handshake on the update-mode ports.
    InputRecorder updateInput;
    InputBuffers updateBuffers(256);
    in = OpenInput(updateInput, updateBuffers);
    OutputRecorder updateOutput;
    out = OpenOutput(updateOutput);
    SendLong(out, updateOutput, DeviceModel::ModeChangeMessage());
    ASSERT_TRUE(updateInput.WaitFor(MIM_LONGDATA, 1));
    EXPECT_EQ(kAck45, updateInput.Reports(MIM_LONGDATA)[0].data);
    SendLong(out, updateOutput, DataMessage(B({0x00, 0x01, 0x42})));
    ASSERT_TRUE(updateInput.WaitFor(MIM_LONGDATA, 2));
    EXPECT_EQ(kAck45, updateInput.Reports(MIM_LONGDATA)[1].data);
    CloseInput(in, updateBuffers);
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutClose(out));
    DeviceState s = store.Read();
    EXPECT_EQ(1, s.records);
    EXPECT_EQ(B({0x00, 0x01, 0x42}), store.ReadImage());

    // After the quiet time the device restarts and comes back in normal mode
    // with its new version.
    WaitForInputNames({"Tavik 8"});
    ASSERT_EQ(std::vector<std::string>{"Tavik 8"}, InputNames());
    InputRecorder normalInput;
    InputBuffers normalBuffers(256);
    in = OpenInput(normalInput, normalBuffers);
    OutputRecorder normalOutput;
    out = OpenOutput(normalOutput);
    SendLong(out, normalOutput, DeviceModel::IdentityRequest());
    ASSERT_TRUE(normalInput.WaitFor(MIM_LONGDATA, 1));
    EXPECT_EQ(DeviceModel::IdentityReply("1.0.4.4"), normalInput.Reports(MIM_LONGDATA)[0].data);
    CloseInput(in, normalBuffers);
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutClose(out));
}

TEST_F(WinmmTest, RepliesSentWhileNobodyListensAreLost)
{
    DeviceSet("ack_latency_ms", "0");
    OutputRecorder output;
    HMIDIOUT out = OpenOutput(output);
    SendLong(out, output, DeviceModel::IdentityRequest());
    // The reply was due before the input started: it must not arrive late.
    InputRecorder input;
    InputBuffers buffers(256);
    HMIDIIN in = OpenInput(input, buffers);
    Device([](DeviceModel& m, TimeUs now) { m.Send(now, B({0xF0, 0x33, 0xF7})); });
    ASSERT_TRUE(input.WaitFor(MIM_LONGDATA, 1));
    EXPECT_EQ(B({0xF0, 0x33, 0xF7}), input.Reports(MIM_LONGDATA)[0].data);
    CloseInput(in, buffers);
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutClose(out));
    EXPECT_NE(std::string::npos, store.ReadTranscript().find("lost: input not open"));
}

TEST(WinmmTimer, AnswersAsTheSystemDoes)
{
    EXPECT_EQ(static_cast<MMRESULT>(TIMERR_NOERROR), timeBeginPeriod(1));
    EXPECT_EQ(static_cast<MMRESULT>(TIMERR_NOERROR), timeEndPeriod(1));
    EXPECT_EQ(static_cast<MMRESULT>(TIMERR_NOCANDO), timeBeginPeriod(0));
    TIMECAPS caps{};
    ASSERT_EQ(static_cast<MMRESULT>(TIMERR_NOERROR), timeGetDevCaps(&caps, sizeof caps));
    EXPECT_EQ(1u, caps.wPeriodMin);
    // Milliseconds since the system started, like GetTickCount.
    DWORD t = timeGetTime();
    DWORD tick = GetTickCount();
    EXPECT_LT(static_cast<DWORD>(t > tick ? t - tick : tick - t), 1000u);
    EXPECT_LE(t, timeGetTime());
}

} // namespace

namespace {

// Runs tavik8sim.exe (built beside the test programs' folder) with this
// process's environment, so with the same TAVIK8_SIM; answers its exit code
// and standard output.
int RunToolProcess(const std::wstring& arguments, std::string& output)
{
    const std::wstring tool = TestSystem::ProgramFolder() + L"..\\Tavik8Sim\\tavik8sim.exe";
    std::wstring commandLine = L"\"" + tool + L"\" " + arguments;

    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return -1;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    std::vector<wchar_t> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back(0);
    BOOL started = CreateProcessW(tool.c_str(), mutableLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                  nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        return -1;
    }
    char buffer[4096];
    DWORD got = 0;
    output.clear();
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
        output.append(buffer, got);
    CloseHandle(readEnd);
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return static_cast<int>(code);
}

TEST_F(WinmmTest, TheToolInAnotherProcessDrivesTheSameDevice)
{
    InputRecorder input;
    InputBuffers buffers(256);
    HMIDIIN in = OpenInput(input, buffers);
    OutputRecorder output;
    HMIDIOUT out = OpenOutput(output);
    SendLong(out, output, DeviceModel::IdentityRequest());
    ASSERT_TRUE(input.WaitFor(MIM_LONGDATA, 1));

    std::string text;
    ASSERT_EQ(0, RunToolProcess(L"status", text)) << text;
    EXPECT_NE(std::string::npos, text.find("\ncount.identity_requests=1\n")) << text;

    // Bytes the tool makes the device send reach this program's input.
    ASSERT_EQ(0, RunToolProcess(L"send 90 3C 64", text)) << text;
    ASSERT_TRUE(input.WaitFor(MIM_DATA, 1));
    EXPECT_EQ(0x643C90u, input.Reports(MIM_DATA)[0].param1);

    SendLong(out, output, DeviceModel::ModeChangeMessage());
    ASSERT_TRUE(input.WaitFor(MIM_LONGDATA, 2));
    CloseInput(in, buffers);
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutClose(out));
    ASSERT_EQ(0, RunToolProcess(L"power-cycle", text)) << text;
    EXPECT_EQ(std::vector<std::string>{"Tavik Updater"}, InputNames());
}

} // namespace
