// A control's normalized value with its range, its label text and its font.
// The label text reaches the window's title here; pushing text and font
// into the looks, the value mapping and font inheritance complete this file
// with the looks and the fonts.
#include "ControlBase/Control.h"

#include "Application/RootWindow.h"

namespace KX {

KXRESULT LControl::SetText(const String& text)
{
    return ChangeText(text, true) ? S_OK : S_FALSE;
}

bool LControl::ChangeText(const String& text, bool)
{
    if (text == mText)
        return false;
    if (!mParent && mRootWindow && mRootWindow->GetOSServices())
        mRootWindow->GetOSServices()->SetTitle(text);
    mText = text;
    InvalidateRect(RectT<double>(0.0, 0.0, mRect.width, mRect.height), GetLayout().mClipToParent);
    return true;
}

double LControl::SetNormalizedValue(double value)
{
    return mNormalizedValue = value < 0.0 ? 0.0 : (value > 1.0 ? 1.0 : value);
}

void LControl::OnValueChange() {}

KXRESULT LControl::SetValueRange(double, double, int32_t)
{
    return E_NOTIMPL;
}

double LControl::NormalizedToValue(double normalized) const
{
    return mValueMin + (mValueMax - mValueMin) * normalized;
}

double LControl::ValueToNormalized(double value) const
{
    return mValueMax == mValueMin ? 0.0 : (value - mValueMin) / (mValueMax - mValueMin);
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
    return false;
}

KXRESULT LControl::SetFont(const RCPtr<LFont>&)
{
    return E_NOTIMPL;
}

KXRESULT LControl::SetFontFromSpec(const String&, float, int32_t, bool)
{
    return E_NOTIMPL;
}

KXRESULT LControl::InheritFont()
{
    return S_OK;
}

void LControl::OnFontChange() {}

} // namespace KX
