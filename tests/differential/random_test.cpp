// Thousands of small generated documents, branded by both engines with answers
// drawn from a palette of awkward values; every output must match byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "bench/generate.h"
#include "branding/items.h"
#include "branding/text.h"
#include "tests/differential/compare.h"

namespace {

using differential::Strings;

// Answers that stress the new link: escapes, "www.", percent codes, placeholders,
// markers and keys of the document itself, bytes beyond ASCII.
std::string Answer(pdfgen::Rng& rng, const Strings& keys) {
  static const char* const kPalette[] = {
      "", "A17", "www.shop.example/p", "WWW.Shop", "a%20b%3f", "(x)\\y", "\xE9\xC9\xFF", "XXXX", "xxxx",
      "line\r\nbreak", "~^", "xxlink=", "XXLINK =Ref~q/XXXX", ")", "\\", "%3F%3f%20%2", "xref", "startxref"};
  size_t pick = rng.Below(22);
  if (pick < 18) return kPalette[pick];
  if (pick < 21 && !keys.empty()) return "pre " + keys[rng.Below(keys.size())] + (pick == 20 ? "~t/XXXX" : "");
  return std::string(150 + rng.Below(200), 'z');
}

pdfgen::Options SmallDocument(uint64_t seed, pdfgen::Rng& rng, double odd) {
  pdfgen::Options o;
  o.seed = seed;
  o.size = 400 + rng.Below(4000);
  o.links = 1 + static_cast<int>(rng.Below(30));
  o.items = 1 + static_cast<int>(rng.Below(12));
  o.crlf = rng.Chance(0.3);
  o.binaryPadding = rng.Chance(0.5);
  o.subsections = 1 + static_cast<int>(rng.Below(3));
  o.oddLinks = odd;
  return o;
}

// The keys the wizard would pass: the scan's, or the generator's when the scan
// refuses (so that refused documents still run through both engines).
Strings KeysOf(const pdfgen::Document& doc) {
  Strings keys;
  if (!brand::ScanBrandableItems(doc.pdf, keys)) return doc.keys;
  return keys;
}

// Brands `count` documents; fails with the seed of each document the engines disagree on.
void RunMany(uint64_t firstSeed, int count, double odd, bool reorderKeys) {
  int failures = 0;
  for (uint64_t seed = firstSeed; seed < firstSeed + count && failures < 5; ++seed) {
    pdfgen::Rng rng(seed * 7919);
    pdfgen::Document doc = pdfgen::Generate(SmallDocument(seed, rng, odd));
    Strings keys = KeysOf(doc);
    if (reorderKeys) {
      for (size_t i = keys.size(); i > 1; --i) std::swap(keys[i - 1], keys[rng.Below(i)]);
      std::string shorter = keys[0].substr(0, keys[0].size() - 1);
      bool known = std::any_of(keys.begin(), keys.end(), [&](const std::string& k) { return brand::EqualKeys(k, shorter); });
      if (!known && rng.Chance(0.5)) keys.push_back(shorter);  // a key that is the beginning of another
      if (rng.Chance(0.3)) keys.erase(keys.begin());
    }
    Strings values;
    for (size_t i = 0; i < keys.size(); ++i) values.push_back(Answer(rng, keys));
    std::string why = differential::Disagreement(doc.pdf, keys, values);
    if (!why.empty()) {
      ++failures;
      ADD_FAILURE() << "seed " << seed << ": " << why;
    }
  }
}

}  // namespace

TEST(Differential, UsualDocuments) { RunMany(1, 1200, 0, false); }

TEST(Differential, DocumentsWithOddLinks) { RunMany(100001, 1200, 0.5, false); }

TEST(Differential, KeysInAnotherOrderOrMissing) { RunMany(200001, 800, 0.3, true); }

// The vector search behind the marker walk and the keyword search, against a
// byte-by-byte reading, from every start position of buffers dense with hits.
TEST(Differential, PairSearchMatchesAPlainLoop) {
  pdfgen::Rng rng(42);
  static const char kBytes[] = "kK =xXrR\0a";
  for (int round = 0; round < 200; ++round) {
    std::string buffer(rng.Below(90), ' ');
    for (char& c : buffer) c = kBytes[rng.Below(sizeof kBytes - 1)];
    for (size_t from = 0; from <= buffer.size(); ++from) {
      size_t plain = std::string_view::npos;
      for (size_t i = from; i + 1 < buffer.size() && plain == std::string_view::npos; ++i) {
        char x = static_cast<char>(buffer[i] | 0x20);
        if ((x == 'k' || x == ' ') && buffer[i + 1] == '=') plain = i;
      }
      ASSERT_EQ(brand::FindPair(buffer, from, 'k', ' ', '=', 0), plain) << round << " " << from;
      size_t xr = std::string::npos;
      for (size_t i = from; i + 1 < buffer.size() && xr == std::string::npos; ++i)
        if ((buffer[i] | 0x20) == 'x' && (buffer[i + 1] | 0x20) == 'r') xr = i;
      ASSERT_EQ(brand::FindPair(buffer, from, 'x', 'x', 'r', 0x20), xr) << round << " " << from;
    }
  }
}
