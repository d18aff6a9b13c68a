// The Windows entry point: runs the application object that the program defines.
// Linked as an object into each GUI program (a WinMain inside a static library
// would not be found by the C run time's start-up code).
#include <vector>

#include "framework/ui.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The full path as the program was started, however long it is.
  std::vector<char> path(MAX_PATH, '\0');
  for (;;) {
    DWORD got = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (got == 0) {
      path.assign(1, '\0');
      break;
    }
    if (got < path.size()) break;
    if (path.size() >= 32768) break;
    path.assign(path.size() * 2, '\0');
  }
  path.back() = '\0';
  return AfxRunApplication(path.data());
}
