#include "reconcile/objects/definition.h"

#include "app/text.h"
#include "wizard/driver.h"

namespace reconcile {

std::string NormalisedLine(const std::string& line) { return app::UpperAZ(app::Trim(line)); }

bool IsSkippableLine(const std::string& n) { return n.empty() || n.rfind("--", 0) == 0; }

bool IsCreateTableLine(const std::string& line) {
  const std::string u = app::UpperAZ(line);
  const auto at = u.find("CREATE");
  if (at == std::string::npos) return false;
  std::string r = u.substr(at + 6);
  if (r.empty()) return false;
  std::size_t blanks = 0;
  while (blanks < r.size() && r[blanks] == ' ') ++blanks;
  return blanks > 0 && r.compare(blanks, 5, "TABLE") == 0;
}

std::string SendableLine(const std::string& text) {
  std::string l = app::TrimRight(text);
  std::string out;
  for (char c : l)
    if (c != '\n') out += c;
  l.swap(out);
  out.clear();
  for (char c : l)
    if (c != '\r') out += c;
  return out;
}

std::vector<std::string> AlterLines(const std::vector<std::string>& texts) {
  std::vector<std::string> out;
  bool replaced = false;
  for (const auto& t : texts) {
    std::string l = SendableLine(t);
    if (!replaced && app::UpperAZ(app::Trim(l)).rfind("CREATE", 0) == 0 && !IsCreateTableLine(l)) {
      const auto at = app::UpperAZ(l).find("CREATE");
      l.replace(at, 6, "ALTER");
      replaced = true;
    }
    out.push_back(l);
  }
  return out;
}

std::vector<std::string> SetLinesBefore() { return {"SET QUOTED_IDENTIFIER OFF", "SET ANSI_NULLS OFF"}; }
std::vector<std::string> SetLinesAfter() { return {"SET QUOTED_IDENTIFIER OFF", "SET ANSI_NULLS ON"}; }

std::string HelpTextLine(const std::string& name) { return "exec sp_helptext " + app::QuotedStr(name); }

std::string ObjectTextLine(int id) {
  return "SELECT * FROM tblObjectText WHERE ID = " + std::to_string(id) + " ORDER BY ID, ROWID";
}

void CompareDefinition(wizard::TF_Main& f) {
  auto& srv = *f.MyDB.ADOQ_sp_helptext;
  auto& tpl = *f.DM2.ADOQ_ObjectText;
  try {
    srv.Close();
    srv.Clear();
    srv.Add(HelpTextLine(f.CurrentTableName));
    wizard::OpenServer(srv);
    srv.First();
    tpl.Close();
    tpl.Clear();
    tpl.Add(ObjectTextLine(f.CurrentTemplateId));
    tpl.Open();
    tpl.First();

    bool equal = true;
    while (!srv.Eof() || !tpl.Eof()) {
      try {
        const std::string s = srv.Eof() ? std::string() : NormalisedLine(srv.Field("text").AsString());
        const std::string t = tpl.Eof() ? std::string() : NormalisedLine(tpl.Field("Text").AsString());
        bool skip = false;
        if (IsSkippableLine(s)) {
          srv.Next();
          skip = !srv.Eof();
        }
        if (IsSkippableLine(t)) {
          tpl.Next();
          skip = !tpl.Eof();
        }
        if (skip) continue;
        if (t != s) {
          f.AddLog("Stwierdzono różnicę w " + f.CurrentTableName, true);
          AlterDefinition(f);
          equal = false;
          break;
        }
        srv.Next();
        tpl.Next();
      } catch (const wizard::LinkLost&) {
        throw;
      } catch (const std::exception& e) {
        f.ShowError(e.what());
        // Always move on, also when the server list has ended, so that a
        // line that cannot be read does not repeat the error forever.
        if (srv.Eof()) tpl.Next();
        srv.Next();
      }
    }
    if (equal) {
      if (f.options.chbRebuildAll) AlterDefinition(f);
      auto& row = *f.DM2.ADOT_Objects;
      row.Edit();
      row.SetField("Sprawdzone", db::Value::Int(1));
      row.Post();
    }
  } catch (const wizard::LinkLost&) {
    throw;
  } catch (const db::OleError& e) {
    f.ShowError(db::FormatOleError(e.code(), e.what()));
  } catch (const std::exception& e) {
    f.ShowError(e.what());
  }
}

void AlterDefinition(wizard::TF_Main& f) {
  auto& q = *f.MyDB.ADOQ_Alter;
  auto& tpl = *f.DM2.ADOQ_ObjectText;
  try {
    q.Close();
    q.Clear();
    tpl.First();
    q.SetLines(SetLinesBefore());
    wizard::ExecServer(q);
    q.Clear();
    std::vector<std::string> texts;
    for (tpl.First(); !tpl.Eof(); tpl.Next()) texts.push_back(tpl.Field("Text").AsString());
    q.SetLines(AlterLines(texts));
    wizard::ExecServer(q);
    q.Clear();
    q.SetLines(SetLinesAfter());
    wizard::ExecServer(q);
    f.AddLog("Modyfikacja obiektu " + f.CurrentTableName + " zakończona sukcesem", true);
  } catch (const wizard::LinkLost&) {
    throw;
  } catch (const db::OleError& e) {
    f.ReportSqlError(e.code(), e.what(), q.Lines());
  } catch (const std::exception& e) {
    f.ShowError(e.what());
  }
}

}  // namespace reconcile
