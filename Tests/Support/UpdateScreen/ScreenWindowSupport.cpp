#include "ScreenWindowSupport.h"

#include "Application/ApplicationFolders.h"
#include "Application/ProgramGlobals.h"
#include "Controls/MainMenu.h"
#include "Controls/MenuDescriptor.h"
#include "Controls/PopupMenu.h"
#include "Notification/NotificationCenterManager.h"
#include "Renderer/Renderer.h"

#include "Support/Windows/Screenshots.h"

namespace ScreenWindowTest {

std::wstring Text(const String& text)
{
    return text.GetData() ? std::wstring(text.GetData()) : std::wstring();
}

namespace {

DWORD sLastClick = 0;

} // namespace

// ---- Device ----

Device::Device()
{
    SetEnvironmentVariableW(L"TAVIK8_SIM", mState.Path().c_str());
    Reset(Tavik8Sim::Mode::Normal, "1.0.3.0");
}

Device::~Device()
{
    SetEnvironmentVariableW(L"TAVIK8_SIM", nullptr);
}

void Device::Do(const std::function<void(Tavik8Sim::DeviceModel&, Tavik8Sim::TimeUs)>& step)
{
    Tavik8SimTest::ChangeDevice(mStore, step);
}

void Device::Set(const char* key, const std::string& value)
{
    Do([&](Tavik8Sim::DeviceModel& m, Tavik8Sim::TimeUs now) { EXPECT_EQ("", m.Set(now, key, value)) << key; });
}

void Device::Reset(Tavik8Sim::Mode mode, const char* version)
{
    Do([&](Tavik8Sim::DeviceModel& m, Tavik8Sim::TimeUs now) {
        m.Reset(now, mode, version);
        // Quick replies: the tests wait for the screen, not for the device.
        m.Set(now, "ack_latency_ms", "0");
    });
}

void Device::PowerCycle()
{
    Do([](Tavik8Sim::DeviceModel& m, Tavik8Sim::TimeUs now) { m.PowerCycle(now); });
}

Tavik8Sim::DeviceState Device::State()
{
    return mStore.Read();
}

int64_t Device::Counter(const char* name)
{
    const Tavik8Sim::DeviceState state = State();
    const auto found = state.counters.find(name);
    return found == state.counters.end() ? 0 : found->second;
}

std::wstring Device::WriteFirmware(const wchar_t* name, int records, int size, uint32_t seed)
{
    return mFiles.WriteFile(name, Tavik8Sim::MakeFirmwareText(records, size, seed));
}

void Device::ExpectImage(const std::wstring& file)
{
    Tavik8Sim::Bytes image;
    ASSERT_TRUE(Tavik8Sim::DecodeFirmwareText(TestSystem::ReadWholeFile(file), image));
    Do([&](Tavik8Sim::DeviceModel& m, Tavik8Sim::TimeUs now) {
        m.ExpectImage(now, std::string(file.begin(), file.end()), image);
    });
}

// ---- The window ----

void ScreenWindowTestBase::SetUp()
{
    KX::StartGdiplus(mGdiplusToken);
    mMfcApp = std::make_unique<KX::MFCFrameworkApp<LApplication>>();
    ASSERT_TRUE(AfxWinInit(GetModuleHandleW(nullptr), nullptr, nullptr, SW_SHOW));
    mMfcApp->SetRegistryKey(L"Ostrel Test/Screen");
    KX::SetModuleInstance(GetModuleHandleW(nullptr));
    mDevice = std::make_unique<Device>();
    mFirmware = mDevice->WriteFirmware(L"ZTSeries8.led", 16, 24, 7);
    mDevice->ExpectImage(mFirmware);
    KX::LMainControl::SetPauseFunction(nullptr);
}

void ScreenWindowTestBase::TearDown()
{
    KX::LMainControl::SetPauseFunction(nullptr);
    mScreen = nullptr;
    if (mApp) {
        for (int32_t i = mApp->GetRootWindowCount() - 1; i >= 0; --i) {
            const RCPtr<KX::LRootWindow> window = mApp->GetRootWindow(i);
            if (window && window->GetOSServices() && IsWindow(window->GetOSServices()->GetHandle()))
                DestroyWindow(window->GetOSServices()->GetHandle());
        }
        mApp->Shutdown();
        KX::MFCFrameworkApp<LApplication>::sApplication = RCPtr<LApplication>();
        mApp = nullptr;
    }
    TestScreen::DiscardMessages();
    RegDeleteKeyW(HKEY_CURRENT_USER,
                  mMfcApp->GetSectionKeyPath(LApplication::GetUniqueAppName().GetData()).c_str());
    mMfcApp.reset();
    AfxWinTerm();
    KX::LNotificationCenterManager::sInstance = nullptr;
    mDevice.reset();
    KX::StopGdiplus(mGdiplusToken);
}

void ScreenWindowTestBase::Open(const std::wstring& arguments, int32_t rendererType)
{
    RCPtr<KX::LControlFactory> factory = KX::LControlFactory::Create(L"TAVIK8 Updater");
    ASSERT_EQ(S_OK, factory->LoadResources(L"::", 0x0409));
    RCPtr<KX::LStringTable> strings;
    factory->GetFrameworkStringTable(strings);
    const std::wstring commandLine = L"FirmwareUpdater.exe " + arguments;
    LApplication::Create(mApp, factory, strings, String(commandLine.c_str()));
    KX::MFCFrameworkApp<LApplication>::sApplication = mApp;
    ASSERT_EQ(S_OK, mApp->RunApplicationStartup()) << "the run needs no window";

    // As Run does it, with the renderer asked for.
    if (rendererType == kProgramRenderer)
        rendererType = mApp->GetRendererType();
    ASSERT_EQ(S_OK, mApp->CreateMainWindow(rendererType));
    const RCPtr<KX::LRootWindow> root = mApp->GetRootWindow(0);
    ASSERT_TRUE(root);
    ASSERT_TRUE(root->GetRenderer());
    ASSERT_EQ(rendererType, root->GetRenderer()->GetRendererType());
    String name;
    mApp->GetMainControlName(name);
    ASSERT_EQ(S_OK, root->SetRootControl(name));
    mApp->FitMainWindowToRootControl();
    mScreen = RCPtr<KX::LMainControl>::DynamicCast(root->GetRootControl());
    ASSERT_TRUE(mScreen);
    KX::OSWindow* window = mApp->GetMainOSWindow();
    ASSERT_TRUE(window);
    window->ShowWindow(SW_SHOW);
    window->UpdateWindow();
    mWindow = window->m_hWnd;
    TestScreen::Activate(mWindow);
    ASSERT_TRUE(LoopUntil([this]() { return TestScreen::IsInFront(mWindow); }));
    // What start-up posted (the engine's first states) is shown.
    LoopUntil([]() { return false; }, 200);
}

RCPtr<KX::LControl> ScreenWindowTestBase::Child(const wchar_t* name) const
{
    return mScreen ? mScreen->FindChild(String(name)) : RCPtr<KX::LControl>();
}

std::wstring ScreenWindowTestBase::TextOf(const wchar_t* name) const
{
    const RCPtr<KX::LControl> child = Child(name);
    return child ? Text(child->GetText()) : L"(missing)";
}

bool ScreenWindowTestBase::Shows(const wchar_t* name) const
{
    const RCPtr<KX::LControl> child = Child(name);
    return child && child->IsVisible(true);
}

POINT ScreenWindowTestBase::ScreenMiddle(const RCPtr<KX::LControl>& control) const
{
    const KX::PointT<double> origin = control->GetRootPosition();
    POINT point{static_cast<LONG>(origin.x + control->GetRect().width / 2),
                static_cast<LONG>(origin.y + control->GetRect().height / 2)};
    ClientToScreen(mWindow, &point);
    return point;
}

void ScreenWindowTestBase::ClickAt(const POINT& point)
{
    // Two clicks at one place within the double-click time would pair.
    const DWORD pairing = GetDoubleClickTime() + 50;
    LoopUntil([pairing]() { return GetTickCount() - sLastClick > pairing; }, pairing + 100);
    TestScreen::Click(point.x, point.y);
    sLastClick = GetTickCount();
}

void ScreenWindowTestBase::Click(const wchar_t* name)
{
    const RCPtr<KX::LControl> control = Child(name);
    ASSERT_TRUE(control) << name;
    ASSERT_TRUE(control->IsVisible(true)) << name << L" is not shown";
    ClickAt(ScreenMiddle(control));
    // The press and the release went through the window (and whatever the
    // click started, which may block, has run).
    LoopUntil([this]() { return GetAsyncKeyState(VK_LBUTTON) >= 0; }, 2000);
    LoopUntil([]() { return false; }, 100);
}

bool ScreenWindowTestBase::LoopUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    return TestScreen::LoopUntil(
        condition, [this](LONG count) { return mMfcApp->OnIdle(count) != FALSE; }, mQuitSeen, timeoutMs);
}

bool ScreenWindowTestBase::LoopUntilText(const wchar_t* label, const std::wstring& text, DWORD timeoutMs)
{
    const bool shown = LoopUntil([&]() { return TextOf(label) == text; }, timeoutMs);
    EXPECT_EQ(text, TextOf(label)) << label;
    return shown;
}

void ScreenWindowTestBase::Screenshot(const std::wstring& name)
{
    // What the last changes invalidated is painted first.
    LoopUntil([]() { return false; }, 60);
    wchar_t number[8];
    _snwprintf(number, 8, L"%02d_", ++mShot);
    number[7] = 0;
    const std::string test = TestScreen::CurrentTestName();
    TestScreen::SaveWindowScreenshot(mWindow, L"ScreenWindowTests\\" + std::wstring(test.begin(), test.end()),
                                     number + name);
}

int32_t ScreenWindowTestBase::DeviceState() const
{
    const RCPtr<Engine> engine = mApp ? mApp->GetUpdateProcessor()->GetUpdateEngine() : RCPtr<Engine>();
    return engine ? engine->GetDeviceState() : -1;
}

OpenDialogAnswer* OpenDialogAnswer::sCurrent = nullptr;

OpenDialogAnswer::OpenDialogAnswer(std::wstring file)
    : mFile(std::move(file)), mOuter(sCurrent), mPrevious(KX::LFileDialog::SetOpenFunction(Answer))
{
    sCurrent = this;
}

OpenDialogAnswer::~OpenDialogAnswer()
{
    sCurrent = mOuter;
    KX::LFileDialog::SetOpenFunction(mPrevious);
}

BOOL WINAPI OpenDialogAnswer::Answer(OPENFILENAMEW* record)
{
    ++sCurrent->mShown;
    wcsncpy(record->lpstrFile, sCurrent->mFile.c_str(), record->nMaxFile);
    return TRUE;
}

RCPtr<KX::LComboMenu> ScreenWindowTestBase::FileTitle() const
{
    const RCPtr<KX::LMainMenu> bar = RCPtr<KX::LMainMenu>::DynamicCast(Child(L"mainMenu"));
    EXPECT_TRUE(bar && bar->IsVisible(true));
    const RCPtr<KX::LComboMenu> file = bar ? bar->GetTitle(0) : RCPtr<KX::LComboMenu>();
    EXPECT_TRUE(file);
    if (file) {
        EXPECT_EQ(L"File", Text(file->GetText()));
    }
    return file;
}

RCPtr<KX::LMenuListBoxItem> ScreenWindowTestBase::OpenFileMenu()
{
    const RCPtr<KX::LComboMenu> file = FileTitle();
    if (!file)
        return RCPtr<KX::LMenuListBoxItem>();
    ClickAt(ScreenMiddle(RCPtr<KX::LControl>(file.Get())));
    const RCPtr<KX::LPopupMenu> popup = file->GetPopupMenu();
    EXPECT_TRUE(LoopUntil([&]() { return popup && popup->IsVisible(true) && popup->GetMenuRow(0); }, 30000));
    const RCPtr<KX::LMenuListBoxItem> row = popup ? popup->GetMenuRow(0) : RCPtr<KX::LMenuListBoxItem>();
    EXPECT_TRUE(row);
    if (row) {
        EXPECT_EQ(L"Select Firmware File", Text(row->GetText()));
    }
    return row;
}

void ScreenWindowTestBase::ChooseThroughFileMenu(const std::wstring& file)
{
    OpenDialogAnswer answer(file);
    const RCPtr<KX::LMenuListBoxItem> row = OpenFileMenu();
    ASSERT_TRUE(row);
    ASSERT_TRUE(row->IsEnabled(false));
    ClickAt(ScreenMiddle(RCPtr<KX::LControl>(row.Get())));
    ASSERT_TRUE(LoopUntil([&]() { return answer.Shown() == 1; }, 30000));
    // What the chosen file changed is shown.
    LoopUntil([]() { return false; }, 100);
}

} // namespace ScreenWindowTest
