// The window's dressing (icons, white brush, minimised painting) and the
// framework's promises the wizard relies on: exceptions stop at the dialog, and
// the profile functions' key path, types and defaults.
#include <stdexcept>

#include "tests/wizard/wizard_fixture.h"

namespace wiztest {
namespace {

class WizardWindow : public WizardTest {
 protected:
  void SetUp() override {
    WizardTest::SetUp();
    AcceptTermsBeforehand();
    Pack(PdfWithItems(1));
  }
};

TEST_F(WizardWindow, IconsWhiteBrushAndMinimisedPainting) {
  HICON icon = nullptr;
  Then([&] {
    CBrandPdfDlg& w = Wizard();
    icon = w.m_hIcon;
    const headless::Window* dialog = headless::RunningDialogWindow();
    EXPECT_EQ(dialog->bigIcon, icon);
    EXPECT_EQ(dialog->smallIcon, icon);
    LRESULT result = 0;
    for (UINT kind = WM_CTLCOLORMSGBOX; kind <= WM_CTLCOLORSTATIC; ++kind) {
      ASSERT_TRUE(w.HandleMessage(kind, 0, 0, &result));
      const HBRUSH brush = reinterpret_cast<HBRUSH>(result);
      EXPECT_EQ(brush, w.m_brush.GetSafeHandle());
      EXPECT_EQ(stage().brushes.at(headless::Number(brush)).color, RGB(255, 255, 255));
    }
    ASSERT_TRUE(w.HandleMessage(WM_QUERYDRAGICON, 0, 0, &result));
    EXPECT_EQ(reinterpret_cast<HICON>(result), icon);

    headless::Paint();  // not minimised: default painting, no icon
    EXPECT_TRUE(stage().drawnIcons.empty());
    headless::RunningDialogWindow()->clientWidth = 101;
    headless::RunningDialogWindow()->clientHeight = 80;
    headless::Minimize();
    headless::Paint();
  });
  Then(headless::PressEscape);
  Run();
  CWinApp probe(kAppName);
  EXPECT_EQ(icon, probe.LoadIcon(IDR_MAINFRAME));
  ASSERT_EQ(stage().drawnIcons.size(), 1u);
  EXPECT_EQ(stage().drawnIcons[0].x, (101 - 32 + 1) / 2);
  EXPECT_EQ(stage().drawnIcons[0].y, (80 - 32 + 1) / 2);
  EXPECT_EQ(stage().drawnIcons[0].icon, icon);
  // The brush went with the wizard.
  ASSERT_EQ(stage().brushes.size(), 1u);
  EXPECT_TRUE(stage().brushes.begin()->second.deleted);
  EXPECT_TRUE(stage().controls3d);
}

// A dialog whose button throws: the framework shows the failure and closes it.
class Throwing : public CDialog {
 public:
  Throwing() : CDialog(IDD_WIZARD) {}
  const MessageMapEntry* GetMessageMap() const override {
    static const MessageMapEntry map[] = {msg::Clicked<&Throwing::OnNext>(IDC_NEXT), msg::End()};
    return map;
  }
  void OnNext() { throw std::runtime_error("boom"); }
};

TEST_F(WizardWindow, ExceptionsStopAtTheDialogWithAMessage) {
  Throwing dialog;
  Then([] { headless::Click(IDC_NEXT); });
  Then([] { ADD_FAILURE() << "the dialog should have closed"; });
  EXPECT_EQ(dialog.DoModal(), -1);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Unexpected error: boom"});
  EXPECT_EQ(stage().messageBoxes[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
}

TEST_F(WizardWindow, ProfileKeepsTypesAndFallsBackToDefaults) {
  CWinApp app(kAppName);
  EXPECT_EQ(app.GetProfileInt("LU", "SaveDir", 7), 7u);  // no registry key set: defaults only
  app.SetRegistryKey("Velquarin");
  SetProfile("");
  EXPECT_EQ(app.GetProfileString("LU", "SaveDir", "none"), "none");
  EXPECT_TRUE(app.WriteProfileString("LU", "SaveDir", "C:\\Out \"x\"\\"));
  EXPECT_TRUE(app.WriteProfileInt("Ordelan", "Terms", -1));
  EXPECT_EQ(app.GetProfileString("LU", "SaveDir", ""), "C:\\Out \"x\"\\");
  EXPECT_EQ(app.GetProfileInt("Ordelan", "Terms", 0), 0xFFFFFFFFu);
  EXPECT_EQ(app.GetProfileInt("LU", "SaveDir", 5), 5u);               // a string is not an integer
  EXPECT_EQ(app.GetProfileString("Ordelan", "Terms", "d"), "d");      // nor the other way round
  EXPECT_NE(Profile().find("[software\\Velquarin\\Doviro Vire Rozuzuv IVO\\LU]\n\"SaveDir\"=\"C:\\\\Out \\\"x\\\"\\\\\"\n"),
            std::string::npos)
      << Profile();

  // Unavailable (here: the "file" is a directory): defaults, and writes fail.
  stage().profilePath = dir_;
  EXPECT_FALSE(app.WriteProfileInt("Ordelan", "Terms", 1));
  EXPECT_EQ(app.GetProfileInt("Ordelan", "Terms", 0), 0u);
}

TEST_F(WizardWindow, UnwritableSettingsAskTheTermsEveryRun) {
  stage().profilePath = dir_;  // a directory: no registry
  for (int run = 0; run < 2; ++run) {
    stage().messageBoxes.clear();
    Then(headless::PressEscape);
    Run();
    ASSERT_EQ(stage().messageBoxes.size(), 1u);
    EXPECT_EQ(stage().messageBoxes[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2));
  }
}

}  // namespace
}  // namespace wiztest
