// zopath transform: moving, scaling, rotating, matrix transforms, alignment and distribution
// of the objects of a path file; and the gallery's before/after pictures of a few of them.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "Zo32path.h"
#include "boolean/import_text.hpp"
#include "cli.hpp"
#include "path_input.hpp"
#include "path_text.hpp"
#include "png_writer.hpp"

namespace zopath {

namespace {

const char* kTransformHelp =
    "usage: zopath transform INPUT OPERATION... [-o OUT.txt] [--png OUT.png] [--clamp]\n"
    "\n"
    "Reads the objects of INPUT (path text or a stored block; - reads standard input; joined\n"
    "runs of subpaths form one object), applies the\n"
    "operations in order and writes the result as path text (default: standard output).\n"
    "\n"
    "Operations (coordinates in image pixels, angles in degrees):\n"
    "  --move DX DY               move every object (ZoPathMovePathsByPtfx)\n"
    "  --scale SX [SY]            scale about the origin (ZoPathSize; SY defaults to SX)\n"
    "  --scale-centred SX SY      scale each subpath about its own centre (ZoPathScaleCentered)\n"
    "  --rotate DEG               rotate about the centre of the bounds, whole degrees\n"
    "                             (ZoPathRotateAboutCenter)\n"
    "  --matrix A B C D E F       map each object by x' = A x + C y + E, y' = B x + D y + F\n"
    "                             (ZoPathMat)\n"
    "  --resize TX TY SX SY DEG   scale by SX, SY and rotate about the top-left of the shape,\n"
    "                             which lands on (TX, TY) (ZoPathResizeSlantRotate)\n"
    "  --align HOW                left, right, top, bottom, centre-x, centre-y, centre (the\n"
    "                             objects' centres to their mean), distribute-x, distribute-y\n"
    "                             (even spacing of the centres) (ZoPathAlign)\n"
    "\n"
    "Output:\n"
    "  -o, --output FILE          the path text to write (default: standard output)\n"
    "  --clamp                    clamp results of --move, --scale and --matrix that leave the\n"
    "                             16.16 range (+-32768 pixels) instead of refusing them\n"
    "  --png FILE                 also draw the objects before (grey) and after (blue)\n"
    "  --png-scale S              pixels per image pixel in the picture (default 2)\n";

bool number(const char* text, double* out) {
  char* end = nullptr;
  *out = std::strtod(text, &end);
  return end != text && *end == '\0' && std::isfinite(*out);
}

void release(ZoPath* head) {
  while (head != nullptr) {
    ZoPath* next = head->next;
    ZoPathDeletePtrSingle(head);
    head = next;
  }
}

// The list's objects: the subpaths that start a join chain.
std::vector<ZoPath*> objects_of(ZoPath* head) {
  std::vector<ZoPath*> out;
  for (ZoPath* p = head; p != nullptr; p = p->next)
    if (p->joinPrev == nullptr) out.push_back(p);
  return out;
}

constexpr double kFixLimit = 32768.0 - 1.0 / 65536;  // the largest 16.16 value, in pixels

bool in_range(double v) { return std::fabs(v) <= kFixLimit; }

// A transform the tool can predict node by node (move, scale about the origin, matrix): its
// results are checked before the library applies it. Coordinates that would leave the 16.16
// range are refused, or with --clamp set to the nearest representable value afterwards.
bool predicted(ZoPath* head, const std::function<PointDB(PointDB)>& map,
               const std::function<bool(ZoPath*)>& apply, const std::string& what, bool clamp,
               std::string* error) {
  std::vector<PointDB> after;
  size_t outside = 0;
  for (ZoPath* p = head; p != nullptr; p = p->next)
    for (uint32_t i = 0; i < p->count; ++i) {
      const PathNode& n = ZoPathNodes(p)[i];
      after.push_back(map(PointDB{FixToDb(n.pt.x), FixToDb(n.pt.y)}));
      outside += (in_range(after.back().x) ? 0 : 1) + (in_range(after.back().y) ? 0 : 1);
    }
  if (outside > 0 && !clamp) {
    *error = what + ": " + std::to_string(outside) +
             " coordinates would leave the 16.16 range (+-32768 pixels); --clamp clamps them";
    return false;
  }
  if (!apply(head)) {
    *error = what + ": the library refused the transform";
    return false;
  }
  if (outside == 0) return true;
  auto clamped = [](double v) { return DbToFix(std::clamp(v, -kFixLimit, kFixLimit)); };
  size_t k = 0;
  for (ZoPath* p = head; p != nullptr; p = p->next)
    for (uint32_t i = 0; i < p->count; ++i, ++k) {
      PathNode& n = ZoPathNodes(p)[i];
      if (!in_range(after[k].x)) n.pt.x = clamped(after[k].x);
      if (!in_range(after[k].y)) n.pt.y = clamped(after[k].y);
    }
  warn(what + ": clamped " + std::to_string(outside) + " coordinates to the 16.16 range");
  return true;
}

// Coordinates at the conversion's out-of-range value, -32768 pixels.
size_t overflowed(ZoPath* head) {
  size_t n = 0;
  for (ZoPath* p = head; p != nullptr; p = p->next)
    for (uint32_t i = 0; i < p->count; ++i)
      n += (ZoPathNodes(p)[i].pt.x == INT32_MIN ? 1 : 0) +
           (ZoPathNodes(p)[i].pt.y == INT32_MIN ? 1 : 0);
  return n;
}

// A transform whose result only the library knows: refused when it leaves the 16.16 range.
bool checked(ZoPath* head, const std::function<bool(ZoPath*)>& apply, const std::string& what,
             bool clamp, std::string* error) {
  size_t before = overflowed(head);
  if (!apply(head)) {
    *error = what + ": the library refused the transform";
    return false;
  }
  if (overflowed(head) == before) return true;
  *error = what + ": the result leaves the 16.16 range (+-32768 pixels)" +
           (clamp ? std::string("; --clamp applies only to --move, --scale and --matrix") : "");
  return false;
}

int32_t align_command(const std::string& how) {
  static const std::pair<const char*, int32_t> names[] = {{"left", ZOALIGN_LEFT},
                                                          {"right", ZOALIGN_RIGHT},
                                                          {"top", ZOALIGN_TOP},
                                                          {"bottom", ZOALIGN_BOTTOM},
                                                          {"centre-x", ZOALIGN_CENTRE_X},
                                                          {"centre-y", ZOALIGN_CENTRE_Y},
                                                          {"centre", ZOALIGN_CENTRE_BOTH},
                                                          {"distribute-x", ZOALIGN_DISTRIBUTE_X},
                                                          {"distribute-y", ZOALIGN_DISTRIBUTE_Y}};
  for (const auto& [name, command] : names)
    if (how == name) return command;
  return 0;
}

// Aligns every object of the list: the list becomes the selection of a one-group table.
bool align(ZoPath* head, int32_t command) {
  ZoPathTbl* table = nullptr;
  if (ZoPathNew(&table) == 0) return false;
  ZoPathAllPathSelected(head);
  ZoPathAssignActivePath(table, head);
  RECT changed;
  bool ok = ZoPathAlign(0, command, table, nullptr, &changed) == 1;
  table->groups[0].first = nullptr;  // the list stays the caller's
  ZoPathTblDelete(table);
  return ok;
}

// One operation on the whole list; false with a message when it cannot be applied.
using Operation = std::function<bool(ZoPath* head, std::string* error)>;

// Reads the operations from the arguments; the options that are not operations are handed
// to `other`, which returns how many arguments it took (0: unknown). `clamp` is read when the
// operations run.
bool parse_operations(int argc, char** argv, std::vector<Operation>* ops, std::string* input,
                      const std::function<int(int, std::string*)>& other, const bool* clamp,
                      std::string* error) {
  for (int i = 0; i < argc; ++i) {
    std::string a = argv[i];
    auto values = [&](int n, std::vector<double>* v, double limit) {
      if (i + n >= argc) return false;
      for (int k = 1; k <= n; ++k) {
        double d;
        if (!number(argv[i + k], &d) || std::fabs(d) > limit) return false;
        v->push_back(d);
      }
      i += n;
      return true;
    };
    std::vector<double> v;
    if (a == "--move") {
      if (!values(2, &v, 65535)) return *error = "--move needs DX DY, each within +-65535", false;
      // Offsets beyond the 16.16 range are passed modulo 2^32: the node sums wrap the same
      // way, so every result that lies in range comes out exact.
      auto modular = [](double d) {
        return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(d * 65536.0)));
      };
      Ptfx offset{modular(v[0]), modular(v[1])};
      ops->push_back([v, offset, clamp](ZoPath* head, std::string* err) {
        auto map = [&](PointDB p) { return PointDB{p.x + v[0], p.y + v[1]}; };
        // The reader selects every subpath: moving the head moves the whole selection.
        auto apply = [&](ZoPath* h) { return ZoPathMovePathsByPtfx(h, offset), true; };
        return predicted(head, map, apply, "--move", *clamp, err);
      });
    } else if (a == "--scale") {
      if (!values(1, &v, 1e9)) return *error = "--scale needs SX [SY], each within +-1e9", false;
      double sy = 0;
      if (i + 1 < argc && number(argv[i + 1], &sy) && std::fabs(sy) <= 1e9) ++i;
      double sx = v[0];
      if (sy == 0) sy = sx;
      ops->push_back([sx, sy, clamp](ZoPath* head, std::string* err) {
        auto map = [&](PointDB p) { return PointDB{p.x * sx, p.y * sy}; };
        auto apply = [&](ZoPath* h) { return ZoPathSize(h, sx, sy) == 1; };
        return predicted(head, map, apply, "--scale", *clamp, err);
      });
    } else if (a == "--scale-centred" || a == "--scale-centered") {
      if (!values(2, &v, 1e9)) return *error = a + " needs SX SY, each within +-1e9", false;
      ops->push_back([v, a, clamp](ZoPath* head, std::string* err) {
        auto apply = [&](ZoPath* h) {
          for (ZoPath* p = h; p != nullptr; p = p->next)
            ZoPathScaleCentered(p, v[0], v[1], nullptr);
          return true;
        };
        return checked(head, apply, a, *clamp, err);
      });
    } else if (a == "--rotate") {
      if (!values(1, &v, 1e6)) return *error = "--rotate needs DEG, within +-1e6", false;
      ops->push_back([v, clamp](ZoPath* head, std::string* err) {
        auto apply = [&](ZoPath* h) { return ZoPathRotateAboutCenter(h, v[0]), true; };
        return checked(head, apply, "--rotate", *clamp, err);
      });
    } else if (a == "--matrix") {
      if (!values(6, &v, 1e30))
        return *error = "--matrix needs A B C D E F, each within +-1e30", false;
      ops->push_back([v, clamp](ZoPath* head, std::string* err) {
        const float m[6] = {float(v[0]), float(v[1]), float(v[2]),
                            float(v[3]), float(v[4]), float(v[5])};
        auto map = [&](PointDB p) {
          return PointDB{double{m[0]} * p.x + double{m[2]} * p.y + m[4],
                         double{m[1]} * p.x + double{m[3]} * p.y + m[5]};
        };
        auto apply = [&](ZoPath* h) {
          for (ZoPath* o : objects_of(h)) ZoPathMat(o, m);
          return true;
        };
        return predicted(head, map, apply, "--matrix", *clamp, err);
      });
    } else if (a == "--resize") {
      if (!values(5, &v, 1e9))
        return *error = "--resize needs TX TY SX SY DEG, each within +-1e9", false;
      ops->push_back([v, clamp](ZoPath* head, std::string* err) {
        ZoPathRSRParams params{0, 0, v[0], v[1], v[2], v[3], 0.0, v[4]};
        bool held = false;
        auto apply = [&](ZoPath* h) {
          held = ZoPathResizeSlantRotate(h, &params, nullptr) != 1;
          return !held;
        };
        if (checked(head, apply, "--resize", *clamp, err)) return true;
        if (held) *err = "--resize: the list holds a wrap baseline or an envelope frame";
        return false;
      });
    } else if (a == "--align") {
      int32_t command = i + 1 < argc ? align_command(argv[i + 1]) : 0;
      if (command == 0)
        return *error =
                   "--align needs one of left, right, top, bottom, centre-x, "
                   "centre-y, centre, distribute-x, distribute-y",
               false;
      ++i;
      ops->push_back([command](ZoPath* head, std::string* err) {
        if (align(head, command)) return true;
        *err = "--align: out of memory";
        return false;
      });
    } else if (Args::is_option(a)) {
      int taken = other(i, error);
      if (taken < 0) return false;
      if (taken == 0) return *error = "unknown option '" + a + "'", false;
      i += taken - 1;
    } else if (input->empty()) {
      *input = a;
    } else {
      return *error = "more than one path file given", false;
    }
  }
  return true;
}

// ---- Before/after pictures ----

struct Masks {
  uint32_t n = 0;
  RECT* rects = nullptr;
  uint8_t** buffers = nullptr;
  Masks() = default;
  Masks(const Masks&) = delete;
  Masks& operator=(const Masks&) = delete;
  ~Masks() {
    for (uint32_t i = 0; i < n; ++i) ZoPathBufFree(buffers[i]);
    if (rects != nullptr) ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(rects));
    if (buffers != nullptr) ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(buffers));
  }
};

bool fill(ZoPath* head, double scale, Masks* m) {
  m->n = ZoPathToBuf(head, 8, 0, 1, 0, static_cast<uint32_t>(std::lround(scale * 65536.0)),
                     &m->rects, &m->buffers, 1);
  return m->n > 0;
}

// Both lists filled at the scale into one RGB picture: before in grey, after in blue over it.
bool picture(ZoPath* before, ZoPath* after, double scale, Image* out, std::string* error) {
  Masks a, b;
  if (!fill(before, scale, &a) || !fill(after, scale, &b)) {
    *error = "the paths could not be rendered";
    return false;
  }
  RECT all = a.rects[0];
  for (const Masks* m : {&a, &b})
    for (uint32_t i = 0; i < m->n; ++i) {
      all.left = std::min(all.left, m->rects[i].left - 4);
      all.top = std::min(all.top, m->rects[i].top - 4);
      all.right = std::max(all.right, m->rects[i].right + 4);
      all.bottom = std::max(all.bottom, m->rects[i].bottom + 4);
    }
  int64_t w = int64_t{all.right} - all.left + 1, h = int64_t{all.bottom} - all.top + 1;
  if (w > 8192 || h > 8192) {
    *error = "the picture would be larger than 8192 pixels; lower --png-scale";
    return false;
  }
  out->width = static_cast<uint32_t>(w);
  out->height = static_cast<uint32_t>(h);
  out->channels = 3;
  out->pixels.assign(size_t(w) * size_t(h) * 3, 255);
  auto paint = [&](const Masks& m, const uint8_t colour[3], double strength) {
    for (uint32_t i = 0; i < m.n; ++i) {
      uint32_t mw = 0, mh = 0;
      ZoPathBufGetWHU(m.buffers[i], &mw, &mh, nullptr);
      for (uint32_t y = 0; y < mh; ++y)
        for (uint32_t x = 0; x < mw; ++x) {
          double c = m.buffers[i][size_t(y) * mw + x] / 255.0 * strength;
          size_t at = (size_t(y + uint32_t(m.rects[i].top - all.top)) * out->width + x +
                       uint32_t(m.rects[i].left - all.left)) *
                      3;
          for (int k = 0; k < 3; ++k)
            out->pixels[at + k] =
                static_cast<uint8_t>(std::lround(out->pixels[at + k] * (1 - c) + colour[k] * c));
        }
    }
  };
  const uint8_t grey[3] = {150, 150, 150}, blue[3] = {30, 90, 210};
  paint(a, grey, 0.6);
  paint(b, blue, 0.8);
  return true;
}

ZoPath* copy_of(ZoPath* head) {
  ZoPath* copy = nullptr;
  return ZoPathDuplicatePtr(head, &copy) == 1 ? copy : nullptr;
}

// ---- The gallery ----

struct Example {
  const char* caption;
  const char* args;  // the operations, as on the command line
};

// Three objects: a star, a joined ring and a tilted bar.
std::string sample_text() {
  std::ostringstream t;
  t << "% three objects: a star, a ring of two joined ellipses, a bar\n11 0\n";
  for (int i = 0; i <= 10; ++i) {
    double a = -M_PI / 2 + i * M_PI / 5, r = i % 2 == 0 ? 28 : 12;
    t << 40 + r * std::cos(a) << ' ' << 40 + r * std::sin(a) << ' '
      << (i == 0    ? 6
          : i == 10 ? 3
                    : 2)
      << '\n';
  }
  const double k = 0.5522847;
  for (double rr : {22.0, 12.0}) {
    double cx = 120, cy = 60, s = rr == 12.0 ? -1 : 1;
    t << "13 1\n" << cx + rr << ' ' << cy << " 6\n";
    const double q[4][6] = {{rr, s * k * rr, k * rr, s * rr, 0, s * rr},
                            {-k * rr, s * rr, -rr, s * k * rr, -rr, 0},
                            {-rr, -s * k * rr, -k * rr, -s * rr, 0, -s * rr},
                            {k * rr, -s * rr, rr, -s * k * rr, rr, 0}};
    for (int c = 0; c < 4; ++c)
      for (int n = 0; n < 3; ++n)
        t << cx + q[c][2 * n] << ' ' << cy + q[c][2 * n + 1] << ' ' << (c == 3 && n == 2 ? 5 : 4)
          << '\n';
  }
  t << "5 0\n180 20 6\n196 24 2\n186 100 2\n170 96 2\n180 20 3\n";
  return t.str();
}

// Splits an argument string on spaces into writable argv strings.
std::vector<std::string> words(const char* text) {
  std::istringstream in(text);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

bool apply_all(ZoPath* head, const std::vector<Operation>& ops, std::string* error) {
  for (const Operation& op : ops)
    if (!op(head, error)) return false;
  return true;
}

}  // namespace

int cmd_transform(int argc, char** argv) {
  for (int i = 0; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "-h" || a == "--help") {
      std::fputs(kTransformHelp, stdout);
      return kExitDone;
    }
  }
  std::string input, output, png, error;
  double pngScale = 2.0;
  bool clamp = false;
  std::vector<Operation> ops;
  auto other = [&](int i, std::string* err) {
    std::string a = argv[i];
    if (a == "--clamp") return clamp = true, 1;
    if (a != "-o" && a != "--output" && a != "--png" && a != "--png-scale") return 0;
    if (i + 1 >= argc) return *err = a + " needs a value", -1;
    if (a == "--png-scale") {
      if (!number(argv[i + 1], &pngScale) || pngScale <= 0 || pngScale > 64)
        return *err = "--png-scale needs a number in (0, 64]", -1;
    } else {
      (a == "--png" ? png : output) = argv[i + 1];
    }
    return 2;
  };
  auto usage = [](const std::string& message) {
    return usage_error("transform: " + message + " (see zopath transform --help)");
  };
  if (!parse_operations(argc, argv, &ops, &input, other, &clamp, &error)) return usage(error);
  if (input.empty()) return usage("no input file given (- reads standard input)");
  if (ops.empty()) return usage("no operation given");
  ZoPath* head = nullptr;
  if (!load_paths(input, &head, &error)) return fail("transform: " + error);
  ZoPath* before = png.empty() ? nullptr : copy_of(head);
  if (!png.empty() && before == nullptr) {
    release(head);
    return fail("transform: out of memory");
  }
  bool ok = apply_all(head, ops, &error);
  if (ok && !png.empty()) {
    Image image;
    ok = picture(before, head, pngScale, &image, &error) && write_png(png, image, &error);
  }
  std::string result = ok ? write_path_text(head) : std::string();
  release(head);
  release(before);
  if (!ok) return fail("transform: " + error);
  if (!write_output(output, result, &error)) return fail("transform: " + error);
  return kExitDone;
}

bool write_transform_gallery(const std::string& dir, std::string* html, std::string* error) {
  const Example examples[] = {
      {"rotate by 30 degrees about the centre", "--rotate 30"},
      {"resize to 1.5 x 0.75 and rotate by -15 degrees, anchored at (10, 10)",
       "--resize 10 10 1.5 0.75 -15"},
      {"shear with a matrix", "--matrix 1 0 0.4 1 -10 0"},
      {"align the tops", "--align top"},
      {"distribute the centres horizontally", "--align distribute-x"},
      {"centre the objects vertically on their mean centre", "--align centre-y"},
  };
  std::string text = sample_text();
  if (!write_output((std::filesystem::path(dir) / "transform_sample.txt").string(), text, error))
    return false;
  std::ostringstream out;
  out << "<h2>Transforms and alignment (<a href=\"transform_sample.txt\">transform_sample.txt"
         "</a>)</h2>\n<p>Each picture shows the objects before (grey) and after (blue) one "
         "<code>zopath transform</code> run with the operations named under it.</p>\n"
         "<table><tr>\n";
  int n = 0;
  for (const Example& e : examples) {
    std::vector<std::string> w = words(e.args);
    std::vector<char*> args;
    for (std::string& s : w) args.push_back(s.data());
    std::vector<Operation> ops;
    std::string input = "sample";
    auto none = [](int, std::string*) { return 0; };
    static const bool kNoClamp = false;
    if (!parse_operations(static_cast<int>(args.size()), args.data(), &ops, &input, none, &kNoClamp,
                          error))
      return false;
    ZoPath* head = zo::import_text::read_paths(text.data(), text.size());
    ZoPath* before = head == nullptr ? nullptr : copy_of(head);
    Image image;
    std::string name = "transform_" + std::to_string(n) + ".png";
    bool ok = before != nullptr && apply_all(head, ops, error) &&
              picture(before, head, 2.0, &image, error) &&
              write_png((std::filesystem::path(dir) / name).string(), image, error);
    if (before == nullptr && error->empty()) *error = "the transform sample did not read";
    release(head);
    release(before);
    if (!ok) return false;
    out << "<td><img src=\"" << name << "\" alt=\"" << e.caption
        << "\" style=\"width:" << image.width << "px\"><br>" << e.caption << "<br><code>" << e.args
        << "</code></td>\n";
    if (++n % 3 == 0) out << "</tr><tr>\n";
  }
  out << "</tr></table>\n";
  *html += out.str();
  return true;
}

}  // namespace zopath
