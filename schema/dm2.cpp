#include "schema/dm2.h"

namespace schema {

TDM2::TDM2(std::unique_ptr<db::Connection> connection) : ADO_CNN2(*connection), owned_(std::move(connection)) {
  for (auto* q : {&ADOT_Objects, &ADOQ_Objects, &ADOQ_ObjectText, &ADOQ_ColumnDef, &ADOQ_Indexes, &ADOQ_IndexKeys,
                  &ADOQ_CheckAndDefault, &ADOQ_ForeignKeys, &ADOQ_Version, &ADOQ_Misc})
    *q = ADO_CNN2.CreateQuery();
}

}  // namespace schema
