#include "app/startup.h"
#include "odbc/odbc_connection.h"
#include "sqlsim/server.h"

namespace app {

std::unique_ptr<db::Connection> MakeAdapterFor(const db::ConnectParams& params) {
  if (params.dataSource.rfind("sim:", 0) == 0) return sqlsim::MakeSimConnection();
  return odbc::MakeServerConnection();
}

}  // namespace app
