// Glyph reader and outline converter.
//
// The converter's arithmetic follows the 16.16 values exactly: midpoints and thirds of the
// quadratic splines are integer divisions truncating toward zero on the image coordinates
// (after the y negation and the pen offset), done in 64 bits. Most image y values of text are
// negative, where a shift or a floor would give different nodes.
#include "text_glyphs.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

#include "geometry/fixed_point.hpp"
#include "model/move.hpp"
#include "model/records.hpp"
#include "platform/fonts.hpp"
#include "platform/global_memory.hpp"

namespace zo::text {

namespace {

constexpr uint32_t kGlyphOutline = GGO_NATIVE;
constexpr uint16_t kDollar = 36;
constexpr uint32_t kSubpathRoom = 100;
constexpr double kPi = 3.1415926;  // the value the host's layout uses

uint32_t code_page_for(uint32_t charset) {
  CHARSETINFO info{};
  if (plat::TranslateCharsetInfo(charset, &info, TCI_SRCCHARSET)) return info.ciACP;
  return 1252;
}

// Widths of one character: the float call, else the integer one, else zeros.
void read_widths(HDC dc, uint32_t code, GlyphEntry* e) {
  ABCFLOAT f{};
  if (plat::GetCharABCWidthsFloatA(dc, code, code, &f)) {
    e->a = f.abcfA, e->b = f.abcfB, e->c = f.abcfC;
    return;
  }
  ABC i{};
  if (plat::GetCharABCWidthsA(dc, code, code, &i)) {
    e->a = float(i.abcA), e->b = float(i.abcB), e->c = float(i.abcC);
  }
}

int32_t read_i32(const uint8_t* p) {
  int32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
uint32_t read_u32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
uint16_t read_u16(const uint8_t* p) {
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}

int32_t wrap32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

// One glyph into subpaths appended to `glyph`; false when memory runs out.
class GlyphConverter {
 public:
  GlyphConverter(int32_t penX, int32_t penY, Ptfx shift) : penX_(penX), penY_(penY), shift_(shift) {}

  bool convert(const uint8_t* data, uint32_t size, Chain* glyph) {
    uint32_t at = 0;
    while (size - at >= 16) {
      uint32_t cb = read_u32(data + at);
      if (cb < 16 || cb > size - at) break;  // a malformed polygon ends the outline
      if (!polygon(data + at, cb, glyph)) return false;
      at += cb;
    }
    return true;
  }

 private:
  Ptfx place(const uint8_t* p) const {
    return Ptfx{wrap32(int64_t{read_i32(p)} + penX_), wrap32(-int64_t{read_i32(p + 4)} + penY_)};
  }

  bool add(ZoPath** path, uint16_t type, Ptfx pt) {
    PathNode* n = node_reserve(path, 1);
    if (n == nullptr) return false;
    n->type = type;
    n->pt = pt;
    return true;
  }

  bool polygon(const uint8_t* poly, uint32_t cb, Chain* glyph) {
    ZoPath* path = record_alloc(kSubpathRoom);
    if (path == nullptr) return false;
    bool ok = polygon_nodes(poly, cb, &path);
    if (ok) {
      shift_nodes(path);
      ZoPath* trimmed = record_resize(path, path->count);
      if (trimmed != nullptr) path = trimmed;
      else ok = false;
    }
    if (!ok) {
      record_release(path);
      return false;
    }
    glyph->append(path);
    return true;
  }

  bool polygon_nodes(const uint8_t* poly, uint32_t cb, ZoPath** path) {
    const Ptfx start = place(poly + 8);
    if (!add(path, PT_MOVETO, start)) return false;
    Ptfx current = start;
    for (uint32_t at = 16; cb - at >= 4;) {
      uint16_t kind = read_u16(poly + at), n = read_u16(poly + at + 2);
      if (n == 0 || (cb - at - 4) / 8 < n) break;
      const uint8_t* pts = poly + at + 4;
      if (kind == TT_PRIM_QSPLINE) {
        if (!quadratic(pts, n, &current, path)) return false;
      } else {
        uint16_t type = kind == TT_PRIM_CSPLINE ? PT_BEZIERTO : PT_LINETO;
        for (uint16_t i = 0; i < n; ++i) {
          current = place(pts + 8 * i);
          if (!add(path, type, current)) return false;
        }
      }
      at += 4 + 8u * n;
    }
    PathNode& last = nodes_of(*path)[(*path)->count - 1];
    if ((*path)->count > 1 && last.pt.x == start.x && last.pt.y == start.y) {
      last.type |= PT_CLOSEFIGURE;
      return true;
    }
    return add(path, PT_LINETO | PT_CLOSEFIGURE, start);
  }

  // Control points q0 ... q(n-2) and end point e: n - 1 cubic segments through the implied
  // midpoints, which are marked smooth.
  bool quadratic(const uint8_t* pts, uint16_t n, Ptfx* current, ZoPath** path) {
    if (n < 2) return true;  // no control point: no segment
    PathNode* nodes = node_reserve(path, 3u * (n - 1));
    if (nodes == nullptr) return false;
    Ptfx from = *current;
    for (uint16_t i = 0; i + 1 < n; ++i) {
      Ptfx q = place(pts + 8 * i);
      bool lastSegment = i + 2 == n;
      Ptfx to = lastSegment ? place(pts + 8 * (i + 1)) : ptfx_midpoint(q, place(pts + 8 * (i + 1)));
      nodes[0] = PathNode{PT_BEZIERTO, ptfx_one_third(from, q)};
      nodes[1] = PathNode{PT_BEZIERTO, ptfx_one_third(to, q)};
      nodes[2] = PathNode{static_cast<uint16_t>(lastSegment ? PT_BEZIERTO : PT_BEZIERTO | PT_SMOOTH), to};
      nodes += 3;
      from = to;
    }
    *current = from;
    return true;
  }

  // The move of the finished nodes; the arithmetic above works on the unmoved values.
  void shift_nodes(ZoPath* path) const {
    if (shift_.x == 0 && shift_.y == 0) return;
    PathNode* n = nodes_of(path);
    for (uint32_t i = 0; i < path->count; ++i) n[i].pt = ptfx_add(n[i].pt, shift_);
  }

  int32_t penX_, penY_;
  Ptfx shift_;
};

}  // namespace

void KernIndex::build(const KERNINGPAIR* pairs, uint32_t count) {
  keys_.clear();
  amounts_.clear();
  std::vector<uint32_t> order(count);
  std::iota(order.begin(), order.end(), 0u);
  auto key = [&](uint32_t i) { return (uint32_t{pairs[i].wFirst} << 16) | pairs[i].wSecond; };
  std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return key(a) < key(b); });
  for (uint32_t i : order) {
    if (!keys_.empty() && keys_.back() == key(i)) continue;  // a later duplicate never wins
    keys_.push_back(key(i));
    amounts_.push_back(pairs[i].iKernAmount);
  }
}

int32_t KernIndex::amount(uint16_t first, uint16_t second) const {
  uint32_t k = (uint32_t{first} << 16) | second;
  auto it = std::lower_bound(keys_.begin(), keys_.end(), k);
  return it != keys_.end() && *it == k ? amounts_[size_t(it - keys_.begin())] : 0;
}

void Chain::append(ZoPath* p) {
  p->prev = p->joinPrev = tail;
  p->next = p->joinNext = nullptr;
  if (tail != nullptr) tail->next = tail->joinNext = p;
  else head = p;
  tail = p;
}

void Chain::append(const Chain& other) {
  if (other.head == nullptr) return;
  other.head->prev = other.head->joinPrev = tail;
  if (tail != nullptr) tail->next = tail->joinNext = other.head;
  else head = other.head;
  tail = other.tail;
}

void Chain::release() {
  release_list(head);
  head = tail = nullptr;
}

MAT2 identity_matrix() { return MAT2{{0, 1}, {0, 0}, {0, 0}, {0, 1}}; }

MAT2 rotation_matrix(double rotation) {
  double t = rotation * -kPi / 180.0;
  auto fixed = [](double v) {
    int32_t f = db_to_fix(v);
    FIXED r;
    std::memcpy(&r, &f, 4);
    return r;
  };
  return MAT2{fixed(std::cos(t)), fixed(std::sin(t)), fixed(-std::sin(t)), fixed(std::cos(t))};
}

void free_glyphs(GlyphArray* glyphs) {
  if (glyphs == nullptr) return;
  for (uint32_t i = 0; i < glyphs->count; ++i) path_heap_block_free(glyphs->entries[i].outline);
  plat::global_free(reinterpret_cast<HGLOBAL>(glyphs));
}

ReadResult read_glyphs(HDC dc, const char* text, size_t length, const ReadSettings& rs,
                       GlyphArray** out) {
  *out = nullptr;
  if (length > 0 && text[length - 1] == '\r') --length;
  if (length == 0) return ReadResult::Empty;
  const bool symbol = rs.charset == 2;
  const uint32_t codePage = symbol ? 0 : code_page_for(rs.charset);
  const double limit = rs.scale > 1 ? 10000.0 / rs.scale : 10000.0;
  size_t bytes = offsetof(GlyphArray, entries) + length * sizeof(GlyphEntry);
  auto* glyphs = static_cast<GlyphArray*>(plat::global_lock(plat::global_alloc(GPTR, bytes)));
  if (glyphs == nullptr) return ReadResult::NoMemory;
  double running = 0;
  for (size_t at = 0; at < length;) {
    auto byte = static_cast<uint8_t>(text[at]);
    uint32_t code = byte;
    size_t step = 1;
    if (!symbol) {
      if (at + 1 < length && text[at + 1] != '\0' && plat::IsDBCSLeadByteEx(codePage, byte))
        code = byte * 256u + static_cast<uint8_t>(text[at + 1]);
      step = static_cast<size_t>(plat::CharNextExA(uint16_t(codePage), text + at, 0) - (text + at));
      step = std::clamp<size_t>(step, 1, length - at);
    }
    at += step;
    GLYPHMETRICS gm;
    uint32_t size = plat::GetGlyphOutlineA(dc, code, kGlyphOutline, &gm, 0, nullptr, &rs.matrix);
    if (size == GDI_ERROR) {
      code = kDollar;
      size = plat::GetGlyphOutlineA(dc, code, kGlyphOutline, &gm, 0, nullptr, &rs.matrix);
      if (size == GDI_ERROR) {
        free_glyphs(glyphs);
        return ReadResult::Failed;
      }
    }
    GlyphEntry& e = glyphs->entries[glyphs->count];
    read_widths(dc, code, &e);
    running += double(e.a) + e.b + e.c;
    if (running > limit) {
      e = GlyphEntry{};
      break;
    }
    if (rs.run != nullptr && rs.run->spacing >= 1)
      running += rs.scale != 1 ? std::trunc(rs.run->spacing / rs.scale) : rs.run->spacing;
    e.code = static_cast<uint16_t>(code);
    if (size > 0) {
      e.outline = static_cast<uint8_t*>(path_heap_block_alloc(size));
      if (e.outline == nullptr) {
        free_glyphs(glyphs);
        return ReadResult::NoMemory;
      }
      e.outlineBody = e.outline + 16;
      e.size = size;
      if (plat::GetGlyphOutlineA(dc, code, kGlyphOutline, &gm, size, e.outline, &rs.matrix) != size) {
        std::memset(e.outline, 0, size);  // the font changed its mind: an empty glyph
        e.size = 0;
      }
    }
    ++glyphs->count;
  }
  *out = glyphs;
  return ReadResult::Glyphs;
}

bool convert_glyphs(const GlyphArray& glyphs, const ConvertSettings& cs, Chain* out,
                    double* advance) {
  Chain all;
  double p = cs.penStart;
  for (uint32_t i = 0; i < glyphs.count; ++i) {
    const GlyphEntry& e = glyphs.entries[i];
    double w = double(e.a) + e.b + e.c;
    if (cs.maxWidth > 0 && p + w > cs.maxWidth) break;
    int32_t pen = db_to_fix(p);
    GlyphConverter converter(cs.vertical ? 0 : pen, cs.vertical ? pen : 0, cs.shift);
    Chain glyph;
    if (e.outline != nullptr && !converter.convert(e.outline, e.size, &glyph)) {
      glyph.release();
      all.release();
      return false;
    }
    if (glyph.head != nullptr) glyph.head->flags |= ZOF_TEXT_CHAR;
    if (cs.run != nullptr && w != 0) {
      int32_t kerning = 0;
      if (cs.run->kerning != 0 && cs.kerning != nullptr && i + 1 < glyphs.count)
        kerning = cs.kerning->amount(e.code, glyphs.entries[i + 1].code);
      double spacing = cs.run->spacing;
      if (cs.scale != 1) spacing = std::trunc(spacing / cs.scale);
      w = std::max(0.0, w + kerning + spacing);
    }
    if (cs.run != nullptr && cs.run->rotation != 0 && glyph.head != nullptr) {
      double a = -cs.run->rotation * kPi / 180.0, h = w / 2, c = cs.rotationCentre;
      double dx = h - (std::cos(a) * h + std::sin(a) * -c);
      double dy = -c - (std::cos(a) * -c - std::sin(a) * h);
      if (cs.vertical) move_range(glyph.head, nullptr, -dy, dx);
      else move_range(glyph.head, nullptr, dx, dy);
    }
    all.append(glyph);
    p += w;
  }
  out->append(all);
  *advance = p - cs.penStart;
  return true;
}

ZoPath* rectangle_subpath(double left, double top, double right, double bottom, uint32_t flags) {
  ZoPath* p = record_alloc(5);
  if (p == nullptr) return nullptr;
  const Ptfx corners[5] = {to_fix({left, top}), to_fix({right, top}), to_fix({right, bottom}),
                           to_fix({left, bottom}), to_fix({left, top})};
  const uint16_t types[5] = {PT_MOVETO, PT_LINETO, PT_LINETO, PT_LINETO,
                             PT_LINETO | PT_CLOSEFIGURE};
  PathNode* n = nodes_of(p);
  for (int i = 0; i < 5; ++i) n[i] = PathNode{types[i], corners[i]};
  p->count = 5;
  p->flags = flags;
  return p;
}

void move_range(ZoPath* first, ZoPath* end, double dx, double dy) {
  Ptfx offset{db_to_fix(dx), db_to_fix(dy)};
  if (offset.x == 0 && offset.y == 0) return;
  for (ZoPath* p = first; p != nullptr && p != end; p = p->next) translate_subpath(p, offset);
}

}  // namespace zo::text
