// Drives the wizard from outside, as a user would: finds its windows by class
// and caption, reads and sets control texts, posts button clicks, answers the
// message boxes and the Save box, and takes screenshots. It runs under the same
// Wine as the wizard and reports every step on stdout.
//
// usage: driver.exe STEPS.txt
// One step a line: a verb, a blank, then its argument, in which {tab} stands
// for a tab character. Verbs:
//   timeout SECONDS         how long each later wait may take (default 60)
//   msgbox yes|no|ok [TEXT] wait for a message box of the wizard, report its
//                           text (which must contain TEXT), press the button
//   wizard                  wait until the wizard is shown and takes input;
//                           a message box of the wizard meanwhile is a failure
//   prompt TEXT             wait until the question reads TEXT
//   value TEXT              wait until the answer box holds TEXT
//   previous on|off         wait until Previous is enabled / disabled
//   type TEXT               put TEXT into the answer box
//   clip TEXT               put TEXT on the clipboard
//   click next|previous|paste   post a click on the button
//   key enter|escape        post the key to the answer box
//   savebox TITLE           wait for the Save box with this title
//   savename TEXT           wait until its file-name field holds TEXT
//   saveas PATH             type PATH as the file name and press Save
//   savecancel              press Cancel in the Save box
//   snap FILE.png           screenshot of the window the last step found
//   gone                    wait until the wizard has closed
//   dump                    list the controls of the window the last step found
// Exit code: 0 when every step passed, 1 at the first failed step.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "tests/e2e/png.h"

namespace {

const char kAppName[] = "Doviro Vire Rozuzuv IVO";
const char kDialogClass[] = "#32770";
const int kIdValue = 1008, kIdPaste = 1023, kIdPrompt = 1038, kIdNext = 1039, kIdPrevious = 1040;
const int kIdMessageText = 0xFFFF;
const int kIdSaveName = 1148, kIdSaveNameOld = 1152;

struct Failure {
  std::string what;
};

struct State {
  double timeoutSeconds = 60;
  HWND last = nullptr;    // the window the last wait found, for snap
  std::string saveTitle;  // the Save box that the later save steps act on
};

// The text a control holds. GetWindowText would give only the caption stored
// when the window of another program was made, so the control is asked.
std::string TextOf(HWND hwnd) {
  if (!hwnd) return "";
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return "";
  std::string text(length + 1, '\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutA(hwnd, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG, 5000,
                      &got);
  text.resize(got < length ? got : length);
  return text;
}

// One line of output: line breaks and tabs in a text are shown as \n and \t.
std::string Shown(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\t') out += "\\t";
    else out += c;
  }
  return out;
}

void Report(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

std::string ClassOf(HWND hwnd) {
  char name[64] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

bool IsAppDialog(HWND hwnd, const char* caption) {
  return IsWindowVisible(hwnd) && ClassOf(hwnd) == kDialogClass && TextOf(hwnd) == caption;
}

struct Search {
  const char* caption;
  bool wantWizard;  // the wizard has the Next button; a message box has not
  HWND found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  if (!IsAppDialog(hwnd, search->caption)) return TRUE;
  if ((GetDlgItem(hwnd, kIdNext) != nullptr) != search->wantWizard) return TRUE;
  search->found = hwnd;
  return FALSE;
}

HWND FindDialog(const char* caption, bool wantWizard) {
  Search search{caption, wantWizard};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindWizard() { return FindDialog(kAppName, true); }
HWND FindMessageBox() { return FindDialog(kAppName, false); }

// The message text: the static with the message-box text ID, or else the
// first static with text that is not the icon.
std::string MessageTextOf(HWND box) {
  if (HWND text = GetDlgItem(box, kIdMessageText)) return TextOf(text);
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) != "Static" || (GetWindowLongA(child, GWL_STYLE) & SS_ICON) == SS_ICON) continue;
    std::string text = TextOf(child);
    if (!text.empty()) return text;
  }
  return "";
}

// Polls `probe` until it returns true or the timeout passes; `describe` tells
// what was seen when it did not.
template <typename Probe, typename Describe>
void WaitFor(const State& state, const std::string& what, Probe probe, Describe describe) {
  auto deadline = std::chrono::steady_clock::now() +
                  std::chrono::milliseconds(static_cast<long long>(state.timeoutSeconds * 1000));
  for (;;) {
    if (probe()) return;
    if (std::chrono::steady_clock::now() > deadline)
      throw Failure{"timed out waiting for " + what + "; saw " + describe()};
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

HWND NeedWizard() {
  HWND wizard = FindWizard();
  if (!wizard) throw Failure{"the wizard is not shown"};
  return wizard;
}

std::string Seen(const std::string& text) { return "\"" + Shown(text) + "\""; }

std::string WizardText(int id) {
  HWND wizard = FindWizard();
  return wizard ? TextOf(GetDlgItem(wizard, id)) : "";
}

void PostClick(HWND button, const std::string& name) {
  if (!button) throw Failure{"no " + name + " button"};
  PostMessageA(button, BM_CLICK, 0, 0);
}

void StepMsgBox(State& state, const std::string& arg) {
  size_t blank = arg.find(' ');
  std::string reply = arg.substr(0, blank);
  std::string expected = blank == std::string::npos ? "" : arg.substr(blank + 1);
  int id = reply == "yes" ? IDYES : reply == "no" ? IDNO : reply == "ok" ? IDOK : 0;
  if (id == 0) throw Failure{"msgbox needs yes, no or ok, not " + reply};
  HWND box = nullptr;
  WaitFor(state, "a message box", [&] { return (box = FindMessageBox()) != nullptr && IsWindowEnabled(box); },
          [] { return std::string("none"); });
  state.last = box;
  std::string text = MessageTextOf(box);
  Report("msgbox: " + Shown(text));
  if (text.find(expected) == std::string::npos) throw Failure{"the message box should contain " + Seen(expected)};
  HWND button = GetDlgItem(box, id);
  if (!button || !IsWindowVisible(button)) throw Failure{"the message box has no " + reply + " button"};
  PostClick(button, reply);
  WaitFor(state, "the message box to close", [&] { return !IsWindow(box) || !IsWindowVisible(box); },
          [] { return std::string("it still open"); });
}

void StepWizard(State& state) {
  HWND wizard = nullptr;
  WaitFor(state, "the wizard",
          [&] {
            if (HWND box = FindMessageBox()) throw Failure{"unexpected message box: " + Shown(MessageTextOf(box))};
            wizard = FindWizard();
            return wizard && IsWindowEnabled(wizard);
          },
          [] { return std::string("no wizard"); });
  state.last = wizard;
  Report("wizard: shown");
}

void StepControlText(State& state, int id, const std::string& name, const std::string& expected) {
  state.last = NeedWizard();
  WaitFor(state, name + " " + Seen(expected), [&] { return WizardText(id) == expected; },
          [&] { return Seen(WizardText(id)); });
  Report(name + ": " + Shown(expected));
}

void StepPrevious(State& state, const std::string& arg) {
  bool wanted = arg == "on";
  if (!wanted && arg != "off") throw Failure{"previous needs on or off"};
  auto enabled = [] { return FindWizard() && IsWindowEnabled(GetDlgItem(FindWizard(), kIdPrevious)) != FALSE; };
  WaitFor(state, "Previous " + arg, [&] { return enabled() == wanted; },
          [&] { return std::string(enabled() ? "on" : "off"); });
  Report("previous: " + arg);
}

void StepType(State& state, const std::string& text) {
  state.last = NeedWizard();
  SetWindowTextA(GetDlgItem(state.last, kIdValue), text.c_str());
  Report("type: " + Shown(text));
}

void StepClip(const std::string& text) {
  if (!OpenClipboard(nullptr)) throw Failure{"cannot open the clipboard"};
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  bool placed = false;
  if (memory) {
    if (void* bytes = GlobalLock(memory)) {
      std::copy(text.c_str(), text.c_str() + text.size() + 1, static_cast<char*>(bytes));
      GlobalUnlock(memory);
      placed = SetClipboardData(CF_TEXT, memory) != nullptr;
    }
    if (!placed) GlobalFree(memory);  // on success the clipboard owns it
  }
  CloseClipboard();
  if (!placed) throw Failure{"cannot put text on the clipboard"};
  Report("clip: " + Shown(text));
}

void StepClick(State& state, const std::string& arg) {
  int id = arg == "next" ? kIdNext : arg == "previous" ? kIdPrevious : arg == "paste" ? kIdPaste : 0;
  if (id == 0) throw Failure{"click needs next, previous or paste"};
  state.last = NeedWizard();
  PostClick(GetDlgItem(state.last, id), arg);
  Report("click: " + arg);
}

void StepKey(State& state, const std::string& arg) {
  WPARAM key = arg == "enter" ? VK_RETURN : arg == "escape" ? VK_ESCAPE : 0;
  if (key == 0) throw Failure{"key needs enter or escape"};
  state.last = NeedWizard();
  HWND edit = GetDlgItem(state.last, kIdValue);
  PostMessageA(edit, WM_KEYDOWN, key, 1);
  PostMessageA(edit, WM_KEYUP, key, 0xC0000001);
  Report("key: " + arg);
}

struct SaveBox {
  HWND box = nullptr;
  HWND name = nullptr;
};

BOOL CALLBACK FirstEdit(HWND hwnd, LPARAM param) {
  if (ClassOf(hwnd) != "Edit") return TRUE;
  *reinterpret_cast<HWND*>(param) = hwnd;
  return FALSE;
}

SaveBox FindSaveBox(const std::string& title) {
  SaveBox found;
  Search search{title.c_str(), false};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  found.box = search.found;
  if (!found.box) return found;
  found.name = GetDlgItem(found.box, kIdSaveName);
  if (!found.name) found.name = GetDlgItem(found.box, kIdSaveNameOld);
  // The field may be a combo box (extended or not); the text is in its edit.
  if (found.name && ClassOf(found.name) != "Edit") {
    HWND field = found.name;
    found.name = nullptr;
    EnumChildWindows(field, FirstEdit, reinterpret_cast<LPARAM>(&found.name));
  }
  return found;
}

SaveBox NeedSaveBox(const State& state) {
  SaveBox save = FindSaveBox(state.saveTitle);
  if (!save.box || !save.name) throw Failure{"the Save box is not shown"};
  return save;
}

void StepSaveBox(State& state, const std::string& title) {
  state.saveTitle = title;
  SaveBox save;
  WaitFor(state, "the Save box " + Seen(title),
          [&] { return (save = FindSaveBox(title)).box && save.name && IsWindowEnabled(save.box); },
          [] { return std::string("none"); });
  state.last = save.box;
  Report("savebox: " + Shown(title));
  Report("proposed: " + Shown(TextOf(save.name)));
}

void StepSaveName(State& state, const std::string& expected) {
  WaitFor(state, "the file name " + Seen(expected), [&] { return TextOf(NeedSaveBox(state).name) == expected; },
          [&] { return Seen(TextOf(NeedSaveBox(state).name)); });
  Report("savename: " + Shown(expected));
}

void StepSaveButton(State& state, int id, const std::string& path) {
  SaveBox save = NeedSaveBox(state);
  if (id == IDOK) SetWindowTextA(save.name, path.c_str());
  PostClick(GetDlgItem(save.box, id), id == IDOK ? "Save" : "Cancel");
  WaitFor(state, "the Save box to close", [&] { return !IsWindow(save.box) || !IsWindowVisible(save.box); },
          [] { return std::string("it still open"); });
  Report(id == IDOK ? "saveas: " + Shown(path) : "savecancel");
}

void StepSnap(const State& state, const std::string& path) {
  if (!state.last || !IsWindow(state.last)) throw Failure{"nothing to take a picture of"};
  RedrawWindow(state.last, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  std::string error = e2e::SaveWindowPng(state.last, path);
  if (!error.empty()) throw Failure{error};
  Report("snap: " + path);
}

void DumpChildren(HWND parent, const std::string& indent) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    Report(indent + "control " + std::to_string(GetDlgCtrlID(child)) + " " + ClassOf(child) +
           (IsWindowVisible(child) ? "" : " (hidden)") + ": " + Shown(TextOf(child)));
    DumpChildren(child, indent + "  ");
  }
}

void StepDump(const State& state) {
  if (!state.last || !IsWindow(state.last)) throw Failure{"nothing to list"};
  DumpChildren(state.last, "  ");
}

void StepGone(State& state) {
  WaitFor(state, "the wizard to close", [] { return FindWizard() == nullptr; },
          [] { return std::string("it still open"); });
  Report("gone");
}

void RunStep(State& state, const std::string& verb, const std::string& arg) {
  if (verb == "timeout") state.timeoutSeconds = std::atof(arg.c_str());
  else if (verb == "msgbox") StepMsgBox(state, arg);
  else if (verb == "wizard") StepWizard(state);
  else if (verb == "prompt") StepControlText(state, kIdPrompt, "prompt", arg);
  else if (verb == "value") StepControlText(state, kIdValue, "value", arg);
  else if (verb == "previous") StepPrevious(state, arg);
  else if (verb == "type") StepType(state, arg);
  else if (verb == "clip") StepClip(arg);
  else if (verb == "click") StepClick(state, arg);
  else if (verb == "key") StepKey(state, arg);
  else if (verb == "savebox") StepSaveBox(state, arg);
  else if (verb == "savename") StepSaveName(state, arg);
  else if (verb == "saveas") StepSaveButton(state, IDOK, arg);
  else if (verb == "savecancel") StepSaveButton(state, IDCANCEL, "");
  else if (verb == "snap") StepSnap(state, arg);
  else if (verb == "gone") StepGone(state);
  else if (verb == "dump") StepDump(state);
  else throw Failure{"unknown step " + verb};
}

std::string Unescape(std::string text) {
  const std::string tab = "{tab}";
  for (size_t at = text.find(tab); at != std::string::npos; at = text.find(tab, at + 1))
    text.replace(at, tab.size(), "\t");
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return std::fprintf(stderr, "usage: driver.exe STEPS.txt\n"), 2;
  std::ifstream steps(argv[1]);
  if (!steps) return std::fprintf(stderr, "driver: cannot read %s\n", argv[1]), 2;
  State state;
  std::string line;
  int number = 0;
  while (std::getline(steps, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    size_t blank = line.find(' ');
    std::string verb = line.substr(0, blank);
    std::string arg = blank == std::string::npos ? "" : Unescape(line.substr(blank + 1));
    try {
      RunStep(state, verb, arg);
    } catch (const Failure& failure) {
      Report("FAILED at step " + std::to_string(number) + " (" + Shown(line) + "): " + failure.what);
      return 1;
    }
  }
  Report("driver: all steps passed");
  return 0;
}
