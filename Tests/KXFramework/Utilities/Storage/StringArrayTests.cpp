#include "Utilities/Storage/StringArrayT.h"

#include <gtest/gtest.h>

#include <vector>

using namespace KX;

namespace {

using WString = StringT<wchar_t, char>;

std::vector<std::wstring> Items(const StringArrayT& array)
{
    std::vector<std::wstring> items;
    for (int32_t i = 0; i < array.GetCount(); ++i)
        items.emplace_back(array.GetAt(i).GetData());
    return items;
}

} // namespace

TEST(StringSplitTest, EmptyPiecesBetweenAndBeforeSeparatorsButNoneAtTheEnd)
{
    struct Case
    {
        const wchar_t* text;
        std::vector<std::wstring> pieces;
    };
    const Case cases[] = {
        {L"a,,b", {L"a", L"", L"b"}},
        {L",a", {L"", L"a"}},
        {L"a,", {L"a"}},
        {L"", {L""}},
        {L"a;b,c", {L"a", L"b", L"c"}},
        {L",", {L""}},
    };
    for (const Case& c : cases) {
        const StringArrayT array = WString(c.text).Split(L",;");
        EXPECT_EQ(c.pieces, Items(array)) << c.text;
    }
}

TEST(StringSplitTest, ATextWithoutSeparatorsBecomesTheOnlyElementSharingItsBuffer)
{
    const WString text(L"abc");
    StringArrayT array{WString(L"old"), WString(L"older")};
    EXPECT_EQ(1, text.SplitInto(array, L","));
    EXPECT_EQ(text.GetBuffer(), array.GetAt(0).GetBuffer());
    EXPECT_EQ(1, text.SplitInto(array, nullptr));

    // Filling an array that held elements replaces them.
    EXPECT_EQ(2, WString(L"x y").SplitInto(array, L" ", 99));
    EXPECT_EQ((std::vector<std::wstring>{L"x", L"y"}), Items(array));
}

TEST(StringArrayTest, FindWithAndWithoutCase)
{
    const StringArrayT array{WString(L"a"), WString(L"b"), WString(L"B")};
    EXPECT_EQ(1, array.Find(WString(L"B"), false, 0));
    EXPECT_EQ(2, array.Find(WString(L"B"), true, 0));
    EXPECT_EQ(-1, array.Find(WString(L"c"), false, 0));
    EXPECT_EQ(2, array.Find(WString(L"b"), false, 2));
    EXPECT_EQ(-1, array.Find(WString(L"a"), true, 3));
    EXPECT_EQ(-1, array.Find(WString(L"a"), true, -1)); // unsigned: beyond the end
    EXPECT_EQ(-1, StringArrayT().Find(WString(L"a"), true, 0));
    EXPECT_EQ(0, array.Find(array.GetAt(0), true, 0));
}

TEST(StringArrayTest, FindByBufferMatchesTheAddressFromTheLastElement)
{
    const WString shared(L"id");
    StringArrayT array{shared, WString(L"id"), shared};
    EXPECT_EQ(2, array.FindByBuffer(shared.GetData()));
    EXPECT_EQ(1, array.FindByBuffer(array.GetAt(1).GetData()));
    EXPECT_EQ(-1, array.FindByBuffer(WString(L"id").GetData()));
}
