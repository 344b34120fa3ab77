// What the deformation commands (envelope, wrap, bend, stretch, measure) share: reading path
// files, numbers, writing path text, and the before/after picture with its guide in red.
#pragma once

#include <string>

#include "Zo32path.h"

namespace zopath {

// The list of a path text file; null (with a message) when it cannot be read or holds none.
ZoPath* read_path_file(const std::string& file, std::string* error);
void release_paths(ZoPath* head);
bool parse_number(const char* text, double* out);
// The list as path text into the file (standard output for an empty name).
bool write_paths(const std::string& output, ZoPath* head, std::string* error);
// Side by side: before on the left (source grey, guide red), after on the right (result
// blue, guide red). Guides (a frame, a baseline, band edges) may be null.
bool write_deform_png(const std::string& png, ZoPath* before, ZoPath* guideBefore, ZoPath* after,
                      ZoPath* guideAfter, std::string* error);
// A closed rectangle subpath, for drawing boxes and bands.
ZoPath* rectangle_path(double left, double top, double right, double bottom);
// The deformation page of the gallery: writes its pictures into dir and its section to html.
bool write_deform_gallery(const std::string& dir, std::string* html, std::string* error);

}  // namespace zopath
