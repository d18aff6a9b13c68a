// Resource and control identifiers of the wizard.
#pragma once

#define IDD_WIZARD 102
#define IDR_MAINFRAME 128

#define IDC_VALUE 1008
#define IDC_PASTE 1023
#define IDC_PROMPT 1038
#define IDC_NEXT 1039
#define IDC_PREVIOUS 1040

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
