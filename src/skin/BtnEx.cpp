#include "skin/BtnEx.h"

#include <commctrl.h>

#include "framework/Scoped.h"
#include "skin/ControlRules.h"

namespace ctl {

void PaintParentBackground(HWND control, HDC dc) {
  // Only a child has a parent whose background lies under it (GetParent of
  // a pop-up is its owner).
  if (!(GetWindowLongPtrW(control, GWL_STYLE) & WS_CHILD)) return;
  HWND parent = GetParent(control);
  if (!parent) return;
  // The control's client origin in the parent's client coordinates: that is
  // where the parent's WM_ERASEBKGND paints (for the frameless skinned
  // dialogs this is the same as the offset of the window rectangles).
  POINT origin{0, 0};
  MapWindowPoints(control, parent, &origin, 1);
  // The parent may select objects or change modes in the DC and leave them.
  const int saved = SaveDC(dc);
  SetWindowOrgEx(dc, origin.x, origin.y, nullptr);
  SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RestoreDC(dc, saved);
}

bool FillKeyedImageList(fw::ImageList& list, HBITMAP bitmap, int cx, int cy, int count) {
  list.Destroy();
  BITMAP bm{};
  if (!bitmap || !GetObjectW(bitmap, sizeof(bm), &bm) || cx <= 0 || cy <= 0) return false;
  // ImageList_AddMasked turns the mask-coloured pixels of the bitmap it is
  // given black (its documentation), which would spoil an image that the
  // caller uses again (the maximize and restore images go in again and
  // again). So the list is filled from a copy.
  fw::ScopedWindowDC screen(nullptr);
  fw::ScopedMemDC src(CreateCompatibleDC(screen.get()));
  fw::ScopedMemDC dst(CreateCompatibleDC(screen.get()));
  fw::ScopedBitmap copy(CreateCompatibleBitmap(screen.get(), bm.bmWidth, bm.bmHeight));
  if (!src || !dst || !copy) return false;
  {
    fw::ScopedSelect selSrc(src.get(), bitmap);
    fw::ScopedSelect selDst(dst.get(), copy.get());
    BitBlt(dst.get(), 0, 0, bm.bmWidth, bm.bmHeight, src.get(), 0, 0, SRCCOPY);
  }
  if (!list.Create(cx, cy, ILC_COLOR24 | ILC_MASK, count, 0)) return false;
  list.Add(copy.get(), kKeyColour);
  return true;
}

BOOL TrackHoverAndLeave(HWND control) {
  TRACKMOUSEEVENT tme{};
  tme.cbSize = sizeof(tme);
  tme.dwFlags = TME_HOVER | TME_LEAVE;
  tme.hwndTrack = control;
  tme.dwHoverTime = 10;
  return _TrackMouseEvent(&tme);
}

}  // namespace ctl

CBtnEx::~CBtnEx() {
  // The window goes before the members (the tooltip) do.
  DestroyDetached();
}

bool CBtnEx::Create(HWND parent, const RECT& rect, int id, const wchar_t* text, DWORD style) {
  // OnSubclassed (run by CreateControl) takes the text and adds BS_OWNERDRAW.
  return CreateControl(L"BUTTON", parent, id, text ? text : L"", style, 0, rect);
}

void CBtnEx::OnSubclassed() {
  const int length = GetWindowTextLengthW(Hwnd());
  m_strText.assign(static_cast<size_t>(length) + 1, L'\0');
  m_strText.resize(static_cast<size_t>(GetWindowTextW(Hwnd(), &m_strText[0], length + 1)));
  // The type bits are a number, not flags: OR-ing BS_OWNERDRAW into, say,
  // BS_GROUPBOX would give an invalid type.
  const LONG_PTR style = GetWindowLongPtrW(Hwnd(), GWL_STYLE);
  SetWindowLongPtrW(Hwnd(), GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
  StoreWindowRect();
}

void CBtnEx::StoreWindowRect() {
  if (Hwnd()) ::GetWindowRect(Hwnd(), &m_rcWnd);
}

BOOL CBtnEx::SetImage(HBITMAP strip, BOOL resize) {
  BITMAP bm{};
  if (!strip || !GetObjectW(strip, sizeof(bm), &bm)) bm = BITMAP{};
  const int cx = bm.bmWidth / 4;
  if (cx <= 0 || bm.bmHeight <= 0) {
    // No usable image (none, or narrower than four pixels): the button shows
    // the background and its text only, and keeps its size.
    m_imgList.Destroy();
  } else {
    ctl::FillKeyedImageList(m_imgList, strip, cx, bm.bmHeight, 4);
    if (resize && Hwnd())
      SetWindowPos(Hwnd(), nullptr, 0, 0, cx, bm.bmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  StoreWindowRect();
  if (Hwnd()) Invalidate(false);
  return TRUE;
}

void CBtnEx::SetToolTipText(const wchar_t* text) {
  m_strToolTip = text ? text : L"";
  m_bToolTip = TRUE;
  if (m_toolTip.Hwnd() || !Hwnd()) return;
  if (!m_toolTip.Create(Hwnd(), TTS_ALWAYSTIP)) return;
  // The text is asked for when shown (WM_NOTIFY below) until the first hover
  // puts the current text in.
  m_toolTip.AddTool(Hwnd(), LPSTR_TEXTCALLBACKW);
  m_toolTip.SetDelay(TTDT_AUTOMATIC, 660);
}

bool CBtnEx::PreTranslateMessage(MSG* msg) {
  if (m_bToolTip && m_toolTip.Hwnd()) m_toolTip.RelayEvent(msg);
  return Window::PreTranslateMessage(msg);
}

void CBtnEx::TrackMouse() {
  if (!m_bTracking) m_bTracking = ctl::TrackHoverAndLeave(Hwnd());
}

LRESULT CBtnEx::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return TRUE;
    case WM_MOUSEMOVE:
      TrackMouse();
      break;
    case WM_MOUSELEAVE:
      m_bHover = FALSE;
      m_bTracking = FALSE;
      Invalidate(false);
      return 0;
    case WM_MOUSEHOVER:
      m_bHover = TRUE;
      Invalidate(false);
      if (m_bToolTip) m_toolTip.UpdateText(Hwnd(), 0, m_strToolTip.c_str());
      return 0;
    case WM_LBUTTONUP:
      // Released off the button, the button itself has nothing to redraw
      // (it let go of its pushed state when the mouse left), so the pressed
      // look that the latch kept must be repainted here.
      if (m_bPressed) Invalidate(false);
      m_bPressed = FALSE;
      break;
    case WM_CAPTURECHANGED:
      // The press is over without a WM_LBUTTONUP here: a space-bar press
      // (the button captures the mouse for it too), or another window took
      // the capture. Without this the pressed look would stay.
      if (m_bPressed) {
        m_bPressed = FALSE;
        Invalidate(false);
      }
      break;
    case WM_DESTROY:
      // The tooltip is a pop-up of the top-level window, so it would outlive
      // the button and keep a tool for a dead window; hover and press
      // belong to this window too. A new window starts afresh.
      m_toolTip.Destroy();
      m_bToolTip = FALSE;
      ClearHover();
      m_bPressed = FALSE;
      break;
    case WM_SIZE:
      // The drawing size follows the window.
      StoreWindowRect();
      break;
    case WM_SETTEXT:
      // Text set on the window later shows too.
      m_strText = lp ? reinterpret_cast<const wchar_t*>(lp) : L"";
      break;
    case WM_NOTIFY: {
      auto* info = reinterpret_cast<NMTTDISPINFOW*>(lp);
      if (info && m_toolTip.Hwnd() && info->hdr.hwndFrom == m_toolTip.Hwnd() &&
          info->hdr.code == TTN_GETDISPINFOW) {
        info->lpszText = const_cast<wchar_t*>(m_strToolTip.c_str());
        return 0;
      }
      break;
    }
  }
  return Window::WindowProc(msg, wp, lp);
}

bool CBtnEx::OnReflectedMessage(UINT msg, WPARAM, LPARAM lp, LRESULT* result) {
  if (msg != WM_DRAWITEM) return false;
  DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
  *result = TRUE;
  return true;
}

void CBtnEx::DrawItem(const DRAWITEMSTRUCT& dis) {
  const ctl::ButtonStateChoice choice =
      ctl::ChooseButtonState((dis.itemState & (ODS_DISABLED | ODS_GRAYED)) != 0,
                             (dis.itemState & ODS_SELECTED) != 0, m_bPressed != FALSE, m_bHover != FALSE);
  m_bPressed = choice.pressedLatch;
  const int state = choice.index;

  const int w = m_rcWnd.right - m_rcWnd.left;
  const int h = m_rcWnd.bottom - m_rcWnd.top;
  if (w <= 0 || h <= 0) return;
  fw::ScopedMemDC mem(CreateCompatibleDC(dis.hDC));
  fw::ScopedBitmap bmp(CreateCompatibleBitmap(dis.hDC, w, h));
  if (!mem || !bmp) return;
  fw::ScopedSelect selBmp(mem.get(), bmp.get());

  ctl::PaintParentBackground(Hwnd(), mem.get());

  int iw = 0, ih = 0;
  if (m_imgList.Count() > state && ImageList_GetIconSize(m_imgList.Handle(), &iw, &ih)) {
    if (iw == w && ih == h) {
      m_imgList.Draw(state, mem.get(), 0, 0, ILD_TRANSPARENT);
    } else {
      // Stretched: the state on a key-coloured ground, then copied with the
      // key colour left out, so the transparent parts stay transparent.
      fw::ScopedMemDC keyed(CreateCompatibleDC(dis.hDC));
      fw::ScopedBitmap keyedBmp(CreateCompatibleBitmap(dis.hDC, iw, ih));
      fw::ScopedBrush key(CreateSolidBrush(kKeyColour));
      if (keyed && keyedBmp && key) {
        fw::ScopedSelect selKeyed(keyed.get(), keyedBmp.get());
        RECT all{0, 0, iw, ih};
        FillRect(keyed.get(), &all, key.get());
        m_imgList.Draw(state, keyed.get(), 0, 0, ILD_TRANSPARENT);
        TransparentBlt(mem.get(), 0, 0, w, h, keyed.get(), 0, 0, iw, ih, kKeyColour);
      }
    }
  }

  if (!m_strText.empty()) {
    SetBkMode(mem.get(), TRANSPARENT);
    SetTextColor(mem.get(), state == ctl::kStateDisabled ? GetSysColor(COLOR_GRAYTEXT) : m_crText);
    auto font = reinterpret_cast<HFONT>(Send(WM_GETFONT));
    if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    fw::ScopedSelect selFont(mem.get(), font);
    RECT client = GetClientRect();
    DrawTextW(mem.get(), m_strText.c_str(), static_cast<int>(m_strText.size()), &client,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }

  BitBlt(dis.hDC, 0, 0, w, h, mem.get(), 0, 0, SRCCOPY);
}
