// tavik8sim.exe: the console tool of the simulated TAVIK8 (tavik8sim --help).
#include "Model/Tool.h"

#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>

// The wide arguments come from the C run-time (wmain), not from shell32's
// CommandLineToArgvW: shell32 brings user32 and gdi32 along, whose start-up
// doubled the cost of every call of the tool under Wine (scripts/sim runs
// it for each look at the device).
int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(Tavik8Sim::ToUtf8(argv[i]));

    Tavik8Sim::StateStore store(Tavik8Sim::StateStore::PathFromEnvironment());
    std::string out;
    std::string err;
    int code = Tavik8Sim::RunTool(args, store, Tavik8Sim::StateStore::WallClockNow(), out, err);

    // Plain "\n" line ends and exact bytes (make-image output must stay even).
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fwrite(err.data(), 1, err.size(), stderr);
    std::fflush(stdout);
    std::fflush(stderr);
    return code;
}
