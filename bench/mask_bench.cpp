// Filling paths into 8-bit masks: ZoPathToBuf (anti-aliased with 16 and with 4 sample rows,
// and bilevel) and ZoPathToPartialBuf (4 sample rows, into a caller's buffer) side by side
// with FreeType's smooth rasteriser, Cairo (A8 surface) and AGG (scanline AA into gray8), and
// a plain memset of the same mask bytes (the floor), on the same shapes in one run.
// Corpora: DejaVu Sans printable ASCII at 12, 32 and 100 pixels; ellipses and rounded
// rectangles from 50 to 2,000 pixels; random self-intersecting 100-gons of 500 pixels; and
// one tiny triangle, which measures what a call costs besides its fill.
// With ZO_BEFORE_LIB naming an earlier build of the library, that build is loaded beside this
// one (its own copy, bound to itself) and runs the same benchmarks as "Before_...".
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <dlfcn.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <agg_conv_curve.h>
#include <agg_path_storage.h>
#include <agg_pixfmt_gray.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_scanline_u.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "Zo32path.h"

namespace {

// ---- One neutral shape description, converted for every renderer ----

struct Cmd {
  char op;  // 'M', 'L', 'C' (three points), 'Z'
  double p[6];
};
using Shape = std::vector<Cmd>;

struct Corpus {
  std::vector<Shape> shapes;
  int width = 0, height = 0;  // every mask of the corpus is this size
};

constexpr double kOffset = 8.0;  // shapes start this far inside their mask

// The library calls the benchmark makes: this build's, or an earlier build's loaded apart.
struct Library {
  decltype(&ZoPathInit) init = &ZoPathInit;
  decltype(&ZoPathCreate) create = &ZoPathCreate;
  decltype(&ZoPathAddPoint) add_point = &ZoPathAddPoint;
  decltype(&ZoPathDeletePtrSingle) remove = &ZoPathDeletePtrSingle;
  decltype(&ZoPathToBuf) to_buf = &ZoPathToBuf;
  decltype(&ZoPathToPartialBuf) to_partial_buf = &ZoPathToPartialBuf;
  decltype(&ZoPathBufAlloc) buf_alloc = &ZoPathBufAlloc;
  decltype(&ZoPathBufFree) buf_free = &ZoPathBufFree;
  decltype(&ZoPlatGlobalFree) global_free = &ZoPlatGlobalFree;
};

const Library kThisBuild;

// The build named by ZO_BEFORE_LIB, or null. RTLD_DEEPBIND keeps its calls inside itself.
const Library* before_build() {
  static const Library* lib = []() -> const Library* {
    const char* path = std::getenv("ZO_BEFORE_LIB");
    if (path == nullptr || *path == 0) return nullptr;
    void* h = dlopen(path, RTLD_NOW | RTLD_LOCAL | RTLD_DEEPBIND);
    if (h == nullptr) {
      std::fprintf(stderr, "ZO_BEFORE_LIB: %s\n", dlerror());
      return nullptr;
    }
    static Library l;
    bool ok = true;
    auto get = [&](auto* fn, const char* name) {
      *fn = reinterpret_cast<std::remove_reference_t<decltype(*fn)>>(dlsym(h, name));
      ok = ok && *fn != nullptr;
    };
    get(&l.init, "ZoPathInit");
    get(&l.create, "ZoPathCreate");
    get(&l.add_point, "ZoPathAddPoint");
    get(&l.remove, "ZoPathDeletePtrSingle");
    get(&l.to_buf, "ZoPathToBuf");
    get(&l.to_partial_buf, "ZoPathToPartialBuf");
    get(&l.buf_alloc, "ZoPathBufAlloc");
    get(&l.buf_free, "ZoPathBufFree");
    get(&l.global_free, "ZoPlatGlobalFree");
    return ok ? &l : nullptr;
  }();
  return lib;
}

ZoPath* to_record(const Library& lib, const Shape& s) {
  ZoPath* p = lib.create();
  auto add = [&](double x, double y, uint16_t type) {
    Ptfx pt{DbToFix(x), DbToFix(y)};
    lib.add_point(&p, &pt, type);
  };
  for (const Cmd& c : s) {
    if (c.op == 'M') add(c.p[0], c.p[1], PT_MOVETO);
    if (c.op == 'L') add(c.p[0], c.p[1], PT_LINETO);
    if (c.op == 'C') {
      add(c.p[0], c.p[1], PT_BEZIERTO);
      add(c.p[2], c.p[3], PT_BEZIERTO);
      add(c.p[4], c.p[5], PT_BEZIERTO);
    }
    if (c.op == 'Z' && p->count > 0) ZoPathNodes(p)[p->count - 1].type |= PT_CLOSEFIGURE;
  }
  return p;
}

// FreeType outline with cubic control points, in 26.6 with y flipped into the bitmap.
struct FtShape {
  std::vector<FT_Vector> points;
  std::vector<char> tags;
  std::vector<short> contours;
  FT_Outline outline{};
};

void to_ft(const Shape& s, int height, FtShape* out) {
  auto pt = [&](double x, double y, char tag) {
    out->points.push_back(
        FT_Vector{FT_Pos(std::lround(x * 64)), FT_Pos(std::lround((height - y) * 64))});
    out->tags.push_back(tag);
  };
  for (const Cmd& c : s) {
    if (c.op == 'M') {
      if (!out->points.empty()) out->contours.push_back(short(out->points.size() - 1));
      pt(c.p[0], c.p[1], FT_CURVE_TAG_ON);
    }
    if (c.op == 'L') pt(c.p[0], c.p[1], FT_CURVE_TAG_ON);
    if (c.op == 'C') {
      pt(c.p[0], c.p[1], FT_CURVE_TAG_CUBIC);
      pt(c.p[2], c.p[3], FT_CURVE_TAG_CUBIC);
      pt(c.p[4], c.p[5], FT_CURVE_TAG_ON);
    }
  }
  if (!out->points.empty()) out->contours.push_back(short(out->points.size() - 1));
  out->outline.n_points = short(out->points.size());
  out->outline.n_contours = short(out->contours.size());
  out->outline.points = out->points.data();
  out->outline.tags = out->tags.data();
  out->outline.contours = out->contours.data();
  out->outline.flags = FT_OUTLINE_NONE;
}

void to_cairo(cairo_t* cr, const Shape& s) {
  for (const Cmd& c : s) {
    if (c.op == 'M') cairo_move_to(cr, c.p[0], c.p[1]);
    if (c.op == 'L') cairo_line_to(cr, c.p[0], c.p[1]);
    if (c.op == 'C') cairo_curve_to(cr, c.p[0], c.p[1], c.p[2], c.p[3], c.p[4], c.p[5]);
    if (c.op == 'Z') cairo_close_path(cr);
  }
}

void to_agg(agg::path_storage& ps, const Shape& s) {
  for (const Cmd& c : s) {
    if (c.op == 'M') ps.move_to(c.p[0], c.p[1]);
    if (c.op == 'L') ps.line_to(c.p[0], c.p[1]);
    if (c.op == 'C') ps.curve4(c.p[0], c.p[1], c.p[2], c.p[3], c.p[4], c.p[5]);
    if (c.op == 'Z') ps.close_polygon();
  }
}

// ---- Corpora ----

void bound(Corpus& c) {
  double maxX = 0, maxY = 0;
  for (const Shape& s : c.shapes)
    for (const Cmd& cmd : s)
      for (int i = 0; i < (cmd.op == 'C' ? 6 : cmd.op == 'Z' ? 0 : 2); i += 2) {
        maxX = std::max(maxX, cmd.p[i]);
        maxY = std::max(maxY, cmd.p[i + 1]);
      }
  // Our masks are the rectangle with a margin of 5 before and 6 after; peers get the same.
  c.width = int(maxX) + 12;
  c.height = int(maxY) + 12;
}

Shape ellipse(double rx, double ry) {
  const double k = 0.5522847, cx = kOffset + rx, cy = kOffset + ry;
  return {{'M', {cx + rx, cy}},
          {'C', {cx + rx, cy + k * ry, cx + k * rx, cy + ry, cx, cy + ry}},
          {'C', {cx - k * rx, cy + ry, cx - rx, cy + k * ry, cx - rx, cy}},
          {'C', {cx - rx, cy - k * ry, cx - k * rx, cy - ry, cx, cy - ry}},
          {'C', {cx + k * rx, cy - ry, cx + rx, cy - k * ry, cx + rx, cy}},
          {'Z', {}}};
}

Shape rounded_rect(double w, double h, double r) {
  const double k = 0.5522847 * r, x0 = kOffset, y0 = kOffset, x1 = x0 + w, y1 = y0 + h;
  return {{'M', {x0 + r, y0}},
          {'L', {x1 - r, y0}},
          {'C', {x1 - r + k, y0, x1, y0 + r - k, x1, y0 + r}},
          {'L', {x1, y1 - r}},
          {'C', {x1, y1 - r + k, x1 - r + k, y1, x1 - r, y1}},
          {'L', {x0 + r, y1}},
          {'C', {x0 + r - k, y1, x0, y1 - r + k, x0, y1 - r}},
          {'L', {x0, y0 + r}},
          {'C', {x0, y0 + r - k, x0 + r - k, y0, x0 + r, y0}},
          {'Z', {}}};
}

Corpus random_polygons() {
  Corpus c;
  std::mt19937 rng(100);
  std::uniform_real_distribution<double> u(kOffset, kOffset + 500);
  for (int i = 0; i < 10; ++i) {
    Shape s{{'M', {u(rng), u(rng)}}};
    for (int k = 1; k < 100; ++k) s.push_back({'L', {u(rng), u(rng)}});
    s.push_back({'Z', {}});
    c.shapes.push_back(s);
  }
  bound(c);
  return c;
}

// The printable ASCII glyphs of DejaVu Sans at a pixel size, outlines from FreeType with
// quadratic pieces raised to cubics.
Corpus glyphs(int pixels) {
  Corpus c;
  FT_Library lib;
  FT_Face face;
  if (FT_Init_FreeType(&lib) != 0) return c;
  if (FT_New_Face(lib, "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 0, &face) == 0) {
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixels));
    for (char ch = 33; ch < 127; ++ch) {
      if (FT_Load_Char(face, FT_ULong(ch), FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) continue;
      struct Ctx {
        Shape s;
        double x, y;
        double base;
      } ctx{{}, 0, 0, kOffset + pixels};
      auto X = [](const FT_Vector* v) { return kOffset + v->x / 64.0; };
      FT_Outline_Funcs f{};
      f.move_to = [](const FT_Vector* to, void* u) {
        auto* c2 = static_cast<Ctx*>(u);
        if (!c2->s.empty()) c2->s.push_back({'Z', {}});
        c2->x = kOffset + to->x / 64.0, c2->y = c2->base - to->y / 64.0;
        c2->s.push_back({'M', {c2->x, c2->y}});
        return 0;
      };
      f.line_to = [](const FT_Vector* to, void* u) {
        auto* c2 = static_cast<Ctx*>(u);
        c2->x = kOffset + to->x / 64.0, c2->y = c2->base - to->y / 64.0;
        c2->s.push_back({'L', {c2->x, c2->y}});
        return 0;
      };
      f.conic_to = [](const FT_Vector* q, const FT_Vector* to, void* u) {
        auto* c2 = static_cast<Ctx*>(u);
        double qx = kOffset + q->x / 64.0, qy = c2->base - q->y / 64.0;
        double ex = kOffset + to->x / 64.0, ey = c2->base - to->y / 64.0;
        c2->s.push_back({'C',
                         {c2->x + 2 * (qx - c2->x) / 3, c2->y + 2 * (qy - c2->y) / 3,
                          ex + 2 * (qx - ex) / 3, ey + 2 * (qy - ey) / 3, ex, ey}});
        c2->x = ex, c2->y = ey;
        return 0;
      };
      f.cubic_to = [](const FT_Vector* a, const FT_Vector* b, const FT_Vector* to, void* u) {
        auto* c2 = static_cast<Ctx*>(u);
        double ex = kOffset + to->x / 64.0, ey = c2->base - to->y / 64.0;
        c2->s.push_back({'C',
                         {kOffset + a->x / 64.0, c2->base - a->y / 64.0, kOffset + b->x / 64.0,
                          c2->base - b->y / 64.0, ex, ey}});
        c2->x = ex, c2->y = ey;
        return 0;
      };
      (void)X;
      FT_Outline_Decompose(&face->glyph->outline, &f, &ctx);
      if (!ctx.s.empty()) {
        ctx.s.push_back({'Z', {}});
        c.shapes.push_back(ctx.s);
      }
    }
    FT_Done_Face(face);
  }
  FT_Done_FreeType(lib);
  bound(c);
  return c;
}

const Corpus& corpus(const std::string& name) {
  static std::map<std::string, Corpus> all;
  auto it = all.find(name);
  if (it != all.end()) return it->second;
  Corpus c;
  if (name.rfind("glyphs", 0) == 0) {
    c = glyphs(std::stoi(name.substr(7)));
  } else if (name.rfind("ellipse", 0) == 0) {
    double d = std::stod(name.substr(8));
    c.shapes.push_back(ellipse(d / 2, d / 3));
    bound(c);
  } else if (name == "call") {
    c.shapes.push_back({{'M', {kOffset, kOffset}},
                        {'L', {kOffset + 1.3, kOffset + 0.4}},
                        {'L', {kOffset + 0.2, kOffset + 1.1}},
                        {'Z', {}}});
    bound(c);
  } else if (name.rfind("roundrect", 0) == 0) {
    double d = std::stod(name.substr(10));
    c.shapes.push_back(rounded_rect(d, d * 0.6, d * 0.1));
    bound(c);
  } else {
    c = random_polygons();
  }
  return all.emplace(name, std::move(c)).first->second;
}

const char* const kCorpora[] = {"glyphs_12",     "glyphs_32",      "glyphs_100",
                                "ellipse_50",    "ellipse_200",    "ellipse_2000",
                                "roundrect_50",  "roundrect_200",  "roundrect_2000",
                                "polygons_500",  "call"};

// ---- The renderers ----

// ZoPathToBuf: a new mask and output arrays per shape, released again.
void BM_Zo32path(benchmark::State& state, const char* name, uint32_t aaMode, const Library* lib) {
  lib->init();
  const Corpus& c = corpus(name);
  std::vector<ZoPath*> records;
  for (const Shape& s : c.shapes) records.push_back(to_record(*lib, s));
  for (auto _ : state) {
    for (ZoPath* p : records) {
      RECT* rects = nullptr;
      uint8_t** buffers = nullptr;
      uint32_t n = lib->to_buf(p, 8, 0, aaMode, 0, 65536, &rects, &buffers, 0);
      benchmark::DoNotOptimize(buffers[0][0]);
      for (uint32_t i = 0; i < n; ++i) lib->buf_free(buffers[i]);
      lib->global_free(reinterpret_cast<HGLOBAL>(rects));
      lib->global_free(reinterpret_cast<HGLOBAL>(buffers));
    }
  }
  for (ZoPath* p : records) lib->remove(p);
}

// ZoPathToPartialBuf (4 sample rows, bands of 250 rows) into one caller's buffer of the
// corpus's mask size, cleared before every shape as the peers' bitmaps are.
void BM_Zo32pathPartial(benchmark::State& state, const char* name, const Library* lib) {
  lib->init();
  const Corpus& c = corpus(name);
  std::vector<ZoPath*> records;
  for (const Shape& s : c.shapes) records.push_back(to_record(*lib, s));
  uint8_t* buffer = lib->buf_alloc(8, uint32_t(c.width), uint32_t(c.height));
  const int64_t origin = (int64_t{-3} << 32) | uint32_t(-3);  // the masks' margin
  for (auto _ : state) {
    for (ZoPath* p : records) {
      std::memset(buffer, 0, size_t(c.width) * c.height);
      lib->to_partial_buf(p, 0, 1, origin, buffer);
      benchmark::DoNotOptimize(buffer[0]);
    }
  }
  lib->buf_free(buffer);
  for (ZoPath* p : records) lib->remove(p);
}

void BM_Memset(benchmark::State& state, const char* name) {
  const Corpus& c = corpus(name);
  std::vector<uint8_t> mask(size_t(c.width) * c.height);
  for (auto _ : state) {
    for (size_t i = 0; i < c.shapes.size(); ++i) {
      std::memset(mask.data(), 0, mask.size());
      benchmark::ClobberMemory();
    }
  }
}

void BM_FreeType(benchmark::State& state, const char* name) {
  const Corpus& c = corpus(name);
  FT_Library lib;
  FT_Init_FreeType(&lib);
  std::vector<FtShape> shapes(c.shapes.size());
  for (size_t i = 0; i < c.shapes.size(); ++i) to_ft(c.shapes[i], c.height, &shapes[i]);
  std::vector<uint8_t> mask(size_t(c.width) * c.height);
  FT_Bitmap bitmap{};
  bitmap.rows = unsigned(c.height);
  bitmap.width = unsigned(c.width);
  bitmap.pitch = c.width;
  bitmap.buffer = mask.data();
  bitmap.num_grays = 256;
  bitmap.pixel_mode = FT_PIXEL_MODE_GRAY;
  for (auto _ : state) {
    for (FtShape& s : shapes) {
      std::memset(mask.data(), 0, mask.size());
      FT_Raster_Params params{};
      params.target = &bitmap;
      params.flags = FT_RASTER_FLAG_AA;
      FT_Outline_Render(lib, &s.outline, &params);
      benchmark::DoNotOptimize(mask[0]);
    }
  }
  FT_Done_FreeType(lib);
}

void BM_Cairo(benchmark::State& state, const char* name) {
  const Corpus& c = corpus(name);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, c.width, c.height);
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
  unsigned char* data = cairo_image_surface_get_data(surface);
  size_t bytes = size_t(cairo_image_surface_get_stride(surface)) * c.height;
  for (auto _ : state) {
    for (const Shape& s : c.shapes) {
      cairo_surface_flush(surface);
      std::memset(data, 0, bytes);
      cairo_surface_mark_dirty(surface);
      to_cairo(cr, s);
      cairo_fill(cr);
      cairo_surface_flush(surface);
      benchmark::DoNotOptimize(data[0]);
    }
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

void BM_AGG(benchmark::State& state, const char* name) {
  const Corpus& c = corpus(name);
  std::vector<uint8_t> mask(size_t(c.width) * c.height);
  agg::rendering_buffer rbuf(mask.data(), unsigned(c.width), unsigned(c.height), c.width);
  agg::pixfmt_gray8 pixf(rbuf);
  agg::renderer_base<agg::pixfmt_gray8> base(pixf);
  agg::renderer_scanline_aa_solid<agg::renderer_base<agg::pixfmt_gray8>> ren(base);
  ren.color(agg::gray8(255));
  agg::rasterizer_scanline_aa<> ras;
  agg::scanline_u8 sl;
  std::vector<agg::path_storage> paths(c.shapes.size());
  for (size_t i = 0; i < c.shapes.size(); ++i) to_agg(paths[i], c.shapes[i]);
  for (auto _ : state) {
    for (agg::path_storage& ps : paths) {
      std::memset(mask.data(), 0, mask.size());
      agg::conv_curve<agg::path_storage> curve(ps);
      ras.reset();
      ras.add_path(curve);
      agg::render_scanlines(ras, sl, ren);
      benchmark::DoNotOptimize(mask[0]);
    }
  }
}

int register_all() {
  struct Build {
    const char* prefix;
    const Library* lib;
  };
  std::vector<Build> builds{{"Zo32path", &kThisBuild}};
  if (before_build() != nullptr) builds.push_back({"Before", before_build()});
  for (const char* name : kCorpora) {
    std::string n = name;
    for (const Build& b : builds) {
      std::string p = b.prefix;
      benchmark::RegisterBenchmark((p + "_aa16/" + n).c_str(), BM_Zo32path, name, 1u, b.lib);
      benchmark::RegisterBenchmark((p + "_aa4/" + n).c_str(), BM_Zo32path, name, 999u, b.lib);
      benchmark::RegisterBenchmark((p + "_bilevel/" + n).c_str(), BM_Zo32path, name, 0u, b.lib);
      benchmark::RegisterBenchmark((p + "_partial/" + n).c_str(), BM_Zo32pathPartial, name,
                                   b.lib);
    }
    benchmark::RegisterBenchmark(("FreeType/" + n).c_str(), BM_FreeType, name);
    benchmark::RegisterBenchmark(("Cairo/" + n).c_str(), BM_Cairo, name);
    benchmark::RegisterBenchmark(("AGG/" + n).c_str(), BM_AGG, name);
    benchmark::RegisterBenchmark(("memset/" + n).c_str(), BM_Memset, name);
  }
  return 0;
}
const int registered = register_all();

}  // namespace
