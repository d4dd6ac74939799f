// The font-to-family half of the catalogue: which family, and so which file,
// serves a KX::LFont.
#include "Renderer/FontRenderer/FontFileInfo.h"

#include "Application/FrameworkApp.h"
#include "Utilities/Graphics/Font.h"
#include "Utilities/Storage/RCPtrMap.h"

namespace KX {

namespace {

using String = StringT<wchar_t, char>;
using FontMap = RCPtrMap<LFont, LFontFileInfo, 8>;

// Each font keeps the family it was first served from, keyed by the font
// object itself (fonts are interned, so one object stands for one request).
FontMap& FontFamilies()
{
    static FontMap map;
    return map;
}

// The face name of the application's default font; empty without an
// application or when the system does not say.
String DefaultFontFace()
{
    String face;
    float points = 0.0f;
    int32_t style = 0;
    if (LFrameworkApp::sInstance)
        LFrameworkApp::sInstance->GetDefaultFont(face, points, style);
    return face;
}

} // namespace

void LFontFileInfo::ClearFontMap()
{
    FontFamilies().RemoveAll();
}

RCPtr<LFontFileInfo> LFontFileInfo::FindFamilyForFont(const RCPtr<LFont>& font)
{
    RCPtr<LFontFileInfo> family = FontFamilies().GetValue(font);
    if (family)
        return family;
    family = FindFamily(font->GetFaceName());
    if (!family) {
        const String defaultFace = DefaultFontFace();
        if (!defaultFace.IsEmpty())
            family = FindFamily(defaultFace);
    }
    if (!family)
        KX_THROW(std::runtime_error, "", "KX::LFontFileInfo::GetFileID", "Renderer\\FontRenderer\\FontFileInfo", 464);
    FontFamilies().SetValue(font, family);
    return family;
}

int32_t LFontFileInfo::GetFileID(const RCPtr<LFont>& font)
{
    if (!font)
        KX_THROW(std::runtime_error, "", "KX::LFontFileInfo::GetFileID", "Renderer\\FontRenderer\\FontFileInfo", 464);
    const RCPtr<LFontFileInfo> family = FindFamilyForFont(font);
    const int32_t style = font->GetStyle() & 3;
    family->FillMissingStyle(style);
    return (family->mFamilyIndex << 2) | style;
}

} // namespace KX
