// The device's replies as the engine reads them: the identity reply and its
// version, the one-byte reply codes, and which signal the handler of
// captured data sets for each (the reply table).
#include "EngineTestSupport.h"

using namespace EngineTest;

namespace {

using Engine = LUpdateEngineInterface;

Array<signed char> Bytes(std::initializer_list<int> values)
{
    Array<signed char> bytes;
    for (int v : values)
        bytes.AddItem(static_cast<signed char>(v));
    return bytes;
}

Array<signed char> IdentityReply(char major, char minor, char patch, char build)
{
    return Bytes({0xF0, 0x7E, 0x10, 0x06, 0x02, 0x00, 0x21, 0x09, 0x08, 0x00, major, minor, patch, build, 0xF7});
}

TEST(EngineReplyFormatTest, IdentityReplyIsExactlyFifteenBytesOfTheRightKind)
{
    EXPECT_TRUE(LUpdateEngine::IsIdentityReply(IdentityReply('1', '0', '4', '4')));
    // Three-byte manufacturer ID: 17 bytes.
    EXPECT_FALSE(LUpdateEngine::IsIdentityReply(Bytes({0xF0, 0x7E, 0x10, 0x06, 0x02, 0x00, 0x20, 0x33, 0x21, 0x09,
                                                        0x08, 0x00, '1', '0', '4', '4', 0xF7})));
    Array<signed char> bad = IdentityReply('1', '0', '4', '4');
    bad.GetAt(4) = 0x03;
    EXPECT_FALSE(LUpdateEngine::IsIdentityReply(bad));
    Array<signed char> shortReply = IdentityReply('1', '0', '4', '4');
    shortReply.SetCount(14);
    EXPECT_FALSE(LUpdateEngine::IsIdentityReply(shortReply));
}

TEST(EngineReplyFormatTest, VersionComesFromBytesTenToThirteen)
{
    FirmwareVersion version;
    ASSERT_EQ(S_OK, LUpdateEngine::ParseIdentityReplyVersion(IdentityReply('1', '0', '4', '4'), version));
    EXPECT_EQ((FirmwareVersion{1, 0, 4, 4, L""}), version);
    EXPECT_EQ(String(L"1.0.4.4"), version.mText);
    // Not tested for digits: each number is the byte less '0'.
    ASSERT_EQ(S_OK, LUpdateEngine::ParseIdentityReplyVersion(IdentityReply('2', ':', '0', 'A'), version));
    EXPECT_EQ(10u, version.mMinor);
    EXPECT_EQ(17u, version.mBuild);
    EXPECT_EQ(String(L"2.:.0.A"), version.mText);
}

TEST(EngineReplyFormatTest, ReplyCodes)
{
    struct Case
    {
        Array<signed char> bytes;
        int32_t code;
    };
    const Case cases[] = {
        {Bytes({0xF0, 0x15, 0xF7}), 0x15},
        {Bytes({0xF0, 0x45, 0xF7}), 0x45},
        {Bytes({0xF0, 0x1A, 0xF7}), 0x1A},
        {Bytes({0xF0, 0x20, 0xF7}), 0x20},
        {Bytes({0xF0, 0x33, 0xF7}), LUpdateEngine::kNoReplyCode},
        {Bytes({0xF0, 0x15, 0x00, 0xF7}), LUpdateEngine::kNoReplyCode},
        {Bytes({0x90, 0x15, 0xF7}), LUpdateEngine::kNoReplyCode},
        {Bytes({0xF0, 0x15, 0xF6}), LUpdateEngine::kNoReplyCode},
        {Bytes({0xFE}), LUpdateEngine::kNoReplyCode},
        {Bytes({}), LUpdateEngine::kNoReplyCode},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.code, LUpdateEngine::ClassifyReply(c.bytes)) << Tavik8Sim::ToHexWords(
            Tavik8Sim::Bytes(reinterpret_cast<const uint8_t*>(c.bytes.GetData()),
                             reinterpret_cast<const uint8_t*>(c.bytes.GetData()) + c.bytes.GetCount()));
}

// Hands captured messages to the engine as its MIDI component would.
class EngineReplyTableTest : public EngineFixture
{
protected:
    void Capture(const Array<signed char>& bytes, const RCPtr<LNotificationDistributor>& sender)
    {
        RCPtr<LMidiCaptureNotificationData> data;
        LMidiCaptureNotificationData::Create(data, L"Tavik 8");
        data->AppendBytes(bytes.GetData(), bytes.GetCount());
        RCPtr<LNotification> notification;
        LNotification::Create(notification, NID_MIDI_DATA_CAPTURED, RCPtr<LRefCountedObject>(data));
        engine->ReceiveNotification(sender, notification);
    }

    void ResetSignals()
    {
        engine->IdentitySignal().SetRed();
        engine->ModeAckSignal().SetRed();
        engine->DataAckSignal().SetRed();
    }
};

TEST_F(EngineReplyTableTest, EachReplySetsItsOwnSignal)
{
    struct Case
    {
        Array<signed char> bytes;
        bool identity, modeAck, dataAck;
    };
    const Case cases[] = {
        {IdentityReply('1', '0', '4', '4'), true, false, false},
        {Bytes({0xF0, 0x15, 0xF7}), false, true, false},
        {Bytes({0xF0, 0x45, 0xF7}), false, false, true},
        {Bytes({0xF0, 0x1A, 0xF7}), false, false, true},
        {Bytes({0xF0, 0x20, 0xF7}), false, false, false},
        {Bytes({0xF0, 0x33, 0xF7}), false, false, false},
        {Bytes({0xF0, 0x15, 0x00, 0xF7}), false, false, false},
        {Bytes({0xFE}), false, false, false},
    };
    const RCPtr<LNotificationDistributor> comm(engine->Comm());
    ASSERT_TRUE(comm);
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        const Case& c = cases[i];
        ResetSignals();
        Capture(c.bytes, comm);
        EXPECT_EQ(c.identity, engine->IdentitySignal().IsGreen()) << "case " << i;
        EXPECT_EQ(c.modeAck, engine->ModeAckSignal().IsGreen()) << "case " << i;
        EXPECT_EQ(c.dataAck, engine->DataAckSignal().IsGreen()) << "case " << i;
        EXPECT_FALSE(engine->AbortRequested()) << "case " << i; // no update runs
    }
    // The identity reply's version went to the device being probed.
    ResetSignals();
    Capture(IdentityReply('1', '0', '4', '4'), comm);
    EXPECT_EQ(String(L"1.0.4.4"), engine->CurrentDeviceVersion().mText);
}

TEST_F(EngineReplyTableTest, StopRequestAbortsOnlyWhileUpdating)
{
    const RCPtr<LNotificationDistributor> comm(engine->Comm());
    Capture(Bytes({0xF0, 0x20, 0xF7}), comm);
    EXPECT_FALSE(engine->AbortRequested());
    engine->SetDeviceState(Engine::Updating);
    Capture(Bytes({0xF0, 0x20, 0xF7}), comm);
    EXPECT_TRUE(engine->AbortRequested());
}

TEST_F(EngineReplyTableTest, RepliesFromAnotherComponentAreIgnored)
{
    RCPtr<LMidiCommInterface> other;
    LMidiCommInterface::Create(other);
    ResetSignals();
    Capture(IdentityReply('9', '9', '9', '9'), RCPtr<LNotificationDistributor>(other));
    Capture(Bytes({0xF0, 0x15, 0xF7}), RCPtr<LNotificationDistributor>(other));
    Capture(Bytes({0xF0, 0x45, 0xF7}), RCPtr<LNotificationDistributor>(other));
    EXPECT_FALSE(engine->IdentitySignal().IsGreen());
    EXPECT_FALSE(engine->ModeAckSignal().IsGreen());
    EXPECT_FALSE(engine->DataAckSignal().IsGreen());
    EXPECT_NE(String(L"9.9.9.9"), engine->CurrentDeviceVersion().mText);
}

} // namespace
