#include "Utilities/Storage/HashedList.h"
#include "Utilities/Storage/RCPtrMap.h"

#include <gtest/gtest.h>

#include <string>

using namespace KX;

namespace {

// A glyph-like record stored by value: its identifier and four more fields.
struct Glyph
{
    long id;
    int32_t x, y, width, height;
    static long GetUniqueID(const Glyph& glyph) { return glyph.id; }
};

using GlyphList = HashedList<Glyph, long, &Glyph::GetUniqueID, 8, &GetBits<8, 0, long>>;

// Values that are plain pointers to records keyed by an int, as the caches file them.
struct Entry
{
    int id;
    static int GetEntryID(Entry* const& entry) { return entry->id; }
};

using EntryList = HashedList<Entry*, int, &Entry::GetEntryID, 8, &GetBits<8, 4, int>>;

std::string Narrow(const StringT<wchar_t, char>& text)
{
    std::string out;
    for (int32_t i = 0; i < text.GetLength(); ++i)
        out += static_cast<char>(text.GetData()[i]);
    return out;
}

TEST(HashedList, BucketsFromBitsFourToEleven)
{
    struct Case { int key; unsigned bucket; };
    const Case cases[] = {{0x10, 1}, {0x1010, 1}, {0xF, 0}, {-16, 0xFF}, {-1, 0xFF}, {0xFF0, 0xFF}, {0x1000, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(c.bucket, (GetBits<8, 4, int>(c.key))) << c.key;
    EXPECT_EQ(0x34u, (GetBits<8, 0, long>(0x1234L)));
    EXPECT_EQ(0xFFu, (GetBits<8, 0, long>(-1L)));
}

TEST(HashedList, SharedBucketKeepsKeysApart)
{
    Entry a{0x10}, b{0x1010}, c{0x20};
    EntryList list;
    EXPECT_TRUE(list.SetItem(&a));
    EXPECT_TRUE(list.SetItem(&b));
    EXPECT_TRUE(list.SetItem(&c));
    EXPECT_EQ(3, list.GetCount());
    EXPECT_EQ(2, list.GetBucket(1).GetCount());

    Entry* none = nullptr;
    EXPECT_EQ(&a, *list.FindItem(0x10, &none));
    EXPECT_EQ(&b, *list.FindItem(0x1010, &none));
    EXPECT_EQ(&none, list.FindItem(0x2010, &none));

    EXPECT_TRUE(list.RemoveItem(0x10));
    EXPECT_FALSE(list.RemoveItem(0x10));
    EXPECT_EQ(&none, list.FindItem(0x10, &none));
    EXPECT_EQ(&b, *list.FindItem(0x1010, &none)); // the other key of the bucket stays
    EXPECT_EQ(2, list.GetCount());

    Entry b2{0x1010};
    EXPECT_FALSE(list.SetItem(&b2)); // same key: the record is updated
    EXPECT_EQ(&b2, *list.FindItem(0x1010, &none));
    EXPECT_EQ(2, list.GetCount());
}

TEST(HashedList, ValuesAreStoredAndChangedInPlace)
{
    GlyphList glyphs;
    EXPECT_TRUE(glyphs.SetItem(Glyph{65, 1, 2, 3, 4}));
    EXPECT_TRUE(glyphs.SetItem(Glyph{65 + 256, 5, 6, 7, 8})); // same bucket 0x41
    Glyph* found = glyphs.FindItem(65, nullptr);
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(3, found->width);
    found->width = 30; // the pointer designates the stored record
    EXPECT_EQ(30, glyphs.FindItem(65, nullptr)->width);
    EXPECT_FALSE(glyphs.SetItem(Glyph{65, 9, 9, 9, 9}));
    EXPECT_EQ(9, glyphs.FindItem(65, nullptr)->height);
    EXPECT_EQ(8, glyphs.FindItem(65 + 256, nullptr)->height);
}

TEST(HashedList, RemoveAllEmptiesEveryBucket)
{
    EntryList list;
    std::vector<Entry> entries;
    for (int i = 0; i < 600; ++i)
        entries.push_back(Entry{i * 7 - 1000});
    for (Entry& e : entries)
        list.SetItem(&e);
    EXPECT_EQ(600, list.GetCount());
    list.RemoveAll();
    EXPECT_EQ(0, list.GetCount());
    Entry* none = nullptr;
    for (Entry& e : entries)
        ASSERT_EQ(&none, list.FindItem(e.id, &none));
}

TEST(HashedList, RecordsNameTheKeyType)
{
    EntryList list;
    Entry e{123456};
    list.SetItem(&e);
    EXPECT_EQ("int", Narrow(list.GetBucket(EntryList::BucketIndexOf(123456)).GetAt(0)->ToString()));
    GlyphList glyphs;
    glyphs.SetItem(Glyph{7, 0, 0, 0, 0});
    EXPECT_EQ("long", Narrow(glyphs.GetBucket(7).GetAt(0)->ToString()));
}

class Font : public virtual LRefCountedObject
{
public:
    explicit Font(int* destroyed = nullptr, int size = 10) : mDestroyed(destroyed), size(size) {}
    ~Font() override
    {
        if (mDestroyed)
            ++*mDestroyed;
    }
    int* mDestroyed;
    int size;
};

class FontFiles : public virtual LRefCountedObject
{
public:
    explicit FontFiles(int* destroyed = nullptr) : mDestroyed(destroyed) {}
    ~FontFiles() override
    {
        if (mDestroyed)
            ++*mDestroyed;
    }
    int* mDestroyed;
};

using FontMap = RCPtrMap<Font, FontFiles, 8>;

TEST(RCPtrMap, KeysAreObjectIdentities)
{
    int destroyed = 0;
    FontMap map;
    RCPtr<Font> font(new Font(&destroyed, 12));
    RCPtr<Font> twin(new Font(&destroyed, 12)); // equal contents, another key
    RCPtr<FontFiles> files(new FontFiles(&destroyed));

    EXPECT_TRUE(map.GetValue(font).IsNull()); // never stored: the null constant
    EXPECT_EQ(&ConstRCPtr<FontFiles>::sNull, &map.GetValue(font));
    EXPECT_TRUE(map.SetValue(font, files));
    EXPECT_EQ(files, map.GetValue(font));
    EXPECT_TRUE(map.GetValue(twin).IsNull());
    EXPECT_EQ(2, font->GetRefCount()); // the map holds key and value
    EXPECT_EQ(2, files->GetRefCount());

    RCPtr<FontFiles> other(new FontFiles(&destroyed));
    EXPECT_FALSE(map.SetValue(font, other)); // the pair of that key is replaced
    EXPECT_EQ(other, map.GetValue(font));
    EXPECT_EQ(1, files->GetRefCount());
    EXPECT_EQ(1, map.GetCount());

    EXPECT_TRUE(map.RemovePair(ConstRCPtr<LRefCountedObject>(font.Get())));
    EXPECT_FALSE(map.RemovePair(ConstRCPtr<LRefCountedObject>(font.Get())));
    EXPECT_EQ(1, font->GetRefCount());
    EXPECT_EQ(0, destroyed);

    map.SetValue(twin, other);
    map.RemoveAll();
    EXPECT_EQ(0, map.GetCount());
    EXPECT_EQ(1, twin->GetRefCount());
}

TEST(RCPtrMap, StoringTheStoredPairChangesNothing)
{
    FontMap map;
    RCPtr<Font> font(new Font());
    RCPtr<FontFiles> files(new FontFiles());
    const RCPtr<FontMap::Pair> pair = FontMap::MakePair(font, files);
    EXPECT_TRUE(map.SetItem(pair));
    EXPECT_EQ(2, pair->GetRefCount());
    EXPECT_FALSE(map.SetItem(pair));
    EXPECT_EQ(2, pair->GetRefCount());
    EXPECT_EQ(pair, map.FindPair(ConstRCPtr<LRefCountedObject>(font.Get())));

    // A record's text is the key object's own.
    EXPECT_EQ(Narrow(font->ToString()), Narrow(pair->ToString()));
    EXPECT_EQ("", Narrow(ToString(ConstRCPtr<Font>())));
}

TEST(RCPtrMap, KeysArePointerSized)
{
    using Helper = RCPtrHalfMapHelper<FontMap::Pair, &GetFirstRCPtr<FontMap::Pair>, 8>;
    static_assert(sizeof(decltype(Helper::GetKey(RCPtr<FontMap::Pair>()))) == sizeof(void*), "address keys");
    RCPtr<Font> font(new Font());
    const RCPtr<FontMap::Pair> pair = FontMap::MakePair(font, RCPtr<FontFiles>());
    EXPECT_EQ(reinterpret_cast<intptr_t>(static_cast<LRefCountedObject*>(font.Get())), Helper::GetKey(pair));
    EXPECT_EQ((static_cast<uintptr_t>(Helper::GetKey(pair)) >> 4) & 0xFF, Helper::GetHandleBits(Helper::GetKey(pair)));
    EXPECT_TRUE(GetFirstRCPtr<FontMap::Pair>(RCPtr<FontMap::Pair>()).IsNull());
}

} // namespace
