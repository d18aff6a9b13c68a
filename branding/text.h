// Byte tests shared by the scan, the rewrite and the cross-reference fix-up.
// The documents are searched as their search copy: a zero byte reads as a blank
// and only the letters A to Z fold (markers and keywords are plain ASCII, and no
// other letter of a single-byte code page folds into A to Z).
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Finds the next byte `c` at or after `from` (memchr speed).
inline size_t FindByte(std::string_view doc, size_t from, char c) {
  if (from >= doc.size()) return std::string_view::npos;
  const void* hit = std::memchr(doc.data() + from, c, doc.size() - from);
  return hit ? static_cast<size_t>(static_cast<const char*>(hit) - doc.data()) : std::string_view::npos;
}

// Finds the next position i >= from (with i + 1 inside the document) where
// doc[i] | 0x20 is `a` or `b` and doc[i + 1] | `fold` is `c`. OR-ing 0x20 folds
// A to Z onto a to z and a zero byte onto a blank, so this is a cheap filter for
// a keyword's first two bytes, which callers follow with their exact test. With
// SSE2 it tests 16 positions per step.
inline size_t FindPair(std::string_view doc, size_t from, char a, char b, char c, char fold) {
  const char* p = doc.data();
  const size_t n = doc.size();
#if defined(__SSE2__)
  const __m128i lower = _mm_set1_epi8(0x20), foldMask = _mm_set1_epi8(fold);
  const __m128i va = _mm_set1_epi8(a), vb = _mm_set1_epi8(b), vc = _mm_set1_epi8(c);
  for (; from + 17 <= n; from += 16) {
    __m128i x = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + from)), lower);
    __m128i y = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + from + 1)), foldMask);
    __m128i hit = _mm_and_si128(_mm_or_si128(_mm_cmpeq_epi8(x, va), _mm_cmpeq_epi8(x, vb)), _mm_cmpeq_epi8(y, vc));
    if (int mask = _mm_movemask_epi8(hit)) return from + static_cast<size_t>(__builtin_ctz(mask));
  }
#endif
  for (; from + 1 < n; ++from) {
    char x = static_cast<char>(p[from] | 0x20);
    if ((x == a || x == b) && static_cast<char>(p[from + 1] | fold) == c) return from;
  }
  return std::string_view::npos;
}

}  // namespace brand
