# Cross-compiles for Windows x86_64 with Debian's mingw-w64 (posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KX_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${KX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${KX_MINGW_PREFIX}-windres)
set(CMAKE_AR           ${KX_MINGW_PREFIX}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB       ${KX_MINGW_PREFIX}-gcc-ranlib-posix CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${KX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# No mingw run-time DLL beside the programs: libstdc++, libgcc and winpthread are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
