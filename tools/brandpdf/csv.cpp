#include "tools/brandpdf/csv.h"

namespace tool {

namespace {

char Separator(std::string_view text) {
  bool quoted = false;
  bool semicolon = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    else if (!quoted && (c == '\n' || c == '\r')) break;
    else if (!quoted && c == ',') return ',';
    else if (!quoted && c == ';') semicolon = true;
  }
  return semicolon ? ';' : ',';
}

// Reads one quoted field whose opening quote is at i; returns the position behind the closing quote.
bool QuotedField(std::string_view text, size_t& i, std::string& field, int& line) {
  for (++i; i < text.size(); ++i) {
    if (text[i] == '"') {
      if (i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
        continue;
      }
      ++i;
      return true;
    }
    if (text[i] == '\n') ++line;
    field += text[i];
  }
  return false;
}

}  // namespace

bool ParseCsv(std::string_view text, std::vector<CsvRow>& rows, std::string& error) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  const char sep = Separator(text);
  rows.clear();
  CsvRow row;
  std::string field;
  int line = 1;
  size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c == '"' && field.empty()) {
      int start = line;
      if (!QuotedField(text, i, field, line)) return error = "line " + std::to_string(start) + ": a quote is never closed", false;
      if (i < text.size() && text[i] != sep && text[i] != '\r' && text[i] != '\n')
        return error = "line " + std::to_string(line) + ": text after a closing quote", false;
      continue;
    }
    if (c == sep) {
      row.push_back(std::move(field));
      field.clear();
    } else if (c == '\r' || c == '\n') {
      row.push_back(std::move(field));
      field.clear();
      rows.push_back(std::move(row));
      row.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      ++line;
    } else {
      field += c;
    }
    ++i;
  }
  if (!field.empty() || !row.empty()) {
    row.push_back(std::move(field));
    rows.push_back(std::move(row));
  }
  return true;
}

}  // namespace tool
