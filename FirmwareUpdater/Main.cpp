// The program's entry: the one MFC application object, made before the entry
// point runs, and the framework's WinMain with the user's language.
#include "Application/ApplicationBaseWin.h"
#include "UI/Application.h"

namespace {
KX::MFCFrameworkApp<LApplication> sTheApp;
} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine, int showCommand)
{
    return KX::FrameworkWinMain(instance, previousInstance, commandLine, showCommand, -1);
}
