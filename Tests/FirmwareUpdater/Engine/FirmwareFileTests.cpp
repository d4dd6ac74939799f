// The firmware file is judged when it is set: a file whose image cannot be
// sent whole (or holds no record) is in the invalid file state at once, so
// that no update is offered, started or asked of the device for it; silent
// runs and the status run follow that state.
#include "EngineTestSupport.h"

#include "Application/ProgramGlobals.h"
#include "Engine/UpdateProcessor.h"

using namespace EngineTest;

namespace {

using Engine = LUpdateEngineInterface;
using Tavik8Sim::Mode;

struct FileCase
{
    const char* name;
    std::string text;
    int32_t state;
};

const FileCase kFiles[] = {
    {"two records", "0003ABCDEF0001FF", Engine::FileFoundVersionKnown},
    {"lower case, a line end after it", "0003abcdef0001ff\r\n", Engine::FileFoundVersionKnown},
    {"the length of an empty record alone", "0000", Engine::FileFoundVersionKnown},
    {"odd length", "0003ABCDEF0001F", Engine::FileInvalid},
    {"not hexadecimal", "0003ABCDEF0001FG", Engine::FileInvalid},
    {"a record past the end", "0003ABCDEF0004FF", Engine::FileInvalid},
    {"half a length", "0003ABCDEF00", Engine::FileInvalid},
    {"empty", "", Engine::FileInvalid},
    {"line ends alone", "\r\n", Engine::FileInvalid},
    {"plain text", "not even firmware", Engine::FileInvalid},
};

class FirmwareFileTest : public EngineFixture
{
protected:
    void TearDown() override
    {
        if (processor)
            processor->Shutdown();
        processor = nullptr;
        EngineFixture::TearDown();
    }

    // A run of the processor with that command line after the program's name
    // and the file's path.
    KXRESULT Run(const wchar_t* options, const TempFile& file)
    {
        processor = nullptr;
        LUpdateProcessor::Create(processor, RCPtr<LUpdateEngineInterface>(engine.Get()));
        return processor->Initialize(String(L"prog.exe ") + String(options) +
                                     String(L" -ABSOLUTE_FIRMWARE_FILE_PATH=") + String(file.Path().c_str()));
    }

    RCPtr<LUpdateProcessor> processor;
};

TEST_F(FirmwareFileTest, TheFileStateSaysWhetherTheWholeImageCanBeSent)
{
    device.Reset(Mode::Normal);
    FindDevice(Engine::NotInUpdateMode);
    for (const FileCase& c : kFiles) {
        SCOPED_TRACE(c.name);
        // From a known other state, so that every case posts its change.
        engine->SetFirmwareFileState(Engine::NoFileDefined);
        posted->Clear();
        TempFile file(c.text);
        const bool valid = c.state == Engine::FileFoundVersionKnown;
        EXPECT_EQ(valid ? S_OK : E_FAIL, engine->SetFirmwareFile(file.Path().c_str()));
        EXPECT_EQ(c.state, engine->GetFirmwareFileState());
        const std::vector<Posted> changes = posted->Of(NID_FIRMWARE_FILE_STATE_CHANGE);
        ASSERT_EQ(1u, changes.size());
        EXPECT_EQ(c.state, changes[0].state);
        String version;
        EXPECT_EQ(valid ? S_OK : E_FAIL, engine->GetFirmwareFileVersionText(version));
        // The device in normal mode has an older version: only a file that
        // can be sent makes the update needed.
        EXPECT_EQ(valid, engine->IsUpdateNeeded());
        String path;
        EXPECT_EQ(S_OK, engine->GetFirmwareFilePath(path));
        EXPECT_EQ(String(file.Path().c_str()), path);
    }
}

TEST_F(FirmwareFileTest, AnInvalidFileIsNeverStartedInUpdateMode)
{
    device.Reset(Mode::Update);
    FindDevice(Engine::InUpdateMode);
    for (const FileCase& c : kFiles) {
        if (c.state != Engine::FileInvalid)
            continue;
        SCOPED_TRACE(c.name);
        TempFile file(c.text);
        engine->SetFirmwareFile(file.Path().c_str());
        posted->Clear();
        EXPECT_EQ(E_FAIL, engine->StartUpdate());
        EXPECT_EQ(Engine::InUpdateMode, engine->GetDeviceState());
        EXPECT_EQ(Engine::Idle, engine->GetUpdateState(false));
        EXPECT_TRUE(posted->Deliver().empty());
    }
    EXPECT_TRUE(device.HostMessages().empty());
}

TEST_F(FirmwareFileTest, SilentAndStatusRunsFollowTheFileState)
{
    struct RunCase
    {
        const char* name;
        Mode mode;
        const wchar_t* options;
        KXRESULT result;
        int32_t exitCode; // -1: the run sets none
    };
    const RunCase runs[] = {
        // The window opens and says why nothing happens; the device is
        // never asked to change its mode.
        {"silent, normal mode", Mode::Normal, L"-SILENT", S_OK, -1},
        {"silent, update mode", Mode::Update, L"-SILENT", S_OK, -1},
        {"start automatically, normal mode", Mode::Normal, L"-START_UPDATE_AUTOMATICALLY", S_OK, -1},
        // No update is needed for a file that cannot be sent.
        {"status, normal mode", Mode::Normal, L"-RETURN_UPDATE_MODE_STATUS", LUpdateProcessor::kQuitWithoutWindow, 4},
        {"status, update mode", Mode::Update, L"-RETURN_UPDATE_MODE_STATUS", LUpdateProcessor::kQuitWithoutWindow, 2},
    };
    for (const RunCase& r : runs) {
        for (const char* text : {"0003ABCDEF0001F", "0003ABCDEF0001FG", ""}) {
            SCOPED_TRACE(std::string(r.name) + ", file \"" + text + "\"");
            device.Reset(r.mode);
            engine->SetDeviceState(Engine::NoDeviceFound);
            engine->GetUpdateState(true);
            KX::SetProgramExitCode(-1);
            TempFile file(text);
            EXPECT_EQ(r.result, Run(r.options, file));
            EXPECT_EQ(Engine::FileInvalid, engine->GetFirmwareFileState());
            EXPECT_EQ(r.exitCode, KX::GetProgramExitCode());
            EXPECT_EQ(Engine::Idle, engine->GetUpdateState(false));
            EXPECT_EQ(r.mode == Mode::Normal ? Engine::NotInUpdateMode : Engine::InUpdateMode,
                      engine->GetDeviceState());
            EXPECT_EQ(0, device.Counter("mode_changes"));
            EXPECT_EQ(0, device.Counter("handshakes"));
        }
    }
}

} // namespace
