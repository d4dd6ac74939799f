// The transfer of a firmware image to the simulated device in update mode:
// the messages and their pacing, progress, a whole image arriving byte for
// byte, each fault of the device and of the firmware file, and abort.
#include "EngineTestSupport.h"

#include "Model/Crc32.h"

#include <memory>

using namespace EngineTest;

namespace {

using Engine = LUpdateEngineInterface;
using Tavik8Sim::Mode;

const TimingStep kHandshakeWait{TimingStep::Wait, 10000};
const TimingStep kRecordWait{TimingStep::Wait, 5000};
const TimingStep kPause{TimingStep::Pause, 3000};

// Holds the transfer on the worker at the pause with this index (before a
// data message) until released, so that a test acts while the image is on
// its way. The hook shares the events with the hold, so that it never waits
// on events that are gone.
class TransferHold
{
public:
    TransferHold(TestTiming& timing, int pause) : mEvents(std::make_shared<Events>())
    {
        timing.mOnPause = [events = mEvents, pause](int index) {
            if (index != pause)
                return;
            SetEvent(events->reached);
            WaitForSingleObject(events->release, 10000);
        };
    }
    ~TransferHold() { Release(); }
    TransferHold(const TransferHold&) = delete;
    TransferHold& operator=(const TransferHold&) = delete;

    // Whether the worker came to the pause (within a generous bound).
    bool Held() const { return WaitForSingleObject(mEvents->reached, 10000) == WAIT_OBJECT_0; }
    void Release() const { SetEvent(mEvents->release); }

private:
    struct Events
    {
        Events() = default;
        Events(const Events&) = delete;
        Events& operator=(const Events&) = delete;
        ~Events()
        {
            CloseHandle(reached);
            CloseHandle(release);
        }
        HANDLE reached = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    };
    std::shared_ptr<Events> mEvents;
};

class EngineTransferTest : public EngineFixture
{
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        device.Reset(Mode::Update);
        FindDevice(Engine::InUpdateMode);
    }

    // Sets the file (by another spelling of its path when given; unless it
    // was set already), starts the update, waits for it and delivers what it
    // posted. Answers StartUpdate's result. The device expects the file's
    // image, so that only the whole image, byte for byte, counts as a
    // success.
    KXRESULT Update(const TempFile& file, const std::wstring& path = std::wstring(), bool setFile = true)
    {
        Tavik8Sim::Bytes image;
        if (Tavik8Sim::DecodeFirmwareText(file.Content(), image))
            device.ExpectImage(file.Content());
        if (setFile)
            engine->SetFirmwareFile((path.empty() ? file.Path() : path).c_str());
        posted->Clear();
        timing->Clear();
        const KXRESULT started = engine->StartUpdate();
        if (started >= 0) {
            EXPECT_EQ(S_OK, engine->WaitForUpdate(60000));
            // The update that was started has ended by now.
            EXPECT_NE(Engine::Running, engine->GetUpdateState(false));
        }
        posted->Deliver();
        return started;
    }

    void ExpectEnd(int32_t updateState, int32_t deviceState, int32_t errorCode, bool success)
    {
        EXPECT_EQ(updateState, engine->GetUpdateState(false));
        EXPECT_EQ(deviceState, engine->GetDeviceState());
        int32_t code = -1;
        EXPECT_EQ(S_OK, engine->GetFoundDeviceErrorCode(0, code));
        EXPECT_EQ(errorCode, code);
        const std::vector<Posted> completed = posted->Of(NID_FIRMWARE_UPDATE_COMPLETED);
        ASSERT_EQ(1u, completed.size());
        EXPECT_EQ(success, completed[0].success);
        if (success) {
            EXPECT_EQ("match", device.ImageVerdict());
        }
    }

    std::vector<double> Progress()
    {
        std::vector<double> values;
        for (const Posted& p : posted->Of(NID_FIRMWARE_UPDATE_PROGRESS))
            values.push_back(p.progress);
        return values;
    }

    // A valid file of the given records, as text.
    static std::string Records(std::initializer_list<int> payloadSizes)
    {
        std::string text;
        char digits[5];
        for (int size : payloadSizes) {
            _snprintf(digits, sizeof digits, "%04X", size);
            text += digits;
            for (int i = 0; i < size; ++i)
                text += "A5";
        }
        return text;
    }
};

TEST_F(EngineTransferTest, TwoRecordsGoOutPacedWithOneAcknowledgementWait)
{
    TempFile file("0003ABCDEF0001FF");
    ASSERT_EQ(S_OK, Update(file));

    EXPECT_EQ((std::vector<std::string>{SysExWords("QJd)>RT"), SysExWords("0003ABCDEF"), SysExWords("0001FF")}),
              device.HostMessages());
    // The handshake, then each data message after its pause; the second
    // record goes out only after the first one's acknowledgement, and the
    // last record's is not waited for.
    EXPECT_EQ((std::vector<TimingStep>{kHandshakeWait, kPause, kRecordWait, kPause}), timing->Steps());
    EXPECT_EQ((std::vector<double>{5.0 / 8.0, 8.0 / 8.0}), Progress());
    ExpectEnd(Engine::Succeeded, Engine::Updating, Engine::NoReason, true);
    EXPECT_EQ(2, device.State().records);
    EXPECT_EQ(0, device.State().violationCount);
}

TEST_F(EngineTransferTest, RecordsAreCutIntoMessagesOfElevenBytes)
{
    struct Case
    {
        std::initializer_list<int> payloads;
        int64_t dataMessages;
    };
    const Case cases[] = {
        {{20}, 2}, // 22 bytes with the length: 11 + 11
        {{9}, 1},  // 11 bytes: one message
        {{10}, 2}, // 12 bytes: 11 + 1
        {{0}, 1},  // the length alone
        {{9, 20, 0}, 4},
    };
    for (const Case& c : cases) {
        const std::string text = Records(c.payloads);
        SCOPED_TRACE(text);
        device.Reset(Mode::Update);
        TempFile file(text);
        ASSERT_EQ(S_OK, Update(file));
        EXPECT_EQ(c.dataMessages, device.Counter("data_messages"));
        EXPECT_EQ(static_cast<int64_t>(c.payloads.size()), device.State().records);
        EXPECT_EQ(0, device.State().violationCount);
        EXPECT_EQ(Engine::Succeeded, engine->GetUpdateState(true));
        EXPECT_EQ("match", device.ImageVerdict());
        // Ready for the next round.
        engine->SetDeviceState(Engine::InUpdateMode);
    }
}

TEST_F(EngineTransferTest, AWholeImageArrivesByteForByte)
{
    const std::string text = Tavik8Sim::MakeFirmwareText(40, 64, 7);
    Tavik8Sim::Bytes image;
    ASSERT_TRUE(Tavik8Sim::DecodeFirmwareText(text, image));
    TempFile file(text);
    ASSERT_EQ(S_OK, Update(file));

    const Tavik8Sim::DeviceState state = device.State();
    EXPECT_EQ(40, state.records);
    EXPECT_EQ(static_cast<int64_t>(image.size()), state.imageBytes);
    EXPECT_EQ(Tavik8Sim::Crc32Update(0, image.data(), image.size()), state.imageCrc32);
    EXPECT_EQ(0, state.violationCount);
    ExpectEnd(Engine::Succeeded, Engine::Updating, Engine::NoReason, true);
    // 66 bytes per record: six messages each, every one after its pause.
    const std::vector<double> progress = Progress();
    ASSERT_EQ(240u, progress.size());
    EXPECT_DOUBLE_EQ(1.0, progress.back());
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    const std::vector<TimingStep> steps = timing->Steps();
    EXPECT_EQ(240, std::count(steps.begin(), steps.end(), kPause));
    EXPECT_EQ(39, std::count(steps.begin(), steps.end(), kRecordWait));
}

TEST_F(EngineTransferTest, TheSecondAcknowledgementFormWorksTheSame)
{
    device.Set("handshake_ack", "0x1A");
    TempFile file(Records({3, 1, 30}));
    ASSERT_EQ(S_OK, Update(file));
    ExpectEnd(Engine::Succeeded, Engine::Updating, Engine::NoReason, true);
    EXPECT_EQ(3, device.State().records);
}

TEST_F(EngineTransferTest, TheDeviceComesBackInNormalModeAfterwards)
{
    // The device restarts once no data came for restart_quiet_ms (5 s) after
    // the last record.
    device.Set("reboot_ms", "0");
    TempFile file(Records({3, 1}));
    ASSERT_EQ(S_OK, Update(file));
    ASSERT_EQ(Engine::Updating, engine->GetDeviceState());
    EXPECT_EQ("match", device.ImageVerdict());
    // Wait (generously) until the simulated device has restarted.
    for (int i = 0; i < 1000 && device.State().mode != Mode::Normal; ++i)
        Sleep(20);
    ASSERT_EQ(Mode::Normal, device.State().mode);
    posted->Clear();
    EXPECT_EQ(S_OK, engine->RefreshSelectedDevice());
    EXPECT_EQ(Engine::NotInUpdateMode, engine->GetDeviceState());
    String text;
    EXPECT_EQ(S_OK, engine->GetDeviceVersionText(text));
    EXPECT_EQ(String(L"1.0.4.4"), text);
    EXPECT_FALSE(engine->IsUpdateNeeded());
}

TEST_F(EngineTransferTest, DeviceFaultsEndTheUpdateAsFailed)
{
    struct Case
    {
        const char* key;
        const char* value;
        int32_t errorCode;
        int64_t recordsAcknowledged;
        TimingStep lastStep;
    };
    const Case cases[] = {
        // No handshake: nothing sent, the found device keeps its error code.
        {"handshake_ack", "none", Engine::NoReason, 0, kHandshakeWait},
        // The first record's acknowledgement never comes.
        {"drop_ack_at", "0", Engine::DeviceAccessFailure, 0, kRecordWait},
        // F0 20 F7 after the first record: the abort is seen before the second.
        {"nak_at", "0", Engine::DeviceAccessFailure, 1, kRecordWait},
        // The device disappears at the second record: the send fails.
        {"vanish_at", "1", Engine::DeviceAccessFailure, 1, kPause},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value);
        device.Reset(Mode::Update);
        FindDevice(Engine::InUpdateMode);
        device.Set(c.key, c.value);
        TempFile file(Records({20, 20, 20}));
        ASSERT_EQ(S_OK, Update(file));
        ExpectEnd(Engine::Failed, Engine::DeviceError, c.errorCode, false);
        EXPECT_EQ(c.recordsAcknowledged, device.State().records);
        const std::vector<TimingStep> steps = timing->Steps();
        ASSERT_FALSE(steps.empty());
        EXPECT_EQ(c.lastStep, steps.back());
        // Read and cleared once.
        EXPECT_EQ(Engine::Failed, engine->GetUpdateState(true));
        EXPECT_EQ(Engine::Idle, engine->GetUpdateState(true));
    }
}

TEST_F(EngineTransferTest, StaleAndDuplicateAcknowledgementsAreNotTakenForTheNextRecords)
{
    // Real pauses, judged by the device; a slow acknowledgement, so that a
    // record sent on an acknowledgement that was not its own would start
    // before the real one came (a violation). The device sends each extra
    // acknowledgement right behind a real one, and the engine takes in all the
    // device has sent before each data message goes out: so every extra one
    // arrives before the next record starts, and the reset before that
    // record's last message wipes it. (One that came only after the record's
    // last message would look exactly like the record's own acknowledgement:
    // the protocol cannot tell the two apart, and this test does not make
    // that case.)
    const RCPtr<CaptureMarker> marker = CaptureMarker::Create(engine->Comm());
    engine->SetTiming(HookedSystemTiming::Create([&](int) { ASSERT_TRUE(marker->TakeInEverythingSentSoFar(device)); }));
    device.Set("pacing_tolerance_us", "300");
    device.Set("ack_latency_ms", "20");
    device.Set("stale_ack_at", "1");
    device.Set("duplicate_ack_at", "2");
    TempFile file(Records({20, 20, 20, 20, 20}));
    ASSERT_EQ(S_OK, Update(file));
    marker->UnregisterAll();
    ExpectEnd(Engine::Succeeded, Engine::Updating, Engine::NoReason, true);
    const Tavik8Sim::DeviceState state = device.State();
    EXPECT_EQ(5, state.records);
    EXPECT_EQ(0, state.violationCount) << (state.violations.empty() ? "" : state.violations[0]);
}

TEST_F(EngineTransferTest, AnExtraAcknowledgementBeforeARecordsLastMessageIsNotTakenForIt)
{
    // Three records of two messages each; the device sends an extra
    // acknowledgement just before one data message goes out, and the engine
    // has taken it in before that message leaves. Real pauses, judged by the
    // device, and a slow real acknowledgement (far slower than the round trip
    // that takes the extra one in): a record sent on the extra one would
    // start before the real one came (a violation).
    struct Case
    {
        const char* name;
        int pause; // the data message (from 0) before which the extra one comes
    };
    const Case cases[] = {
        {"stale: after the first record's acknowledgement, before the second record", 2},
        {"late duplicate: between the second record's two messages", 3},
    };
    // (An extra acknowledgement that came after a record's last message had
    // started would look exactly like the record's own: the protocol cannot
    // tell the two apart, and no case here makes it.)
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        device.Reset(Mode::Update);
        FindDevice(Engine::InUpdateMode);
        const RCPtr<CaptureMarker> marker = CaptureMarker::Create(engine->Comm());
        engine->SetTiming(HookedSystemTiming::Create([&](int pause) {
            if (pause == c.pause)
                device.Send({0xF0, 0x45, 0xF7});
            ASSERT_TRUE(marker->TakeInEverythingSentSoFar(device));
        }));
        device.Set("pacing_tolerance_us", "300");
        device.Set("ack_latency_ms", "500");
        TempFile file(Records({20, 20, 20}));
        ASSERT_EQ(S_OK, Update(file));
        marker->UnregisterAll();
        ExpectEnd(Engine::Succeeded, Engine::Updating, Engine::NoReason, true);
        const Tavik8Sim::DeviceState state = device.State();
        EXPECT_EQ(3, state.records);
        EXPECT_EQ(0, state.violationCount) << (state.violations.empty() ? "" : state.violations[0]);
        // Ready for the next round.
        engine->GetUpdateState(true);
        engine->SetDeviceState(Engine::InUpdateMode);
        engine->SetTiming(timing);
    }
}

TEST_F(EngineTransferTest, StopRequestDuringTheLastRecordAbortsAfterTheTransfer)
{
    TempFile file(Records({3, 30}));
    // Before the last record's second message the device asks to stop; the
    // message goes out once the engine has taken the request.
    timing->mOnPause = [this](int pause) {
        if (pause != 2)
            return;
        device.Send({0xF0, 0x20, 0xF7});
        for (int i = 0; i < 200 && !engine->AbortRequested(); ++i)
            Sleep(5);
    };
    EXPECT_EQ(S_OK, Update(file));
    timing->mOnPause = nullptr;
    EXPECT_TRUE(engine->AbortRequested());
    ExpectEnd(Engine::Aborted, Engine::InUpdateMode, Engine::NoReason, false);
    EXPECT_EQ(2, device.State().records); // the whole image went out
}

TEST_F(EngineTransferTest, AbortDuringTheFirstRecordStopsBeforeTheSecond)
{
    TempFile file(Records({20, 20}));
    timing->mOnPause = [this](int pause) {
        if (pause == 0) {
            EXPECT_EQ(S_OK, engine->Abort());
        }
    };
    EXPECT_EQ(S_OK, Update(file));
    timing->mOnPause = nullptr;
    ExpectEnd(Engine::Failed, Engine::DeviceError, Engine::DeviceAccessFailure, false);
    EXPECT_EQ(2, device.Counter("data_messages"));
    EXPECT_EQ(1, device.State().records);
}

TEST_F(EngineTransferTest, RefreshIsRefusedWhileTheTransferRuns)
{
    TempFile file(Records({20, 20}));
    device.ExpectImage(file.Content());
    const TransferHold hold(*timing, 1);
    engine->SetFirmwareFile(file.Path().c_str());
    ASSERT_EQ(S_OK, engine->StartUpdate());
    ASSERT_TRUE(hold.Held());
    const RCPtr<LMidiCommInterface> comm = engine->Comm();
    EXPECT_EQ(E_FAIL, engine->RefreshSelectedDevice());
    EXPECT_EQ(E_FAIL, engine->Rescan());
    EXPECT_EQ(S_OK, engine->Initialize(L"")); // keeps the transfer's component
    EXPECT_EQ(comm.Get(), engine->Comm().Get());
    hold.Release();
    EXPECT_EQ(S_OK, engine->WaitForUpdate(60000));
    timing->mOnPause = nullptr;
    EXPECT_EQ(Engine::Succeeded, engine->GetUpdateState(false));
    EXPECT_EQ(2, device.State().records);
    EXPECT_EQ("match", device.ImageVerdict());
}

TEST_F(EngineTransferTest, BadFilesAreNeverSent)
{
    struct Case
    {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        {"odd length", "0003ABCDEF0001F"},
        {"not hexadecimal", "0003ABCDEF0001FG"},
        {"a line end inside", "0003ABCDEF\r\n0001FF"},
        {"odd without its line end", "0003ABCDEF0001F\r\n"},
        {"record past the end", "0003ABCDEF0004FF"},
        {"half a length", "0003ABCDEF00"},
        {"a blank", "0003ABCD EF0001FF "},
        {"empty", ""},
        {"line ends alone", "\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        device.Reset(Mode::Update);
        FindDevice(Engine::InUpdateMode);
        // Good when it was chosen, spoilt before the transfer reads it.
        TempFile file("0001FF");
        engine->SetFirmwareFile(file.Path().c_str());
        file.Rewrite(c.text);
        ASSERT_EQ(S_OK, Update(file, std::wstring(), false));
        // The file is named as the reason.
        ExpectEnd(Engine::Failed, Engine::DeviceError, Engine::FileAccessFailure, false);
        int32_t code = Engine::NoReason;
        EXPECT_EQ(S_OK, engine->GetSelectedDeviceErrorCode(code));
        EXPECT_EQ(Engine::FileAccessFailure, code);
        EXPECT_TRUE(device.HostMessages().empty()); // not even the handshake
        EXPECT_TRUE(Progress().empty());
    }
}

TEST_F(EngineTransferTest, LineEndsAtTheEndOfTheFileAreNotPartOfIt)
{
    for (const char* ending : {"\n", "\r\n", "\r\n\r\n", "\r"}) {
        SCOPED_TRACE(testing::PrintToString(std::string(ending)));
        device.Reset(Mode::Update);
        TempFile file(std::string("0003ABCDEF0001FF") + ending);
        ASSERT_EQ(S_OK, Update(file));
        ExpectEnd(Engine::Succeeded, Engine::Updating, Engine::NoReason, true);
        EXPECT_EQ((std::vector<std::string>{SysExWords("QJd)>RT"), SysExWords("0003ABCDEF"), SysExWords("0001FF")}),
                  device.HostMessages());
        EXPECT_EQ((std::vector<double>{5.0 / 8.0, 8.0 / 8.0}), Progress());
        // Ready for the next round.
        engine->GetUpdateState(true);
        engine->SetDeviceState(Engine::InUpdateMode);
    }
}

TEST_F(EngineTransferTest, AFileGoneSinceItWasSetFailsTheUpdate)
{
    TempFile file("0001FF");
    engine->SetFirmwareFile(file.Path().c_str());
    file.Remove();
    posted->Clear();
    ASSERT_EQ(S_OK, engine->StartUpdate());
    EXPECT_EQ(S_OK, engine->WaitForUpdate(60000));
    ExpectEnd(Engine::Failed, Engine::DeviceError, Engine::FileAccessFailure, false);
    EXPECT_TRUE(device.HostMessages().empty());
}

TEST_F(EngineTransferTest, TheFirmwareFileStaysTheOneBeingSent)
{
    TempFile file(Records({20, 20, 20}));
    TempFile other(Records({4}));
    TempFile empty("");
    device.ExpectImage(file.Content());
    // Held before the first record's second message.
    const TransferHold hold(*timing, 1);
    ASSERT_EQ(S_OK, engine->SetFirmwareFile(file.Path().c_str()));
    ASSERT_EQ(S_OK, engine->StartUpdate());
    ASSERT_TRUE(hold.Held());
    posted->Clear();
    // Neither another good file nor a bad one takes the place of the file
    // whose image is on its way: path, state and version stay, and nothing
    // is posted.
    for (const TempFile* chosen : {&other, &empty}) {
        EXPECT_EQ(Engine::kRefusedWhileUpdating, engine->SetFirmwareFile(chosen->Path().c_str()));
        String path;
        EXPECT_EQ(S_OK, engine->GetFirmwareFilePath(path));
        EXPECT_EQ(file.Path(), std::wstring(path.GetData()));
        EXPECT_EQ(Engine::FileFoundVersionKnown, engine->GetFirmwareFileState());
        String version;
        EXPECT_EQ(S_OK, engine->GetFirmwareFileVersionText(version));
        EXPECT_EQ(std::wstring(L"1.0.4.4"), std::wstring(version.GetData()));
    }
    EXPECT_TRUE(posted->Of(NID_FIRMWARE_FILE_STATE_CHANGE).empty());
    hold.Release();
    EXPECT_EQ(S_OK, engine->WaitForUpdate(60000));
    timing->mOnPause = nullptr;
    posted->Deliver();
    ExpectEnd(Engine::Succeeded, Engine::Updating, Engine::NoReason, true);
    EXPECT_EQ(3, device.State().records);
    // Until a probe finds the device again it is still the file just sent.
    EXPECT_EQ(Engine::kRefusedWhileUpdating, engine->SetFirmwareFile(other.Path().c_str()));
    ASSERT_EQ(S_OK, engine->RefreshSelectedDevice());
    ASSERT_NE(Engine::Updating, engine->GetDeviceState());
    EXPECT_EQ(S_OK, engine->SetFirmwareFile(other.Path().c_str()));
}

TEST_F(EngineTransferTest, AnEmptyFileIsRefusedAndNothingIsSent)
{
    TempFile file("");
    EXPECT_EQ(E_FAIL, Update(file));
    EXPECT_EQ(Engine::FileInvalid, engine->GetFirmwareFileState());
    EXPECT_EQ(Engine::InUpdateMode, engine->GetDeviceState());
    EXPECT_TRUE(posted->Of(NID_FIRMWARE_UPDATE_COMPLETED).empty());
    EXPECT_TRUE(device.HostMessages().empty());
    EXPECT_TRUE(timing->Steps().empty());
}

TEST_F(EngineTransferTest, LowerCaseDigitsAndForwardSlashesAreAccepted)
{
    TempFile file("0003abcdef0001ff");
    std::wstring path = file.Path();
    std::replace(path.begin(), path.end(), L'\\', L'/');
    ASSERT_EQ(S_OK, Update(file, path));
    EXPECT_EQ(Engine::FileFoundVersionKnown, engine->GetFirmwareFileState());
    ExpectEnd(Engine::Succeeded, Engine::Updating, Engine::NoReason, true);
    EXPECT_EQ(SysExWords("0003ABCDEF"), device.HostMessages().at(1));
}

TEST_F(EngineTransferTest, UpdateModePortsGoneBeforeTheStart)
{
    TempFile file("0001FF");
    device.Reset(Mode::Off);
    ASSERT_EQ(S_OK, Update(file));
    ExpectEnd(Engine::Failed, Engine::DeviceError, Engine::NoReason, false);
    EXPECT_TRUE(timing->Steps().empty());
}

} // namespace
