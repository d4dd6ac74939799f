// A library whose version resource has texts but no translation table.
#include <windows.h>

extern "C" __declspec(dllexport) int NoTranslationLibraryMarker()
{
    return 1;
}
