// KX::StringT: the framework string. StringT<wchar_t,char> holds UTF-16 text in
// 16-bit code units and is the string of every interface; StringT<char,wchar_t>
// holds 8-bit text, UTF-8 whenever it was made from a wide string. The second
// parameter names the other instance, the one a string converts to and from.
//
// Contract:
// - A string refers to a reference-counted character buffer (KX::LStringBuffer)
//   holding the characters and a terminating NUL. Copies share the buffer;
//   every change either builds a new buffer or first makes the buffer private,
//   so a shared buffer is never written (copy-on-write).
// - Shareable state (normal): the buffer is exactly length + 1 characters, so
//   the length is read from its size. Every empty string shares one
//   program-wide buffer of one NUL.
// - Locked state (between Lock and Unlock): the buffer is private to this
//   string, may be larger than the text, and the owner writes into it through
//   the pointer Lock answered. The length is the count of characters before
//   the first NUL. Operations that replace the whole text write into the
//   locked buffer, growing it when the new text does not fit.
// - Lengths, indices and counts are code units (16-bit units or bytes), signed
//   32-bit.
// - Conversions between the instances are lenient UTF-16/UTF-8 conversions;
//   an ill-formed UTF-8 sequence cuts the text where it starts.
// - One string object is not safe for use from two threads at once; strings
//   that share a buffer may live on different threads.
#pragma once

#include "KXPlatform.h"

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/StaticObjects.h"
#include "Utilities/Storage/BufferT.h"
#include "Utilities/Storage/LBufferTDefinition.h"

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <type_traits>

namespace KX {

template <class T> class IArray;
class StringArrayT;

template <class C, class O>
class StringT
{
    static_assert(std::is_same_v<C, wchar_t> || std::is_same_v<C, char>, "wide or 8-bit characters");

public:
    using CharType = C;
    using OtherString = StringT<O, C>;

    // The maximum that means "the whole text" for Assign and Insert.
    static constexpr int32_t kWholeText = 0x7FFFFFFE;
    // Format and CreateFormatted write at most this many characters with the
    // NUL; longer results are cut.
    static constexpr int32_t kFormatBufferSize = 16384;

    // Shares the program-wide empty buffer.
    StringT();
    // A new buffer with the character and a NUL; NUL alone gives a buffer of
    // one NUL of its own.
    explicit StringT(C character);
    // Shares a shareable buffer; copies the text of a locked one.
    StringT(const StringT& other);
    StringT(const C* text);
    // Converts the whole text: UTF-8 into a wide string, UTF-16 into UTF-8.
    StringT(const O* text);
    StringT(const OtherString& other);
    virtual ~StringT();

    // Shares the other buffer when both are shareable, else copies the text.
    StringT& operator=(const StringT& other);
    StringT& operator=(const C* text) { return Assign(text, kWholeText); }

    // Replaces the text by at most `maxLength` characters of `text` (a
    // negative maximum means no limit). Null or empty text empties the string.
    StringT& Assign(const C* text, int32_t maxLength = kWholeText);
    // Converts the first `length` units of `text` (all of it when negative)
    // from the other encoding.
    StringT& Assign(const O* text, int32_t length = -1);
    // Locked: NUL at index 0, the buffer stays. Otherwise the empty buffer.
    StringT& Empty();

    // Builds `out` from `length` units of `text` converted from the other
    // encoding (negative: the whole text and its NUL). An empty result is the
    // empty buffer. E_FAIL when the text was ill-formed; the part before the
    // error is kept.
    static KXRESULT AssignConverted(RCPtr<LIBuffer>& out, const O* text, int32_t length);

    int32_t GetLength() const;
    const C* GetData() const { return static_cast<const C*>(mBuffer->GetData()); }
    // No bounds check.
    C GetAt(int32_t index) const { return GetData()[index]; }
    bool IsEmpty() const { return GetData()[0] == 0; }
    bool IsLocked() const { return mBuffer && !mBuffer->IsShareable(); }
    // The buffer object, for identity tests (interning, sharing).
    const LIBuffer* GetBuffer() const { return mBuffer.Get(); }

    // A writable NUL-terminated buffer of exactly `size` characters (0: the
    // length + 1), made private first; null when already locked or `size` is
    // negative. Throws KX::Exception<std::runtime_error> when no private
    // buffer can be made.
    C* Lock(int32_t size = 0);
    // Ends a Lock: the text up to the first NUL becomes the text, in an exact
    // shareable buffer (or the empty buffer). 0, or 1 when not locked.
    int32_t Unlock();

    // Case-sensitive, by code unit.
    bool operator==(const StringT& other) const;
    bool operator!=(const StringT& other) const { return !(*this == other); }
    // A null or empty text equals exactly the empty string.
    bool operator==(const C* text) const;
    bool operator!=(const C* text) const { return !(*this == text); }
    // The text is converted from the other encoding first.
    bool operator==(const O* text) const;
    bool operator!=(const O* text) const { return !(*this == text); }
    bool operator==(std::nullptr_t) const { return IsEmpty(); }
    bool operator!=(std::nullptr_t) const { return !IsEmpty(); }
    // Lexicographic by unsigned code unit, a proper prefix first: the order of
    // every string-keyed map.
    bool operator<(const StringT& other) const;

    // Appends the other text; a string may be appended to itself.
    StringT& Append(const StringT& other);
    StringT& Append(C character);
    StringT& operator+=(C character) { return Append(character); }
    StringT& operator+=(const StringT& other) { return Append(other); }
    StringT operator+(const StringT& other) const;
    // E_INVALIDARG, changing nothing, when the index is negative or beyond
    // the length; else 0. A string may be inserted into itself.
    KXRESULT Insert(int32_t index, const StringT& text);
    // Inserts the first `count` characters of `text` (all of it when count,
    // taken unsigned, reaches its length or kWholeText).
    KXRESULT Insert(int32_t index, const C* text, int32_t count);
    // Takes `count` characters out at `index`: the text becomes its first
    // `index` characters followed by those after index + count. False, changing
    // nothing, when the index is not inside the text (negative, or at or past
    // the length), the count is negative or the range runs past the end.
    bool Remove(int32_t index, int32_t count);
    // Every character found in `set` becomes `replacement`; a NUL replacement
    // changes nothing.
    StringT& ReplaceAny(const C* set, C replacement);

    // Substrings. A negative start counts from the end; what then lies before
    // the text is taken off the count; a negative count means to the end.
    StringT Mid(int32_t start, int32_t count) const;
    StringT Mid(int32_t start) const;
    StringT Left(int32_t count) const;
    StringT Right(int32_t count) const;

    // Index of the first occurrence at or after `start` (counted from the
    // start of the whole text), or -1; an empty text is found at `start`.
    int32_t Find(const StringT& text, int32_t start = 0) const;
    // The same for one ASCII character; -1 for characters of 0x80 and above,
    // which are no UTF-8 text on their own.
    int32_t Find(char character, int32_t start = 0) const;
    int32_t ReverseFind(char character) const;

    // towupper / towlower of every code unit (toupper / tolower of every byte).
    StringT ToUpper() const;
    StringT ToLower() const;
    // From the first character not in `set`; a text made only of set
    // characters comes back unchanged.
    StringT TrimLeft(const C* set) const;
    // Without the trailing characters that are in `set`.
    StringT TrimRight(const C* set) const;
    // The same with " \t\r\n".
    StringT TrimLeft() const;
    StringT TrimRight() const;
    StringT Trim() const;

    int32_t ToInt() const;
    double AsDouble() const;

    // The text in the other encoding.
    OtherString Convert() const { return OtherString(*this); }
    template <class D = C, class = std::enable_if_t<std::is_same_v<D, wchar_t>>>
    OtherString ToNarrow() const
    {
        return OtherString(*this);
    }
    template <class D = C, class = std::enable_if_t<std::is_same_v<D, char>>>
    OtherString ToWide() const
    {
        return OtherString(*this);
    }

    // Splits the text at every character of `separators`. A text without any
    // separator (the empty text too) gives one element sharing this string's
    // buffer; otherwise one element per piece, where a separator right after
    // another or at the start gives an empty element and one at the end none:
    // "a,,b" gives "a", "", "b"; ",a" gives "", "a"; "a," gives "a". The last
    // argument has no effect. Answers the array's new count.
    int32_t SplitInto(IArray<StringT>& array, const C* separators, int32_t unused = 0) const;
    // The same into a new array of wide strings (StringArrayT.h).
    template <class D = C, class = std::enable_if_t<std::is_same_v<D, wchar_t>>>
    StringArrayT Split(const C* separators, int32_t unused = 0) const;

    // printf-style formatting with the C run-time's rules, under which "%s" in
    // a wide format takes a wide text. At most kFormatBufferSize - 1
    // characters; a longer result is cut there.
    StringT& Format(const C* format, ...);
    static StringT CreateFormatted(const C* format, ...);
    // The value in decimal with a point before its last `decimals` digits:
    // (1234, 2) gives "12.34", (5, 2) gives ".05", (-1234, 2) gives "-12.34".
    static StringT FormatFixedPoint(int32_t value, int32_t decimals);
    // "%lf" for negative decimals, else "%.<decimals>lf".
    static StringT FormatDouble(double value, int32_t decimals);

    // A copy of the shared empty string, made before any other program-wide
    // object (see ObjectBase/StaticObjects.h).
    static const StringT sEmpty;

private:
    static const RCPtr<LIBuffer>& EmptyBuffer();
    static void CreateBuffer(RCPtr<LIBuffer>& out, int64_t characters);
    StringT& FormatArguments(const C* format, va_list arguments);
    void ShareEmpty() { mBuffer = EmptyBuffer(); }
    C* Data() const { return static_cast<C*>(mBuffer->GetData()); }
    uint32_t CapacityInCharacters() const { return mBuffer->GetSize() / sizeof(C); }
    void EnsureLockedRoom(int32_t characters);

    RCPtr<LIBuffer> mBuffer;
};

template <class C, class O>
int32_t StringT<C, O>::GetLength() const
{
    const uint32_t units = CapacityInCharacters();
    if (mBuffer->IsShareable())
        return static_cast<int32_t>(units) - 1;
    const C* data = GetData();
    uint32_t length = 0;
    while (length < units && data[length] != 0)
        ++length;
    return static_cast<int32_t>(length);
}

template <class C, class O>
bool operator==(const C* text, const StringT<C, O>& string)
{
    return string == text;
}

template <class C, class O>
bool operator!=(const C* text, const StringT<C, O>& string)
{
    return string != text;
}

// The text as UTF-8, for logs and test messages.
std::ostream& operator<<(std::ostream& stream, const StringT<wchar_t, char>& string);
std::ostream& operator<<(std::ostream& stream, const StringT<char, wchar_t>& string);

template <> const StringT<wchar_t, char> StringT<wchar_t, char>::sEmpty;
template <> const StringT<char, wchar_t> StringT<char, wchar_t>::sEmpty;

extern template class StringT<wchar_t, char>;
extern template class StringT<char, wchar_t>;

} // namespace KX

// Split answers one: every user of the string can split.
#include "Utilities/Storage/StringArrayT.h"
