// KX::LStencil: a mask description of a given size, carried with the render
// state. No renderer of this system draws with it; it travels with PushClip
// and PopState so that a renderer that masks can find it.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Geometry/PointT.h"
#include "Utilities/Geometry/RectT.h"

#include <cstdint>

namespace KX {

class LStencil : public virtual LRefCountedObject
{
public:
    // A stencil of size {width, height}, whose rect is {0, 0, width, height}.
    static KXRESULT Create(RCPtr<LStencil>& out, const PointT<long>& size);
    // A new stencil of the same width and height.
    KXRESULT Clone(RCPtr<LStencil>& out) const;

    int32_t mWidth = 0;
    int32_t mHeight = 0;
    RectT<long> mRect;

protected:
    explicit LStencil(const PointT<long>& size);
    ~LStencil() override = default;
};

} // namespace KX
