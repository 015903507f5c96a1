#include "skin/DlgEx.h"

#include <windowsx.h>

#include <cwchar>
#include <string>
#include <vector>

#include "skin/FrameRules.h"
#include "skin/SkinImage.h"

// The frame's hit-test answers are the Windows codes themselves.
static_assert(static_cast<int>(frame::Hit::kCaption) == HTCAPTION, "hit codes");
static_assert(static_cast<int>(frame::Hit::kLeft) == HTLEFT, "hit codes");
static_assert(static_cast<int>(frame::Hit::kBottomRight) == HTBOTTOMRIGHT, "hit codes");
static_assert(SC_SIZE + 8 == 0xF008, "SC_SIZE + n starts sizing from band n");

namespace {

// The caption text's face; Windows substitutes another where it is missing.
constexpr wchar_t kCaptionFace[] = L"微软雅黑";

constexpr wchar_t kTipClose[] = L"关闭";
constexpr wchar_t kTipMaximize[] = L"最大化";
constexpr wchar_t kTipRestore[] = L"还原";
constexpr wchar_t kTipMinimize[] = L"最小化";

frame::Rect ToFrame(const RECT& r) {
  return frame::Rect{static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right),
                     static_cast<int>(r.bottom)};
}

RECT ToRect(const frame::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

RECT WorkArea() {
  RECT r{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

bool BitmapSize(HBITMAP bitmap, int* width, int* height) {
  BITMAP bm{};
  if (!bitmap || !GetObjectW(bitmap, sizeof(bm), &bm)) return false;
  *width = bm.bmWidth;
  *height = bm.bmHeight;
  return true;
}

// Mouse messages carry signed coordinates (a monitor left of or above the
// primary one has negative ones): GET_X_LPARAM, not LOWORD.
POINT PointOf(LPARAM lp) { return POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}; }
LPARAM LParamOf(POINT p) { return MAKELPARAM(p.x, p.y); }

// A caption button's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child, HWND parent) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace

CDlgEx::CDlgEx(UINT nIDTemplate, HINSTANCE module) : fw::Dialog(nIDTemplate, module) {}

CDlgEx::CDlgEx(const DLGTEMPLATE* dialogTemplate) : fw::Dialog(dialogTemplate) {}

CDlgEx::~CDlgEx() {
  // The window goes while the caption buttons still exist; the images are
  // deleted after it (members), when nothing can paint with them any more.
  DestroyDetached();
}

bool CDlgEx::OnInitDialog() {
  fw::Dialog::OnInitDialog();
  HWND hwnd = Hwnd();
  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  SetWindowLongPtrW(hwnd, GWL_STYLE,
                    (style & ~static_cast<LONG_PTR>(WS_CAPTION | DS_MODALFRAME)) | WS_MINIMIZEBOX);
  const LONG_PTR exStyle = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  SetWindowLongPtrW(hwnd, GWL_EXSTYLE,
                    exStyle & ~static_cast<LONG_PTR>(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE));
  // A style change alone leaves the old frame in place until the next size
  // change (SetWindowLongPtr documentation): applied now, the client area
  // is the whole window from the start, as painting and hit testing expect.
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  const RECT work = WorkArea();
  m_nMaxWidth = work.right - work.left;
  m_nMaxHeight = work.bottom - work.top;
  m_rcRestore = ToRect(frame::InitialRestoreRect(ToFrame(work)));
  return true;
}

BOOL CDlgEx::SetSkin(HBITMAP close, HBITMAP back, BOOL fit, BOOL stretch, HBITMAP minimize,
                     HBITMAP maximize, HBITMAP restore) {
  AdoptImages(back, maximize, restore);
  m_bStretchBack = stretch;
  HWND hwnd = Hwnd();
  if (!hwnd) return TRUE;

  int iw = 0, ih = 0;
  const bool hasBack = BitmapSize(m_bmpBack.get(), &iw, &ih) && iw > 0 && ih > 0;
  RECT layout = GetClientRect();
  // A window is never sized to a missing image.
  if (fit && hasBack) {
    SetWindowPos(hwnd, nullptr, 0, 0, iw, ih, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    layout = RECT{0, 0, iw, ih};
  }
  UpdateWindowRegion();

  // Right to left: close, maximize, minimize. A button kept from an earlier
  // skin still takes its place in the row.
  struct Slot {
    CBtnEx& button;
    int id;
    HBITMAP image;
    const wchar_t* tip;
  };
  // A window that is maximized when it gets its skin shows the restore image.
  const bool showRestore = m_bMaximized && m_bmpRestore;
  const Slot slots[] = {
      {m_btnClose, kIdClose, close, kTipClose},
      {m_btnMax, kIdMaximize,
       maximize ? (showRestore ? m_bmpRestore.get() : m_bmpMax.get()) : nullptr,
       showRestore ? kTipRestore : kTipMaximize},
      {m_btnMin, kIdMinimize, minimize, kTipMinimize},
  };
  int x = layout.right - m_nBtnRight;
  for (const Slot& s : slots) {
    if (s.image) CreateCaptionButton(s.button, s.id, s.image, x, s.tip);
    if (s.button.Hwnd()) {
      const RECT r = ChildRect(s.button.Hwnd(), hwnd);
      x -= (r.right - r.left) + m_nBtnGap;
    }
  }
  Invalidate(true);
  return TRUE;
}

void CDlgEx::AdoptImages(HBITMAP back, HBITMAP maximize, HBITMAP restore) {
  // What each holder is to hold: without a maximize image the button's two
  // images stay as they are.
  fw::ScopedBitmap* holders[] = {&m_bmpBack, &m_bmpMax, &m_bmpRestore};
  HBITMAP want[] = {back, maximize ? maximize : m_bmpMax.get(),
                    maximize ? restore : m_bmpRestore.get()};
  constexpr int kCount = 3;
  // One handle has one owner, or it would be deleted twice.
  for (int i = 0; i < kCount; ++i)
    for (int j = 0; j < i; ++j)
      if (want[i] == want[j]) want[i] = nullptr;
  auto wanted = [&](HBITMAP b) {
    for (HBITMAP w : want)
      if (w == b) return true;
    return false;
  };
  // A handle handed in again stays; every other old one is deleted.
  HBITMAP old[kCount];
  for (int i = 0; i < kCount; ++i) old[i] = holders[i]->release();
  for (int i = 0; i < kCount; ++i) holders[i]->reset(want[i]);
  for (HBITMAP b : old)
    if (b && !wanted(b)) DeleteObject(b);
  // A restore image without a maximize image is ours too, and of no use.
  if (!maximize && restore && !wanted(restore)) DeleteObject(restore);
}

bool CDlgEx::CreateCaptionButton(CBtnEx& button, int id, HBITMAP image, int right,
                                 const wchar_t* tip) {
  int iw = 0, ih = 0;
  if (!BitmapSize(image, &iw, &ih)) return false;
  if (button.Hwnd()) {
    button.Destroy();
    // The tooltip is a pop-up made for the button; as a child cannot own
    // windows, Windows may give it the dialog as owner instead, and then it
    // outlives the button and keeps its old tool. It goes with the button.
    button.m_toolTip.Destroy();
    button.m_bToolTip = FALSE;
  }
  button.ClearHover();
  button.m_bPressed = FALSE;
  // Four states side by side: a button is a quarter of its strip.
  const int w = iw / 4;
  const RECT rect{right - w, m_nBtnTop, right, m_nBtnTop + ih};
  if (!button.Create(Hwnd(), rect, id, L"", WS_CHILD | WS_VISIBLE)) return false;
  button.SetImage(image, FALSE);
  button.SetToolTipText(tip);
  return true;
}

void CDlgEx::SetTitle(LPCWSTR text) {
  if (!text) text = L"";
  SetText(text);
  HWND hwnd = Hwnd();
  if (!hwnd) return;
  // Measured with the font the caption is painted with, from where it is
  // painted, so the strip covers the old text and the new one.
  fw::ScopedFont font(CreateCaptionFont());
  LOGFONTW lf{};
  GetObjectW(font.get(), sizeof(lf), &lf);
  const int x = frame::CaptionTextX(m_nBorder, IconDrawn());
  const int y = frame::CaptionTextY(m_nCaptionHeight, lf.lfHeight);
  int height = 0;
  {
    fw::ScopedWindowDC dc(hwnd);
    fw::ScopedSelect select(dc.get(), font.get());
    RECT calc{x, y, x, y};
    DrawTextW(dc.get(), text, -1, &calc, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc.get(), &tm);
    height = calc.bottom - calc.top;
    if (height < tm.tmHeight) height = tm.tmHeight;  // an empty text still clears the old one
  }
  const RECT client = GetClientRect();
  const RECT strip{x, y, client.right, y + height};
  InvalidateRect(hwnd, &strip, TRUE);
}

void CDlgEx::RedrawCaptionButtons() {
  for (CBtnEx* b : {&m_btnClose, &m_btnMax, &m_btnMin})
    if (b->Hwnd()) InvalidateRect(b->Hwnd(), nullptr, TRUE);
}

void CDlgEx::UpdateWindowRegion() {
  HWND hwnd = Hwnd();
  if (!hwnd) return;
  int iw = 0, ih = 0;
  if (!BitmapSize(m_bmpBack.get(), &iw, &ih)) {
    // No skin, no shape.
    SetWindowRgn(hwnd, nullptr, FALSE);
    return;
  }
  const RECT wr = GetWindowRect();
  const int W = wr.right - wr.left, H = wr.bottom - wr.top;
  fw::ScopedRegion region(CreateRectRgn(0, 0, W, H));
  if (!region) return;
  {
    fw::ScopedWindowDC screen(nullptr);
    fw::ScopedMemDC mem(CreateCompatibleDC(screen.get()));
    if (!mem) return;
    fw::ScopedSelect select(mem.get(), m_bmpBack.get());
    const frame::KeyTest isKey = [&mem](int x, int y) {
      return GetPixel(mem.get(), x, y) == kKeyColour;
    };
    for (const frame::Point& p : frame::CornerCutPixels(W, H, iw, ih, isKey)) {
      fw::ScopedRegion dot(CreateRectRgn(p.x, p.y, p.x + 1, p.y + 1));
      if (dot) CombineRgn(region.get(), region.get(), dot.get(), RGN_DIFF);
    }
  }
  // The window owns the region once it has taken it; not when it refused.
  if (SetWindowRgn(hwnd, region.get(), FALSE)) region.release();
}

void CDlgEx::OnCaptionClose() { Post(WM_SYSCOMMAND, SC_CLOSE, 0); }

void CDlgEx::OnCaptionMinimize() { Post(WM_SYSCOMMAND, SC_MINIMIZE, 0); }

LRESULT CDlgEx::OnCaptionMaximize() {
  if (m_bMaximized) {
    Move(m_rcRestore, true);
    UpdateMaximizeButton(FALSE);
  } else {
    const frame::Rect r = frame::MaximizedRect(ToFrame(WorkArea()), m_nMaxWidth, m_nMaxHeight);
    Move(ToRect(r), true);
    UpdateMaximizeButton(TRUE);
  }
  // The button moved away from under the mouse: it no longer hovers.
  m_btnMax.ClearHover();
  m_bMaximized = !m_bMaximized;
  return 0;
}

void CDlgEx::UpdateMaximizeButton(BOOL bMaximized) {
  if (!m_btnMax.Hwnd()) return;
  HBITMAP image = bMaximized ? m_bmpRestore.get() : m_bmpMax.get();
  if (image) m_btnMax.SetImage(image, FALSE);
  m_btnMax.StoreWindowRect();
  m_btnMax.SetToolTipText(bMaximized ? kTipRestore : kTipMaximize);
}

HFONT CDlgEx::CreateCaptionFont() const {
  LOGFONTW lf{};
  auto windowFont = reinterpret_cast<HFONT>(Send(WM_GETFONT));
  // A dialog without DS_SETFONT has no font of its own.
  if (!windowFont || !GetObjectW(windowFont, sizeof(lf), &lf))
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
  lf.lfWeight = m_nTitleWeight;
  wcsncpy(lf.lfFaceName, kCaptionFace, LF_FACESIZE - 1);
  lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
  return CreateFontIndirectW(&lf);
}

HICON CDlgEx::CaptionIcon() const {
  return reinterpret_cast<HICON>(Send(WM_GETICON, ICON_SMALL, 0));
}

void CDlgEx::PaintBackground(HDC dc, int width, int height) const {
  int iw = 0, ih = 0;
  if (!BitmapSize(m_bmpBack.get(), &iw, &ih)) return;
  fw::ScopedMemDC image(CreateCompatibleDC(dc));
  if (!image) return;
  fw::ScopedSelect select(image.get(), m_bmpBack.get());
  // Nearest pixel, no blending: stretched edges keep the skin's exact colours.
  SetStretchBltMode(dc, COLORONCOLOR);
  for (const frame::Blit& b : frame::BackgroundBlits(width, height, iw, ih, m_nBorder,
                                                     m_nCaptionHeight, m_bStretchBack != FALSE)) {
    if (b.Stretched()) {
      StretchBlt(dc, b.dst.left, b.dst.top, b.dst.Width(), b.dst.Height(), image.get(), b.src.left,
                 b.src.top, b.src.Width(), b.src.Height(), SRCCOPY);
    } else {
      BitBlt(dc, b.dst.left, b.dst.top, b.dst.Width(), b.dst.Height(), image.get(), b.src.left,
             b.src.top, SRCCOPY);
    }
  }
}

void CDlgEx::PaintCaption(HDC dc) const {
  bool iconDrawn = false;
  if (m_bShowIcon) {
    if (HICON icon = CaptionIcon()) {
      const frame::Point p = frame::CaptionIconPos(m_nBorder, m_nCaptionHeight);
      DrawIconEx(dc, p.x, p.y, icon, frame::kCaptionIconSize, frame::kCaptionIconSize, 0, nullptr,
                 DI_NORMAL);
      iconDrawn = true;
    }
  }
  if (!m_bShowTitle) return;
  const int length = GetWindowTextLengthW(Hwnd());
  if (length <= 0) return;
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(Hwnd(), &text[0], length + 1)));

  fw::ScopedFont font(CreateCaptionFont());
  LOGFONTW lf{};
  GetObjectW(font.get(), sizeof(lf), &lf);
  const int saved = SaveDC(dc);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, m_crTitle);
  SelectObject(dc, font.get());
  TextOutW(dc, frame::CaptionTextX(m_nBorder, iconDrawn),
           frame::CaptionTextY(m_nCaptionHeight, lf.lfHeight), text.c_str(),
           static_cast<int>(text.size()));
  RestoreDC(dc, saved);  // lets go of the font before it is deleted
}

BOOL CDlgEx::OnEraseBkgnd(HDC dc) {
  if (!m_bmpBack || !dc) return FALSE;
  const RECT wr = GetWindowRect();
  const int W = wr.right - wr.left, H = wr.bottom - wr.top;
  if (W <= 0 || H <= 0) return TRUE;
  // Everything goes into one off-screen bitmap, which reaches the screen in
  // a single blit: no flicker of background, icon and text.
  fw::ScopedMemDC mem(CreateCompatibleDC(dc));
  fw::ScopedBitmap canvas(CreateCompatibleBitmap(dc, W, H));
  if (!mem || !canvas) return FALSE;
  fw::ScopedSelect select(mem.get(), canvas.get());
  PaintBackground(mem.get(), W, H);
  PaintCaption(mem.get());
  BitBlt(dc, 0, 0, W, H, mem.get(), 0, 0, SRCCOPY);
  return TRUE;
}

LRESULT CDlgEx::OnNcHitTest(POINT screen) {
  const LPARAM lp = LParamOf(screen);
  if (m_bMaximized) return DefaultProc(WM_NCHITTEST, 0, lp);
  POINT p = screen;
  ScreenToClient(Hwnd(), &p);
  const RECT client = GetClientRect();
  frame::HitFrame f;
  f.maximized = m_bMaximized != FALSE;
  f.resizable = m_bResizable != FALSE;
  f.caption = m_nCaptionHeight;
  f.border = m_nBorder;
  f.clientW = client.right;
  f.clientH = client.bottom;
  const frame::Hit hit = frame::FrameHitTest(f, frame::Point{p.x, p.y});
  if (hit == frame::Hit::kDefault) return DefaultProc(WM_NCHITTEST, 0, lp);
  return static_cast<LRESULT>(hit);
}

void CDlgEx::OnNcLButtonDown(UINT hitCode, POINT screen) {
  HWND hwnd = Hwnd();
  const int n = frame::SizeCommandOffset(static_cast<int>(hitCode));
  // Both run the system's modal move or size loop and return when it ends.
  if (n)
    Send(WM_SYSCOMMAND, SC_SIZE + n, LParamOf(screen));
  else
    DefaultProc(WM_NCLBUTTONDOWN, hitCode, LParamOf(screen));
  // Where the user last moved or sized the window is where it restores to.
  // A maximized window is not where it restores to, so it is not recorded.
  if (IsWindow(hwnd) && !m_bMaximized) m_rcRestore = GetWindowRect();
}

void CDlgEx::OnNcLButtonDblClk(UINT hitCode, POINT screen) {
  if (hitCode == HTCAPTION && m_bResizable) {
    OnCaptionMaximize();
    return;
  }
  DefaultProc(WM_NCLBUTTONDBLCLK, hitCode, LParamOf(screen));
}

void CDlgEx::OnLButtonDblClk(UINT flags, POINT client) {
  // A maximized window answers HTCLIENT on its band, so the double click
  // that restores it arrives here.
  if (m_bMaximized && frame::InCaptionBand(client.y, m_nCaptionHeight)) OnCaptionMaximize();
  DefaultProc(WM_LBUTTONDBLCLK, flags, LParamOf(client));
}

void CDlgEx::OnSize(UINT type, int cx, int cy) {
  DefaultProc(WM_SIZE, type, MAKELPARAM(cx, cy));
  // A minimized window is rebuilt when it comes back.
  if (!m_bmpBack || type == SIZE_MINIMIZED) return;
  UpdateWindowRegion();
  Invalidate(true);
  HWND hwnd = Hwnd();
  std::vector<CBtnEx*> buttons;
  std::vector<frame::ButtonBox> boxes;
  for (CBtnEx* b : {&m_btnClose, &m_btnMax, &m_btnMin}) {
    if (!b->Hwnd()) continue;
    const RECT r = ChildRect(b->Hwnd(), hwnd);
    buttons.push_back(b);
    boxes.push_back(frame::ButtonBox{r.right - r.left, r.bottom - r.top, r.top});
  }
  // The same row as SetSkin made, gaps included, against the new right edge.
  const std::vector<frame::Rect> rects =
      frame::LayoutCaptionButtons(cx - m_nBtnRight, m_nBtnGap, boxes);
  for (size_t i = 0; i < buttons.size(); ++i) {
    buttons[i]->Move(ToRect(rects[i]), true);
    buttons[i]->StoreWindowRect();
  }
}

LRESULT CDlgEx::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      if (OnEraseBkgnd(reinterpret_cast<HDC>(wp))) return TRUE;
      break;  // no skin: the dialog's own background
    case WM_NCHITTEST: return OnNcHitTest(PointOf(lp));
    case WM_COMMAND:
      // Code 0 is a button's BN_CLICKED (and a menu's), 1 an accelerator.
      if (HIWORD(wp) <= 1) {
        switch (LOWORD(wp)) {
          case kIdClose: OnCaptionClose(); return 0;
          case kIdMaximize: OnCaptionMaximize(); return 0;
          case kIdMinimize: OnCaptionMinimize(); return 0;
        }
      }
      break;
    case WM_NCLBUTTONDOWN: OnNcLButtonDown(static_cast<UINT>(wp), PointOf(lp)); return 0;
    case WM_NCLBUTTONDBLCLK: OnNcLButtonDblClk(static_cast<UINT>(wp), PointOf(lp)); return 0;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(static_cast<UINT>(wp), PointOf(lp)); return 0;
    case WM_SIZE: OnSize(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp)); return 0;
  }
  return fw::Dialog::WindowProc(msg, wp, lp);
}
