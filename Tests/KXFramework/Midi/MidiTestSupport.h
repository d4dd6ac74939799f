// The MIDI component against the simulated device: every test gets a device
// of its own (a state file named through TAVIK8_SIM before the component lists
// any port), a fresh component and a receiver of its captured messages.
#pragma once

#include "Midi/MidiCaptureNotificationData.h"
#include "Midi/MidiCapturePort.h"
#include "Midi/MidiComm.h"
#include "Midi/MidiRenderPort.h"
#include "Notification/Notification.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationIDs.h"

#include "Model/DeviceModel.h"
#include "Model/StateStore.h"
#include "Support/Tavik8Sim/StateFile.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace MidiTest {

using namespace KX;
using String = StringT<wchar_t, char>;
using Bytes = Tavik8Sim::Bytes;

// A bound for waits that only a fault makes long.
const int kGenerousMs = 10000;

inline Bytes B(std::initializer_list<int> values)
{
    Bytes bytes;
    for (int v : values)
        bytes.push_back(static_cast<uint8_t>(v));
    return bytes;
}

inline Array<signed char> ToArray(const Bytes& bytes)
{
    Array<signed char> array;
    for (uint8_t b : bytes)
        array.AddItem(static_cast<signed char>(b));
    return array;
}

// F0, `size` - 2 bytes counting up from 1 (wrapping below 0x80), F7.
inline Bytes SysEx(size_t size)
{
    Bytes message(size, 0);
    for (size_t i = 1; i + 1 < size; ++i)
        message[i] = static_cast<uint8_t>(1 + (i - 1) % 0x7F);
    message.front() = 0xF0;
    message.back() = 0xF7;
    return message;
}

// Any object, to see an out argument cleared.
class Placeholder : public virtual LRefCountedObject
{
public:
    static RCPtr<LRefCountedObject> Make() { return RCPtr<LRefCountedObject>(new Placeholder()); }
};

// One captured message as the receiver saw it.
struct Captured
{
    Bytes bytes;
    std::wstring portName;
    uint32_t timeStamp = 0;
    DWORD thread = 0;
};

// Records every "NID_MIDI_DATA_CAPTURED" it receives.
class CaptureRecorder : public LNotificationClient
{
public:
    static RCPtr<CaptureRecorder> Create() { return RCPtr<CaptureRecorder>(new CaptureRecorder()); }

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override
    {
        auto data = RCPtr<LMidiCaptureNotificationData>::DynamicCast(notification->GetData());
        Captured captured;
        if (data) {
            const auto& bytes = data->GetBytes();
            for (int32_t i = 0; i < bytes.GetCount(); ++i)
                captured.bytes.push_back(static_cast<uint8_t>(bytes.GetData()[i]));
            captured.portName = data->GetPortName().GetData();
            captured.timeStamp = data->GetTimeStamp();
        }
        captured.thread = GetCurrentThreadId();
        std::lock_guard<std::mutex> lock(mMutex);
        mSenders.push_back(sender.Get());
        mCaptured.push_back(captured);
        mChanged.notify_all();
        return S_OK;
    }

    // True once `count` messages arrived (false after the generous bound).
    bool WaitFor(size_t count)
    {
        std::unique_lock<std::mutex> lock(mMutex);
        return mChanged.wait_for(lock, std::chrono::milliseconds(kGenerousMs),
                                 [&] { return mCaptured.size() >= count; });
    }

    std::vector<Captured> Messages()
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mCaptured;
    }

    std::vector<Bytes> ByteStrings()
    {
        std::vector<Bytes> all;
        for (const Captured& c : Messages())
            all.push_back(c.bytes);
        return all;
    }

    std::vector<LNotificationDistributor*> Senders()
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mSenders;
    }

private:
    CaptureRecorder() = default;

    std::mutex mMutex;
    std::condition_variable mChanged;
    std::vector<Captured> mCaptured;
    std::vector<LNotificationDistributor*> mSenders;
};

class MidiDeviceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SetEnvironmentVariableW(L"TAVIK8_SIM", mFile.Path().c_str()));
        Device([](Tavik8Sim::DeviceModel& m, Tavik8Sim::TimeUs now) {
            m.Reset(now, Tavik8Sim::Mode::Normal, "1.0.3.0");
        });
        LMidiCommInterface::Create(mComm);
        ASSERT_TRUE(mComm);
        mReceiver = CaptureRecorder::Create();
        ASSERT_NE(nullptr, mReceiver->Register(mComm, NID_MIDI_DATA_CAPTURED));
    }

    void TearDown() override
    {
        if (mReceiver)
            mReceiver->UnregisterAll();
        mReceiver = nullptr;
        mComm = nullptr;
        SetEnvironmentVariableW(L"TAVIK8_SIM", nullptr);
    }

    // Works on the simulated device as the tool does, in this process.
    void Device(const std::function<void(Tavik8Sim::DeviceModel&, Tavik8Sim::TimeUs)>& step)
    {
        Tavik8SimTest::ChangeDevice(mStore, step);
    }

    void DeviceSet(const std::string& key, const std::string& value)
    {
        Device([&](Tavik8Sim::DeviceModel& m, Tavik8Sim::TimeUs now) { ASSERT_EQ("", m.Set(now, key, value)); });
    }

    // The device sends these bytes now.
    void DeviceSends(const Bytes& message)
    {
        Device([&](Tavik8Sim::DeviceModel& m, Tavik8Sim::TimeUs now) { m.Send(now, message); });
    }

    LMidiComm& Comm() { return *RCPtr<LMidiComm>::DynamicCast(mComm).Get(); }

    RCPtr<LRefCountedObject> OpenCapture(const wchar_t* name, KXRESULT expected = S_OK)
    {
        RCPtr<LRefCountedObject> port;
        EXPECT_EQ(expected, mComm->OpenCapturePort(name, port)) << "capture port " << String(name).ToNarrow().GetData();
        EXPECT_EQ(expected == S_OK, static_cast<bool>(port));
        return port;
    }

    RCPtr<LRefCountedObject> OpenRender(const wchar_t* name, KXRESULT expected = S_OK)
    {
        RCPtr<LRefCountedObject> port;
        EXPECT_EQ(expected, mComm->OpenRenderPort(name, port)) << "render port " << String(name).ToNarrow().GetData();
        EXPECT_EQ(expected == S_OK, static_cast<bool>(port));
        return port;
    }

    int32_t Send(const RCPtr<LRefCountedObject>& port, const Bytes& bytes)
    {
        return mComm->Send(port, ToArray(bytes));
    }

    // The system's identifier of the device a port opened (-1 when closed).
    static int InputDeviceOf(const RCPtr<LRefCountedObject>& port)
    {
        auto capture = RCPtr<LMidiCapturePort>::DynamicCast(port);
        UINT id = 0;
        if (!capture || midiInGetID(capture->GetHandle(), &id) != MMSYSERR_NOERROR)
            return -1;
        return static_cast<int>(id);
    }

    static int OutputDeviceOf(const RCPtr<LRefCountedObject>& port)
    {
        auto render = RCPtr<LMidiRenderPort>::DynamicCast(port);
        UINT id = 0;
        if (!render || midiOutGetID(render->GetHandle(), &id) != MMSYSERR_NOERROR)
            return -1;
        return static_cast<int>(id);
    }

    Tavik8SimTest::TempStateFile mFile;
    Tavik8Sim::StateStore mStore{mFile.Path()};
    RCPtr<LMidiCommInterface> mComm;
    RCPtr<CaptureRecorder> mReceiver;
};

} // namespace MidiTest
