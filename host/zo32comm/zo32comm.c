/* Stand-in common host library: records error reports, Esc state and start-up messages. */
#include "zo32comm.h"

#include <string.h>

#define ZO32COMM_EXPORT __attribute__((visibility("default")))

static Zo32CommReport g_reports[ZO32COMM_MAX_REPORTS];
static uint32_t g_reportCount;
static int32_t g_escPressed;
static uint32_t g_initMsgCalls;
static void* g_initMsgModule;

ZO32COMM_EXPORT void c32SetDLLErrInfoA(void* instance, uint32_t code, uint32_t level,
                                       uint32_t module, const char* file, int32_t line) {
  (void)instance;
  if (g_reportCount < ZO32COMM_MAX_REPORTS) {
    Zo32CommReport* r = &g_reports[g_reportCount];
    r->code = code;
    r->level = level;
    r->module = module;
    r->line = line;
    memset(r->file, 0, sizeof r->file);
    if (file != NULL) strncpy(r->file, file, sizeof r->file - 1);
  }
  if (g_reportCount != UINT32_MAX) ++g_reportCount;
}

ZO32COMM_EXPORT int32_t zo32IsEscPressed(void) { return g_escPressed; }

ZO32COMM_EXPORT void LauncherSetInitMsgString(void* module) {
  ++g_initMsgCalls;
  g_initMsgModule = module;
}

ZO32COMM_EXPORT uint32_t zo32commReportCount(void) { return g_reportCount; }

ZO32COMM_EXPORT int32_t zo32commGetReport(uint32_t index, Zo32CommReport* out) {
  if (out == NULL || index >= g_reportCount || index >= ZO32COMM_MAX_REPORTS) return 0;
  *out = g_reports[index];
  return 1;
}

ZO32COMM_EXPORT void zo32commClearReports(void) { g_reportCount = 0; }

ZO32COMM_EXPORT void zo32commSetEscPressed(int32_t pressed) { g_escPressed = pressed; }

ZO32COMM_EXPORT uint32_t zo32commInitMsgCalls(void) { return g_initMsgCalls; }

ZO32COMM_EXPORT void* zo32commInitMsgModule(void) { return g_initMsgModule; }
