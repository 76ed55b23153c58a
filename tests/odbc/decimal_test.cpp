#include "odbc/decimal.h"

#include <gtest/gtest.h>

namespace {

TEST(DecimalValue, KeepsEveryDigit) {
  EXPECT_EQ(odbc::DecimalValue("123456789012345678", 0), db::Value::Int(123456789012345678LL));
  EXPECT_EQ(odbc::DecimalValue("-42", 0), db::Value::Int(-42));
  EXPECT_EQ(odbc::DecimalValue("12.3400", 4), db::Value::Real(12.34));
  EXPECT_EQ(odbc::DecimalValue("-0.5000", 4), db::Value::Real(-0.5));
  EXPECT_EQ(odbc::DecimalValue("100.00", 2), db::Value::Real(100));
  EXPECT_EQ(odbc::DecimalValue("123456789012345.0000", 4), db::Value::Real(123456789012345.0));
  // Too many digits for a double, or too big for 64 bits: the text itself.
  EXPECT_EQ(odbc::DecimalValue("1234567890123456.7", 1), db::Value::Str("1234567890123456.7"));
  EXPECT_EQ(odbc::DecimalValue("99999999999999999999", 0), db::Value::Str("99999999999999999999"));
  EXPECT_EQ(odbc::DecimalValue("n/a", 2), db::Value::Str("n/a"));
}

}  // namespace
