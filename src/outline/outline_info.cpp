#include "outline_info.hpp"

#include "model/records.hpp"
#include "platform/host_library.hpp"
#include "platform/memory.hpp"

namespace zo {

namespace {

ZoPath** template_slots(ZoPathOutlineInfo* info, int i) {
  ZoPath** slots[] = {&info->startTemplate, &info->endTemplate, &info->thirdTemplate};
  return slots[i];
}

}  // namespace

ZoPathOutlineInfo* outline_info_create(const ZoPathOutlineInfo& fields) {
  auto* info =
      static_cast<ZoPathOutlineInfo*>(plat::mem_alloc(sizeof(ZoPathOutlineInfo), plat::kZeroFill));
  if (info == nullptr) return nullptr;
  *info = fields;
  info->disable = 0;
  info->reserved[0] = info->reserved[1] = 0;
  return info;
}

ZoPathOutlineInfo* outline_info_duplicate(const ZoPathOutlineInfo* source) {
  if (source == nullptr) return nullptr;
  auto* copy = static_cast<ZoPathOutlineInfo*>(plat::mem_alloc(sizeof(ZoPathOutlineInfo), 0));
  if (copy == nullptr) return nullptr;
  *copy = *source;
  for (int i = 0; i < 3; ++i) {
    ZoPath** slot = template_slots(copy, i);
    if (*slot == nullptr) continue;
    ZoPath* list = nullptr;
    if (ZoPathDuplicatePtr(*slot, &list) == 0) {
      for (int j = 0; j < i; ++j) release_list(*template_slots(copy, j));
      plat::mem_free(copy);
      return nullptr;
    }
    *slot = list;
  }
  return copy;
}

void outline_info_delete(ZoPathOutlineInfo* info) {
  if (info == nullptr) return;
  for (int i = 0; i < 3; ++i) {
    ZoPath* list = *template_slots(info, i);
    if (list != nullptr) release_list(list_head(list));
  }
  plat::mem_free(info);
}

}  // namespace zo

using namespace zo;

namespace {

// Keeps the stored template when the slot's keys are unchanged (dropping a different new
// one), otherwise replaces the template and its keys.
void assign_slot(uint32_t* kind, uint32_t* size, ZoPath** stored, uint32_t newKind, uint32_t newSize,
                 ZoPath* given) {
  if (*kind == newKind && *size == newSize) {
    if (given != nullptr && given != *stored) release_list(list_head(given));
    return;
  }
  if (*stored != nullptr && *stored != given) release_list(list_head(*stored));
  *stored = given;
  *kind = newKind;
  *size = newSize;
}

}  // namespace

extern "C" {

ZO_API uint32_t ZoPathAssignOutlineInfo(uint32_t startKind, uint32_t startSize, ZoPath* startTemplate,
                                        uint32_t endKind, uint32_t endSize, ZoPath* endTemplate,
                                        uint32_t thirdKind, ZoPath* thirdTemplate, uint32_t value1,
                                        uint32_t value2, uint32_t value3, uint32_t value4,
                                        ZoPathOutlineInfo** info) {
  if (info == nullptr) return 0;
  if (*info == nullptr) {
    ZoPathOutlineInfo fields{startKind, startSize, startTemplate, endKind,
                             endSize,   endTemplate, thirdKind, 0,
                             thirdTemplate, {value1, value2, value3, value4}, 0, {0, 0}};
    *info = outline_info_create(fields);
    if (*info == nullptr) {
      ZO_REPORT_NO_MEMORY();
      return 0;
    }
    return 1;
  }
  ZoPathOutlineInfo* r = *info;
  assign_slot(&r->startKind, &r->startSize, &r->startTemplate, startKind, startSize, startTemplate);
  assign_slot(&r->endKind, &r->endSize, &r->endTemplate, endKind, endSize, endTemplate);
  uint32_t noSize = r->thirdZero;
  assign_slot(&r->thirdKind, &noSize, &r->thirdTemplate, thirdKind, r->thirdZero, thirdTemplate);
  r->values[0] = value1;
  r->values[1] = value2;
  r->values[2] = value3;
  r->values[3] = value4;
  return 1;
}

ZO_API uint32_t ZoPathSetOutlineInfo(ZoPath* path, ZoPathOutlineInfo* info) {
  if (path == nullptr || info == nullptr) return 0;
  ZoPathOutlineInfo* owned = attachment_of(path);
  if (owned != nullptr && owned != info) outline_info_delete(owned);
  if (owned == nullptr && !has_attachment(path)) {
    // A subpath with an attachment takes no part in joining: leave the join chain first.
    if (path->joinPrev != nullptr) path->joinPrev->joinNext = path->joinNext;
    if (path->joinNext != nullptr) path->joinNext->joinPrev = path->joinPrev;
    path->joinPrev = nullptr;
  }
  path->joinNext = reinterpret_cast<ZoPath*>(info);
  path->flags |= ZOF_ATTACHMENT;
  return 1;
}

ZO_API uint32_t ZoPathGetOutlineInfo(ZoPath* path, ZoPathOutlineInfo** info) {
  if (info == nullptr) return 0;
  ZoPathOutlineInfo* owned = path != nullptr ? attachment_of(path) : nullptr;
  *info = owned;
  return owned != nullptr ? 1 : 0;
}

}  // extern "C"
