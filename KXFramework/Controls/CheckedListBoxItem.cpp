// The checked row: its check box's hover makes the row look hot; the list
// sets the check box's value, visibility and icon through it.
#include "Controls/CheckedListBoxItem.h"

#include "Notification/NotificationIDs.h"
#include "ObjectBase/Exception.h"
#include "Renderer/Renderer.h"

namespace KX {

namespace {

constexpr const wchar_t* kCheckBoxName = L"checkBox";

} // namespace

LCheckedListBoxItem::LCheckedListBoxItem(const RCPtr<LControl>& parent, const String& name)
    : LListBoxItem(parent, name)
{
}

LCheckedListBoxItem::~LCheckedListBoxItem() = default;

KXRESULT LCheckedListBoxItem::Initialize()
{
    const KXRESULT result = LListBoxItem::Initialize();
    if (result < 0)
        return result;
    mCheckedItemHandler = new Handler(this);
    const RCPtr<LButton> checkBox = GetCheckBox();
    if (!checkBox)
        return S_OK;
    KX_THROW_IF_FAILED(mCheckedItemHandler->AddHandler(&LCheckedListBoxItem::OnCheckBoxHover,
                                                       RCPtr<LNotificationDistributor>(checkBox.Get()),
                                                       NID_HOVER_CONDITION_CHANGE),
                       "KX::LCheckedListBoxItem::Initialize", "Controls\\CheckedListBoxItem", __LINE__);
    checkBox->SetFocusDisabled(true);
    // The box shows the row's tip (and through it the list's).
    checkBox.Get()->*(&LCheckedListBoxItem::mUseParentToolTip) = true;
    return S_OK;
}

KXRESULT LCheckedListBoxItem::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                                  const RCPtr<LNotification>& notification)
{
    if (mCreated && mCheckedItemHandler && mCheckedItemHandler->Binds(sender, notification)) {
        const RCPtr<Handler> handler = mCheckedItemHandler;
        return handler->HandleNotification(sender, notification);
    }
    return LListBoxItem::ReceiveNotification(sender, notification);
}

KXRESULT LCheckedListBoxItem::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                                     const wchar_t* identifier)
{
    if (mCheckedItemHandler)
        mCheckedItemHandler->RemoveHandler(sender, identifier);
    return LListBoxItem::UnregisterNotification(sender, identifier);
}

KXRESULT LCheckedListBoxItem::OnCheckBoxHover(const RCPtr<LNotificationDistributor>&,
                                              const RCPtr<LNotification>& notification)
{
    const RCPtr<LConditionsParam> param =
        notification ? RCPtr<LConditionsParam>::DynamicCast(notification->GetData()) : RCPtr<LConditionsParam>();
    if (!param)
        return S_FALSE;
    // Hot while the pointer has just come onto the box; any other change of
    // its hover ends it.
    SetHoverOverride(!(param->mOldConditions & kHover) && (param->mNewConditions & kHover));
    return S_FALSE;
}

bool LCheckedListBoxItem::SetLook(int32_t index, bool)
{
    // Always alone: the one look shown.
    return SetLookWeight(index, 1.0f, true) >= 0;
}

// ---- The check box ----

RCPtr<LButton> LCheckedListBoxItem::GetCheckBox() const
{
    return RCPtr<LButton>::DynamicCast(FindChild(String(kCheckBoxName)));
}

void LCheckedListBoxItem::SetCheckBoxValue(double value)
{
    if (const RCPtr<LButton> checkBox = GetCheckBox())
        checkBox->SetNormalizedValue(value);
}

void LCheckedListBoxItem::ShowCheckBox(bool show)
{
    if (const RCPtr<LButton> checkBox = GetCheckBox())
        checkBox->SetVisible(show);
}

void LCheckedListBoxItem::SetCheckBoxIcon(const RCPtr<LBitmap>& icon)
{
    const RCPtr<LButton> checkBox = GetCheckBox();
    if (!checkBox)
        return;
    for (int32_t i = checkBox->GetLookCount() - 1; i >= 0; --i) {
        if (checkBox->GetLook(i))
            checkBox->SetLookImage(icon, ResizeStretch, i, true);
    }
}

} // namespace KX
