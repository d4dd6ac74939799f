#include "Model/Settings.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace Tavik8Sim {

namespace {

// A link faster than this is not a MIDI link.
const int64_t kMaxBytesPerSecond = 100000000;

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

bool ParseNonNegative(const std::string& text, int64_t& value)
{
    if (text.empty() || text.size() > 12)
        return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

bool IsDeviceVersion(const std::string& text)
{
    if (text.size() != 7)
        return false;
    for (size_t i = 0; i < 7; ++i) {
        bool digit = text[i] >= '0' && text[i] <= '9';
        if ((i % 2 == 0) != digit || (i % 2 == 1 && text[i] != '.'))
            return false;
    }
    return true;
}

const std::vector<SettingInfo>& Settings::Table()
{
    using K = SettingInfo::Kind;
    static const std::vector<SettingInfo> table = {
        {"auto_power_cycle_ms", K::Milliseconds, "0", {},
         "switch off and on by itself this long after accepting the mode change (0: never)"},
        {"ack_latency_ms", K::Milliseconds, "1", {},
         "delay of every reply: identity, mode change, handshake and record acknowledgements"},
        {"wire_bytes_per_s", K::BytesPerSecond, "0", {},
         "speed of the link from the host: a message is on it for its bytes at this rate (3125 for DIN "
         "MIDI), one after the other; the device sees it and midiOutLongMsg reports it done once its last "
         "byte has arrived (0: no wire time)"},
        {"pacing_tolerance_us", K::Microseconds, "300", {},
         "timer jitter forgiven in the pacing rule: a data message may start this much less than 3 ms "
         "after the previous one arrived whole (3000 or more: pacing is not checked)"},
        {"expect_image", K::Path, "", {},
         "firmware file of the image the device expects (none: any image is accepted): an update ends "
         "with new_version only when the image received equals it, else with the old version"},
        {"identity", K::Choice, "ok", {"ok", "none", "late", "short", "bad", "long"},
         "reply to the identity request: ok (15 bytes); none; late (after late_ms); short (14 bytes, "
         "the last version digit missing); bad (15 bytes, sub-ID 0x03 instead of 0x02); long (17 bytes, "
         "three-byte manufacturer ID)"},
        {"late_ms", K::Milliseconds, "2500", {}, "delay of the identity reply when identity=late"},
        {"mode_ack", K::Choice, "ok", {"ok", "none", "wrong"},
         "reply to an accepted mode change in normal mode: ok (F0 15 F7); none; wrong (F0 15 00 F7). "
         "The mode change is accepted in every case"},
        {"handshake_ack", K::Choice, "0x45", {"0x45", "0x1A", "none"},
         "reply to the mode change in update mode; none: no reply and no session"},
        {"drop_ack_at", K::RecordIndex, "-1", {},
         "record index (from 0) whose acknowledgement never comes (-1 or none: off)"},
        {"nak_at", K::RecordIndex, "-1", {},
         "record index after which the device sends F0 20 F7 (before that record's acknowledgement) "
         "and refuses further data"},
        {"stale_ack_at", K::RecordIndex, "-1", {},
         "record index before which the device sends a stale acknowledgement: a second one right behind "
         "the acknowledgement of the record before (of the handshake for 0), before the record starts"},
        {"duplicate_ack_at", K::RecordIndex, "-1", {},
         "record index whose acknowledgement the device sends twice, one right after the other"},
        {"vanish_at", K::RecordIndex, "-1", {},
         "record index at whose first data message the device disappears (mode off until a power cycle)"},
        {"after_update", K::Choice, "new", {"new", "old", "never"},
         "after the last record: come back with new_version, with the old version, or never"},
        {"new_version", K::Version, "1.0.4.4", {}, "version after a successful update (A.B.C.D, one digit each)"},
        {"noise", K::Flag, "0", {},
         "1: active sensing (FE) and a foreign system-exclusive message (F0 7D ... F7) before every reply, "
         "active sensing after it"},
        {"duplicate_ports", K::Flag, "0", {},
         "1: a second, silent device with the same port names is listed after the device"},
        {"extra_ports_before", K::PortList, "", {},
         "comma-separated names of silent devices listed before the device (inputs and outputs)"},
        {"extra_ports_after", K::PortList, "", {}, "the same, listed after the device"},
        {"send_latency_ms", K::Milliseconds, "1", {},
         "time from a long message's last byte arriving until midiOutLongMsg reports its buffer done"},
        {"send_done", K::Choice, "ok", {"ok", "never"},
         "never: long messages are never reported done (until midiOutReset)"},
        {"off_ms", K::Milliseconds, "0", {}, "how long every power cycle keeps the device off"},
        // As long as the host's own wait for an acknowledgement: a host that
        // the scheduler holds up between two records (a loaded machine can
        // hold a process for hundreds of milliseconds) still finds the device
        // in its update. Tests of a device that restarts early set less.
        {"restart_quiet_ms", K::Milliseconds, "5000", {},
         "quiet time before the device restarts to finish an update: it starts at a complete record, once "
         "the device's last reply has gone out, and any data ends it (as long as the updater's wait for an "
         "acknowledgement, so that a host held up by a busy machine is not cut off)"},
        {"reboot_ms", K::Milliseconds, "700", {}, "how long the device is off while it restarts after an update"},
    };
    return table;
}

const SettingInfo* Settings::Find(const std::string& key)
{
    for (const SettingInfo& info : Table()) {
        if (key == info.key)
            return &info;
    }
    return nullptr;
}

std::string Settings::Set(const std::string& key, const std::string& value)
{
    const SettingInfo* info = Find(key);
    if (!info)
        return "unknown setting \"" + key + "\"";
    std::string canonical;
    int64_t number = 0;
    switch (info->kind) {
    case SettingInfo::Kind::Milliseconds:
        if (!ParseNonNegative(value, number))
            return key + " needs a number of milliseconds";
        canonical = std::to_string(number);
        break;
    case SettingInfo::Kind::Microseconds:
        if (!ParseNonNegative(value, number))
            return key + " needs a number of microseconds";
        canonical = std::to_string(number);
        break;
    case SettingInfo::Kind::BytesPerSecond:
        if (!ParseNonNegative(value, number) || number > kMaxBytesPerSecond)
            return key + " needs a number of bytes per second from 0 to " + std::to_string(kMaxBytesPerSecond);
        canonical = std::to_string(number);
        break;
    case SettingInfo::Kind::Path:
        if (value.find_first_of("\r\n") != std::string::npos)
            return key + " must be one line";
        canonical = Lower(value) == "none" ? std::string() : value;
        break;
    case SettingInfo::Kind::RecordIndex:
        if (Lower(value) == "none" || value == "-1")
            canonical = "-1";
        else if (ParseNonNegative(value, number))
            canonical = std::to_string(number);
        else
            return key + " needs a record index (from 0) or none";
        break;
    case SettingInfo::Kind::Choice:
        for (const char* choice : info->choices) {
            if (Lower(value) == Lower(choice))
                canonical = choice;
        }
        if (canonical.empty()) {
            std::string list;
            for (const char* choice : info->choices)
                list += (list.empty() ? "" : ", ") + std::string(choice);
            return key + " is one of " + list;
        }
        break;
    case SettingInfo::Kind::Flag: {
        std::string v = Lower(value);
        if (v == "1" || v == "on" || v == "true" || v == "yes")
            canonical = "1";
        else if (v == "0" || v == "off" || v == "false" || v == "no")
            canonical = "0";
        else
            return key + " is 0 or 1";
        break;
    }
    case SettingInfo::Kind::Version:
        if (!IsDeviceVersion(value))
            return key + " needs a version A.B.C.D of single digits";
        canonical = value;
        break;
    case SettingInfo::Kind::PortList:
        if (value.find_first_of("\r\n") != std::string::npos)
            return key + " must be one line";
        for (const std::string& name : [&] {
                 Settings probe;
                 probe.mValues[key] = value;
                 return probe.PortList(key);
             }()) {
            if (name.size() > 31)
                return "port name \"" + name + "\" is longer than 31 characters";
        }
        canonical = value;
        break;
    }
    if (canonical == info->defaultValue)
        mValues.erase(key);
    else
        mValues[key] = canonical;
    return std::string();
}

std::string Settings::Text(const std::string& key) const
{
    auto it = mValues.find(key);
    if (it != mValues.end())
        return it->second;
    const SettingInfo* info = Find(key);
    return info ? info->defaultValue : std::string();
}

int64_t Settings::Number(const std::string& key) const
{
    return std::strtoll(Text(key).c_str(), nullptr, 10);
}

int64_t Settings::Duration(const std::string& key) const
{
    const SettingInfo* info = Find(key);
    const int64_t number = Number(key);
    return info && info->kind == SettingInfo::Kind::Milliseconds ? number * 1000 : number;
}

bool Settings::Flag(const std::string& key) const
{
    return Text(key) == "1";
}

std::vector<std::string> Settings::PortList(const std::string& key) const
{
    std::vector<std::string> names;
    std::string text = Text(key);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(',', start);
        if (end == std::string::npos)
            end = text.size();
        std::string name = text.substr(start, end - start);
        size_t first = name.find_first_not_of(' ');
        size_t last = name.find_last_not_of(' ');
        if (first != std::string::npos)
            names.push_back(name.substr(first, last - first + 1));
        start = end + 1;
    }
    return names;
}

} // namespace Tavik8Sim
