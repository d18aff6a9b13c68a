// Reading what the publisher tool is given: a package (the stub with a PDF
// appended) or a plain PDF.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "branding/rewrite.h"
#include "branding/status.h"

namespace tool {

struct Input {
  bool isPackage = false;
  std::string document;  // the PDF bytes
  std::string name;      // the package's document name (packages only)
};

// Reads the file; a file whose package record marker occurs exactly twice is a
// package and gives the document its record points to, with the stub's own
// refusals. Unreadable files fail with the stub's "Unable to read file: %s".
brand::Status ReadInput(const std::string& path, Input& input);

// Where the document lies in a file's bytes: the whole file for a PDF, the
// region its package record names for a package (with the stub's refusals).
brand::Status FindDocument(std::string_view file, bool& isPackage, std::string& name, size_t& offset,
                           size_t& length);

// A file opened for branding without copying it: mapped read-only where the
// system allows, else read into memory. Unchanged spans of the document are
// later copied from the file itself.
class SourceFile {
 public:
  SourceFile() = default;
  ~SourceFile();
  SourceFile(const SourceFile&) = delete;
  SourceFile& operator=(const SourceFile&) = delete;

  // Fails with the stub's "Unable to read file: %s" or its package refusals.
  brand::Status Open(const std::string& path);
  std::string_view document() const { return document_; }
  // Writes the pieces over `path` in one step (a temporary file beside it, then
  // a rename); false when that fails, with the target as it was.
  bool WriteBranded(const std::string& path, const std::vector<brand::Piece>& pieces) const;

 private:
  std::string_view document_;
  size_t offset_ = 0;     // the document's position in the file
  int fd_ = -1;           // POSIX: the open file
  void* map_ = nullptr;   // POSIX: the mapping
  size_t mapSize_ = 0;
  std::string owned_;     // where mapping is not used: the bytes read
};

// The stub's message texts with their "%s" filled.
std::string WithPath(const char* format, const std::string& path);

}  // namespace tool
