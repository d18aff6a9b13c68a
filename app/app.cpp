#include "app/app.h"

#include "app/wizard.h"
#include "settings/settings.h"

CBrandPdfApp::CBrandPdfApp() : CWinApp(kAppName) {}

CBrandPdfApp::~CBrandPdfApp() = default;

// Runs the wizard once; FALSE ends the program when it is done.
BOOL CBrandPdfApp::InitInstance() {
  Enable3dControlsStatic();
  SetRegistryKey(settings::kRegistryKey);
  CBrandPdfDlg wizard;
  m_pMainWnd = &wizard;
  wizard.DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}
