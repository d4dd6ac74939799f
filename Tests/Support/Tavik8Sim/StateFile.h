// The simulated TAVIK8 as tests drive it in their own process: a state file
// of its own for one test, removed with its side files (the device's image
// and transcript) afterwards, and changes to the device it holds, made as
// the simulator's tool makes them.
#pragma once

#include "Model/DeviceModel.h"
#include "Model/StateStore.h"

#include "Support/Windows/TempFiles.h"

#include <functional>

namespace Tavik8SimTest {

class TempStateFile : public TestSystem::TempFile
{
public:
    TempStateFile() : TempFile(L"tavik8sim-test", L".state", {L".image", L".transcript"}) {}
};

// One change of the device in the store: the model, advanced to the wall
// clock's present, and that present are handed to the step, and what the
// step leaves is stored.
inline void ChangeDevice(Tavik8Sim::StateStore& store,
                         const std::function<void(Tavik8Sim::DeviceModel&, Tavik8Sim::TimeUs)>& step)
{
    store.Update([&](Tavik8Sim::DeviceState& state) {
        Tavik8Sim::DeviceModel model(state);
        const Tavik8Sim::TimeUs now = Tavik8Sim::StateStore::WallClockNow();
        model.Advance(now);
        step(model, now);
    });
}

} // namespace Tavik8SimTest
