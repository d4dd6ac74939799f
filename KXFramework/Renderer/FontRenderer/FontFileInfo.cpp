#include "Renderer/FontRenderer/FontFileInfo.h"

#include "Renderer/FontRenderer/FontNameReader.h"
#include "Utilities/Storage/KXFile.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringArrayT.h"

#include <shlobj.h>

namespace KX {

namespace {

using String = StringT<wchar_t, char>;
using FamilyList = RCPtrArray<LFontFileInfo, 16, 0>;

// The families in the order they were found; a family's index is its place.
FamilyList& Families()
{
    static FamilyList families;
    return families;
}

// True when the system answers a version query, in the extended form or, on
// systems that refuse it, the basic one.
bool QuerySystemVersion()
{
    OSVERSIONINFOEXW extended = {};
    extended.dwOSVersionInfoSize = sizeof(extended);
    if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&extended)))
        return true;
    OSVERSIONINFOW basic = {};
    basic.dwOSVersionInfoSize = sizeof(basic);
    return GetVersionExW(&basic) != FALSE;
}

// The slot of a lower-cased style name.
int32_t StyleOfName(const String& style)
{
    if (style == L"bold")
        return LFontFileInfo::Bold;
    if (style == L"italic")
        return LFontFileInfo::Italic;
    if (style == L"bold italic")
        return LFontFileInfo::BoldItalic;
    return LFontFileInfo::Regular;
}

} // namespace

LFontFileInfo::LFontFileInfo(const String& familyName, int32_t familyIndex)
    : mFamilyName(familyName), mFamilyIndex(familyIndex)
{
}

RCPtr<LFontFileInfo> LFontFileInfo::Create(const String& familyName, int32_t familyIndex)
{
    return RCPtr<LFontFileInfo>(new LFontFileInfo(familyName, familyIndex));
}

const StringT<wchar_t, char>& LFontFileInfo::GetPath(int32_t style) const
{
    switch (style) {
    case Regular:
        return mRegularPath;
    case Bold:
        return mBoldPath;
    case Italic:
        return mItalicPath;
    case BoldItalic:
        return mBoldItalicPath;
    default:
        return String::sEmpty;
    }
}

void LFontFileInfo::SetPath(int32_t style, const String& path)
{
    switch (style) {
    case Regular:
        mRegularPath = path;
        break;
    case Bold:
        mBoldPath = path;
        break;
    case Italic:
        mItalicPath = path;
        break;
    case BoldItalic:
        mBoldItalicPath = path;
        break;
    default:
        break;
    }
}

void LFontFileInfo::FillMissingStyle(int32_t style)
{
    if (!GetPath(style).IsEmpty())
        return;
    // The nearest style first: the other weight of the same slant, then the
    // plain face, then the rest. The last one is taken even when empty.
    static const int32_t kFallbacks[4][3] = {
        {Bold, Italic, BoldItalic},   // regular
        {BoldItalic, Regular, Italic}, // bold
        {BoldItalic, Regular, Bold},   // italic
        {Bold, Italic, Regular},       // bold italic
    };
    for (int32_t i = 0; i < 3; ++i) {
        const String& path = GetPath(kFallbacks[style][i]);
        if (!path.IsEmpty() || i == 2) {
            SetPath(style, path);
            return;
        }
    }
}

void LFontFileInfo::ClearCatalogue()
{
    ClearFontMap();
    Families().SetCount(0);
}

String LFontFileInfo::GetFontsFolder()
{
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_FONTS, reinterpret_cast<HANDLE>(-1), SHGFP_TYPE_DEFAULT, folder)))
        return String();
    return String(folder);
}

KXRESULT LFontFileInfo::BuildCatalogue()
{
    ClearCatalogue();
    if (!QuerySystemVersion())
        return E_FAIL;
    const String folder = GetFontsFolder();
    if (folder.IsEmpty())
        return E_FAIL;
    return ScanFolder(folder);
}

KXRESULT LFontFileInfo::ScanFolder(const String& folder)
{
    ClearCatalogue();
    StringArrayT files;
    StringArrayT collections;
    ListFiles(folder, String(L"*.ttf"), files);
    ListFiles(folder, String(L"*.ttc"), collections);
    for (int32_t i = 0; i < collections.GetCount(); ++i)
        files.AddItem(collections.GetAt(i));
    for (int32_t i = 0; i < files.GetCount(); ++i)
        AddFontFile(files.GetAt(i));
    return S_OK;
}

void LFontFileInfo::AddFontFile(const String& path)
{
    for (const FontFaceName& name : ReadFontFaceNames(path)) {
        RCPtr<LFontFileInfo> family = FindFamily(name.mFamily);
        if (!family) {
            family = Create(name.mFamily, Families().GetCount());
            Families().AddItem(family);
        }
        family->SetPath(StyleOfName(name.mStyle), path);
    }
}

int32_t LFontFileInfo::GetFamilyCount()
{
    return Families().GetCount();
}

RCPtr<LFontFileInfo> LFontFileInfo::GetFamily(int32_t index)
{
    if (index < 0 || index >= Families().GetCount())
        return RCPtr<LFontFileInfo>();
    return Families().GetAt(index);
}

RCPtr<LFontFileInfo> LFontFileInfo::FindFamily(const String& familyName)
{
    FamilyList& families = Families();
    for (int32_t i = families.GetCount() - 1; i >= 0; --i) {
        if (families.GetAt(i)->mFamilyName == familyName)
            return families.GetAt(i);
    }
    return RCPtr<LFontFileInfo>();
}

String LFontFileInfo::GetFilePath(int32_t fileId)
{
    if (fileId < 0 || fileId / 4 >= Families().GetCount())
        return String();
    return Families().GetAt(fileId / 4)->GetPath(fileId % 4);
}

} // namespace KX
