#include "odbc/batch.h"

#include <optional>

namespace odbc {

db::ResultSet DrainBatch(BatchCursor& cursor, Step step) {
  db::ResultSet result;
  bool haveResult = false;
  std::optional<db::OleError> first;
  // The guard only protects against a driver that never reaches the end.
  for (int guard = 0; guard < 100000 && step.status != Step::End; ++guard) {
    const bool failed = step.status == Step::Error || (step.status == Step::OkWithInfo && HasError(step.diag));
    if (failed) {
      db::OleError e = MakeOleError(step.diag, Phase::Connected, "The statement failed");
      bool stuck = step.diag.empty() || e.ConnectionLost();
      for (const DiagRecord& r : step.diag)
        if (r.sqlstate == "HY010") stuck = true;
      if (!first) first = e;
      if (stuck) break;
    }
    if (step.status != Step::Error && !haveResult && cursor.ColumnCount() > 0) {
      try {
        cursor.Fetch(result);
        haveResult = true;
      } catch (const db::OleError& e) {
        if (!first) first = e;
        result = db::ResultSet{};
        if (e.ConnectionLost()) break;
      }
    }
    step = cursor.MoreResults();
  }
  if (first) throw *first;
  return result;
}

}  // namespace odbc
