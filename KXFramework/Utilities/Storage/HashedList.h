// KX::HashedList<V,K,GetKey,BITS,GetBits>: the framework's hash table, with
// 2^BITS buckets that never grow or rehash. Each bucket is an array of
// counted KX::LPair records (growth step 1, slack 0: its storage is exactly
// its records), searched from its newest record to its oldest.
//
// GetKey(value) gives the key a value is filed under; GetBits(key) its bucket.
// Keys compare with ==. The list has no lock: one thread uses it.
#pragma once

#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/TypeName.h"
#include "Utilities/Storage/IHashedList.h"
#include "Utilities/Storage/LPair.h"
#include "Utilities/Storage/RCPtrArray.h"
#include "Utilities/Storage/StringT.h"

#include <string>
#include <type_traits>

namespace KX {

// The bucket of an integer key: shifted right by SHIFT (keeping the sign for
// signed types) and masked to BITS bits.
template <int BITS, int SHIFT, class T>
unsigned GetBits(const T& value)
{
    static_assert(std::is_integral_v<T>, "bucket bits come from integer keys");
    return static_cast<unsigned>(value >> SHIFT) & ((1u << BITS) - 1u);
}

// True for KX::ConstRCPtr and KX::RCPtr.
template <class V>
struct IsCountedPointer : std::false_type {};
template <class T>
struct IsCountedPointer<ConstRCPtr<T>> : std::true_type {};
template <class T>
struct IsCountedPointer<RCPtr<T>> : std::true_type {};

template <class V, class K, auto GetKey, int BITS, auto GetBitsOf>
class HashedList : public IHashedList<V, K>
{
    static_assert(BITS > 0 && BITS <= 16, "a reasonable number of buckets");

public:
    static constexpr int kBucketCount = 1 << BITS;

    // The name of the key type, not the key's value: "int", "long", or the
    // qualified name of a structure.
    static StringT<wchar_t, char> KeyToString(const K&)
    {
        std::string name = TypeNameOf<K>();
        for (const char* keyword : {"class ", "struct ", "enum "}) {
            if (name.rfind(keyword, 0) == 0)
                name.erase(0, std::char_traits<char>::length(keyword));
        }
        return StringT<wchar_t, char>(name.c_str());
    }

    using Pair = LPair<K, V, &HashedList::KeyToString>;
    using Bucket = RCPtrArray<Pair, 1, 0>;

    HashedList() = default;
    HashedList(const HashedList&) = delete;
    HashedList& operator=(const HashedList&) = delete;
    ~HashedList() override = default;

    int32_t GetCount() const override { return mCount; }

    void RemoveAll() override
    {
        for (Bucket& bucket : mBuckets)
            bucket.SetCount(0);
        mCount = 0;
    }

    bool SetItem(const V& value) override
    {
        const K key = GetKey(value);
        Bucket& bucket = BucketOf(key);
        const int32_t at = Find(bucket, key);
        if (at >= 0) {
            V& stored = bucket.GetAt(at)->mValue;
            if constexpr (IsCountedPointer<V>::value) {
                if (stored.Get() == value.Get())
                    return false;
            }
            stored = value;
            return false;
        }
        bucket.AddItem(RCPtr<Pair>(new Pair(key, value)));
        ++mCount;
        return true;
    }

    V* FindItem(const K& key, V* defaultValue) override
    {
        Bucket& bucket = BucketOf(key);
        const int32_t at = Find(bucket, key);
        return at >= 0 ? &bucket.GetAt(at)->mValue : defaultValue;
    }

    const V* FindItem(const K& key, const V* defaultValue) const
    {
        return const_cast<HashedList*>(this)->FindItem(key, const_cast<V*>(defaultValue));
    }

    bool RemoveItem(const K& key) override
    {
        Bucket& bucket = BucketOf(key);
        const int32_t at = Find(bucket, key);
        if (at < 0)
            return false;
        bucket.RemoveItems(at, 1);
        --mCount;
        return true;
    }

    // The records of one bucket, newest last (for owners that walk the list).
    const Bucket& GetBucket(int index) const { return mBuckets[index]; }
    static unsigned BucketIndexOf(const K& key) { return static_cast<unsigned>(GetBitsOf(key)) & (kBucketCount - 1u); }

protected:
    Bucket& BucketOf(const K& key) { return mBuckets[BucketIndexOf(key)]; }

    // The position of the newest record with the key, or -1.
    static int32_t Find(const Bucket& bucket, const K& key)
    {
        for (int32_t i = bucket.GetCount() - 1; i >= 0; --i) {
            if (bucket.GetAt(i)->mKey == key)
                return i;
        }
        return -1;
    }

private:
    int32_t mCount = 0;
    Bucket mBuckets[kBucketCount];
};

} // namespace KX
