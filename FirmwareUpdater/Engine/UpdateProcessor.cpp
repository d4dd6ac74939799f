#include "Engine/UpdateProcessor.h"

#include "Application/FrameworkApp.h"
#include "Application/ProgramGlobals.h"
#include "Engine/UpdateEngineInterface.h"
#include "ObjectBase/Exception.h"
#include "Utilities/Storage/Array.h"

namespace {

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

    if (mEngine->GetDeviceState() == LUpdateEngineInterface::DeviceError)
        return initialized;

    const String path = FirmwareFilePath(mCommandLine, GetProgramFolder());
    if (!path.IsEmpty())
        mEngine->SetFirmwareFile(path);

    if (mEngine->GetDeviceState() == LUpdateEngineInterface::NoDeviceDefined) {
        KX::Array<LUpdateEngineInterface::DeviceDefinition> definitions;
        definitions.AddItem(DefaultDeviceDefinition());
        mEngine->SetDeviceDefinitions(definitions);
    }
    if (mEngine->GetDeviceState() == LUpdateEngineInterface::NoDeviceFound)
        mEngine->Rescan();

    const int32_t deviceState = mEngine->GetDeviceState();
    if (FindCommandLineOption(mCommandLine, L"-RETURN_UPDATE_MODE_STATUS", value)) {
        int32_t exitCode = 0;
        if (StatusExitCode(deviceState, mEngine->IsUpdateNeeded(), exitCode))
            KX::SetProgramExitCode(exitCode);
        return kQuitWithoutWindow;
    }

    if (deviceState <= LUpdateEngineInterface::DeviceError ||
        mEngine->GetFirmwareFileState() != LUpdateEngineInterface::FileFoundVersionKnown)
        return S_OK;

    const bool updateWanted = mEngine->IsUpdateNeeded() || mAlwaysUpdate;
    if (!updateWanted && FindCommandLineOption(mCommandLine, L"-SILENT_IF_UPDATE_NOT_NEEDED", value))
        return kQuitWithoutWindow;

    const bool silent = FindCommandLineOption(mCommandLine, L"-SILENT", value);
    const bool startAutomatically = FindCommandLineOption(mCommandLine, L"-START_UPDATE_AUTOMATICALLY", value);
    if (updateWanted && (silent || startAutomatically)) {
        // A device in normal mode only gets the mode change here: it must be
        // switched off and on before it shows up in update mode.
        if (deviceState == LUpdateEngineInterface::NotInUpdateMode) {
            mEngine->RequestEnterUpdateMode();
            if (mEngine->GetDeviceState() == LUpdateEngineInterface::InUpdateMode)
                mEngine->StartUpdate();
        } else {
            mEngine->StartUpdate();
        }
    }

    if (silent) {
        // StartUpdate marks the update running before the worker starts, so
        // this waits for the transfer just started (and returns at once when
        // none was).
        mEngine->WaitForUpdate(kSilentUpdateTimeoutMs);
        return kQuitWithoutWindow;
    }
    return S_OK;
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
