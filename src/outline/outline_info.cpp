#include "outline_info.hpp"

#include "model/records.hpp"
#include "platform/memory.hpp"

namespace zo {

namespace {

ZoPath** template_slots(ZoPathOutlineInfo* info, int i) {
  ZoPath** slots[] = {&info->startTemplate, &info->endTemplate, &info->thirdTemplate};
  return slots[i];
}

}  // namespace

ZoPathOutlineInfo* outline_info_create(const ZoPathOutlineInfo& fields) {
  auto* info = static_cast<ZoPathOutlineInfo*>(plat::mem_alloc(sizeof(ZoPathOutlineInfo), plat::kZeroFill));
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
