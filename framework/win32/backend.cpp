// Win32 backend of the framework core: real message boxes, the system's case
// folding and files through the Win32 file API.
#include "framework/afx.h"

int AfxMessageBox(const char* text, UINT type) {
  // Owned by the active window of this thread (the wizard once it runs), so the
  // box is modal to it; task-modal before the wizard exists.
  HWND owner = GetActiveWindow();
  return MessageBoxA(owner, text, kAppName, type | (owner ? 0u : MB_TASKMODAL));
}

void AnsiLowerInPlace(char* bytes, size_t length) {
  while (length > 0) {
    DWORD chunk = length > 0x10000000u ? 0x10000000u : static_cast<DWORD>(length);
    CharLowerBuffA(bytes, chunk);
    bytes += chunk;
    length -= chunk;
  }
}

void AnsiUpperInPlace(char* bytes, size_t length) {
  while (length > 0) {
    DWORD chunk = length > 0x10000000u ? 0x10000000u : static_cast<DWORD>(length);
    CharUpperBuffA(bytes, chunk);
    bytes += chunk;
    length -= chunk;
  }
}

static CFileException::Cause CauseOf(DWORD err) {
  switch (err) {
    case ERROR_FILE_NOT_FOUND: case ERROR_PATH_NOT_FOUND: return CFileException::fileNotFound;
    case ERROR_ACCESS_DENIED: case ERROR_SHARING_VIOLATION: case ERROR_WRITE_PROTECT:
      return CFileException::accessDenied;
    case ERROR_DISK_FULL: case ERROR_HANDLE_DISK_FULL: return CFileException::diskFull;
    case ERROR_INVALID_NAME: case ERROR_BAD_PATHNAME: return CFileException::badPath;
    default: return CFileException::genericException;
  }
}

static HANDLE H(intptr_t h) { return reinterpret_cast<HANDLE>(h); }

CFile::~CFile() {
  if (IsOpen()) CloseHandle(H(handle_));
}

void CFile::Open(const char* path, unsigned flags) {
  if (IsOpen()) Close();
  DWORD access = (flags & modeReadWrite) ? (GENERIC_READ | GENERIC_WRITE)
                 : (flags & modeWrite)   ? GENERIC_WRITE
                                         : GENERIC_READ;
  DWORD share = (flags & shareDenyNone) ? (FILE_SHARE_READ | FILE_SHARE_WRITE) : 0;
  DWORD disposition = (flags & modeCreate) ? CREATE_ALWAYS : OPEN_EXISTING;
  HANDLE h = CreateFileA(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD err = GetLastError();
    throw CFileException(CauseOf(err), path, static_cast<long>(err));
  }
  handle_ = reinterpret_cast<intptr_t>(h);
  path_ = path;
}

void CFile::GetStatus(CFileStatus& status) const {
  LARGE_INTEGER size;
  if (!IsOpen() || !GetFileSizeEx(H(handle_), &size))
    throw CFileException(CauseOf(GetLastError()), path_, static_cast<long>(GetLastError()));
  status.m_size = size.QuadPart;
}

unsigned CFile::Read(void* buffer, unsigned count) {
  unsigned done = 0;
  while (done < count) {
    DWORD got = 0;
    if (!ReadFile(H(handle_), static_cast<char*>(buffer) + done, count - done, &got, nullptr))
      throw CFileException(CauseOf(GetLastError()), path_, static_cast<long>(GetLastError()));
    if (got == 0) break;
    done += got;
  }
  return done;
}

void CFile::Write(const void* buffer, unsigned count) {
  unsigned done = 0;
  while (done < count) {
    DWORD put = 0;
    if (!WriteFile(H(handle_), static_cast<const char*>(buffer) + done, count - done, &put, nullptr) || put == 0)
      throw CFileException(CauseOf(GetLastError()), path_, static_cast<long>(GetLastError()));
    done += put;
  }
}

void CFile::Close() {
  if (!IsOpen()) return;
  HANDLE h = H(handle_);
  handle_ = kClosed;
  if (!CloseHandle(h)) throw CFileException(CauseOf(GetLastError()), path_, static_cast<long>(GetLastError()));
}

namespace fsx {

bool MoveOver(const char* source, const char* target) {
  return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void RemoveFile(const char* path) { DeleteFileA(path); }

bool IsDirectory(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace fsx
