// The GDI calls the drawing code makes, on the software device contexts of
// device_context.cpp. The library calls these names; hosts reach the same calls through the
// exported ZoPlat... functions of the platform header.
#pragma once

#include <cstdint>

#include "Zo32path_platform.h"

namespace zo::plat {

int32_t SetROP2(HDC dc, int32_t rop);
HPEN CreatePen(int32_t style, int32_t width, COLORREF color);
HGDIOBJ GetStockObject(int32_t which);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
bool DeleteObject(HGDIOBJ object);
bool Rectangle(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom);
bool MoveToEx(HDC dc, int32_t x, int32_t y, POINT* previous);
bool LineTo(HDC dc, int32_t x, int32_t y);
bool PolyBezierTo(HDC dc, const POINT* points, uint32_t count);
COLORREF SetPixel(HDC dc, int32_t x, int32_t y, COLORREF color);
COLORREF GetPixel(HDC dc, int32_t x, int32_t y);
HRGN CreateRectRgnIndirect(const RECT* rect);
int32_t CombineRgn(HRGN destination, HRGN a, HRGN b, int32_t mode);
int32_t SelectClipRgn(HDC dc, HRGN region);

// An information context (no pixels, 0 x 0: drawing on it does nothing); null on failure.
HDC create_information_dc();
// The font selected into the context; null for none or an unknown context.
HGDIOBJ selected_font(HDC dc);
uint32_t information_dc_count();

}  // namespace zo::plat
