// Draining a batch: every result of a statement batch is visited, so that
// an error in any of its statements is seen (the server has run them all in
// any case). Kept apart from the ODBC calls so the rules can be tested with
// a scripted cursor.
#pragma once

#include <vector>

#include "db/db.h"
#include "odbc/errors.h"

namespace odbc {

// What the driver said about the current result of a batch.
struct Step {
  enum Status { Ok, OkWithInfo, Error, End };
  Status status = End;
  std::vector<DiagRecord> diag;
};

// The batch as the adapter sees it after executing it.
class BatchCursor {
 public:
  virtual ~BatchCursor() = default;
  // Columns of the current result (0 for a statement without rows).
  virtual int ColumnCount() = 0;
  // Reads the current result's rows; throws OleError when a row fails.
  virtual void Fetch(db::ResultSet& into) = 0;
  // Moves to the next result.
  virtual Step MoreResults() = 0;
};

// Starting from `first` (the outcome of the execute call), visits every
// result. Returns the first result that has columns (an empty result set
// when none has). After the last result, throws the first error met: an
// Error step, an OkWithInfo step whose records hold a real error, or a
// failed fetch. It stops early only where the driver cannot go on: an
// error without any record, "function sequence error" (HY010), or a lost
// connection.
db::ResultSet DrainBatch(BatchCursor& cursor, Step first);

}  // namespace odbc
