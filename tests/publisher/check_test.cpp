// `brandpdf check`: the verdict, the questions and each warning, on small PDFs
// that show one surprise each.
#include "tests/publisher/small_pdf.h"
#include "tests/publisher/support.h"
#include "tools/brandpdf/check.h"

namespace {

using pubtest::SmallPdf;

std::string Joined(const tool::Report& r) {
  std::string all = r.why + "\n";
  for (const auto& q : r.questions) all += q.text + " (" + std::to_string(q.links) + ")\n";
  for (const auto& w : r.warnings) all += w + "\n";
  return all;
}

std::vector<std::string> Distinct(int n) {
  std::vector<std::string> uris;
  for (int i = 0; i < n; ++i) uris.push_back("/URI(xxlink=Q" + std::to_string(i) + ")");
  return uris;
}

struct Case {
  const char* name;
  std::string pdf;
  int exit;
  const char* says;  // in the reason, the questions or a warning
};

TEST(Check, EachSurpriseIsReported) {
  const Case cases[] = {
      {"clean", SmallPdf({"/URI(xxlink=ID~http://x/?r=XXXX^http://x/)", "/URI(XXLINK=id)"}), 0, "ID (2)"},
      {"blank before the string", SmallPdf({"/URI(xxlink=ID)", "/URI (xxlink=Other)"}), 1,
       "1 link with question \"Other\" written as \"/URI (\""},
      {"hex string", SmallPdf({"/URI(xxlink=ID)", "/URI <78786C696E6B3D486578>"}), 1,
       "question \"Hex\" written as a hex string"},
      {"encoded tilde", SmallPdf({"/URI(xxlink=ID%7Ehttp://x/XXXX)"}), 1, "\"%7E\" where \"~\" was probably meant"},
      {"encoded caret", SmallPdf({"/URI(xxlink=ID~http://x/XXXX%5Ehttp://x/)"}), 1, "part of the template"},
      {"case beyond A-Z", SmallPdf({"/URI(xxlink=\xC4rger)", "/URI(xxlink=\xE4rger)"}), 1,
       "differ only by letter case outside A-Z or by blanks"},
      {"blanks", SmallPdf({"/URI(xxlink=Your_ID)", "/URI(xxlink=YourID)"}), 1, "differ only by letter case"},
      {"prefix", SmallPdf({"/URI(xxlink=ID)", "/URI(xxlink=ID2)"}), 1, "one is the beginning of the other"},
      {"no placeholder", SmallPdf({"/URI(xxlink=ID~http://x/)"}), 1, "has no placeholder XXXX"},
      {"empty question", SmallPdf({"/URI(xxlink=~http://x/XXXX)"}), 1, "has an empty question text"},
      {"marker in page text", SmallPdf({"/URI(xxlink=ID)"}, "type xxlink=Text"), 1, "1 link marker (the first at byte"},
      {"percent-encoded blank", SmallPdf({"/URI(xxlink=ID)", "/URI(xxlink%20=Other)"}), 1, "\"xxlink%20=\""},
      {"not brandable", SmallPdf({"/URI(http://x/)"}), 2, "No link the stub can see"},
      {"too many", SmallPdf(Distinct(101)), 2, "101 distinct questions; the stub asks at most 100"},
      {"incremental", SmallPdf({"/URI(xxlink=ID)"}) + "startxref\n9\n%%EOF\n", 2, "2 \"startxref\" lines"},
  };
  for (const Case& c : cases) {
    tool::Report report = tool::CheckDocument(c.pdf);
    EXPECT_EQ(tool::ExitCodeOf(report), c.exit) << c.name << "\n" << Joined(report);
    EXPECT_NE(Joined(report).find(c.says), std::string::npos) << c.name << "\n" << Joined(report);
  }
}

TEST(Check, PrintsTheStubsMessageAndExitsByVerdict) {
  std::string refused = pubtest::WriteTemp("check-incremental.pdf", SmallPdf({"/URI(xxlink=Your_ID)"}) + "startxref\n9\n%%EOF\n");
  auto run = pubtest::Tool("check " + refused);
  EXPECT_EQ(run.code, 2);
  EXPECT_NE(run.output.find("the stub will refuse this PDF.\n  The stub says: The PDF file is not compatible with this "
                         "software\n                 (Reason: Incremental Updates)"),
            std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("Questions in the links the stub sees (1):\n  1. Your ID (1 link)"), std::string::npos);
  EXPECT_EQ(pubtest::Tool("check /nonexistent.pdf").code, 2);
  for (const char* help : {"check --help", "normalize --help", "brand --help", "pack --help"})
    EXPECT_EQ(pubtest::Tool(help).code, 0) << help;
}

}  // namespace
