// Sending: short and long messages, the byte counts, bad arguments, and a long
// message whose completion never comes.
#include "MidiTestSupport.h"

namespace MidiTest {
namespace {

using MidiSendTest = MidiDeviceTest;

const Bytes kNine = {0xF0, 0x7D, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0xF7};

TEST_F(MidiSendTest, SendAnswersTheBytesSent)
{
    RCPtr<LRefCountedObject> out = OpenRender(L"Tavik 8");
    EXPECT_EQ(9, Send(out, kNine));
    EXPECT_EQ(3, Send(out, B({0x90, 0x3C, 0x64})));
    EXPECT_EQ(2, Send(out, B({0xC0, 0x05})));
    EXPECT_EQ(1, Send(out, B({0xF8})));
    EXPECT_EQ(3, Send(out, B({0xE0}))) << "the length of the message its status begins";

    // The shared-buffer form.
    RCPtr<LIBuffer> buffer;
    LPixelStorage::Create(buffer, 9, 0, false);
    std::memcpy(buffer->GetData(), kNine.data(), 9);
    EXPECT_EQ(9, mComm->Send(out, ConstRCPtr<LIBuffer>(buffer.Get())));

    const std::string transcript = mStore.ReadTranscript();
    EXPECT_NE(std::string::npos, transcript.find("host->device  F0 7D 01 02 03 04 05 06 F7"));
    EXPECT_NE(std::string::npos, transcript.find("host->device  90 3C 64"));
}

TEST_F(MidiSendTest, OnlyRenderPortsAndSomeBytesCanBeSent)
{
    RCPtr<LRefCountedObject> in = OpenCapture(L"Tavik 8");
    RCPtr<LRefCountedObject> out = OpenRender(L"Tavik 8");
    EXPECT_EQ(E_INVALIDARG, Send(in, kNine));
    EXPECT_EQ(E_INVALIDARG, Send(RCPtr<LRefCountedObject>(), kNine));
    EXPECT_EQ(E_INVALIDARG, Send(out, Bytes()));
    EXPECT_EQ(E_INVALIDARG, Comm().Send(out, nullptr, 3));
    EXPECT_EQ(E_INVALIDARG, mComm->Send(out, ConstRCPtr<LIBuffer>()));
    RCPtr<LIBuffer> empty;
    LPixelStorage::Create(empty, 0, 0, true);
    EXPECT_EQ(E_INVALIDARG, mComm->Send(out, ConstRCPtr<LIBuffer>(empty.Get())));
}

TEST_F(MidiSendTest, ALongMessageNeverCompletedFailsAndThePortStaysUsable)
{
    RCPtr<LRefCountedObject> out = OpenRender(L"Tavik 8");
    Comm().SetSendTimeout(300);
    DeviceSet("send_done", "never");
    EXPECT_EQ(E_FAIL, Send(out, kNine));
    auto render = RCPtr<LMidiRenderPort>::DynamicCast(out);
    EXPECT_TRUE(render->GetIdleLight().IsGreen());

    DeviceSet("send_done", "ok");
    EXPECT_EQ(9, Send(out, kNine));
    render = nullptr;
    out = nullptr;
    EXPECT_EQ(0, Comm().GetRenderPortCount()) << "closes after a failed send";
}

TEST_F(MidiSendTest, SendingToADeviceThatWentAwayFails)
{
    RCPtr<LRefCountedObject> out = OpenRender(L"Tavik 8");
    DeviceSet("off_ms", "600000");
    Device([](Tavik8Sim::DeviceModel& m, Tavik8Sim::TimeMs now) { m.PowerCycle(now); });
    EXPECT_EQ(E_FAIL, Send(out, B({0x90, 0x3C, 0x64})));
    EXPECT_EQ(E_FAIL, Send(out, kNine));
    OpenRender(L"Tavik 8", E_FAIL);
}

} // namespace
} // namespace MidiTest
