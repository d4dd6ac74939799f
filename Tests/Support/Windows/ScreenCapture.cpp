#include "ScreenCapture.h"

#include <gdiplus.h>

#include <memory>
#include <vector>

#ifndef KX_SCREENSHOT_FOLDER
#error "KX_SCREENSHOT_FOLDER names the folder of the screenshots"
#endif

namespace TestScreen {

namespace {

bool PngEncoder(CLSID& encoder)
{
    UINT count = 0;
    UINT bytes = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0)
        return false;
    std::vector<BYTE> buffer(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, bytes, codecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(codecs[i].MimeType, L"image/png") == 0) {
            encoder = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

void MakeFolders(const std::wstring& path)
{
    for (size_t i = 3; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == L'/' || path[i] == L'\\')
            CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
    }
}

// GDI+ for the length of one save, whether or not the program runs it too.
class GdiplusSession
{
public:
    GdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        mOk = Gdiplus::GdiplusStartup(&mToken, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession()
    {
        if (mOk)
            Gdiplus::GdiplusShutdown(mToken);
    }
    bool Ok() const { return mOk; }

private:
    ULONG_PTR mToken = 0;
    bool mOk = false;
};

void SendInputs(std::vector<INPUT>& inputs)
{
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT MouseInput(DWORD flags, LONG x = 0, LONG y = 0, DWORD data = 0)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = x;
    input.mi.dy = y;
    input.mi.mouseData = data;
    input.mi.dwFlags = flags;
    return input;
}

INPUT KeyInput(WORD virtualKey, WORD scan, DWORD flags)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = scan;
    input.ki.dwFlags = flags;
    return input;
}

} // namespace

bool SaveScreenshot(const RECT& area, const std::wstring& folder, const std::wstring& name)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return false;
    GdiplusSession gdiplus;
    CLSID encoder;
    if (!gdiplus.Ok() || !PngEncoder(encoder))
        return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);
    bool saved = false;
    {
        Gdiplus::Bitmap image(bitmap, nullptr);
        const std::wstring directory = std::wstring(L"" KX_SCREENSHOT_FOLDER) + L"/" + folder;
        MakeFolders(directory);
        const std::wstring path = directory + L"/" + name + L".png";
        saved = image.Save(path.c_str(), &encoder, nullptr) == Gdiplus::Ok;
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

bool SaveWindowScreenshot(HWND window, const std::wstring& folder, const std::wstring& name)
{
    RECT area{};
    return GetWindowRect(window, &area) && SaveScreenshot(area, folder, name);
}

COLORREF ReadScreenPixel(int x, int y)
{
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

COLORREF ReadWindowPixel(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(10);
    }
    return true;
}

void Activate(HWND window)
{
    SetForegroundWindow(window);
    SetActiveWindow(window);
    SetFocus(window);
}

void MoveMouseTo(int x, int y)
{
    SetCursorPos(x, y);
    std::vector<INPUT> inputs{MouseInput(MOUSEEVENTF_MOVE, 0, 0)};
    SendInputs(inputs);
}

void Click(int x, int y, bool doubleClick)
{
    MoveMouseTo(x, y);
    std::vector<INPUT> inputs{MouseInput(MOUSEEVENTF_LEFTDOWN), MouseInput(MOUSEEVENTF_LEFTUP)};
    if (doubleClick) {
        inputs.push_back(MouseInput(MOUSEEVENTF_LEFTDOWN));
        inputs.push_back(MouseInput(MOUSEEVENTF_LEFTUP));
    }
    SendInputs(inputs);
}

void PressKey(WORD virtualKey)
{
    std::vector<INPUT> inputs{KeyInput(virtualKey, 0, 0), KeyInput(virtualKey, 0, KEYEVENTF_KEYUP)};
    SendInputs(inputs);
}

void TypeText(const std::wstring& text)
{
    std::vector<INPUT> inputs;
    for (wchar_t character : text) {
        inputs.push_back(KeyInput(0, character, KEYEVENTF_UNICODE));
        inputs.push_back(KeyInput(0, character, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
    }
    SendInputs(inputs);
}

void SendWheel(int delta)
{
    std::vector<INPUT> inputs{MouseInput(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(delta))};
    SendInputs(inputs);
}

} // namespace TestScreen
