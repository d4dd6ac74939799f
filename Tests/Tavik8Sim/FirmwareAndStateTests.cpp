#include "DeviceModelFixture.h"

#include "Model/Crc32.h"
#include "Model/FirmwareImage.h"

using namespace Tavik8SimTest;

namespace {

TEST(Crc32, MatchesZlib)
{
    const std::string check = "123456789";
    EXPECT_EQ(0xCBF43926u, Crc32Update(0, reinterpret_cast<const uint8_t*>(check.data()), check.size()));
    EXPECT_EQ(0u, Crc32Update(0, nullptr, 0));
    const std::string fox = "The quick brown fox jumps over the lazy dog";
    EXPECT_EQ(0x414FA339u, Crc32Update(0, reinterpret_cast<const uint8_t*>(fox.data()), fox.size()));
    // Continuing over pieces gives the checksum of the whole.
    uint32_t crc = 0;
    for (char c : fox)
        crc = Crc32Update(crc, reinterpret_cast<const uint8_t*>(&c), 1);
    EXPECT_EQ(0x414FA339u, crc);
}

TEST(FirmwareImage, MadeImageDecodesIntoItsRecords)
{
    std::string text = MakeFirmwareText(3, 20, 7);
    EXPECT_EQ(3u * 22 * 2, text.size());
    EXPECT_EQ(std::string::npos, text.find_first_not_of("0123456789ABCDEF")) << "upper case, no separators, no line end";
    Bytes image;
    ASSERT_TRUE(DecodeFirmwareText(text, image));
    std::vector<Bytes> records;
    ASSERT_TRUE(SplitRecords(image, records));
    ASSERT_EQ(3u, records.size());
    for (const Bytes& record : records) {
        EXPECT_EQ(22u, record.size());
        EXPECT_EQ(0x00, record[0]);
        EXPECT_EQ(20, record[1]);
    }
    EXPECT_NE(records[0], records[1]) << "payloads come from the generator";
    EXPECT_EQ(text, MakeFirmwareText(3, 20, 7)) << "the same seed gives the same file";
    EXPECT_NE(text, MakeFirmwareText(3, 20, 8));
    EXPECT_EQ(text, EncodeFirmwareText(image));
}

TEST(FirmwareImage, EdgeSizes)
{
    EXPECT_EQ("", MakeFirmwareText(0, 5, 1));
    EXPECT_EQ("00000000", MakeFirmwareText(2, 0, 1));
    std::string big = MakeFirmwareText(1, 65535, 1);
    Bytes image;
    ASSERT_TRUE(DecodeFirmwareText(big, image));
    EXPECT_EQ(0xFF, image[0]);
    EXPECT_EQ(0xFF, image[1]);
    EXPECT_EQ(65537u, image.size());
}

TEST(FirmwareImage, DecodingRefusesBadText)
{
    Bytes image;
    EXPECT_TRUE(DecodeFirmwareText("0003abcdef0001ff", image)) << "either case";
    EXPECT_EQ(B({0x00, 0x03, 0xAB, 0xCD, 0xEF, 0x00, 0x01, 0xFF}), image);
    EXPECT_FALSE(DecodeFirmwareText("000", image));
    EXPECT_FALSE(DecodeFirmwareText("00 3", image));
    EXPECT_FALSE(DecodeFirmwareText("0003AB\nCDEF", image)) << "a line end inside the text";
    EXPECT_FALSE(DecodeFirmwareText("0003ABCDEF0\r\n", image)) << "odd without its line end";
    // Line ends at the end, as an editor saves a file, are not part of the text.
    for (const char* text : {"0003ABCDEF\n", "0003ABCDEF\r\n", "0003ABCDEF\r\n\r\n", "0003ABCDEF\r"}) {
        EXPECT_TRUE(DecodeFirmwareText(text, image)) << text;
        EXPECT_EQ(B({0x00, 0x03, 0xAB, 0xCD, 0xEF}), image);
    }
    std::vector<Bytes> records;
    EXPECT_TRUE(SplitRecords(B({0x00, 0x03, 0xAB, 0xCD, 0xEF, 0x00, 0x01, 0xFF}), records));
    EXPECT_EQ(2u, records.size());
    EXPECT_FALSE(SplitRecords(B({0x00, 0x03, 0xAB}), records)) << "record runs past the end";
    EXPECT_FALSE(SplitRecords(B({0x00}), records)) << "a single length byte";
}

TEST(Settings, ValidatesAndCanonicalises)
{
    Settings s;
    EXPECT_EQ("", s.Set("handshake_ack", "0x1a"));
    EXPECT_EQ("0x1A", s.Text("handshake_ack"));
    EXPECT_EQ("", s.Set("noise", "on"));
    EXPECT_TRUE(s.Flag("noise"));
    EXPECT_EQ("", s.Set("drop_ack_at", "none"));
    EXPECT_EQ(-1, s.Number("drop_ack_at"));
    EXPECT_EQ("", s.Set("nak_at", "12"));
    EXPECT_EQ(12, s.Number("nak_at"));
    for (auto bad : std::vector<std::pair<const char*, const char*>>{{"identity", "maybe"},
                                                                    {"ack_latency_ms", "-3"},
                                                                    {"ack_latency_ms", "fast"},
                                                                    {"new_version", "1.0.10.0"},
                                                                    {"new_version", "1.0.4"},
                                                                    {"noise", "2"},
                                                                    {"no_such_key", "1"}}) {
        SCOPED_TRACE(bad.first);
        EXPECT_NE("", s.Set(bad.first, bad.second));
    }
    EXPECT_EQ("ok", s.Text("identity"));
    EXPECT_EQ(1, s.Number("ack_latency_ms"));
    EXPECT_EQ("1.0.4.4", s.Text("new_version"));
    // Values equal to the default are not stored.
    EXPECT_EQ("", s.Set("nak_at", "-1"));
    EXPECT_EQ(0u, s.Values().count("nak_at"));
}

// The running simulation loads and saves the state around every message: the
// device must behave the same when it lives only in its key=value text.
TEST_F(DeviceModelTest, BehavesTheSameWhenReloadedBetweenMessages)
{
    model.Reset(now, Mode::Update, "1.0.3.0");
    Set("ack_latency_ms", "4");
    Set("noise", "1");
    Set("drop_ack_at", "2");
    Set("restart_quiet_ms", "100");
    Set("reboot_ms", "50");
    state.counters["sample"] = 5;

    std::string text = state.Serialize();
    auto reload = [&text](const std::function<void(DeviceModel&)>& step) {
        DeviceState s = DeviceState::Parse(text);
        DeviceModel m(s);
        step(m);
        text = s.Serialize();
    };
    std::vector<Bytes> replies;
    TimeUs t = now;
    auto collectDue = [&] {
        reload([&](DeviceModel& m) {
            m.Advance(t);
            for (Bytes& b : m.TakeDue(t))
                replies.push_back(b);
        });
    };
    auto send = [&](const Bytes& message) {
        reload([&](DeviceModel& m) { m.Receive(t, "Tavik Updater", message); });
        t += Micros(5); // past the pause and the acknowledgement
        collectDue();
    };
    send(DeviceModel::ModeChangeMessage());
    send(DataMessage(B({0x00, 0x0C, 1, 2, 3, 4, 5, 6, 7, 8, 9})));
    send(DataMessage(B({10, 11, 12, 0x00})));          // spans records 0 and 1
    send(DataMessage(B({0x01, 0xEE})));
    send(DataMessage(B({0x00, 0x00})));                // record 2: acknowledgement dropped
    send(Text("zz"));                                  // malformed, and no acknowledgement came
    t += Micros(20);
    collectDue();

    DeviceState final = DeviceState::Parse(text);
    EXPECT_EQ(Mode::Update, final.mode);
    EXPECT_EQ(3, final.recordIndex);
    EXPECT_EQ(2, final.records);
    EXPECT_EQ(19, final.imageBytes);
    Bytes image = B({0x00, 0x0C, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0x00, 0x01, 0xEE, 0x00, 0x00});
    EXPECT_EQ(Crc32Update(0, image.data(), image.size()), final.imageCrc32);
    EXPECT_EQ(3, final.violationCount);
    EXPECT_EQ(3u, final.violations.size());
    EXPECT_EQ((std::map<std::string, int64_t>{{"before_ack", 1}, {"malformed", 1}, {"spanning", 1}}),
              final.violationKinds);
    EXPECT_EQ("1", final.settings.Text("noise"));
    EXPECT_EQ(5, final.counters["sample"]);
    // Handshake and two record acknowledgements, each with its noise.
    ASSERT_EQ(12u, replies.size());
    EXPECT_EQ(kAck45, replies[2]);
    EXPECT_EQ(kAck45, replies[6]);
    EXPECT_EQ(kAck45, replies[10]);

    t += Micros(100);
    reload([&](DeviceModel& m) { m.Advance(t); });
    EXPECT_EQ(Mode::Off, DeviceState::Parse(text).mode);
    t += Micros(50);
    reload([&](DeviceModel& m) { m.Advance(t); });
    EXPECT_EQ(Mode::Normal, DeviceState::Parse(text).mode);
    EXPECT_EQ("1.0.4.4", DeviceState::Parse(text).version);
}

TEST(DeviceState, PendingRepliesAndTimersSurviveTheText)
{
    DeviceState s;
    s.outbox.push_back(PendingReply{1234, B({0xF0, 0x45, 0xF7})});
    s.outbox.push_back(PendingReply{1240, B({0xFE})});
    s.powerOnAt = 99;
    s.restartAt = 77;
    s.armed = true;
    DeviceState back = DeviceState::Parse(s.Serialize());
    ASSERT_EQ(2u, back.outbox.size());
    EXPECT_EQ(1234, back.outbox[0].due);
    EXPECT_EQ(B({0xF0, 0x45, 0xF7}), back.outbox[0].bytes);
    EXPECT_EQ(B({0xFE}), back.outbox[1].bytes);
    EXPECT_EQ(99, back.powerOnAt);
    EXPECT_EQ(77, back.restartAt);
    EXPECT_EQ(kNever, back.autoCycleAt);
    EXPECT_TRUE(back.armed);
    EXPECT_EQ(s.Serialize(), back.Serialize());
}

TEST(DeviceState, GarbageLinesAreSkipped)
{
    DeviceState s = DeviceState::Parse("mode=update\r\nversion=banana\nnonsense\nset.identity=weird\nset.noise=1\n");
    EXPECT_EQ(Mode::Update, s.mode);
    EXPECT_EQ("1.0.3.0", s.version);
    EXPECT_EQ("ok", s.settings.Text("identity"));
    EXPECT_TRUE(s.settings.Flag("noise"));
}

} // namespace
