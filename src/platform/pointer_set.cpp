#include "pointer_set.hpp"

#include <cstdlib>

namespace zo::plat {

PointerSet::~PointerSet() { std::free(pages_); }

void PointerSet::clear() {
  std::free(pages_);
  pages_ = nullptr;
  capacity_ = used_ = size_ = 0;
}

size_t PointerSet::home_of(uintptr_t number) const {
  return static_cast<size_t>((number * 0x9E3779B97F4A7C15ULL) >> 20) & (capacity_ - 1);
}

PointerSet::Page* PointerSet::find_page(uintptr_t number) const {
  if (capacity_ == 0) return nullptr;
  for (size_t i = home_of(number);; i = (i + 1) & (capacity_ - 1)) {
    Page& page = pages_[i];
    if (page.members == 0) return nullptr;
    if (page.number == number) return &page;
  }
}

bool PointerSet::contains(const void* p) const {
  auto a = reinterpret_cast<uintptr_t>(p);
  if (a == 0 || (a & ((1u << kGrainShift) - 1)) != 0) return false;
  const Page* page = find_page(a >> kPageShift);
  unsigned slot = static_cast<unsigned>((a & ((uintptr_t{1} << kPageShift) - 1)) >> kGrainShift);
  return page != nullptr && (page->bits[slot / 64] & (uint64_t{1} << (slot % 64))) != 0;
}

bool PointerSet::rehash(size_t capacity) {
  auto fresh = static_cast<Page*>(std::calloc(capacity, sizeof(Page)));
  if (fresh == nullptr) return false;
  Page* old = pages_;
  size_t oldCapacity = capacity_;
  pages_ = fresh;
  capacity_ = capacity;
  for (size_t i = 0; i < oldCapacity; ++i) {
    if (old[i].members == 0) continue;
    size_t j = home_of(old[i].number);
    while (fresh[j].members != 0) j = (j + 1) & (capacity - 1);
    fresh[j] = old[i];
  }
  std::free(old);
  return true;
}

bool PointerSet::reserve_one() {
  // One more block may need one more page; the table stays at most half full.
  if ((used_ + 1) * 2 <= capacity_) return true;
  return rehash(capacity_ == 0 ? 64 : capacity_ * 2);
}

bool PointerSet::insert(const void* p) {
  auto a = reinterpret_cast<uintptr_t>(p);
  if (a == 0 || (a & ((1u << kGrainShift) - 1)) != 0) return false;
  uintptr_t number = a >> kPageShift;
  unsigned slot = static_cast<unsigned>((a & ((uintptr_t{1} << kPageShift) - 1)) >> kGrainShift);
  uint64_t bit = uint64_t{1} << (slot % 64);
  Page* page = find_page(number);
  if (page == nullptr) {
    if (!reserve_one()) return false;
    size_t i = home_of(number);
    while (pages_[i].members != 0) i = (i + 1) & (capacity_ - 1);
    page = &pages_[i];
    *page = Page{number, 0, {}};
    ++used_;
  }
  if ((page->bits[slot / 64] & bit) != 0) return true;
  page->bits[slot / 64] |= bit;
  ++page->members;
  ++size_;
  return true;
}

void PointerSet::remove_page(size_t hole) {
  // Backward shift: later entries of the probe run move into the hole when their home
  // position allows it, so no tombstones are needed.
  size_t mask = capacity_ - 1;
  for (size_t i = (hole + 1) & mask; pages_[i].members != 0; i = (i + 1) & mask) {
    size_t home = home_of(pages_[i].number);
    bool movable = hole <= i ? (home <= hole || home > i) : (home <= hole && home > i);
    if (movable) {
      pages_[hole] = pages_[i];
      hole = i;
    }
  }
  pages_[hole].members = 0;
  --used_;
}

bool PointerSet::erase(const void* p) {
  auto a = reinterpret_cast<uintptr_t>(p);
  if (a == 0 || (a & ((1u << kGrainShift) - 1)) != 0) return false;
  Page* page = find_page(a >> kPageShift);
  unsigned slot = static_cast<unsigned>((a & ((uintptr_t{1} << kPageShift) - 1)) >> kGrainShift);
  uint64_t bit = uint64_t{1} << (slot % 64);
  if (page == nullptr || (page->bits[slot / 64] & bit) == 0) return false;
  page->bits[slot / 64] &= ~bit;
  --size_;
  if (--page->members == 0) remove_page(static_cast<size_t>(page - pages_));
  return true;
}

}  // namespace zo::plat
