// An owned image list (HIMAGELIST): destroyed with the object.
#pragma once
#include <windows.h>
#include <commctrl.h>

namespace fw {

class ImageList {
 public:
  ImageList() = default;
  ~ImageList() { Destroy(); }
  ImageList(ImageList&& other) noexcept : list_(other.Release()) {}
  ImageList& operator=(ImageList&& other) noexcept;
  ImageList(const ImageList&) = delete;
  ImageList& operator=(const ImageList&) = delete;

  // Images of cx x cy; `flags` as ImageList_Create (ILC_COLOR24 | ILC_MASK...).
  // Replaces a list this object already held.
  bool Create(int cx, int cy, UINT flags, int initial, int grow);
  // Adds the images of `bitmap` (as many as its width holds), with `mask`
  // as the transparent colour. The list copies the pixels; the bitmap stays
  // the caller's, but its mask-coloured pixels may have been turned black
  // (ImageList_AddMasked documentation). Index of the first image, or -1.
  int Add(HBITMAP bitmap, COLORREF mask);
  // ImageList_Draw: `style` ILD_NORMAL, ILD_TRANSPARENT...
  bool Draw(int index, HDC dc, int x, int y, UINT style = ILD_NORMAL) const;
  // ImageList_DrawEx: scaled or blended drawing into cx x cy.
  bool DrawEx(int index, HDC dc, int x, int y, int cx, int cy, COLORREF bk, COLORREF fg,
              UINT style) const;
  int Count() const;

  HIMAGELIST Handle() const { return list_; }
  HIMAGELIST Release();
  void Destroy();

 private:
  HIMAGELIST list_ = nullptr;
};

}  // namespace fw
