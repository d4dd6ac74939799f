#include "Controls/MenuDescriptor.h"

namespace KX {

// ---- LMenuDescriptor ----------------------------------------------------------

KXRESULT LMenuDescriptor::Create(RCPtr<LMenuDescriptor>& out)
{
    out = new LMenuDescriptor();
    return S_OK;
}

LMenuDescriptor::~LMenuDescriptor()
{
    // Only reachable with a parent when an item was taken out of GetItems()
    // by hand and then dropped: give the parent its reference back.
    SetParentPointer(nullptr);
}

KXRESULT LMenuDescriptor::InsertItem(int32_t index, const RCPtr<LMenuItemDescriptor>& item)
{
    if (!item)
        return E_INVALIDARG;
    const int32_t result = mItems.InsertItem(index, item);
    if (Failed(result))
        return result;
    item->SetParentPointer(this);
    return result;
}

KXRESULT LMenuDescriptor::InsertNewItem(int32_t index, const String& text, const String& notificationId,
                                        bool enabled, bool checked)
{
    RCPtr<LMenuItemDescriptor> item;
    LMenuItemDescriptor::Create(text, notificationId, enabled, checked, item);
    return InsertItem(index, item);
}

KXRESULT LMenuDescriptor::InsertSeparator(int32_t index)
{
    RCPtr<LMenuItemDescriptor> item;
    LMenuItemDescriptor::CreateSeparator(item);
    return InsertItem(index, item);
}

KXRESULT LMenuDescriptor::GetItemState(int32_t index, MenuItemState& state) const
{
    state = MenuItemState();
    const RCPtr<LMenuItemDescriptor>& item = GetItem(index);
    if (!item)
        return E_INVALIDARG;
    state.enabled = item->mEnabled;
    state.checked = item->mChecked;
    state.text = item->mText;
    return S_OK;
}

KXRESULT LMenuDescriptor::SetParent(const RCPtr<LMenuDescriptor>& parent)
{
    SetParentPointer(parent.Get());
    return S_OK;
}

void LMenuDescriptor::SetParentPointer(LMenuDescriptor* parent)
{
    if (parent == mParent)
        return;
    if (parent) {
        parent->AddRef();
        parent->AdjustInternalReferenceCount(1);
    }
    LMenuDescriptor* previous = mParent;
    mParent = parent;
    if (previous) {
        // The internal count drops first: a release of a back-reference must
        // not look like the release of the parent's last outside reference,
        // which would make the parent tear its tree down.
        previous->AdjustInternalReferenceCount(-1);
        previous->Release();
    }
}

KXRESULT LMenuDescriptor::Clone(RCPtr<LMenuDescriptor>& out) const
{
    RCPtr<LMenuDescriptor> copy;
    Create(copy);
    CloneItemsInto(*copy);
    out = copy;
    return S_OK;
}

void LMenuDescriptor::CloneItemsInto(LMenuDescriptor& target) const
{
    for (int32_t i = 0; i < mItems.GetCount(); ++i) {
        const RCPtr<LMenuItemDescriptor>& item = GetItem(i);
        if (!item)
            continue;
        RCPtr<LMenuItemDescriptor> copy;
        item->Clone(copy);
        target.InsertItem(target.GetItemCount(), copy);
    }
}

const RCPtr<LMenuItemDescriptor>& LMenuDescriptor::GetItem(int32_t index) const
{
    if (index < 0 || index >= mItems.GetCount())
        return RCPtr<LMenuItemDescriptor>::sNull;
    return const_cast<ItemArray&>(mItems).GetAt(index);
}

KXRESULT LMenuDescriptor::ReleaseInternalReferences()
{
    for (int32_t i = mItems.GetCount() - 1; i >= 0; --i) {
        RCPtr<LMenuItemDescriptor> item;
        mItems.RemoveItem(i, item);
        if (item)
            item->SetParentPointer(nullptr);
        // The item goes here, with the last reference the menu held on it.
    }
    SetParentPointer(nullptr);
    return LRefCountedObject::ReleaseInternalReferences();
}

// ---- LMenuItemDescriptor --------------------------------------------------------

KXRESULT LMenuItemDescriptor::Create(const String& text, const String& notificationId, bool enabled, bool checked,
                                     RCPtr<LMenuItemDescriptor>& out)
{
    RCPtr<LMenuItemDescriptor> item(new LMenuItemDescriptor());
    item->mText = text;
    item->mNotificationId = notificationId;
    item->mEnabled = enabled;
    item->mChecked = checked;
    out = item;
    return S_OK;
}

KXRESULT LMenuItemDescriptor::CreateSeparator(RCPtr<LMenuItemDescriptor>& out)
{
    Create(String(), String(), true, false, out);
    out->mSeparator = true;
    return S_OK;
}

StringT<wchar_t, char> LMenuItemDescriptor::ToString() const
{
    return mText;
}

KXRESULT LMenuItemDescriptor::Clone(RCPtr<LMenuItemDescriptor>& out) const
{
    RCPtr<LMenuItemDescriptor> copy;
    Create(mText, mNotificationId, mEnabled, mChecked, copy);
    copy->mSeparator = mSeparator;
    copy->mStatusText = mStatusText;
    copy->mHotKeyText = mHotKeyText;
    CloneItemsInto(*copy);
    out = copy;
    return S_OK;
}

} // namespace KX
