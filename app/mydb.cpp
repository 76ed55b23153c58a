#include "app/mydb.h"

namespace app {

void ServerConnection::Open(const db::ConnectParams& params) {
  if (impl_ && impl_->IsOpen()) throw db::OleError(db::code::kAlreadyOpen, "Operation is not allowed when the object is open.");
  impl_ = factory_(params);
  impl_->Open(params);
}

void ServerConnection::Close() {
  if (impl_) impl_->Close();
}

bool ServerConnection::IsOpen() const { return impl_ && impl_->IsOpen(); }

db::Connection& ServerConnection::Live() {
  if (!impl_ || !impl_->IsOpen())
    throw db::OleError(db::code::kUnreachable, "Operation is not allowed when the object is closed.");
  return *impl_;
}

void ServerConnection::BeginTrans() { Live().BeginTrans(); }
void ServerConnection::CommitTrans() { Live().CommitTrans(); }
void ServerConnection::RollbackTrans() { Live().RollbackTrans(); }
db::ResultSet ServerConnection::Execute(const db::Statement& st) { return Live().Execute(st); }

TMyDB::TMyDB(ServerConnection::Factory factory) : ADOConn1(std::move(factory)) {
  for (auto* q : {&ADOQ_Alter, &ADOQ_Misc, &ADOQ_ColumnDef, &ADOQ_CreateIndex, &ADOQ_DropAddConstraint,
                  &ADOQ_ForeignKeys, &ADOQ_IndexKeys, &ADOQ_Indexes, &ADOQ_CheckAndDefault, &ADOQ_sp_helptext,
                  &ADOQ_sysobjects, &ADOQ_Role, &ADOQ_GrantViewState, &ADO_SP_Databases, &ADODS_MainTable,
                  &ADODS_Update}) {
    *q = ADOConn1.CreateQuery();
    (*q)->SetCommandTimeout(600);
  }
}

}  // namespace app
