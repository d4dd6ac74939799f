#include "Model/Tool.h"

#include "Model/DeviceModel.h"
#include "Model/FirmwareImage.h"
#include "Model/Settings.h"

#include <cstdlib>
#include <map>

namespace Tavik8Sim {

namespace {

const int kUsageError = 2;

bool ParseCount(const std::string& text, int64_t maximum, int64_t& value)
{
    return ParseNonNegative(text, value) && value <= maximum;
}

int Usage(std::string& err, const std::string& problem)
{
    err += "tavik8sim: " + problem + "\n(tavik8sim --help lists the commands)\n";
    return kUsageError;
}

// Works on the device as it is now: its timers have run up to now first.
template <class Step>
void WithDeviceNow(StateStore& store, TimeUs now, Step&& step)
{
    store.Update([&](DeviceState& state) {
        DeviceModel model(state);
        model.Advance(now);
        step(model);
    });
}

int Reset(const std::vector<std::string>& args, StateStore& store, TimeUs now, std::string& err)
{
    Mode mode = Mode::Normal;
    std::string version = "1.0.3.0";
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--mode" && i + 1 < args.size()) {
            std::string value = args[++i];
            if (value == "normal")
                mode = Mode::Normal;
            else if (value == "update")
                mode = Mode::Update;
            else
                return Usage(err, "--mode is normal or update");
        } else if (args[i] == "--version" && i + 1 < args.size()) {
            version = args[++i];
            if (!IsDeviceVersion(version))
                return Usage(err, "--version needs A.B.C.D with single digits");
        } else {
            return Usage(err, "reset takes --mode normal|update and --version A.B.C.D");
        }
    }
    store.Update([&](DeviceState& state) { DeviceModel(state).Reset(now, mode, version); });
    return 0;
}

// Reads the firmware file that expect_image names (a Unix path is fine under
// Wine); an empty answer on success, else why it cannot be the expected image.
std::string ReadExpectedImage(const std::string& path, Bytes& image)
{
    std::string text;
    if (!ReadWholeFile(StateStore::WindowsPath(FromUtf8(path)), text))
        return "expect_image: cannot read \"" + path + "\"";
    if (!DecodeFirmwareText(text, image))
        return "expect_image: \"" + path + "\" is not a firmware file (hexadecimal digit pairs)";
    return std::string();
}

int Set(const std::vector<std::string>& args, StateStore& store, TimeUs now, std::string& err)
{
    if (args.size() < 2)
        return Usage(err, "set needs KEY=VALUE");
    // Every pair is checked before any is applied (the expected image is read).
    Settings probe;
    std::vector<std::pair<std::string, std::string>> pairs;
    std::map<std::string, Bytes> images;
    for (size_t i = 1; i < args.size(); ++i) {
        size_t eq = args[i].find('=');
        if (eq == std::string::npos)
            return Usage(err, "\"" + args[i] + "\" is not KEY=VALUE");
        pairs.emplace_back(args[i].substr(0, eq), args[i].substr(eq + 1));
        std::string problem = probe.Set(pairs.back().first, pairs.back().second);
        if (problem.empty() && pairs.back().first == "expect_image" && !probe.Text("expect_image").empty())
            problem = ReadExpectedImage(pairs.back().second, images[pairs.back().second]);
        if (!problem.empty())
            return Usage(err, problem);
    }
    WithDeviceNow(store, now, [&](DeviceModel& model) {
        for (const auto& pair : pairs) {
            const auto image = images.find(pair.second);
            if (pair.first == "expect_image" && image != images.end())
                model.ExpectImage(now, pair.second, image->second);
            else
                model.Set(now, pair.first, pair.second);
        }
    });
    return 0;
}

int Status(StateStore& store, TimeUs now, std::string& out)
{
    std::vector<std::pair<std::string, std::string>> lines;
    WithDeviceNow(store, now, [&](DeviceModel& model) { lines = model.Status(now); });
    for (const auto& line : lines)
        out += line.first + "=" + line.second + "\n";
    return 0;
}

int MakeImage(const std::vector<std::string>& args, std::string& out, std::string& err)
{
    int64_t records = -1;
    int64_t size = -1;
    int64_t seed = 1;
    for (size_t i = 1; i < args.size(); ++i) {
        bool hasValue = i + 1 < args.size();
        if (args[i] == "--records" && hasValue) {
            if (!ParseCount(args[++i], 1000000, records))
                return Usage(err, "--records needs a number from 0 to 1000000");
        } else if (args[i] == "--size" && hasValue) {
            if (!ParseCount(args[++i], 65535, size))
                return Usage(err, "--size needs a number of payload bytes from 0 to 65535");
        } else if (args[i] == "--seed" && hasValue) {
            if (!ParseCount(args[++i], 0xFFFFFFFFLL, seed))
                return Usage(err, "--seed needs a number from 0 to 4294967295");
        } else {
            return Usage(err, "make-image takes --records N --size M [--seed S]");
        }
    }
    if (records < 0 || size < 0)
        return Usage(err, "make-image needs --records N and --size M");
    out += MakeFirmwareText(static_cast<int>(records), static_cast<int>(size), static_cast<uint32_t>(seed));
    return 0;
}

int Send(const std::vector<std::string>& args, StateStore& store, TimeUs now, std::string& err)
{
    std::string text;
    for (size_t i = 1; i < args.size(); ++i)
        text += args[i] + " ";
    Bytes bytes;
    if (!ParseHexWords(text, bytes) || bytes.empty())
        return Usage(err, "send needs hexadecimal bytes, e.g. send 90 3C 64");
    store.Update([&](DeviceState& state) { DeviceModel(state).Send(now, bytes); });
    return 0;
}

} // namespace

std::string ToolHelpText()
{
    std::string text =
        "tavik8sim: drives the simulated TAVIK8 device behind the repository's winmm.dll.\n"
        "\n"
        "Usage: tavik8sim COMMAND [ARGUMENTS]\n"
        "\n"
        "The device's state lives in the file named by the environment variable TAVIK8_SIM\n"
        "(a Unix path is fine under Wine; unset: tavik8-sim.state in the temporary folder),\n"
        "with FILE.image (the image received in the last session) and FILE.transcript beside it.\n"
        "Every program that loads the simulated winmm.dll with the same TAVIK8_SIM sees the same\n"
        "device; scripts/sim and scripts/run use the same file. A running program keeps the state\n"
        "in memory and writes it within 50 ms, when a port closes and when it ends; the tool asks\n"
        "it for the state first, so it always sees and changes the current one.\n"
        "\n"
        "Commands:\n"
        "  reset [--mode normal|update] [--version A.B.C.D]\n"
        "      A fresh device (default: normal mode, version 1.0.3.0), default settings, no faults,\n"
        "      empty image and transcript.\n"
        "  power-cycle\n"
        "      Switch the device off and on now (it stays off for off_ms). A device that accepted\n"
        "      the mode change, or that is in update mode without a finished update, comes back in\n"
        "      update mode; otherwise in normal mode.\n"
        "  set KEY=VALUE ...\n"
        "      Behaviours and faults (below). All pairs are checked before any is applied.\n"
        "  status\n"
        "      key=value lines: mode (normal, update, off), version, records (acknowledged in the\n"
        "      last session), image_bytes and image_crc32 (the image received in the last session:\n"
        "      its length and its CRC-32 as zlib computes it, eight hexadecimal digits), violations\n"
        "      (protocol violations seen) and violations.KIND for each kind below, image_verdict\n"
        "      (none without an expected image, else match or mismatch: the last session's image\n"
        "      against it), then the session, timers, the port list, the ports programs hold open\n"
        "      (open_ports), counters (count.NAME), each violation as violation.N=TIME KIND: TEXT,\n"
        "      and every setting.\n"
        "  transcript\n"
        "      Every message in and out, one line each: time (UTC, to the microsecond), port,\n"
        "      direction (host->device when the message had arrived whole, device->host) and the\n"
        "      bytes in hexadecimal; events (power, session, violations, settings) as lines with\n"
        "      port \"-\" and direction \"event\".\n"
        "  make-image --records N --size M [--seed S]\n"
        "      Writes a valid firmware file to standard output: N records of M payload bytes\n"
        "      (0-65535) each, every record its length as two big-endian bytes and then its\n"
        "      payload (pseudo-random from seed S, default 1), the whole image as upper-case\n"
        "      hexadecimal digit pairs without separators or line end.\n"
        "  send HEX ...\n"
        "      The device sends these bytes to the host now (e.g. send 90 3C 64, or a whole\n"
        "      system-exclusive message F0 ... F7).\n"
        "  image\n"
        "      Writes the image received in the last session as firmware text.\n"
        "  path\n"
        "      Prints the state file's path.\n"
        "\n"
        "set expect_image=FILE reads the firmware file (line ends at its end are ignored, as the\n"
        "updater ignores them) and makes its image the one an update must deliver;\n"
        "set expect_image=none forgets it.\n"
        "\n"
        "The device:\n"
        "  normal mode  ports \"Tavik 8\" (input and output). The identity request F0 7E 7F 06 01 F7\n"
        "               gets F0 7E 00 06 02 7D 08 00 01 00 V1 V2 V3 V4 F7, V1-V4 the version digits\n"
        "               as characters. The mode-change message F0 51 4A 64 29 3E 52 54 F7 (F0 \"QJd)>RT\"\n"
        "               F7) gets F0 15 F7; the device then ignores everything until it is switched\n"
        "               off and on. A wrong access code gets no reply.\n"
        "  update mode  ports \"Tavik Updater\". No reply to the identity request. The mode-change\n"
        "               message is the handshake: F0 45 F7 (or F0 1A F7) and a new session. Data\n"
        "               messages: F0, 2 to 22 upper-case hexadecimal characters (1 to 11 bytes), F7.\n"
        "               The image is a series of records, a big-endian length L and L bytes; each\n"
        "               record is acknowledged (F0 45 F7 or F0 1A F7) once its L+2 bytes arrived.\n"
        "               After a complete record the device restarts once restart_quiet_ms have\n"
        "               passed without data after its last reply went out: off for reboot_ms, then\n"
        "               normal mode with new_version (see after_update); with an expected image\n"
        "               (expect_image) only when the image received equals it, else with the old\n"
        "               version, as a loader that rejects a bad image.\n"
        "               The device is strict and counts every violation by kind:\n"
        "                 pacing            a data message started less than 3 ms (less\n"
        "                                   pacing_tolerance_us, default 300 us, for timer jitter)\n"
        "                                   after the previous data message had arrived whole\n"
        "                 before_handshake  data without a session (ignored)\n"
        "                 before_ack        data before the acknowledgement of the handshake or of\n"
        "                                   the previous record went out, or when it never will\n"
        "                 after_stop        data after the device asked the host to stop (ignored)\n"
        "                 malformed         not F0, 2 to 22 upper-case hexadecimal characters, F7\n"
        "                                   (ignored)\n"
        "                 spanning          one message carrying bytes of two records (kept)\n"
        "  the link     Messages from the host take their wire time at wire_bytes_per_s, one after\n"
        "               the other; the device sees a message, and midiOutLongMsg reports it done\n"
        "               (send_latency_ms later), once its last byte has arrived.\n"
        "  off          no ports.\n"
        "  Records are counted from 0. Replies come after ack_latency_ms.\n"
        "\n"
        "Settings (set KEY=VALUE; default in brackets):\n";
    for (const SettingInfo& info : Settings::Table()) {
        text += "  " + std::string(info.key) + " [" + (info.defaultValue[0] ? info.defaultValue : "empty") + "]\n";
        text += "      " + std::string(info.help) + "\n";
    }
    text +=
        "\n"
        "The winmm.dll: midiIn*/midiOut* with the real signatures, flags, callbacks (from a thread\n"
        "of its own; MIM_OPEN/MIM_CLOSE/MOM_OPEN/MOM_CLOSE and the buffers that a reset returns\n"
        "inside the call, as the system does) and return codes; the port list follows the\n"
        "device's mode. A port is open in one program at a time: opening it again, in the same\n"
        "program or another, answers MMSYSERR_ALLOCATED until it closes, that program ends or the\n"
        "device goes off. Load it in place of the system's with WINEDLLOVERRIDES=winmm=n,b and the\n"
        "DLL beside the program.\n"
        "\n"
        "Exit codes: 0 done, 2 usage error.\n";
    return text;
}

int RunTool(const std::vector<std::string>& args, StateStore& store, TimeUs now, std::string& out, std::string& err)
{
    if (args.empty()) {
        err += ToolHelpText();
        return kUsageError;
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help" || command == "/?") {
        out += ToolHelpText();
        return 0;
    }
    if (command == "reset")
        return Reset(args, store, now, err);
    if (command == "power-cycle") {
        if (args.size() != 1)
            return Usage(err, "power-cycle takes no arguments");
        WithDeviceNow(store, now, [now](DeviceModel& model) { model.PowerCycle(now); });
        return 0;
    }
    if (command == "set")
        return Set(args, store, now, err);
    if (command == "status")
        return Status(store, now, out);
    if (command == "transcript") {
        out += store.ReadTranscript();
        return 0;
    }
    if (command == "make-image")
        return MakeImage(args, out, err);
    if (command == "send")
        return Send(args, store, now, err);
    if (command == "image") {
        out += EncodeFirmwareText(store.ReadImage());
        return 0;
    }
    if (command == "path") {
        out += ToUtf8(store.Path()) + "\n";
        return 0;
    }
    return Usage(err, "unknown command \"" + command + "\"");
}

} // namespace Tavik8Sim
