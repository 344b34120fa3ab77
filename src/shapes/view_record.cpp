// The view record: window rectangle, scroll, zoom, and the table's display buffer that it
// hands to the drawing calls.
#include <algorithm>

#include "model/records.hpp"
#include "platform/host_library.hpp"
#include "platform/memory.hpp"

using namespace zo;

namespace {

// Records the view a display buffer was made for.
void describe_buffer(ZoPathTbl* table, uint32_t width, uint32_t height, int32_t scrollX,
                     int32_t scrollY, double zoom) {
  table->dbDesc.width = width;
  table->dbDesc.height = height;
  table->dbDesc.scrollX = scrollX;
  table->dbDesc.scrollY = scrollY;
  table->dbDesc.zoom = zoom;
}

uint32_t extent(int32_t low, int32_t high) {
  return high > low ? static_cast<uint32_t>(int64_t{high} - low) : 0;
}

// Fills (allocating when *view is null) a view record, giving the table a display buffer
// when it has none or when `fresh` asks for a new one. Nothing changes on failure.
uint32_t make_view(const RECT* window, int32_t scrollX, int32_t scrollY, double zoom,
                   uint32_t extra, bool fresh, ZoPathTbl* table, CoordStruct** view) {
  if (window == nullptr || view == nullptr) return 0;
  uint32_t width = extent(window->left, window->right);
  uint32_t height = extent(window->top, window->bottom);
  CoordStruct* record = *view;
  bool madeRecord = false;
  if (record == nullptr) {
    record = static_cast<CoordStruct*>(plat::mem_alloc(sizeof(CoordStruct), plat::kZeroFill));
    if (record == nullptr) {
      ZO_REPORT_NO_MEMORY();
      return 0;
    }
    madeRecord = true;
  }
  uint8_t* buffer = table != nullptr ? table->lpDB : nullptr;
  if (table != nullptr && (fresh || buffer == nullptr)) {
    buffer = static_cast<uint8_t*>(plat::mem_alloc(size_t{width} * height, plat::kZeroFill));
    if (buffer == nullptr) {
      if (madeRecord) plat::mem_free(record);
      ZO_REPORT_NO_MEMORY();
      return 0;
    }
    if (table->lpDB != nullptr) plat::mem_free(table->lpDB);
    table->lpDB = buffer;
  }
  record->rcWindow = *window;
  record->scrollX = scrollX;
  record->scrollY = scrollY;
  record->zoom = zoom;
  if (table != nullptr) {
    record->lpDB = buffer;
    describe_buffer(table, width, height, scrollX, scrollY, zoom);
    if (extra != 0) table->dbDesc.extra = extra;
  }
  *view = record;
  return 1;
}

}  // namespace

extern "C" {

ZO_API uint32_t ZoPathCoordStruct(const RECT* window, int32_t scrollX, int32_t scrollY, double zoom,
                                  ZoPathTbl* table, CoordStruct** view) {
  if (view != nullptr && *view == nullptr && !path_heap_ready()) ZoPathInit();
  return make_view(window, scrollX, scrollY, zoom, 0, false, table, view);
}

ZO_API uint32_t ZoPathNewCoordStruct(const RECT* window, int32_t scrollX, int32_t scrollY,
                                     double zoom, uint32_t extra, ZoPathTbl* table,
                                     CoordStruct** view) {
  if (table == nullptr) return 0;
  return make_view(window, scrollX, scrollY, zoom, extra, true, table, view);
}

ZO_API uint32_t ZoPathDeleteCoordStruct(CoordStruct* view) {
  if (view != nullptr) plat::mem_free(view);
  return 1;
}

}  // extern "C"
