// zopath envelope: maps the objects of a path file into a bilinear or bi-Bezier envelope and
// stores the frame behind them.
#include <cstdio>
#include <string>
#include <vector>

#include "io.hpp"
#include "deform_tool.hpp"

namespace zopath {

namespace {

const char* kEnvelopeHelp =
    "usage: zopath envelope PATHFILE (--bilinear X0 Y0 X1 Y1 X2 Y2 X3 Y3 |\n"
    "                                 --bezier P0..P3 Q0..Q3 (16 numbers)) [--vertical]\n"
    "                                 [-o OUT.txt] [--png OUT.png]\n"
    "\n"
    "Maps every node of PATHFILE (control points included) from the bounding box of the whole\n"
    "list onto the envelope, then stores the frame as the list's last subpath.\n"
    "  --bilinear     corners top-left, top-right, bottom-left, bottom-right\n"
    "                 (ZoPathDomainRangeBilinear, ZoPathAddBiLinearEnvelope)\n"
    "  --bezier       the top cubic P0..P3 and the bottom cubic Q0..Q3, left to right; with\n"
    "                 --vertical the left and the right cubic, top to bottom\n"
    "                 (ZoPathDomainRangeBiCubic[V], ZoPathAddBiBezierEnvelope[V])\n"
    "  -o FILE        the path text to write (default: standard output)\n"
    "  --png FILE     before (grey, box in red) and after (blue, frame in red) side by side\n";

}  // namespace

int cmd_envelope(int argc, char** argv) {
  std::string input, output, png, error;
  std::vector<double> v;
  bool bezier = false, vertical = false, given = false;
  for (int i = 0; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "-h" || a == "--help") return std::fputs(kEnvelopeHelp, stdout), 0;
    if (a == "--bilinear" || a == "--bezier") {
      bezier = a == "--bezier", given = true;
      size_t want = bezier ? 16 : 8;
      for (size_t k = 0; k < want; ++k) {
        double d;
        if (i + 1 >= argc || !parse_number(argv[i + 1], &d))
          return fail("envelope: " + a + " needs " + std::to_string(want) + " numbers");
        v.push_back(d), ++i;
      }
    } else if (a == "--vertical") {
      vertical = true;
    } else if ((a == "-o" || a == "--output" || a == "--png") && i + 1 < argc) {
      (a == "--png" ? png : output) = argv[++i];
    } else if (!a.empty() && a[0] != '-' && input.empty()) {
      input = a;
    } else {
      return fail("envelope: unexpected argument '" + a + "' (see zopath envelope --help)");
    }
  }
  if (input.empty() || !given) return fail("envelope: a path file and a frame are needed");
  ZoPath* head = read_path_file(input, &error);
  if (head == nullptr) return fail("envelope: " + error);
  std::vector<Ptfx> points;
  for (size_t k = 0; k + 1 < v.size(); k += 2) points.push_back(Ptfx{DbToFix(v[k]), DbToFix(v[k + 1])});
  ZoPath* before = nullptr;
  ZoPathDuplicatePtr(head, &before);
  RectDB box;
  ZoPathGetDoubleRectNoMargin(head, &box, 0);
  for (ZoPath* p = head; p != nullptr; p = p->next) {
    if (p->joinPrev != nullptr) continue;  // mapped with its chain
    if (!bezier) ZoPathDomainRangeBilinear(p, &box, nullptr, points.data());
    else (vertical ? ZoPathDomainRangeBiCubicV : ZoPathDomainRangeBiCubic)(p, &box, nullptr, points.data());
  }
  uint32_t stored = !bezier ? (vertical ? ZoPathAddBiLinearEnvelopeV : ZoPathAddBiLinearEnvelope)(head, points.data())
                            : (vertical ? ZoPathAddBiBezierEnvelopeV : ZoPathAddBiBezierEnvelope)(head, points.data());
  bool ok = stored == 1;
  if (!ok) error = "out of memory";
  if (ok && !png.empty()) {
    ZoPath* frame = head;
    while (frame->next != nullptr) frame = frame->next;
    ZoPath* boxPath = rectangle_path(box.left, box.top, box.right, box.bottom);
    if (frame->prev != nullptr) frame->prev->next = nullptr;  // the frame drawn apart
    ok = write_deform_png(png, before, boxPath, frame == head ? nullptr : head, frame, &error);
    if (frame->prev != nullptr) frame->prev->next = frame;
    release_paths(boxPath);
  }
  ok = ok && write_paths(output, head, &error);
  release_paths(head);
  release_paths(before);
  return ok ? 0 : fail("envelope: " + error);
}

}  // namespace zopath
