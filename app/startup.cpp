#include "app/startup.h"

#include <filesystem>
#include <system_error>

namespace app {

StartupPaths ResolveStartupPaths(const std::string& programFile, const std::string& reportsOverride,
                                 const std::string& templateOverride) {
  StartupPaths p;
  p.programFile = programFile;
  const std::filesystem::path file(programFile);
  std::string dir = file.has_parent_path() ? file.parent_path().string() : std::string(".");
  if (dir.empty() || dir.back() != '/') dir += '/';
  p.programDir = dir;
  p.reportsFolder = reportsOverride.empty() ? dir + "Raporty" : reportsOverride;
  p.templatePath = templateOverride.empty() ? dir + "Template.mdb" : templateOverride;
  return p;
}

bool EnsureReportsFolder(Ui& ui, const std::string& folder) {
  try {
    std::error_code ec;
    if (std::filesystem::is_directory(folder, ec)) return true;
    if (!std::filesystem::create_directories(folder, ec) || ec) return false;
    ui.ShowMessageDialog(dkWarning, "Pomyślnie utworzono folder " + folder, dbClose, true);
    return true;
  } catch (...) {
    // A folder that cannot be made is reported later, when a report is saved.
    return false;
  }
}

}  // namespace app
