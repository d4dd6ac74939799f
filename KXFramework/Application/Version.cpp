#include "Application/Version.h"

#include "ObjectBase/Exception.h"

#include <cstdio>
#include <cwchar>
#include <new>
#include <vector>
#include <string>

namespace KX {

namespace {

constexpr const char* kSource = "application/Version";
constexpr const char* kOperation = "KX::Version::Version";
constexpr LANGID kPrimaryLanguageMask = 0x3FF;
constexpr LANGID kEnglish = 0x09;

Version::ErrorTextSource gErrorTextSource = nullptr;

[[noreturn]] void ThrowFailure(int32_t code, int line)
{
    const StringT<char, wchar_t> text = Version::GetErrorText(code).ToNarrow();
    KX_THROW(std::runtime_error, std::string(text.GetData()), kOperation, kSource, line);
}

// The bare file name behind the last backslash: the version calls then find
// the file through the system's search order for libraries.
const wchar_t* BareName(const wchar_t* path)
{
    const wchar_t* name = std::wcsrchr(path, L'\\');
    return name ? name + 1 : path;
}

} // namespace

Version::Version(HMODULE module)
{
    Read(module, GetUserDefaultLangID(), GetSystemDefaultLangID());
}

Version::Version(HMODULE module, LANGID userLanguage, LANGID systemLanguage)
{
    Read(module, userLanguage, systemLanguage);
}

Version::~Version() = default;

void Version::Read(HMODULE module, LANGID userLanguage, LANGID systemLanguage)
{
    wchar_t path[520] = {};
    if (GetModuleFileNameW(module, path, 520) == 0)
        ThrowFailure(903, 148);
    const wchar_t* name = BareName(path);

    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(name, &ignored);
    if (size == 0)
        ThrowFailure(902, 143);

    try {
        mBlock.assign(size, 0);
    } catch (const std::bad_alloc&) {
        throw Exception<std::bad_alloc>();
    }

    if (!GetFileVersionInfoW(name, 0, size, mBlock.data()))
        ThrowFailure(901, 133);

    mTranslation = nullptr;
    void* table = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(mBlock.data(), L"\\VarFileInfo\\Translation", &table, &length) || !table)
        ThrowFailure(900, 128);
    mTranslation = SelectTranslation(static_cast<const Translation*>(table),
                                      static_cast<int32_t>(length / sizeof(Translation)), userLanguage,
                                      systemLanguage);
}

const Version::Translation* Version::SelectTranslation(const Translation* table, int32_t count,
                                                       LANGID userLanguage, LANGID systemLanguage)
{
    if (!table || count <= 0)
        return nullptr;
    const LANGID wanted[] = {static_cast<LANGID>(userLanguage & kPrimaryLanguageMask),
                             static_cast<LANGID>(systemLanguage & kPrimaryLanguageMask), kEnglish};
    for (LANGID language : wanted) {
        for (int32_t i = 0; i < count; ++i) {
            if ((table[i].language & kPrimaryLanguageMask) == language)
                return &table[i];
        }
    }
    return &table[0];
}

StringT<wchar_t, char> Version::GetCompanyName() const
{
    return GetStringFileInfo("CompanyName");
}

StringT<wchar_t, char> Version::GetProductName() const
{
    return GetStringFileInfo("ProductName");
}

StringT<wchar_t, char> Version::GetProductVersion() const
{
    return GetStringFileInfo("ProductVersion");
}

StringT<wchar_t, char> Version::GetStringFileInfo(const char* key) const
{
    if (mBlock.empty() || !mTranslation || !key)
        return StringT<wchar_t, char>();

    // "\StringFileInfo\", the language and code page as eight lower-case
    // digits, "\" and the key.
    char translation[9];
    std::snprintf(translation, sizeof(translation), "%04x%04x", mTranslation->language, mTranslation->codePage);
    const std::string subBlock = std::string("\\StringFileInfo\\") + translation + "\\" + key;

    const StringT<wchar_t, char> widePath(subBlock.c_str());
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(mBlock.data(), widePath.GetData(), &value, &length) || !value)
        return StringT<wchar_t, char>();

    // The text runs to its NUL, which a well-formed block always holds; the
    // search stops at the block's end all the same.
    const BYTE* start = static_cast<const BYTE*>(value);
    const BYTE* end = mBlock.data() + mBlock.size();
    if (start < mBlock.data() || start >= end)
        return StringT<wchar_t, char>();
    const size_t room = static_cast<size_t>(end - start) / sizeof(wchar_t);
    const wchar_t* text = static_cast<const wchar_t*>(value);
    StringT<wchar_t, char> result;
    result.Assign(text, static_cast<int32_t>(wcsnlen(text, room)));
    return result;
}

void Version::SetErrorTextSource(ErrorTextSource source)
{
    gErrorTextSource = source;
}

StringT<wchar_t, char> Version::GetErrorText(int32_t code)
{
    if (gErrorTextSource)
        return gErrorTextSource(code);
    return StringT<wchar_t, char>::CreateFormatted(
        L"The application encountered problems during startup and will now close.  (Error code = %d)", code);
}

} // namespace KX
