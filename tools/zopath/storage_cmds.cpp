// zopath export / flatten / unflatten / info: path lists between the path text and stored
// blocks, and what a file holds.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Zo32path.h"
#include "boolean/import_text.hpp"
#include "cli.hpp"
#include "commands.hpp"
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
    "usage: zopath info INPUT\n"
    "\n"
    "Prints what a path text file or stored block holds: subpaths, nodes by kind, join\n"
    "chains, the selection chain, outline information, bounds and lengths.\n";

// A stored block starts with its directory size 8n + 16, which no path text can begin with
// and still fit in the file (four text characters make a number above 500 million).
bool looks_like_block(const std::string& bytes) {
  if (bytes.size() < 16) return false;
  uint32_t directory;
  std::memcpy(&directory, bytes.data(), 4);
  return directory >= 16 && directory % 8 == 0 && directory <= bytes.size();
}

// Reads a stored block through a movable global block, the way a host hands one over.
bool unflatten(const std::string& bytes, ZoPath** list) {
  HGLOBAL block = ZoPlatGlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (block == nullptr) return false;
  std::memcpy(ZoPlatGlobalLock(block), bytes.data(), bytes.size());
  ZoPlatGlobalUnlock(block);
  uint32_t ok = ZoPathUnFlatten(&block, list);
  ZoPlatGlobalFree(block);
  return ok != 0;
}

void release(ZoPath* head) {
  while (head != nullptr) {
    ZoPath* next = head->next;
    ZoPathDeletePtrSingle(head);
    head = next;
  }
}

// The list a file holds; false with an error message when there is none.
bool load_list(const std::string& path, bool blockOnly, ZoPath** list, std::string* error) {
  std::string bytes;
  if (!read_file(path, &bytes)) {
    *error = "cannot read '" + path + "'";
    return false;
  }
  if (looks_like_block(bytes) || blockOnly) {
    if (unflatten(bytes, list)) return true;
    *error = "'" + path + "' is not a readable stored block";
    return false;
  }
  *list = zo::import_text::read_paths(bytes.data(), bytes.size());
  if (*list != nullptr) return true;
  *error = "'" + path + "' holds no complete subpath";
  return false;
}

struct Args {
  std::string input;
  std::string output;
  bool help = false;
};

bool parse_args(int argc, char** argv, Args* a, std::string* error) {
  for (int i = 0; i < argc; ++i) {
    std::string s = argv[i];
    if (s == "-h" || s == "--help") {
      a->help = true;
    } else if (s == "-o" || s == "--output") {
      if (i + 1 >= argc) {
        *error = s + " needs a file name";
        return false;
      }
      a->output = argv[++i];
    } else if (!s.empty() && s[0] == '-') {
      *error = "unknown option '" + s + "'";
      return false;
    } else if (a->input.empty()) {
      a->input = s;
    } else {
      *error = "unexpected argument '" + s + "'";
      return false;
    }
  }
  if (!a->help && a->input.empty()) {
    *error = "no input file";
    return false;
  }
  return true;
}

// Runs one storage command: parses, loads the input list, hands it to `act`.
template <typename Act>
int run(int argc, char** argv, const char* help, bool blockOnly, bool needsOutput, Act act) {
  Args a;
  std::string error;
  if (!parse_args(argc, argv, &a, &error)) return fail(error + "\n" + help);
  if (a.help) {
    std::fputs(help, stdout);
    return 0;
  }
  if (needsOutput && a.output.empty()) return fail(std::string("no output file (-o)\n") + help);
  ZoPath* list = nullptr;
  if (!load_list(a.input, blockOnly, &list, &error)) return fail(error);
  int status = act(list, a);
  release(list);
  return status;
}

int write_text(ZoPath* list, const Args& a) {
  std::string text = write_path_text(list);
  if (!write_file(a.output, text.data(), text.size())) return fail("cannot write '" + a.output + "'");
  return 0;
}

void print_info(ZoPath* list) {
  uint32_t subpaths = 0, nodes = 0, lines = 0, curves = 0, closed = 0, chains = 0, attachments = 0;
  uint32_t selected = 0, selectionChain = 0;
  double length = 0;
  ZoPath* selectionStart = nullptr;
  for (ZoPath* p = list; p != nullptr; p = p->next) {
    ++subpaths;
    nodes += p->count;
    const PathNode* n = ZoPathNodes(p);
    for (uint32_t i = 1; i < p->count; ++i) {
      if ((n[i].type & PT_BEZIERTO) != 0) {
        ++curves;
        i += 2;
      } else if ((n[i].type & PT_LINETO) != 0) {
        ++lines;
      }
    }
    if (p->count > 0 && (n[p->count - 1].type & PT_CLOSEFIGURE) != 0) ++closed;
    bool attached = (p->flags & ZOF_ATTACHMENT) != 0;
    attachments += attached ? 1 : 0;
    if (p->joinPrev == nullptr && !attached && p->joinNext != nullptr) ++chains;
    if ((p->flags & ZOF_SELECTED) != 0) ++selected;
    if (p->selPrev == nullptr && p->selNext != nullptr && selectionStart == nullptr) selectionStart = p;
    length += ZoPathGetLength(p);
  }
  for (ZoPath* p = selectionStart; p != nullptr; p = p->selNext) ++selectionChain;
  std::printf("subpaths          %u (%u closed)\n", subpaths, closed);
  std::printf("nodes             %u (%u lines, %u cubics)\n", nodes, lines, curves);
  std::printf("join chains       %u\n", chains);
  std::printf("selected          %u (selection chain of %u)\n", selected, selectionChain);
  std::printf("outline info      %u\n", attachments);
  print_outline_info(list);
  std::printf("outline length    %.3f px\n", length);
  RECT r{};
  if (list != nullptr && ZoPathGetAllMiniMaxRect(list, 65536, &r) != 0)
    std::printf("bounds            (%d, %d) - (%d, %d)\n", r.left, r.top, r.right, r.bottom);
  uint32_t size = 0;
  if (ZoPathFlatten(list, &size, nullptr) != 0) std::printf("stored size       %u bytes\n", size);
}

}  // namespace

int cmd_export(int argc, char** argv) {
  return run(argc, argv, kExportHelp, false, false, write_text);
}

int cmd_unflatten(int argc, char** argv) {
  return run(argc, argv, kUnflattenHelp, true, false, write_text);
}

int cmd_flatten(int argc, char** argv) {
  return run(argc, argv, kFlattenHelp, false, true, [](ZoPath* list, const Args& a) {
    uint32_t size = 0;
    HGLOBAL block = nullptr;
    if (ZoPathFlatten(list, &size, &block) == 0) return fail("the list could not be stored");
    bool written = write_file(a.output, ZoPlatGlobalLock(block), size);
    ZoPlatGlobalUnlock(block);
    ZoPlatGlobalFree(block);
    return written ? 0 : fail("cannot write '" + a.output + "'");
  });
}

int cmd_info(int argc, char** argv) {
  return run(argc, argv, kInfoHelp, false, false, [](ZoPath* list, const Args&) {
    print_info(list);
    return 0;
  });
}

}  // namespace zopath
