// The payloads of control notifications and input calls: small data-only
// counted objects. Each is made by its Create function and handed out through
// an RCPtr; the ones made for every pointer event or value change come from
// per-class block pools (KX::ReuseAllocator), used on the user-interface
// thread only and therefore without a lock.
//
// A class derived from a pooled class without a pool of its own (the list
// items' conditions parameter) has another size than the pool's objects: the
// pool serves and frees it on the system heap.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "System/KeyCode.h"
#include "Utilities/Geometry/PointT.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/ReuseAllocator.h"

#include <cstdint>

namespace KX {

class LControl;

// A pointer position.
class LPointParam : public virtual LRefCountedObject
{
public:
    int32_t mX = 0;
    int32_t mY = 0;

    PointT<long> GetPoint() const { return PointT<long>(mX, mY); }

protected:
    LPointParam() = default;
    ~LPointParam() override = default;
};

// A pointer position with the key modifiers as the window supplied them
// (Ctrl 0x01, Shift 0x08, Alt 0x40) and the pointer index (0: the mouse).
class LPointWithModifiersParam : public LPointParam
{
    KX_DECLARE_REUSE_ALLOCATOR(LPointWithModifiersParam, 32, false)

public:
    static RCPtr<LPointWithModifiersParam> Create(const PointT<long>& point, int32_t modifiers, int32_t pointer);

    int32_t mModifiers = 0;
    int32_t mPointer = 0;

protected:
    LPointWithModifiersParam() = default;
    ~LPointWithModifiersParam() override = default;
};

// A button press or release. The double-click flag is 1 on the second press
// of a double click, and on the release of such a press.
class LMouseButtonParam : public LPointWithModifiersParam
{
    KX_DECLARE_REUSE_ALLOCATOR(LMouseButtonParam, 32, false)

public:
    static RCPtr<LMouseButtonParam> Create(int32_t button, const PointT<long>& point, int32_t modifiers,
                                           int32_t doubleClick, int32_t buttonsDown, int32_t pointer);

    int32_t mButton = 0; // 1 left, 2 middle, 4 right
    int32_t mDoubleClick = 0;
    int32_t mButtonsDown = 0; // the buttons held when the event was made

protected:
    LMouseButtonParam() = default;
    ~LMouseButtonParam() override = default;
};

// One wheel step in a direction; the point is in root-window client
// coordinates, the pointer index 0.
class LMouseWheelParam : public LPointWithModifiersParam
{
    KX_DECLARE_REUSE_ALLOCATOR(LMouseWheelParam, 4, false)

public:
    // The directions of a step (the numbers mDirection holds).
    enum Direction : int32_t { WheelDown = 0, WheelUp = 1, WheelLeft = 2, WheelRight = 3 };

    static RCPtr<LMouseWheelParam> Create(const PointT<long>& point, int32_t modifiers, int32_t direction);

    int32_t mDirection = WheelDown;

    bool IsHorizontal() const { return mDirection != WheelDown && mDirection != WheelUp; }

protected:
    LMouseWheelParam() = default;
    ~LMouseWheelParam() override = default;
};

// A key on its way through the tree. The window flag is 1 for a key the
// window made, 0 for a navigation key made by a control; the visited controls
// are the ones that passed it on, the last being where it comes from now.
class LKeyParam : public virtual LRefCountedObject
{
public:
    static RCPtr<LKeyParam> Create(const KeyCode& key, int32_t windowFlag);

    KeyCode mKey;
    int32_t mWindowFlag = 0;
    RCPtrArray<LControl> mVisited;

protected:
    LKeyParam() = default;
    ~LKeyParam() override;
};

// A key offered to the siblings of its source; a listener sets the result to
// 0 to consume it.
class LSiblingKeyParam : public virtual LRefCountedObject
{
public:
    static RCPtr<LSiblingKeyParam> Create(const KeyCode& key, const RCPtr<LControl>& source);

    KeyCode mKey;
    RCPtr<LControl> mSource;
    int32_t mResult = -1;

protected:
    LSiblingKeyParam() = default;
    ~LSiblingKeyParam() override;
};

// The payload of every condition notification of one control: both words
// and the control's drag origin when they changed. One object per control,
// reused for every change.
class LConditionsParam : public virtual LRefCountedObject
{
    KX_DECLARE_REUSE_ALLOCATOR(LConditionsParam, 4, false)

public:
    static RCPtr<LConditionsParam> Create(uint32_t oldConditions, uint32_t newConditions,
                                          const PointT<double>& point);

    uint32_t mOldConditions = 0;
    uint32_t mNewConditions = 0;
    PointT<double> mPoint;

    uint32_t GetChangedConditions() const { return mOldConditions ^ mNewConditions; }

protected:
    LConditionsParam() = default;
    ~LConditionsParam() override = default;
};

// A value change: the value in [0, 1] and mapped into the control's range.
class LValueParam : public virtual LRefCountedObject
{
    KX_DECLARE_REUSE_ALLOCATOR(LValueParam, 4, false)

public:
    static RCPtr<LValueParam> Create(double normalizedValue, double value);

    double mNormalizedValue = 0.0;
    double mValue = 0.0;

protected:
    LValueParam() = default;
    ~LValueParam() override = default;
};

class LMenuDescriptor;

// The data of a menu item's notification: the menu the item was chosen in
// and the item's index there (-1 when the chosen row was past the items).
class LMenuActivationParam : public virtual LRefCountedObject
{
    KX_DECLARE_REUSE_ALLOCATOR(LMenuActivationParam, 4, false)

public:
    static RCPtr<LMenuActivationParam> Create(const RCPtr<LMenuDescriptor>& menu, int32_t index);

    RCPtr<LMenuDescriptor> mMenu;
    int32_t mIndex = -1;

protected:
    LMenuActivationParam() = default;
    ~LMenuActivationParam() override;
};

// The control whose menu items a popup menu asks about. Its reference back to
// the control counts as one of the control's internal references, so the
// pair does not keep itself alive (the control drops it in its release hook).
class LMenuItemUpdater : public virtual LRefCountedObject
{
public:
    static RCPtr<LMenuItemUpdater> Create(const RCPtr<LControl>& control);

    RCPtr<LControl> mControl;

protected:
    LMenuItemUpdater() = default;
    ~LMenuItemUpdater() override;
};

} // namespace KX
