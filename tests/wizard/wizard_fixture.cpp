#include "tests/wizard/wizard_fixture.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "package/layout.h"
#include "package/package.h"
#include "tests/pdf_builder.h"

namespace {

unsigned char g_branding[BP_BRANDING_BLOCK];
unsigned char g_reserved[BP_RESERVED_BLOCK];
unsigned char g_package[BP_PACKAGE_BLOCK];

// A stand-in for the program image in front of the document.
const std::string kStubImage = "MZ" + std::string(998, '\x90');

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

// The records as the stub is built: markers, zero payloads, the placeholder,
// and the branding slots "1234567890..." of 99 characters and a zero.
void ResetRecords() {
  auto frame = [](unsigned char* block, const char* marker, size_t payload) {
    std::memset(block, 0, BP_MARKER_LENGTH * 2 + payload + 4);
    std::memcpy(block, marker, BP_MARKER_LENGTH);
    std::memcpy(block + BP_MARKER_LENGTH + payload, marker, BP_MARKER_LENGTH);
  };
  frame(g_package, BP_PACKAGE_MARKER, BP_PACKAGE_PAYLOAD);
  std::memcpy(g_package + BP_PLACEHOLDER_AT, BP_PLACEHOLDER, BP_PLACEHOLDER_LENGTH);
  frame(g_reserved, BP_RESERVED_MARKER, BP_RESERVED_PAYLOAD);
  frame(g_branding, BP_BRANDING_MARKER, BP_BRANDING_PAYLOAD);
  for (int s = 0; s < BP_BRANDING_SLOTS; ++s)
    for (int i = 0; i < BP_BRANDING_SLOT - 1; ++i)
      g_branding[BP_MARKER_LENGTH + s * BP_BRANDING_SLOT + i] = static_cast<unsigned char>("1234567890"[i % 10]);
}

headless::DialogTemplate WizardTemplate() {
  return {kAppName,
          {{IDC_VALUE, "Edit", "", false, false},
           {IDC_PASTE, "Button", "Paste", false, false},
           {IDC_PREVIOUS, "Button", "<< Previous", true, true},
           {IDC_NEXT, "Button", "Next >>", false, true},
           {IDC_PROMPT, "Static", "Instructions", false, false},
           {IDC_STATIC, "Static", "Enter or paste your details below and then click the Next button.", false, false}}};
}

}  // namespace

// The wizard library reads the records through this table; here it is the test's.
extern "C" unsigned char* const volatile bp_record_table[3] = {g_branding, g_reserved, g_package};

namespace wiztest {

unsigned char* PackageRecord() { return g_package; }
unsigned char* BrandingRecord() { return g_branding; }

std::string LinkOf(int i) {
  char n[8];
  std::snprintf(n, sizeof n, "%03d", i);
  return std::string("xxlink=Question_") + n + "~http://example.com/" + n + "?id=XXXX^http://example.com/default" + n;
}

std::string QuestionOf(int i) {
  char n[8];
  std::snprintf(n, sizeof n, "%03d", i);
  return std::string("Question ") + n;
}

std::string PdfWithItems(int items) {
  std::vector<std::string> uris;
  for (int i = 1; i <= items; ++i) uris.push_back(LinkOf(i));
  return testpdf::MakePdf(uris);
}

void WizardTest::SetUp() {
  headless::ResetStage();
  ResetRecords();
  static int serial = 0;
  dir_ = "/tmp/bpwiz-" + std::to_string(getpid()) + "-" + std::to_string(++serial);
  std::filesystem::remove_all(dir_);
  ASSERT_TRUE(std::filesystem::create_directories(dir_));
  modulePath_ = WinPath("Demo.exe");
  stage().templates[IDD_WIZARD] = WizardTemplate();
  stage().profilePath = dir_ + "/hkcu.reg";
  looks_.clear();
}

void WizardTest::TearDown() {
  std::error_code ignored;
  if (!HasFailure()) std::filesystem::remove_all(dir_, ignored);
}

void WizardTest::Pack(const std::string& pdf, const std::string& name) {
  WriteFile(dir_ + "/Demo.exe", kStubImage + pdf);
  std::memset(g_package + BP_PLACEHOLDER_AT, 0, BP_PLACEHOLDER_LENGTH);
  pkg::WriteInt32(g_package + BP_HAS_DOCUMENT_AT, 1);
  pkg::WriteInt32(g_package + BP_DOCUMENT_OFFSET_AT, static_cast<int32_t>(kStubImage.size()));
  pkg::WriteInt32(g_package + BP_DOCUMENT_LENGTH_AT, static_cast<int32_t>(pdf.size()));
  std::memcpy(g_package + BP_DOCUMENT_NAME_AT, name.c_str(), name.size() + 1);
}

void WizardTest::SetProfile(const std::string& text) { WriteFile(stage().profilePath, text); }
std::string WizardTest::Profile() const { return ReadFile(headless::GetStage().profilePath); }

int WizardTest::Run() {
  CBrandPdfApp app;
  return AfxRunApplication(modulePath_.c_str());
}

void WizardTest::Answer(const std::string& text) {
  Then([text] {
    EXPECT_TRUE(headless::Type(IDC_VALUE, text));
    EXPECT_TRUE(headless::Click(IDC_NEXT));
  });
}

void WizardTest::Press(int id) {
  Then([id] { EXPECT_TRUE(headless::Click(id)) << "button " << id; });
}

void WizardTest::TakeLook() {
  Then([this] {
    looks_.push_back({Wizard().m_itemIndex, headless::TextOf(IDC_PROMPT), headless::TextOf(IDC_VALUE),
                      headless::IsEnabled(IDC_PREVIOUS)});
  });
}

CBrandPdfDlg& WizardTest::Wizard() {
  auto* wizard = dynamic_cast<CBrandPdfDlg*>(headless::RunningDialog());
  if (!wizard) throw std::logic_error("no wizard is running");
  return *wizard;
}

std::vector<std::string> WizardTest::BoxTexts() const {
  std::vector<std::string> texts;
  for (const auto& box : headless::GetStage().messageBoxes) texts.push_back(box.text);
  return texts;
}

std::string WizardTest::WinPath(const std::string& name) const {
  std::string path = dir_ + "/" + name;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string WizardTest::ReadOut(const std::string& name) const { return ReadFile(dir_ + "/" + name); }

bool WizardTest::Exists(const std::string& name) const { return access((dir_ + "/" + name).c_str(), F_OK) == 0; }

std::vector<std::string> WizardTest::StrayFiles() const {
  std::vector<std::string> names;
  if (DIR* d = opendir(dir_.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n != "." && n != ".." && n != "Demo.exe" && n != "hkcu.reg") names.push_back(n);
    }
    closedir(d);
  }
  return names;
}

void EchoBoxesAndRefuse() {
  headless::GetStage().onUnscriptedBox = [](const headless::MessageBoxCall& box) {
    std::fprintf(stderr, "box %u: %.60s\n", box.type, box.text.c_str());
    return (box.type & 0xF) == MB_YESNO ? IDNO : IDOK;
  };
}

}  // namespace wiztest
