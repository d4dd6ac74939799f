// Everything the simulated device remembers: its mode and version, a session
// in progress, its timers, the replies it has yet to send, its counters and
// violations, and its settings. It outlives one program run in the state file
// (StateStore), as plain key=value lines; the received image and the
// transcript live in two side files and only their new parts are carried
// here between loading and saving.
#pragma once

#include "Model/Bytes.h"
#include "Model/Settings.h"

#include <map>
#include <string>
#include <vector>

namespace Tavik8Sim {

enum class Mode { Normal, Update, Off };

// The update session, in update mode: none until the handshake; active while
// records arrive; stopped after the device asked the host to stop (F0 20 F7).
enum class Session { None, Active, Stopped };

const char* ModeName(Mode mode);
const char* SessionName(Session session);

struct PendingReply
{
    TimeUs due;
    Bytes bytes;
};

// A port that a program holds open: no other program may open it, as with a
// real driver. The holder is a process (its identifier and start time, so that
// a later process with the same identifier is not taken for it) and a handle
// in it; the port is the device's as it was then (its power epoch).
struct OpenPort
{
    bool input = false;
    int64_t deviceId = 0;
    int64_t epoch = 0;
    uint32_t process = 0;
    int64_t processStart = 0;
    uint64_t handle = 0;
    std::string name;
};

struct DeviceState
{
    Mode mode = Mode::Normal;
    std::string version = "1.0.3.0";
    bool armed = false;      // accepted the mode change: the next power-on is in update mode
    bool bootloader = false; // runs its update firmware until an update completes
    int64_t powerEpoch = 0;  // grows whenever the device goes off: old handles die
    TimeUs resetAt = 0;

    // Timers (absolute times, kNever when not running).
    TimeUs powerOnAt = kNever;   // off, coming back on at this time
    TimeUs autoCycleAt = kNever; // switches itself off and on (auto_power_cycle_ms)
    TimeUs restartAt = kNever;   // ends the update after the quiet time

    // The link from the host: busy with a message until then.
    TimeUs linkFreeAt = 0;

    // The session and the record being received.
    Session session = Session::None;
    int64_t recordIndex = 0;     // complete records received in this session
    int lengthBytesSeen = 0;     // 0, 1 or 2 bytes of the current record's length
    int64_t recordRemaining = 0; // payload bytes still expected once the length is known
    int64_t records = 0;         // records acknowledged in the last session
    int64_t imageBytes = 0;
    uint32_t imageCrc32 = 0;
    // The order and pacing of the session's data: when the previous data
    // message had arrived whole; from when data may come (the acknowledgement
    // of the handshake or of the last record went out; kNever: it never will);
    // when the request to stop went out.
    TimeUs lastDataEnd = kNever;
    TimeUs dataAllowedAt = kNever;
    TimeUs stopAt = kNever;

    // The image an update must deliver to be accepted (expect_image): its
    // length (-1: none expected) and checksum.
    int64_t expectedImageBytes = -1;
    uint32_t expectedImageCrc32 = 0;

    std::vector<PendingReply> outbox; // replies to the host, in order of their times
    std::vector<OpenPort> openPorts;  // the ports programs hold open
    std::map<std::string, int64_t> counters;
    int64_t violationCount = 0;
    std::map<std::string, int64_t> violationKinds; // the count of each kind seen
    std::vector<std::string> violations;           // the first kMaxViolationTexts, with their times

    Settings settings;

    // Not in the key=value file: what has happened since loading, for the
    // store to write to the side files.
    std::vector<std::string> newTranscriptLines;
    Bytes newImageBytes;
    bool truncateImage = false;
    bool truncateTranscript = false;
    bool changed = false;

    static constexpr size_t kMaxViolationTexts = 100;
    // The state file's format: 2 with times in microseconds (1: milliseconds).
    static constexpr int kFormat = 2;

    std::string Serialize() const;
    // Reads key=value text; unknown keys and bad values are skipped, leaving
    // their defaults.
    static DeviceState Parse(const std::string& text);
};

} // namespace Tavik8Sim
