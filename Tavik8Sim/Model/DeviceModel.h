// The behaviour of the simulated TAVIK8, as pure logic over a DeviceState:
// messages from the host go in with Receive, replies come out of TakeDue once
// their time has come, and every timer (power cycles, the restart after an
// update) fires in Advance. The model reads no clock: each call is given
// "now" in microseconds, so tests inject time and the running simulation
// passes wall-clock time shared by every process.
//
// Normal mode: ports "Tavik 8". The identity request F0 7E 7F 06 01 F7 gets a
// 15-byte reply whose bytes 10-13 are the four version digits; the mode-change
// message F0 "QJd)>RT" F7 gets F0 15 F7 and the device then ignores everything
// until it is switched off and on, when it comes back in update mode.
// Update mode: ports "Tavik Updater". The mode-change message is the handshake
// (F0 45 F7 or F0 1A F7) and starts a session; data messages carry 1 to 11
// bytes as upper-case hexadecimal text; the image is a series of records (a
// big-endian length L, then L bytes), each acknowledged once its L+2 bytes
// have arrived. Once no data came for a quiet time after a complete record and
// the device's last reply, it restarts in normal mode: with its new version
// when the image is accepted (equal to the expected image, when one is set),
// else with its old one.
//
// The device is strict about the protocol and records every violation by kind:
//   pacing            a data message started less than 3 ms (less the
//                     pacing_tolerance_us setting) after the previous data
//                     message had arrived whole
//   before_handshake  data without a session
//   before_ack        data before the acknowledgement of the handshake or of
//                     the previous record went out (or when it never will)
//   after_stop        data after the device asked the host to stop
//   malformed         not F0, 2 to 22 upper-case hexadecimal characters, F7
//   spanning          one data message carrying bytes of two records
//
// The link from the host: a message occupies it for its wire time (its bytes
// at wire_bytes_per_s; no time at 0), one message after the other. Transmit
// books a message on the link; the device receives it when its last byte has
// arrived, which is the caller's business (the winmm.dll delivers it then).
#pragma once

#include "Model/DeviceState.h"

#include <string>
#include <utility>
#include <vector>

namespace Tavik8Sim {

// When a message is on the link: from its first byte leaving the host to its
// last byte arriving at the device.
struct WireSpan
{
    TimeUs start;
    TimeUs end;
};

struct Port
{
    std::string name;
    bool isDevice; // false: a silent device listed for the port list's sake
};

class DeviceModel
{
public:
    static const char* const kNormalPortName;
    static const char* const kUpdatePortName;

    explicit DeviceModel(DeviceState& state) : mState(state) {}

    static Bytes IdentityRequest();
    static Bytes ModeChangeMessage();
    static Bytes IdentityReply(const std::string& version);

    // A fresh device in `mode` with `version`, default settings, no faults;
    // empties the received image and the transcript.
    void Reset(TimeUs now, Mode mode, const std::string& version);

    // Switched off now and on again after off_ms (at once by default).
    void PowerCycle(TimeUs now);

    // Fires every timer due at or before `now`, each at its own time.
    void Advance(TimeUs now);

    // Books a message of `bytes` bytes that the host hands to the link at
    // `now`: it starts once the link is free and takes its wire time.
    WireSpan Transmit(TimeUs now, size_t bytes);

    // A message from the host on the device's port `port`, whole at the
    // device at `arrived`; its first byte left the host at `started` (kNever:
    // at `arrived`, over an instant link).
    void Receive(TimeUs arrived, const std::string& port, const Bytes& message, TimeUs started = kNever);

    // The replies whose time has come, in order, for the host's input port.
    std::vector<Bytes> TakeDue(TimeUs now);

    // Replies whose time has come while nobody listened: lost.
    void DropDue(TimeUs now);

    // The device sends these bytes at `now` (the tool's "send" command).
    void Send(TimeUs now, const Bytes& message);

    // Changes a setting; an empty answer on success, else the reason. The
    // expected image is set with ExpectImage (it needs the image itself);
    // here expect_image only takes "none" or an empty value, which clears it.
    std::string Set(TimeUs now, const std::string& key, const std::string& value);

    // From now on an update is accepted only with exactly this image (read
    // from the firmware file at `path`, which status shows).
    void ExpectImage(TimeUs now, const std::string& path, const Bytes& image);

    // The earliest time at which Advance or TakeDue has work, or kNever.
    TimeUs NextDeadline() const;

    // The MIDI ports, identical for input and output, in listing order.
    std::vector<Port> Ports() const;

    // The device's own port name in its current mode; empty while it is off.
    std::string DevicePortName() const;

    // key=value pairs for `tavik8sim status`.
    std::vector<std::pair<std::string, std::string>> Status(TimeUs now) const;

    // "none" without an expected image; else "match" when the image received
    // in the last session equals it, "mismatch" when not.
    std::string ImageVerdict() const;

    // UTC date and time with microseconds: "2023-11-14 22:13:20.000001".
    static std::string FormatTime(TimeUs time);

    // The violation kinds, in the order status lists them.
    static const std::vector<const char*>& ViolationKinds();

private:
    void Event(TimeUs now, const std::string& text);
    void Log(TimeUs now, const std::string& port, const char* direction, const Bytes& bytes);
    void Count(const char* name);
    void Violation(TimeUs now, const char* kind, const std::string& text);
    void Reply(TimeUs due, const Bytes& bytes, bool withNoise);
    // The acknowledgement F0 45 F7 (or F0 1A F7) at `due`.
    void Acknowledge(TimeUs due);
    // An extra acknowledgement after the one due at `due` when stale_ack_at
    // names the record the device waits for next.
    void MaybeStaleAck(TimeUs now, TimeUs due, int64_t nextRecord);
    // When the last reply queued so far goes out (`now` when none is queued).
    TimeUs LastReplyDue(TimeUs now) const;
    void GoOff(TimeUs now);
    void PowerOn(TimeUs now);
    void PowerOnAfter(TimeUs now, TimeUs delay); // at once when delay is not positive
    void FinishUpdate(TimeUs now);
    void OnNormalMode(TimeUs now, const Bytes& message);
    void OnUpdateMode(TimeUs now, const Bytes& message, TimeUs started);
    void StartSession(TimeUs now);
    // The order and pacing rules for a data message; false when it must be
    // ignored (no session, or the session was stopped).
    bool CheckPacingAndOrder(TimeUs now, TimeUs started, const Bytes& message);
    void OnData(TimeUs now, const Bytes& message, TimeUs started);
    void CompleteRecord(TimeUs now);
    uint8_t AckCode() const;

    DeviceState& mState;
};

// Why a message is not a valid data message (F0, 2 to 22 upper-case
// hexadecimal characters in pairs, F7), or an empty text when it is one.
std::string CheckDataMessage(const Bytes& message);

} // namespace Tavik8Sim
