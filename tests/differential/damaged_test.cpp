// Damaged files, where the two engines may legitimately differ: recorded offsets
// inside link strings that get rewritten, nested or unterminated link strings,
// tables inside links, truncations and random byte damage. The fast engine must
// still give an output or a refusal, never touch memory outside the document
// (the suite runs under AddressSanitizer), and its output must stay coherent.
#include <gtest/gtest.h>

#include <string>

#include "bench/generate.h"
#include "branding/items.h"
#include "branding/xref.h"
#include "tests/differential/compare.h"
#include "tests/pdf_builder.h"

namespace {

using differential::Strings;

std::string Replaced(std::string doc, const std::string& from, const std::string& to) {
  size_t at = doc.find(from);
  return at == std::string::npos ? doc : doc.replace(at, from.size(), to);
}

// Sets the n-th xref entry (0 = the free head) of a builder document to `ten` digits.
std::string WithEntry(std::string doc, size_t n, const std::string& ten) {
  brand::XrefLayout layout = brand::FindXref(doc);
  return doc.replace(layout.runs.at(0).first + 20 * n, 10, ten);
}

std::string Ten(size_t value) {
  std::string digits = std::to_string(value);
  return std::string(10 - digits.size(), '0') + digits;
}

// Brands with the fast engine; a written output must be as long as the edits say.
void BrandSafely(const std::string& doc, const Strings& answers) {
  Strings keys;
  if (!brand::ScanBrandableItems(doc, keys)) keys = {"xxlink=ID"};
  Strings values = answers;
  values.resize(keys.size(), "v");
  differential::Outcome fast = differential::Fast(doc, keys, values);
  differential::Outcome inPlace = differential::InPlace(doc, keys, values);
  EXPECT_EQ(inPlace.ok, fast.ok);
  EXPECT_TRUE(inPlace.text == fast.text);
  if (!fast.ok) {
    EXPECT_TRUE(fast.text == brand::kNoXrefTable || fast.text == brand::kNoStartXref ||
                fast.text == brand::kIncrementalUpdates)
        << fast.text;
  }
}

}  // namespace

TEST(DamagedDocuments, HandPicked) {
  std::string good = testpdf::MakePdf({"xxlink=ID~a/XXXX", "xxlink=K~b/XXXX^d"});
  size_t inLink = good.find("xxlink=ID") + 3;
  std::string cases[] = {
      WithEntry(good, 4, Ten(inLink)),                                      // an object said to begin in a link
      Replaced(good, "xref\n0 6", "xref\n0 9"),                             // the count runs into the trailer
      Replaced(good, "xref\n0 6", "xref\n0 2147483648"),                    // a count beyond 32 bits
      WithEntry(good, 5, "-000000001"),                                     // not digits
      WithEntry(good, 5, "//////////"),
      WithEntry(good, 5, "9999999999"),                                     // shifting would need 11 digits
      testpdf::MakePdf({"xxlink=A /URI(xxlink=B~b/XXXX) tail", "xxlink=B"}),  // nested link strings
      testpdf::MakePdf({"xxlink=ID~\nxref\n0 1\n0000000001 00000 n\r\n"}),     // a table inside a link
      testpdf::MakePdf({"xxlink=ID~\nstartxref\n5\n"}),                       // a second startxref in a link
      Replaced(good, "/URI(xxlink=K~b/XXXX^d)", "/URI(xxlink=K~b/XXXX^d"),  // unterminated: runs over the table
      good + std::string(3, '\0') + "/URI(xxlink=ID",                        // zero bytes, then no ")"
  };
  for (const std::string& doc : cases) {
    BrandSafely(doc, {"v", std::string(300, 'w')});
    BrandSafely(doc, {"", ""});
  }
  // startxref pointing into a link string that is rewritten.
  std::string pointing = good;
  size_t number = brand::FindXref(good).numberStart;
  pointing.replace(number, brand::FindXref(good).numberEnd - number, std::to_string(inLink));
  BrandSafely(pointing, {"a much longer value than before"});
}

TEST(DamagedDocuments, EveryTruncation) {
  std::string good = testpdf::MakePdf({"xxlink=ID~a/XXXX^d", "lead xxlink=K~b/XXXX"}, "\r\n");
  for (size_t n = 0; n <= good.size(); ++n) BrandSafely(good.substr(0, n), {"value", ""});
}

TEST(DamagedDocuments, RandomByteDamage) {
  static const char kBytes[] = ")(/uri\r\n xref 0123456789~^=xXlLiInNkK\0";
  for (uint64_t seed = 1; seed <= 1500; ++seed) {
    pdfgen::Rng rng(seed);
    pdfgen::Options o;
    o.seed = seed, o.size = 400 + rng.Below(2500), o.links = 1 + static_cast<int>(rng.Below(12));
    o.items = 1 + static_cast<int>(rng.Below(4)), o.oddLinks = 0.3, o.binaryPadding = rng.Chance(0.5);
    std::string doc = pdfgen::Generate(o).pdf;
    for (size_t hits = 1 + rng.Below(8); hits-- > 0;) {
      size_t at = rng.Below(doc.size());
      if (rng.Chance(0.5)) doc[at] = kBytes[rng.Below(sizeof kBytes - 1)];
      else doc.insert(at, rng.Chance(0.5) ? "/URI(xxlink=ID~XXXX" : "\nxref\n0 3\n");
    }
    BrandSafely(doc, {"v", "", "www.(x)", std::string(70, 'L')});
  }
}
