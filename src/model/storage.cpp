// Stored path blocks: a whole list written into one movable global block, and read back.
//
// Layout: uint32 directory size D (8n + 16), a zero word, n directory entries (uint32 tag,
// uint32 record size), a zero terminator entry, the records from offset D, then the head's
// outline information when it carries one. Tags are record positions counted from 1.
// Stored data outlives the program that wrote it, so the reader trusts nothing in a block:
// every read is checked against the block's real size.
#include <algorithm>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "outline/outline_info.hpp"
#include "platform/global_memory.hpp"
#include "platform/host_library.hpp"
#include "platform/trace.hpp"
#include "records.hpp"

namespace zo {

namespace {

constexpr uint32_t kStoredVersion = 0x500;
constexpr uint32_t kVersion301 = 0x301;
constexpr size_t kStoredHeader = 40;
constexpr size_t kOldestHeader = 32;
constexpr size_t kInfoImage = 88;
constexpr size_t kInfoBlockHeader = 4 + kInfoImage;
constexpr int kMaxNesting = 8;  // attachments inside templates inside attachments...

void put32(uint8_t* at, uint32_t v) { std::memcpy(at, &v, 4); }
void put64(uint8_t* at, uint64_t v) { std::memcpy(at, &v, 8); }

// ---- Writing ----

struct InfoBlock {
  std::vector<uint8_t> bytes;  // the whole attachment block
};

uint32_t flatten_list(ZoPath* head, uint32_t* size, uint8_t* out, int depth);

// The attachment block of an outline-information record; false when a template cannot be
// written.
bool serialise_info(const ZoPathOutlineInfo* info, std::vector<uint8_t>& block, int depth) {
  ZoPath* templates[3] = {info->startTemplate, info->endTemplate, info->thirdTemplate};
  uint32_t sizes[3] = {0, 0, 0};
  size_t total = kInfoBlockHeader;
  for (int i = 0; i < 3; ++i) {
    if (templates[i] == nullptr) continue;
    if (depth >= kMaxNesting || flatten_list(list_head(templates[i]), &sizes[i], nullptr, depth + 1) == 0) {
      return false;
    }
    total += sizes[i];
  }
  if (total > UINT32_MAX) return false;
  block.assign(total, 0);
  uint8_t* image = block.data() + 4;
  put32(block.data(), static_cast<uint32_t>(total));
  uint64_t offsets[3] = {0, 0, 0};
  size_t at = kInfoImage;
  for (int i = 0; i < 3; ++i) {
    if (templates[i] == nullptr) continue;
    offsets[i] = at;
    flatten_list(list_head(templates[i]), &sizes[i], image + at, depth + 1);
    at += sizes[i];
  }
  put32(image + 0, info->startKind);
  put32(image + 4, info->startSize);
  put64(image + 8, offsets[0]);
  put32(image + 16, info->endKind);
  put32(image + 20, info->endSize);
  put64(image + 24, offsets[1]);
  put32(image + 32, info->thirdKind);
  put32(image + 36, 0);
  put64(image + 40, offsets[2]);
  for (int i = 0; i < 4; ++i) put32(image + 48 + 4 * i, info->values[i]);
  put64(image + 64, info->disable);
  put64(image + 72, info->reserved[0]);
  put64(image + 80, info->reserved[1]);
  return true;
}

// Computes the block size of the list from `head`; with `out`, also writes the block there
// (out has room for the computed size, zero-filled). Positions are found by walking, so the
// tag of a linked record is its position in this list; links to records outside it store 0.
uint32_t flatten_list(ZoPath* head, uint32_t* size, uint8_t* out, int depth) {
  std::vector<ZoPath*> records;
  std::vector<uint8_t> info;
  try {
    for (ZoPath* p = head; p != nullptr; p = p->next) records.push_back(p);
    if (has_attachment(head) && attachment_of(head) != nullptr &&
        !serialise_info(attachment_of(head), info, depth)) {
      return 0;
    }
  } catch (const std::bad_alloc&) {
    return 0;
  }
  uint64_t n = records.size();
  uint64_t total = 8 * n + 16 + info.size();
  for (ZoPath* p : records) total += kStoredHeader + uint64_t{10} * p->count;
  if (total > UINT32_MAX) return 0;
  *size = static_cast<uint32_t>(total);
  if (out == nullptr) return 1;

  // Tags: the position of each record plus one. While the list is written, each record's
  // version word holds its tag, so a link is translated with one read; a link to a record
  // outside the list (whose version word does not lead back to it) stores 0. Every version
  // word is stamped with the stored version afterwards.
  for (size_t i = 0; i < records.size(); ++i) records[i]->version = static_cast<uint32_t>(i + 1);
  auto tag_of = [&](const ZoPath* p) -> uint32_t {
    if (p == nullptr || p->version == 0 || p->version > records.size()) return 0;
    return records[p->version - 1] == p ? p->version : 0;
  };
  size_t directory = static_cast<size_t>(8 * n + 16);
  put32(out, static_cast<uint32_t>(directory));
  size_t at = directory;
  for (size_t i = 0; i < records.size(); ++i) {
    ZoPath* p = records[i];
    uint32_t bytes = static_cast<uint32_t>(kStoredHeader + size_t{10} * p->count);
    put32(out + 8 + 8 * i, static_cast<uint32_t>(i + 1));
    put32(out + 12 + 8 * i, bytes);
    uint8_t* r = out + at;
    put32(r + 0, kStoredVersion);
    put32(r + 4, i > 0 ? static_cast<uint32_t>(i) : 0);
    put32(r + 8, i + 1 < records.size() ? static_cast<uint32_t>(i + 2) : 0);
    put32(r + 12, tag_of(p->joinPrev));
    put32(r + 16, has_attachment(p) ? 0 : tag_of(p->joinNext));
    put32(r + 20, tag_of(p->selPrev));
    put32(r + 24, tag_of(p->selNext));
    put32(r + 28, p->count);
    put32(r + 32, p->flags);
    put32(r + 36, p->primitiveKind);
    std::memcpy(r + kStoredHeader, nodes_of(p), size_t{10} * p->count);
    at += bytes;
  }
  for (ZoPath* p : records) p->version = kStoredVersion;
  if (!info.empty()) std::memcpy(out + at, info.data(), info.size());
  return 1;
}

// ---- Reading ----

class BlockReader {
 public:
  BlockReader(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}
  bool has(size_t offset, size_t n) const { return offset <= size_ && n <= size_ - offset; }
  uint32_t u32(size_t offset) const {
    uint32_t v;
    std::memcpy(&v, bytes_ + offset, 4);
    return v;
  }
  uint64_t u64(size_t offset) const {
    uint64_t v;
    std::memcpy(&v, bytes_ + offset, 8);
    return v;
  }
  const uint8_t* at(size_t offset) const { return bytes_ + offset; }
  size_t size() const { return size_; }

 private:
  const uint8_t* bytes_;
  size_t size_;
};

struct StoredLinks {
  uint32_t joinNext;
  uint32_t selNext;
};

// Older writers put a Bezier segment's selection mark on its first control point; the mark
// belongs on the end point.
void move_bezier_marks(ZoPath* p) {
  PathNode* nodes = nodes_of(p);
  unsigned position = 0;
  bool moved = false;
  for (uint32_t i = 0; i < p->count; ++i) {
    if (kind_of(nodes[i].type) != PT_BEZIERTO) continue;
    position = position % 3 + 1;
    if (position == 1 && (nodes[i].type & PT_SELECTED) != 0 && i + 2 < p->count) {
      nodes[i].type &= static_cast<uint16_t>(~PT_SELECTED);
      nodes[i + 2].type |= PT_SELECTED;
      moved = true;
    }
  }
  if (moved) plat::trace("- CheckPathsBeforeUPI5(): PT_SELECTED flag adjusted.\n");
}

// One stored record into a new subpath; null when the record is malformed or memory runs out
// (*noMemory tells which).
ZoPath* read_record(const BlockReader& block, size_t offset, size_t bytes, StoredLinks* links, bool* noMemory) {
  if (!block.has(offset, bytes) || bytes < 4) return nullptr;
  uint32_t first = block.u32(offset);
  bool current = first == kStoredVersion || first == kVersion301;
  size_t header = current ? kStoredHeader : kOldestHeader;
  if (bytes < header) return nullptr;
  size_t linkBase = current ? offset + 4 : offset;
  uint32_t count = block.u32(linkBase + 24);
  uint32_t flags = block.u32(linkBase + 28);
  uint32_t kind = current ? block.u32(offset + 36) : 0;
  if (count > (bytes - header) / 10) return nullptr;
  ZoPath* p = record_alloc(count > 1 ? count + 1 : 1);
  if (p == nullptr) {
    *noMemory = true;
    return nullptr;
  }
  p->version = kStoredVersion;
  p->count = count;
  p->flags = flags;
  p->primitiveKind = kind;
  std::memcpy(nodes_of(p), block.at(offset + header), size_t{10} * count);
  links->joinNext = block.u32(linkBase + 12);
  links->selNext = block.u32(linkBase + 20);
  if (first != kStoredVersion) {
    if (p->flags == 0x88800000u) p->flags = 0x80100000u;
    move_bezier_marks(p);
  }
  return p;
}

uint32_t unflatten_bytes(const BlockReader& block, ZoPath** out, int depth);

// The attachment block at `offset`; null when malformed (or out of memory).
ZoPathOutlineInfo* read_info(const BlockReader& block, size_t offset, int depth, bool* noMemory) {
  if (!block.has(offset, kInfoBlockHeader)) return nullptr;
  size_t total = block.u32(offset);
  if (total < kInfoBlockHeader || !block.has(offset, total)) return nullptr;
  size_t image = offset + 4;
  ZoPathOutlineInfo fields{};
  fields.startKind = block.u32(image + 0);
  fields.startSize = block.u32(image + 4);
  fields.endKind = block.u32(image + 16);
  fields.endSize = block.u32(image + 20);
  fields.thirdKind = block.u32(image + 32);
  for (int i = 0; i < 4; ++i) fields.values[i] = block.u32(image + 48 + 4 * i);
  ZoPathOutlineInfo* info = outline_info_create(fields);
  if (info == nullptr) {
    *noMemory = true;
    return nullptr;
  }
  info->disable = block.u64(image + 64);
  info->reserved[0] = block.u64(image + 72);
  info->reserved[1] = block.u64(image + 80);
  // Each template block runs from its offset to the next present one (or the block's end).
  uint64_t offsets[3] = {block.u64(image + 8), block.u64(image + 24), block.u64(image + 40)};
  ZoPath** slots[3] = {&info->startTemplate, &info->endTemplate, &info->thirdTemplate};
  size_t end = total - 4;
  for (int i = 0; i < 3; ++i) {
    if (offsets[i] < kInfoImage || offsets[i] >= end || depth >= kMaxNesting) continue;
    uint64_t stop = end;
    for (int j = 0; j < 3; ++j) {
      if (offsets[j] > offsets[i] && offsets[j] < stop) stop = offsets[j];
    }
    BlockReader nested(block.at(image + offsets[i]), static_cast<size_t>(stop - offsets[i]));
    ZoPath* list = nullptr;
    if (unflatten_bytes(nested, &list, depth + 1) == 1) *slots[i] = list;  // unreadable: absent
  }
  return info;
}

void release_records(std::vector<ZoPath*>& records) {
  for (ZoPath* p : records) record_release(p);
  records.clear();
}

uint32_t unflatten_bytes(const BlockReader& block, ZoPath** out, int depth) {
  *out = nullptr;
  if (!block.has(0, 16)) return 0;
  size_t directory = block.u32(0);
  if (directory < 16 || !block.has(0, directory)) return 0;
  // Entries run up to the zero terminator, which must lie inside the directory.
  size_t n = 0;
  while (8 + 8 * n + 8 <= directory && block.u32(8 + 8 * n) != 0) ++n;
  if (8 + 8 * n + 8 > directory) return 0;
  std::vector<ZoPath*> records;
  std::vector<StoredLinks> links;
  std::vector<std::pair<uint32_t, uint32_t>> tags;  // (tag, position), sorted
  bool noMemory = false;
  try {
    records.reserve(n);
    links.resize(n);
    tags.reserve(n);
    size_t offset = directory;
    for (size_t i = 0; i < n; ++i) {
      uint32_t bytes = block.u32(12 + 8 * i);
      ZoPath* p = read_record(block, offset, bytes, &links[i], &noMemory);
      if (p == nullptr) throw std::bad_alloc();
      records.push_back(p);
      tags.emplace_back(block.u32(8 + 8 * i), static_cast<uint32_t>(i));
      offset += bytes;
    }
    std::sort(tags.begin(), tags.end());
    // A link is resolved to the first record at or after the linking one that has the tag
    // (never to the record itself, which would make a chain that never ends). A damaged
    // block may name one record as the successor of two: only the first link is kept, so
    // every chain stays a consistent forward chain that unlinking can trust.
    auto resolve = [&](uint32_t tag, size_t from) -> ZoPath* {
      if (tag == 0) return nullptr;
      auto it = std::lower_bound(tags.begin(), tags.end(), std::make_pair(tag, static_cast<uint32_t>(from + 1)));
      return it != tags.end() && it->first == tag ? records[it->second] : nullptr;
    };
    for (size_t i = 0; i < n; ++i) {
      if (i > 0) {
        records[i]->prev = records[i - 1];
        records[i - 1]->next = records[i];
      }
      if (ZoPath* s = resolve(links[i].selNext, i); s != nullptr && s->selPrev == nullptr) {
        records[i]->selNext = s;
        s->selPrev = records[i];
      }
      ZoPath* j = resolve(links[i].joinNext, i);
      if (j != nullptr && j->joinPrev == nullptr && !has_attachment(records[i]) && !has_attachment(j)) {
        records[i]->joinNext = j;
        j->joinPrev = records[i];
      }
    }
    if (n > 0 && has_attachment(records[0])) {
      ZoPathOutlineInfo* info = read_info(block, offset, depth, &noMemory);
      if (info == nullptr) throw std::bad_alloc();
      records[0]->joinNext = reinterpret_cast<ZoPath*>(info);
    }
  } catch (const std::bad_alloc&) {
    // The head's attachment slot holds no record yet: release without touching it.
    if (!records.empty() && has_attachment(records[0])) records[0]->flags &= ~ZOF_ATTACHMENT;
    release_records(records);
    if (noMemory && depth == 0) ZO_REPORT_NO_MEMORY();
    return 0;
  }
  *out = n > 0 ? records[0] : nullptr;
  return 1;
}

int32_t g_trimmedRibbon = 0;  // the module-wide trimmed-ribbon switch, off at load

}  // namespace

}  // namespace zo

using namespace zo;

extern "C" {

ZO_API uint32_t ZoPathFlatten(ZoPath* list, uint32_t* size, HGLOBAL* block) {
  if (list == nullptr || size == nullptr) return 0;
  ZoPath* head = list_head(list);
  uint32_t total = 0;
  if (flatten_list(head, &total, nullptr, 0) == 0) return 0;
  *size = total;
  if (block == nullptr) return 1;
  HGLOBAL h = plat::global_alloc(GHND, total);
  if (h == nullptr) {
    ZO_REPORT_NO_MEMORY();
    return 0;
  }
  auto* bytes = static_cast<uint8_t*>(plat::global_lock(h));
  uint32_t written = 0;
  uint32_t ok = flatten_list(head, &written, bytes, 0);
  plat::global_unlock(h);
  if (ok == 0 || written != total) {
    plat::global_free(h);
    return 0;
  }
  *block = h;
  return 1;
}

ZO_API uint32_t ZoPathUnFlatten(HGLOBAL* block, ZoPath** list) {
  if (list != nullptr) *list = nullptr;
  if (block == nullptr || *block == nullptr || list == nullptr) return 0;
  size_t size = plat::global_size(*block);
  auto* bytes = static_cast<const uint8_t*>(plat::global_lock(*block));
  if (bytes == nullptr) return 0;
  uint32_t ok = unflatten_bytes(BlockReader(bytes, size), list, 0);
  plat::global_unlock(*block);
  return ok;
}

ZO_API void ZoPathDoTrimmedRibbon(int32_t on) { g_trimmedRibbon = on; }

ZO_API int32_t ZoPathIsTrimmedRibbonEnabled(void) { return g_trimmedRibbon; }

}  // extern "C"
