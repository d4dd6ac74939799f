// The update engine's tests: a timing that records what the engine waits for,
// a receiver of the engine's notifications, the simulated device driven in
// this process, temporary firmware files, and the fixture that ties them
// together.
#pragma once

#include "Engine/UpdateEngine.h"
#include "Engine/UpdateNotificationData.h"

#include "Midi/MidiCaptureNotificationData.h"
#include "Midi/MidiComm.h"
#include "Notification/NotificationCenterManager.h"
#include "Notification/NotificationClient.h"
#include "Notification/NotificationIDs.h"

#include "Model/DeviceModel.h"
#include "Model/FirmwareImage.h"
#include "Model/StateStore.h"

#include "Support/Tavik8Sim/StateFile.h"
#include "Support/Windows/TempFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace EngineTest {

using namespace KX;
using String = StringT<wchar_t, char>;

// What the engine asked of its timing, in order.
struct TimingStep
{
    enum Kind { Wait, Pause };
    Kind kind;
    // Wait: the time limit in milliseconds. Pause: how long the engine pauses
    // before the next message, in microseconds.
    int64_t amount;
    bool operator==(const TimingStep& other) const { return kind == other.kind && amount == other.amount; }
};

inline std::ostream& operator<<(std::ostream& out, const TimingStep& step)
{
    return out << (step.kind == TimingStep::Wait ? "Wait " : "Pause ") << step.amount;
}

// A virtual clock: pauses take no real time, and a wait lasts at most a short
// real time (the simulated device answers within milliseconds) but counts as
// its whole time limit when it runs out.
class TestTiming : public LEngineTiming
{
public:
    static RCPtr<TestTiming> Create(uint32_t realWaitLimit = 800)
    {
        return RCPtr<TestTiming>(new TestTiming(realWaitLimit));
    }

    bool WaitForSignal(TrafficLight& signal, uint32_t milliseconds) override
    {
        Record({TimingStep::Wait, milliseconds});
        signal.Wait(std::min(milliseconds, mRealWaitLimit));
        const bool green = signal.IsGreen();
        std::lock_guard<std::mutex> lock(mMutex);
        if (!green)
            mNow += static_cast<int64_t>(milliseconds) * 1000;
        return green;
    }

    int64_t Now() override
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mNow;
    }

    // The virtual clock does not follow real time.
    int64_t Before(int64_t) override { return Now(); }

    void SleepUntil(int64_t deadline) override
    {
        int index = 0;
        {
            std::lock_guard<std::mutex> lock(mMutex);
            mSteps.push_back({TimingStep::Pause, deadline - mNow});
            mNow = std::max(mNow, deadline);
            index = mPauses++;
        }
        if (mOnPause)
            mOnPause(index);
    }

    std::vector<TimingStep> Steps()
    {
        std::lock_guard<std::mutex> lock(mMutex);
        return mSteps;
    }

    void Clear()
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mSteps.clear();
        mPauses = 0;
    }

    // Runs before each data message (on the worker), with the pause's index from 0.
    std::function<void(int)> mOnPause;

private:
    explicit TestTiming(uint32_t realWaitLimit) : mRealWaitLimit(realWaitLimit) {}

    void Record(const TimingStep& step)
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mSteps.push_back(step);
    }

    uint32_t mRealWaitLimit;
    std::mutex mMutex;
    int64_t mNow = 1000000;
    int mPauses = 0;
    std::vector<TimingStep> mSteps;
};

// The timing of the running program, with a step of the test's before each
// pause (so before each data message), given the pause's index from 0.
class HookedSystemTiming : public LEngineTiming
{
public:
    static RCPtr<HookedSystemTiming> Create(std::function<void(int)> beforePause)
    {
        RCPtr<HookedSystemTiming> timing(new HookedSystemTiming);
        timing->mBeforePause = std::move(beforePause);
        return timing;
    }

    void SleepUntil(int64_t deadline) override
    {
        if (mBeforePause)
            mBeforePause(mPauses++);
        LEngineTiming::SleepUntil(deadline);
    }

private:
    HookedSystemTiming() = default;
    std::function<void(int)> mBeforePause;
    int mPauses = 0;
};

// One notification of the engine as the update screen would receive it.
struct Posted
{
    std::wstring id;
    int32_t state = 0;
    int32_t previous = 0;
    double progress = 0.0;
    bool success = false;
};

// Listens to the application centre for the engine's notifications.
class PostedLog : public LNotificationClient
{
public:
    static RCPtr<PostedLog> Create()
    {
        RCPtr<PostedLog> log(new PostedLog);
        const RCPtr<LNotificationDistributor> center(
            LNotificationCenterManager::GetInstance()->GetApplicationCenter());
        for (const wchar_t* id : {NID_DEVICE_STATE_CHANGE, NID_FIRMWARE_FILE_STATE_CHANGE,
                                  NID_FIRMWARE_UPDATE_PROGRESS, NID_FIRMWARE_UPDATE_COMPLETED})
            log->Register(center, id);
        return log;
    }

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>&,
                                 const RCPtr<LNotification>& notification) override
    {
        Posted posted;
        posted.id = notification->GetID();
        const LRefCountedObject* data = notification->GetData().Get();
        if (auto* device = dynamic_cast<const LDeviceStateChangeNotificationData*>(data)) {
            posted.state = device->mState;
            posted.previous = device->mPreviousState;
        } else if (auto* file = dynamic_cast<const LFirmwareFileStateChangeNotificationData*>(data)) {
            posted.state = file->mState;
            posted.previous = file->mPreviousState;
        } else if (auto* progress = dynamic_cast<const LFirmwareUpdateProgressNotificationData*>(data)) {
            posted.progress = progress->mProgress;
            EXPECT_EQ(0, progress->mPhase);
            EXPECT_TRUE(progress->mAutoEstimate);
            EXPECT_EQ(-1, progress->mSecondsRemaining);
            EXPECT_FALSE(progress->mReservedFlag);
            EXPECT_TRUE(progress->mStatusText.IsEmpty());
        } else if (auto* completed = dynamic_cast<const LFirmwareUpdateCompletedNotificationData*>(data)) {
            posted.success = completed->mSuccess;
        }
        mPosted.push_back(posted);
        return S_OK;
    }

    // Delivers what was posted so far and answers everything received.
    const std::vector<Posted>& Deliver()
    {
        while (LNotificationCenterManager::GetInstance()->ProcessNotifications(false)) {
        }
        return mPosted;
    }

    // Delivers, then answers the notifications of one identifier.
    std::vector<Posted> Of(const wchar_t* id)
    {
        Deliver();
        std::vector<Posted> selected;
        for (const Posted& p : mPosted) {
            if (p.id == id)
                selected.push_back(p);
        }
        return selected;
    }

    // Delivers and forgets.
    void Clear()
    {
        Deliver();
        mPosted.clear();
    }

private:
    std::vector<Posted> mPosted;
};

// The engine with its inside open to the tests.
class TestEngine : public LUpdateEngine
{
public:
    static RCPtr<TestEngine> Create() { return RCPtr<TestEngine>(new TestEngine); }

    TrafficLight& IdentitySignal() { return mIdentitySignal; }
    TrafficLight& ModeAckSignal() { return mModeAckSignal; }
    TrafficLight& DataAckSignal() { return mDataAckSignal; }
    RCPtr<LMidiCommInterface> Comm() { return GetMidiComm(); }
    bool AbortRequested() const { return mAbortRequested.load(); }
    // From here on the worker refuses every trigger.
    void StopWorker() { mWorker.Stop(kWorkerStopMilliseconds); }
    FirmwareVersion CurrentDeviceVersion()
    {
        MutexLock lock(mLock);
        return mCurrentDevice.mFirmwareVersion;
    }
};

inline LUpdateEngineInterface::DeviceDefinition DefaultDefinition()
{
    LUpdateEngineInterface::DeviceDefinition definition;
    definition.mNormalModeInputPort = L"Tavik 8";
    definition.mNormalModeOutputPort = L"Tavik 8";
    definition.mUpdateModeInputPort = L"Tavik Updater";
    definition.mUpdateModeOutputPort = L"Tavik Updater";
    return definition;
}

// A file in the temporary folder with the content given, removed afterwards.
class TempFile
{
public:
    explicit TempFile(const std::string& content, const wchar_t* suffix = L".led") : mFile(L"engine-test", suffix)
    {
        Rewrite(content);
    }

    const std::wstring& Path() const { return mFile.Path(); }
    const std::string& Content() const { return mContent; }
    void Remove() { mFile.Remove(); }
    // Replaces the whole content.
    void Rewrite(const std::string& content)
    {
        mContent = content;
        TestSystem::WriteWholeFile(mFile.Path(), content);
    }

private:
    TestSystem::TempFile mFile;
    std::string mContent;
};

// The simulated device, driven in this process through its own state file.
class SimDevice
{
public:
    SimDevice() : mStore(mState.Path())
    {
        SetEnvironmentVariableW(L"TAVIK8_SIM", mStore.Path().c_str());
        Reset(Tavik8Sim::Mode::Normal);
    }
    ~SimDevice() { SetEnvironmentVariableW(L"TAVIK8_SIM", nullptr); }
    SimDevice(const SimDevice&) = delete;
    SimDevice& operator=(const SimDevice&) = delete;

    void Do(const std::function<void(Tavik8Sim::DeviceModel&, Tavik8Sim::TimeUs)>& step)
    {
        Tavik8SimTest::ChangeDevice(mStore, step);
    }

    void Reset(Tavik8Sim::Mode mode, const std::string& version = "1.0.3.0")
    {
        Do([&](Tavik8Sim::DeviceModel& m, Tavik8Sim::TimeUs now) {
            m.Reset(now, mode, version);
            // Replies come at once; the engine's waits are what is under test.
            m.Set(now, "ack_latency_ms", "0");
            m.Set(now, "send_latency_ms", "0");
            // The test timing's pauses take no real time (the engine's pauses
            // are checked among its timing steps), so the device judges the
            // order of the messages but not their pacing.
            m.Set(now, "pacing_tolerance_us", "3000");
        });
    }

    void Set(const std::string& key, const std::string& value)
    {
        Do([&](Tavik8Sim::DeviceModel& m, Tavik8Sim::TimeUs now) { ASSERT_EQ("", m.Set(now, key, value)); });
    }

    void PowerCycle()
    {
        Do([](Tavik8Sim::DeviceModel& m, Tavik8Sim::TimeUs now) { m.PowerCycle(now); });
    }

    // The device sends these bytes now.
    void Send(const Tavik8Sim::Bytes& bytes)
    {
        Do([&](Tavik8Sim::DeviceModel& m, Tavik8Sim::TimeUs now) { m.Send(now, bytes); });
    }

    // From here on the device takes only the image of this firmware text: an
    // update that delivers anything else (a part of it, say) brings the old
    // version back, and the verdict below is "mismatch".
    void ExpectImage(const std::string& text)
    {
        Tavik8Sim::Bytes image;
        ASSERT_TRUE(Tavik8Sim::DecodeFirmwareText(text, image));
        Do([&](Tavik8Sim::DeviceModel& m, Tavik8Sim::TimeUs now) { m.ExpectImage(now, "test image", image); });
    }

    // "match" when the image received is the expected one, "mismatch" when
    // not, "none" when no image is expected.
    std::string ImageVerdict()
    {
        std::string verdict;
        Do([&](Tavik8Sim::DeviceModel& m, Tavik8Sim::TimeUs) { verdict = m.ImageVerdict(); });
        return verdict;
    }

    Tavik8Sim::DeviceState State()
    {
        // Lets the device's timers run first.
        Do([](Tavik8Sim::DeviceModel&, Tavik8Sim::TimeUs) {});
        return mStore.Read();
    }

    int64_t Counter(const std::string& name)
    {
        const Tavik8Sim::DeviceState state = State();
        const auto found = state.counters.find(name);
        return found == state.counters.end() ? 0 : found->second;
    }

    // The messages the host sent to the device, as hexadecimal words, in order.
    std::vector<std::string> HostMessages()
    {
        std::vector<std::string> messages;
        const std::string transcript = mStore.ReadTranscript();
        size_t start = 0;
        while (start < transcript.size()) {
            size_t end = transcript.find('\n', start);
            if (end == std::string::npos)
                end = transcript.size();
            const std::string line = transcript.substr(start, end - start);
            const std::string direction = "host->device  ";
            const size_t marker = line.find(direction);
            if (marker != std::string::npos)
                messages.push_back(line.substr(marker + direction.size()));
            start = end + 1;
        }
        return messages;
    }

private:
    Tavik8SimTest::TempStateFile mState; // removed after the store is gone
    Tavik8Sim::StateStore mStore;
};

// Listens to what the engine's MIDI component captures, for a marker that the
// simulated device sends on request. The component hands its messages on one
// at a time, in the order they came in, to every client in turn: once the
// marker has come through, everything the device sent before it has been
// handled by every client, the engine among them.
class CaptureMarker : public LNotificationClient
{
public:
    static RCPtr<CaptureMarker> Create(const RCPtr<LMidiCommInterface>& comm)
    {
        RCPtr<CaptureMarker> marker(new CaptureMarker);
        marker->Register(RCPtr<LNotificationDistributor>(comm.Get()), NID_MIDI_DATA_CAPTURED);
        return marker;
    }

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>&,
                                 const RCPtr<LNotification>& notification) override
    {
        const auto* data = dynamic_cast<const LMidiCaptureNotificationData*>(notification->GetData().Get());
        if (!data)
            return S_OK;
        const IArray<signed char>& bytes = data->GetBytes();
        const Tavik8Sim::Bytes captured(reinterpret_cast<const uint8_t*>(bytes.GetData()),
                                        reinterpret_cast<const uint8_t*>(bytes.GetData()) + bytes.GetCount());
        if (captured == Marker()) {
            std::lock_guard<std::mutex> lock(mMutex);
            ++mSeen;
            mArrived.notify_all();
        }
        return S_OK;
    }

    // Has the device send the marker and waits (with a generous bound, for a
    // loaded machine) until it has come through. False if it never did.
    bool TakeInEverythingSentSoFar(SimDevice& device)
    {
        int expected = 0;
        {
            std::lock_guard<std::mutex> lock(mMutex);
            expected = ++mSent;
        }
        device.Send(Marker());
        std::unique_lock<std::mutex> lock(mMutex);
        return mArrived.wait_for(lock, std::chrono::seconds(30), [&] { return mSeen >= expected; });
    }

    // A system-exclusive message of another maker, which the engine ignores.
    static Tavik8Sim::Bytes Marker() { return {0xF0, 0x7D, 'M', 'A', 'R', 'K', 0xF7}; }

private:
    CaptureMarker() = default;
    std::mutex mMutex;
    std::condition_variable mArrived;
    int mSent = 0;
    int mSeen = 0;
};

// F0, the bytes, F7 as the hexadecimal words of the transcript.
inline std::string SysExWords(const std::string& text)
{
    Tavik8Sim::Bytes bytes(text.size() + 2, 0xF0);
    std::copy(text.begin(), text.end(), bytes.begin() + 1);
    bytes.back() = 0xF7;
    return Tavik8Sim::ToHexWords(bytes);
}

// A fresh engine with the test timing, initialised, with the default device
// definition set; notifications are recorded from the start.
class EngineFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        posted = PostedLog::Create();
        timing = TestTiming::Create();
        engine = TestEngine::Create();
        engine->SetTiming(timing);
        ASSERT_EQ(S_OK, engine->Initialize(L""));
        Array<LUpdateEngineInterface::DeviceDefinition> definitions;
        definitions.AddItem(DefaultDefinition());
        ASSERT_EQ(S_OK, engine->SetDeviceDefinitions(definitions));
    }

    void TearDown() override
    {
        if (engine) {
            engine->WaitForUpdate(60000);
            engine = nullptr;
        }
        if (posted) {
            posted->Deliver();
            posted->UnregisterAll();
            posted = nullptr;
        }
        LNotificationCenterManager::sInstance = nullptr;
    }

    // Finds the device and clears what that posted and timed.
    void FindDevice(int32_t expectedState)
    {
        ASSERT_EQ(S_OK, engine->Rescan());
        ASSERT_EQ(expectedState, engine->GetDeviceState());
        posted->Clear();
        timing->Clear();
    }

    SimDevice device;
    RCPtr<PostedLog> posted;
    RCPtr<TestTiming> timing;
    RCPtr<TestEngine> engine;
};

} // namespace EngineTest
