// KX::LControlFactory, the registry and the look-ups: construction, the
// control-type registry, the descriptions of the current skin, the named
// records the documents produced (colorizers, parts, looks, look lists) and
// copies of the string tables. Loading the documents is in
// ControlFactoryLoading.cpp, their elements in ControlFactoryElements.cpp,
// ControlFactoryLooks.cpp and ControlFactorySkins.cpp, creating controls in
// ControlFactoryCreation.cpp.
#include "ControlBase/ControlFactory.h"

namespace KX {

namespace {

using String = LControlFactory::String;

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

} // namespace KX
