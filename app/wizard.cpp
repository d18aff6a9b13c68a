// The wizard dialog: start-up sequence, navigation between the questions, the
// save flow, and the window's colours and icon.
#include "app/wizard.h"

#include <cstdlib>

#include "package/integrity.h"
#include "package/layout.h"
#include "settings/settings.h"

namespace {

constexpr char kSaveBoxTitle[] = "Select where to save your branded PDF file";
constexpr char kSaveBoxFilter[] = "PDF Files (*.pdf)|*.pdf||";
constexpr char kSavedMessage[] = "%s branded and saved successfully";

// Slot i of a 100-entry array; an index outside it is a fault, never a write.
CString& Slot(std::array<CString, brand::kMaxItems>& items, int32_t index) {
  return items.at(static_cast<size_t>(index));
}

}  // namespace

CBrandPdfDlg::CBrandPdfDlg(CWnd* parent) : CDialog(IDD_WIZARD, parent) {
  m_hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
}

CBrandPdfDlg::~CBrandPdfDlg() = default;

void CBrandPdfDlg::DoDataExchange(CDataExchange* pDX) {
  DDX_Control(pDX, IDC_PREVIOUS, m_btnPrevious);
  DDX_Control(pDX, IDC_VALUE, m_editValue);
  DDX_Text(pDX, IDC_PROMPT, m_prompt);
  DDX_Text(pDX, IDC_VALUE, m_value);
}

const MessageMapEntry* CBrandPdfDlg::GetMessageMap() const {
  static const MessageMapEntry map[] = {
      msg::Paint<&CBrandPdfDlg::OnPaint>(),
      msg::QueryDragIcon<&CBrandPdfDlg::OnQueryDragIcon>(),
      msg::CtlColor<&CBrandPdfDlg::OnCtlColor>(),
      msg::Help<&CBrandPdfDlg::OnHelpInfo>(),
      msg::Clicked<&CBrandPdfDlg::OnNext>(IDC_NEXT),
      msg::Clicked<&CBrandPdfDlg::OnPaste>(IDC_PASTE),
      msg::Clicked<&CBrandPdfDlg::OnPrevious>(IDC_PREVIOUS),
      msg::End(),
  };
  return map;
}

BOOL CBrandPdfDlg::OnInitDialog() {
  // A changed branding record means a tampered or damaged program: refuse to run.
  if (!pkg::BrandingRecordIntact(bp_record_table[0])) {
    AfxMessageBox(pkg::kBrandingCheckFailure, MB_OK | MB_ICONERROR);
    std::exit(1);
  }
  CDialog::OnInitDialog();
  m_brush.CreateSolidBrush(RGB(255, 255, 255));
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  UpdateData(FALSE);

  m_termsAccepted = settings::StoredTermsFlag(*AfxGetApp());
  if (m_termsAccepted == 0) AskTermsOfUse();

  // Each failing step has told the user why; the wizard then closes itself.
  if (!LoadPackage() || !ScanBrandableItems()) {
    PostMessage(WM_CLOSE, 0, 0);
    return TRUE;
  }
  ShowItem();
  UpdateData(FALSE);
  return TRUE;
}

// The edit box's text, trimmed, becomes the answer of the item on show.
void CBrandPdfDlg::StoreAnswer() {
  m_value.TrimLeft();
  m_value.TrimRight();
  Slot(m_itemValues, m_itemIndex) = m_value;
}

void CBrandPdfDlg::OnNext() {
  if (!UpdateData(TRUE)) return;
  StoreAnswer();
  m_itemIndex++;
  if (m_itemIndex < m_itemCount) {
    ShowItem();
    m_btnPrevious.EnableWindow(TRUE);
    UpdateData(FALSE);
    return;
  }
  SaveAndFinish();
}

void CBrandPdfDlg::OnPrevious() {
  if (m_itemIndex <= 0) return;  // the button is disabled at the first item
  if (!UpdateData(TRUE)) return;
  StoreAnswer();
  m_itemIndex--;
  ShowItem();
  if (m_itemIndex <= 0) m_btnPrevious.EnableWindow(FALSE);
  UpdateData(FALSE);
}

// Next on the last item: the Save box, then branding, then the wizard ends.
void CBrandPdfDlg::SaveAndFinish() {
  CFileDialog box(FALSE, ".pdf", m_pdfName, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kSaveBoxFilter);
  box.m_ofn.lpstrTitle = kSaveBoxTitle;
  const CString initialDir = settings::LastSaveDirectory(*AfxGetApp());
  box.m_ofn.lpstrInitialDir = initialDir;
  if (box.DoModal() != IDOK) {
    // Cancelled: back to the last item, as the user left it.
    m_itemIndex = m_itemCount - 1;
    return;
  }
  m_outputPath = box.GetPathName();
  // Stored before branding, so it is kept even when branding fails.
  settings::StoreSaveDirectory(*AfxGetApp(), m_outputPath);
  if (BrandAndSave(m_outputPath))
    AfxMessageBox(CString::FormatOne(kSavedMessage, FileNameOf(m_outputPath)), MB_OK | MB_ICONINFORMATION);
  OnOK();
}

// Paste replaces the whole answer with the clipboard's text.
void CBrandPdfDlg::OnPaste() {
  m_editValue.SendMessage(EM_SETSEL, 0, -1);
  m_editValue.SendMessage(EM_SCROLLCARET, 0, 0);
  m_editValue.SendMessage(WM_PASTE, 0, 0);
}

void CBrandPdfDlg::OnPaint() {
  if (!IsIconic()) {
    CDialog::OnPaint();
    return;
  }
  CPaintDC dc(this);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
  CRect client;
  GetClientRect(&client);
  const int x = (client.Width() - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.Height() - GetSystemMetrics(SM_CYICON) + 1) / 2;
  dc.DrawIcon(x, y, m_hIcon);
}

HICON CBrandPdfDlg::OnQueryDragIcon() { return m_hIcon; }

// The dialog, its texts and the edit box are white; push buttons keep the system colours.
HBRUSH CBrandPdfDlg::OnCtlColor(HDC, HWND, UINT) { return m_brush.GetSafeHandle(); }

// F1 shows no help.
BOOL CBrandPdfDlg::OnHelpInfo(HELPINFO*) { return TRUE; }
