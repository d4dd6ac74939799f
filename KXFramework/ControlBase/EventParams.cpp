#include "ControlBase/EventParams.h"

#include "ControlBase/Control.h"
#include "Controls/MenuDescriptor.h"

namespace KX {

RCPtr<LPointWithModifiersParam> LPointWithModifiersParam::Create(const PointT<long>& point, int32_t modifiers,
                                                                 int32_t pointer)
{
    RCPtr<LPointWithModifiersParam> param(new LPointWithModifiersParam());
    param->mX = point.x;
    param->mY = point.y;
    param->mModifiers = modifiers;
    param->mPointer = pointer;
    return param;
}

RCPtr<LMouseButtonParam> LMouseButtonParam::Create(int32_t button, const PointT<long>& point, int32_t modifiers,
                                                   int32_t doubleClick, int32_t buttonsDown, int32_t pointer)
{
    RCPtr<LMouseButtonParam> param(new LMouseButtonParam());
    param->mX = point.x;
    param->mY = point.y;
    param->mModifiers = modifiers;
    param->mPointer = pointer;
    param->mButton = button;
    param->mDoubleClick = doubleClick;
    param->mButtonsDown = buttonsDown;
    return param;
}

RCPtr<LMouseWheelParam> LMouseWheelParam::Create(const PointT<long>& point, int32_t modifiers, int32_t direction)
{
    RCPtr<LMouseWheelParam> param(new LMouseWheelParam());
    param->mX = point.x;
    param->mY = point.y;
    param->mModifiers = modifiers;
    param->mPointer = 0;
    param->mDirection = direction;
    return param;
}

RCPtr<LKeyParam> LKeyParam::Create(const KeyCode& key, int32_t windowFlag)
{
    RCPtr<LKeyParam> param(new LKeyParam());
    param->mKey = key;
    param->mWindowFlag = windowFlag;
    return param;
}

LKeyParam::~LKeyParam() = default;

RCPtr<LSiblingKeyParam> LSiblingKeyParam::Create(const KeyCode& key, const RCPtr<LControl>& source)
{
    RCPtr<LSiblingKeyParam> param(new LSiblingKeyParam());
    param->mKey = key;
    param->mSource = source;
    return param;
}

LSiblingKeyParam::~LSiblingKeyParam() = default;

RCPtr<LConditionsParam> LConditionsParam::Create(uint32_t oldConditions, uint32_t newConditions,
                                                 const PointT<double>& point)
{
    RCPtr<LConditionsParam> param(new LConditionsParam());
    param->mOldConditions = oldConditions;
    param->mNewConditions = newConditions;
    param->mPoint = point;
    return param;
}

RCPtr<LValueParam> LValueParam::Create(double normalizedValue, double value)
{
    RCPtr<LValueParam> param(new LValueParam());
    param->mNormalizedValue = normalizedValue;
    param->mValue = value;
    return param;
}

RCPtr<LMenuActivationParam> LMenuActivationParam::Create(const RCPtr<LMenuDescriptor>& menu, int32_t index)
{
    RCPtr<LMenuActivationParam> param(new LMenuActivationParam());
    param->mMenu = menu;
    param->mIndex = index;
    return param;
}

LMenuActivationParam::~LMenuActivationParam() = default;

RCPtr<LMenuItemUpdater> LMenuItemUpdater::Create(const RCPtr<LControl>& control)
{
    RCPtr<LMenuItemUpdater> updater(new LMenuItemUpdater());
    updater->mControl = control;
    return updater;
}

LMenuItemUpdater::~LMenuItemUpdater() = default;

} // namespace KX
