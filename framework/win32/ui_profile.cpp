// Win32 backend of the profile functions: values in the per-user registry under
// HKEY_CURRENT_USER\software\<registry key>\<application name>\<section>.
// Failures are silent: reads give their default, writes report FALSE.
#include <utility>
#include <vector>

#include "framework/ui.h"

namespace {

// An open registry key, closed when it goes out of scope.
class RegKey {
 public:
  RegKey() = default;
  ~RegKey() {
    if (key_) RegCloseKey(key_);
  }
  RegKey(RegKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
  RegKey& operator=(RegKey&& other) noexcept {
    std::swap(key_, other.key_);
    return *this;
  }
  HKEY* Receive() { return &key_; }
  HKEY get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }

 private:
  HKEY key_ = nullptr;
};

constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;

RegKey CreateSubKey(HKEY parent, const char* name) {
  RegKey key;
  DWORD disposition = 0;
  if (RegCreateKeyExA(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, kAccess, nullptr, key.Receive(),
                      &disposition) != ERROR_SUCCESS)
    return RegKey();
  return key;
}

// The section's key: "software" is opened, never created; the three keys below
// it are created when missing. Empty when any step fails.
RegKey OpenSection(const CWinApp& app, const char* section) {
  if (!app.m_pszRegistryKey || !*app.m_pszRegistryKey) return RegKey();
  RegKey software;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "software", 0, kAccess, software.Receive()) != ERROR_SUCCESS) return RegKey();
  RegKey company = CreateSubKey(software.get(), app.m_pszRegistryKey);
  if (!company) return RegKey();
  RegKey program = CreateSubKey(company.get(), app.m_pszAppName);
  if (!program) return RegKey();
  return CreateSubKey(program.get(), section);
}

}  // namespace

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue) {
  RegKey key = OpenSection(*this, section);
  DWORD type = 0, value = 0, size = sizeof value;
  if (!key || RegQueryValueExA(key.get(), entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
                  ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof value)
    return static_cast<UINT>(defaultValue);
  return value;
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* entry, int value) {
  RegKey key = OpenSection(*this, section);
  DWORD data = static_cast<DWORD>(value);
  return key && RegSetValueExA(key.get(), entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data) ==
                    ERROR_SUCCESS;
}

CString CWinApp::GetProfileString(const char* section, const char* entry, const char* defaultValue) {
  RegKey key = OpenSection(*this, section);
  DWORD type = 0, size = 0;
  if (!key || RegQueryValueExA(key.get(), entry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
    return CString(defaultValue);
  std::vector<char> data(size + 1, '\0');
  if (RegQueryValueExA(key.get(), entry, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ)
    return CString(defaultValue);
  return CString(data.data());  // up to the terminating zero
}

BOOL CWinApp::WriteProfileString(const char* section, const char* entry, const char* value) {
  RegKey key = OpenSection(*this, section);
  const CString text(value);
  // REG_SZ is stored with its terminating zero.
  return key && RegSetValueExA(key.get(), entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.str().c_str()),
                               static_cast<DWORD>(text.GetLength() + 1)) == ERROR_SUCCESS;
}
