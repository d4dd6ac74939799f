// The menu model: KX::LMenuDescriptor, KX::LMenuItemDescriptor and
// KX::MenuItemState. A menu is a tree of plain data objects, independent of any
// control: a menu descriptor is a list of items, and every item is itself a
// menu descriptor, so an item that holds items is a submenu. Popup menus show
// such trees; the menu bar and the context menus build them from string-table
// entries (CreateFromStringPairs); the text box builds its edit menu in code.
//
// Contract:
// - Items are held by their menu (counted). Each item points back at the menu
//   that contains it (GetParent); that back-reference takes a reference on
//   the menu and counts as one of the menu's internal references, so a tree
//   is released when its last outside reference goes: ReleaseInternalReferences
//   detaches and drops every item, last to first.
// - InsertItem, InsertNewItem and InsertSeparator set the back-reference; code
//   that edits GetItems() directly keeps the back-references itself.
// - Clone gives an independent tree: same texts, flags and structure, new
//   objects, no parent. CreateCopy is not implemented (the base logic error).
// - CreateFromStringPairs never fails on malformed keys: they are skipped.
// - Used on the user-interface thread only.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/TaggableObject.h"
#include "Utilities/Storage/IArray.h"
#include "Utilities/Storage/Pair.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"

namespace KX {

class LMenuItemDescriptor;

// The state of one item as a menu asks its owner control to update it.
struct MenuItemState
{
    bool enabled = false;
    bool checked = false;
    StringT<wchar_t, char> text;

    // Both flags equal and the texts equal (the same buffer, or equal characters).
    bool operator==(const MenuItemState& other) const
    {
        return enabled == other.enabled && checked == other.checked && text == other.text;
    }
    bool operator!=(const MenuItemState& other) const { return !(*this == other); }
};

class LMenuDescriptor : public virtual LTaggableObject
{
public:
    using String = StringT<wchar_t, char>;
    using StringPair = Pair<String, String>;
    using ItemArray = RCPtrArray<LMenuItemDescriptor, 1, 0>;

    // A new empty menu. 0.
    static KXRESULT Create(RCPtr<LMenuDescriptor>& out);

    // Builds a menu tree from (key, text) pairs sorted by key, the menu's
    // prefix already removed from the keys. Key grammar (parts split at "."):
    //   i.ID            top-level item number i sending ID
    //   i.-             top-level separator number i
    //   i.Name.         top-level submenu number i holding the group Name
    //   Name.i.ID / Name.i.- / Name.i.Sub.
    //                   entry number i of the group Name, same three meanings
    // Numbers must run 0, 1, 2, ... in key order within each list; an entry
    // that does not continue its list is dropped. A text "Label|Status" gives
    // the item's label and status text. A submenu whose group is missing, or
    // is the group being built or one enclosing it, produces nothing. Null
    // only when the tree cannot be made.
    static RCPtr<LMenuDescriptor> CreateFromStringPairs(const IArray<StringPair>& pairs);

    // The number at the start of a key part: its decimal value when the part
    // begins with a digit '0' to '9' (values past 2^31 - 1 read as 2^31 - 1),
    // else -1, which matches no entry. Minus signs, blanks and words are no
    // numbers, so "-1" and "-0" both give -1.
    static int32_t ParseKeyNumber(const String& part);

    // Inserts before index (index = count appends) and makes this menu the
    // item's parent. The index, or the array's error (E_INVALIDARG for an
    // index past the count); E_INVALIDARG for a null item.
    KXRESULT InsertItem(int32_t index, const RCPtr<LMenuItemDescriptor>& item);
    // A new item (text, notification id, enabled, checked), inserted as above.
    KXRESULT InsertNewItem(int32_t index, const String& text, const String& notificationId, bool enabled,
                           bool checked);
    // A new separator, inserted as above.
    KXRESULT InsertSeparator(int32_t index);

    // Resets state (flags false, text empty); E_INVALIDARG for an index
    // outside the items, else 0 and the item's enabled, checked and text.
    KXRESULT GetItemState(int32_t index, MenuItemState& state) const;

    // Replaces the back-reference to the containing menu (null: none),
    // moving the reference and the internal-reference count from the old
    // parent to the new one. 0.
    KXRESULT SetParent(const RCPtr<LMenuDescriptor>& parent);
    LMenuDescriptor* GetParent() const { return mParent; }

    // A new menu with clones of the items, in order; its parent is null. 0.
    KXRESULT Clone(RCPtr<LMenuDescriptor>& out) const;

    ItemArray& GetItems() { return mItems; }
    const ItemArray& GetItems() const { return mItems; }
    int32_t GetItemCount() const { return mItems.GetCount(); }
    // Item index, or the shared null pointer when the index is outside the items.
    const RCPtr<LMenuItemDescriptor>& GetItem(int32_t index) const;
    // An item holding items opens a nested popup instead of being activated.
    bool HasItems() const { return mItems.GetCount() > 0; }

    // Drops the items' back-references and the items, last to first, then
    // this menu's own back-reference; then the base answer.
    KXRESULT ReleaseInternalReferences() override;

protected:
    LMenuDescriptor() = default;
    ~LMenuDescriptor() override;

    // Appends a clone of each item of this menu to target.
    void CloneItemsInto(LMenuDescriptor& target) const;

private:
    void SetParentPointer(LMenuDescriptor* parent);

    ItemArray mItems;
    // Counted back-reference: a reference and an internal reference of the parent.
    LMenuDescriptor* mParent = nullptr;
};

class LMenuItemDescriptor : public LMenuDescriptor
{
public:
    // A new item with empty hot-key and status texts, not a separator. 0.
    static KXRESULT Create(const String& text, const String& notificationId, bool enabled, bool checked,
                           RCPtr<LMenuItemDescriptor>& out);
    // A new separator: empty texts, enabled, not checked. 0.
    static KXRESULT CreateSeparator(RCPtr<LMenuItemDescriptor>& out);

    // A copy of the label.
    String ToString() const override;

    // A new item with the same texts and flags and clones of the sub-items;
    // its parent is null. 0.
    using LMenuDescriptor::Clone;
    KXRESULT Clone(RCPtr<LMenuItemDescriptor>& out) const;

    String mText;          // label shown in the row
    String mHotKeyText;    // text of the key bound to mNotificationId; filled by the popup
    String mStatusText;    // help text for the status bar while the pointer is over the item
    String mNotificationId; // sent to the menu's owner when the item is activated
    bool mEnabled = true;
    bool mChecked = false;
    bool mSeparator = false;

protected:
    LMenuItemDescriptor() = default;
    ~LMenuItemDescriptor() override = default;
};

} // namespace KX
