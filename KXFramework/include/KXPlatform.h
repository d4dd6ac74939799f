// The one place that brings in the Windows headers, with the settings the whole
// framework is compiled with (wide-character APIs, no min/max macros).
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <windows.h>
