// The object sweep: walks the server's objects of one type, drops those the
// template does not hold, flags those of the current phase as existing and
// hands them to the reconciliation of their kind.
#pragma once

#include <string>
#include <vector>

#include "wizard/main_form.h"

namespace reconcile {

// The word used in the log lines of a type ("tabel", "widoków", ...); ""
// for an unknown code.
std::string LogWord(const std::string& type);

// Square brackets around a name, a ']' inside doubled.
std::string Bracketed(const std::string& name);

// The server's object list of one type: the catalog-view form for major
// version 9 or more, the system-table form for 8 or less.
std::vector<std::string> ObjectListLines(const std::string& type, int serverMajorVersion);

// The DROP statement of an object the template lacks: "DROP ", the type's
// keyword line ("TABLE ", "VIEW ", ...), the bracketed name. Empty for "F"
// (foreign keys are removed through DropObsoleteForeignKey).
std::vector<std::string> DropObjectLines(const std::string& type, const std::string& name);

// The sweep of one type in the current phase (f.CurrentPhase). Per-object
// failures are shown and the walk goes on; a failure to open the object
// list or the template table is raised to the driver, and a lost link is
// raised as wizard::LinkLost.
void SweepObjects(wizard::TF_Main& f, const std::string& type, bool WithDefinition);

}  // namespace reconcile
