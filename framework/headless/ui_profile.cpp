// Headless backend of the profile functions: a text file stands in for
// HKEY_CURRENT_USER, in the .reg style Wine also uses for its hives:
//
//   [software\Velquarin\Doviro Vire Rozuzuv IVO\Ordelan]
//   "Terms"=dword:00000001
//   [software\Velquarin\Doviro Vire Rozuzuv IVO\LU]
//   "SaveDir"="C:\\Out\\"
//
// Same key path, names, types and defaults as the registry: keys below
// "software" are created on reads and writes, names compare without case, a
// value of another type or a line that does not parse reads as missing. With no
// file path set, or a file that cannot be read or written, the registry is
// unavailable: reads give their defaults and writes report FALSE.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "framework/headless/script.h"
#include "framework/ui.h"

namespace {

enum class Type { dword, sz, other };

struct Value {
  std::string name;
  Type type = Type::other;
  uint32_t number = 0;
  std::string text;
  std::string raw;  // the line of a value that is neither
};

struct Key {
  std::string path;  // below HKEY_CURRENT_USER
  std::vector<Value> values;
};

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

// A quoted string at `at` ("..." with \\ \" \n \r \t escapes); advances past it.
bool Unquote(const std::string& line, size_t& at, std::string& out) {
  if (at >= line.size() || line[at] != '"') return false;
  out.clear();
  for (++at; at < line.size(); ++at) {
    char c = line[at];
    if (c == '"') return ++at, true;
    if (c == '\\' && at + 1 < line.size()) {
      c = line[++at];
      c = c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
    }
    out += c;
  }
  return false;
}

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\', out += c;
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\t') out += "\\t";
    else out += c;
  }
  return out + '"';
}

Value ParseValue(const std::string& line) {
  Value v;
  v.raw = line;
  size_t at = 0;
  if (!Unquote(line, at, v.name) || at >= line.size() || line[at] != '=') return v;
  std::string data = line.substr(at + 1);
  if (data.rfind("dword:", 0) == 0 && data.size() == 14) {
    char* end = nullptr;
    v.number = static_cast<uint32_t>(std::strtoul(data.c_str() + 6, &end, 16));
    v.type = *end == '\0' ? Type::dword : Type::other;
  } else {
    size_t from = at + 1;
    v.type = Unquote(line, from, v.text) && from == line.size() ? Type::sz : Type::other;
  }
  return v;
}

// The whole hive, read from and written back to the stage's profile file.
class Hive {
 public:
  // False when there is no registry (no path, or a file that cannot be read).
  bool Load() {
    path_ = headless::GetStage().profilePath;
    if (path_.empty()) return false;
    struct stat info {};
    if (::stat(path_.c_str(), &info) != 0) return errno == ENOENT;  // no file yet: an empty hive
    if (!S_ISREG(info.st_mode)) return false;
    std::ifstream in(path_, std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.empty() || line[0] == ';' || line[0] == '#') continue;
      if (line[0] == '[' && line.back() == ']')
        keys_.push_back(Key{line.substr(1, line.size() - 2), {}});
      else if (!keys_.empty())
        keys_.back().values.push_back(ParseValue(line));
    }
    return !in.bad();
  }

  bool Save() const {
    std::ostringstream out;
    out << "; HKEY_CURRENT_USER of the headless backend\n";
    for (const Key& key : keys_) {
      out << '[' << key.path << "]\n";
      for (const Value& v : key.values) {
        if (v.type == Type::other) {
          out << v.raw << '\n';  // kept as it stood
          continue;
        }
        char number[16];
        std::snprintf(number, sizeof number, "%08x", static_cast<unsigned>(v.number));
        out << Quote(v.name) << '=' << (v.type == Type::dword ? std::string("dword:") + number : Quote(v.text))
            << '\n';
      }
    }
    std::ofstream file(path_, std::ios::binary | std::ios::trunc);
    file << out.str();
    file.close();
    return static_cast<bool>(file);
  }

  // The section's key, with the keys on its path created when missing.
  Key& Section(const CWinApp& app, const char* section, bool* created) {
    const std::string parts[] = {std::string("software\\") + app.m_pszRegistryKey,
                                 std::string("\\") + app.m_pszAppName, std::string("\\") + section};
    std::string path;
    Key* key = nullptr;
    for (const std::string& part : parts) {
      path += part;
      key = Find(path);
      if (!key) {
        keys_.push_back(Key{path, {}});
        key = &keys_.back();
        *created = true;
      }
    }
    return *key;
  }

 private:
  Key* Find(const std::string& path) {
    for (Key& k : keys_)
      if (SameName(k.path, path)) return &k;
    return nullptr;
  }

  std::string path_;
  std::vector<Key> keys_;
};

Value* FindValue(Key& key, const char* entry) {
  for (Value& v : key.values)
    if (SameName(v.name, entry)) return &v;
  return nullptr;
}

// Opens the section (creating keys as the registry would) and runs `use` on it.
// False when there is no registry or the file cannot be written.
template <class Use>
bool WithSection(const CWinApp& app, const char* section, bool write, Use use) {
  if (!app.m_pszRegistryKey || !*app.m_pszRegistryKey) return false;
  Hive hive;
  if (!hive.Load()) return false;
  bool changed = false;
  Key& key = hive.Section(app, section, &changed);
  use(key);
  return (changed || write) ? hive.Save() : true;
}

}  // namespace

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue) {
  UINT result = static_cast<UINT>(defaultValue);
  WithSection(*this, section, false, [&](Key& key) {
    Value* v = FindValue(key, entry);
    if (v && v->type == Type::dword) result = v->number;
  });
  return result;
}

CString CWinApp::GetProfileString(const char* section, const char* entry, const char* defaultValue) {
  CString result(defaultValue);
  WithSection(*this, section, false, [&](Key& key) {
    Value* v = FindValue(key, entry);
    if (v && v->type == Type::sz) result = CString(v->text.c_str());  // up to a zero, as REG_SZ
  });
  return result;
}

static Value& Slot(Key& key, const char* entry) {
  if (Value* v = FindValue(key, entry)) return *v;
  key.values.push_back(Value{entry, Type::other, 0, {}, {}});
  return key.values.back();
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* entry, int value) {
  return WithSection(*this, section, true, [&](Key& key) {
    Value& v = Slot(key, entry);
    v.type = Type::dword;
    v.number = static_cast<uint32_t>(value);
  });
}

BOOL CWinApp::WriteProfileString(const char* section, const char* entry, const char* value) {
  return WithSection(*this, section, true, [&](Key& key) {
    Value& v = Slot(key, entry);
    v.type = Type::sz;
    v.text = value ? value : "";
  });
}
