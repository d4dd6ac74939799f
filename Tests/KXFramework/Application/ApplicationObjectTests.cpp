// The framework application object: start-up, the exit request and its key,
// the idle hook, folders, the clock and the strings.
#include "Support/Shell/ShellTestSupport.h"

#include "Controls/FrameworkControlTypes.h"
#include "ObjectBase/Exception.h"
#include "Notification/Notification.h"
#include "Notification/NotificationCenterManager.h"
#include "System/GlobalHotKeyManager.h"
#include "System/KeyCode.h"

namespace {

using String = KX::StringT<wchar_t, char>;

void PostExitRequest()
{
    KX::RCPtr<KX::LNotification> request;
    KX::LNotification::Create(request, L"NID_APP_EXIT_REQ");
    KX::LNotificationCenterManager::GetInstance()->GetApplicationCenter()->PostNotification(request);
}

using ApplicationObjectTest = ShellTest;

TEST_F(ApplicationObjectTest, KeepsItsCommandLineAndIsTheProgramWideInstance)
{
    KX::RCPtr<TestApplication> app = MakeApplication();
    EXPECT_EQ(app.Get(), KX::LFrameworkApp::sInstance);
    EXPECT_EQ(String(L"prog.exe -Option \"quoted text\""), app->GetCommandLineText());
    String text;
    KX::GetString(text, L"LABEL_TEST");
    EXPECT_EQ(String(L"Application text"), text);
    KX::GetString(text, L"NO_SUCH_STRING");
    EXPECT_TRUE(text.IsEmpty());
    app = KX::RCPtr<TestApplication>();
    EXPECT_EQ(nullptr, KX::LFrameworkApp::sInstance);
    EXPECT_EQ(0, TestApplication::sLiveCount);
}

TEST_F(ApplicationObjectTest, AcceptedExitRequestEndsTheLoopOnce)
{
    KX::RCPtr<TestApplication> app = MakeApplication();
    ASSERT_EQ(S_OK, app->RunApplicationStartup());

    app->mCanExit = false;
    PostExitRequest();
    app->ProcessIdle(true);
    EXPECT_FALSE(app->IsExiting());
    EXPECT_FALSE(QuitMessageQueued());
    app->mIdleFirstFlags.clear();
    app->OnIdle(0); // the idle pass keeps running
    EXPECT_EQ(1u, app->mIdleFirstFlags.size());

    app->mCanExit = true;
    PostExitRequest();
    app->ProcessIdle(true);
    EXPECT_TRUE(app->IsExiting());
    EXPECT_TRUE(QuitMessageQueued());
    // Exiting: the idle hook stops at once, without a pass.
    app->mIdleFirstFlags.clear();
    EXPECT_EQ(FALSE, app->OnIdle(0));
    EXPECT_TRUE(app->mIdleFirstFlags.empty());
    app->Shutdown();
}

TEST_F(ApplicationObjectTest, AltF4PostsTheExitRequestUnlessTheStringsBoundIt)
{
    const KX::KeyCode altF4 = KX::KeyCode::FromString(L"Alt+VKEY_F4");
    {
        KX::RCPtr<TestApplication> app = MakeApplication();
        ASSERT_EQ(S_OK, app->RunApplicationStartup());
        EXPECT_EQ(String(L"NID_APP_EXIT_REQ"), app->GetHotKeyManager()->GetBindingMap().FindNotificationID(altF4));
        EXPECT_EQ(S_OK, app->GetHotKeyManager()->ProcessKey(altF4));
        app->ProcessIdle(true);
        EXPECT_TRUE(app->IsExiting());
        DrainQueue();
        app->Shutdown();
    }
    {
        KX::RCPtr<TestApplication> app = MakeApplication();
        app->GetHotKeyManager()->GetBindingMap().AddBinding(altF4, L"NID_SHOW_HELP");
        ASSERT_EQ(S_OK, app->RunApplicationStartup());
        EXPECT_EQ(String(L"NID_SHOW_HELP"), app->GetHotKeyManager()->GetBindingMap().FindNotificationID(altF4));
        app->Shutdown();
    }
}

TEST_F(ApplicationObjectTest, AFailingControlTypeRegistrationEndsTheStartupWithItsTableLine)
{
    // All 37 types in the table's order; a success code other than 0 goes on.
    std::vector<String> registered;
    KX::RegisterFrameworkControlTypes([&](const String& name, KX::ControlCreateFunction create) {
        EXPECT_NE(nullptr, create) << std::wstring(name.GetData());
        registered.push_back(name);
        return S_FALSE;
    });
    ASSERT_EQ(37u, registered.size());
    EXPECT_EQ(String(L"Framework.Button"), registered.front());
    EXPECT_EQ(String(L"Framework.TreeViewItem"), registered.back());

    const struct
    {
        const wchar_t* failing;
        KX::KXRESULT result;
        size_t offered; // types offered up to and including the failing one
        const char* text;
    } cases[] = {
        {L"Framework.Button", E_FAIL, 1,
         "Failed Result : KXRESULT = 80004005 : KX::LFrameworkApp::RunApplicationStartup : "
         "Application/FrameworkApp : Line 94"},
        {L"Framework.OverlayButton", E_OUTOFMEMORY, 2,
         "Failed Result : KXRESULT = 8007000E : KX::LFrameworkApp::RunApplicationStartup : "
         "Application/FrameworkApp : Line 97"},
        {L"Framework.TreeViewItem", E_INVALIDARG, 37,
         "Failed Result : KXRESULT = 80070057 : KX::LFrameworkApp::RunApplicationStartup : "
         "Application/FrameworkApp : Line 133"},
    };
    for (const auto& c : cases) {
        size_t offered = 0;
        try {
            KX::RegisterFrameworkControlTypes([&](const String& name, KX::ControlCreateFunction) {
                ++offered;
                return name == String(c.failing) ? c.result : S_OK;
            });
            ADD_FAILURE() << "no exception for a failing registration";
        } catch (const KX::FailedResultException& error) {
            EXPECT_STREQ(c.text, error.what());
            EXPECT_NE(nullptr, dynamic_cast<const KX::ExceptionBase*>(&error)) << "a framework exception";
        }
        EXPECT_EQ(c.offered, offered) << "the types after the failing one are not registered";
    }
}

TEST_F(ApplicationObjectTest, IdleHookRunsAtMostThreePassesPerPhase)
{
    KX::RCPtr<TestApplication> app = MakeApplication();
    app->mAlwaysMoreIdleWork = true;
    EXPECT_EQ(TRUE, app->OnIdle(0));
    EXPECT_EQ(TRUE, app->OnIdle(1));
    EXPECT_EQ(FALSE, app->OnIdle(2)); // more work, but the phase's third pass is its last
    EXPECT_EQ((std::vector<bool>{true, false, false}), app->mIdleFirstFlags);

    app->mAlwaysMoreIdleWork = false;
    EXPECT_EQ(FALSE, app->OnIdle(0)); // nothing left to do
}

TEST_F(ApplicationObjectTest, ElapsedTimeAddsTheTicksBetweenQuestions)
{
    KX::RCPtr<TestApplication> app = MakeApplication();
    app->SetTicks(1000);
    app->SetTicks(2500);
    EXPECT_DOUBLE_EQ(1.5, app->GetElapsedTime());
    app->SetTicks(0xFFFFFF00u);
    app->GetElapsedTime();
    app->SetTicks(0x100); // the millisecond counter wrapped
    const double before = app->GetElapsedTime();
    EXPECT_NEAR(0.512, before - (1.5 + (0xFFFFFF00u - 2500u) / 1000.0), 1e-6);
}

// The folder numbers are fixed: callers pass them as plain numbers.
static_assert(KX::FolderProgram == 0 && KX::FolderResources == 1 && KX::FolderCommonAppData == 2 &&
              KX::FolderLocalAppData == 3 && KX::FolderDocuments == 4);

TEST_F(ApplicationObjectTest, FoldersOfTheProgramItsResourcesAndItsSettings)
{
    KX::RCPtr<TestApplication> app = MakeApplication();
    String path;
    app->GetFolder(path, KX::FolderProgram);
    EXPECT_EQ(KX::GetProgramFileFolder(), path);
    EXPECT_EQ(String(L"\\Tests"), path.Right(6));
    app->GetModuleFolder(path);
    EXPECT_EQ(KX::GetProgramFileFolder(), path);
    app->GetFolder(path, KX::FolderResources);
    EXPECT_EQ(String(L"::"), path);

    // Company and product folders below the data folders; the slash of the
    // company name becomes an underscore, and both levels exist.
    for (int32_t id : {KX::FolderCommonAppData, KX::FolderLocalAppData}) {
        app->GetFolder(path, id);
        EXPECT_EQ(String(L"\\Ostrel Test_Labs\\Shell Tests"), path.Right(29)) << id;
        EXPECT_TRUE(KX::FolderExists(path)) << id;
    }
    String common;
    String local;
    app->GetFolder(common, KX::FolderCommonAppData);
    app->GetFolder(local, KX::FolderLocalAppData);
    EXPECT_NE(common, local);
    app->GetFolder(path, KX::FolderDocuments);
    EXPECT_FALSE(path.IsEmpty());

    try {
        app->GetFolder(path, 5);
        FAIL() << "no exception";
    } catch (const KX::Exception<std::out_of_range>& error) {
        EXPECT_STREQ("Out of Range : Unknown Path ID. : KX::MFCFrameworkApp<class TestApplication>::GetFolder : "
                     "Application/ApplicationBaseWin : Line 570",
                     error.what());
    }
}

TEST_F(ApplicationObjectTest, VersionNamesAndTheDefaultFont)
{
    KX::RCPtr<TestApplication> app = MakeApplication();
    String text;
    EXPECT_EQ(S_OK, app->GetCompanyName(text));
    EXPECT_EQ(String(L"Ostrel Test/Labs"), text);
    EXPECT_EQ(S_OK, app->GetAppName(text));
    EXPECT_EQ(String(L"Shell Tests"), text);
    EXPECT_EQ(String(L"Ostrel_DEVICE_FAMILY_NAME_String_FirmwareUpdater"), TestApplication::GetUniqueAppName());

    String face;
    float points = 0;
    int32_t style = -1;
    ASSERT_EQ(S_OK, app->GetDefaultFont(face, points, style));
    EXPECT_FALSE(face.IsEmpty());
    EXPECT_GT(points, 0.0f);
    EXPECT_EQ(0, style & ~0xF);

    // The framework strings' "EXCEPTION_ID", also for the version record's errors.
    app->GetErrorCodeText(text, 42);
    EXPECT_EQ(String(L"Test failure number 42."), text);
    EXPECT_EQ(String(L"Test failure number 7."), KX::Version::GetErrorText(7));
    app = KX::RCPtr<TestApplication>();
    EXPECT_EQ(String(L"The application encountered problems during startup and will now close.  (Error code = 7)"),
              KX::Version::GetErrorText(7));
}

TEST_F(ApplicationObjectTest, ErrorCodeTextWithoutFrameworkStrings)
{
    KX::RCPtr<TestApplication> app;
    TestApplication::Create(app, KX::LControlFactory::Create(L"Shell Tests"), KX::RCPtr<KX::LStringTable>(),
                            L"prog.exe");
    String text;
    app->GetErrorCodeText(text, 42);
    EXPECT_EQ(String(L"The application encountered problems during startup and will now close.  (Error code = 42)"),
              text);
}

TEST_F(ApplicationObjectTest, SystemCursorsByName)
{
    KX::RCPtr<TestApplication> app = MakeApplication();
    EXPECT_EQ(LoadCursorW(nullptr, IDC_SIZEWE), app->GetCursor(L"UI_CURSOR_SIZE_WE"));
    EXPECT_EQ(LoadCursorW(nullptr, IDC_WAIT), app->GetCursor(L"UI_CURSOR_WAIT"));
    EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), app->GetCursor(L"UI_CURSOR_NO_SUCH_THING"));
}

} // namespace

namespace {

TEST_F(ApplicationObjectTest, DesktopTimeAndPointer)
{
    KX::RCPtr<TestApplication> app = MakeApplication();
    KX::RectT<int32_t> area;
    ASSERT_EQ(S_OK, app->GetWorkArea(area));
    EXPECT_GT(area.width, 0);
    EXPECT_GT(area.height, 0);

    int32_t parts[8] = {};
    ASSERT_EQ(S_OK, app->GetSystemTime(parts));
    EXPECT_GE(parts[0], 2020);
    EXPECT_GE(parts[1], 1);
    EXPECT_LE(parts[1], 12);
    EXPECT_LE(parts[2], 6);

    ASSERT_EQ(S_OK, app->SetCursorPosition(17, 23));
    KX::PointT<int32_t> point;
    ASSERT_EQ(S_OK, app->GetCursorPosition(point));
    EXPECT_EQ(17, point.x);
    EXPECT_EQ(23, point.y);
    EXPECT_EQ(0, app->GetMouseButtons());
    EXPECT_EQ(TRUE, app->OnPowerBroadcast(0, 0));
    // No status bar in this program.
    EXPECT_EQ(E_FAIL, app->SetStatusText(L"Loading Skin...", true));
    EXPECT_EQ(E_FAIL, app->ResetStatusText(false));
}

} // namespace
