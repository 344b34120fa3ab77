// zopath export / flatten / unflatten / info: path lists between the path text and stored
// blocks, and what a file holds.
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Zo32path.h"
#include "cli.hpp"
#include "commands.hpp"
#include "path_input.hpp"
#include "path_text.hpp"

namespace zopath {

namespace {

const char* kExportHelp =
    "usage: zopath export INPUT [-o OUT.txt]\n"
    "\n"
    "Reads a path list from INPUT (a path text file or a stored block written by 'zopath\n"
    "flatten' or by a host) and writes it as path text to OUT.txt (default: standard output).\n"
    "The text holds every subpath's points and node types and its join runs; reading it back\n"
    "selects every subpath.\n";

const char* kFlattenHelp =
    "usage: zopath flatten INPUT -o OUT.zpb\n"
    "\n"
    "Reads a path list from INPUT (path text or a stored block) and stores it with\n"
    "ZoPathFlatten: OUT.zpb holds the block's bytes.\n";

const char* kUnflattenHelp =
    "usage: zopath unflatten BLOCK [-o OUT.txt]\n"
    "\n"
    "Reads the stored block BLOCK with ZoPathUnFlatten (any of the three record layouts) and\n"
    "writes the list as path text to OUT.txt (default: standard output). A damaged block is\n"
    "refused with an error.\n";

const char* kInfoHelp =
    "usage: zopath info INPUT [-o OUT.txt]\n"
    "\n"
    "Describes what a path text file or stored block holds (default: on standard output):\n"
    "subpaths, nodes by kind, join chains, selected subpaths, outline information; the\n"
    "perimeter (closing segments included) and the library's length (ZoPathGetLength, which\n"
    "leaves out the segment that closes a closed figure); the bounds of the nodes, and the\n"
    "bounds with the library's margin as ZoPathGetAllMiniMaxRect gives them.\n";

struct Options {
  std::string input;
  std::string output;
};

// Runs one storage command: parses, loads the input list, hands it to `act`.
template <typename Act>
int run(const char* name, int argc, char** argv, const char* help, bool blockOnly, bool needsOutput,
        Act act) {
  Options o;
  Args args(name, argc, argv);
  while (!args.done()) {
    std::string s = args.take();
    bool ok = true;
    if (s == "-h" || s == "--help") {
      std::fputs(help, stdout);
      return kExitDone;
    } else if (s == "-o" || s == "--output") {
      ok = args.text(s, &o.output);
    } else if (Args::is_option(s)) {
      ok = args.error("unknown option '" + s + "'");
    } else if (o.input.empty()) {
      o.input = s;
    } else {
      ok = args.error("unexpected argument '" + s + "'");
    }
    if (!ok) return args.usage();
  }
  if (o.input.empty()) return args.error("no input file (- reads standard input)"), args.usage();
  if (needsOutput && o.output.empty())
    return args.error("no output file (-o FILE, - for standard output)"), args.usage();
  ZoPath* list = nullptr;
  InputForm form = InputForm::Text;
  std::string error;
  if (!load_paths(o.input, &list, &error, &form)) return fail(std::string(name) + ": " + error);
  if (blockOnly && form != InputForm::Block) {
    release_list(list);
    return fail(std::string(name) + ": " + input_name(o.input) +
                " is path text, not a stored block (zopath export reads either)");
  }
  int status = act(list, o);
  release_list(list);
  return status;
}

int write_text(ZoPath* list, const Options& o) {
  std::string error;
  if (!write_output(o.output, write_path_text(list), &error)) return fail(error);
  return kExitDone;
}

std::string format(const char* f, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* f, ...) {
  char line[256];
  va_list args;
  va_start(args, f);
  std::vsnprintf(line, sizeof line, f, args);
  va_end(args);
  return line;
}

// The straight segment that closes a closed figure: from its last node back to its first.
double closing_length(ZoPath* p) {
  const PathNode* n = ZoPathNodes(p);
  if (p->count < 2 || (n[p->count - 1].type & PT_CLOSEFIGURE) == 0) return 0;
  double dx = FixToDb(n[p->count - 1].pt.x) - FixToDb(n[0].pt.x);
  double dy = FixToDb(n[p->count - 1].pt.y) - FixToDb(n[0].pt.y);
  return std::hypot(dx, dy);
}

std::string describe(ZoPath* list) {
  uint32_t subpaths = 0, nodes = 0, lines = 0, curves = 0, closed = 0, chains = 0, attachments = 0;
  uint32_t selected = 0;
  double length = 0, perimeter = 0;
  for (ZoPath* p = list; p != nullptr; p = p->next) {
    ++subpaths;
    nodes += p->count;
    const PathNode* n = ZoPathNodes(p);
    for (uint32_t i = 1; i < p->count; ++i) {
      if ((n[i].type & PT_KIND_MASK) == PT_BEZIERTO) {
        ++curves;
        i += 2;
      } else if ((n[i].type & PT_KIND_MASK) == PT_LINETO) {
        ++lines;
      }
    }
    if (p->count > 0 && (n[p->count - 1].type & PT_CLOSEFIGURE) != 0) ++closed;
    bool attached = (p->flags & ZOF_ATTACHMENT) != 0;
    attachments += attached ? 1 : 0;
    if (p->joinPrev == nullptr && !attached && p->joinNext != nullptr) ++chains;
    if ((p->flags & ZOF_SELECTED) != 0) ++selected;
    double l = ZoPathGetLength(p);
    length += l;
    perimeter += l + closing_length(p);
  }
  std::string out;
  out += format("subpaths          %u (%u closed)\n", subpaths, closed);
  out += format("nodes             %u (%u lines, %u cubics)\n", nodes, lines, curves);
  out += format("join chains       %u\n", chains);
  out += format("selected          %u of %u subpaths\n", selected, subpaths);
  out += format("outline info      %u\n", attachments);
  out += describe_outline_info(list);
  out += format("perimeter         %.3f px (closing segments included)\n", perimeter);
  out += format("library length    %.3f px (ZoPathGetLength: closing segments left out)\n", length);
  RectDB exact{};
  if (list != nullptr && ZoPathGetDoubleRectNoMargin(list, &exact, 0) != 0)
    out += format("bounds            (%g, %g) - (%g, %g) (the nodes themselves)\n", exact.left,
                  exact.top, exact.right, exact.bottom);
  RECT r{};
  if (list != nullptr && ZoPathGetAllMiniMaxRect(list, 65536, &r) != 0)
    out += format(
        "bounds + margin   (%d, %d) - (%d, %d) (ZoPathGetAllMiniMaxRect: the library's "
        "margin included)\n",
        r.left, r.top, r.right, r.bottom);
  uint32_t size = 0;
  if (ZoPathFlatten(list, &size, nullptr) != 0) out += format("stored size       %u bytes\n", size);
  return out;
}

}  // namespace

int cmd_export(int argc, char** argv) {
  return run("export", argc, argv, kExportHelp, false, false, write_text);
}

int cmd_unflatten(int argc, char** argv) {
  return run("unflatten", argc, argv, kUnflattenHelp, true, false, write_text);
}

int cmd_flatten(int argc, char** argv) {
  return run("flatten", argc, argv, kFlattenHelp, false, true, [](ZoPath* list, const Options& o) {
    uint32_t size = 0;
    HGLOBAL block = nullptr;
    if (ZoPathFlatten(list, &size, &block) == 0)
      return fail("flatten: the list could not be stored (out of memory)");
    std::string error;
    bool written = write_output(
        o.output, std::string_view(static_cast<const char*>(ZoPlatGlobalLock(block)), size),
        &error);
    ZoPlatGlobalUnlock(block);
    ZoPlatGlobalFree(block);
    return written ? kExitDone : fail("flatten: " + error);
  });
}

int cmd_info(int argc, char** argv) {
  return run("info", argc, argv, kInfoHelp, false, false, [](ZoPath* list, const Options& o) {
    std::string error;
    return write_output(o.output, describe(list), &error) ? kExitDone : fail("info: " + error);
  });
}

}  // namespace zopath
