// LApplication: the updater's application object. The shell creates it when
// start-up reaches Run and asks it for what is particular to this program:
// the skin's main control, the settings files and their version, its own
// cursors, the renderer, and whether the program may exit now. It owns the
// update processor (and through it the update engine).
//
// User-interface thread only.
#pragma once

#include "Application/ApplicationBaseWin.h"
#include "Engine/UpdateProcessor.h"

#include <cstdint>

class LApplication : public KX::LApplicationBase<LApplication>
{
public:
    using Base = KX::LApplicationBase<LApplication>;

    // The settings files' names and the version their contents follow.
    static constexpr const wchar_t* kAppSettingsFileName = L"AppSettings.ini";
    static constexpr const wchar_t* kUserSettingsFileName = L"UserSettings.ini";
    static constexpr const wchar_t* kSettingsVersion = L"1_0_0";
    // The name the status bar has in a skin that gives the program one.
    static constexpr const wchar_t* kStatusBarName = L"statusBar";

    // A new application object; no processor yet, no settings file open.
    static KX::KXRESULT Create(KX::RCPtr<LApplication>& application, const KX::RCPtr<KX::LControlFactory>& factory,
                               const KX::RCPtr<KX::LStringTable>& frameworkStrings, const String& commandLine);

    // The processor; null before RunApplicationStartup.
    const KX::RCPtr<LUpdateProcessor>& GetUpdateProcessor() const { return mUpdateProcessor; }

    KX::KXRESULT GetSettingsVersion(String& version) override;
    KX::KXRESULT GetMainControlName(String& name) override;
    // The drop cursors 102 and 103 of the program's resources, no cursor for
    // the split, rotate and magnifier names, the system cursors otherwise.
    HCURSOR GetCursor(const String& name) override;
    // Handle of "AppSettings.ini" (0, common application data) or
    // "UserSettings.ini" (1, local application data), each opened once; 0
    // for other identifiers or while the file cannot be opened (tried again
    // at the next call).
    int32_t GetSettingsFile(int32_t fileId) override;
    int32_t GetRendererType() override { return KX::RendererGdiPlus; }
    // The status bar "statusBar" among the direct children of root window
    // 0's top control; null without root window, top control or such a
    // status bar (the program's own skin has none).
    KX::RCPtr<KX::LStatusBar> GetStatusBar() override;
    // The framework's start-up, the update screen's control type, then the
    // processor with the command line; its result decides whether the
    // window opens.
    KX::KXRESULT RunApplicationStartup() override;
    // False while an update runs: the update screen's answer when it is the
    // main window's control, else whether the engine's device state is
    // Updating.
    bool CanExit() override;
    // Stops a running transfer and the engine's worker first (see
    // LUpdateProcessor::Shutdown), then the framework's shut-down.
    KX::KXRESULT Shutdown() override;

    // The path a settings file is opened under.
    KX::KXRESULT GetSettingsFilePath(int32_t fileId, String& path);

protected:
    LApplication(const KX::RCPtr<KX::LControlFactory>& factory, const KX::RCPtr<KX::LStringTable>& frameworkStrings,
                 const String& commandLine);
    ~LApplication() override;

    // The processor that start-up initialises with the command line; one
    // over a new engine (tests make theirs over an engine of their own).
    virtual KX::KXRESULT CreateUpdateProcessor(KX::RCPtr<LUpdateProcessor>& processor);

private:
    KX::RCPtr<LUpdateProcessor> mUpdateProcessor;
    int32_t mAppSettingsHandle = 0;
    int32_t mUserSettingsHandle = 0;
};
