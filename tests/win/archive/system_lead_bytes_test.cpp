// Runs the archive-name table against the lead bytes that Windows reports
// for the ANSI code page, which is 932 in the test prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include "archive/path_rules.h"
#include "tests/unit/archive/archive_name_table.h"

namespace {

TEST(SystemLeadBytes, AreThoseOfCodePage932) {
  ASSERT_EQ(GetACP(), 932u);
  EXPECT_TRUE(systemLeadBytes() == LeadByteSet::codePage932());
}

}  // namespace
