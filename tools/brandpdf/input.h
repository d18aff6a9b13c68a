// Reading what the publisher tool is given: a package (the stub with a PDF
// appended) or a plain PDF.
#pragma once

#include <string>

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

// The stub's message texts with their "%s" filled.
std::string WithPath(const char* format, const std::string& path);

}  // namespace tool
