#include "Utilities/Storage/Array.h"
#include "Utilities/Storage/ArrayBuffer.h"
#include "Utilities/Storage/ArrayBufferM.h"
#include "Utilities/Storage/Pair.h"
#include "Utilities/Storage/SimpleFixedArray.h"
#include "Utilities/Storage/StringT.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace KX;

namespace {

using Bytes = std::vector<int>;

Bytes Contents(const IArray<signed char>& array)
{
    Bytes bytes;
    for (int32_t i = 0; i < array.GetCount(); ++i)
        bytes.push_back(array.GetAt(i));
    return bytes;
}

void Fill(IArray<signed char>& array, const Bytes& bytes)
{
    array.SetCount(0);
    for (int b : bytes)
        array.AddItem(static_cast<signed char>(b));
}

enum Family { kArray, kArrayBuffer, kFixed, kFamilyCount };
const char* const kFamilyNames[] = {"Array", "ArrayBuffer", "SimpleFixedArray"};

// One array of each family; Get hands out the one asked for.
struct Arrays
{
    Array<signed char> array;
    ArrayBuffer<signed char> buffer;
    SimpleFixedArray<signed char, 6> fixed;

    IArray<signed char>& Get(Family family)
    {
        switch (family) {
        case kArray: return array;
        case kArrayBuffer: return buffer;
        default: return fixed;
        }
    }
};

struct FamilyCase
{
    const char* what;
    Bytes start;
    std::function<int32_t(IArray<signed char>&)> operation;
    int32_t result[kFamilyCount];  // Array, ArrayBuffer, SimpleFixedArray
    Bytes after[kFamilyCount];     // contents afterwards
};

const int32_t kInvalid = E_INVALIDARG;
const int32_t kFail = E_FAIL;

// One operation, three families: where the families differ, and where the
// bounds are. Each case starts from a fresh array holding `start`.
TEST(ArrayFamilies, OperationTable)
{
    const Bytes abc{1, 2, 3};
    const FamilyCase cases[] = {
        {"AddItem on empty answers index or count", {}, [](auto& a) { return a.AddItem(9); },
         {0, 1, 1}, {{9}, {9}, {9}}},
        {"AddItem on three", abc, [](auto& a) { return a.AddItem(9); }, {3, 4, 4},
         {{1, 2, 3, 9}, {1, 2, 3, 9}, {1, 2, 3, 9}}},
        {"InsertItem in the middle", abc, [](auto& a) { return a.InsertItem(1, 7); }, {1, 4, 4},
         {{1, 7, 2, 3}, {1, 7, 2, 3}, {1, 7, 2, 3}}},
        {"InsertItem past the end", abc, [](auto& a) { return a.InsertItem(4, 7); },
         {kInvalid, kInvalid, kInvalid}, {abc, abc, abc}},
        {"InsertItem at a negative index", abc, [](auto& a) { return a.InsertItem(-1, 7); },
         {kInvalid, kInvalid, kInvalid}, {abc, abc, abc}},
        {"InsertItems zeroes new elements (the fixed array keeps the old bytes)", abc,
         [](auto& a) { return a.InsertItems(1, 2); }, {5, 5, 5},
         {{1, 0, 0, 2, 3}, {1, 0, 0, 2, 3}, {1, 2, 3, 2, 3}}},
        {"InsertItems beyond the fixed capacity", abc, [](auto& a) { return a.InsertItems(0, 4); },
         {7, 7, kInvalid}, {{0, 0, 0, 0, 1, 2, 3}, {0, 0, 0, 0, 1, 2, 3}, abc}},
        {"InsertItems past the end", abc, [](auto& a) { return a.InsertItems(4, 1); },
         {kInvalid, kInvalid, kInvalid}, {abc, abc, abc}},
        {"InsertItems negative index", abc, [](auto& a) { return a.InsertItems(-1, 1); },
         {kInvalid, kInvalid, kInvalid}, {abc, abc, abc}},
        {"InsertItems negative count", abc, [](auto& a) { return a.InsertItems(0, -1); },
         {kInvalid, kInvalid, kInvalid}, {abc, abc, abc}},
        {"RemoveItems of none at the end", abc, [](auto& a) { return a.RemoveItems(3, 0); },
         {kInvalid, 3, 3}, {abc, abc, abc}},
        {"RemoveItems in range", abc, [](auto& a) { return a.RemoveItems(1, 2); }, {1, 1, 1},
         {{1}, {1}, {1}}},
        {"RemoveItems running past the end", abc, [](auto& a) { return a.RemoveItems(1, 5); },
         {kInvalid, kInvalid, kInvalid}, {abc, abc, abc}},
        {"RemoveItems negative index", abc, [](auto& a) { return a.RemoveItems(-1, 2); },
         {kInvalid, kInvalid, kInvalid}, {abc, abc, abc}},
        {"RemoveItems negative count", abc, [](auto& a) { return a.RemoveItems(2, -1); },
         {kInvalid, kInvalid, kInvalid}, {abc, abc, abc}},
        {"RemoveItems huge count does not wrap", abc, [](auto& a) { return a.RemoveItems(1, 0x7FFFFFFF); },
         {kInvalid, kInvalid, kInvalid}, {abc, abc, abc}},
        {"RemoveItem negative index", abc, [](auto& a) { signed char out = 0; return a.RemoveItem(-1, out); },
         {kInvalid, kInvalid, kInvalid}, {abc, abc, abc}},
        {"RemoveLastItem", abc, [](auto& a) { signed char out = 0; int32_t r = a.RemoveLastItem(out); return out == 3 ? r : -1; },
         {2, 2, 2}, {{1, 2}, {1, 2}, {1, 2}}},
        {"RemoveLastItem on empty", {}, [](auto& a) { signed char out = 5; int32_t r = a.RemoveLastItem(out); return out == 5 ? r : -1; },
         {kFail, kFail, kFail}, {{}, {}, {}}},
        {"SwapItems", abc, [](auto& a) { return a.SwapItems(0, 2); }, {0, 0, 0},
         {{3, 2, 1}, {3, 2, 1}, {3, 2, 1}}},
        {"SwapItems with itself", abc, [](auto& a) { return a.SwapItems(1, 1); }, {0, 0, 0}, {abc, abc, abc}},
        {"SwapItems at the count", abc, [](auto& a) { return a.SwapItems(0, 3); },
         {kInvalid, kInvalid, kInvalid}, {abc, abc, abc}},
        {"SwapItems negative", abc, [](auto& a) { return a.SwapItems(-1, 0); },
         {kInvalid, kInvalid, kInvalid}, {abc, abc, abc}},
        {"SetCount above the fixed limit", abc, [](auto& a) { return a.SetCount(9); }, {9, 9, 6},
         {{1, 2, 3, 0, 0, 0, 0, 0, 0}, {1, 2, 3, 0, 0, 0, 0, 0, 0}, {1, 2, 3, 0, 0, 0}}},
        {"SetCount negative", abc, [](auto& a) { return a.SetCount(-1); },
         {kInvalid, kInvalid, kInvalid}, {abc, abc, abc}},
        {"Append beyond the fixed limit", abc,
         [](auto& a) { Array<signed char> more{4, 5, 6, 7, 8}; return a.Append(more); }, {8, 8, kFail},
         {{1, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 3, 0, 0, 0}}},
        {"Append to itself", abc, [](auto& a) { return a.Append(a); }, {6, 6, 6},
         {{1, 2, 3, 1, 2, 3}, {1, 2, 3, 1, 2, 3}, {1, 2, 3, 1, 2, 3}}},
        {"Assign three into five", {1, 2, 3, 4, 5},
         [](auto& a) { Array<signed char> three{7, 8, 9}; return a.Assign(three); }, {3, 3, 3},
         {{7, 8, 9}, {7, 8, 9}, {7, 8, 9}}},
        {"Assign from itself keeps everything", abc, [](auto& a) { return a.Assign(a); }, {3, 3, 3},
         {abc, abc, abc}},
        {"RemoveAll", abc, [](auto& a) { return a.RemoveAll(); }, {0, 0, 0}, {{}, {}, {}}},
    };
    for (const auto& c : cases) {
        for (int f = 0; f < kFamilyCount; ++f) {
            Arrays arrays;
            IArray<signed char>& array = arrays.Get(static_cast<Family>(f));
            Fill(array, c.start);
            EXPECT_EQ(c.result[f], c.operation(array)) << c.what << " / " << kFamilyNames[f];
            EXPECT_EQ(c.after[f], Contents(array)) << c.what << " / " << kFamilyNames[f];
        }
    }
}

TEST(ArrayFamilies, RemoveItemPastTheEnd)
{
    Array<signed char> array{1, 2, 3};
    signed char out = 0;
    try {
        array.RemoveItem(3, out);
        FAIL() << "no exception";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ("invalid vector<T> subscript", e.what());
    }
    EXPECT_EQ((Bytes{1, 2, 3}), Contents(array));

    ArrayBuffer<signed char> buffer;
    SimpleFixedArray<signed char, 6> fixed{1, 2, 3};
    Fill(buffer, {1, 2, 3});
    EXPECT_EQ(kInvalid, buffer.RemoveItem(3, out));
    EXPECT_EQ(kInvalid, fixed.RemoveItem(3, out));
    EXPECT_EQ(3, buffer.GetCount());
    EXPECT_EQ(3, fixed.GetCount());
}

TEST(ArrayFamilies, ArrayGetAtChecksAndValueInitialises)
{
    Array<StringT<wchar_t, char>> strings;
    EXPECT_EQ(2, strings.SetCount(2));
    EXPECT_TRUE(strings.GetAt(1).IsEmpty());
    EXPECT_THROW(strings.GetAt(2), std::out_of_range);
    EXPECT_THROW(strings.GetAt(-1), std::out_of_range);
    EXPECT_EQ(1, strings.InsertItem(1, StringT<wchar_t, char>(L"b")));
    EXPECT_TRUE(strings.GetAt(1) == L"b");
    EXPECT_EQ(nullptr, Array<int>().GetData());
}

TEST(ArrayFamilies, ArraysOfRecordsAndOfArrays)
{
    using WidePair = Pair<StringT<wchar_t, char>, StringT<wchar_t, char>>;
    Array<WidePair> pairs;
    EXPECT_EQ(0, pairs.AddItem(WidePair(L"GHK.A", L"Ctrl+A")));
    EXPECT_EQ(1, pairs.SetCount(2) - 1);
    EXPECT_TRUE(pairs.GetAt(1).first.IsEmpty());
    EXPECT_TRUE(pairs.GetAt(0).second == L"Ctrl+A");

    Array<Array<signed char>> messages;
    messages.AddItem(Array<signed char>{1, 2});
    messages.AddItem(messages.GetAt(0));
    messages.GetAt(1).AddItem(3);
    EXPECT_EQ(2, messages.GetAt(0).GetCount());
    EXPECT_EQ(3, messages.GetAt(1).GetCount());
}

TEST(ArrayFamilies, InsertItemOfOwnElementSurvivesTheMove)
{
    ArrayBuffer<int> buffer;
    for (int i = 0; i < 4; ++i)
        buffer.AddItem(i * 10);
    EXPECT_EQ(5, buffer.InsertItem(0, buffer.GetAt(3))); // growth may move the storage
    EXPECT_EQ(30, buffer.GetAt(0));
    EXPECT_EQ(30, buffer.GetAt(4));

    Array<std::string> strings{"a", "b"};
    EXPECT_EQ(0, strings.InsertItem(0, strings.GetAt(1)));
    EXPECT_EQ("b", strings.GetAt(0));
}

// Counts SetCount calls, to show that appending nothing does not resize.
struct CountingArray : ArrayBuffer<float>
{
    int setCountCalls = 0;
    int32_t SetCount(int32_t count) override
    {
        ++setCountCalls;
        return ArrayBuffer<float>::SetCount(count);
    }
};

TEST(ArrayIteration, EmptyArrayAndClampedAdvance)
{
    CountingArray empty;
    EXPECT_EQ(nullptr, empty.GetBeginPosition());
    EXPECT_EQ(nullptr, empty.GetEndPosition());
    EXPECT_TRUE(empty.Begin() == empty.End());
    CountingArray other;
    EXPECT_EQ(0, empty.Append(other));
    EXPECT_EQ(0, empty.setCountCalls);

    Array<int> array{1, 2, 3};
    const auto first = array.GetBeginPosition();
    const auto end = array.GetEndPosition();
    EXPECT_EQ(end, array.Advance(end, 1));
    EXPECT_EQ(first, array.Advance(first, -1));
    EXPECT_EQ(array.GetData() + 2, array.Advance(first, 2));
    EXPECT_EQ(end, array.Advance(first, 0x7FFFFFFF));

    int sum = 0;
    for (int value : array)
        sum += value;
    EXPECT_EQ(6, sum);
}

// A list that only iterates, so GetAt takes the walking default.
TEST(ArrayIteration, IterableDefaultsWalk)
{
    struct Walker : IIterable<int>
    {
        std::vector<int> items{5, 6, 7};
        int advances = 0;
        int32_t GetCount() const override { return static_cast<int32_t>(items.size()); }
        int& GetItem(Position p) override { return *static_cast<int*>(p); }
        Position Advance(Position p, int32_t n) const override
        {
            ++const_cast<Walker*>(this)->advances;
            return static_cast<int*>(p) + n;
        }
        Position GetBeginPosition() const override { return const_cast<int*>(items.data()); }
        Position GetEndPosition() const override { return const_cast<int*>(items.data()) + items.size(); }
        int32_t SetCount(int32_t) override { return E_NOTIMPL; }
        int32_t InsertItems(int32_t, int32_t) override { return E_NOTIMPL; }
        int32_t RemoveItems(int32_t, int32_t) override { return E_NOTIMPL; }
    } walker;
    EXPECT_EQ(7, walker.GetAt(2));
    EXPECT_EQ(2, walker.advances);

    Array<int> copy;
    EXPECT_EQ(3, copy.Append(walker));
    EXPECT_EQ((std::vector<int>{5, 6, 7}), (std::vector<int>{copy.GetAt(0), copy.GetAt(1), copy.GetAt(2)}));
}

TEST(ArrayBufferM, GrowsIntoTheBufferAndShrinksBack)
{
    ArrayBufferM<signed char, 4> bytes;
    EXPECT_TRUE(bytes.IsInline());
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(i, bytes.AddItem(static_cast<signed char>(i)));
    EXPECT_TRUE(bytes.IsInline());
    const signed char* inlineData = bytes.GetData();
    EXPECT_EQ(0u, bytes.GetCapacityInBytes()); // no heap memory for short messages

    EXPECT_EQ(5, bytes.AddItem(5));
    EXPECT_FALSE(bytes.IsInline());
    EXPECT_NE(inlineData, bytes.GetData());
    EXPECT_EQ((Bytes{1, 2, 3, 4, 5}), Contents(bytes));
    EXPECT_EQ(6, bytes.AddItem(6));

    EXPECT_EQ(2, bytes.RemoveItems(2, 4));
    EXPECT_TRUE(bytes.IsInline());
    EXPECT_EQ(inlineData, bytes.GetData());
    EXPECT_EQ((Bytes{1, 2}), Contents(bytes));
    EXPECT_EQ(0u, bytes.GetCapacityInBytes()); // the buffer was given back

    EXPECT_EQ(0, bytes.SetCount(0));
    EXPECT_EQ(0, bytes.GetCount());
    EXPECT_EQ(nullptr, bytes.GetBeginPosition());
}

TEST(ArrayBufferM, BufferViewFollowsTheElements)
{
    ArrayBufferM<signed char, 4> bytes;
    bytes.SetCount(3);
    IBuffer& buffer = bytes.AsBuffer();
    EXPECT_EQ(3u, buffer.GetSize());
    EXPECT_EQ(S_OK, buffer.Fill(7, 1, -1));
    EXPECT_EQ((Bytes{0, 7, 7}), Contents(bytes));
    EXPECT_EQ(E_INVALIDARG, buffer.Fill(7, 2, 2));

    bytes.SetCount(6);
    EXPECT_EQ(6u, buffer.GetSize());
    EXPECT_EQ(S_OK, buffer.Fill(1, 4, 2));
    EXPECT_EQ((Bytes{0, 7, 7, 0, 1, 1}), Contents(bytes));
}

TEST(ArrayBuffer, GrowsInStepsAndKeepsItsSlack)
{
    ArrayBuffer<unsigned int, 4, 1600> list; // the bookkeeping shape of a pool
    list.SetCount(1);
    EXPECT_EQ(16u, list.GetCapacityInBytes());
    list.SetCount(5);
    EXPECT_EQ(32u, list.GetCapacityInBytes());
    list.SetCount(1000);
    const uint32_t big = list.GetCapacityInBytes();
    list.SetCount(0);
    EXPECT_EQ(big, list.GetCapacityInBytes()); // at most 1600 spare entries: kept

    ArrayBuffer<float> floats; // G = 1, S = 0
    EXPECT_EQ(3, floats.SetCount(3));
    EXPECT_EQ(12u, floats.GetCapacityInBytes());
    EXPECT_EQ(2, floats.SetCount(2));
    EXPECT_EQ(8u, floats.GetCapacityInBytes());
}

TEST(ArrayBuffer, CopyIn)
{
    SimpleFixedArray<signed char, 6> fixed;
    fixed.SetCount(6);
    const signed char source[] = {9, 8, 7, 6};
    EXPECT_EQ(2, fixed.CopyIn(source, 4, 4));
    EXPECT_EQ((Bytes{0, 0, 0, 0, 9, 8}), Contents(fixed));
    EXPECT_EQ(0, fixed.CopyIn(source, 6, 1));
    EXPECT_EQ(0, fixed.CopyIn(source, -1, 4));
    EXPECT_EQ(6, fixed.GetCount());
}

TEST(BufferFill, NegativeOffsetIsRejected)
{
    BufferT<1, 0, 8, char*, &GetSystemAllocator> buffer(8);
    EXPECT_EQ(E_INVALIDARG, buffer.Fill(1, static_cast<uint32_t>(-1), 1));
    EXPECT_EQ(E_INVALIDARG, buffer.Fill(1, static_cast<uint32_t>(-1), -1));
    EXPECT_EQ(E_INVALIDARG, buffer.Fill16(1, static_cast<uint32_t>(-2), 1));
}

} // namespace
