// brand --batch: the CSV reader and one copy per row, failures contained.
#include "tests/publisher/small_pdf.h"
#include "tests/publisher/support.h"
#include "tools/brandpdf/csv.h"

namespace {

using Rows = std::vector<tool::CsvRow>;

TEST(Csv, ReadsWhatSpreadsheetsWrite) {
  struct Case {
    const char* text;
    Rows rows;
  };
  const Case cases[] = {
      {"a,b\r\n1,2\r\n", {{"a", "b"}, {"1", "2"}}},
      {"\xEF\xBB\xBFoutput,ID\nx.pdf,\"A, \"\"B\"\"\"\n", {{"output", "ID"}, {"x.pdf", "A, \"B\""}}},
      {"a,b\n\"two\nlines\",\n", {{"a", "b"}, {"two\nlines", ""}}},
      {"a;b\n1;\"2;3\"", {{"a", "b"}, {"1", "2;3"}}},  // semicolons when the header has no comma
      {"a,b\n,\n", {{"a", "b"}, {"", ""}}},
  };
  for (const Case& c : cases) {
    Rows rows;
    std::string error;
    EXPECT_TRUE(tool::ParseCsv(c.text, rows, error)) << c.text << ": " << error;
    EXPECT_EQ(rows, c.rows) << c.text;
  }
  Rows rows;
  std::string error;
  EXPECT_FALSE(tool::ParseCsv("a,b\n\"open,2\n", rows, error));
  EXPECT_EQ(error, "line 2: a quote is never closed");
  EXPECT_FALSE(tool::ParseCsv("a,\"b\"c\n", rows, error));
  EXPECT_EQ(error, "line 1: text after a closing quote");
}

TEST(Batch, OneCopyPerRowAndAFailingRowDoesNotStopTheOthers) {
  std::string pdf = pubtest::WriteTemp(
      "batch.pdf", pubtest::SmallPdf({"/URI(xxlink=Your_ID~http://x/?r=XXXX^http://x/)", "/URI(xxlink=Coupon)"}));
  std::string table = pubtest::WriteTemp("batch.csv",
                                         "Coupon,output,Your ID\n"
                                         "\"SPRING, 26\",acme.pdf,  A17 \n"
                                         ",bolt.pdf,\n"
                                         "X,../escape.pdf,B\n"
                                         "Y,acme.pdf,C\n"
                                         ",,\n"
                                         "Z,last.pdf,D\n");
  std::string dir = ::testing::TempDir() + "batch-out";
  auto run = pubtest::Tool("brand --batch " + table + " --out-dir " + dir + " " + pdf);
  EXPECT_EQ(run.code, 2) << run.output;
  EXPECT_NE(run.output.find("5 rows: 3 written to " + dir + ", 2 failed"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("row 4 ../escape.pdf: FAILED: output \"../escape.pdf\" must be a plain file name"),
            std::string::npos);
  EXPECT_NE(run.output.find("row 5 acme.pdf: FAILED: output \"acme.pdf\" is named by an earlier row"), std::string::npos);
  std::string acme = pubtest::ReadFile(dir + "/acme.pdf");
  EXPECT_NE(acme.find("/URI(http://x/?r=A17)"), std::string::npos);
  EXPECT_NE(acme.find("/URI(SPRING, 26)"), std::string::npos);
  std::string bolt = pubtest::ReadFile(dir + "/bolt.pdf");
  EXPECT_NE(bolt.find("/URI(http://x/)"), std::string::npos);  // empty answer: the default link
  EXPECT_NE(pubtest::ReadFile(dir + "/last.pdf").find("/URI(Z)"), std::string::npos);
  EXPECT_FALSE(std::ifstream(::testing::TempDir() + "escape.pdf").good());
}

TEST(Batch, AHeaderThatDoesNotFitTheQuestionsIsRefusedBeforeAnyRow) {
  std::string pdf = pubtest::WriteTemp("batch2.pdf", pubtest::SmallPdf({"/URI(xxlink=Your_ID)"}));
  std::string dir = ::testing::TempDir() + "batch2-out";
  const std::pair<const char*, const char*> cases[] = {
      {"output,Your ID,Colour\nx.pdf,1,2\n", "column 3 \"Colour\" names no question of the PDF"},
      {"Your ID\n1\n", "no `output` column"},
      {"output\nx.pdf\n", "no column for question \"Your ID\""},
  };
  for (auto& [csv, says] : cases) {
    auto run = pubtest::Tool("brand " + pdf + " --batch " + pubtest::WriteTemp("bad.csv", csv) + " --out-dir " + dir);
    EXPECT_EQ(run.code, 2) << csv;
    EXPECT_NE(run.output.find(says), std::string::npos) << run.output;
  }
  EXPECT_FALSE(std::ifstream(dir + "/x.pdf").good());
}

}  // namespace
