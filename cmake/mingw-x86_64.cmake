# Cross-compiles 64-bit Windows programs with Debian's mingw-w64; they run the
# tests under 64-bit Wine on machines that run no 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
