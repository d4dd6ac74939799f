// KX::LTextBox ("Framework.TextBox"): the framework's single-line editable text
// field. The text is the control's label text, so the looks draw it like any
// label; the text box adds a caret, a selection, the editing keys, selection
// with the mouse, the four edit operations of the clipboard, a cue text, a
// context menu with the edit commands, and validation of the text by its
// listeners.
//
// Contract:
// - Positions are UTF-16 code units of the text: 0 <= caret <= length. With a
//   selection (length > 0) the selected characters are start .. start +
//   length - 1; the anchor is the fixed end of a selection being extended
//   (equal to the caret while there is none).
// - Every change of the text goes through SetTextEx, which clears the
//   selection and sends "NID_TEXTBOX_TEXT_CHANGE" (data: the text box) when
//   the text changed. SetText (a program, a skin) also puts the caret at 0;
//   editing places the caret itself. A text shorter than the caret's position
//   brings the caret to its end.
// - Keys: the arrows, Home, End (with Shift to select, Ctrl to move by
//   words), Backspace, Delete (Shift+Delete as Backspace, Ctrl+Delete to the
//   end) and typed characters are the text box's; Enter validates and goes on
//   when the text is valid; Up, Down, Tab and keys with Ctrl, Alt or the
//   Windows key go on to navigation and hot keys. A typed character is a key
//   word with no virtual key (bits 16-23) and without the no-key bit; the
//   character is its low 16 bits, whatever modifier bits it carries. Typed
//   characters pass the character filter; pasted text does not.
// - Mouse: a press puts the caret at the character boundary under the pointer
//   (Shift extends the selection), a drag selects, a double click or a
//   Ctrl+click selects the word.
// - Edit operations (0 delete, 1 cut, 2 copy, 3 paste) go through the
//   application's clipboard; copy and paste of text use string objects.
//   The context menu ("EDIT_CUT", "EDIT_COPY", "EDIT_PASTE", "EDIT_DELETE"
//   of the application's strings) is built when the text box joins a root
//   window. An edit request that reaches the text box itself (a context-menu
//   item) acts as its key binding would when one binds it, else on this text
//   box directly.
// - Validation (Enter, a focus change, AcceptsInput): "NID_TEXTBOX_VALIDATING"
//   lets listeners correct (mProposedText) or refuse (mIsValid) the text; an
//   accepted text is taken without moving the caret to 0 and
//   "NID_TEXTBOX_VALIDATED" follows. A refused text keeps the focus in the box.
// - Display: the caret is a 1-pixel line that blinks (0.5 s shown, 0.3 s
//   hidden) while the box has the focus, white on dark looks and black on
//   light ones. Looks: 0 normal, 1 hovered, 2 background behind the cue
//   text, 3 focused, 4 focused and hovered, 6 disabled, 9 the cue text, 10
//   the selection, 11 the selection while hovered (see UpdateLooks).
// - User-interface thread only; times from the application clock.
//
// The implementation is split by responsibility:
//   TextBox.cpp            text, caret, selection and editing operations
//   TextBoxInput.cpp       keys and the mouse
//   TextBoxGeometry.cpp    characters' places, hit testing, lines
//   TextBoxDisplay.cpp     caret drawing and blinking, looks, conditions, scrolling
//   TextBoxValidation.cpp  validation, focus, context menu, creation
#pragma once

#include "Controls/ScrollView.h"
#include "Controls/TextValidationParams.h"

#include <cstdint>

namespace KX {

class LTextBox : public LScrollView
{
public:
    using TextBoxHandler = LNotificationHandler<LTextBox>;

    // Look indices.
    static constexpr int32_t kLookNormal = 0;
    static constexpr int32_t kLookHovered = 1;
    static constexpr int32_t kLookCueBackground = 2;
    static constexpr int32_t kLookFocused = 3;
    static constexpr int32_t kLookFocusedHovered = 4;
    static constexpr int32_t kLookDisabled = 6;
    static constexpr int32_t kLookCueText = 9;
    static constexpr int32_t kLookSelection = 10;
    static constexpr int32_t kLookSelectionHovered = 11;

    // Edit operation codes.
    static constexpr int32_t kEditDelete = 0;
    static constexpr int32_t kEditCut = 1;
    static constexpr int32_t kEditCopy = 2;
    static constexpr int32_t kEditPaste = 3;

    // Blink phases, in seconds.
    static constexpr double kCaretShownTime = 0.5;
    static constexpr double kCaretHiddenTime = 0.3;

    LTextBox(const RCPtr<LControl>& parent, const String& name);

    // ==== Overridden slots of the control ====

    // SetTextEx (text, true): the caret goes to 0. 0 when the text changed,
    // 1 when it was equal.
    KXRESULT SetText(const String& text) override;
    // Guarded against re-entry; the scroll view's; a running horizontal
    // kinetic scroll stops at either end; a left drag follows the pointer
    // with the selection, otherwise the looks follow the offset.
    const PointT<double>& SetScrollOffset(const PointT<double>& offset) override;
    bool CanEdit() override;
    // Delete, cut, copy: a selection exists; paste: the clipboard holds text.
    bool CanPerformEdit(int32_t request) override;
    // 0, or E_FAIL when there is nothing to do (see the contract above).
    KXRESULT PerformEdit(int32_t request) override;
    // A focused text box validates first (the answer does not matter); then
    // the scroll view's.
    KXRESULT SetFocus(bool first) override;
    // Focus, hover, enabled and left-drag changes (caret blinking, text
    // input, looks, cursor).
    void OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
    // Builds the edit context menu, then the scroll view's.
    KXRESULT ProcessRootWindowAquired() override;
    // The edit requests: enabled when the clipboard says the focused
    // control's edit target can perform them now. 0; 1 for other items.
    KXRESULT UpdateMenuItem(const RCPtr<LMenuDescriptor>& menu, int32_t itemIndex, const wchar_t* notificationId,
                            MenuItemState& state) override;
    // The scroll view's; a "LABEL" string becomes the cue text, never the
    // content.
    KXRESULT ApplyControlDescriptor(const RCPtr<LControlDescriptor>& descriptor) override;
    void OnLeftButtonDown(const RCPtr<LMouseButtonParam>& param) override;
    void OnMouseMove(const RCPtr<LPointWithModifiersParam>& param) override;
    void OnLeftClick(const RCPtr<LMouseButtonParam>& param) override;
    // 0 handled, 1 passed on (see the contract above).
    KXRESULT OnKey(const RCPtr<LKeyParam>& param) override;
    // The caret's blinking.
    void OnIdle() override;
    // The caret.
    KXRESULT RenderContent(const RCPtr<LRenderer>& renderer) override;
    // The scroll view's, then the looks scroll with the text and the caret
    // is placed. 0, or the scroll view's failure.
    KXRESULT Initialize() override;
    // The whole text while it does not fit, else the "TOOLTIP" text.
    String GetToolTipText() override;
    // Validates; whether the text is valid.
    bool AcceptsInput() override;

    KXRESULT ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                 const RCPtr<LNotification>& notification) override;
    KXRESULT UnregisterNotification(const RCPtr<LNotificationDistributor>& sender,
                                    const wchar_t* identifier) override;

    // ==== The text box's own slot ====

    // Stores the text (1 and nothing else when it is equal), sizes the client
    // extent to the text, clears the selection, puts the caret at 0 when
    // resetCaret (else keeps it, limited to the text), restores the cue text
    // look and sends "NID_TEXTBOX_TEXT_CHANGE". 0.
    virtual int32_t SetTextEx(const String& text, bool resetCaret);

    // ==== Caret and selection ====

    // E_INVALIDARG outside 0..length. Unforced at the same index: 1, the
    // anchor follows the caret when nothing is selected. Otherwise the caret
    // moves there and shows at once: 0 when it moved, 1 when it was forced in
    // place.
    KXRESULT SetCaretPosition(int32_t index, bool force);
    void ClearSelection();
    // -1: clear; (0, -1): everything; otherwise the characters first..last in
    // either order, both inside the text (else nothing), anchored at the lower.
    void SelectRange(int32_t first, int32_t last);
    // A selection of `length` characters at `start` (none for length <= 0),
    // then the anchor.
    void SetSelection(int32_t start, int32_t length, int32_t anchor);
    // Selects from the anchor to the index and moves the caret there; the
    // anchor stays. SetCaretPosition's result.
    KXRESULT ExtendSelectionTo(int32_t index);

    // ==== Editing ====

    // Replaces the selection (if any) by the character at the caret. True when
    // the text did not change.
    bool InsertCharacter(wchar_t character);
    // Takes count characters out at start; the caret goes to start. True when
    // the text did not change.
    bool DeleteRange(int32_t start, int32_t count);
    void DeleteSelection();
    // E_FAIL without a selection; else SetTextEx's answer, with the caret
    // after the inserted text.
    KXRESULT ReplaceSelection(const String& text);
    // The start of the word at or before the caret (0 at the start).
    int32_t FindWordStart() const;
    // The start of the next word after the caret, or the length.
    int32_t FindNextWordStart() const;
    int32_t GetTextLength() const { return mText.GetLength(); }

    // ==== Geometry (control coordinates unless said otherwise) ====

    // Look 0's text area for the control's size; empty without text
    // properties.
    RectT<float> GetTextArea() const;
    // Where line 0 of look 0's text starts: the text area's corner plus the
    // line's position in it.
    PointT<float> GetTextOrigin() const;
    // The character at the index: its left edge (after the characters before
    // it), the origin's top, its width less 1 and its height. Empty outside
    // 0..length; at the length an empty character.
    RectT<float> GetCharRect(int32_t index) const;
    // From the left edge of character a to the right edge of character b (in
    // either order); GetCharRect (a) when equal; empty outside 0..length.
    RectT<float> GetCharRangeRect(int32_t a, int32_t b) const;
    // The caret position nearest to a point: the point is first brought into
    // the text area and moved by the scroll offset; a point on a character's
    // right half lies after it. A character reaches from the caret before it
    // to the caret after it, so no point lies between two characters.
    int32_t GetCharIndexAtPoint(const PointT<long>& point) const;
    // The text of a laid-out line of look 0, cut to maxLength when that is not
    // 0; `text` is left alone past the last line.
    void GetLineText(int32_t line, String& text, int32_t maxLength) const;
    // The caret's rectangle from its index and the font.
    void UpdateCaretRect();
    // Selects the looks and look regions for the state, the selection and
    // the cue text.
    void UpdateLooks();

    // ==== Validation ====

    // Lets the listeners correct or refuse the text; the text box takes a
    // corrected text. The parameters the listeners saw.
    RCPtr<LTextValidationParams> Validate();

    // ==== State ====

    int32_t GetCaretPosition() const { return mCaret; }
    int32_t GetSelectionStart() const { return mSelStart; }
    int32_t GetSelectionLength() const { return mSelLength; }
    bool HasSelection() const { return mSelLength > 0; }
    int32_t GetAnchor() const { return mAnchor; }
    const RectT<float>& GetCaretRect() const { return mCaretRect; }
    bool IsCaretVisible() const { return mCaretVisible; }
    double GetNextBlinkTime() const { return mNextBlinkTime; }
    const String& GetCueText() const { return mCueText; }
    const String& GetFilterChars() const { return mFilterChars; }
    bool GetFilterAllows() const { return mFilterAllows; }
    // The characters the typed-character filter tests (empty: no filter);
    // allows true: only they may be typed, false: they may not.
    void SetFilter(const String& characters, bool allows)
    {
        mFilterChars = characters;
        mFilterAllows = allows;
    }

protected:
    ~LTextBox() override;

private:
    // ---- Keys (TextBoxInput.cpp) ----
    // A key word that is no command: virtual keys and typed characters.
    KXRESULT OnOtherKey(uint32_t keyWord);
    // Moving the caret by a key: SetCaretPosition (index, unforced); 0.
    KXRESULT MoveCaretTo(int32_t index);
    KXRESULT OnShiftLeft();
    KXRESULT OnShiftRight();
    // Backspace, Delete and Ctrl+Delete; 0.
    KXRESULT DeleteBackward();
    KXRESULT DeleteForward(bool toEnd);

    // ---- Geometry (TextBoxGeometry.cpp) ----
    // The renderer text is measured with: the application's.
    RCPtr<LRenderer> MeasuringRenderer() const;
    // The rectangle the renderer measures for a text in the control's font.
    RectT<float> MeasureInFont(const String& text) const;
    // The left edge of the character at the index: the text origin plus the
    // width of the characters before it.
    float CharLeftEdge(int32_t index) const;

    // ---- Display (TextBoxDisplay.cpp) ----
    // The whole control, for repaints.
    void InvalidateWhole();
    // Shows the caret and starts a new blink phase.
    void RestartBlink();
    // Look 9 when the skin gives that many looks, else null.
    RCPtr<LLook> CueTextLook() const;
    // Shows the cue text over look 2 when it is due; true when it did.
    bool ShowCueText();
    // Shows the selection in look 10 or 11 over the base look; true when
    // there was a visible part of a selection to show.
    bool ShowSelection(int32_t baseLook, bool hot);
    void OnFocusGained();
    void OnFocusLost();
    // The root window whose OS window is told about text input.
    RCPtr<LRootWindow> TextInputWindow() const;

    // ---- Edit requests (TextBoxValidation.cpp; the clipboard's text in TextBox.cpp) ----
    // An edit request that reached the text box itself and that no key
    // binding forwards: performed on this text box. 1.
    KXRESULT OnEditRequest(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>& notification);
    // The edit operation of an edit request's identifier, or -1.
    static int32_t EditOperationOf(const wchar_t* notificationId);
    // The clipboard's current text, or false when it holds none.
    static bool ClipboardText(String& text);

    // ---- Fields, in order ----
    String mFilterChars;
    bool mFilterAllows = true;
    String mCueText;
    int32_t mCaret = 0;
    int32_t mSelStart = 0;
    int32_t mSelLength = 0;
    int32_t mAnchor = 0;
    RectT<float> mCaretRect;
    bool mInScrollOffsetChange = false;
    bool mCaretVisible = true;
    double mNextBlinkTime = 0.0;
    RCPtr<TextBoxHandler> mTextBoxHandler;
};

} // namespace KX
