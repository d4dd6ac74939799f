// KX::LStringTable: one table of texts keyed by string identifier, in the one
// language chosen when the documents were loaded. The control factory hands
// out copies of its tables; a control descriptor's create parameters are a
// table too (parameter name -> value).
//
// Contract:
// - Identifiers are compared exactly, case included; every listing comes out
//   in ascending identifier order (the order of KX::StringT's operator<).
// - GetString leaves the out text untouched when the identifier is absent.
// - SetString refuses an empty identifier with E_INVALIDARG and changes
//   nothing; it answers 0 for a new identifier and 1 when an existing one got
//   the new text.
// - Tables handed out are not changed afterwards, except create-parameter
//   tables while their document is being loaded.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "Utilities/Storage/IArray.h"
#include "Utilities/Storage/Pair.h"
#include "Utilities/Storage/StringT.h"

#include <map>

namespace KX {

class LStringTable : public virtual LRefCountedObject
{
public:
    using String = StringT<wchar_t, char>;
    using StringPair = Pair<String, String>;
    using Map = std::map<String, String>;

    static RCPtr<LStringTable> Create() { return RCPtr<LStringTable>(new LStringTable()); }
    // A new table holding a copy of the entries.
    static RCPtr<LStringTable> Create(const Map& entries) { return RCPtr<LStringTable>(new LStringTable(entries)); }

    bool GetString(const wchar_t* id, String& text) const;
    bool GetString(const String& id, String& text) const;
    bool HasString(const wchar_t* id) const;
    bool HasString(const String& id) const;
    // Empties the array, then appends every (identifier, text) pair.
    KXRESULT GetAllStrings(IArray<StringPair>& pairs) const;
    // Empties the array, then appends the pairs whose identifier begins with
    // the prefix; the empty prefix gives every pair.
    KXRESULT GetStringsWithPrefix(const String& prefix, IArray<StringPair>& pairs) const;
    KXRESULT SetString(const wchar_t* id, const String& text);

    int32_t GetCount() const { return static_cast<int32_t>(mEntries.size()); }
    const Map& GetEntries() const { return mEntries; }

protected:
    LStringTable() = default;
    explicit LStringTable(const Map& entries) : mEntries(entries) {}
    ~LStringTable() override = default;

private:
    Map mEntries;
};

} // namespace KX
