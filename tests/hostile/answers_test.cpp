// Answers that could break the file: parentheses, backslashes, bytes beyond
// ASCII, very long and empty answers. The branded output must still pass
// `qpdf --check` (qpdf must be installed: without it the test fails).
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "branding/items.h"
#include "branding/rewrite.h"
#include "tests/pdf_builder.h"
#include "tests/run_command.h"

namespace {

using Strings = std::vector<std::string>;

using Check = testcmd::Result;

Check QpdfCheck(const std::string& path) {
  return testcmd::Run(std::string(QPDF_PROGRAM) + " --check '" + path + "' 2>&1");
}

}  // namespace

TEST(HostileAnswers, BrandedOutputPassesQpdfCheck) {
  ASSERT_NE(QpdfCheck("/dev/null").code, 127) << "qpdf is not installed; this test needs it";
  const std::string pdf = testpdf::MakePdf({
      "xxlink=Member_ID~https://shop.example/join%3Fref=XXXX^https://shop.example/",
      "xxlink=Coupon~https://shop.example/c/xxxx",
      "xxlink=Name^https://shop.example/default",
      "lead-in xxlink=member_id",
  });
  std::string longMix;
  while (longMix.size() < 2000) longMix += "a(b)c\\d)e(\xE9";
  longMix.resize(2000);
  const std::vector<Strings> answerSets = {
      {"(", ")", "\\"},
      {"a(b", "x)y(", "\\)"},
      {"\xE9\xFC\xA0\xFF\x80", "\x01\x7F\x9F", "%20%3F%3f"},
      {longMix, std::string(2000, 'x'), std::string(2000, '(')},
      {"", "", ""},
      {"\r\n", "xxlink=Coupon~XXXX)", "www.(x)"},
  };
  Strings keys;
  ASSERT_TRUE(brand::ScanBrandableItems(pdf, keys).ok());
  ASSERT_EQ(keys.size(), 3u);
  const std::string path = ::testing::TempDir() + "hostile-answers.pdf";
  for (const Strings& answers : answerSets) {
    std::string out;
    ASSERT_TRUE(brand::BrandDocument(pdf, keys, answers, out).ok());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << out;
    Check check = QpdfCheck(path);
    EXPECT_EQ(check.code, 0) << "answers starting " << answers[0].substr(0, 20) << ":\n" << check.output;
  }
}
