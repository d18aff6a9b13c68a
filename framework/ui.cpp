// The parts of the windowing layer that are the same on every backend: the
// application object, running it, data exchange and message dispatch.
#include "framework/ui.h"

#include <exception>
#include <new>

namespace {

CWinApp* g_app = nullptr;

// The text shown for an exception that reached a callback boundary.
CString DescribeException() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return "Insufficient memory";
  } catch (const CException& e) {
    return CString::FormatOne("Unexpected error: %s", e.What().c_str());
  } catch (const std::exception& e) {
    return CString::FormatOne("Unexpected error: %s", e.what());
  } catch (...) {
    return "Unexpected error";
  }
}

}  // namespace

// ---- application ----

CWinApp::CWinApp(const char* appName)
    : appName_(appName ? appName : ""), exeName_(), helpPath_() {
  m_pszAppName = appName_.c_str();
  m_pszExeName = exeName_.c_str();
  m_pszHelpFilePath = helpPath_.c_str();
  g_app = this;
}

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

CWinApp* AfxGetApp() { return g_app; }

void CWinApp::SetRegistryKey(const char* key) {
  registryKey_ = key ? key : "";
  m_pszRegistryKey = registryKey_.c_str();
}

void CWinApp::SetModulePath(const char* fullPath) {
  const std::string path = fullPath ? fullPath : "";
  const size_t nameAt = path.find_last_of('\\') == std::string::npos ? 0 : path.find_last_of('\\') + 1;
  const size_t dot = path.find_last_of('.');
  const size_t extAt = (dot == std::string::npos || dot < nameAt) ? path.size() : dot;
  exeName_ = path.substr(nameAt, extAt - nameAt);
  helpPath_ = path.substr(0, extAt) + ".HLP";
  m_pszExeName = exeName_.c_str();
  m_pszHelpFilePath = helpPath_.c_str();
}

int AfxRunApplication(const char* modulePath) {
  CWinApp* app = AfxGetApp();
  if (!app) return 1;
  app->SetModulePath(modulePath);
  try {
    app->InitInstance();
  } catch (...) {
    AfxMessageBox(DescribeException(), MB_OK | MB_ICONERROR);
    return 1;
  }
  return 0;
}

// ---- data exchange ----

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
  if (pDX->m_bFailed) return;
  HWND item = pDX->m_pDlgWnd->GetDlgItem(id);
  if (!item) {
    pDX->m_bFailed = TRUE;
    return;
  }
  control.m_hWnd = item;
}

void DDX_Text(CDataExchange* pDX, int id, CString& value) {
  if (pDX->m_bFailed) return;
  CWnd item(pDX->m_pDlgWnd->GetDlgItem(id));
  if (!item.m_hWnd) {
    pDX->m_bFailed = TRUE;
    return;
  }
  if (pDX->m_bSaveAndValidate)
    value = item.GetWindowText();
  else
    item.SetWindowText(value);
}

// ---- dialogs ----

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() = default;

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  DoDataExchange(&dx);
  return dx.m_bFailed ? FALSE : TRUE;
}

const MessageMapEntry* CDialog::GetMessageMap() const {
  static const MessageMapEntry none[] = {msg::End()};
  return none;
}

bool CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_INITDIALOG) {
    *result = OnInitDialog();
    return true;
  }
  for (const MessageMapEntry* e = GetMessageMap(); e->firstMessage != 0; ++e) {
    if (message < e->firstMessage || message > e->lastMessage) continue;
    if (message == WM_COMMAND && (static_cast<int>(LOWORD(wParam)) != (e->id & 0xFFFF) || HIWORD(wParam) != BN_CLICKED))
      continue;
    defaultPending_ = false;
    *result = e->call(*this, message, wParam, lParam);
    return !defaultPending_;
  }
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    if (LOWORD(wParam) == IDOK) { OnOK(); *result = 0; return true; }
    if (LOWORD(wParam) == IDCANCEL) { OnCancel(); *result = 0; return true; }
  }
  return false;
}

bool CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  *result = 0;
  try {
    return Dispatch(message, wParam, lParam, result);
  } catch (...) {
    // The program's state is unknown after an unexpected failure: say so and close.
    AfxMessageBox(DescribeException(), MB_OK | MB_ICONERROR);
    EndDialog(-1);
    *result = 0;
    return true;
  }
}

// ---- the Save box ----

CFileDialog::CFileDialog(BOOL open, const char* defaultExt, const char* fileName, DWORD flags, const char* filter,
                         CWnd* parent)
    : m_defaultExt(defaultExt), m_fileName(fileName), m_filter(filter), m_open(open), m_pParentWnd(parent) {
  m_ofn.Flags = flags;
}

HWND CFileDialog::Owner() const {
  if (m_pParentWnd) return m_pParentWnd->m_hWnd;
  CWinApp* app = AfxGetApp();
  return app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
}
