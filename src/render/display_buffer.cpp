// The display buffer's upkeep and the host's painting of it: inversion over the host's
// pixel rows, cropping, validity, scrolling, and the window-to-image conversions.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "display.hpp"
#include "platform/host_library.hpp"
#include "platform/memory.hpp"

namespace zo::display {

namespace {

// The rows of the table's buffer that its block really holds.
bool table_rows(const ZoPathTbl* table, int64_t* width, int64_t* height) {
  if (table == nullptr || table->lpDB == nullptr) return false;
  size_t size = plat::mem_size(table->lpDB);
  if (size == SIZE_MAX) return false;
  *width = table->dbDesc.width;
  *height = table->dbDesc.height;
  if (*width > 0) *height = std::min<int64_t>(*height, static_cast<int64_t>(size / size_t(*width)));
  return true;
}

// XOR masks by kind (bits 6-7): three bytes a pixel, and one.
constexpr uint8_t kInvert3[4][3] = {
    {0xC0, 0xC0, 0xC0}, {0x00, 0xEE, 0xEE}, {0x40, 0x40, 0x40}, {0xFF, 0x6F, 0xFF}};
constexpr uint8_t kInvert1[4] = {0xC0, 0x77, 0x40, 0x7F};

template <int kBytes>
uint32_t paint(const RECT* rect, ZoPathTbl* table, uint8_t* pixels) {
  int64_t width, height;
  if (rect == nullptr || pixels == nullptr || !table_rows(table, &width, &height)) return 0;
  const int64_t left = rect->left, top = rect->top;
  const int64_t rowLength = int64_t{rect->right} - left;
  const int64_t c0 = std::max<int64_t>(0, -left);
  const int64_t c1 = std::min<int64_t>(rect->right, width) - left;
  const int64_t r0 = std::max<int64_t>(top, 0), r1 = std::min<int64_t>(rect->bottom, height);
  const uint8_t* db = table->lpDB;
  for (int64_t r = r0; r < r1 && c0 < c1; ++r) {
    const uint8_t* row = db + r * width;  // buffer column left + c is this row's byte
    uint8_t* dst = pixels + ((r - top) * rowLength) * kBytes;
    int64_t c = c0;
    while (c < c1) {
      // Most of the buffer is empty: pass over eight clear bytes at a time.
      if (c + 8 <= c1) {
        uint64_t eight;
        std::memcpy(&eight, row + left + c, 8);
        if ((eight & 0x3F3F3F3F3F3F3F3Full) == 0) {
          c += 8;
          continue;
        }
      }
      uint8_t b = row[left + c];
      if ((b & 0x3F) != 0) {
        uint8_t* p = dst + c * kBytes;
        if constexpr (kBytes == 3) {
          const uint8_t* m = kInvert3[b >> 6];
          p[0] ^= m[0], p[1] ^= m[1], p[2] ^= m[2];
        } else {
          p[0] ^= kInvert1[b >> 6];
        }
      }
      ++c;
    }
  }
  return 1;
}

}  // namespace

}  // namespace zo::display

using namespace zo;

extern "C" {

ZO_API uint32_t ZoPathPaintMem(const RECT* rect, ZoPathTbl* table, uint8_t* pixels) {
  return display::paint<3>(rect, table, pixels);
}

ZO_API uint32_t ZoPathPaintMem1(const RECT* rect, ZoPathTbl* table, uint8_t* pixels) {
  return display::paint<1>(rect, table, pixels);
}

ZO_API uint32_t ZoPathCropDB(ZoPathTbl* table, uint32_t width, uint32_t height) {
  if (table == nullptr || table->lpDB == nullptr) return 0;
  if (width > table->dbDesc.width || height > table->dbDesc.height) return 0;
  auto* fresh = static_cast<uint8_t*>(plat::mem_alloc(size_t{width} * height, plat::kZeroFill));
  if (fresh == nullptr) {
    ZO_REPORT_NO_MEMORY();
    return 0;
  }
  size_t oldWidth = table->dbDesc.width, oldSize = plat::mem_size(table->lpDB);
  for (size_t r = 0; r < height && width > 0; ++r) {
    if (oldSize != SIZE_MAX && r * oldWidth + width > oldSize) break;
    std::memcpy(fresh + r * width, table->lpDB + r * oldWidth, width);
  }
  plat::mem_free(table->lpDB);
  table->lpDB = fresh;
  table->dbDesc.width = width;
  table->dbDesc.height = height;
  return 1;
}

ZO_API uint32_t ZoPathTblIsValid(const RECT* rect, int32_t scrollX, int32_t scrollY, double zoom,
                                 uint32_t key, ZoPathTbl* table) {
  if (table == nullptr || rect == nullptr || table->lpDB == nullptr) return 0;
  const ZoPathDBDesc& d = table->dbDesc;
  int64_t width = int64_t{rect->right} - rect->left, height = int64_t{rect->bottom} - rect->top;
  bool same = width == int64_t{d.width} && height == int64_t{d.height} && scrollX == d.scrollX &&
              scrollY == d.scrollY && std::fabs(zoom - d.zoom) <= 1e-5 && key == d.extra;
  return same ? 1 : 0;
}

ZO_API uint32_t ZoPathTblDeletelpDB(ZoPathTbl* table) {
  if (table == nullptr) return 0;
  plat::mem_free(table->lpDB);
  table->lpDB = nullptr;
  return 1;
}

ZO_API uint32_t ZoPathScrollDB(CoordStruct* view, ZoPath* path, int16_t dx, int16_t dy) {
  if (dx == 0 && dy == 0) return 1;
  if (view == nullptr) return 0;
  view->scrollX =
      static_cast<int32_t>(static_cast<uint32_t>(view->scrollX) + uint32_t(int32_t{dx}));
  view->scrollY =
      static_cast<int32_t>(static_cast<uint32_t>(view->scrollY) + uint32_t(int32_t{dy}));
  if (path != nullptr) {
    RECT changed = view->rcWindow;
    display::draw(view, path, &changed, 1);
  }
  return 1;
}

ZO_API PointDB* ZoPathPtWndToImage(PointDB* out, int64_t point, const CoordStruct* view) {
  if (out == nullptr || view == nullptr) return out;
  auto x = static_cast<int32_t>(static_cast<uint64_t>(point) & 0xFFFFFFFFu);
  auto y = static_cast<int32_t>(static_cast<uint64_t>(point) >> 32);
  out->x = (double(x) + view->scrollX) / view->zoom - 0.5;
  out->y = (double(y) + view->scrollY) / view->zoom - 0.5;
  return out;
}

ZO_API RectDB* ZoPathRectWndToImage(RectDB* out, const RECT* rect, const CoordStruct* view) {
  if (out == nullptr || rect == nullptr || view == nullptr) return out;
  out->left = (double(rect->left) + view->scrollX) / view->zoom - 0.5;
  out->top = (double(rect->top) + view->scrollY) / view->zoom - 0.5;
  out->right = (double(rect->right) + view->scrollX) / view->zoom - 0.5;
  out->bottom = (double(rect->bottom) + view->scrollY) / view->zoom - 0.5;
  return out;
}

}  // extern "C"
