// TransferBenchmark: one whole transfer of a generated firmware image to the
// simulated device in update mode, timed from StartUpdate to the end of the
// update, beside the protocol's floor (every data message waits 3 ms after
// the one before it), with the processor time the program used meanwhile
// (all its threads, the simulated device's included) as a share of one core.
//
// Usage: TransferBenchmark [records [payload bytes [send latency ms]]]
//        (default: 200 records of 64 bytes, no send latency)
// The device runs on a state file of its own in the temporary folder, with
// acknowledgements sent without latency, and judges the transfer strictly:
// the image it expects, and the pacing and order of every message.
#include "Engine/UpdateEngine.h"

#include "Notification/NotificationCenterManager.h"

#include "Model/Crc32.h"
#include "Model/DeviceModel.h"
#include "Model/FirmwareImage.h"
#include "Model/StateStore.h"

#include "BenchmarkClock.h"
#include "Support/Tavik8Sim/StateFile.h"
#include "Support/Windows/TempFiles.h"

#include <mmsystem.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using Benchmark::CpuMilliseconds;
using Benchmark::WallMilliseconds;

int main(int argc, char** argv)
{
    const int records = argc > 1 ? std::atoi(argv[1]) : 200;
    const int payload = argc > 2 ? std::atoi(argv[2]) : 64;
    const char* sendLatency = argc > 3 ? argv[3] : "0";

    const std::wstring statePath = TestSystem::TempPath(L"transfer-benchmark", L".state");
    SetEnvironmentVariableW(L"TAVIK8_SIM", statePath.c_str());
    const std::string text = Tavik8Sim::MakeFirmwareText(records, payload, 1);
    Tavik8Sim::Bytes image;
    Tavik8Sim::DecodeFirmwareText(text, image);
    Tavik8Sim::StateStore store(statePath);
    Tavik8SimTest::ChangeDevice(store, [&](Tavik8Sim::DeviceModel& model, Tavik8Sim::TimeUs now) {
        model.Reset(now, Tavik8Sim::Mode::Update, "1.0.3.0");
        model.Set(now, "ack_latency_ms", "0");
        model.Set(now, "send_latency_ms", sendLatency);
        model.ExpectImage(now, "transfer-benchmark.led", image);
    });

    const std::wstring firmwarePath = TestSystem::TempPath(L"transfer-benchmark", L".led");
    if (!TestSystem::WriteWholeFile(firmwarePath, text)) {
        std::fprintf(stderr, "cannot write the firmware file\n");
        return 2;
    }
    const int messagesPerRecord = (payload + 2 + 10) / 11;
    const int dataMessages = records * messagesPerRecord;
    const double floorMs = dataMessages * 3.0;

    // As the application does while it runs.
    timeBeginPeriod(1);
    int exitCode = 0;
    {
        KX::RCPtr<LUpdateEngine> engine = LUpdateEngine::Create();
        engine->Initialize(L"");
        LUpdateEngineInterface::DeviceDefinition definition;
        definition.mNormalModeInputPort = L"Tavik 8";
        definition.mNormalModeOutputPort = L"Tavik 8";
        definition.mUpdateModeInputPort = L"Tavik Updater";
        definition.mUpdateModeOutputPort = L"Tavik Updater";
        KX::Array<LUpdateEngineInterface::DeviceDefinition> definitions;
        definitions.AddItem(definition);
        engine->SetDeviceDefinitions(definitions);
        engine->Rescan();
        engine->SetFirmwareFile(firmwarePath.c_str());
        if (engine->GetDeviceState() != LUpdateEngineInterface::InUpdateMode) {
            std::fprintf(stderr, "the simulated device was not found in update mode (state %d)\n",
                         static_cast<int>(engine->GetDeviceState()));
            return 2;
        }

        const KX::RCPtr<KX::LNotificationCenterManager> centres = KX::LNotificationCenterManager::GetInstance();
        const double cpuStart = CpuMilliseconds();
        const double start = WallMilliseconds();
        engine->StartUpdate();
        // The user-interface thread's part: progress notifications delivered as they come.
        while (engine->GetUpdateState(false) == LUpdateEngineInterface::Running) {
            centres->ProcessNotifications(false);
            engine->WaitForUpdate(30);
        }
        const double measured = WallMilliseconds() - start;
        const double cpu = CpuMilliseconds() - cpuStart;
        centres->ProcessNotifications(false);

        const Tavik8Sim::DeviceState state = store.Read();
        const bool intact = Tavik8Sim::DeviceModel(const_cast<Tavik8Sim::DeviceState&>(state)).ImageVerdict() ==
                                "match" &&
                            state.records == records;
        const LPreciseSleeper& sleeper = engine->GetTiming()->GetSleeper();
        const LPreciseSleeper::Method method = sleeper.GetChosenMethod();
        std::printf("image: %d records of %d bytes, %d data messages\n", records, payload, dataMessages);
        std::printf("update state: %d (4 = succeeded), image %s (%lld records acknowledged), %lld violations\n",
                    static_cast<int>(engine->GetUpdateState(false)), intact ? "intact" : "NOT INTACT",
                    static_cast<long long>(state.records), static_cast<long long>(state.violationCount));
        std::printf("measured: %.1f ms   floor: %.1f ms   ratio: %.3f\n", measured, floorMs, measured / floorMs);
        std::printf("processor time: %.1f ms, %.1f %% of one core\n", cpu, 100.0 * cpu / measured);
        std::printf("pause: %s, margin %lld us\n", LPreciseSleeper::MethodName(method),
                    method == LPreciseSleeper::MethodCount ? 0LL : static_cast<long long>(sleeper.GetMargin(method)));
        exitCode = engine->GetUpdateState(false) == LUpdateEngineInterface::Succeeded && intact &&
                           state.violationCount == 0
                       ? 0
                       : 1;
        engine = nullptr;
    }
    KX::LNotificationCenterManager::sInstance = nullptr;
    timeEndPeriod(1);
    DeleteFileW(firmwarePath.c_str());
    if (exitCode == 0) {
        DeleteFileW(statePath.c_str());
        DeleteFileW((statePath + L".image").c_str());
        DeleteFileW((statePath + L".transcript").c_str());
    } else {
        std::printf("the device's state and transcript are kept in %ls\n", statePath.c_str());
    }
    return exitCode;
}
