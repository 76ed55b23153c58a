// The stored query collections: LMDSL_SQL, the catalog queries run on the
// server, and LMDSL_ACC, the two stored template queries. Each item has a
// position (its identifier), a name and its text as lines, exactly as sent.
#pragma once

#include <string>
#include <vector>

#include "db/db.h"

namespace schema {

struct StoredQuery {
  int position;
  std::string name;
  std::vector<std::string> lines;
};

// Positions 0 to 13, in position order: 0 "Foreignkeys", 1 "FKeysForColumn",
// 2 "ColumnDef", 3 "DefaultForCol", 4 "Indexes", 5 "IndexesForColumn",
// 6 "Role", 7 "TablesAndViews", 8 "ProcAndFunctions", 9 "IndexKeys",
// 10 "FKesyForTable", 11 "ColumnDef2005", 12 "Indexes2005",
// 13 "IndexKeys2005".
const std::vector<StoredQuery>& LMDSL_SQL();
// Position 0 "MaxPriorytet", position 1 "ForeignKeys" (marker :objID_ACC).
const std::vector<StoredQuery>& LMDSL_ACC();

// Position constants of the items the steps load.
namespace sql_item {
constexpr int kForeignkeys = 0, kFKeysForColumn = 1, kColumnDef = 2, kDefaultForCol = 3, kIndexes = 4,
              kIndexesForColumn = 5, kRole = 6, kTablesAndViews = 7, kProcAndFunctions = 8, kIndexKeys = 9,
              kFKesyForTable = 10, kColumnDef2005 = 11, kIndexes2005 = 12, kIndexKeys2005 = 13;
}  // namespace sql_item
namespace acc_item {
constexpr int kMaxPriorytet = 0, kForeignKeys = 1;
}  // namespace acc_item

// The item at `position`; throws std::out_of_range when there is none.
const StoredQuery& StoredQueryAt(const std::vector<StoredQuery>& coll, int position);

// Loads an item into a query object: closes it, clears its text and
// parameters, makes the item's lines its text and turns ParamCheck on, so
// the item's :name markers are its parameters. Throws std::out_of_range
// for an unknown position (the query is then left untouched).
void LoadStoredQuery(db::Query& q, const std::vector<StoredQuery>& coll, int position);

// Every item of both collections, for printing: per item a header line
// "-- <collection> <position> <name> (<n> lines)" followed by its n lines
// exactly as stored, and an empty line after each item. Lines end in LF.
std::string ListQueries();

}  // namespace schema
