// File identity and directories on Windows: a file is known by its volume
// serial number and file index, as the file system reports them.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "tools/brandpdf/commands.h"

namespace tool {

namespace {

// The identity of an existing file or directory; false when it cannot be opened.
bool Identify(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
  HANDLE h = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  BOOL ok = ::GetFileInformationByHandle(h, &info);
  ::CloseHandle(h);
  return ok != FALSE;
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION ia{}, ib{};
  return Identify(a, ia) && Identify(b, ib) && ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
         ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

bool EnsureDirectory(const std::string& path) {
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return ::CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

}  // namespace tool

// ---- branding from a file read into memory ----

#include "framework/fileio.h"
#include "package/package.h"
#include "tools/brandpdf/input.h"

namespace tool {

SourceFile::~SourceFile() = default;

brand::Status SourceFile::Open(const std::string& path) {
  try {
    owned_ = fileio::ReadAll(path.c_str());
  } catch (const CException&) {
    return brand::Status::Fail(WithPath(pkg::kUnableToRead, path));
  }
  bool isPackage = false;
  std::string name;
  size_t length = 0;
  if (brand::Status status = FindDocument(owned_, isPackage, name, offset_, length); !status) return status;
  document_ = std::string_view(owned_).substr(offset_, length);
  return brand::Status::Ok();
}

bool SourceFile::WriteBranded(const std::string& path, const std::vector<brand::Piece>& pieces) const {
  try {
    std::string out;
    for (const brand::Piece& p : pieces) out.append(p.original ? document_.substr(p.from, p.length) : std::string_view(p.text));
    fileio::WriteReplacing(path.c_str(), out.data(), out.size());
    return true;
  } catch (const CException&) {
    return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace tool
