#include "framework/ImageList.h"

namespace fw {

ImageList& ImageList::operator=(ImageList&& other) noexcept {
  if (this != &other) {
    Destroy();
    list_ = other.Release();
  }
  return *this;
}

bool ImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
  Destroy();
  list_ = ImageList_Create(cx, cy, flags, initial, grow);
  return list_ != nullptr;
}

int ImageList::Add(HBITMAP bitmap, COLORREF mask) {
  return list_ ? ImageList_AddMasked(list_, bitmap, mask) : -1;
}

bool ImageList::Draw(int index, HDC dc, int x, int y, UINT style) const {
  return list_ && ImageList_Draw(list_, index, dc, x, y, style);
}

bool ImageList::DrawEx(int index, HDC dc, int x, int y, int cx, int cy, COLORREF bk,
                       COLORREF fg, UINT style) const {
  return list_ && ImageList_DrawEx(list_, index, dc, x, y, cx, cy, bk, fg, style);
}

int ImageList::Count() const { return list_ ? ImageList_GetImageCount(list_) : 0; }

HIMAGELIST ImageList::Release() {
  HIMAGELIST list = list_;
  list_ = nullptr;
  return list;
}

void ImageList::Destroy() {
  if (list_) ImageList_Destroy(list_);
  list_ = nullptr;
}

}  // namespace fw
