// The rectangle of a path list without the margin that the min-max rectangle adds around
// the nodes for drawing: the text code measures lines with it.
#include "model/records.hpp"

extern "C" {

ZO_API uint32_t ZoPathGetRealRect(const ZoPath* path, uint32_t unit, RECT* out) {
  if (path == nullptr || out == nullptr) return 0;
  RECT r{};
  if (ZoPathGetAllMiniMaxRect(const_cast<ZoPath*>(path), unit, &r) == 0) return 0;
  *out = RECT{r.left + 5, r.top + 5, r.right - 6, r.bottom - 6};
  return 1;
}

}  // extern "C"
