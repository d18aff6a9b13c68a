// Hostile documents through the scan and the rewrite: truncated keywords,
// unclosed strings, numbers too long for 32 bits, floods of markers. Each is
// refused with the stub's message or branded without reading or writing
// outside the document.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "branding/items.h"
#include "branding/rewrite.h"
#include "branding/xref.h"
#include "tests/pdf_builder.h"

namespace {

using Strings = std::vector<std::string>;

struct Result {
  std::string message;  // "" when branded
  std::string out;
};

Result Brand(const std::string& doc, Strings answers) {
  Strings keys;
  Result r;
  brand::Status status = brand::ScanBrandableItems(doc, keys);
  answers.resize(keys.size());
  if (status) status = brand::BrandDocument(doc, keys, answers, r.out);
  r.message = status.message();
  return r;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

}  // namespace

TEST(HostileDocuments, RefusedOrBrandedWithinTheDocument) {
  const std::string pdf = testpdf::MakePdf({"xxlink=ID~t/XXXX"});  // the link shrinks by 13 bytes with "v"
  const size_t startxref = pdf.find("startxref");
  const std::string xrefAt = pdf.substr(startxref + 10, pdf.find('\n', startxref + 10) - startxref - 10);
  struct Case {
    const char* what;
    std::string doc;
    Strings answers;
    std::string message;   // expected refusal, "" when branded
    std::string contains;  // a piece the output must hold
  } cases[] = {
      {"an empty document", "", {"v"}, brand::kNotBrandable, ""},
      {"\"startxref\" as the last bytes", pdf.substr(0, startxref + 9), {"v"}, brand::kNoStartXref, ""},
      // The keyword on a line of its own with no number: the value reads 0 and is never shifted.
      {"\"startxref\" and a line break as the last bytes", pdf.substr(0, startxref + 10), {"v"}, "", "/URI(t/v)"},
      {"a marker as the last bytes", pdf + "/URI(xxlink=", {"v", "w"}, "", "/URI(t/v)"},
      // The string runs to the end of the document, over the table: it is all replaced.
      {"no \")\" after a marker", Replace(pdf, "XXXX)", "XXXX "), {"v"}, "", "/URI(t/v  >> >>\nendobj\nxref"},
      {"zero bytes inside a link string", testpdf::MakePdf({std::string("xxlink\0=ID~t\0/XXXX", 18)}), {"v"}, "",
       "/URI(t /v)"},
      {"a \"startxref\" number longer than 32 bits", Replace(pdf, "startxref\n" + xrefAt, "startxref\n99999999999"),
       {"v"}, "", "startxref\n99999999986\n"},
      {"a \"startxref\" number of 30 digits",
       Replace(pdf, "startxref\n" + xrefAt, "startxref\n" + std::string(30, '9')), {"v"}, "",
       "startxref\n" + std::string(30, '9') + "\n"},
      // Shifted on, the entry would need eleven digits: it keeps its bytes.
      {"an entry at the largest ten-digit offset", Replace(pdf, "0000000015 00000 n", "9999999999 00000 n"),
       {std::string(30, 'v')}, "", "9999999999 00000 n"},
      {"an entry count of 20 digits", Replace(pdf, "xref\n0 5\n", "xref\n0 99999999999999999999\n"), {"v"}, "",
       "/URI(t/v)"},
      {"an entry count past INT32_MAX", Replace(pdf, "xref\n0 5\n", "xref\n0 2147483648\n"), {"v"}, "",
       "/URI(t/v)"},
  };
  for (const Case& c : cases) {
    Result r = Brand(c.doc, c.answers);
    EXPECT_EQ(r.message, c.message) << c.what;
    if (!c.contains.empty()) {
      EXPECT_NE(r.out.find(c.contains), std::string::npos) << c.what << "\n" << r.out;
    }
  }
}

TEST(HostileDocuments, HundredThousandMarkers) {
  // In as many links, all one item: every one rewritten, in one linear pass.
  Strings links(100000, "xxlink=ID~t/XXXX");
  Result many = Brand(testpdf::MakePdf(links), {"v"});
  EXPECT_EQ(many.message, "");
  EXPECT_EQ(Count(many.out, "/URI(t/v)"), 100000u);
  // In one string: only the first markers lie close enough to "/uri("; the
  // first link swallows the rest.
  std::string flood;
  for (int i = 0; i < 100000; ++i) flood += "xxlink=ID ";
  Result one = Brand(testpdf::MakePdf({flood}), {"v"});
  EXPECT_EQ(one.message, "");
  EXPECT_NE(one.out.find("/URI(v)"), std::string::npos);
  EXPECT_EQ(Count(one.out, "xxlink"), 0u);
}
