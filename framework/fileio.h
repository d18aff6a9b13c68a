// Whole-file reading and writing shared by the stub and the publisher tool.
#pragma once

#include <string>

#include "framework/exceptions.h"

namespace fileio {

// Reads a whole file (opened for reading, denying nobody). Throws CFileException
// or CMemoryException. Files of 2 GiB or more are refused: offsets are 32-bit.
std::string ReadAll(const char* path);

// A fresh temporary file name in the directory of `path` (short, so any name
// that fits the target's directory fits it too).
std::string TempPathBeside(const std::string& path);

// Writes bytes to a temporary file beside `path`, then puts it in the target's
// place in one step. On any failure the target is as it was and the temporary
// file is gone; the failure is thrown as CFileException.
void WriteReplacing(const char* path, const char* bytes, size_t length);

}  // namespace fileio
