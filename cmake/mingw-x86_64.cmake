# 64-bit Windows: the same wizard for machines whose kernel runs no 32-bit code,
# where only 64-bit Wine works (the end-to-end tests).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(prefix x86_64-w64-mingw32)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake")
