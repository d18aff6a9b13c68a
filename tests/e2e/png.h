// Screenshots of a window as PNG files, for the test artefacts and the README.
#pragma once
#include <windows.h>

#include <string>

namespace e2e {

// Copies what the screen shows inside the window's rectangle (frame included)
// to a PNG file. Returns an empty string, or what went wrong.
std::string SaveWindowPng(HWND window, const std::string& path);

}  // namespace e2e
