// The application's main loop through the MFC application object: an exit
// request ends it (closing the main window), and an exception out of the loop
// shows the start-up error box and asks for the exit.
#include "Support/Shell/ShellTestSupport.h"

#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"

namespace {

using MainLoopTest = ShellTest;

// A main window for the loop: a message-only window that WM_CLOSE destroys.
class MessageOnlyWindow : public CWnd
{
public:
    MessageOnlyWindow()
    {
        m_hWnd = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                               nullptr);
    }
    ~MessageOnlyWindow() override
    {
        if (IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
    }
};

void PostExitRequest()
{
    KX::RCPtr<KX::LNotification> request;
    KX::LNotification::Create(request, L"NID_APP_EXIT_REQ");
    KX::LNotificationCenterManager::GetInstance()->GetApplicationCenter()->PostNotification(request);
}

TEST_F(MainLoopTest, ExitRequestClosesTheMainWindowAndEndsTheLoop)
{
    KX::MFCFrameworkApp<TestApplication> mfcApp;
    ASSERT_TRUE(AfxWinInit(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW));
    MessageOnlyWindow mainWindow;
    ASSERT_NE(nullptr, mainWindow.m_hWnd);
    mfcApp.m_pMainWnd = &mainWindow;

    KX::RCPtr<TestApplication> app = MakeApplication();
    KX::MFCFrameworkApp<TestApplication>::sApplication = app;
    ASSERT_EQ(S_OK, app->RunApplicationStartup());
    PostExitRequest();
    EXPECT_EQ(S_OK, app->RunMainLoop()); // returns: the loop ended
    EXPECT_TRUE(app->IsExiting());
    EXPECT_FALSE(IsWindow(mainWindow.m_hWnd)); // WM_CLOSE reached it
    EXPECT_TRUE(sBoxes.empty());

    mfcApp.m_pMainWnd = nullptr;
    app->Shutdown();
    KX::MFCFrameworkApp<TestApplication>::sApplication = KX::RCPtr<TestApplication>();
    AfxWinTerm();
}

TEST_F(MainLoopTest, ExceptionOutOfTheLoopShowsTheErrorBoxAndExits)
{
    KX::RCPtr<TestApplication> app = MakeApplication();
    ASSERT_EQ(S_OK, app->RunApplicationStartup());
    app->mThrowFromLoop = true;
    EXPECT_EQ(S_OK, app->RunMainLoop());
    ASSERT_EQ(1u, sBoxes.size());
    EXPECT_EQ(L"Start-up failed in the test.", sBoxes[0].text);
    EXPECT_EQ(L"Test caption", sBoxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), sBoxes[0].type);
    // The exit request it posted was delivered by the idle pass after the loop.
    EXPECT_TRUE(app->IsExiting());
    EXPECT_TRUE(QuitMessageQueued());
    app->Shutdown();
}

} // namespace
