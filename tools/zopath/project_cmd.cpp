// zopath project: turning the objects of a path file in space and seeing them through a
// perspective camera, as path text, a wire-frame picture and a depth buffer; and the
// gallery's 3-D section.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Zo32path.h"
#include "boolean/import_text.hpp"
#include "canvas.hpp"
#include "cli.hpp"
#include "commands.hpp"
#include "path_text.hpp"

namespace zopath {

namespace {

const char* kProjectHelp =
    "usage: zopath project PATHFILE [options]\n"
    "\n"
    "Turns the objects of PATHFILE (path text) in space and projects them through a\n"
    "perspective camera (ZoPathTo3D), writing the result as path text. Turns accumulate in\n"
    "the order given, as a host does: each is composed with the turn so far (AddRotation),\n"
    "and the result becomes the transform's matrix (VThitaGetMatrix).\n"
    "\n"
    "  --rotate-x DEG, --rotate-y DEG, --rotate-z DEG   a turn about an axis\n"
    "  --axis X,Y,Z --angle DEG                        a turn about any axis\n"
    "  --fov DEG          field of view (default 60)\n"
    "  --extent E         view extent (default: the larger side of the bounds)\n"
    "  --centre X,Y       pivot and eye position (default: the centre of the bounds)\n"
    "  --target X,Y       where the pivot lands (default: the centre)\n"
    "  --zoffset Z        pushes the objects along z after turning (default 0)\n"
    "  --depth D          extrusion depth of the wire frame and depth buffer (default 0)\n"
    "  -o FILE            the path text to write (default: standard output)\n"
    "  --png FILE         the original outline (grey) and the wire frame (blue)\n"
    "  --zbuffer FILE     the depth buffer of the first object as a grey PNG\n";

struct ProjectOptions {
  std::vector<std::pair<std::vector<double>, double>> turns;
  double fov = 60, extent = 0, zOffset = 0, depth = 0;
  bool hasCentre = false, hasTarget = false;
  double centre[2] = {0, 0}, target[2] = {0, 0};
  std::string input, output, png, zbuffer;
};

// The host's accumulation: AddRotation of each turn onto the turn so far.
void matrix_of(const ProjectOptions& o, double m[9]) {
  double axis[3] = {1, 0, 0}, angle = 0;
  for (const auto& [a, deg] : o.turns) {
    double outAxis[3], outAngle = 0;
    if (AddRotation(axis, angle, a.data(), deg, outAxis, &outAngle) != 0) {
      std::memcpy(axis, outAxis, sizeof axis);
      angle = outAngle;
    }
  }
  const double identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  std::memcpy(m, identity, sizeof identity);
  double rad = angle * 3.14159 / 180;
  VThitaGetMatrix(std::sin(rad), std::cos(rad), axis, m);
}

Transform3D transform_of(const ProjectOptions& o, ZoPath* head) {
  RectDB r{};
  ZoPathGetDoubleRectNoMargin(head, &r, 0);
  Transform3D t{};
  double cx = o.hasCentre ? o.centre[0] : (r.left + r.right) / 2;
  double cy = o.hasCentre ? o.centre[1] : (r.top + r.bottom) / 2;
  t.centreX = DbToFix(cx), t.centreY = DbToFix(cy);
  t.targetX = o.hasTarget ? DbToFix(o.target[0]) : t.centreX;
  t.targetY = o.hasTarget ? DbToFix(o.target[1]) : t.centreY;
  t.viewExtent = o.extent > 0 ? o.extent : std::max(r.right - r.left, r.bottom - r.top);
  t.fieldOfView = o.fov;
  matrix_of(o, t.matrix);
  return t;
}

// The original outlines (grey) and the extruded wire frames (blue), 2 pixels a pixel.
bool wire_picture(ZoPath* head, const Transform3D& transform, double depth, double zOffset,
                  Image* out, std::string* error) {
  RECT all{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  Transform3D flat{};
  const double identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  std::memcpy(flat.matrix, identity, sizeof identity);
  flat.viewExtent = 1;  // a field of view of 0: parallel rays, the object as it is
  for_each_object(head, [&](ZoPath* p) {
    for (const Transform3D* t : {static_cast<const Transform3D*>(&flat), &transform}) {
      RECT r{};
      if (ZoPathGet3DMiniMaxRect(p, t, 0, t == &flat ? 0 : depth, &r) == 0) continue;
      all = RECT{std::min(all.left, r.left), std::min(all.top, r.top),
                 std::max(all.right, r.right), std::max(all.bottom, r.bottom)};
    }
  });
  const double zoom = 2.0;
  int64_t w = (int64_t{all.right} - all.left) * 2, h = (int64_t{all.bottom} - all.top) * 2;
  if (w <= 0 || h <= 0 || w > 4096 || h > 4096) {
    *error = "the projected objects do not fit a 4096-pixel picture";
    return false;
  }
  Canvas canvas{int32_t(w), int32_t(h)};
  CoordStruct view{};
  view.rcWindow = RECT{0, 0, int32_t(w), int32_t(h)};
  view.zoom = zoom;
  view.scrollX = int32_t(all.left * zoom), view.scrollY = int32_t(all.top * zoom);
  for_each_object(head, [&](ZoPath* p) {
    Transform3D t = flat;
    canvas.pen(ZO_RGB(170, 170, 170));
    ZoPath3DWireFrame(canvas.dc, p, 0, 0, &view, &t, 0, 0);
    t = transform;
    canvas.pen(ZO_RGB(30, 90, 210));
    ZoPath3DWireFrame(canvas.dc, p, 0, 0, &view, &t, depth, zOffset);
  });
  *out = canvas.image();
  return true;
}

// The depth buffer as grey: near (small z) dark, far light, outside white.
bool depth_picture(ZoPath* object, const Transform3D& transform, double zOffset, double depth,
                   Image* out, std::string* error) {
  uint8_t* buffer = nullptr;
  if (ZoPathCreateZBufferFrom3DTransform(&buffer, &transform, object, zOffset,
                                         static_cast<int32_t>(depth)) == 0) {
    *error = "the depth buffer could not be made";
    return false;
  }
  uint32_t w = 0, h = 0, bits = 0;
  ZoPathBufGetWHU(buffer, &w, &h, &bits);
  const float* v = reinterpret_cast<const float*>(buffer);
  float lo = INFINITY, hi = -INFINITY;
  for (size_t i = 0; i < size_t(w) * h; ++i) {
    if (v[i] != 0.0f) lo = std::min(lo, v[i]), hi = std::max(hi, v[i]);
  }
  out->width = w, out->height = h, out->channels = 1;
  out->pixels.assign(size_t(w) * h, 255);
  for (size_t i = 0; i < size_t(w) * h; ++i) {
    if (v[i] != 0.0f) out->pixels[i] = uint8_t(40 + 160 * (hi > lo ? (v[i] - lo) / (hi - lo) : 0.5));
  }
  ZoPathBufFree(buffer);
  return true;
}

int parse(int argc, char** argv, ProjectOptions* o) {
  for (int i = 0; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "-h" || a == "--help") return std::fputs(kProjectHelp, stdout), -1;
    bool takesValue = a.size() > 1 && a[0] == '-';
    if (takesValue && i + 1 >= argc) return usage_error("project: " + a + " needs a value");
    std::string v = takesValue ? argv[i + 1] : "";
    double n[3] = {0, 0, 0};
    bool isNumber = numbers(v, n, 1);
    if (a == "--rotate-x" || a == "--rotate-y" || a == "--rotate-z") {
      if (!isNumber) return usage_error("project: " + a + " needs degrees");
      std::vector<double> axis{a == "--rotate-x" ? 1.0 : 0.0, a == "--rotate-y" ? 1.0 : 0.0,
                               a == "--rotate-z" ? 1.0 : 0.0};
      o->turns.emplace_back(axis, n[0]);
    } else if (a == "--axis") {
      double axis[3], deg = 0;
      if (!numbers(v, axis, 3) || i + 3 >= argc || std::string(argv[i + 2]) != "--angle" ||
          !numbers(argv[i + 3], &deg, 1)) {
        return usage_error("project: --axis X,Y,Z must be followed by --angle DEG");
      }
      o->turns.emplace_back(std::vector<double>(axis, axis + 3), deg);
      i += 2;
    } else if (a == "--fov" || a == "--extent" || a == "--zoffset" || a == "--depth") {
      if (!isNumber) return usage_error("project: " + a + " needs a number");
      (a == "--fov" ? o->fov : a == "--extent" ? o->extent : a == "--zoffset" ? o->zOffset : o->depth) = n[0];
    } else if (a == "--centre" || a == "--target") {
      double* dst = a == "--centre" ? o->centre : o->target;
      if (!numbers(v, dst, 2)) return usage_error("project: " + a + " needs X,Y");
      (a == "--centre" ? o->hasCentre : o->hasTarget) = true;
    } else if (a == "-o" || a == "--output" || a == "--png" || a == "--zbuffer") {
      (a == "--png" ? o->png : a == "--zbuffer" ? o->zbuffer : o->output) = v;
    } else if (takesValue) {
      return usage_error("project: unknown option '" + a + "' (see zopath project --help)");
    } else if (o->input.empty()) {
      o->input = a;
      continue;
    } else {
      return usage_error("project: more than one path file given");
    }
    ++i;
  }
  if (o->input.empty()) return usage_error("project: no path file given (see zopath project --help)");
  return 0;
}

}  // namespace

int cmd_project(int argc, char** argv) {
  ProjectOptions o;
  if (int status = parse(argc, argv, &o); status != 0) return status < 0 ? 0 : status;
  std::string text;
  if (!read_file(o.input, &text)) return fail("project: cannot read " + o.input);
  ZoPath* head = zo::import_text::read_paths(text.data(), text.size());
  if (head == nullptr) return fail("project: " + o.input + " holds no complete subpath");
  Transform3D t = transform_of(o, head);
  std::string error;
  bool ok = true;
  if (!o.png.empty()) {
    Image image;
    ok = wire_picture(head, t, o.depth, o.zOffset, &image, &error) && write_png(o.png, image, &error);
  }
  if (ok && !o.zbuffer.empty()) {
    Image image;
    ok = depth_picture(head, t, o.zOffset, o.depth, &image, &error) &&
         write_png(o.zbuffer, image, &error);
  }
  for_each_object(head, [&](ZoPath* p) { ZoPathTo3D(p, &t, o.zOffset, 0); });
  std::string result = write_path_text(head);
  release_list(head);
  if (!ok) return fail("project: " + error);
  if (!write_file(o.output, result.data(), result.size())) return fail("project: cannot write output");
  return 0;
}

bool write_projection_gallery(const std::string& dir, std::string* html, std::string* error) {
  std::ostringstream star, letter;
  star << "11 0\n";
  for (int i = 0; i <= 10; ++i) {
    double a = -M_PI / 2 + i * M_PI / 5, r = i % 2 == 0 ? 60 : 25;
    star << 70 + r * std::cos(a) << ' ' << 70 + r * std::sin(a) << ' ' << (i == 0 ? 6 : i == 10 ? 3 : 2) << '\n';
  }
  // A letter D: a straight back and a curved bowl.
  letter << "8 0\n20 10 6\n20 130 2\n60 130 2\n125 130 4\n125 10 4\n60 10 4\n20 10 3\n20 10 2\n";
  struct Shot {
    const char* caption;
    std::string text;
    double rx, ry, depth;
    bool zbuffer;
  } shots[] = {{"star turned 35 degrees about x", star.str(), 35, 0, 0, false},
               {"star turned about x and y, extruded 30", star.str(), 35, 25, 30, false},
               {"letter turned 40 degrees about y", letter.str(), 0, 40, 0, false},
               {"letter turned about x and y, extruded 40", letter.str(), -20, 40, 40, false},
               {"depth buffer of the turned star", star.str(), 35, 25, 0, true}};
  std::ostringstream out;
  out << "<h2>3-D projection</h2>\n<p>Objects turned with <code>zopath project</code>: the "
         "original outline in grey, the perspective wire frame (front, back and joining edges "
         "when extruded) in blue; and a depth buffer (near dark, far light).</p>\n<table><tr>\n";
  int n = 0;
  for (const Shot& s : shots) {
    ProjectOptions o;
    if (s.rx != 0) o.turns.push_back({{1, 0, 0}, s.rx});
    if (s.ry != 0) o.turns.push_back({{0, 1, 0}, s.ry});
    o.extent = 140;
    ZoPath* head = zo::import_text::read_paths(s.text.data(), s.text.size());
    if (head == nullptr) return *error = "the 3-D sample did not read", false;
    Transform3D t = transform_of(o, head);
    Image image;
    std::string name = "project_" + std::to_string(n) + ".png";
    bool ok = s.zbuffer ? depth_picture(head, t, 0, s.depth, &image, error)
                        : wire_picture(head, t, s.depth, 0, &image, error);
    ok = ok && write_png((std::filesystem::path(dir) / name).string(), image, error);
    release_list(head);
    if (!ok) return false;
    out << "<td><img src=\"" << name << "\" alt=\"" << s.caption << "\"><br>" << s.caption << "</td>\n";
    if (++n % 3 == 0) out << "</tr><tr>\n";
  }
  out << "</tr></table>\n";
  *html += out.str();
  return true;
}

}  // namespace zopath
