/* Stand-in imaging host library. */
#include "zo32base.h"

#define ZO32BASE_EXPORT __attribute__((visibility("default")))

ZO32BASE_EXPORT uint32_t zo32baseVersion(void) { return 1; }
