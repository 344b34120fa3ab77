// The glyph reader (one line of text into a glyph outline array) and the outline converter
// (the array into subpaths), shared by the single-font and the rich-text calls.
#pragma once

#include <cstddef>
#include <cstdint>

#include <vector>

#include "Zo32path.h"

namespace zo::text {

// The kerning pairs of a font by (first, second) code, each key giving the amount of its
// first pair in the font's order: the pair a linear search of the table would find.
class KernIndex {
 public:
  // May throw std::bad_alloc.
  void build(const KERNINGPAIR* pairs, uint32_t count);
  int32_t amount(uint16_t first, uint16_t second) const;
  bool empty() const { return keys_.empty(); }

 private:
  std::vector<uint32_t> keys_;
  std::vector<int32_t> amounts_;
};

// One character of the glyph outline array.
struct GlyphEntry {
  uint8_t* outline;      // native outline records (path-heap block), null when empty
  uint8_t* outlineBody;  // outline + 16: the first polygon's records
  float a, b, c;         // ABC widths in (outline) pixels
  uint16_t code;         // byte, or lead x 256 + trail
  uint32_t size;         // bytes of outline
};
static_assert(sizeof(GlyphEntry) == 40 && offsetof(GlyphEntry, a) == 16 &&
              offsetof(GlyphEntry, code) == 28 && offsetof(GlyphEntry, size) == 32);

// The array: one zero-filled global block of this header and `count` entries.
struct GlyphArray {
  uint32_t count;
  uint32_t reserved;
  GlyphEntry entries[1];
};
static_assert(offsetof(GlyphArray, entries) == 8);

enum class ReadResult { Glyphs, Empty, Failed, NoMemory };

// What the reader needs besides the text: the matrix of the glyph calls, the scale s of a
// fixed outline size (1 otherwise), and the run whose spacing counts against the limit.
struct ReadSettings {
  const richTextRun* run;  // may be null
  double scale;
  MAT2 matrix;
  uint32_t charset;
};

// Reads text[0 .. length) with the context's font. *out is the array for Glyphs, else null.
ReadResult read_glyphs(HDC dc, const char* text, size_t length, const ReadSettings& settings,
                       GlyphArray** out);
void free_glyphs(GlyphArray* glyphs);

struct ConvertSettings {
  const richTextRun* run;  // kerning, spacing, rotation; null for none
  double scale;            // spacing is divided by it (truncated) when it is not 1
  bool vertical;
  double maxWidth;         // 0 for none
  double penStart;
  double rotationCentre;   // c: the height (pixels, upwards) of the turning point
  const KernIndex* kerning;  // null or empty: no kerning
  Ptfx shift = {0, 0};       // added to every node once it is made (a move of the result)
};

// A chain of subpaths, in order (both the list and the join chain).
struct Chain {
  ZoPath* head = nullptr;
  ZoPath* tail = nullptr;
  void append(ZoPath* p);
  void append(const Chain& other);
  void release();
};

// Converts the glyphs; false when memory runs out (nothing is kept then). *advance receives
// the pen's total advance.
bool convert_glyphs(const GlyphArray& glyphs, const ConvertSettings& settings, Chain* out,
                    double* advance);

// The rotation matrix of a run, [cos t, sin t; -sin t, cos t] with t = rotation x -pi/180.
MAT2 rotation_matrix(double rotation);
MAT2 identity_matrix();

// A closed five-node rectangle subpath; null when memory runs out.
ZoPath* rectangle_subpath(double left, double top, double right, double bottom, uint32_t flags);

// Adds the offset to every point of the subpaths from first up to, not including, end.
void move_range(ZoPath* first, ZoPath* end, double dx, double dy);

}  // namespace zo::text
