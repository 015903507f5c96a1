#include "FrameFixture.h"

#include <gdiplus.h>
#include <objbase.h>

#include <cwchar>

#include "Support.h"
#include "framework/Scoped.h"

namespace gp = Gdiplus::DllExports;

namespace frametest {

HMODULE LauncherModule() {
  static HMODULE module = LoadLibraryExW((test::ExeDir() + L"LgTarvo.exe").c_str(), nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  return module;
}

HBITMAP MakeDib(int w, int h, const std::function<COLORREF(int, int)>& colour) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bmp) return nullptr;
  auto* px = static_cast<uint32_t*>(bits);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const COLORREF c = colour(x, y);
      px[(h - 1 - y) * w + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
  return bmp;
}

std::vector<uint32_t> ReadPixels(HBITMAP bitmap, int* w, int* h) {
  BITMAP bm{};
  if (!GetObjectW(bitmap, sizeof(bm), &bm)) return {};
  if (w) *w = bm.bmWidth;
  if (h) *h = bm.bmHeight;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = bm.bmWidth;
  bi.bmiHeader.biHeight = -bm.bmHeight;  // top row first
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> px(static_cast<size_t>(bm.bmWidth) * static_cast<size_t>(bm.bmHeight));
  fw::ScopedWindowDC screen(nullptr);
  if (!GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(bm.bmHeight), px.data(), &bi,
                 DIB_RGB_COLORS))
    return {};
  for (uint32_t& p : px) p &= 0x00FFFFFFu;
  return px;
}

COLORREF PixelAt(const std::vector<uint32_t>& pixels, int w, int x, int y) {
  const uint32_t p =
      pixels.at(static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x));
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

std::vector<uint8_t> EncodePng(int w, int h, const std::vector<uint32_t>& argb) {
  UINT count = 0, bytes = 0;
  gp::GdipGetImageEncodersSize(&count, &bytes);
  std::vector<uint8_t> buffer(bytes);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (!bytes || gp::GdipGetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return {};
  const CLSID* png = nullptr;
  for (UINT i = 0; i < count; ++i)
    if (codecs[i].MimeType && wcscmp(codecs[i].MimeType, L"image/png") == 0) png = &codecs[i].Clsid;
  if (!png) return {};

  std::vector<uint32_t> pixels = argb;
  Gdiplus::GpBitmap* bitmap = nullptr;
  if (gp::GdipCreateBitmapFromScan0(w, h, w * 4, PixelFormat32bppARGB,
                                    reinterpret_cast<BYTE*>(pixels.data()), &bitmap) != Gdiplus::Ok)
    return {};
  fw::ComPtr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
  const bool saved =
      stream && gp::GdipSaveImageToStream(bitmap, stream.get(), png, nullptr) == Gdiplus::Ok;
  gp::GdipDisposeImage(bitmap);
  if (!saved) return {};
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  std::vector<uint8_t> out(static_cast<size_t>(stat.cbSize.QuadPart));
  LARGE_INTEGER zero{};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  ULONG read = 0;
  stream->Read(out.data(), static_cast<ULONG>(out.size()), &read);
  out.resize(read);
  return out;
}

ResourceCopy::ResourceCopy(const std::vector<Entry>& entries) {
  dir_ = test::MakeTempDir(L"frameres");
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring copy = dir_ + L"\\skins.dll";
  if (!CopyFileW(self, copy.c_str(), FALSE)) return;
  HANDLE update = BeginUpdateResourceW(copy.c_str(), FALSE);
  if (!update) return;
  for (const Entry& e : entries)
    UpdateResourceW(update, e.type, MAKEINTRESOURCEW(e.id), e.language,
                    const_cast<uint8_t*>(e.bytes.data()), static_cast<DWORD>(e.bytes.size()));
  if (!EndUpdateResourceW(update, FALSE)) return;
  module_ = LoadLibraryExW(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

ResourceCopy::~ResourceCopy() {
  if (module_) FreeLibrary(module_);
  test::RemoveTree(dir_);
}

FrameTemplate::FrameTemplate(DWORD style, short cx, short cy, const wchar_t* title) {
  auto dword = [this](DWORD v) {
    words_.push_back(LOWORD(v));
    words_.push_back(HIWORD(v));
  };
  auto text = [this](const wchar_t* s) {
    for (; *s; ++s) words_.push_back(static_cast<WORD>(*s));
    words_.push_back(0);
  };
  dword(style);
  dword(0);             // extended style
  words_.push_back(0);  // no items
  for (short v : {short{0}, short{0}, cx, cy}) words_.push_back(static_cast<WORD>(v));
  words_.push_back(0);  // no menu
  words_.push_back(0);  // the dialog class
  text(title);
  if (style & DS_SETFONT) {
    words_.push_back(8);
    text(L"MS Shell Dlg");
  }
}

}  // namespace frametest
