// The allocation-failure sweep: every allocating call is run with its 1st, 2nd, ... allocation
// failing until it succeeds. Each failed run must return the failure value, report 1001 exactly
// when the call promises to, leave its inputs as they were and leak nothing.
//
// A test folder lists its calls in one table of SweepCase and hands it to run_alloc_sweep().
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Zo32path.h"
#include "Zo32path_platform.h"
#include "zo32comm.h"

namespace zo_test {

// One run of a call on freshly built inputs.
struct Scenario {
  std::function<bool()> attempt;        // runs the call once; true when it succeeded
  std::function<std::string()> inputs;  // deep snapshot of everything the call may touch
  std::function<void()> release;        // releases inputs and, after success, the result
};

struct SweepCase {
  const char* name;
  bool reportsNoMemory;  // whether a failure is reported to the host as 1001
  std::function<Scenario()> make;
};

struct LiveCounts {
  size_t heap, mem, global;
  bool operator==(const LiveCounts&) const = default;
};
inline LiveCounts live_counts() {
  return {ZoPlatHeapLiveBlocks(), ZoPlatMemLiveBlocks(), ZoPlatGlobalLiveBlocks()};
}

inline uint32_t no_memory_reports() {
  uint32_t n = 0;
  for (uint32_t i = 0; i < zo32commReportCount(); ++i) {
    Zo32CommReport r;
    zo32commGetReport(i, &r);
    EXPECT_EQ(r.module, 2600u);
    if (r.code == 1001 && r.level == 1) ++n;
  }
  return n;
}

inline void run_alloc_sweep(const std::vector<SweepCase>& cases) {
  for (const SweepCase& c : cases) {
    SCOPED_TRACE(c.name);
    LiveCounts before = live_counts();
    bool succeeded = false;
    for (uint32_t n = 1; n < 200 && !succeeded; ++n) {
      Scenario s = c.make();
      std::string inputs = s.inputs();
      LiveCounts start = live_counts();
      zo32commClearReports();
      ZoPlatFailAllocation(n);
      succeeded = s.attempt();
      bool failureStillPending = ZoPlatAllocationFailurePending() != 0;
      ZoPlatFailAllocation(0);
      if (succeeded) {
        EXPECT_TRUE(failureStillPending) << "succeeded although allocation " << n << " failed";
        EXPECT_GT(n, 1u) << "a call that allocates must fail when its first allocation does";
      } else {
        SCOPED_TRACE("failing allocation " + std::to_string(n));
        EXPECT_FALSE(failureStillPending) << "failed without an allocation failing";
        EXPECT_EQ(s.inputs(), inputs);
        EXPECT_TRUE(live_counts() == start) << "leaked blocks";
        EXPECT_EQ(no_memory_reports(), c.reportsNoMemory ? 1u : 0u);
      }
      s.release();
    }
    EXPECT_TRUE(succeeded);
    EXPECT_TRUE(live_counts() == before);
  }
}

}  // namespace zo_test
