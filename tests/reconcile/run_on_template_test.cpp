// A whole run of the object steps over a real template file and a scripted
// server: the flags land in the file, phases are kept apart, a changed key
// comes back for creation, and a second run on a fresh template copy against
// the upgraded server sends nothing but the closing steps.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "fakes.h"
#include "reconcile/objects/upgrade.h"
#include "sqlite/template_builder.h"
#include "sqlite/template_connection.h"

using fake::I;
using fake::Rows;
using fake::S;
using Lines = std::vector<std::string>;

namespace {

std::filesystem::path Dir() { return std::filesystem::temp_directory_path() / ("zr_run_" + std::to_string(::getpid())); }

std::string FreshTemplate(const std::string& name) {
  const auto dir = Dir();
  std::filesystem::create_directories(dir);
  const std::string out = (dir / name).string();
  sqlite::BuildTemplate(std::string(ZR_SOURCE_DIR) + "/tests/data/e2e/run_template.sql", out, true);
  return out;
}

std::unique_ptr<db::Connection> OpenTemplate(const std::string& path) {
  auto c = std::make_unique<sqlite::TemplateConnection>();
  db::ConnectParams p;
  p.dataSource = path;
  c->Open(p);
  return c;
}

db::ResultSet List(const std::vector<std::pair<int, std::string>>& objects) {
  db::ResultSet rs = Rows({"id", "name", "xtype"}, {});
  for (const auto& [id, name] : objects) rs.rows.push_back({I(id), S(name), S("")});
  return rs;
}

db::ResultSet HelpText(const Lines& lines) {
  db::ResultSet rs = Rows({"Text"}, {});
  for (const auto& l : lines) rs.rows.push_back({S(l + "\r\n")});
  return rs;
}

db::ResultSet KeyPairs(int deleteCascade) {
  return Rows({"constid", "fname", "fcolname", "rname", "rcolname", "keyno", "IsDeleteCascade", "IsUpdateCascade",
               "IsNotForRepl", "CnstIsDisabled"},
              {{I(500), S("Zam"), S("IdKlienta"), S("Klienci"), S("Id"), I(1), I(deleteCascade), I(0), I(0), I(0)}});
}

// The server as the first run finds it (`upgraded` false) or leaves it.
void ScriptServer(fake::Server& s, bool upgraded) {
  s.On("AND o.type = 'U'", List({{100, "toolSysVersion"}, {101, "Klienci"}, {102, "Zam"}}));
  s.On("AND o.type = 'F'", List({{500, "FK_Zam_Klienci"}}));
  s.On("sf.constid = ?", KeyPairs(upgraded ? 0 : 1));
  if (upgraded) {
    s.On("AND o.type = 'V'", List({{300, "vFaza2"}, {301, "vKlienci"}}));
    s.On("AND o.type = 'P'", List({{400, "pDodaj"}}));
    s.On("sp_helptext 'pDodaj'", HelpText({"CREATE PROCEDURE pDodaj @Nazwa nvarchar(50) AS",
                                           "INSERT INTO Klienci (Nazwa) VALUES (@Nazwa)"}));
    s.On("sp_helptext 'vFaza2'", HelpText({"CREATE VIEW vFaza2 AS", "SELECT Id FROM vKlienci"}));
  } else {
    s.On("AND o.type = 'V'", List({{301, "vKlienci"}}));
  }
  // Equal to the template but for letter case, blanks and comment lines.
  s.On("sp_helptext 'vKlienci'", HelpText({"create view vKlienci as", "", "  select Id, Nazwa from Klienci  "}));
}

int Flag(const std::string& path, const std::string& name, const char* column) {
  auto c = OpenTemplate(path);
  db::Query q(*c);
  q.Add("SELECT * FROM tblObjects");
  q.Open();
  EXPECT_TRUE(q.Locate("Name", name)) << name;
  return static_cast<int>(q.Field(column).AsInteger());
}

std::size_t IndexOf(const Lines& lines, const std::string& line) {
  return static_cast<std::size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
}

}  // namespace

TEST(RunOnTemplate, FirstRunThenASecondOnAFreshCopyChangesNothing) {
  const std::string first = FreshTemplate("first.mdb");
  {
    fake::Rig r(OpenTemplate(first));
    r.f.TemplateVersion = {5, 12, 0};
    r.f.DatabaseVersion = {5, 11, 0};
    ScriptServer(*r.server, false);
    EXPECT_EQ(reconcile::RunUpgrade(r.f), wizard::RunOutcome::Completed);

    const auto changes = r.server->Changes();
    const Lines created = {"CREATE PROCEDURE pDodaj @Nazwa nvarchar(50) AS\r\nINSERT INTO Klienci (Nazwa) VALUES (@Nazwa)",
                           "CREATE VIEW vFaza2 AS\r\nSELECT Id FROM vKlienci"};
    for (const auto& c : created) EXPECT_LT(IndexOf(changes, c), changes.size()) << c;
    EXPECT_LT(IndexOf(changes, "ALTER TABLE [Zam] DROP CONSTRAINT FK_Zam_Klienci"), changes.size());
    for (const auto& c : changes) EXPECT_EQ(c.find("vKlienci AS\r\n"), std::string::npos) << "altered: " << c;

    // The phase-2 view is created in phase 2 only.
    const auto log = r.Log();
    EXPECT_GT(IndexOf(log, "T Brak obiektu vFaza2"), IndexOf(log, "********* Rozpoczęto fazę 2 z 2"));
    EXPECT_LT(IndexOf(log, "T Brak obiektu vFaza2"), log.size());
    // The changed key is taken by the creation step of its own phase.
    EXPECT_LT(IndexOf(log, "T Brak obiektu FK_Zam_Klienci"), IndexOf(log, "********* Rozpoczęto fazę 2 z 2"));
  }
  EXPECT_EQ(Flag(first, "vKlienci", "Sprawdzone"), 1);
  EXPECT_EQ(Flag(first, "vKlienci", "ObiektIstnieje"), 1);
  EXPECT_EQ(Flag(first, "vFaza2", "Sprawdzone"), 1);
  EXPECT_EQ(Flag(first, "pDodaj", "ObiektIstnieje"), 1);
  EXPECT_EQ(Flag(first, "FK_Zam_Klienci", "ObiektIstnieje"), 0);
  EXPECT_EQ(Flag(first, "Klienci", "ObiektIstnieje"), 1);

  const std::string second = FreshTemplate("second.mdb");
  fake::Rig r(OpenTemplate(second));
  r.f.TemplateVersion = {5, 12, 0};
  r.f.DatabaseVersion = {5, 12, 0};
  r.f.options.chbGrantAll = false;
  ScriptServer(*r.server, true);
  EXPECT_EQ(reconcile::RunUpgrade(r.f), wizard::RunOutcome::Completed);
  Lines closing;
  for (const auto& b : {wizard::VersionStampLines(r.f.TemplateVersion, r.clock.now), wizard::EnableTriggersLines(),
                        wizard::GrantViewServerStateLines()}) {
    std::string t;
    for (std::size_t i = 0; i < b.size(); ++i) t += (i ? "\r\n" : "") + b[i];
    closing.push_back(t);
  }
  EXPECT_EQ(r.server->Changes(), closing);
  EXPECT_EQ(Flag(second, "FK_Zam_Klienci", "ObiektIstnieje"), 1);
  std::filesystem::remove_all(Dir());
}
