// The application clock as the controls read it: seconds as a double for
// timings measured in seconds (button repeats, progress estimates), the
// millisecond tick count for those measured in ticks (tool tips). Both are 0
// without an application object, so a control outside an application simply
// never sees time pass. Tests set the clock through their application.
#pragma once

#include "Application/FrameworkApp.h"

#include <cstdint>

namespace KX {

inline double ApplicationSeconds()
{
    LFrameworkApp* application = LFrameworkApp::sInstance;
    return application ? application->GetElapsedTime() : 0.0;
}

inline uint32_t ApplicationTicks()
{
    LFrameworkApp* application = LFrameworkApp::sInstance;
    return application ? application->GetTicks() : 0;
}

} // namespace KX
