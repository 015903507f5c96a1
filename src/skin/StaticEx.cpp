#include "skin/StaticEx.h"

#include <commctrl.h>

#include "skin/BtnEx.h"
#include "skin/ControlRules.h"

namespace {

// Its width over 11 (the ten characters and the terminating null, which is
// measured with them) is the label's average character width; its height is
// the line height.
const wchar_t kSampleText[] = L"测试用汉字来获取宽度";
constexpr int kSampleLength = 11;
static_assert(sizeof(kSampleText) / sizeof(kSampleText[0]) == kSampleLength, "sample and length");

// Space between the image (or icon) and the label's edge, and between it and the text.
constexpr int kImageMargin = 3;
constexpr int kImageGap = 6;
constexpr int kIconSize = 16;

}  // namespace

CStaticEx::~CStaticEx() { DestroyDetached(); }

bool CStaticEx::Create(HWND parent, const RECT& rect, int id, const wchar_t* text, DWORD style) {
  return CreateControl(L"STATIC", parent, id, text ? text : L"", style, 0, rect);
}

void CStaticEx::OnSubclassed() {
  const int length = GetWindowTextLengthW(Hwnd());
  m_strText.assign(static_cast<size_t>(length) + 1, L'\0');
  m_strText.resize(static_cast<size_t>(GetWindowTextW(Hwnd(), &m_strText[0], length + 1)));
}

BOOL CStaticEx::SetImage(HBITMAP image) {
  m_bImgRight = FALSE;
  BITMAP bm{};
  if (!image || !GetObjectW(image, sizeof(bm), &bm)) return FALSE;
  m_nImgWidth = bm.bmWidth;
  m_nImgHeight = bm.bmHeight;
  ctl::FillKeyedImageList(m_imgList, image, bm.bmWidth, bm.bmHeight, 1);
  if (Hwnd()) Invalidate(false);
  return TRUE;
}

void CStaticEx::TrackMouse() {
  if (!m_bTracking) m_bTracking = ctl::TrackHoverAndLeave(Hwnd());
}

LRESULT CStaticEx::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      fw::ScopedPaint paint(Hwnd());
      Paint(paint.get());
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wp));
      return 0;
    case WM_ERASEBKGND:
      return TRUE;
    case WM_SETCURSOR:
      if (m_bHandCursor) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      // Without the hand the label shows the usual cursor; answering TRUE
      // here would leave whatever shape the cursor had before.
      break;
    case WM_MOUSEMOVE:
      TrackMouse();
      break;
    case WM_MOUSEHOVER:
      m_bHover = TRUE;
      Invalidate(false);
      return 0;
    case WM_MOUSELEAVE:
      m_bHover = FALSE;
      m_bTracking = FALSE;
      Invalidate(false);
      return 0;
    case WM_SETTEXT:
      // SetWindowText on the label changes what it shows.
      m_strText = lp ? reinterpret_cast<const wchar_t*>(lp) : L"";
      break;
  }
  return Window::WindowProc(msg, wp, lp);
}

void CStaticEx::Paint(HDC target) {
  const RECT client = GetClientRect();
  const int w = client.right, h = client.bottom;
  if (w <= 0 || h <= 0) return;
  fw::ScopedMemDC mem(CreateCompatibleDC(target));
  fw::ScopedBitmap bmp(CreateCompatibleBitmap(target, w, h));
  if (!mem || !bmp) return;
  fw::ScopedSelect selBmp(mem.get(), bmp.get());

  ctl::PaintParentBackground(Hwnd(), mem.get());

  if (m_imgList.Handle()) {
    const int x = m_bImgRight ? w - m_nImgWidth - kImageMargin : kImageMargin;
    m_imgList.Draw(m_nImgIndex, mem.get(), x, (h - m_nImgHeight) / 2, ILD_TRANSPARENT);
  } else if (m_hIcon) {
    // Placed by its own drawn size (no image size is recorded for an icon).
    const int x = m_bImgRight ? w - kIconSize - kImageMargin : kImageMargin;
    DrawIconEx(mem.get(), x, (h - kIconSize) / 2, m_hIcon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
  }

  DrawLabelText(mem.get());

  BitBlt(target, 0, 0, w, h, mem.get(), 0, 0, SRCCOPY);
}

HFONT CStaticEx::LabelFont() {
  if (m_font) return m_font.get();
  auto base = reinterpret_cast<HFONT>(Send(WM_GETFONT));
  if (!base) base = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  LOGFONTW lf{};
  GetObjectW(base, sizeof(lf), &lf);
  if (m_nFontHeight != 0) lf.lfHeight = m_nFontHeight;
  if (m_nFontWeight != -1) lf.lfWeight = m_nFontWeight;
  if (m_nFontWidth != 0) lf.lfWidth = m_nFontWidth;
  if (m_bUnderline) lf.lfUnderline = TRUE;
  lstrcpynW(lf.lfFaceName, L"微软雅黑", LF_FACESIZE);
  m_font.reset(CreateFontIndirectW(&lf));
  return m_font.get();
}

void CStaticEx::DrawLabelText(HDC dc) {
  RECT text = GetClientRect();
  // The side taken by the image (or, without one, the icon).
  const int side = m_imgList.Handle() ? m_nImgWidth : (m_hIcon ? kIconSize : 0);
  if (side != 0) {
    if (m_bImgRight)
      text.right -= side + kImageGap;
    else
      text.left += side + kImageGap;
  }

  const LONG_PTR style = GetWindowLongPtrW(Hwnd(), GWL_STYLE);
  // SS_CENTER and SS_RIGHT are values of the type field, the ellipsis kinds
  // values of their own field (SS_WORDELLIPSIS has both bits).
  UINT flags = DT_WORDBREAK;
  const LONG_PTR type = style & SS_TYPEMASK;
  if (type == SS_CENTER)
    flags |= DT_CENTER | DT_VCENTER;
  else if (type == SS_RIGHT)
    flags |= DT_RIGHT;
  const LONG_PTR ellipsis = style & SS_ELLIPSISMASK;
  if (ellipsis == SS_ENDELLIPSIS) flags |= DT_END_ELLIPSIS;
  if (ellipsis == SS_PATHELLIPSIS) flags |= DT_PATH_ELLIPSIS | DT_SINGLELINE;
  if (style & SS_CENTERIMAGE) flags |= DT_VCENTER | DT_SINGLELINE;
  // As a static control does: "&" marks a mnemonic unless SS_NOPREFIX.
  const UINT prefix = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
  flags |= prefix;

  const int saved = SaveDC(dc);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, (m_bHoverColor && m_bHover) ? m_crHover : m_crText);
  if (HFONT font = LabelFont()) SelectObject(dc, font);

  RECT sample{0, 0, 0, 0};
  DrawTextW(dc, kSampleText, kSampleLength, &sample, DT_CALCRECT);
  const int lineHeight = sample.bottom - sample.top;
  const int averageWidth = (sample.right - sample.left) / kSampleLength;
  const int width = text.right - text.left;

  if (width > 0 && width >= averageWidth) {
    const ctl::LabelLines layout = ctl::BreakLabelText(
        m_strText, width, lineHeight, m_nLineSpace, [dc, prefix](const std::wstring& line) {
          RECT r{0, 0, 0, 0};
          DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &r,
                    DT_CALCRECT | DT_SINGLELINE | prefix);
          return static_cast<int>(r.right - r.left);
        });
    RECT line{text.left, text.top, text.right, text.top + lineHeight};
    for (const std::wstring& s : layout.lines) {
      DrawTextW(dc, s.c_str(), static_cast<int>(s.size()), &line, flags);
      OffsetRect(&line, 0, lineHeight + m_nLineSpace);
    }
    RestoreDC(dc, saved);

    // The label grows downwards to show every line; it never shrinks.
    const RECT window = GetWindowRect();
    if (window.bottom - window.top < layout.height) {
      SetWindowPos(Hwnd(), nullptr, 0, 0, window.right - window.left, layout.height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return;
  }
  // Narrower than one character: nothing fits.
  RestoreDC(dc, saved);
}
