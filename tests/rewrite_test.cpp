#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "branding/items.h"
#include "branding/rewrite.h"
#include "branding/xref.h"
#include "tests/oracle.h"
#include "tests/pdf_builder.h"

namespace {

using Strings = std::vector<std::string>;

// Brands with both the engine and the literal loop; they must agree.
std::string Brand(const std::string& doc, const Strings& answers, std::string* message = nullptr) {
  Strings keys;
  EXPECT_TRUE(brand::ScanBrandableItems(doc, keys).ok());
  Strings values = answers;
  values.resize(keys.size());
  std::string fast, slow;
  brand::Status a = brand::BrandDocument(doc, keys, values, fast);
  brand::Status b = oracle::Brand(doc, keys, values, slow);
  EXPECT_EQ(a.message(), b.message());
  EXPECT_EQ(fast, slow);
  if (message) *message = a.message();
  return a ? fast : "refused";
}

// The URI strings of a document, in order.
Strings Uris(const std::string& doc) {
  Strings uris;
  for (size_t at = doc.find("/URI("); at != std::string::npos; at = doc.find("/URI(", at + 1)) {
    size_t end = doc.find(") >>", at);
    uris.push_back(doc.substr(at + 5, end - at - 5));
  }
  return uris;
}

// Every recorded offset points at its object, and startxref at the table.
void ExpectConsistent(const std::string& pdf) {
  brand::XrefLayout layout = brand::FindXref(pdf);
  ASSERT_EQ(layout.runs.size(), 1u);
  for (size_t i = 1; i < layout.runs[0].count; ++i) {
    int64_t offset = brand::EntryValue(pdf, layout.runs[0].first + 20 * i);
    EXPECT_EQ(pdf.compare(offset, std::to_string(i).size() + 6, std::to_string(i) + " 0 obj"), 0) << i;
  }
  EXPECT_EQ(pdf.compare(layout.startxrefValue, 4, "xref"), 0);
}

}  // namespace

TEST(NewLink, FromLinkTextAndAnswer) {
  struct Case {
    const char* text;
    const char* value;
    const char* link;
  } cases[] = {
      {"xxlink=ID~/join%3Fref=XXXX^/join", "A17", "/join?ref=A17"},  // the worked example
      {"xxlink=ID~/join%3Fref=XXXX^/join", "", "/join"},
      {"xxlink=ID~/join%3Fref=XXXX", "", ""},                        // empty answer, no default: empty
      {"xxlink=ID~a/XXXX/b/XXXX", "v", "a/v/b/v"},
      {"xxlink=ID~XXXX-xxxx", "v", "v-xxxx"},                        // "XXXX" wins, "xxxx" stays
      {"xxlink=ID~p=xxxx", "v", "p=v"},
      {"xxlink=ID~no placeholder", "v", "v"},
      {"xxlink=ID", "www.shop.example", "http://www.shop.example"},
      {"xxlink=ID", "WWW.shop.example", "WWW.shop.example"},
      {"xxlink=ID~q=XXXX", "a%20b", "q=a b"},                       // %20 only with a template
      {"xxlink=ID", "a%20b", "a%20b"},
      {"xxlink=ID^d~not a template", "v", "v"},                      // "^" first: template is in the default
      {"xxlink=ID~u%3fXXXX%3F", "v", "u?v?"},
      {"xxlink=ID~q=XXXX", "a(b)\\c", "q=a\\(b\\)\\\\c"},           // the answer cannot break the string
      {"xxlink=ID", "line\r\nbreak", "line\\r\\nbreak"},
  };
  for (const Case& c : cases) EXPECT_EQ(brand::NewLink(c.text, c.value), c.link) << c.text << " / " << c.value;
}

TEST(BrandDocument, RewritesEveryLinkAndKeepsOffsetsRight) {
  std::string pdf = testpdf::MakePdf({
      "xxlink=Your_member_ID~https://shop.example/join%3Fref=XXXX^https://shop.example/join",
      "lead-in XXLINK=your_member_id^https://shop.example/",  // same item, own default, lead-in replaced
      "xxlink=Coupon~https://shop.example/c/xxxx",
      "xxlink=Your_member_ID_2~t/XXXX",                      // a key with the first as its beginning
  });
  std::string out = Brand(pdf, {"A17", "", "B2"});
  EXPECT_EQ(Uris(out), (Strings{"https://shop.example/join?ref=A17", "A17", "", "t/B2"}));
  ExpectConsistent(out);
  out = Brand(pdf, {"", "", "", ""});
  EXPECT_EQ(Uris(out), (Strings{"https://shop.example/join", "https://shop.example/", "", ""}));
  ExpectConsistent(out);
}

TEST(BrandDocument, GrowthHasNoCap) {
  std::string pdf = testpdf::MakePdf({"xxlink=ID~XXXX", "xxlink=ID~XXXX/XXXX"});
  std::string out = Brand(pdf, {std::string(30000, 'z')});
  EXPECT_GE(out.size(), pdf.size() + 30000 * 3 - 33);  // three copies in, the old link texts out
  ExpectConsistent(out);
}

TEST(BrandDocument, InsertedTextIsNeverRewrittenAgain) {
  std::string pdf = testpdf::MakePdf({"xxlink=ID~XXXX", "xxlink=Other~o/XXXX"});
  // Answers that carry this or a later item's marker and key.
  std::string out = Brand(pdf, {"xxlink=ID~XXXX xxlink=Other", "v"});
  EXPECT_EQ(Uris(out), (Strings{"xxlink=ID~XXXX xxlink=Other", "o/v"}));
  ExpectConsistent(out);
}

TEST(BrandDocument, TwoMarkersInOneStringAndCaseBeyondAToZ) {
  std::string pdf = testpdf::MakePdf({"xxlink=A xxlink=B~b/XXXX", "xxlink=B~c/XXXX", "xxlink=\xC9~e/XXXX",
                                      "xxlink=\xE9~f/XXXX"});
  std::string out = Brand(pdf, {"1", "2", "3", "4"});
  // The first item's link swallows the second marker; each accented key gets its own answer.
  EXPECT_EQ(Uris(out), (Strings{"b/1", "c/2", "e/3", "f/4"}));
}

TEST(BrandDocument, OccurrencesOutsideLinksStayAndRefusalsWriteNothing) {
  std::string pdf = testpdf::MakePdf({"xxlink=ID~XXXX"});
  pdf.insert(pdf.find("endobj") + 7, "% page text: xxlink=ID (not a link)\n");
  std::string out = Brand(pdf, {"v"});
  EXPECT_NE(out.find("% page text: xxlink=ID (not a link)"), std::string::npos);
  // A second startxref: refused with the fix-up's message.
  std::string message;
  Brand(pdf + "startxref\n9\n%%EOF\n", {"v"}, &message);
  EXPECT_EQ(message, brand::kIncrementalUpdates);
  // Nothing to rewrite: unchanged, even without a table.
  std::string plain;
  ASSERT_TRUE(brand::BrandDocument("no links", {}, {}, plain).ok());
  EXPECT_EQ(plain, "no links");
}

TEST(BrandDocument, CrLfFilesAndZeroBytesInLinks) {
  std::string pdf = testpdf::MakePdf({std::string("xxlink=ID~a\0b/XXXX^d\0d", 22)}, "\r\n");
  std::string out = Brand(pdf, {"v"});
  EXPECT_EQ(Uris(out), Strings{"a b/v"});  // link text comes from the search copy
  ExpectConsistent(out);
}

TEST(BrandDocument, KeywordLinesInLinksOfALargeDocumentAreRefusedNotGroundThrough) {
  // Each template writes an "xref" line, so every rewrite changes what the next
  // fix-up sees; a thousand of them over 5 MB would take minutes one by one.
  std::vector<std::string> uris(1000, "xxlink=ID~\rxref\rXXXX");
  std::string pdf = testpdf::MakePdf(uris);
  pdf.insert(pdf.find("\nxref\n") + 1, std::string(5000000, ' '));  // a large document
  std::vector<std::string> keys;
  ASSERT_TRUE(brand::ScanBrandableItems(pdf, keys).ok());
  std::string out;
  EXPECT_EQ(brand::BrandDocument(pdf, keys, {"v"}, out).message(), brand::kLineBreaksInLinks);
}
