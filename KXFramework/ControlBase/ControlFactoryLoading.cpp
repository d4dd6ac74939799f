// KX::LControlFactory, loading: where the skin and string-table documents
// come from (the program's "KXXML" resources or files), the order and locale
// fallbacks of the string-table passes, and the Expat parser that runs over a
// document and hands its elements to XMLStartElement and the other element
// handlers. Nothing is thrown through the parser.
#include "ControlBase/ControlFactory.h"

#include "Utilities/Storage/KXFile.h"

#include <expat.h>

#include <cstring>
#include <new>

namespace KX {

namespace {

using String = LControlFactory::String;
using AttributeMap = LControlFactory::AttributeMap;

// The resource of a "::" source: upper case, with "." and " " as "_".
String ResourceNameOf(const String& rest)
{
    String name = rest.ToUpper();
    name.ReplaceAny(L". ", L'_');
    return name;
}

bool IsResourceSource(const String& source)
{
    return source.Left(2) == L"::";
}

int32_t FallbackLocale(int32_t localeId)
{
    // The Chinese locales written in Traditional characters share one text.
    if (localeId == 0x0404 || localeId == 0x0C04 || localeId == 0x1404)
        return 0x7C04;
    return localeId & 0xFF;
}

} // namespace

KXRESULT LControlFactory::LoadResources(const String& folder, int32_t localeId)
{
    const bool resources = folder == L"::";
    mResourcePrefix = resources ? folder : folder + String(L"\\");
    const KXRESULT result =
        resources ? LoadStringTables(mResourcePrefix + String(L"APP_STRINGS"),
                                     mResourcePrefix + String(L"FRAMEWORK_STRINGS"), localeId)
                  : LoadStringTables(mResourcePrefix + String(L"StringTables.xml"),
                                     mResourcePrefix + String(L"FrameworkStrings.xml"), localeId);
    if (result < 0)
        return result;
    return LoadSkin(mResourcePrefix + String(resources ? L"APP_SKINS" : L"Skins.xml"));
}

KXRESULT LControlFactory::ReadSource(const String& source, std::vector<char>& bytes) const
{
    if (IsResourceSource(source))
        return ReadResource(ResourceNameOf(source.Mid(2)), bytes);
    return ReadFileBytes(source, bytes);
}

KXRESULT LControlFactory::ReadResource(const String& name, std::vector<char>& bytes) const
{
    HRSRC resource = FindResourceW(mResourceModule, name.GetData(), L"KXXML");
    if (!resource)
        return S_FALSE;
    const DWORD size = SizeofResource(mResourceModule, resource);
    HGLOBAL loaded = size ? LoadResource(mResourceModule, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return S_FALSE;
    try {
        bytes.assign(static_cast<const char*>(data), static_cast<const char*>(data) + size);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

// Reads a whole file through the file component, whose runtime error (a file
// that cannot be opened or read) passes on. An empty file answers S_FALSE.
KXRESULT LControlFactory::ReadFileBytes(const String& path, std::vector<char>& bytes)
{
    File file(path, String(), File::ReadOnly);
    const int32_t length = file.GetLength(); // throws for a file that did not open
    if (length <= 0)
        return S_FALSE;
    try {
        bytes.resize(static_cast<size_t>(length));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    int32_t total = 0;
    while (total < length) {
        const int32_t read = file.Read(bytes.data() + total, length - total, -1);
        if (read <= 0)
            break;
        total += read;
    }
    // A file that shrank while it was read: what was there is the document.
    bytes.resize(static_cast<size_t>(total));
    return total > 0 ? S_OK : S_FALSE;
}

KXRESULT LControlFactory::LoadSkin(const String& path)
{
    std::vector<char> document;
    KXRESULT result = S_OK;
    try {
        result = ReadSource(path, document);
    } catch (const std::runtime_error&) {
        return E_FAIL;
    }
    if (result == E_OUTOFMEMORY)
        return result;
    if (result != S_OK)
        return E_FAIL; // missing, empty or not lockable

    mStringTableMode = false;
    mInsideCreateParam = false;
    mInsideLooks = false;
    mCurrentControl = nullptr;
    result = ParseXml(document.data(), static_cast<int32_t>(document.size()));
    mCurrentSkinIndex = 0;
    return result;
}

int32_t LControlFactory::ParseStringTablePass(const std::vector<char>& document, bool present, int32_t localeId)
{
    mLocaleId = localeId;
    mStringTableMode = true;
    mCollecting = false;
    mMatchCount = 0;
    mPassLocaleId = localeId;
    mCurrentTable = nullptr;
    mCurrentText = nullptr;
    mCurrentId.Empty();
    if (present)
        ParseXml(document.data(), static_cast<int32_t>(document.size())); // a broken document keeps what it gave
    mStringTableMode = false;
    mCurrentTable = nullptr;
    mCurrentText = nullptr;
    return mMatchCount;
}

KXRESULT LControlFactory::LoadStringTables(const String& applicationSource, const String& frameworkSource,
                                           int32_t localeId)
{
    std::vector<char> document;
    KXRESULT result = ReadSource(applicationSource, document);
    if (result == E_OUTOFMEMORY)
        return result;
    bool present = result == S_OK;

    int32_t locale = localeId;
    if (ParseStringTablePass(document, present, locale) == 0) {
        locale = FallbackLocale(localeId);
        if (ParseStringTablePass(document, present, locale) == 0) {
            locale = kEnglishLocale;
            ParseStringTablePass(document, present, locale);
        }
    }

    document.clear();
    result = ReadSource(frameworkSource, document);
    if (result == E_OUTOFMEMORY)
        return result;
    present = result == S_OK;
    if (ParseStringTablePass(document, present, locale) == 0)
        ParseStringTablePass(document, present, kEnglishLocale);
    return S_OK;
}

// ---- The parser ----

KXRESULT LControlFactory::ParseXml(const char* buffer, int32_t length)
{
    if (!buffer || length < 0)
        return E_INVALIDARG;
    if (length == 0)
        length = static_cast<int32_t>(std::strlen(buffer));

    mSkipRoot = true;
    mParseBroken = false;
    XML_Parser parser = XML_ParserCreate(nullptr);
    if (!parser)
        return E_OUTOFMEMORY;
    XML_SetUserData(parser, this);
    XML_SetElementHandler(parser, &LControlFactory::OnStartElement, &LControlFactory::OnEndElement);
    XML_SetCharacterDataHandler(parser, &LControlFactory::OnCharacterData);

    mParser = parser;
    KXRESULT result = S_OK;
    if (XML_Parse(parser, buffer, length, 1) == XML_STATUS_ERROR) {
        mLastErrorText = String(XML_ErrorString(XML_GetErrorCode(parser)));
        mLastErrorLine = static_cast<int32_t>(XML_GetCurrentLineNumber(parser));
        result = E_FAIL;
    }
    if (mParseBroken)
        result = E_FAIL;
    mParser = nullptr;
    XML_ParserFree(parser);
    mParseBroken = false;
    mCollecting = false;
    mInsideCreateParam = false;
    return result;
}

// The callbacks run inside the C parser: nothing may be thrown through it. An
// element that fails marks the document broken; the parser then runs to its
// end with every further callback ignored, and ParseXml answers E_FAIL.
void LControlFactory::OnStartElement(void* userData, const char* name, const char** attributes)
{
    auto* factory = static_cast<LControlFactory*>(userData);
    if (factory->mParseBroken)
        return;
    try {
        AttributeMap map;
        for (const char** pair = attributes; pair && pair[0]; pair += 2)
            map.emplace(String(pair[0]), String(pair[1] ? pair[1] : ""));
        factory->XMLStartElement(String(name), map);
    } catch (const std::exception& error) {
        factory->mParseBroken = true;
        factory->mLastErrorText = String(error.what());
        factory->mLastErrorLine = static_cast<int32_t>(XML_GetCurrentLineNumber(static_cast<XML_Parser>(factory->mParser)));
    } catch (...) {
        factory->mParseBroken = true;
    }
}

void LControlFactory::OnEndElement(void* userData, const char* name)
{
    auto* factory = static_cast<LControlFactory*>(userData);
    if (factory->mParseBroken)
        return;
    try {
        factory->XMLEndElement(String(name));
    } catch (...) {
        factory->mParseBroken = true;
    }
}

void LControlFactory::OnCharacterData(void* userData, const char* piece, int length)
{
    auto* factory = static_cast<LControlFactory*>(userData);
    if (factory->mParseBroken || length <= 0)
        return;
    try {
        String text;
        text.Assign(piece, length);
        factory->XMLCharacterData(text);
    } catch (...) {
        factory->mParseBroken = true;
    }
}

} // namespace KX
