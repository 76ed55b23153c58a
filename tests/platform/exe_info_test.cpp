#include "app/exe_info.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

TEST(ExeInfo, ProgramPathIsThisTestProgram) {
  const std::string self = app::ProgramPath();
  ASSERT_FALSE(self.empty());
  EXPECT_TRUE(fs::path(self).is_absolute());
  EXPECT_EQ(fs::path(self).filename(), "test_platform");
  EXPECT_EQ(app::ProgramDir(), fs::path(self).parent_path().string() + "/");
}

TEST(ExeInfo, VersionDataOnlyForThisProgramsFile) {
  const std::string self = app::ProgramPath();
  EXPECT_EQ(app::ExeFileVersion(self), "1.0.0.0");
  EXPECT_EQ(app::ExeInternalName(self), "Orv-Zurararudud");

  // The same file under another name still counts; another file does not.
  const fs::path link = fs::temp_directory_path() / ("zr_self_" + std::to_string(getpid()));
  const fs::path other = fs::temp_directory_path() / ("zr_other_" + std::to_string(getpid()));
  fs::remove(link);
  fs::create_symlink(self, link);
  std::ofstream(other) << "x";
  EXPECT_EQ(app::ExeFileVersion(link.string()), "1.0.0.0");
  EXPECT_EQ(app::ExeFileVersion(other.string()), "");
  EXPECT_EQ(app::ExeInternalName(other.string()), "");
  EXPECT_EQ(app::ExeFileVersion("/no/such/file"), "");
  EXPECT_EQ(app::ExeInternalName(""), "");
  fs::remove(link);
  fs::remove(other);
}

TEST(ExeInfo, FileDateIsTheUtcCalendarDate) {
  const fs::path f = fs::temp_directory_path() / ("zr_date_" + std::to_string(getpid()));
  const std::time_t before = std::time(nullptr);
  std::ofstream(f) << "x";
  const std::time_t after = std::time(nullptr);
  const db::DateTime d = app::ExeFileDate(f.string());
  fs::remove(f);
  std::tm a{}, b{};
  gmtime_r(&before, &a);
  gmtime_r(&after, &b);
  const bool sameAsBefore = d == db::DateTime{a.tm_year + 1900, a.tm_mon + 1, a.tm_mday, 0, 0, 0};
  const bool sameAsAfter = d == db::DateTime{b.tm_year + 1900, b.tm_mon + 1, b.tm_mday, 0, 0, 0};
  EXPECT_TRUE(sameAsBefore || sameAsAfter) << d.year << "-" << d.month << "-" << d.day;
  EXPECT_EQ(d.hour + d.minute + d.second, 0);
}

TEST(ExeInfo, FileDateOfAMissingFileIsTheZeroDate) {
  EXPECT_EQ(app::ExeFileDate("/no/such/file"), (db::DateTime{1899, 12, 30, 0, 0, 0}));
}

}  // namespace
