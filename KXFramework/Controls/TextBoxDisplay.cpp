// The text box's display: the caret's place, drawing and blinking, the looks
// that show focus, hover, the selection and the cue text, what the condition
// changes set off, and the scroll offset.
#include "Controls/TextBox.h"

#include "Application/Cursors.h"
#include "Application/FrameworkApp.h"
#include "Application/RootWindow.h"
#include "ControlBase/Look.h"
#include "Controls/ControlClock.h"
#include "Renderer/Renderer.h"
#include "Utilities/Graphics/Font.h"

#include <algorithm>
#include <cmath>

namespace KX {

namespace {

// Coordinates are limited to what a float holds exactly.
constexpr double kFloatLimit = 8388608.0;
// A float rectangle this thin or thinner is empty.
constexpr float kEmptyExtent = 1.1920929e-07f;

double ClampToFloatLimit(double value)
{
    return std::max(-kFloatLimit, std::min(kFloatLimit, value));
}

PointT<double> ClampedOffset(const PointT<double>& offset)
{
    return PointT<double>(ClampToFloatLimit(offset.x), ClampToFloatLimit(offset.y));
}

// The larger left and top, the smaller right and bottom; empty (and false)
// when either extent is not above the float epsilon.
bool IntersectFloatRects(const RectT<float>& a, const RectT<float>& b, RectT<float>& out)
{
    const float left = std::max(a.x, b.x);
    const float top = std::max(a.y, b.y);
    const float right = std::min(a.x + a.width, b.x + b.width);
    const float bottom = std::min(a.y + a.height, b.y + b.height);
    out = RectT<float>(left, top, right - left, bottom - top);
    return out.width > kEmptyExtent && out.height > kEmptyExtent;
}

// A look region of one rectangle: each edge rounded by adding a half and
// truncating.
LRectRegion RegionOf(float x, float y, float width, float height)
{
    const long left = static_cast<long>(std::trunc(x + 0.5f));
    const long top = static_cast<long>(std::trunc(y + 0.5f));
    const long right = left + static_cast<long>(std::trunc(width + 0.5f));
    const long bottom = top + static_cast<long>(std::trunc(height + 0.5f));
    LRectRegion region;
    region.AddRect(left, top, right, bottom);
    return region;
}

bool BitBecameSet(uint32_t oldWord, uint32_t newWord, uint32_t bit)
{
    return !(oldWord & bit) && (newWord & bit);
}

bool BitBecameClear(uint32_t oldWord, uint32_t newWord, uint32_t bit)
{
    return (oldWord & bit) && !(newWord & bit);
}

} // namespace

// ---- The caret ----

void LTextBox::UpdateCaretRect()
{
    const PointT<float> origin = GetTextOrigin();
    const RectT<float> before = mCaret > 0 ? MeasureInFont(mText.Left(mCaret)) : RectT<float>();
    const float height = mFont ? static_cast<float>(mFont->GetHeight()) : 0.0f;
    mCaretRect = RectT<float>(origin.x + before.width + before.x - 1.0f, origin.y, 1.0f, height);
}

void LTextBox::InvalidateWhole()
{
    InvalidateRect(RectT<double>(0.0, 0.0, mRect.width, mRect.height), GetLayout().mClipToParent);
}

void LTextBox::RestartBlink()
{
    mCaretVisible = true;
    mNextBlinkTime = ApplicationSeconds() + kCaretShownTime;
    InvalidateWhole();
}

void LTextBox::OnIdle()
{
    const RCPtr<LControl> self(this);
    LScrollView::OnIdle();
    const double now = ApplicationSeconds();
    if (now < mNextBlinkTime)
        return;
    mCaretVisible = !mCaretVisible;
    mNextBlinkTime = now + (mCaretVisible ? kCaretShownTime : kCaretHiddenTime);
    InvalidateWhole();
}

KXRESULT LTextBox::RenderContent(const RCPtr<LRenderer>& renderer)
{
    if (!renderer || !mHasFocus || !mCaretVisible)
        return S_OK;
    const PointT<double> offset = ClampedOffset(mScrollOffset);
    const PointT<float> from(static_cast<float>(mCaretRect.x - offset.x), static_cast<float>(mCaretRect.y - offset.y));
    const PointT<float> to(from.x, static_cast<float>(mCaretRect.y + mCaretRect.height - offset.y));
    // White on dark looks, black on light ones.
    const uint32_t under = GetColorAtPoint(PointT<long>(std::lround(from.x), std::lround(from.y)), GetActiveLookIndex());
    const uint32_t brightness = (((under >> 16) & 0xFF) + ((under >> 8) & 0xFF) + (under & 0xFF)) / 3;
    const uint32_t caret = brightness <= 128 ? 0xFFFFFFFF : 0xFF000000;
    renderer->DrawLine(from, to, LRenderer::Color::FromARGB(caret), 1.0f);
    return S_OK;
}

// ---- Looks ----

RCPtr<LLook> LTextBox::CueTextLook() const
{
    // Only a skin that gives the cue look has one: another look standing in
    // for it would show the cue text in place of the content.
    return mLooks.GetCount() > kLookCueText ? mLooks.GetAt(kLookCueText) : RCPtr<LLook>();
}

void LTextBox::UpdateLooks()
{
    const RCPtr<LControl> self(this);
    if (!IsEnabled(true)) {
        ClearAllLookRegions();
        SelectLook(kLookDisabled, true);
        return;
    }
    const bool hot = mHover || mLeftDrag;
    if (ShowCueText())
        return;
    int32_t base = mHasFocus ? kLookFocused : kLookNormal;
    if (hot)
        ++base;
    if (mHasFocus && ShowSelection(base, hot))
        return;
    ClearAllLookRegions();
    SelectLook(base, true);
}

bool LTextBox::ShowCueText()
{
    if (mHasFocus || !mText.IsEmpty() || mCueText.IsEmpty())
        return false;
    const RCPtr<LLook> cue = CueTextLook();
    const RCPtr<LFontText> layout = cue ? cue->GetTextLayout() : RCPtr<LFontText>();
    if (!layout)
        return true; // no cue look: nothing to change
    const RectT<float> area = GetTextArea();
    const float width = layout->GetLineCount() > 0 ? layout->GetLineRect(0).width : 0.0f;
    SetLookRegion(kLookCueText, RegionOf(area.x, area.y, width, area.height));
    InvalidateLookExcept(kLookCueBackground, kLookCueText);
    SelectLook(kLookCueBackground, true);
    SetLookWeight(kLookCueText, 1.0f, false);
    return true;
}

bool LTextBox::ShowSelection(int32_t baseLook, bool hot)
{
    if (mSelLength <= 0)
        return false;
    const int32_t selectionLook = hot ? kLookSelectionHovered : kLookSelection;
    if (selectionLook >= mLooks.GetCount() || !mLooks.GetAt(selectionLook))
        return false;
    RectT<float> range = GetCharRangeRect(mSelStart, mSelStart + mSelLength - 1);
    const PointT<double> offset = ClampedOffset(mScrollOffset);
    range.x -= static_cast<float>(offset.x);
    range.y -= static_cast<float>(offset.y);
    RectT<float> shown;
    // A selection scrolled out of the field shows nothing (an empty region
    // would let the selection look cover the whole field).
    if (!IntersectFloatRects(range, GetTextArea(), shown))
        return false;
    SetLookRegion(selectionLook, RegionOf(shown.x, shown.y, shown.width, shown.height));
    InvalidateLookExcept(baseLook, selectionLook);
    SelectLook(baseLook, true);
    SetLookWeight(selectionLook, 1.0f, false);
    return true;
}

// ---- Conditions ----

RCPtr<LRootWindow> LTextBox::TextInputWindow() const
{
    LFrameworkApp* application = LFrameworkApp::sInstance;
    return application ? application->GetRootWindow(0) : RCPtr<LRootWindow>();
}

void LTextBox::OnFocusGained()
{
    if (const RCPtr<LRootWindow> window = TextInputWindow())
        window->EnableTextInput(true, RCPtr<LControl>(this));
    UpdateLooks();
    // The caret shows at the next toggle after an earlier focus loss, or at
    // once when it moves.
    mNextBlinkTime = ApplicationSeconds() + kCaretShownTime;
    InvalidateWhole();
    AddIdleRequest();
}

void LTextBox::OnFocusLost()
{
    if (const RCPtr<LRootWindow> window = TextInputWindow())
        window->EnableTextInput(false, RCPtr<LControl>(this));
    ReleaseIdle();
    mCaretVisible = false;
    SetScrollOffset(PointT<double>(0.0, 0.0));
    UpdateLooks();
    InvalidateWhole();
}

void LTextBox::OnConditionsChanged(const RCPtr<LConditionsParam>& param)
{
    if (!param)
        return;
    const RCPtr<LControl> self(this);
    const uint32_t oldWord = param->mOldConditions;
    const uint32_t newWord = param->mNewConditions;
    const bool dragEnded = BitBecameClear(oldWord, newWord, kLeftDrag);
    if (BitBecameSet(oldWord, newWord, kHasFocus)) {
        OnFocusGained();
    } else if (BitBecameClear(oldWord, newWord, kHasFocus)) {
        OnFocusLost();
    } else if (BitBecameSet(oldWord, newWord, kHoverOrOverride)) {
        SetHoverCursor(GetAppCursor(String(L"UI_CURSOR_IBEAM")));
    } else if (dragEnded) {
        StopKineticScroll(0);
        StopKineticScroll(1);
    }
    const uint32_t changed = oldWord ^ newWord;
    if ((changed & (kHoverOrOverride | kHasFocus | kEnabled)) != 0 || dragEnded)
        UpdateLooks();
}

// ---- Scrolling ----

const PointT<double>& LTextBox::SetScrollOffset(const PointT<double>& offset)
{
    if (mInScrollOffsetChange)
        return mScrollOffset;
    const RCPtr<LControl> self(this);
    mInScrollOffsetChange = true;
    const PointT<double>& result = LScrollView::SetScrollOffset(offset);

    if (IsKineticScrollRunning(0)) {
        const RectT<float> area = GetTextArea();
        const double extent = GetClientExtent().x;
        const double limit = extent > area.width ? extent - area.width + 3.0 : 0.0;
        if (mScrollOffset.x <= 0.0 || limit <= mScrollOffset.x)
            StopKineticScroll(0);
    }

    if (mLeftDrag) {
        // The selection follows the pointer while the text scrolls under it.
        PointT<double> pointer;
        if (const RCPtr<LRootWindow> window = GetRootWindow()) {
            PointT<long> cursor;
            window->GetCursorPosition(cursor);
            pointer = PointT<double>(cursor.x, cursor.y);
            if (const RCPtr<LControl> top = GetRootControl())
                top->OffsetToControl(self, pointer);
        }
        ExtendSelectionTo(GetCharIndexAtPoint(PointT<long>(pointer)));
    } else {
        UpdateLooks();
    }
    mInScrollOffsetChange = false;
    return result;
}

} // namespace KX
