// Capture: short messages by their status byte, system-exclusive messages
// whole whatever the buffers, delivery on the pool's worker in arrival order,
// and the capture filters.
#include "MidiTestSupport.h"

namespace MidiTest {
namespace {

using MidiCaptureTest = MidiDeviceTest;

TEST_F(MidiCaptureTest, ShortMessagesArriveByTheLengthOfTheirStatusByte)
{
    RCPtr<LRefCountedObject> in = OpenCapture(L"Tavik 8");
    // One stream from the device: note-on, program change, clock, song
    // position, MIDI time code quarter frame, tune request.
    DeviceSends(B({0x90, 0x3C, 0x64, 0xC0, 0x05, 0xF8, 0xF2, 0x01, 0x02, 0xF1, 0x13, 0xF6}));
    ASSERT_TRUE(mReceiver->WaitFor(6));
    const std::vector<Bytes> expected = {B({0x90, 0x3C, 0x64}), B({0xC0, 0x05}), B({0xF8}),
                                         B({0xF2, 0x01, 0x02}), B({0xF1, 0x13}), B({0xF6})};
    EXPECT_EQ(expected, mReceiver->ByteStrings());
    for (const Captured& c : mReceiver->Messages()) {
        EXPECT_EQ(L"Tavik 8", c.portName);
        EXPECT_NE(GetCurrentThreadId(), c.thread) << "delivered on the component's worker";
    }
    EXPECT_EQ(mReceiver->Messages()[0].thread, mReceiver->Messages()[5].thread) << "one worker";
}

TEST_F(MidiCaptureTest, ShortMessagesCarryTheSystemsTimeStamp)
{
    RCPtr<LRefCountedObject> in = OpenCapture(L"Tavik 8");
    auto capture = RCPtr<LMidiCapturePort>::DynamicCast(in);
    {
        MutexLock lock(Comm().GetLock());
        Comm().OnShortMessage(capture.Get(), 0x00643C90, 1234);
    }
    DeviceSends(SysEx(20));
    ASSERT_TRUE(mReceiver->WaitFor(2));
    EXPECT_EQ(1234u, mReceiver->Messages()[0].timeStamp);
    EXPECT_EQ(0u, mReceiver->Messages()[1].timeStamp) << "system-exclusive data has none";
}

TEST_F(MidiCaptureTest, SystemExclusiveMessagesArriveWholeWhateverTheBuffers)
{
    RCPtr<LRefCountedObject> in = OpenCapture(L"Tavik 8");
    // 300 bytes: a full buffer without 0xF7 and 44 more; exactly one full
    // buffer ending in 0xF7; one byte beyond a full buffer; three buffers and
    // more; then a short one, and a note between them.
    const std::vector<Bytes> messages = {SysEx(300), SysEx(256), SysEx(257), SysEx(1000), SysEx(3)};
    for (const Bytes& m : messages)
        DeviceSends(m);
    DeviceSends(B({0x90, 0x3C, 0x64}));
    DeviceSends(SysEx(600));
    ASSERT_TRUE(mReceiver->WaitFor(7));
    std::vector<Bytes> expected = messages;
    expected.push_back(B({0x90, 0x3C, 0x64}));
    expected.push_back(SysEx(600));
    const std::vector<Bytes> received = mReceiver->ByteStrings();
    ASSERT_EQ(expected.size(), received.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(expected[i], received[i]) << "message " << i << " of " << expected[i].size() << " bytes";
}

TEST_F(MidiCaptureTest, ASingleBufferMustBeSystemExclusiveButACollectedMessageNeedNot)
{
    RCPtr<LRefCountedObject> in = OpenCapture(L"Tavik 8");
    auto capture = RCPtr<LMidiCapturePort>::DynamicCast(in);
    Bytes lone = {0x01, 0x02, 0xF7};
    Bytes head(256, 0x11);
    Bytes tail = {0x22, 0xF7};
    {
        MutexLock lock(Comm().GetLock());
        auto bytes = [](const Bytes& b) { return reinterpret_cast<const signed char*>(b.data()); };
        Comm().OnSysExData(capture.Get(), bytes(lone), 3, true);
        Comm().OnSysExData(capture.Get(), bytes(head), 256, false);
        EXPECT_TRUE(capture->PendingMessage());
        Comm().OnSysExData(capture.Get(), bytes(tail), 2, true);
        EXPECT_FALSE(capture->PendingMessage());
    }
    DeviceSends(SysEx(5));
    ASSERT_TRUE(mReceiver->WaitFor(2));
    Bytes joined = head;
    joined.insert(joined.end(), tail.begin(), tail.end());
    EXPECT_EQ((std::vector<Bytes>{joined, SysEx(5)}), mReceiver->ByteStrings());
}

TEST_F(MidiCaptureTest, ManyMessagesAreDeliveredOneAtATimeInArrivalOrder)
{
    RCPtr<LRefCountedObject> in = OpenCapture(L"Tavik 8");
    Bytes stream;
    for (int note = 0; note < 100; ++note) {
        stream.push_back(0x90);
        stream.push_back(static_cast<uint8_t>(note));
        stream.push_back(0x40);
    }
    DeviceSends(stream);
    ASSERT_TRUE(mReceiver->WaitFor(100));
    const std::vector<Bytes> received = mReceiver->ByteStrings();
    for (int note = 0; note < 100; ++note)
        EXPECT_EQ(B({0x90, note, 0x40}), received[static_cast<size_t>(note)]);
}

TEST_F(MidiCaptureTest, FiltersLetOnlyMessagesThatBeginWithAPatternThrough)
{
    mComm->AddCaptureFilter(ToArray(B({0xF0, 0x7E})));
    RCPtr<LRefCountedObject> in = OpenCapture(L"Tavik 8");
    RCPtr<LRefCountedObject> out = OpenRender(L"Tavik 8");
    DeviceSends(B({0x90, 0x3C, 0x64}));
    DeviceSends(SysEx(300)); // collected from two buffers: filtered whole
    EXPECT_EQ(6, Send(out, Tavik8Sim::DeviceModel::IdentityRequest()));
    ASSERT_TRUE(mReceiver->WaitFor(1));
    const std::vector<Bytes> onlyReply = {Tavik8Sim::DeviceModel::IdentityReply("1.0.3.0")};
    EXPECT_EQ(onlyReply, mReceiver->ByteStrings());

    // A pattern longer than the message drops it; an empty one matches nothing.
    LMidiCommInterface::FilterList filters;
    Bytes longer = Tavik8Sim::DeviceModel::IdentityReply("1.0.3.0");
    longer.push_back(0x00);
    filters.AddItem(ToArray(longer));
    filters.AddItem(Array<signed char>());
    filters.AddItem(ToArray(B({0xF0, 0x01})));
    mComm->SetCaptureFilters(filters);
    EXPECT_EQ(6, Send(out, Tavik8Sim::DeviceModel::IdentityRequest()));
    DeviceSends(B({0xF0, 0x01, 0xF7}));
    ASSERT_TRUE(mReceiver->WaitFor(2));
    EXPECT_EQ(B({0xF0, 0x01, 0xF7}), mReceiver->ByteStrings()[1]);
}

TEST(MidiCaptureFilters, TheListAndItsVerdicts)
{
    RCPtr<LMidiCommInterface> comm;
    LMidiCommInterface::Create(comm);
    const signed char reply[] = {-16, 0x7E, 0x00, 0x06, 0x02}; // F0 7E ...
    const signed char note[] = {-112, 0x3C, 0x64};             // 90 3C 64

    int32_t length = 5;
    EXPECT_EQ(S_FALSE, comm->ApplyCaptureFilters(reply, length)) << "no filter: everything passes";
    EXPECT_EQ(5, length);

    EXPECT_EQ(0, comm->AddCaptureFilter(ToArray(B({0xF0, 0x7E}))));
    EXPECT_EQ(1, comm->AddCaptureFilter(ToArray(B({}))));
    EXPECT_EQ(S_OK, comm->ApplyCaptureFilters(reply, length));
    EXPECT_EQ(5, length);
    length = 3;
    EXPECT_EQ(S_OK, comm->ApplyCaptureFilters(note, length));
    EXPECT_EQ(0, length) << "dropped";
    length = 1;
    EXPECT_EQ(S_OK, comm->ApplyCaptureFilters(reply, length));
    EXPECT_EQ(0, length) << "the pattern is longer than the message";
    length = 0;
    EXPECT_EQ(E_FAIL, comm->ApplyCaptureFilters(reply, length));
    length = 3;
    EXPECT_EQ(E_FAIL, comm->ApplyCaptureFilters(nullptr, length));
    EXPECT_EQ(3, length);

    LMidiCommInterface::FilterList copy;
    comm->GetCaptureFilters(copy);
    ASSERT_EQ(2, copy.GetCount());
    EXPECT_EQ(ToArray(B({0xF0, 0x7E})), copy.GetAt(0));
    EXPECT_EQ(0, comm->ClearCaptureFilters());
    comm->GetCaptureFilters(copy);
    EXPECT_EQ(0, copy.GetCount());
}

TEST(MidiCapturedData, ShortMessagesStayInsideTheObject)
{
    RCPtr<LMidiCaptureNotificationData> data;
    LMidiCaptureNotificationData::Create(data, L"Tavik 8");
    const signed char bytes[] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(S_OK, data->AppendBytes(bytes, 3));
    EXPECT_EQ(0u, data->GetBytes().GetCapacityInBytes()) << "no heap block";
    EXPECT_EQ(S_OK, data->AppendBytes(bytes + 3, 3));
    ASSERT_EQ(6, data->GetBytes().GetCount());
    EXPECT_EQ(0, std::memcmp(bytes, data->GetBytes().GetData(), 6));
    EXPECT_EQ(E_INVALIDARG, data->AppendBytes(nullptr, 2));
    EXPECT_EQ(String(L"Tavik 8"), data->GetPortName());
    EXPECT_EQ(0u, data->GetTimeStamp());
}

} // namespace
} // namespace MidiTest
