// KX::LDockedPart and KX::LLookDescriptor: a look is a client part, parts
// docked to its edges and drawn over it, and a text area with its colour.
// KX::LLookList holds the looks of one control, one slot per state.
#pragma once

#include "ControlBase/VisualPartDescriptor.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Geometry/RectT.h"
#include "Utilities/Storage/LRCPtrArray.h"
#include "Utilities/Storage/RCPtrArray.h"

namespace KX {

// A part placed in a look. A client part has all four edges given and no
// width or height; a non-client part gives the edges its skin names.
class LDockedPart : public virtual LRefCountedObject
{
public:
    enum Edge : int32_t { EdgeLeft = 1, EdgeTop = 2, EdgeRight = 4, EdgeBottom = 8, EdgeAll = 15 };

    static RCPtr<LDockedPart> Create() { return RCPtr<LDockedPart>(new LDockedPart()); }

    ConstRCPtr<LVisualPartDescriptor> mPart;
    int32_t mGivenEdges = 0;
    int32_t mOffsetLeft = 0;   // from the look's left edge
    int32_t mOffsetTop = 0;    // from the look's top edge
    int32_t mOffsetRight = 0;  // signed distance from the look's right edge (negative: inside)
    int32_t mOffsetBottom = 0; // signed distance from the look's bottom edge
    bool mHasWidth = false;
    int32_t mWidth = 0;
    bool mHasHeight = false;
    int32_t mHeight = 0;

    // The visual part of the part descriptor (counted); null without one.
    RCPtr<LVisualPart> GetVisualPart() const;

protected:
    LDockedPart() = default;
    ~LDockedPart() override = default;
};

class LLookDescriptor : public virtual LRefCountedObject
{
public:
    // Where the label text goes: each edge is a fraction of the look's size
    // plus pixels; the alignments place lines and block within the area.
    struct TextProperties
    {
        float mLeftRel = 0.0f;
        int32_t mLeftAbs = 0;
        float mRightRel = 0.0f;
        int32_t mRightAbs = 0;
        float mHAlign = 0.0f;
        float mTopRel = 0.0f;
        int32_t mTopAbs = 0;
        float mBottomRel = 0.0f;
        int32_t mBottomAbs = 0;
        float mVAlign = 0.0f;
    };

    static RCPtr<LLookDescriptor> Create(const StringT<wchar_t, char>& name)
    {
        return RCPtr<LLookDescriptor>(new LLookDescriptor(name));
    }

    KXRESULT SetClientPart(const ConstRCPtr<LDockedPart>& part);
    // Sets the text area and colour part; the look has text from now on.
    KXRESULT SetTextProperties(const TextProperties& text, const ConstRCPtr<LVisualPartDescriptor>& foreground);
    // The text area for a look of the given size; (0, 0, 0, 0) without text.
    RectT<float> GetTextRect(float width, float height) const;

    const StringT<wchar_t, char>& GetName() const { return mName; }
    const ConstRCPtr<LDockedPart>& GetClientPart() const { return mClientPart; }
    RCPtrArray<LDockedPart>& GetNonClientParts() { return mNonClientParts; }
    const RCPtrArray<LDockedPart>& GetNonClientParts() const { return mNonClientParts; }
    bool HasText() const { return mHasText; }
    const TextProperties& GetTextProperties() const { return mText; }
    const ConstRCPtr<LVisualPartDescriptor>& GetTextForegroundPart() const { return mTextForegroundPart; }

protected:
    explicit LLookDescriptor(const StringT<wchar_t, char>& name) : mName(name) {}
    ~LLookDescriptor() override = default;

private:
    StringT<wchar_t, char> mName;
    ConstRCPtr<LDockedPart> mClientPart;
    RCPtrArray<LDockedPart> mNonClientParts; // in document order
    bool mHasText = false;
    TextProperties mText;
    ConstRCPtr<LVisualPartDescriptor> mTextForegroundPart;
};

// The looks of one control, indexed by state; empty slots stay null.
using LLookList = LRCPtrArray<LLookDescriptor, 1, 0>;
// The counted pointer is made complete before its constant form: the constant
// form's null member names the counted pointer, which needs its base whole.
static_assert(sizeof(RCPtr<LLookList>) == sizeof(void*), "a counted pointer is one pointer");

} // namespace KX
