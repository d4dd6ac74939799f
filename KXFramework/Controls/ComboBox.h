// KX::LComboBox ("Framework.ComboBox" and "Framework.ComboTextBox"): shows one
// chosen text and drops a list of choices below or above itself. Its
// drop-down part is the skin's child list box "listBox", kept in drop-down
// mode; with a text box child "textBox" the user may also type a text, which
// chooses the matching item when it is validated.
//
// Contract:
// - The combo box's own text is the chosen item's text; -1 is "nothing
//   chosen". The items come from the combo box's "ITEM." strings; the box
//   starts on item "INITIAL_SELECTED_INDEX" (create parameter, default 0),
//   shown in the text field too when there is one.
// - A text is looked up in the list without regard to case (SetText, a
//   validated field); the opening list marks the item equal to the text,
//   case-sensitively, else the first item.
// - The list opens below the box, or above it when there is not enough room
//   below (5 pixels are kept from the window's edges), with a height that
//   fits the room in whole rows; a press that opens it can be dragged onto a
//   choice and released there.
// - Keys: Down or Enter open a closed list; Escape closes an open one (also
//   from the list or the field). Every other key goes on as a control's key
//   does: to the siblings, the window's key bindings and the application's
//   hot keys.
// - Notifications: "NID_DROPDOWN_OPENING" before the list opens,
//   "NID_SELECTION_CHANGE" when another item is chosen; the field's
//   "NID_TEXTBOX_VALIDATING", "NID_TEXTBOX_VALIDATED" and
//   "NID_TEXTBOX_TEXT_CHANGE" passed on with their data.
// - Looks: the drop-down field's (LDropDownControl::kFieldLook...): 0 normal,
//   1 focused, 2 hovered, 3 hovered and focused, 4 open, 5 open and hovered,
//   6 disabled.
// - A skin without "listBox" fails Initialize.
// - User-interface thread only.
//
// The implementation: ComboBox.cpp (creation, items, choice, looks, keys,
// notifications) and ComboBoxDropDown.cpp (opening and placing the list).
#pragma once

#include "Controls/DropDownControl.h"
#include "Controls/ListBox.h"
#include "Controls/TextBox.h"

namespace KX {

class LComboBox : public LDropDownControl
{
public:
    using ComboHandler = LNotificationHandler<LComboBox>;

    // Room kept between the list and the window's edges, in pixels.
    static constexpr double kWindowMargin = 5.0;

    // Key words.
    static constexpr uint32_t kDownKey = 0x20280000;
    static constexpr uint32_t kEnterKey = 0x200D0000;
    static constexpr uint32_t kEscapeKey = 0x201B0000;

    LComboBox(const RCPtr<LControl>& parent, const String& name);

    // ==== Overridden slots ====

    // A changed text chooses the item of that text (without regard to case),
    // or nothing. 0 when the text changed, 1 when it was equal.
    KXRESULT SetText(const String& text) override;
    // Notes where a left press is in the list's coordinates; the drop-down
    // rule; the look.
    void OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
    // Down and Enter open a closed list, Escape closes an open one: 0. 1 else.
    KXRESULT OnKey(const RCPtr<LKeyParam>& param) override;
    // Escape closes an open list: 0. Every other key as the base passes it.
    KXRESULT ProcessHotKey(const RCPtr<LKeyParam>& param) override;
    // The drop-down base's; then the list, the bindings and the items.
    // E_FAIL without "listBox".
    KXRESULT Initialize() override;
    // The base's; then "INITIAL_SELECTED_INDEX".
    KXRESULT ApplyCreateParams() override;
    // The list starts hidden, with size limits from its skin.
    KXRESULT OnCreated() override;
    // The whole text while it does not fit, else the "TOOLTIP" text.
    String GetToolTipText() override;
    // The list is shown and has a size.
    bool IsDropDownShown() override;
    KXRESULT ShowDropDown(bool show) override;

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;

    // ==== The combo box's own slots ====

    // The list's SetItemCount; a chosen item past the end is no longer
    // chosen; an open list is placed again. E_FAIL without a list.
    virtual KXRESULT SetItemCount(int32_t count);
    // Chooses item i (-1: none, keeping the text): the text, the field and
    // "NID_SELECTION_CHANGE" when another item is chosen. The chosen index.
    virtual int32_t SetSelectedIndex(int32_t index);
    // The look for the state. 0.
    virtual KXRESULT UpdateLook();

    // ==== Items ====

    // The list's text object of the item; the shared null pointer without one.
    const RCPtr<LTaggableObject>& GetItemObject(int32_t index);
    // The new index, E_INVALIDARG for a null object, E_FAIL without a list,
    // or the list's failure. The chosen item stays chosen; with nothing
    // chosen, an item equal to the text (case-sensitively) is chosen.
    int32_t InsertItem(int32_t index, const RCPtr<LTaggableObject>& text);
    int32_t AddItem(const String& text);
    int32_t GetSelectedIndex() const { return mSelectedIndex; }
    const RCPtr<LListBox>& GetListBox() const { return mListBox; }

    // Opens (places and shows) or closes the list. E_FAIL without a list.
    KXRESULT DoShowDropDown(bool show);
    // The list's size limits from the layout its skin gave it. E_FAIL
    // without a list.
    KXRESULT ApplyListSizeLimits();

protected:
    ~LComboBox() override;

    // The "textBox" child as a text box, or null.
    RCPtr<LTextBox> TextField() const;

private:
    // Opening: the side with room, the height limit and the placement.
    void PlaceList();
    // Opening: the item equal to the text (else the first) is marked.
    void MarkCurrentText();

    KXRESULT OnListItemActivated(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification);
    KXRESULT OnListVisibilityChange(const RCPtr<LNotificationDistributor>& sender,
                                    const RCPtr<LNotification>& notification);
    KXRESULT OnFieldFocusChange(const RCPtr<LNotificationDistributor>& sender,
                                const RCPtr<LNotification>& notification);
    // "NID_TEXTBOX_VALIDATING" and "NID_TEXTBOX_TEXT_CHANGE": passed on. 0.
    KXRESULT OnFieldNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification);
    KXRESULT OnFieldValidated(const RCPtr<LNotificationDistributor>& sender,
                              const RCPtr<LNotification>& notification);

    RCPtr<ComboHandler> mComboHandler;
    RCPtr<LListBox> mListBox;
    int32_t mSelectedIndex = -1;
    int32_t mInitialSelectedIndex = 0;
    PointT<double> mPressPoint;
};

} // namespace KX
