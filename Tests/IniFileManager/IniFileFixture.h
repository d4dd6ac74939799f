// A settings file in a scratch folder with a non-ASCII name, opened through the
// library loaded by name.
#pragma once

#include "IniFileLibrary.h"

#include <gtest/gtest.h>

namespace IniFileTest {

class IniFileFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(lib.AllExportsFound());
        path = folder.File(L"UserSettings.ini");
        ASSERT_EQ(S_OK, lib.Open(ToUtf8(path), handle));
        ASSERT_GT(handle, 0);
    }

    // Unloads the library and opens the file afresh, so that what is read next
    // comes from the file alone.
    void Reload()
    {
        ASSERT_TRUE(lib.Unload());
        ASSERT_TRUE(lib.Load());
        ASSERT_EQ(S_OK, lib.Open(ToUtf8(path), handle));
    }

    std::string FileText() const
    {
        std::string bytes;
        EXPECT_TRUE(TestSystem::ReadWholeFile(path, bytes));
        return bytes;
    }

    // Declared first so that it goes last, after the library is unloaded.
    ScratchFolder folder;
    IniFileLibrary lib;
    std::wstring path;
    int32_t handle = 0;
};

} // namespace IniFileTest
