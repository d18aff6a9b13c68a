#include "tools/brandpdf/batch.h"

#include <iostream>
#include <set>

#include "branding/items.h"
#include "branding/rewrite.h"
#include "branding/xref.h"
#include "framework/cstring.h"
#include "framework/fileio.h"
#include "tools/brandpdf/commands.h"
#include "tools/brandpdf/csv.h"
#include "tools/brandpdf/input.h"

namespace tool {

namespace {

std::string Trimmed(const std::string& value) {
  CString s(value);
  return s.Trim().str();
}

std::string Folded(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return s;
}

// Which column answers which question, and where the file names stand.
struct Columns {
  std::vector<int> question;  // per column: question index, or -1
  int output = -1;
};

bool MapColumns(const CsvRow& header, const std::vector<std::string>& texts, Columns& c, std::string& error) {
  std::vector<bool> taken(texts.size(), false);
  for (size_t col = 0; col < header.size(); ++col) {
    std::string name = Trimmed(header[col]);
    c.question.push_back(-1);
    if (Folded(name) == "output" && c.output < 0) {
      c.output = static_cast<int>(col);
      continue;
    }
    size_t q = 0;  // questions with the same text are taken in order
    while (q < texts.size() && (taken[q] || texts[q] != name)) ++q;
    if (q == texts.size())
      return error = "column " + std::to_string(col + 1) + " \"" + name + "\" names no question of the PDF", false;
    taken[q] = true;
    c.question.back() = static_cast<int>(q);
  }
  if (c.output < 0) return error = "the table has no `output` column naming each copy's file", false;
  for (size_t q = 0; q < texts.size(); ++q)
    if (!taken[q]) return error = "the table has no column for question \"" + texts[q] + "\"", false;
  return true;
}

bool IsBlankRow(const CsvRow& row) {
  for (const std::string& field : row)
    if (!Trimmed(field).empty()) return false;
  return true;
}

// A copy's file name: a plain name inside the output directory, used once.
bool CheckName(const std::string& name, std::set<std::string>& used, std::string& error) {
  if (name.empty()) return error = "the output cell is empty", false;
  if (name == "." || name == ".." || name.find_first_of("/\\:") != std::string::npos)
    return error = "output \"" + name + "\" must be a plain file name", false;
  if (!used.insert(Folded(name)).second) return error = "output \"" + name + "\" is named by an earlier row", false;
  return true;
}

struct Job {
  const std::string& file;
  const std::string& outDir;
  const std::string& document;
  const std::vector<std::string>& keys;
  const Columns& columns;
};

bool BrandRow(const Job& job, const CsvRow& row, std::set<std::string>& used, std::string& name, std::string& error) {
  if (row.size() > job.columns.question.size()) return error = "more cells than the header has", false;
  name = row.size() > static_cast<size_t>(job.columns.output) ? Trimmed(row[job.columns.output]) : std::string();
  if (!CheckName(name, used, error)) return false;
  std::vector<std::string> answers(job.keys.size());
  for (size_t col = 0; col < row.size(); ++col)
    if (job.columns.question[col] >= 0) answers[job.columns.question[col]] = Trimmed(row[col]);
  std::string path = job.outDir + "/" + name;
  if (SameFile(path, job.file)) return error = "the output must not be written over the input", false;
  std::string branded;
  brand::Status status = brand::BrandDocument(job.document, job.keys, answers, branded);
  if (!status) return error = status.message(), false;
  try {
    fileio::WriteReplacing(path.c_str(), branded.data(), branded.size());
  } catch (const CException&) {
    return error = WithPath("Failed to write file %s", path), false;
  }
  return true;
}

}  // namespace

int BrandBatch(const std::string& file, const std::string& table, const std::string& outDir) {
  Input input;
  std::vector<std::string> keys;
  brand::Status status = ReadInput(file, input);
  if (status) status = brand::ScanBrandableItems(input.document, keys);
  if (status) status = brand::CheckXref(brand::FindXref(input.document));
  if (!status) return Fail(status.message());
  std::vector<CsvRow> rows;
  std::string error;
  try {
    if (!ParseCsv(fileio::ReadAll(table.c_str()), rows, error)) return Fail(table + ": " + error);
  } catch (const CException&) {
    return Fail("cannot read " + table);
  }
  if (!EnsureDirectory(outDir)) return Fail("cannot make the directory " + outDir);
  std::vector<std::string> texts;
  for (const std::string& key : keys) texts.push_back(brand::QuestionText(key));
  Columns columns;
  if (rows.empty() || !MapColumns(rows[0], texts, columns, error)) return Fail(table + ": " + (rows.empty() ? "the table is empty" : error));
  Job job{file, outDir, input.document, keys, columns};
  std::set<std::string> used;
  int done = 0, failed = 0, total = 0;
  for (size_t r = 1; r < rows.size(); ++r) total += !IsBlankRow(rows[r]);
  for (size_t r = 1; r < rows.size(); ++r) {
    if (IsBlankRow(rows[r])) continue;
    std::string name;
    bool ok = BrandRow(job, rows[r], used, name, error);
    ok ? ++done : ++failed;
    std::cerr << "[" << done + failed << "/" << total << "] row " << r + 1 << " " << (name.empty() ? "-" : name) << ": "
              << (ok ? "written" : "FAILED: " + error) << "\n";
  }
  std::cout << total << " rows: " << done << " written to " << outDir << ", " << failed << " failed\n";
  return failed ? kExitRefused : kExitOk;
}

}  // namespace tool
