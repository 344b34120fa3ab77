// Linking and unlinking subpaths in their three chains.
#pragma once

#include "records.hpp"

namespace zo {

// Takes the subpath out of its list, join and selection chains, linking its neighbours to
// each other, and clears its links (an owned attachment stays in its slot).
void unlink_from_chains(ZoPath* p);
// Clears the six links of a subpath, keeping an owned attachment.
void clear_links(ZoPath* p);

}  // namespace zo
