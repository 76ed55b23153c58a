#include <gtest/gtest.h>

#include "app/text.h"

TEST(Text, TrimRemovesControlCharactersAndBlanks) {
  EXPECT_EQ(app::Trim("\t  a b \r\n"), "a b");
  EXPECT_EQ(app::TrimRight("  a \r\n"), "  a");
  EXPECT_EQ(app::Trim(""), "");
}

TEST(Text, UpperCaseFoldsOnlyAsciiLetters) {
  EXPECT_EQ(app::UpperAZ("zażółć Ab"), "ZAżółć AB");
  EXPECT_TRUE(app::SameText("Tabela", "TABELA"));
  EXPECT_FALSE(app::SameText("ł", "Ł"));
}

TEST(Text, QuotedStrDoublesQuotes) { EXPECT_EQ(app::QuotedStr("O'Neil"), "'O''Neil'"); }

TEST(Text, SplitLinesAcceptsEveryLineEnd) {
  EXPECT_EQ(app::SplitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(app::SplitLines("x"), std::vector<std::string>{"x"});
}
