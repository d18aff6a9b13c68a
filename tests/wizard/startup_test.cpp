// Start-up: the integrity check, the terms question, loading and scanning, in
// that order; each refusal or failure ends the run before any question.
#include <unistd.h>

#include <algorithm>
#include <cctype>

#include "branding/items.h"
#include "package/package.h"
#include "settings/settings.h"
#include "tests/pdf_builder.h"
#include "tests/wizard/wizard_fixture.h"

namespace wiztest {
namespace {

constexpr UINT kTermsBox = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;
constexpr UINT kErrorBox = MB_OK | MB_ICONERROR;
const char kKeyPath[] = "[software\\Velquarin\\Doviro Vire Rozuzuv IVO\\Ordelan]";

using WizardDeathTest = WizardTest;

TEST_F(WizardDeathTest, ChangedBrandingRecordEndsWithCodeOneBeforeTheTermsQuestion) {
  Pack(PdfWithItems(1));
  BrandingRecord()[BP_MARKER_LENGTH + 500] ^= 1;
  EchoBoxesAndRefuse();
  EXPECT_EXIT(Run(), ::testing::ExitedWithCode(1), "^box 16: Branding check failure \\(software corrupted\\)\n$");
}

TEST_F(WizardDeathTest, RefusedTermsEndWithCodeOneAndWriteNothing) {
  Pack(PdfWithItems(1));
  Answer("A17");
  ConfirmSave(WinPath("out.pdf"));
  EchoBoxesAndRefuse();
  // The terms box is the only one: the package is never read.
  EXPECT_EXIT(Run(), ::testing::ExitedWithCode(1),
              "^box 292: The terms of using this software include your agreement to a\n$");
  // Reading the flag created the keys; the flag itself stays missing.
  EXPECT_NE(Profile().find(kKeyPath), std::string::npos);
  EXPECT_EQ(Profile().find("Terms"), std::string::npos);
  EXPECT_TRUE(StrayFiles().empty());
}

TEST_F(WizardTest, AcceptedTermsAreStoredAndNotAskedAgain) {
  Pack(PdfWithItems(1));
  stage().messageBoxAnswers = {IDYES};
  Then([] { EXPECT_EQ(Wizard().m_termsAccepted, 1); });
  Then(headless::PressEscape);
  Run();
  ASSERT_EQ(stage().messageBoxes.size(), 1u);
  const headless::MessageBoxCall& terms = stage().messageBoxes[0];
  EXPECT_EQ(terms.type, kTermsBox);
  EXPECT_EQ(terms.text, settings::kTermsOfUseText);
  EXPECT_EQ(Profile(), std::string("; HKEY_CURRENT_USER of the headless backend\n"
                                   "[software\\Velquarin]\n"
                                   "[software\\Velquarin\\Doviro Vire Rozuzuv IVO]\n") +
                           kKeyPath + "\n\"Terms\"=dword:00000001\n");

  stage().messageBoxes.clear();
  Then(headless::PressEscape);
  Run();
  EXPECT_TRUE(stage().messageBoxes.empty());
}

TEST_F(WizardTest, TermsAreAskedUntilAStoredFlagIsNonZero) {
  Pack(PdfWithItems(1));
  const struct {
    const char* stored;  // the value line in the profile, or "" for none
    bool asked;
  } cases[] = {
      {"", true},
      {"\"Terms\"=dword:00000000", true},
      {"\"Terms\"=\"1\"", true},  // another type reads as missing
      {"\"Terms\"=dword:00000002", false},
      {"\"terms\"=dword:00000001", false},  // names compare without case
  };
  for (const auto& c : cases) {
    SetProfile(std::string(kKeyPath) + "\n" + c.stored + "\n");
    stage().messageBoxes.clear();
    stage().messageBoxAnswers = {IDYES};
    Then(headless::PressEscape);
    Run();
    const bool asked = !stage().messageBoxes.empty() && stage().messageBoxes[0].type == kTermsBox;
    EXPECT_EQ(asked, c.asked) << c.stored;
  }
}

TEST_F(WizardTest, TermsTextIsTheDisclaimerThenTheQuestion) {
  const std::string text = settings::kTermsOfUseText;
  const std::string first = "The terms of using this software include your agreement to a standard liability "
                            "disclaimer as follows: \n\n";
  const std::string question =
      ".\n\nDo you accept these terms of use ?  (If you click Yes this message will not appear again)";
  ASSERT_GT(text.size(), first.size() + question.size());
  EXPECT_EQ(text.substr(0, first.size()), first);
  EXPECT_EQ(text.substr(text.size() - question.size()), question);
  const std::string paragraph = text.substr(first.size(), text.size() - first.size() - question.size());
  EXPECT_EQ(paragraph.find('\n'), std::string::npos) << "one paragraph";
  // The points in their order: warranty, risk, liability, law and courts.
  size_t at = 0;
  for (const char* point : {"as is", "merchantability", "fitness for a particular purpose", "risk",
                            "liable", "misuse", "lost profits", "England (United Kingdom)", "courts", "consent"}) {
    size_t found = paragraph.find(point, at);
    EXPECT_NE(found, std::string::npos) << point;
    at = found == std::string::npos ? at : found;
  }
}

// A package that cannot be used: after the terms question, its message, then
// the wizard closes by itself; the user's input is never taken.
struct Unusable {
  const char* name;
  void (*prepare)(WizardTest&);
  std::string (*message)(const WizardTest&);
};

void PrintTo(const Unusable& u, std::ostream* os) { *os << u.name; }

class StartupFailure : public WizardTest, public ::testing::WithParamInterface<Unusable> {};

TEST_P(StartupFailure, ShowsItsMessageAndClosesWithoutAQuestion) {
  GetParam().prepare(*this);
  Answer("A17");
  ConfirmSave(WinPath("out.pdf"));
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{settings::kTermsOfUseText, GetParam().message(*this)}));
  ASSERT_EQ(stage().messageBoxes.size(), 2u);
  EXPECT_EQ(stage().messageBoxes[1].type, kErrorBox);
  EXPECT_EQ(stage().userInput.size(), 1u);
  EXPECT_FALSE(stage().ranOutOfInput);
  EXPECT_TRUE(stage().saveBoxes.empty());
  EXPECT_TRUE(StrayFiles().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Packages, StartupFailure,
    ::testing::Values(
        Unusable{"UnfilledStub", [](WizardTest&) {}, [](const WizardTest&) { return std::string(pkg::kStubNotMerged); }},
        Unusable{"NoDocument",
                 [](WizardTest& t) {
                   t.Pack(PdfWithItems(1));
                   pkg::WriteInt32(PackageRecord() + BP_HAS_DOCUMENT_AT, 0);
                 },
                 [](const WizardTest&) { return std::string(pkg::kNoPdfInPackage); }},
        Unusable{"PackageFileMissing",
                 [](WizardTest& t) {
                   t.Pack(PdfWithItems(1));
                   unlink((t.dir_ + "/Demo.exe").c_str());
                 },
                 [](const WizardTest& t) { return "Unable to read file: " + t.WinPath("Demo.exe"); }},
        Unusable{"DocumentOutsideTheFile",
                 [](WizardTest& t) {
                   t.Pack(PdfWithItems(1));
                   pkg::WriteInt32(PackageRecord() + BP_DOCUMENT_LENGTH_AT, 1 << 20);
                 },
                 [](const WizardTest&) { return std::string(pkg::kDocumentOutside); }},
        Unusable{"NotBrandable", [](WizardTest& t) { t.Pack(testpdf::MakePdf({"http://example.com/plain"})); },
                 [](const WizardTest&) { return std::string(brand::kNotBrandable); }},
        Unusable{"TooManyItems", [](WizardTest& t) { t.Pack(PdfWithItems(brand::kMaxItems + 1)); },
                 [](const WizardTest&) { return std::string(brand::kTooManyItems); }}),
    [](const ::testing::TestParamInfo<Unusable>& info) { return std::string(info.param.name); });

TEST_F(WizardTest, PackageIsTheExeNameInTheLowerCasedDirectory) {
  Pack(PdfWithItems(1));
  AcceptTermsBeforehand();
  // Started as ...\DEMO-DIR\Demo.SCR: the package read is ...\demo-dir\Demo.exe.
  std::string upper = WinPath("");
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
  modulePath_ = upper + "Demo.SCR";
  TakeLook();
  Then(headless::PressEscape);
  Run();
  EXPECT_TRUE(stage().messageBoxes.empty());
  ASSERT_EQ(looks_.size(), 1u);
  EXPECT_EQ(looks_[0].prompt, QuestionOf(1));
}

TEST_F(WizardTest, ProgramPathWithoutADirectoryIsReportedAndTheNameTriedAsIs) {
  Pack(PdfWithItems(1));
  AcceptTermsBeforehand();
  modulePath_ = "Demo.exe";
  Run();
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{
                            "Windows Error - cannot determine Zediver Odaruvaz file path \n\nHelp path is: Demo.HLP",
                            "Unable to read file: Demo.exe"}));
}

}  // namespace
}  // namespace wiztest
