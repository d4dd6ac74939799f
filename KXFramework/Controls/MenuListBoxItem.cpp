// The popup menu's row: access to its hot-key label and check box.
#include "Controls/MenuListBoxItem.h"

#include "ControlBase/Look.h"

namespace KX {

namespace {

constexpr const wchar_t* kHotKeyLabelName = L"hotKeyLabel";

} // namespace

LMenuListBoxItem::LMenuListBoxItem(const RCPtr<LControl>& parent, const String& name)
    : LCheckedListBoxItem(parent, name)
{
}

LMenuListBoxItem::~LMenuListBoxItem() = default;

RCPtr<LControl> LMenuListBoxItem::GetHotKeyLabel() const
{
    return FindChild(String(kHotKeyLabelName));
}

void LMenuListBoxItem::SetHotKeyText(const String& text)
{
    if (const RCPtr<LControl> label = GetHotKeyLabel()) {
        if (label->GetText() != text)
            label->SetText(text);
    }
}

void LMenuListBoxItem::SelectCheckLook(int32_t index)
{
    if (const RCPtr<LButton> checkBox = GetCheckBox())
        checkBox->SelectLook(index, true);
}

void LMenuListBoxItem::FollowRowTextColour()
{
    const RCPtr<LControl> label = GetHotKeyLabel();
    const RCPtr<LLook>& look = GetLook(GetActiveLookIndex());
    if (!label || !look || !look->GetTextForegroundPart())
        return;
    const RCPtr<LVisualPart>& part = look->GetTextForegroundPart();
    bool changed = false;
    for (int32_t i = 0; i < label->GetLookCount(); ++i) {
        const RCPtr<LLook>& labelLook = label->GetLook(i);
        if (labelLook && labelLook->GetTextForegroundPart() != part) {
            labelLook->SetTextForegroundPart(part);
            changed = true;
        }
    }
    if (changed)
        label->InvalidateRect(RectT<double>(0.0, 0.0, label->GetRect().width, label->GetRect().height), true);
}

} // namespace KX
