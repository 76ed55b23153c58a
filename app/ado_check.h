// The start-up check of the data-access library: its version must be 2.1
// or later. On this platform the library is the ODBC driver manager, whose
// version (e.g. "3.52") stands for it.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/ui.h"

namespace app {

// Reads the library's version text; nothing when the library cannot be
// used at all. Tests substitute their own.
using AdoVersionProbe = std::function<std::optional<std::string>()>;

// The installed driver manager's version text ("3.52"), or nothing.
std::optional<std::string> InstalledAdoVersionText();

// The version as a number: every "." of the probe's text becomes "," and
// the text is read with "," as decimal separator. False (version
// untouched) when the probe gives nothing, throws, or the text is not a
// number (a text with two dots such as "2.8.1" is not).
bool ReadAdoVersion(double& version, const AdoVersionProbe& probe = InstalledAdoVersionText);

// The number as the check's message shows it: with a point and at least
// one decimal, e.g. 2 -> "2.0", 2.1 -> "2.1", 3.52 -> "3.52".
std::string AdoVersionText(double version);

// ReadAdoVersion, then the minimum 2.1. On failure shows the error dialog
// (button "&Zamknij", modal) and returns false:
//   unreadable: "Biblioteka ADO OLE DB NIE ZAINSTALOWANA !!!"
//   too old:    "Biblioteka ADO OLE DB zainstalowana ale wystąpił BŁĄD WERSJI !!!" CR
//               "Bieżący numer wersji = 2.0, wymagany >= 2.1"
// True when the version is 2.1 or later.
bool CheckAdoVersion(Ui& ui, const AdoVersionProbe& probe = InstalledAdoVersionText);

}  // namespace app
