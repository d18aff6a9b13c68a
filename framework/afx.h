// The framework's shared helpers: message boxes, error display and path pieces.
#pragma once

#include "framework/cfile.h"
#include "framework/cstring.h"
#include "framework/platform.h"

// The application name: caption of every message box and the program's name
// in the settings path.
constexpr const char kAppName[] = "Doviro Vire Rozuzuv IVO";

// A modal message box captioned with the application name. Returns the button.
int AfxMessageBox(const char* text, UINT type = MB_OK);

// Formats a message with one string argument and shows it with the error icon.
void ShowErrorMessage(const char* format, const char* argument);

// The part of a path up to and including its last backslash, or "".
CString DirectoryOf(const CString& path);
// The part of a path after its last backslash, or the whole path.
CString FileNameOf(const CString& path);
