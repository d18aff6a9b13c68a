// Byte tests shared by the scan, the rewrite and the cross-reference fix-up.
// The documents are searched as their search copy: a zero byte reads as a blank
// and only the letters A to Z fold (markers and keywords are plain ASCII, and no
// other letter of a single-byte code page folds into A to Z).
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace brand {

// A byte as the search copy shows it: zero becomes a blank.
inline char Visible(char c) { return c == '\0' ? ' ' : c; }

// A byte of the lower-cased search copy, folding A to Z only.
inline char Folded(char c) {
  if (c == '\0') return ' ';
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

inline bool IsEol(char c) { return c == '\n' || c == '\r'; }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The byte at i, or the zero byte that follows the document.
inline char At(std::string_view doc, size_t i) { return i < doc.size() ? doc[i] : '\0'; }

// Whether the folded document at pos starts with `lower` (given in lower case).
inline bool FoldedMatch(std::string_view doc, size_t pos, std::string_view lower) {
  if (pos > doc.size() || doc.size() - pos < lower.size()) return false;
  for (size_t i = 0; i < lower.size(); ++i)
    if (Folded(doc[pos + i]) != lower[i]) return false;
  return true;
}

// Equality without regard to the case of A to Z; zero bytes equal blanks.
inline bool EqualKeys(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Folded(a[i]) != Folded(b[i])) return false;
  return true;
}

// The search copy of a byte range: zero bytes become blanks.
inline std::string VisibleCopy(std::string_view bytes) {
  std::string out(bytes);
  for (char& c : out) c = Visible(c);
  return out;
}

// Finds the next position at or after `from` where a byte equals a or b.
inline size_t FindEither(std::string_view doc, size_t from, char a, char b) {
  for (size_t i = from; i < doc.size(); ++i)
    if (doc[i] == a || doc[i] == b) return i;
  return std::string_view::npos;
}

// Finds the next byte `c` at or after `from` (memchr speed).
inline size_t FindByte(std::string_view doc, size_t from, char c) {
  if (from >= doc.size()) return std::string_view::npos;
  const void* hit = std::memchr(doc.data() + from, c, doc.size() - from);
  return hit ? static_cast<size_t>(static_cast<const char*>(hit) - doc.data()) : std::string_view::npos;
}

}  // namespace brand
