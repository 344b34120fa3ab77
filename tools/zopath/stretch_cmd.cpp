// zopath stretch: maps one band of x onto another (ZoPathStretch).
#include <cstdio>
#include <string>
#include <vector>

#include "io.hpp"
#include "deform_tool.hpp"

namespace zopath {

namespace {

const char* kStretchHelp =
    "usage: zopath stretch PATHFILE A B C D [--smooth] [-o OUT.txt] [--png OUT.png]\n"
    "\n"
    "Maps the band of x between A and B onto the band between C and D; the parts left and\n"
    "right of the band only move (ZoPathStretch; the library adds its 5-pixel margin, so the\n"
    "band edges here are image x minus 5). --smooth keeps smooth joints smooth.\n"
    "  -o FILE        the path text to write (default: standard output)\n"
    "  --png FILE     before (grey) and after (blue) side by side, the bands in red\n";

}  // namespace

int cmd_stretch(int argc, char** argv) {
  std::string input, output, png, error;
  std::vector<double> band;
  uint32_t smooth = 0;
  for (int i = 0; i < argc; ++i) {
    std::string a = argv[i];
    double d;
    if (a == "-h" || a == "--help") return std::fputs(kStretchHelp, stdout), 0;
    if (a == "--smooth") smooth = 1;
    else if ((a == "-o" || a == "--output" || a == "--png") && i + 1 < argc) (a == "--png" ? png : output) = argv[++i];
    else if (!input.empty() && band.size() < 4 && parse_number(argv[i], &d)) band.push_back(d);
    else if (input.empty() && !a.empty() && a[0] != '-') input = a;
    else return fail("stretch: unexpected argument '" + a + "' (see zopath stretch --help)");
  }
  if (input.empty() || band.size() != 4) return fail("stretch: PATHFILE A B C D are needed");
  ZoPath* head = read_path_file(input, &error);
  if (head == nullptr) return fail("stretch: " + error);
  ZoPath* out = nullptr;
  bool ok = ZoPathStretch(head, &out, &band[0], &band[1], &band[2], &band[3], smooth) == 1;
  if (!ok) error = "the stretch failed";
  if (ok && !png.empty()) {
    RectDB box;
    ZoPathGetDoubleRectNoMargin(out, &box, 0);
    ZoPath* from = rectangle_path(band[0] + 5, box.top - 4, band[1] + 5, box.bottom + 4);
    ZoPath* to = rectangle_path(band[2] + 5, box.top - 4, band[3] + 5, box.bottom + 4);
    ok = write_deform_png(png, head, from, out, to, &error);
    release_paths(from);
    release_paths(to);
  }
  ok = ok && write_paths(output, out, &error);
  release_paths(head);
  release_paths(out);
  return ok ? 0 : fail("stretch: " + error);
}

}  // namespace zopath
