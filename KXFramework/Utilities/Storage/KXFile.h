// KX::File: a file of the run-time library, opened by wide path, and the path
// operations of the framework (existence tests, folder creation, listing,
// splitting, safe names).
//
// Contract of KX::File:
// - The descriptor lives in a counted LHolder<int>. Copies of a File share it;
//   Close (and the destructor) closes the descriptor only in the last holder,
//   so a shared descriptor stays usable until every File holding it lets go.
// - Open reports failure as a result code; Read, Write and GetLength throw
//   KX::Exception<std::runtime_error> with fixed texts naming the step that
//   failed ("lseek", "read", "write", "fstat", "file is read only"). Used on a
//   closed file they throw the same errors; Seek answers -1 there.
// - Files are always binary, shared for reading and writing with other
//   openers, and created with read and write permission.
//
// The path operations never throw: they answer false, 0 or a result code.
#pragma once

// Before the declarations: <windows.h> turns GetLongPathName into
// GetLongPathNameW, and every user must see the same name.
#include "KXPlatform.h"

#include "ObjectBase/Holder.h"
#include "ObjectBase/RCPtr.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

namespace KX {

template <class T> class IArray;

class File
{
public:
    // Open flags; a file is opened read-only unless ReadWrite is given.
    static constexpr uint32_t ReadOnly = 0x10000;
    static constexpr uint32_t ReadWrite = 0x20000;
    static constexpr uint32_t FailIfExists = 0x40000; // only together with Create
    static constexpr uint32_t Create = 0x80000;
    static constexpr uint32_t DeleteOnClose = 0x100000;

    // Closed, read-only flags, empty name and path.
    File();
    // Opens folder\name with the flags; the result of Open is not kept: ask
    // IsOpen to know whether it worked.
    File(const StringT<wchar_t, char>& folder, const StringT<wchar_t, char>& name, uint32_t flags);
    // A copy shares the descriptor; the last of them to close closes it.
    File(const File& other) = default;
    // Closes this file first (as Close), then shares the other's descriptor.
    File& operator=(const File& other);
    virtual ~File();

    // Opens folder + '\' + name, or the folder alone as the whole path when
    // the name is empty. 0 on success, E_FAIL when the file cannot be opened,
    // 1 (nothing changed) when this file is already open. Throws "invalid
    // pathname" when folder and name are both empty.
    virtual KXRESULT Open(const StringT<wchar_t, char>& folder, const StringT<wchar_t, char>& name, uint32_t flags);
    // Opens a whole path: Open (path, empty name, flags).
    KXRESULT Open(const StringT<wchar_t, char>& path, uint32_t flags) { return Open(path, StringT<wchar_t, char>(), flags); }
    // Closes the descriptor unless another File shares it, and deletes the
    // file when it was opened with DeleteOnClose. Always 0.
    virtual KXRESULT Close();
    // Reads up to count bytes at offset (-1: the current position); answers
    // the bytes read, fewer than count at the end of the file.
    virtual int32_t Read(void* buffer, int32_t count, int32_t offset);
    // Writes count bytes at offset (-1: the current position); answers the
    // bytes written. Throws "file is read only" unless opened with ReadWrite.
    virtual int32_t Write(const void* buffer, int32_t count, int32_t offset);
    // Moves the position (origin 0 start, 1 current, 2 end); the new position,
    // or -1 on failure.
    virtual int32_t Seek(int32_t offset, int32_t origin);

    // The size of the open file in bytes.
    int32_t GetLength() const;

    bool IsOpen() const { return !mDescriptor.IsNull(); }
    const StringT<wchar_t, char>& GetName() const { return mName; }
    const StringT<wchar_t, char>& GetPath() const { return mPath; }
    uint32_t GetFlags() const { return mFlags; }

private:
    RCPtr<LHolder<int>> mDescriptor;
    StringT<wchar_t, char> mName;
    StringT<wchar_t, char> mPath;
    uint32_t mFlags;
};

// True when the path names an existing entry that is not a folder.
bool FileExists(const StringT<wchar_t, char>& path);
// True when the path names an existing folder. A trailing '\' is allowed; a
// drive root ("D:\") is a folder.
bool FolderExists(const StringT<wchar_t, char>& path);
// 1 when the folder exists already, E_FAIL when a file has that name or the
// folder cannot be made, 0 when it was created with its missing parents.
KXRESULT CreateFolder(const StringT<wchar_t, char>& path);
// Creates every folder along the path ('\' and '/' both separate). With
// lastPartIsFile the last part is not created: the answer is whether its
// folder exists. Otherwise the answer is whether the whole path exists now.
bool CreateFolderPath(const StringT<wchar_t, char>& path, bool lastPartIsFile);
// Fills files with folder + '\' + name of each entry of the folder that
// matches the pattern and is not a folder, in the system's order. The count,
// E_NOTIMPL when the folder does not exist, E_FAIL when the search breaks off.
int32_t ListFiles(const StringT<wchar_t, char>& folder, const StringT<wchar_t, char>& pattern,
                  IArray<StringT<wchar_t, char>>& files);
// The long form of the path; the path itself when it cannot be resolved.
StringT<wchar_t, char> GetLongPathName(const StringT<wchar_t, char>& path);
// The name with each of \ / : * ? " < > | & ; , ^ ( ) replaced by '_'.
StringT<wchar_t, char> MakeValidFileName(const StringT<wchar_t, char>& name);
// The text before the last '\' ('/' does not count); the whole path without one.
StringT<wchar_t, char> GetFolderPart(const StringT<wchar_t, char>& path);
// The text after the last '\' or '/'; the whole path when it has none or when
// that separator is its last character.
StringT<wchar_t, char> GetFileNamePart(const StringT<wchar_t, char>& path);

} // namespace KX
