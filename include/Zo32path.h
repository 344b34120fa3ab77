/**
 * @file Zo32path.h
 *
 * Zo32path: the vector-path engine of the image editor.
 *
 * One flat C interface over the editor's vector objects. A drawing lives in a path table
 * (ZoPathTbl); the table holds groups; each group holds a list of subpath records (ZoPath),
 * and each record holds its nodes (PathNode) right after its header. Three chains run through
 * the records of one list: the list itself (prev/next), the join chain of a compound object
 * (joinPrev/joinNext) and the selection chain (selPrev/selNext).
 *
 * Coordinates are image pixels in 16.16 fixed point (Ptfx); arithmetic is done in doubles
 * (PointDB). Functions return 1 on success and 0 on failure unless stated; a null pointer
 * argument gives the failure value at once. A function that may move a record takes the
 * address of the record pointer and stores the new address back.
 *
 * Failures are reported to the host through its common library (c32SetDLLErrInfoA, module
 * number 2600): 1001 when an allocation failed, 3200 for an argument or state an operation
 * cannot handle. The call then returns its failure value and leaves its inputs as they were.
 *
 * All calls come from one thread; the library keeps module-wide state and is not re-entrant.
 *
 * Who frees what: records of a free-standing list with ZoPathDeletePtr, one by one along next
 * (a table frees its own lists in ZoPathTblDelete); tables with ZoPathTblDelete; view records
 * with ZoPathDeleteCoordStruct; library buffers and masks with ZoPathBufFree; global blocks
 * (stored blocks, the arrays of ZoPathToBuf) with ZoPlatGlobalFree. docs/HOST.md says what a
 * host provides and how to read the error reports.
 *
 * The header needs C99 or later, or C++ (it uses static inline functions); it is not C89.
 */
#ifndef ZO32PATH_H
#define ZO32PATH_H

#include "Zo32path_platform.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ========================================================================================
 * Records and fixed-point helpers
 * ======================================================================================== */

#define ZOPATH_VERSION 0x30000u  /* interface version returned by ZoPathInit */
#define ZOPATH_MODULE 2600u      /* this library's module number in host error reports */

/* Node type word: the segment kind in bits 1-2, closing, parameter and mark bits. */
#define PT_CLOSEFIGURE 0x0001
#define PT_LINETO 0x0002
#define PT_BEZIERTO 0x0004
#define PT_MOVETO 0x0006
#define PT_PARAM_PAIR 0x0100   /* two-node parameter run; on node 1: a frame shape */
#define PT_PARAM_SINGLE 0x0200 /* one-node parameter run */
#define PT_PARAM_PAIR2 0x0400  /* two-node parameter run; on node 1: excluded from bounds */
#define PT_SEGMENT_MARK 0x0800 /* the segment starting at this node is selected */
#define PT_SMOOTH 0x2000       /* smooth join between two curves */
#define PT_SELECTED 0x8000     /* the node is selected (on a curve's end point) */
#define PT_KIND_MASK 0x000E    /* segment kind: 2 line, 4 Bezier, 6 move */
#define PT_KIND_PARAM_MASK 0x07FE

/* Subpath flag word. */
#define ZOF_SELECTED 0x80000000u
#define ZOF_TEXT_CHAR 0x40000000u
#define ZOF_TEXT_LINE 0x20000000u
#define ZOF_TEXT_STYLE 0x10000000u
#define ZOF_HAS_SEL_POINTS 0x08000000u
#define ZOF_HAS_SEL_SEGMENT 0x04000000u
#define ZOF_BOOL_RESULT 0x02000000u
#define ZOF_BOOL_OPERAND 0x01000000u
#define ZOF_ENVELOPE_H 0x00100000u
#define ZOF_ENVELOPE_V 0x00200000u
#define ZOF_ENVELOPE_3 0x00400000u
#define ZOF_POLY_STYLE1 0x00040000u
#define ZOF_POLY_STYLE2 0x00080000u
#define ZOF_POLY_MARKS 0x000CE7E0u
#define ZOF_ATTACHMENT 0x00020000u
#define ZOF_WRAP_BASELINE 0x00010000u
#define ZOF_DRAWING 0x00001000u
#define ZOF_COLOR_PIECE 0x00000800u
#define ZOF_WRAP_MARKER 0x00000100u
#define ZOF_RICH_BAR 0x00000010u

#pragma pack(push, 1)
/* A point in 16.16 fixed point: one integer unit is one image pixel; y grows downwards.
 * Byte-aligned, because it lives unaligned inside the packed nodes. */
typedef struct Ptfx {
  int32_t x;
  int32_t y;
} Ptfx;
#pragma pack(pop)

typedef struct PointDB {
  double x;
  double y;
} PointDB;

/* A rectangle of doubles, left, top, right, bottom. */
typedef struct RectDB {
  double left;
  double top;
  double right;
  double bottom;
} RectDB;

#pragma pack(push, 1)
/* One node: 10 bytes, packed. */
typedef struct PathNode {
  uint16_t type;
  Ptfx pt;
} PathNode;
#pragma pack(pop)

/* A subpath record: this header followed directly by its nodes, in one path-heap block of
 * (capacity + 7) x 10 bytes. Only the first `count` nodes are valid; the node array is
 * declared with one element and extends to the record's capacity. */
typedef struct ZoPath {
  uint32_t version; /* 0 in memory; 0x500 once serialised */
  struct ZoPath* prev;
  struct ZoPath* next;
  struct ZoPath* joinPrev;
  struct ZoPath* joinNext; /* the owned outline information when flags has ZOF_ATTACHMENT */
  struct ZoPath* selPrev;
  struct ZoPath* selNext;
  uint32_t count;
  uint32_t flags;
  uint32_t primitiveKind;
  PathNode nodes[1];
} ZoPath;

/** The node array of a record: the declared one-element array extends to the capacity. */
static inline PathNode* ZoPathNodes(ZoPath* path) {
  return (PathNode*)((char*)path + offsetof(ZoPath, nodes));
}

/* One group of a path table. */
typedef struct PathGroup {
  uint32_t number;
  char name[260];
  ZoPath* first;    /* head of the group's path list */
  ZoPath* selected; /* head of the group's selection chain */
} PathGroup;

/* The size of a table's display buffer and the view it was made for. */
typedef struct ZoPathDBDesc {
  uint32_t width;
  uint32_t height;
  int32_t scrollX;
  int32_t scrollY;
  double zoom;
  uint32_t extra;        /* host key compared by ZoPathTblIsValid */
  uint32_t reserved[7];  /* not read by the library */
} ZoPathDBDesc;

/* A path table: this header followed by groupCount group entries, one path-heap block. */
typedef struct ZoPathTbl {
  uint32_t curGroup;
  uint32_t shown; /* 0x10000 after creation and whenever a group is added */
  uint32_t groupCount;
  uint8_t* lpDB; /* display buffer, one byte per window pixel, owned by the table */
  ZoPathDBDesc dbDesc;
  PathGroup groups[1];
} ZoPathTbl;

/* The view record: window rectangle, scroll, zoom and the table's display buffer. */
typedef struct CoordStruct {
  RECT rcWindow;
  int32_t scrollX;
  int32_t scrollY;
  double zoom;       /* window pixels per image pixel */
  uint8_t* lpDB;     /* the table's display buffer, or null */
  uint32_t reserved[8];
} CoordStruct;

/* Outline information: the attachment of an open line (arrowheads and outline values).
 * Owned by its subpath, which carries ZOF_ATTACHMENT and holds it in its joinNext slot. */
typedef struct ZoPathOutlineInfo {
  uint32_t startKind;
  uint32_t startSize;
  ZoPath* startTemplate;
  uint32_t endKind;
  uint32_t endSize;
  ZoPath* endTemplate;
  uint32_t thirdKind;
  uint32_t thirdZero;
  ZoPath* thirdTemplate;
  uint32_t values[4]; /* values[1] is the line width arrowheads are scaled to */
  uint64_t disable;   /* arrowheads are used only while this is 0 */
  uint64_t reserved[2];
} ZoPathOutlineInfo;

/* A point record of ZoPathR2VToZoPath: 24 bytes. */
typedef struct ZoPathR2VPoint {
  double x;
  double y;
  uint32_t type;
} ZoPathR2VPoint;

/**
 * Starts the library for a host: creates the path heap once (later calls only return the version).
 * Call it before anything else. Returns ZOPATH_VERSION (0x30000), or 0 when the heap cannot be
 * created. Failures of later calls are reported to the host's common library (c32SetDLLErrInfoA:
 * module ZOPATH_MODULE, code 1001 for memory, 3200 for an argument or state the call cannot
 * handle); that report is how a host learns why a call returned its failure value (docs/HOST.md).
 */
ZO_API uint32_t ZoPathInit(void);
/**
 * Creates a path table with one empty group and stores it in *table (set to null first). The table
 * is freed with ZoPathTblDelete. 1, or 0 for a null argument or when the table cannot be allocated
 * (nothing reported).
 */
ZO_API uint32_t ZoPathNew(ZoPathTbl** table);
/**
 * A new empty, free-standing subpath record (no nodes, capacity 100 nodes, all links null) in the
 * path heap. Grow it with ZoPathAddPoint; free it with ZoPathDeletePtr. Null when it cannot be
 * allocated (nothing reported).
 */
ZO_API ZoPath* ZoPathCreate(void);
/**
 * Appends one node (point in 16.16 image pixels, node type word PT_...) to the record. Growing the
 * record may move it: the new address is stored in *path, and list, join and selection neighbours
 * are re-pointed at it. 1, or 0 (record unchanged, nothing reported) for a null argument or when
 * the record cannot grow.
 */
ZO_API uint32_t ZoPathAddPoint(ZoPath** path, const Ptfx* point, uint16_t type);
/**
 * Shrinks the record's allocation to exactly (count + 7) x 10 bytes; may move it (the new address
 * is stored in *path and its neighbours follow). 1, or 0 for a null argument or a failed
 * reallocation (the record stays as it was).
 */
ZO_API uint32_t ZoPathPurge(ZoPath** path);
/**
 * Frees one record and, when it carries ZOF_ATTACHMENT, its outline information. Only this record
 * is freed: its list neighbours are neither freed nor re-linked. A free-standing list (one not held
 * by a table) is freed by walking it: take p->next, free p, repeat from the head. The second
 * argument is not used. 1, or 0 for null or a pointer that is not a live record (then nothing is
 * touched).
 */
ZO_API uint32_t ZoPathDeletePtr(ZoPath* path, uint32_t unused);
/**
 * Same as ZoPathDeletePtr: frees one record (and its attachment) without touching its neighbours.
 * 1, or 0 for null or a pointer that is not a live record.
 */
ZO_API uint32_t ZoPathDeletePtrSingle(ZoPath* path);
/**
 * Frees a table and everything it owns: every record of each group's path list (with their
 * attachments), the display buffer and the table itself. View records (CoordStruct) are not owned
 * by the table: free them with ZoPathDeleteCoordStruct. 1, or 0 for a null table.
 */
ZO_API uint32_t ZoPathTblDelete(ZoPathTbl* table);
/**
 * A new closed, selected subpath from n point records (ZoPathR2VPoint, 24 bytes each, image pixels
 * as doubles with a node type): node 0 becomes a move, the figure is closed back to the first point
 * (a closing line node is added when the last point differs from the first). The caller frees it
 * with ZoPathDeletePtr. Null for n < 1, a null array or when it cannot be allocated.
 */
ZO_API ZoPath* ZoPathR2VToZoPath(int32_t n, const ZoPathR2VPoint* points);

/**
 * Image pixels (double) to 16.16 fixed point: multiplies by 65536 and truncates toward zero. Values
 * outside the 32-bit range (beyond about +-32768 pixels, NaN) give INT32_MIN (0x80000000), which is
 * itself -32768 pixels: callers that may overflow must check their values first.
 */
ZO_API int32_t DbToFix(double value);
/**
 * 16.16 fixed point to image pixels: value / 65536, exact.
 */
ZO_API double FixToDb(int32_t value);
/**
 * The sum of two points, each coordinate added with 32-bit wrap-around.
 */
ZO_API Ptfx PtfxAdd(Ptfx a, Ptfx b);

/* ========================================================================================
 * Tables, groups and chains
 * ======================================================================================== */

/**
 * Reads the table's current state: each non-null out receives the current group index, the current
 * group's first subpath (its path list), its selected subpath (head of the selection chain) and
 * whether the table is shown (1 or 0). A null table leaves the outs untouched.
 */
ZO_API void ZoPathFind(ZoPathTbl* table, uint32_t* curGroup, ZoPath** first, ZoPath** selected,
                       uint32_t* shown);
/**
 * Stores the table's number of groups in *groupCount (0 for a null table).
 */
ZO_API void ZoPathFindGroups(ZoPathTbl* table, uint32_t* groupCount);
/**
 * Stores in *name the address of the name of group `index` (0-based; the table keeps the string, up
 * to 259 characters), or null when the index is out of range. A null table leaves *name untouched.
 */
ZO_API void ZoPathFindGroupName(ZoPathTbl* table, int32_t index, char** name);
/** Adds the list as a new group (or creates the table with its display buffer), then draws
 * it; out receives the window rectangle that changed. */
ZO_API uint32_t ZoPathAddPathGroup(ZoPathTbl** table, ZoPath* list, const char* name,
                                   CoordStruct* view, RECT* out);
/**
 * Makes the list (may be null) the current group's path list and its first selected subpath (in
 * list order) the group's selected subpath. The table does not copy the list: it owns it from now
 * on (ZoPathTblDelete frees it). 1, or 0 for a null table.
 */
ZO_API uint32_t ZoPathAssignActivePath(ZoPathTbl* table, ZoPath* list);
/**
 * Makes the head of the path's selection chain the current group's selected subpath (null clears
 * it). 1; 0 when the path is not selected (nothing changes).
 */
ZO_API uint32_t ZoPathAssignSelectedPath(ZoPathTbl* table, ZoPath* path);
/**
 * Finds the first selected subpath of the path's list (from the list head) and passes it to
 * ZoPathAssignSelectedPath (null when none is selected). 1, or 0 for a null path.
 */
ZO_API uint32_t ZoPathAssignSelectedPathBlindly(ZoPathTbl* table, ZoPath* path);
/** Appends a selected path (with the rest of its list) at the tails of the current group's path
 * list and selection chain; nothing happens for an unselected path. */
ZO_API void ZoPathPushBackNewS(ZoPathTbl* table, ZoPath* path);
/** Reads a path list from a path text file (header lines "COUNT JOIN" followed by COUNT node
 * records "X Y TYPE", "%" comment lines and block comments), draws it into the
 * view, appends it with ZoPathPushBackNewS and returns 1. 0 when the file cannot be opened
 * (traced as "file open error!") or holds no complete subpath. */
ZO_API uint32_t ZoPathImport(ZoPathTbl* table, CoordStruct* view, RECT* rect, const char* fileName);

/**
 * Links the n records of the array in order, both as a list (prev/next) and as one join chain
 * (joinPrev/joinNext), and returns the first. For n <= 1 nothing is linked and paths[0] is
 * returned. Nothing is allocated.
 */
ZO_API ZoPath* ZoPathChainZoPath(uint32_t n, ZoPath** paths);
/**
 * Appends the list `append` (from its head) after the tail of *list; when *list is null it becomes
 * `append`. 1, or 0 when append is null.
 */
ZO_API uint32_t ZoPathChainPaths(ZoPath** list, ZoPath* append);
/**
 * Joins the selection into one compound object: from the head of the path's selection chain, the
 * join chain is made equal to the selection chain. 1; 0 when the path is not selected or carries an
 * attachment.
 */
ZO_API uint32_t ZoPathJoin(ZoPath* path);
/**
 * Joins the whole list into one compound object (the join chain equals the list). 1; 0 for a null
 * path or one carrying an attachment.
 */
ZO_API uint32_t ZoPathJoinAll(ZoPath* path);
/**
 * Splits every member of the path's selection chain out of its join chain. 1; 0 when the path is
 * not selected or carries an attachment.
 */
ZO_API uint32_t ZoPathDisjoin(ZoPath* path);
/**
 * Splits every subpath of the list out of its join chain; first repairs any last node whose type
 * word is 0 into PT_BEZIERTO | PT_CLOSEFIGURE (with a debug trace). 1; 0 for a null path or one
 * carrying an attachment.
 */
ZO_API uint32_t ZoPathDisjoinAll(ZoPath* path);
/**
 * Selects the whole list: every subpath gets ZOF_SELECTED (node and segment selections are cleared
 * first) and the selection chain becomes equal to the list. 1, or 0 for null.
 */
ZO_API uint32_t ZoPathAllPathSelected(ZoPath* path);
/**
 * Puts newPath in oldPath's place: newPath takes all six links of oldPath, the neighbours in all
 * three chains and group 0's first and selected entries are re-pointed to it, and oldPath's links
 * are cleared (oldPath is not freed: the caller frees it). Nothing happens when either path is
 * null.
 */
ZO_API void ZoPathExchangeSubpathInTable(ZoPathTbl* table, ZoPath* oldPath, ZoPath* newPath);
/**
 * Takes the selected subpaths out of the table's group 0 and returns them as a free-standing list
 * (the caller owns it: free each record with ZoPathDeletePtr, or hand it back to a table). Null for
 * a null table or when group 0 has no selection.
 */
ZO_API ZoPath* ZoPathSeparateSelectedPathFromTable(ZoPathTbl* table);

/**
 * Deep copy of the whole list (from its head): records, the three chains and outline information.
 * *copy receives the copy's head (a free-standing list owned by the caller). 1, or 0 with *copy
 * null when memory runs out (error 1001; the original is unchanged).
 */
ZO_API uint32_t ZoPathDuplicatePtr(ZoPath* list, ZoPath** copy);
/**
 * Copy of one record with all links cleared and its outline information duplicated; *copy receives
 * it (free it with ZoPathDeletePtr). 1, or 0 with *copy null on failure (error 1001).
 */
ZO_API uint32_t ZoPathDuplicatePtrSingle(ZoPath* path, ZoPath** copy);
/** Duplicates the current selection 15 window pixels right and down; the copies become the
 * selection. */
ZO_API uint32_t ZoPathDuplicate(HDC dc, ZoPathTbl* table, CoordStruct* view, RECT* out);

/**
 * Deletes the selected points of the current group's selected subpath when it has any (and the
 * figure stays valid), else the selected subpaths, erasing them from the view's display buffer; out
 * (may be null) receives the window rectangle to repaint. 1, or 0 for a null table or view, when
 * nothing is selected or memory runs out (error 1001).
 */
ZO_API uint32_t ZoPathDelete(ZoPathTbl* table, CoordStruct* view, RECT* out);
/**
 * As ZoPathDelete without drawing; out receives the selected subpath's rectangle
 * (ZoPathGetMiniMaxRect at scale 1, margin included) taken before the deletion. 1 or 0.
 */
ZO_API uint32_t ZoPathDeleteLink(ZoPathTbl* table, CoordStruct* view, RECT* out);
/**
 * Removes the last segment of an open figure being drawn (one node for a line, three for a cubic).
 * 1 when a segment was removed, 0 when the record has fewer than 2 nodes or its last node is
 * neither.
 */
ZO_API uint32_t ZoPathDeleteLinkLastSegment(ZoPath* path);
/**
 * Unlinks the record from the list whose head is *head (from all three chains; *head moves on when
 * the head itself is removed) and frees it. Nothing happens for null arguments or when the record
 * is not in the list.
 */
ZO_API void ZoPathDeleteNodeFromList(ZoPath** head, ZoPath* path);

/**
 * Number of subpaths in the list from its head; 0 for null.
 */
ZO_API uint32_t ZoPathGetSubpathsNumber(ZoPath* list);
/**
 * The record's node count; 0 for null.
 */
ZO_API uint32_t ZoPathGetPointsNumber(ZoPath* path);
/**
 * Returns the record's node count; when points is non-null it also receives every node's point in
 * pixels (FixToDb), parameter nodes included, so it must hold count entries. 0 for a null record.
 */
ZO_API uint32_t ZoPathDeComposeSubpath(ZoPath* path, PointDB* points);
/**
 * Kept for the host's diagnostics menu; does nothing.
 */
ZO_API void ZoPathOutputSubpathInfo(ZoPath* path);
/**
 * Kind of segment `index` (the segment ending at node index + 1): 1 line, 2 Bezier, 3 other, 0 past
 * the end or for a null record.
 */
ZO_API uint32_t ZoPathGetSegmentType(ZoPath* path, int32_t index);
/**
 * *number receives how many subpaths of the list carry ZOF_TEXT_CHAR (mode 1), ZOF_TEXT_LINE (mode
 * 2) or ZOF_COLOR_PIECE (any other mode). 1, or 0 for null arguments.
 */
ZO_API uint32_t ZoPathGetSubpathsFlagNumber(ZoPath* list, int32_t mode, uint32_t* number);
/**
 * Change stamp of a list: the sum of the subpaths' node counts plus one for each subpath carrying
 * ZOF_TEXT_STYLE. 0 for null.
 */
ZO_API uint32_t ZoPathGetCS(ZoPath* list);
/**
 * 1 when the record stands alone (no prev, no next), has nodes and is not closed; else 0.
 */
ZO_API uint32_t ZoPathIsSingleOpenPath(ZoPath* path);
/**
 * How far the record can be reduced: 1 more than minimal, 0 minimal, -1 degenerate.
 */
ZO_API int32_t ZoPathIsSimplestSubpath(ZoPath* path);
/**
 * 1 when deleting the record's selected points leaves a valid figure, else 0.
 */
ZO_API uint32_t ZoPathSelectedPointsCanBeDelete(ZoPath* path);
/**
 * 1 when the record's first selected segment can switch between line and cubic, else 0.
 */
ZO_API uint32_t ZoPathSelectedSegmentCanBeConverted(ZoPath* path);
/**
 * 1 when the record is selected, has a selected segment and one of its selected segments is a line
 * (it can become a cubic); else 0.
 */
ZO_API uint32_t ZoPathSelectedSegmentCanBeConvertedToCurve(ZoPath* path);
/**
 * 1 when the record is selected, has a selected segment and its selected cubic segments can become
 * lines; else 0.
 */
ZO_API uint32_t ZoPathSelectedSegmentCanBeConvertedToLine(ZoPath* path);

/* ========================================================================================
 * Bounds and margins
 * scale is 16.16 (65536 = 1.0). Integer rectangles include their extreme coordinates.
 * ======================================================================================== */

/**
 * Integer rectangle (right and bottom inclusive) of the join chain starting at the record, at the
 * 16.16 scale, widened by the library's bounds margin (a few pixels on each side, see
 * ZoPathGetMargin). 1, or 0 for null arguments.
 */
ZO_API uint32_t ZoPathGetMiniMaxRect(ZoPath* path, uint32_t scale, RECT* out);
/**
 * As ZoPathGetMiniMaxRect over the path list from the record to its tail (margin included). 1, or 0
 * for null arguments.
 */
ZO_API uint32_t ZoPathGetAllMiniMaxRect(ZoPath* path, uint32_t scale, RECT* out);
/**
 * As ZoPathGetMiniMaxRect over the selection chain from the record (margin included). 1 or 0.
 */
ZO_API uint32_t ZoPathGetSelectedRect(ZoPath* path, uint32_t scale, RECT* out);
/**
 * Same rectangle as ZoPathGetAllMiniMaxRect (the list from the record, margin included). 1 or 0.
 */
ZO_API uint32_t ZoPathGetUnselectedRect(ZoPath* path, uint32_t scale, RECT* out);
/**
 * Integer rectangle of this one record at the scale, rounded, without margin. A null out does
 * nothing; a null record gives an empty rectangle.
 */
ZO_API void ZoPathGetRect(ZoPath* path, uint32_t scale, RECT* out);
/**
 * Double rectangle at the 16.16 scale with the margin: of the join chain from the record (join
 * non-zero) or of the path list from it (join 0). 1, or 0 for null arguments.
 */
ZO_API uint32_t ZoPathGetDoubleMiniMaxRect(ZoPath* path, uint32_t scale, RectDB* out,
                                           uint32_t join);
/**
 * As ZoPathGetDoubleMiniMaxRect at scale 1 without margin: the extreme node coordinates, control
 * points included. 1 or 0.
 */
ZO_API uint32_t ZoPathGetDoubleRectNoMargin(ZoPath* path, RectDB* out, uint32_t join);
/**
 * The shape rectangle at scale 1 without margin: curves are followed, so control points off the
 * curve do not count. join as in ZoPathGetDoubleMiniMaxRect. 1 or 0.
 */
ZO_API uint32_t ZoPathGetDoubleShapeRectNoMargin(ZoPath* path, RectDB* out, uint32_t join);
/**
 * margins receives the bounds margin in pixels per side (left, top, right, bottom) that the
 * rectangle calls add for the list in the given mode. 1, or 0 for null arguments or a list whose
 * head carries an attachment.
 */
ZO_API uint32_t ZoPathGetMargin(ZoPath* list, int32_t mode, uint32_t margins[4]);
/**
 * A free-standing copy of the n-th subpath of the list (1-based, from the head): flags 0, all links
 * null, no attachment. The caller frees it with ZoPathDeletePtr. Null when n is 0, the list is
 * shorter or null, or memory runs out.
 */
ZO_API ZoPath* ZoPathExtractSingleSubPath(ZoPath* list, uint32_t n);

/* ========================================================================================
 * Storage, subdivision and length
 * A stored block is a movable global memory block: a directory of (tag, size) entries, the
 * records with their links as tags, and the head's outline information when it has one.
 * ======================================================================================== */

/**
 * Stores the whole list (from its head) as one stored block. *size receives the block's size in
 * bytes; with a non-null block, *block receives a new movable global block of that size that the
 * caller owns (ZoPlatGlobalLock to read it, ZoPlatGlobalFree to free it). With a null block only
 * the size is computed. 1, or 0 with *block null when memory runs out (error 1001).
 */
ZO_API uint32_t ZoPathFlatten(ZoPath* list, uint32_t* size, HGLOBAL* block);
/**
 * Reads a stored block (any of the three record layouts) back into a new free-standing list: *list
 * receives its head (null for an empty directory); the caller frees it record by record
 * (ZoPathDeletePtr) or hands it to a table. The block stays the caller's. Every read is bounded by
 * the block's size: a truncated or corrupt block gives 0 and leaves nothing allocated (as does
 * running out of memory, error 1001).
 */
ZO_API uint32_t ZoPathUnFlatten(HGLOBAL* block, ZoPath** list);
/**
 * Inserts a node into segment `index` of the record at parameter t (0-65535 along the segment). May
 * move the record: returns its (new) address, whose neighbours and the table's group entries (table
 * may be null) follow it. Null when the segment does not exist or memory runs out (error 1001; the
 * record is unchanged).
 */
ZO_API ZoPath* ZoPathSubdivide(ZoPathTbl* table, ZoPath* path, uint32_t index, uint16_t t);
/**
 * Length in pixels of the record's segments, curves followed. By definition the closing segment of
 * a closed figure (from its last node back to the first) is not counted. 0 for null.
 */
ZO_API double ZoPathGetLength(ZoPath* path);
/**
 * Sets the library-wide trimmed-ribbon switch (non-zero on).
 */
ZO_API void ZoPathDoTrimmedRibbon(int32_t on);
/**
 * The trimmed-ribbon switch's value.
 */
ZO_API int32_t ZoPathIsTrimmedRibbonEnabled(void);

/* ========================================================================================
 * Outline information (the attachment of an open line)
 * ======================================================================================== */

/** Makes *info when it is null; otherwise replaces a slot's template only when its keys change
 * (a template not kept is released) and always replaces the four outline values. */
ZO_API uint32_t ZoPathAssignOutlineInfo(uint32_t startKind, uint32_t startSize, ZoPath* startTemplate,
                                        uint32_t endKind, uint32_t endSize, ZoPath* endTemplate,
                                        uint32_t thirdKind, ZoPath* thirdTemplate, uint32_t value1,
                                        uint32_t value2, uint32_t value3, uint32_t value4,
                                        ZoPathOutlineInfo** info);
/** Hangs the record on the subpath, which then owns it. */
ZO_API uint32_t ZoPathSetOutlineInfo(ZoPath* path, ZoPathOutlineInfo* info);
/**
 * *info receives the record's outline information (owned by the record) and the result is 1 when
 * the record carries ZOF_ATTACHMENT and has one; otherwise *info is null and the result 0.
 */
ZO_API uint32_t ZoPathGetOutlineInfo(ZoPath* path, ZoPathOutlineInfo** info);

/* Arrowheads. A template is a subpath list pointing along +x, measured from the node
 * positions of its first subpath (control points included): the left-most node (first met
 * on ties) and the next left-most give the base, half-base b = |y1 - y2| / 2; length l =
 * largest x - smallest x; half-height h = (largest y - smallest y) / 2. A template with
 * fewer than two nodes or b = 0 is treated as absent. A line's arrows are used only while
 * the record's disable word is 0; each is w l / b long at the record width w = values[1].
 * With L = ZoPathGetLength(line), a start arrow longer than 99 with length - L >= 50 and an
 * end arrow longer than 99 and longer than L are dropped; then, with L' = L - end length,
 * neither is drawn when L' < 0 or the start length exceeds L or L'. */

/** The arrow sizes of an outlined line at a given width: for each arrow drawn, scale s =
 * width / b, length s l and width 2 s h; flags and sizes 0 for an arrow not drawn (all of
 * them when the arrows do not fit, which is judged at the record's width).
 * @return 1; 0 (nothing written) when the subpath has no outline information or an output
 *         pointer is null. */
ZO_API uint32_t ZoPathGetArrowWidthHeight(ZoPath* path, double width, uint32_t* hasStart,
                                          double* startLength, double* startWidth,
                                          uint32_t* hasEnd, double* endLength, double* endWidth);
/** A copy of an outlined line shortened at each arrowed end by that arrow's length measured
 * along the line (a cubic is split where its length reaches the cut, found by bisection to
 * 1/65536 pixel); untouched nodes are copied exactly, and a line whose arrows are not drawn
 * is copied whole. The copy has no links and no attachment; the caller deletes it with
 * ZoPathDeletePtr.
 * @return 1; 0 for a subpath without outline information, one with prev or next, a null
 *         body, or an allocation failure (error 1001, nothing allocated). */
ZO_API uint32_t ZoPathGetLineArrowBody(ZoPath* path, ZoPath** body);
/** Fills one arrowhead of an outlined line into a mask.
 * With a null path: returns trunc(b x 99 / h) of startTemplate (or, when it is null, of
 * endTemplate); 0 without a usable template.
 * Otherwise the template drawn is startTemplate when the line's start arrow is drawn and
 * startTemplate is given, else endTemplate when the end arrow is drawn (so a host passes one
 * template per call). Its copy is moved by the anchor offset (-smallest x - 1, -(y1 + y2) /
 * 2), scaled by width / b, turned from +x onto the line's end direction (the end segment's
 * tangent at the end; at the start the reversed tangent at the first node; a degenerate
 * cubic falls back to P3 - P1 and P3 - P0) and moved so that its tip lies on the line's end
 * point and its base the arrow's length back along that direction, where
 * ZoPathGetLineArrowBody ends the body on a straight end. It is then filled with the
 * non-zero winding rule like ZoPathToPartialBuf and deleted.
 * @param width the line width the arrow is scaled to (pixels, > 0).
 * @param mask a library 8-bit buffer whose pixel (0, 0) lies at origin in image coordinates
 *        (x in the low, y in the high signed 32 bits).
 * @param aaMode as ZoPathToPartialBuf: ZOMASK_AA_BILEVEL, ZOMASK_AA_SMOOTH, ...
 * @return 1 after filling; 0 without a template to draw, without outline information or a
 *         mask, when the arrows are not drawn, for a width that is not positive or would
 *         place the arrow outside +-32767 pixels (error 3200), or when memory runs out
 *         (1001). */
ZO_API uint32_t ZoPathRenderArrowHead(ZoPath* path, ZoPath* startTemplate, ZoPath* endTemplate,
                                      double width, uint8_t* mask, int64_t origin,
                                      uint32_t aaMode);

/* Records of the host's text splitting, each a fixed global memory block (ZoPlatGlobalAlloc
 * with GMEM_FIXED) so that the library can free them. */
typedef struct ZoPathCoord {
  struct ZoPathCoord* next; /* next record of the chain, or null */
  PointDB point;            /* a position of the split text */
  uint32_t index;           /* the character it belongs to */
} ZoPathCoord;
typedef struct ZoPathTextRun {
  char* text;      /* the run's text, NUL-terminated, its own fixed global block (or null) */
  int32_t start;   /* first character in the source text */
  int32_t length;  /* characters in the run */
} ZoPathTextRun;

/** Frees a chain of ZoPathCoord records linked by next, stopping at a record that is not a
 * live global block. @return 1; 0 for a null chain. */
ZO_API uint32_t ZoPathDeleteCoord(ZoPathCoord* chain);
/** Frees the two arrays of a text split, each a fixed global block of pointers (byte size /
 * 8 entries): each run record of the first array with its text, each block of the second
 * array (any contents), then both arrays. Null arrays and entries are skipped.
 * @return 1. */
ZO_API uint32_t ZoPathSplitTextDelREandPTArray(ZoPathTextRun** runs, uint32_t runsBytes,
                                               void** points, uint32_t pointsBytes);

/* ========================================================================================
 * Lighting settings and shading tables
 * Module-wide settings read by the lit renderers: four lights with Phong and metallic terms,
 * their directions, a gamma table, a metal reflectance table and the bevel profiles. Read
 * them back whole with ZoPlatGetLightingState (platform header).
 *
 * Bevel profiles (profileKind), each a height h(t) rising from 0 at the outline to 1 at the
 * inner end of the bevel, t = distance to the outline / bevel width, tabulated in 4096
 * steps (sampled at the middle of each step) with the slope h'(t):
 *   0   flat chamfer  h = t
 *   1   round         h = sqrt(1 - (1 - t)^2)          (quarter circle, steep at the outline)
 *   100 cove          h = 1 - sqrt(1 - t^2)            (hollow quarter circle)
 *   101 ogee          h = 3t^2 - 2t^3                  (smooth S-step)
 *   102 ridge         h = 1 - |2t - 1|                 (up to a crest in the middle and down)
 *   103 two steps     h = t + sin(4 pi t) / (4 pi)     (two terraces)
 *   104 ripple        h = (1 - cos(3 pi t)) / 2        (two crests)
 *   any other kind is kind 0.
 * profileMode 1 turns a profile end for end, h(t) = 1 - H(1 - t); other modes leave it. The
 * inverted flag (non-zero) then makes a groove of it: 1 - h, slope negated.
 * ======================================================================================== */

/** Sets the Phong lighting of the four lights.
 * @param exponents four highlight exponents; light i gets exponents[i], or 1.0 for 0.
 * @param intensities four intensities in percent: intensity[i] = intensities[i] / 100, and
 *        diffuse[i] = intensity[i] x 0.3 + 0.7 / lightCount.
 * @param ambientColour packed colour (low byte red, then green, then blue).
 * @param lightColours four 4-byte colour entries; light i takes the first three bytes
 *        (red, green, blue) of entry i.
 * @param lightCount number of lights in use, 1 or more.
 * @param ambientPercent ambient factor a = ambientPercent / 100; the ambient colour becomes
 *        (trunc(red x a), trunc(green x a), trunc(blue x a)), each held to 0-255.
 * @return 1; 0 for a null array, or for lightCount <= 0 (error 3200), nothing changed. */
ZO_API uint32_t ZoPathAdjPhongIllum(const int32_t* exponents, const int32_t* intensities,
                                    uint32_t ambientColour, const uint8_t* lightColours,
                                    int32_t lightCount, int32_t ambientPercent);
/** Sets the metallic lighting of the four lights.
 * @param exponentSettings four settings: exponent[i] = setting x 0.06 + 2.0.
 * @param intensitySettings four settings: intensity[i] = setting x 0.02 + 0.8, and
 *        diffuse[i] = (intensity[i] - 0.8) x 0.5 x 0.3 + 0.2 / lightCount.
 * @param lightCount number of lights in use, 1 or more.
 * @param ambientPercent metallic ambient factor = ambientPercent / 100.
 * @return 1; 0 for a null array, or for lightCount <= 0 (error 3200), nothing changed. */
ZO_API uint32_t ZoPathAdjMetallicIllum(const int32_t* exponentSettings,
                                       const int32_t* intensitySettings, int32_t lightCount,
                                       int32_t ambientPercent);
/** Chooses the metal of the reflectance table: 1000 Fresnel reflectances (index i is the
 * cosine i / 1000) of a conductor with the metal's refractive index n + ik: kind 1 (0.617,
 * 2.63), 2 (0.37, 2.82), 3 (0.177, 3.638), 4 (2.485, 3.433); any other kind takes kind 1's
 * constants and is recorded as itself. The table lives in a zero-filled 8212-byte global
 * block made (and filled for kind 1) on the first call and released when the library
 * unloads; it is recomputed only when the kind changes.
 * @return 1; 0 when the block cannot be allocated (error 1001, nothing changed). */
ZO_API uint32_t ZoPathSetMetallicEffect(int32_t kind);
/** Fills the gamma table: entry v = trunc((v / 255)^0.625 x 255). */
ZO_API void ShadingGammaToMap(void);
/** Moves light lightIndex so that its highlight falls on a picked pixel of a bevelled object.
 * Reads the pixel's distance vector (dx, dy), pointing from the pixel to the nearest point of
 * the outline, from pixel *pixelIndex of distanceBuffer (8 bytes a pixel): two floats when
 * floatMode is non-zero, else two signed 16-bit values with 8 fraction bits. The surface
 * normal there is N = normalise(s dx / d, s dy / d, z), d = |(dx, dy)|, s the profile's slope
 * at index min(trunc(d / width x 4096), 4095), z = 30 / depthScale (1 when depthScale is 0);
 * a vector below 1e-6 in both components, a non-finite one or a width that is not positive
 * gives N = (0, 0, 1). The light's direction becomes (2 Nz Nx, 2 Nz Ny, 2 Nz^2 - 1), the
 * direction whose mirror image at N points at the viewer.
 * @param width bevel width in pixels.
 * @param profileKind, inverted, profileMode the bevel profile (see above).
 * @param depthScale 0, or the height scale described above.
 * @param out receives the new direction (three doubles).
 * @return 1; 0 for a null pointer, or for lightIndex outside 0-3 (error 3200), nothing
 *         written. */
ZO_API uint32_t ZopathChangeLightNormal(double width, uint32_t profileKind, uint32_t inverted,
                                        uint32_t depthScale, const uint32_t* pixelIndex,
                                        int32_t floatMode, const uint8_t* distanceBuffer,
                                        uint32_t profileMode, int32_t lightIndex, double* out);

/* ========================================================================================
 * 3-D projection
 * Rotation arithmetic on 3-D vectors (three doubles x, y, z) and row-major 3x3 matrices
 * (nine doubles m0 m1 m2 / m3 m4 m5 / m6 m7 m8). Points are row vectors multiplied from the
 * left: x' = x m0 + y m3 + z m6, y' = x m1 + y m4 + z m7, z' = x m2 + y m5 + z m8. Angles are
 * degrees, turned into radians with pi = 3.14159 (the depth buffer's focal distance uses
 * 3.1415926535898).
 *
 * A node (x, y) at object depth d is seen through a Transform3D as follows: P0 = (x - centre
 * x, y - centre y, d); P1 = P0 x matrix; P = (P1.x + target x, P1.y + target y, P1.z +
 * zOffset); with the eye E = (centre x, centre y, f), f = viewExtent / tan(fieldOfView / 2),
 * and k = f / (f - P.z), its position is (E.x + (P.x - E.x) k, E.y + (P.y - E.y) k). A field
 * of view of 0 gives an infinite f: parallel rays (k = 1). Points at or behind the eye give
 * positions that saturate when stored (Ptfx and integer results never wrap).
 *
 * The object of a path: from the head of its list along joinNext, stopping after a subpath
 * with an attachment (ZOF_ATTACHMENT) or at the end of the join chain. Within a subpath the
 * move, line and Bezier nodes are points; parameter runs are passed over.
 * ======================================================================================== */

/* The host's 3-D transform record (144 bytes read; a host record may be longer). */
typedef struct Transform3D {
  int32_t centreX;    /* 16.16: the pivot of the rotation and the eye's x */
  int32_t centreY;    /* 16.16: the pivot's and the eye's y */
  int32_t targetX;    /* 16.16: where the pivot lands after rotation */
  int32_t targetY;
  double viewExtent;  /* with fieldOfView, gives the focal distance */
  double unused1;     /* not read */
  double fieldOfView; /* degrees */
  double unused2[4];  /* not read */
  double matrix[9];   /* the rotation, row-major */
} Transform3D;

/** Writes the matrix of the rotation by theta about a unit axis u (s = sinTheta, c =
 * cosTheta): m0 = ux^2 + (1 - ux^2) c, m4 = uy^2 + (1 - uy^2) c, m8 = uz^2 + (1 - uz^2) c,
 * m1 = ux uy (1 - c) + uz s, m3 = ux uy (1 - c) - uz s, m2 = ux uz (1 - c) - uy s,
 * m6 = ux uz (1 - c) + uy s, m5 = uy uz (1 - c) + ux s, m7 = uy uz (1 - c) - ux s.
 * @param axis three doubles, expected of unit length (not normalised here).
 * @param matrix receives nine doubles; nothing is written when sinTheta is exactly 0 or a
 *        pointer is null. */
ZO_API void VThitaGetMatrix(double sinTheta, double cosTheta, const double* axis, double* matrix);
/** Replaces the point (three doubles) by point x matrix, in place. Null pointers: nothing. */
ZO_API void RotatePoint3D(double* point, const double* matrix);
/** out = a . b, the row-major product (out[i][j] = sum over k of a[i][k] b[k][j]). out may be
 * a or b: the product is formed first. Null pointers: nothing written. */
ZO_API void Matrix3X3(const double* a, const double* b, double* out);
/** Re-orthonormalises a drifted rotation matrix in place: r1 = normalise(r1), r0 =
 * normalise(r1 x r2), r2 = normalise(r0 x r1); row r1 keeps its direction. A zero row stays
 * zero. Null: nothing. */
ZO_API void ORMatrix(double* matrix);
/** Composes two axis-angle turns (degrees) into one. With one angle 0 the other turn is
 * copied unchanged (axis not normalised). Otherwise the axes are normalised and the angles
 * brought into [0, 360); parallel axes add (same direction) or subtract (opposite) the
 * angles; other axes give the rotation about p1 x p2 that carries p1 onto p2, where p1 is
 * the axes' common normal n turned by -angle1 about axis1 and p2 is n turned by angle2 about
 * axis2. This is not the exact product of the two rotations in general.
 * @param outAxis receives three doubles (unit length unless the turn is degenerate).
 * @param outAngle receives the angle in degrees, in [0, 360) for parallel axes, [0, 180]
 *        otherwise.
 * @return 1; 0 when both angles are 0 or a pointer is null (nothing written). */
ZO_API uint32_t AddRotation(const double* axis1, double angle1, const double* axis2,
                            double angle2, double* outAxis, double* outAngle);

/** Projects every node of the path's object in place (object depth 0, then zOffset), storing
 * each position back with DbToFix (truncation, saturating). keepTag 0 clears each visited
 * subpath's primitive kind; every visited polygon or star loses its polygon marks (it is no
 * longer regular). Null path or transform: nothing. */
ZO_API void ZoPathTo3D(ZoPath* path, const Transform3D* transform, double zOffset,
                       uint32_t keepTag);
/** Projects one point: P0 = (point.x + dx - eye[0], point.y + dy - eye[1], 0); P = P0 x
 * matrix + (target[0], target[1], zOffset); out = the projection of P from the eye (eye[2]
 * is the focal distance), minus origin.
 * @return origin; null (nothing written) when a pointer is null. */
ZO_API POINT* ZoProject2DTO3D(double dx, double dy, PointDB* out, const POINT* point,
                              POINT* origin, const double* eye, const double* target,
                              const double* matrix, double zOffset);
/** Draws the object as a wire frame on dc with its current pen and raster operation. First
 * the four corners (+-halfWidth, +-halfHeight, 0) are turned by the matrix; when one lies
 * beyond the eye (zOffset + z > f), the first 144 bytes of *transform are overwritten with
 * the last accepted transform (all zero at load) and tested again: if that fails too,
 * nothing is drawn. A passing transform becomes the last accepted one. Each node is drawn
 * at depth 0 (front) and, when depth is not 0, at depth -depth (back), front first: a move
 * goes to the front point (and draws front to back), a line draws previous front to front,
 * then to back and back to the previous back point, a cubic draws the front curve, then to
 * the back end point and the back curve reversed. Window position: with zoom < 1, left +
 * trunc(zoom x) - scrollX, otherwise left + trunc((x + 0.5) zoom) - scrollX (likewise y with
 * top). Null path, view or transform: nothing. */
ZO_API void ZoPath3DWireFrame(HDC dc, ZoPath* path, double halfWidth, double halfHeight,
                              const CoordStruct* view, Transform3D* transform, double depth,
                              double zOffset);
/** The integer bounds (left, top, right, bottom) of the projected object without zOffset:
 * seeded with the projection of the integer midpoint of the head's first two nodes, widened
 * by every node at object depth frontDepth and, when depth is not 0, at -depth, each
 * coordinate truncated (saturating); then 5 is taken off left and top and 6 added to right
 * and bottom. @return 1; 0 for a null argument or an empty head (nothing written). */
ZO_API uint32_t ZoPathGet3DMiniMaxRect(ZoPath* path, const Transform3D* transform,
                                       double frontDepth, double depth, RECT* out);
/** Fills *buffer with the depths of the object's bounding quadrilateral as 32-bit floats (a
 * library buffer of 32 bits a pixel; ZoPathBufFree frees it). The quad is the object's
 * bounds grown by 2 (and, when depth is not 0, by a margin of depth / 100 + 2 spread by the
 * perspective, enlarging the focal distance when that spread passes 23), projected; the
 * buffer covers the projected object's integer bounds with their 5/6 margin, plus 99 pixels
 * on each side when depth is not 0. An existing buffer of exactly that size is cleared and
 * reused (same handle); any other is freed and replaced. Inside the quad each pixel holds z'
 * f / (z' + f) with z' = z f / (f - z) the interpolated corner depth; outside it is 0.
 * @param depth extrusion depth in pixels (integer).
 * @return 1; 0 for a null argument (nothing changed) or on failure: allocation, or a size
 *         beyond 2^26 pixels (error 1001), then *buffer has been freed and is null. */
ZO_API uint32_t ZoPathCreateZBufferFrom3DTransform(uint8_t** buffer, const Transform3D* transform,
                                                   ZoPath* path, double zOffset, int32_t depth);
/** Fills *buffer with the depth of a bevelled object from its distance field: a 32-bit float
 * buffer of the mask's size (reused when it has exactly that size, else replaced; freed with
 * ZoPathBufFree). Each pixel whose mask byte is not 0 gets extent x h, h the bevel
 * profile's height (see Lighting) at index min(trunc(d / width x 4096), 4095) for the
 * pixel's distance d (a vector below 1e-6 in both components, or not finite, is the flat
 * top: the last entry); other pixels get background.
 * @param distanceBuffer width x height pixels of 8 bytes, row by row, in the mask's size:
 *        the vector to the nearest outline point as two floats (floatMode non-zero) or two
 *        signed 16-bit values with 8 fraction bits.
 * @param maskBuffer a library 8-bit buffer giving the size and the object's pixels.
 * @param width bevel width in pixels (not positive: every pixel is the flat top).
 * @param profileKind, inverted, profileMode the bevel profile (see Lighting).
 * @return 1; 0 for a null argument, a mask that is not 8-bit (error 3200; both nothing
 *         changed), or an allocation failure (1001, *buffer freed and null). */
ZO_API uint32_t ZoPathCreateZBuffer(uint8_t** buffer, const uint8_t* distanceBuffer,
                                    const uint8_t* maskBuffer, int32_t floatMode, double width,
                                    uint32_t profileKind, uint32_t inverted, uint32_t profileMode,
                                    double extent, float background);

/* ========================================================================================
 * Transforms
 * ======================================================================================== */

/**
 * Adds the offset (16.16 pixels, 32-bit wrap-around) to every node, parameter nodes skipped: of the
 * whole selection chain from the record when it is selected, else of its join chain. 1, or 0 for
 * null.
 */
ZO_API uint32_t ZoPathMovePathsByPtfx(ZoPath* path, Ptfx offset);
/**
 * Moves like ZoPathMovePathsByPtfx by an offset given in window pixels, divided by the view's zoom.
 * 1, or 0 for a null path or view or a zoom that is not a positive finite number.
 */
ZO_API uint32_t ZoPathMovePaths(ZoPath* path, const CoordStruct* view, POINT offset);

/* Every transform computes in doubles (FixToDb) and stores back with DbToFix (truncation).
 * "By kind" walks move a Bezier triple together and leave parameter nodes alone; "every node"
 * walks treat each node as a point. */

/** Shifts the list from path to its tail by whole pixels so that the left-top corner of the
 * join chain's rectangle (ZoPathGetMiniMaxRect at scale 1, margin included) lands on target.
 * 0 for a null path. */
ZO_API uint32_t ZoPathOffset(ZoPath* path, POINT target);
/** Adds whole pixels to the list from path to its tail. Always 1. */
ZO_API uint32_t ZoPathOffsetExact(ZoPath* path, POINT offset);
/** Scales the whole list about the origin, by kind. sy 0 means sy = sx; 1, 1 does nothing.
 * Polygons and stars lose their polygon marks and primitive kind. */
ZO_API uint32_t ZoPathSize(ZoPath* list, double sx, double sy);
/** Scales one subpath, every node, about the centre of its ZoPathGetRect rectangle (integer
 * division); centre (may be null) receives that centre. 1, 1 does nothing and writes nothing. */
ZO_API uint32_t ZoPathScaleCentered(ZoPath* path, double sx, double sy, POINT* centre);
/** Maps the join chain from path by the matrix (eM11, eM12, eM21, eM22, eDx, eDy; x' = eM11 x +
 * eM21 y + eDx, y' = eM12 x + eM22 y + eDy), by kind, and clears each primitive kind. 1 for a
 * null path; 0 for a null matrix. */
ZO_API uint32_t ZoPathMat(ZoPath* path, const float matrix[6]);
/** The corners of the subpath's double rectangle (this subpath, control points included)
 * mapped by the matrix: top-left, top-right, bottom-left, bottom-right. */
ZO_API uint32_t ZoPathGetMatHandle(ZoPath* path, const float matrix[6], Ptfx handles[4]);

/* The resize-rotate parameters of a handle drag. */
typedef struct ZoPathRSRParams {
  uint32_t reserved0;
  uint32_t anchorMode; /* non-zero: the anchor comes from the alignment record */
  double targetX;      /* where the anchor goes, image pixels */
  double targetY;
  double scaleX;
  double scaleY; /* 0 means scaleX */
  double reserved1;
  double angle; /* degrees */
} ZoPathRSRParams;

/* The alignment record is an array of 32-bit words of which two are read: */
#define ZOPATH_ALIGN_BITS_WORD 10 /* bit 0: the far edge, bit 1: the centre */
#define ZOPATH_ALIGN_AXIS_WORD 11 /* 0: x, otherwise y */

/** Moves the list (from its head) by minus the anchor, scales it (ZoPathSize), rotates every
 * node about the origin and moves it to the target. The anchor is the top-left of the list's
 * shape rectangle; with anchorMode set (and the head not a text character) it comes from the
 * alignment record: (right, 0) or (0, bottom) for bit 0, the centre on the axis for bit 1, else
 * (0, 0) (also without a record). 0, nothing changed, when a subpath of the list is a wrap
 * baseline or a horizontal or vertical envelope frame. */
ZO_API uint32_t ZoPathResizeSlantRotate(ZoPath* list, const ZoPathRSRParams* params,
                                        const uint32_t* align);
/** The four handles ZoPathResizeSlantRotate would give the shape rectangle: top-left,
 * top-right, bottom-left, bottom-right. 0 when refused or handles is null. */
ZO_API uint32_t ZoPathGetRSRHandle(ZoPath* list, const ZoPathRSRParams* params,
                                   const uint32_t* align, Ptfx handles[4]);
/** Rotates every node of the whole list about the centre of its double rectangle (no margin)
 * by the angle truncated to whole degrees. */
ZO_API void ZoPathRotateAboutCenter(ZoPath* list, double degrees);

/* Alignment commands, shared with the host's command table. */
#define ZOALIGN_CENTRE_X 18017
#define ZOALIGN_CENTRE_Y 18018
#define ZOALIGN_LEFT 18020
#define ZOALIGN_RIGHT 18021
#define ZOALIGN_TOP 18022
#define ZOALIGN_BOTTOM 18023
#define ZOALIGN_DISTRIBUTE_X 18024
#define ZOALIGN_DISTRIBUTE_Y 18025
#define ZOALIGN_CENTRE_BOTH 18043
/** Aligns or distributes the objects (join chains) of the current group's selection, the first
 * 128 of them, by their shape rectangles: centre commands move each object's centre to the
 * mean centre, edge commands line the edges up with the outermost one, distribution spaces
 * the centres evenly between the outermost two. Other command numbers move nothing. The
 * selection is hidden and drawn again (view may be null: nothing is drawn); out (may be null)
 * receives the union of both window rectangles. 0 when the table or the selection is missing. */
ZO_API uint32_t ZoPathAlign(uint64_t unused, int32_t command, ZoPathTbl* table, CoordStruct* view,
                            RECT* out);

/* ========================================================================================
 * Undo and redo
 * The library keeps up to 20 logs, one per host context number (0 is never kept). A log holds
 * records of steps, oldest first, and a position: the number of records applied. A record
 * holds just enough to swap the recorded state with the current one, so undo and redo apply
 * the same record. Calls without a context number use the context used last. Recording
 * appends at the tail; the host removes the records past the position (ZoPathURFree) before
 * it records after an undo.
 * ======================================================================================== */

/* Action numbers, shared with the host's command table. */
#define ZOUNDO_SELECT 18001         /* 18001-18003, 18026, 18027: selection changes */
#define ZOUNDO_SELECT2 18002
#define ZOUNDO_SELECT3 18003
#define ZOUNDO_SELECT4 18026
#define ZOUNDO_SELECT5 18027
#define ZOUNDO_MOVE_SELECTED 18006  /* the selected subpath moved */
#define ZOUNDO_JOIN 18007
#define ZOUNDO_DISJOIN 18008
#define ZOUNDO_ENVELOPE 18016       /* the selected envelope frame was edited */

/** Records one step of the table's current group: a selection action records the selection
 * (positions in the list and the first selected point or segment of each member); 18006
 * node 0 of the selected subpath with its first selected point and segment; join and disjoin
 * nothing more; 18016 the control points of the selected envelope frame (none when the
 * selected subpath is no frame). Other actions record nothing. A record that cannot be
 * allocated (error 1001), or a new context when all 20 slots are taken, leaves the log as it
 * was. 1; 0 for a null table. */
ZO_API uint32_t ZoPathBackupAction(uint32_t context, int32_t action, ZoPathTbl* table);
/** Records the selection under the given action number. */
ZO_API uint32_t BackupDuplicate(int32_t action, ZoPathTbl* table);
/** Records which subpath is the current group's selected one; undo makes it the selected one
 * again while it is still a selected member of the list. */
ZO_API uint32_t BackupSelected(int32_t action, ZoPathTbl* table);
/** Records node 0 of the selected subpath; undo moves the selection chain back by the
 * difference. */
ZO_API uint32_t BackupSelectMove(int32_t action, ZoPathTbl* table);
/** Applies record `position` backwards (undo) or record position + 1 (redo), moving the
 * position; handles are redrawn on dc (may be null), outlines in the view's display buffer
 * (view may be null), and changed (may be null) is extended by the window area redrawn.
 * 0, nothing changed, when there is nothing to undo or redo, the record no longer fits the
 * table (for example no selected subpath to move) or memory runs out (error 1001). */
ZO_API uint32_t ZoPathUndo(uint32_t context, ZoPathTbl* table, CoordStruct* view, RECT* changed,
                           HDC dc);
/**
 * Re-applies record position + 1 of the context's log and raises the position; arguments as
 * ZoPathUndo. 1, or 0 (nothing changed) when there is nothing to redo, the record no longer fits
 * the table or memory runs out (error 1001).
 */
ZO_API uint32_t ZoPathRedo(uint32_t context, ZoPathTbl* table, CoordStruct* view, RECT* changed,
                           HDC dc);
/** 1 when record `position` is a selection record of this action that equals the current
 * selection. */
ZO_API uint32_t ZoPathSameUR(uint32_t context, ZoPathTbl* table, int32_t action);
/** Removes the oldest record (fromOldest non-zero; the position drops by one) or the newest
 * (the position is kept within the records left). A log left empty frees its slot. 1. */
ZO_API uint32_t ZoPathURFree(uint32_t context, uint32_t ignored, uint32_t fromOldest);
/** Raises the position of the context used last by one, never past its newest record. 1. */
ZO_API uint32_t ZoPathGetURAction(void);
/** Kept for the host; the logs have no limit of their own (the host trims them). 1. */
ZO_API uint32_t ZoPathSetUndoLimit(uint32_t ignored);
/** Kept for the host: both outs receive 0. 1. */
ZO_API uint32_t ZoPathZoPathGetURInfo(uint32_t* first, uint32_t* second);

/* ========================================================================================
 * Pixel buffers
 * A library buffer is one block: three 32-bit words (bits per pixel, width, height) and the
 * pixels, rows top to bottom without padding (1 byte a pixel for 8 bits, 3 for 24, 4 for 32,
 * 8 for any other value). The handle is the address of the first pixel. The calls take the
 * argument order of the host's image calls (buf32...).
 * ======================================================================================== */

/* The lock record of ZoPathBufLock1: the first pixel and the width. */
typedef struct ZoPathBufLockInfo {
  uint8_t* pixels;
  uint32_t width;
} ZoPathBufLockInfo;

/**
 * A new zero-filled library buffer of width x height pixels of `bits` bits (8, 24 or 32; other
 * values take 8 bytes a pixel). The handle is the address of the first pixel; free it with
 * ZoPathBufFree. Null (error 1001) when it cannot be allocated.
 */
ZO_API uint8_t* ZoPathBufAlloc(uint32_t bits, uint32_t width, uint32_t height);
/**
 * A copy of the whole buffer, header included (free it with ZoPathBufFree); the first argument is
 * ignored. Null for a null buffer, or (error 1001) when memory runs out.
 */
ZO_API uint8_t* ZoPathBufDuplicate(uint32_t ignored, const uint8_t* buffer);
/** Frees the buffer; null and the placeholder handle 1 are left alone. Returns 1. */
ZO_API uint32_t ZoPathBufFree(uint8_t* buffer);
/** Stores whichever of width, height and bits per pixel are non-null; 0 for a null buffer. */
ZO_API uint32_t ZoPathBufGetWHU(const uint8_t* buffer, uint32_t* width, uint32_t* height,
                                uint32_t* bits);
/**
 * Fills the lock record with the buffer's first pixel and width for ZoPathBufLineRead; the three
 * middle arguments are ignored. 1, or 0 for null arguments.
 */
ZO_API uint32_t ZoPathBufLock1(uint8_t* buffer, uint32_t ignored1, uint32_t ignored2,
                               uint32_t ignored3, ZoPathBufLockInfo* lock);
/** The address of row y; null for a row outside the buffer. */
ZO_API uint8_t* ZoPathBufLineRead(const ZoPathBufLockInfo* lock, int32_t y);
/**
 * Ends a lock; does nothing. 1.
 */
ZO_API uint32_t ZoPathBufUnlock1(ZoPathBufLockInfo* lock);
/** The allocated size of the whole block, header included; 0 for a null buffer. */
ZO_API size_t ZoPathBufSize(const uint8_t* buffer);

/* ========================================================================================
 * Masks
 * Paths filled into library buffers: 8-bit coverage masks (0 outside, 255 inside) or 32-bit
 * masks of 4 x 8 sub-samples a pixel (byte k is sample row k; bit 7 is the leftmost sample;
 * a set bit is outside). A mask's rectangle is in scaled image coordinates, right and bottom
 * inclusive: the mask is (right - left + 1) x (bottom - top + 1) pixels and pixel (0, 0) is
 * centred on (left, top). scale is 16.16 (65536 = 1.0).
 * ======================================================================================== */

#define ZOMASK_FORMAT_32BIT 4     /* 32-bit sub-sample masks */
#define ZOMASK_FORMAT_SUPERSAMPLE 16 /* render at the scale, then box-average down by it */
#define ZOMASK_AA_BILEVEL 0
#define ZOMASK_AA_SMOOTH 1        /* 16 sample rows a pixel */
#define ZOMASK_AA_GAIN 2          /* as 1, then x1.75 on text characters */
#define ZOMASK_AA_SHARPEN 3       /* as 1, then a sharpening filter on text characters */
#define ZOMASK_AA_4ROWS 999       /* 4 sample rows a pixel */
#define ZOMASK_PART_CHARACTER 1   /* parts start at ZOF_TEXT_CHAR */
#define ZOMASK_PART_TEXT_OBJECT 2 /* parts start at ZOF_TEXT_LINE; other kinds: ZOF_COLOR_PIECE */

/**
 * Renders paths into new masks, one per object (join chain).
 *
 * Where rendering starts: the record passed only chooses the start. A selected record starts at the
 * head of its selection chain and every selected object is rendered, in selection order; an
 * unselected record renders the first object of its list (from the list head), not the record
 * itself. Mode 3 renders the whole list into one mask.
 *
 * Each mask's rectangle (scaled image pixels, right and bottom inclusive) is the object's bounds at
 * the scale including the library's bounds margin, as ZoPathGetMiniMaxRect gives it
 * (ZoPathGetAllMiniMaxRect for mode 3), widened by |margin| pixels on each side; the mask covers
 * the rectangle exactly (ZOMASK_FORMAT_SUPERSAMPLE: the rectangle divided by the scale).
 *
 * format: ZOMASK_FORMAT_32BIT (4) 32-bit sub-sample masks, ZOMASK_FORMAT_SUPERSAMPLE (16) render at
 * the scale then box-average down by it, anything else 8-bit coverage masks. fillRule 0 non-zero
 * winding, else even-odd. aaMode: ZOMASK_AA_... (0 bilevel, 1 16 sample rows, 2 gain and 3
 * sharpening on text characters, 999 4 sample rows). mode 0 fills, 3 outlines the whole list into
 * one mask, any other value outlines each object. scale: 16.16 (65536 = 1.0).
 *
 * What the caller receives and frees: *rects, an array of RECT, and *buffers, a parallel array of
 * mask handles (library buffers, see ZoPathBufGetWHU), both zero-filled fixed global blocks with
 * room for a multiple of 20 entries. Free each mask with ZoPathBufFree, then both arrays with
 * ZoPlatGlobalFree.
 *
 * Returns the number of masks, or 0 with both outputs null: null arguments, or memory ran out
 * (error 1001, nothing left allocated). Masks are as large as their rectangles: a host limits the
 * scale (ZoPathGetMiniMaxRect tells the size beforehand).
 */
ZO_API uint32_t ZoPathToBuf(ZoPath* path, uint32_t format, uint32_t fillRule, uint32_t aaMode,
                            uint32_t mode, uint32_t scale, RECT** rects, uint8_t*** buffers,
                            int32_t margin);
/** Fills part partIndex of the path's joined chain (the head record must start a text
 * character) into buffer, whose pixel (0, 0) is the top-left of the head's rectangle at the
 * scale widened by |margin|. A 32-bit buffer receives a 32-bit mask. 1, or 0 on failure. */
ZO_API uint32_t ZoPathToSubBuf(ZoPath* path, uint8_t* buffer, uint32_t ignored,
                               uint32_t fillRule, uint32_t aaMode, uint32_t scale,
                               int32_t margin, uint32_t partKind, uint32_t partIndex);
/** As ZoPathToSubBuf at scale 1 into a buffer whose pixel (0, 0) lies at origin (x in the low,
 * y in the high signed 32 bits) in image coordinates. */
ZO_API uint32_t ZoPathToSubBufPartial(ZoPath* path, int64_t origin, uint8_t* buffer,
                                      uint32_t fillRule, uint32_t aaMode, uint32_t partKind,
                                      uint32_t partIndex);
/** Fills the whole joined chain at scale 1 into a buffer positioned at origin. */
ZO_API uint32_t ZoPathToPartialBuf(ZoPath* path, uint32_t fillRule, uint32_t aaMode,
                                   int64_t origin, uint8_t* buffer);

/* ========================================================================================
 * Display buffer and node handles
 * The display buffer holds one byte per window pixel (rows of window width): bits 0-5 count
 * the outlines over the pixel, bits 6-7 choose the inversion colour (0 normal, 0x40
 * highlighted segment, 0x80 secondary outline, 0xC0 emphasised). Drawing adds to the counts
 * along an outline and hiding subtracts the same, so outlines show and hide independently.
 * dirty receives the window rectangle that changed (empty when nothing did). A view without
 * a display buffer draws nothing and the drawing calls return 1.
 * ======================================================================================== */

/**
 * Draws the outline of every subpath of the list (except figures being drawn, ZOF_DRAWING) into the
 * view's display buffer, clearing the buffer first when clearFirst is non-zero; dirty receives the
 * window rectangle that changed. 1 (also when the view has no display buffer), 0 for null
 * arguments.
 */
ZO_API uint32_t ZoPathDraw(CoordStruct* view, ZoPath* path, RECT* dirty, uint32_t clearFirst);
/**
 * Clears the whole display buffer; dirty receives the rectangle of the path's whole group in image
 * pixels (scale 1), the area the host repaints. 1, or 0 for null arguments.
 */
ZO_API uint32_t ZoPathHide(CoordStruct* view, ZoPath* path, RECT* dirty);
/**
 * Draws the outlines of the path's selection chain (the path must be selected); a member with
 * selected points shows only the segments touching them. dirty receives the changed window
 * rectangle. 1 or 0.
 */
ZO_API uint32_t ZoPathDrawSelected(CoordStruct* view, ZoPath* path, RECT* dirty);
/**
 * Removes what ZoPathDrawSelected drew (the same pixels, counted down). 1 or 0.
 */
ZO_API uint32_t ZoPathHideSelected(CoordStruct* view, ZoPath* path, RECT* dirty);
/**
 * Draws the selected segments of the selection chain from the path. 1 or 0.
 */
ZO_API uint32_t ZoPathDrawSelectedSegments(CoordStruct* view, ZoPath* path, RECT* dirty);
/**
 * Removes what ZoPathDrawSelectedSegments drew. 1 or 0.
 */
ZO_API uint32_t ZoPathHideSelectedSegments(CoordStruct* view, ZoPath* path, RECT* dirty);
/**
 * Draws the single segment starting at node `index` of a selected path without selected points or
 * segments. 1; 0 when those conditions fail or index is the last node.
 */
ZO_API uint32_t ZoPathDrawSegment(CoordStruct* view, ZoPath* path, uint32_t index, RECT* dirty);
/**
 * Removes what ZoPathDrawSegment drew. 1 or 0 as ZoPathDrawSegment.
 */
ZO_API uint32_t ZoPathHideSegment(CoordStruct* view, ZoPath* path, uint32_t index, RECT* dirty);

/** Inverts the host's pixel rows (3 bytes a pixel; 1 byte for PaintMem1) of the rectangle
 * wherever the buffer shows an outline; rows are the rectangle's width long. */
ZO_API uint32_t ZoPathPaintMem(const RECT* rect, ZoPathTbl* table, uint8_t* pixels);
/**
 * As ZoPathPaintMem on host rows of one byte a pixel. 1, or 0 when the table or its buffer is
 * missing.
 */
ZO_API uint32_t ZoPathPaintMem1(const RECT* rect, ZoPathTbl* table, uint8_t* pixels);
/** A new buffer of width x height keeping the top-left part of the old (no larger) one. */
ZO_API uint32_t ZoPathCropDB(ZoPathTbl* table, uint32_t width, uint32_t height);
/**
 * 1 when the table's display buffer was made for a window of the rectangle's width and height, the
 * same scroll position, a zoom within 1e-5 and the same key; else 0 (also for a null table). A host
 * calls it after the window, scroll or zoom changed.
 */
ZO_API uint32_t ZoPathTblIsValid(const RECT* rect, int32_t scrollX, int32_t scrollY, double zoom,
                                 uint32_t key, ZoPathTbl* table);
/**
 * Frees the table's display buffer and clears its pointer. 1, or 0 for a null table.
 */
ZO_API uint32_t ZoPathTblDeletelpDB(ZoPathTbl* table);
/** Adds dx, dy to the view's scroll position and, given a path, redraws it on a cleared
 * buffer. */
ZO_API uint32_t ZoPathScrollDB(CoordStruct* view, ZoPath* path, int16_t dx, int16_t dy);

/** Node handles, drawn with an exclusive-or pen (drawing them again removes them). 0 when
 * handles are switched off. */
ZO_API uint32_t ZoPathDrawNodes(HDC dc, ZoPath* path, CoordStruct* view);
/**
 * Draws (exclusive-or) an inactive anchor square for every anchor of the record except those of the
 * two segments meeting at its first selected node. 1, or 0 when handles are off.
 */
ZO_API uint32_t ZoPathDrawNodesOnUnselectedSegments(HDC dc, ZoPath* path, CoordStruct* view);
/**
 * Draws (exclusive-or) one active handle, a hollow anchor-size square, at the window point;
 * pathFlags chooses the colour. 1, or 0 for a bad device context.
 */
ZO_API uint32_t ZoPathDrawActiveNode(HDC dc, POINT point, uint32_t pathFlags);
/**
 * Draws (exclusive-or) one inactive handle, a grey anchor-size square. 1 or 0.
 */
ZO_API uint32_t ZoPathDrawInactiveNode(HDC dc, POINT point, uint32_t pathFlags);
/**
 * Draws (exclusive-or) one control-point handle, a grey control-size square. 1 or 0.
 */
ZO_API uint32_t ZoPathDrawSmallNode(HDC dc, POINT point, uint32_t pathFlags);
/**
 * Switches handle drawing on (non-zero) or off, library-wide.
 */
ZO_API void ZoPathDrawNodesTurnOn(uint32_t on);
/** 0: pen 1, anchor squares 5 wide, control squares 3; 1: pen 2, 7 and 5. */
ZO_API void ZoPathSetNodeSize(uint32_t size);
/**
 * Draws the handles of every path of the current group's selection chain. 1; 0 when the table is
 * null or not shown, or the group has no selected path.
 */
ZO_API uint32_t ZoPathTblRepaintNodes(HDC dc, ZoPathTbl* table, CoordStruct* view);

/** Window to image: x = (column + scrollX) / zoom - 0.5 (the point packs x low, y high). */
ZO_API PointDB* ZoPathPtWndToImage(PointDB* out, int64_t point, const CoordStruct* view);
/**
 * Converts both corners of a window rectangle to image pixels (as ZoPathPtWndToImage) and returns
 * out.
 */
ZO_API RectDB* ZoPathRectWndToImage(RectDB* out, const RECT* rect, const CoordStruct* view);

/* ========================================================================================
 * Hit testing and selection
 * Window points are relative to the view's window rectangle (the display buffer's pixels)
 * and travel packed in 64 bits (x low, y high). The click tolerance is an open square of
 * 4 window pixels around a node, and 4 window pixels either side of a segment. Selection
 * lives in the records: ZOF_SELECTED, ZOF_HAS_SEL_POINTS and ZOF_HAS_SEL_SEGMENT on the
 * subpath, PT_SELECTED and PT_SEGMENT_MARK on its nodes, and the selection chain. Every
 * change of the selection redraws the handles concerned on dc (exclusive-or).
 * ======================================================================================== */

/* ZoPathPtOn's how bits. */
#define ZOHIT_REPLACE 4u  /* the hit replaces the selection */
#define ZOHIT_ADD 8u      /* the hit is added to the selection */
#define ZOHIT_TEST 16u    /* test only, no selection change */
#define ZOHIT_TOGGLE 32u  /* the hit path is toggled */
/* ZoPathRectClip's catching bits, combined with the how bits above. */
#define ZOHIT_CROSSING 1u /* a segment crosses the rectangle */
#define ZOHIT_INSIDE 2u   /* a point lies strictly inside the rectangle */

/* What ZoPathPtOn found, handed back to ZoPathHitAct: the window point, the subpath, the
 * node index (for a segment, its first node) and the segment parameter (0-65535). */
typedef struct ZoPathHit {
  int64_t point;
  ZoPath* path;
  uint32_t index;
  uint16_t param;
} ZoPathHit;

/* The selection marks of one subpath, saved by ZoPathCopySelectStatus: node count, flag word
 * and one type word per node (two general-purpose blocks owned by the caller). */
typedef struct ZoPathSelectStatus {
  int32_t count;
  uint32_t flags;
  uint16_t* types;
} ZoPathSelectStatus;

/** Tests the window point against the paths (path in: the list, null for the current group's;
 * out: the subpath hit or null). index and param receive the node or segment hit. Returns
 * 1 an unselected path was hit, 2 a selected one (or a toggle deselected it), 3 nothing,
 * 0xFFFFFFFF when how has none of 4, 8, 16, 32 (the selection chain is only rebuilt). */
ZO_API uint32_t ZoPathPtOn(int64_t point, uint32_t how, HDC dc, CoordStruct* view,
                           ZoPathTbl* table, ZoPath** path, uint32_t* index, uint16_t* param);
/** Anchors of a selected path strictly inside the window rectangle; flag says whether the
 * selection by rectangle (how 1-3) would change anything. */
ZO_API uint32_t ZoPathPtInRect(const RECT* rect, ZoPath* path, CoordStruct* view, uint32_t how,
                               uint32_t* flag);
/** Node selection by rectangle along the selection chain from path: how 0 counts, 1 replaces,
 * 2 adds, 3 and 4 toggle. Returns the number of anchors inside. */
ZO_API uint32_t ZoPathRectClipPt(const RECT* rect, ZoPath* path, uint32_t ignored,
                                 CoordStruct* view, uint32_t how);
/** Path selection by rectangle over the current group (how: ZOHIT_CROSSING or ZOHIT_INSIDE
 * with 4, 8, 32 or 16). 1 when something was caught, else 2; out (when given) is 1 when a
 * caught path was or would be changed. */
ZO_API uint32_t ZoPathRectClip(const RECT* rect, ZoPathTbl* table, HDC dc, CoordStruct* view,
                               uint32_t how, uint32_t* out);
/** Selects and highlights the segment starting at node index (the last node means segment 0)
 * of a selected path without selected points. */
ZO_API uint32_t ZoPathPickSegment(CoordStruct* view, ZoPath* path, uint32_t index, RECT* dirty);
/** Clears the segment selection of path, or with a null path of every subpath of the table's
 * current group, and removes its highlight. */
ZO_API uint32_t ZoPathUnpickSegment(CoordStruct* view, ZoPathTbl* table, ZoPath* path,
                                    RECT* dirty);
/** Applies a node or segment command (18001-18042) to an earlier hit; hit->path follows the
 * record when a subdivision moves it. */
ZO_API uint32_t ZoPathHitAct(uint32_t command, HDC dc, CoordStruct* view, ZoPathTbl* table,
                             ZoPathHit* hit);

/**
 * 1 when the record carries ZOF_SELECTED, else 0 (0 for null).
 */
ZO_API uint32_t ZoPathIsSelected(ZoPath* path);
/**
 * 1 when the record has selected points (ZOF_HAS_SEL_POINTS), else 0.
 */
ZO_API uint32_t ZoPathHasSelectedPoint(ZoPath* path);
/**
 * 1 when the record has a selected segment (ZOF_HAS_SEL_SEGMENT), else 0.
 */
ZO_API uint32_t ZoPathHasSelectedSegment(ZoPath* path);
/**
 * 1 when every subpath of the list, from its head, is selected; else 0.
 */
ZO_API uint32_t ZoPathIsAllPathsSelected(ZoPath* path);
/** 1 linked to other selected paths, 3 has selected points, 4 a selected segment, 2 selected
 * alone, 0 none (path null: the table's selected path). */
ZO_API uint32_t ZoPathGetSelState(ZoPathTbl* table, ZoPath* path);
/**
 * Number of objects (join chains) on the table's selection chain; 0 for null.
 */
ZO_API uint32_t ZoPathGetSelectedGroupsNumber(ZoPathTbl* table);
/** Union of 1 (line) and 2 (cubic) over the selected segments, 3 for any other kind. */
ZO_API uint32_t ZoPathGetSelectedSegmentType(ZoPath* path);
/**
 * The first subpath of the current group's list (after `after`, when given) that has a selected
 * segment; null when none.
 */
ZO_API ZoPath* ZoPathGetSubPathWithSelectedSegment(ZoPathTbl* table, ZoPath* after);
/**
 * Number of entries ZoPathSelectedToView3 will write for the path (the length of its point and type
 * lists), or 0 when its preconditions fail.
 */
ZO_API uint32_t ZoPathGetSelPtListCount(CoordStruct* view, ZoPath* path);
/** With *selKind preset to 3: on the path alone (selKind 0 unselected, 1 alone, 3 linked;
 * joinKind 0 not joined, 1 joined). Otherwise on the whole selection chain. 0 for null. */
ZO_API uint32_t ZoPathInfo(ZoPath* path, uint32_t* selKind, uint32_t* joinKind);

/**
 * Clears the selection of every node of the record (PT_SELECTED) and ZOF_HAS_SEL_POINTS. 1.
 */
ZO_API uint32_t ZoPathDeselectPts(ZoPath* path);
/**
 * Deselects every subpath of the path's list: node and segment marks, the subpath flags and the
 * selection chain. With redraw non-zero and dc and view given, first erases their handles
 * (exclusive-or). 1, or 0 for a null path.
 */
ZO_API uint32_t ZoPathDeSelectAll(HDC dc, ZoPath* path, CoordStruct* view, uint32_t redraw);
/**
 * Makes the path's object (its whole join chain) the only selection of the table's first group,
 * drawing its handles when redraw, dc and view are given. 1; 0 when the table, the path or the
 * group's list is missing or the path is not in that group.
 */
ZO_API uint32_t ZoPathSingleSelectPath(ZoPathTbl* table, ZoPath* path, CoordStruct* view, HDC dc,
                                       uint32_t redraw);
/**
 * A new snapshot of the record's selection marks (flag word and node type words), owned by the
 * caller: free it with ZoPathCleanSelectStatusClipboard or a consuming ZopathPasteSelectStatus.
 * Null for a null record, or (error 1001) when memory runs out.
 */
ZO_API ZoPathSelectStatus* ZoPathCopySelectStatus(ZoPath* path);
/** Restores the snapshot when the node counts agree (else 0); consume frees it. */
ZO_API uint32_t ZopathPasteSelectStatus(ZoPathSelectStatus* status, ZoPath* path,
                                        uint32_t consume);
/**
 * Frees a snapshot made by ZoPathCopySelectStatus. 1, or 0 for null.
 */
ZO_API uint32_t ZoPathCleanSelectStatusClipboard(ZoPathSelectStatus* status);

/** Converts the selected segments of the table's selected path: toKind 1 lines to cubics,
 * 2 cubics to lines, other values each to the other kind. May move the record. */
ZO_API uint32_t ZoPathConvertSelectedSegment(CoordStruct* view, ZoPathTbl* table, RECT* dirty,
                                             uint32_t toKind);
/* The window points of the segments around each selected anchor, for dragging: 12 entries,
 * runs separated by ZOSEL_RUN_END, ended by ZOSEL_LIST_END or ZOSEL_LIST_END_OPEN.
 * direction 0 writes the list, 1 reads it back into the nodes that changed. */
#define ZOSEL_LIST_SIZE 12
#define ZOSEL_RUN_END 1001000
#define ZOSEL_LIST_END 1000000
#define ZOSEL_LIST_END_OPEN 1000001 /* a run touches the first node or an open end */
/**
 * The window points of the segments around each selected anchor of the path, for dragging them:
 * with direction 0 list receives up to ZOSEL_LIST_SIZE (12) entries, runs separated by
 * ZOSEL_RUN_END and ended by ZOSEL_LIST_END or ZOSEL_LIST_END_OPEN (a run touches the first node or
 * an open end); direction 1 reads the list back into the nodes that changed. 0 when the path is
 * linked to other selected subpaths, has no selected points or the view no display buffer.
 */
ZO_API uint32_t ZoPathSelectedToView(CoordStruct* view, ZoPath* path, POINT* list,
                                     uint32_t direction);
/* The same runs without limit or sentinels, with a parallel list of type words (PT_MOVETO
 * added where a run begins); reading back takes the entries whose type has 0x40. */
#define ZOSEL_MOVED 0x40
/**
 * As ZoPathSelectedToView without the limit or sentinels: points and the parallel type words
 * (ZoPathGetSelPtListCount entries each; PT_MOVETO added where a run begins). Reading back
 * (direction 1) takes the entries whose type the host marked with ZOSEL_MOVED (0x40). 1 or 0.
 */
ZO_API uint32_t ZoPathSelectedToView3(CoordStruct* view, ZoPath* path, POINT* points,
                                      uint16_t* types, uint32_t direction);

/* ========================================================================================
 * View records
 * ======================================================================================== */

/**
 * Makes or updates a view record. When *view is null a new zero-filled record is allocated into it
 * (free it with ZoPathDeleteCoordStruct). The window rectangle, scroll and zoom (window pixels per
 * image pixel) are copied in; given a table, the table gets a display buffer of the window's size
 * when it has none, the record points at it and the table records the view. The buffer belongs to
 * the table. 1, or 0 when memory runs out (error 1001).
 */
ZO_API uint32_t ZoPathCoordStruct(const RECT* window, int32_t scrollX, int32_t scrollY,
                                  double zoom, ZoPathTbl* table, CoordStruct** view);
/**
 * As ZoPathCoordStruct, but always replaces the table's display buffer with a fresh zeroed one, and
 * stores a non-zero extra as the key ZoPathTblIsValid compares. 0 for a null table or when memory
 * runs out.
 */
ZO_API uint32_t ZoPathNewCoordStruct(const RECT* window, int32_t scrollX, int32_t scrollY,
                                     double zoom, uint32_t extra, ZoPathTbl* table,
                                     CoordStruct** view);
/**
 * Frees a view record (not the display buffer it points to, which the table owns). 1.
 */
ZO_API uint32_t ZoPathDeleteCoordStruct(CoordStruct* view);

/* ========================================================================================
 * Envelopes
 * An envelope maps a path's bounding box onto a frame: a bilinear frame of 4 control points
 * (P0 top-left, P1 top-right, P2 bottom-left, P3 bottom-right), or a bi-Bezier frame of 8:
 * horizontal, P0-P3 the top cubic and Q0-Q3 the bottom cubic, both left to right; vertical,
 * P0-P3 the left cubic and Q0-Q3 the right cubic, both top to bottom. Every point of the path
 * is mapped, control points included, with no subdivision, so curves are not the exact image
 * of the source under the frame. The frame itself is kept as a selected subpath stored behind
 * the deformed path (flags ZOF_SELECTED | ZOF_ENVELOPE_H or ZOF_ENVELOPE_V): 5 nodes P0, P1,
 * P3, P2, P0 for a bilinear frame; 9 nodes P0, P1, P2, P3, Q3, Q2, Q1, Q0, P0 for a bi-Bezier
 * frame (cubic triples P1-P3 and Q2-Q0), the last node closing the figure.
 * ======================================================================================== */

/* Kinds of deformation a path list carries, answered by ZoPathGetEnvelopeWrapType. */
#define ZOENV_NONE 0           /* no frame and no wrap baseline */
#define ZOENV_BILINEAR 1       /* bilinear frame (5 nodes), horizontal or vertical bit */
#define ZOENV_BEZIER_H 2       /* horizontal bi-Bezier frame, distorted */
#define ZOENV_BEZIER_V 3       /* vertical bi-Bezier frame, distorted */
#define ZOENV_THIRD_KIND 4     /* frame carrying ZOF_ENVELOPE_3 */
#define ZOENV_BEZIER_H_FLAT 5  /* horizontal bi-Bezier frame still flat (the box's edges) */
#define ZOENV_BEZIER_V_FLAT 6  /* vertical bi-Bezier frame still flat */
#define ZOENV_WRAP_BASELINE 10 /* no frame bit, the last subpath is a wrap baseline */

/**
 * Stores a bilinear envelope frame (horizontal frame bit) behind a path list.
 *
 * Every subpath of the list is deselected (flags, node marks and selection links). The frame
 * becomes the `next` of the last subpath of the head's join chain (of the head itself when it
 * carries an attachment). A record already there, whatever it holds, even another object's
 * subpath, is overwritten in place (grown when it is too small, its attachment released and
 * its join links dropped); otherwise a new record is allocated from the path heap.
 *
 * @param list   any member of the path list.
 * @param points 4 control points P0, P1, P2, P3 (16.16 image pixels).
 * @return 1; 0 for a null argument, or when a record cannot be allocated or grown (error
 *         1001, the list unchanged). The frame belongs to the list.
 */
ZO_API uint32_t ZoPathAddBiLinearEnvelope(ZoPath* list, const Ptfx* points);
/** As ZoPathAddBiLinearEnvelope, with the vertical frame bit (ZOF_ENVELOPE_V). */
ZO_API uint32_t ZoPathAddBiLinearEnvelopeV(ZoPath* list, const Ptfx* points);
/**
 * Stores a horizontal bi-Bezier envelope frame (9 nodes) behind a path list, placed and
 * allocated as ZoPathAddBiLinearEnvelope places its frame.
 *
 * @param list   any member of the path list.
 * @param points 8 control points P0-P3 (top cubic) and Q0-Q3 (bottom cubic).
 * @return 1; 0 for a null argument or on allocation failure (error 1001, list unchanged).
 */
ZO_API uint32_t ZoPathAddBiBezierEnvelope(ZoPath* list, const Ptfx* points);
/** As ZoPathAddBiBezierEnvelope for a vertical frame (P0-P3 left cubic, Q0-Q3 right cubic). */
ZO_API uint32_t ZoPathAddBiBezierEnvelopeV(ZoPath* list, const Ptfx* points);

/**
 * Reads the control points of a selected bilinear frame: P0 and P1 from nodes 0 and 1, P3
 * from node 2, P2 from node 3.
 *
 * @param frame  the frame subpath; it must carry ZOF_SELECTED and at least 4 nodes.
 * @param points receives 4 points P0, P1, P2, P3.
 * @return 1; 0 (points untouched) for a null argument, an unselected frame or too few nodes.
 */
ZO_API uint32_t ZoPathGetBiLinearEnvelope(ZoPath* frame, Ptfx* points);
/**
 * Reads the control points of a selected bi-Bezier frame: P0-P3 from nodes 0-3, Q3, Q2, Q1,
 * Q0 from nodes 4-7.
 *
 * @param frame  the frame subpath; it must carry ZOF_SELECTED and at least 8 nodes.
 * @param points receives 8 points P0-P3, Q0-Q3.
 * @return 1; 0 (points untouched) for a null argument, an unselected frame or too few nodes.
 */
ZO_API uint32_t ZoPathGetBiBezierEnvelope(ZoPath* frame, Ptfx* points);
/** Identical to ZoPathGetBiBezierEnvelope (the node order is the same for vertical frames). */
ZO_API uint32_t ZoPathGetBiBezierEnvelopeV(ZoPath* frame, Ptfx* points);
/**
 * The kind of deformation a path list carries, read from its last subpath.
 *
 * @param list any member of the list (may be null).
 * @return one of the ZOENV_ codes; ZOENV_NONE for a null list.
 */
ZO_API uint32_t ZoPathGetEnvelopeWrapType(ZoPath* list);

/**
 * Maps a path from its bounding box (ZoPathGetDoubleRectNoMargin of its join chain, control
 * points included) into a bilinear envelope: ZoPathDomainRangeBilinear(path, box, NULL,
 * points).
 *
 * @param path    the first subpath of the join chain to map.
 * @param points  4 control points P0, P1, P2, P3.
 * @param ignored not read.
 * @return 1; 0 for a null argument.
 */
ZO_API uint32_t ZoPathBiLinear(ZoPath* path, const Ptfx* points, uint32_t ignored);
/** As ZoPathBiLinear with a horizontal bi-Bezier envelope of 8 points
 *  (ZoPathDomainRangeBiCubic). */
ZO_API uint32_t ZoPathBiCubic(ZoPath* path, const Ptfx* points, uint32_t ignored);
/** As ZoPathBiLinear with a vertical bi-Bezier envelope of 8 points
 *  (ZoPathDomainRangeBiCubicV). */
ZO_API uint32_t ZoPathBiCubicV(ZoPath* path, const Ptfx* points, uint32_t ignored);

/**
 * Bilinear envelope mapping from a domain rectangle, or restriction of the envelope to a
 * sub-rectangle.
 *
 * With a path: every subpath of its join chain (from path along joinNext, stopping after a
 * subpath with an attachment) is mapped point by point: u = (x - left) / (right - left),
 * v = (y - top) / (bottom - top), image (1-u)(1-v) P0 + u(1-v) P1 + (1-u)v P2 + uv P3,
 * computed in doubles and truncated back to 16.16. When the domain's width (height) is 0, u
 * (v) keeps its previous value within the call, starting at 0. Parameter nodes are left
 * alone. The primitive kind of a subpath is cleared unless ZoPathIsKeepPrimitive keeps it.
 * The range rectangle is not used.
 *
 * Without a path and with a range rectangle R: the points are replaced by the envelope
 * restricted to R (the images of R's top-left, top-right, bottom-left, bottom-right).
 *
 * @param path   the first subpath to map, or NULL to restrict the envelope.
 * @param domain the rectangle that maps onto the frame (image pixels).
 * @param range  R, read only when path is NULL.
 * @param points 4 control points; written only when path is NULL.
 * @return 1; 0 for a null domain or points, or when neither path nor range is given.
 */
ZO_API uint32_t ZoPathDomainRangeBilinear(ZoPath* path, const RectDB* domain,
                                          const RectDB* range, Ptfx* points);
/**
 * Horizontal bi-Bezier mapping, otherwise as ZoPathDomainRangeBilinear: the image is
 * T(u) + v (B(u) - T(u)) with T the top cubic P0-P3 and B the bottom cubic Q0-Q3. Every mapped
 * subpath loses its polygon marks and its primitive kind. Restricting to R samples R's top and
 * bottom edges at 0, 0.333, 0.666 and 1 of the width, takes the inner images as the curve's
 * points at 1/3 and 2/3 and turns them back into control points (new P from the top edge, Q
 * from the bottom).
 *
 * @param points 8 control points P0-P3, Q0-Q3.
 */
ZO_API uint32_t ZoPathDomainRangeBiCubic(ZoPath* path, const RectDB* domain, const RectDB* range,
                                         Ptfx* points);
/**
 * Vertical bi-Bezier mapping: the image is L(v) + u (R(v) - L(v)) with L the left cubic
 * P0-P3 and R the right cubic Q0-Q3; restriction samples R's left and right edges at 0,
 * 0.333, 0.666 and 1 of the height. Otherwise as ZoPathDomainRangeBiCubic.
 */
ZO_API uint32_t ZoPathDomainRangeBiCubicV(ZoPath* path, const RectDB* domain,
                                          const RectDB* range, Ptfx* points);

/* ========================================================================================
 * Wrap along a path, stretch and baseline measurement
 * Wrapping lays a source path (typically text outlines) along a baseline subpath: the source's
 * x axis follows the baseline's arc length, its y axis the baseline's normal. After a wrap a
 * copy of the baseline is the wrapped list's last subpath, flagged ZOF_SELECTED |
 * ZOF_WRAP_BASELINE. Lengths and positions are image pixels.
 * ======================================================================================== */

/* The wrap information: the settings the host fills in by hand and passes to every wrap
 * call. Natural alignment, 112 bytes:
 *   offset   0 baseline        8 fit           12 count        16 spacing      24 rotate
 *           28 followNormal   32 deform        36 startHeight  40 endHeight    44 cornerMode
 *           48 closed         52 (padding)     56 start        64 centreX      68 centreY
 *           72 text           76 (padding)     80 sizeOrRef    88 bend         92 ascentDescent
 *           96 flag          100 recentre     104 setting     108 (padding)
 * Fields marked "normalised on entry" are written back by ZoPathDomainRangeWrap. */
typedef struct ZoPathWrapInfo {
  ZoPath* baseline;      /* the baseline subpath; NULL selects the bend mode */
  uint32_t fit;          /* non-zero: the source's width is stretched over the usable length */
  int32_t count;         /* clamped to >= 0 on entry; positive switches truncation off */
  double spacing;        /* content takes width x (1 + spacing); <= -1.0 is reset to 0.0 */
  uint32_t rotate;       /* 1: vertical wrap (source turned by -90 degrees first); other
                            non-zero values are reset to 0 */
  uint32_t followNormal; /* non-zero: offsets run along the baseline's normal; 0: vertically
                            (horizontally when rotate is 1) */
  uint32_t deform;       /* non-zero: bent point by point; 0: units moved and turned whole */
  uint32_t startHeight;  /* percentage of the offset at the source's left edge */
  uint32_t endHeight;    /* percentage of the offset at the source's right edge */
  uint32_t cornerMode;   /* non-zero (with deform and followNormal): mitred baseline corners */
  uint32_t closed;       /* set on entry: 1 when the baseline is closed or missing, else 0 */
  uint32_t reserved0;
  double start;          /* start position, a fraction of the baseline length; normalised on
                            entry into [0, 1] and limited to 0.999 */
  int32_t centreX;       /* target centre of the baseline, with recentre */
  int32_t centreY;
  uint32_t text;         /* non-zero when the source is text */
  uint32_t reserved1;
  union {
    int32_t size;        /* text: the font height h */
    double verticalRef;  /* other sources: fraction of the height at which the baseline runs */
  } sizeOrRef;
  int32_t bend;          /* bend mode percentage, used clamped to -99..100 */
  uint32_t ascentDescent; /* text: ascent << 16 | descent; 0 becomes ((h - h/3) << 16) | h/3 */
  uint32_t flag;         /* compared by IsSameWrapInfo */
  uint32_t recentre;     /* non-zero: the baseline's box centre is moved to centreX, centreY */
  uint32_t setting;      /* chooses the unit bit of placement without deform */
  uint32_t reserved2;
} ZoPathWrapInfo;

/**
 * The length of a subpath: straight segments by their Euclidean length, cubics by the curve
 * length ZoPathGetLength uses, walking the nodes by kind (parameter nodes are skipped).
 *
 * @param path the subpath (may be null).
 * @return the length in pixels; 0 for a null or empty subpath.
 */
ZO_API double ZoPathGetLength2(ZoPath* path);
/**
 * The position of one node in pixels.
 *
 * @param path  the subpath.
 * @param index the node index, below the node count.
 * @param x, y  receive the node's coordinates (each may be null).
 * @return 1; 0 for a null subpath or an index out of range (outputs untouched).
 */
ZO_API uint32_t ZoPathGetPointPosition(ZoPath* path, int32_t index, double* x, double* y);
/**
 * The subpath as a run of cubic points: its first point, then three points per segment. A
 * straight segment from A to B becomes A + 0.33333 (B - A), A + 0.66667 (B - A), B.
 *
 * @param path   the subpath (may be null).
 * @param points receives the points, room for 1 + 3 x segments (may be null to count).
 * @return the number of points; 0 for a null or empty subpath.
 */
ZO_API uint32_t ZoPathGetBezierPointDBs(ZoPath* path, PointDB* points);
/**
 * The point at a fraction of the subpath's length (ZoPathGetLength2), measured along the
 * curves.
 *
 * @param path     the subpath.
 * @param fraction 0 to 1; values at or below 0.0001 give the first node, values at or above
 *                 1 the last point.
 * @param point    receives the point in pixels.
 * @return 1; 0 for a null argument or a subpath without nodes.
 */
ZO_API uint32_t ZoPathGetPointByLengthPercentage(ZoPath* path, float fraction, PointDB* point);
/**
 * The fraction of the length at the point of the subpath nearest to a given point.
 *
 * @param path     the subpath.
 * @param point    the given point in pixels.
 * @param fraction receives the length up to the nearest point divided by the whole length
 *                 (0 for a subpath of length 0); may be null.
 * @param nearest  receives the nearest point; may be null.
 * @return 1; 0 for a null subpath or one without nodes.
 */
ZO_API uint32_t ZoPathGetLengthPercentageByPoint(ZoPath* path, PointDB point, float* fraction,
                                                 PointDB* nearest);
/**
 * The point of a subpath nearest to a given point (segments and curves, by the hit-testing
 * nearest-point solver).
 *
 * @param path     the subpath.
 * @param point    the given point in pixels.
 * @param distance receives the distance from the given point to the nearest one, in pixels;
 *                 may be null.
 * @param nearest  receives the nearest point; may be null.
 * @return 1; 0 for a null subpath or one without nodes.
 */
ZO_API uint32_t ZoPathGetNearestPointFromPoint(ZoPath* path, PointDB point, float* distance,
                                               PointDB* nearest);

/**
 * Compares two subpaths: equal node count, flags, primitive kind and node bytes.
 *
 * @return 1 when both exist and are equal in all of these, else 0.
 */
ZO_API uint32_t IsSameSubpath(const ZoPath* a, const ZoPath* b);
/**
 * Compares two wrap informations as a host decides whether a wrap must be redone. Equal
 * when both are null, or when both exist and: the baselines are equal (IsSameSubpath), or
 * both have none and equal bends; fit, count, the seven settings rotate to closed and flag
 * are equal; spacing and start differ by at most 0.0001; and, when neither is text, the
 * vertical references differ by at most 0.0001. Centre, size, ascent and descent, recentre
 * and setting are not compared.
 *
 * @return 1 when the same, else 0.
 */
ZO_API uint32_t IsSameWrapInfo(const ZoPathWrapInfo* a, const ZoPathWrapInfo* b);
/** 1 when the subpath carries ZOF_WRAP_BASELINE, else 0 (0 for null). */
ZO_API uint32_t ZoPathIsWrapBaseline(ZoPath* path);
/**
 * Selects the wrap baseline stored as the list's last subpath: it is deselected, then given
 * ZOF_SELECTED; with node >= 0 that node gets PT_SELECTED (and the subpath
 * ZOF_HAS_SEL_POINTS), otherwise with segment >= 0 that node gets PT_SEGMENT_MARK (and the
 * subpath ZOF_HAS_SEL_SEGMENT). Indices at or past the node count mark nothing.
 *
 * @return 1; 0 for a null list or when the last subpath is no wrap baseline.
 */
ZO_API uint32_t ZoPathSelectWrapBaseline(ZoPath* list, int32_t node, int32_t segment);
/**
 * Takes the wrap baseline out of the table: the current group's selected subpath, when it
 * is a wrap baseline with no `next`, is unlinked from its predecessor and the first group's
 * selected entry is cleared. *node and *segment (each may be null) are set to -1, then to the
 * index of the first node with PT_SELECTED (node) or PT_SEGMENT_MARK (segment), whichever
 * comes first among those asked for. The baseline is deselected.
 *
 * @return the baseline, now owned by the caller (ZoPathDeletePtr); NULL when the table's
 *         selected subpath is no lone wrap baseline.
 */
ZO_API ZoPath* ZoPathSeparateBaselineFromTable(ZoPathTbl* table, int32_t* node,
                                               int32_t* segment);
/**
 * A copy of the table's selected subpath when it is a wrap baseline: the same record size,
 * links cleared. Owned by the caller (ZoPathDeletePtr).
 *
 * @return the copy; NULL when the selected subpath is no wrap baseline, or on allocation
 *         failure (error 1001).
 */
ZO_API ZoPath* ZoPathMakeACopyOfBaseline(ZoPathTbl* table);
/**
 * Sets list-wide flags, from the list head: select non-zero deselects every subpath and
 * gives each ZOF_SELECTED; baseline non-zero sets ZOF_WRAP_BASELINE on the last subpath,
 * zero clears it on all; clearText non-zero clears ZOF_TEXT_CHAR and ZOF_TEXT_LINE on all.
 *
 * @return 1; 0 for a null list.
 */
ZO_API uint32_t ZoPathSetPathFlags(ZoPath* list, int32_t select, int32_t baseline,
                                   int32_t clearText);
/**
 * Where a wrap would cut the content off: the source's extent (the width of its shape
 * rectangle without margin, the height when vertical) times (1 + spacing) against the
 * available length (ZoPathGetLength2 of the baseline, times (1 - start) when the baseline is
 * open).
 *
 * @param list     the source list.
 * @param vertical non-zero for a vertical wrap; must agree with info->rotate == 1.
 * @param info     the wrap information with its baseline.
 * @return the available length rounded down, in pixels, when the extent exceeds it;
 *         0xFFFFFFFF when it does not, when list, info or its baseline is null, when
 *         info->count is positive, or when vertical disagrees with rotate.
 */
ZO_API uint32_t ZoPathWrapGetTruncatePosX(ZoPath* list, int32_t vertical,
                                          const ZoPathWrapInfo* info);
/**
 * Reverses the direction of a subpath that is selected and has no selected points or
 * segments: its outline nodes run backwards (each keeps its smooth and other non-kind bits;
 * a closed figure stays closed); trailing parameter nodes stay where they are.
 *
 * @return 1; 0 for null, and 0 with error 3200 when the subpath is unselected or has
 *         selected points or segments.
 */
ZO_API uint32_t ZoPathInvertSubpaths(ZoPath* path);
/**
 * Appends a copy of the information's baseline to a wrapped list as its stored baseline.
 * A last subpath of exactly one node is unlinked and released first. The list is deselected
 * and joined into one join chain; the copy (one record, ZoPathDuplicatePtrSingle) gets flags
 * ZOF_SELECTED | ZOF_WRAP_BASELINE (plus the polygon marks of a polygon baseline) and becomes
 * the list's last subpath, owned by the list.
 *
 * @return 1; 0 for a null list, information or baseline, when the list is a single one-node
 *         subpath, or on allocation failure (error 1001, list unchanged).
 */
ZO_API uint32_t ZoPathAddWrapPath(ZoPath* list, const ZoPathWrapInfo* info);
/**
 * A stretched copy of a path list: one band of x mapped onto another, piecewise linearly.
 *
 * The band edges are given in the margin-relative coordinates of the bound rectangles: the
 * source band is [min(a, b) + 5, max(a, b) + 5], the target band [min(c, d) + 5,
 * max(c, d) + 5]. Each segment crossing a source band edge gets a node there (a cubic is
 * divided at the crossing; crossings within 0.001 pixel of an existing node add none).
 * Then x <= lo moves by lo' - lo, x >= hi by hi' - hi, and x in between goes to
 * lo' + (x - lo)(hi' - lo')/(hi - lo); y is unchanged. With keepSmooth non-zero, a node
 * between two cubics whose handles are collinear and opposite (each at least 0.1 long in x
 * or y, the cross product of their directions below 0.01; on a closed figure the closing
 * node too, open ends never) has its handles re-aligned after the mapping, keeping their
 * lengths. The copy is deselected and its subpaths joined into one join chain.
 *
 * @param list       any member of the list; not changed.
 * @param out        receives the copy (NULL first), owned by the caller (ZoPathDeletePtr on
 *                   each subpath, or a table).
 * @param a, b, c, d band edges, image pixels less the 5-pixel margin.
 * @param keepSmooth non-zero keeps smooth joints smooth.
 * @return 1; 0 with error 3200 for a null list, out or band pointer; 0 with error 1001 when
 *         memory runs out (nothing is left allocated).
 */
ZO_API uint32_t ZoPathStretch(ZoPath* list, ZoPath** out, const double* a, const double* b,
                              const double* c, const double* d, uint32_t keepSmooth);

/**
 * Wraps a source list along a baseline, or bends it around a generated circle (bend mode,
 * info->baseline NULL): ZoPathDomainRangeWrap(list, info, NULL, 1).
 */
ZO_API uint32_t ZoPathWrap(ZoPath** list, ZoPathWrapInfo* info);
/**
 * Wraps a source list along the information's baseline: the source's x axis follows the
 * baseline's arc length, its y axis the baseline's normal (or stays vertical).
 *
 * Entry: the settings are normalised and written back into info (ascentDescent of text,
 * count, spacing, rotate, start, closed). A source that is not text is treated as one unit
 * (its text bits are cleared on success). rotate = 1 turns the source by -90 degrees about
 * its centre first. On success the baseline itself loses its attachment, gets flags
 * (flags & 0x9FFFFFFF) | ZOF_WRAP_BASELINE and, with recentre, is moved by the rounded offset
 * of its shape box centre to (centreX, centreY) when that exceeds 2 pixels on an axis.
 *
 * Measure: the source is measured by its shape rectangle without margin (left, width,
 * height). The reference line is, for text, top + (height + 1) x ascent / (ascent +
 * descent), for other sources (1 - verticalRef) x (height + 1) below the top. A point (x, y)
 * goes to the arc position (fit ? u x Lu : x - left) + start x L, with u = (x - left) /
 * (width + 1), L the baseline length and Lu = L, or (1 - start) x L on an open baseline, and
 * is offset by k x (reference - y), k running from startHeight% to endHeight% across the
 * width. Beyond the end a closed baseline wraps around, an open one continues straight.
 * With deform, source cubics over a curved baseline segment are divided into 2^n pieces
 * (n from the segment's curvature and the source height), and straight segments at least a
 * pixel wide there become cubics first, so the result follows the bent image; smooth nodes
 * and the new joints are re-aligned. Without deform each unit (character or text object) is
 * moved, turned and scaled by k as a whole. Mitred corners (cornerMode with deform and
 * followNormal) mitre every baseline joint that turns by more than 5 degrees. With the
 * trimmed ribbon switched on (ZoPathDoTrimmedRibbon), deform and no followNormal, the source
 * is first cut where the baseline's y turns (ZoPathCutWithLineX) and the pieces facing up and
 * down form two join chains; otherwise the result is one join chain.
 *
 * Bend mode (no baseline, bend non-zero, clamped to -99..100): the source (text: line by
 * line) is wrapped around a circle of radius w (1 + spacing) / (4 pi |bend| / 200), centred
 * on the unit, covering 2 |bend| / 200 of its circumference, over the top of the circle for
 * a positive bend and along its bottom otherwise.
 *
 * @param list   address of any member of the source list; receives the head of the wrapped
 *               list, whose records replace the source's (the source records are released).
 * @param info   the wrap information (read and normalised).
 * @param second address of a second list that is deselected on success (may be NULL).
 * @param flag   not read (1 from ZoPathWrap).
 * @return 1; 0 with nothing changed but the normalised settings: error 3200 for a null list
 *         or info, a source head with an attachment, a baseline with a `next`, a baseline
 *         node that is neither a line nor a curve, or no baseline and bend 0; 5404 for a
 *         baseline of fewer than 2 nodes or shorter than 4 pixels; 1001 when memory runs
 *         out.
 */
ZO_API uint32_t ZoPathDomainRangeWrap(ZoPath** list, ZoPathWrapInfo* info, ZoPath** second,
                                      int32_t flag);
/**
 * Wraps a copy of a table's path and puts the result into the table's first group.
 *
 * The list and the baseline are copied (the baseline copy deselected, then selected, its
 * selection marks saved); the copy of the baseline becomes info->baseline and the list copy
 * is wrapped (ZoPathWrap) and given its stored baseline (ZoPathAddWrapPath). On success the
 * information's previous baseline is unlinked and released, every record of the first
 * group's list is released, the saved selection marks go to the wrapped list's stored
 * baseline, and the wrapped list becomes the active path (ZoPathAssignActivePath).
 *
 * @return 1; 0 for a null argument, or when the wrap fails or memory runs out (error 1001):
 *         then info->baseline is restored and table, list and baseline are unchanged.
 */
ZO_API uint32_t ZoPathWrapAndUpdate(ZoPathTbl* table, ZoPath* list, ZoPath* baseline,
                                    ZoPathWrapInfo* info);

/* ========================================================================================
 * Primitive bounds
 * ======================================================================================== */

/** The rectangle of the path list from path to its tail: ZoPathGetAllMiniMaxRect at the
 * 16.16 scale unit (65536 = 1.0), with 5 added to left and top and 6 taken from right and
 * bottom (the drawing margin removed).
 * @param path any subpath; the list from it to the tail is measured.
 * @param unit 16.16 scale.
 * @param out receives the rectangle in scaled image pixels.
 * @return 1; 0 for a null path or out (out unchanged). */
ZO_API uint32_t ZoPathGetRealRect(const ZoPath* path, uint32_t unit, RECT* out);

/* ========================================================================================
 * Text
 * Text becomes paths: each character's TrueType outline (through the platform's font calls,
 * Zo32path_platform.h) is converted into subpaths of moves, lines and cubic Beziers placed
 * along a pen that advances by the character's ABC widths, kerning and extra spacing. The
 * first subpath of every character carries ZOF_TEXT_CHAR; the subpaths of one text form one
 * list and one join chain. Nodes on the implied on-curve points of quadratic splines have
 * PT_SMOOTH (type 0x2004). Glyph y grows upwards and is negated: the baseline of the first
 * line is y = 0 and characters lie above it (negative y).
 * ======================================================================================== */

/** One run of rich text: 80 bytes. */
typedef struct richTextRun {
  int32_t height;       /**< em height in pixels, 1 ... 10000 (the font is asked for -height) */
  int32_t ascent;       /**< pixels; filled from the font when ascent and descent are both 0 */
  int32_t descent;      /**< pixels; line heights, rotation centre and bar fallbacks */
  int32_t extraLeading; /**< pixels added to the descent for the line height when positive */
  uint32_t charset;     /**< character set (0 ANSI, 2 symbol: one byte a character, 128 ...) */
  uint8_t style;        /**< ZORUN_... bits */
  uint8_t reserved[3];
  int32_t kerning;      /**< nonzero: apply the font's kerning pairs */
  int32_t spacing;      /**< extra pixels after every character (when at least 1) */
  char faceName[32];    /**< font family; at most 31 characters are read */
  const char* text;     /**< zero-terminated bytes, lines separated by line feeds; null: skipped */
  COLORREF colour;      /**< text colour, red in the low byte */
  float rotation;       /**< degrees each character is turned about its middle; finite */
} richTextRun;

#define ZORUN_BOLD 0x01      /* weight 700, else 400 */
#define ZORUN_ITALIC 0x02
#define ZORUN_UNDERLINE 0x04 /* an underline bar under the run's pieces */
#define ZORUN_STRIKEOUT 0x08 /* a strike-out bar */
#define ZORUN_OUTLINED 0x10  /* the run's subpaths get ZOF_TEXT_STYLE (drawn, never filled) */

/** A rich-text record: this header followed directly by runCount runs. */
typedef struct richText {
  uint32_t reserved;
  int32_t runCount;        /**< at least 1 */
  int32_t lineSpacing;     /**< pixels added between lines (or the whole step, see below) */
  int32_t spacingAbsolute; /**< nonzero: the line step is lineSpacing alone */
  uint32_t alignment;      /**< 1: lines to the far side of the widest, 2: centred; else none */
  uint32_t vertical;       /**< nonzero: columns right to left, characters turned 270 degrees */
  richTextRun runs[1];     /**< extends to runCount runs */
} richText;

/** Lays out a rich-text record into one text path.
 *
 * Each run is read with its own font (face, height, bold, italic, character set). Lines end at
 * line feeds. When maxWidth and maxHeight are both nonzero the text is first split into words
 * (at spaces and double-byte characters), a line also ends before a word that would pass
 * maxWidth, and layout stops at the line that would pass maxHeight (for vertical text the two
 * limits swap roles); otherwise both limits are ignored. A piece whose pen position would
 * pass 10005 pixels is left out. Underline and strike-out bars are closed five-node
 * rectangles with flags ZOF_TEXT_CHAR | ZOF_RICH_BAR after their piece's characters. The first
 * subpath of a piece whose colour differs from the previous piece's carries ZOF_COLOR_PIECE.
 *
 * @param text the record; runs with a null text are skipped. Runs whose ascent and descent
 *   are both 0 receive them from the font.
 * @param fixedOutline nonzero: outlines are read at 128 pixels and scaled to each run's height
 *   (smoother small text); zero: read at the run's height and moved by (-0.5, -0.5).
 * @param maxWidth, maxHeight layout limits in pixels (see above).
 * @param outPath receives the text path (null when nothing was produced), owned by the caller
 *   (each record released with ZoPathDeletePtrSingle along next); null to measure only.
 * @param lineCount, totalHeight receive the number of lines and the sum of their steps;
 *   required when outPath is null, else optional.
 * @param outWidth when not null receives the widest line in pixels.
 * @return 1; 0 for a null record, a run count below 1, a run height outside 1 ... 10000 or a
 *   rotation that is not finite (error 3200), when the context or a font cannot be made, or
 *   when memory runs out (error 1001). Nothing is left allocated on failure. */
ZO_API uint32_t ZoPathCreateRichEditText2(richText* text, uint32_t fixedOutline, uint32_t maxWidth,
                                          uint32_t maxHeight, ZoPath** outPath,
                                          uint32_t* lineCount, uint32_t* totalHeight,
                                          double* outWidth);
/** ZoPathCreateRichEditText2 without the widest-line output. */
ZO_API uint32_t ZoPathCreateRichEditText(richText* text, uint32_t fixedOutline, uint32_t maxWidth,
                                         uint32_t maxHeight, ZoPath** outPath,
                                         uint32_t* lineCount, uint32_t* totalHeight);

/** Options of ZoPathCreateText: ten 32-bit words. */
typedef struct TextOptions {
  uint32_t reserved0;
  uint32_t italic;     /**< set to 0 by the call when the context's font is italic */
  uint32_t underline;  /**< nonzero: an underline bar under each line */
  uint32_t strikeOut;  /**< nonzero: a strike-out bar through each line */
  uint32_t rasterMode; /**< ZoPathToBuf's mode */
  uint32_t vertical;   /**< nonzero: vertical text (the font should have escapement 2700) */
  uint32_t antiAlias;  /**< ZoPathToBuf's aaMode */
  uint32_t reserved7;
  uint32_t alignment;  /**< ZOTEXT_ALIGN_... or anything else for none */
  uint32_t outputMode; /**< ZOTEXT_PATH_ONLY, or anything else for path and mask */
} TextOptions;

#define ZOTEXT_ALIGN_FAR 1001    /* each line moved by the widest line's width minus its own */
#define ZOTEXT_ALIGN_CENTRE 1002 /* by half of that */
#define ZOTEXT_PATH_ONLY 1021

/** Converts text in the font selected into dc (an information context of
 * ZoPlatCreateDCA with a font of ZoPlatCreateFontIndirectA) into one path and its mask.
 *
 * Control characters other than carriage return and line feed count as spaces; lines end at
 * carriage-return/line-feed pairs (at most 2047 lines; trailing empty lines are dropped).
 * Line i is moved down (left for vertical text) by i times the font's height; the first
 * subpath of each line carries ZOF_TEXT_LINE; bars are five-node rectangles with
 * ZOF_TEXT_CHAR at the end of their line. Each line's conversion is traced as
 * "Enter FontOutlineToPSPath\n".
 *
 * @param dc the context with the font; its character set decides the code page.
 * @param text zero-terminated bytes.
 * @param options see TextOptions.
 * @param outPath receives the text path (null for empty text), owned by the caller (each
 *   record released with ZoPathDeletePtrSingle along next).
 * @param outRect receives the mask's rectangle (as ZoPathToBuf's, in image pixels scaled by
 *   150 / font height when the font is under 60 pixels high); may be null in path-only mode.
 * @return the 8-bit mask (non-zero winding) of the path, freed by the caller with
 *   ZoPathBufFree; 0 in path-only mode, for empty text, for null arguments, when the font
 *   cannot be read, or when memory runs out (error 1001; *outPath null). */
ZO_API uint8_t* ZoPathCreateText(HDC dc, char* text, TextOptions* options, ZoPath** outPath,
                                 RECT* outRect);

/** Draws the glyphs of a text path made by ZoPathCreateRichEditText2 from the same record as
 * hinted 1-bit glyph bitmaps in each run's colour, and its bars as filled rectangles.
 *
 * Each character's bitmap is placed at the rounded box of its subpaths; characters whose box
 * misses the target are skipped. The path and the record are walked in step; a path that
 * does not match the record ends the walk (0).
 * @param path the text path (its first subpath must carry ZOF_TEXT_CHAR).
 * @param origin image position of the target's top-left pixel.
 * @param libraryBuffer a library buffer (ZoPathBufAlloc) of 8 bits (coverage kept as the
 *   maximum), 24 or 32 bits (red, green, blue bytes blended); null to use hostImage.
 * @param hostImage a host image (buf32... calls) used when libraryBuffer is null.
 * @param reserved not read.
 * @param text the rich-text record the path was made from.
 * @return 1; 0 for null arguments, an empty path or one not starting with a character, a
 *   glyph that cannot be rendered, a path that does not match the record, or a host image
 *   that cannot be reached. */
ZO_API uint32_t ZoPathGlyphToBuf(ZoPath* path, const POINT* origin, uint8_t* libraryBuffer,
                                 void* hostImage, uint32_t reserved, richText* text);

/* ========================================================================================
 * Primitives and path constructors
 * A primitive is a closed path made from a rectangle the user dragged in the window. The
 * drag's left/top corner is the anchor whatever the drag direction; both end pixels count, so
 * the box is (|right - left| + 1) / zoom by (|bottom - top| + 1) / zoom image pixels. The path
 * remembers its kind in primitiveKind while it is still an unedited primitive.
 * ======================================================================================== */

/* Primitive kinds (primitiveKind). */
#define ZOPRIM_NONE 0u           /* an ordinary path (also triangles and template copies) */
#define ZOPRIM_ELLIPSE 1u        /* 13 nodes */
#define ZOPRIM_RECTANGLE 2u      /* 5 nodes */
#define ZOPRIM_ROUNDED 3u        /* 17 nodes, corner radius min(max(a, b) / 3, min(a, b)) */
#define ZOPRIM_DIAMOND 4u        /* 5 nodes */
#define ZOPRIM_BANDED 5u         /* 27 nodes: top and bottom edges of 4 straight Beziers */
#define ZOPRIM_TRIANGLE 6u       /* requested only: 4 nodes, stored as ZOPRIM_NONE */
#define ZOPRIM_ROUNDED_PCT 300u  /* 300 + p: rounded rectangle, radius p % of the smaller half */

/**
 * Builds a primitive from a dragged rectangle as a new standalone path (linked nowhere).
 *
 * @param kind      a ZOPRIM_ value: 1 to 6, or 300 to 400; not examined when templ is given.
 * @param templ     null, or a path list to copy: the copy is joined into one object, scaled so
 *                  its margin rectangle (bounds widened by 5 pixels and the end pixel) fills
 *                  the box, moved to the box's left-top corner, all nodes selected; kind 0.
 * @param out       receives the new path (selected, flags ZOF_SELECTED); untouched on failure.
 * @param view      the view the drag was made in (window origin, scroll, zoom > 0).
 * @param centered  nonzero: the anchor is the centre and the drag's sizes are half-sizes;
 *                  zero: the box runs from the anchor toward the drag's other corner.
 * @param keepAspect nonzero with a template: one scale factor, the smaller of the two.
 * @param drag      the dragged rectangle in window pixels.
 * @return 1; 0 for a null view, out or drag (nothing reported), a kind outside the list, a
 *         zoom that is not a positive finite number, a box reaching |coordinate| >= 32768 or
 *         a template without width or height (error 3200), or an allocation failure (1001).
 *         The caller owns the path (ZoPathDeletePtr, or insert it into a table).
 */
ZO_API uint32_t ZoPathGetPrimitive(int32_t kind, ZoPath* templ, ZoPath** out,
                                   const CoordStruct* view, int32_t centered, int32_t keepAspect,
                                   const RECT* drag);
/**
 * Builds a primitive (as ZoPathGetPrimitive) and inserts it into the table: the current
 * group's selection is cleared first (handles redrawn on dc, which may be null), then the new
 * path is appended after the group's last path (or becomes its first) and made the group's
 * selected path. The table owns it from then on.
 *
 * @return 1; 0 for a null table or view (nothing changed), or when the path could not be
 *         built (the selection has been cleared by then; nothing is linked).
 */
ZO_API uint32_t ZoPathAddPrimitive(HDC dc, uint32_t kind, ZoPath* templ, ZoPathTbl* table,
                                   const CoordStruct* view, int32_t centered, int32_t keepAspect,
                                   const RECT* drag);
/**
 * Stores kind into the primitiveKind of the subpath *p points to.
 * @return that subpath; null for a null p or *p.
 */
ZO_API ZoPath* ZoPathPrimitive(ZoPath** p, uint32_t kind);
/**
 * Makes a path an ordinary path: clears the primitive kind of the given subpath, and of every
 * subpath from the head of its object (through joinPrev) to the end of its list. Callers may
 * rely only on the given subpath's kind becoming 0. Does nothing for null.
 */
ZO_API void ZoPathCancelPrimitive(ZoPath* path);
/**
 * The corner roundness of a rounded rectangle.
 *
 * @param percent  (may be null) kind 3: the radius in percent of the smaller half-side, 1 to
 *                 99; kind 300 to 400: kind - 300; any other kind: 50.
 * @param radius   (may be null) the corner radius in whole image pixels (0 for other kinds).
 * @return 1 for a rounded rectangle (kind 3 or 300 to 400), else 0 (also for null).
 */
ZO_API uint32_t ZoPathGetRectangleRoundness(const ZoPath* path, uint32_t* percent,
                                            uint32_t* radius);
/**
 * Gives a rounded rectangle a corner radius of percent (clamped to 1 to 99) of its smaller
 * half-side, rewriting its 17 nodes in place from its current edges (a horizontally mirrored
 * rectangle keeps its direction); the kind becomes 300 + percent.
 *
 * @param bounds  (may be null) receives the rectangle's edges rounded to whole pixels.
 * @return 1; 0 for null or a path that is not a rounded rectangle (nothing changed).
 */
ZO_API uint32_t ZoPathSetRectangleRoundness(ZoPath* path, int32_t percent, RECT* bounds);
/**
 * The largest inset that keeps the primitive's shape, in image pixels, at least 1.0: the
 * smaller radius of an ellipse, half the smaller side of a rectangle or banded rectangle, the
 * corner radius of a rounded rectangle (kinds 3, 300 to 399), half the smaller extent of the
 * first nodes for other kinds.
 * @return 1; 0 for a null path or dist, kind 0, or too few nodes.
 */
ZO_API uint32_t ZoPathGetPrimitiveMaxDist(const ZoPath* path, double* dist);
/**
 * 1 when the path is still exactly the primitive it was made as: a nonzero kind, for rounded
 * rectangles (3, 300 to 399) a lower-left corner that is still a quarter circle (within 0.01
 * pixel), and no following subpath unless that one is an envelope frame (flag bit 20 or 21).
 * 0 otherwise and for null.
 */
ZO_API uint32_t ZoPathIsOnlyPrimitive(const ZoPath* path);

/**
 * Starts the creation batch: the constructors below (except ZoPathComposePureBezierSubpath)
 * append each new subpath to it, linked through prev/next. A second call while a batch is
 * active keeps the collected subpaths.
 * @return the batch's current head (null for a new batch).
 */
ZO_API ZoPath* ZoPathCreateFrom_Begin(void);
/**
 * A circle (kind 1, 13 nodes, flags 0) about ((left + right) / 2, (top + bottom) / 2) x scale
 * with radius min(width, height) x scale / 2.
 * @return the new subpath (owned by the caller, or by the batch list when one is active);
 *         null for a null r, a circle reaching |coordinate| >= 32768 (error 3200) or out of
 *         memory (1001).
 */
ZO_API ZoPath* ZoPathCreateFromCircle(const RECT* r, double scale);
/**
 * A polyline: one node per point (PT_MOVETO, then PT_LINETO), coordinates x scale, flags 0;
 * closed (PT_CLOSEFIGURE on the last node) when the first and last points are equal.
 * @return the new subpath; null for null pts or n < 2 (nothing reported), coordinates
 *         reaching 32768 (3200) or out of memory (1001).
 */
ZO_API ZoPath* ZoPathCreateFromPoints(const POINT* pts, int32_t n, double scale);
/**
 * A Bezier subpath from n = 3k + 1 points (k >= 1): PT_MOVETO then PT_BEZIERTO nodes, flags
 * 0. When the first and last points agree within 0.0001 the last node takes the first node's
 * exact point and closes the figure.
 * @return the new subpath; null for null pts or a wrong count (nothing reported), points
 *         reaching 32768 (3200) or out of memory (1001).
 */
ZO_API ZoPath* ZoPathCreateBezierFromPointDBs(const PointDB* pts, int32_t n);
/**
 * As ZoPathCreateBezierFromPointDBs for n = 3k + 1 points (k >= 0), with flags 0x40000000,
 * closed only when the last point converts to exactly the first; never added to the batch.
 * @return the new subpath (owned by the caller) or null.
 */
ZO_API ZoPath* ZoPathComposePureBezierSubpath(const PointDB* pts, int32_t n);
/**
 * Appends, after the last subpath of the list, a subpath of one node of type 7 at (0, 0) with
 * flags 0x80010000. Nothing happens for null or when memory runs out (1001 reported).
 */
ZO_API void ZoPathAppendEmptySubpath(ZoPath* chain);
/**
 * Ends the creation batch: every collected subpath that is open is closed, by marking its last
 * node when it lies on the first, or else by growing the record by one PT_LINETO |
 * PT_CLOSEFIGURE node at the first point (the record may move; its neighbours follow). When a
 * record cannot grow (1001 reported) the list ends before it and it and the rest are released.
 * @return the head of the collected list (owned by the caller), null when no batch is active.
 */
ZO_API ZoPath* ZoPathCreateFrom_End(void);

/**
 * Tells whether a primitive stays the same axis-aligned primitive when its bounding box is
 * mapped onto four corner points (the bilinear envelope asks before keeping the kind).
 *
 * The corners are taken as image pixels (16.16, converted to doubles). They keep the shape
 * "straight" when corners[0]-corners[1] stay a horizontal edge (|x0 - x2|, |x1 - x3|,
 * |y0 - y1| and |y2 - y3| all below 1 pixel) and "turned" when they became a vertical one
 * (|y0 - y2|, |y1 - y3|, |x0 - x1|, |x2 - x3| below 1). A rounded rectangle (kind 3 or
 * 300-399) must also keep its aspect ratio within 0.001, because its corner arcs would
 * otherwise stop being circular; a rounded rectangle of fewer than 16 nodes is never kept.
 *
 * @param path    the primitive subpath (its primitive kind and, for rounded rectangles,
 *                nodes 4, 8, 11 and 15 are read); not changed.
 * @param corners four points: top-left, top-right, bottom-left, bottom-right.
 * @return 1 when the primitive is kept, 0 otherwise; 0 for a null argument or kind 0.
 */
ZO_API uint32_t ZoPathIsKeepPrimitive(const ZoPath* path, const Ptfx corners[4]);

/* ========================================================================================
 * Pen tool
 * ======================================================================================== */

/* Window messages and keys the tool procedures take. */
#define ZOMSG_KEYDOWN 256u
#define ZOMSG_MOUSEMOVE 512u
#define ZOMSG_LBUTTONDOWN 513u
#define ZOMSG_LBUTTONUP 514u
#define ZOMSG_LBUTTONDBLCLK 515u
#define ZOKEY_BACKSPACE 8u
#define ZOKEY_ESCAPE 27u
/* Pen tool modes. */
#define ZOPEN_CLOSING_ADD 0u /* as ZOPEN_CLOSING, and a double click away from the first point
                                adds that point first */
#define ZOPEN_FREE 1u        /* a double click ends the path open; end handles shorter than 5
                                pixels are dropped */
#define ZOPEN_CLOSING 2u     /* a double click within 9 pixels of the first point closes */
#define ZOPEN_LINE 3u        /* two-point line (also any value above 3) */

/**
 * The pen tool: the host's window procedure forwards every mouse and key message while the tool
 * is active, and the procedure builds a new subpath node by node. Its state (the drawing in
 * progress and a buffer of its window points) is module-wide; one drawing at a time.
 *
 * The host plays the Windows capture protocol (ZoPlatSetCapture): a ZOMSG_LBUTTONDOWN without
 * capture starts a subpath (flags ZOF_SELECTED | ZOF_DRAWING, node 0 a PT_MOVETO at the
 * pointer) appended to the current group as its selected path, after clearing the group's
 * selection; the host then captures the mouse. With capture, a click adds a corner
 * (PT_LINETO, or the end of a pending curve), a press, drag of more than 4 pixels in x or y
 * and release adds a smooth point (type PT_BEZIERTO | PT_SMOOTH) whose outgoing handle is the
 * release point and incoming handle its mirror; until the next point the outgoing handle is
 * kept as a placeholder curve (handle, point, point) at the end of the subpath. A release
 * within 4 pixels of its press is a click at the press point. A double click ends the subpath
 * (see the modes): the procedure releases the capture, clears ZOF_DRAWING, drops a pending
 * handle and returns 1. Closing needs 4 or more nodes (exactly 4 only with a line as first
 * segment), ending open 2; otherwise the double click is ignored. A closed subpath whose end
 * segments are both curves gets a smooth join at node 0. ZOKEY_BACKSPACE (button up) takes back
 * the last node, with its pending handle, and gives the previous point's handle back;
 * ZOKEY_ESCAPE abandons the drawing: the subpath keeps its nodes and ZOF_DRAWING, the capture
 * is left to the host. With Shift (ZoPlatSetKeyState 16) the pointer is held horizontal,
 * vertical or diagonal to the last point (to the press point during a drag, so a Shift click
 * stays a click), except within 8 pixels of the first point of a subpath of 3 or more nodes.
 *
 * While drawing, the procedure shows on dc, with exclusive-or pens, the drawn segments (light
 * grey 0xC0C0C0) with node markers, the pending handle (0x404040) and a rubber band or the
 * curve of a drag; all of it is erased when the drawing ends, so the dc is as it was before the
 * first message (the host draws the finished path through the display buffer). When the view
 * scrolled between messages the host is taken to have moved the window's pixels: the previews
 * are erased where they moved and the subpath is drawn again in the uncovered strip
 * (clipScroll nonzero), or erased where it moved and drawn again whole (clipScroll zero).
 *
 * @param dc       the window's device context; null draws nothing (the states still change).
 * @param table    the table to draw into; with null a button press only beeps.
 * @param view     the view (window origin, scroll, zoom); null does nothing.
 * @param message  ZOMSG_...; others do nothing. Messages out of order (a release without a
 *                 press, moves without a drawing) do nothing.
 * @param key      with ZOMSG_KEYDOWN: ZOKEY_ESCAPE or ZOKEY_BACKSPACE; others do nothing.
 * @param pointer  the pointer in window pixels (the view's window rectangle's system).
 * @param mode     ZOPEN_... mode.
 * @param clipScroll see above.
 * @return 1 when the subpath was finished, or when memory ran out (1001 reported: starting
 *         fails with nothing made; a failure to grow ends the subpath with the nodes drawn so
 *         far); 0 otherwise (also when the table's paths are hidden: a beep).
 */
ZO_API uint32_t ZoPathMouseProcDraw(HDC dc, ZoPathTbl* table, const CoordStruct* view,
                                    uint32_t message, uint32_t key, POINT pointer, uint32_t mode,
                                    int32_t clipScroll);

/* ========================================================================================
 * Polygons and stars
 * A figure of n sides (1 to 63) generated in polar form around the centre of a dragged
 * rectangle. The drag's left/top corner is the centre (centered nonzero) or the box's corner;
 * the first vertex lies toward the drag's right/bottom corner, or, with upright nonzero,
 * straight above the centre (below it when the drag went upward) at half the box height.
 * Each side contributes the same nodes, so side k is side 0 turned by 2 pi k / n; the last
 * node closes onto node 0. The subpath's flags carry the side count (bits 5-10), the side
 * style when it is 1 to 4 (bits 13-15) and ZOF_POLY_STYLE2 (ZOF_POLY_STYLE1 for style 9).
 *
 * Side styles and the nodes each side contributes:
 *   0  the first side of a polygon template (as many nodes), in polar form around the
 *      template's centre (the mean of its side-start vertices): each node's distance over
 *      the template's radius (centre to node 0) scales this figure's radius, its angle after
 *      node 0's is scaled by (template sides / n) so the pattern spans one side.
 *   1  straight sides (1)              2  star, inner points at R / 3 (2)
 *   3  arcs with vertices turned by half a side (3)
 *   4  concave curves pulled in to R / 2 (3)
 *   5  outward bulges, controls at R / cos(pi / n) (3; refused for n = 2)
 *   6  a tab: in to 3/4 R and out along the side (5)
 *   7  two lobes meeting at R cos(side / 3) (6)
 *   8  a swirl with controls at 1.5 R and R / 5, vertices turned by half a side (3)
 *   9  a step in to 3/4 R and a curve out (4; polygon style 1)
 *   10 scallops dipping to 8/9 R at the quarter sides (9)
 *   11 a notch to 3/4 R scooped to R / 2 (5)
 *   12 a shallow star, inner points at half the apothem (2)
 * Refused with error 3200 (result 0, nothing allocated): n = 0 or n > 63, a style above 12,
 * style 5 with n = 2, style 0 with a template that is not a polygon of regular sides and at
 * least 2 sides, a zoom that is not positive and finite, and figures reaching
 * |coordinate| >= 32768.
 * ======================================================================================== */

/**
 * Builds a polygon or star as a new standalone path (selected, linked nowhere).
 * @param sides  1 to 63.  @param style  side style 0 to 12 (above).
 * @param templ  the polygon template of style 0 (ignored by the other styles).
 * @param out    receives the path (owned by the caller); untouched on failure.
 * @param view, drag, centered, upright  the dragged rectangle in the view (see above).
 * @return 1; 0 for a null out, view or drag, a null template with style 0 (nothing reported),
 *         a refusal (3200) or out of memory (1001).
 */
ZO_API uint32_t ZoPathPolyGet(uint32_t sides, int32_t style, ZoPath* templ, ZoPath** out,
                              const CoordStruct* view, const RECT* drag, int32_t centered,
                              uint32_t upright);
/**
 * Builds a polygon (as ZoPathPolyGet) and inserts it into the table as ZoPathAddPrimitive
 * does: the group's selection is cleared on dc first, the path is appended after the group's
 * last path and becomes the selected path.
 * @return 1; 0 for a null table or view, or when the figure could not be built.
 */
ZO_API uint32_t ZoPathPolyAdd(HDC dc, uint32_t sides, uint32_t style, ZoPath* templ,
                              ZoPathTbl* table, const CoordStruct* view, const RECT* drag,
                              int32_t centered, uint32_t upright);
/**
 * Draws the outline of the figure ZoPathPolyGet would build, in window pixels, with an
 * exclusive-or pen (R2_XORPEN, solid light grey 0xC0C0C0, null brush): drawing it twice
 * restores the pixels. The dc's raster operation, pen and brush are restored.
 * @return 1; 0 when the figure cannot be built (as ZoPathPolyGet) or dc is not a device
 *         context (nothing drawn).
 */
ZO_API uint32_t ZoPathPolygonDrawWithGDIXOR(HDC dc, const CoordStruct* view, const RECT* drag,
                                            int32_t centered, uint32_t upright, uint32_t style,
                                            uint32_t sides, ZoPath* templ);
/** The side count of a polygon subpath (flag bits 5-10); 0 for null or a non-polygon. */
ZO_API uint32_t ZoPathPolyGetSides(const ZoPath* path);
/** The polygon style: 2 with ZOF_POLY_STYLE2, else 1 with ZOF_POLY_STYLE1, else 0. */
ZO_API uint32_t ZoPathPolyGetStyle(const ZoPath* path);
/**
 * Changes the polygon style: 0 clears every polygon mark (the path stops being a polygon);
 * 1 makes a polygon style 1; 2 is accepted only for a polygon that already has style 2.
 * @return 1 when done or accepted; 0 for null, another style, or 1 and 2 on a non-polygon.
 */
ZO_API uint32_t ZoPathPolySetStyle(ZoPath* path, uint32_t polygonStyle);
/**
 * The side count shared by the polygons of a list: the current group's list from its first
 * path, or from p when table is null; with selectedOnly nonzero the selection chain instead,
 * from the group's selected path (or p), which must be selected.
 * @return the shared count, 0 when there is no polygon, or the negated count of the first
 *         polygon that differs from the earlier ones.
 */
ZO_API int32_t ZoPathGetPolySide(ZoPathTbl* table, ZoPath* p, uint32_t selectedOnly);
/** The number of polygons in the same walk as ZoPathGetPolySide (0 for a null table and p). */
ZO_API uint32_t ZoPathHasPolyPath(ZoPathTbl* table, ZoPath* p, uint32_t selectedOnly);
/**
 * Applies ZoPathPolySetStyle(path, polygonStyle) to every polygon of the same walk as
 * ZoPathGetPolySide. @return 1; 0 for a null table and p.
 */
ZO_API uint32_t ZoPathSetPolyStyle(ZoPathTbl* table, ZoPath* p, uint32_t selectedOnly,
                                   uint32_t polygonStyle);

/* ========================================================================================
 * Cutting
 * A cut splits every subpath of a path list like a knife: open subpaths fall apart into open
 * pieces at the nodes on the cut, closed subpaths become closed pieces whose new edges run
 * along the cut. The pieces replace the list: first-side pieces first, then second-side ones.
 * For a vertical line the first side is x greater than the line's x. Before cutting every
 * subpath loses its selection flags, node marks, join and selection links. The old list's
 * records that were cut are released; the list pointer receives the new head (null when
 * nothing is left). On allocation failure (error 1001) the list is left as it was.
 * ======================================================================================== */

/* Pairing of the points where closed subpaths meet the cut (the last argument of every cut
 * function). */
#define ZOCUT_PAIR_PER_SUBPATH 0 /* each point with the neighbouring one of its own subpath */
#define ZOCUT_PAIR_ALONG_CUT 1   /* consecutive points along the cut, across subpaths (rings) */

/** Cuts a whole path list along the vertical line at x.
 *
 * @param view    view record whose window coordinates x is given in (image x =
 *                (x - window left + scrollX) / zoom - 0.5), or null for whole image units.
 * @param list    address of any subpath of the list; receives the head of the cut list. Null
 *                or a null list: nothing happens.
 * @param x       the line's x.
 * @param pairing ZOCUT_PAIR_PER_SUBPATH (0) or any nonzero value for ZOCUT_PAIR_ALONG_CUT,
 *                which joins a ring's outer and inner boundaries into C-shaped pieces.
 *
 * Nodes within 0.01 pixel of the line lie on it; crossings get new nodes (cubics are divided
 * there). The pieces are new records owned by the list (flags without the text bits,
 * primitive kind 0); subpaths the line does not cross are kept, on the side of their first
 * point. No return value; on allocation failure error 1001 is reported. */
ZO_API void ZoPathCutWithLineX(CoordStruct* view, ZoPath** list, int32_t x, uint32_t pairing);

/** Cuts a whole path list along the line through two points.
 *
 * @param view    view record for window coordinates, or null for whole image units.
 * @param list    address of any subpath of the list; receives the head of the cut list.
 * @param a, b    the points, packed: x in the low, y in the high signed 32 bits. With equal
 *                x this is ZoPathCutWithLineX at that x. Points closer than 0.0001 pixel
 *                (after conversion): nothing happens.
 * @param pairing as for ZoPathCutWithLineX.
 *
 * The list is turned so that the line runs from a to b straight down its vertical axis, cut
 * there and turned back; every node of the result, cut or not, goes through that rotation
 * and back in 16.16. The first side lies on the left of the direction from a to b as seen
 * on the image (y down): for a line drawn from left to right, the part above it. */
ZO_API void ZoPathCutWithLine(CoordStruct* view, ZoPath** list, int64_t a, int64_t b,
                              uint32_t pairing);

/** ZoPathCutWithLineX on the current group of a table: when the group has a path, its
 * selected path is cleared (ZoPathAssignSelectedPath with null), the group's whole list is
 * cut, and the new head becomes the group's first path (ZoPathAssignActivePath). Null table:
 * nothing happens. Nothing is drawn. */
ZO_API void ZoPathTblCutWithLineX(CoordStruct* view, ZoPathTbl* table, int32_t x,
                                  uint32_t pairing);

/** ZoPathCutWithLine on the current group of a table, as ZoPathTblCutWithLineX. */
ZO_API void ZoPathTblCutWithLine(CoordStruct* view, ZoPathTbl* table, int64_t a, int64_t b,
                                 uint32_t pairing);

/** Cuts a whole path list along a cutting subpath (a knife stroke of lines and curves).
 *
 * @param list    address of any subpath of the list; receives the head of the cut list. Null
 *                or a null list: nothing happens.
 * @param cutter  the cutting subpath, read only (it need not belong to the list; only its
 *                own nodes are used). Null: nothing happens.
 * @param pairing as for ZoPathCutWithLineX; the points are ranked along the cutter.
 *
 * Every subpath must be closed: an open subpath in the list, or an odd number of points where
 * the cutter meets the subpaths so far, leaves the list as it is (stripped of its selection
 * and chains). Where the cutter crosses a subpath nodes are inserted; the new edges follow the
 * cutter's own segments between two crossings. A subpath the cutter does not cross goes
 * whole to the side of its box centre. The side of a point is taken from the nearest
 * segment of the polyline through the cutter's nodes: the second side when the point lies
 * to the left of it on the image (y down), else the first. Stretches where an edge runs
 * along the cutter are not crossings. No return value; on allocation failure error 1001 is
 * reported and the list is left as it was. */
ZO_API void ZoPathCutWithPath(ZoPath** list, ZoPath* cutter, uint32_t pairing);

/** ZoPathCutWithPath on the current group of a table, as ZoPathTblCutWithLineX; a null
 * table or cutter does nothing. */
ZO_API void ZoPathTblCutWithPath(ZoPathTbl* table, ZoPath* cutter, uint32_t pairing);

#ifdef __cplusplus
}
#endif

#endif /* ZO32PATH_H */
