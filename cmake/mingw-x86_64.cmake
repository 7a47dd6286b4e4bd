# 64-bit cross build of the same programs. Nothing of it ships: it stands in for
# the 32-bit build in the Windows tests on hosts whose kernel runs no 32-bit
# programs, where only Wine's 64-bit loader starts.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
