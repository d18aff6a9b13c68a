# 32-bit Windows: the shipped stub and brandpdf.exe.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(prefix i686-w64-mingw32)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake")
