// KX::Version: the version resource of a module file, read once and asked for
// one of its texts (company name, product name, product version).
//
// Contract:
// - Made on the stack for one question and dropped: never copied.
// - Construction reads the whole version block of the module's file (a null
//   module means the program's own executable) and selects one translation:
//   the user's primary language, else the system's, else English, else the
//   table's first entry. It throws KX::Exception<std::runtime_error> when the
//   file name, the block or its translation table cannot be read, and
//   KX::Exception<std::bad_alloc> when the block cannot be allocated.
// - The readers never fail: a value that the selected translation lacks, or
//   a record without any translation, gives the empty string.
#pragma once

#include "KXPlatform.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>
#include <vector>

namespace KX {

class Version
{
public:
    // One entry of the translation table: language identifier, code page.
    struct Translation
    {
        WORD language;
        WORD codePage;
    };

    // The text of an error code in the exception that construction throws;
    // the application installs the source of its localised texts.
    using ErrorTextSource = StringT<wchar_t, char> (*)(int32_t code);

    explicit Version(HMODULE module = nullptr);
    // As above, choosing the translation for the given user and system
    // languages instead of the ones of the running session.
    Version(HMODULE module, LANGID userLanguage, LANGID systemLanguage);
    ~Version();

    Version(const Version&) = delete;
    Version& operator=(const Version&) = delete;

    StringT<wchar_t, char> GetCompanyName() const;
    StringT<wchar_t, char> GetProductName() const;
    StringT<wchar_t, char> GetProductVersion() const;
    // The value of the key ("CompanyName", ...) in the selected translation.
    StringT<wchar_t, char> GetStringFileInfo(const char* key) const;

    // The entry of the table that a module read under these languages uses,
    // or null for an empty table. Only primary languages are compared.
    static const Translation* SelectTranslation(const Translation* table, int32_t count, LANGID userLanguage,
                                                LANGID systemLanguage);

    // Installs the source of error texts; null restores the built-in text.
    static void SetErrorTextSource(ErrorTextSource source);
    // The text construction reports for a failure code.
    static StringT<wchar_t, char> GetErrorText(int32_t code);

private:
    void Read(HMODULE module, LANGID userLanguage, LANGID systemLanguage);

    std::vector<BYTE> mBlock;
    const Translation* mTranslation = nullptr;
};

} // namespace KX
