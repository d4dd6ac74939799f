#include "Utilities/Storage/StringT.h"

#include "Utilities/Storage/ConvertUTF.h"
#include "Utilities/Storage/IArray.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <limits>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace KX {

namespace {

// The pieces that differ between 16-bit and 8-bit characters.
size_t TextLength(const wchar_t* text) { return std::wcslen(text); }
size_t TextLength(const char* text) { return std::strlen(text); }

size_t TextLength(const wchar_t* text, size_t maximum) { return wcsnlen(text, maximum); }
size_t TextLength(const char* text, size_t maximum) { return strnlen(text, maximum); }

wchar_t ToUpperUnit(wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); }
char ToUpperUnit(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }
wchar_t ToLowerUnit(wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); }
char ToLowerUnit(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

int32_t TextToInt(const wchar_t* text) { return _wtoi(text); }
int32_t TextToInt(const char* text) { return std::atoi(text); }
double TextToDouble(const wchar_t* text) { return _wtof(text); }
double TextToDouble(const char* text) { return std::atof(text); }

// The C run-time's own formatting, which keeps the Windows rule that "%s" in a
// wide format takes a wide text (mingw's ISO swprintf would read it as 8-bit).
// _TRUNCATE cuts an over-long result and keeps the buffer NUL-terminated.
void FormatInto(wchar_t* buffer, size_t size, const wchar_t* format, va_list arguments)
{
    _vsnwprintf_s(buffer, size, _TRUNCATE, format, arguments);
}

void FormatInto(char* buffer, size_t size, const char* format, va_list arguments)
{
    _vsnprintf_s(buffer, size, _TRUNCATE, format, arguments);
}

// A literal in either character type; every literal used here is ASCII.
template <class C>
std::basic_string<C> Literal(const char* ascii)
{
    return std::basic_string<C>(ascii, ascii + std::strlen(ascii));
}

template <class C>
bool Contains(const C* set, C c)
{
    for (; *set; ++set)
        if (*set == c)
            return true;
    return false;
}

// Converts `length` units of `source` into `target`, which has `room` units.
// Answers the conversion result; the target holds what was converted.
ConversionResult ConvertInto(const char* source, size_t length, wchar_t* target, size_t room)
{
    const UTF8* from = reinterpret_cast<const UTF8*>(source);
    UTF16* to = target;
    return ConvertUTF8toUTF16(&from, from + length, &to, target + room, LenientConversion);
}

ConversionResult ConvertInto(const wchar_t* source, size_t length, char* target, size_t room)
{
    const UTF16* from = source;
    UTF8* to = reinterpret_cast<UTF8*>(target);
    return ConvertUTF16toUTF8(&from, from + length, &to, to + room, LenientConversion);
}

// Target units needed for `length` source units, the terminating NUL included:
// one UTF-16 unit per UTF-8 byte, at most three UTF-8 bytes per UTF-16 unit
// (a surrogate pair of two units takes four); the target is 4L + 1 bytes.
int64_t ConvertedRoom(const char*, int64_t length) { return length + 1; }
int64_t ConvertedRoom(const wchar_t*, int64_t length) { return 4 * length + 1; }

constexpr const char* kBlanks = " \t\r\n";

} // namespace

// --- Construction and assignment -----------------------------------------

template <class C, class O>
StringT<C, O>::StringT() : mBuffer(EmptyBuffer())
{
}

template <class C, class O>
StringT<C, O>::StringT(C character)
{
    CreateBuffer(mBuffer, character != 0 ? 2 : 1);
    Data()[0] = character;
}

template <class C, class O>
StringT<C, O>::StringT(const StringT& other)
{
    if (other.IsLocked())
        Assign(other.GetData(), kWholeText);
    else
        mBuffer = other.mBuffer;
}

template <class C, class O>
StringT<C, O>::StringT(const C* text)
{
    Assign(text, kWholeText);
}

template <class C, class O>
StringT<C, O>::StringT(const O* text)
{
    AssignConverted(mBuffer, text, -1);
}

template <class C, class O>
StringT<C, O>::StringT(const OtherString& other)
{
    AssignConverted(mBuffer, other.GetData(), -1);
}

template <class C, class O>
StringT<C, O>::~StringT() = default;

template <class C, class O>
StringT<C, O>& StringT<C, O>::operator=(const StringT& other)
{
    if (!IsLocked() && !other.IsLocked())
        mBuffer = other.mBuffer; // nothing happens when it is the same buffer
    else
        Assign(other.GetData(), kWholeText);
    return *this;
}

template <class C, class O>
StringT<C, O>& StringT<C, O>::Assign(const C* text, int32_t maxLength)
{
    if (!text || text[0] == 0 || maxLength == 0)
        return Empty();
    const size_t limit = maxLength < 0 ? static_cast<size_t>(kWholeText) : static_cast<size_t>(maxLength);
    const int32_t length = static_cast<int32_t>(TextLength(text, limit));

    if (IsLocked()) {
        // The text may lie inside the locked buffer itself, which growing can
        // move: remember where and read it again afterwards.
        const C* data = Data();
        const bool inside = text >= data && text < data + CapacityInCharacters();
        const size_t offset = inside ? static_cast<size_t>(text - data) : 0;
        EnsureLockedRoom(length + 1);
        const C* source = inside ? Data() + offset : text;
        std::memmove(Data(), source, static_cast<size_t>(length) * sizeof(C));
        Data()[length] = 0;
        return *this;
    }

    RCPtr<LIBuffer> buffer;
    CreateBuffer(buffer, length + 1);
    std::memcpy(buffer->GetData(), text, static_cast<size_t>(length) * sizeof(C));
    mBuffer = buffer; // the old buffer goes only after the copy: text may be in it
    return *this;
}

template <class C, class O>
StringT<C, O>& StringT<C, O>::Assign(const O* text, int32_t length)
{
    if (!text || text[0] == 0 || length == 0)
        return Empty();
    const size_t whole = TextLength(text);
    // Only the units before the NUL count; a part of the text is converted
    // from a terminated copy, like the whole text.
    OtherString part;
    const O* source = text;
    if (length > 0 && static_cast<size_t>(length) < whole) {
        part.Assign(text, length);
        source = part.GetData();
    }

    if (IsLocked()) {
        const StringT converted(source);
        return Assign(converted.GetData(), kWholeText);
    }
    AssignConverted(mBuffer, source, -1);
    return *this;
}

template <class C, class O>
StringT<C, O>& StringT<C, O>::Empty()
{
    if (IsLocked())
        Data()[0] = 0;
    else
        ShareEmpty();
    return *this;
}

template <class C, class O>
KXRESULT StringT<C, O>::AssignConverted(RCPtr<LIBuffer>& out, const O* text, int32_t length)
{
    if (!text || text[0] == 0) {
        out = EmptyBuffer();
        return S_OK;
    }
    const int64_t units = length < 0 ? static_cast<int64_t>(TextLength(text)) + 1 : length;
    const int64_t room = ConvertedRoom(text, units);

    RCPtr<LIBuffer> buffer;
    CreateBuffer(buffer, room); // zero-filled: the text ends where conversion stopped
    C* target = static_cast<C*>(buffer->GetData());
    const ConversionResult result =
        ConvertInto(text, static_cast<size_t>(units), target, static_cast<size_t>(room));
    target[room - 1] = 0;

    const size_t converted = TextLength(target);
    if (converted == 0) {
        out = EmptyBuffer();
    } else {
        buffer->Resize(static_cast<uint32_t>((converted + 1) * sizeof(C)));
        out = buffer;
    }
    return result == ConversionOK ? S_OK : E_FAIL;
}

// --- Locking ----------------------------------------------------------------

template <class C, class O>
C* StringT<C, O>::Lock(int32_t size)
{
    if (IsLocked() || size < 0)
        return nullptr;
    const int32_t characters = size == 0 ? GetLength() + 1 : size;
    const int64_t bytes = static_cast<int64_t>(characters) * static_cast<int64_t>(sizeof(C));
    if (bytes > std::numeric_limits<uint32_t>::max())
        throw Exception<std::bad_alloc>();

    if (!mBuffer) {
        CreateBuffer(mBuffer, characters);
    } else if (mBuffer->GetRefCount() > 1) {
        // Shared (the empty buffer always is): take a private copy, zero
        // beyond the old bytes.
        RCPtr<LIBuffer> copy;
        mBuffer->CopyRange(copy, static_cast<uint32_t>(bytes), 0);
        if (!copy) {
            if constexpr (std::is_same_v<C, wchar_t>)
                KX_THROW(std::runtime_error, "", "KX::StringT<wchar_t,char>::Lock", "utilities/Storage/StringT", 760);
            else
                KX_THROW(std::runtime_error, "", "KX::StringT<char,wchar_t>::Lock", "utilities/Storage/StringT", 760);
        }
        mBuffer = copy;
    }
    mBuffer->SetUnshareable(true);
    mBuffer->Resize(static_cast<uint32_t>(bytes));
    Data()[characters - 1] = 0;
    return Data();
}

template <class C, class O>
int32_t StringT<C, O>::Unlock()
{
    if (!IsLocked())
        return 1;
    const int32_t length = GetLength();
    if (length == 0) {
        mBuffer->SetUnshareable(false);
        ShareEmpty();
        return 0;
    }
    mBuffer->SetUnshareable(false);
    mBuffer->Resize(static_cast<uint32_t>((length + 1) * sizeof(C)));
    // A text that filled the whole locked buffer had no NUL of its own.
    Data()[length] = 0;
    return 0;
}

template <class C, class O>
void StringT<C, O>::EnsureLockedRoom(int32_t characters)
{
    if (CapacityInCharacters() < static_cast<uint32_t>(characters))
        mBuffer->Resize(static_cast<uint32_t>(characters) * sizeof(C));
}

// --- Comparison -------------------------------------------------------------

template <class C, class O>
bool StringT<C, O>::operator==(const StringT& other) const
{
    if (mBuffer == other.mBuffer)
        return true;
    return *this == other.GetData();
}

template <class C, class O>
bool StringT<C, O>::operator==(const C* text) const
{
    if (!text || text[0] == 0)
        return IsEmpty();
    const C* data = GetData();
    for (;; ++data, ++text) {
        if (*data != *text)
            return false;
        if (*data == 0)
            return true;
    }
}

template <class C, class O>
bool StringT<C, O>::operator==(const O* text) const
{
    const StringT converted(text);
    if (converted.mBuffer == mBuffer)
        return true;
    return *this == converted.GetData();
}

template <class C, class O>
bool StringT<C, O>::operator<(const StringT& other) const
{
    if (mBuffer == other.mBuffer)
        return false;
    using Unit = std::make_unsigned_t<C>;
    const C* a = GetData();
    const C* b = other.GetData();
    for (;; ++a, ++b) {
        const Unit x = static_cast<Unit>(*a);
        const Unit y = static_cast<Unit>(*b);
        if (x != y)
            return x < y; // NUL is the smallest unit: a proper prefix comes first
        if (x == 0)
            return false;
    }
}

// --- Building and editing ---------------------------------------------------

template <class C, class O>
StringT<C, O>& StringT<C, O>::Append(const StringT& other)
{
    const int32_t added = other.GetLength();
    if (added == 0)
        return *this;
    const int32_t length = GetLength();
    const int32_t total = length + added;
    const bool wasLocked = IsLocked();
    if (wasLocked) {
        // Grow only: the owner of the lock keeps at least the room it asked for.
        EnsureLockedRoom(total + 1);
    } else {
        Lock(total + 1);
    }
    // Read the other text only now: when it is this string, its characters
    // have just moved with the buffer. memmove, for the same reason.
    std::memmove(Data() + length, other.GetData(), static_cast<size_t>(added) * sizeof(C));
    Data()[total] = 0;
    if (!wasLocked)
        Unlock();
    return *this;
}

template <class C, class O>
StringT<C, O>& StringT<C, O>::Append(C character)
{
    const C text[2] = {character, 0};
    Insert(GetLength(), text, 1);
    return *this;
}

template <class C, class O>
StringT<C, O> StringT<C, O>::operator+(const StringT& other) const
{
    StringT result(*this);
    result.Append(other);
    return result;
}

template <class C, class O>
KXRESULT StringT<C, O>::Insert(int32_t index, const StringT& text)
{
    const int32_t length = GetLength();
    if (index < 0 || index > length)
        return E_INVALIDARG;
    if (index == length) {
        const StringT copy(text); // the text may be this string
        Append(copy);
    } else if (index > 0) {
        *this = Left(index) + text + Mid(index);
    } else {
        *this = text + *this;
    }
    return S_OK;
}

template <class C, class O>
KXRESULT StringT<C, O>::Insert(int32_t index, const C* text, int32_t count)
{
    if (!text)
        return Insert(index, StringT());
    const uint32_t wanted = static_cast<uint32_t>(count);
    if (wanted < static_cast<uint32_t>(kWholeText) && wanted < TextLength(text, wanted + 1)) {
        StringT part;
        part.Assign(text, count);
        return Insert(index, part);
    }
    return Insert(index, StringT(text));
}

template <class C, class O>
bool StringT<C, O>::Remove(int32_t index, int32_t count)
{
    const int64_t length = GetLength();
    if (index < 0 || count < 0 || index >= length || static_cast<int64_t>(index) + count > length)
        return false;
    if (count > 0)
        *this = Left(index) + Mid(index + count);
    return true;
}

template <class C, class O>
StringT<C, O>& StringT<C, O>::ReplaceAny(const C* set, C replacement)
{
    if (replacement == 0 || !set || set[0] == 0)
        return *this;
    const int32_t length = GetLength();
    std::vector<C> text(GetData(), GetData() + length);
    text.push_back(0);
    bool changed = false;
    for (C& c : text) {
        if (c != 0 && Contains(set, c)) {
            c = replacement;
            changed = true;
        }
    }
    if (changed)
        Assign(text.data(), kWholeText);
    return *this;
}

// --- Substrings and search ---------------------------------------------------

template <class C, class O>
StringT<C, O> StringT<C, O>::Mid(int32_t start, int32_t count) const
{
    const int64_t length = GetLength();
    int64_t s = start;
    int64_t c = count;
    if (s < 0) {
        s += length;
        if (s < 0) {
            c += s;
            s = 0;
        }
    }
    if (s >= length || c == 0)
        return StringT();
    const int64_t taken = c < 0 ? length - s : std::min(c, length - s);
    StringT result;
    result.Assign(GetData() + s, static_cast<int32_t>(taken));
    return result;
}

template <class C, class O>
StringT<C, O> StringT<C, O>::Mid(int32_t start) const
{
    return Mid(start, GetLength() - start);
}

template <class C, class O>
StringT<C, O> StringT<C, O>::Left(int32_t count) const
{
    return Mid(0, count);
}

template <class C, class O>
StringT<C, O> StringT<C, O>::Right(int32_t count) const
{
    return Mid(-count, count);
}

template <class C, class O>
int32_t StringT<C, O>::Find(const StringT& text, int32_t start) const
{
    const std::basic_string_view<C> haystack(GetData(), static_cast<size_t>(GetLength()));
    const size_t from = static_cast<size_t>(std::max(start, 0));
    if (from > haystack.size())
        return -1;
    const size_t found =
        haystack.find(std::basic_string_view<C>(text.GetData(), static_cast<size_t>(text.GetLength())), from);
    return found == std::basic_string_view<C>::npos ? -1 : static_cast<int32_t>(found);
}

template <class C, class O>
int32_t StringT<C, O>::Find(char character, int32_t start) const
{
    if (static_cast<unsigned char>(character) >= 0x80)
        return -1;
    const std::basic_string_view<C> text(GetData(), static_cast<size_t>(GetLength()));
    const size_t from = static_cast<size_t>(std::max(start, 0));
    if (from >= text.size())
        return -1;
    const size_t found = text.find(static_cast<C>(character), from);
    return found == std::basic_string_view<C>::npos ? -1 : static_cast<int32_t>(found);
}

template <class C, class O>
int32_t StringT<C, O>::ReverseFind(char character) const
{
    if (static_cast<unsigned char>(character) >= 0x80)
        return -1;
    const std::basic_string_view<C> text(GetData(), static_cast<size_t>(GetLength()));
    const size_t found = text.rfind(static_cast<C>(character));
    return found == std::basic_string_view<C>::npos ? -1 : static_cast<int32_t>(found);
}

template <class C, class O>
int32_t StringT<C, O>::SplitInto(IArray<StringT>& array, const C* separators, int32_t) const
{
    const int32_t length = GetLength();
    const bool hasSeparator = separators && separators[0] != 0 &&
                              std::basic_string_view<C>(GetData(), static_cast<size_t>(length))
                                      .find_first_of(separators) != std::basic_string_view<C>::npos;
    if (!hasSeparator) {
        array.SetCount(1);
        array.GetAt(0) = *this;
        return array.GetCount();
    }
    array.SetCount(0);
    StringT rest(*this);
    while (!rest.IsEmpty()) {
        const std::basic_string_view<C> text(rest.GetData(), static_cast<size_t>(rest.GetLength()));
        const size_t piece = std::min(text.find_first_of(separators), text.size());
        array.AddItem(rest.Left(static_cast<int32_t>(piece)));
        if (piece < text.size())
            rest = rest.Mid(static_cast<int32_t>(piece) + 1);
        else
            rest.Empty();
    }
    return array.GetCount();
}

// --- Case, trimming, numbers -------------------------------------------------

template <class C, class O>
StringT<C, O> StringT<C, O>::ToUpper() const
{
    std::basic_string<C> text(GetData(), static_cast<size_t>(GetLength()));
    for (C& c : text)
        c = ToUpperUnit(c);
    return StringT(text.c_str());
}

template <class C, class O>
StringT<C, O> StringT<C, O>::ToLower() const
{
    std::basic_string<C> text(GetData(), static_cast<size_t>(GetLength()));
    for (C& c : text)
        c = ToLowerUnit(c);
    return StringT(text.c_str());
}

template <class C, class O>
StringT<C, O> StringT<C, O>::TrimLeft(const C* set) const
{
    if (!set)
        return *this;
    const int32_t length = GetLength();
    int32_t first = 0;
    while (first < length && Contains(set, GetData()[first]))
        ++first;
    if (first == 0 || first == length)
        return *this; // nothing to trim, or nothing but set characters
    return Mid(first);
}

template <class C, class O>
StringT<C, O> StringT<C, O>::TrimRight(const C* set) const
{
    if (!set)
        return *this;
    const int32_t length = GetLength();
    int32_t end = length;
    while (end > 0 && Contains(set, GetData()[end - 1]))
        --end;
    if (end == length)
        return *this;
    return Left(end);
}

template <class C, class O>
StringT<C, O> StringT<C, O>::TrimLeft() const
{
    return TrimLeft(Literal<C>(kBlanks).c_str());
}

template <class C, class O>
StringT<C, O> StringT<C, O>::TrimRight() const
{
    return TrimRight(Literal<C>(kBlanks).c_str());
}

template <class C, class O>
StringT<C, O> StringT<C, O>::Trim() const
{
    return TrimLeft().TrimRight();
}

template <class C, class O>
int32_t StringT<C, O>::ToInt() const
{
    return TextToInt(GetData());
}

template <class C, class O>
double StringT<C, O>::AsDouble() const
{
    return TextToDouble(GetData());
}

// --- Formatting ----------------------------------------------------------------

template <class C, class O>
StringT<C, O>& StringT<C, O>::FormatArguments(const C* format, va_list arguments)
{
    if (!format)
        return Empty();
    // Heap, not stack: 32 KB would be a large share of a worker thread's stack.
    std::unique_ptr<C[]> buffer(new C[kFormatBufferSize]);
    buffer[0] = 0;
    FormatInto(buffer.get(), kFormatBufferSize, format, arguments);
    return Assign(buffer.get(), kWholeText);
}

template <class C, class O>
StringT<C, O>& StringT<C, O>::Format(const C* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    try {
        FormatArguments(format, arguments);
    } catch (...) {
        va_end(arguments);
        throw;
    }
    va_end(arguments);
    return *this;
}

template <class C, class O>
StringT<C, O> StringT<C, O>::CreateFormatted(const C* format, ...)
{
    StringT result;
    va_list arguments;
    va_start(arguments, format);
    try {
        result.FormatArguments(format, arguments);
    } catch (...) {
        va_end(arguments);
        throw;
    }
    va_end(arguments);
    return result;
}

template <class C, class O>
StringT<C, O> StringT<C, O>::FormatFixedPoint(int32_t value, int32_t decimals)
{
    // The digits are laid out without the sign, so that padding and the point
    // see digits only; the sign goes in front at the end.
    const int64_t wide = value;
    std::basic_string<C> digits = Literal<C>(std::to_string(wide < 0 ? -wide : wide).c_str());
    if (decimals > 0) {
        if (digits.size() < static_cast<size_t>(decimals))
            digits.insert(0, static_cast<size_t>(decimals) - digits.size(), static_cast<C>('0'));
        digits.insert(digits.size() - static_cast<size_t>(decimals), 1, static_cast<C>('.'));
    }
    if (wide < 0)
        digits.insert(0, 1, static_cast<C>('-'));
    return StringT(digits.c_str());
}

template <class C, class O>
StringT<C, O> StringT<C, O>::FormatDouble(double value, int32_t decimals)
{
    if (decimals < 0)
        return CreateFormatted(Literal<C>("%lf").c_str(), value);
    const StringT format = CreateFormatted(Literal<C>("%%.%dlf").c_str(), decimals);
    return CreateFormatted(format.GetData(), value);
}

// --- Buffers ------------------------------------------------------------------

template <class C, class O>
void StringT<C, O>::CreateBuffer(RCPtr<LIBuffer>& out, int64_t characters)
{
    const int64_t bytes = characters * static_cast<int64_t>(sizeof(C));
    if (characters < 0 || bytes > std::numeric_limits<uint32_t>::max())
        throw Exception<std::bad_alloc>();
    LStringBuffer::Create(out, static_cast<uint32_t>(bytes), 0, true);
}

namespace {

// Set when an instance's shared empty string is gone at exit; constant-
// initialised, so it is valid before and after every static object.
template <class C>
bool gEmptyStringReleased = false;

} // namespace

template <class C, class O>
const RCPtr<LIBuffer>& StringT<C, O>::EmptyBuffer()
{
    // Built on first use from the character NUL, which gives a buffer of its
    // own, and released at exit after everything made later.
    struct Holder
    {
        StringT string{static_cast<C>(0)};
        ~Holder() { gEmptyStringReleased<C> = true; }
    };
    if (!gEmptyStringReleased<C>) {
        static Holder sHolder;
        return sHolder.string.mBuffer;
    }
    // A string made during the last exit steps, after the shared buffer was
    // released: give it one that is never released, as the process ends.
    static const RCPtr<LIBuffer>* sLate = [] {
        auto* late = new RCPtr<LIBuffer>();
        CreateBuffer(*late, 1);
        return late;
    }();
    return *sLate;
}

// The program-wide copies, made before every other static object so that any
// of them may copy these, and released after them.
template <>
const StringT<wchar_t, char> StringT<wchar_t, char>::sEmpty KX_STATIC_INIT_FOUNDATION = StringT<wchar_t, char>();
template <>
const StringT<char, wchar_t> StringT<char, wchar_t>::sEmpty KX_STATIC_INIT_FOUNDATION = StringT<char, wchar_t>();

template class StringT<wchar_t, char>;
template class StringT<char, wchar_t>;

// --- Streams ---------------------------------------------------------------------

std::ostream& operator<<(std::ostream& stream, const StringT<wchar_t, char>& string)
{
    const StringT<char, wchar_t> narrow(string);
    return stream << narrow.GetData();
}

std::ostream& operator<<(std::ostream& stream, const StringT<char, wchar_t>& string)
{
    return stream << string.GetData();
}

} // namespace KX
