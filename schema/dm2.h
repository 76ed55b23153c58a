// The template data module DM2: the template connection ADO_CNN2 and its
// query objects. Every use closes the query object, clears its text, adds
// the statement line by line, opens it and walks it.
#pragma once

#include <memory>

#include "db/db.h"

namespace schema {

class TDM2 {
 public:
  // `connection` is the template adapter (sqlite/), not yet open.
  explicit TDM2(std::unique_ptr<db::Connection> connection);

  db::Connection& ADO_CNN2;
  // ADOT_Objects stands for the whole table tblObjects (see OpenObjectsTable).
  std::unique_ptr<db::Query> ADOT_Objects, ADOQ_Objects, ADOQ_ObjectText, ADOQ_ColumnDef, ADOQ_Indexes,
      ADOQ_IndexKeys, ADOQ_CheckAndDefault, ADOQ_ForeignKeys, ADOQ_Version, ADOQ_Misc;

 private:
  std::unique_ptr<db::Connection> owned_;
};

}  // namespace schema
