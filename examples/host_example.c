/*
 * A small Zo32path host: builds three subpaths, puts them in a path table, duplicates and
 * deletes a selection, and prints what the table holds after each step.
 *
 * Plain C on purpose: it shows that the public headers are usable from C.
 */
#include <stdio.h>

#include "Zo32path.h"

/* Appends a node at whole image pixels x, y (stored in 16.16 fixed point). */
static int add_point(ZoPath** path, int32_t x, int32_t y, uint16_t type) {
  Ptfx pt;
  pt.x = x * 65536;
  pt.y = y * 65536;
  return ZoPathAddPoint(path, &pt, type) == 1;
}

/* A closed polygon through n points given as x, y pairs; null on failure. */
static ZoPath* make_polygon(const int32_t* xy, int n) {
  ZoPath* path = ZoPathCreate();
  int i;
  if (path == NULL) return NULL;
  for (i = 0; i < n; ++i) {
    uint16_t type = (uint16_t)(i == 0 ? PT_MOVETO : PT_LINETO);
    if (i == n - 1) type |= PT_CLOSEFIGURE;
    if (!add_point(&path, xy[2 * i], xy[2 * i + 1], type)) {
      ZoPathDeletePtrSingle(path);
      return NULL;
    }
  }
  return path;
}

/* An open cubic Bezier curve: start point, two control points, end point. */
static ZoPath* make_curve(void) {
  ZoPath* path = ZoPathCreate();
  if (path == NULL) return NULL;
  if (!add_point(&path, 420, 300, PT_MOVETO) || !add_point(&path, 480, 180, PT_BEZIERTO) ||
      !add_point(&path, 600, 420, PT_BEZIERTO) || !add_point(&path, 660, 300, PT_BEZIERTO)) {
    ZoPathDeletePtrSingle(path);
    return NULL;
  }
  return path;
}

static void print_table(const char* title, ZoPathTbl* table) {
  ZoPath* first = NULL;
  ZoPath* selected = NULL;
  ZoPath* p;
  uint32_t selectedCount = 0;
  RECT bounds = {0, 0, 0, 0};

  ZoPathFind(table, NULL, &first, &selected, NULL);
  for (p = selected; p != NULL; p = p->selNext) ++selectedCount;
  printf("%s\n", title);
  printf("  subpaths: %u, selected: %u\n", (unsigned)ZoPathGetSubpathsNumber(first),
         (unsigned)selectedCount);
  for (p = first; p != NULL; p = p->next) {
    printf("    %u nodes%s\n", (unsigned)ZoPathGetPointsNumber(p),
           (p->flags & ZOF_SELECTED) ? " (selected)" : "");
  }
  if (first != NULL && ZoPathGetAllMiniMaxRect(first, 65536, &bounds)) {
    printf("  bounds: left %d, top %d, right %d, bottom %d\n", (int)bounds.left, (int)bounds.top,
           (int)bounds.right, (int)bounds.bottom);
  } else {
    printf("  bounds: none\n");
  }
}

int main(void) {
  static const int32_t triangle[] = {100, 400, 200, 200, 300, 400};
  static const int32_t square[] = {350, 50, 450, 50, 450, 150, 350, 150};
  const RECT window = {0, 0, 800, 600};
  ZoPath* shapes[3];
  ZoPath* list = NULL;
  ZoPathTbl* table = NULL;
  CoordStruct* view = NULL;
  RECT changed;
  int i;
  uint32_t version = ZoPathInit();

  if (version == 0) {
    fprintf(stderr, "ZoPathInit failed\n");
    return 1;
  }
  printf("Zo32path interface version 0x%x\n", (unsigned)version);

  shapes[0] = make_polygon(triangle, 3);
  shapes[1] = make_polygon(square, 4);
  shapes[2] = make_curve();
  for (i = 0; i < 3; ++i) {
    if (shapes[i] == NULL || !ZoPathChainPaths(&list, shapes[i])) {
      fprintf(stderr, "could not build the subpaths\n");
      return 1;
    }
  }

  /* The view record is allocated on first use; the table gets its display buffer from it. */
  if (!ZoPathCoordStruct(&window, 0, 0, 1.0, NULL, &view) ||
      !ZoPathAddPathGroup(&table, list, "Layer 1", view, &changed)) {
    fprintf(stderr, "could not create the table\n");
    return 1;
  }
  print_table("After adding the group:", table);

  /* Select the triangle and the curve: flag each and link them in the selection chain. */
  shapes[0]->flags |= ZOF_SELECTED;
  shapes[2]->flags |= ZOF_SELECTED;
  shapes[0]->selNext = shapes[2];
  shapes[2]->selPrev = shapes[0];
  ZoPathAssignSelectedPath(table, shapes[0]);
  print_table("After selecting the triangle and the curve:", table);

  /* The copies land 15 window pixels right and down and become the selection. */
  if (!ZoPathDuplicate(NULL, table, view, &changed)) {
    fprintf(stderr, "ZoPathDuplicate failed\n");
    return 1;
  }
  print_table("After duplicating the selection:", table);

  if (!ZoPathDelete(table, view, &changed)) {
    fprintf(stderr, "ZoPathDelete failed\n");
    return 1;
  }
  print_table("After deleting the selection:", table);

  /* A rectangle dragged from (40, 300) to (160, 380) becomes a rounded rectangle, and a
   * five-pointed star is dragged out from its centre; each becomes the selected path. */
  {
    const RECT drag = {40, 300, 160, 380}, starDrag = {300, 340, 340, 300};
    if (!ZoPathAddPrimitive(NULL, ZOPRIM_ROUNDED, NULL, table, view, 0, 0, &drag) ||
        !ZoPathPolyAdd(NULL, 5, 2, NULL, table, view, &starDrag, 1, 1)) {
      fprintf(stderr, "could not add the shapes\n");
      return 1;
    }
    print_table("After adding a rounded rectangle and a star:", table);
  }

  /* A pen session, fed message by message as a window procedure would: click, click, a drag
   * that makes a smooth point, and a double click on the first point, which closes the path.
   * The host captures the mouse after the press that starts the path; the tool releases it. */
  {
    static const struct {
      uint32_t message;
      int32_t x, y;
    } script[] = {{ZOMSG_LBUTTONDOWN, 500, 300}, {ZOMSG_LBUTTONUP, 500, 300},
                  {ZOMSG_LBUTTONDOWN, 600, 300}, {ZOMSG_LBUTTONUP, 600, 300},
                  {ZOMSG_LBUTTONDOWN, 600, 400}, {ZOMSG_MOUSEMOVE, 630, 400},
                  {ZOMSG_LBUTTONUP, 650, 400},   {ZOMSG_LBUTTONDOWN, 502, 302},
                  {ZOMSG_LBUTTONUP, 502, 302},   {ZOMSG_LBUTTONDBLCLK, 502, 302}};
    size_t k;
    for (k = 0; k < sizeof script / sizeof script[0]; ++k) {
      POINT at;
      uint32_t wasCaptured = ZoPlatGetCapture(), done;
      at.x = script[k].x;
      at.y = script[k].y;
      done = ZoPathMouseProcDraw(NULL, table, view, script[k].message, 0, at, ZOPEN_CLOSING, 1);
      if (script[k].message == ZOMSG_LBUTTONDOWN && !wasCaptured && !done) ZoPlatSetCapture(1);
      if (done) printf("The pen tool finished the path (capture now %u)\n", ZoPlatGetCapture());
    }
    print_table("After the pen session:", table);
  }

  ZoPathTblDelete(table);
  ZoPathDeleteCoordStruct(view);
  printf("Live path-heap blocks at the end: %zu\n", ZoPlatHeapLiveBlocks());
  return 0;
}
