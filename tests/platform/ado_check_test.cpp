#include "app/ado_check.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "app/locale.h"
#include "tests/platform/fakes.h"

namespace {

using platform_test::RecordingUi;

app::AdoVersionProbe Text(const char* t) {
  return [t] { return std::optional<std::string>(t); };
}

const char* const kMissing = "Biblioteka ADO OLE DB NIE ZAINSTALOWANA !!!";

TEST(ReadAdoVersion, ConvertsOnlyPlainNumbers) {
  double v = -1;
  EXPECT_TRUE(app::ReadAdoVersion(v, Text("2.8")));
  EXPECT_DOUBLE_EQ(v, 2.8);
  EXPECT_TRUE(app::ReadAdoVersion(v, Text("3.52")));
  EXPECT_DOUBLE_EQ(v, 3.52);
  for (const char* bad : {"2.8.1", "", "wersja", "v2.8", "2..8"}) {
    v = -1;
    EXPECT_FALSE(app::ReadAdoVersion(v, Text(bad))) << bad;
    EXPECT_EQ(v, -1) << bad;
  }
  EXPECT_FALSE(app::ReadAdoVersion(v, [] { return std::optional<std::string>(); }));
  EXPECT_FALSE(app::ReadAdoVersion(v, []() -> std::optional<std::string> { throw std::runtime_error("boom"); }));
}

TEST(ReadAdoVersion, WorksWhateverSeparatorIsInForce) {
  app::Formats().decimalSeparator = '.';
  double v = 0;
  EXPECT_TRUE(app::ReadAdoVersion(v, Text("2.1")));
  EXPECT_DOUBLE_EQ(v, 2.1);
  EXPECT_EQ(app::Formats().decimalSeparator, '.');
  app::ApplyLocaleFormats();
}

TEST(AdoVersionText, PointAndAtLeastOneDecimal) {
  EXPECT_EQ(app::AdoVersionText(2.0), "2.0");
  EXPECT_EQ(app::AdoVersionText(2.1), "2.1");
  EXPECT_EQ(app::AdoVersionText(3.52), "3.52");
  EXPECT_EQ(app::AdoVersionText(10), "10.0");
}

TEST(CheckAdoVersion, MinimumAndMessages) {
  struct Case {
    const char* probe;
    bool ok;
    const char* message;
  } cases[] = {
      {"2.1", true, nullptr},
      {"2.8", true, nullptr},
      {"3.52", true, nullptr},
      {"2.0", false,
       "Biblioteka ADO OLE DB zainstalowana ale wystąpił BŁĄD WERSJI !!!\r"
       "Bieżący numer wersji = 2.0, wymagany >= 2.1"},
      {"1.99", false,
       "Biblioteka ADO OLE DB zainstalowana ale wystąpił BŁĄD WERSJI !!!\r"
       "Bieżący numer wersji = 1.99, wymagany >= 2.1"},
      {"2.8.1", false, kMissing},
      {"garbage", false, kMissing},
  };
  for (const Case& c : cases) {
    RecordingUi ui;
    EXPECT_EQ(app::CheckAdoVersion(ui, Text(c.probe)), c.ok) << c.probe;
    if (c.ok) {
      EXPECT_TRUE(ui.dialogs.empty()) << c.probe;
      continue;
    }
    ASSERT_EQ(ui.dialogs.size(), 1u) << c.probe;
    EXPECT_EQ(ui.dialogs[0].kind, app::dkError);
    EXPECT_EQ(ui.dialogs[0].text, c.message);
    EXPECT_EQ(ui.dialogs[0].buttons, static_cast<unsigned>(app::dbClose));
    EXPECT_TRUE(ui.dialogs[0].modal);
  }
}

TEST(CheckAdoVersion, NoLibraryAtAll) {
  RecordingUi ui;
  EXPECT_FALSE(app::CheckAdoVersion(ui, [] { return std::optional<std::string>(); }));
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].text, kMissing);
}

TEST(CheckAdoVersion, TheInstalledDriverManagerPasses) {
  ASSERT_TRUE(app::InstalledAdoVersionText().has_value());
  RecordingUi ui;
  EXPECT_TRUE(app::CheckAdoVersion(ui));
  EXPECT_TRUE(ui.dialogs.empty());
}

}  // namespace
