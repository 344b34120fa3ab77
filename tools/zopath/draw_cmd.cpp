// zopath draw: replays a message script through the pen tool, as a window procedure would,
// and writes the drawn paths; --frames writes the window after every message, so the
// exclusive-or previews can be watched.
#include <cstdio>
#include <filesystem>
#include <string>

#include "Zo32path.h"
#include "cli.hpp"
#include "io.hpp"
#include "path_text.hpp"
#include "shape_picture.hpp"

namespace zopath {

namespace {

const char* kDrawHelp =
    "usage: zopath draw SCRIPT -o OUT.txt [--png OUT.png] [--frames DIR] [--mode M]\n"
    "\n"
    "Replays the window messages of SCRIPT through the pen tool (ZoPathMouseProcDraw) over a\n"
    "1024 x 768 window, playing the host: it captures the mouse after the press that starts a\n"
    "path and releases it after Esc. One message a line ('#' starts a comment):\n"
    "  down X Y [shift] [ctrl]   left button down (Shift and Ctrl held until the next up)\n"
    "  move X Y                  mouse move\n"
    "  up X Y                    left button up\n"
    "  dblclick X Y              a double click: down, up, double click, up at one point\n"
    "  key esc|backspace         Esc abandons the drawing, Backspace takes back a node\n"
    "  scroll DX DY              the host scrolls the view (the window's pixels move)\n"
    "A click adds a corner, a press-drag-release a smooth point, a double click ends the path.\n"
    "Options:\n"
    "  -o, --output FILE  the drawn paths as path text (required)\n"
    "  --png FILE         the paths filled, with their handles\n"
    "  --frames DIR       the window after every message: DIR/frame_0001.png ...\n"
    "  --mode M           0 close on the first point, or add the point; 1 free path (ends\n"
    "                     open); 2 close on the first point (default); 3 two-point line\n";

}  // namespace

int cmd_draw(int argc, char** argv) {
  std::string script, output, png, frames;
  long mode = 2;
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool more = i + 1 < argc;
    if (arg == "-h" || arg == "--help") {
      std::fputs(kDrawHelp, stdout);
      return 0;
    } else if ((arg == "-o" || arg == "--output") && more) {
      output = argv[++i];
    } else if (arg == "--png" && more) {
      png = argv[++i];
    } else if (arg == "--frames" && more) {
      frames = argv[++i];
    } else if (arg == "--mode" && more) {
      mode = std::strtol(argv[++i], nullptr, 10);
    } else if (script.empty() && arg[0] != '-') {
      script = arg;
    } else {
      return usage_error("draw: unknown argument '" + arg + "'");
    }
  }
  if (script.empty() || output.empty()) return usage_error("draw: SCRIPT and -o are required");
  std::string text;
  if (!read_file(script, &text)) return fail("draw: cannot read " + script);
  if (!frames.empty()) std::filesystem::create_directories(frames);
  ZoPathTbl* table = nullptr;
  ZoPathNew(&table);
  CoordStruct* view = nullptr;
  const RECT window{0, 0, 1024, 768};
  ZoPathCoordStruct(&window, 0, 0, 1.0, table, &view);
  Canvas canvas(1024, 768);
  int frame = 0;
  std::string error;
  auto write_frame = [&] {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%04d.png", ++frame);
    const std::string path = (std::filesystem::path(frames) / name).string();
    if (error.empty()) write_png(path, canvas.image(), &error);
  };
  bool ok = play_pen_script(text, uint32_t(mode), canvas, table, view,
                            frames.empty() ? std::function<void()>() : write_frame, &error);
  ZoPath* head = table->groups[0].first;
  if (ok && error.empty()) {
    const std::string out = write_path_text(head);
    ok = write_file(output, out.data(), out.size());
    if (!ok) error = "cannot write " + output;
  }
  if (ok && error.empty() && !png.empty()) {
    Canvas picture(1024, 768);
    draw_shapes(picture, head, view, nullptr);
    write_png(png, picture.image(), &error);
  }
  ZoPathDeleteCoordStruct(view);
  ZoPathTblDelete(table);
  if (!error.empty()) return fail("draw: " + error);
  return 0;
}

}  // namespace zopath
