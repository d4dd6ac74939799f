#include "Utilities/Storage/KXFile.h"

#include "ObjectBase/Exception.h"

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

#include <cstdio>

namespace KX {

namespace {

constexpr const char* kSource = "Utilities/Storage/KXFile";

// The descriptor held by a file, or -1 while it is closed.
int DescriptorOf(const RCPtr<LHolder<int>>& holder)
{
    return holder.IsNull() ? -1 : holder->GetValue();
}

} // namespace

File::File() : mFlags(ReadOnly) {}

File::File(const StringT<wchar_t, char>& folder, const StringT<wchar_t, char>& name, uint32_t flags)
    : mFlags(ReadOnly)
{
    Open(folder, name, flags);
}

File& File::operator=(const File& other)
{
    if (this != &other) {
        Close();
        mDescriptor = other.mDescriptor;
        mName = other.mName;
        mPath = other.mPath;
        mFlags = other.mFlags;
    }
    return *this;
}

File::~File()
{
    Close();
}

KXRESULT File::Open(const StringT<wchar_t, char>& folder, const StringT<wchar_t, char>& name, uint32_t flags)
{
    if (IsOpen())
        return S_FALSE;

    if (!name.IsEmpty()) {
        mName = name;
        mPath = folder + StringT<wchar_t, char>(L"\\") + name;
    } else {
        if (folder.IsEmpty())
            KX_THROW(std::runtime_error, "invalid pathname", "KX::File::Open", kSource, 303);
        mPath = folder;
    }
    mFlags = flags;

    int openFlags = _O_BINARY | ((flags & ReadWrite) ? _O_RDWR : _O_RDONLY);
    if (flags & Create) {
        openFlags |= _O_CREAT;
        if (flags & FailIfExists)
            openFlags |= _O_EXCL;
    }
    int descriptor = -1;
    if (_wsopen_s(&descriptor, mPath.GetData(), openFlags, _SH_DENYNO, _S_IREAD | _S_IWRITE) == 0 &&
        descriptor >= 0)
        mDescriptor = LHolder<int>::Create(descriptor);

    return IsOpen() ? S_OK : E_FAIL;
}

KXRESULT File::Close()
{
    // A descriptor that another File shares stays open for it: the last
    // holder closes it.
    if (mDescriptor.IsNull() || mDescriptor->GetRefCount() != 1)
        return S_OK;

    _close(mDescriptor->GetValue());
    if (mFlags & DeleteOnClose)
        _wunlink(mPath.GetData());
    mDescriptor = nullptr;
    return S_OK;
}

int32_t File::Read(void* buffer, int32_t count, int32_t offset)
{
    const int descriptor = DescriptorOf(mDescriptor);
    if (offset != -1 && (descriptor < 0 || _lseek(descriptor, offset, SEEK_SET) != offset))
        KX_THROW(std::runtime_error, "lseek", "KX::File::Read", kSource, 457);

    const int read = (descriptor < 0 || count < 0 || (count > 0 && !buffer))
                         ? -1
                         : _read(descriptor, buffer, static_cast<unsigned int>(count));
    if (read < 0)
        KX_THROW(std::runtime_error, "read", "KX::File::Read", kSource, 484);
    return read;
}

int32_t File::Write(const void* buffer, int32_t count, int32_t offset)
{
    if (!(mFlags & ReadWrite))
        KX_THROW(std::runtime_error, "file is read only", "KX::File::Write", kSource, 583);

    const int descriptor = DescriptorOf(mDescriptor);
    if (offset != -1 && (descriptor < 0 || _lseek(descriptor, offset, SEEK_SET) != offset))
        KX_THROW(std::runtime_error, "lseek", "KX::File::Write", kSource, 592);

    const int written = (descriptor < 0 || count < 0 || (count > 0 && !buffer))
                            ? -1
                            : _write(descriptor, buffer, static_cast<unsigned int>(count));
    if (written < 0)
        KX_THROW(std::runtime_error, "write", "KX::File::Write", kSource, 628);
    return written;
}

int32_t File::Seek(int32_t offset, int32_t origin)
{
    const int descriptor = DescriptorOf(mDescriptor);
    if (descriptor < 0)
        return -1;
    return _lseek(descriptor, offset, origin);
}

int32_t File::GetLength() const
{
    const int descriptor = DescriptorOf(mDescriptor);
    struct _stat64i32 status = {};
    if (descriptor < 0 || _fstat64i32(descriptor, &status) != 0)
        KX_THROW(std::runtime_error, "fstat", "KX::File::GetLength", kSource, 122);
    return static_cast<int32_t>(status.st_size);
}

} // namespace KX
