#include "app/ado_check.h"

#include "app/locale.h"
#include "odbc/odbc_connection.h"

namespace app {

std::optional<std::string> InstalledAdoVersionText() {
  return odbc::DriverManagerVersionText();
}

bool ReadAdoVersion(double& version, const AdoVersionProbe& probe) {
  try {
    if (!probe) return false;
    const std::optional<std::string> text = probe();
    if (!text) return false;
    std::string t = *text;
    for (char& c : t)
      if (c == '.') c = ',';
    // The library's number is always read with ",", whatever is in force.
    FormatSettings& f = Formats();
    const char saved = f.decimalSeparator;
    f.decimalSeparator = ',';
    double v = 0;
    const bool ok = TryStrToFloat(t, v);
    f.decimalSeparator = saved;
    if (!ok) return false;
    version = v;
    return true;
  } catch (...) {
    return false;
  }
}

std::string AdoVersionText(double version) {
  FormatSettings& f = Formats();
  const char saved = f.decimalSeparator;
  f.decimalSeparator = ',';
  std::string s = FloatToStr(version);
  f.decimalSeparator = saved;
  if (s.find(',') == std::string::npos && s.find('E') == std::string::npos) s += ",0";
  for (char& c : s)
    if (c == ',') c = '.';
  return s;
}

bool CheckAdoVersion(Ui& ui, const AdoVersionProbe& probe) {
  double version = 0;
  if (!ReadAdoVersion(version, probe)) {
    ui.ShowMessageDialog(dkError, "Biblioteka ADO OLE DB NIE ZAINSTALOWANA !!!", dbClose, true);
    return false;
  }
  double minimum = 0;
  ReadAdoVersion(minimum, [] { return std::optional<std::string>("2.1"); });
  if (version < minimum) {
    ui.ShowMessageDialog(dkError,
                         "Biblioteka ADO OLE DB zainstalowana ale wystąpił BŁĄD WERSJI !!!\r"
                         "Bieżący numer wersji = " +
                             AdoVersionText(version) + ", wymagany >= " + AdoVersionText(minimum),
                         dbClose, true);
    return false;
  }
  return true;
}

}  // namespace app
