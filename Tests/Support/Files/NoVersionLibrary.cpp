// A library without any version resource: the version record cannot read one.
#include <windows.h>

extern "C" __declspec(dllexport) int NoVersionLibraryMarker()
{
    return 1;
}
