#include "wizard/sql_error.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace wizard {
namespace {
// Unicode code points of cp1250 bytes 0x80..0xFF (0: no character).
constexpr char32_t kCp1250High[128] = {
    0x20AC, 0,      0x201A, 0,      0x201E, 0x2026, 0x2020, 0x2021, 0,      0x2030, 0x0160, 0x2039, 0x015A,
    0x0164, 0x017D, 0x0179, 0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0,      0x2122,
    0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6,
    0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, 0x00B0, 0x00B1, 0x02DB, 0x0142,
    0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, 0x0154,
    0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD,
    0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA,
    0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4,
    0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

char ToCp1250(char32_t cp) {
  if (cp < 0x80) return static_cast<char>(cp);
  for (int i = 0; i < 128; ++i)
    if (kCp1250High[i] == cp) return static_cast<char>(0x80 + i);
  return '?';
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string s;
  for (const auto& l : lines) s += l;
  return s;
}
}  // namespace

std::string Utf8ToCp1250(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    int len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || i + static_cast<std::size_t>(len) > s.size()) {
      out += '?';
      ++i;
      continue;
    }
    char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    bool ok = true;
    for (int k = 1; k < len; ++k) {
      const auto d = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
      if ((d >> 6) != 0x2) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (d & 0x3F);
    }
    if (!ok) {
      out += '?';
      ++i;
      continue;
    }
    out += ToCp1250(cp);
    i += static_cast<std::size_t>(len);
  }
  return out;
}

std::string StatementFileName(const db::DateTime& t) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "Obiekt_bazy_%02d-%02d-%04d_%02d_%02d_%02d.SQL", t.day, t.month, t.year, t.hour,
                t.minute, t.second);
  return buf;
}

void WriteStatementFile(const std::string& path, const std::vector<std::string>& lines) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("Nie można zapisać pliku " + path + ": " + std::strerror(errno));
  for (const auto& l : lines) out << Utf8ToCp1250(l) << "\r\n";
  out.close();
  if (!out) throw std::runtime_error("Nie można zapisać pliku " + path);
}

static std::string InFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string SaveStatement(const std::string& folder, const db::DateTime& now, const std::vector<std::string>& lines) {
  const std::string path = InFolder(folder, StatementFileName(now));
  WriteStatementFile(path, lines);
  return path;
}

std::string SaveStatementUnique(const std::string& folder, const db::DateTime& now,
                                const std::vector<std::string>& lines) {
  const std::string name = StatementFileName(now);
  const std::string stem = name.substr(0, name.size() - 4);
  std::string path = InFolder(folder, name);
  std::error_code ec;
  for (int n = 2; std::filesystem::exists(path, ec); ++n) path = InFolder(folder, stem + "_" + std::to_string(n) + ".SQL");
  WriteStatementFile(path, lines);
  return path;
}

bool RetryStatement(TF_Main& f, const std::vector<std::string>& lines) {
  if (Joined(lines).find_first_not_of(" \t\r\n") == std::string::npos) return false;
  // A query object of the editor's own, with the statement component's
  // default time-out, so the shared ones keep their state.
  auto local = f.MyDB.ADOConn1.CreateQuery();
  local->SetCommandTimeout(30);
  try {
    local->Close();
    local->Clear();
    local->SetLines(lines);
    local->ExecSQL();
    f.ui.ShowMessageDialog(app::dkWarning, "Poprawnie uaktualniono dany obiekt", app::dbClose, true);
    local->Close();
    return true;
  } catch (const db::OleError& e) {
    f.ui.ShowMessageDialog(app::dkError, db::FormatOleError(e.code(), e.what()), app::dbClose, true);
  } catch (const std::exception& e) {
    f.ui.ShowMessageDialog(app::dkError, e.what(), app::dbClose, true);
  }
  return false;
}

void TF_Main::ReportSqlError(std::uint32_t code, const std::string& message, const std::vector<std::string>& statement) {
  try {
    const std::string text = db::FormatOleError(code, message);
    failures.push_back({text, statement});
    ui.ShowMessageDialog(app::dkError, text, app::dbClose, true);
    if (!options.chbPokazBLAD) return;
    app::Ui::RepairEditorActions actions;
    actions.retry = [this](const std::vector<std::string>& lines) { RetryStatement(*this, lines); };
    actions.save = [this](const std::vector<std::string>& lines) {
      try {
        SaveStatement(ReportsFolder, clock.Now(), lines);
        return true;
      } catch (const std::exception& e) {
        ui.ShowMessageDialog(app::dkError, e.what(), app::dbClose, true);
        return false;
      }
    };
    // The editor gets its own copy: later changes to the caller's query
    // object do not reach it.
    const std::vector<std::string> copy = statement;
    ui.ShowRepairEditor(copy, actions);
  } catch (...) {
    // The run goes on with its next item whatever the dialogs did.
  }
}

}  // namespace wizard
