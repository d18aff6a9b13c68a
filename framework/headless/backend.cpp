// Headless backend: message boxes, case folding and files for native builds.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "framework/afx.h"
#include "framework/headless/script.h"

namespace headless {

Stage& GetStage() {
  static Stage stage;
  return stage;
}

void ResetStage() { GetStage() = Stage(); }

}  // namespace headless

int AfxMessageBox(const char* text, UINT type) {
  headless::Stage& stage = headless::GetStage();
  stage.messageBoxes.push_back({text, kAppName, type});
  if (!stage.messageBoxAnswers.empty()) {
    int answer = stage.messageBoxAnswers.front();
    stage.messageBoxAnswers.pop_front();
    return answer;
  }
  if (stage.onUnscriptedBox) return stage.onUnscriptedBox(stage.messageBoxes.back());
  return (type & 0xF) == MB_YESNO ? IDYES : IDOK;
}

// Windows-1252: A-Z, the Latin-1 capitals (but the multiplication sign), and
// the four capitals the code page adds in 0x80-0x9F.
static unsigned char Lower1252(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
  }
}

static unsigned char Upper1252(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 0x20;
  switch (c) {
    case 0x9A: return 0x8A;
    case 0x9C: return 0x8C;
    case 0x9E: return 0x8E;
    case 0xFF: return 0x9F;
    default: return c;
  }
}

void AnsiLowerInPlace(char* bytes, size_t length) {
  for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>(Lower1252(static_cast<unsigned char>(bytes[i])));
}

void AnsiUpperInPlace(char* bytes, size_t length) {
  for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>(Upper1252(static_cast<unsigned char>(bytes[i])));
}

// ---- CFile over POSIX descriptors ----

static CFileException::Cause CauseOf(int err) {
  switch (err) {
    case ENOENT: return CFileException::fileNotFound;
    case EACCES: case EPERM: case EROFS: case EISDIR: return CFileException::accessDenied;
    case ENOSPC: case EDQUOT: return CFileException::diskFull;
    default: return CFileException::genericException;
  }
}

CFile::~CFile() {
  if (IsOpen()) ::close(static_cast<int>(handle_));
}

// The wizard builds Windows paths; on this backend a backslash is a separator.
static std::string NativePath(const char* path) {
  std::string p(path);
  for (char& c : p) if (c == '\\') c = '/';
  return p;
}

void CFile::Open(const char* path, unsigned flags) {
  if (IsOpen()) Close();
  int mode = (flags & modeReadWrite) ? O_RDWR : (flags & modeWrite) ? O_WRONLY : O_RDONLY;
  if (flags & modeCreate) mode |= O_CREAT | O_TRUNC;
  int fd = ::open(NativePath(path).c_str(), mode | O_CLOEXEC, 0666);
  if (fd < 0) throw CFileException(CauseOf(errno), path, errno);
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    throw CFileException(CFileException::accessDenied, path, EISDIR);
  }
  handle_ = fd;
  path_ = path;
}

void CFile::GetStatus(CFileStatus& status) const {
  struct stat st {};
  if (!IsOpen() || ::fstat(static_cast<int>(handle_), &st) != 0)
    throw CFileException(CFileException::genericException, path_, errno);
  status.m_size = st.st_size;
}

unsigned CFile::Read(void* buffer, unsigned count) {
  unsigned done = 0;
  while (done < count) {
    ssize_t n = ::read(static_cast<int>(handle_), static_cast<char*>(buffer) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw CFileException(CauseOf(errno), path_, errno);
    if (n == 0) break;
    done += static_cast<unsigned>(n);
  }
  return done;
}

void CFile::Write(const void* buffer, unsigned count) {
  unsigned done = 0;
  while (done < count) {
    ssize_t n = ::write(static_cast<int>(handle_), static_cast<const char*>(buffer) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw CFileException(CauseOf(n < 0 ? errno : ENOSPC), path_, errno);
    done += static_cast<unsigned>(n);
  }
}

void CFile::Close() {
  if (!IsOpen()) return;
  int fd = static_cast<int>(handle_);
  handle_ = kClosed;
  if (::close(fd) != 0) throw CFileException(CauseOf(errno), path_, errno);
}

namespace fsx {

bool MoveOver(const char* source, const char* target) {
  return ::rename(NativePath(source).c_str(), NativePath(target).c_str()) == 0;
}

void RemoveFile(const char* path) { ::unlink(NativePath(path).c_str()); }

bool IsDirectory(const char* path) {
  struct stat st {};
  return ::stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace fsx
