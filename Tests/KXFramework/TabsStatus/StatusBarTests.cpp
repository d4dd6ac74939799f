// The status bar: texts posted from another thread and shown at the next
// idle pass (only the newest), texts set at once, the application's status
// text and the busy cursor over it, the default text, the focus it refuses
// and its release with texts still queued.
#include "TabStatusTestSupport.h"

#include "Application/BusyCursor.h"
#include "Application/Cursors.h"

#include <thread>

namespace TabStatusTest {

namespace {

using Texts = std::vector<std::wstring>;

class StatusBarTest : public TabStatusTestBase
{
protected:
    // Opens the status scene; the bar and its label.
    void OpenStatus()
    {
        OpenScene(L"statusScene");
        bar = FindAs<KX::LStatusBar>(L"statusBar");
        label = FindAs<CountingLabel>(L"statusBar/label1");
        ASSERT_TRUE(bar);
        ASSERT_TRUE(label);
        ASSERT_EQ(KX::RCPtr<KX::LLabel>(label.Get()), bar->GetLabel());
        label->texts.clear();
    }

    void TearDown() override
    {
        bar = nullptr;
        label = nullptr;
        TabStatusTestBase::TearDown();
    }

    // The bar's area in the window.
    RectT<long> BarRect() const { return RectT<long>(0, 336, 560, 24); }
    // How many pixels of the bar the text covers in the last paint.
    int TextPixels() const { return CountPixelsOtherThan(BarRect(), kStatus); }

    RCPtr<KX::LStatusBar> bar;
    RCPtr<CountingLabel> label;
};

TEST_F(StatusBarTest, ThreeTextsPostedFromAnotherThreadBeforeOneIdlePassShowOnlyTheThird)
{
    OpenStatus();
    EXPECT_EQ(String(L"Ready"), label->GetText());
    std::vector<KX::KXRESULT> results;
    std::thread worker([&] {
        for (const wchar_t* text : {L"Scanning...", L"Probing the device...", L"Sending the image..."})
            results.push_back(bar->PostText(text));
    });
    worker.join();
    EXPECT_EQ((std::vector<KX::KXRESULT>{S_OK, S_OK, S_OK}), results);
    EXPECT_TRUE(label->texts.empty()) << "nothing is shown before the idle pass";
    EXPECT_EQ(3, bar->GetQueuedCount());

    Advance(33);
    EXPECT_EQ(Texts{L"Sending the image..."}, label->texts) << "the label was given the newest text only";
    EXPECT_EQ(String(L"Sending the image..."), label->GetText());
    EXPECT_EQ(0, bar->GetQueuedCount());
    PaintWindow();
    EXPECT_EQ(kStatus, Pixel(550, 340)) << "the bar";
    EXPECT_GT(TextPixels(), 20) << "the text is drawn";

    Advance(33);
    EXPECT_EQ(1u, label->texts.size()) << "a later pass shows nothing again";
}

TEST_F(StatusBarTest, ATextSetAtOnceFollowsWhatWasPostedAndStays)
{
    OpenStatus();
    EXPECT_EQ(S_OK, bar->PostText(L"Older"));
    const int redraws = os.redrawCount;
    EXPECT_EQ(S_OK, bar->SetTextNow(L"Now"));
    EXPECT_EQ((Texts{L"Older", L"Now"}), label->texts);
    EXPECT_EQ(redraws + 1, os.redrawCount) << "the window is repainted at once";
    Advance(33);
    Advance(33);
    EXPECT_EQ(String(L"Now"), label->GetText());
    EXPECT_EQ(2u, label->texts.size());
}

TEST_F(StatusBarTest, TheApplicationsStatusTextReachesTheBar)
{
    OpenStatus();
    ASSERT_EQ(bar, application->GetStatusBar());

    // Posted: shown at the next idle pass.
    EXPECT_EQ(S_OK, application->SetStatusText(L"Loading Skin...", false));
    EXPECT_EQ(String(L"Ready"), label->GetText());
    Advance(33);
    EXPECT_EQ(String(L"Loading Skin..."), label->GetText());
    PaintWindow("posted");
    const int longText = TextPixels();

    // At once, with the window repainted.
    const int redraws = os.redrawCount;
    EXPECT_EQ(S_OK, application->SetStatusText(L"Busy", true));
    EXPECT_EQ(String(L"Busy"), label->GetText());
    EXPECT_EQ(redraws + 1, os.redrawCount);
    PaintWindow("now");
    EXPECT_GT(TextPixels(), 0);
    EXPECT_LT(TextPixels(), longText) << "the shorter text covers less of the bar";

    // The default text, posted and at once.
    EXPECT_EQ(S_OK, application->ResetStatusText(false));
    EXPECT_EQ(String(L"Busy"), label->GetText());
    Advance(33);
    EXPECT_EQ(String(L"Ready"), label->GetText());
    application->SetStatusText(L"Busy", true);
    EXPECT_EQ(S_OK, application->ResetStatusText(true));
    EXPECT_EQ(String(L"Ready"), label->GetText());
    EXPECT_EQ((Texts{L"Loading Skin...", L"Busy", L"Ready", L"Busy", L"Ready"}), label->texts);
}

TEST_F(StatusBarTest, TheBusyCursorShowsItsTextAtOnceAndTheDefaultComesBackAfterIt)
{
    OpenStatus();
    window->SetCursor(application->GetCursor(L"UI_CURSOR_HAND"));
    {
        KX::CBusyCursor busy(L"Putting Device in Update Mode...");
        EXPECT_EQ(String(L"Putting Device in Update Mode..."), label->GetText());
        EXPECT_EQ(KXTest::Text(KX::UI_CURSOR_WAIT), CurrentCursor());
        PaintWindow("busy");
        EXPECT_GT(TextPixels(), 0);
    }
    EXPECT_EQ(L"UI_CURSOR_HAND", CurrentCursor()) << "the previous cursor is back";
    EXPECT_EQ(String(L"Putting Device in Update Mode..."), label->GetText()) << "the default is posted";
    Advance(33);
    EXPECT_EQ(String(L"Ready"), label->GetText());
    EXPECT_EQ((Texts{L"Putting Device in Update Mode...", L"Ready"}), label->texts);
}

TEST_F(StatusBarTest, WithoutAStatusBarTheStatusTextFailsAndTheBusyCursorStillWorks)
{
    OpenScene(L"tabScene");
    EXPECT_FALSE(application->GetStatusBar());
    EXPECT_EQ(E_FAIL, application->SetStatusText(L"Busy", true));
    EXPECT_EQ(E_FAIL, application->SetStatusText(L"Busy", false));
    EXPECT_EQ(E_FAIL, application->ResetStatusText(false));
    {
        KX::CBusyCursor busy(L"Loading Skin...");
        EXPECT_EQ(KXTest::Text(KX::UI_CURSOR_WAIT), CurrentCursor());
    }

    // A status scene in a window that is not the application's first.
    application->RemoveRootWindow(window);
    OpenScene(L"statusScene");
    EXPECT_EQ(E_FAIL, application->SetStatusText(L"Busy", true));
    EXPECT_EQ(E_FAIL, application->ResetStatusText(true));
    EXPECT_EQ(String(L"Ready"), FindAs<KX::LLabel>(L"statusBar/label1")->GetText());
    application->AddRootWindow(window);
}

TEST_F(StatusBarTest, TheBarNeverTakesTheFocus)
{
    OpenStatus();
    // Its skin gives it a tab stop and "NOT_FOCUSABLE" false.
    EXPECT_FALSE(bar->IsFocusable());
    EXPECT_TRUE(bar->IsFocusDisabled(false));
    os.focused = true; // the window has the focus: a control that takes it would now
    Click(CentreOf(bar));
    EXPECT_FALSE(bar->HasFocus());
}

TEST_F(StatusBarTest, ABarWithTextsStillQueuedIsFreedWithItsScene)
{
    const int32_t before = KX::LControl::GetLiveCount();
    OpenStatus();
    bar->PostText(L"Never shown");
    bar->PostText(L"Never shown either");
    bar = nullptr;
    label = nullptr;
    window->SetRootControl(RCPtr<KX::LControl>());
    EXPECT_EQ(before, KX::LControl::GetLiveCount());
}

// Without a "LABEL" string the bar's default text is empty.
class StatusBarWithoutStringsTest : public StatusBarTest
{
protected:
    StatusBarWithoutStringsTest() { mWithStrings = false; }
};

TEST_F(StatusBarWithoutStringsTest, ResetsToTheEmptyText)
{
    OpenStatus();
    EXPECT_TRUE(bar->GetDefaultText().IsEmpty());
    EXPECT_EQ(S_OK, application->SetStatusText(L"Busy", true));
    EXPECT_EQ(S_OK, application->ResetStatusText(true));
    EXPECT_TRUE(label->GetText().IsEmpty());
    PaintWindow();
    EXPECT_EQ(0, TextPixels());
}

} // namespace

} // namespace TabStatusTest
