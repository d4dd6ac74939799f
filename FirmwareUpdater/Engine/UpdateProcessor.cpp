#include "Engine/UpdateProcessor.h"

#include "Application/FrameworkApp.h"
#include "Application/ProgramGlobals.h"
#include "Engine/UpdateEngineInterface.h"
#include "ObjectBase/Exception.h"
#include "Utilities/Storage/Array.h"

#include <algorithm>

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

LUpdateProcessor::~LUpdateProcessor()
{
    Shutdown();
}

bool LUpdateProcessor::Shutdown()
{
    if (mShutDown || !mEngine)
        return true;
    mShutDown = true;
    if (mEngine->StopWorker(LUpdateEngineInterface::kWorkerStopMilliseconds))
        return true;
    // The transfer still runs: its engine, MIDI component and ports stay
    // alive, held by a reference that is never given back.
    mEngine->AddRef();
    return false;
}

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

KX::KXRESULT LUpdateProcessor::ChooseFirmwareFile(const String& path)
{
    const KX::KXRESULT result = mEngine->SetFirmwareFile(path);
    // A file refused because an image is being sent was never the engine's.
    if (result != LUpdateEngineInterface::kRefusedWhileUpdating)
        mChosenFirmwareFile = path;
    return result;
}

KX::KXRESULT LUpdateProcessor::Reinitialize()
{
    return Initialize(mCommandLine, true);
}

KX::KXRESULT LUpdateProcessor::ReinitializeInteractively()
{
    return Initialize(mCommandLine, false);
}

KX::KXRESULT LUpdateProcessor::Initialize(const String& commandLine)
{
    return Initialize(commandLine, true);
}

KX::KXRESULT LUpdateProcessor::Initialize(const String& commandLine, bool waitForSilentUpdate)
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

    // The file is judged again also for a device in error: an update that
    // failed because the file could no longer be sent whole must not be
    // offered again for it once the device is found.
    const String path =
        mChosenFirmwareFile.IsEmpty() ? FirmwareFilePath(mCommandLine, GetProgramFolder()) : mChosenFirmwareFile;
    if (!path.IsEmpty())
        mEngine->SetFirmwareFile(path);

    if (mEngine->GetDeviceState() == LUpdateEngineInterface::DeviceError)
        return initialized;

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

    if (silent && !waitForSilentUpdate)
        return S_OK;
    if (silent) {
        // StartUpdate marks the update running before the worker starts, so
        // this waits for the transfer just started (and returns at once when
        // none was). A transfer given up here is stopped at shut-down.
        WaitForSilentUpdate();
        return kQuitWithoutWindow;
    }
    return S_OK;
}

KX::KXRESULT LUpdateProcessor::WaitForSilentUpdate()
{
    // A large image takes longer than any fixed limit; only a transfer that
    // has stopped making progress is given up. The time is counted in waits
    // that ran out, each a whole slice long.
    const uint32_t slice = std::max<uint32_t>(1, std::min(kSilentProgressCheckMs, mSilentTimeLimit));
    uint32_t acknowledged = mEngine->GetAcknowledgedRecordCount();
    uint64_t withoutProgress = 0;
    while (mEngine->WaitForUpdate(slice) < 0) {
        const uint32_t now = mEngine->GetAcknowledgedRecordCount();
        if (now != acknowledged) {
            acknowledged = now;
            withoutProgress = 0;
            continue;
        }
        withoutProgress += slice;
        if (withoutProgress >= mSilentTimeLimit)
            return E_FAIL;
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
