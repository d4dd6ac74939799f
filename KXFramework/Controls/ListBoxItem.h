// KX::LListBoxItem: the row control of every list-like control
// ("Framework.ListBoxItem" and "Framework.OverlayButton"). A list shows its
// items through a small pool of these rows; scrolling re-binds rows to other
// items instead of moving them (see KX::LListBox).
//
// Also here: the item text object (KX::CreateStringItem) and the data of the
// lists' item condition notifications (KX::LItemConditionsParam).
//
// Contract:
// - A row never takes the focus.
// - Its value is the bound item's value; it counts as selected at >= 0.5.
// - Looks: one of fourteen, chosen by GetLookIndex from the separator flag,
//   the enabled chain, the hover (own or overridden), the capture with a left
//   drag, the submenu flag and the selection:
//     separator 13; disabled 6 (selected 13);
//     pressed and hot 2 (submenu 5), selected 9 (12);
//     hot and not captured, or pressed and not hot 1 (4), selected 8 (11);
//     otherwise 0 (3), selected 7 (10).
//   The look follows every change of value, conditions, submenu and
//   separator flag, and the row is drawn again.
// - A separator row shows no text.
// - In drop-down mode a press on the row hands the pointer capture to the
//   parent list, so that the list sees the moves and the release.
// - While its label does not fit, the whole label is its tool tip; otherwise
//   its own "TOOLTIP" text (and, set by the list, its list's tip after that).
// - User-interface thread only.
#pragma once

#include "ControlBase/Control.h"
#include "ControlBase/EventParams.h"
#include "ObjectBase/TaggableObject.h"

#include <cstdint>

namespace KX {

class LListBoxItem : public LControl
{
public:
    // Look indices (the skin's menu-item look list names them in this order:
    // "Unselected", "UnselectedHover", "UnselectedPressed", the three
    // "UnselectedSubMenu" looks, "UnselectedDisabled", the same seven
    // "Selected" looks with "Separator" in the last place).
    static constexpr int32_t kLookNormal = 0;
    static constexpr int32_t kLookHot = 1;
    static constexpr int32_t kLookPressed = 2;
    static constexpr int32_t kSubmenuOffset = 3;
    static constexpr int32_t kLookDisabled = 6;
    static constexpr int32_t kSelectedOffset = 7;
    static constexpr int32_t kLookSeparator = 13;
    static constexpr int32_t kLookCount = 14;

    LListBoxItem(const RCPtr<LControl>& parent, const String& name);

    // ==== Overridden slots ====

    // The look follows the value.
    void OnValueChange() override;
    // The look follows the conditions.
    void OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
    // Focus disabled. 0.
    KXRESULT OnCreated() override;
    // The whole label while it is cut off, else the control's own tip text.
    String GetToolTipText() override;
    // In drop-down mode with a parent: the parent takes the capture, the
    // point moved into the parent's coordinates. Otherwise the base's.
    KXRESULT BeginCapture(int32_t button, int32_t x, int32_t y) override;

    // ==== Appended slot ====

    // The look for the current state (table above).
    virtual int32_t GetLookIndex();

    // ==== Plain operations ====

    // Selects the look of GetLookIndex (exclusively) and draws the row anew.
    void UpdateLook();
    // The submenu variants of the looks; the look follows a change.
    void SetSubmenu(bool submenu);
    bool IsSubmenu() const { return mSubmenu; }
    // Copy of the list's drop-down mode.
    void SetDropDown(bool dropDown) { mDropDown = dropDown; }
    bool IsDropDown() const { return mDropDown; }
    // Nothing when unchanged; a set flag also empties the text; the look
    // follows.
    void SetSeparator(bool separator);
    bool IsSeparator() const { return mSeparator; }
    // Whether the row offers its parent's tool tip when it has none itself.
    void SetUseParentToolTip(bool use) { mUseParentToolTip = use; }
    bool IsSelected() const { return mNormalizedValue >= 0.5; }

protected:
    ~LListBoxItem() override;

    bool mSubmenu = false;
    bool mDropDown = false;
    bool mSeparator = false;
};

// The data of "NID_ITEM_HOVER_CONDITION_CHANGE" and
// "NID_ITEM_LEFT_DRAG_CONDITION_CHANGE": the row's condition change, the item
// the row shows, the row's active look and its own hover flag. Made on the
// heap for each notification (the conditions parameter's pool serves only
// objects of its own size).
class LItemConditionsParam : public LConditionsParam
{
public:
    static RCPtr<LItemConditionsParam> Create(const LConditionsParam& conditions, int32_t itemIndex,
                                              int32_t lookIndex, bool hover);

    int32_t mItemIndex = -1;
    int32_t mLookIndex = -1;
    bool mHover = false;

protected:
    LItemConditionsParam() = default;
    ~LItemConditionsParam() override = default;
};

// A new item text object: a taggable string object holding a copy of the
// text, whose ToString answers it.
RCPtr<LTaggableObject> CreateStringItem(const StringT<wchar_t, char>& text);

} // namespace KX
