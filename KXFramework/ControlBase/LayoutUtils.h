// KX::LayoutUtils: the arithmetic of the layout engine. A control's rectangle
// comes from its layout record per axis: a position relative to a reference
// (the parent, its client area, a named sibling; for a top control the
// screen, the window or the pointer), a size (fixed, or reaching a far edge of
// a reference), the anchor that says which point of the control the position
// places, docking against the parent's scrolling, then the minimum and the
// maximum sizes. Results are rounded half away from zero.
#pragma once

#include "ControlBase/LayoutDescriptor.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Geometry/PointT.h"
#include "Utilities/Geometry/RectT.h"

#include <cstdint>

namespace KX {

class LControl;

namespace LayoutUtils {

// Half away from zero, in 64-bit integers, back to double.
double Round(double value);

// The rectangle a layout gives: with a parent from the parent's references;
// without one from the screen rectangle (in window client coordinates), the
// window size and the pointer. 0; E_INVALIDARG without a layout.
KXRESULT ComputePlacement(const LLayoutDescriptor* layout, LControl* parent, const RectT<double>& screen,
                          const PointT<double>& windowSize, const PointT<double>& pointer, RectT<double>& out);

// The minimum sizes of the control's layout applied to a computed position
// and size, the anchor point kept. 0 nothing changed, 1 changed, E_FAIL when
// an anchor outside its range prevented a named minimum (the other axis is
// still processed).
KXRESULT ApplyMinSize(LControl& control, PointT<double>& position, PointT<double>& size);
// The same for the maximum sizes.
KXRESULT ApplyMaxSize(LControl& control, PointT<double>& position, PointT<double>& size);

// What the text-driven minimum needs to know of the active look's label for
// the control's current size. The measuring comes with the looks' text
// layout; until a look answers, a control has no text to grow with.
struct TextMeasure
{
    double mAreaWidth = 0.0;     // width of the look's text area at the current size
    double mAreaHeight = 0.0;    // height of the text area
    double mWidestLine = 0.0;    // the text laid out without wrapping
    double mWrappedHeight = 0.0; // the text wrapped at the current width
    float mLeftRel = 0.0f;       // the text area's fractions of the look's size
    float mRightRel = 0.0f;
    float mTopRel = 0.0f;
    float mBottomRel = 0.0f;
};

// The text measures of the control's active look at the size; false when the
// control has no active look with laid-out text (the seam the looks' text
// layout fills).
bool MeasureLookText(LControl& control, const PointT<double>& size, TextMeasure& measure);

// The Self minimum of one axis grown to fit the text: for X (Expand only) the
// widest unwrapped line, for Y (Expand) the wrapped height. A candidate whose
// text-area fraction along the axis is not above 0 is skipped. Answers the
// new minimum (the given one when the text does not need more).
double TextMinimum(int32_t axis, const PointT<double>& size, double minimum, const TextMeasure& measure);

} // namespace LayoutUtils
} // namespace KX
