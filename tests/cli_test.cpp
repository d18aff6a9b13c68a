// The publisher tool as a publisher runs it: exit codes, messages, files.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "tests/pdf_builder.h"
#include "tests/run_command.h"

namespace {

using Outcome = testcmd::Result;

Outcome Tool(const std::string& args) { return testcmd::Run(std::string(BRANDPDF_TOOL) + " " + args + " 2>&1"); }

// Paths private to this process, so parallel runs never share a file.
std::string Scratch(const std::string& name) { return ::testing::TempDir() + std::to_string(::getpid()) + "-" + name; }

std::string Write(const std::string& name, const std::string& bytes) {
  std::string path = Scratch(name);
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

bool Exists(const std::string& path) { return std::ifstream(path).good(); }

}  // namespace

TEST(Cli, ItemsAndBrandOnAPdf) {
  std::string pdf = Write("cli.pdf", testpdf::MakePdf({"xxlink=Your_member_ID~j/XXXX^d", "xxlink=Coupon_code"}));
  Outcome items = Tool("items " + pdf);
  EXPECT_EQ(items.code, 0);
  EXPECT_EQ(items.output, "Your member ID\nCoupon code\n");
  std::string out = Scratch("cli-out.pdf");
  Outcome brand = Tool("brand " + pdf + " -o " + out + " --answer '  A17\t'");
  EXPECT_EQ(brand.code, 0) << brand.output;
  std::ifstream in(out, std::ios::binary);
  std::string branded((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(branded.find("/URI(j/A17)"), std::string::npos);  // trimmed like the wizard trims
  EXPECT_NE(branded.find("/URI()"), std::string::npos);       // the unanswered question: no default, empty
}

TEST(Cli, RefusalsPrintTheStubsMessageExitTwoAndWriteNothing) {
  std::string none = Write("none.pdf", testpdf::MakePdf({"https://plain.example/"}));
  Outcome items = Tool("items " + none);
  EXPECT_EQ(items.code, 2);
  EXPECT_NE(items.output.find("The PDF file inside this package is not brandable"), std::string::npos);

  std::string twice = Write("twice.pdf", testpdf::MakePdf({"xxlink=ID"}) + "startxref\n9\n%%EOF\n");
  std::string out = Scratch("never.pdf");
  std::remove(out.c_str());
  Outcome brand = Tool("brand " + twice + " -o " + out);
  EXPECT_EQ(brand.code, 2);
  EXPECT_NE(brand.output.find("(Reason: Incremental Updates)"), std::string::npos);
  EXPECT_FALSE(Exists(out));

  Outcome missing = Tool("items /nonexistent/x.pdf");
  EXPECT_EQ(missing.code, 2);
  EXPECT_NE(missing.output.find("Unable to read file: /nonexistent/x.pdf"), std::string::npos);
  EXPECT_EQ(Tool("brand " + twice + " -o " + twice).code, 2);  // never over its input
  EXPECT_EQ(Tool("frobnicate").code, 2);
}

TEST(Cli, EveryCommandHasHelp) {
  for (const char* command : {"--help", "pack --help", "items --help", "brand --help"}) {
    Outcome help = Tool(command);
    EXPECT_EQ(help.code, 0) << command;
    EXPECT_NE(help.output.find("usage: brandpdf"), std::string::npos) << command;
  }
}
