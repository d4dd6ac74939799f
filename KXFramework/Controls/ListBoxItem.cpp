// The list row: its look among fourteen, the separator and submenu flags, the
// capture it hands to its list in drop-down mode, and its tool tip. Also the
// item text object and the item conditions parameter.
#include "Controls/ListBoxItem.h"

#include "Utilities/Geometry/NumberConversion.h"
#include "System/WrapperStringable.h"

namespace KX {

LListBoxItem::LListBoxItem(const RCPtr<LControl>& parent, const String& name) : LControl(parent, name) {}

LListBoxItem::~LListBoxItem() = default;

KXRESULT LListBoxItem::OnCreated()
{
    SetFocusDisabled(true);
    return S_OK;
}

// ---- Look ----

int32_t LListBoxItem::GetLookIndex()
{
    const bool selected = IsSelected();
    if (mSeparator)
        return kLookSeparator;
    if (!IsEnabled(true))
        return selected ? kLookSeparator : kLookDisabled;
    const bool hot = mHover || mHoverOverride;
    const bool pressed = mCapture && mLeftDrag;
    int32_t index = kLookNormal;
    if (pressed && hot)
        index = kLookPressed;
    else if ((hot && !mCapture) || (pressed && !hot))
        index = kLookHot;
    if (mSubmenu)
        index += kSubmenuOffset;
    return selected ? index + kSelectedOffset : index;
}

void LListBoxItem::UpdateLook()
{
    SelectLook(GetLookIndex(), true);
    InvalidateRect(RectT<double>(0.0, 0.0, mRect.width, mRect.height), GetLayout().mClipToParent);
}

void LListBoxItem::OnValueChange()
{
    UpdateLook();
}

void LListBoxItem::OnConditionsChanged(const RCPtr<LConditionsParam>& param)
{
    LControl::OnConditionsChanged(param);
    UpdateLook();
}

void LListBoxItem::SetSubmenu(bool submenu)
{
    if (submenu == mSubmenu)
        return;
    mSubmenu = submenu;
    UpdateLook();
}

void LListBoxItem::SetSeparator(bool separator)
{
    if (separator == mSeparator)
        return;
    mSeparator = separator;
    if (separator)
        SetText(String());
    UpdateLook();
}

// ---- Pointer and tool tip ----

KXRESULT LListBoxItem::BeginCapture(int32_t button, int32_t x, int32_t y)
{
    if (!mDropDown || !mParent)
        return LControl::BeginCapture(button, x, y);
    // The list follows the whole press: its moves select, its release
    // activates.
    const RCPtr<LControl> parent = mParent;
    const PointT<double> position = GetPositionInParentClient();
    return parent->BeginCapture(button, x + RoundDoubleToInt(position.x), y + RoundDoubleToInt(position.y));
}

StringT<wchar_t, char> LListBoxItem::GetToolTipText()
{
    return IsTextTruncated() ? mText : LControl::GetToolTipText();
}

// ---- Item conditions parameter ----

RCPtr<LItemConditionsParam> LItemConditionsParam::Create(const LConditionsParam& conditions, int32_t itemIndex,
                                                         int32_t lookIndex, bool hover)
{
    RCPtr<LItemConditionsParam> param(new LItemConditionsParam());
    param->mOldConditions = conditions.mOldConditions;
    param->mNewConditions = conditions.mNewConditions;
    param->mPoint = conditions.mPoint;
    param->mItemIndex = itemIndex;
    param->mLookIndex = lookIndex;
    param->mHover = hover;
    return param;
}

// ---- Item text ----

RCPtr<LTaggableObject> CreateStringItem(const StringT<wchar_t, char>& text)
{
    return RCPtr<LTaggableObject>(LStringObject::Create(text).Get());
}

} // namespace KX
