// KX::StringT: the framework string. UTF-16 text in the wide instance
// StringT<wchar_t,char>, 8-bit (UTF-8) text in StringT<char,wchar_t>.
//
// This first form keeps its text in a standard string; the reference-counted
// buffer with copy-on-write comes with the storage classes.
#pragma once

#include "KXPlatform.h"

#include <cstdint>
#include <string>

namespace KX {

template <class C, class O>
class StringT
{
public:
    StringT() = default;
    StringT(const C* text) : mText(text ? text : std::basic_string<C>()) {}
    StringT(const O* text) { Convert(text); }

    int32_t GetLength() const { return static_cast<int32_t>(mText.size()); }
    const C* GetData() const { return mText.c_str(); }
    bool IsEmpty() const { return mText.empty(); }
    bool operator==(const StringT& other) const { return mText == other.mText; }
    bool operator!=(const StringT& other) const { return mText != other.mText; }
    bool operator==(const C* text) const { return mText == (text ? text : std::basic_string<C>()); }

private:
    void Convert(const O* text)
    {
        if (!text)
            return;
        constexpr UINT codePage = CP_UTF8;
        if constexpr (sizeof(C) == 2) {
            int n = MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(text), -1, nullptr, 0);
            if (n > 1) {
                mText.resize(static_cast<size_t>(n));
                MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(text), -1,
                                    reinterpret_cast<wchar_t*>(&mText[0]), n);
                mText.resize(static_cast<size_t>(n - 1));
            }
        } else {
            int n = WideCharToMultiByte(codePage, 0, reinterpret_cast<const wchar_t*>(text), -1, nullptr, 0,
                                        nullptr, nullptr);
            if (n > 1) {
                mText.resize(static_cast<size_t>(n));
                WideCharToMultiByte(codePage, 0, reinterpret_cast<const wchar_t*>(text), -1,
                                    reinterpret_cast<char*>(&mText[0]), n, nullptr, nullptr);
                mText.resize(static_cast<size_t>(n - 1));
            }
        }
    }

    std::basic_string<C> mText;
};

} // namespace KX
