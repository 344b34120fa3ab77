// Envelopes: the point maps against an independent model, identity and affine frames,
// restriction to a sub-rectangle, frame storage and reading, kind codes, and undo.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "alloc_sweep.hpp"
#include "deform_helpers.hpp"

namespace {

using namespace zo_test;

using MapFn = uint32_t (*)(ZoPath*, const RectDB*, const RectDB*, Ptfx*);
const MapFn kMaps[] = {ZoPathDomainRangeBilinear, ZoPathDomainRangeBiCubic,
                       ZoPathDomainRangeBiCubicV};
const Kind kKinds[] = {Kind::kBilinear, Kind::kBezierH, Kind::kBezierV};

class EnvelopeTest : public ModelTest {};

// Every point node lands on the model's image of its old position (within two 16.16 units:
// the library truncates once); parameter nodes stay.
TEST_F(EnvelopeTest, RandomFramesFollowTheFormulas) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> jitter(-400, 400);
  for (int round = 0; round < 60; ++round) {
    int k = round % 3;
    ZoPath* p = random_list_with_parameters(rng, 1);
    ZoPath* before = nullptr;
    ZoPathDuplicatePtr(p, &before);
    RectDB box;
    ZoPathGetDoubleRectNoMargin(p, &box, 1);
    std::vector<Ptfx> frame = box_frame(kKinds[k], box);
    for (Ptfx& f : frame) f = PtfxAdd(f, Ptfx{DbToFix(jitter(rng)), DbToFix(jitter(rng))});
    if (round % 10 == 0) frame = box_frame(kKinds[k], box);  // identity frames
    ASSERT_EQ(kMaps[k](p, &box, nullptr, frame.data()), 1u);
    for (uint32_t i = 0; i < p->count; ++i) {
      Ptfx was = point_of(before, i), now = point_of(p, i);
      if (is_parameter_slot(p, i)) {
        EXPECT_TRUE(was.x == now.x && was.y == now.y);
        continue;
      }
      PointDB want = round % 10 == 0 ? db(was) : envelope_image(kKinds[k], frame.data(), box, db(was));
      ASSERT_LE(units_apart(now, want), 2.0) << "round " << round << " node " << i;
    }
    release_list(p);
    release_list(before);
  }
}

// A parallelogram frame is an affine map: ZoPathBiLinear matches the affine image of every
// node, and a zero-height path maps onto the top edge (v stays 0).
TEST_F(EnvelopeTest, ParallelogramIsAffineAndFlatBoxesDoNotDivideByZero) {
  std::mt19937 rng(9);
  ZoPath* p = random_list_with_parameters(rng, 1);
  ZoPath* before = nullptr;
  ZoPathDuplicatePtr(p, &before);
  RectDB b;
  ZoPathGetDoubleRectNoMargin(p, &b, 1);
  PointDB o{100, 50}, ex{300, 40}, ey{-60, 200};  // x' = o + u ex + v ey
  Ptfx frame[4] = {fx(o), fx(o + ex), fx(o + ey), fx(o + ex + ey)};
  ASSERT_EQ(ZoPathBiLinear(p, frame, 0), 1u);
  for (uint32_t i = 0; i + kParamNodes < p->count; ++i) {
    PointDB q = db(point_of(before, i));
    double u = (q.x - b.left) / (b.right - b.left), v = (q.y - b.top) / (b.bottom - b.top);
    EXPECT_LE(units_apart(point_of(p, i), o + ex * u + ey * v), 2.0) << i;
  }
  Ptfx bez[8] = {fx({0, 0}), fx({10, -20}), fx({20, -20}), fx({30, 0}),
                 fx({0, 90}), fx({10, 90}), fx({20, 90}), fx({30, 90})};
  PointDB top[4] = {db(bez[0]), db(bez[1]), db(bez[2]), db(bez[3])};
  ZoPath* flat = path_from("M 10 7 L 30 7 C 40 7 50 7 60 7");
  ZoPath* flatBefore = nullptr;
  ZoPathDuplicatePtr(flat, &flatBefore);
  RectDB fb;
  ZoPathGetDoubleRectNoMargin(flat, &fb, 1);
  ZoPathBiCubic(flat, bez, 0);
  for (uint32_t i = 0; i < flat->count; ++i) {
    double u = (FixToDb(point_of(flatBefore, i).x) - fb.left) / (fb.right - fb.left);
    EXPECT_LE(units_apart(point_of(flat, i), bezier_at(top, u)), 2.0) << "v is 0: " << i;
  }
  release_list(flat);
  release_list(flatBefore);
  release_list(p);
  release_list(before);
}

// Restricting to the domain itself returns the frame (bilinear exactly, bi-Bezier within the
// 0.333 sampling error), and mapping with the frame restricted to R equals mapping with the
// original frame for points inside R.
TEST_F(EnvelopeTest, RestrictionToASubRectangle) {
  std::mt19937 rng(13);
  std::uniform_real_distribution<double> jitter(-40, 40);
  RectDB domain{0, 0, 300, 120}, r{60, 30, 210, 100};
  for (int round = 0; round < 30; ++round) {
    int k = round % 3;
    std::vector<Ptfx> frame = box_frame(kKinds[k], domain);
    for (Ptfx& f : frame) f = PtfxAdd(f, Ptfx{DbToFix(jitter(rng)), DbToFix(jitter(rng))});
    std::vector<Ptfx> same = frame;
    ASSERT_EQ(kMaps[k](nullptr, &domain, &domain, same.data()), 1u);
    for (size_t i = 0; i < frame.size(); ++i) {
      double bound = k == 0 ? 0.0 : 65536.0 * 0.02 * 40;  // 0.333 vs 1/3 on a 40-pixel bend
      EXPECT_LE(std::abs(same[i].x - frame[i].x), bound) << round << ' ' << i;
      EXPECT_LE(std::abs(same[i].y - frame[i].y), bound) << round << ' ' << i;
    }
    std::vector<Ptfx> sub = frame;
    ASSERT_EQ(kMaps[k](nullptr, &domain, &r, sub.data()), 1u);
    for (int s = 0; s < 25; ++s) {
      PointDB q{r.left + (r.right - r.left) * (s % 5) / 4.0, r.top + (r.bottom - r.top) * (s / 5) / 4.0};
      PointDB whole = envelope_image(kKinds[k], frame.data(), domain, q);
      PointDB part = envelope_image(kKinds[k], sub.data(), r, q);
      EXPECT_LE(std::hypot(whole.x - part.x, whole.y - part.y), k == 0 ? 0.001 : 0.25) << round << ' ' << s;
    }
  }
  Ptfx four[4]{};
  EXPECT_EQ(ZoPathDomainRangeBilinear(nullptr, &domain, nullptr, four), 0u) << "neither";
  EXPECT_EQ(ZoPathDomainRangeBiCubic(nullptr, nullptr, &r, four), 0u);
  EXPECT_EQ(ZoPathBiLinear(nullptr, four, 0), 0u);
}

// Frames go behind the head's join chain (behind the head when it has an attachment),
// overwrite whatever record is there, grow it when needed and read back in their order.
TEST_F(EnvelopeTest, FramesAreStoredReadAndClassified) {
  ZoPath* a = path_from("M 0 0 L 100 0 L 100 50 Z", ZOF_SELECTED);
  ZoPath* b = path_from("M 10 10 L 20 20", ZOF_SELECTED);
  ZoPath* other = path_from("M 5 5 L 6 6", ZOF_SELECTED);
  link_list({a, b, other});
  link_join({a, b});
  link_selection({a, b, other});
  EXPECT_EQ(ZoPathGetEnvelopeWrapType(a), 0u);
  Ptfx quad[4] = {fx({0, 0}), fx({100, 0}), fx({0, 50}), fx({100, 50})};
  ASSERT_EQ(ZoPathAddBiLinearEnvelope(b, quad), 1u);
  ZoPath* frame = b->next;
  ASSERT_EQ(frame, other) << "another object's subpath is overwritten";
  EXPECT_EQ(describe(frame), "M 0 0 L 100 0 L 100 50 L 0 50 L 0 0 Z");
  EXPECT_EQ(frame->flags, 0x80100000u);
  for (ZoPath* p : {a, b}) EXPECT_TRUE(p->flags == 0 && p->selNext == nullptr && p->selPrev == nullptr);
  EXPECT_EQ(ZoPathGetEnvelopeWrapType(a), 1u);
  Ptfx back[8]{};
  ASSERT_EQ(ZoPathGetBiLinearEnvelope(frame, back), 1u);
  EXPECT_EQ(0, std::memcmp(back, quad, sizeof quad));
  // A bi-Bezier frame grows the 5-node record to 9 nodes; a flat one reports 5, then 2.
  std::vector<Ptfx> thirds = box_frame(Kind::kBezierH, RectDB{0, 0, 90, 60});
  ASSERT_EQ(ZoPathAddBiBezierEnvelope(a, thirds.data()), 1u);
  frame = b->next;
  EXPECT_EQ(describe(frame), "M 0 0 C 30 0 60 0 90 0 L 90 60 C 60 60 30 60 0 60 L 0 0 Z");
  EXPECT_EQ(ZoPathGetEnvelopeWrapType(frame), 5u);
  ASSERT_EQ(ZoPathGetBiBezierEnvelopeV(frame, back), 1u);
  EXPECT_EQ(0, std::memcmp(back, thirds.data(), sizeof back));
  thirds[5].y += 1;
  ZoPathAddBiBezierEnvelope(a, thirds.data());
  EXPECT_EQ(ZoPathGetEnvelopeWrapType(a), 2u);
  std::vector<Ptfx> vthirds = box_frame(Kind::kBezierV, RectDB{0, 0, 90, 60});
  ZoPathAddBiBezierEnvelopeV(a, vthirds.data());
  EXPECT_EQ(ZoPathGetEnvelopeWrapType(a), 6u);
  vthirds[1].x -= 1;
  ZoPathAddBiBezierEnvelopeV(a, vthirds.data());
  EXPECT_EQ(ZoPathGetEnvelopeWrapType(a), 3u);
  ZoPathAddBiLinearEnvelopeV(a, quad);
  EXPECT_EQ(b->next->flags, 0x80200000u);
  EXPECT_EQ(ZoPathGetEnvelopeWrapType(a), 1u) << "5 nodes: bilinear";
  b->next->flags |= ZOF_ENVELOPE_3;
  EXPECT_EQ(ZoPathGetEnvelopeWrapType(a), 4u);
  b->next->flags = ZOF_WRAP_BASELINE;
  EXPECT_EQ(ZoPathGetEnvelopeWrapType(a), 10u);
  EXPECT_EQ(ZoPathGetBiLinearEnvelope(b->next, back), 0u) << "not selected";
  EXPECT_EQ(ZoPathGetBiBezierEnvelope(nullptr, back), 0u);
  EXPECT_EQ(ZoPathAddBiLinearEnvelope(nullptr, quad), 0u);
  EXPECT_EQ(ZoPathAddBiLinearEnvelope(a, nullptr), 0u);
  release_list(a);
  // A head with an attachment takes the frame directly behind it.
  ZoPath* line = path_from("M 0 0 L 10 0");
  ZoPath* tail = path_from("M 0 5 L 10 5");
  link_list({line, tail});
  ZoPathOutlineInfo* info = nullptr;
  ZoPathAssignOutlineInfo(0, 0, nullptr, 0, 0, nullptr, 0, nullptr, 1, 2, 3, 4, &info);
  ZoPathSetOutlineInfo(line, info);
  ZoPathAddBiLinearEnvelope(tail, quad);
  EXPECT_EQ(line->next, tail);
  EXPECT_EQ(tail->count, 5u);
  release_list(line);
}

// Bilinear frames keep a primitive whose box stays axis-aligned; bi-Bezier frames drop the
// primitive kind and the polygon marks.
TEST_F(EnvelopeTest, PrimitiveKindAndPolygonMarks) {
  ZoPath* p = path_from("M 0 0 L 100 0 L 100 50 L 0 50 Z");
  p->primitiveKind = 2;
  p->flags = ZOF_POLY_STYLE1 | (5u << 5);
  Ptfx scaled[4] = {fx({0, 0}), fx({200, 0}), fx({0, 50}), fx({200, 50})};
  ZoPathBiLinear(p, scaled, 0);
  EXPECT_EQ(p->primitiveKind, 2u);
  Ptfx skewed[4] = {fx({0, 0}), fx({200, 30}), fx({0, 50}), fx({200, 80})};
  ZoPathBiLinear(p, skewed, 0);
  EXPECT_EQ(p->primitiveKind, 0u);
  EXPECT_EQ(p->flags, ZOF_POLY_STYLE1 | (5u << 5));
  p->primitiveKind = 2;
  std::vector<Ptfx> thirds = box_frame(Kind::kBezierH, RectDB{0, 0, 200, 80});
  ZoPathBiCubic(p, thirds.data(), 0);
  EXPECT_EQ(p->primitiveKind, 0u);
  EXPECT_EQ(p->flags, 0u);
  release_list(p);
}

// An envelope edit recorded in the undo log: undo maps the path from its bounds into the
// recorded frame and stores that frame again; redo returns to the edited one. (The path comes
// back exactly when the edit kept the box a rectangle: the mapping starts from the bounds.)
TEST_F(EnvelopeTest, UndoReplaysTheEnvelope) {
  ZoPath* shape = path_from("M 0 0 L 100 0 L 100 50 L 0 50 Z");
  Ptfx first[4] = {fx({0, 0}), fx({100, 0}), fx({0, 50}), fx({100, 50})};
  ZoPathAddBiLinearEnvelope(shape, first);
  ZoPathTbl* t = table_with(shape);
  ASSERT_EQ(t->groups[0].selected, shape->next);
  ZoPathBackupAction(41, ZOUNDO_ENVELOPE, t);
  std::string before = snapshot_list(shape);
  Ptfx edited[4] = {fx({0, 0}), fx({160, 0}), fx({0, 90}), fx({160, 90})};
  ZoPathBiLinear(shape, edited, 0);
  ZoPathAddBiLinearEnvelope(shape, edited);
  std::string after = snapshot_list(shape);
  ASSERT_EQ(ZoPathUndo(41, t, nullptr, nullptr, nullptr), 1u);
  EXPECT_EQ(snapshot_list(shape), before);
  ASSERT_EQ(ZoPathRedo(41, t, nullptr, nullptr, nullptr), 1u);
  EXPECT_EQ(snapshot_list(shape), after);
  // A skewed frame is replayed by mapping the current bounds into it.
  ZoPathBackupAction(41, ZOUNDO_ENVELOPE, t);
  Ptfx skew[4] = {fx({0, 0}), fx({160, 20}), fx({0, 90}), fx({160, 110})};
  ZoPathBiLinear(shape, skew, 0);
  ZoPathAddBiLinearEnvelope(shape, skew);
  ASSERT_EQ(ZoPathUndo(41, t, nullptr, nullptr, nullptr), 1u);
  EXPECT_EQ(describe(shape), "M 0 0 L 160 16.3636 L 160 90 L 0 73.6364 Z");
  Ptfx back[4];
  ASSERT_EQ(ZoPathGetBiLinearEnvelope(shape->next, back), 1u);
  EXPECT_EQ(0, std::memcmp(back, edited, sizeof back));
  ZoPathURFree(41, 0, 1);
  ZoPathURFree(41, 0, 1);
  ZoPathTblDelete(t);
}

TEST_F(EnvelopeTest, AllocationFailures) {
  auto store = [](const char* name, bool withFrame, bool bezier) {
    return SweepCase{name, true, [=] {
                       ZoPath* p = path_from("M 0 0 L 10 0 L 10 10 Z");
                       Ptfx q[4] = {};
                       if (withFrame) ZoPathAddBiLinearEnvelope(p, q);
                       return Scenario{[=] {
                                         std::vector<Ptfx> f(8, Ptfx{65536, 0});
                                         return (bezier ? ZoPathAddBiBezierEnvelope
                                                        : ZoPathAddBiLinearEnvelope)(p, f.data()) == 1;
                                       },
                                       [=] { return snapshot_list(p); }, [=] { release_list(p); }};
                     }};
  };
  run_alloc_sweep({store("new bilinear frame", false, false),
                   store("bilinear frame grown to bi-Bezier", true, true)});
}

}  // namespace
