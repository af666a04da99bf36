# Cross-compiling for 64-bit Windows with MinGW-w64.
set(MINGW_PREFIX x86_64-w64-mingw32)
set(NOVRA_PROCESSOR AMD64)
set(NOVRA_VS_PLATFORM x64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-cross.cmake)
