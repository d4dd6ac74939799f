#include "ControlBase/LayoutDescriptor.h"

namespace KX {

bool LLayoutDescriptor::PositionSpec::operator==(const PositionSpec& other) const
{
    return mAnchor == other.mAnchor && mKind == other.mKind && mControlName == other.mControlName &&
           mRel == other.mRel && mAbs == other.mAbs;
}

bool LLayoutDescriptor::SizeSpec::operator==(const SizeSpec& other) const
{
    return mKind == other.mKind && mControlName == other.mControlName && mRel == other.mRel && mAbs == other.mAbs;
}

bool LLayoutDescriptor::SizeLimitSpec::operator==(const SizeLimitSpec& other) const
{
    return mIsControl == other.mIsControl && mControlName == other.mControlName && mRel == other.mRel &&
           mAbs == other.mAbs;
}

KXRESULT LLayoutDescriptor::GetAxisSpec(int32_t axis, PositionSpec& position, bool& docked, SizeSpec& size) const
{
    if (axis != 0 && axis != 1)
        return E_INVALIDARG;
    position = axis == 0 ? mXPosition : mYPosition;
    docked = axis == 0 ? mXIsDocked : mYIsDocked;
    size = axis == 0 ? mXSize : mYSize;
    return S_OK;
}

KXRESULT LLayoutDescriptor::SetAxisSpec(int32_t axis, const PositionSpec& position, bool docked, const SizeSpec& size)
{
    if (axis != 0 && axis != 1)
        return E_INVALIDARG;
    (axis == 0 ? mXPosition : mYPosition) = position;
    (axis == 0 ? mXIsDocked : mYIsDocked) = docked;
    (axis == 0 ? mXSize : mYSize) = size;
    return S_OK;
}

KXRESULT LLayoutDescriptor::GetSizeLimits(int32_t axis, SizeLimitSpec& minimum, SizeLimitSpec& maximum) const
{
    if (axis != 0 && axis != 1)
        return E_INVALIDARG;
    minimum = axis == 0 ? mXMinimum : mYMinimum;
    maximum = axis == 0 ? mXMaximum : mYMaximum;
    return S_OK;
}

KXRESULT LLayoutDescriptor::SetSizeLimits(int32_t axis, const SizeLimitSpec& minimum, const SizeLimitSpec& maximum)
{
    if (axis != 0 && axis != 1)
        return E_INVALIDARG;
    (axis == 0 ? mXMinimum : mYMinimum) = minimum;
    (axis == 0 ? mXMaximum : mYMaximum) = maximum;
    return S_OK;
}

KXRESULT LLayoutDescriptor::ReplaceControlName(const String& oldName, const String& newName)
{
    bool replaced = false;
    for (String* name : {&mXPosition.mControlName, &mXSize.mControlName, &mYPosition.mControlName,
                         &mYSize.mControlName}) {
        if (*name == oldName) {
            *name = newName;
            replaced = true;
        }
    }
    return replaced ? S_OK : S_FALSE;
}

bool LLayoutDescriptor::operator==(const LLayoutDescriptor& other) const
{
    return mClipToParent == other.mClipToParent && mZOrder == other.mZOrder && mTabStop == other.mTabStop &&
           mIsVisible == other.mIsVisible && mEnabled == other.mEnabled && mXIsDocked == other.mXIsDocked &&
           mYIsDocked == other.mYIsDocked && mXPosition == other.mXPosition && mYPosition == other.mYPosition &&
           mXSize == other.mXSize && mYSize == other.mYSize && mXMinimum == other.mXMinimum &&
           mYMinimum == other.mYMinimum && mXMaximum == other.mXMaximum && mYMaximum == other.mYMaximum &&
           mTextDecoration == other.mTextDecoration && mTextOverflowXType == other.mTextOverflowXType &&
           mTextOverflowYType == other.mTextOverflowYType && mLayoutOrder == other.mLayoutOrder;
}

} // namespace KX
