// SendBenchmark: what one message costs the simulated device, without the
// update engine: the device in update mode after the handshake, then data
// messages sent back to back, each waited for until its MOM_DONE.
//
// Usage: SendBenchmark [messages [send latency ms]]   (default: 2000, 0)
// Prints the time midiOutLongMsg takes and the time from the call to MOM_DONE,
// both as mean and maximum per message.
#include "Model/DeviceModel.h"
#include "Model/StateStore.h"

#include "BenchmarkClock.h"
#include "Support/Tavik8Sim/StateFile.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Benchmark::WallMilliseconds;

struct Timing
{
    double total = 0;
    double worst = 0;
    void Add(double ms)
    {
        total += ms;
        worst = std::max(worst, ms);
    }
};

// Sends one long message and waits for its MOM_DONE (signalled on done).
bool SendAndWait(HMIDIOUT out, HANDLE done, std::string bytes, Timing& call, Timing& roundTrip)
{
    MIDIHDR header{};
    header.lpData = &bytes[0];
    header.dwBufferLength = static_cast<DWORD>(bytes.size());
    if (midiOutPrepareHeader(out, &header, sizeof header) != MMSYSERR_NOERROR)
        return false;
    const double start = WallMilliseconds();
    if (midiOutLongMsg(out, &header, sizeof header) != MMSYSERR_NOERROR)
        return false;
    const double sent = WallMilliseconds();
    if (WaitForSingleObject(done, 5000) != WAIT_OBJECT_0)
        return false;
    const double end = WallMilliseconds();
    call.Add(sent - start);
    roundTrip.Add(end - start);
    return midiOutUnprepareHeader(out, &header, sizeof header) == MMSYSERR_NOERROR;
}

// Hands every filled input buffer straight back, so that the device's
// acknowledgements are taken and never pile up.
void CALLBACK OnInput(HMIDIIN in, UINT message, DWORD_PTR, DWORD_PTR param1, DWORD_PTR)
{
    if (message == MIM_LONGDATA) {
        MIDIHDR* header = reinterpret_cast<MIDIHDR*>(param1);
        if (header->dwBytesRecorded > 0)
            midiInAddBuffer(in, header, sizeof *header);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const int messages = argc > 1 ? std::atoi(argv[1]) : 2000;
    const char* sendLatency = argc > 2 ? argv[2] : "0";

    const Tavik8SimTest::TempStateFile stateFile;
    SetEnvironmentVariableW(L"TAVIK8_SIM", stateFile.Path().c_str());
    {
        Tavik8Sim::StateStore store(stateFile.Path());
        Tavik8SimTest::ChangeDevice(store, [&](Tavik8Sim::DeviceModel& model, Tavik8Sim::TimeUs now) {
            model.Reset(now, Tavik8Sim::Mode::Update, "1.0.3.0");
            model.Set(now, "ack_latency_ms", "0");
            model.Set(now, "send_latency_ms", sendLatency);
        });
    }

    timeBeginPeriod(1);
    HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HMIDIIN in = nullptr;
    MIDIHDR inHeaders[4] = {};
    char inData[4][64];
    if (midiInOpen(&in, 0, reinterpret_cast<DWORD_PTR>(&OnInput), 0, CALLBACK_FUNCTION) != MMSYSERR_NOERROR) {
        std::fprintf(stderr, "cannot open the simulated device's input port\n");
        return 2;
    }
    for (int i = 0; i < 4; ++i) {
        inHeaders[i].lpData = inData[i];
        inHeaders[i].dwBufferLength = sizeof inData[i];
        midiInPrepareHeader(in, &inHeaders[i], sizeof inHeaders[i]);
        midiInAddBuffer(in, &inHeaders[i], sizeof inHeaders[i]);
    }
    midiInStart(in);
    HMIDIOUT out = nullptr;
    if (midiOutOpen(&out, 0, reinterpret_cast<DWORD_PTR>(done), 0, CALLBACK_EVENT) != MMSYSERR_NOERROR) {
        std::fprintf(stderr, "cannot open the simulated device's output port\n");
        return 2;
    }
    WaitForSingleObject(done, 0); // MOM_OPEN
    Timing call, roundTrip;
    const std::string modeChange = "\xF0QJd)>RT\xF7";
    bool ok = SendAndWait(out, done, modeChange, call, roundTrip);
    call = Timing();
    roundTrip = Timing();
    // Records of 20 payload bytes: 22 bytes each, two messages of 11 bytes.
    const std::string data = "\xF0" "0014000000000000000000\xF7";
    for (int i = 0; ok && i < messages; ++i)
        ok = SendAndWait(out, done, data, call, roundTrip);
    midiOutClose(out);
    midiInStop(in);
    midiInReset(in);
    for (MIDIHDR& header : inHeaders)
        midiInUnprepareHeader(in, &header, sizeof header);
    midiInClose(in);
    CloseHandle(done);
    timeEndPeriod(1);

    if (ok) {
        std::printf("%d messages, send latency %s ms\n", messages, sendLatency);
        std::printf("midiOutLongMsg: mean %.3f ms, max %.3f ms\n", call.total / messages, call.worst);
        std::printf("until MOM_DONE: mean %.3f ms, max %.3f ms\n", roundTrip.total / messages, roundTrip.worst);
    } else {
        std::fprintf(stderr, "a message failed\n");
    }
    return ok ? 0 : 1;
}
