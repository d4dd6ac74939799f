// KX::IHashedList<V,K>: a lookup list of values V filed under keys K.
//
// FindItem answers a pointer to the value stored inside the list (callers may
// change it in place) or the caller's default pointer; the pointer stays valid
// until that entry is removed or the list is emptied or destroyed.
#pragma once

#include <cstdint>

namespace KX {

template <class V, class K>
class IHashedList
{
public:
    virtual int32_t GetCount() const = 0;
    virtual void RemoveAll() = 0;
    // True when a record was added, false when an existing one was updated or
    // already held the value.
    virtual bool SetItem(const V& value) = 0;
    virtual V* FindItem(const K& key, V* defaultValue) = 0;
    // True when a record was removed, false when the key was absent.
    virtual bool RemoveItem(const K& key) = 0;
    virtual ~IHashedList() = default;
};

} // namespace KX
