// The progress log (memoLOG) and the report saved from it.
#pragma once

#include <string>
#include <vector>

#include "app/clock.h"
#include "app/ui.h"

namespace wizard {

class ProgressLog {
 public:
  // The log starts with one empty line, so every report begins with one.
  ProgressLog(app::Ui& ui, app::Clock& clock);

  // Appends "%.9s %s": the time of day ("HH:mm:ss") when `stamp`, else
  // "*********", a blank and `text`. A text with line breaks spans several
  // lines; only the first carries the prefix. Each line also goes to the
  // Ui's log view.
  void AddLog(const std::string& text, bool stamp);
  // Appends a line without prefix.
  void AddPlain(const std::string& line);

  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  void Append(const std::string& line);
  app::Ui& ui_;
  app::Clock& clock_;
  std::vector<std::string> lines_;
};

}  // namespace wizard
