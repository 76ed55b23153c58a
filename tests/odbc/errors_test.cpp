#include "odbc/errors.h"

#include <gtest/gtest.h>

namespace {

using odbc::DiagRecord;
using odbc::Phase;

TEST(MapCode, Table) {
  struct Case {
    const char* state;
    int native;
    std::uint32_t code;
  } cases[] = {
      {"42S02", 208, db::code::kCommandError},  {"42000", 102, db::code::kCommandError},
      {"42S01", 2714, db::code::kCommandError}, {"22018", 245, db::code::kCommandError},
      {"23000", 2627, db::code::kIntegrity},    {"23000", 547, db::code::kIntegrity},
      {"23000", 515, db::code::kIntegrity},     {"23000", 1505, db::code::kIntegrity},
      {"42000", 2601, db::code::kIntegrity},    {"23000", 3725, db::code::kCommandError},
      {"23000", 544, db::code::kCommandError},  {"28000", 18456, db::code::kLoginFailed},
      {"42000", 18456, db::code::kLoginFailed}, {"08001", 0, db::code::kUnreachable},
      {"08S01", 20009, db::code::kUnreachable}, {"HYT00", 0, db::code::kUnreachable},
      {"IM002", 0, db::code::kNoProvider},      {"IM003", 0, db::code::kNoProvider},
      {"08002", 0, db::code::kAlreadyOpen},     {"HY000", 50000, db::code::kCommandError},
  };
  for (const Case& c : cases) EXPECT_EQ(odbc::MapCode(c.state, c.native, -1), c.code) << c.state << " " << c.native;
}

TEST(IsInformation, NotesAreNotErrors) {
  EXPECT_TRUE(odbc::IsInformation({"01000", 5701, 10, "[FreeTDS][SQL Server]Changed database context to 'x'."}));
  EXPECT_TRUE(odbc::IsInformation({"01000", 0, -1, "note"}));
  EXPECT_TRUE(odbc::IsInformation({"42000", 50000, 10, "PRINT-like message of severity 10"}));
  EXPECT_TRUE(odbc::IsInformation({"00000", 5703, -1, "Changed language setting to Polski."}));
  EXPECT_FALSE(odbc::IsInformation({"42000", 50000, 11, "raised"}));
  EXPECT_FALSE(odbc::IsInformation({"42S02", 208, -1, "missing"}));
}

TEST(MakeOleError, KeepsServerNumberAndTextAndSkipsNotes) {
  const std::vector<DiagRecord> diag = {
      {"01000", 5701, 10, "[FreeTDS][SQL Server]Changed database context to 'Firma'."},
      {"42S02", 208, 16, "[FreeTDS][SQL Server]Invalid object name 'x'."},
      {"42000", 8180, 16, "[FreeTDS][SQL Server]Statement(s) could not be prepared."},
      {"42S02", 208, 16, "[FreeTDS][SQL Server]Invalid object name 'x'."},
  };
  const db::OleError e = odbc::MakeOleError(diag, Phase::Connected, "unused");
  EXPECT_EQ(e.code(), db::code::kCommandError);
  EXPECT_EQ(std::string(e.what()),
            "[FreeTDS][SQL Server]Invalid object name 'x'. (208)\n"
            "[FreeTDS][SQL Server]Statement(s) could not be prepared. (8180)");
  EXPECT_FALSE(e.ConnectionLost());
}

TEST(MakeOleError, LoginRefusalWinsOverTheGenericConnectFailure) {
  const std::vector<DiagRecord> diag = {
      {"08001", 0, -1, "[FreeTDS][SQL Server]Unable to connect to data source"},
      {"28000", 18456, 14, "[FreeTDS][SQL Server]Login failed for user 'SA'."},
  };
  const db::OleError e = odbc::MakeOleError(diag, Phase::Connecting, "unused");
  EXPECT_EQ(e.code(), db::code::kLoginFailed);
  EXPECT_NE(std::string(e.what()).find("Login failed for user 'SA'. (18456)"), std::string::npos);
}

TEST(MakeOleError, BrokenLinkIsALostConnectionOnlyAfterOpening) {
  const std::vector<DiagRecord> diag = {{"08S01", 20004, -1, "[FreeTDS][SQL Server]Read from the server failed"}};
  const db::OleError before = odbc::MakeOleError(diag, Phase::Connecting, "unused");
  EXPECT_EQ(before.code(), db::code::kUnreachable);
  EXPECT_FALSE(before.ConnectionLost());
  const db::OleError after = odbc::MakeOleError(diag, Phase::Connected, "unused");
  EXPECT_EQ(after.code(), db::code::kUnreachable);
  EXPECT_TRUE(after.ConnectionLost());
  // A statement time-out is not a lost link.
  EXPECT_FALSE(odbc::MakeOleError({{"HYT00", 0, -1, "Timeout expired"}}, Phase::Connected, "").ConnectionLost());
}

TEST(MakeOleError, ConnectWithOnlyNotesMeansTheDriverIsMissing) {
  const std::vector<DiagRecord> diag = {
      {"01000", 0, -1, "[unixODBC][Driver Manager]Can't open lib 'NoSuch' : file not found"}};
  const db::OleError e = odbc::MakeOleError(diag, Phase::Connecting, "fallback");
  EXPECT_EQ(e.code(), db::code::kNoProvider);
  EXPECT_EQ(std::string(e.what()), "[unixODBC][Driver Manager]Can't open lib 'NoSuch' : file not found");
  const db::OleError silent = odbc::MakeOleError({}, Phase::Connected, "The statement failed");
  EXPECT_EQ(silent.code(), db::code::kCommandError);
  EXPECT_EQ(std::string(silent.what()), "The statement failed");
}

TEST(HasError, OnlyRealErrorsCount) {
  EXPECT_FALSE(odbc::HasError({{"01000", 5701, 10, "Changed database context"}}));
  EXPECT_TRUE(odbc::HasError({{"01000", 5701, 10, "ctx"}, {"23000", 2627, 14, "Violation of PRIMARY KEY"}}));
}

}  // namespace
