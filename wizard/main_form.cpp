#include "wizard/main_form.h"

#include <cstdio>

namespace wizard {

std::int32_t Version::Number() const {
  // 32-bit signed arithmetic, as the comparison has always been done.
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(major) * 1000000u +
                                   static_cast<std::uint32_t>(minor) * 1000u + static_cast<std::uint32_t>(sub));
}

std::string Version::Text() const {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d.%.3d.%.3d", major, minor, sub);
  return buf;
}

void TF_Main::ShowError(const std::string& text) {
  failures.push_back({text, {}});
  ui.ShowMessageDialog(app::dkError, text, app::dbClose, true);
}

}  // namespace wizard
