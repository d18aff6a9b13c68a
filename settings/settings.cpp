#include "settings/settings.h"

namespace settings {

const char kTermsOfUseText[] =
    "The terms of using this software include your agreement to a standard liability disclaimer as follows: "
    "\n\n"
    "This software is supplied \"as is\", without any warranty of any kind, express or implied, including "
    "without limitation any warranty of merchantability or of fitness for a particular purpose. You take on "
    "the whole risk of using it. No person, company or organisation that has had any part in developing, "
    "selling or distributing this software shall be liable for any damages that arise from its use, its "
    "misuse or the inability to use it, including lost profits, interruption of business, lost information "
    "or any other loss. This agreement is governed by the laws of England (United Kingdom); the courts "
    "located in England have exclusive jurisdiction and are the exclusive venue, and you consent to them."
    "\n\nDo you accept these terms of use ?  (If you click Yes this message will not appear again)";

int StoredTermsFlag(CWinApp& app) { return static_cast<int>(app.GetProfileInt(kTermsSection, kTermsValue, 0)); }

void StoreTermsAccepted(CWinApp& app) { app.WriteProfileInt(kTermsSection, kTermsValue, 1); }

bool UserAcceptsTerms() {
  return AfxMessageBox(kTermsOfUseText, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

CString LastSaveDirectory(CWinApp& app) { return app.GetProfileString(kSaveSection, kSaveDirValue, ""); }

void StoreSaveDirectory(CWinApp& app, const CString& outputPath) {
  app.WriteProfileString(kSaveSection, kSaveDirValue, DirectoryOf(outputPath));
}

}  // namespace settings
