#include "cli/headless.h"

#include <algorithm>

#include "wizard/sql_error.h"

namespace cli {

HeadlessUi::HeadlessUi(std::FILE* out, std::FILE* err, app::Clock& clock)
    : out_(out), err_(err), clock_(clock), dialog_(*this, app::kDialogClientWidth) {}

int HeadlessUi::ShowMessageDialog(int kind, const std::string& text, unsigned buttons, bool modal) {
  return dialog_.ShowMessageDialog(kind, text, buttons, modal);
}

void HeadlessUi::Print(const app::DialogLayout& layout, const std::string& text, const char* answer) {
  std::string buttons;
  for (const auto& b : layout.buttons) {
    std::string c = b.spec.caption;
    c.erase(std::remove(c.begin(), c.end(), '&'), c.end());
    buttons += buttons.empty() ? c : "/" + c;
  }
  std::fprintf(err_, "[%s] %s [%s]%s%s\n", layout.title.c_str(), text.c_str(), buttons.c_str(),
               answer ? " -> " : "", answer ? answer : "");
  std::fflush(err_);
}

int HeadlessUi::RunModal(const app::DialogLayout& layout, const std::string& text) {
  // Policy: "&Nie" when offered, else "&Zamknij", else the first button.
  const app::PlacedButton* pick = nullptr;
  for (const auto& b : layout.buttons)
    if (b.spec.flag == app::dbNo) pick = &b;
  if (!pick)
    for (const auto& b : layout.buttons)
      if (b.spec.flag == app::dbClose) pick = &b;
  if (!pick && !layout.buttons.empty()) pick = &layout.buttons.front();
  std::string answer;
  if (pick) {
    answer = pick->spec.caption;
    answer.erase(std::remove(answer.begin(), answer.end(), '&'), answer.end());
  }
  Print(layout, text, pick ? answer.c_str() : nullptr);
  return pick ? pick->spec.result : app::mrNone;
}

void HeadlessUi::ShowModeless(const app::DialogLayout& layout, const std::string& text) { Print(layout, text, nullptr); }

void HeadlessUi::ShowWaitWindow(const std::string& title, const std::string& message) {
  std::fprintf(err_, "[%s] %s\n", title.c_str(), message.c_str());
  std::fflush(err_);
}

void HeadlessUi::SetStatusText(const std::string& text) {
  // The closing sequence and the animations repeat a text often; print a
  // change only.
  if (text == lastStatus_) return;
  lastStatus_ = text;
  std::fprintf(err_, "%s\n", text.c_str());
  std::fflush(err_);
}

void HeadlessUi::AppendLogLine(const std::string& line) {
  std::fprintf(out_, "%s\n", line.c_str());
  std::fflush(out_);
}

void HeadlessUi::ShowRepairEditor(const std::vector<std::string>& lines, const RepairEditorActions&) {
  try {
    const std::string path = wizard::SaveStatementUnique(reportsFolder_, clock_.Now(), lines);
    saved_.push_back(path);
    std::fprintf(err_, "Zapisano błędną instrukcję: %s\n", path.c_str());
  } catch (const std::exception& e) {
    std::fprintf(err_, "Nie zapisano błędnej instrukcji: %s\n", e.what());
  }
  std::fflush(err_);
}

}  // namespace cli
