// A silent run of the update processor over the engine and the simulated
// device, with the silent time limit shortened: a transfer that takes longer
// than the limit but keeps making progress completes whole; one whose device
// stops acknowledging is given up once it has made no progress for the limit,
// and the shut-down stops it.
#include "EngineTestSupport.h"

#include "Engine/UpdateProcessor.h"

using namespace EngineTest;

namespace {

using Engine = LUpdateEngineInterface;

class SilentUpdateTest : public EngineFixture
{
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        device.Reset(Tavik8Sim::Mode::Update);
        // Each record waits 50 ms for its acknowledgement: 30 records take
        // three times the shortened limit.
        device.Set("ack_latency_ms", "50");
        LUpdateProcessor::Create(processor, RCPtr<LUpdateEngineInterface>(engine.Get()));
        processor->SetSilentTimeLimit(kLimitMs);
    }

    void TearDown() override
    {
        if (processor)
            processor->Shutdown();
        processor = nullptr;
        EngineFixture::TearDown();
    }

    KXRESULT RunSilent(const TempFile& file)
    {
        return processor->Initialize(String(L"prog.exe -SILENT -ABSOLUTE_FIRMWARE_FILE_PATH=") +
                                     String(file.Path().c_str()));
    }

    static constexpr uint32_t kLimitMs = 500;
    RCPtr<LUpdateProcessor> processor;
};

TEST_F(SilentUpdateTest, ATransferLongerThanTheLimitCompletesWhileItProgresses)
{
    const std::string text = Tavik8Sim::MakeFirmwareText(30, 30, 3);
    TempFile file(text);
    device.ExpectImage(text);
    EXPECT_EQ(LUpdateProcessor::kQuitWithoutWindow, RunSilent(file));
    EXPECT_EQ(Engine::Succeeded, engine->GetUpdateState(false));
    const Tavik8Sim::DeviceState state = device.State();
    EXPECT_EQ(30, state.records);
    Tavik8Sim::Bytes image;
    ASSERT_TRUE(Tavik8Sim::DecodeFirmwareText(text, image));
    EXPECT_EQ(static_cast<int64_t>(image.size()), state.imageBytes);
    EXPECT_EQ("match", device.ImageVerdict());
    EXPECT_EQ(0, state.violationCount);
}

TEST_F(SilentUpdateTest, ATransferWithoutProgressIsGivenUpAndStoppedAtShutdown)
{
    // The engine's own wait for an acknowledgement lasts far longer than the
    // limit here.
    timing = TestTiming::Create(LUpdateEngine::kRecordAckMilliseconds);
    engine->SetTiming(timing);
    device.Set("drop_ack_at", "3");
    TempFile file(Tavik8Sim::MakeFirmwareText(20, 30, 3));
    EXPECT_EQ(LUpdateProcessor::kQuitWithoutWindow, RunSilent(file));
    // Given up while the engine still waits for the fourth acknowledgement.
    EXPECT_EQ(Engine::Running, engine->GetUpdateState(false));
    EXPECT_EQ(3u, engine->GetAcknowledgedRecordCount());

    // The shut-down stops the transfer at once, before anything more is sent.
    EXPECT_TRUE(processor->Shutdown());
    EXPECT_EQ(Engine::Failed, engine->GetUpdateState(false));
    const Tavik8Sim::DeviceState state = device.State();
    EXPECT_EQ(4, state.recordIndex) << "nothing after the unacknowledged record";
    EXPECT_EQ(0, state.violationCount);
}

} // namespace
