/*
 * Stand-in for the editor's common host library (libzo32comm.so).
 *
 * Zo32path loads this library by file name at run time and calls three of its exports:
 * c32SetDLLErrInfoA (error reports), zo32IsEscPressed (the Esc key, polled by long
 * operations) and LauncherSetInitMsgString (start-up message, sent once at load). This
 * stand-in records what it is told so that tests and tools can read it back through the
 * zo32comm... calls below. A real host replaces the library with its own.
 *
 * Not thread-safe: like Zo32path itself, it is driven from one thread.
 */
#ifndef ZO32COMM_H
#define ZO32COMM_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Exports called by Zo32path --------------------------------------------------------- */

/* Records one error report: code, severity level, module number, source file and line. */
void c32SetDLLErrInfoA(void* instance, uint32_t code, uint32_t level, uint32_t module,
                       const char* file, int32_t line);
/* Non-zero while the host's Esc key is down (see zo32commSetEscPressed). */
int32_t zo32IsEscPressed(void);
/* Start-up message of a loaded module; module is the caller's module handle. */
void LauncherSetInitMsgString(void* module);

/* ---- Test and tool interface ------------------------------------------------------------ */

/* One recorded error report. file holds the reported file name, cut to 63 characters. */
typedef struct Zo32CommReport {
  uint32_t code;
  uint32_t level;
  uint32_t module;
  int32_t line;
  char file[64];
} Zo32CommReport;

/* How many reports the log keeps; later reports are counted but not kept. */
#define ZO32COMM_MAX_REPORTS 4096u

/* Number of reports since the last clear (may exceed ZO32COMM_MAX_REPORTS). */
uint32_t zo32commReportCount(void);
/* Copies report index (0 = oldest) into *out; returns 1, or 0 when it is not kept. */
int32_t zo32commGetReport(uint32_t index, Zo32CommReport* out);
/* Forgets every report. */
void zo32commClearReports(void);

/* Sets the value zo32IsEscPressed returns. */
void zo32commSetEscPressed(int32_t pressed);

/* Number of LauncherSetInitMsgString calls since load, and the last module passed to it. */
uint32_t zo32commInitMsgCalls(void);
void* zo32commInitMsgModule(void);

#ifdef __cplusplus
}
#endif

#endif /* ZO32COMM_H */
