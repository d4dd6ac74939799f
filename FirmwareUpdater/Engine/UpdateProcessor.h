// LUpdateProcessor: owns the update engine and carries out the command line.
//
// Start-up creates it and calls Initialize with the command line before any
// window exists. Initialize prepares the engine (device definitions, firmware
// file, first scan) and decides from the options whether the run needs the
// update screen: 0 when it does, kQuitWithoutWindow when the command line's
// work is done and the program must end without a window.
//
// Options, matched in an upper-cased copy of the command line (so in any
// case and order); only the first occurrence of an option's text counts:
//   -ALWAYS_UPDATE                  update even when the device is up to date
//                                   (read when the command line is stored)
//   -ABSOLUTE_FIRMWARE_FILE_PATH=P  the firmware file's full path
//   -FIRMWARE_IMAGE_NAME=N          a file in the program's folder instead of
//                                   "ZTSeries8.led" (not with the path above)
//   -RETURN_UPDATE_MODE_STATUS      set the exit code from the device state
//                                   (see StatusExitCode) and end
//   -SILENT_IF_UPDATE_NOT_NEEDED    end when no update is needed
//   -SILENT                         start a needed update, wait for it, end
//   -START_UPDATE_AUTOMATICALLY     start a needed update, then open the window
// A value runs to the next blank, or is written in double quotes (used
// without them), so that a path with blanks can be given.
//
// Every Initialize sets the firmware file again, before anything else that
// depends on it (also for a device in error, whose failed update may have
// been the file's), so that the update is offered only for a file that can
// be sent whole now. A file chosen on the update screen (ChooseFirmwareFile)
// takes the place of the command line's from then on.
//
// User-interface thread only. Initialize blocks for the scan, a mode change
// and, with -SILENT, the whole transfer: as long as it makes progress (the
// device acknowledges records), and at most 600000 ms without any.
#pragma once

#include "ObjectBase/RCPtr.h"
#include "ObjectBase/RefCountedObject.h"
#include "ObjectBase/ResultCodes.h"
#include "Utilities/Storage/StringT.h"

#include <cstdint>

class LUpdateEngineInterface;

class LUpdateProcessor : public virtual KX::LRefCountedObject
{
public:
    using String = KX::StringT<wchar_t, char>;

    // Initialize's answer when the run ends without a window.
    static constexpr KX::KXRESULT kQuitWithoutWindow = KX::KXQUIT_UNATTENDED_DONE;
    // How long a silent run waits for a transfer that makes no progress (no
    // record acknowledged); a transfer in progress is waited for to its end.
    static constexpr uint32_t kSilentUpdateTimeoutMs = 600000;
    // How often the silent run looks at the transfer's progress.
    static constexpr uint32_t kSilentProgressCheckMs = 1000;
    // The firmware file looked for in the program's folder by default.
    static constexpr const wchar_t* kDefaultFirmwareFileName = L"ZTSeries8.led";

    // A new processor with a new engine (not yet initialised).
    static KX::KXRESULT Create(KX::RCPtr<LUpdateProcessor>& processor);
    // The same over a given engine (tests hand in their own).
    static KX::KXRESULT Create(KX::RCPtr<LUpdateProcessor>& processor,
                               const KX::RCPtr<LUpdateEngineInterface>& engine);

    // See the class comment. Throws KX::Exception<KX::FailedResultException>
    // when the engine cannot be initialised.
    KX::KXRESULT Initialize(const String& commandLine);
    // Initialize with the stored command line.
    KX::KXRESULT Reinitialize();
    // The same for the update screen's restart: an update the options ask
    // for is started, but "-SILENT" does not wait for it (the screen shows
    // its progress, and stays responsive); the answer is then 0.
    KX::KXRESULT ReinitializeInteractively();

    // Before the program ends: stops a running transfer and the engine's
    // worker thread (waiting at most the engine's bounded wait). When the
    // thread does not end in that time, the engine and everything it uses are
    // kept to the end of the process rather than freed under it. The
    // destructor does the same. True when the worker has ended.
    bool Shutdown();

    // The silent run's limit of time without progress (tests shorten it).
    void SetSilentTimeLimit(uint32_t milliseconds) { mSilentTimeLimit = milliseconds; }
    uint32_t GetSilentTimeLimit() const { return mSilentTimeLimit; }

    // The firmware file the user chose on the update screen: the engine
    // takes it now, and every later Initialize (RESTART) sets it again in
    // place of the file the command line names. The engine's answer; while
    // an image is sent the engine refuses it and it is not kept.
    KX::KXRESULT ChooseFirmwareFile(const String& path);
    // Empty until a file was chosen.
    const String& GetChosenFirmwareFile() const { return mChosenFirmwareFile; }

    bool GetAlwaysUpdate() const { return mAlwaysUpdate; }
    // 1 when unchanged, else 0.
    KX::KXRESULT SetAlwaysUpdate(bool alwaysUpdate);
    const KX::RCPtr<LUpdateEngineInterface>& GetUpdateEngine() const { return mEngine; }
    const String& GetStoredCommandLine() const { return mCommandLine; }

    // Looks the option up in the command line (see the class comment). A
    // value-taking option ends in '='; its value comes out in the command
    // line's own case. False, with an empty value, when the option is absent,
    // is no option ('-' and at least one more character), is a flag glued to
    // further text ("-SILENTLY"), or takes a value but is followed by a blank.
    static bool FindCommandLineOption(const String& commandLine, const wchar_t* option, String& value);

    // The exit code that -RETURN_UPDATE_MODE_STATUS reports for a device
    // state: 1 no device found, 2/3 in update mode, 4/5 in normal mode (the
    // higher one when an update is needed); false for every other state,
    // which leaves the exit code as it is.
    static bool StatusExitCode(int32_t deviceState, bool updateNeeded, int32_t& exitCode);

    // The firmware file a command line names: the absolute path when given,
    // else the program's folder, '\' and the image name or the default one.
    static String FirmwareFilePath(const String& commandLine, const String& programFolder);

protected:
    explicit LUpdateProcessor(const KX::RCPtr<LUpdateEngineInterface>& engine);
    ~LUpdateProcessor() override;

private:
    // Initialize; waitForSilentUpdate false leaves a "-SILENT" update running.
    KX::KXRESULT Initialize(const String& commandLine, bool waitForSilentUpdate);
    // The program's folder: the application's folder 0, or the folder of the
    // program file when there is no application object.
    static String GetProgramFolder();
    // Waits for the transfer while it makes progress, and gives up once it
    // has made none for the silent time limit. S_OK when it ended, else E_FAIL.
    KX::KXRESULT WaitForSilentUpdate();

    String mCommandLine;
    String mChosenFirmwareFile;
    KX::RCPtr<LUpdateEngineInterface> mEngine;
    bool mAlwaysUpdate = false;
    bool mShutDown = false;
    uint32_t mSilentTimeLimit = kSilentUpdateTimeoutMs;
};
