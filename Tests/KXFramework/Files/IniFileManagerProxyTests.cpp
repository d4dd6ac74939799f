// The settings-file component without its library, and with a library that
// lacks most of its operations (PartialLibrary\IniFileManager.dll beside the
// test program).
#include "TestFolder.h"

#include "System/IniFileManager.h"
#include "System/IniFileManagerProxy.h"

#include "Support/Windows/Programs.h"

#include <gtest/gtest.h>

#include <string>

using KX::LIniFileManager;
using String = KX::StringT<wchar_t, char>;

namespace {

std::wstring W(const String& text)
{
    return std::wstring(text.GetData());
}

} // namespace

TEST(IniFileManagerProxy, LibraryPathJoinsFolderAndName)
{
    const struct {
        const wchar_t* folder;
        const wchar_t* path;
    } cases[] = {
        {L"", L"IniFileManager.dll"},
        {L"C:\\Program Files\\Kestrel", L"C:\\Program Files\\Kestrel\\IniFileManager.dll"},
        {L"C:\\Program Files\\Kestrel\\", L"C:\\Program Files\\Kestrel\\IniFileManager.dll"},
        {L"D:", L"D:\\IniFileManager.dll"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::wstring(c.path), W(CIniFileManagerProxy::GetLibraryPath(String(c.folder))));
}

TEST(IniFileManagerProxy, WithoutTheLibraryEveryOperationFailsWithItsDefault)
{
    FilesTest::TestFolder emptyFolder;
    KX::RCPtr<LIniFileManager> manager;
    ASSERT_EQ(S_OK, LIniFileManager::Create(manager));

    EXPECT_EQ(S_FALSE, manager->Uninit()) << "not loaded";
    EXPECT_EQ(E_FAIL, manager->Init(String(emptyFolder.Path().c_str())));

    int32_t handle = 99;
    EXPECT_EQ(E_FAIL, manager->OpenIniFile(String(L"C:\\x.ini"), String(L"1_0_0"), String(L"P"), handle));
    EXPECT_EQ(0, handle);
    int32_t value = 0;
    EXPECT_EQ(E_FAIL, manager->GetIniValueInt(1, String(L"CurrentSkinIndex"), 3, value));
    EXPECT_EQ(3, value);
    String text(L"before");
    EXPECT_EQ(E_FAIL, manager->GetIniValueStr(1, String(L"Key"), String(L"default"), text));
    EXPECT_EQ(L"default", W(text));
    int32_t count = 5;
    EXPECT_EQ(E_FAIL, manager->GetKeyCount(1, String(L"Key"), count));
    EXPECT_EQ(0, count);
    count = 5;
    EXPECT_EQ(E_FAIL, manager->GetArrayCount(1, String(L"Key"), count));
    EXPECT_EQ(0, count);
    text = String(L"before");
    EXPECT_EQ(E_FAIL, manager->GetKeyNameAt(1, String(L"Key"), 0, text));
    EXPECT_TRUE(text.IsEmpty());
    text = String(L"before");
    EXPECT_EQ(E_FAIL, manager->GetArrayItemAt(1, String(L"Key"), 0, text));
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_FALSE(manager->DoesNodeExist(1, String(L"Key")));
    EXPECT_EQ(E_FAIL, manager->WriteIniFile(1));
    EXPECT_EQ(E_FAIL, manager->CloseIniFile(1, 0));
    EXPECT_EQ(E_FAIL, manager->SetIniValueInt(1, String(L"Key"), 1));
    EXPECT_EQ(E_FAIL, manager->SetIniValueStr(1, String(L"Key"), String(L"v")));
    EXPECT_EQ(E_FAIL, manager->SetArrayCount(1, String(L"Key"), 1));
    EXPECT_EQ(E_FAIL, manager->SetArrayItemAt(1, String(L"Key"), 0, String(L"v")));
    EXPECT_EQ(E_FAIL, manager->RemoveArrayItemAt(1, String(L"Key"), 0));
    EXPECT_EQ(S_FALSE, manager->Uninit());
}

class PartialLibrary : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(E_FAIL, mProxy.Init(String((TestSystem::ProgramFolder() + L"PartialLibrary").c_str())))
            << "a library that lacks exports loads but reports failure";
        ASSERT_TRUE(mProxy.IsLoaded());
    }

    CIniFileManagerProxy mProxy;
};

TEST_F(PartialLibrary, MissingOperationsFailAndThePresentOnesWork)
{
    int32_t handle = 0;
    EXPECT_EQ(S_OK, mProxy.OpenIniFile(String(L"C:\\x.ini"), String(L"1_0_0"), String(L"P"), handle));
    EXPECT_EQ(7, handle);
    int32_t value = 0;
    EXPECT_EQ(S_OK, mProxy.GetIniValueInt(handle, String(L"Answer"), 3, value));
    EXPECT_EQ(42, value);

    EXPECT_FALSE(mProxy.DoesNodeExist(handle, String(L"Answer")));
    EXPECT_EQ(E_FAIL, mProxy.SetIniValueInt(handle, String(L"Answer"), 1));
    EXPECT_EQ(E_FAIL, mProxy.SetIniValueStr(handle, String(L"Answer"), String(L"1")));
    EXPECT_EQ(E_FAIL, mProxy.WriteIniFile(handle));
    EXPECT_EQ(E_FAIL, mProxy.CloseIniFile(handle, 0));
    int32_t count = 9;
    EXPECT_EQ(E_FAIL, mProxy.GetKeyCount(handle, String(L"Answer"), count));
    EXPECT_EQ(0, count);
    String name(L"before");
    EXPECT_EQ(E_FAIL, mProxy.GetKeyNameAt(handle, String(L"Answer"), 0, name));
    EXPECT_TRUE(name.IsEmpty());
    EXPECT_EQ(E_FAIL, mProxy.GetArrayItemAt(handle, String(L"Answer"), 0, name));
    EXPECT_EQ(E_FAIL, mProxy.SetArrayCount(handle, String(L"Answer"), 2));
    EXPECT_EQ(E_FAIL, mProxy.SetArrayItemAt(handle, String(L"Answer"), 0, name));
    EXPECT_EQ(E_FAIL, mProxy.RemoveArrayItemAt(handle, String(L"Answer"), 0));

    EXPECT_EQ(S_FALSE, mProxy.Init(String())) << "loaded already";
    EXPECT_EQ(S_OK, mProxy.Uninit());
    EXPECT_FALSE(mProxy.IsLoaded());
    EXPECT_EQ(S_FALSE, mProxy.Uninit());
    EXPECT_EQ(E_FAIL, mProxy.GetIniValueInt(handle, String(L"Answer"), 3, value)) << "unloaded again";
    EXPECT_EQ(3, value);
}

TEST_F(PartialLibrary, SizesThatNoTextCanHaveLeaveTheDefault)
{
    for (const wchar_t* key : {L"ZeroSize", L"NegativeSize", L"AbsurdSize"}) {
        String text;
        EXPECT_EQ(E_FAIL, mProxy.GetIniValueStr(7, String(key), String(L"default \u00e9"), text))
            << String(key).ToNarrow().GetData();
        EXPECT_EQ(L"default \u00e9", W(text));
    }
}

TEST_F(PartialLibrary, TextsAreNeverReadBeyondTheBuffer)
{
    String text;
    EXPECT_EQ(S_OK, mProxy.GetIniValueStr(7, String(L"Unterminated"), String(L"d"), text));
    EXPECT_EQ(std::wstring(CIniFileManagerProxy::kTextBufferSize, L'u'), W(text));

    // A retry that fails still gives its buffer's text and its result.
    EXPECT_EQ(-5, mProxy.GetIniValueStr(7, String(L"FailsOnRetry"), String(L"d"), text));
    EXPECT_EQ(L"partial", W(text));

    // This library copies the default back: the text crosses both ways as UTF-8.
    EXPECT_EQ(S_OK, mProxy.GetIniValueStr(7, String(L"Other"), String(L"\u65e5\u672c"), text));
    EXPECT_EQ(L"\u65e5\u672c", W(text));
}
