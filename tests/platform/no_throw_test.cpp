// No exception or abort leaves the library when memory runs out for real: in a child process
// with a tight address-space limit, huge renders and buffers fail with their failure values
// and error 1001, and the process ends normally.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "test_support.hpp"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// The body's status from a child process limited to `bytes` of address space; 128 + the
// signal when it was killed (an uncaught exception aborts).
int in_limited_child(rlim_t bytes, const std::function<int()>& body) {
  pid_t pid = fork();
  if (pid == 0) {
    rlimit limit{bytes, bytes};
    if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(90);
    _exit(body());
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool reported_no_memory() {
  std::vector<Zo32CommReport> r = reports();
  return !r.empty() && r.back().code == 1001 && r.back().module == ZOPATH_MODULE;
}

class NoThrowTest : public ZoTest {};

TEST_F(NoThrowTest, HugeRendersUnderAMemoryLimitFailCleanly) {
  if (kSanitized) GTEST_SKIP() << "the sanitizers reserve more address space than the limit";
  ZoPath* triangle = ZoPathCreate();
  ASSERT_NE(triangle, nullptr);
  const Ptfx corners[] = {{0, 0}, {100 << 16, 0}, {100 << 16, 100 << 16}};
  const uint16_t types[] = {PT_MOVETO, PT_LINETO, PT_LINETO | PT_CLOSEFIGURE};
  for (int i = 0; i < 3; ++i) ASSERT_EQ(ZoPathAddPoint(&triangle, &corners[i], types[i]), 1u);
  // format, mode, scale: every mask kind, 500 to 1000 times enlarged (gigabytes of pixels).
  const uint32_t cases[][3] = {{8, 0, 500}, {4, 0, 500}, {16, 0, 1000}, {8, 1, 1000}, {8, 3, 500}};
  int status = in_limited_child(512u << 20, [&] {
    for (const auto& c : cases) {
      zo32commClearReports();
      RECT* rects = nullptr;
      uint8_t** buffers = nullptr;
      if (ZoPathToBuf(triangle, c[0], 0, 1, c[1], c[2] << 16, &rects, &buffers, 0) != 0) return 1;
      if (rects != nullptr || buffers != nullptr || !reported_no_memory()) return 2;
    }
    zo32commClearReports();
    if (ZoPathBufAlloc(32, 60000, 60000) != nullptr || !reported_no_memory()) return 3;
    return 0;
  });
  EXPECT_EQ(status, 0);
  ZoPathDeletePtrSingle(triangle);
}

}  // namespace
