#include "ControlBase/VisualPartDescriptor.h"

#include "ControlBase/VisualPart.h"
#include "Utilities/Graphics/Bitmap.h"

namespace KX {

namespace {

// The rectangle of a registry image that a bitmap descriptor names; null
// without a file or when the image is missing.
RCPtr<LBitmap> CutBitmap(const BitmapDescriptor& descriptor)
{
    RCPtr<LBitmap> cut;
    if (descriptor.IsEmpty())
        return cut;
    RCPtr<LBitmap> image;
    LBitmap::Get(image, descriptor.mFile);
    if (image)
        image->CreateSubBitmap(cut, descriptor.mX, descriptor.mY, descriptor.mWidth, descriptor.mHeight);
    return cut;
}

} // namespace

LVisualPartDescriptor::LVisualPartDescriptor() = default;

LVisualPartDescriptor::~LVisualPartDescriptor() = default;

RCPtr<LVisualPart> LVisualPartDescriptor::GetVisualPart() const
{
    if (mVisualPart)
        return mVisualPart;
    const RCPtr<LBitmap> mask = CutBitmap(mMask);
    RCPtr<LVisualPart> part;
    const KX::ResizeType resizeType = static_cast<KX::ResizeType>(mResizeType);
    if (!mImage.IsEmpty()) {
        part = new LVisualPart(mName, CutBitmap(mImage), resizeType, mColorizer, PointT<long>(mWidth, mHeight),
                               mAlphaModifier, mask);
    } else if (mColorizer) {
        part = new LVisualPart(mName, RCPtr<LBitmap>(), resizeType, mColorizer, PointT<long>(mWidth, mHeight),
                               mAlphaModifier, mask);
    } else {
        return part;
    }
    mVisualPart = part;
    part->AdjustInternalReferenceCount(1);
    part->SetOwner(ConstRCPtr<LVisualPartDescriptor>(const_cast<LVisualPartDescriptor*>(this)));
    return part;
}

void LVisualPartDescriptor::ForgetVisualPart(const LVisualPart* part) const
{
    if (mVisualPart.Get() == part)
        mVisualPart = nullptr;
}

} // namespace KX
