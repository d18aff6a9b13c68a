// Moving between the questions: Next, Previous, Paste, Enter, Escape and the
// close box, and the Save box cancelled.
#include "tests/wizard/wizard_fixture.h"

namespace wiztest {
namespace {

class Navigation : public WizardTest {
 protected:
  void SetUp() override {
    WizardTest::SetUp();
    AcceptTermsBeforehand();
  }
};

TEST_F(Navigation, EveryAnswerStaysWithItsItemTrimmed) {
  Pack(PdfWithItems(3));
  TakeLook();
  Answer("  a1\t");
  TakeLook();
  Press(IDC_PREVIOUS);
  TakeLook();
  Press(IDC_NEXT);
  Answer(" \t \r\n");  // blanks only: stored empty
  TakeLook();
  Press(IDC_PREVIOUS);
  TakeLook();
  Then(headless::PressEscape);
  Run();
  EXPECT_EQ(looks_, (std::vector<Look>{
                        {0, QuestionOf(1), "", false},  // the placeholder label text is gone
                        {1, QuestionOf(2), "", true},
                        {0, QuestionOf(1), "a1", false},
                        {2, QuestionOf(3), "", true},
                        {1, QuestionOf(2), "", true},
                    }));
  EXPECT_TRUE(stage().saveBoxes.empty());
}

TEST_F(Navigation, CancelledSaveBoxReturnsToTheLastItemAsLeft) {
  Pack(PdfWithItems(2));
  Answer("a1");
  Answer(" b2 ");
  CancelSave();
  TakeLook();
  Press(IDC_NEXT);  // the same text again
  CancelSave();
  TakeLook();
  Then([] { headless::Type(IDC_VALUE, "b3"); });
  Press(IDC_PREVIOUS);  // stores the last answer first
  TakeLook();
  Press(IDC_NEXT);
  TakeLook();
  Then(headless::PressEscape);
  Then([] {});  // left over: Escape ended the run
  Run();
  EXPECT_EQ(looks_, (std::vector<Look>{
                        {1, QuestionOf(2), " b2 ", true},  // the edit box as the user left it
                        {1, QuestionOf(2), " b2 ", true},
                        {0, QuestionOf(1), "a1", false},
                        {1, QuestionOf(2), "b3", true},
                    }));
  EXPECT_EQ(stage().saveBoxes.size(), 2u);
  EXPECT_EQ(stage().userInput.size(), 1u);
  EXPECT_TRUE(StrayFiles().empty());
}

TEST_F(Navigation, OneItemNeverEnablesPrevious) {
  Pack(PdfWithItems(1));
  Then([] { EXPECT_FALSE(headless::Click(IDC_PREVIOUS)); });
  Answer("x");
  CancelSave();
  TakeLook();
  Then([] { EXPECT_FALSE(headless::Click(IDC_PREVIOUS)); });
  Answer("y");
  CancelSave();
  TakeLook();
  Then(headless::PressEscape);
  Run();
  EXPECT_EQ(looks_, (std::vector<Look>{{0, QuestionOf(1), "x", false}, {0, QuestionOf(1), "y", false}}));
  EXPECT_EQ(stage().saveBoxes.size(), 2u);
}

TEST_F(Navigation, HundredItemsWalkToTheSaveBoxAndBrandEveryLink) {
  Pack(PdfWithItems(100));
  for (int i = 1; i <= 100; ++i) Answer("v" + std::to_string(i));
  CancelSave();
  CancelSave();
  Press(IDC_NEXT);
  Answer("last");
  ConfirmSave(WinPath("out.pdf"));
  Then([] { ADD_FAILURE() << "the wizard should have ended"; });
  Run();
  ASSERT_EQ(stage().saveBoxes.size(), 3u);
  const std::string out = ReadOut("out.pdf");
  for (int i = 1; i <= 99; ++i) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "/URI(http://example.com/%03d?id=v%d)", i, i);
    EXPECT_NE(out.find(expected), std::string::npos) << expected;
  }
  EXPECT_NE(out.find("/URI(http://example.com/100?id=last)"), std::string::npos);
}

TEST_F(Navigation, PasteReplacesTheWholeTextAndStoresNothing) {
  Pack(PdfWithItems(2));
  stage().clipboard = "ID-42\r\nsecond line";
  Then([] {
    headless::Type(IDC_VALUE, "keep this part");
    headless::Select(IDC_VALUE, 5, 9);
    EXPECT_TRUE(headless::Click(IDC_PASTE));
    EXPECT_EQ(Wizard().m_itemValues[0], "");
  });
  TakeLook();
  Press(IDC_NEXT);
  Press(IDC_PREVIOUS);
  TakeLook();
  Then(headless::PressEscape);
  Run();
  EXPECT_EQ(looks_, (std::vector<Look>{{0, QuestionOf(1), "ID-42", false}, {0, QuestionOf(1), "ID-42", false}}));
  // Select all, scroll the caret into view, paste: in that order, to the edit box.
  std::vector<UINT> toEdit;
  for (const auto& m : stage().sent)
    if (m.message == EM_SETSEL || m.message == EM_SCROLLCARET || m.message == WM_PASTE) {
      toEdit.push_back(m.message);
      if (m.message == EM_SETSEL) {
        EXPECT_EQ(static_cast<intptr_t>(m.lParam), -1);
      }
    }
  EXPECT_EQ(toEdit, (std::vector<UINT>{EM_SETSEL, EM_SCROLLCARET, WM_PASTE}));
}

TEST_F(Navigation, EnterIsNextAndF1DoesNothing) {
  Pack(PdfWithItems(2));
  Then([] {
    headless::Type(IDC_VALUE, "a1");
    headless::PressF1();
    headless::PressEnter();
  });
  TakeLook();
  Then(headless::PressEscape);
  Run();
  EXPECT_EQ(looks_, (std::vector<Look>{{1, QuestionOf(2), "", true}}));
  EXPECT_TRUE(stage().messageBoxes.empty());
}

TEST_F(Navigation, EscapeAndTheCloseBoxEndWithoutWritingAnything) {
  for (bool (*close)() : {headless::PressEscape, headless::ClickCloseBox}) {
    Pack(PdfWithItems(2));
    stage().saveBoxAnswers = {WinPath("out.pdf")};
    Answer("a1");
    Then([close] { close(); });
    Then([] { ADD_FAILURE() << "the wizard should have ended"; });
    Run();
    stage().userInput.clear();
    EXPECT_TRUE(stage().saveBoxes.empty());
    EXPECT_EQ(Profile().find("SaveDir"), std::string::npos);
    EXPECT_TRUE(StrayFiles().empty());
  }
}

TEST_F(Navigation, FailedExchangeLeavesTheStateAsItWas) {
  Pack(PdfWithItems(3));
  Answer("a1");
  Then([] {
    headless::Type(IDC_VALUE, "b2");
    // Without its question label the exchange fails.
    stage().windows.erase(headless::Number(Wizard().GetDlgItem(IDC_PROMPT)));
    EXPECT_TRUE(headless::Click(IDC_NEXT));
    EXPECT_TRUE(headless::Click(IDC_PREVIOUS));
    const CBrandPdfDlg& w = Wizard();
    EXPECT_EQ(w.m_itemIndex, 1);
    EXPECT_EQ(w.m_itemValues[0], "a1");
    EXPECT_EQ(w.m_itemValues[1], "");
    EXPECT_TRUE(headless::IsEnabled(IDC_PREVIOUS));
  });
  Then(headless::PressEscape);
  Run();
  EXPECT_TRUE(stage().saveBoxes.empty());
}

}  // namespace
}  // namespace wiztest
