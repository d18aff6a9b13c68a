#include "framework/fileio.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <new>

#include "framework/cfile.h"

namespace fileio {

std::string ReadAll(const char* path) {
  CFile file(path, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary);
  CFileStatus status;
  file.GetStatus(status);
  if (status.m_size < 0 || status.m_size > INT32_MAX - 16)
    throw CFileException(CFileException::genericException, path);
  std::string bytes;
  try {
    bytes.resize(static_cast<size_t>(status.m_size));
  } catch (const std::bad_alloc&) {
    throw CMemoryException();
  }
  unsigned got = file.Read(bytes.data(), static_cast<unsigned>(bytes.size()));
  bytes.resize(got);
  file.Close();
  return bytes;
}

std::string TempPathBeside(const std::string& path) {
  static std::atomic<unsigned> serial{0};
  // In the target's own directory, so the final replace never crosses a file system.
  size_t slash = path.find_last_of("/\\");
  std::string directory = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  auto tick = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  return directory + ".~bp" + std::to_string(tick % 1000000007ull) + "-" + std::to_string(serial++) + ".tmp";
}

void WriteReplacing(const char* path, const char* bytes, size_t length) {
  std::string temp = TempPathBeside(path);
  try {
    CFile file(temp.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive | CFile::typeBinary);
    if (length > UINT32_MAX) throw CFileException(CFileException::genericException, path);
    file.Write(bytes, static_cast<unsigned>(length));
    file.Close();
  } catch (const CFileException&) {
    fsx::RemoveFile(temp.c_str());
    throw;
  }
  if (fsx::IsDirectory(path) || !fsx::MoveOver(temp.c_str(), path)) {
    fsx::RemoveFile(temp.c_str());
    throw CFileException(CFileException::accessDenied, path);
  }
}

}  // namespace fileio
