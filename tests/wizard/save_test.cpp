// The save flow: the Save box's set-up, the remembered directory, branding and
// the closing message, and failures after the box was confirmed.
#include <sys/stat.h>

#include "branding/rewrite.h"
#include "branding/xref.h"
#include "tests/pdf_builder.h"
#include "tests/wizard/wizard_fixture.h"

namespace wiztest {
namespace {

// The profile's text for a stored save directory.
std::string StoredDir(const std::string& dir) {
  std::string line = "\"SaveDir\"=\"";
  for (char c : dir) line += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return line + "\"";
}

class SaveFlow : public WizardTest {
 protected:
  void SetUp() override {
    WizardTest::SetUp();
    AcceptTermsBeforehand();
  }
};

TEST_F(SaveFlow, ConfirmedBoxBrandsTheDocumentAndNamesTheFileAlone) {
  const std::string pdf = PdfWithItems(2);
  Pack(pdf, "Special Offer.pdf");
  Answer("A17");
  Answer("www.example.org/me");
  ConfirmSave(WinPath("out.pdf"));
  Then([] { ADD_FAILURE() << "the wizard should have ended"; });
  Run();

  ASSERT_EQ(stage().saveBoxes.size(), 1u);
  const headless::SaveBoxCall& box = stage().saveBoxes[0];
  EXPECT_EQ(box.title, "Select where to save your branded PDF file");
  EXPECT_EQ(box.defaultExt, ".pdf");
  EXPECT_EQ(box.fileName, "Special Offer.pdf");
  EXPECT_EQ(box.flags, static_cast<DWORD>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT));
  EXPECT_EQ(box.filter, "PDF Files (*.pdf)|*.pdf||");
  EXPECT_TRUE(box.hasInitialDir);
  EXPECT_EQ(box.initialDir, "");  // nothing stored yet: the box chooses
  EXPECT_NE(box.owner, 0);        // the wizard owns it

  ASSERT_EQ(stage().messageBoxes.size(), 1u);
  EXPECT_EQ(stage().messageBoxes[0].text, "out.pdf branded and saved successfully");
  EXPECT_EQ(stage().messageBoxes[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
  EXPECT_NE(Profile().find(StoredDir(WinPath(""))), std::string::npos) << Profile();

  // The whole output is the engine's result for the two answers.
  std::string expected;
  ASSERT_TRUE(brand::BrandDocument(pdf, {"xxlink=Question_001", "xxlink=Question_002"}, {"A17", "www.example.org/me"},
                                   expected));
  EXPECT_EQ(ReadOut("out.pdf"), expected);
  EXPECT_NE(expected.find("/URI(http://example.com/002?id=http://www.example.org/me)"), std::string::npos);
}

TEST_F(SaveFlow, NextRunOpensTheBoxInTheLastDirectory) {
  Pack(PdfWithItems(1));
  ASSERT_EQ(mkdir((dir_ + "/sub").c_str(), 0755), 0);
  Answer("a");
  ConfirmSave(WinPath("sub/first.pdf"));
  Run();
  Answer("b");
  CancelSave();
  Then(headless::PressEscape);
  Run();
  ASSERT_EQ(stage().saveBoxes.size(), 2u);
  EXPECT_EQ(stage().saveBoxes[1].initialDir, WinPath("sub\\"));
}

TEST_F(SaveFlow, DirectoryIsStoredEvenWhenBrandingFails) {
  const std::string pdf = PdfWithItems(1);
  const struct {
    const char* name;
    std::string pdf;
    std::string output;   // below the test directory
    std::string message;  // "" for the write failure's message
  } cases[] = {
      {"refused document", pdf.substr(0, pdf.find("startxref")), "out.pdf", brand::kNoStartXref},
      {"missing directory", pdf, "missing/out.pdf", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    stage().messageBoxes.clear();
    Pack(c.pdf);
    Answer("A17");
    ConfirmSave(WinPath(c.output));
    Then([] { ADD_FAILURE() << "the wizard should have ended"; });
    Run();
    stage().userInput.clear();
    const std::string message = c.message.empty() ? "Failed to write file " + WinPath(c.output) : c.message;
    ASSERT_EQ(BoxTexts(), std::vector<std::string>{message});
    EXPECT_EQ(stage().messageBoxes[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    const std::string output = WinPath(c.output);
    EXPECT_NE(Profile().find(StoredDir(output.substr(0, output.rfind('\\') + 1))), std::string::npos) << Profile();
    EXPECT_TRUE(StrayFiles().empty());
  }
}

}  // namespace
}  // namespace wiztest
