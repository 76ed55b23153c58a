#include "odbc/connection_string.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>

namespace odbc {
namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string TrimBlanks(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

bool AllDigits(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

void AddPair(std::string& out, const char* key, const std::string& value) {
  out += key;
  out += '=';
  out += QuoteValue(value);
  out += ';';
}

}  // namespace

std::string QuoteValue(const std::string& value) {
  bool brace =
      value.empty() || value.front() == ' ' || value.back() == ' ' || value.front() == '\t' || value.back() == '\t';
  for (char c : value)
    if (c == ';' || c == '{' || c == '}' || c == '=') brace = true;
  if (!brace) return value;
  std::string out = "{";
  for (char c : value) {
    out += c;
    if (c == '}') out += '}';
  }
  out += '}';
  return out;
}

DriverChoice ChooseDriver(const std::string& override) {
  DriverChoice choice;
  if (!override.empty()) {
    choice.driver = override;
  } else {
    static const char* const kPaths[] = {"/usr/lib/x86_64-linux-gnu/odbc/libtdsodbc.so",
                                         "/usr/lib/aarch64-linux-gnu/odbc/libtdsodbc.so",
                                         "/usr/lib/i386-linux-gnu/odbc/libtdsodbc.so",
                                         "/usr/lib64/libtdsodbc.so",
                                         "/usr/lib/libtdsodbc.so",
                                         "/usr/local/lib/libtdsodbc.so",
                                         "/opt/homebrew/lib/libtdsodbc.so"};
    choice.driver = "FreeTDS";
    std::error_code ec;
    for (const char* p : kPaths)
      if (std::filesystem::exists(p, ec)) {
        choice.driver = p;
        break;
      }
  }
  choice.freeTds = Lower(choice.driver).find("tds") != std::string::npos;
  return choice;
}

DriverChoice DriverFromEnvironment() {
  const char* v = std::getenv("ZURARARUDUD_ODBC_DRIVER");
  return ChooseDriver(v ? TrimBlanks(v) : std::string());
}

std::string BuildConnectionString(const db::ConnectParams& params, const DriverChoice& driver,
                                  const std::string& extra) {
  std::string out;
  // Braces always: registered names hold blanks, and unixODBC strips them.
  out += "DRIVER={";
  for (char c : driver.driver) {
    out += c;
    if (c == '}') out += '}';
  }
  out += "};";

  const std::string source = TrimBlanks(params.dataSource);
  if (driver.freeTds) {
    // FreeTDS reads "host\instance" itself (through the browser service);
    // a port is clearest as its own keyword, and it wins over an instance.
    std::string server = source;
    if (Lower(server.substr(0, 4)) == "tcp:") server = server.substr(4);
    const std::size_t comma = server.rfind(',');
    std::string port;
    if (comma != std::string::npos && AllDigits(TrimBlanks(server.substr(comma + 1)))) {
      port = TrimBlanks(server.substr(comma + 1));
      server = TrimBlanks(server.substr(0, comma));
      const std::size_t slash = server.find('\\');
      if (slash != std::string::npos) server = server.substr(0, slash);
    }
    AddPair(out, "Server", server);
    if (!port.empty()) AddPair(out, "Port", port);
  } else {
    AddPair(out, "Server", source);
  }
  AddPair(out, "UID", params.userId);
  AddPair(out, "PWD", params.password);
  if (!params.initialCatalog.empty()) AddPair(out, "DATABASE", params.initialCatalog);
  if (!params.language.empty()) AddPair(out, "Language", params.language);
  if (!params.applicationName.empty()) AddPair(out, "APP", params.applicationName);
  if (driver.freeTds) out += "TDS_Version=7.2;";
  if (!extra.empty()) {
    out += extra;
    if (out.back() != ';') out += ';';
  }
  return out;
}

}  // namespace odbc
