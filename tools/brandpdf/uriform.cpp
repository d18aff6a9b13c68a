#include "tools/brandpdf/uriform.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "branding/text.h"
#include "branding/xref.h"
#include "tools/brandpdf/pdfstring.h"

namespace tool {

namespace {

struct Edit {
  size_t from = 0, to = 0;  // replaced span
  std::string text;
};

bool IsDelimiter(char c) { return std::string_view("()<>[]{}/%").find(c) != std::string_view::npos; }

// The value of a "/URI" key that ends at j: a marked string not written as the
// stub reads it becomes an edit.
void FixValue(std::string_view pdf, size_t j, size_t to, std::vector<Edit>& edits, UriFormFixes& fixes) {
  size_t k = j;
  while (k < to && pdfstr::IsWhite(pdf[k])) ++k;
  if (k >= to) return;
  bool hex = pdf[k] == '<' && brand::At(pdf, k + 1) != '<';
  if (!hex && (pdf[k] != '(' || k == j)) return;
  auto parsed = hex ? pdfstr::ParseHex(pdf, k) : pdfstr::ParseLiteral(pdf, k);
  if (!parsed || parsed->end > to || pdfstr::FindMarker(parsed->value) == std::string::npos) return;
  if (hex) {
    edits.push_back({j, parsed->end, "(" + pdfstr::EscapeLiteral(parsed->value) + ")"});
    ++fixes.hex;
  } else {
    edits.push_back({j, k, ""});
    ++fixes.blanks;
  }
}

// Tokenises one object from `from` up to `to` or its stream data, whichever
// comes first, so that strings and stream bytes are never mistaken for keys.
void ScanObject(std::string_view pdf, size_t from, size_t to, std::vector<Edit>& edits, UriFormFixes& fixes) {
  for (size_t i = from; i < to;) {
    char c = pdf[i];
    if (c == '%') {
      while (i < to && !brand::IsEol(pdf[i])) ++i;
    } else if (c == '<' && brand::At(pdf, i + 1) == '<') {
      i += 2;  // a dictionary opens
    } else if (c == '(' || (c == '<' && brand::At(pdf, i + 1) != '<')) {
      auto parsed = c == '(' ? pdfstr::ParseLiteral(pdf, i) : pdfstr::ParseHex(pdf, i);
      if (!parsed) return;
      i = parsed->end;
    } else if (c == '/') {
      size_t j = i + 1;
      while (j < to && !pdfstr::IsWhite(pdf[j]) && !IsDelimiter(pdf[j])) ++j;
      if (pdf.substr(i, j - i) == "/URI") FixValue(pdf, j, to, edits, fixes);
      i = j;
    } else if (pdf.compare(i, 6, "stream") == 0 && i > from && (pdfstr::IsWhite(pdf[i - 1]) || pdf[i - 1] == '>') &&
               brand::IsEol(brand::At(pdf, i + 6))) {
      return;  // stream data follows
    } else {
      ++i;
    }
  }
}

// The shift of a recorded offset: the length change of every edit before it.
int64_t ShiftOf(const std::vector<Edit>& edits, int64_t value) {
  int64_t delta = 0;
  for (const Edit& e : edits) {
    if (static_cast<int64_t>(e.from) >= value) break;
    delta += static_cast<int64_t>(e.text.size()) - static_cast<int64_t>(e.to - e.from);
  }
  return delta;
}

brand::Status Apply(std::string& pdf, const std::vector<Edit>& edits) {
  std::string out;
  out.reserve(pdf.size());
  size_t pos = 0;
  for (const Edit& e : edits) {
    out.append(pdf, pos, e.from - pos);
    out += e.text;
    pos = e.to;
  }
  out.append(pdf, pos, std::string::npos);
  // The edits all lie in objects before the table, so its entries still hold the old offsets.
  brand::XrefLayout layout = brand::FindXref(out);
  for (const brand::XrefRun& run : layout.runs)
    for (size_t i = 0; i < run.count; ++i) {
      size_t at = run.first + 20 * i;
      if (brand::At(out, at + 17) != 'n') continue;
      int64_t value = brand::EntryValue(out, at);
      if (!brand::WriteEntry(&out[at], value + ShiftOf(edits, value)))
        return brand::Status::Fail("a cross-reference entry cannot be shifted");
    }
  if (!layout.valueFits || layout.startxrefCount != 1) return brand::Status::Fail("the startxref value cannot be shifted");
  out.replace(layout.numberStart, layout.numberEnd - layout.numberStart,
              brand::StartxrefDigits(layout.startxrefValue + ShiftOf(edits, layout.startxrefValue)));
  pdf = std::move(out);
  return brand::Status::Ok();
}

}  // namespace

brand::Status WriteUrisForStub(std::string& pdf, UriFormFixes& fixes) {
  brand::XrefLayout layout = brand::FindXref(pdf);
  if (brand::Status status = brand::CheckXref(layout); !status) return status;
  if (layout.runs.empty()) return brand::Status::Ok();
  std::vector<size_t> starts;
  size_t tableAt = pdf.size();
  for (const brand::XrefRun& run : layout.runs) {
    tableAt = std::min(tableAt, run.first);
    for (size_t i = 0; i < run.count; ++i) {
      int64_t value = brand::EntryValue(pdf, run.first + 20 * i);
      if (brand::At(pdf, run.first + 20 * i + 17) == 'n' && value > 0 && value < static_cast<int64_t>(pdf.size()))
        starts.push_back(static_cast<size_t>(value));
    }
  }
  std::sort(starts.begin(), starts.end());
  starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
  std::vector<Edit> edits;
  for (size_t k = 0; k < starts.size() && starts[k] < tableAt; ++k)
    ScanObject(pdf, starts[k], k + 1 < starts.size() ? std::min(starts[k + 1], tableAt) : tableAt, edits, fixes);
  return edits.empty() ? brand::Status::Ok() : Apply(pdf, edits);
}

}  // namespace tool
