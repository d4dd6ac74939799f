// KX::LFontFileInfo: one font family of the font-file catalogue, with the
// files of its four styles, and the catalogue itself (process-wide statics):
// the list of families found in the system's fonts folder and the map from a
// KX::LFont to its family.
//
// FreeType opens fonts by path, so the OpenGL renderer's text needs a way from
// a face name and style to a file: the catalogue reads the family and style
// names of every ".ttf" and ".ttc" file of the folder (FontNameReader.h) and
// files each under its family.
//
// File ids: (family index << 2) | style, style 0 regular, 1 bold, 2 italic,
// 3 bold italic. The FreeType font renderer uses them as face ids.
//
// Contract:
// - The catalogue is shared by every FreeType font renderer: it is built when
//   the first one is set up and emptied when the last one goes
//   (KX::LFreetypeLibrary). Rebuilding empties it first.
// - A missing fonts folder, or a failing version or folder query, leaves an
//   empty catalogue; a file that cannot be read adds nothing and the scan
//   goes on with the next.
// - User-interface thread only; nothing is locked.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace KX {

class LFont;

class LFontFileInfo : public virtual LRefCountedObject
{
public:
    using String = StringT<wchar_t, char>;

    enum Style : int32_t { Regular = 0, Bold = 1, Italic = 2, BoldItalic = 3 };

    static RCPtr<LFontFileInfo> Create(const String& familyName, int32_t familyIndex);

    // ---- the catalogue ----

    // Empties the catalogue, then scans the system's fonts folder: 0, or
    // E_FAIL (catalogue empty) when the system version or the folder cannot
    // be queried.
    static KXRESULT BuildCatalogue();
    // Empties the catalogue, then scans the folder's "*.ttf" files and then
    // its "*.ttc" files, in the system's listing order. A folder that does
    // not exist gives an empty catalogue. 0.
    static KXRESULT ScanFolder(const String& folder);
    // Empties the family list and the font-to-family map.
    static void ClearCatalogue();
    // The system's fonts folder; empty when it cannot be queried.
    static String GetFontsFolder();

    static int32_t GetFamilyCount();
    // The family at the index; null outside the list.
    static RCPtr<LFontFileInfo> GetFamily(int32_t index);
    // The last family of that exact (case-sensitive) name; null when none.
    static RCPtr<LFontFileInfo> FindFamily(const String& familyName);

    // The file id of the font. Its family: the one the font was mapped to
    // before; else the family named exactly as the font's face; else the one
    // named as the application's default font; else the runtime error at
    // KX::LFontFileInfo::GetFileID. Only the bold and italic bits (style & 3)
    // choose the file: underline and strike-out are drawn by nobody here and
    // must not move the id into another family. A style whose file is
    // missing takes the nearest style's file (and keeps it).
    static int32_t GetFileID(const RCPtr<LFont>& font);
    // The path of the file id; empty when the id names no family or the
    // family has no file of that style.
    static String GetFilePath(int32_t fileId);

    // ---- one family ----

    const String& GetFamilyName() const { return mFamilyName; }
    int32_t GetFamilyIndex() const { return mFamilyIndex; }
    // The path of a style 0 to 3 (empty when none was found).
    const String& GetPath(int32_t style) const;
    void SetPath(int32_t style, const String& path);

protected:
    LFontFileInfo(const String& familyName, int32_t familyIndex);
    ~LFontFileInfo() override = default;

private:
    // Files the file's names under their families.
    static void AddFontFile(const String& path);
    // Empties the font-to-family map (FontFileID.cpp, where it lives).
    static void ClearFontMap();
    // The family of the font: mapped, by face name, or by default font.
    static RCPtr<LFontFileInfo> FindFamilyForFont(const RCPtr<LFont>& font);
    // Fills an empty style slot 0 to 3 from the nearest style that has a file.
    void FillMissingStyle(int32_t style);

    String mFamilyName;
    String mRegularPath;
    String mBoldPath;
    String mItalicPath;
    String mBoldItalicPath;
    int32_t mFamilyIndex = 0;
};

} // namespace KX
