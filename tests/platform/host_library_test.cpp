// The stand-in host library's report log and Esc state. (That the library reaches this same
// instance is shown by every test that reads the library's reports through it.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Zo32path.h"
#include "test_support.hpp"
#include "zo32comm.h"

namespace {

class HostLibraryTest : public ZoTest {};

TEST_F(HostLibraryTest, ReportsAreKeptInOrderWithFileNamesCut) {
  const std::string longName(100, 'f');
  c32SetDLLErrInfoA(nullptr, 1001, 1, 2600, "memory.cpp", 42);
  c32SetDLLErrInfoA(nullptr, 3200, 2, 7, longName.c_str(), -1);
  c32SetDLLErrInfoA(nullptr, 5, 0, 0, nullptr, 0);
  std::vector<Zo32CommReport> r = reports();
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].code, 1001u);
  EXPECT_EQ(r[0].level, 1u);
  EXPECT_EQ(r[0].module, 2600u);
  EXPECT_EQ(r[0].line, 42);
  EXPECT_STREQ(r[0].file, "memory.cpp");
  EXPECT_EQ(r[1].code, 3200u);
  EXPECT_EQ(r[1].line, -1);
  EXPECT_EQ(std::string(r[1].file), longName.substr(0, sizeof r[1].file - 1));
  EXPECT_STREQ(r[2].file, "");
}

TEST_F(HostLibraryTest, LogIsBoundedButKeepsCountingAndEscIsWhatTheHostSet) {
  const uint32_t total = ZO32COMM_MAX_REPORTS + 5;
  for (uint32_t i = 0; i < total; ++i) {
    c32SetDLLErrInfoA(nullptr, i, 0, 0, "x", static_cast<int32_t>(i));
  }
  EXPECT_EQ(zo32commReportCount(), total);
  Zo32CommReport r{};
  ASSERT_EQ(zo32commGetReport(ZO32COMM_MAX_REPORTS - 1, &r), 1);
  EXPECT_EQ(r.code, ZO32COMM_MAX_REPORTS - 1);  // the oldest reports are the kept ones
  EXPECT_EQ(zo32commGetReport(ZO32COMM_MAX_REPORTS, &r), 0);
  EXPECT_EQ(zo32commGetReport(0, nullptr), 0);
  zo32commClearReports();
  EXPECT_EQ(zo32commReportCount(), 0u);
  EXPECT_EQ(zo32commGetReport(0, &r), 0);
  EXPECT_EQ(zo32IsEscPressed(), 0);
  zo32commSetEscPressed(1);
  EXPECT_EQ(zo32IsEscPressed(), 1);
  zo32commSetEscPressed(0);
  EXPECT_EQ(zo32IsEscPressed(), 0);
}

}  // namespace
