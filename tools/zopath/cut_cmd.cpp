// zopath cut / crossings: cutting a path file along a line or a cutting path, and listing
// where the segments of two path files cross.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Zo32path.h"
#include "boolean/curve_intersection.hpp"
#include "boolean/import_text.hpp"
#include "cli.hpp"
#include "commands.hpp"
#include "io.hpp"
#include "model/node_walk.hpp"
#include "path_input.hpp"
#include "path_text.hpp"
#include "png_writer.hpp"

namespace zopath {

namespace {

const char* kCutHelp =
    "usage: zopath cut INPUT (--x K | --line AX AY BX BY | --path CUTTER)\n"
    "                 [--pairing 0|1] -o OUT.txt [--png OUT.png]\n"
    "\n"
    "Cuts every subpath of INPUT (path text or a stored block) like a knife and writes the\n"
    "pieces as path text, the first side's pieces first. --x cuts along the vertical line\n"
    "x = K (first side: x > K),\n"
    "--line along the line through two points (whole image units), --path along the first\n"
    "subpath of CUTTER (every subpath of INPUT must then be closed). --pairing 1 joins\n"
    "the cut points along the cut across subpaths (a ring becomes two C shapes); 0, the\n"
    "default, pairs them within each subpath. --png draws the original in grey and the pieces\n"
    "in alternating colours.\n";

const char* kCrossingsHelp =
    "usage: zopath crossings A B\n"
    "\n"
    "Lists every crossing of every segment of path file A with every segment of B: the subpath\n"
    "and segment numbers, the parameter on each segment and the point, one line each, with\n"
    "'coincident' where two segments run together.\n";

ZoPath* read_list(const std::string& path, std::string* error) {
  ZoPath* list = nullptr;
  return load_paths(path, &list, error) ? list : nullptr;
}

void release(ZoPath* list) { release_list(list); }

bool number(const char* text, double* out) {
  char* end = nullptr;
  *out = std::strtod(text, &end);
  return end != text && *end == '\0' && std::isfinite(*out);
}

int64_t pack(double x, double y) {
  auto u = [](double v) { return static_cast<uint32_t>(static_cast<int32_t>(std::lround(v))); };
  return static_cast<int64_t>((uint64_t{u(y)} << 32) | u(x));
}

// Masks of ZoPathToBuf, released with the lists of rectangles and buffers.
struct Layer {
  uint32_t n = 0;
  RECT* rects = nullptr;
  uint8_t** buffers = nullptr;
  int colour = 0;
  Layer() = default;
  Layer(const Layer&) = delete;
  Layer& operator=(const Layer&) = delete;
  ~Layer() {
    for (uint32_t i = 0; i < n; ++i) ZoPathBufFree(buffers[i]);
    if (rects != nullptr) ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(rects));
    if (buffers != nullptr) ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(buffers));
  }
};

// The original in grey under the pieces, each piece in the next of four colours.
bool draw(ZoPath* original, ZoPath* pieces, Image* out, std::string* error) {
  std::vector<ZoPath*> sources{original};
  for (ZoPath* p = pieces; p != nullptr; p = p->next) sources.push_back(p);
  std::vector<Layer> layers(sources.size());
  RECT all{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (size_t l = 0; l < sources.size(); ++l) {
    // The original (read selected) is drawn whole; each piece (unselected) alone.
    ZoPath* prev = sources[l]->prev;
    ZoPath* next = sources[l]->next;
    if (l > 0) sources[l]->prev = sources[l]->next = nullptr;
    layers[l].n =
        ZoPathToBuf(sources[l], 8, 0, 1, 0, 65536, &layers[l].rects, &layers[l].buffers, 4);
    if (l > 0) sources[l]->prev = prev, sources[l]->next = next;
    layers[l].colour = l == 0 ? 0 : 1 + static_cast<int>((l - 1) % 4);
    for (uint32_t i = 0; i < layers[l].n; ++i) {
      all.left = std::min(all.left, layers[l].rects[i].left);
      all.top = std::min(all.top, layers[l].rects[i].top);
      all.right = std::max(all.right, layers[l].rects[i].right);
      all.bottom = std::max(all.bottom, layers[l].rects[i].bottom);
    }
  }
  if (all.left > all.right) return *error = "the paths could not be rendered", false;
  int64_t w = int64_t{all.right} - all.left + 1, h = int64_t{all.bottom} - all.top + 1;
  if (w > 8192 || h > 8192) return *error = "the picture would exceed 8192 pixels", false;
  out->width = static_cast<uint32_t>(w);
  out->height = static_cast<uint32_t>(h);
  out->channels = 3;
  out->pixels.assign(size_t(w) * size_t(h) * 3, 255);
  static const uint8_t colours[5][3] = {
      {160, 160, 160}, {30, 90, 210}, {220, 90, 30}, {40, 160, 70}, {170, 60, 170}};
  for (const Layer& layer : layers) {
    for (uint32_t i = 0; i < layer.n; ++i) {
      const uint8_t* colour = colours[layer.colour];
      uint32_t mw = 0, mh = 0;
      ZoPathBufGetWHU(layer.buffers[i], &mw, &mh, nullptr);
      for (uint32_t y = 0; y < mh; ++y) {
        for (uint32_t x = 0; x < mw; ++x) {
          double c = layer.buffers[i][size_t(y) * mw + x] / 255.0 * (layer.colour ? 0.8 : 0.5);
          size_t at = (size_t(y + uint32_t(layer.rects[i].top - all.top)) * out->width + x +
                       uint32_t(layer.rects[i].left - all.left)) *
                      3;
          for (int k = 0; k < 3; ++k) {
            out->pixels[at + k] =
                static_cast<uint8_t>(std::lround(out->pixels[at + k] * (1 - c) + colour[k] * c));
          }
        }
      }
    }
  }
  return true;
}

// One segment of a subpath: its number and points (a straight one keeps its ends).
struct Seg {
  uint32_t subpath, index;
  bool curve;
  zo::Cubic c;
};
std::vector<Seg> segments(ZoPath* list) {
  std::vector<Seg> out;
  uint32_t sub = 0;
  for (ZoPath* p = list; p != nullptr; p = p->next, ++sub) {
    const PathNode* n = ZoPathNodes(p);
    auto at = [&](uint32_t i) { return PointDB{FixToDb(n[i].pt.x), FixToDb(n[i].pt.y)}; };
    uint32_t index = 0;
    zo::for_each_segment(p, [&](uint32_t s, uint32_t e) {
      bool curve = e == s + 3;
      out.push_back(Seg{sub, index++, curve,
                        curve ? zo::Cubic{at(s), at(s + 1), at(s + 2), at(e)}
                              : zo::Cubic{at(s), at(s), at(e), at(e)}});
      return true;
    });
  }
  return out;
}

}  // namespace

int cmd_cut(int argc, char** argv) {
  std::string input, output, png, cutterFile;
  std::vector<double> line;
  uint32_t pairing = 0;
  for (int i = 0; i < argc; ++i) {
    std::string a = argv[i];
    auto need = [&](int n) { return i + n < argc; };
    if (a == "-h" || a == "--help") {
      std::fputs(kCutHelp, stdout);
      return 0;
    } else if ((a == "-o" || a == "--output") && need(1)) {
      output = argv[++i];
    } else if (a == "--png" && need(1)) {
      png = argv[++i];
    } else if (a == "--path" && need(1)) {
      cutterFile = argv[++i];
    } else if (a == "--pairing" && need(1)) {
      pairing = std::string(argv[++i]) == "0" ? 0 : 1;
    } else if ((a == "--x" && need(1)) || (a == "--line" && need(4))) {
      line.clear();
      for (int k = a == "--x" ? 1 : 4; k > 0; --k) {
        double v;
        if (!number(argv[++i], &v)) {
          return usage_error("cut: not a number: " + std::string(argv[i]));
        }
        line.push_back(v);
      }
    } else if (input.empty() && a[0] != '-') {
      input = a;
    } else {
      return usage_error("cut: unexpected argument '" + a + "' (see zopath cut --help)");
    }
  }
  if (input.empty() || output.empty() || (line.empty() == cutterFile.empty())) {
    return usage_error(
        "cut: give INPUT, one of --x, --line or --path, and -o (see zopath cut --help)");
  }
  std::string error;
  ZoPath* list = read_list(input, &error);
  if (list == nullptr) return fail(error);
  ZoPath* original = nullptr;
  if (ZoPathDuplicatePtr(list, &original) == 0) return release(list), fail("out of memory");
  ZoPath* cutter = nullptr;
  if (!cutterFile.empty()) {
    cutter = read_list(cutterFile, &error);
    if (cutter == nullptr) return release(list), release(original), fail(error);
    ZoPathCutWithPath(&list, cutter, pairing);
  } else if (line.size() == 1) {
    ZoPathCutWithLineX(nullptr, &list, static_cast<int32_t>(std::lround(line[0])), pairing);
  } else {
    ZoPathCutWithLine(nullptr, &list, pack(line[0], line[1]), pack(line[2], line[3]), pairing);
  }
  bool ok = write_output(output, write_path_text(list), &error);
  if (ok && !png.empty()) {
    Image image;
    ok = draw(original, list, &image, &error) && write_png(png, image, &error);
  }
  release(list);
  release(original);
  release(cutter);
  return ok ? 0 : fail(error);
}

int cmd_crossings(int argc, char** argv) {
  if (argc == 1 && (std::string(argv[0]) == "-h" || std::string(argv[0]) == "--help")) {
    std::fputs(kCrossingsHelp, stdout);
    return 0;
  }
  if (argc != 2) {
    return usage_error("crossings: give two path files (see zopath crossings --help)");
  }
  std::string error;
  ZoPath* a = read_list(argv[0], &error);
  ZoPath* b = a == nullptr ? nullptr : read_list(argv[1], &error);
  if (a == nullptr || b == nullptr) return release(a), fail(error);
  for (const Seg& s : segments(a)) {
    for (const Seg& t : segments(b)) {
      double ta[zo::boolean::kMaxCrossings], tb[zo::boolean::kMaxCrossings];
      uint8_t together = 0;
      int n;
      if (!s.curve && !t.curve) {
        n = zo::boolean::intersect_lines(s.c.p0, s.c.p3, t.c.p0, t.c.p3, ta, tb, &together);
      } else if (!t.curve) {
        n = zo::boolean::intersect_cubic_line(s.c, t.c.p0, t.c.p3, ta, tb, &together);
      } else if (!s.curve) {
        n = zo::boolean::intersect_cubic_line(t.c, s.c.p0, s.c.p3, tb, ta, &together);
      } else {
        n = zo::boolean::intersect_cubics(s.c, t.c, ta, tb, &together);
      }
      for (int i = 0; i < n; ++i) {
        using zo::operator+, zo::operator-, zo::operator*;
        PointDB p = s.curve ? zo::cubic_point(s.c, ta[i]) : s.c.p0 + (s.c.p3 - s.c.p0) * ta[i];
        std::printf("A %u:%u t=%.9g  B %u:%u t=%.9g  at %.6f %.6f%s\n", s.subpath, s.index, ta[i],
                    t.subpath, t.index, tb[i], p.x, p.y, together ? "  coincident" : "");
      }
    }
  }
  release(a);
  release(b);
  return 0;
}

bool write_cut_gallery(const std::string& dir, std::string* html, std::string* error) {
  const std::string ring =
      "5 0\n0 0 6\n200 0 2\n200 200 2\n0 200 2\n0 0 3\n"
      "5 1\n60 60 6\n60 140 2\n140 140 2\n140 60 2\n60 60 3\n";
  const std::string blob =
      "13 0\n100 0 6\n160 0 4\n200 40 4\n200 100 4\n200 160 4\n150 200 4\n100 170 4\n"
      "50 200 4\n0 160 4\n0 100 4\n0 40 4\n40 0 4\n100 0 5\n";
  const std::string wave =
      "7 0\n-20 80 6\n40 20 4\n60 160 4\n100 100 4\n140 40 4\n"
      "160 180 4\n220 120 4\n";
  struct Example {
    const char* caption;
    const std::string* shape;
    int how;  // 0, 1: ZoPathCutWithLineX at 100 with that pairing; 2: along the wave
  } examples[] = {{"a ring cut at x = 100, pairing along the cut: two C shapes", &ring, 1},
                  {"the same ring, pairing within each subpath: four halves", &ring, 0},
                  {"a blob cut along a wave of two cubics", &blob, 2}};
  std::ofstream(std::filesystem::path(dir) / "cut_wave.txt") << wave;
  std::ostringstream out;
  out << "<h2>Cutting</h2>\n<p>The original in grey, the pieces in turn in blue, orange, green "
         "and purple, first side first (<code>zopath cut</code>; the cutter: <a "
         "href=\"cut_wave.txt\">cut_wave.txt</a>).</p>\n<table><tr>\n";
  int n = 0;
  for (const Example& e : examples) {
    ZoPath* list = zo::import_text::read_paths(e.shape->data(), e.shape->size());
    ZoPath* cutter = zo::import_text::read_paths(wave.data(), wave.size());
    ZoPath* original = nullptr;
    if (list == nullptr || cutter == nullptr || ZoPathDuplicatePtr(list, &original) == 0) {
      release(list);
      release(cutter);
      return *error = "the cutting samples did not read", false;
    }
    if (e.how == 2) {
      ZoPathCutWithPath(&list, cutter, 0);
    } else {
      ZoPathCutWithLineX(nullptr, &list, 100, static_cast<uint32_t>(e.how));
    }
    Image image;
    std::string name = "cut_" + std::to_string(n++) + ".png";
    bool ok = draw(original, list, &image, error) &&
              write_png((std::filesystem::path(dir) / name).string(), image, error);
    release(list);
    release(original);
    release(cutter);
    if (!ok) return false;
    out << "<td><img src=\"" << name << "\" alt=\"" << e.caption << "\"><br>" << e.caption
        << "</td>\n";
  }
  out << "</tr></table>\n";
  *html = out.str();
  return true;
}

}  // namespace zopath
