// How strict the simulated device is: the pacing of data messages and their
// order against the acknowledgements, the link's wire time, the quiet time
// that ends an update, the expected image, and the acknowledgement faults a
// host must not be fooled by.
#include "DeviceModelFixture.h"

#include "Model/Crc32.h"
#include "Model/FirmwareImage.h"

#include <map>

using namespace Tavik8SimTest;

namespace {

class StrictDeviceTest : public DeviceModelTest
{
protected:
    void SetUp() override
    {
        DeviceModelTest::SetUp();
        model.Reset(now, Mode::Update, "1.0.3.0");
    }

    int64_t Kind(const char* kind)
    {
        const auto found = state.violationKinds.find(kind);
        return found == state.violationKinds.end() ? 0 : found->second;
    }

    // Sends at `started` a message that the device has whole at `arrived`.
    void SendOverLink(const Bytes& message, TimeUs started, TimeUs arrived)
    {
        model.Receive(arrived, model.DevicePortName(), message, started);
    }

    std::map<std::string, std::string> StatusMap()
    {
        std::map<std::string, std::string> values;
        for (const auto& line : model.Status(now))
            values[line.first] = line.second;
        return values;
    }
};

// ---- Pacing -------------------------------------------------------------------

TEST_F(StrictDeviceTest, DataMessagesNeedThreeMillisecondsAfterThePreviousOneLessTheTolerance)
{
    struct Case
    {
        const char* tolerance; // microseconds
        TimeUs gap;            // from the previous message's arrival to the next one's start
        int64_t violations;
    };
    const Case cases[] = {
        {"300", 3000, 0}, {"300", 2700, 0}, {"300", 2699, 1}, {"300", 0, 1},
        {"0", 2999, 1},   {"0", 3000, 0},   {"3000", 0, 0}, // 3000 or more: not checked
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("tolerance ") + c.tolerance + " us, gap " + std::to_string(c.gap) + " us");
        model.Reset(now, Mode::Update, "1.0.3.0");
        Set("pacing_tolerance_us", c.tolerance);
        Handshake();
        Send(DataMessage(B({0x00, 0x05, 1})));
        now += c.gap;
        Send(DataMessage(B({2, 3})));
        EXPECT_EQ(c.violations, Kind("pacing"));
        EXPECT_EQ(c.violations, state.violationCount);
    }
}

TEST_F(StrictDeviceTest, TheFirstDataMessageOfASessionHasNoPredecessor)
{
    Handshake();
    SendRecord(Record(1, 1));
    Handshake(); // a new session: its first message is not paced against the old one's
    Send(DataMessage(B({0x00, 0x01, 7})));
    EXPECT_EQ(0, state.violationCount);
}

// ---- The link ---------------------------------------------------------------------

TEST_F(StrictDeviceTest, MessagesTakeTheirWireTimeOneAfterTheOther)
{
    Set("wire_bytes_per_s", "3125"); // DIN MIDI: 320 us a byte
    const WireSpan first = model.Transmit(now, 24);
    EXPECT_EQ(now, first.start);
    EXPECT_EQ(now + 7680, first.end);
    // Handed over while the first is on the wire: it waits for the link.
    const WireSpan second = model.Transmit(now + 1000, 3);
    EXPECT_EQ(first.end, second.start);
    EXPECT_EQ(first.end + 960, second.end);
    // A free link starts at once.
    const WireSpan third = model.Transmit(now + Micros(100), 1);
    EXPECT_EQ(now + Micros(100), third.start);
    EXPECT_EQ(now + Micros(100) + 320, third.end);

    Set("wire_bytes_per_s", "0");
    const WireSpan instant = model.Transmit(now + Micros(200), 24);
    EXPECT_EQ(instant.start, instant.end);
}

TEST_F(StrictDeviceTest, PacingCountsFromTheEndOfThePreviousMessagesWireTime)
{
    Set("wire_bytes_per_s", "3125");
    Handshake();
    // The first message arrives whole 7.68 ms after it started; the second
    // starts 3 ms after that: paced. The third is handed to the link while the
    // second is still on it, so it starts the moment the second arrives.
    const Bytes piece = DataMessage(B({0x00, 0x20, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    WireSpan span = model.Transmit(now, piece.size());
    SendOverLink(piece, span.start, span.end);
    span = model.Transmit(span.end + 3000, piece.size());
    SendOverLink(DataMessage(B({10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20})), span.start, span.end);
    EXPECT_EQ(0, state.violationCount);
    const WireSpan queued = model.Transmit(span.end - 1000, piece.size());
    EXPECT_EQ(span.end, queued.start);
    SendOverLink(DataMessage(B({21, 22, 23})), queued.start, queued.end);
    ASSERT_EQ(1, Kind("pacing"));
    EXPECT_NE(std::string::npos, state.violations.back().find("started 0 us after"));
}

// ---- Order --------------------------------------------------------------------------

TEST_F(StrictDeviceTest, DataBeforeTheHandshakesAcknowledgementWentOut)
{
    Set("ack_latency_ms", "5");
    Send(DeviceModel::ModeChangeMessage());
    Wait(4);
    Send(DataMessage(B({0x00, 0x01, 0xAA})));
    ASSERT_EQ(1, Kind("before_ack"));
    EXPECT_NE(std::string::npos, state.violations.back().find("the handshake's acknowledgement went out"));
    EXPECT_EQ(1, state.records) << "the data still counts";
}

TEST_F(StrictDeviceTest, ARecordBeforeThePreviousRecordsAcknowledgementWentOut)
{
    Set("ack_latency_ms", "20");
    Send(DeviceModel::ModeChangeMessage());
    EXPECT_EQ(std::vector<Bytes>{kAck45}, Wait(20));
    const std::vector<Bytes> none = SendRecord(Record(9, 1)); // one message, acknowledged 20 ms later
    EXPECT_TRUE(none.empty());
    SendRecord(Record(9, 2)); // 3 ms after the first: the host did not wait
    ASSERT_EQ(1, Kind("before_ack"));
    EXPECT_NE(std::string::npos, state.violations.back().find("record 0's acknowledgement went out"));
    Wait(40);
    SendRecord(Record(9, 3)); // after record 1's acknowledgement: fine
    EXPECT_EQ(1, state.violationCount);
}

TEST_F(StrictDeviceTest, DataAfterADroppedAcknowledgementOrAStopRequest)
{
    Set("drop_ack_at", "0");
    Handshake();
    SendRecord(Record(2, 1));
    Wait(10);
    SendRecord(Record(2, 2)); // no acknowledgement came, nor will it: the host must give up
    ASSERT_EQ(1, Kind("before_ack"));
    EXPECT_NE(std::string::npos, state.violations.back().find("record 0's acknowledgement never went out"));

    model.Reset(now, Mode::Update, "1.0.3.0");
    Set("nak_at", "0");
    Set("ack_latency_ms", "10");
    Handshake();
    Wait(10);
    SendRecord(Record(2, 1));
    Wait(10); // the stop request is out now
    SendRecord(Record(2, 2));
    EXPECT_EQ(1, Kind("after_stop"));
    EXPECT_EQ(1, state.violationCount);
}

// ---- The quiet time ----------------------------------------------------------------

TEST_F(StrictDeviceTest, TheQuietTimeStartsOnceTheLastReplyHasGoneOut)
{
    // A slow device: its acknowledgement takes 400 ms, well inside the host's wait.
    Set("ack_latency_ms", "400");
    Set("restart_quiet_ms", "300");
    Send(DeviceModel::ModeChangeMessage());
    EXPECT_EQ(std::vector<Bytes>{kAck45}, Wait(400));
    EXPECT_EQ(std::vector<Bytes>{}, SendRecord(Record(4, 1), 0));
    auto replies = Wait(400);
    EXPECT_EQ(std::vector<Bytes>{kAck45}, replies);
    Wait(299);
    EXPECT_EQ(Mode::Update, state.mode) << "300 ms after the acknowledgement went out, not after the record";
    // The host's next record, in time, keeps the session going.
    SendRecord(Record(4, 2), 0);
    Wait(400 + 300 - 1);
    EXPECT_EQ(Mode::Update, state.mode);
    Wait(1);
    EXPECT_EQ(Mode::Off, state.mode);
    EXPECT_EQ(2, state.records);
    EXPECT_EQ(0, state.violationCount);
}

TEST_F(StrictDeviceTest, TheDeviceRestartsOnceItsQuietTimeHasPassed)
{
    struct Case
    {
        const char* quiet; // nullptr: the default
        int64_t ms;
    };
    // By default as long as the host waits for an acknowledgement, so that a
    // host held up between two records does not find the device restarted.
    const Case cases[] = {{nullptr, 5000}, {"300", 300}, {"1200", 1200}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.quiet ? c.quiet : "default");
        model.Reset(now, Mode::Update, "1.0.3.0");
        if (c.quiet)
            Set("restart_quiet_ms", c.quiet);
        Handshake();
        SendRecord(Record(4, 1), 0);
        // The acknowledgement (1 ms) goes out; the quiet time counts from there.
        EXPECT_EQ(std::vector<Bytes>{kAck45}, Wait(1));
        Wait(c.ms - 1);
        EXPECT_EQ(Mode::Update, state.mode);
        Wait(1);
        EXPECT_EQ(Mode::Off, state.mode);
    }
}

// ---- The expected image ------------------------------------------------------------

TEST_F(StrictDeviceTest, OnlyTheExpectedImageBringsTheNewVersion)
{
    const Bytes image = {0x00, 0x02, 0xAA, 0xBB, 0x00, 0x01, 0xCC};
    struct Case
    {
        const char* name;
        Bytes sent;
        const char* verdict;
        const char* version;
    };
    const Case cases[] = {
        {"the whole image", image, "match", "1.0.4.4"},
        {"its first record only", Bytes(image.begin(), image.begin() + 4), "mismatch", "1.0.3.0"},
        {"another image of the same length", {0x00, 0x02, 0xAA, 0xBB, 0x00, 0x01, 0xCD}, "mismatch", "1.0.3.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model.Reset(now, Mode::Update, "1.0.3.0");
        EXPECT_EQ("none", model.ImageVerdict());
        model.ExpectImage(now, "C:\\fw.led", image);
        EXPECT_EQ("mismatch", model.ImageVerdict()) << "nothing received yet";
        Handshake();
        std::vector<Bytes> records;
        ASSERT_TRUE(SplitRecords(c.sent, records));
        for (const Bytes& record : records)
            SendRecord(record);
        EXPECT_EQ(c.verdict, model.ImageVerdict());
        EXPECT_EQ(c.verdict, StatusMap()["image_verdict"]);
        Wait(60000);
        EXPECT_EQ(Mode::Normal, state.mode) << "back in normal mode either way";
        EXPECT_EQ(c.version, state.version);
    }
    auto status = StatusMap();
    EXPECT_EQ("C:\\fw.led", status["expect_image"]);
    EXPECT_EQ("7", status["expected_image_bytes"]);
    EXPECT_EQ(Crc32Text(Crc32Update(0, image.data(), image.size())), status["expected_image_crc32"]);
}

TEST_F(StrictDeviceTest, TheExpectedImageIsSetWithTheImageAndClearedByNone)
{
    EXPECT_NE("", model.Set(now, "expect_image", "C:\\fw.led")) << "the image itself is needed";
    model.ExpectImage(now, "C:\\fw.led", B({0x00, 0x00}));
    EXPECT_EQ(2, state.expectedImageBytes);
    EXPECT_EQ("", model.Set(now, "expect_image", "none"));
    EXPECT_EQ(-1, state.expectedImageBytes);
    EXPECT_EQ("none", model.ImageVerdict());
    EXPECT_EQ("", state.settings.Text("expect_image"));
    EXPECT_EQ(0u, StatusMap().count("expected_image_bytes"));
}

TEST_F(StrictDeviceTest, TheExpectedImageSurvivesTheStateText)
{
    model.ExpectImage(now, "/tmp/fw.led", B({0x00, 0x01, 0x42}));
    Handshake();
    SendRecord(B({0x00, 0x01, 0x42}));
    DeviceState back = DeviceState::Parse(state.Serialize());
    DeviceModel reloaded(back);
    EXPECT_EQ("match", reloaded.ImageVerdict());
    EXPECT_EQ("/tmp/fw.led", back.settings.Text("expect_image"));
}

// ---- Acknowledgement faults --------------------------------------------------------

TEST_F(StrictDeviceTest, StaleAndDuplicateAcknowledgements)
{
    struct Case
    {
        const char* key;
        const char* value;
        size_t afterHandshake; // acknowledgements within 10 ms of it
        size_t afterRecord0;   // within 3 ms of its message
        size_t afterRecord1;
    };
    const Case cases[] = {
        {"stale_ack_at", "0", 2, 1, 1},
        {"stale_ack_at", "1", 1, 2, 1}, // record 0's, then the stale one before record 1
        {"duplicate_ack_at", "0", 1, 2, 1},
        {"duplicate_ack_at", "1", 1, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value);
        model.Reset(now, Mode::Update, "1.0.3.0");
        Set(c.key, c.value);
        EXPECT_EQ(std::vector<Bytes>(c.afterHandshake, kAck45), SendAndWait(DeviceModel::ModeChangeMessage()));
        EXPECT_EQ(std::vector<Bytes>(c.afterRecord0, kAck45), SendRecord(Record(9, 1)));
        EXPECT_EQ(std::vector<Bytes>(c.afterRecord1, kAck45), SendRecord(Record(9, 2)));
        EXPECT_EQ(2, state.records) << "only real acknowledgements count";
        EXPECT_EQ(0, state.violationCount);
    }
}

TEST_F(StrictDeviceTest, StatusListsViolationsByKind)
{
    Send(DataMessage(B({0x00, 0x01, 1}))); // before the handshake
    Handshake();
    Send(Text("0g"));                       // malformed
    Wait(1);
    Send(DataMessage(B({0x00, 0x01, 1}))); // too soon after the malformed one
    auto status = StatusMap();
    EXPECT_EQ("3", status["violations"]);
    EXPECT_EQ("1", status["violations.before_handshake"]);
    EXPECT_EQ("1", status["violations.malformed"]);
    EXPECT_EQ("1", status["violations.pacing"]);
    for (const char* kind : {"before_ack", "after_stop", "spanning"})
        EXPECT_EQ("0", status[std::string("violations.") + kind]) << kind;
    EXPECT_NE(std::string::npos, status["violation.2"].find("pacing: data message started 1000 us after"));
}

} // namespace
