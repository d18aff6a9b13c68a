// The per-user settings (terms-of-use flag, last save directory) and the
// first-run terms-of-use question. The values live behind the application
// object's profile functions.
#pragma once

#include "framework/ui.h"

namespace settings {

constexpr char kRegistryKey[] = "Velquarin";
constexpr char kTermsSection[] = "Ordelan";
constexpr char kTermsValue[] = "Terms";
constexpr char kSaveSection[] = "LU";
constexpr char kSaveDirValue[] = "SaveDir";

// The whole terms-of-use message: the disclaimer, then the question.
extern const char kTermsOfUseText[];

// The stored terms flag: 0 until the user accepts (also when missing).
int StoredTermsFlag(CWinApp& app);
void StoreTermsAccepted(CWinApp& app);

// Asks the terms-of-use question (Yes/No, No the default). True only for Yes.
bool UserAcceptsTerms();

// The directory last used for saving, or "".
CString LastSaveDirectory(CWinApp& app);
// Stores the directory of a chosen output path (up to its last backslash).
void StoreSaveDirectory(CWinApp& app, const CString& outputPath);

}  // namespace settings
