// Conversion between 16.16 fixed point and doubles, and the fixed-point point helpers.
#pragma once

#include <cstdint>

#include "Zo32path.h"

namespace zo {

inline constexpr double kFixOne = 65536.0;
inline constexpr double kFixUnit = 1.52587890625e-5;  // 1 / 65536, exact

// d x 65536 truncated toward zero; anything outside the 32-bit range (or NaN) gives
// 0x80000000.
inline int32_t db_to_fix(double d) {
  double v = d * kFixOne;
  if (!(v > -2147483649.0 && v < 2147483648.0)) return INT32_MIN;
  return static_cast<int32_t>(v);
}
inline double fix_to_db(int32_t v) { return v * kFixUnit; }

inline Ptfx ptfx_add(Ptfx a, Ptfx b) {
  return Ptfx{static_cast<int32_t>(static_cast<uint32_t>(a.x) + static_cast<uint32_t>(b.x)),
              static_cast<int32_t>(static_cast<uint32_t>(a.y) + static_cast<uint32_t>(b.y))};
}
inline PointDB to_db(Ptfx p) { return PointDB{fix_to_db(p.x), fix_to_db(p.y)}; }
inline Ptfx to_fix(PointDB p) { return Ptfx{db_to_fix(p.x), db_to_fix(p.y)}; }

// The integer (pixel) part of a 16.16 value: its upper 16 bits, signed.
inline int32_t fix_int(int32_t v) { return static_cast<int16_t>(static_cast<uint32_t>(v) >> 16); }
// Adds whole units to the integer part, wrapping within its 16 bits.
inline int32_t fix_add_int(int32_t v, int32_t units) {
  uint32_t hi = ((static_cast<uint32_t>(v) >> 16) + static_cast<uint32_t>(units)) & 0xFFFFu;
  return static_cast<int32_t>((hi << 16) | (static_cast<uint32_t>(v) & 0xFFFFu));
}

// Midpoint with 32-bit signed division (truncation toward zero).
inline Ptfx ptfx_midpoint(Ptfx a, Ptfx b) {
  return Ptfx{static_cast<int32_t>((static_cast<int64_t>(a.x) + b.x) / 2),
              static_cast<int32_t>((static_cast<int64_t>(a.y) + b.y) / 2)};
}
// (a + 2b) / 3 truncated toward zero.
inline Ptfx ptfx_one_third(Ptfx a, Ptfx b) {
  return Ptfx{
      static_cast<int32_t>((static_cast<int64_t>(a.x) + 2 * static_cast<int64_t>(b.x)) / 3),
      static_cast<int32_t>((static_cast<int64_t>(a.y) + 2 * static_cast<int64_t>(b.y)) / 3)};
}

}  // namespace zo
