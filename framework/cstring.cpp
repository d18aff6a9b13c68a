#include "framework/cstring.h"

#include <algorithm>
#include <cstring>

CString CString::Mid(int first) const { return Mid(first, GetLength() - std::max(first, 0)); }

CString CString::Mid(int first, int count) const {
  first = std::clamp(first, 0, GetLength());
  count = std::clamp(count, 0, GetLength() - first);
  return CString(s_.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::Left(int count) const { return Mid(0, count); }

CString CString::Right(int count) const {
  count = std::clamp(count, 0, GetLength());
  return Mid(GetLength() - count, count);
}

int CString::Find(char ch, int start) const {
  if (start < 0 || start > GetLength()) return -1;
  size_t at = s_.find(ch, static_cast<size_t>(start));
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const char* sub, int start) const {
  if (start < 0 || start > GetLength()) return -1;
  size_t at = s_.find(sub, static_cast<size_t>(start));
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(char ch) const {
  size_t at = s_.rfind(ch);
  return at == std::string::npos ? -1 : static_cast<int>(at);
}

void CString::MakeLower() { AnsiLowerInPlace(s_.data(), s_.size()); }
void CString::MakeUpper() { AnsiUpperInPlace(s_.data(), s_.size()); }

CString& CString::TrimLeft() {
  size_t i = 0;
  while (i < s_.size() && IsTrimSpace(static_cast<unsigned char>(s_[i]))) ++i;
  s_.erase(0, i);
  return *this;
}

CString& CString::TrimRight() {
  size_t n = s_.size();
  while (n > 0 && IsTrimSpace(static_cast<unsigned char>(s_[n - 1]))) --n;
  s_.resize(n);
  return *this;
}

int CString::Replace(const char* oldText, const char* newText) {
  const size_t oldLen = std::strlen(oldText);
  if (oldLen == 0) return 0;
  std::string out;
  int count = 0;
  size_t from = 0;
  for (size_t at; (at = s_.find(oldText, from, oldLen)) != std::string::npos; from = at + oldLen) {
    out.append(s_, from, at - from);
    out += newText;
    ++count;
  }
  if (count == 0) return 0;
  out.append(s_, from, std::string::npos);
  s_.swap(out);
  return count;
}

int CString::Replace(char oldCh, char newCh) {
  int count = 0;
  for (char& c : s_) {
    if (c == oldCh) { c = newCh; ++count; }
  }
  return count;
}

CString CString::FormatOne(const char* format, const char* argument) {
  std::string out;
  bool used = false;
  for (const char* p = format; *p; ++p) {
    if (p[0] == '%' && p[1] == '%') { out += '%'; ++p; continue; }
    if (!used && p[0] == '%' && p[1] == 's') { out += argument; used = true; ++p; continue; }
    out += *p;
  }
  return CString(std::move(out));
}
