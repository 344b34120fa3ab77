#include "path_text.hpp"

#include <charconv>

namespace zopath {

namespace {

void append_number(std::string* out, double v) {
  char text[32];
  auto r = std::to_chars(text, text + sizeof text, v);
  out->append(text, r.ptr);
}

bool joined(const ZoPath* a, const ZoPath* b) {
  return (a->flags & ZOF_ATTACHMENT) == 0 && a->joinNext == b;
}

}  // namespace

std::string write_path_text(ZoPath* head) {
  std::string out;
  for (ZoPath* p = head; p != nullptr; p = p->next) {
    bool inRun = (p->prev != nullptr && joined(p->prev, p)) || (p->next != nullptr && joined(p, p->next));
    out += std::to_string(p->count);
    out += inRun ? " 1\n" : " 0\n";
    const PathNode* nodes = ZoPathNodes(p);
    for (uint32_t i = 0; i < p->count; ++i) {
      append_number(&out, FixToDb(nodes[i].pt.x));
      out += ' ';
      append_number(&out, FixToDb(nodes[i].pt.y));
      out += ' ';
      out += std::to_string(nodes[i].type);
      out += '\n';
    }
  }
  return out;
}

}  // namespace zopath
