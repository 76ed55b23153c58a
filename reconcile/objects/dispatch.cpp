#include "reconcile/objects/dispatch.h"

namespace reconcile {

// Table and foreign-key reconciliation are not part of this build yet: each
// point says so in the log, and a missing object that is left uncreated is
// recorded as a failure so that the run does not look complete.

void ReconcileExistingTable(wizard::TF_Main& f) {
  f.log.AddPlain("Tabela " + f.CurrentTableName +
                 " istnieje; uzgadnianie kolumn, ograniczeń i indeksów jest niedostępne w tej wersji programu");
}

void CreateMissingTable(wizard::TF_Main& f) {
  const std::string text = "Nie utworzono tabeli " + f.CurrentTableName +
                           ": tworzenie tabel jest niedostępne w tej wersji programu";
  f.failures.push_back({text, {}});
  f.log.AddPlain(text);
}

void CreateMissingForeignKey(wizard::TF_Main& f) {
  const std::string text = "Nie utworzono klucza obcego " + f.CurrentTableName +
                           ": tworzenie kluczy obcych jest niedostępne w tej wersji programu";
  f.failures.push_back({text, {}});
  f.log.AddPlain(text);
}

}  // namespace reconcile
