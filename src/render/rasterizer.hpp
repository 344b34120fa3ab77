// Filling and outlining the records of one object into one mask: the band fill (8-bit and
// 32-bit masks), the two-direction bilevel fill, the outline pass and the post-filters.
#pragma once

#include <cstdint>

#include "Zo32path.h"

namespace zo::render {

// The records of one object: from `first` along joinNext (stopping after a record with an
// attachment, whose joinNext slot is not a link), up to, not including, the next record
// carrying partFlag (0: the whole chain); or, alongNext, the path list from `first`.
struct RecordRange {
  ZoPath* first;
  uint32_t partFlag;
  bool alongNext;

  template <typename Fn>
  void for_each(Fn&& fn) const {
    for (ZoPath* r = first; r != nullptr;) {
      fn(r);
      if (alongNext) {
        r = r->next;
        continue;
      }
      if ((r->flags & ZOF_ATTACHMENT) != 0) break;
      r = r->joinNext;
      if (r != nullptr && partFlag != 0 && (r->flags & partFlag) != 0) break;
    }
  }
};

// Where the mask sits: pixel (0, 0) is centred on (left, top) in scaled image coordinates.
struct Mask {
  uint8_t* pixels;
  uint32_t width;
  uint32_t height;
  bool wide;  // 32-bit sub-sample mask
  double scale;
  double left;
  double top;
};

enum class Fill { Done, Failed };

struct FillOptions {
  bool evenOdd;
  uint32_t samplesPerPixel;  // 1 (bilevel), 4 or 16; 32-bit masks always use 4
  int32_t bandRows;          // 50 or 250
};

// Band fill of every record in the range except text-style records, which only set
// *sawStyle. Failed when the accumulator row cannot be allocated (reported as 1001); a band
// whose arrays (its edge table, running edges and list array) cannot be made ends the fill
// early, still Done.
Fill band_fill(const Mask& mask, const RecordRange& range, const FillOptions& options,
               bool* sawStyle);
// Bilevel fill by rows and by columns (columns skip records with ZOF_RICH_BAR); the union
// keeps thin horizontal and vertical features. A band whose arrays cannot be made ends that
// direction's pass early, still Done.
Fill two_direction_fill(const Mask& mask, const RecordRange& range, bool evenOdd, int32_t bandRows,
                        bool* sawStyle);
// Draws outlines one pixel wide; styleOnly draws only text-style records. On a 32-bit mask a
// drawn pixel becomes fully inside.
void outline_pass(const Mask& mask, const RecordRange& range, bool antiAliased, bool styleOnly);
// The post-filter of an anti-aliasing mode on an 8-bit mask: 2 gain, 3 sharpening, others
// nothing. False when the sharpening rows cannot be allocated (reported as 1001).
bool post_filter(const Mask& mask, uint32_t aaMode);

// Box-averages a mask rendered at scale s down by s into `small` (bilevel: thresholded).
void box_reduce(const uint8_t* large, uint32_t largeWidth, uint32_t largeHeight, double s,
                uint8_t* small, uint32_t smallWidth, uint32_t smallHeight, bool bilevel);

}  // namespace zo::render
