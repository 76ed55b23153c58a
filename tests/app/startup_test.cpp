#include "app/startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "app/fake_ports.h"

namespace {
namespace fs = std::filesystem;

TEST(StartupPaths, NextToTheProgramUnlessOverridden) {
  auto p = app::ResolveStartupPaths("/opt/zr/bin/zurararudud");
  EXPECT_EQ(p.programDir, "/opt/zr/bin/");
  EXPECT_EQ(p.reportsFolder, "/opt/zr/bin/Raporty");
  EXPECT_EQ(p.templatePath, "/opt/zr/bin/Template.mdb");
  p = app::ResolveStartupPaths("/opt/zr/bin/zurararudud", "/tmp/r", "/tmp/t.mdb");
  EXPECT_EQ(p.reportsFolder, "/tmp/r");
  EXPECT_EQ(p.templatePath, "/tmp/t.mdb");
}

TEST(ReportsFolder, CreatedWithWarningOnlyWhenMissing) {
  const fs::path base = fs::temp_directory_path() / ("zr_startup_" + std::to_string(::getpid()));
  fs::remove_all(base);
  fakes::RecordingUi ui;
  const std::string folder = (base / "a" / "Raporty").string();
  EXPECT_TRUE(app::EnsureReportsFolder(ui, folder));
  EXPECT_TRUE(fs::is_directory(folder));
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].kind, app::dkWarning);
  EXPECT_EQ(ui.dialogs[0].text, "Pomyślnie utworzono folder " + folder);
  EXPECT_EQ(ui.dialogs[0].buttons, app::dbClose);
  EXPECT_TRUE(ui.dialogs[0].modal);

  EXPECT_TRUE(app::EnsureReportsFolder(ui, folder));  // exists: no message
  EXPECT_EQ(ui.dialogs.size(), 1u);

  std::ofstream(base / "file") << "x";  // a parent that is a file cannot hold a folder
  EXPECT_FALSE(app::EnsureReportsFolder(ui, (base / "file" / "Raporty").string()));
  EXPECT_EQ(ui.dialogs.size(), 1u);
  fs::remove_all(base);
}

}  // namespace
