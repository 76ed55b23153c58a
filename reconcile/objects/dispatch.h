// The points where the object steps hand a table or a foreign key to the
// table and key reconciliation. They are kept together here so that the
// table, constraint, index and key-creation work has one place to plug in.
#pragma once

#include "wizard/main_form.h"

namespace reconcile {

// A server table of the current phase, flagged as existing and not yet
// examined: columns, check and default constraints, indexes and keys.
// Names the table through f.CurrentTableName / CurrentServerId /
// CurrentTemplateId.
void ReconcileExistingTable(wizard::TF_Main& f);

// A template table of the current phase missing on the server: the table,
// then its constraints, then its keys and indexes. The template row is the
// current row of f.DM2.ADOQ_Objects.
void CreateMissingTable(wizard::TF_Main& f);

// A template foreign key of the current phase missing on the server.
void CreateMissingForeignKey(wizard::TF_Main& f);

}  // namespace reconcile
