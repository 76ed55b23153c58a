#include "odbc/connection_string.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

db::ConnectParams Server(const std::string& source, const std::string& password = "tajne") {
  db::ConnectParams p;
  p.provider = "SQLOLEDB.1";
  p.dataSource = source;
  p.userId = "SA";
  p.password = password;
  p.initialCatalog = "MASTER";
  p.language = "Polish";
  p.applicationName = "Orv-Zurararudud";
  return p;
}

const odbc::DriverChoice kTds{"/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so", true};
const odbc::DriverChoice kMs{"ODBC Driver 18 for SQL Server", false};

TEST(QuoteValue, BracesOnlyWhatNeedsIt) {
  const std::pair<std::string, std::string> cases[] = {
      {"abc", "abc"},   {"", "{}"},           {" a", "{ a}"},   {"a ", "{a }"},
      {"a;b", "{a;b}"}, {"a}b", "{a}}b}"},    {"a{b", "{a{b}"}, {"a=b", "{a=b}"},
      {"}}", "{}}}}}"}, {"zażółć", "zażółć"}, {"a b", "a b"},   {"HOST\\INST", "HOST\\INST"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(odbc::QuoteValue(in), out) << in;
}

TEST(BuildConnectionString, FreeTdsWithPortAndAwkwardPassword) {
  EXPECT_EQ(odbc::BuildConnectionString(Server("srv1, 1433", "p;w}d"), kTds),
            "DRIVER={/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so};Server=srv1;Port=1433;UID=SA;PWD={p;w}}d};"
            "DATABASE=MASTER;Language=Polish;APP=Orv-Zurararudud;TDS_Version=7.2;");
}

TEST(BuildConnectionString, FreeTdsServerForms) {
  const std::pair<std::string, std::string> cases[] = {
      {"SRV", "Server=SRV;"},
      {"  SRV  ", "Server=SRV;"},
      {"HOST\\SQLEXPRESS", "Server=HOST\\SQLEXPRESS;"},
      {"tcp:10.0.0.5,1500", "Server=10.0.0.5;Port=1500;"},
      {"HOST\\INST,1501", "Server=HOST;Port=1501;"},  // an explicit port wins over the instance
      {"odd,name", "Server=odd,name;"},
  };
  for (const auto& [source, server] : cases) {
    const std::string s = odbc::BuildConnectionString(Server(source), kTds);
    const std::string expected = "DRIVER={/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so};" + server;
    EXPECT_EQ(s.substr(0, expected.size()), expected) << source << " -> " << s;
    if (server.find("Port=") == std::string::npos) {
      EXPECT_EQ(s.find("Port="), std::string::npos) << s;
    }
  }
}

TEST(BuildConnectionString, MicrosoftDriverKeepsServerAndSkipsTdsVersion) {
  db::ConnectParams p = Server("HOST\\INST,1433");
  p.userId = "";
  p.password = "";
  p.language = "";
  EXPECT_EQ(odbc::BuildConnectionString(p, kMs, "Encrypt=no"),
            "DRIVER={ODBC Driver 18 for SQL Server};Server=HOST\\INST,1433;UID={};PWD={};DATABASE=MASTER;"
            "APP=Orv-Zurararudud;Encrypt=no;");
}

TEST(ChooseDriver, OverrideAndDialect) {
  EXPECT_EQ(odbc::ChooseDriver("ODBC Driver 18 for SQL Server").driver, "ODBC Driver 18 for SQL Server");
  EXPECT_FALSE(odbc::ChooseDriver("ODBC Driver 18 for SQL Server").freeTds);
  EXPECT_TRUE(odbc::ChooseDriver("/opt/x/libtdsodbc.so").freeTds);
  EXPECT_TRUE(odbc::ChooseDriver("FreeTDS").freeTds);
}

TEST(ChooseDriver, DefaultIsAnInstalledFreeTdsOrItsRegisteredName) {
  const odbc::DriverChoice d = odbc::ChooseDriver("");
  EXPECT_TRUE(d.freeTds);
  if (d.driver != "FreeTDS") {
    EXPECT_TRUE(std::filesystem::exists(d.driver)) << d.driver;
  }
  if (std::filesystem::exists("/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so")) {
    EXPECT_EQ(d.driver, "/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so");
  }
}

}  // namespace
