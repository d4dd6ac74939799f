#include "ControlBase/ControlFactory.h"

#include "Utilities/Storage/ArrayUtils.h"
#include "Utilities/Storage/KXFile.h"

#include <expat.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
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

LControlFactory::LControlFactory(const String& applicationName) : mApplicationName(applicationName) {}

LControlFactory::~LControlFactory() = default;

// ---- Type registry ----

KXRESULT LControlFactory::RegisterControlCreateFunction(const String& className, ControlCreateFunction function)
{
    mCreateFunctions.emplace(className, function);
    return S_OK;
}

KXRESULT LControlFactory::GetControlCreateFunction(const String& className, ControlCreateFunction& function) const
{
    const auto found = mCreateFunctions.find(className);
    if (found == mCreateFunctions.end())
        KX_THROW(std::runtime_error, "", "KX::LControlFactory::GetControlCreateFunction", "ControlBase\\ControlFactory",
                 51);
    function = found->second;
    return S_OK;
}

// ---- Descriptions ----

RCPtr<LControlDescriptor> LControlFactory::FindControlDescriptor(const String& name) const
{
    if (mCurrentSkinIndex < 0 || mCurrentSkinIndex >= mSkins.GetCount())
        return RCPtr<LControlDescriptor>();
    const RCPtr<LControlDescriptor>& skin = mSkins.GetAt(mCurrentSkinIndex);
    return skin ? skin->FindChild(name) : RCPtr<LControlDescriptor>();
}

KXRESULT LControlFactory::CloneDescriptor(RCPtr<LControlDescriptor>& out,
                                          const RCPtr<LControlDescriptor>& templateDescriptor,
                                          const ConstRCPtr<LLayoutDescriptor>& layout, const String& name) const
{
    if (!templateDescriptor)
        return E_INVALIDARG;
    out = templateDescriptor->Clone(name);
    out->SetLayoutDescriptor(layout);
    return S_OK;
}

KXRESULT LControlFactory::GetSkinFont(String& fontName, float& fontSize, int32_t& fontStyle) const
{
    if (mCurrentSkinIndex < 0 || mCurrentSkinIndex >= mSkins.GetCount())
        return S_FALSE;
    const RCPtr<LControlDescriptor>& top = mSkins.GetAt(mCurrentSkinIndex);
    if (!top || !top->GetSkinDescriptor())
        return S_FALSE;
    const LSkinDescriptor& skin = *top->GetSkinDescriptor();
    bool written = false;
    if (!skin.mFontFamily.IsEmpty()) {
        fontName = skin.mFontFamily;
        written = true;
    }
    if (skin.mFontSize >= 1.0f) {
        fontSize = skin.mFontSize;
        written = true;
    }
    if (skin.mFontStyle != -1) {
        fontStyle = skin.mFontStyle;
        written = true;
    }
    return written ? S_OK : S_FALSE;
}

template <class Record>
static RCPtr<Record> FindNamed(const std::map<String, RCPtr<Record>>& map, const String& name)
{
    const auto found = map.find(name);
    return found == map.end() ? RCPtr<Record>() : found->second;
}

RCPtr<LColorizer> LControlFactory::FindColorizer(const String& name) const
{
    return FindNamed(mColorizers, name);
}

RCPtr<LVisualPartDescriptor> LControlFactory::FindPart(const String& name) const
{
    return FindNamed(mParts, name);
}

RCPtr<LLookDescriptor> LControlFactory::FindLook(const String& name) const
{
    return FindNamed(mLooks, name);
}

RCPtr<LLookList> LControlFactory::FindLookList(const String& name) const
{
    return FindNamed(mLookLists, name);
}

// ---- String tables ----

KXRESULT LControlFactory::GetStringTable(RCPtr<LStringTable>& out, const String& tableId) const
{
    const auto found = mStringTables.find(tableId);
    if (found == mStringTables.end()) {
        out = nullptr;
        return S_FALSE;
    }
    out = LStringTable::Create(found->second);
    return S_OK;
}

KXRESULT LControlFactory::GetFrameworkStringTable(RCPtr<LStringTable>& out) const
{
    return GetStringTable(out, String(L"Framework"));
}

KXRESULT LControlFactory::GetAppStringTable(RCPtr<LStringTable>& out) const
{
    return GetStringTable(out, String(L"|") + mApplicationName);
}

KXRESULT LControlFactory::GetControlStringTable(RCPtr<LStringTable>& out, const String& owner,
                                                const String& controlName) const
{
    return GetStringTable(out, MakeControlTableId(owner.IsEmpty() ? mApplicationName : owner, controlName));
}

String LControlFactory::MakeControlTableId(const String& owner, const String& controlName)
{
    return owner + String(L"|") + controlName;
}

// ---- Reading documents ----

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

// ---- Attribute readers ----

bool LControlFactory::GetAttrString(const AttributeMap& attributes, const wchar_t* name, String& value)
{
    const auto found = attributes.find(String(name));
    if (found == attributes.end())
        return false;
    value = found->second;
    return true;
}

bool LControlFactory::GetAttrBool(const AttributeMap& attributes, const wchar_t* name, bool& value)
{
    String text;
    if (!GetAttrString(attributes, name, text))
        return false;
    value = text == L"True";
    return true;
}

bool LControlFactory::GetAttrFloat(const AttributeMap& attributes, const wchar_t* name, float& value)
{
    String text;
    if (!GetAttrString(attributes, name, text))
        return false;
    value = static_cast<float>(_wtof(text.GetData()));
    return true;
}

bool LControlFactory::GetAttrInt(const AttributeMap& attributes, const wchar_t* name, int32_t& value)
{
    String text;
    if (!GetAttrString(attributes, name, text))
        return false;
    value = ParseNumber(text);
    return true;
}

bool LControlFactory::GetAttrInteger(const AttributeMap& attributes, const wchar_t* name, int32_t& value)
{
    String text;
    if (!GetAttrString(attributes, name, text))
        return false;
    value = _wtoi(text.GetData());
    return true;
}

int32_t LControlFactory::ParseNumber(const String& text)
{
    const StringT<char, wchar_t> narrow = text.Convert();
    const char* digits = narrow.GetData();
    if (digits[0] != '0' || digits[1] != 'x')
        return std::atoi(digits);
    int32_t value = 0;
    for (int i = 2; i < 6; ++i) {
        const unsigned char c = static_cast<unsigned char>(digits[i]);
        int digit;
        if (c >= 0x2A && c <= 0x3F)
            digit = c & 0x0F; // "0" to "9", and the characters around them, by their low four bits
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            break;
        value = value * 16 + digit;
    }
    return value;
}

// ---- Elements ----

void LControlFactory::XMLStartElement(const String& name, const AttributeMap& attributes)
{
    if (mSkipRoot) {
        mSkipRoot = false;
        return;
    }
    if (name == L"Application") {
        mApplicationName.Empty();
        GetAttrString(attributes, L"Name", mApplicationName);
        return;
    }
    if (mStringTableMode) {
        StartStringTableElement(name, attributes);
        return;
    }

    if (name == L"Looks") {
        mInsideLooks = true;
    } else if (name == L"LookLists") {
        mCurrentControl = nullptr;
    } else if (name == L"Colorizer") {
        StartColorizer(attributes);
    } else if (name == L"Part") {
        StartPart(attributes);
    } else if (name == L"Look") {
        StartLook(attributes);
    } else if (name == L"ClientPart") {
        StartClientPart(attributes);
    } else if (name == L"TextProperties") {
        StartTextProperties(attributes);
    } else if (name == L"NonClientPart") {
        StartNonClientPart(attributes);
    } else if (name == L"LookList") {
        StartLookList(attributes);
    } else if (name == L"Skin") {
        StartSkin(attributes);
    } else if (name == L"FontLocale") {
        GetAttrInt(attributes, L"LCID", mFontLocaleId);
    } else if (name == L"FontXLat") {
        StartFontXLat(attributes);
    } else if (name == L"SubControl") {
        StartSubControl(attributes);
    } else if (name == L"CreateParamList") {
        mCurrentCreateParams = LStringTable::Create();
    } else if (name == L"CreateParam") {
        if (GetAttrString(attributes, L"ID", mCurrentId)) {
            mInsideCreateParam = true;
            mCurrentParamText.Empty();
        }
    }
}

void LControlFactory::XMLEndElement(const String& name)
{
    if (mStringTableMode) {
        mCollecting = false;
        return;
    }
    if (name == L"SubControl") {
        EndSubControl();
    } else if (name == L"Skin") {
        if (mCurrentControl && mCurrentSkinIndex >= 0 && mCurrentSkinIndex < mSkins.GetCount() &&
            mSkins.GetAt(mCurrentSkinIndex) == mCurrentControl)
            mCurrentControl = nullptr;
    } else if (name == L"CreateParamList") {
        if (mCurrentControl)
            mCurrentControl->SetCreateParams(mCurrentCreateParams);
    } else if (name == L"CreateParam") {
        mInsideCreateParam = false;
    } else if (name == L"Looks") {
        mInsideLooks = false;
    }
}

void LControlFactory::XMLCharacterData(const String& piece)
{
    if (mStringTableMode) {
        if (mCollecting && mCurrentText)
            mCurrentText->Append(piece);
        return;
    }
    // A value the parser hands over in several pieces (line breaks, entities)
    // is joined, so the parameter ends up with its whole text.
    if (mInsideCreateParam && mCurrentCreateParams) {
        mCurrentParamText.Append(piece);
        mCurrentCreateParams->SetString(mCurrentId.GetData(), mCurrentParamText);
    }
}

void LControlFactory::StartStringTableElement(const String& name, const AttributeMap& attributes)
{
    if (name == L"StringTable") {
        String id;
        mCurrentTable = GetAttrString(attributes, L"ID", id) ? &mStringTables[id] : nullptr;
        mCurrentId.Empty(); // a new table starts without a current string
    } else if (name == L"String") {
        GetAttrString(attributes, L"ID", mCurrentId); // without ID the previous id stays
    } else if (name == L"Locale") {
        int32_t locale = 0;
        // Outside a table or a string, or without a locale, the element has no meaning.
        if (!mCurrentTable || mCurrentId.IsEmpty() || !GetAttrInt(attributes, L"LCID", locale) ||
            locale != mPassLocaleId)
            return;
        ++mMatchCount;
        mCollecting = true;
        mCurrentText = &(*mCurrentTable)[mCurrentId];
    }
}

void LControlFactory::StartColorizer(const AttributeMap& attributes)
{
    String name, type, color;
    if (!GetAttrString(attributes, L"Name", name) || !GetAttrString(attributes, L"ColorType", type) ||
        !GetAttrString(attributes, L"Color", color))
        return;
    RCPtr<LColorizer> colorizer = LColorizer::Create();
    colorizer->mName = name;
    colorizer->mColor.Parse(color.Convert().GetData());
    if (type == L"LinearGradient" || type == L"RadialGradient") {
        String endColor;
        const bool complete = GetAttrString(attributes, L"GradientEndColor", endColor) &&
                              (colorizer->mGradientEndColor.Parse(endColor.Convert().GetData()), true) &&
                              GetAttrFloat(attributes, L"GradientStartX", colorizer->mGradientStartX) &&
                              GetAttrFloat(attributes, L"GradientStartY", colorizer->mGradientStartY) &&
                              GetAttrFloat(attributes, L"GradientEndX", colorizer->mGradientEndX) &&
                              GetAttrFloat(attributes, L"GradientEndY", colorizer->mGradientEndY);
        if (complete)
            colorizer->mColorType = type == L"LinearGradient" ? LColorizer::LinearGradient : LColorizer::RadialGradient;
    }
    mColorizers.emplace(name, colorizer);
}

void LControlFactory::StartPart(const AttributeMap& attributes)
{
    String name, resize;
    int32_t width = 0, height = 0;
    if (!GetAttrString(attributes, L"Name", name) || !GetAttrInt(attributes, L"Width", width) ||
        !GetAttrInt(attributes, L"Height", height) || !GetAttrString(attributes, L"ResizeType", resize))
        return;

    String imageFile;
    int32_t imageX = 0, imageY = 0;
    const bool hasImage = GetAttrString(attributes, L"ImageFile", imageFile) &&
                          GetAttrInt(attributes, L"ImageLocX", imageX) && GetAttrInt(attributes, L"ImageLocY", imageY);
    String colorizerName;
    RCPtr<LColorizer> colorizer;
    if (GetAttrString(attributes, L"ColorizerName", colorizerName))
        colorizer = FindColorizer(colorizerName);
    if ((hasImage && imageFile.IsEmpty()) || (!hasImage && !colorizer))
        return;

    RCPtr<LVisualPartDescriptor> part = LVisualPartDescriptor::Create();
    part->mName = name;
    part->mWidth = width;
    part->mHeight = height;
    part->mResizeType = resize == L"Tile"     ? LVisualPartDescriptor::ResizeTile
                        : resize == L"Center" ? LVisualPartDescriptor::ResizeCenter
                                              : LVisualPartDescriptor::ResizeStretch;
    if (hasImage)
        part->mImage = BitmapDescriptor{mResourcePrefix + imageFile.ToLower(), imageX, imageY, width, height};
    part->mColorizer = colorizer;
    GetAttrFloat(attributes, L"ColorizerAlphaMod", part->mAlphaModifier);
    String maskFile;
    int32_t maskX = 0, maskY = 0;
    if (GetAttrString(attributes, L"ColorizerMaskFile", maskFile) && GetAttrInt(attributes, L"MaskLocX", maskX) &&
        GetAttrInt(attributes, L"MaskLocY", maskY))
        part->mMask = BitmapDescriptor{mResourcePrefix + maskFile, maskX, maskY, width, height};
    mParts.emplace(name, part);
}

void LControlFactory::StartLook(const AttributeMap& attributes)
{
    String name;
    if (!GetAttrString(attributes, L"Name", name))
        return;
    if (mInsideLooks) {
        // A second definition of a name is read (its parts go to it) but not kept.
        mCurrentLook = LLookDescriptor::Create(name);
        mLooks.emplace(name, mCurrentLook);
        return;
    }
    int32_t index = 0;
    RCPtr<LLookDescriptor> look = FindLook(name);
    if (mCurrentLookList && look && GetAttrInteger(attributes, L"Index", index) && index >= 0 &&
        index < mCurrentLookList->GetCount())
        mCurrentLookList->GetAt(index) = look;
}

void LControlFactory::StartClientPart(const AttributeMap& attributes)
{
    String name;
    RCPtr<LDockedPart> docked = LDockedPart::Create();
    if (!mCurrentLook || !GetAttrString(attributes, L"Name", name) ||
        !GetAttrInt(attributes, L"OffsetLeft", docked->mOffsetLeft) ||
        !GetAttrInt(attributes, L"OffsetTop", docked->mOffsetTop) ||
        !GetAttrInt(attributes, L"OffsetRight", docked->mOffsetRight) ||
        !GetAttrInt(attributes, L"OffsetBottom", docked->mOffsetBottom))
        return;
    docked->mPart = FindPart(name);
    if (!docked->mPart)
        return;
    docked->mGivenEdges = LDockedPart::EdgeAll;
    mCurrentLook->SetClientPart(docked);
}

void LControlFactory::StartTextProperties(const AttributeMap& attributes)
{
    LLookDescriptor::TextProperties text;
    String foreground;
    if (!mCurrentLook || !GetAttrFloat(attributes, L"TextLeftRel", text.mLeftRel) ||
        !GetAttrInt(attributes, L"TextLeftAbs", text.mLeftAbs) ||
        !GetAttrFloat(attributes, L"TextRightRel", text.mRightRel) ||
        !GetAttrInt(attributes, L"TextRightAbs", text.mRightAbs) ||
        !GetAttrFloat(attributes, L"TextHAlign", text.mHAlign) ||
        !GetAttrFloat(attributes, L"TextTopRel", text.mTopRel) ||
        !GetAttrInt(attributes, L"TextTopAbs", text.mTopAbs) ||
        !GetAttrFloat(attributes, L"TextBottomRel", text.mBottomRel) ||
        !GetAttrInt(attributes, L"TextBottomAbs", text.mBottomAbs) ||
        !GetAttrFloat(attributes, L"TextVAlign", text.mVAlign) ||
        !GetAttrString(attributes, L"TextForegroundPart", foreground))
        return;
    RCPtr<LVisualPartDescriptor> part = FindPart(foreground);
    if (part)
        mCurrentLook->SetTextProperties(text, part);
}

void LControlFactory::StartNonClientPart(const AttributeMap& attributes)
{
    String name;
    if (!mCurrentLook || !GetAttrString(attributes, L"Name", name))
        return;
    RCPtr<LDockedPart> docked = LDockedPart::Create();
    docked->mPart = FindPart(name);
    if (!docked->mPart)
        return;
    if (GetAttrInt(attributes, L"OffsetLeft", docked->mOffsetLeft))
        docked->mGivenEdges |= LDockedPart::EdgeLeft;
    if (GetAttrInt(attributes, L"OffsetTop", docked->mOffsetTop))
        docked->mGivenEdges |= LDockedPart::EdgeTop;
    if (GetAttrInt(attributes, L"OffsetRight", docked->mOffsetRight))
        docked->mGivenEdges |= LDockedPart::EdgeRight;
    if (GetAttrInt(attributes, L"OffsetBottom", docked->mOffsetBottom))
        docked->mGivenEdges |= LDockedPart::EdgeBottom;
    int32_t size = 0;
    if (GetAttrInt(attributes, L"Width", size) && size > 0) {
        docked->mHasWidth = true;
        docked->mWidth = size;
    }
    size = 0;
    if (GetAttrInt(attributes, L"Height", size) && size > 0) {
        docked->mHasHeight = true;
        docked->mHeight = size;
    }
    mCurrentLook->GetNonClientParts().AddItem(docked);
}

void LControlFactory::StartLookList(const AttributeMap& attributes)
{
    String name;
    int32_t count = 0;
    if (!GetAttrString(attributes, L"Name", name) || !GetAttrInt(attributes, L"NumLooks", count))
        return;
    RCPtr<LLookList> list = FindLookList(name);
    if (list) {
        // An existing name keeps its list; the entries that follow are ignored.
        mCurrentLookList = nullptr;
    } else {
        list = LLookList::Create();
        list->SetCount(count > 0 ? count : 0);
        mCurrentLookList = list;
        mLookLists.emplace(name, list);
    }
    if (mCurrentControl && mCurrentControl->GetSkinDescriptor())
        mCurrentControl->GetSkinDescriptor().Get()->mLookList = list;
}

void LControlFactory::StartSkin(const AttributeMap& attributes)
{
    String name;
    GetAttrString(attributes, L"Name", name);
    RCPtr<LSkinDescriptor> skin = LSkinDescriptor::Create(name);
    if (mCurrentControl) {
        skin->mFontFamily = TranslateFont(mHeldFont.mFamily);
        skin->mFontSize = mHeldFont.mSize;
        skin->mFontStyle = mHeldFont.mStyle;
        skin->mFontInheritsFromParent = mHeldFont.mInheritsFromParent;
        skin->mFontSizeIsRelative = mHeldFont.mSizeIsRelative;
        String lookList;
        if (GetAttrString(attributes, L"LookList", lookList))
            skin->mLookList = FindLookList(lookList);
    } else {
        // A top-level skin: one whole control tree under an "Application" description.
        mCurrentControl = LControlDescriptor::Create(String(L"Application"), mApplicationName, nullptr);
        mCurrentSkinIndex = mSkins.AddItem(mCurrentControl);
        GetAttrString(attributes, L"FontName", skin->mFontFamily);
        GetAttrFloat(attributes, L"FontSize", skin->mFontSize);
        GetAttrInt(attributes, L"FontStyle", skin->mFontStyle);
        mFontTranslations.clear();
    }
    mCurrentControl->SetSkinDescriptor(skin);
}

void LControlFactory::StartFontXLat(const AttributeMap& attributes)
{
    String name, translation;
    if (mFontLocaleId != mLocaleId || !GetAttrString(attributes, L"Name", name) ||
        !GetAttrString(attributes, L"XLat", translation))
        return;
    mFontTranslations.emplace(name, translation);
    if (mCurrentControl && mCurrentControl->GetSkinDescriptor() &&
        mCurrentControl->GetSkinDescriptor()->mFontFamily == name)
        mCurrentControl->GetSkinDescriptor().Get()->mFontFamily = translation;
}

String LControlFactory::TranslateFont(const String& family) const
{
    const auto found = mFontTranslations.find(family);
    return found == mFontTranslations.end() ? family : found->second;
}

namespace {

// "Parent" and "Screen" are kind 0, "Client" and "Active Window" kind 1.
int32_t ReferenceKind(const String& text)
{
    if (text == L"Parent" || text == L"Screen")
        return 0;
    if (text == L"Client" || text == L"Active Window")
        return 1;
    return -1;
}

void ReadPosition(const AttributeMap& attributes, const wchar_t* anchor, const wchar_t* control, const wchar_t* rel,
                  const wchar_t* abs, LLayoutDescriptor::PositionSpec& spec)
{
    LControlFactory::GetAttrFloat(attributes, anchor, spec.mAnchor);
    String reference;
    if (LControlFactory::GetAttrString(attributes, control, reference)) {
        const int32_t kind = ReferenceKind(reference);
        spec.mKind = kind >= 0 ? kind : LLayoutDescriptor::PositionControl;
        spec.mControlName = kind >= 0 ? String() : reference;
    }
    LControlFactory::GetAttrFloat(attributes, rel, spec.mRel);
    int32_t pixels = 0;
    if (LControlFactory::GetAttrInteger(attributes, abs, pixels))
        spec.mAbs = pixels;
}

void ReadSize(const AttributeMap& attributes, const wchar_t* control, const wchar_t* rel, const wchar_t* abs,
              LLayoutDescriptor::SizeSpec& spec)
{
    String reference;
    if (LControlFactory::GetAttrString(attributes, control, reference)) {
        const int32_t kind = reference == L"Self" ? LLayoutDescriptor::SizeSelf : ReferenceKind(reference);
        spec.mKind = kind >= 0 ? kind : LLayoutDescriptor::SizeControl;
        spec.mControlName = kind >= 0 ? String() : reference;
    }
    LControlFactory::GetAttrFloat(attributes, rel, spec.mRel);
    int32_t pixels = 0;
    if (LControlFactory::GetAttrInteger(attributes, abs, pixels))
        spec.mAbs = pixels;
}

void ReadLimit(const AttributeMap& attributes, const wchar_t* control, const wchar_t* rel, const wchar_t* abs,
               LLayoutDescriptor::SizeLimitSpec& spec)
{
    String reference;
    if (LControlFactory::GetAttrString(attributes, control, reference)) {
        spec.mIsControl = reference != L"Self";
        spec.mControlName = spec.mIsControl ? reference : String();
    }
    LControlFactory::GetAttrFloat(attributes, rel, spec.mRel);
    int32_t pixels = 0;
    if (LControlFactory::GetAttrInteger(attributes, abs, pixels))
        spec.mAbs = pixels;
}

void ReadLayout(const AttributeMap& attributes, bool underTopLevel, LLayoutDescriptor& layout)
{
    LControlFactory::GetAttrBool(attributes, L"ClipToParent", layout.mClipToParent);
    LControlFactory::GetAttrInteger(attributes, L"Z_Order", layout.mZOrder);
    if (!underTopLevel) {
        LControlFactory::GetAttrInteger(attributes, L"TabStop", layout.mTabStop);
        LControlFactory::GetAttrBool(attributes, L"IsVisible", layout.mIsVisible);
    }
    LControlFactory::GetAttrInt(attributes, L"LayoutOrder", layout.mLayoutOrder);
    ReadPosition(attributes, L"XPlacementAnchor", L"XPositionToControl", L"XPositionRel", L"XPositionAbs",
                 layout.mXPosition);
    ReadPosition(attributes, L"YPlacementAnchor", L"YPositionToControl", L"YPositionRel", L"YPositionAbs",
                 layout.mYPosition);
    LControlFactory::GetAttrBool(attributes, L"XIsDocked", layout.mXIsDocked);
    LControlFactory::GetAttrBool(attributes, L"YIsDocked", layout.mYIsDocked);
    ReadSize(attributes, L"XSizeToControl", L"XSizeRel", L"XSizeAbs", layout.mXSize);
    ReadSize(attributes, L"YSizeToControl", L"YSizeRel", L"YSizeAbs", layout.mYSize);
    ReadLimit(attributes, L"XMinSizeToControl", L"XMinSizeRel", L"XMinSizeAbs", layout.mXMinimum);
    ReadLimit(attributes, L"YMinSizeToControl", L"YMinSizeRel", L"YMinSizeAbs", layout.mYMinimum);
    ReadLimit(attributes, L"XMaxSizeToControl", L"XMaxSizeRel", L"XMaxSizeAbs", layout.mXMaximum);
    ReadLimit(attributes, L"YMaxSizeToControl", L"YMaxSizeRel", L"YMaxSizeAbs", layout.mYMaximum);
    LControlFactory::GetAttrString(attributes, L"TextDecoration", layout.mTextDecoration);
    String overflow;
    if (LControlFactory::GetAttrString(attributes, L"TextOverflowXType", overflow)) {
        if (overflow == L"Clip")
            layout.mTextOverflowXType = LLayoutDescriptor::OverflowXClip;
        else if (overflow == L"Expand")
            layout.mTextOverflowXType = LLayoutDescriptor::OverflowXExpand;
        else if (overflow == L"Wrap")
            layout.mTextOverflowXType = LLayoutDescriptor::OverflowXWrap;
    }
    if (LControlFactory::GetAttrString(attributes, L"TextOverflowYType", overflow)) {
        if (overflow == L"Clip")
            layout.mTextOverflowYType = LLayoutDescriptor::OverflowYClip;
        else if (overflow == L"Expand")
            layout.mTextOverflowYType = LLayoutDescriptor::OverflowYExpand;
    }
}

} // namespace

void LControlFactory::StartSubControl(const AttributeMap& attributes)
{
    String className, name;
    if (!GetAttrString(attributes, L"Class", className) || !GetAttrString(attributes, L"Name", name))
        KX_THROW(std::runtime_error, "Bad Subcontrol Element", "KX::LControlFactory::XMLStartElement",
                 "ControlBase\\ControlFactory", 1089);

    LControlDescriptor* parent = mCurrentControl.Get();
    RCPtr<LControlDescriptor> descriptor = LControlDescriptor::Create(className, name, parent);
    if (parent)
        parent->AddChild(descriptor);
    mCurrentControl = descriptor;

    RCPtr<LLayoutDescriptor> layout = LLayoutDescriptor::Create();
    // The children of a top-level skin are top controls: always visible and
    // outside any tab order.
    const bool underTopLevel = !parent || !parent->GetParent();
    ReadLayout(attributes, underTopLevel, *layout);
    descriptor->SetLayoutDescriptor(layout);

    mHeldFont = HeldFont();
    GetAttrBool(attributes, L"FontInheritsFromParent", mHeldFont.mInheritsFromParent);
    GetAttrString(attributes, L"FontName", mHeldFont.mFamily);
    GetAttrInt(attributes, L"FontStyle", mHeldFont.mStyle);
    if (GetAttrFloat(attributes, L"FontSize", mHeldFont.mSize))
        GetAttrBool(attributes, L"FontSizeIsRelative", mHeldFont.mSizeIsRelative);
}

void LControlFactory::EndSubControl()
{
    if (!mCurrentControl)
        return;
    RCPtrArray<LControlDescriptor>& children = mCurrentControl->GetChildren();
    ArrayUtils::Sort<RCPtr<LControlDescriptor>>(
        children, 0, children.GetCount(),
        [](const RCPtr<LControlDescriptor>& a, const RCPtr<LControlDescriptor>& b) {
            const int32_t orderA = a && a->GetLayoutDescriptor() ? a->GetLayoutDescriptor()->mLayoutOrder : 0;
            const int32_t orderB = b && b->GetLayoutDescriptor() ? b->GetLayoutDescriptor()->mLayoutOrder : 0;
            return orderA < orderB;
        });
    mCurrentControl = RCPtr<LControlDescriptor>(mCurrentControl->GetParent());
}

} // namespace KX
