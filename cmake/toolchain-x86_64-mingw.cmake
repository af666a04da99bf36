# Cross-compiling for 64-bit Windows with MinGW-w64; the same choices as
# the 32-bit toolchain beside it (posix threads, static runtime).

# On Windows the presets build natively instead: with Visual Studio for the
# 64-bit platform, or with the MinGW-w64 of that width found on PATH.
if(CMAKE_HOST_WIN32)
    if(CMAKE_GENERATOR MATCHES "^Visual Studio")
        set(CMAKE_GENERATOR_PLATFORM x64)
    endif()
    return()
endif()

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
