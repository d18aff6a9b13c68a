// The headless backend's stage: what the "screen" showed and how a test or the
// command-line tool answers it. Message boxes are recorded and answered from a
// queue; with no scripted answer they take a handler (the CLI prints them) or
// the first button. Dialogs are windows in memory: a test registers their
// templates, queues the user's actions, and the modal loop runs those actions
// one by one while the dialog waits for input.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "framework/platform.h"

class CDialog;

namespace headless {

struct MessageBoxCall {
  std::string text;
  std::string caption;
  UINT type = 0;
};

// A control as a dialog template lays it out.
struct ControlTemplate {
  int id = 0;
  std::string kind;  // "Edit", "Button" or "Static"
  std::string text;
  bool disabled = false;
  bool defaultButton = false;  // the last such button is the dialog's default (Enter)
};

struct DialogTemplate {
  std::string caption;
  std::vector<ControlTemplate> controls;
};

// A window of the headless screen: a dialog or one of its controls.
struct Window {
  intptr_t parent = 0;  // the dialog's handle number, 0 for a dialog
  int id = 0;
  std::string kind;     // "#32770" for a dialog, else the control kind
  std::string text;
  bool enabled = true;
  bool defaultButton = false;
  int selStart = 0, selEnd = 0;  // an edit box's selection
  bool minimized = false;
  int clientWidth = 508, clientHeight = 144;
  HICON bigIcon = nullptr, smallIcon = nullptr;
  CDialog* dialog = nullptr;  // for a dialog: its object
  bool ended = false;
  intptr_t result = 0;
};

struct Message {
  intptr_t window = 0;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

struct SaveBoxCall {
  std::string title;
  std::string initialDir;
  bool hasInitialDir = false;
  std::string fileName;
  std::string defaultExt;
  std::string filter;
  DWORD flags = 0;
  intptr_t owner = 0;
};

struct DrawnIcon {
  int x = 0, y = 0;
  HICON icon = nullptr;
};

struct Brush {
  COLORREF color = 0;
  bool deleted = false;
};

struct Stage {
  std::vector<MessageBoxCall> messageBoxes;  // every box shown, in order
  std::deque<int> messageBoxAnswers;        // answers for the next boxes
  // Called for a box without a scripted answer; returns the button.
  std::function<int(const MessageBoxCall&)> onUnscriptedBox;

  // ---- dialogs ----
  std::map<UINT, DialogTemplate> templates;  // by resource id; DoModal fails without one
  std::map<intptr_t, Window> windows;        // live windows by handle number
  intptr_t nextHandle = 0x100;
  std::vector<intptr_t> modal;               // running modal dialogs, innermost last
  std::deque<Message> posted;                // posted, handled by the modal loop before any input
  std::vector<Message> sent;                 // every message the program sent to a window
  // The user's input: each action runs when the innermost modal loop waits.
  // When none is left, the loop closes the dialog as the close box would and
  // sets ranOutOfInput.
  std::deque<std::function<void()>> userInput;
  bool ranOutOfInput = false;

  // ---- the Save box: recorded; each answer is a path to confirm, or nullopt to
  // cancel; with no answer left the box is cancelled ----
  std::vector<SaveBoxCall> saveBoxes;
  std::deque<std::optional<std::string>> saveBoxAnswers;

  // ---- other services ----
  std::string clipboard;   // text that WM_PASTE puts in an edit box
  std::string profilePath; // file standing in for HKEY_CURRENT_USER; empty: no registry
  std::map<intptr_t, Brush> brushes;
  std::vector<DrawnIcon> drawnIcons;
  bool controls3d = false;  // Enable3dControlsStatic was called
};

// The one stage of the process. Tests reset it between cases.
Stage& GetStage();
void ResetStage();

// ---- the user's hands on the innermost running dialog ----
// Each returns false when the action is impossible (no dialog, no such control,
// or a disabled one), as a click on a grey button does nothing.
bool Click(int id);                              // a push button
bool Type(int id, const std::string& text);      // replaces the text; caret at the end
bool Select(int id, int start, int end);         // an edit box's selection
bool PressEnter();                               // the default button
bool PressEscape();
bool PressF1();
bool ClickCloseBox();
bool Minimize(bool minimized = true);
bool Paint();                                    // the window needs painting

// ---- looking at the screen ----
CDialog* RunningDialog();          // innermost running dialog, or null
Window* RunningDialogWindow();
Window* Control(int id);           // a control of the innermost dialog, or null
std::string TextOf(int id);        // "" when there is no such control
bool IsEnabled(int id);            // false when there is no such control

// Handles as numbers and back.
inline intptr_t Number(const void* handle) { return reinterpret_cast<intptr_t>(handle); }
template <class H> H Handle(intptr_t number) { return reinterpret_cast<H>(number); }

}  // namespace headless
