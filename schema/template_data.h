// Helpers over the template data module that several steps share: running
// a template statement in a DM2 query object, the object table, the
// template version, the already-used test, the highest priority, the
// stored foreign-key query and the work-state flag writes.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

#include "schema/dm2.h"
#include "schema/template_sql.h"

namespace schema {

// Closes `q`, clears its text, adds `lines`, opens it; the cursor is on the
// first row. Throws OleError when the statement fails; the lines stay in
// `q` so the caller can report them.
void OpenTemplateQuery(db::Query& q, const Lines& lines);

// Closes and opens again DM2.ADOT_Objects as the whole table tblObjects
// ("SELECT * FROM tblObjects"), so it shows the flags as they are now; its
// rows can be searched with Locate on Name and edited. Throws OleError.
void OpenObjectsTable(TDM2& dm2);

// The first row of the template's toolSysVersion.
struct TemplateVersionRow {
  bool found = false;  // false: the table has no row (all zero, date empty)
  int NrGlowny = 0, NrPodrzedny_1 = 0, NrPodrzedny_2 = 0;
  std::string Aktualizacja;  // the date as text ("dd-MM-yyyy"), "" for NULL
};
// Runs "SELECT TOP 1 * from toolSysVersion" in DM2.ADOQ_Version. Throws
// OleError when the statement fails or a column is missing, and
// std::invalid_argument when a number column holds text that is no number.
TemplateVersionRow ReadTemplateVersion(TDM2& dm2);

// True when the work-state flags of tblObjects sum to more than 0 (run in
// DM2.ADOQ_Misc); false when they sum to 0 or NULL, and on any failure.
bool TemplateAlreadyUsed(TDM2& dm2);

// The highest Priorytet of tblObjects through the stored item
// "MaxPriorytet" in DM2.ADOQ_Misc; 0 for an empty table (NULL) or no row.
// Throws OleError when the statement fails (its lines stay in ADOQ_Misc).
int MaxPriority(TDM2& dm2);

// Loads the stored item "ForeignKeys" into DM2.ADOQ_ForeignKeys, binds
// objID_ACC to `foreignKeyId` and opens it: one row per column pair of that
// key, by keyno. Throws OleError when the statement fails.
void OpenTemplateForeignKey(TDM2& dm2, std::int64_t foreignKeyId);

// Sets work-state flags of the current row of `q` through the dataset:
// Edit, SetField(name, integer value) for each, Post. The row's base table
// row is updated and the row shows the new values. Throws OleError when no
// row is current, a field is unknown or the update fails.
void WriteFlags(db::Query& q, std::initializer_list<std::pair<const char*, int>> flags);

}  // namespace schema
