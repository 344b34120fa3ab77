#include "path_input.hpp"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "boolean/import_text.hpp"
#include "io.hpp"

namespace zopath {

namespace {

// Every bit a node type word may carry: closing, kind, parameter runs, segment mark, smooth
// mark and node selection.
constexpr uint32_t kKnownTypeBits = PT_CLOSEFIGURE | PT_KIND_MASK | PT_PARAM_PAIR |
                                    PT_PARAM_SINGLE | PT_PARAM_PAIR2 | PT_SEGMENT_MARK | PT_SMOOTH |
                                    PT_SELECTED;

bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::vector<std::string_view> split(std::string_view line, bool commas) {
  std::vector<std::string_view> out;
  size_t i = 0;
  auto separator = [&](char c) { return is_space(c) || (commas && c == ','); };
  while (i < line.size()) {
    while (i < line.size() && separator(line[i])) ++i;
    size_t start = i;
    while (i < line.size() && !separator(line[i])) ++i;
    if (i > start) out.push_back(line.substr(start, i - start));
  }
  return out;
}

bool whole_integer(std::string_view token, long long* out) {
  std::string t(token);
  char* end = nullptr;
  errno = 0;
  *out = std::strtoll(t.c_str(), &end, 10);
  return !t.empty() && errno == 0 && *end == '\0';
}

bool whole_real(std::string_view token, double* out) {
  std::string t(token);
  char* end = nullptr;
  *out = std::strtod(t.c_str(), &end);
  return !t.empty() && *end == '\0';
}

// Walks the text line by line the way the reader does and reports the first problem.
class TextChecker {
 public:
  TextChecker(const std::string& name, std::string* error) : name_(name), error_(error) {}

  bool check(std::string_view text) {
    size_t line = 0;
    while (!text.empty()) {
      size_t end = text.find('\n');
      std::string_view l = text.substr(0, end);
      text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
      ++line;
      if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
      if (l.size() > kMaxLineLength)
        return problem(line, "line longer than " + std::to_string(kMaxLineLength) +
                                 " characters (the path text reader's limit)");
      if (!check_line(line, l)) return false;
    }
    if (blockStart_ != 0) return problem(blockStart_, "'/*' is never closed by '*/'");
    if (remaining_ > 0)
      return problem(headerLine_, "the subpath has " + std::to_string(count_ - remaining_) +
                                      " of its " + std::to_string(count_) + " nodes");
    if (subpaths_ == 0) return problem(line, "no subpath in the file");
    return true;
  }

 private:
  bool problem(size_t line, const std::string& message) {
    *error_ = name_ + ":" + std::to_string(line) + ": " + message;
    return false;
  }

  bool check_line(size_t line, std::string_view l) {
    if (remaining_ > 0) return node_tokens(line, split(l, false));
    std::vector<std::string_view> first = split(l, true);
    if (blockStart_ != 0) {
      if (!first.empty() && first[0] == "*/") blockStart_ = 0;
      return true;
    }
    if (first.empty() || first[0][0] == '%') return true;
    if (first[0] == "/*") {
      blockStart_ = line;
      return true;
    }
    if (first[0] == "*/") return problem(line, "'*/' without an opening '/*'");
    std::vector<std::string_view> t = split(l, false);
    long long count = 0, join = 0;
    if (t.size() != 2 || !whole_integer(t[0], &count) || !whole_integer(t[1], &join))
      return problem(line, "expected a subpath header 'COUNT JOIN' (two whole numbers), found '" +
                               std::string(l) + "'");
    if (count < 0 || count > 2147483647)
      return problem(line, "node count " + std::string(t[0]) + " is not between 0 and 2147483647");
    if (join < -2147483648LL || join > 2147483647)
      return problem(line, "join flag " + std::string(t[1]) + " does not fit 32 bits");
    ++subpaths_;
    headerLine_ = line;
    count_ = remaining_ = count;
    field_ = 0;
    return true;
  }

  // Node records may span lines; they must end where a line ends.
  bool node_tokens(size_t line, const std::vector<std::string_view>& tokens) {
    for (std::string_view t : tokens) {
      if (remaining_ == 0)
        return problem(line, "unexpected '" + std::string(t) + "' after the subpath's last node");
      if (field_ < 2) {
        double v = 0;
        if (!whole_real(t, &v) || !std::isfinite(v))
          return problem(line, "expected a coordinate, found '" + std::string(t) + "'");
        if (std::fabs(v) >= kCoordinateLimit)
          return problem(
              line, "coordinate " + std::string(t) +
                        " is outside the 16.16 range (strictly between -32768 and 32768 pixels)");
      } else {
        long long type = 0;
        if (!whole_integer(t, &type) || type < 0 || type > 0xFFFF)
          return problem(line,
                         "expected a node type word (0 to 65535), found '" + std::string(t) + "'");
        long long kind = type & PT_KIND_MASK;
        bool parameter = (type & (PT_PARAM_PAIR | PT_PARAM_SINGLE | PT_PARAM_PAIR2)) != 0;
        if ((type & ~static_cast<long long>(kKnownTypeBits)) != 0 || kind > 6 ||
            (kind == 0 && !parameter))
          return problem(line, "node type " + std::string(t) +
                                   " is not a defined node kind (6 move, 2 line, 4 cubic, "
                                   "plus 1 to close; mark bits 0x100-0x800, 0x2000, 0x8000)");
        --remaining_;
      }
      field_ = (field_ + 1) % 3;
    }
    return true;
  }

  const std::string& name_;
  std::string* error_;
  size_t blockStart_ = 0, headerLine_ = 0, subpaths_ = 0;
  long long count_ = 0, remaining_ = 0;
  int field_ = 0;
};

// Reads a stored block through a movable global block, the way a host hands one over.
bool unflatten(std::string_view bytes, ZoPath** list) {
  HGLOBAL block = ZoPlatGlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (block == nullptr) return false;
  std::memcpy(ZoPlatGlobalLock(block), bytes.data(), bytes.size());
  ZoPlatGlobalUnlock(block);
  uint32_t ok = ZoPathUnFlatten(&block, list);
  ZoPlatGlobalFree(block);
  return ok != 0;
}

}  // namespace

// A stored block starts with its directory size 8n + 16, which no path text can begin with
// and still fit in the file (four text characters make a number above 500 million).
bool looks_like_block(std::string_view bytes) {
  if (bytes.size() < 16) return false;
  uint32_t directory;
  std::memcpy(&directory, bytes.data(), 4);
  return directory >= 16 && directory % 8 == 0 && directory <= bytes.size();
}

bool check_path_text(std::string_view text, const std::string& name, std::string* error) {
  return TextChecker(name, error).check(text);
}

bool load_paths(const std::string& name, ZoPath** list, std::string* error, InputForm* form) {
  *list = nullptr;
  std::string bytes;
  if (!read_input(name, &bytes, error)) return false;
  std::string shown = is_standard_stream(name) ? "<stdin>" : name;
  if (looks_like_block(bytes)) {
    if (form != nullptr) *form = InputForm::Block;
    if (unflatten(bytes, list)) return true;
    *error = input_name(name) + " is not a readable stored block (damaged, or out of memory)";
    return false;
  }
  if (form != nullptr) *form = InputForm::Text;
  if (!check_path_text(bytes, shown, error)) return false;
  *list = zo::import_text::read_paths(bytes.data(), bytes.size());
  if (*list != nullptr) return true;
  *error = input_name(name) + ": out of memory while reading the paths";
  return false;
}

void release_list(ZoPath* head) {
  while (head != nullptr) {
    ZoPath* next = head->next;
    ZoPathDeletePtrSingle(head);
    head = next;
  }
}

}  // namespace zopath
