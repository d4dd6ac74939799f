#include "ControlBase/LayoutUtils.h"

#include "ControlBase/Control.h"
#include "ControlBase/Look.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace KX {
namespace LayoutUtils {

namespace {

using String = StringT<wchar_t, char>;

const wchar_t* const kChildren = L"Children";

double Axis(const PointT<double>& point, int32_t axis)
{
    return axis == 0 ? point.x : point.y;
}

double& Axis(PointT<double>& point, int32_t axis)
{
    return axis == 0 ? point.x : point.y;
}

double Origin(const RectT<double>& rect, int32_t axis)
{
    return axis == 0 ? rect.x : rect.y;
}

double Extent(const RectT<double>& rect, int32_t axis)
{
    return axis == 0 ? rect.width : rect.height;
}

bool IsDocked(const LLayoutDescriptor& layout, int32_t axis)
{
    return axis == 0 ? layout.mXIsDocked : layout.mYIsDocked;
}

// A reference: where it starts on the axis and how far it reaches.
struct Reference
{
    double origin = 0.0;
    double extent = 0.0;
};

// The reference of a position or size kind (0 parent or screen, 1 client or
// window, named) on one axis.
struct References
{
    LControl* parent = nullptr;
    RectT<double> parentClient; // the parent's active look's client rectangle
    RectT<double> screen;
    PointT<double> windowSize;
    PointT<double> pointer;

    Reference Of(int32_t kind, bool named, const String& name, int32_t axis) const
    {
        Reference reference;
        if (parent) {
            if (named) {
                const RCPtr<LControl>& sibling = parent->FindChild(name);
                if (sibling) {
                    reference.origin = Origin(sibling->GetRect(), axis);
                    if (IsDocked(sibling->GetLayout(), axis))
                        reference.origin -= Axis(parent->GetScrollOffset(), axis);
                    reference.extent = Extent(sibling->GetRect(), axis);
                }
            } else if (kind == 0) {
                reference.origin = -Origin(parentClient, axis);
                reference.extent = Extent(parent->GetRect(), axis);
            } else {
                reference.extent = Extent(parentClient, axis);
            }
        } else if (named) {
            reference.origin = Axis(pointer, axis);
        } else if (kind == 0) {
            reference.origin = Origin(screen, axis);
            reference.extent = Extent(screen, axis);
        } else {
            reference.extent = Axis(windowSize, axis);
        }
        return reference;
    }
};

// A size reaching from the position to a far edge d pixels away, for the
// anchor a: the anchor point stays where the position put it.
double SizeToEdge(double d, float anchor)
{
    if (d > 0.0) {
        if (anchor >= 0.0f && anchor < 1.0f)
            return d * static_cast<double>(1.0f / (1.0f - anchor));
        return 0.0;
    }
    if (d < 0.0) {
        if (anchor > 0.0f && anchor <= 1.0f)
            return d * static_cast<double>(1.0f / -anchor);
        return 0.0;
    }
    return 0.0;
}

const LLayoutDescriptor::PositionSpec& PositionOf(const LLayoutDescriptor& layout, int32_t axis)
{
    return axis == 0 ? layout.mXPosition : layout.mYPosition;
}

const LLayoutDescriptor::SizeLimitSpec& MinimumOf(const LLayoutDescriptor& layout, int32_t axis)
{
    return axis == 0 ? layout.mXMinimum : layout.mYMinimum;
}

const LLayoutDescriptor::SizeLimitSpec& MaximumOf(const LLayoutDescriptor& layout, int32_t axis)
{
    return axis == 0 ? layout.mXMaximum : layout.mYMaximum;
}

// The rectangle of a child in the coordinates of its parent's parent, for a
// control placed at `position`.
RectT<double> ChildInParentCoordinates(LControl& control, const LControl& child, const PointT<double>& position,
                                       int32_t axis)
{
    const RectT<double> client = control.GetLookClientRect(-1);
    const PointT<double>& scroll = control.GetScrollOffset();
    RectT<double> rect = child.GetRect();
    rect.x += position.x + client.x - scroll.x;
    rect.y += position.y + client.y - scroll.y;
    if (IsDocked(child.GetLayout(), axis)) {
        rect.x -= scroll.x;
        rect.y -= scroll.y;
    }
    return rect;
}

// The reference rectangle of a named limit, in the control's parent's
// coordinates; {0, 0, 0, 0} for a name that matches no child.
RectT<double> LimitReference(LControl& control, const String& name, const PointT<double>& position, float anchor,
                             int32_t axis)
{
    const RCPtrArray<LControl>& children = control.GetChildren().GetChildren();
    if (name == kChildren) {
        bool any = false;
        double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;
        for (int32_t i = 0; i < children.GetCount(); ++i) {
            const RCPtr<LControl>& child = children.GetAt(i);
            if (!child->GetLayout().mClipToParent)
                continue;
            const RectT<double> rect = ChildInParentCoordinates(control, *child, position, axis);
            if (!any) {
                left = rect.x;
                top = rect.y;
                right = rect.GetRight();
                bottom = rect.GetBottom();
                any = true;
            } else {
                left = std::min(left, rect.x);
                top = std::min(top, rect.y);
                right = std::max(right, rect.GetRight());
                bottom = std::max(bottom, rect.GetBottom());
            }
        }
        const double width = any ? right - left : 0.0;
        const double height = any ? bottom - top : 0.0;
        return RectT<double>(position.x - anchor * width, position.y - anchor * height, width, height);
    }
    const RCPtr<LControl>& child = control.FindChild(name);
    if (!child)
        return RectT<double>();
    return ChildInParentCoordinates(control, *child, position, axis);
}

// The width or height that the control's frame adds around its active
// look's client area, for limits that follow the children.
double NonClientMargin(LControl& control, int32_t axis)
{
    if (control.GetActiveLookIndex() < 0)
        return 0.0;
    const RectT<double> client = control.GetLookClientRect(-1);
    return axis == 0 ? control.GetRect().width - client.width : control.GetRect().height - client.height;
}

} // namespace

double Round(double value)
{
    if (std::isnan(value))
        return 0.0;
    if (value >= 9.2e18 || value <= -9.2e18)
        return value;
    const int64_t rounded = static_cast<int64_t>(value < 0.0 ? value - 0.5 : value + 0.5);
    return static_cast<double>(rounded);
}

KXRESULT ComputePlacement(const LLayoutDescriptor* layout, LControl* parent, const RectT<double>& screen,
                          const PointT<double>& windowSize, const PointT<double>& pointer, RectT<double>& out)
{
    if (!layout)
        return E_INVALIDARG;
    References references;
    references.parent = parent;
    references.screen = screen;
    references.windowSize = windowSize;
    references.pointer = pointer;
    PointT<double> scroll;
    if (parent) {
        references.parentClient = parent->GetLookClientRect(-1);
        scroll = parent->GetScrollOffset();
    }

    PointT<double> position;
    PointT<double> size;
    for (int32_t axis = 0; axis < 2; ++axis) {
        const LLayoutDescriptor::PositionSpec& positionSpec = axis == 0 ? layout->mXPosition : layout->mYPosition;
        const LLayoutDescriptor::SizeSpec& sizeSpec = axis == 0 ? layout->mXSize : layout->mYSize;

        const bool namedPosition = positionSpec.mKind == LLayoutDescriptor::PositionControl;
        const Reference where = references.Of(positionSpec.mKind, namedPosition, positionSpec.mControlName, axis);
        // A client or window reference starts at 0.
        double p = Round(static_cast<double>(positionSpec.mRel) * where.extent) + positionSpec.mAbs + where.origin;

        double s = 0.0;
        if (sizeSpec.mKind == LLayoutDescriptor::SizeSelf) {
            s = std::max(sizeSpec.mAbs, 0.0);
        } else {
            const bool namedSize = sizeSpec.mKind == LLayoutDescriptor::SizeControl;
            const int32_t kind = sizeSpec.mKind == LLayoutDescriptor::SizeParent ? 0 : 1;
            const Reference reach = references.Of(kind, namedSize, sizeSpec.mControlName, axis);
            const double edge = Round(static_cast<double>(sizeSpec.mRel) * reach.extent) + reach.origin + sizeSpec.mAbs;
            s = SizeToEdge(edge - p, positionSpec.mAnchor);
        }
        p -= static_cast<double>(positionSpec.mAnchor) * s;
        if (axis == 0 ? layout->mXIsDocked : layout->mYIsDocked)
            p += Axis(scroll, axis);
        Axis(position, axis) = p;
        Axis(size, axis) = s;
    }

    const double right = Round(position.x + size.x);
    const double bottom = Round(position.y + size.y);
    out.x = Round(position.x);
    out.y = Round(position.y);
    out.width = right - out.x;
    out.height = bottom - out.y;
    return S_OK;
}

KXRESULT ApplyMinSize(LControl& control, PointT<double>& position, PointT<double>& size)
{
    const LLayoutDescriptor& layout = control.GetLayout();
    KXRESULT result = S_OK;
    for (int32_t axis = 0; axis < 2; ++axis) {
        const LLayoutDescriptor::SizeLimitSpec& limit = MinimumOf(layout, axis);
        const float anchor = PositionOf(layout, axis).mAnchor;
        double& p = Axis(position, axis);
        double& s = Axis(size, axis);
        if (!limit.mIsControl) {
            double minimum = limit.mAbs;
            const int32_t overflow = axis == 0 ? layout.mTextOverflowXType : layout.mTextOverflowYType;
            const bool grows = axis == 0 ? overflow == LLayoutDescriptor::OverflowXExpand
                                         : overflow == LLayoutDescriptor::OverflowYExpand;
            TextMeasure measure;
            if (grows && MeasureLookText(control, size, measure)) {
                minimum = TextMinimum(axis, size, minimum, measure);
                if (axis == 0 && !layout.mXMaximum.mIsControl && layout.mXMaximum.mAbs > 0.0 &&
                    minimum > layout.mXMaximum.mAbs)
                    minimum = layout.mXMaximum.mAbs; // the label wraps from there on
            }
            if (minimum > s) {
                p -= Round(static_cast<double>(anchor) * (minimum - s));
                s = minimum;
                if (result == S_OK)
                    result = S_FALSE;
            }
            continue;
        }
        if (control.GetChildCount() == 0)
            continue;
        const RectT<double> reference = LimitReference(control, limit.mControlName, position, anchor, axis);
        const double extent = Extent(reference, axis);
        if (!(extent > 0.0))
            continue;
        const double edge = static_cast<double>(limit.mRel) * extent + Origin(reference, axis) + limit.mAbs;
        if (edge < p) {
            if (!(anchor > 0.0f && anchor <= 1.0f)) {
                result = E_FAIL;
                continue;
            }
            s += Round((p - edge) / anchor);
            p = edge;
            if (result == S_OK)
                result = S_FALSE;
        } else if (edge > p + s) {
            if (!(anchor >= 0.0f && anchor < 1.0f)) {
                result = E_FAIL;
                continue;
            }
            p -= Round(static_cast<double>(anchor) * (edge - p - s) / (1.0 - anchor));
            s = Round(edge) - p;
            if (result == S_OK)
                result = S_FALSE;
        }
        if (limit.mControlName == kChildren)
            s += NonClientMargin(control, axis);
    }
    return result;
}

KXRESULT ApplyMaxSize(LControl& control, PointT<double>& position, PointT<double>& size)
{
    const LLayoutDescriptor& layout = control.GetLayout();
    KXRESULT result = S_OK;
    for (int32_t axis = 0; axis < 2; ++axis) {
        const LLayoutDescriptor::SizeLimitSpec& limit = MaximumOf(layout, axis);
        const float anchor = PositionOf(layout, axis).mAnchor;
        double& p = Axis(position, axis);
        double& s = Axis(size, axis);
        if (!limit.mIsControl) {
            if (limit.mAbs != 0.0 && s > limit.mAbs) {
                p += Round(static_cast<double>(anchor) * (s - limit.mAbs));
                s = limit.mAbs;
                result = S_FALSE;
            }
            continue;
        }
        if (control.GetChildCount() == 0)
            continue;
        const RectT<double> reference = LimitReference(control, limit.mControlName, position, anchor, axis);
        const double extent = Extent(reference, axis);
        if (!(extent > 0.0))
            continue;
        const double edge = static_cast<double>(limit.mRel) * extent + Origin(reference, axis) + limit.mAbs;
        if (p < edge && edge < p + s) {
            p -= Round(static_cast<double>(anchor) * (edge - p - s));
            s = Round(edge) - p;
            result = S_FALSE;
        }
        if (limit.mControlName == kChildren)
            s += NonClientMargin(control, axis);
    }
    return result;
}

bool MeasureLookText(LControl&, const PointT<double>&, TextMeasure&)
{
    // The looks' text layout answers here once it measures text; until then
    // no look has laid-out text.
    return false;
}

double TextMinimum(int32_t axis, const PointT<double>& size, double minimum, const TextMeasure& measure)
{
    if (axis == 0) {
        const double d = std::ceil(measure.mWidestLine - measure.mAreaWidth);
        const double fraction = static_cast<double>(measure.mRightRel) - static_cast<double>(measure.mLeftRel);
        // The text area's share of the width divides the missing width: a
        // share that is not above 0 cannot grow with the control.
        if (d > 0.0 && fraction > 0.0)
            minimum = std::max(minimum, size.x + std::ceil(d / fraction));
        return minimum;
    }
    const double d = std::ceil(measure.mWrappedHeight - measure.mAreaHeight);
    const double fraction = static_cast<double>(measure.mBottomRel) - static_cast<double>(measure.mTopRel);
    if (d > 0.0 && fraction > 0.0)
        minimum = std::max(minimum, size.y + std::ceil(d / fraction));
    return minimum;
}

} // namespace LayoutUtils
} // namespace KX
