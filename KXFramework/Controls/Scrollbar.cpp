// The scroll bar: its parts found by name, its value and range, the thumb's
// length and place from the value, arrow repeats and the navigation keys.
// Paging by a held channel and thumb dragging are in ScrollbarInput.cpp.
#include "Controls/Scrollbar.h"

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

} // namespace

LScrollbar::LScrollbar(const RCPtr<LControl>& parent, const String& name) : LControl(parent, name)
{
    LControl::SetValueRange(0.0, 100.0, 0);
}

LScrollbar::~LScrollbar() = default;

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
