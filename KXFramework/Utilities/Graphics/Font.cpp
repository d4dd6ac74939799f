#include "Utilities/Graphics/Font.h"

#include "Application/FrameworkApp.h"
#include "Renderer/Renderer.h"
#include "Utilities/Storage/RCPtrArray.h"

#include <cwchar>

namespace KX {

namespace {

// The registry: made on first use, destroyed at program exit.
RCPtrArray<LFont>& Registry()
{
    static RCPtrArray<LFont> registry;
    return registry;
}

// Counts up before each new font takes its id: the first font has id 1.
int32_t sLastUniqueID = 0;

bool SameFace(const StringT<wchar_t, char>& a, const StringT<wchar_t, char>& b)
{
    return a.GetData() == b.GetData() || _wcsicmp(a.GetData(), b.GetData()) == 0;
}

} // namespace

LFont::LFont(const String& faceName, float size, int32_t style)
    : mFaceName(faceName), mSize(size), mStyle(style), mUniqueID(++sLastUniqueID)
{
}

RCPtr<LFont>& LFont::Create(RCPtr<LFont>& out, const String& faceName, float size, int32_t style)
{
    const int32_t index = Find(faceName, size, style);
    if (index >= 0) {
        out = Registry().GetAt(index);
        return out;
    }
    RCPtr<LFont> font(new LFont(faceName, size, style));
    Registry().AddItem(font);
    out = font;
    return out;
}

int32_t LFont::Find(const String& faceName, float size, int32_t style)
{
    RCPtrArray<LFont>& registry = Registry();
    for (int32_t i = registry.GetCount() - 1; i >= 0; --i) {
        const LFont& font = *registry.GetAt(i);
        if (SameFace(font.mFaceName, faceName) && font.mSize == size && font.mStyle == style)
            return i;
    }
    return -1;
}

int32_t LFont::GetUniqueID(const ConstRCPtr<LFont>& font)
{
    return font ? font->mUniqueID : 0;
}

int32_t LFont::GetRegistryCount()
{
    return Registry().GetCount();
}

void LFont::ReleaseRegistry()
{
    Registry().RemoveAll();
}

KXRESULT LFont::ReleaseInternalReferences()
{
    const int32_t index = Find(mFaceName, mSize, mStyle);
    if (index < 0)
        return E_FAIL;
    RCPtr<LFont> removed;
    Registry().RemoveItem(index, removed);
    return S_OK;
}

int32_t LFont::GetHeight()
{
    MeasureWithApplicationRenderer();
    return IsMeasured() ? mHeight : 0;
}

int32_t LFont::GetAscent()
{
    MeasureWithApplicationRenderer();
    return mAscent;
}

int32_t LFont::GetDescent()
{
    MeasureWithApplicationRenderer();
    return mDescent;
}

bool LFont::Measure(LMeasurementRenderer* renderer)
{
    if (IsMeasured())
        return true;
    if (!renderer)
        return false;
    int32_t height = 0;
    int32_t ascent = 0;
    int32_t descent = 0;
    if (Failed(renderer->GetFontMetrics(RCPtr<LFont>(this), height, ascent, descent)))
        return false;
    mHeight = height < 0 ? 0 : height;
    mAscent = ascent;
    mDescent = descent;
    return true;
}

void LFont::MeasureWithApplicationRenderer()
{
    if (IsMeasured() || !LFrameworkApp::sInstance)
        return;
    RCPtr<LRenderer> renderer;
    LFrameworkApp::sInstance->GetRenderer(renderer);
    Measure(renderer.Get());
}

} // namespace KX
