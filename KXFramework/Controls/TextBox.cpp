// The text box's editing model: the text and its change notification, the
// caret and the selection, the operations that edit the text, word bounds,
// and the four edit operations the clipboard performs on it.
#include "Controls/TextBox.h"

#include "Application/FrameworkApp.h"
#include "ControlBase/Look.h"
#include "Notification/NotificationIDs.h"
#include "System/ClipBoard.h"
#include "System/WrapperStringable.h"

#include <algorithm>
#include <cstdlib>
#include <cwctype>

namespace KX {

namespace {

// Word separators: white space in the classic classification (the program
// never changes its locale).
bool IsSeparator(wchar_t character)
{
    return std::iswspace(static_cast<wint_t>(character)) != 0;
}

RCPtr<LClipboard> ApplicationClipboard()
{
    LFrameworkApp* application = LFrameworkApp::sInstance;
    return application ? application->GetClipboard() : RCPtr<LClipboard>();
}

} // namespace

LTextBox::LTextBox(const RCPtr<LControl>& parent, const String& name) : LScrollView(parent, name) {}

LTextBox::~LTextBox() = default;

// ---- The text ----

KXRESULT LTextBox::SetText(const String& text)
{
    return SetTextEx(text, true);
}

int32_t LTextBox::SetTextEx(const String& text, bool resetCaret)
{
    const RCPtr<LControl> self(this);
    if (!ChangeText(text, true))
        return 1;

    // The content is as large as the text laid out in look 0.
    if (mLooks.GetCount() > 0 && mLooks.GetAt(0) && mLooks.GetAt(0)->GetTextLayout()) {
        const PointT<long> bounds = mLooks.GetAt(0)->GetTextLayout()->GetTextBounds();
        SetClientExtent(static_cast<double>(bounds.x), static_cast<double>(bounds.y));
    }

    ClearSelection();
    if (resetCaret) {
        SetCaretPosition(0, true);
    } else if (mCaret > GetTextLength()) {
        // A shorter text (a listener's correction, say) brings the caret to
        // its end: a caret past the end would refuse every later move.
        SetCaretPosition(GetTextLength(), true);
    } else {
        // The caret keeps its index; the text before it may have changed.
        mAnchor = mCaret;
        UpdateCaretRect();
    }

    // The looks took the new text; the cue look keeps the cue text.
    if (!mCueText.IsEmpty()) {
        if (const RCPtr<LLook> cue = CueTextLook()) {
            cue->SetText(mCueText);
            UpdateLooks();
        }
    }

    SendNotificationWithData(NID_TEXTBOX_TEXT_CHANGE, RCPtr<LRefCountedObject>(self.Get()));
    return S_OK;
}

// ---- Caret and selection ----

KXRESULT LTextBox::SetCaretPosition(int32_t index, bool force)
{
    if (index < 0 || index > GetTextLength())
        return E_INVALIDARG;
    if (index == mCaret && !force) {
        if (mSelLength == 0)
            mAnchor = mCaret;
        return S_FALSE;
    }
    const bool moved = index != mCaret;
    mCaret = index;
    if (mSelLength == 0)
        mAnchor = index;
    UpdateCaretRect();
    RestartBlink();
    return moved ? S_OK : S_FALSE;
}

void LTextBox::ClearSelection()
{
    const bool had = mSelLength > 0;
    mSelStart = 0;
    mSelLength = 0;
    // Without a selection the anchor is the caret, so that a selection made
    // from the keyboard next starts where the caret is.
    mAnchor = mCaret;
    if (had)
        UpdateLooks();
}

void LTextBox::SelectRange(int32_t first, int32_t last)
{
    if (first == -1) {
        ClearSelection();
        return;
    }
    if (first < -1)
        return;
    const int32_t length = GetTextLength();
    int32_t start = 0;
    int32_t count = length;
    if (!(first == 0 && last == -1)) {
        if (first >= length || last < 0 || last >= length)
            return;
        start = std::min(first, last);
        count = std::abs(last - first) + 1;
    }
    const bool changed = start != mSelStart || count != mSelLength;
    mSelStart = start;
    mSelLength = count;
    mAnchor = start;
    if (changed)
        UpdateLooks();
}

void LTextBox::SetSelection(int32_t start, int32_t length, int32_t anchor)
{
    if (length > 0) {
        SelectRange(start, start + length - 1);
    } else if (start != mSelStart || mSelLength > 0) {
        mSelStart = start;
        mSelLength = 0;
        UpdateLooks();
    }
    mAnchor = anchor;
}

KXRESULT LTextBox::ExtendSelectionTo(int32_t index)
{
    const int32_t anchor = mAnchor;
    const int32_t count = std::abs(index - anchor);
    const int32_t start = std::min(anchor, index);
    if (count > 0) {
        SelectRange(start, start + count - 1);
    } else if (start != mSelStart || mSelLength > 0) {
        mSelStart = start;
        mSelLength = 0;
        UpdateLooks();
    }
    mAnchor = anchor;
    return SetCaretPosition(index, false);
}

// ---- Editing ----

bool LTextBox::InsertCharacter(wchar_t character)
{
    const RCPtr<LControl> self(this);
    String text = mText;
    if (mSelLength > 0) {
        text.Remove(mSelStart, mSelLength);
        SetCaretPosition(mSelStart, false);
        ClearSelection();
    }
    text.Insert(mCaret, String(character));
    if (SetTextEx(text, false) != S_OK)
        return true;
    SetCaretPosition(mCaret + 1, true);
    return false;
}

bool LTextBox::DeleteRange(int32_t start, int32_t count)
{
    const RCPtr<LControl> self(this);
    String text = mText;
    text.Remove(start, count);
    if (SetTextEx(text, false) != S_OK)
        return true;
    SetCaretPosition(start, true);
    return false;
}

void LTextBox::DeleteSelection()
{
    if (mSelLength > 0)
        DeleteRange(mSelStart, mSelLength);
}

KXRESULT LTextBox::ReplaceSelection(const String& replacement)
{
    if (mSelLength <= 0)
        return E_FAIL;
    const RCPtr<LControl> self(this);
    const int32_t start = mSelStart;
    String text = mText;
    text.Remove(start, mSelLength);
    text.Insert(start, replacement);
    const KXRESULT result = SetTextEx(text, false);
    SetCaretPosition(std::min(start + replacement.GetLength(), GetTextLength()), true);
    ClearSelection();
    return result;
}

int32_t LTextBox::FindNextWordStart() const
{
    const int32_t length = GetTextLength();
    int32_t i = mCaret;
    if (i >= length)
        return length;
    while (i < length && IsSeparator(mText.GetAt(i)))
        ++i;
    while (i < length && !IsSeparator(mText.GetAt(i)))
        ++i;
    while (i < length && IsSeparator(mText.GetAt(i)))
        ++i;
    return i;
}

int32_t LTextBox::FindWordStart() const
{
    if (mCaret <= 0)
        return 0;
    int32_t i = std::min(mCaret, GetTextLength()) - 1;
    if (i < 0)
        return 0;
    while (i > 0 && IsSeparator(mText.GetAt(i)))
        --i;
    while (i > 0 && !IsSeparator(mText.GetAt(i)))
        --i;
    return IsSeparator(mText.GetAt(i)) ? i + 1 : i;
}

// ---- Edit operations ----

bool LTextBox::CanEdit()
{
    return true;
}

bool LTextBox::CanPerformEdit(int32_t request)
{
    if (request == kEditDelete || request == kEditCut || request == kEditCopy)
        return mSelLength > 0;
    String text;
    return ClipboardText(text);
}

bool LTextBox::ClipboardText(String& text)
{
    const RCPtr<LClipboard> clipboard = ApplicationClipboard();
    const RCPtr<LStringObject> object =
        clipboard ? RCPtr<LStringObject>::DynamicCast(clipboard->GetData()) : RCPtr<LStringObject>();
    if (!object)
        return false;
    text = object->GetValue();
    return true;
}

KXRESULT LTextBox::PerformEdit(int32_t request)
{
    const RCPtr<LControl> self(this);
    switch (request) {
    case kEditCopy:
    case kEditCut: {
        if (mSelLength <= 0)
            return E_FAIL;
        const RCPtr<LClipboard> clipboard = ApplicationClipboard();
        if (!clipboard)
            return E_FAIL;
        const RCPtr<LStringObject> selected = LStringObject::Create(mText.Mid(mSelStart, mSelLength));
        clipboard->SetData(RCPtr<LRefCountedObject>(selected.Get()));
        if (request == kEditCut)
            DeleteSelection();
        return S_OK;
    }
    case kEditDelete:
        if (mSelLength <= 0)
            return E_FAIL;
        DeleteSelection();
        return S_OK;
    case kEditPaste: {
        String pasted;
        if (!ClipboardText(pasted))
            return E_FAIL;
        if (mSelLength > 0)
            return ReplaceSelection(pasted);
        String text = mText;
        text.Insert(mCaret, pasted);
        if (SetTextEx(text, false) != S_OK)
            return E_FAIL;
        SetCaretPosition(mCaret + pasted.GetLength(), true);
        return S_OK;
    }
    default:
        return E_FAIL;
    }
}

} // namespace KX
