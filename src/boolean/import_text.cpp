#include "import_text.hpp"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace zo::import_text {

namespace {

// Lines are read at most 99 characters at a time, the way a fixed 100-byte line buffer
// reads them: a longer line continues as the next "line".
constexpr size_t kLineLimit = 99;

// Nothing here allocates except the subpath records themselves: lines and tokens are views
// into the text, copied into small fixed buffers where the C parsing calls need a terminator.
class Cursor {
 public:
  Cursor(const char* text, size_t size) : text_(text), size_(size) {}

  bool at_end() const { return pos_ >= size_; }

  // The next line, up to and including its line feed, at most kLineLimit characters.
  std::string_view next_line() {
    size_t start = pos_;
    while (pos_ < size_ && pos_ - start < kLineLimit) {
      if (text_[pos_++] == '\n') break;
    }
    return std::string_view(text_ + start, pos_ - start);
  }

  // The next white-space separated token (for the node records, which may span lines).
  bool next_token(std::string_view* token) {
    while (pos_ < size_ && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
    if (pos_ >= size_) return false;
    size_t start = pos_;
    while (pos_ < size_ && !std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
    *token = std::string_view(text_ + start, pos_ - start);
    return true;
  }

 private:
  const char* text_;
  size_t size_;
  size_t pos_ = 0;
};

// The first token of a line split at spaces, commas, tabs and line feeds.
std::string_view first_token(std::string_view line) {
  constexpr std::string_view kSeparators = " ,\t\n\r";
  size_t start = line.find_first_not_of(kSeparators);
  if (start == std::string_view::npos) return std::string_view();
  size_t end = line.find_first_of(kSeparators, start);
  return line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

// A token as a C string. Longer tokens than any number a writer produces are not numbers.
struct TokenText {
  char text[128];
  bool fits;
  explicit TokenText(std::string_view token) : fits(token.size() < sizeof(text)) {
    size_t n = fits ? token.size() : 0;
    std::memcpy(text, token.data(), n);
    text[n] = '\0';
  }
};

bool parse_double(std::string_view token, double* out) {
  TokenText t(token);
  if (!t.fits) return false;
  char* end = nullptr;
  *out = std::strtod(t.text, &end);
  return end != t.text;
}

bool parse_type(std::string_view token, uint16_t* out) {
  TokenText t(token);
  if (!t.fits) return false;
  char* end = nullptr;
  unsigned long v = std::strtoul(t.text, &end, 10);
  if (end == t.text) return false;
  *out = static_cast<uint16_t>(v);  // a 16-bit read keeps the low bits
  return true;
}

enum class NodeRead { Done, EndOfText, NoMemory };

// Reads n node records into a new record.
NodeRead read_nodes(Cursor& in, long n, ZoPath** out) {
  ZoPath* p = ZoPathCreate();
  if (p == nullptr) return NodeRead::NoMemory;
  for (long i = 0; i < n; ++i) {
    std::string_view tx, ty, tt;
    double x = 0, y = 0;
    uint16_t type = 0;
    if (!in.next_token(&tx) || !in.next_token(&ty) || !in.next_token(&tt) ||
        !parse_double(tx, &x) || !parse_double(ty, &y) || !parse_type(tt, &type)) {
      ZoPathDeletePtrSingle(p);
      return NodeRead::EndOfText;
    }
    Ptfx pt{DbToFix(x), DbToFix(y)};
    if (ZoPathAddPoint(&p, &pt, type) == 0) {
      ZoPathDeletePtrSingle(p);
      return NodeRead::NoMemory;
    }
  }
  *out = p;
  return NodeRead::Done;
}

void release(ZoPath* head) {
  while (head != nullptr) {
    ZoPath* next = head->next;
    head->next = head->prev = head->joinNext = head->joinPrev = nullptr;
    head->selNext = head->selPrev = nullptr;
    ZoPathDeletePtrSingle(head);
    head = next;
  }
}

}  // namespace

ZoPath* read_paths(const char* text, size_t size) {
  if (text == nullptr) return nullptr;
  Cursor in(text, size);
  ZoPath* head = nullptr;
  ZoPath* tail = nullptr;
  int tailJoin = 0;
  bool inBlockComment = false;
  while (!in.at_end()) {
    std::string_view line = in.next_line();
    std::string_view token = first_token(line);
    if (inBlockComment) {
      if (token == "*/") inBlockComment = false;
      continue;
    }
    if (token.empty() || token[0] == '%') continue;
    if (token == "/*") {
      inBlockComment = true;
      continue;
    }
    int count = 0, join = 0;
    char header[kLineLimit + 1];
    std::memcpy(header, line.data(), line.size());
    header[line.size()] = '\0';
    if (std::sscanf(header, "%d %d", &count, &join) != 2 || count < 0) continue;
    ZoPath* p = nullptr;
    NodeRead r = read_nodes(in, count, &p);
    if (r == NodeRead::EndOfText) break;
    if (r == NodeRead::NoMemory) {
      release(head);
      return nullptr;
    }
    p->flags = ZOF_SELECTED;
    if (tail == nullptr) {
      head = p;
    } else {
      tail->next = tail->selNext = p;
      p->prev = p->selPrev = tail;
      if (join != 0 && tailJoin != 0) {
        tail->joinNext = p;
        p->joinPrev = tail;
      }
    }
    tail = p;
    tailJoin = join;
  }
  return head;
}

}  // namespace zo::import_text
