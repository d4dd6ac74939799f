#include "MfcLite/AfxGlobals.h"

#include "MfcLite/AfxState.h"
#include "MfcLite/WinApp.h"

#include <ole2.h>

#include <string>

namespace MfcLite {

State& GetState()
{
    static State state;
    return state;
}

} // namespace MfcLite

namespace {

// The program file's name without folder and extension.
std::wstring ModuleBaseName(HINSTANCE module)
{
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    std::wstring name(path, length);
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos)
        name.erase(0, slash + 1);
    const size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos)
        name.erase(dot);
    return name;
}

} // namespace

BOOL AfxWinInit(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine, int showCommand)
{
    if (!instance)
        return FALSE;
    MfcLite::State& state = MfcLite::GetState();
    state.mResourceHandle = instance;
    if (CWinApp* app = state.mApp) {
        app->m_hInstance = instance;
        app->m_hPrevInstance = previousInstance;
        app->m_lpCmdLine = commandLine;
        app->m_nCmdShow = showCommand;
        app->m_nThreadID = GetCurrentThreadId();
        app->SetDefaultAppName(ModuleBaseName(instance));
    }
    return TRUE;
}

void AfxWinTerm()
{
    MfcLite::State& state = MfcLite::GetState();
    if (state.mOleThread != 0 && state.mOleThread == GetCurrentThreadId()) {
        OleUninitialize();
        state.mOleThread = 0;
    }
}

BOOL AfxOleInit()
{
    MfcLite::State& state = MfcLite::GetState();
    const HRESULT result = OleInitialize(nullptr);
    if (FAILED(result))
        return FALSE;
    if (result == S_FALSE) {
        // Initialised already on this thread: balance our own call.
        OleUninitialize();
        return TRUE;
    }
    state.mOleThread = GetCurrentThreadId();
    return TRUE;
}

CWinApp* AfxGetApp()
{
    return MfcLite::GetState().mApp;
}

CWinThread* AfxGetThread()
{
    CWinApp* app = MfcLite::GetState().mApp;
    if (app && app->m_nThreadID == GetCurrentThreadId())
        return app;
    return nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    CWinApp* app = MfcLite::GetState().mApp;
    return app && app->m_hInstance ? app->m_hInstance : GetModuleHandleW(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    HINSTANCE handle = MfcLite::GetState().mResourceHandle;
    return handle ? handle : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE module)
{
    MfcLite::GetState().mResourceHandle = module;
}

HINSTANCE AfxFindResourceHandle(LPCWSTR name, LPCWSTR type)
{
    const HINSTANCE resources = AfxGetResourceHandle();
    if (FindResourceW(resources, name, type))
        return resources;
    const HINSTANCE instance = AfxGetInstanceHandle();
    if (instance != resources && FindResourceW(instance, name, type))
        return instance;
    return resources;
}

void AfxThrowResourceException()
{
    throw CResourceException();
}
