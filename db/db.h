// The data-access port: values, errors, connections and query objects.
//
// The program's logic talks to both databases (the SQL Server target and the
// template file) only through these types. Adapters (odbc/, sqlite/, sqlsim/)
// implement `db::Connection`; `db::Query` is one concrete class shared by all
// of them, so line handling, parameter markers, row navigation and locate
// behave the same whatever sits underneath.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace db {

// Calendar date and time of day, no time zone.
struct DateTime {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0;
  bool operator==(const DateTime&) const = default;
};

// A field value: null, whole number, floating point, UTF-8 text or date-time.
class Value {
 public:
  enum class Kind { Null, Integer, Float, Text, DateTime };

  Value() = default;
  static Value Null() { return Value(); }
  static Value Int(std::int64_t v);
  static Value Real(double v);
  static Value Str(std::string v);
  static Value Date(DateTime v);

  Kind kind() const { return kind_; }
  bool IsNull() const { return kind_ == Kind::Null; }

  // Integer reading: 0 for null and for empty or blank text; text is parsed
  // as a decimal number (a fraction is cut toward zero); a float is cut
  // toward zero. Text that is not a number throws std::invalid_argument.
  std::int64_t AsInteger() const;
  // Floating reading: 0 for null and empty text.
  double AsFloat() const;
  // Text reading: "" for null; numbers in plain decimal; a date-time as
  // "dd-MM-yyyy" when its time is midnight, else "dd-MM-yyyy HH:mm:ss".
  std::string AsString() const;
  // The date-time; throws std::invalid_argument for other kinds.
  DateTime AsDateTime() const;

  bool operator==(const Value& o) const;

 private:
  Kind kind_ = Kind::Null;
  std::int64_t i_ = 0;
  double f_ = 0;
  std::string s_;
  DateTime d_{};
};

// OLE DB result codes the logic shows and tests. Adapters map their native
// failures to these in one table each.
namespace code {
constexpr std::uint32_t kCommandError = 0x80040E14;   // statement rejected
constexpr std::uint32_t kIntegrity = 0x80040E2F;      // key or check violated by data
constexpr std::uint32_t kLoginFailed = 0x80040E4D;    // wrong login or password
constexpr std::uint32_t kUnreachable = 0x80004005;    // server not found, link lost
constexpr std::uint32_t kNoProvider = 0x800A0E7A;     // driver or provider missing
constexpr std::uint32_t kAlreadyOpen = 0x800A0E79;    // connection already open
}  // namespace code

// The failure of a data-access call, with an OLE DB result code.
class OleError : public std::runtime_error {
 public:
  OleError(std::uint32_t code, const std::string& message)
      : std::runtime_error(message), code_(code) {}
  std::uint32_t code() const { return code_; }
  // True for a failure that means the link to the server is gone; a run
  // stops at the first such failure instead of failing every later item.
  bool ConnectionLost() const { return connection_lost_; }
  OleError& MarkConnectionLost() {
    connection_lost_ = true;
    return *this;
  }

 private:
  std::uint32_t code_;
  bool connection_lost_ = false;
};

// "(%x) %s": the code as unsigned capital hexadecimal, a blank, the message.
std::string FormatOleError(std::uint32_t code, const std::string& message);

// Everything a connection needs to open. The login and the template
// connection fill it; each adapter turns it into its own connection string,
// quoting values as its driver requires.
struct ConnectParams {
  std::string provider;        // "SQLOLEDB.1" or "Microsoft.Jet.OLEDB.4.0"
  std::string dataSource;      // server name (host, host,port, host\inst, sim:FILE) or file path
  std::string userId;
  std::string password;
  std::string initialCatalog;  // "MASTER" for the server
  std::string language;        // "Polish"
  std::string applicationName; // "Orv-Zurararudud"
  int connectTimeoutSeconds = 60;
};

// A statement as an adapter receives it: the text with every `:name` marker
// replaced by `?`, and the values in marker order.
struct Statement {
  std::string text;
  std::vector<Value> params;
  int timeoutSeconds = 600;
};

// The rows a statement returned. Adapters that support editing fill
// baseTable/baseColumn (per column) and rowKeys (per row: base table name ->
// key of the row it came from); others leave them empty.
struct ResultSet {
  std::vector<std::string> columns;
  std::vector<std::vector<Value>> rows;
  std::vector<std::string> baseTable;
  std::vector<std::string> baseColumn;
  std::vector<std::map<std::string, std::int64_t>> rowKeys;
};

class Query;

// A connection to one database.
class Connection {
 public:
  virtual ~Connection() = default;

  // Opens the connection. Throws OleError: kAlreadyOpen when open, and the
  // adapter's mapped code when the database refuses or cannot be reached.
  virtual void Open(const ConnectParams& params) = 0;
  // Closes; closing a closed connection does nothing.
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;

  // Transactions. Throw OleError when the database refuses.
  virtual void BeginTrans() = 0;
  virtual void CommitTrans() = 0;
  virtual void RollbackTrans() = 0;

  // Runs a statement or batch to its end. The first failure anywhere in the
  // batch is raised as OleError after the batch has been drained. Returns the
  // first result that has columns (empty columns when none did).
  virtual ResultSet Execute(const Statement& st) = 0;

  // Writes `changes` (base column -> value) into the base-table row that row
  // `row` of `rs` came from, and nothing else. Only the template side
  // supports it; the default throws OleError (kCommandError).
  virtual void UpdateRow(const ResultSet& rs, std::size_t row,
                         const std::vector<std::pair<std::string, Value>>& changes);

  // A new query object bound to this connection.
  std::unique_ptr<Query> CreateQuery();
};

// A query object: a statement held as lines, its parameters and, once
// opened, its rows with a current-row cursor.
class Query {
 public:
  explicit Query(Connection& conn) : conn_(&conn) {}

  // --- the statement ---
  void Clear();                              // empties lines and parameters
  void Add(const std::string& line);
  void SetLines(const std::vector<std::string>& lines);
  const std::vector<std::string>& Lines() const { return lines_; }
  std::string Text() const;                  // the lines joined by CR LF

  // When on (the default is off), `:name` markers outside quotes and
  // brackets become parameters; off, colons are sent as they stand.
  void SetParamCheck(bool on) { paramCheck_ = on; }
  bool ParamCheck() const { return paramCheck_; }
  // Names of the markers in order of appearance (empty with ParamCheck off).
  std::vector<std::string> ParamNames() const;
  // Sets every marker of that name, compared without regard to case. Throws
  // OleError (kCommandError) when the text has no such marker.
  void SetParam(const std::string& name, const Value& v);

  void SetCommandTimeout(int seconds) { timeout_ = seconds; }
  int CommandTimeout() const { return timeout_; }

  // --- running ---
  // Runs the statement and keeps its rows; the cursor is on the first row.
  // Throws OleError when the statement fails, or when a marker has no value.
  void Open();
  // Runs a statement that returns no rows.
  void ExecSQL();
  void Close();                              // forgets the rows
  bool Active() const { return active_; }

  // --- rows (valid after Open) ---
  void First();
  void Next();
  bool Eof() const;
  int RecordCount() const;
  // The current row's field, found without regard to case. Throws OleError
  // (kCommandError) naming the field when there is none, or when no row is
  // current.
  const Value& Field(const std::string& name) const;
  bool HasField(const std::string& name) const;
  const std::vector<std::string>& FieldNames() const { return rs_.columns; }
  // Moves to the first row whose field equals `text` ignoring letter case;
  // returns false (cursor unchanged) when none does.
  bool Locate(const std::string& field, const std::string& text);

  // --- editing the current row (template side) ---
  void Edit();
  void SetField(const std::string& name, const Value& v);
  // Writes the edited fields into the base row; the row keeps the new values.
  void Post();

 private:
  int ColumnIndex(const std::string& name) const;
  Statement Build() const;

  Connection* conn_;
  std::vector<std::string> lines_;
  bool paramCheck_ = false;
  std::vector<std::pair<std::string, Value>> params_;  // name as set
  int timeout_ = 600;

  bool active_ = false;
  ResultSet rs_;
  std::size_t pos_ = 0;
  bool editing_ = false;
  std::vector<std::pair<std::string, Value>> pending_;
};

// Appends the UTF-8 form of one code point.
void AppendUtf8(std::string& out, char32_t c);

// Case-insensitive comparison of ASCII letters (names of fields, params).
bool EqualsNoCase(const std::string& a, const std::string& b);

// Finds `:name` markers in `text`, skipping '...' and "..." literals,
// [bracketed] names and `--` comments. `::` is not a marker. Returns the
// names in order and, through `replaced`, the text with each marker as `?`.
std::vector<std::string> ParseParamMarkers(const std::string& text, std::string* replaced);

}  // namespace db
