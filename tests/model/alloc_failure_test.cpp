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

using zo_test::random_list;
using zo_test::release_list;
using zo_test::Scenario;
using zo_test::snapshot_list;
using zo_test::snapshot_table;
using zo_test::SweepCase;

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

// A call that makes a new object from nothing: it succeeds when the object is there.
template <typename T>
SweepCase made(const char* name, bool reports, std::function<T()> make,
               std::function<void(T)> release) {
  return {name, reports, [=] {
            auto out = std::make_shared<T>(T{});
            return Scenario{[=] { return (*out = make()) != T{}; }, [] { return std::string(); },
                            [=] {
                              if (*out != T{}) release(*out);
                            }};
          }};
}

// A call on a document's table; its inputs are the whole table and the display buffer.
SweepCase on_document(const char* name, bool reports, unsigned seed, int count,
                      std::function<bool(Document&)> attempt,
                      std::function<void(Document&)> prepare = nullptr) {
  return {name, reports, [=] {
            auto doc = std::make_shared<Document>(seed, count);
            if (prepare) prepare(*doc);
            return Scenario{[=] { return attempt(*doc); },
                            [=] {
                              const uint8_t* b = doc->table->lpDB;
                              return snapshot_table(doc->table) + std::string(b, b + 320 * 200);
                            },
                            [=] { ZoPathTblDelete(doc->table); }};
          }};
}

// A call that copies (part of) a random list into *out.
SweepCase from_list(const char* name, bool reports, unsigned seed, int count,
                    std::function<bool(ZoPath*, ZoPath**)> attempt) {
  return {name, reports, [=] {
            std::mt19937 rng(seed);
            auto list = std::make_shared<ZoPath*>(random_list(rng, count));
            auto copy = std::make_shared<ZoPath*>(nullptr);
            return Scenario{
                [=] { return attempt(*list, copy.get()); },
                [=] { return snapshot_list(*list) + (*copy == nullptr ? "" : "copy!"); },
                [=] {
                  release_list(*list);
                  release_list(*copy);
                }};
          }};
}

std::vector<SweepCase> sweep_cases() {
  std::vector<SweepCase> cases;
  cases.push_back(
      made<ZoPath*>("ZoPathCreate", false, ZoPathCreate, [](ZoPath* p) { ZoPathDeletePtr(p, 0); }));
  cases.push_back(made<ZoPathTbl*>(
      "ZoPathNew", false,
      [] {
        ZoPathTbl* t = nullptr;
        return ZoPathNew(&t) == 1 ? t : nullptr;
      },
      ZoPathTblDelete));
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
                                     [p] { return snapshot_list(*p); },
                                     [p] { ZoPathDeletePtr(*p, 0); }};
                   }});
  cases.push_back({"ZoPathPurge", true, [] {
                     auto p = std::make_shared<ZoPath*>(ZoPathCreate());
                     Ptfx pt{1, 1};
                     ZoPathAddPoint(p.get(), &pt, PT_MOVETO);
                     return Scenario{[p] { return ZoPathPurge(p.get()) == 1; },
                                     [p] { return snapshot_list(*p); },
                                     [p] { ZoPathDeletePtr(*p, 0); }};
                   }});
  cases.push_back(made<ZoPath*>(
      "ZoPathR2VToZoPath", true,
      [] {
        ZoPathR2VPoint pts[] = {{0, 0, 2}, {5, 0, 2}, {5, 5, 2}};
        return ZoPathR2VToZoPath(3, pts);
      },
      [](ZoPath* p) { ZoPathDeletePtr(p, 0); }));
  cases.push_back({"ZoPathAddPathGroup creating the table", true, [] {
                     std::mt19937 rng(3);
                     auto list = std::make_shared<ZoPath*>(random_list(rng, 4));
                     auto table = std::make_shared<ZoPathTbl*>(nullptr);
                     auto view = std::make_shared<CoordStruct>(view_at(1.0));
                     return Scenario{[=] {
                                       RECT r;
                                       return ZoPathAddPathGroup(table.get(), *list, "made",
                                                                 view.get(), &r) == 1;
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
                     return Scenario{
                         [=] {
                           RECT r;
                           return *added = ZoPathAddPathGroup(&doc->table, *list, "second",
                                                              &doc->view, &r) == 1;
                         },
                         [=] { return snapshot_table(doc->table) + snapshot_list(*list); },
                         [=] {
                           if (!*added) release_list(*list);
                           ZoPathTblDelete(doc->table);
                         }};
                   }});
  cases.push_back(from_list("ZoPathDuplicatePtr", false, 11, 8, [](ZoPath* list, ZoPath** out) {
    return ZoPathDuplicatePtr(list, out) == 1;
  }));
  cases.push_back(from_list(
      "ZoPathDuplicatePtrSingle", true, 12, 3,
      [](ZoPath* list, ZoPath** out) { return ZoPathDuplicatePtrSingle(list->next, out) == 1; }));
  cases.push_back(
      from_list("ZoPathExtractSingleSubPath", true, 13, 3, [](ZoPath* list, ZoPath** out) {
        return (*out = ZoPathExtractSingleSubPath(list, 2)) != nullptr;
      }));
  cases.push_back(on_document(
      "ZoPathDuplicate", false, 21, 8,
      [](Document& doc) {
        RECT r;
        return ZoPathDuplicate(nullptr, doc.table, &doc.view, &r) == 1;
      },
      [](Document& doc) {
        ZoPathAllPathSelected(doc.table->groups[0].first);
        ZoPathAssignSelectedPathBlindly(doc.table, doc.table->groups[0].first);
      }));
  cases.push_back({"ZoPathCoordStruct", true, [] {
                     auto table = std::make_shared<ZoPathTbl*>(nullptr);
                     ZoPathNew(table.get());
                     auto view = std::make_shared<CoordStruct*>(nullptr);
                     return Scenario{
                         [=] {
                           RECT window{10, 20, 330, 220};
                           return ZoPathCoordStruct(&window, 3, 4, 2.0, *table, view.get()) == 1;
                         },
                         [=] { return snapshot_table(*table) + (*view == nullptr ? "" : "view!"); },
                         [=] {
                           ZoPathDeleteCoordStruct(*view);
                           ZoPathTblDelete(*table);
                         }};
                   }});
  cases.push_back(
      {"ZoPathNewCoordStruct", true, [] {
         auto doc = std::make_shared<Document>(31);
         auto view = std::make_shared<CoordStruct*>(nullptr);
         return Scenario{
             [=] {
               RECT window{0, 0, 64, 48};
               return ZoPathNewCoordStruct(&window, 0, 0, 1.0, 9, doc->table, view.get()) == 1;
             },
             [=] { return snapshot_table(doc->table) + (*view == nullptr ? "" : "view!"); },
             [=] {
               ZoPathDeleteCoordStruct(*view);
               ZoPathTblDelete(doc->table);
             }};
       }});
  cases.push_back(made<uint8_t*>(
      "ZoPathBufAlloc", true, [] { return ZoPathBufAlloc(8, 33, 17); }, ZoPathBufFree));
  cases.push_back({"ZoPathBufDuplicate", true, [] {
                     auto source = std::make_shared<uint8_t*>(ZoPathBufAlloc(24, 5, 4));
                     auto out = std::make_shared<uint8_t*>(nullptr);
                     return Scenario{
                         [=] { return (*out = ZoPathBufDuplicate(0, *source)) != nullptr; },
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
                           ZoPathAddPoint(
                               &p, &pt,
                               k == 0 ? PT_MOVETO : PT_LINETO | (k == 2 ? PT_CLOSEFIGURE : 0));
                         }
                         p->flags = ZOF_SELECTED;
                         if (last != nullptr)
                           last->next = last->selNext = p, p->prev = p->selPrev = last;
                         else
                           list = p;
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
                                         for (uint32_t i = 0; i < *n; ++i)
                                           ZoPathBufFree((*buffers)[i]);
                                         if (*n != 0) {
                                           ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(*rects));
                                           ZoPlatGlobalFree(reinterpret_cast<HGLOBAL>(*buffers));
                                         }
                                         release_list(*head);
                                       }};
                     }});
  }
  cases.push_back(on_document("ZoPathCropDB", true, 41, 6,
                              [](Document& doc) { return ZoPathCropDB(doc.table, 100, 50) == 1; }));
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
  cases.push_back(on_document("ZoPathSubdivide", true, 61, 4, [](Document& doc) {
    return ZoPathSubdivide(doc.table, doc.table->groups[0].first->next, 0, 20000) != nullptr;
  }));
  cases.push_back(made<ZoPathOutlineInfo*>(
      "ZoPathAssignOutlineInfo", true,
      [] {
        ZoPathOutlineInfo* info = nullptr;
        ZoPathAssignOutlineInfo(1, 2, nullptr, 3, 4, nullptr, 5, nullptr, 6, 7, 8, 9, &info);
        return info;
      },
      [](ZoPathOutlineInfo* info) {
        ZoPath* owner = ZoPathCreate();
        ZoPathSetOutlineInfo(owner, info);
        ZoPathDeletePtr(owner, 0);
      }));
  static uint32_t dcPixels[64];
  cases.push_back(made<HDC>(
      "ZoPlatCreateMemoryDC", false, [] { return ZoPlatCreateMemoryDC(dcPixels, 8, 8, 8); },
      [](HDC dc) { ZoPlatDeleteDC(dc); }));
  cases.push_back(made<HRGN>(
      "ZoPlatCreateRectRgnIndirect", false,
      [] {
        RECT r{1, 2, 30, 40};
        return ZoPlatCreateRectRgnIndirect(&r);
      },
      [](HRGN r) { ZoPlatDeleteObject(r); }));
  cases.push_back(
      {"ZoPlatCombineRgn and ZoPlatSelectClipRgn", false, [] {
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

TEST_F(AllocationFailureTest, EveryAllocationOfEveryCallCanFailCleanly) {
  zo_test::run_alloc_sweep(sweep_cases());
}

}  // namespace
