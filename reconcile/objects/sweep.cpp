#include "reconcile/objects/sweep.h"

#include "app/text.h"
#include "reconcile/keys/fk_check.h"
#include "reconcile/objects/definition.h"
#include "reconcile/objects/dispatch.h"
#include "schema/template_data.h"
#include "wizard/driver.h"

namespace reconcile {

namespace {

std::string DropKeyword(const std::string& type) {
  if (type == "U") return "TABLE ";
  if (type == "V") return "VIEW ";
  if (type == "TR") return "TRIGGER ";
  if (type == "P") return "PROCEDURE ";
  if (type == "FN" || type == "TF" || type == "IF") return "FUNCTION ";
  return "";
}

// One server object of the list: look it up in the template and act.
void SweepOne(wizard::TF_Main& f, const std::string& type, bool withDefinition) {
  auto& tpl = *f.DM2.ADOT_Objects;
  if (tpl.Locate("Name", f.CurrentTableName)) {
    if (tpl.Field("Priorytet").AsInteger() != f.CurrentPhase) return;
    tpl.Edit();
    tpl.SetField("ObiektIstnieje", db::Value::Int(1));
    f.CurrentTemplateId = static_cast<std::int32_t>(tpl.Field("ID").AsInteger());
    tpl.Post();
    if (tpl.Field("Sprawdzone").AsInteger() == 1) return;
    f.AddLog("Sprawdzam " + f.CurrentTableName + "********************", true);
    if (withDefinition) CompareDefinition(f);
    if (type == "U") ReconcileExistingTable(f);
    if (type == "F") CheckForeignKey(f);
    return;
  }
  if (type == "F") {
    DropObsoleteForeignKey(f);
    return;
  }
  auto& q = *f.MyDB.ADOQ_Misc;
  q.Close();
  q.Clear();
  q.SetLines(DropObjectLines(type, f.CurrentTableName));
  if (type == "U") DropTableForeignKeys(f);
  f.AddLog("Usuwam " + f.CurrentTableName, true);
  wizard::ExecServer(q);
  f.AddLog(f.CurrentTableName + " - usunięto pomyślnie", true);
}

}  // namespace

std::string LogWord(const std::string& type) {
  if (type == "U") return "tabel";
  if (type == "V") return "widoków";
  if (type == "TR") return "triggerów";
  if (type == "P") return "procedur";
  if (type == "FN" || type == "TF" || type == "IF") return "funkcji";
  if (type == "F") return "kluczy obcych";
  return "";
}

std::string Bracketed(const std::string& name) {
  std::string r = "[";
  for (char c : name) {
    r += c;
    if (c == ']') r += ']';
  }
  return r + "]";
}

std::vector<std::string> ObjectListLines(const std::string& type, int major) {
  if (major >= 9)
    return {"SELECT o.object_id AS id, o.name, o.type AS xtype ",
            "FROM sys.objects o LEFT OUTER JOIN sys.extended_properties ep ",
            "ON o.[object_id] = ep.major_id AND ep.class_desc = 'OBJECT_OR_COLUMN' ",
            "AND ep.[name] = 'microsoft_database_tools_support' ",
            "WHERE o.is_ms_shipped = 0 AND ep.major_id IS NULL ",
            "AND o.type = '" + type + "' ORDER BY o.name "};
  return {"SELECT * FROM sysobjects WHERE (OBJECTPROPERTY(id, 'IsMSShipped') = 0) And (xtype = '" + type + "')"};
}

std::vector<std::string> DropObjectLines(const std::string& type, const std::string& name) {
  const std::string kw = DropKeyword(type);
  if (kw.empty()) return {};
  return {"DROP ", kw, Bracketed(name)};
}

void SweepObjects(wizard::TF_Main& f, const std::string& type, bool WithDefinition) {
  const std::string word = LogWord(type);
  auto& list = *f.MyDB.ADOQ_sysobjects;
  list.Close();
  list.Clear();
  f.AddLog("Otwarcie tabeli obiektów dla " + word, true);
  list.SetLines(ObjectListLines(type, f.ServerMajorVersion));
  wizard::OpenServer(list);
  const int count = list.RecordCount();
  list.First();
  f.AddLog("Operacja zakończona sukcesem", false);
  f.ui.SetProgress(app::ProgressBar::Object, 1, count, 1);

  schema::OpenObjectsTable(f.DM2);
  f.AddLog("Sprawdzanie tabeli obiektów dla " + word, true);

  int n = 0;
  while (!list.Eof()) {
    f.CurrentServerId = static_cast<std::int32_t>(list.Field("id").AsInteger());
    f.CurrentTableName = app::Trim(list.Field("name").AsString());
    f.ui.SetStatusText("Trwa sprawdzanie obiektu: " + f.CurrentTableName);
    try {
      SweepOne(f, type, WithDefinition);
    } catch (const wizard::LinkLost&) {
      throw;
    } catch (const db::OleError& e) {
      if (wizard::IsLinkLost(e) && !f.MyDB.ADOConn1.IsOpen()) throw wizard::LinkLost(e.code(), e.what());
      f.ShowError(db::FormatOleError(e.code(), e.what()));
    } catch (const std::exception& e) {
      f.ShowError(e.what());
    }
    list.Next();
    ++n;
    f.ui.SetProgress(app::ProgressBar::Object, 1, count, n);
    f.ui.ProcessMessages();
  }
  f.AddLog("Operacja zakończona sukcesem", false);
}

}  // namespace reconcile
