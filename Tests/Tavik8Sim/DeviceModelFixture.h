// A simulated device driven by hand: the test owns the clock.
#pragma once

#include "Model/DeviceModel.h"

#include <gtest/gtest.h>

namespace Tavik8SimTest {

using namespace Tavik8Sim;

inline Bytes B(std::initializer_list<int> values)
{
    Bytes bytes;
    for (int v : values)
        bytes.push_back(static_cast<uint8_t>(v));
    return bytes;
}

// F0, the bytes as upper-case hexadecimal text, F7: one firmware data message.
inline Bytes DataMessage(const Bytes& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    Bytes message = {0xF0};
    for (uint8_t b : bytes) {
        message.push_back(static_cast<uint8_t>(digits[b >> 4]));
        message.push_back(static_cast<uint8_t>(digits[b & 0xF]));
    }
    message.push_back(0xF7);
    return message;
}

inline Bytes Text(const std::string& text)
{
    Bytes message(text.size() + 2, 0xF0);
    for (size_t i = 0; i < text.size(); ++i)
        message[i + 1] = static_cast<uint8_t>(text[i]);
    message.back() = 0xF7;
    return message;
}

class DeviceModelTest : public ::testing::Test
{
protected:
    void SetUp() override { model.Reset(now, Mode::Normal, "1.0.3.0"); }

    void Set(const std::string& key, const std::string& value) { ASSERT_EQ("", model.Set(now, key, value)); }

    void Send(const Bytes& message) { model.Receive(now, model.DevicePortName(), message); }

    // Lets `ms` milliseconds pass and answers what the device sent meanwhile.
    std::vector<Bytes> Wait(int64_t ms)
    {
        now += Micros(ms);
        model.Advance(now);
        return model.TakeDue(now);
    }

    std::vector<Bytes> SendAndWait(const Bytes& message, int64_t ms = 10)
    {
        Send(message);
        return Wait(ms);
    }

    // Normal mode, mode change accepted, switched off and on.
    void EnterUpdateMode()
    {
        SendAndWait(DeviceModel::ModeChangeMessage());
        model.PowerCycle(now);
        ASSERT_EQ(Mode::Update, state.mode);
    }

    void Handshake()
    {
        auto replies = SendAndWait(DeviceModel::ModeChangeMessage());
        ASSERT_EQ(1u, replies.size());
    }

    // Sends one record in pieces of at most 11 bytes, as the updater does
    // (pauseMs after each), and answers the replies that came meanwhile.
    std::vector<Bytes> SendRecord(const Bytes& record, int64_t pauseMs = 3)
    {
        std::vector<Bytes> replies;
        for (size_t i = 0; i < record.size(); i += 11) {
            size_t n = std::min<size_t>(11, record.size() - i);
            Send(DataMessage(Bytes(record.begin() + i, record.begin() + i + n)));
            for (Bytes& reply : Wait(pauseMs))
                replies.push_back(reply);
        }
        return replies;
    }

    static Bytes Record(int payloadSize, uint8_t fill)
    {
        Bytes record = {static_cast<uint8_t>(payloadSize >> 8), static_cast<uint8_t>(payloadSize & 0xFF)};
        record.insert(record.end(), static_cast<size_t>(payloadSize), fill);
        return record;
    }

    int64_t Counter(const std::string& name) { return state.counters[name]; }

    DeviceState state;
    DeviceModel model{state};
    TimeUs now = 1700000000000000; // 2023-11-14 22:13:20 UTC
};

const Bytes kAck45 = {0xF0, 0x45, 0xF7};
const Bytes kAck1A = {0xF0, 0x1A, 0xF7};
const Bytes kModeAck = {0xF0, 0x15, 0xF7};
const Bytes kStop = {0xF0, 0x20, 0xF7};

} // namespace Tavik8SimTest
