# Cross-compiles the same sources for 64-bit Windows. The shipped programs are
# 32-bit; this tree runs the Windows tests under 64-bit Wine on machines whose
# kernel runs no 32-bit programs (and so no 32-bit Wine).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-w64.cmake)
