// zopath arrows: outline information with arrowheads hung on a line, its sizes, its stored
// block and a picture of the body with its heads; and the gallery's arrowhead section.
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "Zo32path.h"
#include "boolean/import_text.hpp"
#include "canvas.hpp"
#include "cli.hpp"
#include "commands.hpp"

namespace zopath {

namespace {

const char* kArrowsHelp =
    "usage: zopath arrows LINEFILE [--start TEMPLATE] [--end TEMPLATE] --width W\n"
    "                     [-o OUT.zpb] [--png OUT.png]\n"
    "\n"
    "Hangs outline information on the first subpath of LINEFILE (path text): the arrowhead\n"
    "templates and the line width W (ZoPathAssignOutlineInfo, ZoPathSetOutlineInfo), prints\n"
    "the arrow sizes at W (ZoPathGetArrowWidthHeight), stores the arrowed line as a block\n"
    "(ZoPathFlatten) and draws the shortened body (ZoPathGetLineArrowBody, outline pass) with\n"
    "its heads (ZoPathRenderArrowHead).\n"
    "\n"
    "TEMPLATE is a path text file of a shape pointing along +x, or one of the shipped\n"
    "templates: triangle, barb, curved.\n";

// Shipped templates, pointing along +x.
const char* shipped(const std::string& name) {
  if (name == "triangle") return "4 0\n0 -5 6\n12 0 2\n0 5 2\n0 -5 3\n";
  if (name == "barb") return "5 0\n0 -6 6\n14 0 2\n0 6 2\n4 0 2\n0 -6 3\n";
  if (name == "curved") return "7 0\n0 -5 6\n5 -4 4\n10 -2 4\n14 0 4\n10 2 4\n5 4 4\n0 5 5\n";
  return nullptr;
}

ZoPath* read_template(const std::string& spec, std::string* error) {
  std::string text = shipped(spec) != nullptr ? shipped(spec) : "";
  if (text.empty() && !read_file(spec, &text)) return *error = "cannot read " + spec, nullptr;
  ZoPath* t = zo::import_text::read_paths(text.data(), text.size());
  if (t == nullptr) *error = spec + " holds no complete subpath";
  return t;
}

// The first subpath of the text, alone.
ZoPath* read_line(const std::string& text) {
  ZoPath* head = zo::import_text::read_paths(text.data(), text.size());
  if (head == nullptr) return nullptr;
  release_list(head->next);
  head->next = nullptr;
  head->joinNext = nullptr;
  return head;
}

// Takes ownership of the templates.
bool hang(ZoPath* line, ZoPath* start, ZoPath* end, uint32_t width) {
  ZoPathOutlineInfo* info = nullptr;
  if (ZoPathAssignOutlineInfo(1, 1, start, 2, 2, end, 0, nullptr, 0, width, 0, 0, &info) == 0) {
    release_list(start), release_list(end);
    return false;
  }
  return ZoPathSetOutlineInfo(line, info) == 1;
}

// The body's outline in dark grey and the heads in blue, on a canvas around the line.
bool arrow_picture(ZoPath* line, double width, Image* out, std::string* error) {
  RectDB r{};
  ZoPathGetDoubleRectNoMargin(line, &r, 0);
  double pad = 3 * width + 12;
  int32_t left = int32_t(std::floor(r.left - pad)), top = int32_t(std::floor(r.top - pad));
  int32_t w = int32_t(r.right + pad) - left, h = int32_t(r.bottom + pad) - top;
  if (w <= 0 || h <= 0 || w > 4096 || h > 4096) return *error = "the line is too large", false;
  Canvas canvas(w, h);
  ZoPath* body = nullptr;
  if (ZoPathGetLineArrowBody(line, &body) == 1) {
    RECT* rects = nullptr;
    uint8_t** buffers = nullptr;
    uint32_t n = ZoPathToBuf(body, 8, 0, 1, 1, 65536, &rects, &buffers, 0);
    for (uint32_t i = 0; i < n; ++i) {
      canvas.blend(buffers[i], rects[i].right - rects[i].left + 1, rects[i].bottom - rects[i].top + 1,
                   rects[i].left - left, rects[i].top - top, 0x303030);
      ZoPathBufFree(buffers[i]);
    }
    if (rects != nullptr) ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(rects));
    if (buffers != nullptr) ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(buffers));
    ZoPathDeletePtr(body, 0);
  }
  ZoPathOutlineInfo* info = nullptr;
  ZoPathGetOutlineInfo(line, &info);
  uint8_t* mask = ZoPathBufAlloc(8, uint32_t(w), uint32_t(h));
  if (mask == nullptr) return *error = "out of memory", false;
  int64_t origin = int64_t(uint32_t(left)) | (int64_t(top) << 32);
  ZoPathRenderArrowHead(line, info->startTemplate, nullptr, width, mask, origin, 1);
  ZoPathRenderArrowHead(line, nullptr, info->endTemplate, width, mask, origin, 1);
  canvas.blend(mask, w, h, 0, 0, 0x1E5AD2);
  ZoPathBufFree(mask);
  *out = canvas.image();
  return true;
}

}  // namespace

int cmd_arrows(int argc, char** argv) {
  std::string input, start, end, output, png;
  double width = 0;
  for (int i = 0; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "-h" || a == "--help") return std::fputs(kArrowsHelp, stdout), 0;
    if (a[0] != '-') {
      if (!input.empty()) return usage_error("arrows: more than one line file given");
      input = a;
      continue;
    }
    if (i + 1 >= argc) return usage_error("arrows: " + a + " needs a value");
    std::string v = argv[++i];
    if (a == "--start") start = v;
    else if (a == "--end") end = v;
    else if (a == "-o" || a == "--output") output = v;
    else if (a == "--png") png = v;
    else if (a == "--width") {
      if (!numbers(v, &width, 1) || width < 1 || width > 10000)
        return usage_error("arrows: --width needs a number from 1 to 10000");
    } else {
      return usage_error("arrows: unknown option '" + a + "' (see zopath arrows --help)");
    }
  }
  if (input.empty() || width == 0) return usage_error("arrows: a line file and --width are needed");
  std::string text, error;
  if (!read_file(input, &text)) return fail("arrows: cannot read " + input);
  ZoPath* line = read_line(text);
  if (line == nullptr) return fail("arrows: " + input + " holds no complete subpath");
  ZoPath* s = start.empty() ? nullptr : read_template(start, &error);
  ZoPath* e = end.empty() ? nullptr : read_template(end, &error);
  if (!error.empty() || !hang(line, s, e, uint32_t(width))) {
    release_list(line);
    return fail("arrows: " + (error.empty() ? std::string("out of memory") : error));
  }
  uint32_t hasStart = 0, hasEnd = 0;
  double sl = 0, sw = 0, el = 0, ew = 0;
  ZoPathGetArrowWidthHeight(line, width, &hasStart, &sl, &sw, &hasEnd, &el, &ew);
  std::printf("line length %.3f\nstart arrow: %s", ZoPathGetLength(line), hasStart ? "" : "none\n");
  if (hasStart) std::printf("length %.3f width %.3f\n", sl, sw);
  std::printf("end arrow: %s", hasEnd ? "" : "none\n");
  if (hasEnd) std::printf("length %.3f width %.3f\n", el, ew);
  bool ok = true;
  if (!output.empty()) {
    uint32_t size = 0;
    HGLOBAL block = nullptr;
    ok = ZoPathFlatten(line, &size, &block) == 1 &&
         write_file(output, ZoPlatGlobalLock(block), size);
    if (block != nullptr) ZoPlatGlobalFree(block);
    if (!ok) error = "cannot store the line in " + output;
  }
  if (ok && !png.empty()) {
    Image image;
    ok = arrow_picture(line, width, &image, &error) && write_png(png, image, &error);
  }
  release_list(line);
  return ok ? 0 : fail("arrows: " + error);
}

std::string describe_outline_info(ZoPath* list) {
  std::string out;
  char line[200];
  for (ZoPath* p = list; p != nullptr; p = p->next) {
    ZoPathOutlineInfo* i = nullptr;
    if (ZoPathGetOutlineInfo(p, &i) == 0) continue;
    auto nodes = [](ZoPath* t) { return t != nullptr ? ZoPathGetPointsNumber(t) : 0u; };
    std::snprintf(line, sizeof line,
                  "  kinds %u/%u/%u, size keys %u/%u, values %u %u %u %u, disable 0x%llx\n",
                  i->startKind, i->endKind, i->thirdKind, i->startSize, i->endSize, i->values[0],
                  i->values[1], i->values[2], i->values[3],
                  static_cast<unsigned long long>(i->disable));
    out += line;
    std::snprintf(line, sizeof line, "  templates of %u/%u/%u nodes\n", nodes(i->startTemplate),
                  nodes(i->endTemplate), nodes(i->thirdTemplate));
    out += line;
    uint32_t hs = 0, he = 0;
    double sl = 0, sw = 0, el = 0, ew = 0;
    ZoPathGetArrowWidthHeight(p, i->values[1], &hs, &sl, &sw, &he, &el, &ew);
    std::snprintf(line, sizeof line, "  at width %u: start %s%.3f x %.3f, end %s%.3f x %.3f\n",
                  i->values[1], hs ? "" : "(none) ", sl, sw, he ? "" : "(none) ", el, ew);
    out += line;
  }
  return out;
}

bool write_arrows_gallery(const std::string& dir, std::string* html, std::string* error) {
  struct Shot {
    const char* caption;
    const char* line;
    const char* templ;
    double width;
  } shots[] = {
      {"straight, triangle, width 2", "2 0\n20 60 6\n220 60 2\n", "triangle", 2},
      {"straight, triangle, width 6", "2 0\n20 60 6\n220 60 2\n", "triangle", 6},
      {"straight, triangle, width 12", "2 0\n20 60 6\n220 60 2\n", "triangle", 12},
      {"polyline, barb, width 6", "4 0\n20 100 6\n90 30 2\n160 100 2\n230 30 2\n", "barb", 6},
      {"curved, curved template, width 6", "4 0\n20 100 6\n60 0 4\n180 160 4\n230 40 4\n",
       "curved", 6},
      {"curved, barb, width 12", "4 0\n20 100 6\n60 0 4\n180 160 4\n230 40 4\n", "barb", 12},
      {"too short for its arrows: body only", "2 0\n20 50 6\n32 50 2\n", "triangle", 6},
  };
  std::ostringstream out;
  out << "<h2>Arrowheads</h2>\n<p>Lines with outline information (<code>zopath arrows</code>): "
         "the body shortened by the arrows (outline pass, grey) and the heads (blue), both "
         "ends with the same template.</p>\n<table><tr>\n";
  int n = 0;
  for (const Shot& s : shots) {
    ZoPath* line = read_line(s.line);
    std::string err;
    ZoPath* a = read_template(s.templ, &err);
    ZoPath* b = read_template(s.templ, &err);
    if (line == nullptr || !hang(line, a, b, uint32_t(s.width))) return *error = "arrow sample", false;
    Image image;
    std::string name = "arrows_" + std::to_string(n) + ".png";
    bool ok = arrow_picture(line, s.width, &image, error) &&
              write_png((std::filesystem::path(dir) / name).string(), image, error);
    release_list(line);
    if (!ok) return false;
    out << "<td><img src=\"" << name << "\" alt=\"" << s.caption << "\"><br>" << s.caption << "</td>\n";
    if (++n % 3 == 0) out << "</tr><tr>\n";
  }
  out << "</tr></table>\n";
  *html += out.str();
  return true;
}

}  // namespace zopath
