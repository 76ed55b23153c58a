#include "reconcile/objects/create.h"

#include "app/text.h"
#include "reconcile/objects/definition.h"
#include "reconcile/objects/dispatch.h"
#include "reconcile/objects/sweep.h"
#include "wizard/driver.h"

namespace reconcile {

std::string MissingObjectsLine(const std::string& type, int phase) {
  return "SELECT * FROM tblObjects WHERE (Sprawdzone = 0) And (ObiektIstnieje = 0) And (xtype =\"" + type +
         "\") and Priorytet = " + std::to_string(phase);
}

std::vector<std::string> CreateLines(const std::vector<std::string>& texts) {
  std::vector<std::string> out;
  for (const auto& t : texts) out.push_back(SendableLine(t));
  return out;
}

void AddMissingObjects(wizard::TF_Main& f, const std::string& type, bool WithDefinition) {
  const std::string word = LogWord(type);
  auto& q = *f.DM2.ADOQ_Objects;
  q.Close();
  q.Clear();
  f.AddLog("Otwarcie wzorców obiektów dla " + word, true);
  q.Add(MissingObjectsLine(type, f.CurrentPhase));
  q.Open();
  const int count = q.RecordCount();
  q.First();
  f.AddLog("Operacja zakończona sukcesem", false);
  f.ui.SetProgress(app::ProgressBar::Object, 1, count, 1);
  for (; !q.Eof(); q.Next()) {
    f.CurrentTemplateId = static_cast<std::int32_t>(q.Field("id").AsInteger());
    f.CurrentTableName = app::Trim(q.Field("name").AsString());
    f.AddLog("Brak obiektu " + f.CurrentTableName, true);
    if (WithDefinition) CreateDefinition(f);
    if (type == "U") CreateMissingTable(f);
    if (type == "F") CreateMissingForeignKey(f);
  }
}

void CreateDefinition(wizard::TF_Main& f) {
  auto& q = *f.MyDB.ADOQ_Alter;
  auto& tpl = *f.DM2.ADOQ_ObjectText;
  try {
    q.Close();
    q.Clear();
    tpl.Close();
    tpl.Clear();
    tpl.Add(ObjectTextLine(f.CurrentTemplateId));
    tpl.Open();
    tpl.First();
    q.SetLines(SetLinesBefore());
    wizard::ExecServer(q);
    q.Clear();
    if (!tpl.Eof()) {
      std::vector<std::string> texts;
      for (; !tpl.Eof(); tpl.Next()) texts.push_back(tpl.Field("Text").AsString());
      q.SetLines(CreateLines(texts));
      wizard::ExecServer(q);
      q.Clear();
      q.SetLines(SetLinesAfter());
      wizard::ExecServer(q);
      auto& row = *f.DM2.ADOQ_Objects;
      row.Edit();
      row.SetField("Sprawdzone", db::Value::Int(1));
      row.SetField("ObiektIstnieje", db::Value::Int(1));
      row.Post();
    } else {
      // Nothing was created: say so rather than report a success.
      const std::string text = "Wzorzec nie zawiera tekstu obiektu " + f.CurrentTableName + " - nie utworzono go";
      f.failures.push_back({text, {}});
      f.AddLog(text, true);
      return;
    }
    f.AddLog("Dodanie obiektu " + f.CurrentTableName + " zakończona sukcesem", true);
  } catch (const wizard::LinkLost&) {
    throw;
  } catch (const db::OleError& e) {
    f.ReportSqlError(e.code(), e.what(), q.Lines());
  } catch (const std::exception& e) {
    f.ShowError(e.what());
  }
}

}  // namespace reconcile
