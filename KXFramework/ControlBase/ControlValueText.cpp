// A control's normalized value with its range and mapping, its label text
// (pushed into every look, the window's title for a top control, and able to
// make the control grow), and its font, derived from a request whose name,
// size and style may each follow the parent's font.
#include "ControlBase/Control.h"

#include "Application/FrameworkApp.h"
#include "Application/RootWindow.h"
#include "ControlBase/Look.h"
#include "Notification/NotificationIDs.h"
#include "Utilities/Graphics/Font.h"

#include <algorithm>
#include <cmath>

namespace KX {

namespace {

constexpr double kFloatLimit = 8388608.0;

bool SameFont(const RCPtr<LFont>& a, const RCPtr<LFont>& b)
{
    if (a == b)
        return true;
    if (!a || !b)
        return false;
    return a->GetFaceName() == b->GetFaceName() && a->GetSize() == b->GetSize() && a->GetStyle() == b->GetStyle();
}

} // namespace

// ---- Value ----

KXRESULT LControl::SetValueRange(double minimum, double maximum, int32_t mapping)
{
    if (mapping != 0 && mapping != 1)
        return E_INVALIDARG;
    if (mapping == 1 && !(minimum > 0.0 && maximum > 0.0))
        return E_INVALIDARG; // an exponential mapping needs a positive range
    mValueMin = minimum;
    mValueMax = maximum;
    mValueMapping = mapping;
    return S_OK;
}

double LControl::NormalizedToValue(double normalized) const
{
    if (mValueMapping == 1)
        return mValueMin * std::pow(mValueMax / mValueMin, normalized);
    return mValueMin + (mValueMax - mValueMin) * normalized;
}

double LControl::ValueToNormalized(double value) const
{
    const double lower = std::min(mValueMin, mValueMax);
    const double upper = std::max(mValueMin, mValueMax);
    const double x = std::max(lower, std::min(upper, value));
    if (mValueMax == mValueMin)
        return 0.0;
    if (mValueMapping == 1)
        return std::log(x / mValueMin) / std::log(mValueMax / mValueMin);
    return (x - mValueMin) / (mValueMax - mValueMin);
}

double LControl::SetNormalizedValue(double value)
{
    const double clamped = value < 0.0 ? 0.0 : (value > 1.0 ? 1.0 : value);
    if (clamped == mNormalizedValue)
        return mNormalizedValue;
    const RCPtr<LControl> self(this);
    mNormalizedValue = clamped;
    OnValueChange();
    const RCPtr<LValueParam> param = LValueParam::Create(mNormalizedValue, NormalizedToValue(mNormalizedValue));
    SendNotificationWithData(NID_VALUE_CHANGE, RCPtr<LRefCountedObject>(param.Get()));
    return mNormalizedValue;
}

void LControl::OnValueChange() {}

// ---- Text ----

KXRESULT LControl::SetText(const String& text)
{
    return ChangeText(text, true) ? S_OK : S_FALSE;
}

bool LControl::ChangeText(const String& text, bool relayout)
{
    if (text == mText)
        return false;
    const RCPtr<LControl> self(this);
    if (!mParent && mRootWindow && mRootWindow->GetOSServices())
        mRootWindow->GetOSServices()->SetTitle(text);
    mText = text;
    for (int32_t i = mLooks.GetCount() - 1; i >= 0; --i) {
        if (const RCPtr<LLook> look = mLooks.GetAt(i))
            look->SetText(mText);
    }
    if (relayout) {
        // Only a size that follows the text can change with it.
        const LLayoutDescriptor& layout = GetLayout();
        const bool xFollows =
            !layout.mXMinimum.mIsControl && layout.mTextOverflowXType != LLayoutDescriptor::OverflowXClip;
        const bool yFollows =
            !layout.mYMinimum.mIsControl && layout.mTextOverflowYType != LLayoutDescriptor::OverflowYClip;
        if (xFollows || yFollows)
            RecalcLayout();
    }
    InvalidateRect(RectT<double>(0.0, 0.0, mRect.width, mRect.height), GetLayout().mClipToParent);
    return true;
}

StringT<wchar_t, char> LControl::GetString(const wchar_t* identifier) const
{
    String text;
    if (mStringTable)
        mStringTable->GetString(identifier, text);
    return text;
}

const RCPtr<LStringTable>& LControl::GetStringTable() const
{
    return mStringTable;
}

bool LControl::IsTextTruncated()
{
    const int32_t active = GetActiveLookIndex();
    if (active < 0)
        return false;
    const RCPtr<LLook> look = mLooks.GetAt(active);
    const RCPtr<LFontText>& layout = look->GetTextLayout();
    if (!layout)
        return !mText.IsEmpty(); // no text area at all: any text is cut
    const double w = std::max(-kFloatLimit, std::min(kFloatLimit, mRect.width));
    double areaWidth = 0.0;
    if (look->GetDescriptor() && look->GetDescriptor()->HasText()) {
        const LLookDescriptor::TextProperties& text = look->GetDescriptor()->GetTextProperties();
        areaWidth = (text.mRightRel * w + text.mRightAbs) - (text.mLeftRel * w + text.mLeftAbs);
    }
    const double needed = layout->IsLaidOut() ? layout->GetLineRect(0).width : 0.0;
    return areaWidth < needed;
}

// ---- Font ----

RCPtr<LFont> LControl::GetBaseFont() const
{
    if (mFontInheritsFromParent && mParent && mParent->mFont)
        return mParent->mFont;
    LFrameworkApp* application = LFrameworkApp::sInstance;
    if (!application)
        return RCPtr<LFont>();
    // The font the current skin settled on; before any skin, the system's.
    if (application->GetSkinDefaultFont())
        return application->GetSkinDefaultFont();
    String face;
    float points = 0.0f;
    int32_t style = 0;
    RCPtr<LFont> font;
    if (application->GetDefaultFont(face, points, style) >= 0)
        LFont::Create(font, face, points, style);
    return font;
}

KXRESULT LControl::SetFont(const RCPtr<LFont>& font)
{
    if (!font)
        return E_INVALIDARG;
    for (int32_t i = mLooks.GetCount() - 1; i >= 0; --i) {
        if (const RCPtr<LLook> look = mLooks.GetAt(i))
            look->SetFont(font);
    }
    if (SameFont(font, mFont))
        return S_FALSE;
    const RCPtr<LControl> self(this);
    mFont = font;
    // A font set directly no longer follows the parent's.
    mFontNameInherited = false;
    mFontSizeInherited = false;
    mFontStyleInherited = false;
    OnFontChange();
    const RCPtrArray<LControl> children = mChildren.Snapshot();
    for (int32_t i = 0; i < children.GetCount(); ++i) {
        if (children.GetAt(i)->mParent.Get() == this)
            children.GetAt(i)->InheritFont();
    }
    RecalcLayout();
    InvalidateRect(RectT<double>(0.0, 0.0, mRect.width, mRect.height), GetLayout().mClipToParent);
    return S_OK;
}

KXRESULT LControl::SetFontFromSpec(const String& name, float size, int32_t style, bool sizeIsRelative)
{
    const RCPtr<LFont> base = GetBaseFont();
    if (!base)
        return E_FAIL;
    const bool nameInherited = name.IsEmpty();
    const bool sizeInherited = size <= 0.0f || mFontSizeIsRelative;
    const bool styleInherited = style == -1;
    float factor = 1.0f;
    if (sizeInherited && sizeIsRelative && size > 0.0f)
        factor = size;
    const String faceName = nameInherited ? base->GetFaceName() : name;
    const float points = sizeInherited ? base->GetSize() * factor : size;
    const int32_t fontStyle = styleInherited ? base->GetStyle() : style;

    RCPtr<LFont> font = base;
    if (!(faceName == base->GetFaceName()) || points != base->GetSize() || fontStyle != base->GetStyle())
        LFont::Create(font, faceName, points, fontStyle);
    if (!font)
        return E_FAIL;
    const KXRESULT result = SetFont(font);
    if (result >= 0) {
        mFontNameInherited = nameInherited;
        mFontSizeInherited = sizeInherited;
        mFontStyleInherited = styleInherited;
        mFontSizeIsRelative = sizeIsRelative;
        mFontSizeFactor = factor;
    }
    return result;
}

KXRESULT LControl::InheritFont()
{
    if (!mFontInheritsFromParent || !mFont ||
        !(mFontNameInherited || mFontSizeInherited || mFontStyleInherited))
        return S_OK;
    // The same request again, against the parent's new font.
    const String name = mFontNameInherited ? String() : mFont->GetFaceName();
    float size = mFont->GetSize();
    bool relative = false;
    if (mFontSizeInherited) {
        relative = mFontSizeIsRelative;
        size = mFontSizeIsRelative ? mFontSizeFactor : 0.0f;
    }
    const int32_t style = mFontStyleInherited ? -1 : mFont->GetStyle();
    SetFontFromSpec(name, size, style, relative);
    return S_OK;
}

void LControl::OnFontChange() {}

} // namespace KX
