#include "Engine/UpdateProcessor.h"

#include "Application/FrameworkApp.h"
#include "Application/ProgramGlobals.h"
#include "Engine/UpdateEngineInterface.h"
#include "ObjectBase/Exception.h"
#include "Utilities/Storage/Array.h"

namespace {

// Device states of the engine, as the command line reads them.
constexpr int32_t kNoDeviceDefined = 0;
constexpr int32_t kNoDeviceFound = 1;
constexpr int32_t kDeviceError = 4;
constexpr int32_t kNotInUpdateMode = 5;
constexpr int32_t kUpdating = 8;
constexpr int32_t kFileFoundVersionKnown = 3;
constexpr int32_t kUpdateIdle = 0;

// The device this program updates, by the names of its MIDI ports.
LUpdateEngineInterface::DeviceDefinition DefaultDeviceDefinition()
{
    LUpdateEngineInterface::DeviceDefinition definition;
    definition.mNormalModeInputPort = L"Tavik 8";
    definition.mNormalModeOutputPort = L"Tavik 8";
    definition.mUpdateModeInputPort = L"Tavik Updater";
    definition.mUpdateModeOutputPort = L"Tavik Updater";
    return definition;
}

} // namespace

LUpdateProcessor::LUpdateProcessor(const KX::RCPtr<LUpdateEngineInterface>& engine) : mEngine(engine) {}

LUpdateProcessor::~LUpdateProcessor() = default;

KX::KXRESULT LUpdateProcessor::Create(KX::RCPtr<LUpdateProcessor>& processor)
{
    KX::RCPtr<LUpdateEngineInterface> engine = LUpdateEngineInterface::Create();
    if (!engine)
        return E_OUTOFMEMORY;
    return Create(processor, engine);
}

KX::KXRESULT LUpdateProcessor::Create(KX::RCPtr<LUpdateProcessor>& processor,
                                      const KX::RCPtr<LUpdateEngineInterface>& engine)
{
    processor = KX::RCPtr<LUpdateProcessor>(new LUpdateProcessor(engine));
    return S_OK;
}

KX::KXRESULT LUpdateProcessor::SetAlwaysUpdate(bool alwaysUpdate)
{
    if (alwaysUpdate == mAlwaysUpdate)
        return S_FALSE;
    mAlwaysUpdate = alwaysUpdate;
    return S_OK;
}

KX::KXRESULT LUpdateProcessor::Reinitialize()
{
    return Initialize(mCommandLine);
}

KX::KXRESULT LUpdateProcessor::Initialize(const String& commandLine)
{
    String value;
    if (mCommandLine.IsEmpty()) {
        mCommandLine = commandLine;
        if (FindCommandLineOption(mCommandLine, L"-ALWAYS_UPDATE", value))
            mAlwaysUpdate = true;
    }

    const KX::KXRESULT initialized = mEngine->Initialize(commandLine);
    KX_THROW_IF_FAILED(initialized, "LUpdateProcessor::Initialize", "Engine/UpdateProcessor", 53);
    mEngine->GetUpdateState(true);

    if (mEngine->GetDeviceState() == kDeviceError)
        return initialized;

    const String path = FirmwareFilePath(mCommandLine, GetProgramFolder());
    if (!path.IsEmpty())
        mEngine->SetFirmwareFile(path);

    if (mEngine->GetDeviceState() == kNoDeviceDefined) {
        KX::Array<LUpdateEngineInterface::DeviceDefinition> definitions;
        definitions.AddItem(DefaultDeviceDefinition());
        mEngine->SetDeviceDefinitions(definitions);
    }
    if (mEngine->GetDeviceState() == kNoDeviceFound)
        mEngine->Rescan();

    const int32_t deviceState = mEngine->GetDeviceState();
    if (FindCommandLineOption(mCommandLine, L"-RETURN_UPDATE_MODE_STATUS", value)) {
        int32_t exitCode = 0;
        if (StatusExitCode(deviceState, mEngine->IsUpdateNeeded(), exitCode))
            KX::SetProgramExitCode(exitCode);
        return kQuitWithoutWindow;
    }

    if (deviceState <= kDeviceError || mEngine->GetFirmwareFileState() != kFileFoundVersionKnown)
        return S_OK;

    const bool updateWanted = mEngine->IsUpdateNeeded() || mAlwaysUpdate;
    if (!updateWanted && FindCommandLineOption(mCommandLine, L"-SILENT_IF_UPDATE_NOT_NEEDED", value))
        return kQuitWithoutWindow;

    const bool silent = FindCommandLineOption(mCommandLine, L"-SILENT", value);
    const bool startAutomatically = FindCommandLineOption(mCommandLine, L"-START_UPDATE_AUTOMATICALLY", value);
    bool started = false;
    if (updateWanted && (silent || startAutomatically)) {
        // A device in normal mode only gets the mode change here: it must be
        // switched off and on before it shows up in update mode.
        if (deviceState == kNotInUpdateMode) {
            mEngine->RequestEnterUpdateMode();
            if (mEngine->GetDeviceState() == 7)
                started = mEngine->StartUpdate() >= 0;
        } else {
            started = mEngine->StartUpdate() >= 0;
        }
    }

    if (silent) {
        if (started)
            WaitForStartedUpdate(kSilentUpdateTimeoutMs);
        else
            mEngine->WaitForUpdate(kSilentUpdateTimeoutMs);
        return kQuitWithoutWindow;
    }
    return S_OK;
}

void LUpdateProcessor::WaitForStartedUpdate(uint32_t timeoutMs)
{
    // The worker marks the update running only when it starts; until then
    // the device state is already "updating" and the update state still idle.
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return;
        mEngine->WaitForUpdate(static_cast<uint32_t>(deadline - now));
        if (mEngine->GetUpdateState(false) != kUpdateIdle || mEngine->GetDeviceState() != kUpdating)
            return;
        Sleep(5);
    }
}

LUpdateProcessor::String LUpdateProcessor::GetProgramFolder()
{
    String folder;
    if (KX::LFrameworkApp::sInstance) {
        KX::LFrameworkApp::sInstance->GetModuleFolder(folder);
        return folder;
    }
    return KX::GetProgramFileFolder();
}
