// UpdateScreenBenchmark: what the update screen costs, for the real program
// under Xvfb (run by hand, not a test; it needs a display).
//
// Usage: UpdateScreenBenchmark [records [payload bytes]]   (default 100 x 64)
//
// Measured against the simulated device (a state file of its own, the link at
// DIN MIDI speed so that a transfer lasts some seconds):
// 1. start: from CreateProcess of FirmwareUpdater.exe to the first painted
//    update screen (its EXIT button's colour on the screen);
// 2. transfer: the time of a transfer started with UPDATE FIRMWARE (clicked
//    through SendInput) with the window, beside a silent run's without one;
// 3. in this process (Wine's GetProcessTimes answers next to nothing for
//    another process), the real screen in a real window: the processor time
//    of the idle window over 10 s and of a transfer it follows, as a share of
//    one core (GetProcessTimes), beside the same transfer by the engine
//    alone; and the area each idle pass that moved the progress bar left to
//    repaint, beside the progress bar's and its time label's rectangles.
#include "Application/ApplicationBaseWin.h"
#include "Application/ApplicationFolders.h"
#include "Application/ProgramGlobals.h"
#include "Controls/ProgressBar.h"
#include "Engine/UpdateEngineInterface.h"
#include "Notification/NotificationCenterManager.h"
#include "UI/Application.h"
#include "UI/MainControl.h"

#include "Model/DeviceModel.h"
#include "Model/FirmwareImage.h"
#include "Model/StateStore.h"

#include "BenchmarkClock.h"
#include "Support/Tavik8Sim/StateFile.h"
#include "Support/Windows/Programs.h"
#include "Support/Windows/TempFiles.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

using KX::RCPtr;
using String = KX::StringT<wchar_t, char>;

// The update screen's client size and the middles of two of its buttons.
constexpr int kUpdateX = 104, kUpdateY = 324, kExitX = 456, kExitY = 324;

double Seconds()
{
    return Benchmark::WallMilliseconds() / 1000.0;
}

double CpuSeconds(HANDLE process)
{
    return Benchmark::CpuMilliseconds(process) / 1000.0;
}

// FirmwareUpdater.exe in the build folder's FirmwareUpdater/, beside the
// benchmark's Tests/.
std::wstring ProgramPath()
{
    std::wstring folder = TestSystem::ProgramFolder();
    folder.pop_back();
    return folder.substr(0, folder.find_last_of(L'\\')) + L"\\FirmwareUpdater\\FirmwareUpdater.exe";
}

// The simulated device of the benchmark.
class Device
{
public:
    explicit Device(const std::wstring& state) : mStore(state) {}

    void Prepare(const std::wstring& firmware, const Tavik8Sim::Bytes& image)
    {
        Change([&](Tavik8Sim::DeviceModel& m, Tavik8Sim::TimeUs now) {
            m.Reset(now, Tavik8Sim::Mode::Update, "1.0.3.0");
            m.Set(now, "wire_bytes_per_s", "3125");
            m.ExpectImage(now, std::string(firmware.begin(), firmware.end()), image);
        });
    }
    int64_t Records() { return mStore.Read().records; }
    int64_t Violations() { return mStore.Read().violationCount; }

private:
    void Change(const std::function<void(Tavik8Sim::DeviceModel&, Tavik8Sim::TimeUs)>& step)
    {
        Tavik8SimTest::ChangeDevice(mStore, step);
    }
    Tavik8Sim::StateStore mStore;
};

PROCESS_INFORMATION Launch(const std::wstring& arguments)
{
    const std::wstring program = ProgramPath();
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        std::fprintf(stderr, "cannot start %ls (%lu)\n", program.c_str(), GetLastError());
    return process;
}

int Brightness(COLORREF colour)
{
    return GetRValue(colour) + GetGValue(colour) + GetBValue(colour);
}

POINT ClientPoint(HWND window, int x, int y)
{
    POINT point{x, y};
    ClientToScreen(window, &point);
    return point;
}

// The program's main window once its EXIT button shows on the screen.
HWND WaitForScreen(double timeoutSeconds)
{
    const double start = Seconds();
    HDC screen = GetDC(nullptr);
    HWND found = nullptr;
    while (!found && Seconds() - start < timeoutSeconds) {
        HWND window = FindWindowW(LApplication::GetUniqueAppName().GetData(), nullptr);
        if (window && IsWindowVisible(window)) {
            const POINT exit = ClientPoint(window, kExitX, kExitY);
            if (Brightness(GetPixel(screen, exit.x, exit.y)) > 200)
                found = window;
        }
        if (!found)
            Sleep(2);
    }
    ReleaseDC(nullptr, screen);
    return found;
}

void ClickAt(const POINT& point)
{
    const int width = GetSystemMetrics(SM_CXSCREEN) - 1, height = GetSystemMetrics(SM_CYSCREEN) - 1;
    INPUT inputs[3] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = point.x * 65535 / width;
        input.mi.dy = point.y * 65535 / height;
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    SendInput(3, inputs, sizeof(INPUT));
}

// Processor time and wall time from the first record to the last.
struct TransferCost
{
    double cpu = 0.0;
    double wall = 0.0;
    double Share() const { return wall > 0.0 ? cpu / wall * 100.0 : 0.0; }
};

TransferCost FollowTransfer(Device& device, HANDLE process, int64_t records)
{
    TransferCost cost;
    double startWall = 0.0, startCpu = 0.0;
    const double limit = Seconds() + 120.0;
    while (Seconds() < limit) {
        const int64_t done = device.Records();
        if (startWall == 0.0 && done > 0) {
            startWall = Seconds();
            startCpu = CpuSeconds(process);
        }
        if (done >= records) {
            cost.wall = Seconds() - startWall;
            cost.cpu = CpuSeconds(process) - startCpu;
            break;
        }
        Sleep(500);
    }
    return cost;
}

void MeasureProgram(Device& device, const std::wstring& firmware, const Tavik8Sim::Bytes& image, int64_t records)
{
    const std::wstring fileOption = L"-ABSOLUTE_FIRMWARE_FILE_PATH=" + firmware;

    // Without a window: the silent run's transfer.
    device.Prepare(firmware, image);
    PROCESS_INFORMATION silent = Launch(L"-SILENT -START_UPDATE_AUTOMATICALLY " + fileOption);
    const TransferCost windowless = FollowTransfer(device, silent.hProcess, records);
    WaitForSingleObject(silent.hProcess, 60000);
    CloseHandle(silent.hThread);
    CloseHandle(silent.hProcess);

    // With the window.
    device.Prepare(firmware, image);
    const double launched = Seconds();
    PROCESS_INFORMATION run = Launch(fileOption);
    HWND window = WaitForScreen(60.0);
    const double firstScreen = Seconds() - launched;
    if (!window) {
        std::printf("the update screen did not show\n");
        TerminateProcess(run.hProcess, 1);
        return;
    }
    Sleep(1000);

    SetForegroundWindow(window);
    ClickAt(ClientPoint(window, kUpdateX, kUpdateY));
    const TransferCost windowed = FollowTransfer(device, run.hProcess, records);
    const int64_t violations = device.Violations();
    Sleep(4000); // the screen waits for the device to come back
    PostMessageW(window, WM_CLOSE, 0, 0);
    WaitForSingleObject(run.hProcess, 30000);
    DWORD exitCode = 0;
    GetExitCodeProcess(run.hProcess, &exitCode);
    CloseHandle(run.hThread);
    CloseHandle(run.hProcess);

    std::printf("start to the first painted update screen: %.0f ms\n", firstScreen * 1000.0);
    std::printf("transfer of %lld records: %.1f s with the window, %.1f s without\n",
                static_cast<long long>(records), windowed.wall, windowless.wall);
    std::printf("  violations seen by the device: %lld; exit code after closing: %lu\n",
                static_cast<long long>(violations), exitCode);
}

// ---- 4. the repaint of a progress step, in this process ----

double Area(const KX::LRectRegion& region, KX::RectT<long>& bounds)
{
    KX::LRectRegion copy(region);
    copy.Normalize();
    KX::Array<KX::RectT<long>> rects;
    copy.Enumerate(rects);
    double area = 0.0;
    for (int32_t i = 0; i < rects.GetCount(); ++i)
        area += static_cast<double>(rects.GetAt(i).width) * rects.GetAt(i).height;
    copy.GetBounds(bounds);
    return area;
}

void MeasureRepaint(Device& device, const std::wstring& firmware, const Tavik8Sim::Bytes& image)
{
    device.Prepare(firmware, image);
    ULONG_PTR gdiplus = 0;
    KX::StartGdiplus(gdiplus);
    auto mfc = std::make_unique<KX::MFCFrameworkApp<LApplication>>();
    AfxWinInit(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW);
    KX::SetModuleInstance(GetModuleHandleW(nullptr));
    RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(L"TAVIK8 Updater");
    factory->LoadResources(L"::", 0x0409);
    RCPtr<KX::LStringTable> strings;
    factory->GetFrameworkStringTable(strings);
    RCPtr<LApplication> app;
    const std::wstring commandLine = L"UpdateScreenBenchmark.exe -ABSOLUTE_FIRMWARE_FILE_PATH=" + firmware;
    LApplication::Create(app, factory, strings, String(commandLine.c_str()));
    KX::MFCFrameworkApp<LApplication>::sApplication = app;
    app->RunApplicationStartup();
    app->CreateMainWindow(app->GetRendererType());
    const RCPtr<KX::LRootWindow> root = app->GetRootWindow(0);
    root->SetRootControl(String(L"mainControl"));
    app->FitMainWindowToRootControl();
    KX::OSWindow* window = app->GetMainOSWindow();
    window->ShowWindow(SW_SHOW);
    window->UpdateWindow();
    const RCPtr<KX::LMainControl> screen = RCPtr<KX::LMainControl>::DynamicCast(root->GetRootControl());
    const RCPtr<KX::LProgressBar> bar = RCPtr<KX::LProgressBar>::DynamicCast(screen->FindChild(String(L"progressBar")));

    auto pump = [&]() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    };
    auto run = [&](double seconds) {
        const double end = Seconds() + seconds;
        while (Seconds() < end) {
            pump();
            LONG idle = 0;
            while (mfc->OnIdle(idle++)) {
            }
            // As the program's loop: asleep until a message (the window's
            // 33 ms timer keeps the idle passes coming).
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT);
        }
    };
    run(1.0);
    const double idleCpu = CpuSeconds(GetCurrentProcess());
    const double idleWall = Seconds();
    run(10.0);
    std::printf("in this process, the idle window over 10 s: %.2f %% of a core\n",
                (CpuSeconds(GetCurrentProcess()) - idleCpu) / (Seconds() - idleWall) * 100.0);

    const double transferCpu = CpuSeconds(GetCurrentProcess());
    const double transferWall = Seconds();
    screen->UpdateFirmware();
    int steps = 0, inside = 0;
    double total = 0.0, largest = 0.0;
    KX::RectT<long> all;
    bool any = false;
    double last = bar->GetNormalizedValue();
    const double limit = Seconds() + 120.0;
    while (Seconds() < limit && screen->IsUpdateStarted()) {
        pump();
        LONG idle = 0;
        while (mfc->OnIdle(idle++)) {
        }
        const double value = bar->GetNormalizedValue();
        if (value != last && value < 1.0) {
            KX::RectT<long> bounds;
            const double area = Area(root->GetDirtyRegion(), bounds);
            total += area;
            largest = area > largest ? area : largest;
            if (!any) {
                all = bounds;
                any = true;
            } else {
                const long right = std::max(all.x + all.width, bounds.x + bounds.width);
                const long bottom = std::max(all.y + all.height, bounds.y + bounds.height);
                all.x = std::min(all.x, bounds.x);
                all.y = std::min(all.y, bounds.y);
                all.width = right - all.x;
                all.height = bottom - all.y;
            }
            ++steps;
            // Inside the bar and the time label below it (4 px apart, 20 high).
            const KX::PointT<double> origin = bar->GetRootPosition();
            if (bounds.x >= origin.x && bounds.y >= origin.y &&
                bounds.x + bounds.width <= origin.x + bar->GetRect().width &&
                bounds.y + bounds.height <= origin.y + bar->GetRect().height + 24)
                ++inside;
            last = value;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT);
    }
    std::printf("in this process, the transfer with the window and the wait for the device: %.1f s, %.2f %% of a "
                "core (the simulated device's work included)\n",
                Seconds() - transferWall,
                (CpuSeconds(GetCurrentProcess()) - transferCpu) / (Seconds() - transferWall) * 100.0);
    const KX::PointT<double> at = bar->GetRootPosition();
    std::printf("repaint per progress step (%d idle passes that moved the bar): %.0f px on average, %.0f at most\n",
                steps, steps ? total / steps : 0.0, largest);
    std::printf("  %d of them only inside the progress bar and its time label\n", inside);
    std::printf("  all of them within {%ld, %ld, %ld x %ld}; the progress bar is {%.0f, %.0f, %.0f x %.0f} with its "
                "time label below it (20 px), the whole window %d px\n",
                all.x, all.y, all.width, all.height, at.x, at.y, bar->GetRect().width, bar->GetRect().height,
                560 * 360);

    DestroyWindow(window->m_hWnd);
    pump();

    // The same transfer by the engine alone, with no window to show it.
    device.Prepare(firmware, image);
    const RCPtr<LUpdateEngineInterface> engine = app->GetUpdateProcessor()->GetUpdateEngine();
    engine->Rescan();
    const double bareCpu = CpuSeconds(GetCurrentProcess());
    const double bareWall = Seconds();
    engine->StartUpdate();
    engine->WaitForUpdate(120000);
    std::printf("in this process, the same transfer without a window: %.1f s, %.2f %% of a core\n",
                Seconds() - bareWall, (CpuSeconds(GetCurrentProcess()) - bareCpu) / (Seconds() - bareWall) * 100.0);
    app->Shutdown();
    KX::MFCFrameworkApp<LApplication>::sApplication = RCPtr<LApplication>();
    app = nullptr;
    mfc.reset();
    KX::StopGdiplus(gdiplus);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const int records = argc > 1 ? _wtoi(argv[1]) : 100;
    const int size = argc > 2 ? _wtoi(argv[2]) : 64;
    const Tavik8SimTest::TempStateFile stateFile;
    const std::wstring& state = stateFile.Path();
    SetEnvironmentVariableW(L"TAVIK8_SIM", state.c_str());
    const TestSystem::TempFile firmwareFile(L"update-screen-benchmark", L".led");
    const std::wstring& firmware = firmwareFile.Path();
    const std::string text = Tavik8Sim::MakeFirmwareText(records, size, 3);
    TestSystem::WriteWholeFile(firmware, text);
    Tavik8Sim::Bytes image;
    Tavik8Sim::DecodeFirmwareText(text, image);

    {
        Device device(state);
        MeasureProgram(device, firmware, image, records);
    }
    {
        Device device(state);
        MeasureRepaint(device, firmware, image);
    }
    return 0;
}
