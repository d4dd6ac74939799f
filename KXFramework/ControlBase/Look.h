// KX::LLook: one appearance of a control, made from a look descriptor: a
// client part that fills the client area, parts docked to its edges and a
// text area for the label. A control holds one look per slot of its skin's
// look list and blends them by weights.
//
// This is the part of the look that the control base relies on: its size and
// client rectangle, and the colour under a point for hit testing. Drawing,
// the visual parts and the label's text layout complete it.
#pragma once

#include "ControlBase/LookDescriptor.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Geometry/PointT.h"
#include "Utilities/Geometry/RectT.h"

#include <cstdint>

namespace KX {

class LLook : public virtual LRefCountedObject
{
public:
    // A new look of the descriptor (wrap: the label wraps at the text area).
    static RCPtr<LLook>& Create(RCPtr<LLook>& out, const ConstRCPtr<LLookDescriptor>& descriptor, bool wrap);

    KXRESULT SetDescriptor(const ConstRCPtr<LLookDescriptor>& descriptor, bool wrap);
    // Lays the look out for the size (nothing when it did not change); true.
    bool SetSize(const PointT<long>& size);
    // The packed colour 0xAARRGGBB at a point of the look.
    virtual uint32_t GetColorAtPoint(const PointT<long>& point);

    const ConstRCPtr<LLookDescriptor>& GetDescriptor() const { return mDescriptor; }
    // The client area in look coordinates.
    const RectT<long>& GetClientRect() const { return mClientRect; }
    PointT<long> GetSize() const { return PointT<long>(mWidth, mHeight); }

protected:
    LLook() = default;
    ~LLook() override = default;

private:
    void LayOut();

    ConstRCPtr<LLookDescriptor> mDescriptor;
    bool mWrap = false;
    long mWidth = 0;
    long mHeight = 0;
    RectT<long> mClientRect;
};

} // namespace KX
