// The server data module MyDB: the server connection ADOConn1 and the named
// query objects the steps share. A step always closes a query object and
// clears its text before using it.
#pragma once

#include <functional>
#include <memory>

#include "db/db.h"

namespace app {

// A connection that picks its adapter when it is opened: a data source of
// the form "sim:FILE" goes to the simulator, anything else to ODBC. Query
// objects bound to it therefore survive a change of server.
class ServerConnection : public db::Connection {
 public:
  using Factory = std::function<std::unique_ptr<db::Connection>(const db::ConnectParams&)>;
  explicit ServerConnection(Factory factory) : factory_(std::move(factory)) {}

  void Open(const db::ConnectParams& params) override;
  void Close() override;
  bool IsOpen() const override;
  void BeginTrans() override;
  void CommitTrans() override;
  void RollbackTrans() override;
  db::ResultSet Execute(const db::Statement& st) override;
  // The adapter in use (nullptr before the first Open).
  db::Connection* Adapter() { return impl_.get(); }

 private:
  db::Connection& Live();
  Factory factory_;
  std::unique_ptr<db::Connection> impl_;
};

class TMyDB {
 public:
  explicit TMyDB(ServerConnection::Factory factory);

  ServerConnection ADOConn1;
  // Query objects, all bound to ADOConn1, 600 s statement time-out.
  std::unique_ptr<db::Query> ADOQ_Alter, ADOQ_Misc, ADOQ_ColumnDef, ADOQ_CreateIndex, ADOQ_DropAddConstraint,
      ADOQ_ForeignKeys, ADOQ_IndexKeys, ADOQ_Indexes, ADOQ_CheckAndDefault, ADOQ_sp_helptext, ADOQ_sysobjects,
      ADOQ_Role, ADOQ_GrantViewState, ADO_SP_Databases, ADODS_MainTable, ADODS_Update;
};

}  // namespace app
