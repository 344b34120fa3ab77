// Shared test helpers: the fixture base every test derives from, and read access to what the
// library told the host (error reports) and the debug trace.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Zo32path.h"
#include "zo32comm.h"

// Starts each test from a known state: library initialised, no error reports, empty trace,
// Esc key up.
// Switches the allocation-failure switch off afterwards, so a test that leaves a failure
// pending cannot break the next one.
class ZoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(ZoPathInit(), ZOPATH_VERSION);
    zo32commClearReports();
    ZoPlatTraceClear();
    zo32commSetEscPressed(0);
  }
  void TearDown() override { ZoPlatFailAllocation(0); }
};

// The error reports the library has made since the test started (those the log kept).
inline std::vector<Zo32CommReport> reports() {
  std::vector<Zo32CommReport> out;
  uint32_t n = zo32commReportCount();
  for (uint32_t i = 0; i < n; ++i) {
    Zo32CommReport r{};
    if (zo32commGetReport(i, &r) == 0) break;
    out.push_back(r);
  }
  return out;
}

// The debug trace text kept since the test started.
inline std::string trace_text() {
  std::string text(ZoPlatTraceRead(nullptr, 0), '\0');
  ZoPlatTraceRead(text.data(), text.size() + 1);
  return text;
}
