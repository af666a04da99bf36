# Cross-compiling for 32-bit Windows with MinGW-w64.
set(MINGW_PREFIX i686-w64-mingw32)
set(NOVRA_PROCESSOR x86)
set(NOVRA_VS_PLATFORM Win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-cross.cmake)
