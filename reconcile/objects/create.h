// Creation of the template objects of one type and phase that the sweep
// did not find on the server.
#pragma once

#include <string>
#include <vector>

#include "wizard/main_form.h"

namespace reconcile {

// The template query of the objects still to be created: neither examined
// nor existing, of `type`, with priority `phase`.
std::string MissingObjectsLine(const std::string& type, int phase);

// The stored text as the CREATE batch: every line made sendable, nothing
// else changed.
std::vector<std::string> CreateLines(const std::vector<std::string>& templateTexts);

// Walks the missing objects of `type` in f.CurrentPhase and creates each
// one (text-defined objects here, tables and foreign keys through the
// dispatch points). A failure to open the template query is raised.
void AddMissingObjects(wizard::TF_Main& f, const std::string& type, bool WithDefinition);

// Creates f.CurrentTableName from the lines of f.CurrentTemplateId and, when
// the text was run, flags the current row of DM2.ADOQ_Objects (Sprawdzone
// and ObiektIstnieje = 1). A failed statement goes to ReportSqlError; the
// row then stays unflagged.
void CreateDefinition(wizard::TF_Main& f);

}  // namespace reconcile
