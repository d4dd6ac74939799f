#include "Model/DeviceModel.h"

#include "Model/Crc32.h"

#include <algorithm>
#include <cstdio>

namespace Tavik8Sim {

const char* const DeviceModel::kNormalPortName = "Tavik 8";
const char* const DeviceModel::kUpdatePortName = "Tavik Updater";

namespace {

const uint8_t kSysEx = 0xF0;
const uint8_t kEndOfSysEx = 0xF7;
const uint8_t kModeAck = 0x15;
const uint8_t kStopRequest = 0x20;
const uint8_t kActiveSensing = 0xFE;

// Every data message needs this pause after the one before it has arrived.
const TimeUs kDataPause = Micros(3);

// Manufacturer 0x7D (the ID kept for non-commercial use), family 08 00, model 01 00.
const uint8_t kManufacturer = 0x7D;

bool IsIdentityRequestMessage(const Bytes& m)
{
    return m.size() == 6 && m[0] == kSysEx && m[1] == 0x7E && (m[2] == 0x7F || m[2] == 0x00) && m[3] == 0x06 &&
           m[4] == 0x01 && m[5] == kEndOfSysEx;
}

std::string RecordText(int64_t index)
{
    return "record " + std::to_string(index);
}

} // namespace

std::string CheckDataMessage(const Bytes& message)
{
    if (message.size() < 2 || message.front() != kSysEx || message.back() != kEndOfSysEx)
        return "not F0 ... F7";
    size_t characters = message.size() - 2;
    if (characters == 0)
        return "no data";
    if (characters > 22)
        return std::to_string(characters) + " characters, more than 22";
    if (characters % 2)
        return "odd number of characters";
    for (size_t i = 1; i + 1 < message.size(); ++i) {
        uint8_t c = message[i];
        bool upperHex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
        if (!upperHex) {
            char text[64];
            std::snprintf(text, sizeof text, "byte %u (%02X) is not an upper-case hexadecimal digit",
                          static_cast<unsigned>(i), c);
            return text;
        }
    }
    return std::string();
}

Bytes DeviceModel::IdentityRequest()
{
    return {kSysEx, 0x7E, 0x7F, 0x06, 0x01, kEndOfSysEx};
}

Bytes DeviceModel::ModeChangeMessage()
{
    return {kSysEx, 'Q', 'J', 'd', ')', '>', 'R', 'T', kEndOfSysEx};
}

Bytes DeviceModel::IdentityReply(const std::string& version)
{
    Bytes reply = {kSysEx, 0x7E, 0x00, 0x06, 0x02, kManufacturer, 0x08, 0x00, 0x01, 0x00};
    for (size_t i = 0; i < version.size(); i += 2)
        reply.push_back(static_cast<uint8_t>(version[i]));
    reply.push_back(kEndOfSysEx);
    return reply;
}

std::string DeviceModel::FormatTime(TimeUs time)
{
    if (time < 0)
        time = 0;
    const int64_t microsPerDay = 86400LL * 1000000;
    int64_t days = time / microsPerDay;
    int64_t rest = time % microsPerDay;
    // Civil date from days since 1970-01-01 (proleptic Gregorian calendar).
    int64_t z = days + 719468;
    int64_t era = z / 146097;
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t y = yoe + era * 400;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    int64_t d = doy - (153 * mp + 2) / 5 + 1;
    int64_t m = mp < 10 ? mp + 3 : mp - 9;
    if (m <= 2)
        ++y;
    const int64_t seconds = rest / 1000000;
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%06d", static_cast<int>(y), static_cast<int>(m),
                  static_cast<int>(d), static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                  static_cast<int>(seconds % 60), static_cast<int>(rest % 1000000));
    return text;
}

const std::vector<const char*>& DeviceModel::ViolationKinds()
{
    static const std::vector<const char*> kinds = {"pacing",     "before_handshake", "before_ack",
                                                   "after_stop", "malformed",        "spanning"};
    return kinds;
}

void DeviceModel::Log(TimeUs now, const std::string& port, const char* direction, const Bytes& bytes)
{
    mState.newTranscriptLines.push_back(FormatTime(now) + "  \"" + port + "\"  " + direction + "  " +
                                        ToHexWords(bytes));
    mState.changed = true;
}

void DeviceModel::Event(TimeUs now, const std::string& text)
{
    mState.newTranscriptLines.push_back(FormatTime(now) + "  -  event  " + text);
    mState.changed = true;
}

void DeviceModel::Count(const char* name)
{
    ++mState.counters[name];
    mState.changed = true;
}

void DeviceModel::Violation(TimeUs now, const char* kind, const std::string& text)
{
    ++mState.violationCount;
    ++mState.violationKinds[kind];
    const std::string described = std::string(kind) + ": " + text;
    if (mState.violations.size() < DeviceState::kMaxViolationTexts)
        mState.violations.push_back(FormatTime(now) + " " + described);
    Event(now, "violation (" + described + ")");
}

void DeviceModel::Reply(TimeUs due, const Bytes& bytes, bool withNoise)
{
    std::vector<Bytes> messages;
    if (withNoise && mState.settings.Flag("noise")) {
        messages.push_back({kActiveSensing});
        messages.push_back({kSysEx, 0x7D, 'N', 'O', 'I', 'S', 'E', kEndOfSysEx});
        messages.push_back(bytes);
        messages.push_back({kActiveSensing});
    } else {
        messages.push_back(bytes);
    }
    // Keep the outbox in time order; equal times stay in the order queued.
    auto at = std::upper_bound(mState.outbox.begin(), mState.outbox.end(), due,
                               [](TimeUs t, const PendingReply& r) { return t < r.due; });
    for (const Bytes& m : messages) {
        at = mState.outbox.insert(at, PendingReply{due, m});
        ++at;
    }
    mState.changed = true;
}

uint8_t DeviceModel::AckCode() const
{
    return mState.settings.Text("handshake_ack") == "0x1A" ? 0x1A : 0x45;
}

void DeviceModel::Acknowledge(TimeUs due)
{
    Reply(due, {kSysEx, AckCode(), kEndOfSysEx}, true);
}

void DeviceModel::MaybeStaleAck(TimeUs now, TimeUs due, int64_t nextRecord)
{
    if (nextRecord != mState.settings.Number("stale_ack_at"))
        return;
    // Right behind the acknowledgement before it, so before the record starts.
    Event(now, "a stale acknowledgement will come before " + RecordText(nextRecord) + " (stale_ack_at)");
    Acknowledge(due);
}

TimeUs DeviceModel::LastReplyDue(TimeUs now) const
{
    TimeUs last = now;
    for (const PendingReply& reply : mState.outbox)
        last = std::max(last, reply.due);
    return last;
}

void DeviceModel::Reset(TimeUs now, Mode mode, const std::string& version)
{
    mState = DeviceState();
    mState.mode = mode;
    mState.version = version;
    mState.bootloader = mode == Mode::Update;
    mState.resetAt = now;
    mState.truncateImage = true;
    mState.truncateTranscript = true;
    Event(now, std::string("reset: ") + ModeName(mode) + " mode, version " + version);
}

void DeviceModel::GoOff(TimeUs now)
{
    mState.mode = Mode::Off;
    ++mState.powerEpoch;
    mState.powerOnAt = kNever;
    mState.autoCycleAt = kNever;
    mState.restartAt = kNever;
    // What the device had not sent yet is lost with its power.
    mState.outbox.erase(std::remove_if(mState.outbox.begin(), mState.outbox.end(),
                                       [now](const PendingReply& r) { return r.due > now; }),
                        mState.outbox.end());
    mState.changed = true;
}

void DeviceModel::PowerOn(TimeUs now)
{
    mState.mode = (mState.armed || mState.bootloader) ? Mode::Update : Mode::Normal;
    if (mState.mode == Mode::Update)
        mState.bootloader = true;
    mState.armed = false;
    mState.session = Session::None;
    mState.lastDataEnd = kNever;
    mState.lengthBytesSeen = 0;
    mState.recordRemaining = 0;
    mState.powerOnAt = kNever;
    Event(now, std::string("power on: ") + ModeName(mState.mode) + " mode, version " + mState.version);
}

void DeviceModel::PowerOnAfter(TimeUs now, TimeUs delay)
{
    if (delay > 0)
        mState.powerOnAt = now + delay;
    else
        PowerOn(now);
}

void DeviceModel::PowerCycle(TimeUs now)
{
    Count("power_cycles");
    Event(now, "switched off");
    GoOff(now);
    PowerOnAfter(now, mState.settings.Duration("off_ms"));
}

void DeviceModel::FinishUpdate(TimeUs now)
{
    Count("updates");
    std::string afterUpdate = mState.settings.Text("after_update");
    Event(now, "update finished after " + std::to_string(mState.recordIndex) + " records; restarting (after_update=" +
                   afterUpdate + ")");
    mState.session = Session::None;
    GoOff(now);
    if (afterUpdate == "never")
        return;
    if (afterUpdate == "new") {
        // The loader takes only the image it expects, when it expects one.
        if (ImageVerdict() == "mismatch")
            Event(now, "image rejected: " + std::to_string(mState.imageBytes) + " bytes, crc32 " +
                           Crc32Text(mState.imageCrc32) + "; expected " + std::to_string(mState.expectedImageBytes) +
                           " bytes, crc32 " + Crc32Text(mState.expectedImageCrc32) + "; keeping version " +
                           mState.version);
        else
            mState.version = mState.settings.Text("new_version");
    }
    mState.bootloader = false;
    PowerOnAfter(now, mState.settings.Duration("reboot_ms"));
}

void DeviceModel::Advance(TimeUs now)
{
    for (;;) {
        TimeUs next = kNever;
        for (TimeUs t : {mState.powerOnAt, mState.autoCycleAt, mState.restartAt}) {
            if (t != kNever && t <= now && (next == kNever || t < next))
                next = t;
        }
        if (next == kNever)
            return;
        if (next == mState.powerOnAt) {
            mState.powerOnAt = kNever;
            PowerOn(next);
        } else if (next == mState.autoCycleAt) {
            mState.autoCycleAt = kNever;
            Event(next, "switching itself off and on (auto_power_cycle_ms)");
            PowerCycle(next);
        } else {
            mState.restartAt = kNever;
            FinishUpdate(next);
        }
    }
}

WireSpan DeviceModel::Transmit(TimeUs now, size_t bytes)
{
    const int64_t rate = mState.settings.Number("wire_bytes_per_s");
    WireSpan span{std::max(now, mState.linkFreeAt), 0};
    // Rounded up: the last byte is never early.
    const TimeUs wireTime = rate > 0 ? (static_cast<int64_t>(bytes) * 1000000 + rate - 1) / rate : 0;
    span.end = span.start + wireTime;
    mState.linkFreeAt = span.end;
    mState.changed = true;
    return span;
}

void DeviceModel::Receive(TimeUs arrived, const std::string& port, const Bytes& message, TimeUs started)
{
    Advance(arrived);
    Log(arrived, port, "host->device", message);
    Count("messages_in");
    if (message.empty() || mState.mode == Mode::Off)
        return;
    if (mState.mode == Mode::Normal)
        OnNormalMode(arrived, message);
    else
        OnUpdateMode(arrived, message, started == kNever ? arrived : started);
}

void DeviceModel::OnNormalMode(TimeUs now, const Bytes& message)
{
    if (mState.armed)
        return; // waits to be switched off and on
    TimeUs latency = mState.settings.Duration("ack_latency_ms");
    if (IsIdentityRequestMessage(message)) {
        Count("identity_requests");
        std::string identity = mState.settings.Text("identity");
        Bytes reply = IdentityReply(mState.version);
        if (identity == "none")
            return;
        if (identity == "late") {
            Reply(now + mState.settings.Duration("late_ms"), reply, true);
            return;
        }
        if (identity == "short")
            reply.erase(reply.begin() + 13);
        else if (identity == "bad")
            reply[4] = 0x03;
        else if (identity == "long")
            reply.insert(reply.begin() + 5, {0x00, kManufacturer});
        Reply(now + latency, reply, true);
        return;
    }
    if (message == ModeChangeMessage()) {
        Count("mode_changes");
        mState.armed = true;
        Event(now, "mode change accepted: waiting to be switched off and on");
        std::string modeAck = mState.settings.Text("mode_ack");
        if (modeAck == "ok")
            Reply(now + latency, {kSysEx, kModeAck, kEndOfSysEx}, true);
        else if (modeAck == "wrong")
            Reply(now + latency, {kSysEx, kModeAck, 0x00, kEndOfSysEx}, true);
        TimeUs autoCycle = mState.settings.Duration("auto_power_cycle_ms");
        if (autoCycle > 0)
            mState.autoCycleAt = now + autoCycle;
        return;
    }
    if (message.size() == 9 && message.front() == kSysEx && message.back() == kEndOfSysEx)
        Event(now, "mode change refused: wrong access code");
}

void DeviceModel::OnUpdateMode(TimeUs now, const Bytes& message, TimeUs started)
{
    if (message == ModeChangeMessage()) {
        Count("handshakes");
        if (mState.settings.Text("handshake_ack") == "none") {
            Event(now, "handshake not answered (handshake_ack=none)");
            return;
        }
        StartSession(now);
        const TimeUs due = now + mState.settings.Duration("ack_latency_ms");
        Acknowledge(due);
        mState.dataAllowedAt = due;
        MaybeStaleAck(now, due, 0);
        return;
    }
    if (IsIdentityRequestMessage(message)) {
        Count("identity_requests"); // the update firmware does not answer it
        return;
    }
    if (message.front() == kSysEx)
        OnData(now, message, started);
}

void DeviceModel::StartSession(TimeUs now)
{
    Count("sessions");
    mState.session = Session::Active;
    mState.recordIndex = 0;
    mState.lengthBytesSeen = 0;
    mState.recordRemaining = 0;
    mState.records = 0;
    mState.imageBytes = 0;
    mState.imageCrc32 = 0;
    mState.newImageBytes.clear();
    mState.truncateImage = true;
    mState.restartAt = kNever;
    mState.lastDataEnd = kNever;
    mState.dataAllowedAt = kNever;
    mState.stopAt = kNever;
    Event(now, "handshake: session started");
}

bool DeviceModel::CheckPacingAndOrder(TimeUs now, TimeUs started, const Bytes& message)
{
    const TimeUs previousEnd = mState.lastDataEnd;
    mState.lastDataEnd = now;
    const int64_t tolerance = mState.settings.Duration("pacing_tolerance_us");
    if (previousEnd != kNever && tolerance < kDataPause && started - previousEnd < kDataPause - tolerance)
        Violation(now, "pacing",
                  "data message started " + std::to_string(started - previousEnd) +
                      " us after the previous one had arrived (" + std::to_string(kDataPause) + " us needed): " +
                      ToHexWords(message));
    switch (mState.session) {
    case Session::None:
        Violation(now, "before_handshake", "data message before the handshake: " + ToHexWords(message));
        return false;
    case Session::Stopped:
        if (mState.stopAt != kNever && started >= mState.stopAt) {
            Violation(now, "after_stop", "data message after the device asked to stop: " + ToHexWords(message));
            return false;
        }
        break;
    case Session::Active:
        break;
    }
    if (mState.dataAllowedAt == kNever || started < mState.dataAllowedAt) {
        const std::string awaited =
            mState.recordIndex == 0 ? std::string("the handshake's") : RecordText(mState.recordIndex - 1) + "'s";
        const std::string when = mState.dataAllowedAt == kNever
                                     ? "data message, but " + awaited + " acknowledgement never went out"
                                     : "data message started " + std::to_string(mState.dataAllowedAt - started) +
                                           " us before " + awaited + " acknowledgement went out";
        Violation(now, "before_ack", when + ": " + ToHexWords(message));
    }
    return mState.session == Session::Active;
}

void DeviceModel::OnData(TimeUs now, const Bytes& message, TimeUs started)
{
    Count("data_messages");
    if (!CheckPacingAndOrder(now, started, message))
        return;
    std::string problem = CheckDataMessage(message);
    if (!problem.empty()) {
        Violation(now, "malformed", "data message (" + problem + "): " + ToHexWords(message));
        return;
    }
    if (mState.lengthBytesSeen == 0 && mState.recordIndex == mState.settings.Number("vanish_at")) {
        Event(now, "vanished at the first data message of " + RecordText(mState.recordIndex));
        GoOff(now);
        return;
    }

    size_t count = (message.size() - 2) / 2;
    int64_t firstRecord = mState.recordIndex;
    bool spans = false;
    for (size_t i = 0; i < count && mState.session == Session::Active; ++i) {
        uint8_t b = static_cast<uint8_t>(HexDigitValue(static_cast<char>(message[1 + 2 * i])) * 16 +
                                         HexDigitValue(static_cast<char>(message[2 + 2 * i])));
        mState.newImageBytes.push_back(b);
        mState.imageCrc32 = Crc32Update(mState.imageCrc32, &b, 1);
        ++mState.imageBytes;
        bool complete = false;
        if (mState.lengthBytesSeen == 0) {
            mState.recordRemaining = static_cast<int64_t>(b) << 8;
            mState.lengthBytesSeen = 1;
        } else if (mState.lengthBytesSeen == 1) {
            mState.recordRemaining |= b;
            mState.lengthBytesSeen = 2;
            complete = mState.recordRemaining == 0;
        } else {
            complete = --mState.recordRemaining == 0;
        }
        if (complete) {
            if (i + 1 < count)
                spans = true;
            CompleteRecord(now);
        }
    }
    if (spans)
        Violation(now, "spanning", "data message spans " + RecordText(firstRecord) + " and " +
                                       RecordText(firstRecord + 1) + ": " + ToHexWords(message));
    // The quiet time that ends the update starts once the last reply is out.
    bool atRecordEnd = mState.lengthBytesSeen == 0 && mState.recordIndex > 0;
    mState.restartAt = (mState.session == Session::Active && atRecordEnd)
                           ? LastReplyDue(now) + mState.settings.Duration("restart_quiet_ms")
                           : kNever;
}

void DeviceModel::CompleteRecord(TimeUs now)
{
    int64_t index = mState.recordIndex++;
    mState.lengthBytesSeen = 0;
    mState.recordRemaining = 0;
    Count("records_received");
    TimeUs due = now + mState.settings.Duration("ack_latency_ms");
    if (index == mState.settings.Number("nak_at")) {
        Event(now, "asking the host to stop after " + RecordText(index));
        Reply(due, {kSysEx, kStopRequest, kEndOfSysEx}, true);
        mState.session = Session::Stopped;
        mState.stopAt = due;
    }
    if (index == mState.settings.Number("drop_ack_at")) {
        Event(now, "acknowledgement of " + RecordText(index) + " dropped");
        mState.dataAllowedAt = kNever;
        return;
    }
    ++mState.records;
    Acknowledge(due);
    mState.dataAllowedAt = due;
    if (index == mState.settings.Number("duplicate_ack_at")) {
        Event(now, "acknowledgement of " + RecordText(index) + " sent twice (duplicate_ack_at)");
        Acknowledge(due);
    }
    MaybeStaleAck(now, due, index + 1);
}

std::vector<Bytes> DeviceModel::TakeDue(TimeUs now)
{
    std::vector<Bytes> due;
    std::string port = DevicePortName();
    while (!mState.outbox.empty() && mState.outbox.front().due <= now) {
        Log(mState.outbox.front().due, port, "device->host", mState.outbox.front().bytes);
        due.push_back(std::move(mState.outbox.front().bytes));
        mState.outbox.erase(mState.outbox.begin());
    }
    return due;
}

void DeviceModel::DropDue(TimeUs now)
{
    std::string port = DevicePortName();
    while (!mState.outbox.empty() && mState.outbox.front().due <= now) {
        Log(mState.outbox.front().due, port, "device->host (lost: input not open)", mState.outbox.front().bytes);
        mState.outbox.erase(mState.outbox.begin());
    }
}

void DeviceModel::Send(TimeUs now, const Bytes& message)
{
    Advance(now);
    Reply(now, message, false);
}

std::string DeviceModel::Set(TimeUs now, const std::string& key, const std::string& value)
{
    if (key == "expect_image") {
        Settings probe;
        if (!probe.Set(key, value).empty() || !probe.Text(key).empty())
            return "expect_image needs the image: tavik8sim set expect_image=FILE reads it (none clears it)";
        mState.expectedImageBytes = -1;
        mState.expectedImageCrc32 = 0;
    }
    std::string error = mState.settings.Set(key, value);
    if (error.empty())
        Event(now, "set " + key + "=" + mState.settings.Text(key));
    mState.changed = true;
    return error;
}

void DeviceModel::ExpectImage(TimeUs now, const std::string& path, const Bytes& image)
{
    mState.settings.Set("expect_image", path);
    mState.expectedImageBytes = static_cast<int64_t>(image.size());
    mState.expectedImageCrc32 = Crc32Update(0, image.data(), image.size());
    Event(now, "expecting the image of " + path + ": " + std::to_string(image.size()) + " bytes, crc32 " +
                   Crc32Text(mState.expectedImageCrc32));
    mState.changed = true;
}

std::string DeviceModel::ImageVerdict() const
{
    if (mState.expectedImageBytes < 0)
        return "none";
    const bool same = mState.imageBytes == mState.expectedImageBytes && mState.imageCrc32 == mState.expectedImageCrc32;
    return same ? "match" : "mismatch";
}

TimeUs DeviceModel::NextDeadline() const
{
    TimeUs next = kNever;
    for (TimeUs t : {mState.powerOnAt, mState.autoCycleAt, mState.restartAt,
                     mState.outbox.empty() ? kNever : mState.outbox.front().due}) {
        if (t != kNever && (next == kNever || t < next))
            next = t;
    }
    return next;
}

std::string DeviceModel::DevicePortName() const
{
    switch (mState.mode) {
    case Mode::Normal: return kNormalPortName;
    case Mode::Update: return kUpdatePortName;
    case Mode::Off: break;
    }
    return std::string();
}

std::vector<Port> DeviceModel::Ports() const
{
    std::vector<Port> ports;
    for (const std::string& name : mState.settings.PortList("extra_ports_before"))
        ports.push_back(Port{name, false});
    std::string own = DevicePortName();
    if (!own.empty()) {
        ports.push_back(Port{own, true});
        if (mState.settings.Flag("duplicate_ports"))
            ports.push_back(Port{own, false});
    }
    for (const std::string& name : mState.settings.PortList("extra_ports_after"))
        ports.push_back(Port{name, false});
    return ports;
}

std::vector<std::pair<std::string, std::string>> DeviceModel::Status(TimeUs now) const
{
    std::vector<std::pair<std::string, std::string>> lines = {
        {"mode", ModeName(mState.mode)},
        {"version", mState.version},
        {"records", std::to_string(mState.records)},
        {"image_bytes", std::to_string(mState.imageBytes)},
        {"image_crc32", Crc32Text(mState.imageCrc32)},
        {"violations", std::to_string(mState.violationCount)},
    };
    for (const char* kind : ViolationKinds()) {
        const auto found = mState.violationKinds.find(kind);
        lines.push_back({std::string("violations.") + kind,
                         std::to_string(found == mState.violationKinds.end() ? 0 : found->second)});
    }
    lines.push_back({"image_verdict", ImageVerdict()});
    lines.push_back({"waiting_for_power_cycle", mState.armed ? "1" : "0"});
    lines.push_back({"session", SessionName(mState.session)});
    lines.push_back({"records_received", std::to_string(mState.recordIndex)});
    auto in = [now](TimeUs t) {
        return t == kNever ? std::string("never") : std::to_string(std::max<TimeUs>(0, t - now) / kMicrosPerMilli);
    };
    lines.push_back({"power_on_in_ms", in(mState.powerOnAt)});
    lines.push_back({"auto_power_cycle_in_ms", in(mState.autoCycleAt)});
    lines.push_back({"restart_in_ms", in(mState.restartAt)});
    lines.push_back({"pending_replies", std::to_string(mState.outbox.size())});
    if (mState.expectedImageBytes >= 0) {
        lines.push_back({"expected_image_bytes", std::to_string(mState.expectedImageBytes)});
        lines.push_back({"expected_image_crc32", Crc32Text(mState.expectedImageCrc32)});
    }
    std::string ports;
    for (const Port& p : Ports())
        ports += (ports.empty() ? "" : ",") + p.name;
    lines.push_back({"ports", ports});
    std::string open;
    for (const OpenPort& p : mState.openPorts)
        open += (open.empty() ? "" : ", ") + std::string(p.input ? "in " : "out ") + p.name + " (process " +
                std::to_string(p.process) + ")";
    lines.push_back({"open_ports", open});
    for (const auto& counter : mState.counters)
        lines.push_back({"count." + counter.first, std::to_string(counter.second)});
    for (size_t i = 0; i < mState.violations.size(); ++i)
        lines.push_back({"violation." + std::to_string(i), mState.violations[i]});
    for (const SettingInfo& info : Settings::Table())
        lines.push_back({info.key, mState.settings.Text(info.key)});
    return lines;
}

} // namespace Tavik8Sim
