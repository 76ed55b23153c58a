#include "app/startup.h"
#include "odbc/odbc_connection.h"

namespace app {

std::unique_ptr<db::Connection> MakeAdapterFor(const db::ConnectParams& params) {
  if (params.dataSource.rfind("sim:", 0) == 0)
    throw db::OleError(db::code::kNoProvider, "Symulator serwera nie jest jeszcze dostępny w tej kompilacji");
  return odbc::MakeServerConnection();
}

}  // namespace app
