// Windows only: a target that another program holds open without sharing
// cannot be replaced. The write routine must fail with a file exception, leave
// the target as it was and remove its temporary file. Built with mingw-w64 and
// run under Wine by held_open_win32.sh; exit code 0 when all holds.
#include <windows.h>

#include <cstdio>
#include <string>

#include "framework/fileio.h"

namespace {

bool WriteBytes(const char* path, const std::string& bytes) {
  HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD put = 0;
  bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) && put == bytes.size();
  return CloseHandle(h) && ok;
}

std::string ReadBytes(const char* path) {
  HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<unreadable>";
  char buffer[256];
  DWORD got = 0;
  ReadFile(h, buffer, sizeof buffer, &got, nullptr);
  CloseHandle(h);
  return std::string(buffer, got);
}

int Fail(const char* what) {
  std::fprintf(stderr, "held-open target: %s\n", what);
  return 1;
}

}  // namespace

int main() {
  const char* target = "held-open.pdf";
  const std::string previous = "the previous output";
  if (!WriteBytes(target, previous)) return Fail("cannot create the target");
  // Held as a viewer holds a document it shows: open, sharing nothing.
  HANDLE held = CreateFileA(target, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (held == INVALID_HANDLE_VALUE) return Fail("cannot hold the target open");
  bool threw = false;
  try {
    fileio::WriteReplacing(target, "new bytes", 9);
  } catch (const CFileException&) {
    threw = true;
  }
  CloseHandle(held);
  WIN32_FIND_DATAA found;
  HANDLE leftover = FindFirstFileA(".~bp*", &found);
  if (leftover != INVALID_HANDLE_VALUE) FindClose(leftover);
  const std::string now = ReadBytes(target);
  DeleteFileA(target);
  if (!threw) return Fail("the write did not fail");
  if (now != previous) return Fail("the target changed");
  if (leftover != INVALID_HANDLE_VALUE) return Fail("a temporary file was left behind");
  std::puts("held-open target: write refused, target unchanged, no temporary file");
  return 0;
}
