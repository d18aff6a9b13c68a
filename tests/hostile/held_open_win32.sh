#!/bin/sh
# Builds held_open_win32.cpp with the framework's Win32 file code and runs it
# under Wine. The 64-bit compiler and Wine are used because 32-bit programs
# cannot run where the kernel lacks 32-bit support; the file code is the same.
# Exit 77 (skipped) when mingw-w64 or Wine is missing.
set -u
src="$1"
work="$2"
cxx=$(command -v x86_64-w64-mingw32-g++-posix || command -v x86_64-w64-mingw32-g++ || true)
wine=$(command -v wine64 || { [ -x /usr/lib/wine/wine64 ] && echo /usr/lib/wine/wine64; } || true)
if [ -z "$cxx" ] || [ -z "$wine" ]; then
  echo "skipped: needs x86_64-w64-mingw32-g++ and wine64"
  exit 77
fi
mkdir -p "$work"
"$cxx" -std=c++17 -O1 -static -I"$src" -o "$work/held_open_win32.exe" \
  "$src/tests/hostile/held_open_win32.cpp" "$src/framework/fileio.cpp" "$src/framework/win32/backend.cpp" \
  "$src/framework/afx.cpp" "$src/framework/cstring.cpp" -luser32 || { echo "build failed"; exit 1; }
cd "$work" && WINEPREFIX="$work/wineprefix" WINEDEBUG=-all "$wine" ./held_open_win32.exe
