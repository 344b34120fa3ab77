// GetGlyphOutlineA: a glyph as native outline records or as a rendered bitmap.
//
// The native records are written from the point tags, not from a curve decomposition, so
// that a run of quadratic control points stays one B-spline record: the converter that
// reads them turns each implied on-curve midpoint into a marked node. Points are scaled from
// font units in 64-bit integers, so an unturned outline is exact to 1/65536 pixel; turns
// (escapement, then the caller's matrix) are applied in doubles.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <unordered_map>
#include <vector>

#include "font_objects.hpp"
#include "fonts.hpp"

namespace zo::plat {

namespace {

// Row-vector matrix: (x, y) -> (x m11 + y m21, x m12 + y m22).
struct Turn {
  double m11 = 1, m12 = 0, m21 = 0, m22 = 1;
  bool identity = true;
};

double fixed_value(FIXED f) { return f.value + f.fract / 65536.0; }

Turn turn_of(const Font& f, const MAT2& m) {
  double e = f.request.lfEscapement * (3.14159265358979323846 / 1800.0);
  double c = std::cos(e), s = std::sin(e);
  if (f.request.lfEscapement % 3600 == 0) c = 1, s = 0;  // exact for the common cases
  else if ((f.request.lfEscapement % 3600 + 3600) % 3600 == 900) c = 0, s = 1;
  else if ((f.request.lfEscapement % 3600 + 3600) % 3600 == 1800) c = -1, s = 0;
  else if ((f.request.lfEscapement % 3600 + 3600) % 3600 == 2700) c = 0, s = -1;
  double a11 = fixed_value(m.eM11), a12 = fixed_value(m.eM12);
  double a21 = fixed_value(m.eM21), a22 = fixed_value(m.eM22);
  // Escapement (counter-clockwise by e) first, then the matrix.
  Turn t{c * a11 + s * a21, c * a12 + s * a22, -s * a11 + c * a21, -s * a12 + c * a22, false};
  t.identity = t.m11 == 1 && t.m12 == 0 && t.m21 == 0 && t.m22 == 1;
  return t;
}

struct Fixed2 {
  int64_t x, y;
};

Fixed2 place(const FontScale& s, const Turn& t, FT_Vector p) {
  int64_t x = s.fixed(p.x), y = s.fixed(p.y);
  if (t.identity) return Fixed2{x, y};
  double dx = double(x), dy = double(y);
  return Fixed2{std::llround(dx * t.m11 + dy * t.m21), std::llround(dx * t.m12 + dy * t.m22)};
}

// Writes (or, with a null out, only measures) the native records of the glyph.
class NativeWriter {
 public:
  NativeWriter(uint8_t* out) : out_(out) {}
  size_t size() const { return at_; }

  void begin_polygon(Fixed2 start) {
    polygon_ = at_;
    put32(0);
    put32(TT_POLYGON_TYPE);
    put_point(start);
    kind_ = 0;
    lastOff_ = false;
  }
  void end_polygon() {
    if (out_ != nullptr) write32(polygon_, static_cast<uint32_t>(at_ - polygon_));
  }
  void on_point(Fixed2 p) {
    if (kind_ == TT_PRIM_LINE || ((kind_ == TT_PRIM_QSPLINE || kind_ == TT_PRIM_CSPLINE) && lastOff_))
      append(p);
    else
      start_record(TT_PRIM_LINE, p);
    lastOff_ = false;
  }
  void conic_point(Fixed2 p) {
    if (kind_ == TT_PRIM_QSPLINE && lastOff_) append(p);
    else start_record(TT_PRIM_QSPLINE, p);
    lastOff_ = true;
  }
  void cubic_point(Fixed2 p) {
    if (kind_ == TT_PRIM_CSPLINE) append(p);
    else start_record(TT_PRIM_CSPLINE, p);
    lastOff_ = true;
  }

 private:
  void start_record(uint16_t kind, Fixed2 p) {
    kind_ = kind;
    record_ = at_;
    count_ = 0;
    put16(kind);
    put16(0);
    append(p);
  }
  void append(Fixed2 p) {
    put_point(p);
    ++count_;
    if (out_ != nullptr) {
      uint16_t n = static_cast<uint16_t>(count_);
      std::memcpy(out_ + record_ + 2, &n, 2);
    }
  }
  void put_point(Fixed2 p) {
    put32(static_cast<uint32_t>(static_cast<int32_t>(p.x)));
    put32(static_cast<uint32_t>(static_cast<int32_t>(p.y)));
  }
  void put16(uint16_t v) {
    if (out_ != nullptr) std::memcpy(out_ + at_, &v, 2);
    at_ += 2;
  }
  void put32(uint32_t v) {
    if (out_ != nullptr) std::memcpy(out_ + at_, &v, 4);
    at_ += 4;
  }
  void write32(size_t at, uint32_t v) { std::memcpy(out_ + at, &v, 4); }

  uint8_t* out_;
  size_t at_ = 0, polygon_ = 0, record_ = 0;
  uint32_t count_ = 0;
  uint16_t kind_ = 0;
  bool lastOff_ = false;
};

// Finished results by face, glyph, size, turn and format: the text code asks for every glyph
// twice (size, then data) and lays out the same characters over and over. GDI keeps such a
// cache too. Emptied with the font caches.
struct CacheKey {
  const Face* face;
  uint32_t glyph, format;
  int64_t num, den;
  uint64_t turn[4];
  bool operator==(const CacheKey&) const = default;
};
struct CacheKeyHash {
  size_t operator()(const CacheKey& k) const {
    uint64_t h = reinterpret_cast<uintptr_t>(k.face) * 0x9E3779B97F4A7C15ull;
    auto mix = [&h](uint64_t v) { h = (h ^ v) * 0x100000001B3ull; };
    mix(k.glyph), mix(k.format), mix(uint64_t(k.num)), mix(uint64_t(k.den));
    for (uint64_t t : k.turn) mix(t);
    return static_cast<size_t>(h ^ (h >> 29));
  }
};
struct CachedGlyph {
  GLYPHMETRICS metrics;
  uint32_t result;  // size, or GDI_ERROR
  std::vector<uint8_t> bytes;
};
constexpr size_t kCacheLimit = 8192;

std::unordered_map<CacheKey, CachedGlyph, CacheKeyHash>& glyph_cache() {
  static auto* cache = new std::unordered_map<CacheKey, CachedGlyph, CacheKeyHash>;
  return *cache;  // never destroyed: the library's unload may run after static destructors
}

bool is_on(uint8_t tag) { return (tag & 1) != 0; }
bool is_cubic(uint8_t tag) { return (tag & 3) == 2; }

size_t write_native(const GlyphData& g, const FontScale& s, const Turn& t, uint8_t* out) {
  NativeWriter w(out);
  size_t first = 0;
  for (int16_t endIndex : g.contourEnds) {
    size_t last = static_cast<size_t>(endIndex), n = last + 1 - first;
    if (last < first || last >= g.points.size() || n < 2) {
      first = last + 1;
      continue;
    }
    auto point = [&](size_t i) { return place(s, t, g.points[first + i % n]); };
    auto tag = [&](size_t i) { return g.tags[first + i % n]; };
    size_t k = 0;
    while (k < n && !is_on(tag(k))) ++k;
    Fixed2 start;
    size_t from, steps;
    if (k < n) {
      start = point(k);
      from = k + 1;
      steps = n - 1;
    } else {  // no on-curve point: start between the first two controls
      Fixed2 a = point(0), b = point(1);
      start = Fixed2{(a.x + b.x) / 2, (a.y + b.y) / 2};
      from = 1;
      steps = n;
    }
    w.begin_polygon(start);
    for (size_t i = 0; i < steps; ++i) {
      size_t j = from + i;
      if (is_on(tag(j))) w.on_point(point(j));
      else if (is_cubic(tag(j))) w.cubic_point(point(j));
      else w.conic_point(point(j));
    }
    w.on_point(start);  // every contour's last record ends on its start
    w.end_polygon();
    first = last + 1;
  }
  return w.size();
}

uint32_t native_outline(const Font& f, uint32_t glyph, GLYPHMETRICS* gm, uint32_t size,
                        void* buffer, const Turn& t) {
  const GlyphData* g = glyph_data(f.face, glyph);
  if (g == nullptr) return GDI_ERROR;
  FontScale s = scale_of(f);
  int64_t x0 = INT64_MAX, y0 = INT64_MAX, x1 = INT64_MIN, y1 = INT64_MIN;
  for (FT_Vector p : g->points) {
    Fixed2 q = place(s, t, p);
    x0 = std::min(x0, q.x), y0 = std::min(y0, q.y), x1 = std::max(x1, q.x), y1 = std::max(y1, q.y);
  }
  std::memset(gm, 0, sizeof(*gm));
  if (g->points.empty()) {
    gm->gmBlackBoxX = gm->gmBlackBoxY = 1;
  } else {
    auto floor_px = [](int64_t v) { return static_cast<int32_t>(v >= 0 ? v >> 16 : -((-v + 65535) >> 16)); };
    auto ceil_px = [&](int64_t v) { return -floor_px(-v); };
    gm->gmBlackBoxX = static_cast<uint32_t>(std::max(1, ceil_px(x1) - floor_px(x0)));
    gm->gmBlackBoxY = static_cast<uint32_t>(std::max(1, ceil_px(y1) - floor_px(y0)));
    gm->gmptGlyphOrigin = POINT{floor_px(x0), ceil_px(y1)};
  }
  double advance = g->advance * s.factor();
  gm->gmCellIncX = static_cast<int16_t>(std::lround(advance * t.m11));
  gm->gmCellIncY = static_cast<int16_t>(std::lround(advance * t.m12));
  size_t needed = write_native(*g, s, t, nullptr);
  if (needed > UINT32_MAX - 1) return GDI_ERROR;
  if (buffer == nullptr || size == 0) return static_cast<uint32_t>(needed);
  if (size < needed) return GDI_ERROR;
  write_native(*g, s, t, static_cast<uint8_t*>(buffer));
  return static_cast<uint32_t>(needed);
}

uint32_t bitmap_glyph(const Font& f, uint32_t glyph, uint32_t format, GLYPHMETRICS* gm,
                      uint32_t size, void* buffer, const Turn& t) {
  if (!apply_pixel_size(f)) return GDI_ERROR;
  FT_Face face = f.face->ft;
  auto fx = [](double v) { return static_cast<FT_Fixed>(std::llround(v * 65536.0)); };
  FT_Matrix m{fx(t.m11), fx(t.m21), fx(t.m12), fx(t.m22)};
  bool mono = format == GGO_BITMAP;
  FT_Set_Transform(face, &m, nullptr);
  FT_Error error = FT_Load_Glyph(face, glyph,
                                 FT_LOAD_NO_BITMAP | (mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL));
  bool inkless = error == 0 && face->glyph->outline.n_contours == 0;
  if (error == 0 && !inkless)
    error = FT_Render_Glyph(face->glyph, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL);
  FT_Set_Transform(face, nullptr, nullptr);
  if (error != 0) return GDI_ERROR;
  const FT_GlyphSlot slot = face->glyph;
  const FT_Bitmap& b = slot->bitmap;
  std::memset(gm, 0, sizeof(*gm));
  gm->gmCellIncX = static_cast<int16_t>(std::lround(slot->advance.x / 64.0));
  gm->gmCellIncY = static_cast<int16_t>(std::lround(slot->advance.y / 64.0));
  if (inkless || b.width == 0 || b.rows == 0) {
    gm->gmBlackBoxX = gm->gmBlackBoxY = 1;
    return 0;
  }
  gm->gmBlackBoxX = b.width;
  gm->gmBlackBoxY = b.rows;
  gm->gmptGlyphOrigin = POINT{slot->bitmap_left, slot->bitmap_top};
  uint32_t rowBytes = mono ? (b.width + 31) / 32 * 4 : (b.width + 3) & ~3u;
  uint64_t needed = uint64_t{rowBytes} * b.rows;
  if (needed > UINT32_MAX - 1) return GDI_ERROR;
  if (buffer == nullptr || size == 0) return static_cast<uint32_t>(needed);
  if (size < needed) return GDI_ERROR;
  uint32_t levels = format == GGO_GRAY2_BITMAP ? 4 : format == GGO_GRAY4_BITMAP ? 16 : 64;
  auto* out = static_cast<uint8_t*>(buffer);
  std::memset(out, 0, needed);
  for (uint32_t y = 0; y < b.rows; ++y) {
    const uint8_t* src = b.buffer + (b.pitch >= 0 ? ptrdiff_t(y) * b.pitch
                                                   : ptrdiff_t(b.rows - 1 - y) * -b.pitch);
    uint8_t* dst = out + size_t{y} * rowBytes;
    if (mono) {
      std::memcpy(dst, src, (b.width + 7) / 8);
    } else {
      for (uint32_t x = 0; x < b.width; ++x)
        dst[x] = static_cast<uint8_t>((src[x] * levels + 127) / 255);
    }
  }
  return static_cast<uint32_t>(needed);
}

uint32_t render(const Font& f, uint32_t glyph, uint32_t format, GLYPHMETRICS* gm, uint32_t size,
                void* buffer, const Turn& t) {
  return format == GGO_NATIVE ? native_outline(f, glyph, gm, size, buffer, t)
                              : bitmap_glyph(f, glyph, format, gm, size, buffer, t);
}

// The glyph through the cache: made once (size, then data), then copied.
uint32_t cached_glyph(const Font& f, uint32_t glyph, uint32_t format, GLYPHMETRICS* gm,
                      uint32_t size, void* buffer, const Turn& t) {
  FontScale s = scale_of(f);
  CacheKey key{f.face, glyph, format, s.num, s.den, {}};
  const double turn[4] = {t.m11, t.m12, t.m21, t.m22};
  std::memcpy(key.turn, turn, sizeof turn);
  auto& cache = glyph_cache();
  auto found = cache.find(key);
  if (found == cache.end()) {
    CachedGlyph made{};
    uint32_t needed = render(f, glyph, format, &made.metrics, 0, nullptr, t);
    made.result = needed;
    try {
      if (needed != GDI_ERROR && needed > 0) {
        made.bytes.resize(needed);
        render(f, glyph, format, &made.metrics, needed, made.bytes.data(), t);
      }
      if (cache.size() >= kCacheLimit) cache.clear();
      found = cache.emplace(key, std::move(made)).first;
    } catch (const std::bad_alloc&) {  // no room to keep it: made afresh
      return render(f, glyph, format, gm, size, buffer, t);
    }
  }
  const CachedGlyph& c = found->second;
  *gm = c.metrics;
  if (c.result == GDI_ERROR || buffer == nullptr || size == 0) return c.result;
  if (size < c.result) return GDI_ERROR;
  if (c.result > 0) std::memcpy(buffer, c.bytes.data(), c.result);
  return c.result;
}

}  // namespace

void clear_glyph_cache() { glyph_cache().clear(); }

uint32_t GetGlyphOutlineA(HDC dc, uint32_t ch, uint32_t format, GLYPHMETRICS* gm, uint32_t size,
                          void* buffer, const MAT2* matrix) {
  if (font_call_fails(FontService::GlyphOutline)) return GDI_ERROR;
  Font* f = font_of_dc(dc);
  if (f == nullptr || gm == nullptr || matrix == nullptr) return GDI_ERROR;
  uint32_t glyph = glyph_of_code(*f, ch);
  if (glyph == 0) return GDI_ERROR;
  Turn t = turn_of(*f, *matrix);
  switch (format) {
    case GGO_NATIVE:
    case GGO_BITMAP:
    case GGO_GRAY2_BITMAP:
    case GGO_GRAY4_BITMAP:
    case GGO_GRAY8_BITMAP:
      return cached_glyph(*f, glyph, format, gm, size, buffer, t);
    default:
      return GDI_ERROR;
  }
}

}  // namespace zo::plat
