#include "ControlBase/LookDescriptor.h"

#include "ControlBase/VisualPart.h"

namespace KX {

RCPtr<LVisualPart> LDockedPart::GetVisualPart() const
{
    return mPart ? mPart->GetVisualPart() : RCPtr<LVisualPart>();
}

KXRESULT LLookDescriptor::SetClientPart(const ConstRCPtr<LDockedPart>& part)
{
    mClientPart = part;
    return S_OK;
}

KXRESULT LLookDescriptor::SetTextProperties(const TextProperties& text,
                                            const ConstRCPtr<LVisualPartDescriptor>& foreground)
{
    mText = text;
    mTextForegroundPart = foreground;
    mHasText = true;
    return S_OK;
}

RectT<float> LLookDescriptor::GetTextRect(float width, float height) const
{
    if (!mHasText)
        return RectT<float>(0, 0, 0, 0);
    const float left = mText.mLeftRel * width + static_cast<float>(mText.mLeftAbs);
    const float top = mText.mTopRel * height + static_cast<float>(mText.mTopAbs);
    const float right = mText.mRightRel * width + static_cast<float>(mText.mRightAbs);
    const float bottom = mText.mBottomRel * height + static_cast<float>(mText.mBottomAbs);
    return RectT<float>(left, top, right - left, bottom - top);
}

} // namespace KX
