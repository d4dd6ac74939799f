// KX::LLayoutDescriptor: the placement record of one control, as the skin
// describes it. Every control works on its own clone of its description's
// record; the layout engine does the arithmetic.
//
// Per axis the record holds a position (which point of the control the
// position places, relative to what, and how far), a size (fixed, or reaching
// a far edge of a reference), a docked flag, and a minimum and a maximum size.
// A maximum of kind Self with abs 0 means that there is no maximum.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace KX {

class LLayoutDescriptor : public virtual LRefCountedObject
{
public:
    using String = StringT<wchar_t, char>;

    // What a position is measured from.
    enum PositionKind : int32_t {
        PositionParent = 0,  // the parent's whole rectangle; the screen for a top control
        PositionClient = 1,  // the parent's client area; the active window for a top control
        PositionControl = 2, // the sibling named by mControlName
    };

    // What a size reaches to.
    enum SizeKind : int32_t {
        SizeParent = 0,
        SizeClient = 1,
        SizeSelf = 2, // a fixed size: mAbs
        SizeControl = 3,
    };

    enum TextOverflowX : int32_t { OverflowXClip = 0, OverflowXExpand = 1, OverflowXWrap = 2 };
    enum TextOverflowY : int32_t { OverflowYClip = 0, OverflowYExpand = 1 };

    struct PositionSpec
    {
        float mAnchor = 0.0f; // 0 places the near edge, 1 the far edge, 0.5 the centre
        int32_t mKind = PositionClient;
        String mControlName;
        float mRel = 0.0f; // fraction of the reference's extent
        double mAbs = 0.0; // pixels

        bool operator==(const PositionSpec& other) const;
        bool operator!=(const PositionSpec& other) const { return !(*this == other); }
    };

    struct SizeSpec
    {
        int32_t mKind = SizeSelf;
        String mControlName;
        float mRel = 0.0f;
        double mAbs = 0.0;

        bool operator==(const SizeSpec& other) const;
        bool operator!=(const SizeSpec& other) const { return !(*this == other); }
    };

    struct SizeLimitSpec
    {
        bool mIsControl = false; // false: Self; true: mControlName ("Children": all children)
        String mControlName;
        float mRel = 0.0f;
        double mAbs = 0.0;

        bool operator==(const SizeLimitSpec& other) const;
        bool operator!=(const SizeLimitSpec& other) const { return !(*this == other); }
    };

    static RCPtr<LLayoutDescriptor> Create() { return RCPtr<LLayoutDescriptor>(new LLayoutDescriptor()); }
    // A new record with every field copied.
    RCPtr<LLayoutDescriptor> Clone() const { return RCPtr<LLayoutDescriptor>(new LLayoutDescriptor(*this)); }

    // One axis (0 X, 1 Y); E_INVALIDARG for another axis, nothing written.
    KXRESULT GetAxisSpec(int32_t axis, PositionSpec& position, bool& docked, SizeSpec& size) const;
    KXRESULT SetAxisSpec(int32_t axis, const PositionSpec& position, bool docked, const SizeSpec& size);
    KXRESULT GetSizeLimits(int32_t axis, SizeLimitSpec& minimum, SizeLimitSpec& maximum) const;
    KXRESULT SetSizeLimits(int32_t axis, const SizeLimitSpec& minimum, const SizeLimitSpec& maximum);

    // The control names of the X position, X size, Y position and Y size that
    // equal oldName become newName; the limits keep theirs. 0 when any name
    // was replaced, else 1.
    KXRESULT ReplaceControlName(const String& oldName, const String& newName);

    bool operator==(const LLayoutDescriptor& other) const;

    bool mClipToParent = true;
    int32_t mZOrder = 0;
    int32_t mTabStop = 0; // negative: the control takes no focus
    bool mIsVisible = true;
    bool mEnabled = true;
    bool mXIsDocked = false;
    bool mYIsDocked = false;
    PositionSpec mXPosition;
    PositionSpec mYPosition;
    SizeSpec mXSize{SizeSelf, String(), 0.0f, 16.0};
    SizeSpec mYSize{SizeSelf, String(), 0.0f, 40.0};
    SizeLimitSpec mXMinimum;
    SizeLimitSpec mYMinimum;
    SizeLimitSpec mXMaximum;
    SizeLimitSpec mYMaximum;
    String mTextDecoration;
    int32_t mTextOverflowXType = OverflowXClip;
    int32_t mTextOverflowYType = OverflowYClip;
    int32_t mLayoutOrder = 0; // creation and layout order among siblings

protected:
    LLayoutDescriptor() = default;
    LLayoutDescriptor(const LLayoutDescriptor& other) = default;
    ~LLayoutDescriptor() override = default;
};

} // namespace KX
