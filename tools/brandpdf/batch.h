// brandpdf brand --batch: one branded copy per row of a CSV table.
#pragma once

#include <string>

namespace tool {

// Brands `file` once per data row of `table` into `outDir`. The header row names
// each question by its question text (any column order) and an `output` column
// names each copy's file. Progress goes to stderr, the summary to stdout; a row
// that fails does not stop the others. Returns 0, or 2 when anything failed.
int BrandBatch(const std::string& file, const std::string& table, const std::string& outDir);

}  // namespace tool
