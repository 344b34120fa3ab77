// zopath shape and zopath polygon: a primitive or a polygon made from a dragged rectangle,
// written as path text or drawn into a PNG.
#include <cmath>
#include <cstdlib>
#include <string>

#include "Zo32path.h"
#include "boolean/import_text.hpp"
#include "cli.hpp"
#include "io.hpp"
#include "path_text.hpp"
#include "shape_picture.hpp"

namespace zopath {

namespace {

const char* kShapeHelp =
    "usage: zopath shape KIND --drag L,T,R,B [options]\n"
    "\n"
    "Makes a primitive from a rectangle dragged in a 1024 x 768 window (ZoPathGetPrimitive) and\n"
    "writes it as path text (standard output without -o) or draws it into a PNG.\n"
    "\n"
    "KIND: ellipse (1), rectangle (2), rounded (3), diamond (4), banded (5), triangle (6), or\n"
    "      a number: 300 to 400 is a rounded rectangle whose corner radius is (KIND - 300) %\n"
    "      of the smaller half side.\n"
    "Options:\n"
    "  --drag L,T,R,B     the dragged rectangle in window pixels (required); the anchor is L,T\n"
    "  --centered         the anchor is the centre and the drag gives half sizes\n"
    "  --template FILE    a path text file scaled into the box instead of KIND\n"
    "  --keep-aspect      with --template: one scale factor for both axes\n"
    "  --zoom Z           window pixels per image pixel (default 1)\n"
    "  -o, --output FILE  path text, or a picture when FILE ends in .png\n";

const char* kPolygonHelp =
    "usage: zopath polygon --sides N --style S --drag L,T,R,B [options]\n"
    "\n"
    "Makes a polygon or star of N sides (1 to 63) from a dragged rectangle (ZoPathPolyGet).\n"
    "Side styles: 0 the first side of a polygon template (--template), 1 straight, 2 star,\n"
    "3 arcs, 4 concave, 5 bulging, 6 tabs, 7 two lobes, 8 swirls, 9 steps, 10 scallops,\n"
    "11 notches, 12 shallow star.\n"
    "Options:\n"
    "  --drag L,T,R,B     the dragged rectangle in window pixels (required): from the centre L,T\n"
    "                     (--centered) or the corner, toward the first vertex R,B\n"
    "  --centered         L,T is the centre\n"
    "  --upright          the first vertex straight above the centre\n"
    "  --template FILE    the polygon template of side style 0 (path text)\n"
    "  --zoom Z           window pixels per image pixel (default 1)\n"
    "  -o, --output FILE  path text, or a picture when FILE ends in .png\n";

struct ShapeArgs {
  std::string kind, templ, output;
  RECT drag{};
  bool haveDrag = false, centered = false, keepAspect = false, upright = false;
  double zoom = 1.0;
  long sides = -1, style = -1;
};

bool rect_arg(const std::string& text, RECT* out) {
  long v[4];
  const char* p = text.c_str();
  for (int i = 0; i < 4; ++i) {
    char* end = nullptr;
    v[i] = std::strtol(p, &end, 10);
    if (end == p || (i < 3 && *end != ',') || (i == 3 && *end != '\0')) return false;
    p = end + 1;
  }
  *out = RECT{int32_t(v[0]), int32_t(v[1]), int32_t(v[2]), int32_t(v[3])};
  return true;
}

// Reads the options; returns 0 to go on, else the exit status.
int parse(int argc, char** argv, const char* help, ShapeArgs* a) {
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= argc) return false;
      *out = argv[++i];
      return true;
    };
    std::string v;
    if (arg == "-h" || arg == "--help") {
      std::fputs(help, stdout);
      return -1;
    } else if (arg == "--centered") {
      a->centered = true;
    } else if (arg == "--keep-aspect") {
      a->keepAspect = true;
    } else if (arg == "--upright") {
      a->upright = true;
    } else if (arg == "--drag") {
      if (!value(&v) || !rect_arg(v, &a->drag)) return usage_error("--drag takes L,T,R,B");
      a->haveDrag = true;
    } else if (arg == "--zoom") {
      if (!value(&v) || !((a->zoom = std::strtod(v.c_str(), nullptr)) > 0))
        return usage_error("--zoom takes a positive number");
    } else if (arg == "--sides" && value(&v)) {
      a->sides = std::strtol(v.c_str(), nullptr, 10);
    } else if (arg == "--style" && value(&v)) {
      a->style = std::strtol(v.c_str(), nullptr, 10);
    } else if (arg == "--template") {
      if (!value(&a->templ)) return usage_error("--template takes a file");
    } else if (arg == "-o" || arg == "--output") {
      if (!value(&a->output)) return usage_error("-o takes a file");
    } else if (a->kind.empty() && arg[0] != '-') {
      a->kind = arg;
    } else {
      return usage_error("unknown argument '" + arg + "'");
    }
  }
  if (!a->haveDrag) return usage_error("--drag is required");
  return 0;
}

// Writes the made path as text or a picture, then releases it and the template.
int finish(ZoPath* made, ZoPath* templ, const ShapeArgs& a, CoordStruct* view) {
  int status = 0;
  if (a.output.size() > 4 && a.output.substr(a.output.size() - 4) == ".png") {
    Canvas canvas(view->rcWindow.right, view->rcWindow.bottom);
    draw_shapes(canvas, made, view, &a.drag);
    std::string error;
    if (!write_png(a.output, canvas.image(), &error)) status = fail(error);
  } else {
    const std::string text = write_path_text(made);
    if (!write_file(a.output, text.data(), text.size())) status = fail("cannot write " + a.output);
  }
  while (made != nullptr) {
    ZoPath* next = made->next;
    ZoPathDeletePtrSingle(made);
    made = next;
  }
  while (templ != nullptr) {
    ZoPath* next = templ->next;
    ZoPathDeletePtrSingle(templ);
    templ = next;
  }
  ZoPathDeleteCoordStruct(view);
  return status;
}

bool read_template(const std::string& file, ZoPath** out) {
  std::string text;
  if (file.empty()) return true;
  if (!read_file(file, &text)) return false;
  *out = zo::import_text::read_paths(text.data(), text.size());
  return *out != nullptr;
}

CoordStruct* window_view(double zoom) {
  CoordStruct* view = nullptr;
  const RECT window{0, 0, 1024, 768};
  ZoPathCoordStruct(&window, 0, 0, zoom, nullptr, &view);
  return view;
}

}  // namespace

int cmd_shape(int argc, char** argv) {
  ShapeArgs a;
  if (int status = parse(argc, argv, kShapeHelp, &a)) return status < 0 ? 0 : status;
  const char* names[] = {"ellipse", "rectangle", "rounded", "diamond", "banded", "triangle"};
  int kind = std::atoi(a.kind.c_str());
  for (int i = 0; i < 6; ++i)
    if (a.kind == names[i]) kind = i + 1;
  if (kind == 0 && a.templ.empty()) return usage_error("shape: unknown KIND '" + a.kind + "'");
  ZoPath* templ = nullptr;
  if (!read_template(a.templ, &templ)) return fail("shape: cannot read " + a.templ);
  CoordStruct* view = window_view(a.zoom);
  ZoPath* made = nullptr;
  if (ZoPathGetPrimitive(kind, templ, &made, view, a.centered, a.keepAspect, &a.drag) == 0) {
    finish(nullptr, templ, a, view);
    return fail("shape: the library refused the shape (see the error report)");
  }
  return finish(made, templ, a, view);
}

int cmd_polygon(int argc, char** argv) {
  ShapeArgs a;
  if (int status = parse(argc, argv, kPolygonHelp, &a)) return status < 0 ? 0 : status;
  if (a.sides < 1 || a.sides > 63 || a.style < 0 || a.style > 12)
    return usage_error("polygon: --sides 1 to 63 and --style 0 to 12 are required");
  ZoPath* templ = nullptr;
  if (!read_template(a.templ, &templ)) return fail("polygon: cannot read " + a.templ);
  CoordStruct* view = window_view(a.zoom);
  ZoPath* made = nullptr;
  if (ZoPathPolyGet(uint32_t(a.sides), int32_t(a.style), templ, &made, view, &a.drag, a.centered,
                    a.upright) == 0) {
    finish(nullptr, templ, a, view);
    return fail("polygon: the library refused the figure (style 0 needs a polygon template)");
  }
  return finish(made, templ, a, view);
}

}  // namespace zopath
