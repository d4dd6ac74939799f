// The slider's creation, its value and the geometry of its track. Input (the
// thumb drag, the track press, keys and wheel) is in SliderInput.cpp.
#include "Controls/Slider.h"

#include "Application/FrameworkApp.h"
#include "ControlBase/ControlFactory.h"
#include "ControlBase/LayoutUtils.h"
#include "Controls/Button.h"
#include "Notification/NotificationIDs.h"

#include <algorithm>
#include <cmath>

namespace KX {

namespace {

const wchar_t* const kThumbName = L"thumb";
const wchar_t* const kThumbStartName = L"thumbStart";
const wchar_t* const kThumbEndName = L"thumbEnd";

PointT<long> RoundedOrigin(const LControl& control)
{
    const RectT<double>& rect = control.GetRect();
    return PointT<long>(static_cast<long>(LayoutUtils::Round(rect.x)), static_cast<long>(LayoutUtils::Round(rect.y)));
}

long RoundToLong(double value)
{
    return static_cast<long>(LayoutUtils::Round(value));
}

} // namespace

LSlider::LSlider(const RCPtr<LControl>& parent, const String& name) : LPanel(parent, name) {}

LSlider::~LSlider() = default;

// ---- Creation ----

KXRESULT LSlider::Initialize()
{
    if (LPanel::Initialize() < 0)
        return E_FAIL;
    mSliderHandler = new SliderHandler(this);
    mThumbEnd = FindChild(String(kThumbEndName));
    mThumbStart = FindChild(String(kThumbStartName));
    if (mThumbStart)
        CreateThumb();
    EndBackBufferResize();
    SetValueRange(0.0, kMappedMaximum, 0);
    // A press on the track is a drag at once: its steps start without travel.
    SetDragThreshold(0);
    return S_OK;
}

KXRESULT LSlider::CreateThumb()
{
    LFrameworkApp* application = LFrameworkApp::sInstance;
    const RCPtr<LControl> start = mThumbStart;
    // The marker's description, among the slider's own.
    const RCPtr<LControlDescriptor> startDescriptor =
        mDescriptor ? mDescriptor->FindChild(String(kThumbStartName)) : RCPtr<LControlDescriptor>();
    if (!start || !startDescriptor || !application || !application->GetControlFactory() ||
        !start->GetLayoutDescriptor())
        return E_FAIL;
    const RCPtr<LControlFactory> factory = application->GetControlFactory();

    // The marker's layout, made free to move: placed by absolute values
    // alone, undocked, and the first in the tab order.
    const RCPtr<LLayoutDescriptor> layout = start->GetLayoutDescriptor()->Clone();
    layout->mXIsDocked = false;
    layout->mYIsDocked = false;
    layout->mTabStop = 0;
    layout->mXPosition.mRel = 0.0f;
    layout->mYPosition.mRel = 0.0f;
    layout->mXPosition.mAnchor = 0.0f;
    layout->mYPosition.mAnchor = 0.0f;
    RCPtr<LControlDescriptor> descriptor;
    if (factory->CloneDescriptor(descriptor, startDescriptor, ConstRCPtr<LLayoutDescriptor>(layout.Get()),
                                 String(kThumbName)) < 0 ||
        !descriptor)
        return E_FAIL;
    ReleaseThumb();
    RCPtr<LControl> thumb;
    factory->CreateControl(thumb, RCPtr<LControl>(this), descriptor);
    if (!thumb || thumb->GetParent().Get() != this)
        return E_FAIL;
    mThumb = thumb;
    thumb->SetVisible(true);
    // A button thumb keeps its pressed look while dragged, even where the
    // pointer runs ahead of it.
    if (const RCPtr<LButton> button = RCPtr<LButton>::DynamicCast(thumb))
        button->SetPressedWhileCaptured(true);

    const RCPtr<LNotificationDistributor> sender(thumb.Get());
    KX_THROW_IF_FAILED(mSliderHandler->AddHandler(&LSlider::OnThumbMouseMove, sender, NID_MOUSE_MOVE),
                       "KX::LSlider::CreateThumb", "Controls\\Slider", __LINE__);
    KX_THROW_IF_FAILED(mSliderHandler->AddHandler(&LSlider::OnThumbClick, sender, NID_LEFT_CLICK),
                       "KX::LSlider::CreateThumb", "Controls\\Slider", __LINE__);
    KX_THROW_IF_FAILED(mSliderHandler->AddHandler(&LSlider::OnThumbDragCondition, sender,
                                                  NID_LEFT_DRAG_CONDITION_CHANGE),
                       "KX::LSlider::CreateThumb", "Controls\\Slider", __LINE__);
    return S_OK;
}

void LSlider::ReleaseThumb()
{
    // A thumb made before (or one that came with the skin) makes way.
    const RCPtr<LControl> old = mThumb ? mThumb : FindChild(String(kThumbName));
    mThumb = nullptr;
    if (!old)
        return;
    const RCPtr<LNotificationDistributor> sender(old.Get());
    for (const wchar_t* id : {NID_MOUSE_MOVE, NID_LEFT_CLICK, NID_LEFT_DRAG_CONDITION_CHANGE})
        UnregisterNotification(sender, id);
    if (old->GetParent().Get() == this)
        old->Detach();
}

KXRESULT LSlider::AddChild(const RCPtr<LControl>& child, const RCPtr<LControlDescriptor>& descriptor)
{
    if (child && child->GetName() == kThumbName && !descriptor)
        return CreateThumb();
    return LPanel::AddChild(child, descriptor);
}

KXRESULT LSlider::OnCreated()
{
    const RCPtr<LSlider> self(this);
    LPanel::OnCreated();
    if (mThumbEnd)
        mThumbEnd->SetVisible(false);
    if (const RCPtr<LControl> start = mThumbStart) {
        start->SetVisible(false);
        // The point of the thumb that marks its place on the track: its
        // centre, or where the marker's anchor puts it.
        const RectT<double>& rect = start->GetRect();
        const LLayoutDescriptor& layout = start->GetLayout();
        mThumbHotSpot[0] = static_cast<int32_t>(layout.mXPosition.mAnchor != 0.0f
                                                    ? layout.mXPosition.mAnchor * rect.width
                                                    : LayoutUtils::Round(rect.width / 2.0));
        mThumbHotSpot[1] = static_cast<int32_t>(layout.mYPosition.mAnchor != 0.0f
                                                    ? layout.mYPosition.mAnchor * rect.height
                                                    : LayoutUtils::Round(rect.height / 2.0));
    }
    EndBackBufferResize();
    return S_OK;
}

KXRESULT LSlider::EndBackBufferResize()
{
    const RCPtr<LSlider> self(this);
    const KXRESULT result = LPanel::EndBackBufferResize();
    if (!mThumb)
        mThumb = FindChild(String(kThumbName));
    if (mThumb)
        UpdateThumbPosition();
    return result;
}

// ---- Value ----

double LSlider::GetValue()
{
    return mNormalizedValue;
}

double LSlider::SetNormalizedValue(double value)
{
    if (mThumbDragging) {
        // Not under the user's hand: the value waits for the drag's end.
        mPendingValue = value;
        return GetValue();
    }
    return SetValueAndThumb(value);
}

double LSlider::SetValueAndThumb(double value)
{
    const RCPtr<LSlider> self(this);
    LControl::SetNormalizedValue(value);
    UpdateThumbPosition();
    return GetValue();
}

void LSlider::UpdateValueFromThumb()
{
    if (!mThumb)
        return;
    const PointT<long> origin = ThumbOrigin();
    SetValueAndThumb(GetValueAtPoint(origin.x, origin.y));
}

// ---- Track geometry ----

PointT<long> LSlider::GetTrackStart() const
{
    return mThumbStart ? RoundedOrigin(*mThumbStart) : PointT<long>();
}

PointT<long> LSlider::GetTrackEnd() const
{
    return mThumbEnd ? RoundedOrigin(*mThumbEnd) : GetTrackStart();
}

PointT<long> LSlider::ThumbOrigin() const
{
    return mThumb ? RoundedOrigin(*mThumb) : PointT<long>();
}

void LSlider::UpdateThumbPosition()
{
    if (mThumbDragging || !mThumb)
        return;
    const PointT<long> start = GetTrackStart();
    const PointT<long> end = GetTrackEnd();
    const double value = GetValue();
    const PointT<long> origin(start.x + RoundToLong((end.x - start.x) * value),
                              start.y + RoundToLong((end.y - start.y) * value));
    if (origin != ThumbOrigin())
        MoveThumbTo(origin);
}

void LSlider::MoveThumbTo(const PointT<long>& origin)
{
    const RCPtr<LControl> thumb = mThumb;
    if (!thumb)
        return;
    const LLayoutDescriptor& layout = thumb->GetLayout();
    LLayoutDescriptor::PositionSpec x = layout.mXPosition;
    LLayoutDescriptor::PositionSpec y = layout.mYPosition;
    x.mAbs = origin.x;
    y.mAbs = origin.y;
    thumb->SetPlacementXY(x, layout.mXIsDocked, layout.mXSize, y, layout.mYIsDocked, layout.mYSize);
}

double LSlider::GetValueAtPoint(double x, double y)
{
    const PointT<long> start = GetTrackStart();
    const PointT<long> end = GetTrackEnd();
    const double trackX = static_cast<double>(end.x - start.x);
    const double trackY = static_cast<double>(end.y - start.y);
    const double lengthSquared = trackX * trackX + trackY * trackY;
    // Markers in one place leave no track to measure along.
    if (lengthSquared == 0.0)
        return 0.0;
    // The share of the track up to the point's projection, negative before
    // the start.
    const double share = ((x - start.x) * trackX + (y - start.y) * trackY) / lengthSquared;
    return std::min(1.0, std::max(0.0, share));
}

void LSlider::ConstrainThumbPoint(PointT<long>& out, long x, long y)
{
    const PointT<long> start = GetTrackStart();
    const PointT<long> end = GetTrackEnd();
    const PointT<long> thumb = ThumbOrigin();
    x -= mGrabOffset[0];
    y -= mGrabOffset[1];
    if (end.x == start.x) {
        out = PointT<long>(thumb.x, y);
    } else if (end.y == start.y) {
        out = PointT<long>(x, thumb.y);
    } else {
        // The foot of the perpendicular from the point to the track's line.
        const float slope = static_cast<float>(end.y - start.y) / static_cast<float>(end.x - start.x);
        const float intercept = static_cast<float>(start.y) - slope * static_cast<float>(start.x);
        const double footX = (x + slope * (y - intercept)) / (1.0 + static_cast<double>(slope) * slope);
        const double footY = slope * footX + intercept;
        out = PointT<long>(RoundToLong(footX), RoundToLong(footY));
    }
    out.x = std::min(std::max(out.x, std::min(start.x, end.x)), std::max(start.x, end.x));
    out.y = std::min(std::max(out.y, std::min(start.y, end.y)), std::max(start.y, end.y));
}

// ---- Notifications ----

KXRESULT LSlider::ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                      const RCPtr<LNotification>& notification)
{
    if (mCreated && mSliderHandler && mSliderHandler->Binds(sender, notification)) {
        const RCPtr<SliderHandler> handler = mSliderHandler;
        return handler->HandleNotification(sender, notification);
    }
    return LPanel::ReceiveNotification(sender, notification);
}

KXRESULT LSlider::UnregisterNotification(const RCPtr<LNotificationDistributor>& sender, const wchar_t* identifier)
{
    if (mSliderHandler)
        mSliderHandler->RemoveHandler(sender, identifier);
    return LPanel::UnregisterNotification(sender, identifier);
}

} // namespace KX
