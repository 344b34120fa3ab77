// Edge crossings of one band of sample lines. Each sample line has its own list of signed
// doubles: the absolute value is where an edge crosses the line, the sign the edge's
// direction (positive towards increasing ordinates). Lists live in the path heap, are made on
// the first crossing and grow 50 entries at a time; a band holds the lists of up to 50 (or
// 250) pixel rows and is released before the next band is made.
#pragma once

#include <cstdint>

#include "Zo32path.h"

namespace zo::render {

// A list block: the count (and, in its padding, the capacity), the entries, 24 spare bytes.
struct ListHead {
  uint32_t count;
  uint32_t capacity;
};

// Maps a path coordinate to device space: device = coordinate x scale + offset. Along the
// sampled axis (y for row lists, x for column lists) integer scaled coordinates land on
// pixel centres, plus half a sample step when a pixel has an odd number of sample rows.
struct DeviceMap {
  double scale;
  double offsetX;
  double offsetY;
};

class CrossingBand {
 public:
  // samplesPerPixel is 1, 4 or 16; pixelRows is the band's height in pixel rows (or columns
  // for column lists); limit bounds stored abscissas to [0, limit], which keeps every span
  // that reaches the mask unchanged.
  CrossingBand(int32_t firstPixel, int32_t pixelRows, uint32_t samplesPerPixel, double limit);
  ~CrossingBand();
  CrossingBand(const CrossingBand&) = delete;
  CrossingBand& operator=(const CrossingBand&) = delete;

  bool ready() const { return lists_ != nullptr; }
  bool failed() const { return failed_; }  // a list could not be made or grown
  uint32_t line_count() const { return lineCount_; }

  // Adds the crossings of one record's outline. columns exchanges x and y (column lists).
  // Figures are closed implicitly for the fill.
  void add_record(const ZoPath* record, const DeviceMap& map, bool columns);
  // Sorts every list by absolute value.
  void sort();
  // The crossings of sample line j of the band (j from 0); count 0 when it has none.
  const double* line(uint32_t j, uint32_t* count) const;

 private:
  void add_edge(double u0, double v0, double u1, double v1);
  void append(uint32_t j, double value);
  ListHead* new_slice();
  ListHead* grow(ListHead* head);

  static constexpr uint32_t kSlicesPerChunk = 64;
  static constexpr size_t kChunkLink = 8;  // each chunk starts with the previous chunk
  char* chunk_ = nullptr;
  uint32_t chunkUsed_ = 0;

  double** lists_ = nullptr;  // lineCount_ + 2 pointers to list blocks
  uint32_t lineCount_ = 0;
  uint32_t samples_;
  double step_;
  int64_t firstLine_;  // global index of the band's first sample line
  double limit_;
  bool failed_ = false;
};

}  // namespace zo::render
