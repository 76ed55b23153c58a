#include "wizard/report.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/platform/fakes.h"

namespace fs = std::filesystem;

namespace {

using platform_test::FixedClock;

TEST(ReportFileName, DateAndTimeWithUnderscores) {
  EXPECT_EQ(wizard::ReportFileName({2026, 12, 9, 9, 5, 3}), "Modyfikacja_bazy_09-12-2026_09_05_03.DOC");
  EXPECT_EQ(wizard::ReportFileName({2026, 12, 9, 14, 5, 33}), "Modyfikacja_bazy_09-12-2026_14_05_33.DOC");
  EXPECT_EQ(wizard::ReportFileName({2026, 1, 2, 0, 0, 0}), "Modyfikacja_bazy_02-01-2026.DOC");
}

TEST(ReportRtf, WholeDocument) {
  EXPECT_EQ(wizard::ReportRtf({"", "14:05:33 Start", "{a}\\b"}),
            "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset238 Courier New;}}\r\n"
            "\\viewkind4\\uc1\\pard\\f0\\fs16 \\par\r\n"
            "14:05:33 Start\\par\r\n"
            "\\{a\\}\\\\b\\par\r\n"
            "}\r\n");
}

TEST(ReportRtf, PolishLettersAndOtherCharacters) {
  const std::string rtf = wizard::ReportRtf({"Zażółć ĄŚ", "x\ty", "€ 日 😀", "bell\x07!"});
  EXPECT_NE(rtf.find("Za\\u380\\'bf\\u243\\'f3\\u322\\'b3\\u263\\'e6 \\u260\\'a5\\u346\\'8c\\par"), std::string::npos)
      << rtf;
  EXPECT_NE(rtf.find("x\\tab y\\par"), std::string::npos) << rtf;
  // No cp1250 form: '?' as fallback; beyond 16 bits: two signed surrogate units.
  EXPECT_NE(rtf.find("\\u8364\\'80 \\u26085? \\u-10179?\\u-8704?\\par"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("bell!\\par"), std::string::npos) << rtf;
  for (char c : rtf) EXPECT_LT(static_cast<unsigned char>(c), 0x80) << "raw byte in " << rtf;
}

TEST(SaveReport, WritesIntoTheFolderAndReturnsThePath) {
  const fs::path dir = fs::temp_directory_path() / ("zr_report_" + std::to_string(getpid()));
  fs::create_directories(dir);
  FixedClock clock;
  const std::vector<std::string> lines = {"", "********* Operacja zakończona sukcesem"};
  const std::string path = wizard::SaveReport(lines, dir.string(), clock);
  EXPECT_EQ(path, (dir / "Modyfikacja_bazy_09-12-2026_14_05_33.DOC").string());
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  EXPECT_EQ(content.str(), wizard::ReportRtf(lines));
  // A second report in the same second replaces the first.
  EXPECT_EQ(wizard::SaveReport({"inny"}, dir.string() + "/", clock), path);
  std::ifstream again(path, std::ios::binary);
  std::stringstream second;
  second << again.rdbuf();
  EXPECT_EQ(second.str(), wizard::ReportRtf({"inny"}));
  fs::remove_all(dir);
}

TEST(SaveReport, MissingFolderThrowsWithThePath) {
  FixedClock clock;
  try {
    wizard::SaveReport({"x"}, "/no/such/Raporty", clock);
    FAIL() << "saved into a missing folder";
  } catch (const std::runtime_error& e) {
    const std::string m = e.what();
    EXPECT_NE(m.find("/no/such/Raporty/Modyfikacja_bazy_09-12-2026_14_05_33.DOC"), std::string::npos) << m;
    EXPECT_NE(m.find("No such file"), std::string::npos) << m;
  }
}

}  // namespace
