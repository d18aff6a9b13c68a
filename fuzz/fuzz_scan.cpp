// Fuzz target: the scan for brandable items and the question text of each key,
// and the marker walk the scan and the rewrite share.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "branding/items.h"
#include "branding/text.h"
#include "fuzz/check.h"

namespace {

void Walk(std::string_view doc) {
  brand::MarkerWalker walker(doc);
  size_t previous = 0;
  bool first = true;
  while (walker.Next()) {
    const size_t t = walker.at();
    FUZZ_CHECK(first || t > previous);
    FUZZ_CHECK(brand::FoldedMatch(doc, t, "xxlink"));
    FUZZ_CHECK(walker.keyEnd() <= walker.closing() && walker.closing() <= doc.size());
    FUZZ_CHECK(walker.closing() == doc.size() || doc[walker.closing()] == ')');
    size_t uri;
    if (brand::EnclosingLink(doc, t, &uri)) FUZZ_CHECK(uri + 5 <= t && t - uri < 100);
    previous = t;
    first = false;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view doc(reinterpret_cast<const char*>(data), size);
  Walk(doc);
  std::vector<std::string> keys;
  brand::Status status = brand::ScanBrandableItems(doc, keys);
  if (!status) {
    FUZZ_CHECK(keys.empty());
    FUZZ_CHECK(status.message() == brand::kNotBrandable || status.message() == brand::kTooManyItems);
    return 0;
  }
  FUZZ_CHECK(!keys.empty() && keys.size() <= static_cast<size_t>(brand::kMaxItems));
  for (size_t i = 0; i < keys.size(); ++i) {
    FUZZ_CHECK(brand::FoldedMatch(keys[i], 0, "xxlink"));
    FUZZ_CHECK(keys[i].find_first_of(std::string("~^)\0", 4)) == std::string::npos);
    for (size_t j = 0; j < i; ++j) FUZZ_CHECK(!brand::EqualKeys(keys[i], keys[j]));
    std::string question = brand::QuestionText(keys[i]);
    FUZZ_CHECK(question.size() + 7 <= keys[i].size());
  }
  return 0;
}
