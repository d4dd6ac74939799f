// KX::StringArrayT: the array of wide framework strings, a KX::Array with two
// searches of its own.
//
// Contract:
// - Find compares by value (case-sensitive, or through _wcsicmp); an element
//   that holds the value's buffer matches at once without comparing.
// - FindByBuffer matches characters by address only, newest element first:
//   the interning of identifiers keeps one buffer per text and finds it this way.
#pragma once

#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/StringT.h"

namespace KX {

class StringArrayT : public Array<StringT<wchar_t, char>>
{
public:
    using Array<StringT<wchar_t, char>>::Array;

    // Index of the first element at or after `start` equal to `value`, or -1
    // (also for an empty array or a start, taken unsigned, not below the count).
    int32_t Find(const StringT<wchar_t, char>& value, bool caseSensitive, int32_t start = 0) const;
    // Index of the element whose characters are at exactly `characters`,
    // searching from the last element to the first, or -1.
    int32_t FindByBuffer(const wchar_t* characters) const;
};

template <class C, class O>
template <class D, class>
StringArrayT StringT<C, O>::Split(const C* separators, int32_t unused) const
{
    StringArrayT array;
    SplitInto(array, separators, unused);
    return array;
}

} // namespace KX
