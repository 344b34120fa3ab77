// Out of memory at every allocation of every allocating call: the call returns its failure
// value, reports what it should, leaves its inputs as they were and leaks nothing.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

#include "Zo32path.h"
#include "alloc_sweep.hpp"
#include "list_snapshot.hpp"
#include "test_support.hpp"
#include "zo32comm.h"

namespace {

using zo_test::Scenario;
using zo_test::SweepCase;
using zo_test::random_list;
using zo_test::release_list;
using zo_test::snapshot_list;
using zo_test::snapshot_table;

CoordStruct view_at(double zoom) {
  CoordStruct v{};
  v.rcWindow = RECT{0, 0, 320, 200};
  v.zoom = zoom;
  return v;
}

// A table over a random list of `count` subpaths, made the way a host makes one.
struct Document {
  ZoPathTbl* table = nullptr;
  CoordStruct view = view_at(1.0);
  explicit Document(unsigned seed, int count = 6) {
    std::mt19937 rng(seed);
    ZoPath* list = random_list(rng, count);
    RECT changed;
    ZoPathAddPathGroup(&table, list, "doc", &view, &changed);
  }
};

std::vector<SweepCase> sweep_cases() {
  std::vector<SweepCase> cases;
  cases.push_back({"ZoPathCreate", false, [] {
                     auto out = std::make_shared<ZoPath*>(nullptr);
                     return Scenario{[out] { return (*out = ZoPathCreate()) != nullptr; }, [] { return std::string(); },
                                     [out] { ZoPathDeletePtr(*out, 0); }};
                   }});
  cases.push_back({"ZoPathNew", false, [] {
                     auto out = std::make_shared<ZoPathTbl*>(nullptr);
                     return Scenario{[out] { return ZoPathNew(out.get()) == 1 && *out != nullptr; },
                                     [] { return std::string(); }, [out] { ZoPathTblDelete(*out); }};
                   }});
  cases.push_back({"ZoPathAddPoint", false, [] {
                     auto p = std::make_shared<ZoPath*>(ZoPathCreate());
                     for (int i = 0; i < 100; ++i) {
                       Ptfx pt{i, i};
                       ZoPathAddPoint(p.get(), &pt, PT_LINETO);
                     }
                     return Scenario{[p] {
                                       Ptfx pt{7, 7};
                                       return ZoPathAddPoint(p.get(), &pt, PT_LINETO) == 1;
                                     },
                                     [p] { return snapshot_list(*p); }, [p] { ZoPathDeletePtr(*p, 0); }};
                   }});
  cases.push_back({"ZoPathPurge", true, [] {
                     auto p = std::make_shared<ZoPath*>(ZoPathCreate());
                     Ptfx pt{1, 1};
                     ZoPathAddPoint(p.get(), &pt, PT_MOVETO);
                     return Scenario{[p] { return ZoPathPurge(p.get()) == 1; }, [p] { return snapshot_list(*p); },
                                     [p] { ZoPathDeletePtr(*p, 0); }};
                   }});
  cases.push_back({"ZoPathR2VToZoPath", true, [] {
                     auto out = std::make_shared<ZoPath*>(nullptr);
                     return Scenario{[out] {
                                       ZoPathR2VPoint pts[] = {{0, 0, 2}, {5, 0, 2}, {5, 5, 2}};
                                       return (*out = ZoPathR2VToZoPath(3, pts)) != nullptr;
                                     },
                                     [] { return std::string(); }, [out] { ZoPathDeletePtr(*out, 0); }};
                   }});
  cases.push_back({"ZoPathAddPathGroup creating the table", true, [] {
                     std::mt19937 rng(3);
                     auto list = std::make_shared<ZoPath*>(random_list(rng, 4));
                     auto table = std::make_shared<ZoPathTbl*>(nullptr);
                     auto view = std::make_shared<CoordStruct>(view_at(1.0));
                     return Scenario{[=] {
                                       RECT r;
                                       return ZoPathAddPathGroup(table.get(), *list, "made", view.get(), &r) == 1;
                                     },
                                     [=] {
                                       return snapshot_list(*list) + snapshot_table(*table) +
                                              std::to_string(view->lpDB != nullptr);
                                     },
                                     [=] {
                                       if (*table != nullptr) {
                                         ZoPathTblDelete(*table);
                                       } else {
                                         release_list(*list);
                                       }
                                     }};
                   }});
  cases.push_back({"ZoPathAddPathGroup growing the table", true, [] {
                     auto doc = std::make_shared<Document>(5);
                     std::mt19937 rng(4);
                     auto list = std::make_shared<ZoPath*>(random_list(rng, 3));
                     auto added = std::make_shared<bool>(false);
                     return Scenario{[=] {
                                       RECT r;
                                       return *added = ZoPathAddPathGroup(&doc->table, *list, "second", &doc->view, &r) == 1;
                                     },
                                     [=] { return snapshot_table(doc->table) + snapshot_list(*list); },
                                     [=] {
                                       if (!*added) release_list(*list);
                                       ZoPathTblDelete(doc->table);
                                     }};
                   }});
  cases.push_back({"ZoPathDuplicatePtr", false, [] {
                     std::mt19937 rng(11);
                     auto list = std::make_shared<ZoPath*>(random_list(rng, 8));
                     auto copy = std::make_shared<ZoPath*>(nullptr);
                     return Scenario{[=] { return ZoPathDuplicatePtr(*list, copy.get()) == 1; },
                                     [=] { return snapshot_list(*list) + (*copy == nullptr ? "" : "copy!"); },
                                     [=] {
                                       release_list(*list);
                                       release_list(*copy);
                                     }};
                   }});
  cases.push_back({"ZoPathDuplicatePtrSingle", true, [] {
                     std::mt19937 rng(12);
                     auto list = std::make_shared<ZoPath*>(random_list(rng, 3));
                     auto copy = std::make_shared<ZoPath*>(nullptr);
                     return Scenario{[=] { return ZoPathDuplicatePtrSingle((*list)->next, copy.get()) == 1; },
                                     [=] { return snapshot_list(*list) + (*copy == nullptr ? "" : "copy!"); },
                                     [=] {
                                       release_list(*list);
                                       ZoPathDeletePtr(*copy, 0);
                                     }};
                   }});
  cases.push_back({"ZoPathDuplicate", false, [] {
                     auto doc = std::make_shared<Document>(21, 8);
                     ZoPathAllPathSelected(doc->table->groups[0].first);
                     ZoPathAssignSelectedPathBlindly(doc->table, doc->table->groups[0].first);
                     return Scenario{[=] {
                                       RECT r;
                                       return ZoPathDuplicate(nullptr, doc->table, &doc->view, &r) == 1;
                                     },
                                     [=] { return snapshot_table(doc->table); },
                                     [=] { ZoPathTblDelete(doc->table); }};
                   }});
  cases.push_back({"ZoPathExtractSingleSubPath", true, [] {
                     std::mt19937 rng(13);
                     auto list = std::make_shared<ZoPath*>(random_list(rng, 3));
                     auto copy = std::make_shared<ZoPath*>(nullptr);
                     return Scenario{[=] { return (*copy = ZoPathExtractSingleSubPath(*list, 2)) != nullptr; },
                                     [=] { return snapshot_list(*list); },
                                     [=] {
                                       release_list(*list);
                                       ZoPathDeletePtr(*copy, 0);
                                     }};
                   }});
  cases.push_back({"ZoPathCoordStruct", true, [] {
                     auto table = std::make_shared<ZoPathTbl*>(nullptr);
                     ZoPathNew(table.get());
                     auto view = std::make_shared<CoordStruct*>(nullptr);
                     return Scenario{[=] {
                                       RECT window{10, 20, 330, 220};
                                       return ZoPathCoordStruct(&window, 3, 4, 2.0, *table, view.get()) == 1;
                                     },
                                     [=] { return snapshot_table(*table) + (*view == nullptr ? "" : "view!"); },
                                     [=] {
                                       ZoPathDeleteCoordStruct(*view);
                                       ZoPathTblDelete(*table);
                                     }};
                   }});
  cases.push_back({"ZoPathNewCoordStruct", true, [] {
                     auto doc = std::make_shared<Document>(31);
                     auto view = std::make_shared<CoordStruct*>(nullptr);
                     return Scenario{[=] {
                                       RECT window{0, 0, 64, 48};
                                       return ZoPathNewCoordStruct(&window, 0, 0, 1.0, 9, doc->table, view.get()) == 1;
                                     },
                                     [=] { return snapshot_table(doc->table) + (*view == nullptr ? "" : "view!"); },
                                     [=] {
                                       ZoPathDeleteCoordStruct(*view);
                                       ZoPathTblDelete(doc->table);
                                     }};
                   }});
  cases.push_back({"ZoPathBufAlloc", true, [] {
                     auto out = std::make_shared<uint8_t*>(nullptr);
                     return Scenario{[out] { return (*out = ZoPathBufAlloc(8, 33, 17)) != nullptr; },
                                     [] { return std::string(); }, [out] { ZoPathBufFree(*out); }};
                   }});
  cases.push_back({"ZoPathBufDuplicate", true, [] {
                     auto source = std::make_shared<uint8_t*>(ZoPathBufAlloc(24, 5, 4));
                     auto out = std::make_shared<uint8_t*>(nullptr);
                     return Scenario{[=] { return (*out = ZoPathBufDuplicate(0, *source)) != nullptr; },
                                     [=] { return std::string(reinterpret_cast<char*>(*source), 60); },
                                     [=] {
                                       ZoPathBufFree(*out);
                                       ZoPathBufFree(*source);
                                     }};
                   }});
  // The outline modes allocate only the outputs: every failure fails the call. (A failure
  // inside a fill only ends the fill early; the rasteriser tests cover that.)
  for (uint32_t format : {8u, 4u, 16u}) {
    cases.push_back({"ZoPathToBuf outline", true, [format] {
                       // 25 small selected triangles: the output arrays grow once.
                       ZoPath* list = nullptr;
                       ZoPath* last = nullptr;
                       for (int i = 0; i < 25; ++i) {
                         ZoPath* p = ZoPathCreate();
                         for (int k = 0; k < 3; ++k) {
                           Ptfx pt{(i * 4 + (k == 1 ? 3 : 0)) << 16, (k == 2 ? 3 : 0) << 16};
                           ZoPathAddPoint(&p, &pt, k == 0 ? PT_MOVETO : PT_LINETO | (k == 2 ? PT_CLOSEFIGURE : 0));
                         }
                         p->flags = ZOF_SELECTED;
                         if (last != nullptr) last->next = last->selNext = p, p->prev = p->selPrev = last;
                         else list = p;
                         last = p;
                       }
                       auto head = std::make_shared<ZoPath*>(list);
                       auto rects = std::make_shared<RECT*>(nullptr);
                       auto buffers = std::make_shared<uint8_t**>(nullptr);
                       auto n = std::make_shared<uint32_t>(0);
                       return Scenario{[=] {
                                         *n = ZoPathToBuf(*head, format, 0, 1, 1, 3 * 65536,
                                                          rects.get(), buffers.get(), 2);
                                         EXPECT_EQ(*n == 0, *rects == nullptr);
                                         return *n != 0;
                                       },
                                       [=] { return snapshot_list(*head); },
                                       [=] {
                                         for (uint32_t i = 0; i < *n; ++i) ZoPathBufFree((*buffers)[i]);
                                         if (*n != 0) {
                                           ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(*rects));
                                           ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(*buffers));
                                         }
                                         release_list(*head);
                                       }};
                     }});
  }
  cases.push_back({"ZoPathCropDB", true, [] {
                     auto doc = std::make_shared<Document>(41);
                     return Scenario{[=] { return ZoPathCropDB(doc->table, 100, 50) == 1; },
                                     [=] {
                                       const uint8_t* b = doc->table->lpDB;
                                       return snapshot_table(doc->table) +
                                              std::string(b, b + 320 * 200);
                                     },
                                     [=] { ZoPathTblDelete(doc->table); }};
                   }});
  // Stored blocks: a list with outline information and joins. (The reader leaves a template
  // list it cannot read absent and still succeeds, so its sweep stores none.)
  auto stored_list = [](bool templates) {
    std::mt19937 rng(51);
    ZoPath* list = random_list(rng, 5);
    ZoPathOutlineInfo* info = nullptr;
    ZoPathAssignOutlineInfo(1, 2, templates ? random_list(rng, 2) : nullptr, 3, 4, nullptr, 5,
                            templates ? random_list(rng, 1) : nullptr, 6, 7, 8, 9, &info);
    ZoPathSetOutlineInfo(list, info);
    return list;
  };
  cases.push_back({"ZoPathFlatten", true, [=] {
                     auto list = std::make_shared<ZoPath*>(stored_list(true));
                     auto block = std::make_shared<HGLOBAL>(nullptr);
                     return Scenario{[=] {
                                       uint32_t size = 0;
                                       return ZoPathFlatten(*list, &size, block.get()) == 1;
                                     },
                                     [=] { return snapshot_list(*list); },
                                     [=] {
                                       ZoPlatGlobalFree(*block);
                                       release_list(*list);
                                     }};
                   }});
  cases.push_back({"ZoPathUnFlatten", true, [=] {
                     ZoPath* list = stored_list(false);
                     uint32_t size = 0;
                     auto block = std::make_shared<HGLOBAL>(nullptr);
                     ZoPathFlatten(list, &size, block.get());
                     release_list(list);
                     auto out = std::make_shared<ZoPath*>(nullptr);
                     return Scenario{[=] { return ZoPathUnFlatten(block.get(), out.get()) == 1; },
                                     [=] {
                                       auto* b = static_cast<const char*>(ZoPlatGlobalLock(*block));
                                       std::string bytes(b, b + ZoPlatGlobalSize(*block));
                                       ZoPlatGlobalUnlock(*block);
                                       return bytes;
                                     },
                                     [=] {
                                       release_list(*out);
                                       ZoPlatGlobalFree(*block);
                                     }};
                   }});
  cases.push_back({"ZoPathSubdivide", true, [] {
                     auto doc = std::make_shared<Document>(61, 4);
                     ZoPath* target = doc->table->groups[0].first->next;
                     return Scenario{[=] { return ZoPathSubdivide(doc->table, target, 0, 20000) != nullptr; },
                                     [=] { return snapshot_table(doc->table); },
                                     [=] { ZoPathTblDelete(doc->table); }};
                   }});
  cases.push_back({"ZoPathAssignOutlineInfo", true, [] {
                     auto info = std::make_shared<ZoPathOutlineInfo*>(nullptr);
                     return Scenario{[=] {
                                       return ZoPathAssignOutlineInfo(1, 2, nullptr, 3, 4, nullptr, 5, nullptr, 6,
                                                                      7, 8, 9, info.get()) == 1;
                                     },
                                     [] { return std::string(); },
                                     [=] {
                                       ZoPath* owner = ZoPathCreate();
                                       ZoPathSetOutlineInfo(owner, *info);
                                       ZoPathDeletePtr(owner, 0);
                                     }};
                   }});
  cases.push_back({"ZoPlatCreateMemoryDC", false, [] {
                     auto pixels = std::make_shared<std::vector<uint32_t>>(64);
                     auto dc = std::make_shared<HDC>(nullptr);
                     return Scenario{[=] {
                                       return (*dc = ZoPlatCreateMemoryDC(pixels->data(), 8, 8, 8)) !=
                                              nullptr;
                                     },
                                     [] { return std::string(); }, [=] { ZoPlatDeleteDC(*dc); }};
                   }});
  cases.push_back({"ZoPlatCreateRectRgnIndirect", false, [] {
                     auto rgn = std::make_shared<HRGN>(nullptr);
                     return Scenario{[=] {
                                       RECT r{1, 2, 30, 40};
                                       return (*rgn = ZoPlatCreateRectRgnIndirect(&r)) != nullptr;
                                     },
                                     [] { return std::string(); }, [=] { ZoPlatDeleteObject(*rgn); }};
                   }});
  cases.push_back({"ZoPlatCombineRgn and ZoPlatSelectClipRgn", false, [] {
                     auto pixels = std::make_shared<std::vector<uint32_t>>(64);
                     HDC dc = ZoPlatCreateMemoryDC(pixels->data(), 8, 8, 8);
                     RECT a{0, 0, 6, 6}, b{3, 3, 8, 8};
                     HRGN ra = ZoPlatCreateRectRgnIndirect(&a), rb = ZoPlatCreateRectRgnIndirect(&b);
                     return Scenario{[=] {
                                       return ZoPlatCombineRgn(ra, ra, rb, RGN_XOR) == COMPLEXREGION &&
                                              ZoPlatSelectClipRgn(dc, ra) == COMPLEXREGION;
                                     },
                                     [] { return std::string(); },
                                     [=] {
                                       ZoPlatDeleteObject(ra);
                                       ZoPlatDeleteObject(rb);
                                       ZoPlatDeleteDC(dc);
                                     }};
                   }});
  return cases;
}

class AllocationFailureTest : public ZoTest {};

TEST_F(AllocationFailureTest, EveryAllocationOfEveryCallCanFailCleanly) { zo_test::run_alloc_sweep(sweep_cases()); }

}  // namespace
