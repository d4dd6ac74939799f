// The menu descriptors as data: items and separators, item states, the
// counted back-references to the parent, clones, and the release of a tree.
#include "MenuTestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using namespace KXTest;
using KX::MenuItemState;

RCPtr<LMenuDescriptor> NewMenu()
{
    RCPtr<LMenuDescriptor> menu;
    EXPECT_EQ(LMenuDescriptor::Create(menu), S_OK);
    return menu;
}

RCPtr<LMenuItemDescriptor> NewItem(const wchar_t* text, const wchar_t* id = L"")
{
    RCPtr<LMenuItemDescriptor> item;
    EXPECT_EQ(LMenuItemDescriptor::Create(String(text), String(id), true, false, item), S_OK);
    return item;
}

// File: Open, -, Recent (One, Two)
RCPtr<LMenuDescriptor> SampleTree()
{
    RCPtr<LMenuDescriptor> menu = NewMenu();
    menu->InsertNewItem(0, String(L"Open"), String(L"NID_OPEN"), true, false);
    menu->InsertSeparator(1);
    RCPtr<LMenuItemDescriptor> recent = NewItem(L"Recent");
    recent->InsertNewItem(0, String(L"One"), String(L"NID_ONE"), true, true);
    recent->InsertNewItem(1, String(L"Two"), String(L"NID_TWO"), false, false);
    menu->InsertItem(2, recent);
    return menu;
}

TEST(MenuDescriptor, ItemsGoBeforeTheIndexAndKnowTheirMenu)
{
    RCPtr<LMenuDescriptor> menu = NewMenu();
    EXPECT_EQ(menu->InsertNewItem(0, String(L"B"), String(L"NID_B"), false, true), 0);
    EXPECT_EQ(menu->InsertNewItem(0, String(L"A"), String(L"NID_A"), true, false), 0);
    EXPECT_EQ(menu->InsertSeparator(2), 2);
    EXPECT_EQ(Describe(*menu), L"A=NID_A, B=NID_B, -");

    const RCPtr<LMenuItemDescriptor>& b = menu->GetItem(1);
    EXPECT_FALSE(b->mEnabled);
    EXPECT_TRUE(b->mChecked);
    EXPECT_TRUE(b->mHotKeyText.IsEmpty());
    EXPECT_TRUE(b->mStatusText.IsEmpty());
    const RCPtr<LMenuItemDescriptor>& separator = menu->GetItem(2);
    EXPECT_TRUE(separator->mSeparator && separator->mEnabled && !separator->mChecked);
    EXPECT_TRUE(separator->mText.IsEmpty() && separator->mNotificationId.IsEmpty());
    for (int32_t i = 0; i < 3; ++i)
        EXPECT_EQ(menu->GetItem(i)->GetParent(), menu.Get());
    EXPECT_EQ(menu->GetParent(), nullptr);
    EXPECT_EQ(b->ToString(), L"B");
    EXPECT_EQ(menu->ToString(), L"class KX::LMenuDescriptor");
}

TEST(MenuDescriptor, RefusedInsertionsChangeNothing)
{
    RCPtr<LMenuDescriptor> menu = NewMenu();
    menu->InsertNewItem(0, String(L"A"), String(L"NID_A"), true, false);
    RCPtr<LMenuItemDescriptor> item = NewItem(L"X");
    EXPECT_EQ(menu->InsertItem(2, item), E_INVALIDARG);
    EXPECT_EQ(menu->InsertItem(-1, item), E_INVALIDARG);
    EXPECT_EQ(menu->InsertItem(0, RCPtr<LMenuItemDescriptor>()), E_INVALIDARG);
    EXPECT_EQ(menu->InsertNewItem(5, String(L"Y"), String(), true, false), E_INVALIDARG);
    EXPECT_EQ(menu->InsertSeparator(5), E_INVALIDARG);
    EXPECT_EQ(Describe(*menu), L"A=NID_A");
    EXPECT_EQ(item->GetParent(), nullptr);
    EXPECT_EQ(item->GetRefCount(), 1);
    EXPECT_EQ(menu->GetInternalRefCount(), 1);
}

TEST(MenuDescriptor, ItemStateIsResetThenReadInRange)
{
    RCPtr<LMenuDescriptor> menu = SampleTree();
    MenuItemState state;
    EXPECT_EQ(menu->GetItem(2)->GetItemState(0, state), S_OK);
    EXPECT_TRUE(state.enabled && state.checked);
    EXPECT_EQ(state.text, L"One");

    for (int32_t index : {3, -1, 1000}) {
        state = MenuItemState{true, true, String(L"stale")};
        EXPECT_EQ(menu->GetItemState(index, state), E_INVALIDARG) << index;
        EXPECT_EQ(state, MenuItemState()) << index;
    }
}

TEST(MenuDescriptor, ItemStatesCompareFlagsAndCharacters)
{
    const String shared(L"Text");
    const struct { MenuItemState a, b; bool equal; } cases[] = {
        {{true, false, shared}, {true, false, shared}, true},
        {{true, false, shared}, {true, false, String(L"Text")}, true},
        {{false, false, String()}, {false, false, String(L"")}, true},
        {{true, false, shared}, {false, false, shared}, false},
        {{true, false, shared}, {true, true, shared}, false},
        {{true, false, shared}, {true, false, String(L"text")}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.a == c.b, c.equal) << c.a.text << " / " << c.b.text;
        EXPECT_EQ(c.a != c.b, !c.equal);
    }
}

TEST(MenuDescriptor, TheItemListKeepsTheArrayFailures)
{
    RCPtr<LMenuDescriptor> menu = NewMenu();
    RCPtr<LMenuItemDescriptor> out;
    EXPECT_EQ(menu->GetItems().RemoveLastItem(out), E_FAIL);
    menu->InsertSeparator(0);
    EXPECT_EQ(menu->GetItems().SwapItems(0, 1), E_INVALIDARG);
    try {
        menu->GetItems().RemoveItem(1, out);
        FAIL() << "no exception";
    } catch (const std::out_of_range& error) {
        EXPECT_NE(std::string(error.what()).find("KX::RCPtrArray<class KX::LMenuItemDescriptor,1,0>::RemoveItem"),
                  std::string::npos)
            << error.what();
    }
    EXPECT_THROW(menu->CreateCopy(), std::logic_error);
}

TEST(MenuDescriptor, ParentBackReferencesAreCountedInternally)
{
    RCPtr<LMenuDescriptor> first = NewMenu();
    RCPtr<LMenuDescriptor> second = NewMenu();
    RCPtr<LMenuItemDescriptor> item = NewItem(L"A");

    first->InsertItem(0, item);
    EXPECT_EQ(first->GetRefCount(), 2);
    EXPECT_EQ(first->GetInternalRefCount(), 1);

    EXPECT_EQ(item->SetParent(second), S_OK);
    EXPECT_EQ(item->GetParent(), second.Get());
    EXPECT_EQ(first->GetRefCount(), 1);
    EXPECT_EQ(first->GetInternalRefCount(), 0);
    EXPECT_EQ(second->GetRefCount(), 2);
    EXPECT_EQ(second->GetInternalRefCount(), 1);

    item->SetParent(second); // the same parent: nothing changes
    EXPECT_EQ(second->GetRefCount(), 2);
    EXPECT_EQ(second->GetInternalRefCount(), 1);

    item->SetParent(RCPtr<LMenuDescriptor>());
    EXPECT_EQ(second->GetRefCount(), 1);
    EXPECT_EQ(second->GetInternalRefCount(), 0);
}

TEST(MenuDescriptor, CloneIsADeepIndependentCopy)
{
    RCPtr<LMenuDescriptor> menu = SampleTree();
    RCPtr<LMenuItemDescriptor> open = menu->GetItem(0);
    open->mHotKeyText = String(L"Ctrl+O");
    open->mStatusText = String(L"Opens a file");

    RCPtr<LMenuDescriptor> copy;
    EXPECT_EQ(menu->Clone(copy), S_OK);
    ASSERT_TRUE(copy);
    EXPECT_EQ(Describe(*copy), L"Open=NID_OPEN|Opens a file, -, Recent(One=NID_ONE, Two=NID_TWO)");
    EXPECT_EQ(copy->GetItem(0)->mHotKeyText, L"Ctrl+O");
    EXPECT_TRUE(copy->GetItem(1)->mSeparator);
    MenuItemState a, b;
    for (int32_t i = 0; i < 2; ++i) {
        menu->GetItem(2)->GetItemState(i, a);
        copy->GetItem(2)->GetItemState(i, b);
        EXPECT_EQ(a, b) << i;
    }
    EXPECT_EQ(copy->GetItem(2)->GetParent(), copy.Get());
    EXPECT_EQ(copy->GetItem(2)->GetItem(0)->GetParent(), copy->GetItem(2).Get());
    EXPECT_NE(copy->GetItem(2).Get(), menu->GetItem(2).Get());

    // An item cloned alone is an item without parent.
    RCPtr<LMenuItemDescriptor> recent;
    EXPECT_EQ(menu->GetItem(2)->Clone(recent), S_OK);
    EXPECT_EQ(recent->GetParent(), nullptr);
    EXPECT_EQ(recent->ToString(), L"Recent");
    EXPECT_EQ(Describe(*recent), L"One=NID_ONE, Two=NID_TWO");

    copy->GetItem(2)->GetItem(0)->mText = String(L"Changed");
    copy->GetItem(2)->GetItem(1)->mEnabled = true;
    EXPECT_EQ(Describe(*menu), L"Open=NID_OPEN|Opens a file, -, Recent(One=NID_ONE, Two=NID_TWO)");
    EXPECT_FALSE(menu->GetItem(2)->GetItem(1)->mEnabled);
}

// Every descriptor of a tree carries a LiveTag, so the count of live tags is
// the count of live descriptors.
class MenuLifetime : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(LiveTag::sLive, 0); }
    void TearDown() override { EXPECT_EQ(LiveTag::sLive, 0) << "descriptors outlived the test"; }
};

TEST_F(MenuLifetime, TheLastOutsideReferenceFreesTheWholeTree)
{
    RCPtr<LMenuDescriptor> menu = SampleTree();
    EXPECT_EQ(TagTree(*menu), 6);
    EXPECT_EQ(LiveTag::sLive, 6);
    menu = nullptr;
    EXPECT_EQ(LiveTag::sLive, 0);
}

TEST_F(MenuLifetime, ReferencesToItemsComeAndGoWithoutTearingTheTree)
{
    RCPtr<LMenuDescriptor> menu = SampleTree();
    TagTree(*menu);
    {
        RCPtr<LMenuItemDescriptor> recent = menu->GetItem(2);
        RCPtr<LMenuItemDescriptor> one = recent->GetItem(0);
    }
    EXPECT_EQ(Describe(*menu), L"Open=NID_OPEN, -, Recent(One=NID_ONE, Two=NID_TWO)");
    EXPECT_EQ(LiveTag::sLive, 6);
}

TEST_F(MenuLifetime, AnItemHeldOutsideOutlivesItsMenuWithoutParent)
{
    RCPtr<LMenuDescriptor> menu = SampleTree();
    TagTree(*menu);
    RCPtr<LMenuItemDescriptor> recent = menu->GetItem(2);
    menu = nullptr;
    EXPECT_EQ(LiveTag::sLive, 3); // Recent and its two items
    EXPECT_EQ(recent->GetParent(), nullptr);
    EXPECT_EQ(recent->GetRefCount(), 3);
    EXPECT_EQ(recent->GetInternalRefCount(), 2);
    EXPECT_EQ(Describe(*recent), L"One=NID_ONE, Two=NID_TWO");
    recent = nullptr;
}

TEST_F(MenuLifetime, ACloneLivesOnItsOwn)
{
    RCPtr<LMenuDescriptor> menu = SampleTree();
    RCPtr<LMenuDescriptor> copy;
    menu->Clone(copy);
    TagTree(*menu);
    TagTree(*copy);
    menu = nullptr;
    EXPECT_EQ(LiveTag::sLive, 6);
    EXPECT_EQ(Describe(*copy), L"Open=NID_OPEN, -, Recent(One=NID_ONE, Two=NID_TWO)");
    copy = nullptr;
}

TEST_F(MenuLifetime, AnItemTakenOutByHandGivesItsParentBack)
{
    RCPtr<LMenuDescriptor> menu = SampleTree();
    TagTree(*menu);
    {
        RCPtr<LMenuItemDescriptor> recent;
        menu->GetItems().RemoveItem(2, recent); // the back-reference stays set
        EXPECT_EQ(recent->GetParent(), menu.Get());
    }
    EXPECT_EQ(LiveTag::sLive, 3);
    EXPECT_EQ(menu->GetRefCount(), 3); // the caller and the two remaining items
    EXPECT_EQ(menu->GetInternalRefCount(), 2);
    menu = nullptr;
}

} // namespace
