// The small records of the skin: attribute values, colours, string tables and
// layout records.
#include "ControlBase/ControlFactory.h"
#include "ControlBase/LayoutDescriptor.h"
#include "ControlBase/StringTable.h"
#include "Utilities/Graphics/Color.h"
#include "Utilities/Storage/Array.h"

#include <gtest/gtest.h>

namespace {

using KX::LControlFactory;
using String = KX::StringT<wchar_t, char>;

LControlFactory::AttributeMap Attributes(const wchar_t* name, const wchar_t* value)
{
    LControlFactory::AttributeMap map;
    map.emplace(String(name), String(value));
    return map;
}

TEST(SkinAttributes, BoolIsTrueOnlyForTrue)
{
    const struct { const wchar_t* text; bool expected; } cases[] = {
        {L"True", true}, {L"true", false}, {L"TRUE", false}, {L" True", false}, {L"1", false}, {L"", false},
    };
    for (const auto& c : cases) {
        bool value = !c.expected;
        EXPECT_TRUE(LControlFactory::GetAttrBool(Attributes(L"A", c.text), L"A", value));
        EXPECT_EQ(value, c.expected) << String(c.text);
    }
}

TEST(SkinAttributes, NumbersReadHexAfterLowerCaseXElseDecimal)
{
    const struct { const wchar_t* text; int32_t expected; } cases[] = {
        {L"0x10", 16},       {L"12.7", 12},      {L"0x0009", 9},  {L"0x7c04", 0x7C04}, {L"0x7C04", 0x7C04},
        {L"0x12345", 0x1234}, {L"0x", 0},         {L"0X1", 0},     {L"-5", -5},          {L"0x1g", 1},
        {L"0x:", 10},        {L"abc", 0},        {L"  42", 42},
    };
    for (const auto& c : cases) {
        int32_t value = -999;
        EXPECT_TRUE(LControlFactory::GetAttrInt(Attributes(L"N", c.text), L"N", value));
        EXPECT_EQ(value, c.expected) << String(c.text);
    }
}

TEST(SkinAttributes, IntegersAndFloatsReadAsTheRunTimeDoes)
{
    int32_t integer = -1;
    EXPECT_TRUE(LControlFactory::GetAttrInteger(Attributes(L"I", L"2.9"), L"I", integer));
    EXPECT_EQ(integer, 2);
    EXPECT_TRUE(LControlFactory::GetAttrInteger(Attributes(L"I", L"0x10"), L"I", integer));
    EXPECT_EQ(integer, 0);

    float value = -1;
    EXPECT_TRUE(LControlFactory::GetAttrFloat(Attributes(L"F", L" -2.5e1xyz"), L"F", value));
    EXPECT_FLOAT_EQ(value, -25.0f);
    EXPECT_TRUE(LControlFactory::GetAttrFloat(Attributes(L"F", L"none"), L"F", value));
    EXPECT_FLOAT_EQ(value, 0.0f);
}

TEST(SkinAttributes, AbsentAttributeLeavesTheValue)
{
    const auto map = Attributes(L"Present", L"True");
    bool flag = false;
    int32_t number = 7;
    float real = 1.5f;
    String text(L"kept");
    EXPECT_FALSE(LControlFactory::GetAttrBool(map, L"present", flag)); // names are case-sensitive
    EXPECT_FALSE(LControlFactory::GetAttrInt(map, L"Missing", number));
    EXPECT_FALSE(LControlFactory::GetAttrFloat(map, L"Missing", real));
    EXPECT_FALSE(LControlFactory::GetAttrString(map, L"Missing", text));
    EXPECT_FALSE(flag);
    EXPECT_EQ(number, 7);
    EXPECT_EQ(real, 1.5f);
    EXPECT_EQ(text, L"kept");
}

TEST(Color, ParseByLengthOfTheText)
{
    KX::ColorT<float> color;
    color.Parse("0xFF102030");
    EXPECT_EQ(color.GetARGB(), 0xFF102030u);

    color.Parse("80"); // alpha only
    EXPECT_EQ(color.GetARGB(), 0x80102030u);

    color.Parse("0X405060"); // red, green and blue; alpha kept
    EXPECT_EQ(color.GetARGB(), 0x80405060u);

    color.Parse("12345"); // no length it knows
    color.Parse("0x");
    color.Parse(nullptr);
    EXPECT_EQ(color.GetARGB(), 0x80405060u);

    color.Parse("zz"); // two characters but no digits: alpha 0
    EXPECT_EQ(color.GetARGB(), 0x00405060u);
}

TEST(Color, SetARGBScalesBytesAndGetARGBRoundsAndClamps)
{
    KX::ColorT<float> color;
    color.SetARGB(0x01FF8000);
    EXPECT_EQ(color.mAlpha, 0.003921569f);
    EXPECT_EQ(color.mRed, 255 * 0.003921569f);
    EXPECT_EQ(color.GetARGB(), 0x01FF8000u);

    const KX::ColorT<float> outside(1.7f, -0.2f, 0.5f, 0.999f);
    EXPECT_EQ(outside.GetARGB(), 0xFFFF0080u); // 127.5 rounds up to 128
    EXPECT_EQ(KX::ColorT<float>::FromARGB(0x12345678), KX::ColorT<float>::FromARGB(0x12345678));
    EXPECT_NE(KX::ColorT<float>::FromARGB(0x12345678), KX::ColorT<float>::FromARGB(0x12345679));
}

class StringTableTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        table = KX::LStringTable::Create();
        for (const wchar_t* id : {L"CONTEXT_MENU0.01.NID_B", L"CONTEXT_MENU0.00.NID_A", L"context_menu_lower",
                                  L"CONTEXT_MENUS", L"LABEL", L"CONTEXT"})
            ASSERT_EQ(table->SetString(id, String(id) + String(L" text")), S_OK);
    }

    static std::vector<String> Ids(KX::Array<KX::LStringTable::StringPair>& pairs)
    {
        std::vector<String> ids;
        for (int32_t i = 0; i < pairs.GetCount(); ++i)
            ids.push_back(pairs.GetAt(i).first);
        return ids;
    }

    KX::RCPtr<KX::LStringTable> table;
};

TEST_F(StringTableTest, GetStringLeavesTheTextWhenAbsent)
{
    String text(L"default");
    EXPECT_FALSE(table->GetString(L"label", text));
    EXPECT_EQ(text, L"default");
    EXPECT_TRUE(table->GetString(L"LABEL", text));
    EXPECT_EQ(text, L"LABEL text");
    EXPECT_TRUE(table->HasString(L"LABEL"));
    EXPECT_FALSE(table->HasString(L"LABE"));
}

TEST_F(StringTableTest, SetStringAddsReplacesAndRefusesAnEmptyId)
{
    EXPECT_EQ(table->SetString(L"LABEL", String(L"new")), S_FALSE);
    EXPECT_EQ(table->SetString(L"", String(L"x")), E_INVALIDARG);
    EXPECT_EQ(table->SetString(nullptr, String(L"x")), E_INVALIDARG);
    EXPECT_EQ(table->GetCount(), 6);
    String text;
    table->GetString(L"LABEL", text);
    EXPECT_EQ(text, L"new");
}

TEST_F(StringTableTest, PrefixListingIsCaseSensitiveAndOrdered)
{
    KX::Array<KX::LStringTable::StringPair> pairs;
    pairs.AddItem(KX::LStringTable::StringPair(String(L"stale"), String(L"stale")));
    EXPECT_EQ(table->GetStringsWithPrefix(String(L"CONTEXT_MENU"), pairs), S_OK);
    EXPECT_EQ(Ids(pairs), (std::vector<String>{String(L"CONTEXT_MENU0.00.NID_A"), String(L"CONTEXT_MENU0.01.NID_B"),
                                               String(L"CONTEXT_MENUS")}));
    EXPECT_EQ(pairs.GetAt(0).second, L"CONTEXT_MENU0.00.NID_A text");

    table->GetStringsWithPrefix(String(), pairs);
    EXPECT_EQ(pairs.GetCount(), 6);
    KX::Array<KX::LStringTable::StringPair> all;
    table->GetAllStrings(all);
    EXPECT_EQ(Ids(all), Ids(pairs));
    EXPECT_EQ(Ids(all).front(), L"CONTEXT");
    EXPECT_EQ(Ids(all).back(), L"context_menu_lower");
}

TEST(LayoutDescriptor, DefaultsCloneAndAxes)
{
    KX::RCPtr<KX::LLayoutDescriptor> layout = KX::LLayoutDescriptor::Create();
    EXPECT_TRUE(layout->mClipToParent);
    EXPECT_TRUE(layout->mIsVisible);
    EXPECT_TRUE(layout->mEnabled);
    EXPECT_EQ(layout->mXPosition.mKind, KX::LLayoutDescriptor::PositionClient);
    EXPECT_EQ(layout->mXSize.mKind, KX::LLayoutDescriptor::SizeSelf);
    EXPECT_EQ(layout->mXSize.mAbs, 16.0);
    EXPECT_EQ(layout->mYSize.mAbs, 40.0);
    EXPECT_FALSE(layout->mXMaximum.mIsControl);

    layout->mXPosition.mControlName = L"sibling";
    KX::RCPtr<KX::LLayoutDescriptor> copy = layout->Clone();
    EXPECT_TRUE(*copy == *layout);
    EXPECT_EQ(copy->GetRefCount(), 1);
    copy->mXPosition.mControlName = L"other";
    EXPECT_EQ(layout->mXPosition.mControlName, L"sibling");

    KX::LLayoutDescriptor::PositionSpec position;
    KX::LLayoutDescriptor::SizeSpec size;
    bool docked = true;
    EXPECT_EQ(layout->GetAxisSpec(2, position, docked, size), E_INVALIDARG);
    EXPECT_TRUE(docked);
    position.mAnchor = 1.0f;
    size.mKind = KX::LLayoutDescriptor::SizeParent;
    EXPECT_EQ(layout->SetAxisSpec(1, position, true, size), S_OK);
    EXPECT_TRUE(layout->mYIsDocked);
    EXPECT_EQ(layout->mYPosition.mAnchor, 1.0f);
    EXPECT_EQ(layout->mYSize.mKind, KX::LLayoutDescriptor::SizeParent);
}

TEST(LayoutDescriptor, ReplaceControlNameLeavesTheLimits)
{
    KX::RCPtr<KX::LLayoutDescriptor> layout = KX::LLayoutDescriptor::Create();
    layout->mXPosition.mControlName = L"title1";
    layout->mYSize.mControlName = L"title1";
    layout->mXMinimum.mControlName = L"title1";
    EXPECT_EQ(layout->ReplaceControlName(String(L"title1"), String(L"title2")), S_OK);
    EXPECT_EQ(layout->mXPosition.mControlName, L"title2");
    EXPECT_EQ(layout->mYSize.mControlName, L"title2");
    EXPECT_EQ(layout->mXMinimum.mControlName, L"title1");
    EXPECT_EQ(layout->ReplaceControlName(String(L"title1"), String(L"title3")), S_FALSE);
}

} // namespace
