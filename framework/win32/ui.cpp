// Win32 backend of the windowing layer: dialogs from templates in the program's
// resources, controls by handle, GDI brushes and painting, the common Save box.
#include "framework/ui.h"  // <windows.h> first: the other Win32 headers need it

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

// Centres a dialog over its owner, or over the work area when it has none, and
// keeps it on the screen.
void CenterDialog(HWND dialog) {
  RECT box, area;
  GetWindowRect(dialog, &box);
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  RECT over = area;
  HWND owner = GetWindow(dialog, GW_OWNER);
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &over);
  const LONG width = box.right - box.left, height = box.bottom - box.top;
  LONG x = over.left + (over.right - over.left - width) / 2;
  LONG y = over.top + (over.bottom - over.top - height) / 2;
  if (x + width > area.right) x = area.right - width;
  if (y + height > area.bottom) y = area.bottom - height;
  if (x < area.left) x = area.left;
  if (y < area.top) y = area.top;
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Messages whose dialog-procedure result is the value itself, not a handled flag.
bool ReturnsValue(UINT message) {
  return message == WM_INITDIALOG || message == WM_QUERYDRAGICON ||
         (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC);
}

// Every dialog of the program goes through here; the dialog object travels in
// the WM_INITDIALOG parameter and then sits in the window's user slot.
INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CDialog* dialog;
  if (message == WM_INITDIALOG) {
    dialog = reinterpret_cast<CDialog*>(lParam);
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    dialog->m_hWnd = window;
    CenterDialog(window);
  } else {
    dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
  }
  if (!dialog) return FALSE;
  if (message == WM_NCDESTROY) {
    dialog->m_hWnd = nullptr;
    return FALSE;
  }
  LRESULT result = 0;
  if (!dialog->HandleMessage(message, wParam, lParam, &result)) return FALSE;
  if (ReturnsValue(message)) return static_cast<INT_PTR>(result);
  SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace

// ---- application ----

BOOL CWinApp::Enable3dControlsStatic() {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  return InitCommonControlsEx(&controls);
}

HICON CWinApp::LoadIcon(UINT resourceId) const {
  return ::LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId));
}

// ---- windows ----

BOOL CWnd::EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

void CWnd::SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }

CString CWnd::GetWindowText() const {
  int length = ::GetWindowTextLengthA(m_hWnd);
  if (length <= 0) return CString();
  std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
  int got = ::GetWindowTextA(m_hWnd, text.data(), length + 1);
  return CString(text.data(), got < 0 ? 0 : got);
}

BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }

void CWnd::GetClientRect(CRect* rect) const {
  RECT r{};
  ::GetClientRect(m_hWnd, &r);
  *rect = CRect{r.left, r.top, r.right, r.bottom};
}

HWND CWnd::GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

// ---- brushes and painting ----

CBrush::~CBrush() {
  if (m_hBrush) DeleteObject(m_hBrush);
}

BOOL CBrush::CreateSolidBrush(COLORREF color) {
  if (m_hBrush) DeleteObject(m_hBrush);
  m_hBrush = ::CreateSolidBrush(color);
  return m_hBrush != nullptr;
}

struct CPaintDC::State {
  PAINTSTRUCT paint{};
};

CPaintDC::CPaintDC(CWnd* window) : window_(window), state_(std::make_unique<State>()) {
  m_hDC = BeginPaint(window_->m_hWnd, &state_->paint);
}

CPaintDC::~CPaintDC() { EndPaint(window_->m_hWnd, &state_->paint); }

BOOL CPaintDC::DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }

// ---- dialogs ----

intptr_t CDialog::DoModal() {
  HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
  return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_nIDTemplate), parent, DialogProc,
                         reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(int result) {
  if (m_hWnd) ::EndDialog(m_hWnd, result);
}

// ---- the Save box ----

intptr_t CFileDialog::DoModal() {
  // "label|pattern|...|" becomes the zero-separated list the box takes.
  std::string filter = m_filter.str();
  for (char& c : filter)
    if (c == '|') c = '\0';
  filter.push_back('\0');
  std::string extension = m_defaultExt.str();
  if (!extension.empty() && extension[0] == '.') extension.erase(0, 1);
  // Room for the longest name a package can propose and any path the box returns.
  std::vector<char> file(16384, '\0');
  m_fileName.str().copy(file.data(), file.size() - 1);

  OPENFILENAMEA box{};
  box.lStructSize = sizeof box;
  box.hwndOwner = Owner();
  box.lpstrFilter = filter.c_str();
  box.nFilterIndex = 1;
  box.lpstrFile = file.data();
  box.nMaxFile = static_cast<DWORD>(file.size());
  box.lpstrInitialDir = m_ofn.lpstrInitialDir;
  box.lpstrTitle = m_ofn.lpstrTitle;
  box.Flags = m_ofn.Flags | OFN_EXPLORER;
  box.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  BOOL chosen = m_open ? GetOpenFileNameA(&box) : GetSaveFileNameA(&box);
  if (!chosen) return IDCANCEL;
  m_path = CString(file.data());
  return IDOK;
}
