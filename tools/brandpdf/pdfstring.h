// PDF string syntax as a PDF reader sees it (escapes, balanced parentheses,
// hex strings), the link marker inside a string value, and writing a value
// back as literal string content. The stub reads none of this syntax: the
// tool uses it to see links the way viewers and libqpdf do.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tool::pdfstr {

// A string value and the position just behind its closing delimiter.
struct Parsed {
  std::string value;
  size_t end = 0;
};

// PDF white space: NUL, tab, LF, FF, CR, blank.
bool IsWhite(char c);

// The literal string whose "(" stands at `open`; nullopt when it never closes.
std::optional<Parsed> ParseLiteral(std::string_view doc, size_t open);

// The hex string whose "<" stands at `open`; nullopt when malformed.
std::optional<Parsed> ParseHex(std::string_view doc, size_t open);

// Interprets the escapes of literal string content (no balancing).
std::string Unescape(std::string_view content);

// Literal string content for a value: "\", "(", ")" and control bytes escaped.
std::string EscapeLiteral(std::string_view value);

// Position of the first link marker ("xxlink=" or "xxlink =", any case) in a
// value, or npos.
size_t FindMarker(std::string_view value, size_t from = 0);

// The item key of a marked value: from the marker up to the first "~", "^" or
// ")" behind it, or the end.
std::string KeyAt(std::string_view value, size_t marker);

// Decodes "%7E" to "~" and "%5E" to "^" (any case) behind the first link
// marker of a value; the rest stays as it is.
std::string DecodeSeparators(std::string_view value);

// A decoded key folded for matching links across the forms they are written
// in: A to Z folded, zero bytes read as blanks. Raw keys go through Unescape first.
std::string MatchKey(std::string_view decodedKey);

}  // namespace tool::pdfstr
