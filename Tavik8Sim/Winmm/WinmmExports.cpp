// The exported functions of the simulated winmm.dll, with the signatures of
// the system's: the MIDI functions go to SimulatedMidi, the timer functions
// answer as the system does.
#include "Winmm/SimulatedMidi.h"

#include <cwchar>

using Tavik8Sim::SimulatedMidi;

namespace {

const wchar_t* ErrorText(MMRESULT code)
{
    switch (code) {
    case MMSYSERR_NOERROR: return L"The specified command was carried out.";
    case MMSYSERR_ERROR: return L"Undefined external error.";
    case MMSYSERR_BADDEVICEID: return L"A device ID has been used that is out of range for your system.";
    case MMSYSERR_ALLOCATED: return L"The specified device is already in use.";
    case MMSYSERR_INVALHANDLE: return L"The specified device handle is invalid.";
    case MMSYSERR_NODRIVER: return L"There is no driver installed on your system.";
    case MMSYSERR_NOMEM: return L"There is not enough memory available for this task.";
    case MMSYSERR_NOTSUPPORTED: return L"This function is not supported.";
    case MMSYSERR_INVALFLAG: return L"An invalid flag was passed to a system function.";
    case MMSYSERR_INVALPARAM: return L"An invalid parameter was passed to a system function.";
    case MIDIERR_UNPREPARED: return L"The header has not been prepared.";
    case MIDIERR_STILLPLAYING: return L"The buffers are still in the queue.";
    case MIDIERR_NOTREADY: return L"The port is busy.";
    default: return nullptr;
    }
}

void CopyText(const wchar_t* message, LPWSTR text, UINT size)
{
    _snwprintf(text, size, L"%ls", message);
}

void CopyText(const wchar_t* message, LPSTR text, UINT size)
{
    WideCharToMultiByte(CP_ACP, 0, message, -1, text, static_cast<int>(size), nullptr, nullptr);
}

// The text for code in the caller's buffer of size characters, wide or ANSI,
// cut short when it does not fit.
template <class Char>
MMRESULT GetErrorText(MMRESULT code, Char* text, UINT size)
{
    if (!text || size == 0)
        return MMSYSERR_INVALPARAM;
    const wchar_t* message = ErrorText(code);
    if (!message)
        return MMSYSERR_BADERRNUM;
    CopyText(message, text, size);
    text[size - 1] = 0;
    return MMSYSERR_NOERROR;
}

double PerformanceMilliseconds()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

const UINT kMinPeriod = 1;
const UINT kMaxPeriod = 65535;

// timeBeginPeriod and timeEndPeriod only check the period: timeGetTime has
// 1 ms resolution whatever the period.
MMRESULT CheckPeriod(UINT period)
{
    return (period < kMinPeriod || period > kMaxPeriod) ? TIMERR_NOCANDO : TIMERR_NOERROR;
}

} // namespace

extern "C" {

// The end of the process writes the simulated device's state to its file:
// a program that ends without closing its ports leaves it on disk.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_DETACH)
        SimulatedMidi::ProcessEnding();
    return TRUE;
}

// Tells a test that this DLL, not the system's, was loaded.
BOOL WINAPI Tavik8SimIsSimulated(void)
{
    return TRUE;
}

UINT WINAPI midiInGetNumDevs(void)
{
    return SimulatedMidi::Instance().GetNumDevs(true);
}

UINT WINAPI midiOutGetNumDevs(void)
{
    return SimulatedMidi::Instance().GetNumDevs(false);
}

MMRESULT WINAPI midiInGetDevCapsW(UINT_PTR uDeviceID, LPMIDIINCAPSW pmic, UINT cbmic)
{
    return SimulatedMidi::Instance().GetDevCaps(true, uDeviceID, pmic, cbmic, true);
}

MMRESULT WINAPI midiInGetDevCapsA(UINT_PTR uDeviceID, LPMIDIINCAPSA pmic, UINT cbmic)
{
    return SimulatedMidi::Instance().GetDevCaps(true, uDeviceID, pmic, cbmic, false);
}

MMRESULT WINAPI midiOutGetDevCapsW(UINT_PTR uDeviceID, LPMIDIOUTCAPSW pmoc, UINT cbmoc)
{
    return SimulatedMidi::Instance().GetDevCaps(false, uDeviceID, pmoc, cbmoc, true);
}

MMRESULT WINAPI midiOutGetDevCapsA(UINT_PTR uDeviceID, LPMIDIOUTCAPSA pmoc, UINT cbmoc)
{
    return SimulatedMidi::Instance().GetDevCaps(false, uDeviceID, pmoc, cbmoc, false);
}

MMRESULT WINAPI midiInOpen(LPHMIDIIN phmi, UINT uDeviceID, DWORD_PTR dwCallback, DWORD_PTR dwInstance, DWORD fdwOpen)
{
    return SimulatedMidi::Instance().Open(true, phmi, uDeviceID, dwCallback, dwInstance, fdwOpen);
}

MMRESULT WINAPI midiOutOpen(LPHMIDIOUT phmo, UINT uDeviceID, DWORD_PTR dwCallback, DWORD_PTR dwInstance,
                            DWORD fdwOpen)
{
    return SimulatedMidi::Instance().Open(false, phmo, uDeviceID, dwCallback, dwInstance, fdwOpen);
}

MMRESULT WINAPI midiInClose(HMIDIIN hmi)
{
    return SimulatedMidi::Instance().Close(true, hmi);
}

MMRESULT WINAPI midiOutClose(HMIDIOUT hmo)
{
    return SimulatedMidi::Instance().Close(false, hmo);
}

MMRESULT WINAPI midiInPrepareHeader(HMIDIIN hmi, LPMIDIHDR pmh, UINT cbmh)
{
    return SimulatedMidi::Instance().PrepareHeader(true, hmi, pmh, cbmh);
}

MMRESULT WINAPI midiInUnprepareHeader(HMIDIIN hmi, LPMIDIHDR pmh, UINT cbmh)
{
    return SimulatedMidi::Instance().UnprepareHeader(true, hmi, pmh, cbmh);
}

MMRESULT WINAPI midiOutPrepareHeader(HMIDIOUT hmo, LPMIDIHDR pmh, UINT cbmh)
{
    return SimulatedMidi::Instance().PrepareHeader(false, hmo, pmh, cbmh);
}

MMRESULT WINAPI midiOutUnprepareHeader(HMIDIOUT hmo, LPMIDIHDR pmh, UINT cbmh)
{
    return SimulatedMidi::Instance().UnprepareHeader(false, hmo, pmh, cbmh);
}

MMRESULT WINAPI midiInAddBuffer(HMIDIIN hmi, LPMIDIHDR pmh, UINT cbmh)
{
    return SimulatedMidi::Instance().AddBuffer(hmi, pmh, cbmh);
}

MMRESULT WINAPI midiInStart(HMIDIIN hmi)
{
    return SimulatedMidi::Instance().Start(hmi);
}

MMRESULT WINAPI midiInStop(HMIDIIN hmi)
{
    return SimulatedMidi::Instance().Stop(hmi);
}

MMRESULT WINAPI midiInReset(HMIDIIN hmi)
{
    return SimulatedMidi::Instance().ResetInput(hmi);
}

MMRESULT WINAPI midiOutShortMsg(HMIDIOUT hmo, DWORD dwMsg)
{
    return SimulatedMidi::Instance().ShortMsg(hmo, dwMsg);
}

MMRESULT WINAPI midiOutLongMsg(HMIDIOUT hmo, LPMIDIHDR pmh, UINT cbmh)
{
    return SimulatedMidi::Instance().LongMsg(hmo, pmh, cbmh);
}

MMRESULT WINAPI midiOutReset(HMIDIOUT hmo)
{
    return SimulatedMidi::Instance().ResetOutput(hmo);
}

MMRESULT WINAPI midiInGetID(HMIDIIN hmi, LPUINT puDeviceID)
{
    return SimulatedMidi::Instance().GetId(true, hmi, puDeviceID);
}

MMRESULT WINAPI midiOutGetID(HMIDIOUT hmo, LPUINT puDeviceID)
{
    return SimulatedMidi::Instance().GetId(false, hmo, puDeviceID);
}

MMRESULT WINAPI midiInMessage(HMIDIIN, UINT, DWORD_PTR, DWORD_PTR)
{
    return MMSYSERR_NOTSUPPORTED;
}

MMRESULT WINAPI midiOutMessage(HMIDIOUT, UINT, DWORD_PTR, DWORD_PTR)
{
    return MMSYSERR_NOTSUPPORTED;
}

MMRESULT WINAPI midiOutGetVolume(HMIDIOUT, LPDWORD)
{
    return MMSYSERR_NOTSUPPORTED;
}

MMRESULT WINAPI midiOutSetVolume(HMIDIOUT, DWORD)
{
    return MMSYSERR_NOTSUPPORTED;
}

MMRESULT WINAPI midiInGetErrorTextW(MMRESULT mmrError, LPWSTR pszText, UINT cchText)
{
    return GetErrorText(mmrError, pszText, cchText);
}

MMRESULT WINAPI midiOutGetErrorTextW(MMRESULT mmrError, LPWSTR pszText, UINT cchText)
{
    return GetErrorText(mmrError, pszText, cchText);
}

MMRESULT WINAPI midiInGetErrorTextA(MMRESULT mmrError, LPSTR pszText, UINT cchText)
{
    return GetErrorText(mmrError, pszText, cchText);
}

MMRESULT WINAPI midiOutGetErrorTextA(MMRESULT mmrError, LPSTR pszText, UINT cchText)
{
    return GetErrorText(mmrError, pszText, cchText);
}

// Milliseconds since the system started, from the performance counter (1 ms
// resolution whatever the period).
DWORD WINAPI timeGetTime(void)
{
    return static_cast<DWORD>(static_cast<unsigned long long>(PerformanceMilliseconds()));
}

MMRESULT WINAPI timeBeginPeriod(UINT uPeriod)
{
    return CheckPeriod(uPeriod);
}

MMRESULT WINAPI timeEndPeriod(UINT uPeriod)
{
    return CheckPeriod(uPeriod);
}

MMRESULT WINAPI timeGetDevCaps(LPTIMECAPS ptc, UINT cbtc)
{
    if (!ptc || cbtc < sizeof(TIMECAPS))
        return TIMERR_NOCANDO;
    ptc->wPeriodMin = kMinPeriod;
    ptc->wPeriodMax = kMaxPeriod;
    return TIMERR_NOERROR;
}

MMRESULT WINAPI timeGetSystemTime(LPMMTIME pmmt, UINT cbmmt)
{
    if (!pmmt || cbmmt < sizeof(MMTIME))
        return MMSYSERR_INVALPARAM;
    pmmt->wType = TIME_MS;
    pmmt->u.ms = timeGetTime();
    return MMSYSERR_NOERROR;
}

} // extern "C"
