// KX::LPair<K,V,TOSTRING>: a reference-counted key/value record, the entry of
// the hashed lists' buckets. Counted-pointer members hold their objects and
// let go of them in reverse order (value, then key). ToString answers
// TOSTRING applied to the key.
#pragma once

#include "ObjectBase/RefCountedObject.h"

namespace KX {

template <class K, class V, auto TOSTRING>
class LPair : public virtual LRefCountedObject
{
public:
    LPair(const K& key, const V& value) : mKey(key), mValue(value) {}

    StringT<wchar_t, char> ToString() const override { return TOSTRING(mKey); }

    K mKey;
    V mValue;

protected:
    ~LPair() override = default;
};

} // namespace KX
