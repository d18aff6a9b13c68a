// Framework exceptions. File and memory failures are thrown by value and caught
// as CException right where the operation that met them can report them.
#pragma once

#include <string>

class CException {
 public:
  virtual ~CException() = default;
  virtual std::string What() const = 0;
};

class CFileException : public CException {
 public:
  enum Cause { none, genericException, fileNotFound, accessDenied, diskFull, endOfFile, badPath };
  CFileException(Cause cause, std::string path, long osError = 0)
      : m_cause(cause), m_fileName(std::move(path)), m_lOsError(osError) {}
  std::string What() const override { return "file error on " + m_fileName; }

  Cause m_cause;
  std::string m_fileName;
  long m_lOsError;
};

class CMemoryException : public CException {
 public:
  std::string What() const override { return "out of memory"; }
};
