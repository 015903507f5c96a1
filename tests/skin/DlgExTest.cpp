// The skinned dialog frame on real windows under the real dialog manager:
// messages are sent as the system sends them, and what the frame did is read
// back from the window itself (styles, rectangles, its region, its children,
// its update region, and its pixels printed into a bitmap with WM_PRINT).
//
// Most tests use a skin made here with one colour per part, so every probe
// has one right answer: a 40 x 60 image with a caption band of 30 and a
// border of 4, key-coloured quarter circles in both top corners, a key pixel
// at (10, 0) outside the corner square and one in the bottom-left corner.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "FrameFixture.h"
#include "Support.h"
#include "framework/Scoped.h"
#include "skin/DlgEx.h"
#include "skin/FrameRules.h"
#include "skin/SkinImage.h"

using frametest::FrameTemplate;
using frametest::PixelAt;

namespace {

constexpr COLORREF kBand = RGB(0, 120, 0);
constexpr COLORREF kEdge = RGB(0, 0, 160);
constexpr COLORREF kBottom = RGB(160, 0, 0);
constexpr COLORREF kCentre = RGB(230, 230, 230);
constexpr COLORREF kIconColour = RGB(255, 200, 0);
constexpr int kSkinW = 40, kSkinH = 60, kBandH = 30, kBorder = 4;

bool InQuarterCircle(int x, int y) {
  return x < 9 && y < 9 && (9 - x - 0.5) * (9 - x - 0.5) + (9 - y - 0.5) * (9 - y - 0.5) > 81;
}

COLORREF SkinColour(int x, int y) {
  if (InQuarterCircle(x, y) || InQuarterCircle(kSkinW - 1 - x, y)) return kKeyColour;
  if ((x == 10 && y == 0) || (x == 0 && y == kSkinH - 1)) return kKeyColour;
  if (y >= kSkinH - kBorder) return kBottom;
  if (x < kBorder || x >= kSkinW - kBorder) return kEdge;
  return y < kBandH ? kBand : kCentre;
}

HBITMAP MakeSkin() { return frametest::MakeDib(kSkinW, kSkinH, SkinColour); }

HBITMAP Launcher(WORD id) { return LoadSkinImage(id, frametest::LauncherModule()); }

RECT ChildRect(HWND child, HWND parent) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

RECT WorkArea() {
  RECT r{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

std::string Text(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

// A small solid icon for the caption.
HICON MakeIcon(COLORREF colour) {
  fw::ScopedBitmap image(frametest::MakeDib(16, 16, [colour](int, int) { return colour; }));
  fw::ScopedBitmap mask(CreateBitmap(16, 16, 1, 1, nullptr));
  {
    fw::ScopedMemDC dc(CreateCompatibleDC(nullptr));
    fw::ScopedSelect sel(dc.get(), mask.get());
    PatBlt(dc.get(), 0, 0, 16, 16, BLACKNESS);  // all opaque
  }
  ICONINFO ii{TRUE, 0, 0, mask.get(), image.get()};
  return CreateIconIndirect(&ii);
}

// The test's dialog: a CDlgEx whose OnInitDialog runs `setup` after the
// frame's own, and which records WM_SYSCOMMAND. The system's commands are
// swallowed unless `passSysCommands` (sizing and moving would run the
// system's modal loops, which wait for the mouse).
class FrameDialog : public CDlgEx {
 public:
  explicit FrameDialog(const DLGTEMPLATE* t) : CDlgEx(t) {}

  std::function<void(FrameDialog&)> setup;
  std::vector<std::pair<WPARAM, LPARAM>> sysCommands;
  bool passSysCommands = false;

 protected:
  bool OnInitDialog() override {
    CDlgEx::OnInitDialog();
    if (setup) setup(*this);
    return true;
  }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_SYSCOMMAND) {
      sysCommands.emplace_back(wp, lp);
      if (!passSysCommands) return 0;
    }
    return CDlgEx::WindowProc(msg, wp, lp);
  }
};

// The template of the message box: a plain pop-up with the dialog font.
constexpr DWORD kPopupStyle = WS_POPUP | WS_SYSMENU | DS_SETFONT;

struct FrameOptions {
  bool resizable = true;
  bool buttons = true;  // close, minimize, maximize; false: none
  int btnRight = 0, btnTop = 0, btnGap = 0;
  int caption = kBandH;
};

// A skinned dialog on the desktop at (100, 80), 400 x 300, shown without
// taking the activation, with the skin made here. The caption button images
// the caller keeps are members declared before the dialog, so they outlive it.
struct Frame {
  using Options = FrameOptions;

  fw::ScopedBitmap close, minimize;
  FrameTemplate tmpl{kPopupStyle, 200, 120, L"Frame WWW"};
  FrameDialog dlg{tmpl.Get()};

  explicit Frame(const Options& o = Options()) {
    if (o.buttons) {
      close.reset(Launcher(132));
      minimize.reset(Launcher(136));
    }
    dlg.setup = [this, o](FrameDialog& d) {
      d.m_nCaptionHeight = o.caption;
      d.m_nBorder = kBorder;
      d.m_nBtnRight = o.btnRight;
      d.m_nBtnTop = o.btnTop;
      d.m_nBtnGap = o.btnGap;
      d.m_bResizable = o.resizable;
      HBITMAP back = MakeSkin();
      if (o.buttons)
        d.SetSkin(close.get(), back, FALSE, TRUE, minimize.get(), Launcher(135), Launcher(137));
      else
        d.SetSkin(nullptr, back, FALSE, TRUE);
      d.SetTitle(L"Frame WWW");
    };
    if (!dlg.Create(nullptr)) return;
    SetWindowPos(dlg.Hwnd(), nullptr, 100, 80, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(dlg.Hwnd(), SW_SHOWNOACTIVATE);
  }
  HWND Hwnd() const { return dlg.Hwnd(); }
  RECT Rect() const {
    RECT r{};
    GetWindowRect(dlg.Hwnd(), &r);
    return r;
  }
  void Size(int w, int h) const {
    SetWindowPos(dlg.Hwnd(), nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  LRESULT HitTest(int x, int y) const {
    const RECT r = Rect();
    return SendMessageW(dlg.Hwnd(), WM_NCHITTEST, 0, MAKELPARAM(r.left + x, r.top + y));
  }
  void Command(int id) const {
    SendMessageW(dlg.Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dlg.Hwnd(), id)));
  }

  // The window's pixels as it paints them for WM_PRINT, top row first.
  std::vector<uint32_t> Print(int* w = nullptr) const {
    const RECT r = Rect();
    const int W = r.right - r.left, H = r.bottom - r.top;
    if (w) *w = W;
    fw::ScopedBitmap canvas(frametest::MakeDib(W, H, [](int, int) { return RGB(1, 2, 3); }));
    {
      fw::ScopedMemDC dc(CreateCompatibleDC(nullptr));
      fw::ScopedSelect sel(dc.get(), canvas.get());
      SendMessageW(dlg.Hwnd(), WM_PRINT, reinterpret_cast<WPARAM>(dc.get()), PRF_ERASEBKGND | PRF_CLIENT);
    }
    return frametest::ReadPixels(canvas.get());
  }
};

// The normal state of a strip, key colour shown as white, top row first.
std::vector<uint32_t> StripNormalState(HBITMAP strip) {
  int w = 0, h = 0;
  const std::vector<uint32_t> all = frametest::ReadPixels(strip, &w, &h);
  std::vector<uint32_t> out;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w / 4; ++x) {
      const uint32_t p = all[static_cast<size_t>(y * w + x)];
      out.push_back(p == 0x00FF00FFu ? 0x00FFFFFFu : p);
    }
  return out;
}

// The normal state in a button's image list, drawn transparently on white.
std::vector<uint32_t> ButtonNormalState(const CBtnEx& button) {
  int w = 0, h = 0;
  if (!ImageList_GetIconSize(button.m_imgList.Handle(), &w, &h)) return {};
  fw::ScopedBitmap canvas(frametest::MakeDib(w, h, [](int, int) { return RGB(255, 255, 255); }));
  {
    fw::ScopedMemDC dc(CreateCompatibleDC(nullptr));
    fw::ScopedSelect sel(dc.get(), canvas.get());
    button.m_imgList.Draw(0, dc.get(), 0, 0, ILD_TRANSPARENT);
  }
  return frametest::ReadPixels(canvas.get());
}

}  // namespace

TEST(DlgEx, InitDialogTakesTheSystemFrameAwayAndMeasuresTheWorkArea) {
  const FrameTemplate tmpl(WS_POPUP | WS_CAPTION | DS_MODALFRAME | WS_SYSMENU | DS_SETFONT, 200, 120, L"caption");
  FrameDialog d(tmpl.Get());
  // The frame settings before any dialog changes them.
  EXPECT_TRUE(d.m_bShowTitle);
  EXPECT_TRUE(d.m_bShowIcon);
  EXPECT_EQ(d.m_nCaptionHeight, -1);
  EXPECT_EQ(d.m_nBtnRight, 5);
  EXPECT_EQ(d.m_nBtnTop, 1);
  EXPECT_EQ(d.m_nBtnGap, 0);
  EXPECT_EQ(d.m_nBorder, 3);
  EXPECT_EQ(d.m_crTitle, RGB(255, 255, 255));
  EXPECT_EQ(d.m_nTitleWeight, 400);
  EXPECT_FALSE(d.m_bMaximized);
  EXPECT_FALSE(d.m_bResizable);
  EXPECT_FALSE(d.m_bStretchBack);

  ASSERT_TRUE(d.Create(nullptr));
  const LONG_PTR style = GetWindowLongPtrW(d.Hwnd(), GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrW(d.Hwnd(), GWL_EXSTYLE);
  EXPECT_EQ(style & WS_CAPTION, 0) << "no caption, no dialog frame, no border";
  EXPECT_EQ(style & DS_MODALFRAME, 0);
  EXPECT_NE(style & WS_MINIMIZEBOX, 0);
  EXPECT_EQ(exStyle & (WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE), 0);
  // The frame is gone at once: the client area is the whole window.
  const RECT window = d.GetWindowRect(), client = d.GetClientRect();
  EXPECT_EQ(client.right, window.right - window.left);
  EXPECT_EQ(client.bottom, window.bottom - window.top);

  const RECT work = WorkArea();
  EXPECT_EQ(d.m_nMaxWidth, work.right - work.left);
  EXPECT_EQ(d.m_nMaxHeight, work.bottom - work.top);
  const int w8 = (work.right - work.left) / 8, h8 = (work.bottom - work.top) / 8;
  const RECT restore{work.left + w8, work.top + h8, work.right - w8, work.bottom - h8};
  EXPECT_TRUE(SameRect(d.m_rcRestore, restore)) << Text(d.m_rcRestore);
}

TEST(DlgEx, RegionCutsTheSkinsCornersAtEverySize) {
  Frame f;
  ASSERT_TRUE(f.Hwnd());
  for (const POINT size : {POINT{300, 200}, POINT{520, 380}}) {
    SCOPED_TRACE(testing::Message() << "window " << size.x << " x " << size.y);
    f.Size(size.x, size.y);
    fw::ScopedRegion rgn(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(f.Hwnd(), rgn.get()), ERROR);
    const int W = size.x, H = size.y;
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 9; ++x) {
        const bool cut = InQuarterCircle(x, y);
        EXPECT_EQ(PtInRegion(rgn.get(), x, y), !cut) << "top-left " << x << "," << y;
        EXPECT_EQ(PtInRegion(rgn.get(), W - 1 - x, y), !cut) << "top-right " << x << "," << y;
      }
    EXPECT_TRUE(PtInRegion(rgn.get(), 10, 0)) << "the key pixel at (10, 0) is outside the corner square";
    EXPECT_FALSE(PtInRegion(rgn.get(), 0, H - 1)) << "bottom-left key pixel";
    EXPECT_TRUE(PtInRegion(rgn.get(), 1, H - 1));
    EXPECT_TRUE(PtInRegion(rgn.get(), W - 1, H - 1));
    EXPECT_TRUE(PtInRegion(rgn.get(), W / 2, H / 2));
    EXPECT_FALSE(PtInRegion(rgn.get(), W, H / 2)) << "the region is the window's size";
  }

  // The launcher's light frame rounds the top corners by three pixels each.
  f.dlg.SetSkin(nullptr, Launcher(131), FALSE, TRUE);
  f.Size(333, 222);
  fw::ScopedRegion rgn(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(f.Hwnd(), rgn.get()), ERROR);
  for (const POINT p : {POINT{0, 0}, POINT{1, 0}, POINT{0, 1}, POINT{332, 0}, POINT{331, 0}, POINT{332, 1}})
    EXPECT_FALSE(PtInRegion(rgn.get(), p.x, p.y)) << p.x << "," << p.y;
  for (const POINT p : {POINT{2, 0}, POINT{1, 1}, POINT{330, 0}, POINT{0, 221}, POINT{332, 221}})
    EXPECT_TRUE(PtInRegion(rgn.get(), p.x, p.y)) << p.x << "," << p.y;

  // Without a background the window has no shape of its own.
  f.dlg.SetSkin(nullptr, nullptr, FALSE, TRUE);
  EXPECT_EQ(GetWindowRgn(f.Hwnd(), rgn.get()), ERROR);
}

TEST(DlgEx, PaintsSkinIconAndCaptionText) {
  fw::ScopedIcon icon(MakeIcon(kIconColour));
  struct Case {
    const char* name;
    bool setIcon, showIcon, showTitle;
    int textX;  // where the caption text starts; 0: no text
  };
  const Case cases[] = {
      {"text 5 pixels past the border", false, true, true, kBorder + 5},
      {"icon, then the text 21 pixels past the border", true, true, true, kBorder + 21},
      {"icon not shown: text 5 past the border", true, false, true, kBorder + 5},
      {"no title", false, true, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Frame f;
    ASSERT_TRUE(f.Hwnd());
    if (c.setIcon) SendMessageW(f.Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon.get()));
    f.dlg.m_bShowIcon = c.showIcon;
    f.dlg.m_bShowTitle = c.showTitle;
    int W = 0;
    const std::vector<uint32_t> px = f.Print(&W);
    ASSERT_EQ(W, 400);
    auto at = [&](int x, int y) { return PixelAt(px, W, x, y); };

    // The nine parts: fixed corners and edges, stretched band and centre.
    EXPECT_EQ(at(200, 15), kBand) << "band, stretched";
    EXPECT_EQ(at(390, 29), kBand) << "band's last row, right of the text";
    EXPECT_EQ(at(2, 15), kEdge) << "band's left corner piece";
    EXPECT_EQ(at(397, 15), kEdge) << "band's right corner piece";
    EXPECT_EQ(at(2, 150), kEdge) << "left edge";
    EXPECT_EQ(at(397, 150), kEdge) << "right edge";
    EXPECT_EQ(at(200, 150), kCentre) << "centre";
    EXPECT_EQ(at(4, 30), kCentre) << "centre's top-left pixel";
    EXPECT_EQ(at(200, 297), kBottom) << "bottom edge";
    EXPECT_EQ(at(399, 299), kBottom) << "bottom-right corner";
    EXPECT_EQ(at(0, 0), kKeyColour) << "the corner's key colour is painted (the region hides it)";

    // Icon: 16 x 16 at (border, (30 - 15) / 2 = 7).
    const bool iconShown = c.setIcon && c.showIcon;
    EXPECT_EQ(at(kBorder + 8, 7 + 8) == kIconColour, iconShown) << "icon's middle";
    EXPECT_EQ(at(kBorder + 8, 6), kBand) << "above the icon";

    // Caption text: white glyph pixels in the band, from textX on and from
    // the caption text top on (band 30, the dialog font's height).
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(f.Hwnd(), WM_GETFONT, 0, 0)), sizeof(lf), &lf);
    const int textY = frame::CaptionTextY(kBandH, lf.lfHeight);
    int glyphs = 0, left = W, top = kBandH;
    for (int y = 0; y < kBandH; ++y)
      for (int x = kBorder; x < 200; ++x) {
        const bool iconArea = iconShown && x < kBorder + 16 && y >= 7 && y < 23;
        // The key pixels of the made skin's top row are stretched along the band.
        if (iconArea || at(x, y) == kBand || at(x, y) == kKeyColour) continue;
        ++glyphs;
        left = std::min(left, x);
        top = std::min(top, y);
      }
    if (c.textX == 0) {
      EXPECT_EQ(glyphs, 0) << "nothing drawn over the band";
      continue;
    }
    EXPECT_GT(glyphs, 20) << "caption text drawn";
    EXPECT_GE(left, c.textX);
    EXPECT_LE(left, c.textX + 3) << "the text starts where it should";
    EXPECT_GE(top, textY);
    EXPECT_LE(top, textY + 8);
  }
}

TEST(DlgEx, WithoutABackgroundTheDialogPaintsItsOwnGround) {
  Frame f(Frame::Options{false, false});
  ASSERT_TRUE(f.Hwnd());
  f.dlg.SetSkin(nullptr, nullptr, FALSE, TRUE);
  int W = 0;
  const std::vector<uint32_t> px = f.Print(&W);
  EXPECT_EQ(PixelAt(px, W, 200, 150), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(PixelAt(px, W, 200, 15), GetSysColor(COLOR_BTNFACE)) << "no caption text either";
}

TEST(DlgEx, HitTestsThroughRealMessages) {
  Frame resizable;
  Frame fixed(Frame::Options{false});
  Frame noBand(Frame::Options{false, true, 0, 0, 0, frame::kNoCaption});
  ASSERT_TRUE(resizable.Hwnd() && fixed.Hwnd() && noBand.Hwnd());
  struct Case {
    const char* name;
    const Frame& f;
    int x, y;
    LRESULT expected;
  };
  const Case cases[] = {
      {"resizable: top-left corner", resizable, 0, 0, HTTOPLEFT},
      {"resizable: top band", resizable, 100, 2, HTTOP},
      {"resizable: caption from y 3", resizable, 100, 3, HTCAPTION},
      {"resizable: caption's last row", resizable, 100, 29, HTCAPTION},
      {"resizable: client", resizable, 100, 30, HTCLIENT},
      {"resizable: left", resizable, 3, 150, HTLEFT},
      {"resizable: right", resizable, 396, 150, HTRIGHT},
      {"resizable: top-right", resizable, 399, 3, HTTOPRIGHT},
      {"resizable: bottom", resizable, 200, 296, HTBOTTOM},
      {"resizable: bottom-left", resizable, 0, 299, HTBOTTOMLEFT},
      {"resizable: bottom-right", resizable, 396, 296, HTBOTTOMRIGHT},
      {"fixed: band drags from its top row", fixed, 0, 0, HTCAPTION},
      {"fixed: band", fixed, 100, 29, HTCAPTION},
      {"fixed: client", fixed, 100, 30, HTCLIENT},
      {"fixed: no resize border", fixed, 399, 299, HTCLIENT},
      {"no band: drags from anywhere", noBand, 200, 250, HTCAPTION},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.f.HitTest(c.x, c.y), c.expected);
  }

  // Maximized: no dragging and no sizing through the frame.
  resizable.Command(CDlgEx::kIdMaximize);
  ASSERT_TRUE(resizable.dlg.m_bMaximized);
  for (const POINT p : {POINT{0, 0}, POINT{100, 10}, POINT{200, 296}})
    EXPECT_EQ(resizable.HitTest(p.x, p.y), HTCLIENT) << "maximized, " << p.x << "," << p.y;
}

TEST(DlgEx, CaptionButtonsSitInTheBandAndFollowTheRightEdge) {
  struct Case {
    const char* name;
    int btnRight, btnTop, btnGap;
  };
  const Case cases[] = {
      {"host window: no margin, no gap", 0, 0, 0},
      {"margin 5, top 1, gap 2", 5, 1, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Frame f(Frame::Options{true, true, c.btnRight, c.btnTop, c.btnGap});
    ASSERT_TRUE(f.Hwnd());
    struct Button {
      int id;
      const CBtnEx& object;
      int w, h;
      const wchar_t* tip;
    };
    const Button buttons[] = {
        {CDlgEx::kIdClose, f.dlg.m_btnClose, 33, 28, L"关闭"},
        {CDlgEx::kIdMaximize, f.dlg.m_btnMax, 27, 27, L"最大化"},
        {CDlgEx::kIdMinimize, f.dlg.m_btnMin, 27, 27, L"最小化"},
    };
    for (const int width : {400, 523}) {
      SCOPED_TRACE(testing::Message() << "window width " << width);
      f.Size(width, 300);
      int right = width - c.btnRight;
      for (const Button& b : buttons) {
        HWND item = GetDlgItem(f.Hwnd(), b.id);
        ASSERT_NE(item, nullptr) << b.id;
        EXPECT_EQ(item, b.object.Hwnd());
        EXPECT_NE(GetWindowLongPtrW(item, GWL_STYLE) & WS_VISIBLE, 0);
        const RECT expected{right - b.w, c.btnTop, right, c.btnTop + b.h};
        EXPECT_TRUE(SameRect(ChildRect(item, f.Hwnd()), expected))
            << b.id << " at " << Text(ChildRect(item, f.Hwnd())) << ", expected " << Text(expected);
        EXPECT_EQ(b.object.m_strToolTip, b.tip);
        EXPECT_TRUE(b.object.m_bToolTip);
        right -= b.w + c.btnGap;
      }
    }
  }

  // RedrawCaptionButtons repaints each button.
  {
    Frame f;
    ASSERT_TRUE(f.Hwnd());
    UpdateWindow(f.Hwnd());
    for (const CBtnEx* b : {&f.dlg.m_btnClose, &f.dlg.m_btnMax, &f.dlg.m_btnMin}) ValidateRect(b->Hwnd(), nullptr);
    f.dlg.RedrawCaptionButtons();
    for (const CBtnEx* b : {&f.dlg.m_btnClose, &f.dlg.m_btnMax, &f.dlg.m_btnMin}) {
      RECT r{};
      EXPECT_TRUE(GetUpdateRect(b->Hwnd(), &r, FALSE)) << GetDlgCtrlID(b->Hwnd());
    }
  }

  // A message box: a close button only, at the initial margin and top.
  FrameTemplate tmpl(kPopupStyle, 200, 120, L"box");
  fw::ScopedBitmap close(Launcher(132));
  FrameDialog only(tmpl.Get());
  only.setup = [&](FrameDialog& d) { d.SetSkin(close.get(), MakeSkin(), FALSE, TRUE); };
  ASSERT_TRUE(only.Create(nullptr));
  const RECT client = only.GetClientRect();
  ASSERT_NE(only.Item(CDlgEx::kIdClose), nullptr);
  EXPECT_TRUE(SameRect(ChildRect(only.Item(CDlgEx::kIdClose), only.Hwnd()),
                       RECT{client.right - 5 - 33, 1, client.right - 5, 29}))
      << "the initial margin 5 and top 1";
  EXPECT_EQ(only.Item(CDlgEx::kIdMaximize), nullptr);
  EXPECT_EQ(only.Item(CDlgEx::kIdMinimize), nullptr);
}

TEST(DlgEx, CaptionButtonCommands) {
  // Minimize and close post the system's commands; the close button is
  // clicked for real and the close goes on to end the dialog.
  Frame f;
  ASSERT_TRUE(f.Hwnd());
  f.Command(CDlgEx::kIdMinimize);
  EXPECT_TRUE(f.dlg.sysCommands.empty()) << "posted, not sent";
  ASSERT_TRUE(test::PumpUntil([&] { return !f.dlg.sysCommands.empty(); }, 5000));
  EXPECT_EQ(f.dlg.sysCommands.back(), (std::pair<WPARAM, LPARAM>(SC_MINIMIZE, 0)));

  // The buttons reach the operations through the virtual table.
  struct OwnMinimize : FrameDialog {
    using FrameDialog::FrameDialog;
    int minimizes = 0;
    void OnCaptionMinimize() override { ++minimizes; }
  };
  const FrameTemplate tmpl(kPopupStyle, 200, 120, L"own");
  OwnMinimize own(tmpl.Get());
  own.setup = [&](FrameDialog& d) { d.SetSkin(f.close.get(), MakeSkin(), FALSE, TRUE, f.minimize.get()); };
  ASSERT_TRUE(own.Create(nullptr));
  SendMessageW(own.Hwnd(), WM_COMMAND, MAKEWPARAM(CDlgEx::kIdMinimize, BN_CLICKED),
               reinterpret_cast<LPARAM>(own.m_btnMin.Hwnd()));
  EXPECT_EQ(own.minimizes, 1);

  f.dlg.sysCommands.clear();
  f.dlg.passSysCommands = true;
  SendMessageW(f.dlg.m_btnClose.Hwnd(), BM_CLICK, 0, 0);
  ASSERT_TRUE(test::PumpUntil([&] { return !IsWindow(f.Hwnd()); }, 5000)) << "the dialog closed";
  ASSERT_FALSE(f.dlg.sysCommands.empty());
  EXPECT_EQ(f.dlg.sysCommands.front(), (std::pair<WPARAM, LPARAM>(SC_CLOSE, 0)));
}

TEST(DlgEx, MaximizeFillsTheWorkAreaAndRestoresToTheRestoreRectangle) {
  Frame f;
  ASSERT_TRUE(f.Hwnd());
  HBITMAP maxImage = f.dlg.m_bmpMax.get();
  HBITMAP restoreImage = f.dlg.m_bmpRestore.get();
  ASSERT_TRUE(maxImage && restoreImage);
  const std::vector<uint32_t> maxLook = StripNormalState(maxImage);
  const std::vector<uint32_t> restoreLook = StripNormalState(restoreImage);
  ASSERT_NE(maxLook, restoreLook) << "the two images differ";
  EXPECT_EQ(ButtonNormalState(f.dlg.m_btnMax), maxLook);

  const RECT work = WorkArea();
  const RECT initialRestore = f.dlg.m_rcRestore;

  // Maximize with the button: the work area; the button shows "restore".
  f.dlg.m_btnMax.m_bHover = TRUE;
  f.Command(CDlgEx::kIdMaximize);
  EXPECT_TRUE(f.dlg.m_bMaximized);
  EXPECT_TRUE(SameRect(f.Rect(), work)) << Text(f.Rect());
  EXPECT_EQ(f.dlg.m_btnMax.m_strToolTip, L"还原");
  EXPECT_EQ(ButtonNormalState(f.dlg.m_btnMax), restoreLook);
  EXPECT_FALSE(f.dlg.m_btnMax.m_bHover) << "the button moved away from under the mouse";
  const int W = work.right - work.left;
  EXPECT_TRUE(SameRect(ChildRect(f.dlg.m_btnClose.Hwnd(), f.Hwnd()), RECT{W - 33, 0, W, 28}))
      << "the buttons follow the new right edge";

  // Restore with the button: the initial restore rectangle, never the
  // rectangle the window had before it was maximized.
  f.Command(CDlgEx::kIdMaximize);
  EXPECT_FALSE(f.dlg.m_bMaximized);
  EXPECT_TRUE(SameRect(f.Rect(), initialRestore)) << Text(f.Rect());
  EXPECT_EQ(f.dlg.m_btnMax.m_strToolTip, L"最大化");
  EXPECT_EQ(ButtonNormalState(f.dlg.m_btnMax), maxLook);

  // A maximum size smaller than the work area: centred at that size.
  f.dlg.m_nMaxWidth = W - 201;
  f.dlg.m_nMaxHeight = (work.bottom - work.top) - 101;
  f.Command(CDlgEx::kIdMaximize);
  const RECT centred{work.left + 100, work.top + 50, work.left + 100 + W - 201,
                     work.top + 50 + (work.bottom - work.top) - 101};
  EXPECT_TRUE(SameRect(f.Rect(), centred)) << Text(f.Rect()) << " expected " << Text(centred);
  f.Command(CDlgEx::kIdMaximize);

  struct Click {
    const char* name;
    bool resizable, startMaximized;
    UINT msg;
    WPARAM wp;
    int y;  // client y of the click
    bool toggles;
  };
  const Click clicks[] = {
      {"double click on the band of a resizable window maximizes", true, false, WM_NCLBUTTONDBLCLK, HTCAPTION, 10,
       true},
      {"... not for a fixed-size window", false, false, WM_NCLBUTTONDBLCLK, HTCAPTION, 10, false},
      {"a double click elsewhere does nothing", true, false, WM_NCLBUTTONDBLCLK, HTLEFT, 10, false},
      {"double click on the band of a maximized window restores", true, true, WM_LBUTTONDBLCLK, MK_LBUTTON, 10,
       true},
      {"... even of a fixed-size one", false, true, WM_LBUTTONDBLCLK, MK_LBUTTON, 29, true},
      {"... but not below the band", false, true, WM_LBUTTONDBLCLK, MK_LBUTTON, 30, false},
      {"a client double click on a restored window does nothing", true, false, WM_LBUTTONDBLCLK, MK_LBUTTON, 10,
       false},
  };
  for (const Click& c : clicks) {
    SCOPED_TRACE(c.name);
    if (f.dlg.m_bMaximized != c.startMaximized) f.Command(CDlgEx::kIdMaximize);
    ASSERT_EQ(f.dlg.m_bMaximized != FALSE, c.startMaximized);
    f.dlg.m_bResizable = c.resizable;
    const RECT r = f.Rect();
    const LPARAM lp = c.msg == WM_LBUTTONDBLCLK ? MAKELPARAM(50, c.y) : MAKELPARAM(r.left + 50, r.top + c.y);
    SendMessageW(f.Hwnd(), c.msg, c.wp, lp);
    EXPECT_EQ(f.dlg.m_bMaximized != FALSE, c.startMaximized != c.toggles);
  }
}

TEST(DlgEx, NonClientPressesStartSizingAndRecordTheRestoreRectangle) {
  Frame f;
  ASSERT_TRUE(f.Hwnd());
  // Wherever the window is when a size or move ends is where it restores to.
  SetWindowPos(f.Hwnd(), nullptr, 140, 90, 410, 310, SWP_NOZORDER | SWP_NOACTIVATE);
  const RECT placed = f.Rect();
  const LPARAM at = MAKELPARAM(150, 95);
  const std::pair<WPARAM, WPARAM> sizing[] = {
      {HTLEFT, 0xF001},    {HTRIGHT, 0xF002},      {HTTOP, 0xF003},         {HTTOPLEFT, 0xF004},
      {HTTOPRIGHT, 0xF005}, {HTBOTTOM, 0xF006}, {HTBOTTOMLEFT, 0xF007}, {HTBOTTOMRIGHT, 0xF008},
  };
  for (const auto& s : sizing) {
    SCOPED_TRACE(testing::Message() << "hit code " << s.first);
    f.dlg.m_rcRestore = RECT{};
    f.dlg.sysCommands.clear();
    SendMessageW(f.Hwnd(), WM_NCLBUTTONDOWN, s.first, at);
    ASSERT_EQ(f.dlg.sysCommands.size(), 1u);
    EXPECT_EQ(f.dlg.sysCommands[0], (std::pair<WPARAM, LPARAM>(s.second, at)));
    EXPECT_TRUE(SameRect(f.dlg.m_rcRestore, placed)) << Text(f.dlg.m_rcRestore);
  }

  // The band moves the window the system's way (which asks for the
  // activation first, so the move may not start) and records the rectangle too.
  f.dlg.m_rcRestore = RECT{};
  f.dlg.sysCommands.clear();
  SendMessageW(f.Hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, at);
  ASSERT_LE(f.dlg.sysCommands.size(), 1u);
  for (const auto& c : f.dlg.sysCommands) EXPECT_EQ(c, (std::pair<WPARAM, LPARAM>(SC_MOVE | HTCAPTION, at)));
  EXPECT_TRUE(SameRect(f.dlg.m_rcRestore, placed));

  // A maximized window's rectangle is not where it restores to.
  f.Command(CDlgEx::kIdMaximize);
  ASSERT_TRUE(f.dlg.m_bMaximized);
  const RECT before = f.dlg.m_rcRestore;
  SendMessageW(f.Hwnd(), WM_NCLBUTTONDOWN, HTLEFT, at);
  EXPECT_TRUE(SameRect(f.dlg.m_rcRestore, before));
  f.Command(CDlgEx::kIdMaximize);
  EXPECT_TRUE(SameRect(f.Rect(), placed)) << "restored to where the user put it";
}

TEST(DlgEx, SetTitleRepaintsOnlyTheCaptionTextStrip) {
  fw::ScopedIcon icon(MakeIcon(kIconColour));
  struct Case {
    const char* name;
    bool setIcon, showIcon;
    int left;
  };
  const Case cases[] = {
      {"no icon", false, true, kBorder + 5},
      {"icon", true, true, kBorder + 21},
      {"icon not shown: the strip starts where the text does", true, false, kBorder + 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Frame f;
    ASSERT_TRUE(f.Hwnd());
    if (c.setIcon) SendMessageW(f.Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon.get()));
    f.dlg.m_bShowIcon = c.showIcon;
    // Out of the way of other programs' windows, whose coming and going
    // would add to the update region.
    SetWindowPos(f.Hwnd(), HWND_TOPMOST, 860, 700, 400, 300, SWP_NOACTIVATE);
    UpdateWindow(f.Hwnd());
    ValidateRect(f.Hwnd(), nullptr);

    f.dlg.SetTitle(L"新的标题");
    wchar_t title[32] = {};
    GetWindowTextW(f.Hwnd(), title, 32);
    EXPECT_STREQ(title, L"新的标题");
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(f.Hwnd(), WM_GETFONT, 0, 0)), sizeof(lf), &lf);
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(f.Hwnd(), &update, FALSE));
    EXPECT_EQ(update.left, c.left);
    EXPECT_EQ(update.top, frame::CaptionTextY(kBandH, lf.lfHeight));
    EXPECT_EQ(update.right, 400);
    EXPECT_GT(update.bottom, update.top + 6) << "a line of text";
    EXPECT_LE(update.bottom, kBandH + 4) << "the strip, not the window";
  }
}

TEST(DlgEx, SkinOwnershipAndReplacement) {
  fw::ScopedBitmap close(Launcher(132)), minimize(Launcher(136));
  HBITMAP back1 = MakeSkin(), max1 = Launcher(135), restore1 = Launcher(137);
  HBITMAP back2 = MakeSkin(), max2 = Launcher(135), restore2 = Launcher(137);
  ASSERT_TRUE(close && minimize && back1 && max1 && restore1 && back2 && max2 && restore2);
  auto alive = [](HBITMAP b) { return GetObjectType(b) == OBJ_BITMAP; };
  {
    FrameTemplate tmpl(kPopupStyle, 200, 120, L"owner");
    FrameDialog d(tmpl.Get());
    d.setup = [&](FrameDialog& dlg) {
      dlg.m_nCaptionHeight = kBandH;
      dlg.m_nBorder = kBorder;
      dlg.SetSkin(close.get(), back1, FALSE, TRUE, minimize.get(), max1, restore1);
    };
    ASSERT_TRUE(d.Create(nullptr));
    HWND firstClose = d.m_btnClose.Hwnd();
    HWND firstTip = d.m_btnClose.m_toolTip.Hwnd();
    ASSERT_NE(firstTip, nullptr);

    // The same background handed in again stays; new images replace the old ones.
    d.SetSkin(close.get(), back1, FALSE, TRUE);
    EXPECT_TRUE(alive(back1)) << "a skin handed in again is not deleted";
    EXPECT_EQ(d.m_bmpBack.get(), back1);
    EXPECT_TRUE(alive(max1) && alive(restore1)) << "no maximize image given: the old ones stay";
    d.SetSkin(close.get(), back2, FALSE, TRUE, nullptr, max2, restore2);
    EXPECT_FALSE(alive(back1)) << "replaced background deleted";
    EXPECT_FALSE(alive(max1));
    EXPECT_FALSE(alive(restore1));
    EXPECT_TRUE(alive(close.get()) && alive(minimize.get())) << "close and minimize stay the caller's";

    // Recreated buttons: one window per id, the old one gone.
    EXPECT_FALSE(IsWindow(firstClose));
    int closes = 0;
    for (HWND c = GetWindow(d.Hwnd(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      closes += GetDlgCtrlID(c) == CDlgEx::kIdClose;
    EXPECT_EQ(closes, 1);
    // Its tooltip went with it, and the new button is the new tooltip's tool.
    EXPECT_FALSE(IsWindow(firstTip));
    TTTOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = d.m_btnClose.Hwnd();
    ti.uId = reinterpret_cast<UINT_PTR>(d.m_btnClose.Hwnd());
    ti.uFlags = TTF_IDISHWND;
    EXPECT_TRUE(SendMessageW(d.m_btnClose.m_toolTip.Hwnd(), TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti)));
    EXPECT_NE(d.Item(CDlgEx::kIdMinimize), nullptr) << "a button not given an image is kept";

    // Fit: the window takes the image's size and the buttons its right edge.
    d.SetSkin(close.get(), frametest::MakeDib(180, 90, SkinColour), TRUE, FALSE);
    const RECT r = d.GetWindowRect();
    EXPECT_EQ(r.right - r.left, 180);
    EXPECT_EQ(r.bottom - r.top, 90);
    EXPECT_EQ(ChildRect(d.m_btnClose.Hwnd(), d.Hwnd()).right, 180 - d.m_nBtnRight);

    // Missing images (a resource that would not load): no crash, no resize.
    d.SetSkin(nullptr, nullptr, TRUE, TRUE, nullptr, nullptr, nullptr);
    const RECT same = d.GetWindowRect();
    EXPECT_EQ(same.right - same.left, 180) << "never sized to a missing image";
    SendMessageW(d.Hwnd(), WM_COMMAND, CDlgEx::kIdMaximize, 0);
    SendMessageW(d.Hwnd(), WM_COMMAND, CDlgEx::kIdMaximize, 0);
    EXPECT_TRUE(alive(max2) && alive(restore2));
  }
  EXPECT_FALSE(alive(back2)) << "the dialog object deletes its background";
  EXPECT_FALSE(alive(max2));
  EXPECT_FALSE(alive(restore2));
  EXPECT_TRUE(alive(close.get()) && alive(minimize.get()));
}

TEST(DlgEx, PaintsAndResizesWithoutLeaking) {
  Frame f;
  ASSERT_TRUE(f.Hwnd());
  auto cycle = [&](int i) {
    f.Size(380 + (i % 7) * 13, 260 + (i % 5) * 11);
    RedrawWindow(f.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    f.Print();
    if (i % 50 == 0) {
      f.Command(CDlgEx::kIdMaximize);
      f.Command(CDlgEx::kIdMaximize);
      f.dlg.SetTitle(i % 100 ? L"标题" : L"Frame WWW");
    }
    if (i % 100 == 0)
      f.dlg.SetSkin(f.close.get(), MakeSkin(), FALSE, TRUE, f.minimize.get(), Launcher(135), Launcher(137));
  };
  for (int i = 0; i < 5; ++i) cycle(i);  // warm-up: fonts, tooltips, caches
  const test::GuiCounts before = test::CountGuiObjects();
  for (int i = 0; i < 300; ++i) cycle(i);
  test::PumpFor(20);
  const test::GuiCounts after = test::CountGuiObjects();
  EXPECT_EQ(after.gdi, before.gdi);
  EXPECT_EQ(after.user, before.user);
}
