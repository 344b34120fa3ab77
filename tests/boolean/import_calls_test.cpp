// Importing path text into a table, appending selected paths, and the text writer of the
// command-line tool reading back what it wrote.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "../model/list_snapshot.hpp"
#include "boolean/import_text.hpp"
#include "path_text.hpp"
#include "test_support.hpp"

namespace {

using zo_test::release_list;
using zo_test::snapshot_list;
using zo_test::snapshot_table;

class ImportCalls : public ZoTest {
 protected:
  // The name of a new file holding the text (valid until the next call).
  const char* write_temp(const std::string& text) {
    std::string name = (std::filesystem::temp_directory_path() /
                        ("zo_import_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                         std::to_string(files_++) + ".txt"))
                           .string();
    std::FILE* f = std::fopen(name.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    names_.push_back(name);
    return names_.back().c_str();
  }
  void TearDown() override {
    for (const std::string& n : names_) std::remove(n.c_str());
    ZoTest::TearDown();
  }
  std::vector<std::string> names_;
  int files_ = 0;
};

ZoPath* read_text(const std::string& text) { return zo::import_text::read_paths(text.data(), text.size()); }

TEST_F(ImportCalls, ImportDrawsAndAppendsAfterTheGroupsListAndSelection) {
  // A table whose group holds a selected and an unselected subpath, shown in a view with a
  // display buffer.
  ZoPath* existing = read_text("2 0\n0 0 6\n10 0 2\n2 0\n0 5 6\n10 5 2\n");
  existing->next->flags = 0;
  existing->selNext = nullptr;
  existing->next->selPrev = nullptr;
  CoordStruct view{};
  view.rcWindow = RECT{0, 0, 200, 150};
  view.zoom = 1.0;
  ZoPathTbl* table = nullptr;
  RECT changed;
  ASSERT_EQ(ZoPathAddPathGroup(&table, existing, "doc", &view, &changed), 1u);
  ASSERT_NE(view.lpDB, nullptr);

  RECT rect{1, 2, 3, 4};
  ASSERT_EQ(ZoPathImport(table, &view, &rect, write_temp("% two\n3 0\n20 20 6\n120 20 2\n120 90 3\n"
                                                         "2 1\n30 30 6\n40 40 2\n")),
            1u);
  ZoPath* a = existing->next->next;
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->prev, existing->next);
  EXPECT_EQ(existing->selNext, a);  // the selection chain's tail was the first subpath
  EXPECT_EQ(a->selPrev, existing);
  EXPECT_EQ(a->next->selPrev, a);
  EXPECT_EQ(table->groups[0].selected, existing);
  // Drawn: the changed rectangle covers the triangle and its outline is in the buffer.
  EXPECT_LE(rect.left, 20);
  EXPECT_GE(rect.right, 120);
  EXPECT_LE(rect.top, 20);
  EXPECT_GE(rect.bottom, 90);
  EXPECT_NE(view.lpDB[50 * 200 + 120], 0);

  // Failures leave the table as it was: a missing file is traced, a file without a complete
  // subpath reads nothing.
  std::string before = snapshot_table(table);
  EXPECT_EQ(ZoPathImport(table, &view, &rect, "/nonexistent/zo.txt"), 0u);
  EXPECT_NE(trace_text().find("file open error!"), std::string::npos);
  EXPECT_EQ(ZoPathImport(table, &view, &rect, write_temp("% nothing\n3 0\n1 1 6\n")), 0u);
  EXPECT_EQ(ZoPathImport(nullptr, &view, &rect, write_temp("1 0\n1 1 6\n")), 0u);
  EXPECT_EQ(snapshot_table(table), before);

  // An unselected path is not appended; into an empty group a selected one becomes its start.
  ZoPath* loose = ZoPathCreate();
  ZoPathPushBackNewS(table, loose);
  EXPECT_EQ(snapshot_table(table), before);
  ZoPathDeletePtr(loose, 0);
  ZoPathTbl* empty = nullptr;
  ASSERT_EQ(ZoPathNew(&empty), 1u);
  ZoPath* one = read_text("1 0\n1 1 6\n");
  ZoPathPushBackNewS(empty, one);
  EXPECT_EQ(empty->groups[0].first, one);
  EXPECT_EQ(empty->groups[0].selected, one);
  ZoPathPushBackNewS(nullptr, one);
  ZoPathTblDelete(empty);
  ZoPathTblDelete(table);
}

// Random path text (join runs, node kinds, coordinates on the 16.16 grid) read, written by the
// tool's writer and read again gives the same list.
TEST_F(ImportCalls, WrittenTextReadsBackToTheSameList) {
  std::mt19937 rng(31);
  std::uniform_int_distribution<int> coord(-30000 << 16, 30000 << 16);
  std::uniform_int_distribution<int> count(0, 9);
  std::uniform_int_distribution<int> type(0, 0xFFFF);
  std::bernoulli_distribution coin(0.5);
  for (int trial = 0; trial < 200; ++trial) {
    std::string text;
    for (int s = count(rng); s >= 0; --s) {
      int n = count(rng);
      text += std::to_string(n) + (coin(rng) ? " 1\n" : " 0\n");
      for (int i = 0; i < n; ++i) {
        char node[96];
        std::snprintf(node, sizeof node, "%.17g %.17g %d\n", coord(rng) / 65536.0, coord(rng) / 65536.0, type(rng));
        text += node;
      }
    }
    ZoPath* list = read_text(text);
    ASSERT_NE(list, nullptr);
    ZoPath* back = read_text(zopath::write_path_text(list));
    EXPECT_EQ(snapshot_list(back), snapshot_list(list)) << text;
    release_list(list);
    release_list(back);
  }
}

}  // namespace
