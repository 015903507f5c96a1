// Shared pieces of the skin image and skinned frame tests: the launcher's own
// resources, images with exact pixels made here, PNG bytes encoded here,
// pixels read back from bitmaps, and dialog templates built in memory.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace frametest {

// LgTarvo.exe (built beside the test program) loaded as a resource module,
// once per process; nullptr when it is missing.
HMODULE LauncherModule();

// A 32-bit bottom-up DIB section whose pixel (x, y), counted from the
// top-left, is colour(x, y): the layout of a skin bitmap.
HBITMAP MakeDib(int w, int h, const std::function<COLORREF(int x, int y)>& colour);

// Pixels of any bitmap, top row first, as 0x00RRGGBB (read through GetDIBits).
std::vector<uint32_t> ReadPixels(HBITMAP bitmap, int* w = nullptr, int* h = nullptr);
// One of them as a COLORREF.
COLORREF PixelAt(const std::vector<uint32_t>& pixels, int w, int x, int y);

// PNG bytes of a w x h image given as 32-bit ARGB pixels, top row first,
// encoded by GDI+ (which the caller must have started).
std::vector<uint8_t> EncodePng(int w, int h, const std::vector<uint32_t>& argb);

// A copy of this test program with resources added by UpdateResource,
// loaded as a data file. Removed again at the end.
class ResourceCopy {
 public:
  struct Entry {
    const wchar_t* type;  // "PNG" or RT_BITMAP...
    WORD id;
    WORD language;
    std::vector<uint8_t> bytes;
  };
  explicit ResourceCopy(const std::vector<Entry>& entries);
  ~ResourceCopy();
  ResourceCopy(const ResourceCopy&) = delete;
  ResourceCopy& operator=(const ResourceCopy&) = delete;
  HMODULE Get() const { return module_; }

 private:
  std::wstring dir_;
  HMODULE module_ = nullptr;
};

// A DLGTEMPLATE without items: `style` (DS_SETFONT adds the 8-point "MS
// Shell Dlg" font), size in dialog units, title.
class FrameTemplate {
 public:
  FrameTemplate(DWORD style, short cx, short cy, const wchar_t* title);
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  std::vector<WORD> words_;
};

}  // namespace frametest
