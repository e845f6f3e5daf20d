# Cross-build for 32-bit x86 Windows, which also runs on every 64-bit Windows, with Debian's
# MinGW-w64 (its tests need Debian's wine32).
set(CMAKE_SYSTEM_PROCESSOR x86)
set(HDPATCH_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
