// zopath text: text into outlines (path text, a filled PNG mask or an SVG), or the glyph
// bitmaps drawn by ZoPathGlyphToBuf; and the gallery's text page.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Zo32path.h"
#include "cli.hpp"
#include "io.hpp"
#include "commands.hpp"
#include "path_text.hpp"
#include "png_writer.hpp"

namespace zopath {

namespace {

const char* kTextHelp =
    "usage: zopath text \"STRING\" [options] -o OUT.txt|OUT.png|OUT.svg\n"
    "       zopath text --rich FILE [options] -o OUT...\n"
    "\n"
    "Lays the text out with ZoPathCreateRichEditText2 (one run, or the runs of FILE) and\n"
    "writes the text path as path text (.txt), its filled mask as a PNG (.png, black on\n"
    "white) or an SVG (.svg). With --glyphs the PNG holds the hinted glyph bitmaps that\n"
    "ZoPathGlyphToBuf draws in each run's colour instead. '\\n' in STRING starts a new line.\n"
    "\n"
    "Options:\n"
    "  --font NAME       fontconfig family (default DejaVu Sans)\n"
    "  --size PX         em height in pixels (default 32)\n"
    "  --bold, --italic  style\n"
    "  --kerning         apply the font's kerning pairs\n"
    "  --spacing N       extra pixels after every character\n"
    "  --rotate DEG      turn every character about its middle\n"
    "  --vertical        columns from right to left\n"
    "  --underline, --strike   bars\n"
    "  --fixed-outline   read outlines at 128 pixels and scale them\n"
    "  --max-width W     wrap at W pixels (with a height limit of 100000)\n"
    "  --align 1|2       lines to the widest line's far side (1) or centred (2)\n"
    "  --glyphs          glyph bitmaps instead of the filled path (.png only)\n"
    "\n"
    "A rich-text FILE has one run a line: FACE;SIZE;STYLE;RRGGBB;ROTATION;TEXT where STYLE is\n"
    "letters of b (bold), i (italic), u (underline), s (strike-out), o (outlined), k (kerning)\n"
    "or '-', and TEXT may use '\\n'. Lines starting with '#' are comments.\n";

struct Run {
  std::string face = "DejaVu Sans", text;
  int32_t size = 32, spacing = 0;
  uint8_t style = 0;
  bool kerning = false;
  COLORREF colour = 0;
  float rotation = 0;
};

struct Layout {
  std::vector<Run> runs;
  bool vertical = false, fixedOutline = false;
  uint32_t maxWidth = 0, align = 0;
};

std::string unescape(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == 'n') {
      out += '\n';
      ++i;
    } else {
      out += s[i];
    }
  }
  return out;
}

bool parse_rich(const std::string& text, std::vector<Run>* runs, std::string* error) {
  std::istringstream in(text);
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> f;
    size_t at = 0;
    for (int i = 0; i < 5; ++i) {
      size_t semi = line.find(';', at);
      if (semi == std::string::npos) {
        *error = "line " + std::to_string(number) + ": expected FACE;SIZE;STYLE;RRGGBB;ROTATION;TEXT";
        return false;
      }
      f.push_back(line.substr(at, semi - at));
      at = semi + 1;
    }
    Run r;
    r.face = f[0];
    r.size = std::atoi(f[1].c_str());
    for (char c : f[2]) {
      r.style |= c == 'b' ? ZORUN_BOLD : c == 'i' ? ZORUN_ITALIC : c == 'u' ? ZORUN_UNDERLINE
               : c == 's' ? ZORUN_STRIKEOUT : c == 'o' ? ZORUN_OUTLINED : 0;
      r.kerning |= c == 'k';
    }
    uint32_t rgb = uint32_t(std::strtoul(f[3].c_str(), nullptr, 16));
    r.colour = ZO_RGB(rgb >> 16, rgb >> 8, rgb);
    r.rotation = std::strtof(f[4].c_str(), nullptr);
    r.text = unescape(line.substr(at));
    runs->push_back(r);
  }
  if (runs->empty() || runs->size() > 64) {
    *error = "a rich-text file needs 1 to 64 runs";
    return false;
  }
  return true;
}

// The record the library reads: header and runs in one block.
struct Record {
  std::vector<uint64_t> storage;
  richText* get() { return reinterpret_cast<richText*>(storage.data()); }
};

Record make_record(const Layout& l) {
  Record rec;
  size_t bytes = offsetof(richText, runs) + l.runs.size() * sizeof(richTextRun);
  rec.storage.assign((bytes + 7) / 8, 0);
  richText* rt = rec.get();
  rt->runCount = int32_t(l.runs.size());
  rt->vertical = l.vertical ? 1 : 0;
  rt->alignment = l.align;
  for (size_t i = 0; i < l.runs.size(); ++i) {
    richTextRun& r = rt->runs[i];
    const Run& src = l.runs[i];
    r.height = src.size;
    r.style = src.style;
    r.kerning = src.kerning ? 1 : 0;
    r.spacing = src.spacing;
    std::strncpy(r.faceName, src.face.c_str(), sizeof r.faceName - 1);
    r.text = src.text.c_str();
    r.colour = src.colour;
    r.rotation = src.rotation;
  }
  return rec;
}

void release(ZoPath* head) {
  while (head != nullptr) {
    ZoPath* next = head->next;
    ZoPathDeletePtrSingle(head);
    head = next;
  }
}

ZoPath* lay_out(Record& rec, const Layout& l, std::string* error) {
  ZoPath* path = nullptr;
  uint32_t lines = 0, height = 0;
  uint32_t maxHeight = l.maxWidth != 0 ? 100000 : 0;
  if (ZoPathCreateRichEditText2(rec.get(), l.fixedOutline ? 1 : 0, l.maxWidth, maxHeight, &path,
                                &lines, &height, nullptr) == 0 || path == nullptr) {
    *error = "the text could not be laid out (no glyphs, a bad size or no font)";
    release(path);
    return nullptr;
  }
  return path;
}

RECT bounds(ZoPath* path) {
  RECT r{};
  ZoPathGetRealRect(path, 0x10000, &r);
  return r;
}

// The filled path: black on white, the mask's own rectangle.
bool fill_image(ZoPath* path, Image* out, RECT* where, std::string* error) {
  RECT* rects = nullptr;
  uint8_t** buffers = nullptr;
  if (ZoPathToBuf(path, 8, 0, 1, 0, 0x10000, &rects, &buffers, 2) == 0) {
    *error = "the text could not be rendered";
    return false;
  }
  uint32_t w = 0, h = 0;
  ZoPathBufGetWHU(buffers[0], &w, &h, nullptr);
  *where = rects[0];
  out->width = w, out->height = h, out->channels = 1;
  out->pixels.assign(buffers[0], buffers[0] + size_t{w} * h);
  for (uint8_t& p : out->pixels) p = uint8_t(255 - p);
  ZoPathBufFree(buffers[0]);
  ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(rects));
  ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(buffers));
  return true;
}

// The glyph bitmaps in colour on white, over the path's rectangle widened by 4 pixels.
bool glyph_image(ZoPath* path, Record& rec, Image* out, std::string* error) {
  RECT r = bounds(path);
  POINT origin{r.left - 4, r.top - 4};
  uint32_t w = uint32_t(r.right - r.left + 9), h = uint32_t(r.bottom - r.top + 9);
  uint8_t* buffer = ZoPathBufAlloc(24, w, h);
  if (buffer == nullptr) {
    *error = "out of memory";
    return false;
  }
  std::fill(buffer, buffer + size_t{w} * h * 3, 255);
  bool ok = ZoPathGlyphToBuf(path, &origin, buffer, nullptr, 0, rec.get()) != 0;
  out->width = w, out->height = h, out->channels = 3;
  out->pixels.assign(buffer, buffer + size_t{w} * h * 3);
  ZoPathBufFree(buffer);
  if (!ok) *error = "the glyphs could not be drawn";
  return ok;
}

std::string svg_of(ZoPath* path) {
  RECT r = bounds(path);
  std::ostringstream svg;
  svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"" << r.left - 4 << ' ' << r.top - 4
      << ' ' << r.right - r.left + 9 << ' ' << r.bottom - r.top + 9 << "\"><path d=\"";
  for (ZoPath* p = path; p != nullptr; p = p->next) {
    PathNode* n = ZoPathNodes(p);
    for (uint32_t i = 0; i < p->count;) {
      auto xy = [&](uint32_t k) {
        std::ostringstream s;
        s << n[k].pt.x / 65536.0 << ',' << n[k].pt.y / 65536.0;
        return s.str();
      };
      uint16_t kind = n[i].type & PT_KIND_MASK;
      if (kind == PT_BEZIERTO && i + 2 < p->count) {
        svg << 'C' << xy(i) << ' ' << xy(i + 1) << ' ' << xy(i + 2) << ' ';
        i += 3;
      } else {
        svg << (kind == PT_MOVETO ? 'M' : 'L') << xy(i) << ' ';
        ++i;
      }
    }
    svg << "Z ";
  }
  svg << "\" fill=\"black\" fill-rule=\"nonzero\"/></svg>\n";
  return svg.str();
}

bool ends_with(const std::string& s, const char* tail) {
  size_t n = std::strlen(tail);
  return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

}  // namespace

int cmd_text(int argc, char** argv) {
  Layout l;
  Run run;
  std::string text, output, richFile;
  bool haveText = false, glyphs = false;
  for (int i = 0; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](const char*) -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    const char* v = nullptr;
    if (a == "-h" || a == "--help") {
      std::fputs(kTextHelp, stdout);
      return 0;
    } else if (a == "-o" || a == "--output") {
      if (!(v = value("file"))) return usage_error("text: -o needs a file");
      output = v;
    } else if (a == "--font") {
      if (!(v = value("name"))) return usage_error("text: --font needs a name");
      run.face = v;
    } else if (a == "--size") {
      if (!(v = value("px"))) return usage_error("text: --size needs pixels");
      run.size = std::atoi(v);
    } else if (a == "--spacing") {
      if (!(v = value("n"))) return usage_error("text: --spacing needs pixels");
      run.spacing = std::atoi(v);
    } else if (a == "--rotate") {
      if (!(v = value("deg"))) return usage_error("text: --rotate needs degrees");
      run.rotation = std::strtof(v, nullptr);
    } else if (a == "--max-width") {
      if (!(v = value("w"))) return usage_error("text: --max-width needs pixels");
      l.maxWidth = uint32_t(std::max(0, std::atoi(v)));
    } else if (a == "--align") {
      if (!(v = value("n"))) return usage_error("text: --align needs 1 or 2");
      l.align = uint32_t(std::atoi(v));
    } else if (a == "--rich") {
      if (!(v = value("file"))) return usage_error("text: --rich needs a file");
      richFile = v;
    } else if (a == "--bold") {
      run.style |= ZORUN_BOLD;
    } else if (a == "--italic") {
      run.style |= ZORUN_ITALIC;
    } else if (a == "--underline") {
      run.style |= ZORUN_UNDERLINE;
    } else if (a == "--strike") {
      run.style |= ZORUN_STRIKEOUT;
    } else if (a == "--kerning") {
      run.kerning = true;
    } else if (a == "--vertical") {
      l.vertical = true;
    } else if (a == "--fixed-outline") {
      l.fixedOutline = true;
    } else if (a == "--glyphs") {
      glyphs = true;
    } else if (!a.empty() && a[0] == '-') {
      return usage_error("text: unknown option '" + a + "' (see zopath text --help)");
    } else if (!haveText) {
      text = unescape(a);
      haveText = true;
    } else {
      return usage_error("text: more than one STRING");
    }
  }
  if (output.empty()) return usage_error("text: -o OUT is required");
  if (!richFile.empty()) {
    std::string bytes, error;
    if (!read_input(richFile, &bytes, &error)) return fail("text: " + error);
    if (!parse_rich(bytes, &l.runs, &error)) return fail("text: " + richFile + ": " + error);
  } else {
    if (!haveText) return usage_error("text: a STRING or --rich FILE is required");
    run.text = text;
    l.runs.push_back(run);
  }
  Record rec = make_record(l);
  std::string error;
  ZoPath* path = lay_out(rec, l, &error);
  if (path == nullptr) return fail("text: " + error);
  bool ok = true;
  if (ends_with(output, ".txt")) {
    ok = write_output(output, write_path_text(path), &error);
  } else if (ends_with(output, ".svg")) {
    ok = write_output(output, svg_of(path), &error);
  } else if (ends_with(output, ".png")) {
    Image image;
    RECT where{};
    ok = glyphs ? glyph_image(path, rec, &image, &error) : fill_image(path, &image, &where, &error);
    ok = ok && write_png(output, image, &error);
  } else {
    release(path);
    return usage_error("text: the output must end in .txt, .png or .svg");
  }
  release(path);
  return ok ? 0 : fail("text: " + error);
}

// ---- The gallery's text page ----

namespace {

bool save(const std::string& dir, const std::string& name, const Image& image, std::string* error) {
  return write_png((std::filesystem::path(dir) / name).string(), image, error);
}

// Two fills over each other: the first in red, the second in blue, purple where both.
bool overlay(ZoPath* a, ZoPath* b, Image* out, std::string* error) {
  Image ia, ib;
  RECT ra{}, rb{};
  if (!fill_image(a, &ia, &ra, error) || !fill_image(b, &ib, &rb, error)) return false;
  RECT all{std::min(ra.left, rb.left), std::min(ra.top, rb.top), std::max(ra.right, rb.right),
           std::max(ra.bottom, rb.bottom)};
  out->width = uint32_t(all.right - all.left + 1), out->height = uint32_t(all.bottom - all.top + 1);
  out->channels = 3;
  out->pixels.assign(size_t{out->width} * out->height * 3, 255);
  auto paint = [&](const Image& im, RECT r, int channelsOff) {
    for (uint32_t y = 0; y < im.height; ++y)
      for (uint32_t x = 0; x < im.width; ++x) {
        size_t at = (size_t(y + uint32_t(r.top - all.top)) * out->width + x + uint32_t(r.left - all.left)) * 3;
        uint8_t v = im.pixels[size_t{y} * im.width + x];
        for (int c = 0; c < 3; ++c)
          if (c != channelsOff) out->pixels[at + size_t(c)] = std::min(out->pixels[at + size_t(c)], v);
      }
  };
  paint(ia, ra, 0);  // red stays: kerning off
  paint(ib, rb, 2);  // blue stays: kerning on
  return true;
}

// One glyph with its nodes: every node black, the implied on-curve midpoints of quadratic
// splines (type 0x2004) red.
std::string glyph_nodes_svg(ZoPath* path) {
  std::string svg = svg_of(path);
  svg.replace(svg.find("fill=\"black\""), 12, "fill=\"#ddd\" stroke=\"black\" stroke-width=\"0.3\"");
  std::ostringstream marks;
  for (ZoPath* p = path; p != nullptr; p = p->next) {
    PathNode* n = ZoPathNodes(p);
    for (uint32_t i = 0; i < p->count; ++i) {
      const char* colour = (n[i].type & 0x2004) == 0x2004 ? "red" : "black";
      marks << "<circle cx=\"" << n[i].pt.x / 65536.0 << "\" cy=\"" << n[i].pt.y / 65536.0
            << "\" r=\"0.8\" fill=\"" << colour << "\"/>";
    }
  }
  svg.insert(svg.rfind("</svg>"), marks.str());
  return svg;
}

}  // namespace

bool write_text_gallery(const std::string& dir, std::string* html, std::string* error) {
  std::ostringstream page;
  page << "<!doctype html><html><head><meta charset=\"utf-8\"><title>zopath text</title>"
          "</head><body><h1>Text outlines</h1>\n";
  const std::string paragraph =
      "Typography: WAVY To You, AVATAR.\nThe quick brown fox jumps over the lazy dog.";
  auto one_run = [&](Run r, bool vertical = false) {
    Layout l;
    l.vertical = vertical;
    r.text = r.text.empty() ? paragraph : r.text;
    l.runs.push_back(r);
    return l;
  };
  struct Item {
    std::string name, caption;
    Layout layout;
  };
  std::vector<Item> items;
  for (const char* face : {"DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono"}) {
    Run r;
    r.face = face;
    r.size = 24;
    r.kerning = true;
    items.push_back({std::string("face_") + char('a' + items.size()), face, one_run(r)});
  }
  Run spaced;
  spaced.size = 24;
  spaced.spacing = 4;
  items.push_back({"spacing", "extra spacing of 4 pixels", one_run(spaced)});
  Run turned;
  turned.size = 28;
  turned.rotation = 20;
  turned.text = "Rotated characters";
  items.push_back({"rotated", "every character turned by 20 degrees", one_run(turned)});
  Run vertical;
  vertical.size = 24;
  vertical.text = "Vertical\ncolumns";
  items.push_back({"vertical", "vertical text, columns from right to left", one_run(vertical, true)});
  Run bars;
  bars.size = 28;
  bars.style = ZORUN_UNDERLINE | ZORUN_STRIKEOUT;
  bars.text = "Underline and strike-out";
  items.push_back({"bars", "underline and strike-out bars", one_run(bars)});
  for (Item& it : items) {
    Record rec = make_record(it.layout);
    ZoPath* path = lay_out(rec, it.layout, error);
    if (path == nullptr) return false;
    Image image;
    RECT where{};
    bool ok = fill_image(path, &image, &where, error) && save(dir, "text_" + it.name + ".png", image, error);
    release(path);
    if (!ok) return false;
    page << "<h2>" << it.caption << "</h2><img src=\"text_" << it.name << ".png\">\n";
  }
  // Kerning off (red) and on (blue) over each other.
  Run off;
  off.size = 40;
  off.text = "AVATAR WAVY To";
  Run on = off;
  on.kerning = true;
  Layout lOff = one_run(off), lOn = one_run(on);
  Record rOff = make_record(lOff), rOn = make_record(lOn);
  ZoPath* pOff = lay_out(rOff, lOff, error);
  ZoPath* pOn = pOff ? lay_out(rOn, lOn, error) : nullptr;
  if (pOn == nullptr) {
    release(pOff);
    return false;
  }
  Image kern;
  bool ok = overlay(pOff, pOn, &kern, error) && save(dir, "text_kerning.png", kern, error);
  release(pOff);
  release(pOn);
  if (!ok) return false;
  page << "<h2>kerning off (red) and on (blue)</h2><img src=\"text_kerning.png\">\n";
  // A coloured rich-text paragraph drawn as glyph bitmaps.
  Layout rich;
  const char* words[] = {"Rich ", "text ", "in ", "colour,\n", "bold ", "and italic."};
  const COLORREF colours[] = {ZO_RGB(200, 0, 0), ZO_RGB(0, 130, 0), ZO_RGB(0, 0, 200),
                              ZO_RGB(160, 0, 160), ZO_RGB(0, 0, 0), ZO_RGB(200, 100, 0)};
  for (int i = 0; i < 6; ++i) {
    Run r;
    r.size = i % 2 == 0 ? 20 : 28;
    r.text = words[i];
    r.colour = colours[i];
    r.style = i == 4 ? ZORUN_BOLD : i == 5 ? ZORUN_ITALIC : 0;
    rich.runs.push_back(r);
  }
  Record rr = make_record(rich);
  ZoPath* pr = lay_out(rr, rich, error);
  if (pr == nullptr) return false;
  Image richImage;
  ok = glyph_image(pr, rr, &richImage, error) && save(dir, "text_rich.png", richImage, error);
  release(pr);
  if (!ok) return false;
  page << "<h2>a coloured rich-text paragraph (glyph bitmaps)</h2><img src=\"text_rich.png\">\n";
  // The same 12-pixel line as a filled path and as glyph bitmaps.
  Run small;
  small.size = 12;
  small.text = "The same 12-pixel line: filled path, then glyph bitmaps.";
  Layout ls = one_run(small);
  Record rs = make_record(ls);
  ZoPath* ps = lay_out(rs, ls, error);
  if (ps == nullptr) return false;
  Image filled, bitmaps;
  RECT where{};
  ok = fill_image(ps, &filled, &where, error) && glyph_image(ps, rs, &bitmaps, error) &&
       save(dir, "text_small_filled.png", filled, error) &&
       save(dir, "text_small_glyphs.png", bitmaps, error);
  release(ps);
  if (!ok) return false;
  page << "<h2>12 pixels: filled path and glyph bitmaps</h2><img src=\"text_small_filled.png\">"
          "<br><img src=\"text_small_glyphs.png\">\n";
  // One glyph with its nodes.
  Run big;
  big.size = 200;
  big.text = "g";
  Layout lg = one_run(big);
  Record rg = make_record(lg);
  ZoPath* pg = lay_out(rg, lg, error);
  if (pg == nullptr) return false;
  std::string svg = glyph_nodes_svg(pg);
  release(pg);
  std::ofstream(std::filesystem::path(dir) / "text_glyph_nodes.svg") << svg;
  page << "<h2>one glyph with its nodes (red: implied on-curve points of quadratic splines, "
          "type 0x2004)</h2><img src=\"text_glyph_nodes.svg\" width=\"400\">\n";
  page << "</body></html>\n";
  std::ofstream out(std::filesystem::path(dir) / "text.html");
  out << page.str();
  if (!out) {
    *error = "cannot write text.html";
    return false;
  }
  *html += "<h2>Text outlines</h2><p><a href=\"text.html\">The text page</a>: faces, kerning, "
           "spacing, rotation, vertical text, bars, rich text and glyph bitmaps.</p>"
           "<img src=\"text_kerning.png\">\n";
  return true;
}

}  // namespace zopath
