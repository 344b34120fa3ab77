// The exact "is this a live block?" lookup of the allocators: a set of block addresses.
//
// Addresses are grouped by 4 KiB page: an open-addressing table (linear probing, backward-
// shift deletion) maps each page that holds block starts to a bitmap of them at 8-byte
// granularity. Blocks allocated one after another share pages, so runs of allocations and
// releases touch the same few table entries instead of one random cache line each. Growth
// uses the C allocator directly so that the set never recurses into the allocators it serves.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zo::plat {

class PointerSet {
 public:
  PointerSet() = default;
  PointerSet(const PointerSet&) = delete;
  PointerSet& operator=(const PointerSet&) = delete;
  ~PointerSet();

  // False when the table could not grow (the set is then unchanged) or for an address that
  // is not 8-byte aligned.
  bool insert(const void* p);
  // Makes sure the next insert cannot fail for lack of room.
  bool reserve_one();
  bool erase(const void* p);
  bool contains(const void* p) const;
  size_t size() const { return size_; }

  // Calls fn(p) for every member, then empties the set.
  template <typename Fn>
  void drain(Fn fn) {
    for (size_t i = 0; i < capacity_; ++i) {
      const Page& page = pages_[i];
      if (page.members == 0) continue;
      for (unsigned w = 0; w < kWords; ++w) {
        for (uint64_t bits = page.bits[w]; bits != 0; bits &= bits - 1) {
          unsigned slot = w * 64 + static_cast<unsigned>(__builtin_ctzll(bits));
          fn(reinterpret_cast<void*>((page.number << kPageShift) |
                                     (uintptr_t{slot} << kGrainShift)));
        }
      }
    }
    clear();
  }
  void clear();

 private:
  static constexpr unsigned kPageShift = 12;
  static constexpr unsigned kGrainShift = 3;
  static constexpr unsigned kWords = (1u << (kPageShift - kGrainShift)) / 64;
  struct Page {
    uintptr_t number;  // address >> kPageShift
    uint32_t members;  // 0 marks a free table entry
    uint64_t bits[kWords];
  };

  size_t home_of(uintptr_t number) const;
  Page* find_page(uintptr_t number) const;
  bool rehash(size_t capacity);
  void remove_page(size_t index);

  Page* pages_ = nullptr;
  size_t capacity_ = 0;  // a power of two, or 0
  size_t used_ = 0;      // pages in the table
  size_t size_ = 0;      // blocks
};

}  // namespace zo::plat
