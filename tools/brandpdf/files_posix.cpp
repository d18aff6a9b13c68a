// File identity, directories, and branding straight from the file on POSIX systems.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "framework/fileio.h"
#include "package/package.h"
#include "tools/brandpdf/commands.h"
#include "tools/brandpdf/input.h"

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

// ---- branding straight from the file: mapped in, unchanged spans copied by the kernel ----

namespace tool {

namespace {

// Spans at least this long are copied file to file; shorter ones are gathered
// into one buffer so that thousands of small pieces cost few system calls.
constexpr size_t kDirectCopy = 16 * 1024;
constexpr size_t kBuffer = 1024 * 1024;

bool WriteAll(int fd, const char* bytes, size_t length) {
  while (length > 0) {
    ssize_t n = ::write(fd, bytes, length);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    length -= static_cast<size_t>(n);
  }
  return true;
}

// Copies length bytes of `in` from `offset` to the end of `out`, in the kernel
// where it can; from the mapped bytes where it cannot.
bool CopySpan(int in, int out, size_t offset, const char* mapped, size_t length) {
  auto from = static_cast<off_t>(offset);
  size_t done = 0;
  while (done < length) {
    ssize_t n = ::copy_file_range(in, &from, out, nullptr, length - done, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return WriteAll(out, mapped + done, length - done);  // not supported here, or a short file
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

SourceFile::~SourceFile() {
  if (map_) ::munmap(map_, mapSize_);
  if (fd_ >= 0) ::close(fd_);
}

brand::Status SourceFile::Open(const std::string& path) {
  const brand::Status unable = brand::Status::Fail(WithPath(pkg::kUnableToRead, path));
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > INT32_MAX - 16) return unable;
  std::string_view file;
  if (st.st_size > 0) {
    mapSize_ = static_cast<size_t>(st.st_size);
    void* map = ::mmap(nullptr, mapSize_, PROT_READ, MAP_PRIVATE, fd_, 0);
    if (map != MAP_FAILED) {
      map_ = map;
      ::madvise(map_, mapSize_, MADV_SEQUENTIAL);
      file = std::string_view(static_cast<const char*>(map_), mapSize_);
    } else {
      try {
        owned_ = fileio::ReadAll(path.c_str());
      } catch (const CException&) {
        return unable;
      }
      file = owned_;
      ::close(fd_);
      fd_ = -1;  // spans are then written from memory
    }
  }
  bool isPackage = false;
  std::string name;
  size_t length = 0;
  if (brand::Status status = FindDocument(file, isPackage, name, offset_, length); !status) return status;
  document_ = file.substr(offset_, length);
  return brand::Status::Ok();
}

bool SourceFile::WriteBranded(const std::string& path, const std::vector<brand::Piece>& pieces) const {
  const std::string temp = fileio::TempPathBeside(path) + std::to_string(::getpid());
  int out = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (out < 0) return false;
  std::string buffer;
  auto flush = [&] {
    bool ok = WriteAll(out, buffer.data(), buffer.size());
    buffer.clear();
    return ok;
  };
  bool ok = true;
  for (const brand::Piece& p : pieces) {
    if (!ok) break;
    if (p.original && p.length >= kDirectCopy && fd_ >= 0) {
      ok = flush() && CopySpan(fd_, out, offset_ + p.from, document_.data() + p.from, p.length);
      continue;
    }
    buffer.append(p.original ? document_.substr(p.from, p.length) : std::string_view(p.text));
    if (buffer.size() >= kBuffer) ok = flush();
  }
  ok = ok && flush();
  ok = (::close(out) == 0) && ok;
  struct stat st {};
  bool targetIsDirectory = ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  if (ok && !targetIsDirectory && ::rename(temp.c_str(), path.c_str()) == 0) return true;
  ::unlink(temp.c_str());
  return false;
}

}  // namespace tool
