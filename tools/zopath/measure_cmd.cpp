// zopath measure: the length of a baseline, the point at a fraction of it, the nearest point.
#include <cstdio>
#include <string>

#include "io.hpp"
#include "deform_tool.hpp"

namespace zopath {

namespace {

const char* kMeasureHelp =
    "usage: zopath measure BASE.txt [--at F] [--nearest X Y]\n"
    "\n"
    "Prints the length of the first subpath of BASE.txt (ZoPathGetLength2); with --at, the\n"
    "point at fraction F of the length (ZoPathGetPointByLengthPercentage); with --nearest, the\n"
    "nearest point to (X, Y), its distance and its fraction of the length\n"
    "(ZoPathGetNearestPointFromPoint, ZoPathGetLengthPercentageByPoint).\n";

}  // namespace

int cmd_measure(int argc, char** argv) {
  std::string input, error;
  double at = -1, x = 0, y = 0;
  bool nearest = false;
  for (int i = 0; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "-h" || a == "--help") return std::fputs(kMeasureHelp, stdout), 0;
    if (a == "--at" && i + 1 < argc && parse_number(argv[i + 1], &at)) ++i;
    else if (a == "--nearest" && i + 2 < argc && parse_number(argv[i + 1], &x) && parse_number(argv[i + 2], &y))
      nearest = true, i += 2;
    else if (input.empty() && !a.empty() && a[0] != '-') input = a;
    else return fail("measure: unexpected argument '" + a + "' (see zopath measure --help)");
  }
  if (input.empty()) return fail("measure: no baseline file given");
  ZoPath* base = read_path_file(input, &error);
  if (base == nullptr) return fail("measure: " + error);
  std::printf("length %.6f\n", ZoPathGetLength2(base));
  if (at >= 0) {
    PointDB p{};
    ZoPathGetPointByLengthPercentage(base, static_cast<float>(at), &p);
    std::printf("at %.6g: %.6f %.6f\n", at, p.x, p.y);
  }
  if (nearest) {
    PointDB p{}, q{};
    float distance = 0, fraction = 0;
    ZoPathGetNearestPointFromPoint(base, PointDB{x, y}, &distance, &p);
    ZoPathGetLengthPercentageByPoint(base, PointDB{x, y}, &fraction, &q);
    std::printf("nearest %.6f %.6f distance %.6f fraction %.6f\n", p.x, p.y, distance, fraction);
  }
  release_paths(base);
  return 0;
}

}  // namespace zopath
