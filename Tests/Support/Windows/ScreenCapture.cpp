#include "ScreenCapture.h"

#include "Screenshots.h"

namespace TestScreen {

namespace {

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
    return gdiplus.Ok() && SavePixelsAsPng(ReadPixels(nullptr, area.left, area.top, width, height), width, height,
                                           ScreenshotFolder(folder) + L"\\" + name + L".png");
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

std::vector<uint32_t> ReadPixels(HWND window, int x, int y, int width, int height)
{
    std::vector<uint32_t> pixels;
    if (width <= 0 || height <= 0)
        return pixels;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC source = GetDC(window);
    HDC memory = CreateCompatibleDC(source);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    GdiFlush();
    const uint32_t* first = static_cast<const uint32_t*>(bits);
    pixels.assign(first, first + static_cast<size_t>(width) * height);
    for (uint32_t& pixel : pixels)
        pixel &= 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, source);
    return pixels;
}

void Activate(HWND window)
{
    SetForegroundWindow(window);
    SetActiveWindow(window);
    SetFocus(window);
}

bool IsInFront(HWND window)
{
    return GetActiveWindow() == window && GetFocus() == window;
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

void SendKeys(const std::vector<std::pair<WORD, bool>>& keys)
{
    std::vector<INPUT> inputs;
    for (const auto& key : keys)
        inputs.push_back(KeyInput(key.first, 0, key.second ? 0 : KEYEVENTF_KEYUP));
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
