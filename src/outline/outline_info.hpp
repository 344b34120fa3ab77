// The outline-information record: the attachment an open line owns (arrowhead templates
// and outline values).
#pragma once

#include "Zo32path.h"

namespace zo {

// A new record with the given fields; the 64-bit words start at 0. Null on failure.
ZoPathOutlineInfo* outline_info_create(const ZoPathOutlineInfo& fields);
// A copy of the record with each of its three template lists duplicated; null on failure
// (nothing is left allocated).
ZoPathOutlineInfo* outline_info_duplicate(const ZoPathOutlineInfo* source);
// Releases the three template lists, then the record.
void outline_info_delete(ZoPathOutlineInfo* info);

}  // namespace zo
