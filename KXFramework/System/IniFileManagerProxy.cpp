#include "System/IniFileManagerProxy.h"

#include <cstring>
#include <new>
#include <vector>

using KX::KXRESULT;

namespace {

using String = KX::StringT<wchar_t, char>;

// An export of the library as the given pointer type, null when it has none.
template <class Proc>
Proc Lookup(HMODULE module, const char* name)
{
    // Through the generic function pointer type, which may become any other.
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// The UTF-8 text of a buffer up to its NUL, never beyond its size.
void AssignText(String& text, const char* buffer, int32_t size)
{
    const size_t length = strnlen(buffer, static_cast<size_t>(size));
    text.Assign(buffer, static_cast<int32_t>(length));
}

// The text protocol of the library: a first call with a buffer of 1024 bytes;
// when it answers kBufferTooSmall with the size it needs, a second call with
// a buffer of that size. `call` is (buffer, size, needed size) -> result.
template <class Call>
KXRESULT FetchText(Call call, String& text)
{
    std::vector<char> buffer(CIniFileManagerProxy::kTextBufferSize, '\0');
    int32_t needed = 0;
    KXRESULT result = call(buffer.data(), CIniFileManagerProxy::kTextBufferSize, &needed);
    if (result == S_OK) {
        AssignText(text, buffer.data(), CIniFileManagerProxy::kTextBufferSize);
        return result;
    }
    if (result != CIniFileManagerProxy::kBufferTooSmall)
        return result;

    // A size that cannot be a text's: the library is confused, the caller's
    // value stays.
    if (needed <= 0 || needed > CIniFileManagerProxy::kLargestTextSize)
        return E_FAIL;
    const int32_t size = needed;
    std::vector<char> larger;
    try {
        larger.assign(static_cast<size_t>(size), '\0');
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    result = call(larger.data(), size, &needed);
    AssignText(text, larger.data(), size);
    return result;
}

} // namespace

CIniFileManagerProxy::~CIniFileManagerProxy()
{
    if (mModule)
        Uninit();
}

String CIniFileManagerProxy::GetLibraryPath(const String& folder)
{
    String path = folder;
    const int32_t length = path.GetLength();
    if (length > 0 && path.GetData()[length - 1] != L'\\')
        path = path + String(L"\\");
    return path + String(L"IniFileManager.dll");
}

KXRESULT CIniFileManagerProxy::Init(const String& folder)
{
    if (mModule)
        return S_FALSE;

    mModule = LoadLibraryW(GetLibraryPath(folder).GetData());
    if (!mModule)
        return E_FAIL;

    mOpenIniFile = Lookup<OpenIniFileProc>(mModule, "OpenIniFile");
    mWriteIniFile = Lookup<WriteIniFileProc>(mModule, "WriteIniFile");
    mCloseIniFile = Lookup<CloseIniFileProc>(mModule, "CloseIniFile");
    mDoesNodeExist = Lookup<DoesNodeExistProc>(mModule, "DoesNodeExist");
    mGetIniValueInt = Lookup<GetIniValueIntProc>(mModule, "GetIniValueInt");
    mSetIniValueInt = Lookup<SetIniValueIntProc>(mModule, "SetIniValueInt");
    mGetIniValueStr = Lookup<GetIniValueStrProc>(mModule, "GetIniValueStr");
    mSetIniValueStr = Lookup<SetIniValueStrProc>(mModule, "SetIniValueStr");
    mGetKeyCount = Lookup<GetCountProc>(mModule, "GetKeyCount");
    mGetKeyNameAt = Lookup<GetTextAtProc>(mModule, "GetKeyNameAt");
    mGetArrayCount = Lookup<GetCountProc>(mModule, "GetArrayCount");
    mSetArrayCount = Lookup<SetArrayCountProc>(mModule, "SetArrayCount");
    mGetArrayItemAt = Lookup<GetTextAtProc>(mModule, "GetArrayItemAt");
    mSetArrayItemAt = Lookup<SetArrayItemAtProc>(mModule, "SetArrayItemAt");
    mRemoveArrayItemAt = Lookup<RemoveArrayItemAtProc>(mModule, "RemoveArrayItemAt");

    const bool complete = mOpenIniFile && mWriteIniFile && mCloseIniFile && mDoesNodeExist && mGetIniValueInt &&
                          mSetIniValueInt && mGetIniValueStr && mSetIniValueStr && mGetKeyCount && mGetKeyNameAt &&
                          mGetArrayCount && mSetArrayCount && mGetArrayItemAt && mSetArrayItemAt &&
                          mRemoveArrayItemAt;
    return complete ? S_OK : E_FAIL;
}

KXRESULT CIniFileManagerProxy::Uninit()
{
    if (!mModule)
        return S_FALSE;
    const BOOL freed = FreeLibrary(mModule);
    mModule = nullptr;
    ClearEntryPoints();
    return freed ? S_OK : E_FAIL;
}

void CIniFileManagerProxy::ClearEntryPoints()
{
    mOpenIniFile = nullptr;
    mWriteIniFile = nullptr;
    mCloseIniFile = nullptr;
    mDoesNodeExist = nullptr;
    mGetIniValueInt = nullptr;
    mSetIniValueInt = nullptr;
    mGetIniValueStr = nullptr;
    mSetIniValueStr = nullptr;
    mGetKeyCount = nullptr;
    mGetKeyNameAt = nullptr;
    mGetArrayCount = nullptr;
    mSetArrayCount = nullptr;
    mGetArrayItemAt = nullptr;
    mSetArrayItemAt = nullptr;
    mRemoveArrayItemAt = nullptr;
}

// Every entry point is null while the library is not loaded, so one test per
// operation covers both an unloaded proxy and an export the library lacks.

KXRESULT CIniFileManagerProxy::OpenIniFile(const String& path, const String& settingsVersion,
                                           const String& productName, int32_t& handle)
{
    handle = 0;
    if (!mOpenIniFile)
        return E_FAIL;
    int32_t opened = 0;
    const KXRESULT result = mOpenIniFile(path.ToNarrow().GetData(), settingsVersion.ToNarrow().GetData(),
                                         productName.ToNarrow().GetData(), &opened);
    handle = opened;
    return result;
}

KXRESULT CIniFileManagerProxy::WriteIniFile(int32_t handle)
{
    return mWriteIniFile ? mWriteIniFile(handle) : E_FAIL;
}

bool CIniFileManagerProxy::DoesNodeExist(int32_t handle, const String& key)
{
    return mDoesNodeExist && mDoesNodeExist(handle, key.ToNarrow().GetData());
}

KXRESULT CIniFileManagerProxy::CloseIniFile(int32_t handle, int32_t value)
{
    return mCloseIniFile ? mCloseIniFile(handle, value) : E_FAIL;
}

KXRESULT CIniFileManagerProxy::GetIniValueInt(int32_t handle, const String& key, int32_t defaultValue,
                                              int32_t& value)
{
    value = defaultValue;
    if (!mGetIniValueInt)
        return E_FAIL;
    int32_t read = value;
    const KXRESULT result = mGetIniValueInt(handle, key.ToNarrow().GetData(), defaultValue, &read);
    value = read;
    return result;
}

KXRESULT CIniFileManagerProxy::SetIniValueInt(int32_t handle, const String& key, int32_t value)
{
    return mSetIniValueInt ? mSetIniValueInt(handle, key.ToNarrow().GetData(), value) : E_FAIL;
}

KXRESULT CIniFileManagerProxy::GetIniValueStr(int32_t handle, const String& key, const String& defaultText,
                                              String& text)
{
    text = defaultText;
    if (!mGetIniValueStr)
        return E_FAIL;
    const auto narrowKey = key.ToNarrow();
    const auto narrowDefault = defaultText.ToNarrow();
    return FetchText(
        [&](char* buffer, int32_t size, int32_t* needed) {
            return mGetIniValueStr(handle, narrowKey.GetData(), narrowDefault.GetData(), buffer, size, needed);
        },
        text);
}

KXRESULT CIniFileManagerProxy::SetIniValueStr(int32_t handle, const String& key, const String& text)
{
    return mSetIniValueStr ? mSetIniValueStr(handle, key.ToNarrow().GetData(), text.ToNarrow().GetData()) : E_FAIL;
}

KXRESULT CIniFileManagerProxy::GetKeyCount(int32_t handle, const String& key, int32_t& count)
{
    count = 0;
    if (!mGetKeyCount)
        return E_FAIL;
    int32_t read = 0;
    const KXRESULT result = mGetKeyCount(handle, key.ToNarrow().GetData(), &read);
    count = read;
    return result;
}

KXRESULT CIniFileManagerProxy::GetKeyNameAt(int32_t handle, const String& key, int32_t index, String& name)
{
    name.Empty();
    if (!mGetKeyNameAt)
        return E_FAIL;
    const auto narrowKey = key.ToNarrow();
    return FetchText(
        [&](char* buffer, int32_t size, int32_t* needed) {
            return mGetKeyNameAt(handle, narrowKey.GetData(), index, buffer, size, needed);
        },
        name);
}

KXRESULT CIniFileManagerProxy::GetArrayCount(int32_t handle, const String& key, int32_t& count)
{
    count = 0;
    if (!mGetArrayCount)
        return E_FAIL;
    int32_t read = 0;
    const KXRESULT result = mGetArrayCount(handle, key.ToNarrow().GetData(), &read);
    count = read;
    return result;
}

KXRESULT CIniFileManagerProxy::SetArrayCount(int32_t handle, const String& key, int32_t count)
{
    return mSetArrayCount ? mSetArrayCount(handle, key.ToNarrow().GetData(), count) : E_FAIL;
}

KXRESULT CIniFileManagerProxy::GetArrayItemAt(int32_t handle, const String& key, int32_t index, String& text)
{
    text.Empty();
    if (!mGetArrayItemAt)
        return E_FAIL;
    const auto narrowKey = key.ToNarrow();
    return FetchText(
        [&](char* buffer, int32_t size, int32_t* needed) {
            return mGetArrayItemAt(handle, narrowKey.GetData(), index, buffer, size, needed);
        },
        text);
}

KXRESULT CIniFileManagerProxy::SetArrayItemAt(int32_t handle, const String& key, int32_t index, const String& text)
{
    return mSetArrayItemAt ? mSetArrayItemAt(handle, key.ToNarrow().GetData(), index, text.ToNarrow().GetData())
                           : E_FAIL;
}

KXRESULT CIniFileManagerProxy::RemoveArrayItemAt(int32_t handle, const String& key, int32_t index)
{
    return mRemoveArrayItemAt ? mRemoveArrayItemAt(handle, key.ToNarrow().GetData(), index) : E_FAIL;
}
