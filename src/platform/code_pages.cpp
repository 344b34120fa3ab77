// Code pages through iconv. A converter per code page is opened on first use and kept; the
// single-byte half of every page is converted once into a table, since layout asks for the
// same few hundred characters over and over.
#include "code_pages.hpp"

#include <iconv.h>

#include <array>
#include <cstring>

#include "font_objects.hpp"
#include "fonts.hpp"

namespace zo::plat {

namespace {

struct CharsetPage {
  uint32_t charset, codePage;
};
constexpr CharsetPage kCharsetPages[] = {
    {0, 1252},   {2, 42},     {77, 10000}, {128, 932},  {129, 949},  {130, 1361},
    {134, 936},  {136, 950},  {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255},
    {178, 1256}, {186, 1257}, {204, 1251}, {222, 874},  {238, 1250}, {255, 437}};

const char* iconv_name(uint32_t codePage) {
  switch (codePage) {
    case 1250: return "CP1250";
    case 1251: return "CP1251";
    case 1252: return "CP1252";
    case 1253: return "CP1253";
    case 1254: return "CP1254";
    case 1255: return "CP1255";
    case 1256: return "CP1256";
    case 1257: return "CP1257";
    case 1258: return "CP1258";
    case 874: return "CP874";
    case 932: return "CP932";
    case 936: return "GBK";
    case 949: return "CP949";
    case 950: return "BIG5";
    case 1361: return "JOHAB";
    case 437: return "CP437";
    case 10000: return "MACINTOSH";
    default: return nullptr;
  }
}

// One converter and single-byte table per code page of the table above.
struct Converter {
  uint32_t codePage = 0;
  iconv_t cd = reinterpret_cast<iconv_t>(-1);
  bool opened = false;  // tried to open (cd stays -1 when iconv lacks the page)
  bool tableReady = false;
  std::array<uint32_t, 256> single{};
};
std::array<Converter, std::size(kCharsetPages)> g_converters;

uint32_t convert(iconv_t cd, const char* bytes, size_t count) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // a fresh shift state
  char* in = const_cast<char*>(bytes);
  uint32_t out[2] = {0, 0};
  char* outp = reinterpret_cast<char*>(out);
  size_t inLeft = count, outLeft = sizeof(out);
  if (iconv(cd, &in, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1) || inLeft != 0 ||
      outLeft != sizeof(out) - 4)
    return 0;
  return out[0];
}

Converter* converter_for(uint32_t codePage) {
  const char* name = iconv_name(codePage);
  if (name == nullptr) return nullptr;
  for (Converter& c : g_converters) {
    if (c.opened && c.codePage == codePage) return c.cd == reinterpret_cast<iconv_t>(-1) ? nullptr : &c;
  }
  for (Converter& c : g_converters) {
    if (c.opened) continue;
    c.opened = true;
    c.codePage = codePage;
    c.cd = iconv_open("UTF-32LE", name);
    return c.cd == reinterpret_cast<iconv_t>(-1) ? nullptr : &c;
  }
  return nullptr;
}

}  // namespace

uint32_t code_page_of_charset(uint32_t charset) {
  for (const CharsetPage& e : kCharsetPages)
    if (e.charset == charset) return e.codePage;
  return 0;
}

uint32_t charset_of_code_page(uint32_t codePage) {
  for (const CharsetPage& e : kCharsetPages)
    if (e.codePage == codePage) return e.charset;
  return UINT32_MAX;
}

bool is_lead_byte(uint32_t codePage, uint8_t b) {
  switch (codePage) {
    case 932: return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    case 936:
    case 949:
    case 950: return b >= 0x81 && b <= 0xFE;
    case 1361: return (b >= 0x84 && b <= 0xD3) || (b >= 0xD8 && b <= 0xDE) || (b >= 0xE0 && b <= 0xF9);
    default: return false;
  }
}

bool is_double_byte_code_page(uint32_t codePage) {
  return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 ||
         codePage == 1361;
}

uint32_t code_to_unicode(uint32_t codePage, uint32_t code) {
  Converter* c = converter_for(codePage);
  if (c == nullptr) return 0;
  if (code < 256) {
    if (!c->tableReady) {
      for (uint32_t b = 0; b < 256; ++b) {
        char byte = static_cast<char>(b);
        // A lead byte alone is not a character.
        c->single[b] = is_lead_byte(codePage, static_cast<uint8_t>(b)) ? 0 : convert(c->cd, &byte, 1);
      }
      c->tableReady = true;
    }
    return c->single[code];
  }
  if (code > 0xFFFF || !is_lead_byte(codePage, static_cast<uint8_t>(code >> 8))) return 0;
  const char pair[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
  return convert(c->cd, pair, 2);
}

void release_code_pages() {
  for (Converter& c : g_converters) {
    if (c.cd != reinterpret_cast<iconv_t>(-1)) iconv_close(c.cd);
    c = Converter{};
  }
}

bool TranslateCharsetInfo(uintptr_t source, CHARSETINFO* out, uint32_t flags) {
  if (font_call_fails(FontService::TranslateCharset)) return false;
  if (out == nullptr || source > UINT32_MAX) return false;
  uint32_t value = static_cast<uint32_t>(source);
  uint32_t charset = 0, codePage = 0;
  if (flags == TCI_SRCCHARSET) {
    charset = value;
    codePage = code_page_of_charset(value);
    if (codePage == 0) return false;
  } else if (flags == TCI_SRCCODEPAGE) {
    codePage = value;
    charset = charset_of_code_page(value);
    if (charset == UINT32_MAX) return false;
  } else {
    return false;
  }
  std::memset(out, 0, sizeof(*out));
  out->ciCharset = charset;
  out->ciACP = codePage;
  return true;
}

bool IsDBCSLeadByteEx(uint32_t codePage, uint8_t byte) { return is_lead_byte(codePage, byte); }

const char* CharNextExA(uint16_t codePage, const char* p, uint32_t) {
  if (p == nullptr) return nullptr;
  if (*p == '\0') return p;
  if (is_lead_byte(codePage, static_cast<uint8_t>(*p)) && p[1] != '\0') return p + 2;
  return p + 1;
}

}  // namespace zo::plat
