#include "branding/xref.h"

#include <algorithm>
#include <limits>

#include "branding/text.h"

namespace brand {

const char kNoXrefTable[] =
    "The PDF file is not compatible with this software\n(Reason: No XRef Table)\n\n"
    "Please try using OpenOffice to create your PDF";
const char kIncrementalUpdates[] =
    "The PDF file is not compatible with this software\n(Reason: Incremental Updates)\n\n"
    "Please try using OpenOffice to create your PDF";
const char kNoStartXref[] =
    "The PDF file is not compatible with this software\n(Reason: No StartXRef)\n\n"
    "Please try using OpenOffice to create your PDF";

namespace {

constexpr size_t kEntrySize = 20;
constexpr size_t kEntryNumber = 10;
constexpr int64_t kCountLimit = std::numeric_limits<int32_t>::max();

size_t SkipBlanks(std::string_view doc, size_t k) {
  while (At(doc, k) == ' ') ++k;
  return k;
}

size_t SkipDigits(std::string_view doc, size_t k) {
  while (IsDigit(At(doc, k))) ++k;
  return k;
}

// Reads digits as a count, saturating: a count larger than any document only
// means "to the end of the document".
size_t ReadCount(std::string_view doc, size_t& k) {
  int64_t count = 0;
  for (; IsDigit(At(doc, k)); ++k) count = std::min(kCountLimit, count * 10 + (doc[k] - '0'));
  return static_cast<size_t>(count);
}

// Entries of a subsection whose first ten bytes lie inside the document.
XrefRun EntriesFrom(std::string_view doc, size_t first, size_t count) {
  size_t room = doc.size() >= first + kEntryNumber ? (doc.size() - first - kEntryNumber) / kEntrySize + 1 : 0;
  return {first, std::min(count, room)};
}

// A further subsection header right behind a subsection: digits, blanks,
// digits, blanks, then EOL bytes. Returns its count and moves k to its entries.
bool NextSubsection(std::string_view doc, size_t& k, size_t& count) {
  size_t p = k;
  size_t q = SkipDigits(doc, p);
  if (q == p || At(doc, q) != ' ') return false;
  p = SkipBlanks(doc, q);
  size_t countStart = p;
  count = ReadCount(doc, p);
  if (p == countStart) return false;
  p = SkipBlanks(doc, p);
  if (!IsEol(At(doc, p))) return false;
  while (IsEol(At(doc, p))) ++p;
  k = p;
  return true;
}

// Parses the table whose keyword ends at `after` (the EOL byte behind "xref").
void ParseTable(std::string_view doc, size_t after, XrefLayout& layout) {
  size_t k = after + 1;
  if (IsEol(At(doc, k))) ++k;  // one EOL byte only: CR LF, LF LF, ... end the line
  k = SkipDigits(doc, k);
  if (At(doc, k) != ' ') return;  // not a header: this keyword is ignored
  layout.foundTable = true;
  k = SkipBlanks(doc, k);
  size_t count = ReadCount(doc, k);
  k = SkipBlanks(doc, k);
  while (IsEol(At(doc, k))) ++k;
  while (count > 0) {
    XrefRun run = EntriesFrom(doc, k, count);
    if (run.count > 0) layout.runs.push_back(run);
    if (run.count < count) return;  // the rest lies past the end
    k += count * kEntrySize;
    if (!NextSubsection(doc, k, count)) return;
  }
}

void ParseStartxref(std::string_view doc, size_t after, XrefLayout& layout) {
  size_t k = after + 1;
  if (IsEol(At(doc, k))) ++k;
  k = SkipBlanks(doc, k);
  size_t end = SkipDigits(doc, k);
  layout.numberStart = k;
  layout.numberEnd = end;
  layout.valueFits = end - k <= 18;
  int64_t value = 0;
  if (layout.valueFits)
    for (size_t i = k; i < end; ++i) value = value * 10 + (doc[i] - '0');
  layout.startxrefValue = value;
}

bool OnOwnLine(std::string_view doc, size_t at, size_t length) {
  return at > 0 && IsEol(doc[at - 1]) && IsEol(At(doc, at + length));
}

}  // namespace

XrefLayout FindXref(std::string_view doc) {
  XrefLayout layout;
  bool tablesOver = false;     // pass 1 ends at a hit at offset 0
  bool startxrefOver = false;  // so does pass 2
  // Both keywords contain "xr" (any case): only those pairs are looked at.
  for (size_t at = 0; (at = FindPair(doc, at, 'x', 'x', 'r', 0x20)) != std::string_view::npos; ++at) {
    if (!FoldedMatch(doc, at, "xref")) continue;
    if (!tablesOver) {
      if (at == 0) tablesOver = true;
      else if (OnOwnLine(doc, at, 4)) ParseTable(doc, at + 4, layout);
    }
    if (at >= 5 && !startxrefOver && FoldedMatch(doc, at - 5, "start")) {
      size_t s = at - 5;
      if (s == 0) {
        startxrefOver = true;
      } else if (OnOwnLine(doc, s, 9)) {
        if (++layout.startxrefCount == 1) ParseStartxref(doc, s + 9, layout);
      }
    }
  }
  return layout;
}

Status CheckXref(const XrefLayout& layout) {
  if (!layout.foundTable) return Status::Fail(kNoXrefTable);
  if (layout.startxrefCount > 1) return Status::Fail(kIncrementalUpdates);
  if (layout.startxrefCount == 0) return Status::Fail(kNoStartXref);
  return Status::Ok();
}

int64_t EntryValue(std::string_view doc, size_t entry) {
  int64_t value = 0;
  for (size_t i = 0; i < kEntryNumber; ++i) value = value * 10 + (static_cast<unsigned char>(doc[entry + i]) - '0');
  return value;
}

bool WriteEntry(char* at, int64_t value) {
  if (value < 0 || value > 9999999999LL) return false;
  for (size_t i = kEntryNumber; i-- > 0; value /= 10) at[i] = static_cast<char>('0' + value % 10);
  return true;
}

std::string StartxrefDigits(int64_t value) { return std::to_string(value); }

Status FixCrossReferences(std::string& doc, int64_t changePos, int64_t delta) {
  const XrefLayout layout = FindXref(doc);
  if (!layout.foundTable) return Status::Fail(kNoXrefTable);
  for (const XrefRun& run : layout.runs) {
    for (size_t i = 0; i < run.count; ++i) {
      size_t entry = run.first + i * kEntrySize;
      int64_t value = EntryValue(doc, entry);
      if (value > changePos) WriteEntry(&doc[entry], value + delta);
    }
  }
  Status status = CheckXref(layout);
  if (!status) return status;
  if (layout.valueFits && layout.startxrefValue > changePos) {
    doc.replace(layout.numberStart, layout.numberEnd - layout.numberStart,
                StartxrefDigits(layout.startxrefValue + delta));
  }
  return Status::Ok();
}

}  // namespace brand
