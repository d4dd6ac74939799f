#include "Application/Version.h"

#include <gtest/gtest.h>

#include <string>

using KX::Version;
using String = KX::StringT<wchar_t, char>;

namespace {

constexpr LANGID kGerman = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);
constexpr LANGID kEnglishUS = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr LANGID kEnglishUK = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK);
constexpr LANGID kFrench = MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH);
constexpr LANGID kSwissGerman = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN_SWISS);

std::wstring W(const String& text)
{
    return std::wstring(text.GetData());
}

// The runtime error text of reading the version of a module.
std::string VersionErrorText(HMODULE module)
{
    try {
        Version version(module);
    } catch (const KX::Exception<std::runtime_error>& error) {
        return error.what();
    }
    return "<no exception>";
}

String CustomErrorText(int32_t code)
{
    return String::CreateFormatted(L"Fehler %d \u00fc", code);
}

} // namespace

// The test program's own resource holds German (without a company name) and
// English, in that order.
TEST(Version, ReadsTheProgramsOwnResourceUnderTwoLocales)
{
    Version english(nullptr, kEnglishUS, kGerman);
    EXPECT_EQ(L"Kestrel Test Works", W(english.GetCompanyName()));
    EXPECT_EQ(L"File Test Program", W(english.GetProductName()));
    EXPECT_EQ(L"1.2.3.4", W(english.GetProductVersion()));

    Version german(nullptr, kSwissGerman, kEnglishUS);
    EXPECT_EQ(L"Dateitestprogramm", W(german.GetProductName()));
    EXPECT_EQ(L"1.2.3.4 (de)", W(german.GetProductVersion()));
    EXPECT_EQ(L"", W(german.GetCompanyName())) << "a key the German translation lacks";
    EXPECT_EQ(L"", W(english.GetStringFileInfo("NoSuchKey")));
    EXPECT_EQ(L"", W(english.GetStringFileInfo(nullptr)));
}

TEST(Version, LanguagesFallBackToTheSystemsThenEnglish)
{
    const struct {
        LANGID user;
        LANGID system;
        const wchar_t* product;
    } cases[] = {
        {kFrench, kGerman, L"Dateitestprogramm"}, // the system's language comes second
        {kFrench, kEnglishUK, L"File Test Program"},
        {kFrench, kFrench, L"File Test Program"}, // English comes third
        {kEnglishUK, kGerman, L"File Test Program"}, // primary languages only
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::wstring(c.product), W(Version(nullptr, c.user, c.system).GetProductName()))
            << std::hex << c.user << " " << c.system;
}

TEST(Version, TheSessionsOwnLanguagesReadTheExecutable)
{
    Version version;
    EXPECT_FALSE(version.GetProductName().IsEmpty());
    EXPECT_FALSE(version.GetProductVersion().IsEmpty());
}

TEST(Version, SelectTranslationComparesPrimaryLanguagesInItsOrder)
{
    const Version::Translation germanOnly[] = {{kGerman, 1200}};
    const Version::Translation three[] = {{kFrench, 1252}, {kEnglishUK, 1200}, {kSwissGerman, 1200}};

    EXPECT_EQ(&germanOnly[0], Version::SelectTranslation(germanOnly, 1, kFrench, kEnglishUS));
    EXPECT_EQ(&germanOnly[0], Version::SelectTranslation(germanOnly, 1, kEnglishUS, kEnglishUS));
    EXPECT_EQ(&three[2], Version::SelectTranslation(three, 3, kGerman, kFrench));
    EXPECT_EQ(&three[0], Version::SelectTranslation(three, 3, MAKELANGID(LANG_JAPANESE, 1), kFrench));
    EXPECT_EQ(&three[1], Version::SelectTranslation(three, 3, MAKELANGID(LANG_JAPANESE, 1), kEnglishUS));
    EXPECT_EQ(&three[2], Version::SelectTranslation(three, 3, MAKELANGID(LANG_JAPANESE, 1), kGerman));
    EXPECT_EQ(nullptr, Version::SelectTranslation(three, 0, kGerman, kGerman));
}

TEST(Version, AModuleWithoutVersionOrTranslationThrowsItsFailure)
{
    HMODULE noVersion = LoadLibraryW(L"NoVersionLibrary.dll");
    HMODULE noTranslation = LoadLibraryW(L"NoTranslationLibrary.dll");
    ASSERT_NE(nullptr, noVersion);
    ASSERT_NE(nullptr, noTranslation);

    EXPECT_EQ("Runtime Error : The application encountered problems during startup and will now close.  "
              "(Error code = 902) : KX::Version::Version : application/Version : Line 143",
              VersionErrorText(noVersion));
    EXPECT_EQ("Runtime Error : The application encountered problems during startup and will now close.  "
              "(Error code = 900) : KX::Version::Version : application/Version : Line 128",
              VersionErrorText(noTranslation));

    // An installed source of texts replaces the built-in one, in UTF-8.
    Version::SetErrorTextSource(&CustomErrorText);
    EXPECT_EQ("Runtime Error : Fehler 902 \xc3\xbc : KX::Version::Version : application/Version : Line 143",
              VersionErrorText(noVersion));
    Version::SetErrorTextSource(nullptr);

    FreeLibrary(noTranslation);
    FreeLibrary(noVersion);
}

TEST(Version, AnUnknownModuleHandleCannotNameItsFile)
{
    EXPECT_EQ("Runtime Error : The application encountered problems during startup and will now close.  "
              "(Error code = 903) : KX::Version::Version : application/Version : Line 148",
              VersionErrorText(reinterpret_cast<HMODULE>(static_cast<intptr_t>(0x10))));
}
