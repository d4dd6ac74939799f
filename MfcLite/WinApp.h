// CWinApp: the application object of the MFC stand-in. A program has exactly
// one, constructed before its entry point; AfxGetApp answers it.
//
// Contract:
// - InitApplication and InitInstance are the start-up steps the entry point
//   calls in turn; the base versions answer TRUE.
// - Run is the thread's message loop; without a main window it posts itself
//   a quit message first, so the queued messages are dispatched and the loop
//   ends without an idle pass.
// - The application name is the one given to the constructor, else the
//   program file's name without its extension (set by AfxWinInit).
// - The profile: after SetRegistryKey(company), values live in the user's
//   registry under Software\<company>\<application name>\<section>. Binary
//   values are read and written whole. Without a registry key the profile is
//   not available: the calls answer FALSE.
#pragma once

#include "MfcLite/WinThread.h"

#include <string>

class CWinApp : public CWinThread
{
public:
    explicit CWinApp(LPCWSTR applicationName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitApplication();
    BOOL InitInstance() override;
    int Run() override;

    // Makes the registry profile live under Software\<company>.
    void SetRegistryKey(LPCWSTR company);
    // A copy of the stored bytes in *data (allocated with new[], the caller
    // deletes it with delete[]) and their count in *bytes; FALSE, null and 0
    // when the value is missing or not binary.
    BOOL GetProfileBinary(LPCWSTR section, LPCWSTR entry, BYTE** data, UINT* bytes);
    BOOL WriteProfileBinary(LPCWSTR section, LPCWSTR entry, const BYTE* data, UINT bytes);
    // The registry path of a section, below HKEY_CURRENT_USER; empty without a
    // registry key.
    std::wstring GetSectionKeyPath(LPCWSTR section) const;

    HINSTANCE m_hInstance = nullptr;
    HINSTANCE m_hPrevInstance = nullptr;
    LPWSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    LPCWSTR m_pszAppName = nullptr;
    LPCWSTR m_pszRegistryKey = nullptr;
    LPCWSTR m_pszProfileName = nullptr;

    // Used by AfxWinInit: the application name from the program file when the
    // constructor got none.
    void SetDefaultAppName(const std::wstring& name);

private:
    std::wstring mAppName;
    std::wstring mRegistryKey;
    std::wstring mProfileName;
};
