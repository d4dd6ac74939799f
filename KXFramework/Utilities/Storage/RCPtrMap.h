// KX::RCPtrMap<K,V,BITS>: a map from one reference-counted object to another,
// keyed by the identity (address) of the key object, over a KX::HashedList of
// counted pairs. The map holds a reference on every key and value it stores;
// two distinct key objects with equal contents are two keys.
//
// Layers, as the hashed list needs them:
// - KX::GetFirstRCPtr: a pair's key object as a counted KX::LRefCountedObject;
// - KX::RCPtrHalfMapHelper: the key of a pair (the key object's address, a
//   pointer-sized integer) and its bucket ((key >> 4) masked to BITS bits);
// - KX::RCPtrHalfMap: the hashed list of pairs with FindPair and RemovePair;
// - KX::RCPtrMap: GetValue and SetValue on typed keys and values.
#pragma once

#include "Utilities/Storage/HashedList.h"

#include <cstdint>

namespace KX {

// The ToString of the pointed object, or an empty string for a null pointer.
template <class K>
StringT<wchar_t, char> ToString(const ConstRCPtr<K>& pointer)
{
    if (!pointer)
        return StringT<wchar_t, char>();
    return static_cast<const LRefCountedObject*>(pointer.GetConst())->ToString();
}

// The pair's key object seen as its LRefCountedObject part (null when the key
// is null, the null constant when the pair is).
template <class PAIR>
ConstRCPtr<LRefCountedObject> GetFirstRCPtr(const ConstRCPtr<PAIR>& pair)
{
    if (!pair)
        return ConstRCPtr<LRefCountedObject>::sNull;
    if (!pair->mKey)
        return ConstRCPtr<LRefCountedObject>();
    return ConstRCPtr<LRefCountedObject>(static_cast<LRefCountedObject*>(pair->mKey.Get()));
}

template <class PAIR, auto FIRST, int BITS>
struct RCPtrHalfMapHelper
{
    // The address of the key object's LRefCountedObject part.
    static intptr_t GetKey(const RCPtr<PAIR>& pair)
    {
        const ConstRCPtr<LRefCountedObject> first = FIRST(pair);
        return reinterpret_cast<intptr_t>(first.Get());
    }

    static unsigned GetHandleBits(const intptr_t& key) { return GetBits<BITS, 4, intptr_t>(key); }

    static intptr_t KeyOf(const ConstRCPtr<LRefCountedObject>& object)
    {
        return reinterpret_cast<intptr_t>(object.Get());
    }
};

template <class PAIR, auto FIRST, int BITS>
class RCPtrHalfMap : public HashedList<RCPtr<PAIR>, intptr_t, &RCPtrHalfMapHelper<PAIR, FIRST, BITS>::GetKey, BITS,
                                       &RCPtrHalfMapHelper<PAIR, FIRST, BITS>::GetHandleBits>
{
    using Helper = RCPtrHalfMapHelper<PAIR, FIRST, BITS>;

public:
    // The stored pair of the key object, or the null constant.
    virtual const RCPtr<PAIR>& FindPair(const ConstRCPtr<LRefCountedObject>& key)
    {
        const RCPtr<PAIR>* found = this->FindItem(Helper::KeyOf(key), nullptr);
        return found ? *found : ConstRCPtr<PAIR>::sNull;
    }

    virtual bool RemovePair(const ConstRCPtr<LRefCountedObject>& key) { return this->RemoveItem(Helper::KeyOf(key)); }
};

template <class K, class V>
using RCPtrMapPair = LPair<ConstRCPtr<K>, RCPtr<V>, &ToString<K>>;

template <class K, class V, int BITS>
class RCPtrMap : public RCPtrHalfMap<RCPtrMapPair<K, V>, &GetFirstRCPtr<RCPtrMapPair<K, V>>, BITS>
{
public:
    using Pair = RCPtrMapPair<K, V>;

    // The value stored for the key object, or the null constant.
    const RCPtr<V>& GetValue(const ConstRCPtr<K>& key)
    {
        const RCPtr<Pair>& pair = this->FindPair(AsObject(key));
        return pair ? pair->mValue : ConstRCPtr<V>::sNull;
    }

    // True when the key object was new to the map.
    bool SetValue(const ConstRCPtr<K>& key, const RCPtr<V>& value) { return this->SetItem(MakePair(key, value)); }

    static RCPtr<Pair> MakePair(const ConstRCPtr<K>& key, const RCPtr<V>& value)
    {
        return RCPtr<Pair>(new Pair(key, value));
    }

private:
    static ConstRCPtr<LRefCountedObject> AsObject(const ConstRCPtr<K>& key)
    {
        return ConstRCPtr<LRefCountedObject>(key ? static_cast<LRefCountedObject*>(key.Get()) : nullptr);
    }
};

} // namespace KX
