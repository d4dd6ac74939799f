// KX::LSkinDescriptor: the skin record of one control (its looks and font) or
// of one top-level skin (the skin's default font).
#pragma once

#include "ControlBase/LookDescriptor.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/StringT.h"

namespace KX {

class LSkinDescriptor : public virtual LRefCountedObject
{
public:
    static RCPtr<LSkinDescriptor> Create(const StringT<wchar_t, char>& name)
    {
        return RCPtr<LSkinDescriptor>(new LSkinDescriptor(name));
    }

    StringT<wchar_t, char> mName;
    ConstRCPtr<LLookList> mLookList; // null when the skin names none
    bool mFontInheritsFromParent = false;
    bool mFontSizeIsRelative = false;
    StringT<wchar_t, char> mFontFamily;
    float mFontSize = 0.0f;    // used when at least 1
    int32_t mFontStyle = -1;   // -1: not set

protected:
    explicit LSkinDescriptor(const StringT<wchar_t, char>& name) : mName(name) {}
    ~LSkinDescriptor() override = default;
};

} // namespace KX
