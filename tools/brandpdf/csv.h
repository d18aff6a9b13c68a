// A CSV table as spreadsheets write it: fields separated by commas (or by
// semicolons when the first line has semicolons and no commas), double-quoted
// fields with "" for a quote and line breaks inside, rows ending in LF or CR LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tool {

using CsvRow = std::vector<std::string>;

// Fails, naming the line, on a quote that is never closed or text after a
// closing quote. A UTF-8 byte order mark at the start is dropped.
bool ParseCsv(std::string_view text, std::vector<CsvRow>& rows, std::string& error);

}  // namespace tool
