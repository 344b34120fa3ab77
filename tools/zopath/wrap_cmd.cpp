// zopath wrap and zopath bend: lays the objects of a path file along a baseline, or bends
// them around a generated circle.
#include <cstdio>
#include <cstring>
#include <string>

#include "io.hpp"
#include "deform_tool.hpp"

namespace zopath {

namespace {

const char* kWrapHelp =
    "usage: zopath wrap PATHFILE --baseline BASE.txt [options] [-o OUT.txt] [--png OUT.png]\n"
    "       zopath bend PATHFILE --bend N [options] [-o OUT.txt] [--png OUT.png]\n"
    "\n"
    "Wraps the objects along the first subpath of BASE.txt (ZoPathWrap), or bends them around\n"
    "a circle covering N/100 of its circumference (N in -99..100; negative: along the circle's\n"
    "bottom). The output ends with the stored baseline (ZoPathAddWrapPath) when there is one.\n"
    "  --fit              stretch the source's width over the usable length\n"
    "  --start F          start at F of the baseline length (0..1)\n"
    "  --spacing S        extra length factor\n"
    "  --follow-normal    offsets along the baseline's normal (else vertical)\n"
    "  --units            move each character or object whole instead of bending points\n"
    "  --heights A B      offset scale in percent at the left and right edges (100 100)\n"
    "  --corners          mitre the baseline's corners (with --follow-normal)\n"
    "  --rotate           vertical wrap: the source is turned by -90 degrees first\n"
    "  --ref F            the baseline runs at F of the source height from its bottom (0)\n"
    "  -o FILE            the path text to write (default: standard output)\n"
    "  --png FILE         before (grey, baseline red) and after (blue) side by side\n";

int run(int argc, char** argv, bool bendMode) {
  std::string input, output, png, base, error;
  ZoPathWrapInfo w{};
  w.deform = 1;
  w.startHeight = w.endHeight = 100;
  for (int i = 0; i < argc; ++i) {
    std::string a = argv[i];
    auto number = [&](double* out) {
      return i + 1 < argc && parse_number(argv[i + 1], out) ? (++i, true) : false;
    };
    double d = 0, e = 0;
    if (a == "-h" || a == "--help") return std::fputs(kWrapHelp, stdout), 0;
    if (a == "--fit") w.fit = 1;
    else if (a == "--follow-normal") w.followNormal = 1;
    else if (a == "--units") w.deform = 0;
    else if (a == "--corners") w.cornerMode = 1;
    else if (a == "--rotate") w.rotate = 1;
    else if (a == "--start" && number(&d)) w.start = d;
    else if (a == "--spacing" && number(&d)) w.spacing = d;
    else if (a == "--ref" && number(&d)) w.sizeOrRef.verticalRef = d;
    else if (a == "--bend" && number(&d)) w.bend = static_cast<int32_t>(d);
    else if (a == "--heights" && number(&d) && number(&e))
      w.startHeight = static_cast<uint32_t>(d), w.endHeight = static_cast<uint32_t>(e);
    else if ((a == "-o" || a == "--output" || a == "--png" || a == "--baseline") && i + 1 < argc)
      (a == "--png" ? png : a == "--baseline" ? base : output) = argv[++i];
    else if (!a.empty() && a[0] != '-' && input.empty()) input = a;
    else return fail("wrap: unexpected argument '" + a + "' (see zopath wrap --help)");
  }
  if (input.empty()) return fail("wrap: no path file given");
  if (!bendMode && base.empty()) return fail("wrap: --baseline is needed");
  if (bendMode && w.bend == 0) return fail("bend: --bend N with N non-zero is needed");
  ZoPath* head = read_path_file(input, &error);
  ZoPath* baseline = head == nullptr || bendMode ? nullptr : read_path_file(base, &error);
  if (head == nullptr || (!bendMode && baseline == nullptr)) {
    release_paths(head);
    return fail((bendMode ? "bend: " : "wrap: ") + error);
  }
  if (baseline != nullptr && baseline->next != nullptr) {  // the first subpath only
    release_paths(baseline->next);
    baseline->next = nullptr;
  }
  w.baseline = baseline;
  ZoPath* before = nullptr;
  ZoPathDuplicatePtr(head, &before);
  ZoPath* list = head;
  bool ok = ZoPathWrap(&list, &w) == 1;
  if (!ok) error = "the wrap failed (see the error report)";
  if (ok && !png.empty()) ok = write_deform_png(png, before, baseline, list, baseline, &error);
  if (ok && baseline != nullptr) ok = ZoPathAddWrapPath(list, &w) == 1;
  ok = ok && write_paths(output, list, &error);
  release_paths(ok ? list : head);
  release_paths(before);
  release_paths(baseline);
  return ok ? 0 : fail((bendMode ? "bend: " : "wrap: ") + error);
}

}  // namespace

int cmd_wrap(int argc, char** argv) { return run(argc, argv, false); }
int cmd_bend(int argc, char** argv) { return run(argc, argv, true); }

}  // namespace zopath
