// CImgProgress: a progress bar drawn from a track image with a fill image
// over it. The filled part shows the fill image's left end and its right end
// with the middle cut out, so the rounded ends always show. Position and
// range are those of the progress control underneath (PBM_SETPOS,
// PBM_SETRANGE32...); every position change repaints.
#pragma once
#include <windows.h>

#include "framework/Window.h"

class CImgProgress : public fw::Window {
 public:
  CImgProgress() = default;
  // Deletes the two images.
  ~CImgProgress() override;

  // A progress bar made in code ("msctls_progress32"), owned by this object.
  bool Create(HWND parent, const RECT& rect, int id, DWORD style = WS_CHILD | WS_VISIBLE);

  // Takes ownership of both images (images held before are deleted) and
  // sizes the control to the track. Either may be NULL: no track image
  // keeps the control's size, no fill image draws no fill. Always TRUE.
  BOOL SetImages(HBITMAP track, HBITMAP fill);

  HBITMAP m_hBack = nullptr;  // track image, owned
  HBITMAP m_hBar = nullptr;   // fill image, owned
  RECT m_rcCtrl{};            // (0, 0, track width, track height)
  RECT m_rcBar{};             // the fill image, centred in m_rcCtrl

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void Paint(HDC target);
};
