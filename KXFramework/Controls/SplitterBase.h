// KX::LSplitterBase: a thin bar between two areas of a window that the user
// drags to give one area more room. It draws nothing beyond its looks and
// works entirely through the layout specs of its siblings:
// - its partner is the sibling that the splitter's own position along its
//   axis refers to by name (position kind 2); the partner's size follows the
//   drag;
// - the later siblings that refer to the splitter (a size reaching up to it,
//   or a position relative to it with a size that is not fixed) limit how far
//   it may move, together with the partner's preferred and maximum size.
//
// Orientation 0 is a horizontal bar that moves up and down (its axis is Y),
// 1 a vertical bar that moves left and right (its axis is X). LSplitterH and
// LSplitterV only choose the orientation.
//
// Contract:
// - While the left button drags it, the splitter's position is absolute
//   (client kind) and the pointer moves it within the computed bounds; the
//   partner's absolute size grows by the same amount. When the drag ends the
//   position refers to the partner again with its saved relative and
//   absolute parts, so it sits at the partner's new edge.
// - Every layout that its parent runs (the UITarget RecalcLayout) ends with a
//   range correction: a splitter left outside its allowed range by a smaller
//   window resizes its partner so that it is back at the nearest bound.
// - Hovering shows the resize cursor "UI_CURSOR_SIZE_WE" (vertical bar) or
//   "UI_CURSOR_SIZE_NS" (horizontal bar).
// - Looks: 0 normal, 1 hovered or dragged, 2 dragged and hovered, 3 focused,
//   4 focused and hovered (or dragged away), 5 focused, dragged and hovered,
//   6 disabled.
#pragma once

#include "ControlBase/Control.h"

namespace KX {

class LSplitterBase : public LControl
{
public:
    // The largest coordinate the bounds start from: no limit.
    static constexpr double kNoLimit = 4503599627370496.0; // 2^52

    int32_t GetOrientation() const { return mOrientation; }
    // The axis the splitter moves along: 0 X (vertical bar), 1 Y.
    int32_t GetAxis() const { return 1 - mOrientation; }
    // The bounds of the current drag, in the drag machinery's coordinates.
    double GetDragMin() const { return mDragMin; }
    double GetDragMax() const { return mDragMax; }
    const RCPtr<LControl>& GetPartner() const { return mPartner; }

    // ==== LControl ====

    KXRESULT BeginDrag() override;
    void OnDragMoved(const RCPtr<LPointWithModifiersParam>& param) override;
    KXRESULT EndDrag() override;
    void GetDragBounds(RectT<double>& bounds) override;
    void OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
    KXRESULT Initialize() override;

    // ==== KX::UITarget ====

    // The control's layout, then the range correction.
    KXRESULT RecalcLayout(int32_t width, int32_t height) override;
    using LControl::RecalcLayout;

protected:
    LSplitterBase(const RCPtr<LControl>& parent, const String& name, int32_t orientation);
    ~LSplitterBase() override = default;

    // Selects the look of the current conditions, exclusively.
    void UpdateLook();

private:
    // The allowed range of the splitter's coordinate along its axis.
    struct Range
    {
        double low = 0.0;
        double high = kNoLimit;
    };

    // The sibling named by the splitter's position spec when that spec has
    // the named-control kind; null otherwise.
    RCPtr<LControl> FindNamedPartner() const;
    // Narrows the range by the partner: it may not shrink below its
    // preferred size nor grow beyond a maximum above 0. `partnerSizeAbs` is
    // the absolute part of its size spec, `coordinate` the splitter's.
    static void LimitByPartner(Range& range, double coordinate, double partnerSizeAbs, double preferred,
                               double maximum);
    // Whether a sibling refers to the splitter (its size reaches up to it,
    // or it is placed relative to it with a size that is not fixed), and the
    // relative part of the referring spec.
    bool RefersToSplitter(const LControl& sibling, float& relative) const;
    // Narrows the range by one referring sibling of size `size`, preferred
    // size `preferred` and maximum `maximum` along the axis.
    static void LimitBySibling(Range& range, double coordinate, float relative, double size, double preferred,
                               double maximum);
    // The range correction after a layout.
    void CorrectRange();
    // The size along the axis that a sibling's layout gives now, without
    // limits and with its minimum and maximum applied.
    void MeasureSibling(LControl& sibling, double& unlimited, double& limited) const;

    double Coordinate() const { return GetAxis() == 0 ? mRect.x : mRect.y; }

    // ---- Fields, in order ----
    int32_t mOrientation;
    double mDragMin = 0.0;
    double mDragMax = 0.0;
    double mSavedPosAbs = 0.0;
    float mSavedPosRel = 0.0f;
    RCPtr<LControl> mPartner;
    double mPartnerSizeAbs = 0.0;
};

} // namespace KX
