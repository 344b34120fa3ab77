// Which four-corner mappings keep a primitive: a table of corner sets around the 1-pixel
// thresholds, and the aspect rule of rounded rectangles.
#include <gtest/gtest.h>

#include "../model/path_builders.hpp"

namespace {

using namespace zo_test;

Ptfx at(double x, double y) { return Ptfx{DbToFix(x), DbToFix(y)}; }

class KeepPrimitiveTest : public ModelTest {};

TEST_F(KeepPrimitiveTest, StraightOrTurnedCornersKeepThePrimitive) {
  ZoPath* rect = path_from("M 0 0 L 100 0 L 100 50 L 0 50 Z");
  rect->primitiveKind = 2;
  struct Case {
    Ptfx c[4];
    uint32_t keep;
  } cases[] = {
      {{at(0, 0), at(200, 0), at(0, 50), at(200, 50)}, 1},            // scaled
      {{at(0, 0), at(200, 0.99), at(0.99, 50), at(200.5, 50.9)}, 1},  // under 1 pixel off
      {{at(0, 0), at(200, 1), at(0, 50), at(200, 51)}, 0},            // 1 pixel is too much
      {{at(0, 0), at(0, 100), at(50, 0), at(50, 100)}, 1},            // turned
      {{at(0, 0), at(0.5, 100), at(50, 0.5), at(50, 100)}, 1},
      {{at(0, 0), at(1, 100), at(50, 0), at(50, 100)}, 0},
      {{at(0, 0), at(100, 20), at(0, 50), at(100, 70)}, 0},  // skewed
  };
  for (const Case& c : cases) EXPECT_EQ(ZoPathIsKeepPrimitive(rect, c.c), c.keep);
  EXPECT_EQ(ZoPathIsKeepPrimitive(rect, nullptr), 0u);
  EXPECT_EQ(ZoPathIsKeepPrimitive(nullptr, cases[0].c), 0u);
  rect->primitiveKind = 0;
  EXPECT_EQ(ZoPathIsKeepPrimitive(rect, cases[0].c), 0u) << "kind 0 is no primitive";
  ZoPathDeletePtr(rect, 0);
}

// A rounded rectangle 100 x 50 (nodes 4/11 span the width, 8/15 the height) keeps only
// mappings that keep its 2:1 aspect, straight or turned.
TEST_F(KeepPrimitiveTest, RoundedRectanglesMustKeepTheirAspect) {
  std::string text = "M 0 0";
  for (int i = 1; i < 16; ++i) {
    double x = i == 4 ? 100 : 0, y = i == 8 ? 50 : 0;
    text += " L " + std::to_string(x) + " " + std::to_string(y);
  }
  ZoPath* rr = path_from(text);
  for (uint32_t kind : {3u, 300u, 399u}) {
    rr->primitiveKind = kind;
    Ptfx uniform[4] = {at(0, 0), at(200, 0), at(0, 100), at(200, 100)};
    Ptfx stretched[4] = {at(0, 0), at(200, 0), at(0, 50), at(200, 50)};
    Ptfx turned[4] = {at(0, 0), at(0, 200), at(100, 0), at(100, 200)};
    Ptfx turnedWrong[4] = {at(0, 0), at(0, 100), at(100, 0), at(100, 100)};
    EXPECT_EQ(ZoPathIsKeepPrimitive(rr, uniform), 1u) << kind;
    EXPECT_EQ(ZoPathIsKeepPrimitive(rr, stretched), 0u) << kind;
    EXPECT_EQ(ZoPathIsKeepPrimitive(rr, turned), 1u) << kind;
    EXPECT_EQ(ZoPathIsKeepPrimitive(rr, turnedWrong), 0u) << kind;
  }
  rr->primitiveKind = 2;  // a plain rectangle keeps any straight scale
  Ptfx stretched[4] = {at(0, 0), at(200, 0), at(0, 50), at(200, 50)};
  EXPECT_EQ(ZoPathIsKeepPrimitive(rr, stretched), 1u);
  ZoPathDeletePtr(rr, 0);
}

}  // namespace
