#include "tools/brandpdf/pdfstring.h"

#include "branding/text.h"

namespace tool::pdfstr {

namespace {

bool IsOctal(char c) { return c >= '0' && c <= '7'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Decodes one escape whose backslash is at i; returns the position behind it.
size_t DecodeEscape(std::string_view s, size_t i, std::string& out) {
  if (++i >= s.size()) return i;
  char c = s[i];
  switch (c) {
    case 'n': out += '\n'; return i + 1;
    case 'r': out += '\r'; return i + 1;
    case 't': out += '\t'; return i + 1;
    case 'b': out += '\b'; return i + 1;
    case 'f': out += '\f'; return i + 1;
    case '\r': return (i + 1 < s.size() && s[i + 1] == '\n') ? i + 2 : i + 1;  // line continuation
    case '\n': return i + 1;
    default: break;
  }
  if (!IsOctal(c)) {
    out += c;  // "\(", "\)", "\\" and unknown escapes stand for the character
    return i + 1;
  }
  int value = 0;
  size_t n = 0;
  for (; n < 3 && i + n < s.size() && IsOctal(s[i + n]); ++n) value = value * 8 + (s[i + n] - '0');
  out += static_cast<char>(value & 0xFF);
  return i + n;
}

}  // namespace

bool IsWhite(char c) { return c == '\0' || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' '; }

std::optional<Parsed> ParseLiteral(std::string_view doc, size_t open) {
  Parsed p;
  int depth = 1;
  for (size_t i = open + 1; i < doc.size();) {
    char c = doc[i];
    if (c == '\\') {
      i = DecodeEscape(doc, i, p.value);
      continue;
    }
    if (c == '(') ++depth;
    if (c == ')' && --depth == 0) {
      p.end = i + 1;
      return p;
    }
    if (c == '\r') {  // an end of line in a string reads as LF
      p.value += '\n';
      i += (i + 1 < doc.size() && doc[i + 1] == '\n') ? 2 : 1;
      continue;
    }
    p.value += c;
    ++i;
  }
  return std::nullopt;
}

std::optional<Parsed> ParseHex(std::string_view doc, size_t open) {
  Parsed p;
  int high = -1;
  for (size_t i = open + 1; i < doc.size(); ++i) {
    char c = doc[i];
    if (c == '>') {
      if (high >= 0) p.value += static_cast<char>(high << 4);  // odd digit count: a trailing 0
      p.end = i + 1;
      return p;
    }
    if (IsWhite(c)) continue;
    int d = HexDigit(c);
    if (d < 0) return std::nullopt;
    if (high < 0) {
      high = d;
    } else {
      p.value += static_cast<char>((high << 4) | d);
      high = -1;
    }
  }
  return std::nullopt;
}

std::string Unescape(std::string_view content) {
  std::string out;
  for (size_t i = 0; i < content.size();) {
    if (content[i] == '\\') {
      i = DecodeEscape(content, i, out);
    } else {
      out += content[i++];
    }
  }
  return out;
}

std::string EscapeLiteral(std::string_view value) {
  static const char kOctal[] = "01234567";
  std::string out;
  for (char c : value) {
    auto u = static_cast<unsigned char>(c);
    if (c == '\\' || c == '(' || c == ')') {
      out += '\\';
      out += c;
    } else if (u < 32 || u == 127) {
      out += '\\';
      out += kOctal[u >> 6];
      out += kOctal[(u >> 3) & 7];
      out += kOctal[u & 7];
    } else {
      out += c;
    }
  }
  return out;
}

size_t FindMarker(std::string_view value, size_t from) {
  for (size_t i = from; i < value.size(); ++i) {
    if (brand::FoldedMatch(value, i, "xxlink=") || brand::FoldedMatch(value, i, "xxlink =")) return i;
  }
  return std::string_view::npos;
}

std::string KeyAt(std::string_view value, size_t marker) {
  size_t end = value.find_first_of("~^)", marker);
  return std::string(value.substr(marker, end == std::string_view::npos ? value.size() - marker : end - marker));
}

std::string DecodeSeparators(std::string_view value) {
  size_t marker = FindMarker(value);
  if (marker == std::string_view::npos) return std::string(value);
  std::string out(value.substr(0, marker));
  for (size_t i = marker; i < value.size(); ++i) {
    if (value[i] == '%' && i + 2 < value.size() && (value[i + 1] == '7' || value[i + 1] == '5') &&
        (value[i + 2] == 'e' || value[i + 2] == 'E')) {
      out += value[i + 1] == '7' ? '~' : '^';
      i += 2;
    } else {
      out += value[i];
    }
  }
  return out;
}

std::string MatchKey(std::string_view decodedKey) {
  std::string key(decodedKey);
  for (char& c : key) c = brand::Folded(c);
  return key;
}

}  // namespace tool::pdfstr
