// The application object: sets up the settings store and runs the wizard.
#pragma once

#include "framework/ui.h"

class CBrandPdfApp : public CWinApp {
 public:
  CBrandPdfApp();
  ~CBrandPdfApp() override;
  BOOL InitInstance() override;
};
