#include "Renderer/FontRenderer/FontNameReader.h"

#include "Utilities/Storage/KXFile.h"

#include <cstdint>
#include <exception>

namespace KX {

namespace {

using String = StringT<wchar_t, char>;

constexpr uint32_t kCollectionTag = 0x74746366; // "ttcf"
constexpr uint32_t kHeaderSize = 12;            // collection header or offset table
constexpr uint32_t kTableRecordSize = 16;
constexpr uint32_t kNameRecordSize = 12;
constexpr uint32_t kNameHeaderSize = 6;
constexpr uint16_t kFamilyNameId = 1;
constexpr uint16_t kSubfamilyNameId = 2;

uint16_t Read16(const unsigned char* bytes)
{
    return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]);
}

uint32_t Read32(const unsigned char* bytes)
{
    return (static_cast<uint32_t>(bytes[0]) << 24) | (static_cast<uint32_t>(bytes[1]) << 16) |
           (static_cast<uint32_t>(bytes[2]) << 8) | bytes[3];
}

// An open font file whose reads never leave the file: a range that does not
// lie wholly inside it is refused before anything is read.
class BoundedFile
{
public:
    explicit BoundedFile(const String& path)
    {
        if (mFile.Open(path, File::ReadOnly) != 0)
            return;
        const int32_t length = mFile.GetLength();
        mSize = length > 0 ? static_cast<uint32_t>(length) : 0;
    }

    bool IsOpen() const { return mFile.IsOpen(); }
    uint32_t GetSize() const { return mSize; }

    // True when [offset, offset + count) lies inside the file.
    bool Holds(uint64_t offset, uint64_t count) const { return offset <= mSize && count <= mSize - offset; }

    // Reads exactly count bytes at offset into out; false when the range is
    // not inside the file or the read comes up short.
    bool ReadAt(uint64_t offset, uint32_t count, std::vector<unsigned char>& out)
    {
        out.assign(count, 0);
        if (!Holds(offset, count))
            return false;
        if (count == 0)
            return true;
        const int32_t read = mFile.Read(out.data(), static_cast<int32_t>(count), static_cast<int32_t>(offset));
        return read == static_cast<int32_t>(count);
    }

private:
    File mFile;
    uint32_t mSize = 0;
};

// The offsets of the fonts in the file: one at 0 for a plain font, the
// collection's offset list (no longer than the file can hold) for a ".ttc".
std::vector<uint32_t> ReadFontOffsets(BoundedFile& file)
{
    std::vector<uint32_t> offsets;
    std::vector<unsigned char> header;
    if (!file.ReadAt(0, kHeaderSize, header))
        return offsets;
    if (Read32(header.data()) != kCollectionTag) {
        offsets.push_back(0);
        return offsets;
    }
    const uint32_t claimed = Read32(header.data() + 8);
    const uint32_t room = (file.GetSize() - kHeaderSize) / 4;
    const uint32_t count = claimed < room ? claimed : room;
    std::vector<unsigned char> list;
    if (!file.ReadAt(kHeaderSize, count * 4, list))
        return offsets;
    for (uint32_t i = 0; i < count; ++i)
        offsets.push_back(Read32(list.data() + i * 4));
    return offsets;
}

// The offset of the font's 'name' table, found among its table records; false
// when there is none within the table count and the file.
bool FindNameTable(BoundedFile& file, uint32_t fontOffset, uint32_t& tableOffset)
{
    std::vector<unsigned char> offsetTable;
    if (!file.ReadAt(fontOffset, kHeaderSize, offsetTable))
        return false;
    const uint32_t tableCount = Read16(offsetTable.data() + 4);
    const uint64_t recordsStart = static_cast<uint64_t>(fontOffset) + kHeaderSize;
    for (uint32_t i = 0; i < tableCount; ++i) {
        std::vector<unsigned char> record;
        if (!file.ReadAt(recordsStart + static_cast<uint64_t>(i) * kTableRecordSize, kTableRecordSize, record))
            return false;
        // The tag as text: up to its first NUL, compared without case.
        char tag[5] = {};
        for (int c = 0; c < 4 && record[c] != 0; ++c)
            tag[c] = static_cast<char>(record[c] >= 'A' && record[c] <= 'Z' ? record[c] + ('a' - 'A') : record[c]);
        if (tag[0] == 0)
            return false;
        if (tag[0] == 'n' && tag[1] == 'a' && tag[2] == 'm' && tag[3] == 'e' && tag[4] == 0) {
            tableOffset = Read32(record.data() + 8);
            return true;
        }
    }
    return false;
}

// Macintosh names are single bytes, each taken as one character.
String DecodeMacintoshName(const std::vector<unsigned char>& bytes)
{
    std::wstring text;
    for (unsigned char byte : bytes)
        text.push_back(static_cast<wchar_t>(byte));
    return String(text.c_str());
}

// Windows names are big-endian UTF-16; an odd last byte is not a unit.
String DecodeWindowsName(const std::vector<unsigned char>& bytes)
{
    std::wstring text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.push_back(static_cast<wchar_t>(Read16(bytes.data() + i)));
    return String(text.c_str());
}

// The family / style pairs of the font whose 'name' table starts at the offset.
void ReadNameTable(BoundedFile& file, uint32_t tableOffset, std::vector<FontFaceName>& names)
{
    std::vector<unsigned char> header;
    if (!file.ReadAt(tableOffset, kNameHeaderSize, header))
        return;
    const uint32_t claimed = Read16(header.data() + 2);
    const uint32_t stringOffset = Read16(header.data() + 4);
    const uint64_t recordsStart = static_cast<uint64_t>(tableOffset) + kNameHeaderSize;
    if (!file.Holds(recordsStart, 0))
        return;
    const uint64_t room = (file.GetSize() - recordsStart) / kNameRecordSize;
    const uint32_t count = claimed < room ? claimed : static_cast<uint32_t>(room);
    std::vector<unsigned char> records;
    if (!file.ReadAt(recordsStart, count * kNameRecordSize, records))
        return;

    String pendingFamily;
    String pendingStyle;
    for (uint32_t i = 0; i < count; ++i) {
        const unsigned char* record = records.data() + i * kNameRecordSize;
        const uint16_t platform = Read16(record);
        const uint16_t language = Read16(record + 4);
        const uint16_t nameId = Read16(record + 6);
        const uint16_t length = Read16(record + 8);
        const uint16_t offset = Read16(record + 10);
        const bool macintosh = platform == 1 && language == 0;
        const bool windows = platform == 3 && language == 0x0409;
        if (!(macintosh || windows) || (nameId != kFamilyNameId && nameId != kSubfamilyNameId))
            continue;
        std::vector<unsigned char> bytes;
        if (!file.ReadAt(static_cast<uint64_t>(tableOffset) + stringOffset + offset, length, bytes))
            continue;
        const String text = macintosh ? DecodeMacintoshName(bytes) : DecodeWindowsName(bytes);
        if (text.IsEmpty())
            continue;
        if (nameId == kFamilyNameId && pendingFamily.IsEmpty())
            pendingFamily = text;
        else if (nameId == kSubfamilyNameId && pendingStyle.IsEmpty())
            pendingStyle = text.ToLower();
        if (!pendingFamily.IsEmpty() && !pendingStyle.IsEmpty()) {
            names.push_back(FontFaceName{pendingFamily, pendingStyle});
            pendingFamily.Empty();
            pendingStyle.Empty();
        }
    }
}

} // namespace

std::vector<FontFaceName> ReadFontFaceNames(const String& path)
{
    std::vector<FontFaceName> names;
    try {
        BoundedFile file(path);
        if (!file.IsOpen())
            return names;
        for (uint32_t fontOffset : ReadFontOffsets(file)) {
            uint32_t tableOffset = 0;
            if (FindNameTable(file, fontOffset, tableOffset))
                ReadNameTable(file, tableOffset, names);
        }
    } catch (const std::exception&) {
        // A read error of the system: the file gives what was read before it.
    }
    return names;
}

} // namespace KX
