// The tab control: tabs picked with the pointer through the root window, the
// pages shown and announced, unknown names, lookups by name and position,
// skins whose holders do not match, and a skin change.
#include "TabStatusTestSupport.h"

#include "Controls/Button.h"
#include "Controls/TabControl.h"

namespace TabStatusTest {

namespace {

class TabControlTest : public TabStatusTestBase
{
protected:
    // Opens the scene and listens to its tab control's announcements.
    RCPtr<KX::LTabControl> OpenTabs(const wchar_t* scene, const wchar_t* name = L"tabs")
    {
        OpenScene(scene);
        RCPtr<KX::LTabControl> tabs = FindAs<KX::LTabControl>(name);
        if (tabs) {
            listener = KXTest::Listener::Make();
            listener->Listen(RCPtr<KX::LNotificationDistributor>(tabs.Get()), KX::NID_TAB_SELECTED);
        }
        return tabs;
    }

    void TearDown() override
    {
        if (listener)
            listener->UnregisterAll();
        listener = nullptr;
        TabStatusTestBase::TearDown();
    }

    // The pages announced so far, by name ("-" for no page).
    std::vector<std::wstring> Announced() const
    {
        std::vector<std::wstring> pages;
        for (const KXTest::Listener::Received& entry : listener->received) {
            const RCPtr<KX::LControl> page = RCPtr<KX::LControl>::DynamicCast(entry.data);
            pages.push_back(page ? KXTest::Text(page->GetName()) : std::wstring(L"-"));
        }
        return pages;
    }

    // The names of the visible pages of the page holder.
    std::vector<std::wstring> VisiblePages(const RCPtr<KX::LTabControl>& tabs) const
    {
        std::vector<std::wstring> names;
        const RCPtr<KX::LPanel>& holder = tabs->GetPageHolder();
        for (int32_t i = 0; i < holder->GetChildCount(); ++i) {
            const RCPtr<KX::LControl>& page = holder->GetChildren().GetAt(i, KX::LControl::kInsertionOrder);
            if (page->IsVisible(false))
                names.push_back(KXTest::Text(page->GetName()));
        }
        return names;
    }

    // A point inside the pages' area of the tab scene (window coordinates).
    static PointT<long> PagePoint() { return PointT<long>(130, 110); }

    RCPtr<KXTest::Listener> listener;
};

using Names = std::vector<std::wstring>;

TEST_F(TabControlTest, ClickingATabShowsItsPageAndAnnouncesItEachTime)
{
    const RCPtr<KX::LTabControl> tabs = OpenTabs(L"tabScene");
    ASSERT_TRUE(tabs);
    EXPECT_EQ(Names{L"pageA"}, VisiblePages(tabs)) << "the first tab is selected at creation";
    EXPECT_EQ(String(L"tabA"), tabs->GetSelectedTabName());
    PaintWindow("first");
    EXPECT_EQ(kPageA, Pixel(PagePoint().x, PagePoint().y));

    Click(CentreOf(tabs->GetTabButton(L"tabB")));
    EXPECT_EQ(Names{L"pageB"}, VisiblePages(tabs));
    EXPECT_EQ(Names{L"pageB"}, Announced());
    EXPECT_EQ(1, tabs->GetSelectedTabIndex());
    EXPECT_EQ(tabs->GetPage(L"tabB"), tabs->GetSelectedPage());
    PaintWindow("second");
    EXPECT_EQ(kPageB, Pixel(PagePoint().x, PagePoint().y));

    // The selected tab clicked again is announced again.
    Click(CentreOf(tabs->GetTabButton(L"tabB")));
    EXPECT_EQ((Names{L"pageB", L"pageB"}), Announced());
    EXPECT_EQ(Names{L"pageB"}, VisiblePages(tabs));

    Click(CentreOf(tabs->GetTabButton(L"tabC")));
    EXPECT_EQ((Names{L"pageB", L"pageB", L"pageC"}), Announced());
    EXPECT_EQ(Names{L"pageC"}, VisiblePages(tabs));
    PaintWindow("third");
    EXPECT_EQ(kPageC, Pixel(PagePoint().x, PagePoint().y));
}

TEST_F(TabControlTest, AnUnknownNameHidesEveryPageAndIsAnnouncedWithoutAPage)
{
    const RCPtr<KX::LTabControl> tabs = OpenTabs(L"tabScene");
    ASSERT_TRUE(tabs);
    EXPECT_EQ(S_OK, tabs->SelectTab(L"tabZ"));
    EXPECT_TRUE(VisiblePages(tabs).empty());
    EXPECT_EQ(Names{L"-"}, Announced());
    EXPECT_EQ(String(L"tabZ"), tabs->GetSelectedTabName());
    EXPECT_EQ(-1, tabs->GetSelectedTabIndex());
    EXPECT_FALSE(tabs->GetSelectedPage());
    PaintWindow();
    EXPECT_EQ(kHolder, Pixel(PagePoint().x, PagePoint().y)) << "no page is drawn";

    // An empty name matches no tab either; a known one brings its page back.
    EXPECT_EQ(S_OK, tabs->SelectTab(String()));
    EXPECT_TRUE(VisiblePages(tabs).empty());
    EXPECT_EQ(S_OK, tabs->SelectTab(L"tabA"));
    EXPECT_EQ(Names{L"pageA"}, VisiblePages(tabs));
    EXPECT_EQ((Names{L"-", L"-", L"pageA"}), Announced());
}

TEST_F(TabControlTest, LookupsAnswerByNameAndPositionAndNothingOutside)
{
    const RCPtr<KX::LTabControl> tabs = OpenTabs(L"tabScene");
    ASSERT_TRUE(tabs);
    EXPECT_EQ(3, tabs->GetTabCount());
    struct Case
    {
        const wchar_t* name;
        int32_t index;
        const wchar_t* page;
    };
    for (const Case& c : {Case{L"tabA", 0, L"pageA"}, Case{L"tabC", 2, L"pageC"}, Case{L"tabc", -1, nullptr},
                          Case{L"", -1, nullptr}, Case{L"pageA", -1, nullptr}}) {
        SCOPED_TRACE(KXTest::Text(String(c.name)));
        EXPECT_EQ(c.index, tabs->FindTab(c.name));
        const RCPtr<KX::LControl> page = tabs->GetPage(c.name);
        EXPECT_EQ(c.page ? String(c.page) : String(L"(none)"), page ? page->GetName() : String(L"(none)"));
        EXPECT_EQ(c.index >= 0, static_cast<bool>(tabs->GetTabButton(c.name)));
    }
    for (int32_t index : {-1, 3, 100}) {
        EXPECT_FALSE(tabs->GetPageAt(index)) << index;
        EXPECT_FALSE(tabs->GetTabButtonAt(index)) << index;
        EXPECT_EQ(E_FAIL, tabs->SelectTabAt(index)) << index;
    }
    EXPECT_EQ(String(L"tabB"), tabs->GetTabButtonAt(1)->GetName());
    EXPECT_EQ(String(L"pageB"), tabs->GetPageAt(1)->GetName());
    EXPECT_TRUE(Announced().empty()) << "lookups and refused selections announce nothing";
    EXPECT_EQ(Names{L"pageA"}, VisiblePages(tabs));
}

TEST_F(TabControlTest, TheFirstTabIsTheFirstButtonInTabOrderAndATabWithoutPageShowsNone)
{
    // Tab order B, C, A; the page holder has pages for A and B only.
    const RCPtr<KX::LTabControl> tabs = OpenTabs(L"oddTabScene");
    ASSERT_TRUE(tabs);
    EXPECT_EQ(String(L"tabB"), tabs->GetSelectedTabName());
    EXPECT_EQ(Names{L"pageB"}, VisiblePages(tabs));
    EXPECT_EQ(S_OK, tabs->SelectTabAt(1));
    EXPECT_EQ(String(L"tabC"), tabs->GetSelectedTabName());

    // Tab C has no page: every page is hidden, and none is announced.
    EXPECT_FALSE(tabs->GetPageAt(2));
    EXPECT_TRUE(VisiblePages(tabs).empty());
    Click(CentreOf(tabs->GetTabButton(L"tabA")));
    Click(CentreOf(tabs->GetTabButton(L"tabC")));
    EXPECT_EQ((Names{L"-", L"pageA", L"-"}), Announced());
    EXPECT_TRUE(VisiblePages(tabs).empty());
    EXPECT_EQ(2, tabs->GetSelectedTabIndex());
    PaintWindow();
}

TEST_F(TabControlTest, ATabControlWithoutItsPartsSelectsNothingAndIgnoresClicks)
{
    OpenScene(L"brokenTabScene");
    struct Case
    {
        const wchar_t* control;
        const wchar_t* button;
    };
    for (const Case& c : {Case{L"noPages", L"tabA"}, Case{L"plainFirst", L"tabB"}}) {
        SCOPED_TRACE(KXTest::Text(String(c.control)));
        const RCPtr<KX::LTabControl> tabs = FindAs<KX::LTabControl>(c.control);
        ASSERT_TRUE(tabs);
        const RCPtr<KXTest::Listener> seen = KXTest::Listener::Make();
        seen->Listen(RCPtr<KX::LNotificationDistributor>(tabs.Get()), KX::NID_TAB_SELECTED);
        Click(CentreOf(tabs->GetTabButton(c.button)));
        EXPECT_TRUE(seen->received.empty());
        EXPECT_TRUE(tabs->GetSelectedTabName().IsEmpty());
        seen->UnregisterAll();
    }
    const RCPtr<KX::LTabControl> noPages = FindAs<KX::LTabControl>(L"noPages");
    EXPECT_EQ(E_FAIL, noPages->SelectTab(L"tabA"));
    EXPECT_FALSE(noPages->GetPage(L"tabA"));
    EXPECT_EQ(E_FAIL, FindAs<KX::LTabControl>(L"plainFirst")->SelectTabAt(0)) << "a plain part, not a button";
    PaintWindow();
}

TEST_F(TabControlTest, ASkinChangeKeepsTheSelectedTab)
{
    const RCPtr<KX::LTabControl> tabs = OpenTabs(L"tabScene");
    ASSERT_TRUE(tabs);
    Click(CentreOf(tabs->GetTabButton(L"tabC")));
    // The other skin shows every page; the kept tab hides the others again.
    application->SetSkin(1);
    ASSERT_EQ(tabs, FindAs<KX::LTabControl>(L"tabs"));
    EXPECT_EQ(String(L"tabC"), tabs->GetSelectedTabName());
    EXPECT_EQ(Names{L"pageC"}, VisiblePages(tabs));
    PaintWindow();
    EXPECT_EQ(kPageC, Pixel(100, 120));
    // The buttons still select their tabs.
    Click(CentreOf(tabs->GetTabButton(L"tabA")));
    EXPECT_EQ(Names{L"pageA"}, VisiblePages(tabs));
    EXPECT_EQ(L"pageA", Announced().back());
}

} // namespace

} // namespace TabStatusTest
