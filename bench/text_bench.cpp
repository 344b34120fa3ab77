// Text outlines side by side: the library's layout (ZoPathCreateRichEditText2 with kerning,
// ZoPathCreateText path-only) against the floor, FreeType itself (unhinted outlines
// decomposed into a preallocated array, pen advanced with FT_Get_Kerning), and against
// Cairo's cairo_text_path; and glyph bitmaps into a host image against FreeType's mono
// renderer with a plain blit. Items are glyphs of a ~940-character English paragraph.
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Zo32path.h"
#include "zo32base.h"

namespace {

const std::string& paragraph() {
  static std::string text = [] {
    std::ifstream in(ZO_BENCH_DATA "/paragraph.txt");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }();
  return text;
}

std::vector<std::string> lines() {
  std::vector<std::string> out;
  std::istringstream in(paragraph());
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

void release(ZoPath* head) {
  while (head != nullptr) {
    ZoPath* next = head->next;
    ZoPathDeletePtrSingle(head);
    head = next;
  }
}

struct Record {
  richText header{};
  Record(int32_t px) {
    header.runCount = 1;
    richTextRun& r = header.runs[0];
    r.height = px;
    r.kerning = 1;
    std::strcpy(r.faceName, "DejaVu Sans");
    r.text = paragraph().c_str();
  }
};

void set_items(benchmark::State& state) {
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(paragraph().size()));
}

void BM_OursRichText(benchmark::State& state) {
  ZoPathInit();
  Record rec(int32_t(state.range(0)));
  for (auto _ : state) {
    ZoPath* path = nullptr;
    uint32_t n = 0, h = 0;
    ZoPathCreateRichEditText2(&rec.header, 0, 0, 0, &path, &n, &h, nullptr);
    benchmark::DoNotOptimize(path);
    release(path);
  }
  set_items(state);
}

void BM_OursRichTextCold(benchmark::State& state) {
  ZoPathInit();
  Record rec(int32_t(state.range(0)));
  for (auto _ : state) {
    ZoPlatFontFlushCaches();  // faces, glyph outlines and kerning read again
    ZoPath* path = nullptr;
    uint32_t n = 0, h = 0;
    ZoPathCreateRichEditText2(&rec.header, 0, 0, 0, &path, &n, &h, nullptr);
    release(path);
  }
  set_items(state);
}

void BM_OursCreateTextPathOnly(benchmark::State& state) {
  ZoPathInit();
  HDC dc = ZoPlatCreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  LOGFONTA lf{};
  lf.lfHeight = -int32_t(state.range(0));
  std::strcpy(lf.lfFaceName, "DejaVu Sans");
  HFONT font = ZoPlatCreateFontIndirectA(&lf);
  ZoPlatSelectObject(dc, font);
  std::string text;
  for (const std::string& l : lines()) text += l + "\r\n";
  TextOptions o{};
  o.outputMode = ZOTEXT_PATH_ONLY;
  for (auto _ : state) {
    ZoPath* path = nullptr;
    ZoPathCreateText(dc, text.data(), &o, &path, nullptr);
    release(path);
  }
  ZoPlatDeleteDC(dc);
  ZoPlatDeleteObject(font);
  set_items(state);
}

// The floor: FreeType's unhinted outlines decomposed into a preallocated point array.
struct Sink {
  std::vector<FT_Vector> points;
  size_t used = 0;
  void add(const FT_Vector* v) {
    if (used < points.size()) points[used++] = *v;
  }
};
int move_to(const FT_Vector* to, void* s) { return static_cast<Sink*>(s)->add(to), 0; }
int line_to(const FT_Vector* to, void* s) { return static_cast<Sink*>(s)->add(to), 0; }
int conic_to(const FT_Vector* c, const FT_Vector* to, void* s) {
  static_cast<Sink*>(s)->add(c);
  return static_cast<Sink*>(s)->add(to), 0;
}
int cubic_to(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* s) {
  static_cast<Sink*>(s)->add(c1);
  static_cast<Sink*>(s)->add(c2);
  return static_cast<Sink*>(s)->add(to), 0;
}

void BM_FreeTypeFloor(benchmark::State& state) {
  FT_Library lib;
  FT_Face face;
  FT_Init_FreeType(&lib);
  FT_New_Face(lib, "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 0, &face);
  FT_Set_Pixel_Sizes(face, 0, FT_UInt(state.range(0)));
  const FT_Outline_Funcs funcs{move_to, line_to, conic_to, cubic_to, 0, 0};
  Sink sink;
  sink.points.resize(1 << 16);
  const std::string& text = paragraph();
  for (auto _ : state) {
    sink.used = 0;
    FT_Pos pen = 0;
    FT_UInt previous = 0;
    for (char c : text) {
      FT_UInt g = FT_Get_Char_Index(face, uint8_t(c));
      if (previous != 0) {
        FT_Vector k;
        FT_Get_Kerning(face, previous, g, FT_KERNING_UNFITTED, &k);
        pen += k.x;
      }
      FT_Load_Glyph(face, g, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP);
      FT_Outline_Decompose(&face->glyph->outline, &funcs, &sink);
      pen += face->glyph->advance.x;
      previous = g;
    }
    benchmark::DoNotOptimize(pen);
  }
  FT_Done_Face(face);
  FT_Done_FreeType(lib);
  set_items(state);
}

void BM_CairoTextPath(benchmark::State& state) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 64, 64);
  cairo_t* cr = cairo_create(surface);
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, double(state.range(0)));
  std::vector<std::string> text = lines();
  for (auto _ : state) {
    for (size_t i = 0; i < text.size(); ++i) {
      cairo_new_path(cr);
      cairo_move_to(cr, 0, double(i) * state.range(0));
      cairo_text_path(cr, text[i].c_str());
      cairo_path_t* path = cairo_copy_path(cr);
      benchmark::DoNotOptimize(path->num_data);
      cairo_path_destroy(path);
    }
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  set_items(state);
}

// Glyph bitmaps at 12 pixels into a host image.
void BM_OursGlyphToBuf(benchmark::State& state) {
  ZoPathInit();
  Record rec(12);
  ZoPath* path = nullptr;
  uint32_t n = 0, h = 0;
  ZoPathCreateRichEditText2(&rec.header, 0, 0, 0, &path, &n, &h, nullptr);
  void* image = zo32baseCreateImage(700, 200);
  const POINT origin{-2, -14};
  for (auto _ : state) ZoPathGlyphToBuf(path, &origin, nullptr, image, 0, &rec.header);
  zo32baseFreeImage(image);
  release(path);
  set_items(state);
}

void BM_FreeTypeMonoBlit(benchmark::State& state) {
  FT_Library lib;
  FT_Face face;
  FT_Init_FreeType(&lib);
  FT_New_Face(lib, "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 0, &face);
  FT_Set_Pixel_Sizes(face, 0, 12);
  void* image = zo32baseCreateImage(700, 200);
  std::vector<uint8_t> row(700 * 3);
  const std::string& text = paragraph();
  for (auto _ : state) {
    int x = 0, y = 12;
    buf32Lock(image, 3, 0);
    for (char c : text) {
      if (c == '\n') {
        x = 0, y += 14;
        continue;
      }
      FT_Load_Glyph(face, FT_Get_Char_Index(face, uint8_t(c)), FT_LOAD_TARGET_MONO);
      FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO);
      const FT_Bitmap& b = face->glyph->bitmap;
      int left = x + face->glyph->bitmap_left, top = y - face->glyph->bitmap_top;
      for (unsigned r = 0; r < b.rows; ++r) {
        int yy = top + int(r);
        if (yy < 0 || yy >= 200) continue;
        buf32Line(image, yy, 1, row.data());
        for (unsigned col = 0; col < b.width; ++col) {
          int xx = left + int(col);
          if (xx >= 0 && xx < 700 && (b.buffer[r * b.pitch + col / 8] & (0x80 >> (col % 8))))
            row[xx * 3] = row[xx * 3 + 1] = row[xx * 3 + 2] = 0;
        }
        buf32Line(image, yy, 2, row.data());
      }
      x += int(face->glyph->advance.x >> 6);
    }
    buf32Unlock(image);
  }
  zo32baseFreeImage(image);
  FT_Done_Face(face);
  FT_Done_FreeType(lib);
  set_items(state);
}

}  // namespace

BENCHMARK(BM_OursRichText)->Arg(12)->Arg(32)->Arg(100);
BENCHMARK(BM_OursCreateTextPathOnly)->Arg(12)->Arg(32)->Arg(100);
BENCHMARK(BM_FreeTypeFloor)->Arg(12)->Arg(32)->Arg(100);
BENCHMARK(BM_CairoTextPath)->Arg(12)->Arg(32)->Arg(100);
BENCHMARK(BM_OursRichTextCold)->Arg(32);
BENCHMARK(BM_OursGlyphToBuf);
BENCHMARK(BM_FreeTypeMonoBlit);
