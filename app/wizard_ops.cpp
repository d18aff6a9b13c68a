// The wizard's member operations over the engine: loading the package, the item
// list, branding and writing, and the terms question. Each calls the engine,
// shows the engine's message with the error icon on failure, and sets members.
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

#include "app/wizard.h"
#include "branding/rewrite.h"
#include "framework/fileio.h"
#include "package/layout.h"
#include "package/package.h"
#include "settings/settings.h"

namespace {

constexpr char kFailedToWrite[] = "Failed to write file %s";

void ShowError(const std::string& message) { AfxMessageBox(message.c_str(), MB_OK | MB_ICONERROR); }

}  // namespace

std::optional<std::string> ReadWholeFile(CString path, int32_t& size) {
  try {
    std::string bytes = fileio::ReadAll(path);
    size = static_cast<int32_t>(bytes.size());
    return bytes;
  } catch (const CException&) {
    ShowErrorMessage(pkg::kUnableToRead, path);
    return std::nullopt;
  }
}

CString CBrandPdfDlg::GetExeDirectory() {
  const char* helpPath = AfxGetApp()->m_pszHelpFilePath;
  CString directory = DirectoryOf(helpPath);
  if (!directory.IsEmpty()) {
    directory.MakeLower();
    return directory;
  }
  ShowErrorMessage(pkg::kExePathUnknown, helpPath);
  return CString();
}

BOOL CBrandPdfDlg::LoadPackage() {
  const pkg::PackageRecord record = pkg::DecodePackageRecord(bp_record_table[2]);
  if (brand::Status status = pkg::CheckPackageRecord(record); !status) {
    ShowError(status.message());
    return FALSE;
  }
  // The package is the program's own file, under its ".exe" name.
  const CString packagePath = GetExeDirectory() + AfxGetApp()->m_pszExeName + ".exe";
  int32_t size = 0;
  std::optional<std::string> file = ReadWholeFile(packagePath, size);
  if (!file) return FALSE;
  try {
    std::string name, document;
    if (brand::Status status = pkg::ExtractDocument(record, std::move(*file), name, document); !status) {
      ShowError(status.message());
      return FALSE;
    }
    m_pdfName = CString(std::move(name));
    m_pdfData = std::make_unique<std::string>(std::move(document));
  } catch (const std::bad_alloc&) {
    ShowError(brand::kInsufficientMemory);
    return FALSE;
  }
  m_pdfLength = static_cast<int32_t>(m_pdfData->size());
  return TRUE;
}

BOOL CBrandPdfDlg::ScanBrandableItems() {
  std::string_view document = m_pdfData ? std::string_view(*m_pdfData) : std::string_view();
  std::vector<std::string> keys;
  if (brand::Status status = brand::ScanBrandableItems(document.substr(0, static_cast<size_t>(m_pdfLength)), keys);
      !status) {
    ShowError(status.message());
    return FALSE;
  }
  m_itemCount = 0;
  m_itemIndex = 0;
  for (std::string& key : keys) m_itemKeys.at(static_cast<size_t>(m_itemCount++)) = CString(std::move(key));
  return TRUE;
}

void CBrandPdfDlg::ShowItem() {
  const size_t index = static_cast<size_t>(m_itemIndex);
  m_prompt = CString(brand::QuestionText(m_itemKeys.at(index).str()));
  m_value = m_itemValues.at(index);
}

BOOL CBrandPdfDlg::BrandAndSave(CString outputPath) {
  if (!m_pdfData) {  // branding consumes the document: it runs once
    ShowError(pkg::kNoPdfInPackage);
    return FALSE;
  }
  std::vector<std::string> keys, values;
  for (int32_t i = 0; i < m_itemCount; ++i) {
    keys.push_back(m_itemKeys.at(static_cast<size_t>(i)).str());
    values.push_back(m_itemValues.at(static_cast<size_t>(i)).str());
  }
  // The dialog gives up its document; it is rewritten in its own buffer.
  const std::unique_ptr<std::string> document = std::move(m_pdfData);
  brand::Status status = brand::BrandInPlace(*document, keys, values);
  if (!status) {
    ShowError(status.message());
    return FALSE;
  }
  m_pdfLength = static_cast<int32_t>(document->size());
  return WriteWholeFile(outputPath, document->data(), m_pdfLength) ? TRUE : FALSE;
}

bool CBrandPdfDlg::WriteWholeFile(const CString& path, const char* bytes, int32_t length) {
  try {
    fileio::WriteReplacing(path, bytes, length < 0 ? 0 : static_cast<size_t>(length));
    return true;
  } catch (const CException&) {
    ShowErrorMessage(kFailedToWrite, path);
    return false;
  }
}

void CBrandPdfDlg::AskTermsOfUse() {
  // Refusing ends the run at once, with nothing written.
  if (!settings::UserAcceptsTerms()) std::exit(1);
  m_termsAccepted = 1;
  settings::StoreTermsAccepted(*AfxGetApp());
}
