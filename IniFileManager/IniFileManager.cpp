// The fifteen exports of IniFileManager.dll (contract in IniFileManager.h): the
// table of open handles, the lock, argument checks and the text protocol. The
// settings themselves are SettingsFile's and SettingsTree's work.
#include "IniFileManager.h"

#include "SettingsFile.h"
#include "SettingsTree.h"

#include <windows.h>

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

using IniFile::SettingsFile;
using IniFile::SettingsNode;
using IniFile::SettingsTree;

namespace {

// Every export holds this lock for all its work: the handles and files below are
// shared by the threads of the process.
std::mutex gLock;

struct OpenFiles
{
    // Handles of one file share one SettingsFile, so they never overwrite each
    // other's changes.
    std::map<int32_t, std::shared_ptr<SettingsFile>> byHandle;
    int32_t lastHandle = 0;

    int32_t NextHandle()
    {
        do {
            lastHandle = (lastHandle == INT32_MAX) ? 1 : lastHandle + 1;
        } while (byHandle.count(lastHandle) != 0);
        return lastHandle;
    }
};

OpenFiles& Files()
{
    static OpenFiles files;
    return files;
}

// Runs work under the lock. No exception may cross into the caller, which is C.
template <class Work>
int32_t Locked(Work&& work) noexcept
{
    try {
        std::lock_guard<std::mutex> lock(gLock);
        return work();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

SettingsFile* FileOf(int32_t handle)
{
    OpenFiles& files = Files();
    const auto found = files.byHandle.find(handle);
    return found == files.byHandle.end() ? nullptr : found->second.get();
}

// The settings of handle as the file holds them now; null for a handle that is not open.
const SettingsTree* CurrentTree(int32_t handle)
{
    SettingsFile* file = FileOf(handle);
    if (!file)
        return nullptr;
    file->Refresh();
    return &file->Tree();
}

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::string FileComment(const char* settingsVersion, const char* productName)
{
    std::string comment = (productName && *productName) ? std::string(productName) + " settings" : "Settings";
    if (settingsVersion && *settingsVersion)
        comment.append(", version ").append(settingsVersion);
    return comment;
}

// Key that names a value or an array: at least one name.
bool SplitValueKey(const char* key, std::vector<std::string>& names)
{
    return IniFile::SplitKey(key, names) && !names.empty();
}

// How a key splits into names: IniFile::SplitKey for a key that may be "" (the
// root), SplitValueKey for one that must name a value or an array.
using KeySplitter = bool (*)(const char* key, std::vector<std::string>& names);

// Answers read(node) for the node at key in handle's settings as the file holds
// them now; node is null when no node is at key.
template <class Read>
int32_t Inspect(int32_t handle, const char* key, KeySplitter split, Read&& read)
{
    const SettingsTree* tree = CurrentTree(handle);
    if (!tree)
        return E_HANDLE;
    std::vector<std::string> names;
    if (!split(key, names))
        return E_INVALIDARG;
    return read(tree->Find(names));
}

// Applies change to the node at key in a copy of handle's settings and saves the
// copy: when change or the save fails, the settings stay as they were. A change
// that leaves the settings as they were writes nothing.
template <class Change>
int32_t Modify(int32_t handle, const char* key, Change&& change)
{
    SettingsFile* file = FileOf(handle);
    if (!file)
        return E_HANDLE;
    std::vector<std::string> names;
    if (!SplitValueKey(key, names))
        return E_INVALIDARG;
    file->Refresh();
    SettingsTree copy = file->Tree();
    const int32_t result = change(copy.FindOrAdd(names));
    if (result < 0)
        return result;
    if (file->Exists() && copy.Format(std::string_view()) == file->Tree().Format(std::string_view()))
        return S_OK;
    return file->Save(copy);
}

// Checks the text-output arguments and empties them; false when they are unusable.
bool PrepareTextOutput(char* buffer, int32_t bufferSize, int32_t* neededSize)
{
    if (neededSize)
        *neededSize = 0;
    if (bufferSize < 0 || (bufferSize > 0 && !buffer))
        return false;
    if (bufferSize > 0)
        buffer[0] = '\0';
    return true;
}

// Copies text and its NUL into buffer and answers success, or answers -2 with the
// size needed.
int32_t AnswerText(const std::string& text, char* buffer, int32_t bufferSize, int32_t* neededSize, int32_t success)
{
    if (text.size() >= static_cast<size_t>(INT32_MAX))
        return E_FAIL;
    const int32_t needed = static_cast<int32_t>(text.size() + 1);
    if (neededSize)
        *neededSize = needed;
    if (bufferSize < needed)
        return INIFILE_E_BUFFER_TOO_SMALL;
    std::memcpy(buffer, text.c_str(), static_cast<size_t>(needed));
    return success;
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// A decimal number in the signed 32-bit range, or "0x" and up to eight hexadecimal
// digits taken as a 32-bit pattern; blanks around it are allowed.
bool ParseInt(const std::string& text, int32_t& value)
{
    size_t begin = text.find_first_not_of(" \t");
    size_t end = text.find_last_not_of(" \t");
    if (begin == std::string::npos)
        return false;
    const std::string number = text.substr(begin, end - begin + 1);

    if (number.size() > 2 && number[0] == '0' && (number[1] == 'x' || number[1] == 'X')) {
        if (number.size() > 10)
            return false;
        uint32_t bits = 0;
        for (size_t i = 2; i < number.size(); ++i) {
            const char c = number[i];
            if (!IsHexDigit(c))
                return false;
            const uint32_t digit = (c <= '9') ? c - '0' : ((c | 0x20) - 'a' + 10);
            bits = (bits << 4) | digit;
        }
        value = static_cast<int32_t>(bits);
        return true;
    }

    size_t i = 0;
    const bool negative = number[0] == '-';
    if (number[0] == '-' || number[0] == '+')
        ++i;
    if (i == number.size())
        return false;
    int64_t magnitude = 0;
    for (; i < number.size(); ++i) {
        const char c = number[i];
        if (c < '0' || c > '9')
            return false;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > static_cast<int64_t>(INT32_MAX) + 1)
            return false;
    }
    const int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT32_MAX)
        return false;
    value = static_cast<int32_t>(signedValue);
    return true;
}

} // namespace

extern "C" {

int32_t INIFILEMANAGER_CALL OpenIniFile(
    const char* path, const char* settingsVersion, const char* productName, int32_t* handle)
{
    if (!handle)
        return E_INVALIDARG;
    *handle = 0;
    return Locked([&]() -> int32_t {
        std::wstring fullPath;
        if (!SettingsFile::FullPathFromUtf8(path, fullPath))
            return E_INVALIDARG;
        OpenFiles& files = Files();
        std::shared_ptr<SettingsFile> file;
        for (const auto& entry : files.byHandle) {
            if (SamePath(entry.second->Path(), fullPath)) {
                file = entry.second;
                break;
            }
        }
        if (file) {
            file->Refresh();
        } else {
            file = std::make_shared<SettingsFile>(fullPath, FileComment(settingsVersion, productName));
            const int32_t result = file->Load();
            if (result < 0)
                return result;
        }
        const int32_t newHandle = files.NextHandle();
        files.byHandle.emplace(newHandle, std::move(file));
        *handle = newHandle;
        return S_OK;
    });
}

int32_t INIFILEMANAGER_CALL WriteIniFile(int32_t handle)
{
    return Locked([&]() -> int32_t {
        SettingsFile* file = FileOf(handle);
        if (!file)
            return E_HANDLE;
        file->Refresh();
        const SettingsTree current = file->Tree();
        return file->Save(current);
    });
}

int32_t INIFILEMANAGER_CALL CloseIniFile(int32_t handle, int32_t /*reserved*/)
{
    return Locked([&]() -> int32_t { return Files().byHandle.erase(handle) != 0 ? S_OK : E_HANDLE; });
}

bool INIFILEMANAGER_CALL DoesNodeExist(int32_t handle, const char* key)
{
    return Locked([&]() {
        return Inspect(handle, key, IniFile::SplitKey, [](const SettingsNode* node) { return node ? 1 : 0; });
    }) == 1;
}

int32_t INIFILEMANAGER_CALL GetIniValueInt(int32_t handle, const char* key, int32_t defaultValue, int32_t* value)
{
    if (!value)
        return E_INVALIDARG;
    *value = defaultValue;
    return Locked([&]() {
        return Inspect(handle, key, SplitValueKey, [value](const SettingsNode* node) -> int32_t {
            int32_t parsed = 0;
            if (!node || !node->HasValue() || !ParseInt(node->Value(), parsed))
                return INIFILE_S_DEFAULT;
            *value = parsed;
            return S_OK;
        });
    });
}

int32_t INIFILEMANAGER_CALL SetIniValueInt(int32_t handle, const char* key, int32_t value)
{
    return Locked([&]() {
        return Modify(handle, key, [value](SettingsNode& node) {
            node.SetValue(std::to_string(value));
            return S_OK;
        });
    });
}

int32_t INIFILEMANAGER_CALL GetIniValueStr(int32_t handle, const char* key, const char* defaultText, char* buffer,
    int32_t bufferSize, int32_t* neededSize)
{
    if (!PrepareTextOutput(buffer, bufferSize, neededSize))
        return E_INVALIDARG;
    return Locked([&]() {
        return Inspect(handle, key, SplitValueKey, [&](const SettingsNode* node) {
            if (node && node->HasValue())
                return AnswerText(node->Value(), buffer, bufferSize, neededSize, S_OK);
            return AnswerText(defaultText ? defaultText : "", buffer, bufferSize, neededSize, INIFILE_S_DEFAULT);
        });
    });
}

int32_t INIFILEMANAGER_CALL SetIniValueStr(int32_t handle, const char* key, const char* text)
{
    if (!text)
        return E_INVALIDARG;
    return Locked([&]() {
        return Modify(handle, key, [text](SettingsNode& node) {
            node.SetValue(text);
            return S_OK;
        });
    });
}

int32_t INIFILEMANAGER_CALL GetKeyCount(int32_t handle, const char* key, int32_t* count)
{
    if (!count)
        return E_INVALIDARG;
    *count = 0;
    return Locked([&]() {
        return Inspect(handle, key, IniFile::SplitKey, [count](const SettingsNode* node) -> int32_t {
            if (!node)
                return INIFILE_S_DEFAULT;
            *count = static_cast<int32_t>(node->Children().size());
            return S_OK;
        });
    });
}

int32_t INIFILEMANAGER_CALL GetKeyNameAt(
    int32_t handle, const char* key, int32_t index, char* buffer, int32_t bufferSize, int32_t* neededSize)
{
    if (!PrepareTextOutput(buffer, bufferSize, neededSize))
        return E_INVALIDARG;
    return Locked([&]() {
        return Inspect(handle, key, IniFile::SplitKey, [&](const SettingsNode* node) -> int32_t {
            if (!node || index < 0 || static_cast<size_t>(index) >= node->Children().size())
                return E_INVALIDARG;
            const std::string& name = node->Children()[static_cast<size_t>(index)].Name();
            return AnswerText(name, buffer, bufferSize, neededSize, S_OK);
        });
    });
}

int32_t INIFILEMANAGER_CALL GetArrayCount(int32_t handle, const char* key, int32_t* count)
{
    if (!count)
        return E_INVALIDARG;
    *count = 0;
    return Locked([&]() {
        return Inspect(handle, key, SplitValueKey, [count](const SettingsNode* node) -> int32_t {
            if (!node)
                return INIFILE_S_DEFAULT;
            *count = node->ArrayCount();
            return S_OK;
        });
    });
}

int32_t INIFILEMANAGER_CALL SetArrayCount(int32_t handle, const char* key, int32_t count)
{
    return Locked([&]() {
        return Modify(handle, key, [count](SettingsNode& node) -> int32_t {
            if (count < 0 || count > INIFILE_MAX_ARRAY_COUNT)
                return E_INVALIDARG;
            node.ResizeArray(count);
            return S_OK;
        });
    });
}

int32_t INIFILEMANAGER_CALL GetArrayItemAt(
    int32_t handle, const char* key, int32_t index, char* buffer, int32_t bufferSize, int32_t* neededSize)
{
    if (!PrepareTextOutput(buffer, bufferSize, neededSize))
        return E_INVALIDARG;
    return Locked([&]() {
        return Inspect(handle, key, SplitValueKey, [&](const SettingsNode* node) -> int32_t {
            if (!node || index < 0 || index >= node->ArrayCount())
                return E_INVALIDARG;
            const SettingsNode* item = node->FindChild(std::to_string(index));
            return AnswerText(item->Value(), buffer, bufferSize, neededSize, S_OK);
        });
    });
}

int32_t INIFILEMANAGER_CALL SetArrayItemAt(int32_t handle, const char* key, int32_t index, const char* text)
{
    if (!text)
        return E_INVALIDARG;
    return Locked([&]() {
        return Modify(handle, key, [index, text](SettingsNode& node) -> int32_t {
            if (index < 0 || index >= INIFILE_MAX_ARRAY_COUNT)
                return E_INVALIDARG;
            if (index >= node.ArrayCount())
                node.ResizeArray(index + 1);
            node.FindOrAddChild(std::to_string(index)).SetValue(text);
            return S_OK;
        });
    });
}

int32_t INIFILEMANAGER_CALL RemoveArrayItemAt(int32_t handle, const char* key, int32_t index)
{
    return Locked([&]() {
        return Modify(handle, key, [index](SettingsNode& node) -> int32_t {
            if (index < 0 || index >= node.ArrayCount())
                return E_INVALIDARG;
            node.RemoveArrayItem(index);
            return S_OK;
        });
    });
}

} // extern "C"
