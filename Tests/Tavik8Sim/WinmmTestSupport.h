// The simulated device through the real multimedia API, for tests that call
// the winmm functions of the winmm.dll beside the test program: recorders of
// the input and output callbacks, input buffers, and a fixture with a device
// of its own.
#pragma once

#include "DeviceModelFixture.h"
#include "Support/Tavik8Sim/StateFile.h"

#include "Model/StateStore.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace Tavik8SimTest {

const int kGenerousMs = 10000;

// Records every input callback; hands buffers back when asked to, as the
// framework's capture port does.
class InputRecorder
{
public:
    struct Report
    {
        UINT message;
        DWORD_PTR param1;
        DWORD_PTR param2;
        DWORD thread;
        Bytes data;
        DWORD flags;
    };

    static void CALLBACK Proc(HMIDIIN handle, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2)
    {
        auto* self = reinterpret_cast<InputRecorder*>(instance);
        Report report{message, param1, param2, GetCurrentThreadId(), {}, 0};
        if (message == MIM_LONGDATA) {
            auto* header = reinterpret_cast<MIDIHDR*>(param1);
            report.data.assign(header->lpData, header->lpData + header->dwBytesRecorded);
            report.flags = header->dwFlags;
            if (self->handBack && header->dwBytesRecorded > 0)
                self->handBackResult = midiInAddBuffer(handle, header, sizeof(MIDIHDR));
        }
        std::lock_guard<std::mutex> lock(self->mutex);
        self->reports.push_back(report);
        self->changed.notify_all();
    }

    // Waits until `count` reports of `message` arrived; false after the time-out.
    bool WaitFor(UINT message, size_t count)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::milliseconds(kGenerousMs),
                                [&] { return CountLocked(message) >= count; });
    }

    size_t Count(UINT message)
    {
        std::lock_guard<std::mutex> lock(mutex);
        return CountLocked(message);
    }

    std::vector<Report> Reports(UINT message)
    {
        std::lock_guard<std::mutex> lock(mutex);
        std::vector<Report> selected;
        for (const Report& r : reports) {
            if (r.message == message)
                selected.push_back(r);
        }
        return selected;
    }

    bool handBack = false;
    MMRESULT handBackResult = MMSYSERR_NOERROR;

private:
    size_t CountLocked(UINT message)
    {
        size_t n = 0;
        for (const Report& r : reports)
            n += r.message == message;
        return n;
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Report> reports;
};

struct InputBuffers
{
    explicit InputBuffers(DWORD size)
    {
        for (int i = 0; i < 3; ++i) {
            data[i].assign(size, 0);
            headers[i] = MIDIHDR{};
            headers[i].lpData = data[i].data();
            headers[i].dwBufferLength = size;
        }
    }
    MIDIHDR headers[3];
    std::vector<char> data[3];
};

class WinmmTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SetEnvironmentVariableW(L"TAVIK8_SIM", file.Path().c_str()));
        Device([](DeviceModel& m, TimeUs now) { m.Reset(now, Mode::Normal, "1.0.3.0"); });
    }

    void TearDown() override { SetEnvironmentVariableW(L"TAVIK8_SIM", nullptr); }

    // Works on the device as the tool does, in this process.
    void Device(const std::function<void(DeviceModel&, TimeUs)>& step)
    {
        store.Update([&](DeviceState& s) {
            DeviceModel m(s);
            TimeUs now = StateStore::WallClockNow();
            m.Advance(now);
            step(m, now);
        });
    }

    void DeviceSet(const std::string& key, const std::string& value)
    {
        Device([&](DeviceModel& m, TimeUs now) { ASSERT_EQ("", m.Set(now, key, value)); });
    }

    // The names of the count ports that getCaps describes.
    template <class Caps>
    static std::vector<std::string> PortNames(UINT count, MMRESULT(WINAPI* getCaps)(UINT_PTR, Caps*, UINT))
    {
        std::vector<std::string> names;
        for (UINT i = 0; i < count; ++i) {
            Caps caps{};
            EXPECT_EQ(MMSYSERR_NOERROR, getCaps(i, &caps, sizeof caps));
            names.push_back(ToUtf8(caps.szPname));
        }
        return names;
    }

    std::vector<std::string> InputNames() { return PortNames(midiInGetNumDevs(), midiInGetDevCapsW); }
    std::vector<std::string> OutputNames() { return PortNames(midiOutGetNumDevs(), midiOutGetDevCapsW); }

    // Waits, generously, until the input ports are `names`: the device
    // switches off and on in its own time. The caller checks the names.
    void WaitForInputNames(const std::vector<std::string>& names)
    {
        const DWORD start = GetTickCount();
        while (InputNames() != names && GetTickCount() - start < kGenerousMs)
            Sleep(10);
    }

    // Opens input 0 with the recorder, queues the buffers and starts it.
    HMIDIIN OpenInput(InputRecorder& recorder, InputBuffers& buffers)
    {
        HMIDIIN in = nullptr;
        EXPECT_EQ(MMSYSERR_NOERROR, midiInOpen(&in, 0, reinterpret_cast<DWORD_PTR>(&InputRecorder::Proc),
                                               reinterpret_cast<DWORD_PTR>(&recorder),
                                               CALLBACK_FUNCTION | MIDI_IO_STATUS));
        for (MIDIHDR& h : buffers.headers) {
            EXPECT_EQ(MMSYSERR_NOERROR, midiInPrepareHeader(in, &h, sizeof h));
            EXPECT_EQ(MMSYSERR_NOERROR, midiInAddBuffer(in, &h, sizeof h));
        }
        EXPECT_EQ(MMSYSERR_NOERROR, midiInStart(in));
        return in;
    }

    void CloseInput(HMIDIIN in, InputBuffers& buffers)
    {
        EXPECT_EQ(MMSYSERR_NOERROR, midiInStop(in));
        EXPECT_EQ(MMSYSERR_NOERROR, midiInReset(in));
        for (MIDIHDR& h : buffers.headers)
            EXPECT_EQ(MMSYSERR_NOERROR, midiInUnprepareHeader(in, &h, sizeof h));
        EXPECT_EQ(MMSYSERR_NOERROR, midiInClose(in));
    }

    TempStateFile file;
    StateStore store{file.Path()};
};

// Output callbacks, counted.
struct OutputRecorder
{
    static void CALLBACK Proc(HMIDIOUT, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR)
    {
        auto* self = reinterpret_cast<OutputRecorder*>(instance);
        std::lock_guard<std::mutex> lock(self->mutex);
        self->messages.push_back(message);
        self->threads.push_back(GetCurrentThreadId());
        self->headers.push_back(reinterpret_cast<MIDIHDR*>(param1));
        self->changed.notify_all();
    }
    bool WaitFor(UINT message, size_t count)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::milliseconds(kGenerousMs), [&] {
            return static_cast<size_t>(std::count(messages.begin(), messages.end(), message)) >= count;
        });
    }
    size_t Count(UINT message)
    {
        std::lock_guard<std::mutex> lock(mutex);
        return static_cast<size_t>(std::count(messages.begin(), messages.end(), message));
    }
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<UINT> messages;
    std::vector<DWORD> threads;
    std::vector<MIDIHDR*> headers;
};

inline HMIDIOUT OpenOutput(OutputRecorder& recorder, UINT id = 0)
{
    HMIDIOUT out = nullptr;
    EXPECT_EQ(MMSYSERR_NOERROR, midiOutOpen(&out, id, reinterpret_cast<DWORD_PTR>(&OutputRecorder::Proc),
                                            reinterpret_cast<DWORD_PTR>(&recorder), CALLBACK_FUNCTION));
    return out;
}

// Sends one long message and waits for its completion.
inline void SendLong(HMIDIOUT out, OutputRecorder& recorder, Bytes bytes)
{
    MIDIHDR header{};
    header.lpData = reinterpret_cast<LPSTR>(bytes.data());
    header.dwBufferLength = static_cast<DWORD>(bytes.size());
    header.dwBytesRecorded = header.dwBufferLength;
    size_t done = recorder.Count(MOM_DONE);
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutPrepareHeader(out, &header, sizeof header));
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutLongMsg(out, &header, sizeof header));
    ASSERT_TRUE(recorder.WaitFor(MOM_DONE, done + 1));
    ASSERT_EQ(MMSYSERR_NOERROR, midiOutUnprepareHeader(out, &header, sizeof header));
}


} // namespace Tavik8SimTest
