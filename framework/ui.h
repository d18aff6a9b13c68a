// The windowing part of the framework: the application object, dialogs over a
// template, the controls the wizard binds, data exchange, a typed message map,
// the Save box, brushes and painting. Thin: each call goes one step down to the
// backend (Win32, or the headless stage that tests script).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

#include "framework/afx.h"

#ifndef _WIN32
// The rest of the Win32 names the windowing layer uses, same values.
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_CTLCOLORMSGBOX 0x0132
#define WM_CTLCOLOREDIT 0x0133
#define WM_CTLCOLORLISTBOX 0x0134
#define WM_CTLCOLORBTN 0x0135
#define WM_CTLCOLORDLG 0x0136
#define WM_CTLCOLORSCROLLBAR 0x0137
#define WM_CTLCOLORSTATIC 0x0138
#define BN_CLICKED 0
#define LOWORD(v) ((unsigned)((uintptr_t)(v) & 0xFFFFu))
#define HIWORD(v) ((unsigned)(((uintptr_t)(v) >> 16) & 0xFFFFu))
#define MAKEWPARAM(lo, hi) ((WPARAM)(((unsigned)(lo) & 0xFFFFu) | (((unsigned)(hi) & 0xFFFFu) << 16)))
typedef struct tagHELPINFO HELPINFO;
int GetSystemMetrics(int index);
#endif

class CWnd;
class CDialog;

// ---- application ----

class CWinApp {
 public:
  explicit CWinApp(const char* appName);
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // Start-up; FALSE ends the program when it returns.
  virtual BOOL InitInstance() { return FALSE; }

  // From then on the profile functions use
  // HKEY_CURRENT_USER\software\<key>\<application name>\<section>; the last three
  // keys are created when missing, on reads as well as writes.
  void SetRegistryKey(const char* key);
  // The stored value, or the default when it is missing, of another type or unreadable.
  UINT GetProfileInt(const char* section, const char* entry, int defaultValue);
  BOOL WriteProfileInt(const char* section, const char* entry, int value);                 // REG_DWORD
  CString GetProfileString(const char* section, const char* entry, const char* defaultValue = "");
  BOOL WriteProfileString(const char* section, const char* entry, const char* value);      // REG_SZ

  // 3-D control styling: the common controls are registered for the manifest's styles.
  BOOL Enable3dControlsStatic();
  HICON LoadIcon(UINT resourceId) const;

  // Sets m_pszExeName and m_pszHelpFilePath from the running program's full path.
  void SetModulePath(const char* fullPath);

  const char* m_pszAppName;
  const char* m_pszRegistryKey = nullptr;
  const char* m_pszExeName;       // running program's file name, no directory or extension
  const char* m_pszHelpFilePath;  // its full path with the extension replaced by ".HLP"
  CWnd* m_pMainWnd = nullptr;

 private:
  std::string appName_, registryKey_, exeName_, helpPath_;
};

// The application object of the process (the one constructed last and still alive).
CWinApp* AfxGetApp();

// What the entry point does: sets the module paths and runs InitInstance, showing
// any exception that escapes it in a message box. Returns the process exit code.
int AfxRunApplication(const char* modulePath);

// ---- windows and controls ----

struct CRect {
  LONG left = 0, top = 0, right = 0, bottom = 0;
  LONG Width() const { return right - left; }
  LONG Height() const { return bottom - top; }
};

// A window handle with the calls the wizard makes on it. Owns nothing.
class CWnd {
 public:
  CWnd() = default;
  explicit CWnd(HWND window) : m_hWnd(window) {}
  virtual ~CWnd() = default;

  HWND GetSafeHwnd() const { return m_hWnd; }
  BOOL EnableWindow(BOOL enable = TRUE);
  BOOL IsWindowEnabled() const;
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  void SetWindowText(const char* text);
  CString GetWindowText() const;
  BOOL IsIconic() const;
  void GetClientRect(CRect* rect) const;
  // The child control with this id, or null.
  HWND GetDlgItem(int id) const;

  HWND m_hWnd = nullptr;
};

class CButton : public CWnd {};
class CEdit : public CWnd {};

class CBrush {
 public:
  CBrush() = default;
  ~CBrush();
  CBrush(const CBrush&) = delete;
  CBrush& operator=(const CBrush&) = delete;
  BOOL CreateSolidBrush(COLORREF color);
  HBRUSH GetSafeHandle() const { return m_hBrush; }
  HBRUSH m_hBrush = nullptr;
};

// Painting a window during WM_PAINT: begins on construction, ends on destruction.
class CPaintDC {
 public:
  explicit CPaintDC(CWnd* window);
  ~CPaintDC();
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;
  BOOL DrawIcon(int x, int y, HICON icon);
  HDC m_hDC = nullptr;

 private:
  struct State;
  CWnd* window_;
  std::unique_ptr<State> state_;
};

// ---- data exchange ----

class CDataExchange {
 public:
  CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
  CWnd* m_pDlgWnd;
  BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
  BOOL m_bFailed = FALSE;   // an exchange failed; the rest is skipped and UpdateData returns FALSE
};

// Binds a control object to the dialog's control with this id.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
// Moves a control's text to or from a string.
void DDX_Text(CDataExchange* pDX, int id, CString& value);

// ---- message maps ----

// One entry of a dialog's static message map: the messages it takes and a thunk
// that calls the typed member handler. Build entries with the makers in `msg`.
struct MessageMapEntry {
  UINT firstMessage = 0;  // 0 ends the map
  UINT lastMessage = 0;
  int id = 0;             // for WM_COMMAND: the control id
  LRESULT (*call)(CDialog& dialog, UINT message, WPARAM wParam, LPARAM lParam) = nullptr;
};

namespace msg {

template <class M> struct ClassOf;
template <class T, class R, class... A> struct ClassOf<R (T::*)(A...)> { using type = T; };
template <auto M> using Owner = typename ClassOf<decltype(M)>::type;

// WM_PAINT: void OnPaint()
template <auto M> MessageMapEntry Paint() {
  return {WM_PAINT, WM_PAINT, 0, [](CDialog& d, UINT, WPARAM, LPARAM) -> LRESULT {
            (static_cast<Owner<M>&>(d).*M)();
            return 0;
          }};
}

// WM_QUERYDRAGICON: HICON OnQueryDragIcon()
template <auto M> MessageMapEntry QueryDragIcon() {
  return {WM_QUERYDRAGICON, WM_QUERYDRAGICON, 0, [](CDialog& d, UINT, WPARAM, LPARAM) -> LRESULT {
            HICON icon = (static_cast<Owner<M>&>(d).*M)();
            return reinterpret_cast<LRESULT>(icon);
          }};
}

// Every WM_CTLCOLOR* message: HBRUSH OnCtlColor(HDC, HWND control, UINT kind),
// kind 0 (message box) to 6 (static) as the messages are numbered.
template <auto M> MessageMapEntry CtlColor() {
  return {WM_CTLCOLORMSGBOX, WM_CTLCOLORSTATIC, 0, [](CDialog& d, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            HBRUSH brush = (static_cast<Owner<M>&>(d).*M)(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l),
                                                           m - WM_CTLCOLORMSGBOX);
            return reinterpret_cast<LRESULT>(brush);
          }};
}

// WM_HELP: BOOL OnHelpInfo(HELPINFO*)
template <auto M> MessageMapEntry Help() {
  return {WM_HELP, WM_HELP, 0, [](CDialog& d, UINT, WPARAM, LPARAM l) -> LRESULT {
            return (static_cast<Owner<M>&>(d).*M)(reinterpret_cast<HELPINFO*>(l));
          }};
}

// A click on the push button `id`: void OnClicked()
template <auto M> MessageMapEntry Clicked(int id) {
  return {WM_COMMAND, WM_COMMAND, id, [](CDialog& d, UINT, WPARAM, LPARAM) -> LRESULT {
            (static_cast<Owner<M>&>(d).*M)();
            return 0;
          }};
}

inline MessageMapEntry End() { return {}; }

}  // namespace msg

// ---- dialogs ----

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT templateId, CWnd* parent = nullptr);
  ~CDialog() override;
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // Creates the window from the template, calls OnInitDialog and runs until
  // EndDialog; returns its result, or -1 when the window cannot be created.
  virtual intptr_t DoModal();
  // The first data exchange (members to controls). TRUE: focus the first tab stop.
  virtual BOOL OnInitDialog();
  // Reads the controls and, when that succeeds, ends the dialog with IDOK.
  virtual void OnOK();
  // Ends the dialog with IDCANCEL (Escape and the close box come here).
  virtual void OnCancel();
  BOOL UpdateData(BOOL saveAndValidate = TRUE);
  void EndDialog(int result);

  // Backend use: handles one message through WM_INITDIALOG, the message map and
  // the IDOK/IDCANCEL commands. Exceptions stop here: they are shown in a message
  // box and end the dialog. False when the message goes to default processing.
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;

 protected:
  virtual void DoDataExchange(CDataExchange*) {}
  // The class's message map, ending with msg::End(). The base has no entries.
  virtual const MessageMapEntry* GetMessageMap() const;
  // The message being handled goes on to the platform's default processing.
  void Default() { defaultPending_ = true; }
  void OnPaint() { Default(); }

 private:
  bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  bool defaultPending_ = false;
};

// ---- the Save box ----

class CFileDialog {
 public:
  // open FALSE: a save box. defaultExt may carry its dot; filter is "label|pattern|...|".
  CFileDialog(BOOL open, const char* defaultExt, const char* fileName, DWORD flags, const char* filter,
              CWnd* parent = nullptr);
  // IDOK with the chosen path, IDCANCEL when the user cancels.
  intptr_t DoModal();
  CString GetPathName() const { return m_path; }

  struct Options {
    const char* lpstrTitle = nullptr;
    const char* lpstrInitialDir = nullptr;
    DWORD Flags = 0;
  } m_ofn;
  CString m_defaultExt, m_fileName, m_filter, m_path;
  BOOL m_open;
  CWnd* m_pParentWnd;

 private:
  HWND Owner() const;
};
