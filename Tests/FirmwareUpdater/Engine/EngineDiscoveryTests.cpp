// Finding the simulated device: scans in normal mode, in update mode and with
// no device, identity replies the engine must not accept, the selection, the
// mode change and the refresh that follows the device through its restart.
#include "EngineTestSupport.h"

using namespace EngineTest;

namespace {

using Engine = LUpdateEngineInterface;
using Tavik8Sim::Mode;

class EngineDiscoveryTest : public EngineFixture
{
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        posted->Clear();
    }
};

TEST_F(EngineDiscoveryTest, OneDeviceInNormalModeIsFoundAndSelected)
{
    engine->SetDeviceState(Engine::DeviceError); // whatever came before
    posted->Clear();
    ASSERT_EQ(S_OK, engine->Rescan());

    EXPECT_EQ(Engine::NotInUpdateMode, engine->GetDeviceState());
    const std::vector<Posted> changes = posted->Of(NID_DEVICE_STATE_CHANGE);
    ASSERT_EQ(1u, changes.size());
    EXPECT_EQ(Engine::NotInUpdateMode, changes[0].state);
    EXPECT_EQ(Engine::DevicesAvailableNoneSelected, changes[0].previous);

    EXPECT_EQ(1u, engine->GetFoundDeviceCount());
    EXPECT_EQ(0, engine->GetSelectedDeviceIndex());
    EXPECT_FALSE(engine->IsFoundDeviceInUpdateMode(0));
    FirmwareVersion version;
    ASSERT_EQ(S_OK, engine->GetFoundDeviceVersion(0, version));
    EXPECT_EQ((FirmwareVersion{1, 0, 3, 0, L""}), version);
    String text;
    EXPECT_EQ(S_OK, engine->GetDeviceVersionText(text));
    EXPECT_EQ(String(L"1.0.3.0"), text);
    // One identity request, answered within its time limit.
    EXPECT_EQ(std::vector<TimingStep>{(TimingStep{TimingStep::Wait, 2000})}, timing->Steps());
    EXPECT_EQ((std::vector<std::string>{"F0 7E 7F 06 01 F7"}), device.HostMessages());

    TempFile file("0001FF");
    engine->SetFirmwareFile(file.Path().c_str());
    EXPECT_TRUE(engine->IsUpdateNeeded()); // 1.0.3.0 before 1.0.4.4
}

TEST_F(EngineDiscoveryTest, DeviceWithTheFilesVersionNeedsNoUpdate)
{
    device.Reset(Mode::Normal, "1.0.4.4");
    ASSERT_EQ(S_OK, engine->Rescan());
    TempFile file("0001FF");
    engine->SetFirmwareFile(file.Path().c_str());
    EXPECT_FALSE(engine->IsUpdateNeeded());
}

TEST_F(EngineDiscoveryTest, OneDeviceInUpdateModeIsFoundWithUnknownVersion)
{
    device.Reset(Mode::Update);
    ASSERT_EQ(S_OK, engine->Rescan());

    EXPECT_EQ(Engine::InUpdateMode, engine->GetDeviceState());
    const std::vector<Posted> changes = posted->Of(NID_DEVICE_STATE_CHANGE);
    ASSERT_EQ(1u, changes.size());
    EXPECT_EQ(Engine::InUpdateMode, changes[0].state);
    EXPECT_EQ(Engine::DevicesAvailableNoneSelected, changes[0].previous);
    EXPECT_TRUE(engine->IsFoundDeviceInUpdateMode(0));
    FirmwareVersion version;
    ASSERT_EQ(S_OK, engine->GetFoundDeviceVersion(0, version));
    EXPECT_EQ((FirmwareVersion{0, 0, 0, 0, L""}), version);
    EXPECT_EQ(String(L"Unknown"), version.mText);
    // No identity request: the normal-mode ports are not there.
    EXPECT_TRUE(timing->Steps().empty());
}

TEST_F(EngineDiscoveryTest, NoDeviceConnected)
{
    device.Reset(Mode::Off);
    ASSERT_EQ(S_OK, engine->Rescan());
    EXPECT_EQ(Engine::NoDeviceFound, engine->GetDeviceState());
    EXPECT_EQ(0u, engine->GetFoundDeviceCount());
    EXPECT_EQ(-1, engine->GetSelectedDeviceIndex());
    // From state 1 to state 1: nothing to post.
    EXPECT_TRUE(posted->Of(NID_DEVICE_STATE_CHANGE).empty());
}

TEST_F(EngineDiscoveryTest, UnrecognisedIdentityRepliesTimeOutAndTheDeviceIsNotFound)
{
    // long: a 17-byte reply (three-byte manufacturer ID); bad: the wrong
    // sub-ID; short: 14 bytes; none: no reply at all.
    for (const char* identity : {"long", "bad", "short", "none"}) {
        SCOPED_TRACE(identity);
        device.Reset(Mode::Normal);
        device.Set("identity", identity);
        timing->Clear();
        ASSERT_EQ(S_OK, engine->Rescan());
        EXPECT_EQ(Engine::NoDeviceFound, engine->GetDeviceState());
        EXPECT_EQ(0u, engine->GetFoundDeviceCount());
        EXPECT_EQ(std::vector<TimingStep>{(TimingStep{TimingStep::Wait, 2000})}, timing->Steps());
    }
}

TEST_F(EngineDiscoveryTest, AReplyAfterTheTimeLimitFindsNothing)
{
    // The test timing gives up after 800 ms of real time: the reply comes later.
    device.Set("identity", "late");
    device.Set("late_ms", "1500");
    ASSERT_EQ(S_OK, engine->Rescan());
    EXPECT_EQ(Engine::NoDeviceFound, engine->GetDeviceState());
    Sleep(1000); // the reply's time passes with the ports closed
    EXPECT_EQ(Engine::NoDeviceFound, engine->GetDeviceState());
    EXPECT_EQ(0u, engine->GetFoundDeviceCount());
    // A reply within the time limit is taken.
    device.Set("late_ms", "50");
    ASSERT_EQ(S_OK, engine->Rescan());
    EXPECT_EQ(Engine::NotInUpdateMode, engine->GetDeviceState());
}

TEST_F(EngineDiscoveryTest, NoiseAroundTheReplyIsIgnored)
{
    device.Set("noise", "1");
    ASSERT_EQ(S_OK, engine->Rescan());
    EXPECT_EQ(Engine::NotInUpdateMode, engine->GetDeviceState());
    String text;
    EXPECT_EQ(S_OK, engine->GetDeviceVersionText(text));
    EXPECT_EQ(String(L"1.0.3.0"), text);
}

TEST_F(EngineDiscoveryTest, TwoDevicesFoundLeaveTheChoiceOpen)
{
    Array<Engine::DeviceDefinition> definitions;
    definitions.AddItem(DefaultDefinition());
    definitions.AddItem(DefaultDefinition());
    ASSERT_EQ(S_OK, engine->SetDeviceDefinitions(definitions));
    ASSERT_EQ(S_OK, engine->Rescan());
    EXPECT_EQ(Engine::DevicesAvailableNoneSelected, engine->GetDeviceState());
    EXPECT_EQ(2u, engine->GetFoundDeviceCount());
    EXPECT_EQ(-1, engine->GetSelectedDeviceIndex());

    EXPECT_EQ(E_INVALIDARG, engine->SelectDevice(5));
    EXPECT_EQ(Engine::DevicesAvailableNoneSelected, engine->GetDeviceState());
    EXPECT_EQ(-1, engine->GetSelectedDeviceIndex());
    EXPECT_EQ(S_OK, engine->SelectDevice(1));
    EXPECT_EQ(Engine::NotInUpdateMode, engine->GetDeviceState());
    EXPECT_EQ(1, engine->GetSelectedDeviceIndex());
}

TEST_F(EngineDiscoveryTest, ModeChangeThenRefreshFollowsTheRestart)
{
    FindDevice(Engine::NotInUpdateMode);
    EXPECT_EQ(9, engine->RequestEnterUpdateMode());
    EXPECT_EQ(Engine::EnteringUpdateMode, engine->GetDeviceState());
    EXPECT_EQ(std::vector<TimingStep>{(TimingStep{TimingStep::Wait, 2000})}, timing->Steps());
    EXPECT_EQ(SysExWords("QJd)>RT"), device.HostMessages().back());
    EXPECT_TRUE(device.State().armed);

    // Switched off: the refresh finds nothing and changes nothing.
    device.Set("off_ms", "600000");
    device.PowerCycle();
    posted->Clear();
    EXPECT_EQ(S_OK, engine->RefreshSelectedDevice());
    EXPECT_EQ(Engine::EnteringUpdateMode, engine->GetDeviceState());
    EXPECT_TRUE(posted->Of(NID_DEVICE_STATE_CHANGE).empty());

    // Back on, in update mode.
    device.Set("off_ms", "0");
    device.PowerCycle();
    EXPECT_EQ(S_OK, engine->RefreshSelectedDevice());
    EXPECT_EQ(Engine::InUpdateMode, engine->GetDeviceState());
    EXPECT_TRUE(engine->IsFoundDeviceInUpdateMode(0));
    // Nothing more to do in update mode.
    const size_t sent = device.HostMessages().size();
    EXPECT_EQ(S_FALSE, engine->EnterUpdateMode());
    EXPECT_EQ(sent, device.HostMessages().size());
}

TEST_F(EngineDiscoveryTest, ModeChangeWithoutAcknowledgementIsADeviceError)
{
    // none: no reply; wrong: F0 15 00 F7, which is no acknowledgement.
    for (const char* modeAck : {"none", "wrong"}) {
        SCOPED_TRACE(modeAck);
        device.Reset(Mode::Normal);
        device.Set("mode_ack", modeAck);
        FindDevice(Engine::NotInUpdateMode);
        EXPECT_EQ(E_FAIL, engine->EnterUpdateMode());
        EXPECT_EQ(Engine::DeviceError, engine->GetDeviceState());
        int32_t code = 0;
        EXPECT_EQ(S_OK, engine->GetSelectedDeviceErrorCode(code));
        EXPECT_EQ(Engine::DeviceAccessFailure, code);
        EXPECT_EQ(std::vector<TimingStep>{(TimingStep{TimingStep::Wait, 2000})}, timing->Steps());
        const std::vector<Posted> changes = posted->Of(NID_DEVICE_STATE_CHANGE);
        ASSERT_EQ(2u, changes.size());
        EXPECT_EQ(Engine::EnteringUpdateMode, changes[0].state);
        EXPECT_EQ(Engine::DeviceError, changes[1].state);
    }
}

TEST_F(EngineDiscoveryTest, ModeChangeWhoseSendNeverCompletesFails)
{
    FindDevice(Engine::NotInUpdateMode);
    device.Set("send_done", "never");
    const RCPtr<LMidiComm> comm = RCPtr<LMidiComm>::DynamicCast(engine->Comm());
    ASSERT_TRUE(comm);
    comm->SetSendTimeout(50);
    // The device got the message and acknowledged it, but the send failed.
    EXPECT_EQ(E_FAIL, engine->EnterUpdateMode());
    EXPECT_EQ(Engine::DeviceError, engine->GetDeviceState());
    EXPECT_EQ(SysExWords("QJd)>RT"), device.HostMessages().back());
}

TEST_F(EngineDiscoveryTest, ModeChangeRefusedWithoutASelectedDevice)
{
    engine->SetDeviceState(Engine::DevicesAvailableNoneSelected);
    EXPECT_EQ(E_FAIL, engine->EnterUpdateMode());
    EXPECT_EQ(Engine::DevicesAvailableNoneSelected, engine->GetDeviceState());
    EXPECT_TRUE(device.HostMessages().empty());
}

TEST_F(EngineDiscoveryTest, RefreshOfAVanishedDeviceIsADeviceAccessFailure)
{
    FindDevice(Engine::NotInUpdateMode);
    device.Reset(Mode::Off);
    EXPECT_EQ(S_OK, engine->RefreshSelectedDevice());
    EXPECT_EQ(Engine::DeviceError, engine->GetDeviceState());
    int32_t code = 0;
    EXPECT_EQ(S_OK, engine->GetSelectedDeviceErrorCode(code));
    EXPECT_EQ(Engine::DeviceAccessFailure, code);
}

TEST_F(EngineDiscoveryTest, RefreshNeedsASelection)
{
    EXPECT_EQ(E_FAIL, engine->RefreshSelectedDevice()); // state 1
    engine->SetDeviceState(Engine::NotInUpdateMode);    // no device selected
    EXPECT_EQ(E_FAIL, engine->RefreshSelectedDevice());
}

TEST_F(EngineDiscoveryTest, SelectionRefusedWhileEnteringOrUpdating)
{
    FindDevice(Engine::NotInUpdateMode);
    for (int32_t state : {Engine::EnteringUpdateMode, Engine::Updating}) {
        engine->SetDeviceState(state);
        EXPECT_EQ(E_FAIL, engine->SelectDevice(0));
        EXPECT_EQ(state, engine->GetDeviceState());
        EXPECT_EQ(0, engine->GetSelectedDeviceIndex());
    }
}

} // namespace
