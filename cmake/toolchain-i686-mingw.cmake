# Cross-compiling for 32-bit Windows with MinGW-w64.
# The posix thread model is needed: GoogleTest uses std::mutex, which the
# win32 model of GCC 12 lacks. Everything is linked statically, so the
# programs need no DLL beyond those Windows ships.

# On Windows the presets build natively instead: with Visual Studio for the
# 32-bit platform, or with the MinGW-w64 of that width found on PATH.
if(CMAKE_HOST_WIN32)
    if(CMAKE_GENERATOR MATCHES "^Visual Studio")
        set(CMAKE_GENERATOR_PLATFORM Win32)
    endif()
    return()
endif()

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
