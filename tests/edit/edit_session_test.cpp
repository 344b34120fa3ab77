// A scripted editing session: clicks, shift-clicks, toggles, rubber bands, node and segment
// commands and segment conversion on a table of several paths, with the flags, node marks,
// the selection chain and the handles on the device context checked after every step.
#include "edit_helpers.hpp"

namespace {

using namespace zo_edit_test;
using zo_test::describe;

class EditSessionTest : public ModelTest {};

struct Step {
  const char* what;
  std::function<void(Desk&)> act;
  const char* chain;  // selection chain after the step, as list positions
};

ZoPathHit hit_at(Desk& d, int64_t point) {
  ZoPathHit h{point, nullptr, 0, 0};
  d.click(point, ZOHIT_TEST, &h.path, &h.index, &h.param);
  return h;
}

uint16_t type_of(ZoPath* p, uint32_t i) { return ZoPathNodes(p)[i].type; }

TEST_F(EditSessionTest, EveryStepLeavesFlagsChainAndHandlesInAgreement) {
  ZoPath* p1 = path_from(
      "M 100.5 20.5 C 120.5 0.5 150.5 0.5 170.5 20.5 L 170.5 50.5 L 100.5 50.5 "
      "L 100.5 20.5 Z");
  ZoPath* p2 = path_from("M 120.5 30.5 L 150.5 30.5 L 150.5 40.5 L 120.5 30.5 Z");
  zo_test::link_join({p1, p2});
  Desk d({path_from("M 10.5 10.5 L 60.5 10.5 L 60.5 40.5"), p1, p2,
          path_from("M 20.5 80.5 L 80.5 80.5 L 80.5 120.5 L 20.5 120.5 L 20.5 80.5 Z")});
  ZoPath* p3 = d.at(3);
  std::string lineShape;
  auto command = [](uint32_t cmd, int64_t point) {
    return [cmd, point](Desk& desk) {
      ZoPathHit h = hit_at(desk, point);
      ASSERT_NE(h.path, nullptr);
      ASSERT_EQ(ZoPathHitAct(cmd, desk.dc, desk.view, desk.table, &h), 1u);
    };
  };
  auto band = [](RECT r, uint32_t how, uint32_t result, uint32_t out) {
    return [=](Desk& desk) {
      uint32_t changed = 7;
      EXPECT_EQ(ZoPathRectClip(&r, desk.table, desk.dc, desk.view, how, &changed), result);
      EXPECT_EQ(changed, out);
    };
  };
  auto convert = [&](uint32_t toKind, uint32_t result, uint32_t count) {
    return [=, &lineShape](Desk& desk) {
      RECT dirty;
      EXPECT_EQ(ZoPathConvertSelectedSegment(desk.view, desk.table, &dirty, toKind), result);
      EXPECT_EQ(desk.at(3)->count, count);
      EXPECT_GT(desk.highlighted(), 0) << "the converted segment stays highlighted";
      if (count == 5) {
        EXPECT_EQ(describe(desk.at(3)), lineShape);
      }
    };
  };
  const std::vector<Step> script = {
      {"click a line body", [](Desk& k) { EXPECT_EQ(k.click(pack(36, 11), ZOHIT_REPLACE), 1u); },
       "0"},
      {"shift-click another",
       [](Desk& k) {
         EXPECT_EQ(k.click(pack(51, 121), ZOHIT_ADD), 1u);
         EXPECT_EQ(ZoPathGetSelectedGroupsNumber(k.table), 2u);
       },
       "03"},
      {"click a joined shape's node",
       [&](Desk& k) {
         uint32_t index = 0;
         EXPECT_EQ(k.click(pack(171, 51), ZOHIT_REPLACE, nullptr, &index), 1u);
         EXPECT_EQ(index, 4u);
         EXPECT_EQ(k.table->groups[0].selected, p1);
         EXPECT_EQ(ZoPathGetSelectedGroupsNumber(k.table), 1u) << "one joined shape";
         EXPECT_EQ(ZoPathGetSelState(k.table, nullptr), 1u) << "linked to its joined record";
       },
       "12"},
      {"toggle it off through its second record",
       [](Desk& k) { EXPECT_EQ(k.click(pack(136, 31), ZOHIT_TOGGLE), 2u); }, ""},
      {"click nothing", [](Desk& k) { EXPECT_EQ(k.click(pack(100, 120), ZOHIT_REPLACE), 3u); }, ""},
      {"test only, add, nothing selected: the catch alone counts",
       band(RECT{0, 0, 70, 50}, 1 | ZOHIT_TEST | ZOHIT_ADD, 1, 1), ""},
      {"select the rectangle: four anchors, its first node stands for none",
       [](Desk& k) {
         EXPECT_EQ(k.click(pack(81, 101), ZOHIT_REPLACE), 1u);
         RECT all{0, 60, 100, 140};
         EXPECT_EQ(ZoPathPtInRect(&all, k.at(3), k.view, 0, nullptr), 4u);
         EXPECT_EQ(ZoPathGetSelState(k.table, nullptr), 2u);
       },
       "3"},
      {"toggle the anchor in a band, and back",
       [&](Desk& k) {
         RECT r{70, 110, 90, 130};
         EXPECT_EQ(ZoPathRectClipPt(&r, p3, 0, k.view, 3), 1u);
         EXPECT_TRUE(type_of(p3, 2) & PT_SELECTED);
         EXPECT_EQ(ZoPathRectClipPt(&r, p3, 0, k.view, 4), 1u);
         EXPECT_FALSE(type_of(p3, 2) & PT_SELECTED);
       },
       "3"},
      {"click its node: that node alone",
       [&](Desk& k) {
         EXPECT_EQ(k.click(pack(81, 121), ZOHIT_REPLACE), 2u);
         EXPECT_TRUE(type_of(p3, 2) & PT_SELECTED);
         EXPECT_EQ(ZoPathGetSelState(k.table, nullptr), 3u);
       },
       "3"},
      {"click its first node: the closing node stands for it",
       [&](Desk& k) {
         EXPECT_EQ(k.click(pack(21, 81), ZOHIT_REPLACE), 2u);
         EXPECT_EQ(type_of(p3, 4) & PT_SELECTED, PT_SELECTED);
         EXPECT_EQ(type_of(p3, 2) & PT_SELECTED, 0);
         EXPECT_EQ(type_of(p3, 0) & PT_SELECTED, 0);
       },
       "3"},
      {"add node 2", command(18036, pack(81, 121)), "3"},
      {"toggle node 2 off", command(18035, pack(81, 121)), "3"},
      {"toggle the last selected node off: the points flag goes",
       [&](Desk& k) {
         command(18035, pack(21, 81))(k);
         EXPECT_EQ(p3->flags & ZOF_HAS_SEL_POINTS, 0u);
       },
       "3"},
      {"select segment 1",
       [&](Desk& k) {
         command(18026, pack(81, 101))(k);
         EXPECT_TRUE(type_of(p3, 1) & PT_SEGMENT_MARK);
         EXPECT_GT(k.highlighted(), 30);
         EXPECT_EQ(ZoPathGetSelState(k.table, nullptr), 4u);
         EXPECT_EQ(ZoPathGetSelectedSegmentType(p3), 1u) << "a line";
         lineShape = describe(p3);
       },
       "3"},
      {"convert it to a curve", convert(1, 1, 7), "3"},
      {"and back with the either-way switch", convert(3, 1, 5), "3"},
      {"and again to a curve and back", [&](Desk& k) { convert(1, 1, 7)(k), convert(2, 1, 5)(k); },
       "3"},
      {"to lines when there is no curve", convert(2, 0, 5), "3"},
      {"unpick every segment",
       [](Desk& k) {
         RECT dirty;
         EXPECT_EQ(ZoPathUnpickSegment(k.view, k.table, nullptr, &dirty), 1u);
         EXPECT_EQ(k.highlighted(), 0);
         EXPECT_GT(dirty.right, dirty.left);
       },
       "3"},
      {"rubber band crossing, replace", band(RECT{0, 0, 70, 130}, 1 | ZOHIT_REPLACE, 1, 1), "03"},
      {"and again: nothing changes", band(RECT{0, 0, 70, 130}, 1 | ZOHIT_REPLACE, 1, 0), "03"},
      {"rubber band inside, add, dragged backwards",
       band(RECT{200, 60, 90, 0}, 2 | ZOHIT_ADD, 1, 1), "0123"},
      {"rubber band crossing, toggle", band(RECT{0, 0, 70, 50}, 1 | ZOHIT_TOGGLE, 1, 1), "123"},
      {"rubber band test only", band(RECT{0, 0, 70, 50}, 1 | ZOHIT_TEST | ZOHIT_REPLACE, 1, 1),
       "123"},
      {"test only over nothing, add: the selection alone counts",
       band(RECT{180, 140, 199, 159}, 1 | ZOHIT_TEST | ZOHIT_ADD, 1, 0), "123"},
      {"rubber band over nothing", band(RECT{180, 140, 199, 159}, 2 | ZOHIT_ADD, 2, 0), "123"},
      {"select path command", command(18001, pack(36, 11)), "0"},
      {"toggle path command", command(18031, pack(36, 11)), ""},
      {"deselect all",
       [](Desk& k) {
         ZoPathHit none{0, nullptr, 0, 0};
         EXPECT_EQ(ZoPathHitAct(18002, k.dc, k.view, k.table, &none), 1u);
       },
       ""},
  };
  for (const Step& step : script) {
    SCOPED_TRACE(step.what);
    step.act(d);
    EXPECT_EQ(d.chain(), step.chain);
    expect_consistent(d);
  }
}

}  // namespace
