// File identity and directories on POSIX systems.
#include <sys/stat.h>

#include "tools/brandpdf/commands.h"

namespace tool {

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

bool EnsureDirectory(const std::string& path) {
  struct stat s {};
  if (::stat(path.c_str(), &s) == 0) return S_ISDIR(s.st_mode);
  return ::mkdir(path.c_str(), 0777) == 0;
}

}  // namespace tool
