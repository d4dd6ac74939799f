// The behaviour of the simulated TAVIK8, as pure logic over a DeviceState:
// messages from the host go in with Receive, replies come out of TakeDue once
// their time has come, and every timer (power cycles, the restart after an
// update) fires in Advance. The model reads no clock: each call is given
// "now", so tests inject time and the running simulation passes wall-clock
// milliseconds shared by every process.
//
// Normal mode: ports "Tavik 8". The identity request F0 7E 7F 06 01 F7 gets a
// 15-byte reply whose bytes 10-13 are the four version digits; the mode-change
// message F0 "QJd)>RT" F7 gets F0 15 F7 and the device then ignores everything
// until it is switched off and on, when it comes back in update mode.
// Update mode: ports "Tavik Updater". The mode-change message is the handshake
// (F0 45 F7 or F0 1A F7) and starts a session; data messages carry 1 to 11
// bytes as upper-case hexadecimal text; the image is a series of records (a
// big-endian length L, then L bytes), each acknowledged once its L+2 bytes
// have arrived. After a complete record and a quiet time the device restarts
// in normal mode with its new version. Violations of the protocol are recorded.
#pragma once

#include "Model/DeviceState.h"

#include <string>
#include <utility>
#include <vector>

namespace Tavik8Sim {

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
    void Reset(TimeMs now, Mode mode, const std::string& version);

    // Switched off now and on again after off_ms (at once by default).
    void PowerCycle(TimeMs now);

    // Fires every timer due at or before `now`, each at its own time.
    void Advance(TimeMs now);

    // A message from the host, sent on the device's port `port`.
    void Receive(TimeMs now, const std::string& port, const Bytes& message);

    // The replies whose time has come, in order, for the host's input port.
    std::vector<Bytes> TakeDue(TimeMs now);

    // Replies whose time has come while nobody listened: lost.
    void DropDue(TimeMs now);

    // The device sends these bytes at `now` (the tool's "send" command).
    void Send(TimeMs now, const Bytes& message);

    // Changes a setting; an empty answer on success, else the reason.
    std::string Set(TimeMs now, const std::string& key, const std::string& value);

    // The earliest time at which Advance or TakeDue has work, or kNever.
    TimeMs NextDeadline() const;

    // The MIDI ports, identical for input and output, in listing order.
    std::vector<Port> Ports() const;

    // The device's own port name in its current mode; empty while it is off.
    std::string DevicePortName() const;

    // key=value pairs for `tavik8sim status`.
    std::vector<std::pair<std::string, std::string>> Status(TimeMs now) const;

    static std::string FormatTime(TimeMs ms);

private:
    void Event(TimeMs now, const std::string& text);
    void Log(TimeMs now, const std::string& port, const char* direction, const Bytes& bytes);
    void Count(const char* name);
    void Violation(TimeMs now, const std::string& text);
    void Reply(TimeMs due, const Bytes& bytes, bool withNoise);
    void GoOff(TimeMs now);
    void PowerOn(TimeMs now);
    void PowerOnAfter(TimeMs now, TimeMs delayMs); // at once when delayMs is not positive
    void FinishUpdate(TimeMs now);
    void OnNormalMode(TimeMs now, const Bytes& message);
    void OnUpdateMode(TimeMs now, const Bytes& message);
    void StartSession(TimeMs now);
    void OnData(TimeMs now, const Bytes& message);
    void CompleteRecord(TimeMs now);
    uint8_t AckCode() const;

    DeviceState& mState;
};

// Why a message is not a valid data message (F0, 2 to 22 upper-case
// hexadecimal characters in pairs, F7), or an empty text when it is one.
std::string CheckDataMessage(const Bytes& message);

} // namespace Tavik8Sim
