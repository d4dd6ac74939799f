// The text box's input: the editing keys, typed characters with their filter,
// and selection with the mouse.
#include "Controls/TextBox.h"

#include "System/KeyCode.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

namespace KX {

namespace {

// Whole key words of the commands: virtual key in bits 16-23, key down,
// modifiers.
constexpr uint32_t kLeft = 0x20250000;
constexpr uint32_t kRight = 0x20270000;
constexpr uint32_t kShiftLeft = 0x22250000;
constexpr uint32_t kShiftRight = 0x22270000;
constexpr uint32_t kCtrlLeft = 0x21250000;
constexpr uint32_t kCtrlRight = 0x21270000;
constexpr uint32_t kCtrlShiftLeft = 0x23250000;
constexpr uint32_t kCtrlShiftRight = 0x23270000;
constexpr uint32_t kHome = 0x20240000;
constexpr uint32_t kEnd = 0x20230000;
constexpr uint32_t kShiftHome = 0x22240000;
constexpr uint32_t kShiftEnd = 0x22230000;
constexpr uint32_t kBackspace = 0x20080000;
constexpr uint32_t kShiftDelete = 0x222E0000;
constexpr uint32_t kDelete = 0x202E0000;
constexpr uint32_t kCtrlDelete = 0x212E0000;
constexpr uint32_t kEnter = 0x200D0000;

// Up and Down, alone or with Shift, Ctrl or both: for the controls around.
bool IsVerticalArrow(uint32_t keyWord)
{
    const uint32_t key = keyWord & ~(KeyCode::CtrlBit | KeyCode::ShiftBit);
    return key == 0x20260000 || key == 0x20280000;
}

// Space, digits and letters: keys whose character arrives on its own.
bool MakesCharacter(uint32_t virtualKey)
{
    return virtualKey == 0x20 || (virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z');
}

constexpr int32_t kModifierCtrl = 0x01;
constexpr int32_t kModifierShift = 0x08;

} // namespace

// ---- Keys ----

KXRESULT LTextBox::OnKey(const RCPtr<LKeyParam>& param)
{
    if (!param)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    const uint32_t keyWord = param->mKey.GetCode();
    const int32_t length = GetTextLength();
    switch (keyWord) {
    case kLeft:
        ClearSelection();
        return mCaret == 0 ? S_OK : MoveCaretTo(mCaret - 1);
    case kRight:
        ClearSelection();
        return mCaret >= length ? S_OK : MoveCaretTo(mCaret + 1);
    case kShiftLeft:
        return OnShiftLeft();
    case kShiftRight:
        return OnShiftRight();
    case kCtrlLeft:
        ClearSelection();
        return MoveCaretTo(FindWordStart());
    case kCtrlRight:
        ClearSelection();
        return MoveCaretTo(FindNextWordStart());
    case kCtrlShiftLeft:
        ExtendSelectionTo(FindWordStart());
        return S_OK;
    case kCtrlShiftRight:
        ExtendSelectionTo(FindNextWordStart());
        return S_OK;
    case kHome:
        ClearSelection();
        return MoveCaretTo(0);
    case kEnd:
        ClearSelection();
        return MoveCaretTo(length);
    case kShiftHome:
        if (mCaret == 0)
            return S_OK;
        SetSelection(0, mAnchor, mAnchor);
        return MoveCaretTo(0);
    case kShiftEnd:
        if (mCaret >= length)
            return S_OK;
        SetSelection(mAnchor, length - mAnchor, mAnchor);
        return MoveCaretTo(length);
    case kBackspace:
    case kShiftDelete:
        return DeleteBackward();
    case kDelete:
        return DeleteForward(false);
    case kCtrlDelete:
        return DeleteForward(true);
    case kEnter:
        return Validate()->mIsValid ? S_FALSE : S_OK;
    default:
        if (IsVerticalArrow(keyWord))
            return S_FALSE;
        return OnOtherKey(keyWord);
    }
}

KXRESULT LTextBox::OnOtherKey(uint32_t keyWord)
{
    if ((keyWord & KeyCode::VirtualKeyMask) != 0 || (keyWord & KeyCode::NoKey) != 0) {
        // Releases and the like are the text box's and do nothing.
        if ((keyWord & KeyCode::NoKey) != 0 || (keyWord & KeyCode::KeyDownBit) == 0)
            return S_OK;
        const uint32_t virtualKey = (keyWord & KeyCode::VirtualKeyMask) >> 16;
        if (!MakesCharacter(virtualKey))
            return S_FALSE;
        // With Ctrl, Alt or the Windows key the key may be a hot key;
        // otherwise its character follows as a typed character.
        const bool hotKeyModifier = (keyWord & (KeyCode::CtrlBit | KeyCode::AltBit | KeyCode::CommandBit)) != 0;
        return hotKeyModifier ? S_FALSE : S_OK;
    }

    // A typed character: its low 16 bits, whatever modifier bits came with it.
    const wchar_t character = static_cast<wchar_t>(keyWord & KeyCode::CharacterMask);
    if (!std::iswprint(static_cast<wint_t>(character)) || character == L'\t')
        return S_FALSE;
    if (!mFilterChars.IsEmpty()) {
        const bool listed = std::find(mFilterChars.GetData(), mFilterChars.GetData() + mFilterChars.GetLength(),
                                      character) != mFilterChars.GetData() + mFilterChars.GetLength();
        if (listed != mFilterAllows)
            return S_OK;
    }
    InsertCharacter(character);
    return S_OK;
}

KXRESULT LTextBox::MoveCaretTo(int32_t index)
{
    SetCaretPosition(index, false);
    return S_OK;
}

KXRESULT LTextBox::OnShiftLeft()
{
    if (mCaret == 0)
        return S_OK;
    if (mSelLength > 0) {
        if (mAnchor < mCaret)
            SetSelection(mSelStart, mSelLength - 1, mAnchor); // the selection gives back its last character
        else
            SetSelection(mSelStart - 1, mSelLength + 1, mAnchor); // it grows to the left
    } else {
        SelectRange(mCaret - 1, mCaret - 1);
        mAnchor = mCaret;
    }
    return MoveCaretTo(mCaret - 1);
}

KXRESULT LTextBox::OnShiftRight()
{
    if (mCaret >= GetTextLength())
        return S_OK;
    if (mSelLength > 0) {
        if (mCaret < mAnchor)
            SetSelection(mSelStart + 1, mSelLength - 1, mAnchor); // it gives back its first character
        else
            SetSelection(mSelStart, mSelLength + 1, mAnchor); // it grows to the right
    } else {
        SelectRange(mCaret, mCaret);
        mAnchor = mCaret;
    }
    return MoveCaretTo(mCaret + 1);
}

KXRESULT LTextBox::DeleteBackward()
{
    if (mSelLength > 0)
        DeleteRange(mSelStart, mSelLength);
    else if (mCaret > 0)
        DeleteRange(mCaret - 1, 1);
    return S_OK;
}

KXRESULT LTextBox::DeleteForward(bool toEnd)
{
    const int32_t length = GetTextLength();
    if (mSelLength > 0)
        DeleteRange(mSelStart, mSelLength);
    else if (toEnd)
        DeleteRange(mCaret, length - mCaret);
    else if (mCaret < length)
        DeleteRange(mCaret, 1);
    return S_OK;
}

// ---- The mouse ----

void LTextBox::OnLeftButtonDown(const RCPtr<LMouseButtonParam>& param)
{
    if (!param)
        return;
    const RCPtr<LControl> self(this);
    const int32_t index = GetCharIndexAtPoint(param->GetPoint());
    if (param->mModifiers & kModifierShift) {
        ExtendSelectionTo(index);
        return;
    }
    ClearSelection();
    SetCaretPosition(index, false);
    mAnchor = index;
}

void LTextBox::OnMouseMove(const RCPtr<LPointWithModifiersParam>& param)
{
    if (!param || !mLeftDrag)
        return;
    const RCPtr<LControl> self(this);
    // Above, below or beside the field the selection still follows along
    // the line.
    const RectT<float> area = GetTextArea();
    const long left = static_cast<long>(std::trunc(area.x));
    const long top = static_cast<long>(std::trunc(area.y));
    const long right = static_cast<long>(std::trunc(area.x + area.width));
    const long bottom = static_cast<long>(std::trunc(area.y + area.height));
    const PointT<long> point(std::max(left, std::min(right, static_cast<long>(param->mX))),
                             std::max(top, std::min(bottom, static_cast<long>(param->mY))));
    ExtendSelectionTo(GetCharIndexAtPoint(point));
}

void LTextBox::OnLeftClick(const RCPtr<LMouseButtonParam>& param)
{
    if (!param || !(param->mDoubleClick != 0 || (param->mModifiers & kModifierCtrl)))
        return;
    const RCPtr<LControl> self(this);
    // The word at the caret, without the separators after it.
    ClearSelection();
    SetCaretPosition(FindWordStart(), false);
    int32_t end = FindNextWordStart();
    while (end > 0 && std::iswspace(static_cast<wint_t>(mText.GetAt(end - 1))))
        --end;
    ExtendSelectionTo(end);
}

} // namespace KX
