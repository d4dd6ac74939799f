// LApplication's status bar: the control "statusBar" among the children of
// the main window's top control, and the status text that reaches it.
#include "UI/Application.h"

#include "Support/Scenes/ControlTestSupport.h"

#include "ControlBase/ControlFactory.h"
#include "Controls/FrameworkControlTypes.h"
#include "Controls/Label.h"
#include "Controls/StatusBar.h"

#include <gtest/gtest.h>

namespace {

using String = KX::StringT<wchar_t, char>;

class StatusBarLookupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        KX::RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(L"TAVIK8 Updater Tests");
        ASSERT_EQ(S_OK, factory->LoadSkin(L"::STATUS_LOOKUP_SKIN")) << KXTest::Text(factory->GetLastErrorText());
        factory->SetCurrentSkinIndex(0);
        KX::RegisterFrameworkControlTypes(*factory);
        ASSERT_EQ(S_OK, LApplication::Create(app, factory, KX::RCPtr<KX::LStringTable>(), L"prog.exe"));
        KX::LRootWindow::Create(window, KX::RCPtr<KX::LRenderer>(), &os);
    }

    void TearDown() override
    {
        if (window) {
            window->SetRootControl(KX::RCPtr<KX::LControl>());
            app->RemoveRootWindow(window);
        }
        window = nullptr;
        app = nullptr;
    }

    KXTest::FakeOSServices os;
    KX::RCPtr<LApplication> app;
    KX::RCPtr<KX::LRootWindow> window;
};

TEST_F(StatusBarLookupTest, TheStatusBarAmongTheTopControlsChildrenShowsTheStatusText)
{
    ASSERT_EQ(S_OK, window->SetRootControl(String(L"withStatusBar")));
    EXPECT_FALSE(app->GetStatusBar()) << "the window is not yet the application's";
    EXPECT_EQ(E_FAIL, app->SetStatusText(L"Scanning...", true));
    app->AddRootWindow(window);

    const KX::RCPtr<KX::LStatusBar> bar = app->GetStatusBar();
    ASSERT_TRUE(bar);
    EXPECT_EQ(window->GetRootControl()->FindChild(String(L"statusBar")), KX::RCPtr<KX::LControl>(bar.Get()));
    const KX::RCPtr<KX::LLabel> label = bar->GetLabel();
    ASSERT_TRUE(label);

    EXPECT_EQ(S_OK, app->SetStatusText(L"Scanning...", true));
    EXPECT_EQ(String(L"Scanning..."), label->GetText());
    EXPECT_EQ(S_OK, app->SetStatusText(L"Waiting for Device Reset To Complete...", false));
    EXPECT_EQ(String(L"Scanning..."), label->GetText());
    app->ProcessIdle(true);
    EXPECT_EQ(String(L"Waiting for Device Reset To Complete..."), label->GetText());
    EXPECT_EQ(S_OK, app->ResetStatusText(true));
    EXPECT_TRUE(label->GetText().IsEmpty()) << "no default text without a string table";
}

TEST_F(StatusBarLookupTest, NoStatusBarFurtherDownOrOfAnotherClass)
{
    app->AddRootWindow(window);
    EXPECT_FALSE(app->GetStatusBar()) << "no top control";
    for (const wchar_t* scene : {L"nestedStatusBar", L"labelNamedStatusBar"}) {
        ASSERT_EQ(S_OK, window->SetRootControl(String(scene)));
        EXPECT_FALSE(app->GetStatusBar()) << KXTest::Text(String(scene));
        EXPECT_EQ(E_FAIL, app->SetStatusText(L"Scanning...", true)) << KXTest::Text(String(scene));
        EXPECT_EQ(E_FAIL, app->ResetStatusText(false)) << KXTest::Text(String(scene));
    }
}

} // namespace
