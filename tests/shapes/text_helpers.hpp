// Rich-text records for the text tests, and the subpaths of a text path as plain values.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "Zo32path.h"

namespace zo_test {

// A record with up to four runs, laid out as the host passes it.
struct TextRecord {
  richText header{};
  richTextRun more[3]{};
  static_assert(sizeof(richText) == 104);

  richTextRun& run(int i) { return i == 0 ? header.runs[0] : more[i - 1]; }
  richTextRun& add(const char* text, int32_t height, const char* face = "DejaVu Sans") {
    richTextRun& r = run(header.runCount++);
    r.height = height;
    r.text = text;
    std::strncpy(r.faceName, face, sizeof r.faceName - 1);
    return r;
  }
  richText* get() { return &header; }
};

struct Subpath {
  uint32_t flags;
  std::vector<PathNode> nodes;
};

inline std::vector<Subpath> subpaths_of(ZoPath* head) {
  std::vector<Subpath> out;
  for (ZoPath* p = head; p != nullptr; p = p->next) {
    Subpath s{p->flags, {}};
    for (uint32_t i = 0; i < p->count; ++i) s.nodes.push_back(ZoPathNodes(p)[i]);
    out.push_back(s);
  }
  return out;
}

inline void delete_list(ZoPath* head) {
  while (head != nullptr) {
    ZoPath* next = head->next;
    ZoPathDeletePtrSingle(head);
    head = next;
  }
}

// The box of one subpath's points.
inline RectDB box_of(const ZoPath* p) {
  RectDB r{1e300, 1e300, -1e300, -1e300};
  for (uint32_t i = 0; i < p->count; ++i) {
    Ptfx q = ZoPathNodes(const_cast<ZoPath*>(p))[i].pt;
    r.left = std::min(r.left, q.x / 65536.0), r.right = std::max(r.right, q.x / 65536.0);
    r.top = std::min(r.top, q.y / 65536.0), r.bottom = std::max(r.bottom, q.y / 65536.0);
  }
  return r;
}

// Lays the record out; the path (or null) is returned and owned by the caller.
inline ZoPath* lay_out(TextRecord& r, uint32_t fixed = 0, uint32_t maxW = 0, uint32_t maxH = 0,
                       uint32_t* lines = nullptr, double* width = nullptr) {
  ZoPath* path = nullptr;
  uint32_t n = 0, h = 0;
  if (ZoPathCreateRichEditText2(r.get(), fixed, maxW, maxH, &path, lines ? lines : &n, &h,
                                width) == 0)
    return nullptr;
  return path;
}

}  // namespace zo_test
