// The scroll bar: its parts found by name, the thumb's length and place from
// the value, paging by a held channel, thumb dragging, arrow repeats and the
// navigation keys.
#include "Controls/Scrollbar.h"

#include "Application/FrameworkApp.h"
#include "Application/RootWindow.h"
#include "ControlBase/LayoutUtils.h"
#include "Notification/NotificationIDs.h"

#include <algorithm>
#include <cmath>

namespace KX {

namespace {

constexpr const char* kSource = "Controls\\Scrollbar";

// Key words of the navigation keys (virtual key, key down, no modifiers).
constexpr uint32_t kKeyWordPageUp = 0x20210000;
constexpr uint32_t kKeyWordPageDown = 0x20220000;
constexpr uint32_t kKeyWordEnd = 0x20230000;
constexpr uint32_t kKeyWordHome = 0x20240000;
constexpr uint32_t kKeyWordLeft = 0x20250000;
constexpr uint32_t kKeyWordUp = 0x20260000;
constexpr uint32_t kKeyWordRight = 0x20270000;
constexpr uint32_t kKeyWordDown = 0x20280000;

bool BitSet(uint32_t word, uint32_t bit)
{
    return (word & bit) != 0;
}

// The conditions parameter of a condition notification, or null.
RCPtr<LConditionsParam> ConditionsOf(const RCPtr<LNotification>& notification)
{
    return notification ? RCPtr<LConditionsParam>::DynamicCast(notification->GetData())
                        : RCPtr<LConditionsParam>();
}

bool Became(const LConditionsParam& param, uint32_t bit)
{
    return !BitSet(param.mOldConditions, bit) && BitSet(param.mNewConditions, bit);
}

bool Ceased(const LConditionsParam& param, uint32_t bit)
{
    return BitSet(param.mOldConditions, bit) && !BitSet(param.mNewConditions, bit);
}

} // namespace

LScrollbar::LScrollbar(const RCPtr<LControl>& parent, const String& name) : LControl(parent, name)
{
    LControl::SetValueRange(0.0, 100.0, 0);
}

LScrollbar::~LScrollbar() = default;

double LScrollbar::Now()
{
    LFrameworkApp* application = LFrameworkApp::sInstance;
    return application ? application->GetElapsedTime() : 0.0;
}

// ---- Creation ----

KXRESULT LScrollbar::Initialize()
{
    if (LControl::Initialize() < 0)
        return E_FAIL;
    mScrollbarHandler = new Handler(this);
    const auto bind = [this](Handler::Callback callback, const RCPtr<LControl>& sender, const wchar_t* id, int line) {
        KX_THROW_IF_FAILED(mScrollbarHandler->AddHandler(callback, RCPtr<LNotificationDistributor>(sender.Get()), id),
                           "KX::LScrollbar::Initialize", kSource, line);
    };

    mChannel = FindChild(String(L"channel"));
    if (mChannel) {
        bind(&LScrollbar::OnChannelLeftDrag, mChannel, NID_LEFT_DRAG_CONDITION_CHANGE, __LINE__);
        bind(&LScrollbar::OnChannelHover, mChannel, NID_HOVER_CONDITION_CHANGE, __LINE__);
        mThumb = mChannel->FindChild(String(L"thumb"));
        if (mThumb) {
            bind(&LScrollbar::OnThumbMouseMove, mThumb, NID_MOUSE_MOVE, __LINE__);
            bind(&LScrollbar::OnThumbLeftDrag, mThumb, NID_LEFT_DRAG_CONDITION_CHANGE, __LINE__);
        }
    }
    mDec = FindChild(String(L"dec"));
    mInc = FindChild(String(L"inc"));
    for (const RCPtr<LControl>& arrow : {mDec, mInc}) {
        if (arrow)
            bind(&LScrollbar::OnArrowRepeat, arrow, NID_BUTTON_AUTOREPEAT, __LINE__);
    }

    if (mDec && mInc) {
        const RectT<double>& dec = mDec->GetRect();
        const RectT<double>& inc = mInc->GetRect();
        mVertical = (inc.x - dec.x > inc.y - dec.y) ? 0 : 1;
    } else {
        // Without both arrows the bar's own shape tells its axis.
        mVertical = mRect.width > mRect.height ? 0 : 1;
    }
    // The thumb is never shorter than the skin made it.
    if (mThumb)
        mMinThumbLength = AlongAxis(PointT<double>(mThumb->GetRect().width, mThumb->GetRect().height));

    EndBackBufferResize();
    SetKeyFlags(0xFF);
    return S_OK;
}

KXRESULT LScrollbar::OnCreated()
{
    if (mCreated) {
        // A new skin: the parts it no longer names have left the bar.
        const auto keepChildOf = [](RCPtr<LControl>& part, const LControl* parent) {
            if (part && (!parent || part->GetParent().Get() != parent))
                part = nullptr;
        };
        keepChildOf(mChannel, this);
        keepChildOf(mThumb, mChannel.Get());
        keepChildOf(mDec, this);
        keepChildOf(mInc, this);
    }
    SetFocusDisabled(true);
    for (const RCPtr<LControl>& part : {mDec, mInc, mChannel, mThumb}) {
        if (part)
            part->SetFocusDisabled(true);
    }
    // At creation the thumb's skin length was taken before the bar first
    // sized it; a new skin (the bar is created then) brings its own.
    if (mThumb && mCreated)
        mMinThumbLength = AlongAxis(PointT<double>(mThumb->GetRect().width, mThumb->GetRect().height));
    EndBackBufferResize();
    return S_OK;
}

// ---- Notifications ----

KXRESULT LScrollbar::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                         const RCPtr<LNotification>& notification)
{
    if (mCreated && mScrollbarHandler && mScrollbarHandler->Binds(sender, notification)) {
        const RCPtr<Handler> handler = mScrollbarHandler;
        return handler->HandleNotification(sender, notification);
    }
    return LControl::ReceiveNotification(sender, notification);
}

KXRESULT LScrollbar::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender, const wchar_t* identifier)
{
    if (mScrollbarHandler)
        mScrollbarHandler->RemoveHandler(sender, identifier);
    return LControl::UnregisterNotification(sender, identifier);
}

// ---- Value ----

double LScrollbar::SetNormalizedValue(double value)
{
    if (mDraggingThumb) {
        // The thumb follows the pointer; the value waits for the drag's end.
        mDeferredValue = value;
        return mNormalizedValue;
    }
    return ApplyValue(value);
}

double LScrollbar::ApplyValue(double value)
{
    const RCPtr<LControl> self(this);
    const double clamped = std::max(0.0, std::min(1.0, value));
    const double result = LControl::SetNormalizedValue(clamped);
    PositionThumb();
    return result;
}

KXRESULT LScrollbar::SetValueRange(double minimum, double maximum, int32_t mapping)
{
    const double shown = NormalizedToValue(mNormalizedValue);
    const KXRESULT result = LControl::SetValueRange(minimum, maximum, mapping);
    SetNormalizedValue(ValueToNormalized(shown));
    PositionThumb();
    return result;
}

// ---- Geometry ----

KXRESULT LScrollbar::EndBackBufferResize()
{
    const KXRESULT result = LControl::EndBackBufferResize();
    if (!mThumb || !mChannel)
        return result;
    const RectT<double> look = mChannel->GetLookClientRect(-1);
    mChannelOffset = AlongAxis(PointT<double>(mChannel->GetRect().x, mChannel->GetRect().y)) +
                     AlongAxis(PointT<double>(look.x, look.y));
    mChannelStart = 0.0;
    mChannelEnd = AlongAxis(PointT<double>(look.width, look.height));
    UpdateThumbLength();
    PositionThumb();
    return result;
}

void LScrollbar::SetThumbFraction(double fraction)
{
    mThumbFraction = fraction;
    UpdateThumbLength();
}

void LScrollbar::UpdateThumbLength()
{
    if (!mThumb)
        return;
    mThumbLength = std::floor(std::max(mMinThumbLength, (mChannelEnd - mChannelStart) * mThumbFraction) + 0.5);
    const int32_t axis = mVertical ? 1 : 0;
    LLayoutDescriptor::PositionSpec position;
    LLayoutDescriptor::SizeSpec size;
    bool docked = false;
    mThumb->GetLayout().GetAxisSpec(axis, position, docked, size);
    size = LLayoutDescriptor::SizeSpec();
    size.mKind = LLayoutDescriptor::SizeSelf;
    size.mAbs = mThumbLength;
    mThumb->SetPlacement(axis, position, docked, size);
    PositionThumb();
}

double LScrollbar::GetThumbPosition() const
{
    return mThumb ? AlongAxis(PointT<double>(mThumb->GetRect().x, mThumb->GetRect().y)) : 0.0;
}

void LScrollbar::MoveThumbTo(double position)
{
    const int32_t axis = mVertical ? 1 : 0;
    LLayoutDescriptor::PositionSpec spec;
    LLayoutDescriptor::SizeSpec size;
    bool docked = false;
    mThumb->GetLayout().GetAxisSpec(axis, spec, docked, size);
    // Measured from the channel's client area, whatever the skin said.
    spec = LLayoutDescriptor::PositionSpec();
    spec.mKind = LLayoutDescriptor::PositionClient;
    spec.mAbs = position;
    mThumb->SetPlacement(axis, spec, docked, size);
}

void LScrollbar::PositionThumb()
{
    if (mDraggingThumb || !mThumb || !mChannel)
        return;
    const double position =
        LayoutUtils::Round((mChannelEnd - mChannelStart - mThumbLength) * mNormalizedValue + mChannelStart);
    if (position != GetThumbPosition())
        MoveThumbTo(position);
}

// ---- Arrows ----

KXRESULT LScrollbar::OnArrowRepeat(const RCPtr<LNotificationDistributor>& sender, const RCPtr<LNotification>&)
{
    const LNotificationDistributor* arrow = sender.Get();
    if (mDec && arrow == static_cast<const LNotificationDistributor*>(mDec.Get()))
        SetNormalizedValue(mNormalizedValue - mStep);
    else if (mInc && arrow == static_cast<const LNotificationDistributor*>(mInc.Get()))
        SetNormalizedValue(mNormalizedValue + mStep);
    return S_OK;
}

// ---- Paging ----

int32_t LScrollbar::ClassifyChannelPoint(double along) const
{
    const double thumbStart = GetThumbPosition();
    const double thumbEnd = thumbStart + mThumbLength;
    if (along >= mChannelStart && along <= thumbStart)
        return kPageBack;
    if (along >= thumbEnd && along <= mChannelEnd)
        return kPageForward;
    return kPageNone;
}

int32_t LScrollbar::ClassifyPointer()
{
    if (!mChannel || !mThumb || !mChannel->IsHovered())
        return kPageNone;
    const RCPtr<LRootWindow>& window = GetRootWindow();
    if (!window)
        return kPageNone;
    PointT<long> cursor;
    if (window->GetCursorPosition(cursor) < 0)
        return kPageNone;
    const PointT<double> origin = mChannel->GetRootPosition();
    const RectT<double> look = mChannel->GetLookClientRect(-1);
    const PointT<double> inLook(cursor.x - origin.x - look.x, cursor.y - origin.y - look.y);
    return ClassifyChannelPoint(AlongAxis(inLook));
}

void LScrollbar::UpdatePageHighlight()
{
    if (!mChannel)
        return;
    const RCPtr<LControl> channel = mChannel;
    if (mPageMode == kPageNone || ClassifyPointer() != mPageMode) {
        channel->ClearAllLookRegions();
        channel->SelectLook(0, true);
        return;
    }
    // The pressed look shows on the pressed side of the thumb only.
    const RectT<double> look = channel->GetLookClientRect(-1);
    const double thumbStart = GetThumbPosition();
    const double from = mPageMode == kPageBack ? mChannelStart : thumbStart + mThumbLength;
    const double to = mPageMode == kPageBack ? thumbStart : mChannelEnd;
    const RectT<double> area = mVertical ? RectT<double>(look.x, look.y + from, look.width, to - from)
                                         : RectT<double>(look.x + from, look.y, to - from, look.height);
    LRectRegion region;
    region.AddRect(area);
    channel->SetLookRegion(1, region);
    channel->SetLookWeight(1, 1.0f, false);
}

KXRESULT LScrollbar::OnChannelLeftDrag(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    const RCPtr<LConditionsParam> param = ConditionsOf(notification);
    if (!param || !mChannel || !mThumb)
        return S_OK;
    const RCPtr<LControl> self(this);
    if (Became(*param, kLeftPressed)) {
        // The press point, from the channel's parent's client area into the
        // channel's look area.
        const RectT<double> look = mChannel->GetLookClientRect(-1);
        const PointT<double> inLook(param->mPoint.x - mChannel->GetRect().x - look.x,
                                    param->mPoint.y - mChannel->GetRect().y - look.y);
        mPageMode = ClassifyChannelPoint(AlongAxis(inLook));
        if (mPageMode == kPageBack)
            SetNormalizedValue(mNormalizedValue - mPage);
        else if (mPageMode == kPageForward)
            SetNormalizedValue(mNormalizedValue + mPage);
        if (mPageMode != kPageNone) {
            UpdatePageHighlight();
            mPageRepeatTime = Now();
            mPageRepeatCountdown = mFirstPageRepeatDelay;
            AddIdleRequest();
        }
    } else if (Ceased(*param, kCapture) && mPageMode != kPageNone) {
        mPageMode = kPageNone;
        UpdatePageHighlight();
        ReleaseIdle();
    }
    if (mPageMode != kPageNone)
        UpdatePageHighlight();
    return S_OK;
}

KXRESULT LScrollbar::OnChannelHover(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    const RCPtr<LConditionsParam> param = ConditionsOf(notification);
    if (!param)
        return S_OK;
    // Time spent away from the channel does not count towards a repeat.
    if (Became(*param, kHoverOrOverride))
        mPageRepeatTime = Now();
    if (mPageMode != kPageNone)
        UpdatePageHighlight();
    return S_OK;
}

void LScrollbar::OnIdle()
{
    LControl::OnIdle();
    if (mPageMode == kPageNone || ClassifyPointer() != mPageMode)
        return;
    const RCPtr<LControl> self(this);
    const double now = Now();
    mPageRepeatCountdown -= now - mPageRepeatTime;
    mPageRepeatTime = now;
    if (mPageRepeatCountdown > 0.0)
        return;
    mPageRepeatCountdown = mPageRepeatInterval;
    SetNormalizedValue(mNormalizedValue + (mPageMode == kPageBack ? -mPage : mPage));
    UpdatePageHighlight();
}

// ---- Thumb drag ----

KXRESULT LScrollbar::OnThumbLeftDrag(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    const RCPtr<LConditionsParam> param = ConditionsOf(notification);
    if (!param || !mThumb)
        return S_OK;
    if (Became(*param, kLeftDrag)) {
        mDraggingThumb = true;
        // The drag origin is in the channel's client area, as the thumb's
        // rectangle is.
        mGrabOffset = PointT<long>(param->mPoint.x - mThumb->GetRect().x, param->mPoint.y - mThumb->GetRect().y);
        mDeferredValue = -1.0;
    } else if (Ceased(*param, kLeftDrag)) {
        const RCPtr<LControl> self(this);
        mDraggingThumb = false;
        const double deferred = mDeferredValue;
        mDeferredValue = -1.0;
        if (deferred >= 0.0 && deferred <= 1.0)
            ApplyValue(deferred);
    }
    return S_OK;
}

KXRESULT LScrollbar::OnThumbMouseMove(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    if (!mDraggingThumb || !mThumb || !notification)
        return S_OK;
    const RCPtr<LPointWithModifiersParam> param = RCPtr<LPointWithModifiersParam>::DynamicCast(notification->GetData());
    if (!param)
        return S_OK;
    const RCPtr<LControl> self(this);
    PointT<double> pointer(param->mX, param->mY);
    mThumb->OffsetToControl(self, pointer);
    const RectT<double> ownLook = GetLookClientRect(-1);
    const double travel = mChannelEnd - mChannelStart - mThumbLength;
    double position = AlongAxis(pointer) - LayoutUtils::Round(mChannelOffset) -
                      AlongAxis(PointT<double>(ownLook.x, ownLook.y)) -
                      AlongAxis(PointT<double>(mGrabOffset.x, mGrabOffset.y));
    position = std::max(mChannelStart, std::min(mChannelEnd - mThumbLength, position));
    if (travel <= 0.0 || position == GetThumbPosition())
        return S_OK;
    MoveThumbTo(position);
    const double value = std::max(0.0, std::min(1.0, (position - mChannelStart) / travel));
    LControl::SetNormalizedValue(value);
    return S_OK;
}

// ---- Keys ----

KXRESULT LScrollbar::SetKeyFlags(uint32_t mask)
{
    if (mask > 0xFF)
        return E_INVALIDARG;
    if (mask != 0 && mKeyFlags == 0 && mScrollbarHandler) {
        if (mParent && !mScrollbarHandler->IsBound(RCPtr<LNotificationDistributor>(mParent.Get()), NID_SIBLING_KEY))
            KX_THROW_IF_FAILED(mScrollbarHandler->AddHandler(&LScrollbar::OnSiblingKey,
                                                             RCPtr<LNotificationDistributor>(mParent.Get()),
                                                             NID_SIBLING_KEY),
                               "KX::LScrollbar::SetKeyFlags", kSource, __LINE__);
        if (!mScrollbarHandler->IsBound(RCPtr<LNotificationDistributor>(), NID_SIBLING_KEY))
            KX_THROW_IF_FAILED(mScrollbarHandler->AddDirectHandler(&LScrollbar::OnSiblingKey, NID_SIBLING_KEY),
                               "KX::LScrollbar::SetKeyFlags", kSource, __LINE__);
    }
    mKeyFlags = static_cast<uint8_t>(mask);
    return S_OK;
}

KXRESULT LScrollbar::OnSiblingKey(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    const RCPtr<LSiblingKeyParam> param =
        notification ? RCPtr<LSiblingKeyParam>::DynamicCast(notification->GetData()) : RCPtr<LSiblingKeyParam>();
    if (!param || !IsVisible(true))
        return S_FALSE;
    const bool vertical = mVertical != 0;
    bool handled = true;
    double value = mNormalizedValue;
    switch (param->mKey.GetCode()) {
    case kKeyWordUp:
        handled = vertical && (mKeyFlags & kKeyUp);
        value -= mStep;
        break;
    case kKeyWordLeft:
        handled = !vertical && (mKeyFlags & kKeyLeft);
        value -= mStep;
        break;
    case kKeyWordDown:
        handled = vertical && (mKeyFlags & kKeyDown);
        value += mStep;
        break;
    case kKeyWordRight:
        handled = !vertical && (mKeyFlags & kKeyRight);
        value += mStep;
        break;
    case kKeyWordPageUp:
        handled = vertical && (mKeyFlags & kKeyPageUp);
        value -= mPage;
        break;
    case kKeyWordPageDown:
        handled = vertical && (mKeyFlags & kKeyPageDown);
        value += mPage;
        break;
    case kKeyWordHome:
        handled = (mKeyFlags & kKeyHome) != 0;
        value = 0.0;
        break;
    case kKeyWordEnd:
        handled = (mKeyFlags & kKeyEnd) != 0;
        value = 1.0;
        break;
    default:
        handled = false;
        break;
    }
    if (!handled)
        return S_FALSE;
    const RCPtr<LControl> self(this);
    SetNormalizedValue(value);
    param->mResult = 0;
    return S_OK;
}

} // namespace KX
