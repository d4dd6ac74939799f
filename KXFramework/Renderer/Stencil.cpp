#include "Renderer/Stencil.h"

namespace KX {

LStencil::LStencil(const PointT<long>& size)
    : mWidth(size.x), mHeight(size.y), mRect(0, 0, size.x, size.y)
{
}

KXRESULT LStencil::Create(RCPtr<LStencil>& out, const PointT<long>& size)
{
    out = RCPtr<LStencil>(new LStencil(size));
    return S_OK;
}

KXRESULT LStencil::Clone(RCPtr<LStencil>& out) const
{
    return Create(out, PointT<long>(mWidth, mHeight));
}

} // namespace KX
