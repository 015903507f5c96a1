#include "skin/SkinImage.h"

#include <gdiplus.h>
#include <objbase.h>

#include <cstdint>

#include "framework/GdiplusToken.h"
#include "framework/Scoped.h"
#include "framework/Window.h"
#include "skin/FrameRules.h"

namespace gp = Gdiplus::DllExports;

namespace {

using ScopedGpBitmap = fw::Scoped<fw::NullIsEmpty<Gdiplus::GpBitmap*, gp::GdipDisposeImage>>;
using ScopedGpImage = fw::Scoped<fw::NullIsEmpty<Gdiplus::GpImage*, gp::GdipDisposeImage>>;
using ScopedGpGraphics = fw::Scoped<fw::NullIsEmpty<Gdiplus::GpGraphics*, gp::GdipDeleteGraphics>>;

// The DIB pixel of a COLORREF (which is stored red first).
uint32_t PixelOf(COLORREF c) {
  return (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) |
         GetBValue(c);
}

// The largest image taken: width * height * 4 bytes must fit the int sizes
// that GDI and GDI+ work with.
bool SizeFits(UINT w, UINT h) {
  return w > 0 && h > 0 && static_cast<uint64_t>(w) * h * 4 <= 0x7FFFFFFFu;
}

// A 32-bit bottom-up DIB section of w x h on the screen DC; `bits` receives
// its pixels.
HBITMAP CreateSkinDib(int w, int h, void** bits) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = h;  // positive: bottom-up
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  fw::ScopedWindowDC screen(nullptr);
  return CreateDIBSection(screen.get(), &bi, DIB_RGB_COLORS, bits, nullptr, 0);
}

// Decodes `size` bytes into a skin bitmap; GDI+ must be running.
HBITMAP DecodeWithGdiplus(const void* bytes, std::size_t size) {
  if (!bytes || size == 0 || size > 0x7FFFFFFFu) return nullptr;
  // The stream owns a copy of the bytes; GDI+ may read from it until the
  // bitmap is disposed of, so the stream outlives the bitmap (members are
  // released in reverse order).
  fw::ComPtr<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()))) return nullptr;
  ULONG written = 0;
  if (FAILED(stream->Write(bytes, static_cast<ULONG>(size), &written)) || written != size)
    return nullptr;
  LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);

  ScopedGpBitmap bitmap;
  if (gp::GdipCreateBitmapFromStream(stream.get(), bitmap.put()) != Gdiplus::Ok || !bitmap)
    return nullptr;
  HBITMAP result = ConvertToKeyedBitmap(bitmap.get(), kKeyColour);
  if (!result) {
    // GDI+'s own conversion over opaque magenta also leaves transparent
    // pixels magenta (partly transparent ones blend with it, though).
    HBITMAP fallback = nullptr;
    if (gp::GdipCreateHBITMAPFromBitmap(bitmap.get(), &fallback, 0xFFFF00FF) == Gdiplus::Ok)
      result = fallback;
  }
  return result;
}

}  // namespace

HBITMAP ConvertToKeyedBitmap(Gdiplus::GpBitmap* bitmap, COLORREF key) {
  if (!bitmap) return nullptr;
  UINT w = 0, h = 0;
  if (gp::GdipGetImageWidth(bitmap, &w) != Gdiplus::Ok ||
      gp::GdipGetImageHeight(bitmap, &h) != Gdiplus::Ok)
    return nullptr;
  if (!SizeFits(w, h)) return nullptr;

  void* bits = nullptr;
  fw::ScopedBitmap dib(CreateSkinDib(static_cast<int>(w), static_cast<int>(h), &bits));
  if (!dib || !bits) return nullptr;

  Gdiplus::GpRect all(0, 0, static_cast<INT>(w), static_cast<INT>(h));
  Gdiplus::BitmapData data{};
  if (gp::GdipBitmapLockBits(bitmap, &all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB,
                             &data) != Gdiplus::Ok)
    return nullptr;
  if (data.Scan0) {
    // The rows are walked with the stride GDI+ reports, which may be wider
    // than the pixels or negative; never assumed to be width * 4.
    frame::ConvertKeyedRows(static_cast<const uint8_t*>(data.Scan0), data.Stride,
                            static_cast<int>(w), static_cast<int>(h), static_cast<uint32_t*>(bits),
                            PixelOf(key));
  }
  gp::GdipBitmapUnlockBits(bitmap, &data);
  if (!data.Scan0) return nullptr;
  return dib.release();
}

HBITMAP DecodeSkinImage(const void* bytes, std::size_t size) {
  fw::GdiplusToken gdiplus;
  if (!gdiplus.ok()) return nullptr;
  return DecodeWithGdiplus(bytes, size);
}

HBITMAP LoadSkinImage(WORD nID, HMODULE module) {
  if (!module) module = fw::ModuleInstance();
  // GDI+ runs for this call only; the token ends it on every way out, after
  // everything made with it is gone.
  fw::GdiplusToken gdiplus;
  if (!gdiplus.ok()) return nullptr;

  // A bitmap resource of the id wins and is taken as it is.
  if (HBITMAP plain = LoadBitmapW(module, MAKEINTRESOURCEW(nID))) return plain;

  HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(nID), L"PNG");
  if (!res) return nullptr;
  HGLOBAL data = LoadResource(module, res);
  const void* bytes = data ? LockResource(data) : nullptr;
  const DWORD size = SizeofResource(module, res);
  if (!bytes || size == 0) return nullptr;
  return DecodeWithGdiplus(bytes, size);
}

HBITMAP LoadImageFile(LPCWSTR path, int* width, int* height) {
  if (width) *width = 0;
  if (height) *height = 0;
  // Started once and shut down when the process ends (static destruction
  // runs at exit, after the last picture has been loaded).
  static fw::GdiplusToken gdiplus;
  if (!gdiplus.ok() || !path) return nullptr;

  ScopedGpImage image;
  if (gp::GdipLoadImageFromFile(path, image.put()) != Gdiplus::Ok || !image) return nullptr;
  UINT w = 0, h = 0;
  gp::GdipGetImageWidth(image.get(), &w);
  gp::GdipGetImageHeight(image.get(), &h);
  if (!SizeFits(w, h)) return nullptr;
  if (width) *width = static_cast<int>(w);
  if (height) *height = static_cast<int>(h);

  void* bits = nullptr;
  fw::ScopedBitmap dib(CreateSkinDib(static_cast<int>(w), static_cast<int>(h), &bits));
  fw::ScopedWindowDC screen(nullptr);
  fw::ScopedMemDC mem(CreateCompatibleDC(screen.get()));
  if (!dib || !mem) return nullptr;
  {
    fw::ScopedSelect select(mem.get(), dib.get());
    RECT all{0, 0, static_cast<LONG>(w), static_cast<LONG>(h)};
    FillRect(mem.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ScopedGpGraphics graphics;
    if (gp::GdipCreateFromHDC(mem.get(), graphics.put()) == Gdiplus::Ok && graphics)
      gp::GdipDrawImageRectI(graphics.get(), image.get(), 0, 0, static_cast<INT>(w),
                             static_cast<INT>(h));
  }
  return dib.release();
}
