// The wizard: one question per brandable item, then the Save box. The dialog
// object holds all of the program's working state; its member operations are
// thin wrappers that call the engine, show its message and set the members.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/res/resource.h"
#include "branding/items.h"
#include "framework/ui.h"

class CBrandPdfDlg : public CDialog {
 public:
  explicit CBrandPdfDlg(CWnd* parent = nullptr);
  ~CBrandPdfDlg() override;

  // ---- member operations ----
  // Copies the embedded document out of the package file. FALSE after a message.
  BOOL LoadPackage();
  // The running program's directory, lower-cased, ending in a backslash; "" after a message.
  CString GetExeDirectory();
  // Fills the item list from the document. FALSE after a message.
  BOOL ScanBrandableItems();
  // Puts item m_itemIndex's question and answer into m_prompt and m_value.
  void ShowItem();
  // Rewrites the document from the answers and writes it; consumes the document.
  BOOL BrandAndSave(CString outputPath);
  // Writes the bytes to the path, all or nothing. False after a message.
  bool WriteWholeFile(const CString& path, const char* bytes, int32_t length);
  // Returns only when the user accepts the terms; otherwise ends the process with code 1.
  void AskTermsOfUse();

  // ---- state, in this order ----
  CBrush m_brush;
  int32_t m_itemCount = 0;
  int32_t m_itemIndex = 0;
  std::array<CString, brand::kMaxItems> m_itemKeys;
  std::array<CString, brand::kMaxItems> m_itemValues;
  CString m_pdfName;
  int32_t m_termsAccepted = 0;
  CString m_outputPath;
  std::unique_ptr<std::string> m_pdfData;  // the document; null once branding took it
  int32_t m_pdfLength = 0;
  CButton m_btnPrevious;
  CEdit m_editValue;
  CString m_prompt;
  CString m_value;
  HICON m_hIcon = nullptr;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  const MessageMapEntry* GetMessageMap() const override;

  void OnPaint();
  HICON OnQueryDragIcon();
  HBRUSH OnCtlColor(HDC dc, HWND control, UINT kind);
  BOOL OnHelpInfo(HELPINFO* info);
  void OnNext();
  void OnPaste();
  void OnPrevious();

 private:
  void StoreAnswer();
  void SaveAndFinish();
};

// Reads a whole file. Sets size and returns its bytes, or nothing after a message.
std::optional<std::string> ReadWholeFile(CString path, int32_t& size);
