// Headless backend of the windowing layer: windows and control texts in memory
// on the stage, a modal loop that handles posted messages and then runs the
// user's scripted actions, and a Save box answered by the script.
#include <algorithm>
#include <utility>

#include "framework/headless/script.h"
#include "framework/ui.h"

using headless::GetStage;
using headless::Handle;
using headless::Number;
using headless::Stage;
using headless::Window;

namespace {

Window* Find(intptr_t handle) {
  auto& windows = GetStage().windows;
  auto it = windows.find(handle);
  return it == windows.end() ? nullptr : &it->second;
}

Window* Find(HWND window) { return Find(Number(window)); }

intptr_t ChildOf(intptr_t dialog, int id) {
  for (const auto& [handle, w] : GetStage().windows)
    if (w.parent == dialog && w.parent != 0 && w.id == id) return handle;
  return 0;
}

// What an edit box does with the messages the program sends it.
LRESULT EditProc(Window& edit, UINT message, WPARAM wParam, LPARAM lParam) {
  const int length = static_cast<int>(edit.text.size());
  if (message == EM_SETSEL) {
    intptr_t start = static_cast<intptr_t>(wParam), end = static_cast<intptr_t>(lParam);
    if (start == -1) {
      edit.selStart = edit.selEnd;
      return 0;
    }
    if (end < 0 || end > length) end = length;
    if (start < 0 || start > length) start = length;
    if (start > end) std::swap(start, end);
    edit.selStart = static_cast<int>(start);
    edit.selEnd = static_cast<int>(end);
  } else if (message == WM_PASTE) {
    // A single-line edit box takes the clipboard text up to its first line break.
    const std::string& clip = GetStage().clipboard;
    std::string text = clip.substr(0, clip.find_first_of("\r\n"));
    const int from = std::clamp(std::min(edit.selStart, edit.selEnd), 0, length);
    const int to = std::clamp(std::max(edit.selStart, edit.selEnd), 0, length);
    edit.text.replace(static_cast<size_t>(from), static_cast<size_t>(to - from), text);
    edit.selStart = edit.selEnd = from + static_cast<int>(text.size());
  }
  return 0;
}

// A message to a window: a dialog goes through its object first, then through
// the default dialog processing; a control through its own procedure.
LRESULT Deliver(intptr_t handle, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* w = Find(handle);
  if (!w) return 0;
  if (w->kind == "Edit") return EditProc(*w, message, wParam, lParam);
  if (!w->dialog) return 0;
  LRESULT result = 0;
  if (w->dialog->HandleMessage(message, wParam, lParam, &result)) return result;
  w = Find(handle);  // the handler may have changed the window table
  if (!w) return 0;
  if (message == WM_CLOSE) return Deliver(handle, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  if (message == WM_SETICON) {
    HICON& slot = wParam == ICON_BIG ? w->bigIcon : w->smallIcon;
    return reinterpret_cast<LRESULT>(std::exchange(slot, reinterpret_cast<HICON>(lParam)));
  }
  return 0;
}

intptr_t CreateDialogWindows(const headless::DialogTemplate& tpl, CDialog* dialog) {
  Stage& st = GetStage();
  const intptr_t handle = st.nextHandle++;
  Window& w = st.windows[handle];
  w.kind = "#32770";
  w.text = tpl.caption;
  w.dialog = dialog;
  for (const headless::ControlTemplate& c : tpl.controls) {
    Window& control = st.windows[st.nextHandle++];
    control.parent = handle;
    control.id = c.id;
    control.kind = c.kind;
    control.text = c.text;
    control.enabled = !c.disabled;
    control.defaultButton = c.defaultButton;
  }
  return handle;
}

void DestroyDialogWindows(intptr_t dialog) {
  auto& windows = GetStage().windows;
  for (auto it = windows.begin(); it != windows.end();)
    it = (it->first == dialog || it->second.parent == dialog) ? windows.erase(it) : std::next(it);
}

// Runs until the dialog ends: posted messages first, then the user's next action.
void RunModalLoop(intptr_t dialog) {
  Stage& st = GetStage();
  bool closeSent = false;
  for (;;) {
    Window* w = Find(dialog);
    if (!w || w->ended) return;
    if (!st.posted.empty()) {
      headless::Message m = st.posted.front();
      st.posted.pop_front();
      Deliver(m.window, m.message, m.wParam, m.lParam);
    } else if (!st.userInput.empty()) {
      std::function<void()> action = std::move(st.userInput.front());
      st.userInput.pop_front();
      action();
    } else if (!closeSent) {
      st.ranOutOfInput = true;
      closeSent = true;
      st.posted.push_back({dialog, WM_CLOSE, 0, 0});
    } else {
      w->ended = true;  // the dialog would not close: give up rather than hang
      w->result = -1;
    }
  }
}

}  // namespace

// ---- application ----

BOOL CWinApp::Enable3dControlsStatic() {
  GetStage().controls3d = true;
  return TRUE;
}

// An icon handle that names its resource.
HICON CWinApp::LoadIcon(UINT resourceId) const { return Handle<HICON>(0x10000 + static_cast<intptr_t>(resourceId)); }

int GetSystemMetrics(int index) { return index == SM_CXICON || index == SM_CYICON ? 32 : 0; }

// ---- windows ----

BOOL CWnd::EnableWindow(BOOL enable) {
  Window* w = Find(m_hWnd);
  if (!w) return FALSE;
  const bool wasDisabled = !w->enabled;
  w->enabled = enable != FALSE;
  return wasDisabled ? TRUE : FALSE;
}

BOOL CWnd::IsWindowEnabled() const {
  Window* w = Find(m_hWnd);
  return w && w->enabled ? TRUE : FALSE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  GetStage().sent.push_back({Number(m_hWnd), message, wParam, lParam});
  return Deliver(Number(m_hWnd), message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!Find(m_hWnd)) return FALSE;
  GetStage().posted.push_back({Number(m_hWnd), message, wParam, lParam});
  return TRUE;
}

void CWnd::SetWindowText(const char* text) {
  if (Window* w = Find(m_hWnd)) {
    w->text = text ? text : "";
    w->selStart = w->selEnd = 0;
  }
}

CString CWnd::GetWindowText() const {
  Window* w = Find(m_hWnd);
  return w ? CString(w->text) : CString();
}

BOOL CWnd::IsIconic() const {
  Window* w = Find(m_hWnd);
  return w && w->minimized ? TRUE : FALSE;
}

void CWnd::GetClientRect(CRect* rect) const {
  Window* w = Find(m_hWnd);
  *rect = w ? CRect{0, 0, w->clientWidth, w->clientHeight} : CRect{};
}

HWND CWnd::GetDlgItem(int id) const { return Handle<HWND>(ChildOf(Number(m_hWnd), id)); }

// ---- brushes and painting ----

CBrush::~CBrush() {
  auto& brushes = GetStage().brushes;
  auto it = brushes.find(Number(m_hBrush));
  if (it != brushes.end()) it->second.deleted = true;
}

BOOL CBrush::CreateSolidBrush(COLORREF color) {
  Stage& st = GetStage();
  if (m_hBrush) st.brushes[Number(m_hBrush)].deleted = true;
  const intptr_t handle = st.nextHandle++;
  st.brushes[handle] = headless::Brush{color, false};
  m_hBrush = Handle<HBRUSH>(handle);
  return TRUE;
}

struct CPaintDC::State {};

CPaintDC::CPaintDC(CWnd* window) : window_(window), state_(std::make_unique<State>()) {
  m_hDC = Handle<HDC>(0xDC);
}

CPaintDC::~CPaintDC() = default;

BOOL CPaintDC::DrawIcon(int x, int y, HICON icon) {
  GetStage().drawnIcons.push_back({x, y, icon});
  return TRUE;
}

// ---- dialogs ----

intptr_t CDialog::DoModal() {
  Stage& st = GetStage();
  auto tpl = st.templates.find(m_nIDTemplate);
  if (tpl == st.templates.end()) return -1;
  const intptr_t handle = CreateDialogWindows(tpl->second, this);
  m_hWnd = Handle<HWND>(handle);
  st.modal.push_back(handle);
  LRESULT ignored = 0;
  HandleMessage(WM_INITDIALOG, 0, 0, &ignored);
  RunModalLoop(handle);
  Window* w = Find(handle);
  const intptr_t result = w ? w->result : -1;
  DestroyDialogWindows(handle);
  if (!st.modal.empty()) st.modal.pop_back();
  m_hWnd = nullptr;
  return result;
}

void CDialog::EndDialog(int result) {
  if (Window* w = Find(m_hWnd)) {
    w->ended = true;
    w->result = result;
  }
}

// ---- the Save box ----

intptr_t CFileDialog::DoModal() {
  Stage& st = GetStage();
  headless::SaveBoxCall call;
  call.title = m_ofn.lpstrTitle ? m_ofn.lpstrTitle : "";
  call.hasInitialDir = m_ofn.lpstrInitialDir != nullptr;
  call.initialDir = m_ofn.lpstrInitialDir ? m_ofn.lpstrInitialDir : "";
  call.fileName = m_fileName.str();
  call.defaultExt = m_defaultExt.str();
  call.filter = m_filter.str();
  call.flags = m_ofn.Flags;
  call.owner = Number(Owner());
  st.saveBoxes.push_back(call);
  if (st.saveBoxAnswers.empty()) return IDCANCEL;
  std::optional<std::string> answer = std::move(st.saveBoxAnswers.front());
  st.saveBoxAnswers.pop_front();
  if (!answer) return IDCANCEL;
  m_path = CString(*answer);
  return IDOK;
}

// ---- the user's hands ----

namespace headless {

CDialog* RunningDialog() {
  Window* w = RunningDialogWindow();
  return w ? w->dialog : nullptr;
}

Window* RunningDialogWindow() {
  const Stage& st = GetStage();
  return st.modal.empty() ? nullptr : Find(st.modal.back());
}

Window* Control(int id) {
  const Stage& st = GetStage();
  return st.modal.empty() ? nullptr : Find(ChildOf(st.modal.back(), id));
}

std::string TextOf(int id) {
  Window* c = Control(id);
  return c ? c->text : std::string();
}

bool IsEnabled(int id) {
  Window* c = Control(id);
  return c && c->enabled;
}

static bool ToDialog(UINT message, WPARAM wParam, LPARAM lParam) {
  const Stage& st = GetStage();
  if (st.modal.empty()) return false;
  Deliver(st.modal.back(), message, wParam, lParam);
  return true;
}

bool Click(int id) {
  Window* c = Control(id);
  if (!c || !c->enabled || c->kind != "Button") return false;
  return ToDialog(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), ChildOf(c->parent, id));
}

bool Type(int id, const std::string& text) {
  Window* c = Control(id);
  if (!c || !c->enabled) return false;
  c->text = text;
  c->selStart = c->selEnd = static_cast<int>(text.size());
  return true;
}

bool Select(int id, int start, int end) {
  Window* c = Control(id);
  if (!c || c->kind != "Edit") return false;
  EditProc(*c, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
  return true;
}

bool PressEnter() {
  const Stage& st = GetStage();
  if (st.modal.empty()) return false;
  int id = IDOK;
  for (const auto& [handle, w] : st.windows)
    if (w.parent == st.modal.back() && w.defaultButton) id = w.id;  // the last one in template order
  if (id != IDOK && !IsEnabled(id)) return false;
  return ToDialog(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

bool PressEscape() { return ToDialog(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }
bool PressF1() { return ToDialog(WM_HELP, 0, 0); }
bool ClickCloseBox() { return ToDialog(WM_CLOSE, 0, 0); }
bool Paint() { return ToDialog(WM_PAINT, 0, 0); }

bool Minimize(bool minimized) {
  Window* w = RunningDialogWindow();
  if (!w) return false;
  w->minimized = minimized;
  return true;
}

}  // namespace headless
