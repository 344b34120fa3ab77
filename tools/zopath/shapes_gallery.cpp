// The gallery's shapes page: every primitive kind from one drag, every polygon side style at
// 3, 5 and 8 sides (centred, upright and from a corner), and two pen sessions frame by frame.
#include <filesystem>
#include <sstream>
#include <string>

#include "Zo32path.h"
#include "boolean/import_text.hpp"
#include "shape_picture.hpp"

namespace zopath {

namespace {

const char* kArrow =
    "8 0\n0 10 6\n30 10 2\n30 0 2\n50 20 2\n30 40 2\n30 30 2\n0 30 2\n0 10 3\n";

const char* kPenSessions[2][2] = {
    {"corners, a smooth point and closing on the first point",
     "down 40 40\nup 40 40\nmove 120 40\ndown 200 40\nup 200 40\nmove 200 90\ndown 200 120\n"
     "move 215 130\nmove 230 140\nup 230 140\nmove 120 140\ndown 60 130\nup 60 130\n"
     "move 45 60\ndblclick 44 44\n"},
    {"a free path of smooth points, a Backspace and a Shift click",
     "down 30 120\nmove 50 80\nup 60 60\nmove 90 60\ndown 110 100\nmove 130 120\nup 150 130\n"
     "key backspace\nmove 120 90\ndown 160 40 shift\nup 160 40\nmove 200 110\n"
     "down 210 120\nmove 220 90\nup 225 70\ndblclick 225 70\n"}};

CoordStruct* make_view(int32_t w, int32_t h, ZoPathTbl* table) {
  CoordStruct* view = nullptr;
  const RECT window{0, 0, w, h};
  ZoPathCoordStruct(&window, 0, 0, 1.0, table, &view);
  return view;
}

bool save(const std::string& dir, const std::string& name, const Canvas& c, std::ostream& html,
          const std::string& caption, std::string* error) {
  if (!write_png((std::filesystem::path(dir) / name).string(), c.image(), error)) return false;
  html << "<td><img src=\"" << name << "\"><br>" << caption << "</td>\n";
  return true;
}

void release(ZoPath* p) {
  while (p != nullptr) {
    ZoPath* next = p->next;
    ZoPathDeletePtrSingle(p);
    p = next;
  }
}

}  // namespace

bool write_shapes_gallery(const std::string& dir, std::string* out, std::string* error) {
  std::ostringstream html;
  ZoPath* arrow = zo::import_text::read_paths(kArrow, std::string(kArrow).size());
  CoordStruct* view = make_view(200, 140, nullptr);
  const RECT drag{40, 30, 160, 110};
  html << "<h2>Primitives from one drag (ZoPathGetPrimitive; dotted: the drag)</h2>\n<table><tr>\n";
  struct Kind {
    int kind;
    bool templ, keep;
    const char* name;
  } kinds[] = {{1, false, false, "1 ellipse"},  {2, false, false, "2 rectangle"},
               {3, false, false, "3 rounded"},  {4, false, false, "4 diamond"},
               {5, false, false, "5 banded"},   {6, false, false, "6 triangle"},
               {300, false, false, "300"},      {330, false, false, "330"},
               {370, false, false, "370"},      {400, false, false, "400"},
               {0, true, false, "template"},    {0, true, true, "template, keep aspect"}};
  bool ok = arrow != nullptr;
  int column = 0;
  for (const Kind& k : kinds) {
    ZoPath* p = nullptr;
    Canvas c(200, 140);
    if (!ok || !ZoPathGetPrimitive(k.kind, k.templ ? arrow : nullptr, &p, view, 0, k.keep, &drag)) {
      ok = false;
      break;
    }
    draw_shapes(c, p, view, &drag);
    release(p);
    if (column++ == 6) html << "</tr><tr>\n";
    ok = save(dir, "shape_" + std::to_string(column) + ".png", c, html, k.name, error);
    if (!ok) break;
  }
  html << "</tr></table>\n";
  ZoPathDeleteCoordStruct(view);
  release(arrow);
  // Polygons: rows of side styles; centred at 3, 5 and 8 sides, then upright and from a corner.
  ZoPath* templ = nullptr;
  view = make_view(130, 130, nullptr);
  const RECT centred{65, 65, 115, 100}, corner{10, 10, 120, 120};
  if (ok) ok = ZoPathPolyGet(5, 2, nullptr, &templ, view, &centred, 1, 1) != 0;
  html << "<h2>Polygons and stars (ZoPathPolyGet): side styles 0 to 12; style 0 repeats a "
          "five-pointed star's side</h2>\n<table>\n";
  for (int style = 0; ok && style <= 12; ++style) {
    html << "<tr><td>style " << style << "</td>\n";
    struct Variant {
      uint32_t sides;
      const RECT* drag;
      int centered;
      uint32_t upright;
      const char* name;
    } variants[] = {{3, &centred, 1, 0, "3 sides"},        {5, &centred, 1, 0, "5 sides"},
                    {8, &centred, 1, 0, "8 sides"},        {5, &centred, 1, 1, "5, upright"},
                    {8, &corner, 0, 0, "8, from a corner"}};
    for (const Variant& v : variants) {
      ZoPath* p = nullptr;
      Canvas c(130, 130);
      if (ZoPathPolyGet(v.sides, style, templ, &p, view, v.drag, v.centered, v.upright) == 0) {
        ok = false;
        *error = "polygon style " + std::to_string(style) + " was refused";
        break;
      }
      draw_shapes(c, p, view, v.drag);
      release(p);
      ok = save(dir, "polygon_" + std::to_string(style) + "_" + std::to_string(v.sides) + "_" +
                         std::to_string(v.upright) + std::to_string(v.centered) + ".png",
                c, html, v.name, error);
      if (!ok) break;
    }
    html << "</tr>\n";
  }
  html << "</table>\n";
  release(templ);
  ZoPathDeleteCoordStruct(view);
  // Two pen sessions: the window after every message (exclusive-or previews), then the result.
  for (int s = 0; ok && s < 2; ++s) {
    html << "<h2>Pen tool: " << kPenSessions[s][0] << " (zopath draw --frames)</h2>\n"
         << "<div style=\"white-space:nowrap;overflow-x:auto\"><table><tr>\n";
    ZoPathTbl* table = nullptr;
    ZoPathNew(&table);
    view = make_view(240, 160, table);
    Canvas c(240, 160);
    int frame = 0;
    auto snap = [&] {
      const std::string n = std::to_string(++frame);
      if (ok) ok = save(dir, "pen_" + std::to_string(s) + "_" + n + ".png", c, html, n, error);
    };
    ok = play_pen_script(kPenSessions[s][1], s == 0 ? ZOPEN_CLOSING : ZOPEN_FREE, c, table, view,
                         snap, error) && ok;
    Canvas result(240, 160);
    draw_shapes(result, table->groups[0].first, view, nullptr);
    const std::string name = "pen_" + std::to_string(s) + "_result.png";
    if (ok) ok = save(dir, name, result, html, "result", error);
    html << "</tr></table></div>\n";
    ZoPathDeleteCoordStruct(view);
    ZoPathTblDelete(table);
  }
  if (ok) *out += html.str();
  if (!ok && error->empty()) *error = "a shape was refused";
  return ok;
}

}  // namespace zopath
