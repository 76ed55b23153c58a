// Removal of server foreign keys: a key that differs from the template, a
// key the template lacks, the keys a column takes part in, and the keys of
// (or to) a table that is about to be dropped.
#pragma once

#include <string>
#include <vector>

#include "wizard/main_form.h"

namespace reconcile {

// "ALTER TABLE [table] DROP CONSTRAINT key" (the key name bare).
std::string DropForeignKeyLine(const std::string& table, const std::string& key);
// "Usunąłem FOREIGN KEY key tabeli table".
std::string DropForeignKeyLogText(const std::string& table, const std::string& key);

// The sweep found a server key (f.CurrentServerId, the current row of
// MyDB.ADOQ_sysobjects) that the template holds in this phase
// (f.CurrentTemplateId, the current row of DM2.ADOT_Objects). Compares the
// column pairs and options and drops the key when anything differs. A
// dropped key gets its ObiektIstnieje flag set back to 0, so the creation
// step of the same phase creates it again from the template.
void CheckForeignKey(wizard::TF_Main& f);

// The sweep found a server key the template does not hold: it is dropped.
void DropObsoleteForeignKey(wizard::TF_Main& f);

// Drops every key in which `column` of f.CurrentTableName takes part, on
// either side, each once.
void DropColumnForeignKeys(wizard::TF_Main& f, const std::string& column);

// Drops every key of f.CurrentTableName and every key that references it.
void DropTableForeignKeys(wizard::TF_Main& f);

}  // namespace reconcile
