#include "reconcile/keys/fk_check.h"

#include <set>

#include "app/text.h"
#include "schema/stored_queries.h"
#include "schema/template_data.h"
#include "wizard/driver.h"

namespace reconcile {

namespace {

// Loads a stored catalog item, binds its parameters by name and opens it.
void Load(db::Query& q, int position, const std::vector<std::pair<std::string, db::Value>>& params) {
  schema::LoadStoredQuery(q, schema::LMDSL_SQL(), position);
  for (const auto& [name, v] : params) q.SetParam(name, v);
  wizard::OpenServer(q);
  q.First();
}

// Runs the removal statement and logs it. Returns true when the key is gone.
bool DropKey(wizard::TF_Main& f, const std::string& table, const std::string& key) {
  auto& q = *f.MyDB.ADOQ_DropAddConstraint;
  try {
    q.Close();
    q.Clear();
    q.Add(DropForeignKeyLine(table, key));
    wizard::ExecServer(q);
    f.AddLog(DropForeignKeyLogText(table, key), true);
    return true;
  } catch (const wizard::LinkLost&) {
    throw;
  } catch (const db::OleError& e) {
    f.ReportSqlError(e.code(), e.what(), q.Lines());
  } catch (const std::exception& e) {
    f.ShowError(e.what());
  }
  return false;
}

void ShowLoadError(wizard::TF_Main& f, const std::exception& e) {
  if (const auto* ole = dynamic_cast<const db::OleError*>(&e))
    f.ShowError(db::FormatOleError(ole->code(), e.what()));
  else
    f.ShowError(e.what());
}

std::string Up(const db::Query& q, const char* field) { return app::UpperAZ(q.Field(field).AsString()); }

// A key the template holds was dropped because it differs: clear its
// existence flag so the creation step of this phase builds it again.
void MarkForRecreation(wizard::TF_Main& f) {
  try {
    schema::WriteFlags(*f.DM2.ADOT_Objects, {{"ObiektIstnieje", 0}});
  } catch (const std::exception& e) {
    ShowLoadError(f, e);
  }
}

// The keys listed by a loaded FKeysForColumn / FKesyForTable query, each
// dropped once.
void DropListedKeys(wizard::TF_Main& f, db::Query& q) {
  std::set<std::int64_t> dropped;
  for (; !q.Eof(); q.Next()) {
    std::int64_t id = 0;
    std::string table, key;
    try {
      id = q.Field("constid").AsInteger();
      table = q.Field("fname").AsString();
      key = q.Field("fkeyname").AsString();
    } catch (const std::exception& e) {
      ShowLoadError(f, e);
      continue;
    }
    if (!dropped.insert(id).second) continue;
    DropKey(f, table, key);
  }
}

}  // namespace

std::string DropForeignKeyLine(const std::string& table, const std::string& key) {
  return "ALTER TABLE [" + table + "] DROP CONSTRAINT " + key;
}

std::string DropForeignKeyLogText(const std::string& table, const std::string& key) {
  return "Usunąłem FOREIGN KEY " + key + " tabeli " + table;
}

void CheckForeignKey(wizard::TF_Main& f) {
  auto& tpl = *f.DM2.ADOQ_ForeignKeys;
  auto& srv = *f.MyDB.ADOQ_ForeignKeys;
  const std::string keyName = f.MyDB.ADOQ_sysobjects->Field("name").AsString();
  try {
    schema::OpenTemplateForeignKey(f.DM2, f.CurrentTemplateId);
    Load(srv, schema::sql_item::kForeignkeys, {{"objID_SQL", db::Value::Int(f.CurrentServerId)}});
  } catch (const wizard::LinkLost&) {
    throw;
  } catch (const std::exception& e) {
    ShowLoadError(f, e);
    return;
  }
  bool differs = tpl.RecordCount() != srv.RecordCount();
  std::string table;
  if (!differs) {
    for (; !srv.Eof() && !differs; srv.Next()) {
      try {
        table = srv.Field("fname").AsString();
        if (tpl.Eof()) {
          differs = true;
          break;
        }
        static const char* const kPairs[][2] = {
            {"fname", "fname"},   {"fcolname", "fcolname"}, {"rname", "rname"},
            {"rcolname", "rcolname"}, {"keyno", "keyno"},   {"IsDeleteCascade", "IsDeleteCascade"},
            {"IsUpdateCascade", "IsUpdateCascade"}, {"IsNotForRepl", "IsNotForRepl"},
            {"CnstIsDisabled", "IsDisabled"}};
        for (const auto& p : kPairs)
          if (Up(srv, p[0]) != Up(tpl, p[1])) {
            differs = true;
            break;
          }
        if (differs) break;
        tpl.Next();
      } catch (const wizard::LinkLost&) {
        throw;
      } catch (const db::OleError& e) {
        f.ReportSqlError(e.code(), e.what(), f.MyDB.ADOQ_DropAddConstraint->Lines());
      } catch (const std::exception& e) {
        f.ShowError(e.what());
      }
    }
  }
  if (!differs) return;
  try {
    srv.First();
    table = srv.Eof() ? table : srv.Field("fname").AsString();
  } catch (const std::exception& e) {
    ShowLoadError(f, e);
    return;
  }
  if (table.empty()) return;  // no column pair on the server: nothing to drop
  if (DropKey(f, table, keyName)) MarkForRecreation(f);
}

void DropObsoleteForeignKey(wizard::TF_Main& f) {
  auto& srv = *f.MyDB.ADOQ_ForeignKeys;
  std::string table, key;
  try {
    key = f.MyDB.ADOQ_sysobjects->Field("name").AsString();
    Load(srv, schema::sql_item::kForeignkeys, {{"objID_SQL", db::Value::Int(f.CurrentServerId)}});
    if (srv.Eof()) return;  // its table ships with the server: left alone
    table = srv.Field("fname").AsString();
  } catch (const wizard::LinkLost&) {
    throw;
  } catch (const std::exception& e) {
    ShowLoadError(f, e);
    return;
  }
  DropKey(f, table, key);
}

void DropColumnForeignKeys(wizard::TF_Main& f, const std::string& column) {
  auto& q = *f.MyDB.ADOQ_ForeignKeys;
  try {
    Load(q, schema::sql_item::kFKeysForColumn,
         {{"fcolname1", db::Value::Str(column)},
          {"fcolname2", db::Value::Str(column)},
          {"ftablename1", db::Value::Str(f.CurrentTableName)},
          {"ftablename2", db::Value::Str(f.CurrentTableName)}});
  } catch (const wizard::LinkLost&) {
    throw;
  } catch (const std::exception& e) {
    ShowLoadError(f, e);
    return;
  }
  DropListedKeys(f, q);
}

void DropTableForeignKeys(wizard::TF_Main& f) {
  auto& q = *f.MyDB.ADOQ_ForeignKeys;
  try {
    Load(q, schema::sql_item::kFKesyForTable,
         {{"ftablename1", db::Value::Str(f.CurrentTableName)}, {"ftablename2", db::Value::Str(f.CurrentTableName)}});
  } catch (const wizard::LinkLost&) {
    throw;
  } catch (const std::exception& e) {
    ShowLoadError(f, e);
    return;
  }
  DropListedKeys(f, q);
}

}  // namespace reconcile
