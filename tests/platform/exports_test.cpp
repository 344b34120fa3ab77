// The library's dynamic symbol table against the public headers: exactly the functions the
// headers declare with ZO_API are exported, and nothing else is.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

namespace {

using Names = std::set<std::string>;

std::string read_text(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The text with comments replaced by blanks (line breaks kept) and string literals kept.
std::string without_comments(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "/*") == 0) {
      size_t end = text.find("*/", i + 2);
      i = end == std::string::npos ? text.size() : end + 1;
      out += ' ';
    } else if (text.compare(i, 2, "//") == 0) {
      while (i + 1 < text.size() && text[i + 1] != '\n') ++i;
      out += ' ';
    } else if (text[i] == '"') {
      size_t j = i + 1;
      while (j < text.size() && text[j] != '"') j += text[j] == '\\' ? 2 : 1;
      out += text.substr(i, j + 1 - i);
      i = j;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The text without preprocessor lines, continued lines included.
std::string without_directives(const std::string& text) {
  std::istringstream lines(text);
  std::string out, line;
  bool continued = false;
  while (std::getline(lines, line)) {
    size_t first = line.find_first_not_of(" \t");
    bool directive = continued || (first != std::string::npos && line[first] == '#');
    continued = directive && !line.empty() && line.back() == '\\';
    if (!directive) out += line;
    out += '\n';
  }
  return out;
}

// The names of the functions declared with ZO_API in a header's text: the identifier right
// before the first '(' of each declaration that starts with ZO_API. Comments and preprocessor
// lines are skipped, so the macro's own definition does not count.
Names declared_functions(const std::string& header) {
  const std::string code = without_directives(without_comments(header));
  Names names;
  // A declaration: "ZO_API" at the start of a statement, then the return type and the name,
  // which is the last identifier before the first "(".
  for (size_t at = code.find("ZO_API"); at != std::string::npos; at = code.find("ZO_API", at + 6)) {
    size_t before = code.find_last_not_of(" \t\r\n", at == 0 ? std::string::npos : at - 1);
    bool statementStart =
        at == 0 || before == std::string::npos || std::strchr(";{}", code[before]) != nullptr;
    size_t paren = code.find_first_of("(;", at);
    if (!statementStart || paren == std::string::npos || code[paren] != '(') continue;
    size_t end = code.find_last_not_of(" \t\r\n", paren - 1) + 1;
    size_t begin = end;
    while (begin > at + 6 &&
           (std::isalnum(static_cast<unsigned char>(code[begin - 1])) || code[begin - 1] == '_'))
      --begin;
    if (begin < end) names.insert(code.substr(begin, end - begin));
  }
  return names;
}

// Defined dynamic symbols of a shared library by nm type letter, versions stripped.
std::map<char, Names> exported_symbols(const std::string& library) {
  std::map<char, Names> symbols;
  std::string command = std::string(ZO_NM_PATH) + " -D --defined-only '" + library + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return symbols;
  char line[4096];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    std::istringstream fields(line);
    std::string address, type, name;
    if (!(fields >> address >> type >> name) || type.size() != 1) continue;
    symbols[type[0]].insert(name.substr(0, name.find('@')));
  }
  pclose(pipe);
  return symbols;
}

Names header_functions() {
  Names all;
  for (const char* header : {"/Zo32path.h", "/Zo32path_platform.h"}) {
    std::string text = read_text(std::string(ZO_INCLUDE_DIR) + header);
    EXPECT_FALSE(text.empty()) << "cannot read " << ZO_INCLUDE_DIR << header;
    all.merge(declared_functions(text));
  }
  return all;
}

// The names in a but not in b, one per line.
std::string missing(const Names& a, const Names& b) {
  std::string out;
  for (const std::string& n : a)
    if (b.count(n) == 0) out += "\n  " + n;
  return out;
}

TEST(ExportsTest, ExactlyTheDeclaredFunctionsAreExported) {
  Names declared = header_functions();
  ASSERT_TRUE(declared.count("ZoPathInit") && declared.count("ZoPlatGlobalAlloc"))
      << "the headers were not read correctly";
  std::map<char, Names> symbols = exported_symbols(ZO_LIBRARY_PATH);
  ASSERT_FALSE(symbols.empty()) << "no dynamic symbols read from " << ZO_LIBRARY_PATH;
  EXPECT_EQ(missing(declared, symbols['T']), "") << "declared with ZO_API but not exported";
  EXPECT_EQ(missing(symbols['T'], declared), "") << "exported but not declared with ZO_API";
  // Nothing else ('A' marks symbol-version nodes).
  std::string others;
  for (const auto& [type, names] : symbols)
    if (type != 'T' && type != 'A') others += missing(names, {});
  EXPECT_EQ(others, "") << "exported besides the interface functions";
}

}  // namespace
