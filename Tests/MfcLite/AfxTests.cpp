// Start-up and end of the MFC stand-in, OLE start-up, file status, the
// registry profile and the resource lookup.
#include "MfcLite/AfxGlobals.h"
#include "MfcLite/File.h"
#include "MfcLite/WinApp.h"

#include "Support/Windows/Programs.h"
#include "Support/Windows/TempFiles.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <string>
#include <thread>

namespace {

TEST(AfxWinInitTest, FillsTheApplicationAndNamesItAfterTheProgramFile)
{
    CWinApp app;
    EXPECT_EQ(&app, AfxGetApp());
    EXPECT_FALSE(AfxWinInit(nullptr, nullptr, nullptr, SW_SHOW));

    wchar_t commandLine[] = L"-SILENT";
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    ASSERT_TRUE(AfxWinInit(instance, nullptr, commandLine, SW_HIDE));
    EXPECT_EQ(instance, app.m_hInstance);
    EXPECT_EQ(commandLine, app.m_lpCmdLine);
    EXPECT_EQ(SW_HIDE, app.m_nCmdShow);
    EXPECT_STREQ(L"MfcLiteTests", app.m_pszAppName);
    EXPECT_EQ(instance, AfxGetResourceHandle());
    EXPECT_EQ(static_cast<CWinThread*>(&app), AfxGetThread());
    AfxWinTerm();
}

TEST(AfxWinInitTest, ANameGivenToTheApplicationIsKept)
{
    CWinApp app(L"Given");
    ASSERT_TRUE(AfxWinInit(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW));
    EXPECT_STREQ(L"Given", app.m_pszAppName);
    AfxWinTerm();
}

TEST(AfxOleInitTest, SucceedsOnAFreshThreadAndFailsInTheMultiThreadedApartment)
{
    BOOL fresh = FALSE;
    BOOL again = FALSE;
    std::thread([&]() {
        fresh = AfxOleInit();
        again = AfxOleInit();
        AfxWinTerm();
    }).join();
    EXPECT_TRUE(fresh);
    EXPECT_TRUE(again);

    BOOL multiThreaded = TRUE;
    std::thread([&]() {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        multiThreaded = AfxOleInit();
        CoUninitialize();
    }).join();
    EXPECT_FALSE(multiThreaded);
}

TEST(CFileStatusTest, TellsFilesFromFoldersAndNeverExpandsWildcards)
{
    TestSystem::TempFolder folder(L"MfcLiteTest");
    const std::wstring file = folder.WriteFile(L"fw.led", "0A0B");
    CFileStatus status;

    ASSERT_TRUE(CFile::GetStatus(file.c_str(), status));
    EXPECT_EQ(4u, status.m_size);
    EXPECT_EQ(0, status.m_attribute & CFile::directory);
    EXPECT_EQ(file, std::wstring(status.m_szFullName));

    ASSERT_TRUE(CFile::GetStatus(folder.Path().c_str(), status));
    EXPECT_NE(0, status.m_attribute & CFile::directory);

    EXPECT_FALSE(CFile::GetStatus((folder.Path() + L"\\missing.led").c_str(), status));
    // Both patterns would match fw.led if they were expanded.
    EXPECT_FALSE(CFile::GetStatus((folder.Path() + L"\\*.led").c_str(), status));
    EXPECT_FALSE(CFile::GetStatus((folder.Path() + L"\\fw.le?").c_str(), status));
    EXPECT_EQ(0u, status.m_size);
    EXPECT_FALSE(CFile::GetStatus(L"", status));
}

// A company name of its own per run, removed from the registry afterwards.
class ProfileTest : public ::testing::Test
{
protected:
    ProfileTest() : mCompany(L"MfcLiteTestCompany" + std::to_wstring(GetCurrentProcessId())) {}
    ~ProfileTest() override { RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + mCompany).c_str()); }

    // Runs ProfilePeer beside the test program; its exit code (1000 when it
    // did not start).
    DWORD RunPeer(const std::wstring& arguments)
    {
        const TestSystem::ChildRun run = TestSystem::RunChild(TestSystem::ProgramFolder() + L"ProfilePeer.exe", arguments);
        return run.started ? run.exitCode : 1000;
    }

    std::wstring mCompany;
};

TEST_F(ProfileTest, BinaryValueSurvivesFromOneRunToTheNext)
{
    EXPECT_EQ(2u, RunPeer(L"read " + mCompany + L" 2C000000"));
    ASSERT_EQ(0u, RunPeer(L"write " + mCompany + L" 2C00000001000000FFEE"));
    EXPECT_EQ(0u, RunPeer(L"read " + mCompany + L" 2C00000001000000FFEE"));
    EXPECT_EQ(1u, RunPeer(L"read " + mCompany + L" 2C00000001000000FFEF"));

    // Where it lives: HKCU\Software\<company>\<application name>\<section>.
    CWinApp app(L"ProfilePeer");
    app.SetRegistryKey(mCompany.c_str());
    EXPECT_EQ(L"Software\\" + mCompany + L"\\ProfilePeer\\Section", app.GetSectionKeyPath(L"Section"));
    BYTE* data = nullptr;
    UINT bytes = 0;
    ASSERT_TRUE(app.GetProfileBinary(L"Section", L"WP", &data, &bytes));
    ASSERT_EQ(10u, bytes);
    EXPECT_EQ(0x2C, data[0]);
    EXPECT_EQ(0xEE, data[9]);
    delete[] data;
}

TEST_F(ProfileTest, WithoutRegistryKeyThereIsNoProfile)
{
    CWinApp app(L"NoKey");
    const BYTE value[2] = {1, 2};
    EXPECT_FALSE(app.WriteProfileBinary(L"Section", L"WP", value, 2));
    BYTE* data = reinterpret_cast<BYTE*>(1);
    UINT bytes = 5;
    EXPECT_FALSE(app.GetProfileBinary(L"Section", L"WP", &data, &bytes));
    EXPECT_EQ(nullptr, data);
    EXPECT_EQ(0u, bytes);

    app.SetRegistryKey(mCompany.c_str());
    EXPECT_FALSE(app.GetProfileBinary(L"Section", L"Missing", &data, &bytes));
    EXPECT_TRUE(app.WriteProfileBinary(L"Section", L"WP", value, 2));
    ASSERT_TRUE(app.GetProfileBinary(L"Section", L"WP", &data, &bytes));
    EXPECT_EQ(2u, bytes);
    delete[] data;
}

TEST(ResourceLookupTest, FindsTheModuleThatHoldsTheResource)
{
    CWinApp app;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    ASSERT_TRUE(AfxWinInit(instance, nullptr, nullptr, SW_SHOW));
    EXPECT_EQ(instance, AfxFindResourceHandle(L"LOOKUP_PROBE", L"MFCLITETEST"));

    // With another resource module the program's own instance still answers
    // for what only it holds; for what neither holds the resource module
    // answers.
    const HINSTANCE other = GetModuleHandleW(L"kernel32.dll");
    AfxSetResourceHandle(other);
    EXPECT_EQ(instance, AfxFindResourceHandle(L"LOOKUP_PROBE", L"MFCLITETEST"));
    EXPECT_EQ(other, AfxFindResourceHandle(L"MISSING_PROBE", L"MFCLITETEST"));
    EXPECT_NE(nullptr, LoadCursorW(AfxFindResourceHandle(MAKEINTRESOURCEW(102), RT_GROUP_CURSOR),
                                   MAKEINTRESOURCEW(102)));
    AfxSetResourceHandle(instance);
    AfxWinTerm();
}

} // namespace
