// A package on disk, the wizard's dialog template on the headless stage, a
// profile file standing in for the registry, and helpers that script the user.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/wizard.h"
#include "framework/headless/script.h"

namespace wiztest {

// The test's own records, read by the wizard through bp_record_table.
unsigned char* PackageRecord();
unsigned char* BrandingRecord();

// A URI string of item i: its question "Question_<i>", a template and a default.
std::string LinkOf(int i);
// A PDF whose links ask `items` distinct questions.
std::string PdfWithItems(int items);
// What the wizard shows for LinkOf(i).
std::string QuestionOf(int i);

// What the user saw at one moment of the run.
struct Look {
  int index = -1;
  std::string prompt;
  std::string value;      // the edit box's text
  bool previousEnabled = false;
};

inline bool operator==(const Look& a, const Look& b) {
  return a.index == b.index && a.prompt == b.prompt && a.value == b.value && a.previousEnabled == b.previousEnabled;
}

inline void PrintTo(const Look& l, std::ostream* os) {
  *os << "{" << l.index << ", \"" << l.prompt << "\", \"" << l.value << "\", "
      << (l.previousEnabled ? "enabled" : "disabled") << "}";
}

class WizardTest : public ::testing::Test {
 public:  // the cases below and their tables use the helpers directly
  void SetUp() override;
  void TearDown() override;

  // Packs a document into the package file and fills the package record.
  void Pack(const std::string& pdf, const std::string& name = "Offer.pdf");
  // Writes the profile file's text (a .reg-style hive).
  void SetProfile(const std::string& text);
  std::string Profile() const;
  void AcceptTermsBeforehand() { SetProfile("[software\\Velquarin\\Doviro Vire Rozuzuv IVO\\Ordelan]\n\"Terms\"=dword:00000001\n"); }

  // Runs the whole program (application object, start-up, wizard). Returns the exit code.
  int Run();

  // ---- the user's input, queued before Run ----
  void Then(std::function<void()> action) { stage().userInput.push_back(std::move(action)); }
  void Answer(const std::string& text);  // types it and presses Next
  void Press(int id);
  void TakeLook();                        // records a Look
  void ConfirmSave(const std::string& path) { stage().saveBoxAnswers.push_back(path); }
  void CancelSave() { stage().saveBoxAnswers.push_back(std::nullopt); }

  // The dialog while it runs (inside actions only).
  static CBrandPdfDlg& Wizard();

  static headless::Stage& stage() { return headless::GetStage(); }
  std::vector<std::string> BoxTexts() const;
  // A Windows-style path in the test's directory, and its file's bytes.
  std::string WinPath(const std::string& name) const;
  std::string ReadOut(const std::string& name) const;
  bool Exists(const std::string& name) const;
  // Files in the test directory other than the package and the profile.
  std::vector<std::string> StrayFiles() const;

  std::string dir_;         // a lower-case directory, so its lower-cased Windows form is itself
  std::string modulePath_;  // the program as started
  std::vector<Look> looks_;
};

// Message boxes go to stderr, one line each ("box <type>: <start of text>"), and
// yes/no questions are answered No: for death tests, whose child shows its boxes
// only through its output.
void EchoBoxesAndRefuse();

}  // namespace wiztest
