// The component on its own threads: receivers that open ports while capture
// runs, and a component whose last reference goes on its own worker.
#include "MidiTestSupport.h"

#include <atomic>

namespace MidiTest {
namespace {

// A component that signals its destruction.
class SignallingComm : public LMidiComm
{
public:
    static RCPtr<LMidiCommInterface> Create(HANDLE destroyed)
    {
        return RCPtr<LMidiCommInterface>(new SignallingComm(destroyed));
    }

protected:
    explicit SignallingComm(HANDLE destroyed) : mDestroyed(destroyed) {}
    ~SignallingComm() override { SetEvent(mDestroyed); }

private:
    HANDLE mDestroyed;
};

// Runs an action for every captured message, on the component's worker.
class ActingReceiver : public LNotificationClient
{
public:
    using Action = std::function<void()>;
    static RCPtr<ActingReceiver> Create(Action action) { return RCPtr<ActingReceiver>(new ActingReceiver(action)); }

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) override
    {
        mAction();
        mCount.fetch_add(1);
        return S_OK;
    }

    std::atomic<int> mCount{0};

private:
    explicit ActingReceiver(Action action) : mAction(action) {}
    Action mAction;
};

using MidiLifetimeTest = MidiDeviceTest;

TEST_F(MidiLifetimeTest, AReceiverMayOpenPortsWhileMessagesArrive)
{
    RCPtr<LRefCountedObject> in = OpenCapture(L"Tavik 8");
    RCPtr<LRefCountedObject> out = OpenRender(L"Tavik 8");
    LMidiCommInterface* comm = mComm.Get();
    std::atomic<int> sameOpened{0};
    // On the worker: the component lock, while the callbacks take it (and
    // the pool's lock after it) to queue further messages.
    RCPtr<ActingReceiver> opener = ActingReceiver::Create([&] {
        RCPtr<LRefCountedObject> port;
        if (comm->OpenCapturePort(L"Tavik 8", port) == S_OK && port.Get() == in.Get())
            sameOpened.fetch_add(1);
        RCPtr<LRefCountedObject> partial;
        comm->OpenRenderPort(L"Tavik", partial); // a second port for an open device: refused
    });
    opener->Register(mComm, NID_MIDI_DATA_CAPTURED);
    Bytes stream;
    for (int i = 0; i < 200; ++i) {
        stream.push_back(0xB0);
        stream.push_back(static_cast<uint8_t>(i % 0x78));
        stream.push_back(0x00);
    }
    DeviceSends(stream);
    ASSERT_TRUE(mReceiver->WaitFor(200));
    EXPECT_EQ(200, sameOpened.load());
    opener->UnregisterAll();
    EXPECT_EQ(1, Comm().GetCapturePortCount());
    EXPECT_EQ(1, Comm().GetRenderPortCount());
}

TEST_F(MidiLifetimeTest, TheLastReferenceToAComponentMayGoOnItsOwnWorker)
{
    HANDLE destroyed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    RCPtr<LMidiCommInterface> comm = SignallingComm::Create(destroyed);
    RCPtr<LRefCountedObject> in;
    RCPtr<LRefCountedObject> out;
    ASSERT_EQ(S_OK, comm->OpenCapturePort(L"Tavik 8", in));
    ASSERT_EQ(S_OK, comm->OpenRenderPort(L"Tavik 8", out));

    // The receiver lets go of everything it holds, as the engine does when it
    // replaces its component while a reply is being delivered.
    std::mutex held;
    RCPtr<ActingReceiver> receiver;
    receiver = ActingReceiver::Create([&] {
        std::lock_guard<std::mutex> lock(held);
        if (!comm)
            return;
        receiver->Unregister(comm, NID_MIDI_DATA_CAPTURED);
        in = nullptr;
        out = nullptr;
        comm = nullptr;
    });
    receiver->Register(comm, NID_MIDI_DATA_CAPTURED);
    {
        std::lock_guard<std::mutex> lock(held);
        EXPECT_EQ(6, comm->Send(out, ToArray(Tavik8Sim::DeviceModel::IdentityRequest())));
    }
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(destroyed, kGenerousMs));
    EXPECT_EQ(1, receiver->mCount.load());
    receiver = nullptr;
    CloseHandle(destroyed);

    // Everything was closed: the device opens again.
    RCPtr<LRefCountedObject> again = OpenCapture(L"Tavik 8");
}

} // namespace
} // namespace MidiTest
