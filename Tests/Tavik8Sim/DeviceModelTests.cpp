#include "DeviceModelFixture.h"

#include "Model/Crc32.h"

using namespace Tavik8SimTest;

namespace {

std::vector<std::string> PortNames(const DeviceModel& model)
{
    std::vector<std::string> names;
    for (const Port& port : model.Ports())
        names.push_back(port.name + (port.isDevice ? "" : " [silent]"));
    return names;
}

// ---- Normal mode ----------------------------------------------------------

TEST_F(DeviceModelTest, AnswersTheIdentityRequestWithItsVersionAfterTheLatency)
{
    Set("ack_latency_ms", "5");
    Send(DeviceModel::IdentityRequest());
    EXPECT_TRUE(Wait(4).empty());
    auto replies = Wait(1);
    ASSERT_EQ(1u, replies.size());
    EXPECT_EQ(B({0xF0, 0x7E, 0x00, 0x06, 0x02, 0x7D, 0x08, 0x00, 0x01, 0x00, '1', '0', '3', '0', 0xF7}), replies[0]);
    EXPECT_EQ(15u, replies[0].size());
}

TEST_F(DeviceModelTest, ReportsTheVersionItWasResetWith)
{
    model.Reset(now, Mode::Normal, "2.7.0.9");
    auto replies = SendAndWait(DeviceModel::IdentityRequest());
    ASSERT_EQ(1u, replies.size());
    EXPECT_EQ(B({'2', '7', '0', '9'}), Bytes(replies[0].begin() + 10, replies[0].begin() + 14));
}

TEST_F(DeviceModelTest, IdentityFaults)
{
    struct Case
    {
        const char* identity;
        size_t expectedSize; // 0: no reply within 10 s
    };
    for (Case c : {Case{"none", 0}, Case{"short", 14}, Case{"bad", 15}, Case{"long", 17}}) {
        SCOPED_TRACE(c.identity);
        model.Reset(now, Mode::Normal, "1.0.3.0");
        Set("identity", c.identity);
        auto replies = SendAndWait(DeviceModel::IdentityRequest(), 10000);
        if (c.expectedSize == 0) {
            EXPECT_TRUE(replies.empty());
            continue;
        }
        ASSERT_EQ(1u, replies.size());
        const Bytes& r = replies[0];
        EXPECT_EQ(c.expectedSize, r.size());
        EXPECT_EQ(0xF0, r.front());
        EXPECT_EQ(0xF7, r.back());
        bool recognisable = r.size() == 15 && r[1] == 0x7E && r[3] == 0x06 && r[4] == 0x02;
        EXPECT_FALSE(recognisable) << "a faulty reply must not pass as an identity reply";
    }
}

TEST_F(DeviceModelTest, LateIdentityReplyComesAfterLateMs)
{
    Set("identity", "late");
    Set("late_ms", "2500");
    Send(DeviceModel::IdentityRequest());
    EXPECT_TRUE(Wait(2499).empty());
    auto replies = Wait(1);
    ASSERT_EQ(1u, replies.size());
    EXPECT_EQ(15u, replies[0].size());
}

TEST_F(DeviceModelTest, IgnoresOtherMessagesInNormalMode)
{
    EXPECT_TRUE(SendAndWait(B({0x90, 0x3C, 0x64})).empty());
    EXPECT_TRUE(SendAndWait(B({0xF0, 0x7E, 0x7F, 0x06, 0x02, 0xF7})).empty());
    EXPECT_TRUE(SendAndWait(DataMessage(B({0x00, 0x01, 0xAA}))).empty());
    EXPECT_EQ(0, state.violationCount);
}

TEST_F(DeviceModelTest, ModeChangeIsAcknowledgedAndTheDeviceWaitsForAPowerCycle)
{
    EXPECT_EQ(B({0xF0, 'Q', 'J', 'd', ')', '>', 'R', 'T', 0xF7}), DeviceModel::ModeChangeMessage());
    auto replies = SendAndWait(DeviceModel::ModeChangeMessage());
    ASSERT_EQ(1u, replies.size());
    EXPECT_EQ(kModeAck, replies[0]);

    // Still on its normal-mode ports, but deaf until switched off and on.
    EXPECT_EQ(std::vector<std::string>{"Tavik 8"}, PortNames(model));
    EXPECT_TRUE(SendAndWait(DeviceModel::IdentityRequest()).empty());
    EXPECT_TRUE(Wait(60000).empty());
    EXPECT_EQ(Mode::Normal, state.mode);

    model.PowerCycle(now);
    EXPECT_EQ(Mode::Update, state.mode);
    EXPECT_EQ(std::vector<std::string>{"Tavik Updater"}, PortNames(model));
    EXPECT_EQ("Tavik Updater", model.DevicePortName());
    // The update firmware does not answer the identity request.
    EXPECT_TRUE(SendAndWait(DeviceModel::IdentityRequest(), 5000).empty());
}

TEST_F(DeviceModelTest, WrongAccessCodeGetsNoReplyAndChangesNothing)
{
    EXPECT_TRUE(SendAndWait(Text("QJd)>RX")).empty());
    EXPECT_TRUE(SendAndWait(Text("QJd)>R")).empty());
    model.PowerCycle(now);
    EXPECT_EQ(Mode::Normal, state.mode);
    EXPECT_EQ(1u, SendAndWait(DeviceModel::IdentityRequest()).size());
}

TEST_F(DeviceModelTest, ModeAckFaultsStillAcceptTheModeChange)
{
    struct Case
    {
        const char* modeAck;
        std::vector<Bytes> replies;
    };
    for (const Case& c : {Case{"none", {}}, Case{"wrong", {B({0xF0, 0x15, 0x00, 0xF7})}}}) {
        SCOPED_TRACE(c.modeAck);
        model.Reset(now, Mode::Normal, "1.0.3.0");
        Set("mode_ack", c.modeAck);
        EXPECT_EQ(c.replies, SendAndWait(DeviceModel::ModeChangeMessage()));
        model.PowerCycle(now);
        EXPECT_EQ(Mode::Update, state.mode);
    }
}

TEST_F(DeviceModelTest, AutoPowerCycleSwitchesToUpdateModeByItself)
{
    Set("auto_power_cycle_ms", "1500");
    Set("off_ms", "200");
    TimeUs start = now;
    EXPECT_EQ(std::vector<Bytes>{kModeAck}, SendAndWait(DeviceModel::ModeChangeMessage()));
    EXPECT_EQ(start + Micros(1500), model.NextDeadline());
    Wait(1489);
    EXPECT_EQ(Mode::Normal, state.mode);
    Wait(1);
    EXPECT_EQ(Mode::Off, state.mode);
    EXPECT_TRUE(model.Ports().empty());
    Wait(199);
    EXPECT_EQ(Mode::Off, state.mode);
    Wait(1);
    EXPECT_EQ(Mode::Update, state.mode);
    EXPECT_EQ(1, Counter("power_cycles"));
}

TEST_F(DeviceModelTest, PowerCycleWithoutModeChangeComesBackInNormalMode)
{
    int64_t epoch = state.powerEpoch;
    model.PowerCycle(now);
    EXPECT_EQ(Mode::Normal, state.mode);
    EXPECT_GT(state.powerEpoch, epoch);
}

TEST_F(DeviceModelTest, PowerCycleLosesRepliesNotYetSent)
{
    Set("ack_latency_ms", "50");
    Send(DeviceModel::IdentityRequest());
    model.PowerCycle(now + Micros(10));
    EXPECT_TRUE(Wait(100).empty());
}

// ---- Update mode: handshake and transfer -----------------------------------

TEST_F(DeviceModelTest, HandshakeAcknowledgementForms)
{
    struct Case
    {
        const char* setting;
        std::vector<Bytes> replies;
    };
    for (const Case& c : {Case{"0x45", {kAck45}}, Case{"0x1A", {kAck1A}}, Case{"none", {}}}) {
        SCOPED_TRACE(c.setting);
        model.Reset(now, Mode::Update, "1.0.3.0");
        Set("handshake_ack", c.setting);
        EXPECT_EQ(c.replies, SendAndWait(DeviceModel::ModeChangeMessage()));
        // Records are acknowledged with the same code; without a handshake
        // data is a violation.
        auto replies = SendRecord(Record(2, 0x11));
        EXPECT_EQ(c.replies, replies);
        EXPECT_EQ(c.replies.empty() ? 1 : 0, state.violationCount);
    }
}

TEST_F(DeviceModelTest, TransfersAnImageAndRestartsWithTheNewVersion)
{
    Set("restart_quiet_ms", "300");
    Set("reboot_ms", "700");
    EnterUpdateMode();

    std::vector<Bytes> records = {Record(20, 0xA5), Record(9, 0x5A), Record(0, 0), Record(30, 0x33)};
    Bytes image;
    for (const Bytes& record : records)
        image.insert(image.end(), record.begin(), record.end());

    Handshake();
    for (size_t r = 0; r < records.size(); ++r) {
        SCOPED_TRACE(r);
        const Bytes& record = records[r];
        for (size_t i = 0; i < record.size(); i += 11) {
            size_t n = std::min<size_t>(11, record.size() - i);
            bool last = i + n == record.size();
            Send(DataMessage(Bytes(record.begin() + i, record.begin() + i + n)));
            auto got = Wait(3);
            EXPECT_EQ(last ? 1u : 0u, got.size()) << "acknowledged exactly when its L+2 bytes are in";
            if (last && got.size() == 1) {
                EXPECT_EQ(kAck45, got[0]);
            }
        }
    }
    EXPECT_EQ(4, state.records);
    EXPECT_EQ(static_cast<int64_t>(image.size()), state.imageBytes);
    EXPECT_EQ(Crc32Update(0, image.data(), image.size()), state.imageCrc32);
    EXPECT_EQ(image, state.newImageBytes);
    EXPECT_EQ(0, state.violationCount);

    // The quiet time starts when the last acknowledgement has gone out, 1 ms
    // after the last data message.
    Wait(297); // 300 ms after the last data message
    EXPECT_EQ(Mode::Update, state.mode);
    Wait(1);
    EXPECT_EQ(Mode::Off, state.mode);
    Wait(699);
    EXPECT_EQ(Mode::Off, state.mode);
    Wait(1);
    EXPECT_EQ(Mode::Normal, state.mode);
    EXPECT_EQ("1.0.4.4", state.version);
    auto replies = SendAndWait(DeviceModel::IdentityRequest());
    ASSERT_EQ(1u, replies.size());
    EXPECT_EQ(B({'1', '0', '4', '4'}), Bytes(replies[0].begin() + 10, replies[0].begin() + 14));
    // The last session's results stay visible after the restart.
    EXPECT_EQ(4, state.records);
    EXPECT_EQ(1, Counter("updates"));
}

TEST_F(DeviceModelTest, NoRestartWhileARecordIsIncomplete)
{
    model.Reset(now, Mode::Update, "1.0.3.0");
    Handshake();
    SendRecord(Record(3, 1));
    Send(DataMessage(B({0x00, 0x05, 0x01})));
    Wait(60000);
    EXPECT_EQ(Mode::Update, state.mode);
    EXPECT_EQ(1, state.records);
}

TEST_F(DeviceModelTest, AfterUpdateChoices)
{
    struct Case
    {
        const char* afterUpdate;
        Mode mode;
        const char* version;
    };
    for (Case c : {Case{"new", Mode::Normal, "1.0.5.0"}, Case{"old", Mode::Normal, "1.0.3.0"},
                   Case{"never", Mode::Off, "1.0.3.0"}}) {
        SCOPED_TRACE(c.afterUpdate);
        model.Reset(now, Mode::Update, "1.0.3.0");
        Set("after_update", c.afterUpdate);
        Set("new_version", "1.0.5.0");
        Handshake();
        SendRecord(Record(5, 7));
        Wait(60000);
        EXPECT_EQ(c.mode, state.mode);
        EXPECT_EQ(c.version, state.version);
    }
    // A device that never came back returns in update mode when switched off and on.
    model.PowerCycle(now);
    EXPECT_EQ(Mode::Update, state.mode);
}

TEST_F(DeviceModelTest, DropAckAtLeavesOneRecordUnacknowledged)
{
    model.Reset(now, Mode::Update, "1.0.3.0");
    Set("drop_ack_at", "1");
    Handshake();
    EXPECT_EQ(std::vector<Bytes>{kAck45}, SendRecord(Record(4, 1)));
    EXPECT_TRUE(SendRecord(Record(4, 2)).empty());
    EXPECT_EQ(std::vector<Bytes>{kAck45}, SendRecord(Record(4, 3)));
    EXPECT_EQ(2, state.records);
    EXPECT_EQ(3, state.recordIndex);
}

TEST_F(DeviceModelTest, NakAtAsksToStopThenRefusesData)
{
    model.Reset(now, Mode::Update, "1.0.3.0");
    Set("nak_at", "0");
    Handshake();
    // The stop request comes before the acknowledgement, so that a host that
    // wakes on the acknowledgement has already seen it.
    EXPECT_EQ((std::vector<Bytes>{kStop, kAck45}), SendRecord(Record(4, 1)));
    EXPECT_EQ(Session::Stopped, state.session);
    EXPECT_TRUE(SendRecord(Record(4, 2)).empty());
    EXPECT_EQ(1, state.violationCount);
    EXPECT_EQ(6, state.imageBytes);
    Wait(60000);
    EXPECT_EQ(Mode::Update, state.mode) << "a stopped session does not finish the update";
}

TEST_F(DeviceModelTest, VanishAtRemovesTheDeviceAtThatRecord)
{
    model.Reset(now, Mode::Update, "1.0.3.0");
    Set("vanish_at", "1");
    Handshake();
    EXPECT_EQ(std::vector<Bytes>{kAck45}, SendRecord(Record(12, 1)));
    Send(DataMessage(B({0x00, 0x02, 0x01})));
    EXPECT_EQ(Mode::Off, state.mode);
    EXPECT_TRUE(model.Ports().empty());
    EXPECT_EQ("", model.DevicePortName());
    EXPECT_EQ(14, state.imageBytes);
    Wait(60000);
    EXPECT_EQ(Mode::Off, state.mode);
    model.PowerCycle(now);
    EXPECT_EQ(Mode::Update, state.mode);
}

TEST_F(DeviceModelTest, NoiseSurroundsEveryReply)
{
    Set("noise", "1");
    auto replies = SendAndWait(DeviceModel::IdentityRequest());
    ASSERT_EQ(4u, replies.size());
    EXPECT_EQ(B({0xFE}), replies[0]);
    EXPECT_EQ(0xF0, replies[1].front());
    EXPECT_EQ(0x7D, replies[1][1]);
    EXPECT_EQ(0xF7, replies[1].back());
    EXPECT_EQ(15u, replies[2].size());
    EXPECT_EQ(B({0xFE}), replies[3]);
}

TEST_F(DeviceModelTest, PortListings)
{
    EXPECT_EQ(std::vector<std::string>{"Tavik 8"}, PortNames(model));
    Set("duplicate_ports", "1");
    EXPECT_EQ((std::vector<std::string>{"Tavik 8", "Tavik 8 [silent]"}), PortNames(model));
    Set("extra_ports_before", "MIDIIN2 (Tavik 8), A");
    Set("extra_ports_after", "B,A");
    EXPECT_EQ((std::vector<std::string>{"MIDIIN2 (Tavik 8) [silent]", "A [silent]", "Tavik 8", "Tavik 8 [silent]",
                                        "B [silent]", "A [silent]"}),
              PortNames(model));
    model.PowerCycle(now);
    Set("vanish_at", "0");
    Set("duplicate_ports", "0");
    model.Reset(now, Mode::Update, "1.0.3.0");
    EXPECT_EQ(std::vector<std::string>{"Tavik Updater"}, PortNames(model)) << "reset clears the settings";
}

// ---- Violations --------------------------------------------------------------

TEST_F(DeviceModelTest, MalformedDataMessagesAreRecordedAndIgnored)
{
    model.Reset(now, Mode::Update, "1.0.3.0");
    Handshake();
    const std::vector<Bytes> malformed = {
        Text("0003abcdef"),                 // lower case
        Text("0003ABCDE"),                  // odd count
        Text("000102030405060708090A0B"),   // 24 characters: 12 bytes
        Text("00G3"),                       // not hexadecimal
        B({0xF0, 0xF7}),                    // no data
        B({0xF0, 0x30, 0x30}),              // no end
    };
    for (const Bytes& m : malformed)
        EXPECT_TRUE(SendAndWait(m).empty());
    EXPECT_EQ(static_cast<int64_t>(malformed.size()), state.violationCount);
    EXPECT_EQ(malformed.size(), state.violations.size());
    EXPECT_EQ(0, state.imageBytes);
    // The largest valid piece: 11 bytes, 22 characters.
    EXPECT_EQ(std::vector<Bytes>{kAck45}, SendAndWait(Text("0009112233445566778899")));
    EXPECT_EQ(static_cast<int64_t>(malformed.size()), state.violationCount);
    EXPECT_NE(std::string::npos, state.violations[0].find("malformed"));
}

TEST_F(DeviceModelTest, DataBeforeTheHandshakeIsAViolation)
{
    model.Reset(now, Mode::Update, "1.0.3.0");
    EXPECT_TRUE(SendAndWait(DataMessage(B({0x00, 0x01, 0xFF}))).empty());
    EXPECT_EQ(1, state.violationCount);
    EXPECT_NE(std::string::npos, state.violations[0].find("before the handshake"));
    EXPECT_EQ(0, state.imageBytes);
}

TEST_F(DeviceModelTest, PieceSpanningTwoRecordsIsAViolationButItsBytesCount)
{
    model.Reset(now, Mode::Update, "1.0.3.0");
    Handshake();
    // Record 0 (0001 AA) and the start of record 1 (0002 BB CC) in one piece.
    auto replies = SendAndWait(DataMessage(B({0x00, 0x01, 0xAA, 0x00, 0x02, 0xBB})));
    EXPECT_EQ(std::vector<Bytes>{kAck45}, replies);
    EXPECT_EQ(1, state.violationCount);
    EXPECT_NE(std::string::npos, state.violations[0].find("spans record 0 and record 1"));
    EXPECT_EQ(std::vector<Bytes>{kAck45}, SendAndWait(DataMessage(B({0xCC}))));
    EXPECT_EQ(2, state.records);
    EXPECT_EQ(7, state.imageBytes);
}

TEST_F(DeviceModelTest, ANewHandshakeStartsANewSession)
{
    model.Reset(now, Mode::Update, "1.0.3.0");
    Handshake();
    SendRecord(Record(3, 1));
    Handshake();
    EXPECT_EQ(0, state.records);
    EXPECT_EQ(0, state.imageBytes);
    EXPECT_TRUE(state.truncateImage);
    SendRecord(Record(1, 9));
    EXPECT_EQ(B({0x00, 0x01, 0x09}), state.newImageBytes);
}

TEST_F(DeviceModelTest, TranscriptHasEveryMessageWithTimePortDirectionAndBytes)
{
    state.newTranscriptLines.clear();
    SendAndWait(DeviceModel::IdentityRequest());
    ASSERT_EQ(2u, state.newTranscriptLines.size());
    EXPECT_EQ("2023-11-14 22:13:20.000000  \"Tavik 8\"  host->device  F0 7E 7F 06 01 F7",
              state.newTranscriptLines[0]);
    EXPECT_EQ("2023-11-14 22:13:20.001000  \"Tavik 8\"  device->host  F0 7E 00 06 02 7D 08 00 01 00 31 30 33 30 F7",
              state.newTranscriptLines[1]);
    // To the microsecond.
    now += 7;
    Send(DeviceModel::IdentityRequest());
    EXPECT_EQ("2023-11-14 22:13:20.010007  \"Tavik 8\"  host->device  F0 7E 7F 06 01 F7",
              state.newTranscriptLines.back());
}

TEST_F(DeviceModelTest, RepliesNobodyTookAreDroppedAndLogged)
{
    Send(DeviceModel::IdentityRequest());
    now += Micros(10);
    model.DropDue(now);
    EXPECT_TRUE(model.TakeDue(now).empty());
    EXPECT_NE(std::string::npos, state.newTranscriptLines.back().find("lost"));
}

} // namespace
