#include "reconcile/objects/upgrade.h"

#include "reconcile/objects/create.h"
#include "reconcile/objects/sweep.h"

namespace reconcile {

wizard::RunOutcome RunUpgrade(wizard::TF_Main& f) {
  return wizard::LMDAssistCompleted(f, {&SweepObjects, &AddMissingObjects});
}

}  // namespace reconcile
