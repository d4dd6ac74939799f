// The commands of tavik8sim.exe, the console tool that drives the simulated
// device: kept here, apart from the program's entry point, so that tests run
// them with their own state file and clock.
#pragma once

#include "Model/StateStore.h"

#include <string>
#include <vector>

namespace Tavik8Sim {

// Runs one command line (without the program name, UTF-8) on `store` at
// `now`; what it prints goes to `out` and `err`. Answers the exit code:
// 0 success, 2 a usage error.
int RunTool(const std::vector<std::string>& args, StateStore& store, TimeUs now, std::string& out, std::string& err);

std::string ToolHelpText();

} // namespace Tavik8Sim
