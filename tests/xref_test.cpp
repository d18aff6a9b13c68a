#include <gtest/gtest.h>

#include <string>

#include "branding/xref.h"

namespace {

// A document with one table: entries for the given offsets, then startxref.
std::string Doc(const std::string& header, const std::string& entries, const std::string& tail = "startxref\n90\n%%EOF\n") {
  return "%PDF-1.4\nbody\n" + header + entries + "trailer\n<< >>\n" + tail;
}

std::string Entry(const char* ten) { return std::string(ten) + " 00000 n\r\n"; }

std::string Fix(std::string doc, int64_t at, int64_t delta, std::string* message = nullptr) {
  brand::Status status = brand::FixCrossReferences(doc, at, delta);
  if (message) *message = status.message();
  return status ? doc : "refused";
}

}  // namespace

TEST(FixCrossReferences, ShiftsOnlyOffsetsStrictlyGreaterThanTheChange) {
  std::string doc = Doc("xref\n0 4\n", Entry("0000000049") + Entry("0000000050") + Entry("0000000051") + Entry("  hello!  "));
  std::string fixed = Fix(doc, 50, 7);
  EXPECT_NE(fixed.find(Entry("0000000049") + Entry("0000000050") + Entry("0000000058")), std::string::npos);
  EXPECT_NE(fixed.find(Entry("  hello!  ")), std::string::npos);  // not in the usual form, not shifted: as it was
  EXPECT_NE(fixed.find("startxref\n97\n"), std::string::npos);
  // A negative delta: still ten digits with leading zeros.
  EXPECT_NE(Fix(doc, 50, -51).find(Entry("0000000000")), std::string::npos);
}

TEST(FixCrossReferences, HeaderForms) {
  struct Case {
    const char* header;
    bool shifted;
  } cases[] = {
      {"xref\r\n0 2\r\n", true},      {"xref\n\n0 2\n", true},     {"XREF\n0 2\n", true},
      {"xref\n0  2  \n\n\n", true},   {"xref\n 2\n", true},        // no first number: a blank is enough
      {"xref\n0\t2\n", false},        {"xref \n0 2\n", false},     {"startxref\n0 2\n", false},
  };
  for (const Case& c : cases) {
    std::string doc = Doc(c.header, Entry("0000000020") + Entry("0000000030"));
    std::string message;
    std::string fixed = Fix(doc, 10, 1, &message);
    if (c.shifted) {
      EXPECT_NE(fixed.find(Entry("0000000021") + Entry("0000000031")), std::string::npos) << c.header;
    } else {
      EXPECT_EQ(message, brand::kNoXrefTable) << c.header;
    }
  }
}

TEST(FixCrossReferences, CountsAndSubsections) {
  // Count 0 is a table that shifts nothing.
  EXPECT_NE(Fix(Doc("xref\n0 0\n", Entry("0000000020")), 10, 1).find(Entry("0000000020")), std::string::npos);
  // Every subsection is shifted; the table ends at "trailer".
  std::string two = Doc("xref\n0 1\n", Entry("0000000020") + "5 2\r\n" + Entry("0000000040") + Entry("0000000060"));
  EXPECT_NE(Fix(two, 10, 3).find(Entry("0000000023") + "5 2\r\n" + Entry("0000000043") + Entry("0000000063")),
            std::string::npos);
  // A count larger than the document: entries past its end are neither read nor written.
  std::string past = "%PDF\nxref\n0 99999999999999999999\n" + Entry("0000000020") + "000000";
  std::string message;
  Fix(past, 10, 1, &message);
  EXPECT_EQ(message, brand::kNoStartXref);
  std::string fixed = past;
  brand::FixCrossReferences(fixed, 10, 1);
  EXPECT_EQ(fixed, "%PDF\nxref\n0 99999999999999999999\n" + Entry("0000000021") + "000000");
}

TEST(FixCrossReferences, StartxrefValue) {
  struct Case {
    const char* tail;
    int64_t at, delta;
    const char* expected;
  } cases[] = {
      {"startxref\n99\n%%EOF\n", 10, 5, "startxref\n104\n%%EOF\n"},      // one digit more, tail moved on
      {"startxref\n104\n%%EOF\n", 10, -5, "startxref\n99\n%%EOF\n"},
      {"startxref\n0099\n%%EOF\n", 10, 5, "startxref\n104\n%%EOF\n"},    // leading zeros go
      {"startxref\n0099\n%%EOF\n", 99, 5, "startxref\n0099\n%%EOF\n"},   // equal: unchanged
      {"startxref\r\n  99\r\n", 10, 1, "startxref\r\n  100\r\n"},
      {"startxref\r\n\r\n99\n", 10, 5, "startxref\r\n\r\n99\n"},         // three EOLs: reads 0, never shifted
      {"STARTXREF\n99\n", 10, 1, "STARTXREF\n100\n"},
  };
  for (const Case& c : cases) {
    std::string doc = Doc("xref\n0 0\n", "", c.tail);
    std::string fixed = Fix(doc, c.at, c.delta);
    EXPECT_EQ(fixed.substr(fixed.find("trailer\n<< >>\n") + 14), c.expected) << c.tail;
  }
}

TEST(FixCrossReferences, ZeroBytesBehindTheNumberStayZero) {
  std::string tail("startxref\n99\n%%EOF\n\0\0end", 24);
  std::string fixed = Fix(Doc("xref\n0 0\n", "", tail), 1, 1);
  EXPECT_EQ(fixed.substr(fixed.size() - 10), std::string("%EOF\n\0\0end", 10));
}

TEST(FixCrossReferences, Refusals) {
  struct Case {
    std::string doc;
    const char* message;
  } cases[] = {
      {"%PDF\n1 0 obj\n<< /Type /XRef >>\nstream\nendstream\nstartxref\n5\n", brand::kNoXrefTable},
      {"%PDF\nno table\n", brand::kNoXrefTable},
      {Doc("xref\n0 0\n", "", "startxref 9\n"), brand::kNoStartXref},       // not on a line of its own
      {Doc("xref\n0 0\n", "", "startxref\n9\nstartxref\n9\n"), brand::kIncrementalUpdates},
      {Doc("xref\n0 0\n", "", "startxref\n9999\nstartxref\n9\n"), brand::kIncrementalUpdates},
  };
  for (const Case& c : cases) {
    std::string message;
    Fix(c.doc, 5, 1, &message);
    EXPECT_EQ(message, c.message) << c.doc;
  }
  EXPECT_NE(std::string(brand::kIncrementalUpdates).find("software\n(Reason: Incremental Updates)\n\nPlease"),
            std::string::npos);
}
