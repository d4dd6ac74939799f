// KX::LControlFactory: the registry of control classes, and the owner of
// everything the skin and string-table documents produce: the skins (trees of
// control descriptions), the named colorizers, parts, looks and look lists,
// and the string tables.
//
// Contract:
// - Registration: a class name (exact, case-sensitive) maps to one create
//   function; the first registration of a name wins.
// - Loading: LoadResources reads the application strings, then the framework
//   strings, then the skin document, from the program's resources of type
//   "KXXML" (folder "::") or from the files of a real folder. Each document is
//   parsed whole, in one call, by its own Expat parser.
// - Within each kind of named record the first definition of a name is kept;
//   names are resolved when the referring element starts, so a record can use
//   only what the document defined before it. Several documents accumulate.
// - A document that is not well-formed stops at the parser's error: E_FAIL,
//   and its message and line become the last error. Records made before the
//   error stay.
// - Buffers: the parser reads exactly the bytes of a document; an empty
//   document is treated like a missing one (a skin fails with E_FAIL, a
//   string document is skipped).
// - Used on the user-interface thread only; the loader is not re-entrant.
#pragma once

#include "ControlBase/ControlDescriptor.h"
#include "ControlBase/LookDescriptor.h"
#include "ControlBase/SkinDescriptor.h"
#include "ControlBase/StringTable.h"
#include "ControlBase/VisualPartDescriptor.h"
#include "KXPlatform.h"
#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"

#include <map>
#include <vector>

namespace KX {

class LControl;
class LRootWindow;

class LControlFactory : public virtual LRefCountedObject
{
public:
    using String = StringT<wchar_t, char>;
    using AttributeMap = std::map<String, String>;
    using StringMap = std::map<String, String>;
    using StringTableMap = std::map<String, StringMap>;

    // The locale of the English texts, the last fallback of string loading.
    static constexpr int32_t kEnglishLocale = 0x0009;

    static RCPtr<LControlFactory> Create(const String& applicationName)
    {
        return RCPtr<LControlFactory>(new LControlFactory(applicationName));
    }

    // ---- Type registry (ControlFactory.cpp) ----

    // Adds the pair; a name registered already keeps its first function. 0.
    KXRESULT RegisterControlCreateFunction(const String& className, ControlCreateFunction function);
    // 0 and the function; a name that is not registered throws
    // KX::Exception<std::runtime_error>.
    KXRESULT GetControlCreateFunction(const String& className, ControlCreateFunction& function) const;

    // ---- Creating controls (ControlFactoryCreation.cpp) ----

    // A control made from the descriptor by its class's create function (looked
    // up once and cached in the descriptor; a class that is not registered
    // throws the runtime error). Answers `out`, null without a function.
    RCPtr<LControl>& CreateControl(RCPtr<LControl>& out, const RCPtr<LControl>& parent,
                                   const RCPtr<LControlDescriptor>& descriptor);
    // A parentless control made from the current skin's description of that
    // name (which is made visible for good) and attached to the root window.
    // Answers `out`, null when the skin has no such description.
    RCPtr<LControl>& CreateChildByName(RCPtr<LControl>& out, const String& name,
                                       const RCPtr<LRootWindow>& rootWindow);
    // Applies the current skin's description of the control's name to the
    // control again; E_FAIL for a null control or an unknown name.
    KXRESULT ReapplyControlDescriptor(const RCPtr<LControl>& control);

    // ---- Descriptions (ControlFactory.cpp) ----

    // The direct child of the current skin's top-level description with that
    // name, searched from the last to the first; null when there is none.
    RCPtr<LControlDescriptor> FindControlDescriptor(const String& name) const;
    // A new description like the template, with the given layout and name.
    KXRESULT CloneDescriptor(RCPtr<LControlDescriptor>& out, const RCPtr<LControlDescriptor>& templateDescriptor,
                             const ConstRCPtr<LLayoutDescriptor>& layout, const String& name) const;
    // Writes the current skin's font name (when not empty), size (when at
    // least 1) and style (when not -1). 0 when anything was written, else 1.
    KXRESULT GetSkinFont(String& fontName, float& fontSize, int32_t& fontStyle) const;

    const RCPtrArray<LControlDescriptor>& GetSkins() const { return mSkins; }
    int32_t GetSkinCount() const { return mSkins.GetCount(); }
    int32_t GetCurrentSkinIndex() const { return mCurrentSkinIndex; }
    void SetCurrentSkinIndex(int32_t index) { mCurrentSkinIndex = index; }

    RCPtr<LColorizer> FindColorizer(const String& name) const;
    RCPtr<LVisualPartDescriptor> FindPart(const String& name) const;
    RCPtr<LLookDescriptor> FindLook(const String& name) const;
    RCPtr<LLookList> FindLookList(const String& name) const;
    int32_t GetColorizerCount() const { return static_cast<int32_t>(mColorizers.size()); }
    int32_t GetPartCount() const { return static_cast<int32_t>(mParts.size()); }
    int32_t GetLookCount() const { return static_cast<int32_t>(mLooks.size()); }
    int32_t GetLookListCount() const { return static_cast<int32_t>(mLookLists.size()); }

    // ---- String tables (ControlFactory.cpp) ----

    // Each hands out a new table holding a copy of the named table's entries,
    // or null when the factory has no table of that id.
    KXRESULT GetStringTable(RCPtr<LStringTable>& out, const String& tableId) const;
    // "Framework".
    KXRESULT GetFrameworkStringTable(RCPtr<LStringTable>& out) const;
    // "|" and the application name.
    KXRESULT GetAppStringTable(RCPtr<LStringTable>& out) const;
    // The owner (the parent control's class name, or the application name for
    // a control without parent; empty stands for the application name), "|"
    // and the control's name.
    KXRESULT GetControlStringTable(RCPtr<LStringTable>& out, const String& owner, const String& controlName) const;
    static String MakeControlTableId(const String& owner, const String& controlName);

    const StringTableMap& GetStringTables() const { return mStringTables; }

    // ---- Loading (ControlFactoryLoading.cpp) ----

    // The string tables, then the skins. folder "::" reads the resources
    // "APP_STRINGS", "FRAMEWORK_STRINGS" and "APP_SKINS"; any other folder the
    // files "StringTables.xml", "FrameworkStrings.xml" and "Skins.xml" in it.
    // A failed string load is returned at once, without loading the skins.
    KXRESULT LoadResources(const String& folder, int32_t localeId);
    // One skin document: "::" and a resource name, or a file path. E_FAIL
    // when the source is missing, empty or unreadable, or not well-formed.
    KXRESULT LoadSkin(const String& path);
    // The application document in the user's locale, else its fallback, else
    // English; then the framework document in the locale the application
    // document settled on, else English. Missing or empty resources and empty
    // files are skipped; a file that cannot be read throws
    // KX::Exception<std::runtime_error>. 0, or E_OUTOFMEMORY.
    KXRESULT LoadStringTables(const String& applicationSource, const String& frameworkSource, int32_t localeId);
    // Runs one parser over exactly `length` bytes (0: a NUL-terminated text).
    // E_FAIL on a parse error or a broken element; 0 otherwise.
    KXRESULT ParseXml(const char* buffer, int32_t length);

    // The locale that string loading settled on.
    int32_t GetLocaleId() const { return mLocaleId; }
    const String& GetApplicationName() const { return mApplicationName; }
    const String& GetResourcePrefix() const { return mResourcePrefix; }
    const String& GetLastErrorText() const { return mLastErrorText; }
    int32_t GetLastErrorLine() const { return mLastErrorLine; }
    // The module whose "KXXML" resources "::" names refer to; null (the
    // default) is the program itself.
    void SetResourceModule(HMODULE module) { mResourceModule = module; }

    // ---- Attribute readers (ControlFactoryElements.cpp): true and the value
    // when the attribute exists ----

    // As it is.
    static bool GetAttrString(const AttributeMap& attributes, const wchar_t* name, String& value);
    // True exactly for "True".
    static bool GetAttrBool(const AttributeMap& attributes, const wchar_t* name, bool& value);
    // Decimal floating point as _wtof reads it.
    static bool GetAttrFloat(const AttributeMap& attributes, const wchar_t* name, float& value);
    // A number: "0x" and at most four hexadecimal digits, else decimal as atoi.
    static bool GetAttrInt(const AttributeMap& attributes, const wchar_t* name, int32_t& value);
    // Decimal integer as _wtoi reads it ("0x10" gives 0, "2.9" gives 2).
    static bool GetAttrInteger(const AttributeMap& attributes, const wchar_t* name, int32_t& value);
    // The number rule on a text.
    static int32_t ParseNumber(const String& text);

protected:
    explicit LControlFactory(const String& applicationName);
    ~LControlFactory() override;

    // The elements of a document (ControlFactoryElements.cpp), which hand the
    // look records to ControlFactoryLooks.cpp and skins and control
    // descriptions to ControlFactorySkins.cpp.
    void XMLStartElement(const String& name, const AttributeMap& attributes);
    void XMLEndElement(const String& name);
    void XMLCharacterData(const String& piece);

private:
    static void __cdecl OnStartElement(void* userData, const char* name, const char** attributes);
    static void __cdecl OnEndElement(void* userData, const char* name);
    static void __cdecl OnCharacterData(void* userData, const char* piece, int length);

    // Bytes of a source; S_FALSE when a resource is missing, empty or not
    // lockable, or a file is empty.
    KXRESULT ReadSource(const String& source, std::vector<char>& bytes) const;
    KXRESULT ReadResource(const String& name, std::vector<char>& bytes) const;
    static KXRESULT ReadFileBytes(const String& path, std::vector<char>& bytes);
    // One string-table pass over a document; answers its count of matches.
    int32_t ParseStringTablePass(const std::vector<char>& document, bool present, int32_t localeId);

    void StartStringTableElement(const String& name, const AttributeMap& attributes);
    void StartColorizer(const AttributeMap& attributes);
    void StartPart(const AttributeMap& attributes);
    void StartLook(const AttributeMap& attributes);
    void StartClientPart(const AttributeMap& attributes);
    void StartTextProperties(const AttributeMap& attributes);
    void StartNonClientPart(const AttributeMap& attributes);
    void StartLookList(const AttributeMap& attributes);
    void StartSkin(const AttributeMap& attributes);
    void StartFontXLat(const AttributeMap& attributes);
    void StartSubControl(const AttributeMap& attributes);
    void EndSubControl();
    String TranslateFont(const String& family) const;

    // The font attributes of the last SubControl, until its Skin element.
    struct HeldFont
    {
        String mFamily;
        float mSize = 0.0f;
        int32_t mStyle = -1;
        bool mInheritsFromParent = false;
        bool mSizeIsRelative = false;
    };

    String mApplicationName;
    int32_t mLocaleId = kEnglishLocale;
    String mResourcePrefix;
    RCPtrArray<LControlDescriptor> mSkins;
    int32_t mCurrentSkinIndex = 0;
    std::map<String, ControlCreateFunction> mCreateFunctions;
    StringTableMap mStringTables;
    HMODULE mResourceModule = nullptr;

    // Loader state.
    bool mSkipRoot = false;
    bool mStringTableMode = false;
    bool mInsideCreateParam = false;
    bool mInsideLooks = false;
    bool mCollecting = false;
    bool mParseBroken = false; // an element failed: the rest of the document is ignored
    int32_t mMatchCount = 0;
    int32_t mPassLocaleId = kEnglishLocale;
    StringMap* mCurrentTable = nullptr;
    String* mCurrentText = nullptr;
    String mCurrentId;
    String mCurrentParamText;
    RCPtr<LControlDescriptor> mCurrentControl;
    RCPtr<LLookDescriptor> mCurrentLook;
    RCPtr<LLookList> mCurrentLookList;
    RCPtr<LStringTable> mCurrentCreateParams;
    HeldFont mHeldFont;
    std::map<String, String> mFontTranslations;
    int32_t mFontLocaleId = 0;
    std::map<String, RCPtr<LColorizer>> mColorizers;
    std::map<String, RCPtr<LVisualPartDescriptor>> mParts;
    std::map<String, RCPtr<LLookDescriptor>> mLooks;
    std::map<String, RCPtr<LLookList>> mLookLists;
    void* mParser = nullptr; // the Expat parser of the running ParseXml
    String mLastErrorText;
    int32_t mLastErrorLine = 0;
};

} // namespace KX
