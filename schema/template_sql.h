// Builders of the statements the program runs on the template, one function
// per statement, each returning the statement's lines. Values are spliced
// in as text: IDs and phase numbers in decimal, type codes and index names
// between double quotes (the template dialect's string delimiter; a double
// quote inside is doubled), other names in single quotes (a single quote
// inside doubled).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace schema {

using Lines = std::vector<std::string>;

// The whole table tblObjects (ADOT_Objects): "SELECT * FROM tblObjects".
Lines ObjectsTableSql();
// The already-used test; result column Ilosc.
Lines TemplateUsedSql();
// The template version: "SELECT TOP 1 * from toolSysVersion".
Lines TemplateVersionSql();

// Template objects of one type and phase not yet flagged examined or
// existing, in stored order.
Lines MissingObjectsSql(const std::string& type, int phase);
// The text lines of one object, ordered by ID, ROWID.
Lines ObjectTextSql(std::int64_t objectId);

// The column rows of one table joined with their check or default
// (IsDefValue, Text), ordered by ColOrder.
Lines ColumnsSql(std::int64_t tableId);
// The same for the columns not yet examined and not existing.
Lines ColumnsToAddSql(std::int64_t tableId);
// The column rows for CREATE TABLE: each column once with its default or
// with no constraint.
Lines CreateTableColumnsSql(std::int64_t tableId);

// All indexes of a table by name; the primary key not yet existing; the
// other indexes not yet existing.
Lines IndexesSql(std::int64_t tableId);
Lines MissingPrimaryKeySql(std::int64_t tableId);
Lines MissingIndexesSql(std::int64_t tableId);

// All columns of one index, ordered by IndexColumnID.
Lines IndexKeysSql(std::int64_t tableId, const std::string& indexName);
// The key columns (by KeyNo) or the included columns (by IndexColumnID) of
// one index; the name is trimmed of surrounding blanks first.
Lines IndexKeyColumnsSql(std::int64_t tableId, const std::string& indexName, bool included);

// All check and default constraints of a table; those not yet examined and
// not existing.
Lines CheckAndDefaultSql(std::int64_t tableId);
Lines MissingCheckAndDefaultSql(std::int64_t tableId);

// The rows of one foreign key for its creation: key name (Name), tables
// (fName, rName), column pairs and flags, ordered by keyno.
Lines ForeignKeyForCreationSql(std::int64_t foreignKeyId);

}  // namespace schema
