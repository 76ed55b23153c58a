#include "schema/template_data.h"

#include "schema/stored_queries.h"

namespace schema {

void OpenTemplateQuery(db::Query& q, const Lines& lines) {
  q.Close();
  q.Clear();
  q.SetLines(lines);
  q.Open();
  q.First();
}

void OpenObjectsTable(TDM2& dm2) {
  OpenTemplateQuery(*dm2.ADOT_Objects, ObjectsTableSql());
}

TemplateVersionRow ReadTemplateVersion(TDM2& dm2) {
  db::Query& q = *dm2.ADOQ_Version;
  OpenTemplateQuery(q, TemplateVersionSql());
  TemplateVersionRow v;
  if (q.Eof()) return v;
  v.found = true;
  v.NrGlowny = static_cast<int>(q.Field("NrGlowny").AsInteger());
  v.NrPodrzedny_1 = static_cast<int>(q.Field("NrPodrzedny_1").AsInteger());
  v.NrPodrzedny_2 = static_cast<int>(q.Field("NrPodrzedny_2").AsInteger());
  v.Aktualizacja = q.Field("Aktualizacja").AsString();
  return v;
}

bool TemplateAlreadyUsed(TDM2& dm2) {
  try {
    db::Query& q = *dm2.ADOQ_Misc;
    OpenTemplateQuery(q, TemplateUsedSql());
    return !q.Eof() && q.Field("Ilosc").AsInteger() > 0;
  } catch (...) {
    return false;  // a template that cannot be read is not reported as used
  }
}

int MaxPriority(TDM2& dm2) {
  db::Query& q = *dm2.ADOQ_Misc;
  LoadStoredQuery(q, LMDSL_ACC(), acc_item::kMaxPriorytet);
  q.Open();
  q.First();
  if (q.Eof()) return 0;
  return static_cast<int>(q.Field("MaxPriorytet").AsInteger());
}

void OpenTemplateForeignKey(TDM2& dm2, std::int64_t foreignKeyId) {
  db::Query& q = *dm2.ADOQ_ForeignKeys;
  LoadStoredQuery(q, LMDSL_ACC(), acc_item::kForeignKeys);
  q.SetParam("objID_ACC", db::Value::Int(foreignKeyId));
  q.Open();
  q.First();
}

void WriteFlags(db::Query& q, std::initializer_list<std::pair<const char*, int>> flags) {
  q.Edit();
  for (const auto& [name, value] : flags) q.SetField(name, db::Value::Int(value));
  q.Post();
}

}  // namespace schema
