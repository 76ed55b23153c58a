#include "wizard/sql_error.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "wizard/wizard_fixture.h"

namespace {
namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

TEST(Cp1250, PolishLettersAndUnmappableCharacters) {
  EXPECT_EQ(wizard::Utf8ToCp1250("zażółć gęślą jaźń"),
            "za\xBF\xF3\xB3\xE6 g\xEA\x9C\x6C\xB9 ja\x9F\xF1");
  EXPECT_EQ(wizard::Utf8ToCp1250("ZAŻÓŁĆ GĘŚLĄ JAŹŃ"), "ZA\xAF\xD3\xA3\xC6 G\xCA\x8CL\xA5 JA\x8F\xD1");
  EXPECT_EQ(wizard::Utf8ToCp1250("€ – „x”"), "\x80 \x96 \x84x\x94");
  EXPECT_EQ(wizard::Utf8ToCp1250("日本 😀 ÿ"), "?? ? ?");           // no cp1250 form
  EXPECT_EQ(wizard::Utf8ToCp1250("a\xC5" "b\xFF" "c\xE2\x82"), "a?b?c??");  // each malformed byte
}

TEST(StatementFiles, NameAndUniqueSaves) {
  EXPECT_EQ(wizard::StatementFileName({2026, 12, 9, 14, 5, 33}), "Obiekt_bazy_09-12-2026_14_05_33.SQL");
  EXPECT_EQ(wizard::StatementFileName({2026, 1, 2, 0, 0, 0}), "Obiekt_bazy_02-01-2026_00_00_00.SQL");

  const fs::path dir = fs::temp_directory_path() / ("zr_sqlfiles_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const db::DateTime t{2026, 12, 9, 14, 5, 33};
  const auto p1 = wizard::SaveStatementUnique(dir.string(), t, {"ALTER TABLE [Ł] ADD x int", "GO"});
  const auto p2 = wizard::SaveStatementUnique(dir.string(), t, {"second"});
  const auto p3 = wizard::SaveStatementUnique(dir.string(), t, {"third"});
  EXPECT_EQ(fs::path(p1).filename(), "Obiekt_bazy_09-12-2026_14_05_33.SQL");
  EXPECT_EQ(fs::path(p2).filename(), "Obiekt_bazy_09-12-2026_14_05_33_2.SQL");
  EXPECT_EQ(fs::path(p3).filename(), "Obiekt_bazy_09-12-2026_14_05_33_3.SQL");
  EXPECT_EQ(ReadBytes(p1), "ALTER TABLE [\xA3] ADD x int\r\nGO\r\n");
  EXPECT_EQ(ReadBytes(p2), "second\r\n");
  // The save of the editor replaces a file of the same name.
  EXPECT_EQ(wizard::SaveStatement(dir.string(), t, {}), p1);
  EXPECT_EQ(ReadBytes(p1), "");
  EXPECT_THROW(wizard::SaveStatement((dir / "no" / "such").string(), t, {"x"}), std::runtime_error);
  fs::remove_all(dir);
}

struct SqlErrorFixture : wizfix::WizardFixture {
  fs::path dir = fs::temp_directory_path() / ("zr_sqlerr_" + std::to_string(::getpid()));
  void SetUp() override {
    WizardFixture::SetUp();
    fs::remove_all(dir);
    fs::create_directories(dir);
    f.ReportsFolder = dir.string();
    LogIn();
  }
  void TearDown() override { fs::remove_all(dir); }
};

TEST_F(SqlErrorFixture, ErrorDialogOnlyWhenTheOptionIsOff) {
  f.options.chbPokazBLAD = false;
  f.ReportSqlError(0x80040E14, "Incorrect syntax near 'x'.", {"CREATE VIEW v AS", "SELECT x"});
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].kind, app::dkError);
  EXPECT_EQ(ui.dialogs[0].text, "(80040E14) Incorrect syntax near 'x'.");
  EXPECT_EQ(ui.dialogs[0].buttons, app::dbClose);
  EXPECT_TRUE(ui.dialogs[0].modal);
  EXPECT_TRUE(ui.editorShown.empty());
  ASSERT_EQ(f.failures.size(), 1u);
  EXPECT_EQ(f.failures[0].statement, (std::vector<std::string>{"CREATE VIEW v AS", "SELECT x"}));
  EXPECT_EQ(log.Lines().size(), 1u);  // the report writes nothing to the log
}

TEST_F(SqlErrorFixture, EditorRetriesOnTheServerAndSaves) {
  std::vector<std::string> callerLines = {"CREATE VIEW v AS", "SELECT x"};
  ui.editor = [&](const std::vector<std::string>& shown, const app::Ui::RepairEditorActions& a) {
    callerLines.push_back("changed by the caller");  // must not reach the editor's copy
    EXPECT_EQ(shown.size(), 2u);
    a.retry({"", "  "});  // blank: nothing runs
    a.retry({"CREATE VIEW v AS", "SELECT 1 AS x"});
    a.retry({"BROKEN"});
    EXPECT_TRUE(a.save({"CREATE VIEW v AS", "SELECT 1 AS x -- zażółć"}));
  };
  auto respond = server.respond;
  server.respond = [respond](const std::string& t) -> db::ResultSet {
    if (t == "BROKEN") throw db::OleError(0x80040E14, "Incorrect syntax near 'BROKEN'.");
    return respond(t);
  };
  server.executed.clear();
  f.ReportSqlError(0x80040E14, "Invalid column name 'x'.", callerLines);
  ASSERT_EQ(ui.editorShown.size(), 1u);
  EXPECT_EQ(ui.editorShown[0], (std::vector<std::string>{"CREATE VIEW v AS", "SELECT x"}));
  EXPECT_EQ(server.executed, (std::vector<std::string>{"CREATE VIEW v AS\r\nSELECT 1 AS x", "BROKEN"}));
  ASSERT_EQ(ui.dialogs.size(), 3u);
  EXPECT_EQ(ui.dialogs[1].kind, app::dkWarning);
  EXPECT_EQ(ui.dialogs[1].text, "Poprawnie uaktualniono dany obiekt");
  EXPECT_EQ(ui.dialogs[2].text, "(80040E14) Incorrect syntax near 'BROKEN'.");
  EXPECT_EQ(ReadBytes(dir / "Obiekt_bazy_09-12-2026_14_05_33.SQL"), "CREATE VIEW v AS\r\nSELECT 1 AS x -- za\xBF\xF3\xB3\xE6\r\n");
  // A successful retry still counts as a failure for the caller.
  EXPECT_EQ(f.failures.size(), 1u);
}

TEST_F(SqlErrorFixture, FailedSaveKeepsTheEditorOpen) {
  f.ReportsFolder = (dir / "missing").string();
  bool saved = true;
  ui.editor = [&](const std::vector<std::string>&, const app::Ui::RepairEditorActions& a) { saved = a.save({"x"}); };
  f.ReportSqlError(0x80040E2F, "conflict", {"x"});
  EXPECT_FALSE(saved);
  ASSERT_EQ(ui.dialogs.size(), 2u);
  EXPECT_EQ(ui.dialogs[1].kind, app::dkError);
  EXPECT_NE(ui.dialogs[1].text.find("missing"), std::string::npos);
}

}  // namespace
