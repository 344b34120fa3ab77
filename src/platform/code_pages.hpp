// Character sets, code pages and double-byte characters: the tables of TranslateCharsetInfo,
// IsDBCSLeadByteEx and CharNextExA, and the conversion of a code-page character to Unicode
// through glibc's iconv.
#pragma once

#include <cstdint>

namespace zo::plat {

inline constexpr uint32_t kSymbolCharset = 2;
inline constexpr uint32_t kSymbolCodePage = 42;
inline constexpr uint32_t kDefaultCodePage = 1252;

// The code page of a character set; 0 for a set not in the table.
uint32_t code_page_of_charset(uint32_t charset);
// The character set of a code page; UINT32_MAX for a page not in the table.
uint32_t charset_of_code_page(uint32_t codePage);
bool is_lead_byte(uint32_t codePage, uint8_t byte);
bool is_double_byte_code_page(uint32_t codePage);
// The Unicode scalar of a character code of the code page (a byte, or lead x 256 + trail);
// 0 when the code page cannot convert it.
uint32_t code_to_unicode(uint32_t codePage, uint32_t code);
// Closes the converters (library unload).
void release_code_pages();

}  // namespace zo::plat
