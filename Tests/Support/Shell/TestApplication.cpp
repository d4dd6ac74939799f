#include "TestApplication.h"

KX::KXRESULT TestApplication::sStartupResult = S_OK;
int32_t TestApplication::sExitCodeToSet = -1;
int32_t TestApplication::sLiveCount = 0;
int32_t TestApplication::sShutdownCount = 0;
TestApplication* TestApplication::sLast = nullptr;
TestApplication::String TestApplication::sMainControlName = L"mainControl";
std::function<void(TestApplication&)> TestApplication::sOnRunStart;
