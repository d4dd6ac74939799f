// LApplication: its settings files and where they live, the skin index kept in
// the user settings from one run to the next, its cursors and its answers to
// the shell.
#include "UI/Application.h"

#include "ControlBase/ControlFactory.h"
#include "System/IniFileManager.h"

#include <gtest/gtest.h>

namespace {

using String = KX::StringT<wchar_t, char>;

KX::RCPtr<LApplication> MakeApplication()
{
    KX::RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(L"TAVIK8 Updater Tests");
    KX::RCPtr<LApplication> app;
    EXPECT_EQ(S_OK, LApplication::Create(app, factory, KX::RCPtr<KX::LStringTable>(), L"prog.exe"));
    return app;
}

TEST(ApplicationClassTest, AnswersTheShellsQuestions)
{
    KX::RCPtr<LApplication> app = MakeApplication();
    String text;
    app->GetSettingsVersion(text);
    EXPECT_EQ(String(L"1_0_0"), text);
    app->GetMainControlName(text);
    EXPECT_EQ(String(L"mainControl"), text);
    EXPECT_EQ(1, app->GetRendererType());
    EXPECT_TRUE(app->CanExit()); // no update screen, no update running
    EXPECT_FALSE(app->GetUpdateProcessor());
}

TEST(ApplicationClassTest, SettingsFilesLiveInTheDataFoldersAndOpenOnce)
{
    KX::RCPtr<LApplication> app = MakeApplication();
    String path;
    String folder;
    app->GetSettingsFilePath(0, path);
    app->GetFolder(folder, 2);
    EXPECT_EQ(folder + String(L"\\AppSettings.ini"), path);
    EXPECT_EQ(String(L"\\Ostrel\\TAVIK8 Updater Tests\\AppSettings.ini"), path.Right(44));
    app->GetSettingsFilePath(1, path);
    app->GetFolder(folder, 3);
    EXPECT_EQ(folder + String(L"\\UserSettings.ini"), path);
    EXPECT_EQ(E_INVALIDARG, app->GetSettingsFilePath(2, path));

    EXPECT_EQ(0, app->GetSettingsFile(2));
    const int32_t appSettings = app->GetSettingsFile(0);
    const int32_t userSettings = app->GetSettingsFile(1);
    EXPECT_GT(appSettings, 0);
    EXPECT_GT(userSettings, 0);
    EXPECT_NE(appSettings, userSettings);
    EXPECT_EQ(appSettings, app->GetSettingsFile(0));
    EXPECT_EQ(userSettings, app->GetSettingsFile(1));
}

TEST(ApplicationClassTest, SkinIndexIsKeptInTheUserSettingsAndClampedToTheSkins)
{
    {
        KX::RCPtr<LApplication> app = MakeApplication();
        ASSERT_GT(app->GetSettingsFile(1), 0);
        ASSERT_EQ(S_OK, app->GetIniFileManager()->SetIniValueInt(app->GetSettingsFile(1), L"CurrentSkinIndex", 5));
    }
    // The next run reads 5 from the file; with no more skins than the
    // factory has, start-up applies the last one there is and saves it.
    KX::RCPtr<LApplication> app = MakeApplication();
    EXPECT_EQ(5, app->GetCurrentSkinIndex());
    ASSERT_EQ(S_OK, app->KX::LApplicationBase<LApplication>::RunApplicationStartup());
    EXPECT_EQ(0, app->GetControlFactory()->GetCurrentSkinIndex());
    EXPECT_EQ(0, app->GetCurrentSkinIndex());
    EXPECT_FALSE(app->GetDefaultFontFace().IsEmpty());
    app->Shutdown();
}

TEST(ApplicationClassTest, CursorsOfTheProgramNoneAndTheSystems)
{
    KX::RCPtr<LApplication> app = MakeApplication();
    const HINSTANCE program = GetModuleHandleW(nullptr);
    HCURSOR move = app->GetCursor(L"UI_CURSOR_DROP_MOVE");
    HCURSOR copy = app->GetCursor(L"UI_CURSOR_DROP_COPY");
    EXPECT_NE(nullptr, move);
    EXPECT_NE(nullptr, copy);
    EXPECT_NE(move, copy);
    EXPECT_EQ(LoadCursorW(program, MAKEINTRESOURCEW(102)), move);
    EXPECT_EQ(LoadCursorW(program, MAKEINTRESOURCEW(103)), copy);
    for (const wchar_t* name : {L"UI_CURSOR_SPLIT_V", L"UI_CURSOR_SPLIT_H", L"UI_CURSOR_ROTATE", L"UI_CURSOR_MAG",
                                L"UI_CURSOR_MAG_PLUS", L"UI_CURSOR_MAG_MINUS"})
        EXPECT_EQ(nullptr, app->GetCursor(name)) << name;
    EXPECT_EQ(LoadCursorW(nullptr, IDC_WAIT), app->GetCursor(L"UI_CURSOR_WAIT"));
    EXPECT_NE(nullptr, app->GetAppIcon());
}

} // namespace
