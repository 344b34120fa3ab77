// Moving, scaling, matrices, resize-rotate and rotation, checked against a double-precision
// model of every node on random lists that carry parameter nodes.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

#include "transform_helpers.hpp"

namespace {

using namespace zo_test;

class TransformTest : public ModelTest {};

// Expected point of node i of subpath p (whose point was `was`) after a transform.
using Oracle = std::function<Ptfx(ZoPath* p, uint32_t i, Ptfx was)>;

// Runs `op` on a fresh random list for many seeds and compares every node with the oracle;
// node types, flags other than those `flagsAfter` predicts, and links must not change.
void check_against_oracle(const char* what, const std::function<void(ZoPath*)>& op,
                          const Oracle& oracle) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(std::string(what) + " seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    ZoPath* head = random_list_with_parameters(rng, 1 + seed % 5);
    std::vector<Ptfx> expected;
    std::vector<uint16_t> types;
    for (ZoPath* p = head; p != nullptr; p = p->next)
      for (uint32_t i = 0; i < p->count; ++i) {
        expected.push_back(oracle(p, i, point_of(p, i)));
        types.push_back(ZoPathNodes(p)[i].type);
      }
    op(head);
    size_t k = 0;
    for (ZoPath* p = head; p != nullptr; p = p->next)
      for (uint32_t i = 0; i < p->count; ++i, ++k) {
        ASSERT_TRUE(near(point_of(p, i), expected[k]))
            << "node " << i << ": " << point_of(p, i).x << ',' << point_of(p, i).y << " expected "
            << expected[k].x << ',' << expected[k].y;
        ASSERT_EQ(ZoPathNodes(p)[i].type, types[k]);
      }
    release_list(head);
  }
}

TEST_F(TransformTest, ByKindTransformsMatchTheModelAndSkipParameterNodes) {
  check_against_oracle(
      "size", [](ZoPath* l) { ZoPathSize(l->next ? l->next : l, 1.0, -0.5); },
      [](ZoPath* p, uint32_t i, Ptfx w) {
        return is_parameter_slot(p, i) ? w : fx({FixToDb(w.x), FixToDb(w.y) * -0.5});
      });
  check_against_oracle(
      "size with sy = 0", [](ZoPath* l) { ZoPathSize(l, 2.0, 0.0); },
      [](ZoPath* p, uint32_t i, Ptfx w) {
        return is_parameter_slot(p, i) ? w : fx({FixToDb(w.x) * 2, FixToDb(w.y) * 2});
      });
  const float m[6] = {0.8f, -0.6f, 0.6f, 0.8f, 12.5f, -7.25f};
  // The matrix maps the join chain from the head only.
  auto inHeadChain = [](ZoPath* p) {
    for (ZoPath* q = members(p)[0]; q; q = q->joinNext)
      if (q == p) return true;
    return false;
  };
  check_against_oracle(
      "matrix", [&](ZoPath* l) { ZoPathMat(l, m); },
      [&](ZoPath* p, uint32_t i, Ptfx w) {
        if (is_parameter_slot(p, i) || !inHeadChain(p)) return w;
        PointDB q = db(w);
        return fx({double(m[0]) * q.x + double(m[2]) * q.y + double(m[4]),
                   double(m[1]) * q.x + double(m[3]) * q.y + double(m[5])});
      });
}

TEST_F(TransformTest, EveryNodeTransformsMatchTheModelIncludingParameterNodes) {
  RectDB box{};
  check_against_oracle(
      "rotate about centre",
      [](ZoPath* l) { ZoPathRotateAboutCenter(l->next ? l->next : l, -30.7); },
      [&](ZoPath* p, uint32_t i, Ptfx w) {
        ZoPath* h = members(p)[0];
        if (p == h && i == 0) ZoPathGetDoubleRectNoMargin(h, &box, 0);
        double cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
        double a = -30 * 3.1415926535898 / 180, c = std::cos(a), s = std::sin(a);
        PointDB q = db(w);
        return fx({cx + (q.x - cx) * c - (q.y - cy) * s, cy + (q.y - cy) * c + (q.x - cx) * s});
      });
  // Resize-rotate: the head's object is moved by minus the anchor and back to the target,
  // the whole list is scaled by kind and rotated node by node.
  ZoPathRSRParams rsr{0, 0, 40.0, -15.0, 1.5, 0.75, 0.0, 20.0};
  RectDB shape{};
  check_against_oracle(
      "resize-slant-rotate",
      [&](ZoPath* l) { EXPECT_EQ(ZoPathResizeSlantRotate(l, &rsr, nullptr), 1u); },
      [&](ZoPath* p, uint32_t i, Ptfx w) {
        ZoPath* h = members(p)[0];
        if (p == h && i == 0) ZoPathGetDoubleShapeRectNoMargin(h, &shape, 0);
        bool moved = false;
        for (ZoPath* q = h; q && !moved; q = (h->flags & ZOF_SELECTED) ? q->selNext : q->joinNext)
          moved = q == p;
        bool param = is_parameter_slot(p, i);
        Ptfx v = w;
        if (!param && moved) v = PtfxAdd(v, fx({-shape.left, -shape.top}));
        if (!param) v = fx({FixToDb(v.x) * 1.5, FixToDb(v.y) * 0.75});
        double a = 20 * 3.14159 / 180, c = std::cos(a), s = std::sin(a);
        PointDB q = db(v);
        v = fx({q.x * c - q.y * s, q.y * c + q.x * s});
        return !param && moved ? PtfxAdd(v, fx({40.0, -15.0})) : v;
      });
}

TEST_F(TransformTest, HandlesEqualTheTransformedShape) {
  for (unsigned seed = 1; seed <= 25; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> c(-300, 300), s(0.2, 3);
    // Node 0 stays inside the figure: the shape rectangle starts from its whole pixels.
    std::string text = "M 0 0 L -320 -320 L 320 320";
    for (int k = 0; k < 6; ++k)
      text += " L " + std::to_string(c(rng)) + " " + std::to_string(c(rng));
    ZoPath* p = path_from(text);
    ZoPathRSRParams rsr{0, 0, c(rng), c(rng), s(rng), seed % 3 == 0 ? 0.0 : s(rng), 0, 0};
    Ptfx h[4], m[4];
    ASSERT_EQ(ZoPathGetRSRHandle(p, &rsr, nullptr, h), 1u);
    ASSERT_EQ(ZoPathResizeSlantRotate(p, &rsr, nullptr), 1u);
    RectDB r;
    ZoPathGetDoubleShapeRectNoMargin(p, &r, 0);
    const PointDB corners[4] = {
        {r.left, r.top}, {r.right, r.top}, {r.left, r.bottom}, {r.right, r.bottom}};
    for (int i = 0; i < 4; ++i) {
      EXPECT_NEAR(FixToDb(h[i].x), corners[i].x, 5e-5);
      EXPECT_NEAR(FixToDb(h[i].y), corners[i].y, 5e-5);
    }
    // With the anchor top-left at the target, the first handle is the target itself.
    EXPECT_TRUE(near(h[0], fx({rsr.targetX, rsr.targetY})));
    // Matrix handles: the mapped rectangle equals the rectangle of the mapped subpath for an
    // axis-aligned matrix.
    const float mat[6] = {2.0f, 0.0f, 0.0f, 0.5f, -3.0f, 4.0f};
    ASSERT_EQ(ZoPathGetMatHandle(p, mat, m), 1u);
    ZoPathMat(p, mat);
    ZoPathGetDoubleRectNoMargin(p, &r, 1);
    EXPECT_TRUE(near(m[0], fx({r.left, r.top})) && near(m[3], fx({r.right, r.bottom})));
    ZoPathDeletePtr(p, 0);
  }
  EXPECT_EQ(ZoPathGetMatHandle(nullptr, nullptr, nullptr), 0u);
}

TEST_F(TransformTest, AnchorsRefusalsAndSmallRules) {
  ZoPath* p = path_from("M 10 20 L 50 20 L 50 60 Z");
  p->primitiveKind = 3;
  // Anchors: the far x edge, the y centre, and (0, 0) without an alignment record.
  uint32_t align[12] = {};
  ZoPathRSRParams rsr{0, 1, 0.0, 0.0, 1.0, 1.0, 0.0, 0.0};
  Ptfx h[4];
  align[ZOPATH_ALIGN_BITS_WORD] = 1;
  ZoPathGetRSRHandle(p, &rsr, align, h);
  EXPECT_EQ(h[0].x, DbToFix(-40)) << "anchor (right, 0)";
  EXPECT_EQ(h[0].y, DbToFix(20));
  align[ZOPATH_ALIGN_BITS_WORD] = 2, align[ZOPATH_ALIGN_AXIS_WORD] = 1;
  ZoPathGetRSRHandle(p, &rsr, align, h);
  EXPECT_EQ(h[3].y, DbToFix(20)) << "anchor (0, centre y)";
  ZoPathGetRSRHandle(p, &rsr, nullptr, h);
  EXPECT_EQ(h[3].x, DbToFix(50));
  EXPECT_EQ(ZoPathGetRSRHandle(nullptr, &rsr, align, h), 0u);
  EXPECT_EQ(ZoPathGetRSRHandle(p, nullptr, align, h), 0u);
  EXPECT_EQ(ZoPathGetRSRHandle(p, &rsr, align, nullptr), 0u);
  // Wrap baselines and envelope frames refuse and change nothing.
  for (uint32_t flag : {ZOF_WRAP_BASELINE, ZOF_ENVELOPE_H, ZOF_ENVELOPE_V}) {
    ZoPath* q = path_from("M 0 0 L 5 5", flag);
    link_list({p, q});
    std::string before = snapshot_list(p);
    EXPECT_EQ(ZoPathResizeSlantRotate(q, &rsr, nullptr), 0u);
    EXPECT_EQ(ZoPathGetRSRHandle(p, &rsr, nullptr, h), 0u);
    EXPECT_EQ(snapshot_list(p), before);
    p->next = nullptr;
    ZoPathDeletePtr(q, 0);
  }
  // Identity matrix clears the primitive kind only; sx = sy = 1 leaves the centre unwritten.
  const float identity[6] = {1, 0, 0, 1, 0, 0};
  std::string before = describe(p);
  EXPECT_EQ(ZoPathMat(p, identity), 1u);
  EXPECT_EQ(describe(p), before);
  EXPECT_EQ(p->primitiveKind, 0u);
  POINT c{-1, -1};
  EXPECT_EQ(ZoPathScaleCentered(p, 1.0, 1.0, &c), 1u);
  EXPECT_EQ(ZoPathSize(p, 1.0, 0.0), 1u);
  EXPECT_TRUE(c.x == -1 && c.y == -1);
  EXPECT_EQ(ZoPathScaleCentered(p, 1.0, 0.5, &c), 1u);
  EXPECT_TRUE(c.x == 30 && c.y == 40);
  EXPECT_EQ(describe(p), "M 10 30 L 50 30 L 50 50 Z");
  // Whole degrees: 89.9 rotates by 89; under one degree nothing moves.
  ZoPath* r = path_from("M 0 0 L 100 0");
  ZoPathRotateAboutCenter(r, 0.9);
  ZoPathRotateAboutCenter(r, std::nan(""));
  ZoPathRotateAboutCenter(nullptr, 30);
  EXPECT_EQ(describe(r), "M 0 0 L 100 0");
  ZoPathRotateAboutCenter(r, 89.9);
  double a = 89 * 3.1415926535898 / 180;
  EXPECT_NEAR(FixToDb(point_of(r, 1).y) - FixToDb(point_of(r, 0).y), 100 * std::sin(a), 1e-4);
  // Offsets: the join chain's rectangle with margin lands on the target; exact adds pixels.
  ZoPath* o = path_from("M 10.5 20.25 L 30 40");
  EXPECT_EQ(ZoPathOffset(o, POINT{0, 0}), 1u);
  EXPECT_EQ(describe(o), "M 5.5 5.25 L 25 25");
  EXPECT_EQ(ZoPathOffsetExact(o, POINT{-5, 2}), 1u);
  EXPECT_EQ(describe(o), "M 0.5 7.25 L 20 27");
  EXPECT_EQ(ZoPathOffsetExact(nullptr, POINT{1, 1}), 1u);
  EXPECT_EQ(ZoPathOffset(nullptr, POINT{1, 1}), 0u);
  CoordStruct flat{};  // zoom 0
  EXPECT_EQ(ZoPathMovePaths(o, nullptr, POINT{1, 1}), 0u);
  EXPECT_EQ(ZoPathMovePaths(o, &flat, POINT{1, 1}), 0u);
  EXPECT_EQ(describe(o), "M 0.5 7.25 L 20 27");
  // Scaling a polygon clears its marks and its primitive kind.
  o->flags = ZOF_POLY_STYLE2 | (5u << 5) | 0x2000;
  o->primitiveKind = 7;
  ZoPathSize(o, 2.0, 0.0);
  EXPECT_EQ(o->flags, 0u);
  EXPECT_EQ(o->primitiveKind, 0u);
  for (ZoPath* x : {p, r, o}) ZoPathDeletePtr(x, 0);
}

}  // namespace
