// What the wrap code shares: the one rectangle it measures sources by, and the settings
// normalisation that a wrap writes back into the host's wrap information.
#pragma once

#include "Zo32path.h"

namespace zo::deform {

// The box a wrap measures a source list by: its shape rectangle without margin (following the
// curves, so a glyph's width is its drawn width), over the whole list from the head.
bool source_box(ZoPath* head, RectDB* out);

// Normalises the settings as a wrap does on entry: ascent and descent for text, the count
// field, spacing, rotate, start, and closed from the baseline.
void normalise_settings(ZoPathWrapInfo* info);

}  // namespace zo::deform
