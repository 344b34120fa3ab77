// Positions of subpaths in a list: rebuilding chains "by position" in a copy looks each
// member up once instead of searching the list for it.
#pragma once

#include <cstdint>
#include <vector>

#include "Zo32path.h"

namespace zo {

class PositionMap {
 public:
  // Throws std::bad_alloc when the table cannot be made.
  explicit PositionMap(size_t members) {
    size_t capacity = 16;
    shift_ = 60;
    while (capacity < members * 2) capacity *= 2, --shift_;
    slots_.assign(capacity, Slot{nullptr, 0});
  }
  void add(const ZoPath* p, uint32_t position) {
    size_t i = index(p);
    slots_[i] = Slot{p, position};
  }
  // The position of p, or -1 when p is not a member.
  int64_t find(const ZoPath* p) const {
    if (p == nullptr) return -1;
    const Slot& s = slots_[index(p)];
    return s.key == p ? int64_t{s.position} : -1;
  }

 private:
  struct Slot {
    const ZoPath* key;
    uint32_t position;
  };
  size_t index(const ZoPath* p) const {
    // Fibonacci hashing: the high bits of the product spread aligned addresses evenly.
    size_t i =
        static_cast<size_t>((reinterpret_cast<uintptr_t>(p) * 0x9E3779B97F4A7C15ULL) >> shift_);
    size_t mask = slots_.size() - 1;
    while (slots_[i].key != nullptr && slots_[i].key != p) i = (i + 1) & mask;
    return i;
  }
  std::vector<Slot> slots_;
  unsigned shift_;  // 64 - log2(capacity)
};

}  // namespace zo
