// The whole upgrade run with the real per-type steps: what "Wy&konaj" and
// the headless "--run" call once the database has been chosen.
#pragma once

#include "wizard/driver.h"

namespace reconcile {

// Runs wizard::LMDAssistCompleted with SweepObjects and AddMissingObjects.
// Never throws; see the flags of TF_Main for the outcome's details.
wizard::RunOutcome RunUpgrade(wizard::TF_Main& f);

}  // namespace reconcile
