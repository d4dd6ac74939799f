#include "ControlBase/Look.h"

#include <algorithm>

namespace KX {

RCPtr<LLook>& LLook::Create(RCPtr<LLook>& out, const ConstRCPtr<LLookDescriptor>& descriptor, bool wrap)
{
    out = new LLook();
    out->SetDescriptor(descriptor, wrap);
    return out;
}

KXRESULT LLook::SetDescriptor(const ConstRCPtr<LLookDescriptor>& descriptor, bool wrap)
{
    mDescriptor = descriptor;
    mWrap = wrap;
    // A look that was sized already is laid out again for the new parts.
    const PointT<long> size = GetSize();
    mWidth = 0;
    mHeight = 0;
    SetSize(size);
    return S_OK;
}

bool LLook::SetSize(const PointT<long>& size)
{
    if (size.x == mWidth && size.y == mHeight)
        return true;
    mWidth = size.x;
    mHeight = size.y;
    LayOut();
    return true;
}

uint32_t LLook::GetColorAtPoint(const PointT<long>&)
{
    // Without drawn parts nothing of the look is opaque.
    return 0x00FFFFFF;
}

void LLook::LayOut()
{
    // The client part's offsets: left and top from the near edges, right and
    // bottom signed distances from the far edges (negative: inside).
    long left = 0, top = 0, right = 0, bottom = 0;
    if (mDescriptor && mDescriptor->GetClientPart()) {
        const LDockedPart& part = *mDescriptor->GetClientPart();
        left = part.mOffsetLeft;
        top = part.mOffsetTop;
        right = part.mOffsetRight;
        bottom = part.mOffsetBottom;
    }
    const long x = std::clamp<long>(left, 0, std::max<long>(mWidth, 0));
    const long y = std::clamp<long>(top, 0, std::max<long>(mHeight, 0));
    const long width = std::clamp<long>(mWidth - x + right, 0, std::max<long>(mWidth - x, 0));
    const long height = std::clamp<long>(mHeight - y + bottom, 0, std::max<long>(mHeight - y, 0));
    mClientRect = RectT<long>(x, y, width, height);
}

} // namespace KX
