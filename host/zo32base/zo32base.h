/*
 * Stand-in for the editor's imaging host library (libzo32base.so).
 *
 * Zo32path loads this library by file name at run time for the host's image calls. The
 * stand-in grows those calls as the library starts to use them.
 */
#ifndef ZO32BASE_H
#define ZO32BASE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Version of this stand-in's interface; 1 so far. */
uint32_t zo32baseVersion(void);

#ifdef __cplusplus
}
#endif

#endif /* ZO32BASE_H */
