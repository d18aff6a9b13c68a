// The few Win32 types, constants and calls that the framework and the wizard use.
// On Windows they come from <windows.h>; the headless backend defines the same
// names with the same values so that app code compiles unchanged on both.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <commdlg.h>
#else
#include <cstdint>

typedef int BOOL;
typedef unsigned int UINT;
typedef unsigned long DWORD;
typedef long LONG;
typedef intptr_t LPARAM;
typedef uintptr_t WPARAM;
typedef intptr_t LRESULT;
typedef const char* LPCSTR;
typedef const char* LPCTSTR;
typedef unsigned char BYTE;
typedef unsigned long COLORREF;
typedef void* HANDLE;
typedef struct HWND__* HWND;
typedef struct HICON__* HICON;
typedef struct HBRUSH__* HBRUSH;
typedef struct HDC__* HDC;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_YESNO 0x00000004u
#define MB_ICONERROR 0x00000010u
#define MB_ICONHAND MB_ICONERROR
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONWARNING 0x00000030u
#define MB_ICONINFORMATION 0x00000040u
#define MB_DEFBUTTON2 0x00000100u

#define IDOK 1
#define IDCANCEL 2
#define IDYES 6
#define IDNO 7

#define WM_CLOSE 0x0010
#define WM_PAINT 0x000F
#define WM_SETICON 0x0080
#define WM_HELP 0x0053
#define WM_QUERYDRAGICON 0x0037
#define WM_ICONERASEBKGND 0x0027
#define WM_PASTE 0x0302
#define EM_SETSEL 0x00B1
#define EM_SCROLLCARET 0x00B7
#define ICON_SMALL 0
#define ICON_BIG 1
#define SM_CXICON 11
#define SM_CYICON 12

#define OFN_OVERWRITEPROMPT 0x00000002u
#define OFN_HIDEREADONLY 0x00000004u

#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((unsigned)(BYTE)(g) << 8)) | (((unsigned)(BYTE)(b)) << 16)))
#endif
