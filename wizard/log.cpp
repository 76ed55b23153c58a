#include "wizard/log.h"

#include "app/locale.h"
#include "app/text.h"

namespace wizard {
namespace {

// The first `n` characters of a UTF-8 text (a character is never split).
std::string FirstChars(const std::string& s, std::size_t n) {
  std::size_t i = 0, count = 0;
  while (i < s.size() && count < n) {
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    ++count;
  }
  return s.substr(0, i);
}

}  // namespace

ProgressLog::ProgressLog(app::Ui& ui, app::Clock& clock) : ui_(ui), clock_(clock) {
  Append("");
}

void ProgressLog::AddLog(const std::string& text, bool stamp) {
  const std::string prefix = stamp ? app::FormatLongTime(clock_.Now()) : std::string("*********");
  std::vector<std::string> parts = app::SplitLines(text);
  parts.front() = FirstChars(prefix, 9) + " " + parts.front();
  for (const std::string& p : parts) Append(p);
}

void ProgressLog::AddPlain(const std::string& line) {
  for (const std::string& p : app::SplitLines(line)) Append(p);
}

void ProgressLog::Append(const std::string& line) {
  lines_.push_back(line);
  ui_.AppendLogLine(line);
}

}  // namespace wizard
