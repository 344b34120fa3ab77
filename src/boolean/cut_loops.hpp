// What cutting along a line and along a path share: the subpaths being cut, the records of
// the points where closed subpaths meet the cut, their pairing, the closed loops walked from
// them, and handing the pieces back as one list, first side first.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "Zo32path.h"

namespace zo::cut {

inline constexpr int kFirstSide = 0;                        // right of a vertical cut (x > k)
inline constexpr int kSecondSide = 1;                       // left of it
inline constexpr int kNoSide = -1;                          // on the cut
inline constexpr uint32_t kKeepFlagsWhenCut = 0x73FFFFFFu;  // selection flags go
inline constexpr uint16_t kKeepTypeWhenCut = 0x77FF;        // node and segment marks go
inline constexpr uint32_t kPieceFlags = 0x9FFFFFFFu;        // pieces are no text

// One subpath of the list being cut: its nodes as the cut sees them (crossings inserted).
struct Subpath {
  ZoPath* source;
  std::vector<PathNode> nodes;
  std::vector<bool> onCut;  // per node: a segment end lying on the cut
  bool closed;
};

// Appends the closing segment of a closed figure that does not end where it starts, so that
// every closed node array repeats its start point as its last node.
void close_explicitly(Subpath* s);

// A point where a closed subpath meets the cut.
struct Record {
  uint32_t rank;
  uint32_t sub;
  uint32_t node;  // never 0: a closed subpath's start node is found as its last node
  double position;
  bool used[2];
};

class Records {
 public:
  void add(uint32_t sub, uint32_t node, double position);
  // Sorts by position (positions within 0.0001 keep the order they were added in) and ranks.
  void sort_and_rank();
  // Nonzero pairing couples ranks 0-1, 2-3 along the whole cut; zero couples consecutive
  // records of the same subpath.
  void pair(uint32_t pairing);
  int partner(int r) const { return partners_[static_cast<size_t>(r)]; }
  // The record at a node of a subpath, or -1.
  int at(uint32_t sub, uint32_t node) const;
  size_t size() const { return records_.size(); }
  Record& operator[](size_t i) { return records_[i]; }
  const Record& operator[](size_t i) const { return records_[i]; }
  void erase_subpath(uint32_t sub);

 private:
  std::vector<Record> records_;
  std::vector<int> partners_;
};

// A closed piece and the subpath it started from.
struct Loop {
  int side;
  uint32_t sub;
  std::vector<PathNode> nodes;
};

// How a loop walk sees the cut: which side a point lies on, and the nodes of the edge along
// the cut from one record to its partner (ending at the partner's point). The walk leaves a
// record into a side along the segment whose middle lies on that side, forwards first.
struct LoopRules {
  std::function<int(PointDB point)> side;
  std::function<void(const Record& from, const Record& to, std::vector<PathNode>* out)> edge;
  const char* overflowTrace;  // printf format with the buffer size
};

// Forms the closed loops of both sides, first side first, each starting at a record not yet
// used for its side. A loop that would pass bufferSize nodes is traced and abandoned.
void form_loops(const std::vector<Subpath>& subs, Records* records, size_t bufferSize,
                const LoopRules& rules, std::vector<Loop>* loops);

// A new record holding the nodes with the given flags (primitive kind 0), or null.
ZoPath* make_piece(const std::vector<PathNode>& nodes, uint32_t flags);

// The result of a cut before it replaces the list: the records leaving the list, and in
// order of making the subpaths of each side, kept whole or newly made.
struct Placed {
  ZoPath* path;
  int side;
  bool made;
};
struct Outcome {
  std::vector<ZoPath*> released;
  std::vector<Placed> placed;
};

// Replaces the list headed by *list with the outcome: every old subpath loses its selection
// and chains, the released ones go, and the two sides are chained behind sentinel records
// with ZoPathChainPaths, first side first. Allocates only the two sentinels; false (with the
// list unchanged and the new pieces released) when they cannot be made.
bool commit(ZoPath** list, Outcome* outcome);

// Releases the pieces made so far (after a failure).
void discard(Outcome* outcome);

// Clears a kept subpath's selection and its chain links (an attachment stays).
void strip_for_cut(ZoPath* p);

}  // namespace zo::cut
