// CString: a single-byte string with the operations the wizard and the engine use.
// It holds any bytes (zero bytes included) and its length; case folding goes
// through the active ANSI code page of the backend.
#pragma once

#include <string>

class CString {
 public:
  CString() = default;
  CString(const char* text) : s_(text ? text : "") {}  // NOLINT: implicit like LPCSTR
  CString(const char* bytes, int length) : s_(bytes, static_cast<size_t>(length)) {}
  CString(std::string text) : s_(std::move(text)) {}  // NOLINT

  int GetLength() const { return static_cast<int>(s_.size()); }
  bool IsEmpty() const { return s_.empty(); }
  void Empty() { s_.clear(); }
  char GetAt(int index) const { return s_.at(static_cast<size_t>(index)); }
  char operator[](int index) const { return GetAt(index); }
  operator const char*() const { return s_.c_str(); }  // NOLINT: as LPCSTR
  const std::string& str() const { return s_; }

  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Left(int count) const;
  CString Right(int count) const;

  // Positions of the first match at or after start, or -1.
  int Find(char ch, int start = 0) const;
  int Find(const char* sub, int start = 0) const;
  int ReverseFind(char ch) const;

  // Folds letters by the active ANSI code page.
  void MakeLower();
  void MakeUpper();

  // White space is the bytes 9 to 13 and the blank.
  CString& TrimLeft();
  CString& TrimRight();
  CString& Trim() { return TrimRight().TrimLeft(); }

  // Replaces every occurrence, left to right, without overlap; text put in is
  // not searched again. Returns the number of replacements.
  int Replace(const char* oldText, const char* newText);
  int Replace(char oldCh, char newCh);

  // Formats a text with one "%s" (and "%%" for a percent sign).
  static CString FormatOne(const char* format, const char* argument);

  int Compare(const char* other) const { return s_.compare(other); }

  CString& operator+=(const CString& other) { s_ += other.s_; return *this; }
  CString& operator+=(const char* other) { s_ += other; return *this; }
  CString& operator+=(char ch) { s_ += ch; return *this; }
  friend CString operator+(CString a, const CString& b) { return a += b; }
  friend CString operator+(CString a, const char* b) { return a += b; }
  friend CString operator+(const char* a, const CString& b) { return CString(a) += b; }
  friend bool operator==(const CString& a, const CString& b) { return a.s_ == b.s_; }
  friend bool operator==(const CString& a, const char* b) { return a.s_ == b; }
  friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
  friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
  friend bool operator<(const CString& a, const CString& b) { return a.s_ < b.s_; }

 private:
  std::string s_;
};

// Whether a byte is white space for trimming: 9 to 13 or the blank.
inline bool IsTrimSpace(unsigned char c) { return c == ' ' || (c >= 9 && c <= 13); }

// Backend hooks: fold bytes in place by the active ANSI code page.
void AnsiLowerInPlace(char* bytes, size_t length);
void AnsiUpperInPlace(char* bytes, size_t length);
