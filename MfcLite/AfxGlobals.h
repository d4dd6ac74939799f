// The library-wide functions of the MFC stand-in: start-up and end of the
// library for one program, OLE start-up, and where resources are looked up.
//
// Contract:
// - One application object per process (CWinApp registers itself on
//   construction); AfxGetApp answers it, or null.
// - AfxWinInit fills the application object from the entry point's arguments
//   and makes the program file the resource module; it fails (FALSE) without
//   an instance handle. AfxWinTerm undoes what AfxWinInit and AfxOleInit did.
// - AfxOleInit initialises OLE on the calling thread: TRUE when OLE is usable
//   there (also when it was initialised already), FALSE when the system
//   refuses (for example a thread already in the multi-threaded apartment).
// - AfxFindResourceHandle answers the first of the resource module and the
//   program's instance that holds the resource, else the resource module.
// - A system resource that cannot be made (a window class, for one) is
//   reported by throwing CResourceException.
#pragma once

#include <windows.h>

#include <stdexcept>

class CWinApp;
class CWinThread;

BOOL AfxWinInit(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine, int showCommand);
void AfxWinTerm();
BOOL AfxOleInit();

CWinApp* AfxGetApp();
// The thread object of the calling thread: the application object on the
// thread that runs it, null elsewhere.
CWinThread* AfxGetThread();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);
HINSTANCE AfxFindResourceHandle(LPCWSTR name, LPCWSTR type);

// A Windows resource (window class, handle) could not be made or found.
class CResourceException : public std::runtime_error
{
public:
    CResourceException() : std::runtime_error("A Windows resource could not be made or found.") {}
};

[[noreturn]] void AfxThrowResourceException();
