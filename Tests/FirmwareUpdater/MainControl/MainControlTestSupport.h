// What the update screen's tests with a scripted engine share:
// - StubEngine: an update engine whose states, answers and blocking calls the
//   test sets; it records every call with the cursor the window showed then.
// - StubApplication: the program's application class over that engine, with
//   a clock the test moves, cursors told apart by name, and the status texts
//   it was given.
// - MainControlTest: the scene fixture over the program's own skin and
//   strings, with the application started (and shut down) as the program
//   does it, a root window over a fake OS window with a real GDI+ renderer
//   (off-screen paints saved under screenshots/MainControlTests/), and the
//   screen made from the skin or a variant of it with children taken out or
//   added.
#pragma once

#include "Support/Scenes/SceneFixture.h"

#include "Controls/Button.h"
#include "Controls/Label.h"
#include "Controls/ProgressBar.h"
#include "Engine/UpdateEngineInterface.h"
#include "Engine/UpdateProcessor.h"
#include "UI/Application.h"
#include "UI/MainControl.h"

#include <functional>
#include <string>
#include <vector>

namespace ScreenTest {

using KX::RCPtr;
using KXTest::Text;
using String = KX::StringT<wchar_t, char>;
using Engine = LUpdateEngineInterface;

class StubEngine : public LUpdateEngineInterface
{
public:
    static RCPtr<StubEngine> Make() { return RCPtr<StubEngine>(new StubEngine); }

    // ---- What the test sets ----
    void SetStates(int32_t device, int32_t file, int32_t update)
    {
        mDeviceState.store(device);
        mFirmwareFileState.store(file);
        mUpdateState.store(update);
    }
    void SetDevice(int32_t device) { mDeviceState.store(device); }
    bool updateNeeded = true;
    int32_t errorCode = NoReason;
    KXRESULT deviceVersionResult = S_OK;
    String deviceVersion = L"1.0.3.0";
    KXRESULT fileVersionResult = S_OK;
    String fileVersion = L"1.0.4.4";
    // Run in place of the blocking calls (after they were recorded).
    std::function<void()> onEnterUpdateMode;
    std::function<KXRESULT()> onRefresh;
    // Asked for the cursor's name at every call.
    std::function<std::wstring()> cursorProbe;

    // ---- What happened ----
    struct Call
    {
        std::string name;
        std::wstring cursor;
    };
    std::vector<Call> calls;
    int Count(const std::string& name) const;
    // The names of the calls in order, joined by blanks.
    std::string Names() const;

    // ---- The engine ----
    KXRESULT Initialize(const String& commandLine) override;
    KXRESULT SetDeviceDefinitions(const KX::IArray<DeviceDefinition>& definitions) override;
    KXRESULT Rescan() override;
    KXRESULT SelectDevice(uint32_t index) override;
    KXRESULT GetSelectedDeviceErrorCode(int32_t& code) override;
    KXRESULT GetDeviceVersionText(String& text) override;
    KXRESULT RefreshSelectedDevice() override;
    KXRESULT EnterUpdateMode() override { return E_NOTIMPL; }
    KXRESULT RequestEnterUpdateMode() override;
    bool IsUpdateNeeded() override { return updateNeeded; }
    KXRESULT StartUpdate() override;
    // Never waits: a silent run's wait would show here.
    KXRESULT WaitForUpdate(uint32_t) override
    {
        Record("WaitForUpdate");
        return E_FAIL;
    }
    KXRESULT Abort() override;
    KXRESULT SetFirmwareFile(const String& path) override;
    KXRESULT GetFirmwareFileVersionText(String& text) const override;
    KXRESULT ScanDevices() override { return S_OK; }
    uint32_t GetFoundDeviceCount() const override { return 1; }
    bool IsFoundDeviceInUpdateMode(uint32_t) const override { return false; }
    KXRESULT GetFoundDeviceErrorCode(uint32_t, int32_t& code) const override;
    KXRESULT GetFoundDeviceVersion(uint32_t, FirmwareVersion&) const override { return S_OK; }
    KXRESULT UpdateFirmware() override { return S_OK; }

    std::vector<uint32_t> selectedIndices;
    std::vector<String> firmwareFiles;

protected:
    StubEngine() = default;
    ~StubEngine() override = default;

private:
    void Record(const char* name);
};

class StubApplication : public LApplication
{
public:
    static RCPtr<StubApplication> Make(const RCPtr<KX::LControlFactory>& factory,
                                       const RCPtr<KX::LStringTable>& strings, const String& commandLine,
                                       const RCPtr<StubEngine>& engine)
    {
        return RCPtr<StubApplication>(new StubApplication(factory, strings, commandLine, engine));
    }

    uint32_t GetTicks() override { return mTicks; }
    double GetElapsedTime() override { return mTicks / 1000.0; }
    // Cursors told apart by name (CursorName).
    HCURSOR GetCursor(const String& name) override { return mCursors.Get(name); }
    std::wstring CursorName(HCURSOR cursor) const { return mCursors.NameOf(cursor); }
    KX::KXRESULT SetStatusText(const String& text, bool immediately) override;
    KX::KXRESULT ResetStatusText(bool immediately) override;
    int32_t GetSettingsFile(int32_t) override { return 0; }

    // The clock the screen reads, as the scene fixture moves it.
    uint32_t mTicks = 1000;
    KXTest::NamedCursors mCursors;
    std::vector<std::wstring> statusTexts; // "(reset)" for a reset
    std::wstring statusText;

protected:
    StubApplication(const RCPtr<KX::LControlFactory>& factory, const RCPtr<KX::LStringTable>& strings,
                    const String& commandLine, const RCPtr<StubEngine>& engine)
        : LApplication(factory, strings, commandLine), mEngine(engine)
    {
    }
    KX::KXRESULT CreateUpdateProcessor(RCPtr<LUpdateProcessor>& processor) override
    {
        return LUpdateProcessor::Create(processor, RCPtr<Engine>(mEngine.Get()));
    }

private:
    RCPtr<StubEngine> mEngine;
};

// The names of the screen's children that a display shows, by group.
extern const std::vector<std::wstring> kScreenControls;

class MainControlTest : public KXTest::SceneFixture<StubApplication>
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the application with the command line (the engine's states as
    // the test set them) as the program starts it, and opens the window.
    void Start(const wchar_t* commandLine = L"FirmwareUpdater.exe");
    // The screen made from the program's skin; a variant leaves out the
    // named children and adds the optional ones named in `added` (copies of
    // a button or label of the skin).
    RCPtr<KX::LMainControl> OpenScreen();
    RCPtr<KX::LMainControl> OpenVariant(const std::vector<std::wstring>& removed,
                                        const std::vector<std::wstring>& added);
    // Creates the variant without a window (for failures of creation).
    void CreateVariant(const std::vector<std::wstring>& removed);

    RCPtr<KX::LControl> Child(const wchar_t* name) const;
    std::wstring TextOf(const wchar_t* name) const;
    bool Visible(const wchar_t* name) const;
    // The children among kScreenControls (and optional ones present) that
    // are visible now, joined by blanks in that order.
    std::wstring VisibleControls() const;
    // The text of a string of the child's own table.
    std::wstring StringOf(const wchar_t* name, const wchar_t* id) const;

    // Notifications as the engine posts them, delivered by an idle pass
    // (IdlePass).
    void PostDeviceState(int32_t state, int32_t previous);
    void PostFileState(int32_t state, int32_t previous);
    void PostProgress(double progress, bool autoEstimate = true, int32_t seconds = -1);
    void PostCompleted(bool success);

    // A click in the middle of the button as the OS window delivers it,
    // then a second of the clock, so that the next click is no double click.
    void ClickButton(const wchar_t* name);

    RCPtr<StubEngine> engine;
    RCPtr<KX::LMainControl> screen;
};

// Steps the application clock instead of sleeping (the wait after a transfer).
void AdvanceClock(uint32_t milliseconds);

} // namespace ScreenTest
