// Fuzz target: the cross-reference fix-up on a document with a fuzzed change
// position and length delta. Besides staying inside the document, the fix-up
// may change only the first ten bytes of table entries and the "startxref"
// number; every other byte must come through unchanged.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "branding/xref.h"
#include "fuzz/check.h"

namespace {

int32_t Int32(const uint8_t* at) {
  uint32_t v;
  std::memcpy(&v, at, 4);
  return static_cast<int32_t>(v);
}

void CheckOnlyNumbersChanged(const std::string& before, const std::string& after, const brand::XrefLayout& layout) {
  std::vector<bool> writable(before.size(), false);
  for (const brand::XrefRun& run : layout.runs) {
    FUZZ_CHECK(run.count > 0 && run.first + (run.count - 1) * 20 + 10 <= before.size());
    for (size_t i = 0; i < run.count; ++i)
      for (size_t k = 0; k < 10; ++k) writable[run.first + i * 20 + k] = true;
  }
  FUZZ_CHECK(layout.numberStart <= layout.numberEnd && layout.numberEnd <= before.size());
  // Bytes behind the number move by however much its length changed.
  const int64_t shift = static_cast<int64_t>(after.size()) - static_cast<int64_t>(before.size());
  if (shift != 0) FUZZ_CHECK(layout.startxrefCount == 1);
  for (size_t i = 0; i < before.size(); ++i) {
    if (i >= layout.numberStart && i < layout.numberEnd) continue;  // the number itself
    const size_t j = i < layout.numberStart ? i : static_cast<size_t>(static_cast<int64_t>(i) + shift);
    FUZZ_CHECK(j < after.size());
    if (before[i] != after[j]) FUZZ_CHECK(writable[i]);
  }
}

}  // namespace

// Input: change position and delta (4 bytes each, little-endian), then the
// document. A position with its top bit clear is folded into the document so
// most edits fall inside it; one with the bit set is taken as it is.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 8) return 0;
  std::string doc(reinterpret_cast<const char*>(data + 8), size - 8);
  int64_t position = Int32(data);
  if (position >= 0) position %= static_cast<int64_t>(doc.size()) + 1;
  const int64_t delta = Int32(data + 4);
  const std::string before = doc;
  const brand::XrefLayout layout = brand::FindXref(before);
  brand::Status status = brand::FixCrossReferences(doc, position, delta);
  if (!status) {
    FUZZ_CHECK(status.message() == brand::kNoXrefTable || status.message() == brand::kNoStartXref ||
               status.message() == brand::kIncrementalUpdates);
    return 0;
  }
  CheckOnlyNumbersChanged(before, doc, layout);
  return 0;
}
