// Reading a path list from a file in either form the tool knows: path text (the library's
// import text) or a stored block (ZoPathFlatten's bytes). The form is found from the content.
#pragma once

#include <string>
#include <string_view>

#include "Zo32path.h"

namespace zopath {

// Node coordinates lie strictly inside +-kCoordinateLimit pixels: 16.16 fixed point holds up
// to +-32767.99998, and -32768 is the value the conversion gives for anything out of range.
constexpr double kCoordinateLimit = 32768.0;
// The import reader reads at most this many characters of a line at a time.
constexpr size_t kMaxLineLength = 99;

enum class InputForm { Text, Block };

// True when the bytes are a stored block rather than path text.
bool looks_like_block(std::string_view bytes);

// Checks path text more strictly than the library's reader, which skips what it cannot read:
// lines longer than kMaxLineLength, header lines that are not two whole numbers "COUNT JOIN"
// with 0 <= COUNT < 2^31, node records that are not "X Y TYPE" with finite coordinates within
// +-kCoordinateLimit and a type word of a defined node kind, '/*' without '*/', and a last
// subpath short of its nodes. False with "NAME:LINE: problem" in *error.
bool check_path_text(std::string_view text, const std::string& name, std::string* error);

// The list a file ("-": standard input) holds, in either form; text is checked first. False
// with a message naming the file (and line) when there is none; *list is then null.
bool load_paths(const std::string& name, ZoPath** list, std::string* error,
                InputForm* form = nullptr);

// The list from `head` along next, record by record.
void release_list(ZoPath* head);

}  // namespace zopath
