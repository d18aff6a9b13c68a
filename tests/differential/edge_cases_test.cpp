// Hand-picked documents where the fast engine's shortcuts could go wrong; each
// is branded by both engines, which must agree, and by the expected outcome.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// A document whose "startxref" value is `target`: the filler link pads it there.
std::string WithStartxref(size_t target, const std::string& link) {
  std::string probe = testpdf::MakePdf({link, ""});
  size_t base = brand::FindXref(probe).startxrefValue;
  return testpdf::MakePdf({link, std::string(target > base ? target - base : 0, 'f')});
}

// Where the content of the first "/URI(" string begins.
size_t Start(const std::string& doc) { return doc.find("/URI(") + 5; }

// Sets the xref entries of objects 1, 2, ... to the given offsets.
std::string WithEntries(std::string doc, const std::vector<size_t>& offsets) {
  size_t first = brand::FindXref(doc).runs.at(0).first;
  for (size_t i = 0; i < offsets.size(); ++i) {
    std::string digits = std::to_string(offsets[i]);
    doc.replace(first + 20 * (i + 1), 10, std::string(10 - digits.size(), '0') + digits);
  }
  return doc;
}

// A "startxref" line before a link and the table behind both, its value just
// below 1000, and a first link that carries a table keyword line (so the edits
// go step by step): the second rewrite makes the number one digit longer.
std::string StartxrefBeforeLink() {
  std::string body = testpdf::MakePdf({"xxlink=A^\nxref\n0 0\n"});
  size_t table = body.rfind("\nxref\n") + 1, tail = body.find("startxref", table);
  std::string link = "% /URI(xxlink=A~t/XXXX)\n";
  std::string head = body.substr(0, table) + "%" + std::string(990 - table - 30 - link.size(), 'f') + "\n";
  std::string line = "startxref\n" + std::to_string(head.size() + 20 + link.size()) + "\n%%EOF\n";
  return head + line + link + body.substr(table, tail - table);
}

struct Case {
  const char* name;
  std::string doc;
  Strings answers;
  const char* refusal = nullptr;  // the message both must give, or none: both write
};

std::vector<Case> Cases() {
  std::string plain = testpdf::MakePdf({"xxlink=ID~a/XXXX", "Xxlink=id~b/XXXX^d"});
  pdfgen::Options sections;
  sections.size = 3000, sections.links = 12, sections.items = 4, sections.subsections = 3, sections.crlf = true;
  return {
      {"two markers in one string", testpdf::MakePdf({"xxlink=A xxlink=B~b/XXXX", "xxlink=B~c/XXXX"}), {"1", "2"}},
      {"keys that are prefixes", testpdf::MakePdf({"xxlink=ID_2~b/XXXX", "xxlink=ID~a/XXXX", "xxlink=I~c"}),
       {"x", "y", "z"}},
      {"lead-ins at the limit",
       testpdf::MakePdf({std::string(94, 'p') + "xxlink=ID~a/XXXX", std::string(95, 'p') + "xxlink=ID~b/XXXX",
                         "lead xxlink =ID~c/XXXX", "a\\) xxlink=ID~d/XXXX"}),
       {"v", "w"}},
      {"a marker without \")\" at the end", plain + "/URI(xxlink=ID~t/XXXX^end", {"v"}},
      {"a marker without \")\" outside links", plain + "% xxlink=ID~t/XXXX", {"v"}},
      {"entries past the end", plain + "xref\n0 40\n0000000001 00000 n\r\n0000099999 00000 n\r\n00000", {"long value"}},
      {"no table", Replaced(plain, "xref\n", "xref \n"), {"v"}, brand::kNoXrefTable},
      {"two startxref lines", plain + "startxref\n1\n%%EOF\n", {"v"}, brand::kIncrementalUpdates},
      {"no startxref line", Replaced(plain, "startxref\n", "startxref \n"), {"v"}, brand::kNoStartXref},
      {"nothing to rewrite, no table", "%PDF-1.4\n(xxlink=ID) /URI (xxlink=ID)\n", {"v"}},
      {"answers with markers",
       testpdf::MakePdf({"xxlink=A~a/XXXX", "xxlink=B~b/XXXX", "xxlink=A"}),
       {"xxlink=A xxlink=B~z/XXXX", "www.xxlink=A"}},
      {"answers with escapes and bytes beyond ASCII", plain, {"(a)\\b\xE9\xFF\r\n", "\xC9)"}},
      {"zero bytes in link strings", testpdf::MakePdf({std::string("xxlink=ID~a\0b/XXXX^d\0", 21), "xxlink=I\0D"}),
       {"v", "w"}},
      {"CR LF lines", testpdf::MakePdf({"xxlink=ID~a/XXXX", "xxlink=K^d"}, "\r\n"), {"", "k"}},
      {"several subsections", pdfgen::Generate(sections).pdf, {"a", "", "www.c", "d"}},
      {"startxref gains a digit", WithStartxref(9990, "xxlink=ID~a/XXXX"), {std::string(40, 'g')}},
      {"startxref loses a digit", WithStartxref(10005, "xxlink=ID~" + std::string(40, 'a') + "/XXXX"), {"s"}},
      {"startxref with leading zeros", Replaced(plain, "startxref\n", "startxref\n000"), {"v"}},
      {"keyword in capitals", Replaced(Replaced(plain, "xref\n", "XREF\n"), "startxref", "STARTXREF"), {"v"}},
      {"keys differing beyond A to Z", testpdf::MakePdf({"xxlink=\xC9~a/XXXX", "xxlink=\xE9~b/XXXX"}), {"1", "2"}},
      {"empty questions", testpdf::MakePdf({"xxlink=~a/XXXX", "xxlink=^d", "xxlink ="}), {"", "v"}},
      {"a template that writes a startxref line", testpdf::MakePdf({"xxlink=A~\nstartXXXX\n", "xxlink=B~b/XXXX"}),
       {"xref", "v"}, brand::kIncrementalUpdates},
      {"a template that writes a table", testpdf::MakePdf({"xxlink=A~\nxref\n0%201\nXXXX", "xxlink=B~b/XXXX"}),
       {"0000099999 00000 n", "a longer value"}},
      {"a table inside a link string",
       testpdf::MakePdf({"xxlink=B~b/XXXX", "xxlink=A^\nxref\n0 1\n0000099999 00000 n\r\n"}), {"a longer value", ""}},
      {"a rewrite that removes a table, with a link behind startxref",
       WithStartxref(9990, "xxlink=A^\nxref\n0 0\n") + "/URI(xxlink=A~t/XXXX)\n", {std::string(40, 'g')}},
      {"a startxref line before a link, step by step", StartxrefBeforeLink(), {std::string(30, 'v')}},
      {"offsets at and just behind a link's first byte", WithEntries(plain, {Start(plain), Start(plain) + 1}),
       {"a much longer value"}},
      {"key in page text and behind a \")\"", Replaced(plain, "endobj", "endobj\n(see xxlink=ID~XXXX) % /URI(x)xxlink=ID"),
       {"v"}},
  };
}

}  // namespace

TEST(DifferentialEdgeCases, BothEnginesAgreeWithTheExpectedOutcome) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    Strings keys;
    if (!brand::ScanBrandableItems(c.doc, keys)) keys = {"xxlink=ID"};
    Strings values = c.answers;
    values.resize(keys.size());
    EXPECT_EQ(differential::Disagreement(c.doc, keys, values), "");
    differential::Outcome fast = differential::Fast(c.doc, keys, values);
    if (c.refusal) {
      EXPECT_EQ(fast.text, c.refusal);
    } else {
      EXPECT_TRUE(fast.ok) << fast.text;
    }
  }
}
