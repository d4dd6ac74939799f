// The process-wide state of the MFC stand-in (internal).
#pragma once

#include <windows.h>

class CWinApp;

namespace MfcLite {

struct State
{
    CWinApp* mApp = nullptr;
    HINSTANCE mResourceHandle = nullptr;
    DWORD mOleThread = 0; // the thread AfxOleInit initialised, 0 for none
};

State& GetState();

} // namespace MfcLite
