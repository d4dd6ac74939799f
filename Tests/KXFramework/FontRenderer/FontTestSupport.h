// Font files made to measure for the catalogue tests: sfnt fonts that hold
// only a 'name' table, collections of them, and copies of the prefix's real
// fonts, written into a test folder.
#pragma once

#include "Renderer/FontRenderer/FontFileInfo.h"
#include "Utilities/Storage/StringT.h"

#include "Support/Windows/TempFiles.h"

#include <cstdint>
#include <string>
#include <vector>

namespace FontTest {

using String = KX::StringT<wchar_t, char>;

// A fresh folder for one test's font files, removed with them afterwards.
class TestFolder : public TestSystem::TempFolder
{
public:
    TestFolder() : TempFolder(L"FontRendererTests") {}
};

inline void Put16(std::string& bytes, uint32_t value)
{
    bytes.push_back(static_cast<char>((value >> 8) & 0xFF));
    bytes.push_back(static_cast<char>(value & 0xFF));
}

inline void Put32(std::string& bytes, uint32_t value)
{
    Put16(bytes, value >> 16);
    Put16(bytes, value & 0xFFFF);
}

inline void Set16(std::string& bytes, size_t at, uint32_t value)
{
    bytes[at] = static_cast<char>((value >> 8) & 0xFF);
    bytes[at + 1] = static_cast<char>(value & 0xFF);
}

// One record of a 'name' table with its string's bytes.
struct NameRecord
{
    uint16_t platform;
    uint16_t language;
    uint16_t nameId;
    std::string bytes;
};

inline std::string Utf16BE(const std::wstring& text)
{
    std::string bytes;
    for (wchar_t c : text)
        Put16(bytes, static_cast<uint16_t>(c));
    return bytes;
}

inline NameRecord Windows(uint16_t nameId, const std::wstring& text, uint16_t language = 0x0409)
{
    return NameRecord{3, language, nameId, Utf16BE(text)};
}

inline NameRecord Mac(uint16_t nameId, const std::string& text, uint16_t language = 0)
{
    return NameRecord{1, language, nameId, text};
}

// The Windows family (1) and subfamily (2) records of a font.
inline std::vector<NameRecord> Names(const std::wstring& family, const std::wstring& style)
{
    return {Windows(1, family), Windows(2, style)};
}

inline std::string NameTable(const std::vector<NameRecord>& records)
{
    std::string table;
    Put16(table, 0);
    Put16(table, static_cast<uint32_t>(records.size()));
    Put16(table, static_cast<uint32_t>(6 + 12 * records.size()));
    std::string strings;
    for (const NameRecord& record : records) {
        Put16(table, record.platform);
        Put16(table, record.platform == 3 ? 1 : 0); // encoding
        Put16(table, record.language);
        Put16(table, record.nameId);
        Put16(table, static_cast<uint32_t>(record.bytes.size()));
        Put16(table, static_cast<uint32_t>(strings.size()));
        strings += record.bytes;
    }
    return table + strings;
}

// An sfnt whose only table is 'name', placed so that it starts at `base` in
// its file (a collection puts fonts after its header).
inline std::string SfntFont(const std::vector<NameRecord>& records, uint32_t base = 0)
{
    const std::string table = NameTable(records);
    std::string font;
    Put32(font, 0x00010000);
    Put16(font, 1); // one table
    Put16(font, 0);
    Put16(font, 0);
    Put16(font, 0);
    font += "name";
    Put32(font, 0); // checksum
    Put32(font, base + 12 + 16);
    Put32(font, static_cast<uint32_t>(table.size()));
    return font + table;
}

// A collection of fonts, each given by its name records.
inline std::string Collection(const std::vector<std::vector<NameRecord>>& fonts, uint32_t claimedCount = 0)
{
    std::string header = "ttcf";
    Put32(header, 0x00010000);
    Put32(header, claimedCount ? claimedCount : static_cast<uint32_t>(fonts.size()));
    const uint32_t headerSize = static_cast<uint32_t>(12 + 4 * fonts.size());
    std::string body;
    for (const auto& records : fonts) {
        Put32(header, headerSize + static_cast<uint32_t>(body.size()));
        body += SfntFont(records, headerSize + static_cast<uint32_t>(body.size()));
    }
    return header + body;
}

// The bytes of one of the prefix's real fonts.
inline std::string PrefixFont(const wchar_t* name)
{
    const String folder = KX::LFontFileInfo::GetFontsFolder();
    return TestSystem::ReadWholeFile(std::wstring(folder.GetData()) + L"\\" + name);
}

inline std::wstring W(const String& text)
{
    return std::wstring(text.GetData());
}

inline std::string N(const String& text)
{
    return std::string(text.ToNarrow().GetData());
}

} // namespace FontTest
