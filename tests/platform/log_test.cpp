#include "wizard/log.h"

#include <gtest/gtest.h>

#include "app/locale.h"
#include "tests/platform/fakes.h"

namespace {

using platform_test::FixedClock;
using platform_test::RecordingUi;

TEST(ProgressLog, LinesPrefixesAndTheUiView) {
  RecordingUi ui;
  FixedClock clock;
  wizard::ProgressLog log(ui, clock);
  log.AddLog("Faza 1", false);
  log.AddLog("Tabela [Klienci]", true);
  clock.now = {2026, 12, 9, 9, 5, 3};
  log.AddLog("", true);
  log.AddLog("Microsoft SQL Server 2005\r\n\tCopyright\nEnterprise", true);
  log.AddPlain("GRANT dla roli: r1");
  log.AddPlain("");
  const std::vector<std::string> expected = {
      "",
      "********* Faza 1",
      "14:05:33 Tabela [Klienci]",
      "09:05:03 ",
      "09:05:03 Microsoft SQL Server 2005",
      "\tCopyright",
      "Enterprise",
      "GRANT dla roli: r1",
      "",
  };
  EXPECT_EQ(log.Lines(), expected);
  EXPECT_EQ(ui.logLines, expected);
}

TEST(ProgressLog, PrefixIsCutToNineCharacters) {
  RecordingUi ui;
  FixedClock clock;
  app::Formats().longTimeFormat = "HH:mm:ss 'po południu'";
  wizard::ProgressLog log(ui, clock);
  log.AddLog("tekst", true);
  app::Formats().longTimeFormat = "HH:mm:ss";
  EXPECT_EQ(log.Lines().back(), "14:05:33  tekst");
}

}  // namespace
