// CFile: a file handle with the framework's open flags. Failures throw
// CFileException; the destructor closes quietly.
#pragma once

#include <cstdint>

#include "framework/exceptions.h"

struct CFileStatus {
  int64_t m_size = 0;
};

class CFile {
 public:
  enum OpenFlags : unsigned {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareExclusive = 0x0010,
    shareDenyNone = 0x0040,
    modeCreate = 0x1000,
    typeBinary = 0x8000,
  };

  CFile() = default;
  CFile(const char* path, unsigned flags) { Open(path, flags); }
  ~CFile();
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  void Open(const char* path, unsigned flags);  // throws CFileException
  void GetStatus(CFileStatus& status) const;   // throws CFileException
  // Reads up to count bytes; returns the number read (short only at the end).
  unsigned Read(void* buffer, unsigned count);
  // Writes all count bytes or throws (a short write is a failure).
  void Write(const void* buffer, unsigned count);
  void Close();  // throws when the system reports a failure on close
  bool IsOpen() const { return handle_ != kClosed; }

 private:
  static constexpr intptr_t kClosed = -1;
  intptr_t handle_ = kClosed;
  std::string path_;
};

// File-system helpers used by the atomic write: both backends implement them.
namespace fsx {
// Replaces `target` by `source` in one step. False when the system refuses.
bool MoveOver(const char* source, const char* target);
// Removes a file; quietly does nothing when it cannot.
void RemoveFile(const char* path);
// Whether path names an existing directory.
bool IsDirectory(const char* path);
}  // namespace fsx
