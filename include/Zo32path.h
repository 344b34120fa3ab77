/*
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

/* The node array of a record: the declared one-element array extends to the capacity. */
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

/* Creates the path heap once; returns 0x30000, or 0 when the heap cannot be created. */
ZO_API uint32_t ZoPathInit(void);
/* A new table with one empty group, stored in *table (null first). */
ZO_API uint32_t ZoPathNew(ZoPathTbl** table);
/* A new empty subpath of capacity 100, or null. */
ZO_API ZoPath* ZoPathCreate(void);
/* Appends one node; growth may move the record (the new address is stored back). */
ZO_API uint32_t ZoPathAddPoint(ZoPath** path, const Ptfx* point, uint16_t type);
/* Shrinks the record to exactly (count + 7) x 10 bytes. */
ZO_API uint32_t ZoPathPurge(ZoPath** path);
/* Releases one record (and its attachment); refuses pointers that are not live records. */
ZO_API uint32_t ZoPathDeletePtr(ZoPath* path, uint32_t unused);
ZO_API uint32_t ZoPathDeletePtrSingle(ZoPath* path);
/* Releases a table: each group's head record, the display buffer, the table. */
ZO_API uint32_t ZoPathTblDelete(ZoPathTbl* table);
/* A closed, selected subpath from n point records (24 bytes each); null on failure. */
ZO_API ZoPath* ZoPathR2VToZoPath(int32_t n, const ZoPathR2VPoint* points);

ZO_API int32_t DbToFix(double value);
ZO_API double FixToDb(int32_t value);
ZO_API Ptfx PtfxAdd(Ptfx a, Ptfx b);

/* ========================================================================================
 * Tables, groups and chains
 * ======================================================================================== */

ZO_API void ZoPathFind(ZoPathTbl* table, uint32_t* curGroup, ZoPath** first, ZoPath** selected,
                       uint32_t* shown);
ZO_API void ZoPathFindGroups(ZoPathTbl* table, uint32_t* groupCount);
ZO_API void ZoPathFindGroupName(ZoPathTbl* table, int32_t index, char** name);
/* Adds the list as a new group (or creates the table with its display buffer), then draws
 * it; out receives the window rectangle that changed. */
ZO_API uint32_t ZoPathAddPathGroup(ZoPathTbl** table, ZoPath* list, const char* name,
                                   CoordStruct* view, RECT* out);
ZO_API uint32_t ZoPathAssignActivePath(ZoPathTbl* table, ZoPath* list);
ZO_API uint32_t ZoPathAssignSelectedPath(ZoPathTbl* table, ZoPath* path);
ZO_API uint32_t ZoPathAssignSelectedPathBlindly(ZoPathTbl* table, ZoPath* path);

ZO_API ZoPath* ZoPathChainZoPath(uint32_t n, ZoPath** paths);
ZO_API uint32_t ZoPathChainPaths(ZoPath** list, ZoPath* append);
ZO_API uint32_t ZoPathJoin(ZoPath* path);
ZO_API uint32_t ZoPathJoinAll(ZoPath* path);
ZO_API uint32_t ZoPathDisjoin(ZoPath* path);
ZO_API uint32_t ZoPathDisjoinAll(ZoPath* path);
ZO_API uint32_t ZoPathAllPathSelected(ZoPath* path);
ZO_API void ZoPathExchangeSubpathInTable(ZoPathTbl* table, ZoPath* oldPath, ZoPath* newPath);
ZO_API ZoPath* ZoPathSeparateSelectedPathFromTable(ZoPathTbl* table);

ZO_API uint32_t ZoPathDuplicatePtr(ZoPath* list, ZoPath** copy);
ZO_API uint32_t ZoPathDuplicatePtrSingle(ZoPath* path, ZoPath** copy);
/* Duplicates the current selection 15 window pixels right and down; the copies become the
 * selection. */
ZO_API uint32_t ZoPathDuplicate(HDC dc, ZoPathTbl* table, CoordStruct* view, RECT* out);

ZO_API uint32_t ZoPathDelete(ZoPathTbl* table, CoordStruct* view, RECT* out);
ZO_API uint32_t ZoPathDeleteLink(ZoPathTbl* table, CoordStruct* view, RECT* out);
ZO_API uint32_t ZoPathDeleteLinkLastSegment(ZoPath* path);
ZO_API void ZoPathDeleteNodeFromList(ZoPath** head, ZoPath* path);

ZO_API uint32_t ZoPathGetSubpathsNumber(ZoPath* list);
ZO_API uint32_t ZoPathGetPointsNumber(ZoPath* path);
ZO_API uint32_t ZoPathDeComposeSubpath(ZoPath* path, PointDB* points);
ZO_API void ZoPathOutputSubpathInfo(ZoPath* path);
/* Segment i (ending at node i + 1): 1 line, 2 Bezier, 3 other, 0 past the end. */
ZO_API uint32_t ZoPathGetSegmentType(ZoPath* path, int32_t index);
ZO_API uint32_t ZoPathGetSubpathsFlagNumber(ZoPath* list, int32_t mode, uint32_t* number);
ZO_API uint32_t ZoPathGetCS(ZoPath* list);
ZO_API uint32_t ZoPathIsSingleOpenPath(ZoPath* path);
/* 1 more than minimal, 0 minimal, -1 degenerate. */
ZO_API int32_t ZoPathIsSimplestSubpath(ZoPath* path);
ZO_API uint32_t ZoPathSelectedPointsCanBeDelete(ZoPath* path);
ZO_API uint32_t ZoPathSelectedSegmentCanBeConverted(ZoPath* path);
ZO_API uint32_t ZoPathSelectedSegmentCanBeConvertedToCurve(ZoPath* path);
ZO_API uint32_t ZoPathSelectedSegmentCanBeConvertedToLine(ZoPath* path);

/* ========================================================================================
 * Bounds and margins
 * scale is 16.16 (65536 = 1.0). Integer rectangles include their extreme coordinates.
 * ======================================================================================== */

ZO_API uint32_t ZoPathGetMiniMaxRect(ZoPath* path, uint32_t scale, RECT* out);
ZO_API uint32_t ZoPathGetAllMiniMaxRect(ZoPath* path, uint32_t scale, RECT* out);
ZO_API uint32_t ZoPathGetSelectedRect(ZoPath* path, uint32_t scale, RECT* out);
ZO_API uint32_t ZoPathGetUnselectedRect(ZoPath* path, uint32_t scale, RECT* out);
ZO_API void ZoPathGetRect(ZoPath* path, uint32_t scale, RECT* out);
/* join non-zero: the join chain from the subpath; zero: the path list from it. */
ZO_API uint32_t ZoPathGetDoubleMiniMaxRect(ZoPath* path, uint32_t scale, RectDB* out,
                                           uint32_t join);
ZO_API uint32_t ZoPathGetDoubleRectNoMargin(ZoPath* path, RectDB* out, uint32_t join);
ZO_API uint32_t ZoPathGetDoubleShapeRectNoMargin(ZoPath* path, RectDB* out, uint32_t join);
/* Per-side margins left, top, right, bottom. */
ZO_API uint32_t ZoPathGetMargin(ZoPath* list, int32_t mode, uint32_t margins[4]);
ZO_API ZoPath* ZoPathExtractSingleSubPath(ZoPath* list, uint32_t n);

/* ========================================================================================
 * Transforms
 * ======================================================================================== */

ZO_API uint32_t ZoPathMovePathsByPtfx(ZoPath* path, Ptfx offset);
/* offset in window pixels, divided by the view's zoom. */
ZO_API uint32_t ZoPathMovePaths(ZoPath* path, const CoordStruct* view, POINT offset);

/* ========================================================================================
 * View records
 * ======================================================================================== */

ZO_API uint32_t ZoPathCoordStruct(const RECT* window, int32_t scrollX, int32_t scrollY,
                                  double zoom, ZoPathTbl* table, CoordStruct** view);
ZO_API uint32_t ZoPathNewCoordStruct(const RECT* window, int32_t scrollX, int32_t scrollY,
                                     double zoom, uint32_t extra, ZoPathTbl* table,
                                     CoordStruct** view);
ZO_API uint32_t ZoPathDeleteCoordStruct(CoordStruct* view);

#ifdef __cplusplus
}
#endif

#endif /* ZO32PATH_H */
