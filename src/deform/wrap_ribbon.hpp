// The trimmed-ribbon mode of the wrap: the source is cut where the baseline's y turns, and
// the pieces facing one way and the other form two join chains.
#pragma once

#include "Zo32path.h"
#include "wrap_map.hpp"

namespace zo::deform {

// Cuts the source list at the x positions that land on the baseline's y turning points and
// marks each piece with ZOF_WRAP_MARKER when an even number of turning points lie before its
// centre. *work receives the new head.
bool cut_ribbon(ZoPath** work, const WrapSetup& s, const WrapFrame& f);

// Joins the marked pieces into one join chain and the others into another, in list order,
// and clears the marks.
void join_ribbon_pieces(ZoPath* head);

}  // namespace zo::deform
