// Skin images: resources of type "PNG" turned into GDI bitmaps in which
// transparency is one key colour, and picture files turned into plain
// bitmaps.
//
// A skin bitmap is a 32-bit bottom-up DIB section, blue, green, red and a
// fourth byte that is always 0. Fully transparent pixels are the key colour,
// partly transparent ones are composed over white (never over what lies
// beneath the window). The caller owns every bitmap returned here.
#pragma once
#include <windows.h>

#include <cstddef>

namespace Gdiplus {
class GpBitmap;
}

// The colour that stands for "transparent" throughout the skinned window kit:
// in skin bitmaps, image-list masks, TransparentBlt and window regions.
constexpr COLORREF kKeyColour = RGB(255, 0, 255);

// The skin bitmap of image resource `nID` of `module` (nullptr: the
// program's own module), or NULL. A bitmap resource (RT_BITMAP) of that id
// wins and is returned as loaded; otherwise the "PNG" resource is decoded and
// converted. GDI+ runs only for the duration of the call.
HBITMAP LoadSkinImage(WORD nID, HMODULE module = nullptr);

// The same conversion for encoded image bytes held in memory (PNG or any
// other format GDI+ decodes); NULL when they do not decode.
HBITMAP DecodeSkinImage(const void* bytes, std::size_t size);

// Converts a GDI+ bitmap into a skin bitmap with `key` for fully transparent
// pixels. NULL for a null or empty bitmap or when a step fails. GDI+ must be
// running.
HBITMAP ConvertToKeyedBitmap(Gdiplus::GpBitmap* bitmap, COLORREF key);

// A picture file (any format GDI+ decodes) as a 32-bit DIB section composed
// over white; `width` and `height` (either may be null) receive its size, 0
// when it cannot be loaded, and the result is then NULL. GDI+ is started on
// the first call and kept running until the process ends.
HBITMAP LoadImageFile(LPCWSTR path, int* width, int* height);
