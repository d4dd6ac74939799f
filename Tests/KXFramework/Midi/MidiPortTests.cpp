// Port lifetime: reopening gives the same port, releasing closes it, a port
// whose device went away is opened again, and a port keeps its component.
#include "MidiTestSupport.h"

namespace MidiTest {
namespace {

using MidiPortTest = MidiDeviceTest;

// Opens device 0 directly; MMSYSERR_ALLOCATED while a port holds it.
MMRESULT TryRawInput()
{
    HMIDIIN in = nullptr;
    MMRESULT result = midiInOpen(&in, 0, 0, 0, CALLBACK_NULL);
    if (result == MMSYSERR_NOERROR)
        midiInClose(in);
    return result;
}

MMRESULT TryRawOutput()
{
    HMIDIOUT out = nullptr;
    MMRESULT result = midiOutOpen(&out, 0, 0, 0, CALLBACK_NULL);
    if (result == MMSYSERR_NOERROR)
        midiOutClose(out);
    return result;
}

TEST_F(MidiPortTest, ReopeningAFullNameGivesTheSamePortAndReleasingClosesIt)
{
    RCPtr<LRefCountedObject> in = OpenCapture(L"Tavik 8");
    RCPtr<LRefCountedObject> inAgain = OpenCapture(L"TAVIK 8");
    RCPtr<LRefCountedObject> out = OpenRender(L"Tavik 8");
    RCPtr<LRefCountedObject> outAgain = OpenRender(L"tavik 8");
    EXPECT_EQ(in.Get(), inAgain.Get());
    EXPECT_EQ(out.Get(), outAgain.Get());
    EXPECT_EQ(1, Comm().GetCapturePortCount());
    EXPECT_EQ(1, Comm().GetRenderPortCount());
    EXPECT_EQ(static_cast<MMRESULT>(MMSYSERR_ALLOCATED), TryRawInput()) << "the device is open";
    EXPECT_EQ(static_cast<MMRESULT>(MMSYSERR_ALLOCATED), TryRawOutput());

    inAgain = nullptr;
    outAgain = nullptr;
    EXPECT_EQ(1, Comm().GetCapturePortCount()) << "still held";
    in = nullptr;
    out = nullptr;
    EXPECT_EQ(0, Comm().GetCapturePortCount());
    EXPECT_EQ(0, Comm().GetRenderPortCount());
    EXPECT_EQ(static_cast<MMRESULT>(MMSYSERR_NOERROR), TryRawInput()) << "the release closed the device";
    EXPECT_EQ(static_cast<MMRESULT>(MMSYSERR_NOERROR), TryRawOutput());

    // The next open opens the device again, and it captures.
    in = OpenCapture(L"Tavik 8");
    out = OpenRender(L"Tavik 8");
    EXPECT_EQ(6, Send(out, Tavik8Sim::DeviceModel::IdentityRequest()));
    ASSERT_TRUE(mReceiver->WaitFor(1));
}

TEST_F(MidiPortTest, APartialNameIsNotFoundAgainAndItsSecondOpenFails)
{
    RCPtr<LRefCountedObject> in = OpenCapture(L"tavik");
    // A second port for the same device: the system refuses a second open.
    OpenCapture(L"tavik", E_FAIL);
    EXPECT_EQ(1, Comm().GetCapturePortCount());
    // The full unique name does not find a port opened under a partial one.
    OpenCapture(L"Tavik 8", E_FAIL);
}

TEST_F(MidiPortTest, APortWhoseDeviceWentAwayIsOpenedAgainAndListens)
{
    RCPtr<LRefCountedObject> in = OpenCapture(L"Tavik 8");
    RCPtr<LRefCountedObject> out = OpenRender(L"Tavik 8");
    auto capture = RCPtr<LMidiCapturePort>::DynamicCast(in);
    const HMIDIIN oldHandle = capture->GetHandle();

    // A message is being collected when the device is switched off and on.
    {
        MutexLock lock(Comm().GetLock());
        Bytes first = SysEx(300);
        Comm().OnSysExData(capture.Get(), reinterpret_cast<const signed char*>(first.data()), 256, false);
    }
    Device([](Tavik8Sim::DeviceModel& m, Tavik8Sim::TimeUs now) { m.PowerCycle(now); });

    RCPtr<LRefCountedObject> inAgain = OpenCapture(L"Tavik 8");
    RCPtr<LRefCountedObject> outAgain = OpenRender(L"Tavik 8");
    EXPECT_EQ(in.Get(), inAgain.Get());
    EXPECT_EQ(out.Get(), outAgain.Get());
    EXPECT_NE(oldHandle, capture->GetHandle()) << "opened again";
    EXPECT_FALSE(capture->PendingMessage()) << "the cut-off message is dropped";

    // The reset of the old handle returned its buffers empty: they are no
    // message, so the first message delivered is the device's reply.
    EXPECT_EQ(6, Send(out, Tavik8Sim::DeviceModel::IdentityRequest()));
    ASSERT_TRUE(mReceiver->WaitFor(1));
    EXPECT_EQ(Tavik8Sim::DeviceModel::IdentityReply("1.0.3.0"), mReceiver->Messages()[0].bytes);
}

TEST_F(MidiPortTest, PortsKeepTheirComponentAndComponentsGiveNoPortToAnother)
{
    RCPtr<LRefCountedObject> in = OpenCapture(L"Tavik 8");
    RCPtr<LRefCountedObject> out = OpenRender(L"Tavik 8");

    RCPtr<LMidiCommInterface> other;
    LMidiCommInterface::Create(other);
    EXPECT_EQ(E_INVALIDARG, other->Send(in, ToArray(B({0x90, 0x3C, 0x64}))));
    EXPECT_EQ(3, other->Send(out, ToArray(B({0x90, 0x3C, 0x64})))) << "a render port is a render port";
    other = nullptr;

    // The test lets its component go; the ports still hold it and it delivers.
    LMidiComm* comm = &Comm();
    mComm = nullptr;
    EXPECT_EQ(comm, RCPtr<LMidiCapturePort>::DynamicCast(in)->GetOwner().Get());
    EXPECT_EQ(6, comm->Send(out, ToArray(Tavik8Sim::DeviceModel::IdentityRequest())));
    ASSERT_TRUE(mReceiver->WaitFor(1));
    EXPECT_EQ(comm, dynamic_cast<LMidiComm*>(mReceiver->Senders()[0]));
    mReceiver->UnregisterAll();
    in = nullptr;
    out = nullptr;
    EXPECT_EQ(static_cast<MMRESULT>(MMSYSERR_NOERROR), TryRawInput());
}

TEST(MidiPortCreation, APortNeedsANameAndAnOwner)
{
    RCPtr<LMidiCommInterface> comm;
    LMidiCommInterface::Create(comm);
    RCPtr<LMidiComm> owner = RCPtr<LMidiComm>::DynamicCast(comm);
    RCPtr<LMidiCapturePort> capture;
    LMidiCapturePort::Create(capture, L"", owner);
    EXPECT_FALSE(capture);
    LMidiCapturePort::Create(capture, L"Tavik 8", RCPtr<LMidiComm>());
    EXPECT_FALSE(capture);
    RCPtr<LMidiRenderPort> render;
    LMidiRenderPort::Create(render, L"", owner);
    EXPECT_FALSE(render);

    // A closed port takes no buffer and refuses one back.
    LMidiCapturePort::Create(capture, L"Tavik 8", owner);
    ASSERT_TRUE(capture);
    EXPECT_EQ(static_cast<MMRESULT>(MMSYSERR_ERROR), capture->AddInputBuffers());
    EXPECT_EQ(static_cast<MMRESULT>(MMSYSERR_HANDLEBUSY), capture->AddInputBuffer(&capture->GetBuffer(0).header));
}

} // namespace
} // namespace MidiTest
