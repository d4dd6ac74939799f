#include "DeviceModelFixture.h"
#include "Support/Tavik8Sim/StateFile.h"

#include "Model/FirmwareImage.h"
#include "Model/Crc32.h"
#include "Model/Tool.h"

#include <map>

using namespace Tavik8SimTest;

namespace {

class ToolTest : public ::testing::Test
{
protected:
    int Run(std::vector<std::string> args)
    {
        out.clear();
        err.clear();
        return RunTool(args, store, now, out, err);
    }

    std::map<std::string, std::string> Status()
    {
        EXPECT_EQ(0, Run({"status"}));
        std::map<std::string, std::string> values;
        size_t start = 0;
        while (start < out.size()) {
            size_t end = out.find('\n', start);
            std::string line = out.substr(start, end - start);
            size_t eq = line.find('=');
            if (eq != std::string::npos)
                values[line.substr(0, eq)] = line.substr(eq + 1);
            start = end + 1;
        }
        return values;
    }

    // The host's side, as the winmm.dll does it: one message on the device's port.
    void HostSends(const Bytes& message)
    {
        store.Update([&](DeviceState& s) {
            DeviceModel m(s);
            m.Receive(now, m.DevicePortName(), message);
        });
    }

    std::vector<Bytes> HostTakes()
    {
        std::vector<Bytes> replies;
        store.Update([&](DeviceState& s) {
            DeviceModel m(s);
            m.Advance(now);
            replies = m.TakeDue(now);
        });
        return replies;
    }

    TempStateFile file;
    StateStore store{file.Path()};
    TimeUs now = 1700000000000000;
    std::string out;
    std::string err;
};

TEST_F(ToolTest, AMissingStateFileIsAFreshDevice)
{
    auto status = Status();
    EXPECT_EQ("normal", status["mode"]);
    EXPECT_EQ("1.0.3.0", status["version"]);
    EXPECT_EQ("0", status["records"]);
    EXPECT_EQ("0", status["image_bytes"]);
    EXPECT_EQ("00000000", status["image_crc32"]);
    EXPECT_EQ("0", status["violations"]);
    EXPECT_EQ("Tavik 8", status["ports"]);
}

TEST_F(ToolTest, ResetWithModeAndVersion)
{
    ASSERT_EQ(0, Run({"set", "identity=none"}));
    ASSERT_EQ(0, Run({"reset", "--mode", "update", "--version", "1.2.3.4"}));
    auto status = Status();
    EXPECT_EQ("update", status["mode"]);
    EXPECT_EQ("1.2.3.4", status["version"]);
    EXPECT_EQ("ok", status["identity"]) << "a reset clears the faults";
    EXPECT_EQ("Tavik Updater", status["ports"]);

    EXPECT_EQ(2, Run({"reset", "--mode", "sideways"}));
    EXPECT_EQ(2, Run({"reset", "--version", "1.2.3"}));
    EXPECT_FALSE(err.empty());
    EXPECT_EQ("update", Status()["mode"]);
}

TEST_F(ToolTest, SetAppliesAllOrNothing)
{
    ASSERT_EQ(0, Run({"set", "nak_at=3", "noise=1", "handshake_ack=0x1a"}));
    auto status = Status();
    EXPECT_EQ("3", status["nak_at"]);
    EXPECT_EQ("1", status["noise"]);
    EXPECT_EQ("0x1A", status["handshake_ack"]);

    EXPECT_EQ(2, Run({"set", "nak_at=5", "identity=sometimes"}));
    EXPECT_NE(std::string::npos, err.find("identity"));
    EXPECT_EQ(2, Run({"set", "nak_at"}));
    EXPECT_EQ(2, Run({"set"}));
    EXPECT_EQ("3", Status()["nak_at"]);
}

TEST_F(ToolTest, PowerCycleAfterTheModeChange)
{
    HostSends(DeviceModel::ModeChangeMessage());
    EXPECT_EQ("1", Status()["waiting_for_power_cycle"]);
    ASSERT_EQ(0, Run({"power-cycle"}));
    EXPECT_EQ("update", Status()["mode"]);
    EXPECT_EQ(2, Run({"power-cycle", "now"}));
}

TEST_F(ToolTest, TimersRunWhileNoProgramIsThere)
{
    ASSERT_EQ(0, Run({"set", "auto_power_cycle_ms=5000"}));
    HostSends(DeviceModel::ModeChangeMessage());
    EXPECT_EQ("5000", Status()["auto_power_cycle_in_ms"]);
    now += Micros(5000);
    EXPECT_EQ("update", Status()["mode"]);
}

TEST_F(ToolTest, StatusReportsTheReceivedImage)
{
    ASSERT_EQ(0, Run({"reset", "--mode", "update"}));
    ASSERT_EQ(0, Run({"make-image", "--records", "2", "--size", "15", "--seed", "3"}));
    Bytes image;
    ASSERT_TRUE(DecodeFirmwareText(out, image));
    HostSends(DeviceModel::ModeChangeMessage());
    std::vector<Bytes> records;
    ASSERT_TRUE(SplitRecords(image, records));
    for (const Bytes& record : records) {
        for (size_t i = 0; i < record.size(); i += 11) {
            // Paced, and after the acknowledgement, as the updater sends.
            now += Micros(4);
            HostSends(DataMessage(Bytes(record.begin() + i, record.begin() + std::min(record.size(), i + 11))));
        }
    }
    auto status = Status();
    EXPECT_EQ("2", status["records"]);
    EXPECT_EQ("34", status["image_bytes"]);
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08x", Crc32Update(0, image.data(), image.size()));
    EXPECT_EQ(crc, status["image_crc32"]);
    EXPECT_EQ("0", status["violations"]);
    EXPECT_EQ(image, store.ReadImage());
    ASSERT_EQ(0, Run({"image"}));
    EXPECT_EQ(EncodeFirmwareText(image), out);
}

TEST_F(ToolTest, TranscriptListsMessagesInAndOut)
{
    ASSERT_EQ(0, Run({"reset"}));
    HostSends(DeviceModel::IdentityRequest());
    now += Micros(5);
    HostTakes();
    ASSERT_EQ(0, Run({"transcript"}));
    EXPECT_NE(std::string::npos, out.find("\"Tavik 8\"  host->device  F0 7E 7F 06 01 F7\n"));
    EXPECT_NE(std::string::npos, out.find("\"Tavik 8\"  device->host  F0 7E 00 06 02"));
    EXPECT_NE(std::string::npos, out.find("event  reset"));
}

TEST_F(ToolTest, SendQueuesBytesFromTheDevice)
{
    ASSERT_EQ(0, Run({"send", "90", "3C", "64"}));
    ASSERT_EQ(0, Run({"send", "F0 01 02 F7"}));
    EXPECT_EQ((std::vector<Bytes>{B({0x90, 0x3C, 0x64}), B({0xF0, 0x01, 0x02, 0xF7})}), HostTakes());
    EXPECT_EQ(2, Run({"send", "9"}));
    EXPECT_EQ(2, Run({"send"}));
}

TEST_F(ToolTest, MakeImageArguments)
{
    ASSERT_EQ(0, Run({"make-image", "--records", "1", "--size", "1", "--seed", "5"}));
    EXPECT_EQ(6u, out.size());
    EXPECT_EQ("0001", out.substr(0, 4));
    EXPECT_EQ(2, Run({"make-image", "--records", "1"}));
    EXPECT_EQ(2, Run({"make-image", "--records", "1", "--size", "65536"}));
    EXPECT_EQ(2, Run({"make-image", "--records", "x", "--size", "1"}));
}

TEST_F(ToolTest, HelpDocumentsEveryCommandAndSetting)
{
    ASSERT_EQ(0, Run({"--help"}));
    for (const char* word : {"reset", "power-cycle", "set KEY=VALUE", "status", "transcript", "make-image", "TAVIK8_SIM",
                             "image_crc32", "violations", "winmm=n,b"})
        EXPECT_NE(std::string::npos, out.find(word)) << word;
    for (const SettingInfo& info : Settings::Table())
        EXPECT_NE(std::string::npos, out.find(std::string("  ") + info.key + " [")) << info.key;
    EXPECT_EQ(2, Run({}));
    EXPECT_EQ(2, Run({"dance"}));
}

} // namespace
