// The report saved from the progress log when the wizard is left: the log's
// lines as rich text in the reports folder.
#pragma once

#include <string>
#include <vector>

#include "app/clock.h"
#include "db/db.h"

namespace wizard {

// "Modyfikacja_bazy_" + DateTimeToStr(now) + ".DOC" with every ":" and blank
// turned into "_": "Modyfikacja_bazy_09-12-2026_14_05_33.DOC" (at exactly
// midnight the time is left out: "Modyfikacja_bazy_09-12-2026.DOC").
std::string ReportFileName(const db::DateTime& now);

// The lines as an RTF document: in order, one paragraph each, Courier New
// 8 pt with the Eastern European character set. Characters outside ASCII
// are written as \uN with their cp1250 byte (or '?') as the fallback;
// backslashes and braces are escaped, tabs become \tab, other control
// characters are left out.
std::string ReportRtf(const std::vector<std::string>& lines);

// Writes ReportRtf(lines) as ReportFileName(clock.Now()) into
// `reportsFolder` (a file of the same name is replaced) and returns the
// file's path. Throws std::runtime_error naming the path and the system's
// reason when the file cannot be written (e.g. the folder is missing).
std::string SaveReport(const std::vector<std::string>& lines, const std::string& reportsFolder, app::Clock& clock);

}  // namespace wizard
