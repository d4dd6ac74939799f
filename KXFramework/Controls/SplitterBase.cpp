#include "Controls/SplitterBase.h"

#include "Application/FrameworkApp.h"
#include "ControlBase/LayoutUtils.h"

#include <algorithm>
#include <cmath>

namespace KX {

namespace {

// Sizes that differ by less than this are equal.
constexpr double kSizeTolerance = 2.220446049250313e-15;

// Drag mode 3: move within the drag bounds, the parent scrolling near its
// edges; the flag names the axis that moves (1 X, 2 Y).
constexpr int32_t kDragMoveWithinBounds = 3;

// Looks.
constexpr int32_t kLookNormal = 0;
constexpr int32_t kLookHovered = 1;
constexpr int32_t kLookDraggedHovered = 2;
constexpr int32_t kLookFocused = 3;
constexpr int32_t kLookFocusedHovered = 4;
constexpr int32_t kLookFocusedDraggedHovered = 5;
constexpr int32_t kLookDisabled = 6;

double Along(const RectT<double>& rect, int32_t axis)
{
    return axis == 0 ? rect.width : rect.height;
}

double Along(const PointT<double>& point, int32_t axis)
{
    return axis == 0 ? point.x : point.y;
}

struct AxisSpecs
{
    LLayoutDescriptor::PositionSpec position;
    LLayoutDescriptor::SizeSpec size;
    bool docked = false;
};

AxisSpecs ReadAxis(const LControl& control, int32_t axis)
{
    AxisSpecs specs;
    control.GetLayout().GetAxisSpec(axis, specs.position, specs.docked, specs.size);
    return specs;
}

} // namespace

LSplitterBase::LSplitterBase(const RCPtr<LControl>& parent, const String& name, int32_t orientation)
    : LControl(parent, name), mOrientation(orientation)
{
}

KXRESULT LSplitterBase::Initialize()
{
    const KXRESULT result = LControl::Initialize();
    if (LFrameworkApp* application = LFrameworkApp::sInstance)
        SetHoverCursor(application->GetCursor(String(mOrientation == 1 ? L"UI_CURSOR_SIZE_WE" : L"UI_CURSOR_SIZE_NS")));
    return result;
}

// ---- Conditions and looks ----

void LSplitterBase::OnConditionsChanged(const RCPtr<LConditionsParam>& param)
{
    if (param) {
        const uint32_t changed = param->GetChangedConditions();
        if ((changed & kLeftDrag) && (param->mNewConditions & kLeftDrag))
            SetDragMode(kDragMoveWithinBounds, mOrientation == 0 ? 2 : 1);
        else if ((changed & kLeftDrag) && !(param->mNewConditions & kLeftDrag))
            mPartner = nullptr;
    }
    UpdateLook();
}

void LSplitterBase::UpdateLook()
{
    const bool focused = mHasFocus || mContainsFocus;
    int32_t look;
    if (!IsEnabled(true))
        look = kLookDisabled;
    else if (mCapture && mLeftDrag)
        look = mHover ? (focused ? kLookFocusedDraggedHovered : kLookDraggedHovered)
                      : (focused ? kLookFocusedHovered : kLookHovered);
    else if (mHover && !mCapture)
        look = focused ? kLookFocusedHovered : kLookHovered;
    else
        look = focused ? kLookFocused : kLookNormal;
    SelectLook(look, true);
}

// ---- Drag ----

RCPtr<LControl> LSplitterBase::FindNamedPartner() const
{
    const AxisSpecs specs = ReadAxis(*this, GetAxis());
    if (specs.position.mKind != LLayoutDescriptor::PositionControl || !mParent)
        return RCPtr<LControl>();
    return mParent->FindChild(specs.position.mControlName);
}

void LSplitterBase::LimitByPartner(Range& range, double coordinate, double partnerSizeAbs, double preferred,
                                   double maximum)
{
    range.low = std::max(range.low, coordinate - (partnerSizeAbs - preferred));
    if (maximum > 0.0)
        range.high = std::min(range.high, maximum - partnerSizeAbs + coordinate);
}

bool LSplitterBase::RefersToSplitter(const LControl& sibling, float& relative) const
{
    const AxisSpecs specs = ReadAxis(sibling, GetAxis());
    const bool sizeRefers =
        specs.size.mKind == LLayoutDescriptor::SizeControl && specs.size.mControlName == mName; // case A
    const bool positionRefers = specs.position.mKind == LLayoutDescriptor::PositionControl &&
                                specs.position.mControlName == mName &&
                                specs.size.mKind != LLayoutDescriptor::SizeSelf; // case B
    if (!sizeRefers && !positionRefers)
        return false;
    relative = sizeRefers ? specs.size.mRel : specs.position.mRel;
    return true;
}

void LSplitterBase::LimitBySibling(Range& range, double coordinate, float relative, double size, double preferred,
                                   double maximum)
{
    if (relative != 0.0f) {
        // The sibling lies beyond the splitter: moving on shrinks it.
        range.high = std::min(range.high, size - preferred + coordinate);
        if (maximum > 0.0)
            range.low = std::max(range.low, coordinate - (maximum - size));
    } else {
        // The sibling ends at the splitter: moving back shrinks it.
        range.low = std::max(range.low, coordinate - (size - preferred));
        if (maximum > 0.0)
            range.high = std::min(range.high, (maximum - size) + coordinate);
    }
}

KXRESULT LSplitterBase::BeginDrag()
{
    const RCPtr<LControl> self(this);
    const int32_t axis = GetAxis();
    Range range;
    const double coordinate = Coordinate();

    mPartner = FindNamedPartner();
    if (mPartner) {
        // The splitter keeps its place but now follows the pointer freely.
        AxisSpecs own = ReadAxis(*this, axis);
        mSavedPosAbs = own.position.mAbs;
        mSavedPosRel = own.position.mRel;
        own.position.mKind = LLayoutDescriptor::PositionClient;
        own.position.mRel = 0.0f;
        own.position.mAbs = coordinate;
        SetPlacement(axis, own.position, own.docked, own.size);

        const RCPtr<LControl> partner = mPartner;
        mPartnerSizeAbs = ReadAxis(*partner, axis).size.mAbs;
        const double preferred = Along(partner->GetPreferredSize(), axis);
        const double maximum = Along(partner->GetMaxSize(), axis);
        LimitByPartner(range, coordinate, mPartnerSizeAbs, preferred, maximum);
    }

    if (mParent) {
        const int32_t order = GetLayout().mLayoutOrder;
        const RCPtrArray<LControl> siblings = mParent->GetChildren().Snapshot();
        for (int32_t i = 0; i < siblings.GetCount(); ++i) {
            const RCPtr<LControl>& sibling = siblings.GetAt(i);
            float relative = 0.0f;
            if (sibling.Get() == this || sibling->GetLayout().mLayoutOrder <= order ||
                !RefersToSplitter(*sibling, relative))
                continue;
            const double size = Along(sibling->GetRect(), axis);
            const double preferred = Along(sibling->GetPreferredSize(), axis);
            const double maximum = Along(sibling->GetMaxSize(), axis);
            LimitBySibling(range, coordinate, relative, size, preferred, maximum);
        }
    }

    // The drag machinery measures from the pointer's origin: moved there,
    // the bounds keep the splitter's coordinate within the range.
    const double shift = Along(mDragOrigin, axis) - coordinate;
    mDragMin = range.low + shift;
    mDragMax = range.high + shift;
    return LControl::BeginDrag();
}

void LSplitterBase::GetDragBounds(RectT<double>& bounds)
{
    if (GetAxis() == 0) {
        bounds.x = mDragMin;
        bounds.width = mDragMax - mDragMin;
    } else {
        bounds.y = mDragMin;
        bounds.height = mDragMax - mDragMin;
    }
}

void LSplitterBase::OnDragMoved(const RCPtr<LPointWithModifiersParam>&)
{
    const RCPtr<LControl> partner = mPartner;
    if (!partner)
        return;
    const int32_t axis = GetAxis();
    AxisSpecs specs = ReadAxis(*partner, axis);
    specs.size.mAbs = mPartnerSizeAbs + Along(mDragDelta, axis);
    partner->SetPlacement(axis, specs.position, specs.docked, specs.size);
}

KXRESULT LSplitterBase::EndDrag()
{
    const RCPtr<LControl> self(this);
    if (mPartner) {
        // Next to the partner again, wherever the partner's edge now is.
        const int32_t axis = GetAxis();
        AxisSpecs own = ReadAxis(*this, axis);
        own.position.mKind = LLayoutDescriptor::PositionControl;
        own.position.mRel = mSavedPosRel;
        own.position.mAbs = mSavedPosAbs;
        SetPlacement(axis, own.position, own.docked, own.size);
    }
    return LControl::EndDrag();
}

// ---- Layout ----

KXRESULT LSplitterBase::RecalcLayout(int32_t width, int32_t height)
{
    const RCPtr<LControl> self(this);
    const KXRESULT result = LControl::RecalcLayout(width, height);
    CorrectRange();
    return result;
}

void LSplitterBase::MeasureSibling(LControl& sibling, double& unlimited, double& limited) const
{
    const int32_t axis = GetAxis();
    RectT<double> rect;
    LayoutUtils::ComputePlacement(sibling.GetLayoutDescriptor().Get(), mParent.Get(), RectT<double>(),
                                  PointT<double>(), PointT<double>(), rect);
    unlimited = Along(rect, axis);
    PointT<double> position(rect.x, rect.y);
    PointT<double> size(rect.width, rect.height);
    LayoutUtils::ApplyMinSize(sibling, position, size);
    LayoutUtils::ApplyMaxSize(sibling, position, size);
    limited = Along(size, axis);
}

void LSplitterBase::CorrectRange()
{
    if (!mParent || !mLayout)
        return;
    const int32_t axis = GetAxis();
    const double coordinate = Coordinate();
    Range range;

    // During a drag the position is absolute and there is no partner here.
    const RCPtr<LControl> partner = FindNamedPartner();
    if (partner) {
        const double sizeAbs = ReadAxis(*partner, axis).size.mAbs;
        const double preferred = Along(partner->GetPreferredSize(), axis);
        const double maximum = Along(partner->GetMaxSize(), axis);
        range.low = std::max(0.0, coordinate - (sizeAbs - preferred));
        if (maximum > 0.0)
            range.high = std::min(kNoLimit, maximum - sizeAbs + coordinate);
    }

    const int32_t order = GetLayout().mLayoutOrder;
    const RCPtrArray<LControl> siblings = mParent->GetChildren().Snapshot();
    for (int32_t i = 0; i < siblings.GetCount(); ++i) {
        const RCPtr<LControl>& sibling = siblings.GetAt(i);
        float relative = 0.0f;
        if (sibling.Get() == this || sibling->GetLayout().mLayoutOrder <= order ||
            !RefersToSplitter(*sibling, relative) || !sibling->GetLayoutDescriptor())
            continue;
        // Only a sibling that its limits hold back narrows the range.
        double unlimited = 0.0;
        double limited = 0.0;
        MeasureSibling(*sibling, unlimited, limited);
        if (std::fabs(unlimited - limited) < kSizeTolerance)
            continue;
        const double preferred = Along(sibling->GetPreferredSize(), axis);
        const double maximum = Along(sibling->GetMaxSize(), axis);
        LimitBySibling(range, coordinate, relative, unlimited, preferred, maximum);
    }

    if (range.low > range.high)
        std::swap(range.low, range.high);
    double target = coordinate;
    if (coordinate < range.low)
        target = range.low;
    else if (coordinate > range.high)
        target = range.high;
    if (target == coordinate || !partner)
        return;
    AxisSpecs specs = ReadAxis(*partner, axis);
    specs.size.mAbs += target - coordinate;
    partner->SetPlacement(axis, specs.position, specs.docked, specs.size);
}

} // namespace KX
