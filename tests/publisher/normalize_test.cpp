// Normalising: the "/URI(" rewrite touches only marked URI strings, page
// content keeps its bytes, and what libqpdf must undo (encryption) is undone.
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <cstdlib>

#include "branding/xref.h"
#include "tests/publisher/small_pdf.h"
#include "tests/publisher/support.h"
#include "tools/brandpdf/check.h"
#include "tools/brandpdf/linkview.h"
#include "tools/brandpdf/normalize.h"
#include "tools/brandpdf/uriform.h"

namespace {

using pubtest::SmallPdf;

bool Has(const std::string& haystack, const std::string& needle) { return haystack.find(needle) != std::string::npos; }

TEST(UriForm, RewritesOnlyMarkedUriValuesAndShiftsOffsets) {
  std::string pdf = SmallPdf({"/URI (xxlink=A~http://x/XXXX)", "/URI <78786C696E6B3D42286229>",
                              "/URI (http://plain/)", "/URI (xxlink=D) /Note (see /URI \\(xxlink=C\\))"},
                             "/URI \\(xxlink=InStream\\)");
  tool::UriFormFixes fixes;
  ASSERT_TRUE(tool::WriteUrisForStub(pdf, fixes).ok());
  EXPECT_EQ(fixes.blanks, 2);
  EXPECT_EQ(fixes.hex, 1);
  EXPECT_TRUE(Has(pdf, "/URI(xxlink=A~http://x/XXXX)"));
  EXPECT_TRUE(Has(pdf, "/URI(xxlink=B\\(b\\))"));  // hex became a literal, parentheses escaped
  EXPECT_TRUE(Has(pdf, "/URI (http://plain/)"));
  EXPECT_TRUE(Has(pdf, "/URI(xxlink=D) /Note (see /URI \\(xxlink=C\\))"));
  EXPECT_TRUE(Has(pdf, "(/URI \\(xxlink=InStream\\)) Tj"));  // stream data is never edited
  brand::Status valid = tool::CheckPdf(pdf);
  EXPECT_TRUE(valid.ok()) << valid.message();
}

TEST(Normalize, KeepsPageContentBytes) {
  std::string original = pubtest::ReadFile(std::string(PRODUCERS_DIR) + "/demo.pdf");
  std::string out;
  std::vector<std::string> notes;
  ASSERT_TRUE(tool::NormalizePdf(original, {}, out, notes).ok());
  auto contents = [](const std::string& pdf) {
    QPDF q;
    q.processMemoryFile("pdf", pdf.data(), pdf.size());
    std::vector<std::string> raw;
    for (auto& page : QPDFPageDocumentHelper(q).getAllPages())
      for (auto& stream : page.getPageContents()) {
        auto data = stream.getRawStreamData();
        raw.emplace_back(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
      }
    return raw;
  };
  EXPECT_EQ(contents(out), contents(original));
}

TEST(Normalize, DecryptsAndRefusesWhatHasNoMarkedLink) {
  std::string plain = pubtest::WriteTemp("to-encrypt.pdf", SmallPdf({"/URI(xxlink=Member_ID)"}));
  std::string locked = ::testing::TempDir() + "encrypted.pdf";
  ASSERT_EQ(std::system(("qpdf --encrypt '' owner 256 -- " + plain + " " + locked).c_str()), 0);
  tool::Report before = tool::CheckDocument(pubtest::ReadFile(locked));
  EXPECT_EQ(tool::ExitCodeOf(before), 2);
  ASSERT_FALSE(before.warnings.empty());
  EXPECT_TRUE(Has(before.warnings.back(), "the PDF is encrypted")) << before.warnings.back();

  std::string out = ::testing::TempDir() + "decrypted.pdf";
  auto run = pubtest::Tool("normalize " + locked + " " + out);
  EXPECT_EQ(run.code, 0) << run.output;
  EXPECT_TRUE(Has(run.output, "removed the encryption"));
  EXPECT_EQ(tool::ExitCodeOf(tool::CheckDocument(pubtest::ReadFile(out))), 0);

  auto none = pubtest::Tool("normalize " + pubtest::WriteTemp("unmarked.pdf", SmallPdf({"/URI(http://x/)"})) + " " + out);
  EXPECT_EQ(none.code, 2);
  EXPECT_TRUE(Has(none.output, "no link of this PDF carries the link marker")) << none.output;
  EXPECT_EQ(pubtest::Tool("normalize " + locked + " " + locked).code, 2);  // never over its input
}

TEST(Normalize, PackRefusesWhatTheStubWouldRefuseUnlessNormalised) {
  std::string stub = pubtest::StandInStub();
  std::string pdf = pubtest::WriteTemp("blank-uri.pdf", SmallPdf({"/URI (xxlink=Member_ID)"}));
  std::string package = ::testing::TempDir() + "blank-uri.exe";
  std::remove(package.c_str());
  auto refused = pubtest::Tool("pack " + stub + " " + pdf + " -o " + package);
  EXPECT_EQ(refused.code, 2);
  EXPECT_TRUE(Has(refused.output, "The PDF file inside this package is not brandable")) << refused.output;
  EXPECT_TRUE(Has(refused.output, "--normalize may make it fit")) << refused.output;
  EXPECT_FALSE(std::ifstream(package).good());
  EXPECT_EQ(pubtest::Tool("pack " + stub + " " + pdf + " -o " + package + " --decode-separators").code, 2);
  auto packed = pubtest::Tool("pack " + stub + " " + pdf + " -o " + package + " --normalize");
  EXPECT_EQ(packed.code, 0) << packed.output;
  EXPECT_EQ(pubtest::Tool("items " + package).output, "Member ID\n");
}

}  // namespace
