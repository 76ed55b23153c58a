// End-to-end runs on the simulator: a database script and a template
// script, the whole upgrade with the real steps, then the server's
// canonical script, the template's flags and the batches sent are checked.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "reconcile/fakes.h"
#include "app/text.h"
#include "reconcile/objects/upgrade.h"
#include "sqlite/template_builder.h"
#include "sqlite/template_connection.h"
#include "sqlsim/server.h"

using Lines = std::vector<std::string>;

namespace {

std::string Data(const std::string& rel) { return std::string(ZR_SOURCE_DIR) + "/tests/data/e2e/" + rel; }

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::filesystem::path TempDir() {
  auto d = std::filesystem::temp_directory_path() / ("zr_e2e_" + std::to_string(::getpid()));
  std::filesystem::create_directories(d);
  return d;
}

// The wizard's run state over the simulator loaded from `dbScript` and a
// fresh template built from `templateScript`, with `database` chosen.
struct SimRig {
  SimRig(const std::string& dbScript, const std::string& templateScript, const std::string& database,
         const std::string& language = "Polish")
      : templatePath((TempDir() / ("t" + std::to_string(++counter) + ".mdb")).string()),
        myDb([this, dbScript](const db::ConnectParams&) { return sqlsim::MakeSimConnectionFromText(dbScript, &server); }),
        dm2([this, &templateScript] {
          sqlite::BuildTemplate(templateScript, templatePath, true);
          auto c = std::make_unique<sqlite::TemplateConnection>();
          db::ConnectParams p;
          p.dataSource = templatePath;
          c->Open(p);
          return c;
        }()),
        log(ui, clock),
        f(ui, clock, prefs, myDb, dm2, log) {
    db::ConnectParams p;
    p.dataSource = "sim:memory";
    p.language = language;
    myDb.ADOConn1.Open(p);
    myDb.ADOQ_Misc->Add("USE " + database);
    myDb.ADOQ_Misc->ExecSQL();
    f.lblCurrentDB = database;
    f.ServerMajorVersion = 15;
    f.options.chbPokazBLAD = false;
    server->SetTrace([this](const std::string& b) { batches.push_back(b); });
  }

  // The batches that change something (catalog reads and texts left out).
  Lines Changes() const {
    Lines out;
    for (const auto& b : batches)
      if (b.rfind("SELECT", 0) != 0 && b.rfind("select", 0) != 0 && b.rfind("exec sp_helptext", 0) != 0)
        out.push_back(b);
    return out;
  }
  int Flag(const std::string& name, const char* column) {
    db::Query q(dm2.ADO_CNN2);
    q.Add("SELECT * FROM tblObjects");
    q.Open();
    EXPECT_TRUE(q.Locate("Name", name)) << name;
    return static_cast<int>(q.Field(column).AsInteger());
  }
  // A log line's text: after the time ("HH:mm:ss ") or the marker
  // ("********* "); plain lines as they stand.
  static std::string Text(const std::string& l) {
    if (l.rfind("********* ", 0) == 0) return l.substr(10);
    if (l.size() > 9 && l[2] == ':' && l[5] == ':' && l[8] == ' ') return l.substr(9);
    return l;
  }
  bool Logged(const std::string& line) const { return LogIndex(line) < log.Lines().size(); }
  std::size_t LogIndex(const std::string& line) const {
    const auto& l = log.Lines();
    for (std::size_t i = 0; i < l.size(); ++i)
      if (Text(l[i]) == line) return i;
    return l.size();
  }

  static inline int counter = 0;
  std::string templatePath;
  fake::Ui ui;
  fake::Clock clock;
  fake::Prefs prefs;
  sqlsim::Server* server = nullptr;
  app::TMyDB myDb;
  schema::TDM2 dm2;
  wizard::ProgressLog log;
  wizard::TF_Main f;
  Lines batches;
};

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(EndToEnd, ObjectsReconciledThenASecondRunChangesNothing) {
  SimRig r(ReadFile(Data("objects/db.sql")), Data("objects/template.sql"), "Firma");
  r.f.TemplateVersion = {5, 12, 0};
  r.f.DatabaseVersion = {5, 11, 0};
  ASSERT_EQ(reconcile::RunUpgrade(r.f), wizard::RunOutcome::Completed);
  if (std::getenv("ZR_E2E_DUMP"))
    for (const auto& l : r.log.Lines()) std::printf("%s\n", l.c_str());
  const std::string after = r.server->Canonical();

  // Obsolete objects of every type are gone, the table after its key.
  for (const char* gone : {"vStary", "pStary", "fnStara", "tfStara", "ifStara", "trStary", "FK_Inna_Stara",
                           "CREATE TABLE [Stara]", "CREATE TABLE Stara"})
    EXPECT_FALSE(Has(after, gone)) << gone;
  EXPECT_LT(r.LogIndex("Usunąłem FOREIGN KEY FK_Inna_Stara tabeli Inna"), r.LogIndex("Usuwam Stara"));
  // Texts equal but for case, blanks and comments are left alone and flagged.
  EXPECT_TRUE(Has(after, "create view vKlienci as")) << after;
  for (const char* same : {"vKlienci", "fnJeden", "trKlienci"}) EXPECT_EQ(r.Flag(same, "Sprawdzone"), 1) << same;
  // The one that differs is altered to the template's text.
  EXPECT_TRUE(Has(after, "SELECT 2 AS Nowa_wersja"));
  EXPECT_FALSE(Has(after, "Stara_wersja"));
  EXPECT_EQ(r.Flag("pInna", "Sprawdzone"), 0);
  EXPECT_TRUE(Has(after, "CREATE PROCEDURE pDobry AS"));
  // The phase-2 view is created in phase 2.
  EXPECT_GT(r.LogIndex("Brak obiektu vFaza2"), r.LogIndex("Rozpoczęto fazę 2 z 2"));
  EXPECT_TRUE(Has(after, "CREATE VIEW vFaza2 AS"));
  // The key with another delete rule is dropped and waits for creation.
  EXPECT_FALSE(Has(after, "FK_Zam_Klienci"));
  EXPECT_EQ(r.Flag("FK_Zam_Klienci", "ObiektIstnieje"), 0);
  EXPECT_LT(r.LogIndex("Brak obiektu FK_Zam_Klienci"), r.LogIndex("Rozpoczęto fazę 2 z 2"));
  // Closing steps: the version with a day above 12, the role, the trigger.
  EXPECT_FALSE(r.f.versionStampFailed);
  EXPECT_TRUE(r.Logged("Zaktualizowano uprawnienia dla roli Kadry"));
  EXPECT_FALSE(Has(after, "DISABLE TRIGGER")) << after;
  {
    db::Query q(r.myDb.ADOConn1);
    q.Add("USE Firma");
    q.ExecSQL();
    q.Clear();
    q.Add("SELECT NrGlowny, NrPodrzedny_1, NrPodrzedny_2, Aktualizacja FROM toolSysVersion WHERE DEL=0");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.Field("NrPodrzedny_1").AsInteger(), 12);
    const db::DateTime d = q.Field("Aktualizacja").AsDateTime();
    EXPECT_EQ(d.day, 24);
    EXPECT_EQ(d.month, 12);
    EXPECT_EQ(d.year, 2026);
  }

  // A second run on a fresh template against the upgraded database sends
  // nothing but the closing steps.
  SimRig again(after, Data("objects/template.sql"), "Firma");
  again.f.TemplateVersion = {5, 12, 0};
  again.f.DatabaseVersion = {5, 12, 0};
  again.f.options.chbGrantAll = false;
  ASSERT_EQ(reconcile::RunUpgrade(again.f), wizard::RunOutcome::Completed);
  Lines closing;
  for (const auto& b : {wizard::VersionStampLines(again.f.TemplateVersion, again.clock.now),
                        wizard::EnableTriggersLines(), wizard::GrantViewServerStateLines()}) {
    std::string t;
    for (std::size_t i = 0; i < b.size(); ++i) t += (i ? "\r\n" : "") + b[i];
    closing.push_back(t);
  }
  // The stamp runs in a transaction of its own.
  closing.insert(closing.begin(), "BEGIN TRANSACTION");
  closing.insert(closing.begin() + 2, "COMMIT TRANSACTION");
  EXPECT_EQ(again.Changes(), closing);
  std::filesystem::remove_all(TempDir());
}

TEST(EndToEnd, RefusedProcedureStaysUnflaggedAndTheWalkGoesOn) {
  SimRig r(ReadFile(Data("failing/db.sql")), Data("failing/template.sql"), "Firma");
  r.f.TemplateVersion = {5, 12, 0};
  r.f.DatabaseVersion = {5, 11, 0};
  ASSERT_EQ(reconcile::RunUpgrade(r.f), wizard::RunOutcome::Completed);
  const std::string after = r.server->Canonical();
  EXPECT_FALSE(Has(after, "CREATE PROCEDURE pZly AS")) << after;
  EXPECT_EQ(r.Flag("pZly", "ObiektIstnieje") + r.Flag("pZly", "Sprawdzone"), 0);
  ASSERT_EQ(r.f.failures.size(), 1u);
  EXPECT_EQ(r.f.failures[0].statement, (Lines{"CREATE PROCEDURE pZly AS", "SELECT Brak FROM Klienci"}));
  EXPECT_FALSE(r.Logged("Dodanie obiektu pZly zakończona sukcesem"));
  EXPECT_TRUE(Has(after, "CREATE PROCEDURE pDobry AS"));
  EXPECT_EQ(r.Flag("pDobry", "Sprawdzone"), 1);
  std::filesystem::remove_all(TempDir());
}

// A database at 5.11.0 for the closing steps and the lost link.
const char* const kSmallDb = R"(CREATE DATABASE Firma
GO
USE Firma
GO
CREATE TABLE toolSysVersion (NrGlowny int NOT NULL, NrPodrzedny_1 int NOT NULL, NrPodrzedny_2 int NOT NULL,
  Aktualizacja datetime NULL, DEL int NOT NULL CONSTRAINT DF_toolSysVersion_DEL DEFAULT (0))
GO
INSERT INTO toolSysVersion (NrGlowny, NrPodrzedny_1, NrPodrzedny_2, Aktualizacja, DEL) VALUES (5, 11, 0, '20250101', 0)
GO
CREATE TABLE Klienci (Id int NOT NULL CONSTRAINT PK_Klienci PRIMARY KEY, Nazwa nvarchar(50) NULL)
GO
)";

TEST(EndToEnd, StampDateIsReadDayFirstWhateverTheSessionLanguage) {
  for (const char* language : {"Polish", "us_english"}) {
    SimRig r(kSmallDb, Data("failing/template.sql"), "Firma", language);
    r.f.TemplateVersion = {5, 12, 0};
    r.f.DatabaseVersion = {5, 11, 0};
    ASSERT_EQ(reconcile::RunUpgrade(r.f), wizard::RunOutcome::Completed) << language;
    EXPECT_FALSE(r.f.versionStampFailed) << language;
    db::Query q(r.myDb.ADOConn1);
    q.Add("USE Firma");
    q.ExecSQL();
    q.Clear();
    q.Add("SELECT NrPodrzedny_1, Aktualizacja FROM toolSysVersion WHERE DEL=0");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1) << language;
    EXPECT_EQ(q.Field("NrPodrzedny_1").AsInteger(), 12) << language;
    EXPECT_EQ(q.Field("Aktualizacja").AsDateTime(), (db::DateTime{2026, 12, 24})) << language;
  }
  std::filesystem::remove_all(TempDir());
}

TEST(EndToEnd, LostLinkStopsTheRunOnceWithoutStamping) {
  // The link drops after a few batches of the first sweep.
  SimRig r(std::string("-- sim: lose-connection-after 4\n") + kSmallDb, Data("failing/template.sql"), "Firma");
  r.f.TemplateVersion = {5, 12, 0};
  r.f.DatabaseVersion = {5, 11, 0};
  r.f.ReportsFolder = TempDir().string();
  EXPECT_EQ(reconcile::RunUpgrade(r.f), wizard::RunOutcome::Stopped);
  EXPECT_TRUE(r.f.connectionLost);
  EXPECT_EQ(r.ui.dialogs.size(), 1u);
  EXPECT_TRUE(r.Logged("Przerwano proces uaktualniania - baza nie została w pełni uaktualniona"));
  EXPECT_NE(r.ui.status.back(), "Zakończono proces uaktualniania");
  for (const auto& b : r.batches) EXPECT_EQ(b.find("toolSysVersion"), std::string::npos) << b;
  bool saved = false;
  for (const auto& e : std::filesystem::directory_iterator(TempDir()))
    if (e.path().filename().string().rfind("Modyfikacja_bazy_", 0) == 0) saved = true;
  EXPECT_TRUE(saved);
  std::filesystem::remove_all(TempDir());
}

// The demo that the README's first command runs: every text-defined object
// of the template ends on the server with the template's text, nothing of
// those kinds that the template lacks is left, and the version is stamped.
TEST(EndToEnd, DemoDatabaseUpgraded) {
  SimRig r(ReadFile(std::string(ZR_SOURCE_DIR) + "/tests/data/sim/demo_old.sql"),
           std::string(ZR_SOURCE_DIR) + "/demo/template.sql", "DEMO");
  r.f.TemplateVersion = {5, 2, 0};
  r.f.DatabaseVersion = {5, 1, 0};
  ASSERT_EQ(reconcile::RunUpgrade(r.f), wizard::RunOutcome::Completed);
  EXPECT_FALSE(r.f.connectionLost);
  EXPECT_FALSE(r.f.versionStampFailed);
  const std::string after = app::UpperAZ(r.server->Canonical());

  db::Query objects(r.dm2.ADO_CNN2);
  objects.Add("SELECT * FROM tblObjects");
  objects.Open();
  int textObjects = 0;
  for (; !objects.Eof(); objects.Next()) {
    const std::string type = app::UpperAZ(objects.Field("xtype").AsString());
    if (type == "U" || type == "F") continue;
    ++textObjects;
    const std::string name = objects.Field("Name").AsString();
    EXPECT_EQ(objects.Field("ObiektIstnieje").AsInteger(), 1) << name;
    db::Query text(r.dm2.ADO_CNN2);
    text.Add("SELECT * FROM tblObjectText WHERE ID = " + std::to_string(objects.Field("ID").AsInteger()) +
             " ORDER BY ID, ROWID");
    text.Open();
    for (; !text.Eof(); text.Next()) {
      const std::string line = app::UpperAZ(app::Trim(text.Field("Text").AsString()));
      if (!line.empty()) {
        EXPECT_NE(after.find(line), std::string::npos) << name << ": " << line;
      }
    }
  }
  EXPECT_GT(textObjects, 0);
  // A second run on a fresh template copy changes none of these kinds.
  SimRig again(r.server->Canonical(), std::string(ZR_SOURCE_DIR) + "/demo/template.sql", "DEMO");
  again.f.TemplateVersion = {5, 2, 0};
  again.f.DatabaseVersion = {5, 2, 0};
  ASSERT_EQ(reconcile::RunUpgrade(again.f), wizard::RunOutcome::Completed);
  for (const auto& c : again.Changes()) {
    EXPECT_EQ(c.find("ALTER VIEW"), std::string::npos) << c;
    EXPECT_EQ(c.find("CREATE PROCEDURE"), std::string::npos) << c;
    EXPECT_EQ(c.find("DROP "), std::string::npos) << c;
    EXPECT_EQ(c.find("FUNCTION"), std::string::npos) << c;
  }
  std::filesystem::remove_all(TempDir());
}

TEST(EndToEnd, FailedStampKeepsTheCurrentVersionRow) {
  std::string db = kSmallDb;
  db.replace(db.find("DEFAULT (0))"), 12, "DEFAULT (0), CONSTRAINT CK_Wersja CHECK (NrPodrzedny_1 < 12))");
  SimRig r(db, Data("failing/template.sql"), "Firma");
  r.f.TemplateVersion = {5, 12, 0};
  r.f.DatabaseVersion = {5, 11, 0};
  ASSERT_EQ(reconcile::RunUpgrade(r.f), wizard::RunOutcome::Completed);
  EXPECT_TRUE(r.f.versionStampFailed);
  db::Query q(r.myDb.ADOConn1);
  q.Add("USE Firma");
  q.ExecSQL();
  q.Clear();
  q.Add("SELECT NrPodrzedny_1 FROM toolSysVersion WHERE DEL=0");
  q.Open();
  ASSERT_EQ(q.RecordCount(), 1);
  EXPECT_EQ(q.Field("NrPodrzedny_1").AsInteger(), 11);
  std::filesystem::remove_all(TempDir());
}
