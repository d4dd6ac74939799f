// Files and folders of one test below the system's temporary folder, with
// names no other test program or run shares, and whole files read and
// written in one call.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace TestSystem {

// A path in the temporary folder that no other call of this process and no
// other process gets: <temp><stem>-<process id>-<count><suffix>. Nothing is
// made there.
std::wstring TempPath(const std::wstring& stem, const std::wstring& suffix = std::wstring());

// A file of one test at TempPath(stem, suffix), removed (with its side
// files: the path with each of the endings added) when the object is made
// and when it goes. The object makes no file itself.
class TempFile
{
public:
    TempFile(const std::wstring& stem, const std::wstring& suffix, std::vector<std::wstring> sideEndings = {});
    ~TempFile() { Remove(); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::wstring& Path() const { return mPath; }
    // Removes the file and its side files now.
    void Remove() const;

private:
    std::wstring mPath;
    std::vector<std::wstring> mSideEndings;
};

// A fresh folder at TempPath(stem), removed with everything in it (read-only
// files too) when the object goes.
class TempFolder
{
public:
    explicit TempFolder(const std::wstring& stem);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, without a trailing separator.
    const std::wstring& Path() const { return mPath; }
    // A path inside the folder.
    std::wstring operator/(const std::wstring& name) const { return mPath + L"\\" + name; }
    // Writes the bytes into a new file of the folder; its path.
    std::wstring WriteFile(const std::wstring& name, const std::string& bytes) const;

private:
    std::wstring mPath;
};

// The whole content of a file, read while others may still write it; false
// (or empty) when it cannot be opened or read.
bool ReadWholeFile(const std::wstring& path, std::string& bytes);
std::string ReadWholeFile(const std::wstring& path);

// Makes the file hold exactly the bytes; false when it could not.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);

} // namespace TestSystem
