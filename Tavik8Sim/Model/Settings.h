// The simulated device's behaviours and faults: named settings with a fixed
// table of keys, each with its kind, default and meaning. `tavik8sim set`
// validates against the table, the state file stores the values as text, and
// the model reads them through the typed getters.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Tavik8Sim {

struct SettingInfo
{
    enum class Kind { Milliseconds, Microseconds, BytesPerSecond, RecordIndex, Choice, Flag, Version, PortList, Path };

    const char* key;
    Kind kind;
    const char* defaultValue;
    std::vector<const char*> choices; // Kind::Choice only
    const char* help;
};

class Settings
{
public:
    static const std::vector<SettingInfo>& Table();
    static const SettingInfo* Find(const std::string& key);

    // Validates and stores a value in its canonical spelling ("ON" becomes
    // "1", "0x1a" becomes "0x1A", "none" for a record index becomes "-1",
    // "none" for a path becomes empty).
    // Answers an empty text on success, else why the value was refused.
    std::string Set(const std::string& key, const std::string& value);

    // The value as text (the default when never set).
    std::string Text(const std::string& key) const;
    int64_t Number(const std::string& key) const; // as written: milliseconds, bytes per second, record index (-1: none)
    int64_t Duration(const std::string& key) const; // a time setting in microseconds
    bool Flag(const std::string& key) const;
    std::vector<std::string> PortList(const std::string& key) const;

    // Only the values that differ from their defaults, for the state file.
    const std::map<std::string, std::string>& Values() const { return mValues; }

private:
    std::map<std::string, std::string> mValues;
};

// A decimal number of one to twelve digits, without sign or blanks.
bool ParseNonNegative(const std::string& text, int64_t& value);

// "A.B.C.D" with four single decimal digits: the device reports each part as
// one character.
bool IsDeviceVersion(const std::string& text);

} // namespace Tavik8Sim
