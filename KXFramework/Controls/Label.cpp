#include "Controls/Label.h"

namespace KX {

LLabel::LLabel(const RCPtr<LControl>& parent, const String& name) : LControl(parent, name) {}

LLabel::~LLabel() = default;

KXRESULT LLabel::OnCreated()
{
    SetFocusDisabled(true);
    return S_OK;
}

StringT<wchar_t, char> LLabel::GetToolTipText()
{
    return IsTextTruncated() ? mText : LControl::GetToolTipText();
}

StringT<wchar_t, char> FillPlaceholder(const StringT<wchar_t, char>& text, const StringT<wchar_t, char>& value)
{
    const int32_t at = text.Find(StringT<wchar_t, char>(L"%s"));
    if (at < 0)
        return text;
    return text.Left(at) + value + text.Mid(at + 2);
}

} // namespace KX
