// Real producers' PDFs: what `check` says about each, and that `pack --normalize`
// makes each one a package whose branding the stub's engine gets right.
#include <map>

#include "branding/items.h"
#include "branding/rewrite.h"
#include "tests/publisher/support.h"
#include "tools/brandpdf/input.h"
#include "tools/brandpdf/linkview.h"

namespace {

using pubtest::Tool;

struct Producer {
  const char* file;
  int checkExit;                               // of `check` on the original
  std::vector<std::string> checkSays;          // in check's output
  bool decodeSeparators;                       // pack with --decode-separators
  std::map<std::string, std::string> answers;  // question text -> answer
  std::vector<std::string> uris;               // every URI after branding
};

const std::vector<std::string> kPdftexUris = {
    "http://www.example.com/x", "https://example.org/about", "https://members.example/card?id=A17&lang=en",
    "https://shop.example/join?ref=A17", "https://shop.example/offers"};
const std::map<std::string, std::string> kPdftexAnswers = {
    {"Your member ID", "A17"}, {"Coupon code", ""}, {"Your website", "www.example.com/x"}};
const std::map<std::string, std::string> kGhostscriptAnswers = {{"Partner ID", "P9"}, {"Support plan", "gold"}};
const std::vector<std::string> kGhostscriptUris = {"https://example.org/tools", "https://tools.example/P9/docs?page=xxxx",
                                                   "https://tools.example/get?via=P9",
                                                   "https://tools.example/plans?p=gold plan"};

std::vector<std::string> With(std::vector<std::string> uris, const std::string& more) {
  uris.push_back(more);
  return uris;
}

std::map<std::string, std::string> With(std::map<std::string, std::string> answers, const char* q, const char* a) {
  answers[q] = a;
  return answers;
}

const Producer kProducers[] = {
    {"pdftex-uncompressed.pdf", 0, {"will accept", "1. Your member ID (2 links)"}, false, kPdftexAnswers, kPdftexUris},
    {"pdftex-compressed.pdf", 2,
     {"The PDF file inside this package is not brandable", "no classic cross-reference table",
      "2 links with question \"Your member ID\" inside object streams"},
     false, kPdftexAnswers, kPdftexUris},
    {"qpdf-rewritten.pdf", 2,
     {"not brandable", "2 links with question \"Your member ID\" written as \"/URI (\""},
     false, kPdftexAnswers, kPdftexUris},
    {"ghostscript.pdf", 0, {"will accept", "2. Support plan (1 link)"}, false, kGhostscriptAnswers, kGhostscriptUris},
    {"incremental.pdf", 2, {"(Reason: Incremental Updates)", "2 \"startxref\" lines", "3. Gift code"}, false,
     With(kGhostscriptAnswers, "Gift code", "GC"), With(kGhostscriptUris, "https://tools.example/gift/GC")},
    {"libreoffice.pdf", 1, {"accept this PDF, with 1 warning", "\"%5E\" where \"^\""}, false,
     {{"Reader ID", "R1"}, {"Gift card", "G"}, {"Newsletter", "N"}},
     {"N", "https://books.example/buy?partner=R1", "https://books.example/club?id=R1",
      "https://books.example/gift/G%5Ehttps://books.example/gift", "https://example.org/about"}},
    {"libreoffice.pdf", 1, {}, true, {{"Reader ID", "R1"}, {"Gift card", ""}, {"Newsletter", "N"}},
     {"N", "https://books.example/buy?partner=R1", "https://books.example/club?id=R1", "https://books.example/gift",
      "https://example.org/about"}},
    {"demo.pdf", 0, {"will accept", "1. Your affiliate ID (2 links)"}, false,
     {{"Your affiliate ID", "A17"}, {"Discount code", "SPRING"}, {"Your website", ""}},
     {"https://bakery.example", "https://bakery.example/course?ref=A17", "https://bakery.example/kit?ref=A17",
      "https://bakery.example/shop?coupon=SPRING", "https://example.org/slow-bread"}},
};

class Producers : public ::testing::TestWithParam<Producer> {};

TEST_P(Producers, CheckSaysWhatTheStubWillDo) {
  const Producer& p = GetParam();
  auto check = Tool(std::string("check ") + PRODUCERS_DIR + "/" + p.file);
  EXPECT_EQ(check.code, p.checkExit) << check.output;
  for (const std::string& says : p.checkSays) EXPECT_NE(check.output.find(says), std::string::npos) << says << "\n" << check.output;
}

TEST_P(Producers, PackNormalizeGivesAPackageTheEngineBrandsRight) {
  const Producer& p = GetParam();
  std::string package = ::testing::TempDir() + "pub-" + p.file + ".exe";
  std::string options = p.decodeSeparators ? " --normalize --decode-separators" : " --normalize";
  auto pack = Tool("pack " + pubtest::StandInStub() + " " + PRODUCERS_DIR + "/" + p.file + " -o " + package + options);
  ASSERT_EQ(pack.code, 0) << pack.output;

  tool::Input input;
  ASSERT_TRUE(tool::ReadInput(package, input).ok());
  EXPECT_TRUE(input.isPackage);
  std::vector<std::string> keys, answers;
  ASSERT_TRUE(brand::ScanBrandableItems(input.document, keys).ok());
  std::map<std::string, std::string> asked;
  for (const std::string& key : keys) {
    std::string text = brand::QuestionText(key);
    asked[text] = p.answers.count(text) ? p.answers.at(text) : "<not expected>";
    answers.push_back(asked[text]);
  }
  EXPECT_EQ(asked, p.answers);
  std::string branded;
  ASSERT_TRUE(brand::BrandDocument(input.document, keys, answers, branded).ok());
  brand::Status qpdfCheck = tool::CheckPdf(branded);
  EXPECT_TRUE(qpdfCheck.ok()) << qpdfCheck.message();
  auto uris = p.uris;
  std::sort(uris.begin(), uris.end());
  EXPECT_EQ(pubtest::AllUris(branded), uris);
  auto recheck = Tool("check " + package);
  EXPECT_EQ(recheck.code, p.checkExit == 1 && !p.decodeSeparators ? 1 : 0) << recheck.output;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, Producers, ::testing::ValuesIn(kProducers),
                         [](const ::testing::TestParamInfo<Producer>& info) {
                           std::string name = info.param.file;
                           name = name.substr(0, name.find('.')) + (info.param.decodeSeparators ? "_decoded" : "");
                           for (char& c : name) c = isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

}  // namespace
