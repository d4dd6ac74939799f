// The splash screen as a person sees it: the image centred on the work area
// with a progress bar that advances, gone once start-up closes it; no splash
// without a decodable image; a splash thread that does not stop in time
// keeps what it uses.
#include "Support/Shell/ShellTestSupport.h"

#include "Application/ApplicationFolders.h"
#include "Application/SplashThread.h"
#include "Support/Windows/MessageLoop.h"
#include "Support/Windows/ScreenCapture.h"
#include "Support/Windows/Screenshots.h"
#include "Support/Windows/StandardErrorCapture.h"
#include "Support/Windows/TempFiles.h"
#include "Utilities/Graphics/Bitmap.h"

#include <commctrl.h>
#include <gdiplus.h>

#include <memory>
#include <string>

namespace {

using String = KX::StringT<wchar_t, char>;

// The MFC application object with a splash image of the test's choice.
class SplashApp : public KX::MFCFrameworkApp<TestApplication>
{
public:
    String GetSplashImagePath() override { return mImagePath; }
    String mImagePath;
};

class SplashTest : public ShellTest
{
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        KX::StartGdiplus(mGdiplusToken);
    }
    void TearDown() override
    {
        KX::StopGdiplus(mGdiplusToken);
        ShellTest::TearDown();
    }

    // A 400 x 300 image: blue with a white band across its middle.
    std::wstring MakeImage()
    {
        Gdiplus::Bitmap bitmap(kWidth, kHeight, PixelFormat32bppARGB);
        {
            Gdiplus::Graphics graphics(&bitmap);
            graphics.Clear(Gdiplus::Color(255, 0x33, 0x66, 0xCC));
            Gdiplus::SolidBrush white(Gdiplus::Color(255, 255, 255, 255));
            graphics.FillRectangle(&white, 0, 100, kWidth, 40);
        }
        CLSID png{};
        TestScreen::FindPngEncoder(png);
        const std::wstring path = mFolder / L"Splash.png";
        EXPECT_EQ(Gdiplus::Ok, bitmap.Save(path.c_str(), &png, nullptr));
        return path;
    }

    std::wstring MakeFile(const char* content) { return mFolder.WriteFile(L"Broken.png", content); }

    static int Position(HWND progressBar)
    {
        return static_cast<int>(SendMessageW(progressBar, PBM_GETPOS, 0, 0));
    }

    static constexpr int kWidth = 400;
    static constexpr int kHeight = 300;
    ULONG_PTR mGdiplusToken = 0;
    TestSystem::TempFolder mFolder{L"SplashTests"};
};

TEST_F(SplashTest, AppearsCentredItsBarAdvancesAndItIsGoneOnceClosed)
{
    SplashApp app;
    app.mImagePath = MakeImage().c_str();
    app.ShowSplash();
    ASSERT_NE(nullptr, app.GetSplash());
    HWND window = app.GetSplash()->GetWindow();
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(IsWindowVisible(window));
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    EXPECT_STREQ(L"SplashWnd", className);
    EXPECT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(static_cast<LONG_PTR>(WS_POPUP), GetWindowLongPtrW(window, GWL_STYLE) & WS_POPUP);

    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT placed{};
    GetWindowRect(window, &placed);
    EXPECT_EQ((work.left + work.right - kWidth) / 2, placed.left);
    EXPECT_EQ((work.top + work.bottom - kHeight) / 2, placed.top);
    EXPECT_EQ(kWidth, placed.right - placed.left);
    EXPECT_EQ(kHeight, placed.bottom - placed.top);

    // The bar comes with the first position, which the splash thread takes
    // from its queue.
    HWND bar = nullptr;
    ASSERT_TRUE(TestScreen::WaitUntil([&]() { return (bar = FindWindowExW(window, nullptr, PROGRESS_CLASSW, nullptr)); }));
    RECT barRect{};
    GetWindowRect(bar, &barRect);
    EXPECT_EQ(placed.left + 4, barRect.left);
    EXPECT_EQ(placed.bottom - 20, barRect.top);
    EXPECT_EQ(kWidth - 8, barRect.right - barRect.left);
    EXPECT_EQ(3, SendMessageW(bar, PBM_GETSTEP, 0, 0)); // 100 over 8 seconds of four steps
    EXPECT_TRUE(TestScreen::WaitUntil([bar]() { return Position(bar) >= 3; }, 3000));

    // The image itself is on the screen: blue above the band, white in it.
    EXPECT_TRUE(TestScreen::WaitUntil(
        [&]() { return TestScreen::ReadScreenPixel(placed.left + 10, placed.top + 10) == RGB(0x33, 0x66, 0xCC); }));
    EXPECT_EQ(RGB(255, 255, 255), TestScreen::ReadScreenPixel(placed.left + 10, placed.top + 120));
    TestScreen::SaveWindowScreenshot(window, L"SplashTest", L"splash-advancing");

    app.CloseSplash();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, app.GetSplash());
    EXPECT_EQ(nullptr, FindWindowW(L"SplashWnd", nullptr));
}

TEST_F(SplashTest, AnimationOverNoTimeSetsTheEndAtOnceAndAPositionStopsAnAnimation)
{
    KX::RCPtr<KX::LBitmap> image;
    KX::LBitmap::Get(image, MakeImage().c_str());
    ASSERT_TRUE(image);
    KX::SplashThread splash;
    ASSERT_TRUE(splash.SetImage(image->GetImage()));
    image = KX::RCPtr<KX::LBitmap>(); // the splash keeps its own copy
    splash.Start();
    HWND window = splash.GetWindow();
    ASSERT_NE(nullptr, window);

    splash.PostAnimate(0, 100, 0);
    HWND bar = nullptr;
    ASSERT_TRUE(TestScreen::WaitUntil([&]() { return (bar = FindWindowExW(window, nullptr, PROGRESS_CLASSW, nullptr)); }));
    EXPECT_TRUE(TestScreen::WaitUntil([bar]() { return Position(bar) == 100; }));

    splash.PostAnimate(10, 50, 2); // 40 over 8 steps
    EXPECT_TRUE(TestScreen::WaitUntil([bar]() { return SendMessageW(bar, PBM_GETSTEP, 0, 0) == 5; }));
    EXPECT_TRUE(TestScreen::WaitUntil([bar]() { return Position(bar) >= 15; }, 3000));
    splash.PostPosition(30);
    EXPECT_TRUE(TestScreen::WaitUntil([bar]() { return Position(bar) == 30; }));
    TestScreen::SaveWindowScreenshot(window, L"SplashTest", L"splash-at-30");
    splash.Stop();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(splash.HasImage());
}

TEST_F(SplashTest, NoDecodableImageNoSplash)
{
    SplashApp app;
    app.mImagePath = MakeFile("this is no image").c_str();
    app.ShowSplash();
    EXPECT_EQ(nullptr, app.GetSplash());
    app.mImagePath = String();
    app.ShowSplash();
    EXPECT_EQ(nullptr, app.GetSplash());
    EXPECT_EQ(nullptr, FindWindowW(L"SplashWnd", nullptr));

    // The embedded resources hold no image file: the program shows none.
    KX::MFCFrameworkApp<TestApplication> embedded;
    EXPECT_TRUE(embedded.GetSplashImagePath().IsEmpty());

    KX::SplashThread splash;
    splash.Start(); // nothing to show: no thread
    EXPECT_EQ(0u, splash.GetThreadId());
    EXPECT_EQ(nullptr, splash.GetWindow());
}

LRESULT CALLBACK RefusingSplashProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        return FALSE;
    return DefWindowProcW(window, message, wParam, lParam);
}

// A splash window that cannot be made (its class taken by one whose windows
// refuse creation) leaves start-up without a splash, and says so on standard
// error as well as in the debug output.
TEST_F(SplashTest, ASplashWindowThatCannotBeMadeIsReportedAndStartUpGoesOn)
{
    WNDCLASSW refusing{};
    refusing.lpfnWndProc = RefusingSplashProc;
    refusing.hInstance = KX::GetModuleInstance() ? KX::GetModuleInstance() : GetModuleHandleW(nullptr);
    refusing.lpszClassName = L"SplashWnd";
    UnregisterClassW(refusing.lpszClassName, refusing.hInstance);
    ASSERT_TRUE(RegisterClassW(&refusing));
    SplashApp app;
    app.mImagePath = MakeImage().c_str();
    const std::string error = TestScreen::StandardErrorOf([&]() {
        app.ShowSplash();
        ASSERT_NE(nullptr, app.GetSplash());
        EXPECT_EQ(nullptr, app.GetSplash()->GetWindow());
        app.CloseSplash();
    });
    EXPECT_NE(std::string::npos, error.find("Unable to create SplashWnd")) << error;
    EXPECT_EQ(nullptr, app.GetSplash());
    UnregisterClassW(refusing.lpszClassName, refusing.hInstance);
}

// Holds the splash thread inside its message retrieval while the gate is
// closed.
HANDLE sGate = nullptr;
constexpr UINT kHoldMessage = WM_APP + 100;

LRESULT CALLBACK HoldingHook(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->message == kHoldMessage)
        WaitForSingleObject(sGate, 20000);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(SplashTest, AThreadThatDoesNotStopInTimeKeepsWhatItUses)
{
    KX::RCPtr<KX::LBitmap> image;
    KX::LBitmap::Get(image, MakeImage().c_str());
    ASSERT_TRUE(image);
    auto splash = std::make_unique<KX::SplashThread>();
    ASSERT_TRUE(splash->SetImage(image->GetImage()));
    image = KX::RCPtr<KX::LBitmap>();
    splash->Start();
    HWND window = splash->GetWindow();
    const DWORD threadId = splash->GetThreadId();
    ASSERT_NE(nullptr, window);
    HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, threadId);
    ASSERT_NE(nullptr, thread);
    sGate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, HoldingHook, nullptr, threadId);
    ASSERT_NE(nullptr, hook);
    PostThreadMessageW(threadId, kHoldMessage, 0, 0);

    splash->Stop(); // gives up after its wait
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(thread, 0));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(nullptr, splash->GetWindow());
    splash.reset();

    // The thread still paints its image once it runs again, then ends.
    SendNotifyMessageW(window, WM_PAINT, 0, 0);
    SetEvent(sGate);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 5000));
    EXPECT_FALSE(IsWindow(window));
    UnhookWindowsHookEx(hook);
    CloseHandle(thread);
    CloseHandle(sGate);
    sGate = nullptr;
}

} // namespace
