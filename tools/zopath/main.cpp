// zopath: the library's capabilities as commands working on files.
//   zopath render PATHFILE -o OUT.png [options]   fill paths into masks and write a PNG
//   zopath demo OUTDIR                            write a gallery (HTML + PNG) of sample shapes
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "Zo32path.h"
#include "boolean/import_text.hpp"
#include "cli.hpp"
#include "commands.hpp"
#include "deform_tool.hpp"
#include "io.hpp"
#include "path_input.hpp"
#include "png_writer.hpp"

namespace zopath {
// transform_cmd.cpp: the transform command and its gallery section.
int cmd_transform(int argc, char** argv);
bool write_transform_gallery(const std::string& dir, std::string* html, std::string* error);
}  // namespace zopath

namespace {

using zopath::Image;

const char* kMainHelp =
    "usage: zopath COMMAND [ARGS]\n"
    "\n"
    "Commands:\n"
    "  render INPUT -o OUT.png [options]     fill the paths of a path file into masks\n"
    "  demo OUTDIR                           write a gallery of sample shapes in every mode\n"
    "  export INPUT [-o OUT.txt]             write a path list as path text\n"
    "  flatten INPUT -o OUT.zpb              store a path list as a stored block\n"
    "  unflatten BLOCK [-o OUT.txt]          read a stored block back as path text\n"
    "  info INPUT                            counts, chains and bounds of a path file\n"
    "  transform INPUT OPERATION...          move, scale, rotate, align or distribute objects\n"
    "  shape KIND --drag L,T,R,B [options]   a primitive from a dragged rectangle\n"
    "  polygon --sides N --style S --drag .. a polygon or star from a dragged rectangle\n"
    "  draw SCRIPT -o OUT.txt [options]      replay window messages through the pen tool\n"
    "  cut INPUT (--x K|--line ...|--path C) -o OUT.txt  cut along a line or a path\n"
    "  crossings A B                         list where the segments of two path files cross\n"
    "  project PATHFILE [turns] [options]    turn objects in space and project them\n"
    "  arrows LINEFILE --width W [options]   arrowheads on a line: sizes, block, picture\n"
    "  shading -o OUT.png [options]          plots of the lighting tables\n"
    "  envelope INPUT --bilinear|--bezier ..  map objects into an envelope frame\n"
    "  wrap INPUT --baseline BASE            lay objects along a baseline path\n"
    "  bend INPUT --bend N                   bend objects around a circle\n"
    "  stretch INPUT A B C D                 map one band of x onto another\n"
    "  measure BASE [--at F]                 length, points and nearest point of a baseline\n"
    "  text \"STRING\" -o OUT [options]       text into outlines, masks or glyph bitmaps\n"
    "  help [COMMAND]                        show help\n"
    "\n"
    "INPUT is path text or a stored block (told apart by content); - is standard input, and\n"
    "an output of - (or none, where optional) is standard output. Files are written whole:\n"
    "to a temporary file beside the target, renamed into place when complete.\n"
    "\n"
    "Exit status: 0 done; 1 failed (unreadable or invalid input, a failed write, out of\n"
    "memory); 2 usage (unknown command or option, a missing or out-of-range value).\n"
    "\n"
    "Run 'zopath COMMAND --help' for the options of a command.\n";

const char* kRenderHelp =
    "usage: zopath render INPUT -o OUT.png [options]\n"
    "\n"
    "Reads subpaths from INPUT (path text or a stored block; - reads standard input), renders\n"
    "every object with ZoPathToBuf and writes the masks, placed at their rectangles, as one\n"
    "grey PNG (- writes standard output): black is full coverage, white none.\n"
    "\n"
    "Options (each maps to one ZoPathToBuf argument; a name or its number):\n"
    "  -o, --output FILE     the PNG to write (required)\n"
    "  --format F            byte (8, default): 8-bit masks; wide (4): 32-bit sub-sample\n"
    "                        masks; supersample (16): render at the scale, box-average down\n"
    "  --fill-rule RULE      winding (0, default) or evenodd (1)\n"
    "  --aa MODE             bilevel (0), smooth (1, default: 16 sample rows), gain (2),\n"
    "                        sharpen (3) (filters for text characters), 4rows (999)\n"
    "  --mode M              fill (0, default), outline (1: each object), outline-group (3)\n"
    "  --scale S             render scale, 1/65536 to 65535 (default 1; passed as 16.16)\n"
    "  --margin N            widen every rectangle by |N| pixels, -4096 to 4096 (default 0)\n"
    "  --max-pixels N        refuse to render masks of more than N pixels in all\n"
    "                        (default 268435456, 256 M)\n"
    "  --inverse             white shapes on black (the mask bytes themselves)\n";

const char* kDemoHelp =
    "usage: zopath demo OUTDIR\n"
    "\n"
    "Writes OUTDIR/index.html with PNG renderings of sample shapes (a star, a ring, a glyph-\n"
    "like letter, a self-intersecting polygon, thin lines) in every anti-aliasing mode, both\n"
    "fill rules, 32-bit masks, super-sampling and the outline pass, and the path text files\n"
    "they were read from. Open index.html in a browser.\n";

using zopath::fail;
using zopath::release_list;

struct RenderOptions {
  uint32_t format = 8;
  uint32_t fillRule = 0;
  uint32_t aaMode = 1;
  uint32_t mode = 0;
  double scale = 1.0;
  int32_t margin = 0;
  bool inverse = false;
};

// Coverage 0..255 of one mask pixel; 32-bit masks count their inside bits.
uint8_t coverage_at(const uint8_t* mask, uint32_t bits, uint32_t width, uint32_t x, uint32_t y) {
  if (bits != 32) return mask[size_t{y} * width + x];
  uint32_t v;
  std::memcpy(&v, mask + (size_t{y} * width + x) * 4, 4);
  return static_cast<uint8_t>((32 - std::popcount(v)) * 255 / 32);
}

// Renders the list and composites every mask into one image over the union of rectangles.
bool render_list(ZoPath* list, const RenderOptions& o, Image* out, std::string* error) {
  RECT* rects = nullptr;
  uint8_t** buffers = nullptr;
  double scaled = std::round(o.scale * 65536.0);
  if (!(scaled >= 0 && scaled <= 4294967295.0)) {
    *error = "scale out of range";
    return false;
  }
  uint32_t n = ZoPathToBuf(list, o.format, o.fillRule, o.aaMode, o.mode,
                           static_cast<uint32_t>(scaled), &rects, &buffers, o.margin);
  if (n == 0) {
    *error = "the paths could not be rendered (out of memory or nothing to render)";
    return false;
  }
  RECT all = rects[0];
  for (uint32_t i = 1; i < n; ++i) {
    all.left = std::min(all.left, rects[i].left);
    all.top = std::min(all.top, rects[i].top);
    all.right = std::max(all.right, rects[i].right);
    all.bottom = std::max(all.bottom, rects[i].bottom);
  }
  out->width = static_cast<uint32_t>(all.right - all.left + 1);
  out->height = static_cast<uint32_t>(all.bottom - all.top + 1);
  out->channels = 1;
  out->pixels.assign(size_t{out->width} * out->height, 0);
  for (uint32_t i = 0; i < n; ++i) {
    uint32_t w = 0, h = 0, bits = 0;
    ZoPathBufGetWHU(buffers[i], &w, &h, &bits);
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = 0; x < w; ++x) {
        uint8_t c = coverage_at(buffers[i], bits, w, x, y);
        uint8_t& dst = out->pixels[size_t{y + uint32_t(rects[i].top - all.top)} * out->width + x +
                                   uint32_t(rects[i].left - all.left)];
        dst = std::max(dst, c);
      }
    ZoPathBufFree(buffers[i]);
  }
  ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(rects));
  ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(buffers));
  if (!o.inverse)
    for (uint8_t& p : out->pixels) p = static_cast<uint8_t>(255 - p);
  return true;
}

// Pixels of the masks ZoPathToBuf would make for the list (every object is selected), from
// the same rectangles it uses: the bounds at the render scale, margin included, widened by
// |margin|. Super-sampling renders at the scale before reducing, so that size counts.
double mask_pixels(ZoPath* list, const RenderOptions& o) {
  uint32_t scale = static_cast<uint32_t>(std::round(o.scale * 65536.0));
  if (o.format == 16 && o.mode != 0 && o.scale > 1.0) scale = 65536;
  double margin = std::fabs(static_cast<double>(o.margin)), total = 0;
  auto add = [&](const RECT& r) {
    total += (static_cast<double>(r.right) - r.left + 1 + 2 * margin) *
             (static_cast<double>(r.bottom) - r.top + 1 + 2 * margin);
  };
  RECT r{};
  if (o.mode == 3) {
    if (ZoPathGetAllMiniMaxRect(list, scale, &r) != 0) add(r);
    return total;
  }
  for (ZoPath* p = list; p != nullptr; p = p->next)
    if (p->joinPrev == nullptr && ZoPathGetMiniMaxRect(p, scale, &r) != 0) add(r);
  return total;
}

int cmd_render(int argc, char** argv) {
  RenderOptions o;
  std::string input, output;
  double maxPixels = 256.0 * 1024 * 1024;
  zopath::Args args("render", argc, argv);
  while (!args.done()) {
    std::string a = args.take();
    int64_t v = 0;
    bool ok = true;
    if (a == "-h" || a == "--help") {
      std::fputs(kRenderHelp, stdout);
      return 0;
    } else if (a == "-o" || a == "--output") {
      ok = args.text(a, &output);
    } else if (a == "--fill-rule") {
      ok = args.choice(a, {{"winding", 0}, {"evenodd", 1}}, &v);
      o.fillRule = static_cast<uint32_t>(v);
    } else if (a == "--format") {
      ok = args.choice(a, {{"wide", 4}, {"byte", 8}, {"supersample", 16}}, &v);
      o.format = static_cast<uint32_t>(v);
    } else if (a == "--aa") {
      ok = args.choice(
          a, {{"bilevel", 0}, {"smooth", 1}, {"gain", 2}, {"sharpen", 3}, {"4rows", 999}}, &v);
      o.aaMode = static_cast<uint32_t>(v);
    } else if (a == "--mode") {
      ok = args.choice(a, {{"fill", 0}, {"outline", 1}, {"outline-group", 3}}, &v);
      o.mode = static_cast<uint32_t>(v);
    } else if (a == "--margin") {
      ok = args.integer(a, -4096, 4096, &v);
      o.margin = static_cast<int32_t>(v);
    } else if (a == "--scale") {
      ok = args.real(a, 1.0 / 65536, 65535, &o.scale);
    } else if (a == "--max-pixels") {
      ok = args.real(a, 1, 1e15, &maxPixels);
    } else if (a == "--inverse") {
      o.inverse = true;
    } else if (zopath::Args::is_option(a)) {
      ok = args.error("unknown option '" + a + "'");
    } else if (input.empty()) {
      input = a;
    } else {
      ok = args.error("more than one path file given");
    }
    if (!ok) return args.usage();
  }
  if (input.empty()) return args.error("no path file given"), args.usage();
  if (output.empty())
    return args.error("no output file given (-o OUT.png, - for standard output)"), args.usage();
  ZoPath* list = nullptr;
  std::string error;
  if (!zopath::load_paths(input, &list, &error)) return fail("render: " + error);
  double pixels = mask_pixels(list, o);
  if (pixels > maxPixels) {
    release_list(list);
    char text[160];
    std::snprintf(text, sizeof text,
                  "render: the masks would hold %.0f pixels, more than --max-pixels %.0f; "
                  "lower --scale or raise --max-pixels",
                  pixels, maxPixels);
    return fail(text);
  }
  Image image;
  bool ok = render_list(list, o, &image, &error) && zopath::write_png(output, image, &error);
  release_list(list);
  if (!ok) return fail("render: " + error);
  return 0;
}

// ---- The demo gallery ----

struct TextPath {
  std::ostringstream out;
  std::vector<std::string> nodes;
  void node(double x, double y, int type) {
    std::ostringstream n;
    n << x << ' ' << y << ' ' << type;
    nodes.push_back(n.str());
  }
  // Ends the subpath: closes it and writes header and nodes.
  void end(int join) {
    if (nodes.empty()) return;
    auto& last = nodes.back();
    int type = std::atoi(last.substr(last.rfind(' ') + 1).c_str()) | 1;
    last = last.substr(0, last.rfind(' ') + 1) + std::to_string(type);
    out << nodes.size() << ' ' << join << '\n';
    for (const auto& n : nodes) out << n << '\n';
    nodes.clear();
  }
  void ellipse(double cx, double cy, double rx, double ry, bool reverse, int join) {
    const double k = 0.5522847;
    double s = reverse ? -1 : 1;
    node(cx + rx, cy, 6);
    double pts[4][6] = {{cx + rx, cy + s * k * ry, cx + k * rx, cy + s * ry, cx, cy + s * ry},
                        {cx - k * rx, cy + s * ry, cx - rx, cy + s * k * ry, cx - rx, cy},
                        {cx - rx, cy - s * k * ry, cx - k * rx, cy - s * ry, cx, cy - s * ry},
                        {cx + k * rx, cy - s * ry, cx + rx, cy - s * k * ry, cx + rx, cy}};
    for (auto& p : pts) {
      node(p[0], p[1], 4);
      node(p[2], p[3], 4);
      node(p[4], p[5], 4);
    }
    end(join);
  }
  void polygon(const std::vector<std::pair<double, double>>& pts, int join) {
    for (size_t i = 0; i < pts.size(); ++i) node(pts[i].first, pts[i].second, i == 0 ? 6 : 2);
    end(join);
  }
};

struct Sample {
  const char* name;
  const char* caption;
  std::string text;
};

std::vector<Sample> samples() {
  std::vector<Sample> out;
  {
    TextPath t;
    t.out << "% A five-pointed star drawn in one stroke: it crosses itself, so the centre\n"
             "% is filled under winding and empty under even-odd.\n";
    std::vector<std::pair<double, double>> pts;
    for (int i = 0; i < 5; ++i) {
      double a = -M_PI / 2 + i * 4 * M_PI / 5;
      pts.push_back({30 + 27 * std::cos(a), 31 + 27 * std::sin(a)});
    }
    t.polygon(pts, 0);
    out.push_back({"star", "self-intersecting star", t.out.str()});
  }
  {
    TextPath t;
    t.out << "% Two ellipses of the same direction joined into one object.\n";
    t.ellipse(30, 30, 27, 20, false, 1);
    t.ellipse(30, 30, 15, 10, false, 1);
    out.push_back({"ring", "joined ellipses, same direction", t.out.str()});
  }
  {
    TextPath t;
    t.out << "% A glyph-like letter: an outer contour with a counter, plus a tail.\n";
    t.ellipse(26, 30, 20, 24, false, 1);
    t.ellipse(26, 30, 11, 16, true, 1);
    t.polygon({{38, 42}, {52, 56}, {47, 59}, {33, 45}}, 1);
    out.push_back({"glyph", "glyph-like letter with counter", t.out.str()});
  }
  {
    TextPath t;
    t.out << "/*\n  Thin features: a hairline, a sliver and a one-pixel bar.\n*/\n";
    t.polygon({{4, 10.2}, {56, 10.4}, {56, 10.6}, {4, 10.5}}, 0);
    t.polygon({{10.3, 20}, {10.6, 20}, {10.6, 55}, {10.3, 55}}, 0);
    t.polygon({{20, 30}, {56, 52}, {54, 55}, {18, 33}}, 0);
    out.push_back({"thin", "hairline, sliver, slanted bar (separate objects)", t.out.str()});
  }
  return out;
}

struct Variant {
  const char* label;
  RenderOptions options;
};

std::vector<Variant> variants() {
  std::vector<Variant> v;
  auto add = [&](const char* label, uint32_t format, uint32_t fill, uint32_t aa, uint32_t mode,
                 double scale) {
    RenderOptions o;
    o.format = format, o.fillRule = fill, o.aaMode = aa, o.mode = mode, o.scale = scale;
    o.margin = 2;
    v.push_back({label, o});
  };
  for (uint32_t fill : {0u, 1u}) {
    bool w = fill == 0;
    add(w ? "bilevel, winding" : "bilevel, even-odd", 8, fill, 0, 0, 3);
    add(w ? "16 rows, winding" : "16 rows, even-odd", 8, fill, 1, 0, 3);
    add(w ? "4 rows, winding" : "4 rows, even-odd", 8, fill, 999, 0, 3);
    add(w ? "32-bit mask, winding" : "32-bit mask, even-odd", 4, fill, 1, 0, 3);
    add(w ? "super-sampled x4, winding" : "super-sampled x4, even-odd", 16, fill, 1, 0, 12);
  }
  add("outline, bilevel", 8, 0, 0, 1, 3);
  add("outline, anti-aliased", 8, 0, 1, 1, 3);
  return v;
}

int cmd_demo(int argc, char** argv) {
  std::string dir;
  for (int i = 0; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "-h" || a == "--help") {
      std::fputs(kDemoHelp, stdout);
      return 0;
    }
    if (zopath::Args::is_option(a))
      return zopath::usage_error("demo: unknown option '" + a + "' (see zopath demo --help)");
    if (!dir.empty()) return zopath::usage_error("demo: more than one output folder given");
    dir = a;
  }
  if (dir.empty())
    return zopath::usage_error("demo: no output folder given (see zopath demo --help)");
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) return fail("demo: cannot create " + dir + ": " + ec.message());
  std::ostringstream html;
  html << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Zo32path masks</title>\n"
          "<style>body{font-family:sans-serif;margin:2em}td{padding:6px;text-align:center;"
          "font-size:12px;vertical-align:top}img{border:1px solid #ccc;image-rendering:pixelated;"
          "width:180px}</style></head><body>\n<h1>Zo32path: paths rendered into masks</h1>\n"
          "<p>Each shape is read from the path text file linked beside it and rendered with "
          "<code>ZoPathToBuf</code> at scale 3 (the super-sampled column renders at 12 and "
          "box-averages by 4; pixels are shown enlarged). Black is full coverage.</p>\n";
  for (const Sample& s : samples()) {
    std::string textName = std::string(s.name) + ".txt";
    std::string error;
    if (!zopath::write_output((std::filesystem::path(dir) / textName).string(), s.text, &error))
      return fail("demo: " + error);
    ZoPath* list = zo::import_text::read_paths(s.text.data(), s.text.size());
    if (list == nullptr) return fail("demo: sample " + std::string(s.name) + " did not read");
    html << "<h2>" << s.caption << " (<a href=\"" << textName << "\">" << textName
         << "</a>)</h2>\n<table><tr>\n";
    int column = 0;
    for (const Variant& v : variants()) {
      Image image;
      std::string png = std::string(s.name) + "_" + std::to_string(column) + ".png";
      if (!render_list(list, v.options, &image, &error) ||
          !zopath::write_png((std::filesystem::path(dir) / png).string(), image, &error)) {
        release_list(list);
        return fail("demo: " + error);
      }
      if (column == 5) html << "</tr><tr>\n";
      html << "<td><img src=\"" << png << "\" alt=\"" << v.label << "\"><br>" << v.label
           << "</td>\n";
      ++column;
    }
    html << "</tr></table>\n";
    release_list(list);
  }
  std::string editorView, editorError;
  if (!zopath::write_editor_view(dir, &editorView, &editorError)) return fail("demo: " + editorError);
  html << editorView;
  std::string transforms;
  if (!zopath::write_transform_gallery(dir, &transforms, &editorError))
    return fail("demo: " + editorError);
  html << transforms;
  std::string deformations;
  if (!zopath::write_deform_gallery(dir, &deformations, &editorError))
    return fail("demo: " + editorError);
  html << deformations;
  std::string shapes;
  if (!zopath::write_shapes_gallery(dir, &shapes, &editorError)) return fail("demo: " + editorError);
  html << shapes;
  std::string cuts;
  if (!zopath::write_cut_gallery(dir, &cuts, &editorError)) return fail("demo: " + editorError);
  html << cuts;
  std::string more;
  if (!zopath::write_arrows_gallery(dir, &more, &editorError) ||
      !zopath::write_projection_gallery(dir, &more, &editorError) ||
      !zopath::write_shading_gallery(dir, &more, &editorError)) {
    return fail("demo: " + editorError);
  }
  html << more;
  std::string text;
  if (!zopath::write_text_gallery(dir, &text, &editorError)) return fail("demo: " + editorError);
  html << text;
  html << "</body></html>\n";
  std::string error;
  if (!zopath::write_output((std::filesystem::path(dir) / "index.html").string(), html.str(),
                            &error))
    return fail("demo: " + error);
  std::printf("wrote %s/index.html\n", dir.c_str());
  return 0;
}

}  // namespace

// The stored-block and path-text commands; -1 when the name is none of them.
int run_storage_command(const std::string& name, int argc, char** argv) {
  if (name == "export") return zopath::cmd_export(argc, argv);
  if (name == "flatten") return zopath::cmd_flatten(argc, argv);
  if (name == "unflatten") return zopath::cmd_unflatten(argc, argv);
  if (name == "info") return zopath::cmd_info(argc, argv);
  if (name == "envelope") return zopath::cmd_envelope(argc, argv);
  if (name == "wrap") return zopath::cmd_wrap(argc, argv);
  if (name == "bend") return zopath::cmd_bend(argc, argv);
  if (name == "stretch") return zopath::cmd_stretch(argc, argv);
  if (name == "measure") return zopath::cmd_measure(argc, argv);
  if (name == "shape") return zopath::cmd_shape(argc, argv);
  if (name == "polygon") return zopath::cmd_polygon(argc, argv);
  if (name == "draw") return zopath::cmd_draw(argc, argv);
  if (name == "cut") return zopath::cmd_cut(argc, argv);
  if (name == "crossings") return zopath::cmd_crossings(argc, argv);
  if (name == "text") return zopath::cmd_text(argc, argv);
  return -1;
}

int dispatch(int argc, char** argv) {
  static char helpText[] = "--help";
  static char* help_flag[] = {helpText};
  if (ZoPathInit() == 0) return fail("the library could not start");
  if (argc < 2) {
    std::fputs(kMainHelp, stderr);
    return 2;
  }
  std::string command = argv[1];
  if (command == "-h" || command == "--help" || command == "help") {
    if (argc > 2 && run_storage_command(argv[2], 1, help_flag) >= 0) return 0;
    if (argc > 2 && std::string(argv[2]) == "transform") return zopath::cmd_transform(1, help_flag);
    if (argc > 2 && std::string(argv[2]) == "render")
      std::fputs(kRenderHelp, stdout);
    else if (argc > 2 && std::string(argv[2]) == "demo")
      std::fputs(kDemoHelp, stdout);
    else
      std::fputs(kMainHelp, stdout);
    return 0;
  }
  if (command == "render") return cmd_render(argc - 2, argv + 2);
  if (command == "demo") return cmd_demo(argc - 2, argv + 2);
  if (command == "transform") return zopath::cmd_transform(argc - 2, argv + 2);
  if (command == "project") return zopath::cmd_project(argc - 2, argv + 2);
  if (command == "arrows") return zopath::cmd_arrows(argc - 2, argv + 2);
  if (command == "shading") return zopath::cmd_shading(argc - 2, argv + 2);
  if (int status = run_storage_command(command, argc - 2, argv + 2); status >= 0) return status;
  return zopath::usage_error("unknown command '" + command + "' (see zopath --help)");
}

// Every command's printed results are checked once more here: a failed write to standard
// output fails the command.
int main(int argc, char** argv) {
  int status = zopath::kExitFailed;
  try {
    status = dispatch(argc, argv);
  } catch (const std::bad_alloc&) {
    return zopath::fail("out of memory");
  }
  std::string error;
  if (!zopath::finish_standard_output(&error) && status == zopath::kExitDone)
    status = zopath::fail(error);
  return status;
}
