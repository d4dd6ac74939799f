// A fresh folder below the system's temporary folder for one test, removed
// with everything in it when the test ends, and whole files read back.
#pragma once

#include "Support/Windows/TempFiles.h"

#include <string>

namespace FilesTest {

class TestFolder : public TestSystem::TempFolder
{
public:
    TestFolder() : TempFolder(L"KXFileTests") {}
};

using TestSystem::ReadWholeFile;

inline bool PathExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace FilesTest
