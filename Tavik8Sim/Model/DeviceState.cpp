#include "Model/DeviceState.h"

#include "Model/Crc32.h"

#include <cstdlib>
#include <sstream>

namespace Tavik8Sim {

const char* ModeName(Mode mode)
{
    switch (mode) {
    case Mode::Normal: return "normal";
    case Mode::Update: return "update";
    case Mode::Off: return "off";
    }
    return "off";
}

const char* SessionName(Session session)
{
    switch (session) {
    case Session::None: return "none";
    case Session::Active: return "active";
    case Session::Stopped: return "stopped";
    }
    return "none";
}

namespace {

int64_t ToNumber(const std::string& text)
{
    return std::strtoll(text.c_str(), nullptr, 10);
}

// A time read from the file in the file's unit, in microseconds.
TimeUs Scaled(int64_t time, int64_t scale)
{
    return time == kNever ? kNever : time * scale;
}

} // namespace

std::string DeviceState::Serialize() const
{
    std::ostringstream out;
    out << "# TAVIK8 simulated device (tavik8sim --help describes every key)\n";
    out << "format=" << kFormat << "\n";
    out << "mode=" << ModeName(mode) << "\n";
    out << "version=" << version << "\n";
    out << "armed=" << (armed ? 1 : 0) << "\n";
    out << "bootloader=" << (bootloader ? 1 : 0) << "\n";
    out << "power_epoch=" << powerEpoch << "\n";
    out << "reset_at=" << resetAt << "\n";
    out << "power_on_at=" << powerOnAt << "\n";
    out << "auto_cycle_at=" << autoCycleAt << "\n";
    out << "restart_at=" << restartAt << "\n";
    out << "link_free_at=" << linkFreeAt << "\n";
    out << "session=" << SessionName(session) << "\n";
    out << "record_index=" << recordIndex << "\n";
    out << "length_bytes_seen=" << lengthBytesSeen << "\n";
    out << "record_remaining=" << recordRemaining << "\n";
    out << "records=" << records << "\n";
    out << "image_bytes=" << imageBytes << "\n";
    out << "image_crc32=" << Crc32Text(imageCrc32) << "\n";
    out << "last_data_end=" << lastDataEnd << "\n";
    out << "data_allowed_at=" << dataAllowedAt << "\n";
    out << "stop_at=" << stopAt << "\n";
    out << "expected_image_bytes=" << expectedImageBytes << "\n";
    out << "expected_image_crc32=" << Crc32Text(expectedImageCrc32) << "\n";
    for (const auto& counter : counters)
        out << "count." << counter.first << "=" << counter.second << "\n";
    out << "violations=" << violationCount << "\n";
    for (const auto& kind : violationKinds)
        out << "violations." << kind.first << "=" << kind.second << "\n";
    for (size_t i = 0; i < violations.size(); ++i)
        out << "violation." << i << "=" << violations[i] << "\n";
    for (size_t i = 0; i < outbox.size(); ++i)
        out << "reply." << i << "=" << outbox[i].due << " " << ToHexWords(outbox[i].bytes) << "\n";
    for (size_t i = 0; i < openPorts.size(); ++i) {
        const OpenPort& port = openPorts[i];
        out << "open." << i << "=" << (port.input ? "in" : "out") << " " << port.deviceId << " " << port.epoch << " "
            << port.process << " " << port.processStart << " " << port.handle << " " << port.name << "\n";
    }
    for (const auto& value : settings.Values())
        out << "set." << value.first << "=" << value.second << "\n";
    return out.str();
}

DeviceState DeviceState::Parse(const std::string& text)
{
    DeviceState state;
    // Times of the first format were milliseconds.
    int64_t timeScale = 1;
    std::map<size_t, std::string> violationTexts;
    std::map<size_t, PendingReply> replies;
    std::map<size_t, OpenPort> openPorts;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        std::string key = line.substr(0, eq);
        std::string value = line.substr(eq + 1);
        if (key == "format") {
            timeScale = ToNumber(value) < 2 ? kMicrosPerMilli : 1;
        } else if (key == "mode") {
            state.mode = value == "update" ? Mode::Update : value == "off" ? Mode::Off : Mode::Normal;
        } else if (key == "version") {
            if (IsDeviceVersion(value))
                state.version = value;
        } else if (key == "armed") {
            state.armed = value == "1";
        } else if (key == "bootloader") {
            state.bootloader = value == "1";
        } else if (key == "power_epoch") {
            state.powerEpoch = ToNumber(value);
        } else if (key == "reset_at") {
            state.resetAt = Scaled(ToNumber(value), timeScale);
        } else if (key == "power_on_at") {
            state.powerOnAt = Scaled(ToNumber(value), timeScale);
        } else if (key == "auto_cycle_at") {
            state.autoCycleAt = Scaled(ToNumber(value), timeScale);
        } else if (key == "restart_at") {
            state.restartAt = Scaled(ToNumber(value), timeScale);
        } else if (key == "link_free_at") {
            state.linkFreeAt = Scaled(ToNumber(value), timeScale);
        } else if (key == "last_data_end") {
            state.lastDataEnd = Scaled(ToNumber(value), timeScale);
        } else if (key == "data_allowed_at") {
            state.dataAllowedAt = Scaled(ToNumber(value), timeScale);
        } else if (key == "stop_at") {
            state.stopAt = Scaled(ToNumber(value), timeScale);
        } else if (key == "expected_image_bytes") {
            state.expectedImageBytes = ToNumber(value);
        } else if (key == "expected_image_crc32") {
            state.expectedImageCrc32 = static_cast<uint32_t>(std::strtoul(value.c_str(), nullptr, 16));
        } else if (key == "session") {
            state.session = value == "active" ? Session::Active : value == "stopped" ? Session::Stopped : Session::None;
        } else if (key == "record_index") {
            state.recordIndex = ToNumber(value);
        } else if (key == "length_bytes_seen") {
            state.lengthBytesSeen = static_cast<int>(ToNumber(value));
        } else if (key == "record_remaining") {
            state.recordRemaining = ToNumber(value);
        } else if (key == "records") {
            state.records = ToNumber(value);
        } else if (key == "image_bytes") {
            state.imageBytes = ToNumber(value);
        } else if (key == "image_crc32") {
            state.imageCrc32 = static_cast<uint32_t>(std::strtoul(value.c_str(), nullptr, 16));
        } else if (key.compare(0, 6, "count.") == 0) {
            state.counters[key.substr(6)] = ToNumber(value);
        } else if (key == "violations") {
            state.violationCount = ToNumber(value);
        } else if (key.compare(0, 11, "violations.") == 0) {
            state.violationKinds[key.substr(11)] = ToNumber(value);
        } else if (key.compare(0, 10, "violation.") == 0) {
            violationTexts[static_cast<size_t>(ToNumber(key.substr(10)))] = value;
        } else if (key.compare(0, 6, "reply.") == 0) {
            size_t blank = value.find(' ');
            PendingReply reply;
            reply.due = Scaled(ToNumber(value.substr(0, blank)), timeScale);
            if (blank != std::string::npos && ParseHexWords(value.substr(blank + 1), reply.bytes))
                replies[static_cast<size_t>(ToNumber(key.substr(6)))] = reply;
        } else if (key.compare(0, 5, "open.") == 0) {
            OpenPort port;
            std::istringstream fields(value);
            std::string direction;
            if (fields >> direction >> port.deviceId >> port.epoch >> port.process >> port.processStart >>
                port.handle) {
                port.input = direction == "in";
                std::getline(fields >> std::ws, port.name);
                openPorts[static_cast<size_t>(ToNumber(key.substr(5)))] = port;
            }
        } else if (key.compare(0, 4, "set.") == 0) {
            state.settings.Set(key.substr(4), value);
        }
    }
    for (auto& v : violationTexts)
        state.violations.push_back(v.second);
    for (auto& r : replies)
        state.outbox.push_back(r.second);
    for (auto& p : openPorts)
        state.openPorts.push_back(p.second);
    return state;
}

} // namespace Tavik8Sim
