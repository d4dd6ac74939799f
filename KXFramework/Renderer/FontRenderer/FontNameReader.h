// KX::ReadFontFaceNames: the family and style names of every font in a
// TrueType file (".ttf") or collection (".ttc"), read from each font's 'name'
// table, for the font-file catalogue (KX::LFontFileInfo).
//
// Contract:
// - Every read is bounded by the counts in the file and by the file's size:
//   a collection's font count, a font's table count, the name-record count
//   and each string's offset and length are checked against the bytes the
//   file really has before anything is read. A truncated or lying file yields
//   the names read before the damage and nothing else; it never reads past
//   its end nor loops over a count it cannot hold.
// - A name is taken from Macintosh records in language 0 (the bytes as
//   characters) and from Windows records in language 0x0409 (big-endian
//   UTF-16; an odd byte length drops the last byte), name id 1 (family) or
//   2 (subfamily); empty strings are skipped.
// - Within one font, the first family and the first subfamily found make a
//   pair; the pair is reported and both are cleared, so a font that carries
//   both a Macintosh and a Windows pair reports two. Nothing carries over
//   from one font of a collection to the next.
// - The style is reported lower-cased.
#pragma once

#include "Utilities/Storage/StringT.h"

#include <vector>

namespace KX {

struct FontFaceName
{
    StringT<wchar_t, char> mFamily;
    StringT<wchar_t, char> mStyle; // lower case: "regular", "bold", "bold italic", ...
};

// The pairs found in the file, in the order of its fonts and records; empty
// when the file cannot be opened or holds no usable name.
std::vector<FontFaceName> ReadFontFaceNames(const StringT<wchar_t, char>& path);

} // namespace KX
