#include "app/prefs.h"

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "app/text.h"

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#define getpid _getpid
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace app {
namespace {

// --- the file store ---------------------------------------------------------
//
// An INI-style text file: "[<key path>]" opens a section, "<name>=<value>"
// is a value. Text is kept readable: only '%', control characters, the
// characters that would end a name or a section, and blanks at either end
// are written as %XX, so every text round-trips. Lines the store does not
// understand (comments, hand edits) are kept as they are.

bool MustEscape(unsigned char c, bool first, bool last, const char* specials) {
  if (c < 0x20 || c == 0x7F || c == '%') return true;
  if ((first || last) && c == ' ') return true;
  for (const char* s = specials; *s; ++s)
    if (c == static_cast<unsigned char>(*s)) return true;
  return false;
}

std::string Escape(const std::string& s, const char* specials) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (MustEscape(c, i == 0, i + 1 == s.size(), specials)) {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%%%02X", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string Unescape(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && HexDigit(s[i + 1]) >= 0 && HexDigit(s[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2]));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

std::string TrimSpaces(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

struct Line {
  std::string raw;  // kept as is when not a value
  bool isValue = false;
  std::string name, value;  // unescaped
};
struct Section {
  std::string name;  // unescaped; "" for lines before the first section
  std::vector<Line> lines;
};

class FileStore : public PrefsStore {
 public:
  explicit FileStore(std::string path) : path_(std::move(path)) {}

  bool Write(const std::string& keyPath, const std::string& name, const std::string& value) override {
    std::vector<Section> doc;
    if (!Load(doc)) return false;
    Section* sec = nullptr;
    for (Section& s : doc)
      if (!sec && !s.name.empty() && SameText(s.name, keyPath)) sec = &s;
    if (!sec) {
      doc.push_back(Section{keyPath, {}});
      sec = &doc.back();
    }
    Line* line = nullptr;
    for (Line& l : sec->lines)
      if (!line && l.isValue && SameText(l.name, name)) line = &l;
    if (line) {
      line->value = value;
    } else {
      // A new value goes after the section's last value, before trailing blank lines.
      std::size_t at = sec->lines.size();
      while (at > 0 && TrimSpaces(sec->lines[at - 1].raw).empty() && !sec->lines[at - 1].isValue) --at;
      sec->lines.insert(sec->lines.begin() + static_cast<std::ptrdiff_t>(at), Line{"", true, name, value});
    }
    return Save(doc);
  }

  std::optional<std::string> Read(const std::string& keyPath, const std::string& name) override {
    std::vector<Section> doc;
    if (!Load(doc)) return std::nullopt;
    for (const Section& s : doc) {
      if (s.name.empty() || !SameText(s.name, keyPath)) continue;
      for (const Line& l : s.lines)
        if (l.isValue && SameText(l.name, name)) return l.value;
    }
    return std::nullopt;
  }

 private:
  // False only when the file exists but cannot be read (so a write does not
  // replace what it could not see).
  bool Load(std::vector<Section>& doc) const {
    doc.assign(1, Section{});
    std::error_code ec;
    if (!std::filesystem::exists(path_, ec)) return !ec;
    std::ifstream in(path_, std::ios::binary);
    if (!in) return false;
    std::string raw;
    while (std::getline(in, raw)) {
      if (!raw.empty() && raw.back() == '\r') raw.pop_back();
      const std::string t = TrimSpaces(raw);
      if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
        doc.push_back(Section{Unescape(t.substr(1, t.size() - 2)), {}});
        continue;
      }
      const std::size_t eq = raw.find('=');
      Line l;
      l.raw = raw;
      if (!t.empty() && t.front() != ';' && t.front() != '#' && eq != std::string::npos && doc.size() > 1) {
        l.isValue = true;
        l.name = Unescape(TrimSpaces(raw.substr(0, eq)));
        l.value = Unescape(TrimSpaces(raw.substr(eq + 1)));
      }
      doc.back().lines.push_back(std::move(l));
    }
    return !in.bad();
  }

  bool Save(const std::vector<Section>& doc) const {
    std::ostringstream text;
    for (const Section& s : doc) {
      if (!s.name.empty()) text << '[' << Escape(s.name, "[]") << "]\n";
      for (const Line& l : s.lines) {
        if (l.isValue)
          text << Escape(l.name, "=[;#") << '=' << Escape(l.value, "") << '\n';
        else
          text << l.raw << '\n';
      }
    }
    std::error_code ec;
    const std::filesystem::path file(path_);
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
    // Written beside the file and renamed over it, so a failure never
    // leaves half a file.
    const std::string temp = path_ + ".tmp" + std::to_string(static_cast<long>(getpid()));
    {
      std::ofstream out(temp, std::ios::binary | std::ios::trunc);
      if (!out) return false;
      out << text.str();
      out.flush();
      if (!out) {
        out.close();
        std::filesystem::remove(temp, ec);
        return false;
      }
    }
    std::filesystem::rename(temp, file, ec);
    if (ec) {
      std::error_code ignored;
      std::filesystem::remove(temp, ignored);
      return false;
    }
    return true;
  }

  std::string path_;
};

#ifndef _WIN32
std::string HomeDir() {
  if (const char* h = std::getenv("HOME"); h && *h) return h;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return ".";
}
#endif

#ifdef _WIN32
// --- the registry store (Windows) -------------------------------------------

std::wstring ToWide(const std::string& s) {
  if (s.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

std::string ToUtf8(const std::wstring& w) {
  if (w.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

std::wstring SubKey(const std::string& keyPath) {
  return ToWide(!keyPath.empty() && keyPath.front() == '\\' ? keyPath.substr(1) : keyPath);
}

class RegistryStore : public PrefsStore {
 public:
  bool Write(const std::string& keyPath, const std::string& name, const std::string& value) override {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, SubKey(keyPath).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
      return false;
    const std::wstring v = ToWide(value);
    const LONG rc = RegSetValueExW(key, ToWide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                                   static_cast<DWORD>((v.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
  }

  std::optional<std::string> Read(const std::string& keyPath, const std::string& name) override {
    DWORD size = 0;
    const std::wstring sub = SubKey(keyPath), value = ToWide(name);
    const DWORD flags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ;
    if (RegGetValueW(HKEY_CURRENT_USER, sub.c_str(), value.c_str(), flags, nullptr, nullptr, &size) != ERROR_SUCCESS)
      return std::nullopt;
    std::wstring buf(size / sizeof(wchar_t) + 1, L'\0');
    if (RegGetValueW(HKEY_CURRENT_USER, sub.c_str(), value.c_str(), flags, nullptr, buf.data(), &size) != ERROR_SUCCESS)
      return std::nullopt;
    buf.resize(wcslen(buf.c_str()));
    return ToUtf8(buf);
  }
};
#endif

std::string KeyPath(const std::string& section) {
  return std::string("\\Software\\Tivorka\\") + kApplicationTitle + "\\" + section;
}

}  // namespace

std::unique_ptr<PrefsStore> MakeUserPrefsStore(const std::string& location) {
  if (!location.empty()) return std::make_unique<FileStore>(location);
  if (const char* env = std::getenv("ZURARARUDUD_PREFS"); env && *env) return std::make_unique<FileStore>(env);
#ifdef _WIN32
  return std::make_unique<RegistryStore>();
#else
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
    base = xdg;
  else
    base = HomeDir() + "/.config";
  return std::make_unique<FileStore>(base + "/Tivorka/Zurararudud.ini");
#endif
}

bool WritePref(PrefsStore& store, const std::string& section, const std::string& name, const std::string& value) {
  return store.Write(KeyPath(section), name, value);
}

std::string ReadPref(PrefsStore& store, const std::string& section, const std::string& name) {
  const std::optional<std::string> v = store.Read(KeyPath(section), name);
  return v && !v->empty() ? *v : std::string(kPrefsError);
}

}  // namespace app
