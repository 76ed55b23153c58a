// The upgrade driver: what "Wy&konaj" runs. It checks the versions, walks
// the phases and the selected object types in their fixed order, then stamps
// the new version, grants rights to the database roles, enables the triggers
// and grants the server-level right to the SQL logins.
//
// The per-type steps (sweep and creation) live in reconcile/objects and are
// handed in as `PhaseSteps`, so this folder does not depend on them; the
// front ends call reconcile::RunUpgrade, which wires the real steps in.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "wizard/main_form.h"

namespace wizard {

// Raised when the link to the server is gone (the adapter marked the error
// as a lost connection, or the server connection answered 0x80004005 while
// a run was under way). Every step lets it through its own handlers, so the
// driver can stop the run at the first such failure instead of failing every
// remaining object. Not a db::OleError on purpose: handlers that catch data
// access errors must not swallow it.
class LinkLost : public std::runtime_error {
 public:
  LinkLost(std::uint32_t code, const std::string& message) : std::runtime_error(message), code_(code) {}
  std::uint32_t code() const { return code_; }

 private:
  std::uint32_t code_;
};

// True when `e`, raised by a statement on the server connection, means the
// link is gone.
bool IsLinkLost(const db::OleError& e);
// Run a server query object (rows / no rows). A failure that means the link
// is gone is raised as LinkLost; any other failure is raised unchanged.
void OpenServer(db::Query& q);
void ExecServer(db::Query& q);

// The two per-type steps the driver runs for each selected type.
struct PhaseSteps {
  std::function<void(TF_Main&, const std::string& type, bool withDefinition)> SweepObjects;
  std::function<void(TF_Main&, const std::string& type, bool withDefinition)> AddMissingObjects;
};

// One row of the fixed type order: status text ("" = leave it), the option
// that selects it, the type code and whether it is text-defined.
struct TypeStep {
  std::string statusText;
  bool RunOptions::*option;
  std::string type;
  bool withDefinition;
};
const std::vector<TypeStep>& TypeSteps();

enum class RunOutcome {
  NotNeeded,  // the template is older than the database: nothing was done
  Completed,  // every phase and the closing steps ran (items may have failed)
  Stopped,    // stopped early (link lost, template unreadable); not complete
};

// The handler of "Wy&konaj". Never throws: a lost link sets
// f.connectionLost, a failed version stamp f.versionStampFailed, and every
// failure is recorded in f.failures.
RunOutcome LMDAssistCompleted(TF_Main& f, const PhaseSteps& steps);

// The number of phases (the highest priority in the template). On failure
// the error is reported, `ok` (when given) is set false, and 0 is returned.
int ReadMaxPriority(TF_Main& f, bool* ok = nullptr);

// The closing steps; each reports its own failures (see driver.cpp).
void EnableAllTriggers(TF_Main& f);
void GrantViewServerState(TF_Main& f);

// --- statement builders (exact texts) ---
// The version stamp batch for `v` on `date` (the date is sent as yyyymmdd,
// which the server reads the same whatever the session language).
std::vector<std::string> VersionStampLines(const Version& v, const db::DateTime& date);
std::vector<std::string> RoleListLines();
std::vector<std::string> RoleMemberLines(const std::string& role);
std::vector<std::string> RoleExecuteGrantLines(const std::string& role);
std::vector<std::string> EnableTriggersLines();
std::vector<std::string> GrantViewServerStateLines();

}  // namespace wizard
