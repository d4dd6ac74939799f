#include "MfcLite/WinApp.h"

#include "MfcLite/AfxState.h"
#include "MfcLite/Wnd.h"

#include <memory>

CWinApp::CWinApp(LPCWSTR applicationName)
{
    if (applicationName) {
        mAppName = applicationName;
        m_pszAppName = mAppName.c_str();
    }
    MfcLite::GetState().mApp = this;
}

CWinApp::~CWinApp()
{
    MfcLite::State& state = MfcLite::GetState();
    if (state.mApp == this)
        state.mApp = nullptr;
}

BOOL CWinApp::InitApplication()
{
    return TRUE;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::Run()
{
    if (!m_pMainWnd || !m_pMainWnd->GetSafeHwnd())
        PostQuitMessage(0);
    return CWinThread::Run();
}

void CWinApp::SetDefaultAppName(const std::wstring& name)
{
    if (m_pszAppName)
        return;
    mAppName = name;
    m_pszAppName = mAppName.c_str();
}

void CWinApp::SetRegistryKey(LPCWSTR company)
{
    mRegistryKey = company ? company : L"";
    m_pszRegistryKey = mRegistryKey.c_str();
    mProfileName = m_pszAppName ? m_pszAppName : L"";
    m_pszProfileName = mProfileName.c_str();
}

std::wstring CWinApp::GetSectionKeyPath(LPCWSTR section) const
{
    if (!m_pszRegistryKey || mRegistryKey.empty() || !section)
        return std::wstring();
    return L"Software\\" + mRegistryKey + L"\\" + mProfileName + L"\\" + section;
}

BOOL CWinApp::GetProfileBinary(LPCWSTR section, LPCWSTR entry, BYTE** data, UINT* bytes)
{
    if (data)
        *data = nullptr;
    if (bytes)
        *bytes = 0;
    const std::wstring path = GetSectionKeyPath(section);
    if (path.empty() || !entry || !data || !bytes)
        return FALSE;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return FALSE;
    DWORD type = 0;
    DWORD size = 0;
    LONG status = RegQueryValueExW(key, entry, nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS || type != REG_BINARY || size == 0) {
        RegCloseKey(key);
        return FALSE;
    }
    std::unique_ptr<BYTE[]> buffer(new BYTE[size]);
    status = RegQueryValueExW(key, entry, nullptr, &type, buffer.get(), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return FALSE;
    *data = buffer.release();
    *bytes = size;
    return TRUE;
}

BOOL CWinApp::WriteProfileBinary(LPCWSTR section, LPCWSTR entry, const BYTE* data, UINT bytes)
{
    const std::wstring path = GetSectionKeyPath(section);
    if (path.empty() || !entry || (!data && bytes != 0))
        return FALSE;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return FALSE;
    const LONG status = RegSetValueExW(key, entry, 0, REG_BINARY, data, bytes);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}
