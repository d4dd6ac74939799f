// KX::LControlFactory, the elements of a document: the attribute readers,
// and the dispatch of each element to its handler, with the string-table
// elements and the create parameters handled here. The look records are
// built in ControlFactoryLooks.cpp, skins and control descriptions in
// ControlFactorySkins.cpp.
#include "ControlBase/ControlFactory.h"

#include <cstdlib>
#include <cwchar>

namespace KX {

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

} // namespace KX
