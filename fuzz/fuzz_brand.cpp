// Fuzz target: branding a document with fuzzed answers. The document's items
// are scanned, answered and rewritten, into a new buffer and in place; small
// documents are also branded by the literal reference loop, and all must give
// the same bytes or the same refusal.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "branding/items.h"
#include "branding/rewrite.h"
#include "branding/text.h"
#include "branding/xref.h"
#include "fuzz/check.h"
#include "tests/oracle.h"

namespace {

// The reference loop rebuilds the document for every occurrence: keep it to
// documents where that stays fast.
constexpr size_t kOracleLimit = 4096;

// Answers are separated by zero bytes (an answer never holds one: neither the
// wizard's edit box nor a command line can give it).
std::vector<std::string> SplitAnswers(std::string_view text) {
  std::vector<std::string> answers;
  size_t from = 0;
  for (size_t at; (at = text.find('\0', from)) != std::string_view::npos; from = at + 1)
    answers.emplace_back(text.substr(from, at - from));
  answers.emplace_back(text.substr(from));
  return answers;
}

bool Overlap(size_t from, size_t to, size_t a, size_t b) { return from <= b && a <= to; }

// The reference loop finds the table and the "startxref" number again after
// every rewrite, the engine plans once on the original. They agree on
// documents that are not damaged in one of these ways: entries that overlap
// each other, another number or other text; link strings nested in one
// another; a link string over a recorded number or holding a recorded offset;
// an offset beyond the end of the document.
bool Comparable(std::string_view doc) {
  if (doc.size() > kOracleLimit) return false;
  const brand::XrefLayout layout = brand::FindXref(doc);
  const bool number = layout.startxrefCount > 0;
  std::vector<size_t> entries;
  for (const brand::XrefRun& run : layout.runs)
    for (size_t i = 0; i < run.count; ++i) entries.push_back(run.first + 20 * i);
  std::sort(entries.begin(), entries.end());
  std::vector<size_t> offsets;  // what the entries and the number record
  if (number) offsets.push_back(static_cast<size_t>(layout.startxrefValue));
  for (size_t i = 0; i < entries.size(); ++i) {
    if (i > 0 && entries[i] < entries[i - 1] + 10) return false;
    for (size_t k = 0; k < 10; ++k)
      if (!brand::IsDigit(doc[entries[i] + k])) return false;
    if (number && Overlap(entries[i], entries[i] + 10, layout.numberStart, layout.numberEnd)) return false;
    offsets.push_back(static_cast<size_t>(brand::EntryValue(doc, entries[i])));
  }
  brand::MarkerWalker walker(doc);
  size_t lastUri = 0, lastTo = 0;
  while (walker.Next()) {
    size_t uri;
    if (!brand::EnclosingLink(doc, walker.at(), &uri)) continue;
    const size_t from = uri + 5, to = walker.closing();
    if (uri != lastUri && uri < lastTo) return false;
    lastUri = uri;
    lastTo = to;
    if (number && Overlap(from, to, layout.numberStart, layout.numberEnd)) return false;
    for (size_t entry : entries)
      if (Overlap(from, to, entry, entry + 10)) return false;
    for (size_t offset : offsets)
      if (Overlap(from, to, offset, offset)) return false;
  }
  // An offset beyond the document: shifted edit by edit it can leave ten
  // digits and stay, where the sum of the shifts would fit.
  for (size_t offset : offsets)
    if (offset > doc.size()) return false;
  return true;
}

}  // namespace

// Input: a length byte n, then n bytes of answers, then the document.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t n = std::min<size_t>(data[0], size - 1);
  std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  std::vector<std::string> values = SplitAnswers(bytes.substr(0, n));
  std::string_view doc = bytes.substr(n);
  std::vector<std::string> keys;
  if (!brand::ScanBrandableItems(doc, keys)) return 0;
  values.resize(keys.size());
  std::string out;
  brand::Status status = brand::BrandDocument(doc, keys, values, out);
  // The rewrite in the document's own buffer gives the same bytes or refusal,
  // and leaves the document as it was when it refuses.
  std::string inPlace(doc);
  brand::Status inPlaceStatus = brand::BrandInPlace(inPlace, keys, values);
  FUZZ_CHECK(inPlaceStatus.message() == status.message());
  FUZZ_CHECK(inPlace == (status ? out : std::string(doc)));
  if (!status) {
    FUZZ_CHECK(status.message() == brand::kNoXrefTable || status.message() == brand::kNoStartXref ||
               status.message() == brand::kIncrementalUpdates);
    return 0;
  }
  if (Comparable(doc)) {
    std::string expected;
    brand::Status reference = oracle::Brand(std::string(doc), keys, values, expected);
    FUZZ_CHECK(reference.ok());
    FUZZ_CHECK(out == expected);
  }
  return 0;
}
