// The strict device through the real multimedia API: senders that break the
// protocol are caught, and messages take their wire time on the link.
#include "WinmmTestSupport.h"

#include <cstdio>

using namespace Tavik8SimTest;

namespace {

// Bytes per second of a link so slow (80 ms for a data message of 11 bytes)
// that messages handed over one right after the other surely meet on it.
const int kSlowLink = 300;

// A program talking to the device in update mode straight through winmm, as
// a careless updater might: the ports open, the handshake acknowledged.
class WinmmSenderTest : public WinmmTest
{
protected:
    void SetUp() override
    {
        WinmmTest::SetUp();
        Device([](DeviceModel& m, TimeUs now) { m.Reset(now, Mode::Update, "1.0.3.0"); });
        DeviceSet("ack_latency_ms", "0");
        DeviceSet("send_latency_ms", "0");
    }

    void TearDown() override
    {
        if (mIn)
            CloseInput(mIn, mBuffers);
        if (mOut) {
            EXPECT_EQ(MMSYSERR_NOERROR, midiOutClose(mOut));
        }
        WinmmTest::TearDown();
    }

    // Opens both ports and sends the handshake; answers once it is acknowledged.
    void Connect()
    {
        mIn = OpenInput(mInput, mBuffers);
        mOut = OpenOutput(mOutput);
        SendLong(mOut, mOutput, DeviceModel::ModeChangeMessage());
        ASSERT_TRUE(mInput.WaitFor(MIM_LONGDATA, 1));
    }

    // One data message, its completion awaited, no pause before or after.
    void SendData(const Bytes& bytes) { SendLong(mOut, mOutput, DataMessage(bytes)); }

    // Hands the data messages to the link all at once, then waits until all
    // are done.
    void SendAllAtOnce(const std::vector<Bytes>& pieces)
    {
        std::vector<Bytes> messages;
        for (const Bytes& piece : pieces)
            messages.push_back(DataMessage(piece));
        std::vector<MIDIHDR> headers(messages.size());
        const size_t done = mOutput.Count(MOM_DONE);
        for (size_t i = 0; i < messages.size(); ++i) {
            headers[i] = MIDIHDR{};
            headers[i].lpData = reinterpret_cast<LPSTR>(messages[i].data());
            headers[i].dwBufferLength = static_cast<DWORD>(messages[i].size());
            ASSERT_EQ(MMSYSERR_NOERROR, midiOutPrepareHeader(mOut, &headers[i], sizeof headers[i]));
            ASSERT_EQ(MMSYSERR_NOERROR, midiOutLongMsg(mOut, &headers[i], sizeof headers[i]));
        }
        ASSERT_TRUE(mOutput.WaitFor(MOM_DONE, done + messages.size()));
        for (MIDIHDR& header : headers)
            EXPECT_EQ(MMSYSERR_NOERROR, midiOutUnprepareHeader(mOut, &header, sizeof header));
    }

    int64_t Violations(const char* kind)
    {
        const DeviceState state = store.Read();
        const auto found = state.violationKinds.find(kind);
        return found == state.violationKinds.end() ? 0 : found->second;
    }

    InputRecorder mInput;
    InputBuffers mBuffers{256};
    OutputRecorder mOutput;
    HMIDIIN mIn = nullptr;
    HMIDIOUT mOut = nullptr;
};

TEST_F(WinmmSenderTest, ASenderWithoutPausesIsCaught)
{
    // Over a slow link the messages follow each other with no gap at all,
    // however quickly or slowly this program hands them over.
    DeviceSet("wire_bytes_per_s", std::to_string(kSlowLink));
    Connect();
    // A record of 34 bytes in four messages, handed over at once; the sender
    // then waits for the acknowledgement.
    SendAllAtOnce({B({0x00, 0x20, 1, 2, 3, 4, 5, 6, 7, 8, 9}), B({10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}),
                   B({21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31}), B({32})});
    ASSERT_TRUE(mInput.WaitFor(MIM_LONGDATA, 2));
    EXPECT_EQ(3, Violations("pacing"));
    EXPECT_EQ(0, Violations("before_ack"));
    EXPECT_EQ(1, store.Read().records) << "the data itself arrived";
}

TEST_F(WinmmSenderTest, ASenderThatIgnoresAcknowledgementsIsCaught)
{
    // A device that takes its time to acknowledge, and pacing left out of the
    // judgement: only the order counts here.
    DeviceSet("ack_latency_ms", "1000");
    DeviceSet("pacing_tolerance_us", "3000");
    Connect();
    SendData(B({0x00, 0x01, 0xAA})); // record 0, acknowledged a second later
    SendData(B({0x00, 0x01, 0xBB})); // record 1 at once
    SendData(B({0x00, 0x01, 0xCC})); // and record 2
    EXPECT_EQ(2, Violations("before_ack"));
    EXPECT_EQ(0, Violations("pacing"));
}

// The time of day of a transcript line ("2024-01-01 12:34:56.789012  ..."), in
// microseconds.
int64_t TranscriptTime(const std::string& line)
{
    int hours = 0, minutes = 0, seconds = 0, micros = 0;
    if (std::sscanf(line.c_str(), "%*d-%*d-%*d %d:%d:%d.%d", &hours, &minutes, &seconds, &micros) != 4)
        return -1;
    return ((hours * 60LL + minutes) * 60 + seconds) * 1000000 + micros;
}

// The transcript's line for a message from the host, or an empty text.
std::string HostLine(const std::string& transcript, const Bytes& message)
{
    const std::string needle = "host->device  " + ToHexWords(message) + "\n";
    const size_t at = transcript.find(needle);
    if (at == std::string::npos)
        return std::string();
    return transcript.substr(transcript.rfind('\n', at) + 1, at - transcript.rfind('\n', at) - 1);
}

TEST_F(WinmmSenderTest, MessagesTakeTheirWireTimeOnTheLink)
{
    DeviceSet("wire_bytes_per_s", std::to_string(kSlowLink));
    Connect();
    // Done means the device has it.
    const Bytes first = DataMessage(B({0x00, 0x20, 1, 2, 3, 4, 5, 6, 7, 8, 9})); // 24 bytes
    SendLong(mOut, mOutput, first);
    EXPECT_EQ(1, store.Read().counters["data_messages"]) << "seen by the device once reported done";

    // Two messages handed over together follow each other on the link: the
    // third arrives its own wire time after the second. Neither paused.
    const Bytes second = DataMessage(B({10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}));
    const Bytes third = DataMessage(B({21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31}));
    SendAllAtOnce({B({10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}), B({21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31})});

    const std::string transcript = store.ReadTranscript();
    const int64_t secondArrived = TranscriptTime(HostLine(transcript, second));
    const int64_t thirdArrived = TranscriptTime(HostLine(transcript, third));
    ASSERT_GE(secondArrived, 0) << transcript;
    ASSERT_GE(thirdArrived, 0) << transcript;
    EXPECT_EQ(24 * 1000000 / kSlowLink, thirdArrived - secondArrived);
    // The third started the moment the second had arrived: no pause at all.
    const DeviceState state = store.Read();
    ASSERT_FALSE(state.violations.empty());
    EXPECT_NE(std::string::npos, state.violations.back().find("pacing: data message started 0 us after"))
        << state.violations.back();
}

} // namespace
