#include "framework/afx.h"

void ShowErrorMessage(const char* format, const char* argument) {
  AfxMessageBox(CString::FormatOne(format, argument), MB_OK | MB_ICONERROR);
}

CString DirectoryOf(const CString& path) {
  int slash = path.ReverseFind('\\');
  return slash < 0 ? CString() : path.Left(slash + 1);
}

CString FileNameOf(const CString& path) {
  int slash = path.ReverseFind('\\');
  return slash < 0 ? path : path.Mid(slash + 1);
}
