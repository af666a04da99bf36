# What both toolchain files share: cross-compiling for Windows with the
# MinGW-w64 of the width they name (MINGW_PREFIX, NOVRA_PROCESSOR,
# NOVRA_VS_PLATFORM).
# The posix thread model is needed: GoogleTest uses std::mutex, which the
# win32 model of GCC 12 lacks. Everything is linked statically, so the
# programs need no DLL beyond those Windows ships.

# On Windows the presets build natively instead: with Visual Studio for the
# platform of that width, or with the MinGW-w64 of that width found on PATH.
if(CMAKE_HOST_WIN32)
    if(CMAKE_GENERATOR MATCHES "^Visual Studio")
        set(CMAKE_GENERATOR_PLATFORM ${NOVRA_VS_PLATFORM})
    endif()
    return()
endif()

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${NOVRA_PROCESSOR})

set(CMAKE_C_COMPILER ${MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
