#include "skin/ImgProgress.h"

#include <commctrl.h>

#include "framework/Scoped.h"
#include "skin/BtnEx.h"
#include "skin/ControlRules.h"

namespace {

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP bm{};
  if (!bitmap || !GetObjectW(bitmap, sizeof(bm), &bm)) return SIZE{0, 0};
  return SIZE{bm.bmWidth, bm.bmHeight};
}

}  // namespace

CImgProgress::~CImgProgress() {
  DestroyDetached();
  if (m_hBar && m_hBar != m_hBack) DeleteObject(m_hBar);
  if (m_hBack) DeleteObject(m_hBack);
}

bool CImgProgress::Create(HWND parent, const RECT& rect, int id, DWORD style) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);
  return CreateControl(PROGRESS_CLASSW, parent, id, nullptr, style, 0, rect);
}

BOOL CImgProgress::SetImages(HBITMAP track, HBITMAP fill) {
  // Images held before are ours to delete (each once, even if the caller
  // hands one back or gives the same bitmap for both).
  if (m_hBar && m_hBar != m_hBack && m_hBar != track && m_hBar != fill) DeleteObject(m_hBar);
  if (m_hBack && m_hBack != track && m_hBack != fill) DeleteObject(m_hBack);
  m_hBack = track;
  m_hBar = fill;

  const SIZE t = BitmapSize(track);
  if (t.cx > 0 && t.cy > 0) {
    if (Hwnd())
      SetWindowPos(Hwnd(), nullptr, 0, 0, t.cx, t.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Set, not added to: a second call must not make the bar grow.
    m_rcCtrl = RECT{0, 0, t.cx, t.cy};
  }
  const SIZE f = BitmapSize(fill);
  const int left = (m_rcCtrl.right - f.cx) / 2;
  const int top = (m_rcCtrl.bottom - f.cy) / 2;
  m_rcBar = RECT{left, top, left + f.cx, top + f.cy};
  if (Hwnd()) Invalidate(false);
  return TRUE;
}

LRESULT CImgProgress::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return TRUE;
    case WM_PAINT: {
      fw::ScopedPaint paint(Hwnd());
      Paint(paint.get());
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wp));
      return 0;
  }
  return Window::WindowProc(msg, wp, lp);
}

void CImgProgress::Paint(HDC target) {
  // Without a track image the drawing size is the window's.
  RECT area = m_rcCtrl;
  if (IsRectEmpty(&area)) area = GetClientRect();
  const int w = area.right - area.left, h = area.bottom - area.top;
  if (w <= 0 || h <= 0) return;
  fw::ScopedMemDC mem(CreateCompatibleDC(target));
  fw::ScopedBitmap bmp(CreateCompatibleBitmap(target, w, h));
  fw::ScopedMemDC src(CreateCompatibleDC(target));
  if (!mem || !bmp || !src) return;
  fw::ScopedSelect selBmp(mem.get(), bmp.get());

  ctl::PaintParentBackground(Hwnd(), mem.get());

  const SIZE t = BitmapSize(m_hBack);
  if (t.cx > 0 && t.cy > 0) {
    fw::ScopedSelect sel(src.get(), m_hBack);
    TransparentBlt(mem.get(), 0, 0, t.cx, t.cy, src.get(), 0, 0, t.cx, t.cy, kKeyColour);
  }

  const int barWidth = m_rcBar.right - m_rcBar.left;
  const int barHeight = m_rcBar.bottom - m_rcBar.top;
  if (m_hBar && barWidth > 0 && barHeight > 0) {
    PBRANGE range{};
    Send(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    const int pos = static_cast<int>(Send(PBM_GETPOS));
    const ctl::ProgressFill fill = ctl::ComputeProgressFill(barWidth, range.iLow, range.iHigh, pos);
    fw::ScopedSelect sel(src.get(), m_hBar);
    if (fill.leftColumns > 0)
      TransparentBlt(mem.get(), m_rcBar.left, m_rcBar.top, fill.leftColumns, barHeight, src.get(), 0, 0,
                     fill.leftColumns, barHeight, kKeyColour);
    if (fill.rightColumns > 0)
      TransparentBlt(mem.get(), m_rcBar.left + fill.leftColumns, m_rcBar.top, fill.rightColumns,
                     barHeight, src.get(), fill.rightSource, 0, fill.rightColumns, barHeight,
                     kKeyColour);
  }

  BitBlt(target, 0, 0, w, h, mem.get(), 0, 0, SRCCOPY);
}
