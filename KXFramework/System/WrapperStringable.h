// KX::LWrapperStringable<V, ToText, Base>: a value that is also a
// reference-counted object (through the virtual base Base). Its ToString
// answers ToText of the value.
//
// The framework's one instance wraps a wide framework string over
// KX::LTaggableObject: the clipboard's text, list items' texts and the status
// bar's posted texts travel as that string object (KX::LStringObject).
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/TaggableObject.h"
#include "Utilities/Storage/StringT.h"

namespace KX {

// The text of a framework string: a copy of it.
inline StringT<wchar_t, char> StringToString(const StringT<wchar_t, char>& value)
{
    return value;
}

template <class V, StringT<wchar_t, char> (*ToText)(const V&), class Base>
class LWrapperStringable : public virtual Base
{
public:
    // A new object holding a copy of the value.
    static RCPtr<LWrapperStringable> Create(const V& value)
    {
        return RCPtr<LWrapperStringable>(new LWrapperStringable(value));
    }

    StringT<wchar_t, char> ToString() const override { return ToText(mValue); }

    const V& GetValue() const { return mValue; }
    V& GetValue() { return mValue; }

protected:
    explicit LWrapperStringable(const V& value) : mValue(value) {}
    ~LWrapperStringable() override = default;

private:
    V mValue;
};

// The string object: a framework wide string that is a taggable object.
using LStringObject = LWrapperStringable<StringT<wchar_t, char>, &StringToString, LTaggableObject>;

} // namespace KX
