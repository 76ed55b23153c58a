#include "app/ado_check.h"
#include "app/locale.h"
#include "app/startup.h"

namespace app {

bool PrepareEnvironment(Ui& ui) {
  ApplyLocaleFormats();
  return CheckAdoVersion(ui);
}

}  // namespace app
