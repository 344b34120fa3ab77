// Out of memory at every allocation of the editing calls that allocate: each returns its
// failure value, reports 1001, leaves the table, its records and the display buffer as they
// were and leaks nothing.
#include <memory>

#include "../support/alloc_sweep.hpp"
#include "edit_helpers.hpp"

namespace {

using namespace zo_edit_test;
using zo_test::Scenario;
using zo_test::SweepCase;

class EditAllocFailureTest : public ZoTest {};

// A desk over one trimmed path (no spare node room, so any growth reallocates).
std::shared_ptr<Desk> desk_with(const char* text, uint32_t flags) {
  ZoPath* p = path_from(text, flags);
  ZoPathPurge(&p);
  auto d = std::make_shared<Desk>(std::vector<ZoPath*>{p});
  d->table->groups[0].selected = (flags & ZOF_SELECTED) ? p : nullptr;
  return d;
}

std::string state_of(const Desk& d) {
  return zo_test::snapshot_table(d.table) +
         std::string(reinterpret_cast<const char*>(d.view->lpDB), size_t(d.w * d.h));
}

Scenario on_desk(std::shared_ptr<Desk> d, std::function<bool(Desk&)> call) {
  return Scenario{[d, call] { return call(*d); }, [d] { return state_of(*d); },
                  [d]() mutable { d.reset(); }};
}

SweepCase subdivide_case(const char* name, const char* text, uint32_t flags, uint32_t index) {
  return {name, true, [=] {
            return on_desk(desk_with(text, flags), [index](Desk& d) {
              ZoPathHit hit{0, d.at(0), index, 20000};
              return ZoPathHitAct(18019, d.dc, d.view, d.table, &hit) == 1;
            });
          }};
}

TEST_F(EditAllocFailureTest, EveryAllocatingEditingCallFailsCleanly) {
  const uint32_t star = ZOF_SELECTED | ZOF_POLY_STYLE1 | (3u << 5);
  std::vector<SweepCase> cases = {
      {"ZoPathCopySelectStatus", true,
       [] {
         auto d = desk_with("M 0 0 s L 10 0 g L 10 10", ZOF_SELECTED);
         auto out = std::make_shared<ZoPathSelectStatus*>(nullptr);
         return Scenario{[d, out] { return (*out = ZoPathCopySelectStatus(d->at(0))) != nullptr; },
                         [d] { return state_of(*d); },
                         [d, out]() mutable {
                           ZoPathCleanSelectStatusClipboard(*out);
                           d.reset();
                         }};
       }},
      {"ZoPathConvertSelectedSegment (grows the record)", true,
       [] {
         return on_desk(
             desk_with("M 10 10 g L 60 10 g L 60 60 L 10 10 Z", ZOF_SELECTED | ZOF_HAS_SEL_SEGMENT),
             [](Desk& d) {
               RECT dirty;
               return ZoPathConvertSelectedSegment(d.view, d.table, &dirty, 1) == 1;
             });
       }},
      subdivide_case("ZoPathHitAct 18019 on a line", "M 10 10 L 60 10 s L 60 60", ZOF_SELECTED, 0),
      subdivide_case("ZoPathHitAct 18019 on a curve", "M 10 10 C 20 0 50 0 60 10", 0, 0),
      subdivide_case("ZoPathHitAct 18019 on a polygon", "M 50 10 L 90 80 L 10 80 L 50 10 Z", star,
                     1),
  };
  zo_test::run_alloc_sweep(cases);
}

}  // namespace
