#include <gtest/gtest.h>

#include "sqlsim/server.h"
#include "tests/sqlsim/fixture.h"

TEST(SimSmoke, Loads) {
  sqlsim::Server s;
  try {
    s.Load(simtest::kScript);
  } catch (const sqlsim::SqlError& e) {
    FAIL() << sqlsim::FormatMessages(e.messages());
  }
  auto rs = s.Execute("SELECT NAME AS DATABASE_NAME FROM SYS.DATABASES ORDER BY NAME");
  ASSERT_FALSE(rs.rows.empty());
}
