// The caption band and tab strip of a real host window with real tab
// processes: what a point on the strip hits, which areas a hover change
// repaints, what the tooltip says, what the mouse does on the strip (press,
// release, middle click, double click), the painted tabs, the caption
// controls' layout, the content area and the least size.
//
// Hit tests are sent (WM_NCHITTEST, answered at once) and the host's state
// and update region are read right after, before anything else is
// dispatched; clicks are posted as the system posts them. Captions whose
// pixels are read are Latin.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "HostHarness.h"
#include "Support.h"
#include "framework/Scoped.h"
#include "host/TabRules.h"

using hosttest::HostRun;
using hosttest::kBoxButton2;

namespace {

const std::wstring kAlice = L"1-one-alice";
const std::wstring kBob = L"1-one-bob";
const std::wstring kCarol = L"2-two-carol";

RECT ToRect(const tabs::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// Somewhere that is no part of the strip.
constexpr int kOffX = 600, kOffY = 200;

// The host's update region now, as a list of rectangles (empty: nothing to paint).
std::vector<RECT> UpdateRects(HWND hwnd) {
  fw::ScopedRegion rgn(CreateRectRgn(0, 0, 0, 0));
  if (GetUpdateRgn(hwnd, rgn.get(), FALSE) == NULLREGION) return {};
  const DWORD size = GetRegionData(rgn.get(), 0, nullptr);
  std::vector<char> data(size);
  auto* rd = reinterpret_cast<RGNDATA*>(data.data());
  GetRegionData(rgn.get(), size, rd);
  const RECT* r = reinterpret_cast<const RECT*>(rd->Buffer);
  return std::vector<RECT>(r, r + rd->rdh.nCount);
}

// Whether the update region is exactly the union of `rects`.
bool UpdateRegionIs(HWND hwnd, const std::vector<RECT>& rects) {
  fw::ScopedRegion want(CreateRectRgn(0, 0, 0, 0));
  for (const RECT& r : rects) {
    fw::ScopedRegion one(CreateRectRgnIndirect(&r));
    CombineRgn(want.get(), want.get(), one.get(), RGN_OR);
  }
  fw::ScopedRegion have(CreateRectRgn(0, 0, 0, 0));
  GetUpdateRgn(hwnd, have.get(), FALSE);
  return EqualRgn(want.get(), have.get()) != FALSE;
}

std::string Describe(const std::vector<RECT>& rects) {
  std::string s;
  for (const RECT& r : rects) s += hosttest::Describe(r) + " ";
  return s.empty() ? "(nothing)" : s;
}

// The tooltip's text for the host's one tool.
std::wstring TipText(const CTavrix3Dlg& host) {
  wchar_t text[128] = {};
  TTTOOLINFOW ti{};
  ti.cbSize = TTTOOLINFOW_V2_SIZE;
  ti.hwnd = host.Hwnd();
  ti.uFlags = TTF_IDISHWND;
  ti.uId = reinterpret_cast<UINT_PTR>(host.Hwnd());
  ti.lpszText = text;
  SendMessageW(host.m_tipTabs.Hwnd(), TTM_GETTEXTW, ARRAYSIZE(text), reinterpret_cast<LPARAM>(&ti));
  return text;
}

// The host's client area as it is on screen after painting `area`.
struct Shot {
  int w = 0, h = 0;
  std::vector<COLORREF> px;
  COLORREF at(int x, int y) const { return px.at(static_cast<size_t>(y * w + x)); }
};

Shot Snapshot(HWND hwnd, const RECT& area) {
  RedrawWindow(hwnd, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  Shot s;
  s.w = area.right;
  s.h = area.bottom;
  fw::ScopedWindowDC dc(hwnd);
  fw::ScopedMemDC mem(CreateCompatibleDC(dc.get()));
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = s.w;
  bi.bmiHeader.biHeight = -s.h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  fw::ScopedBitmap dib(CreateDIBSection(dc.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  {
    fw::ScopedSelect sel(mem.get(), dib.get());
    BitBlt(mem.get(), 0, 0, s.w, s.h, dc.get(), 0, 0, SRCCOPY);
  }
  GdiFlush();
  const auto* p = static_cast<const uint32_t*>(bits);
  for (int i = 0; i < s.w * s.h; ++i)
    s.px.push_back(RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF));
  return s;
}

bool Dark(COLORREF c) { return GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100; }

// ---------------------------------------------------------------------------

// Where a point lands on a strip of two tabs. The answer is always the
// frame's own (HTCLIENT while the host is maximized, as it is once a tab
// arrived); on the way the hover state follows the point.
TEST(HostStrip, HitTestTable) {
  HostRun run;
  CTavrix3Dlg& host = run.host();
  ASSERT_TRUE(run.OpenTabs({kAlice, kBob}));
  ASSERT_TRUE(host.m_bMaximized);
  struct Case {
    int x, y;
    int hot, close;  // expected m_nHotTab and m_nCloseState
  } cases[] = {
      {120, 10, -1, -1},  // the strip starts right of x = 120
      {121, 10, 0, 0},    {295, 10, 0, 0},
      {296, 10, 0, 1},    // tab 0's close button: x 296 to 308, y 3 to 15
      {308, 15, 0, 1},    {296, 16, 0, 0},  {308, 3, 0, 1},
      {309, 10, 1, 0},    // x = 309 is tab 1 when there are two
      {484, 10, 1, 0},    {485, 3, 1, 1},   {497, 15, 1, 1},
      {498, 10, -1, -1},  // past the last tab
      {200, 2, -1, -1},   {200, 3, 0, 0},   {200, 24, 0, 0}, {200, 25, -1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "x=" << c.x << " y=" << c.y);
    run.HitTest(kOffX, kOffY);  // from no hover
    EXPECT_EQ(run.HitTest(c.x, c.y), HTCLIENT);
    EXPECT_EQ(host.m_nHotTab, c.hot);
    EXPECT_EQ(host.m_nCloseState, c.close);
  }
  // Restored, the strip lies in the caption band that drags the window.
  PostMessageW(run.hwnd(), WM_COMMAND, CDlgEx::kIdMaximize, 0);
  ASSERT_TRUE(run.PumpUntil([&] { return !host.m_bMaximized; }));
  EXPECT_EQ(run.HitTest(200, 10), HTCAPTION);
  EXPECT_EQ(host.m_nHotTab, 0);
}

// Moving along the strip repaints only the tabs and close buttons whose look
// changed, and the tooltip follows: it shows the caption of the tab under
// the mouse, goes away when the mouse reaches another tab, and comes back
// with that tab's caption at the next move; never over a close button.
TEST(HostStrip, HoverRepaintsOnlyWhatChanged) {
  HostRun run;
  CTavrix3Dlg& host = run.host();
  ASSERT_TRUE(run.OpenTabs({kAlice, kBob}));
  const RECT tab0 = ToRect(tabs::TabRect(0)), tab1 = ToRect(tabs::TabRect(1));
  const RECT close0 = ToRect(tabs::TabCloseRect(0));
  struct Step {
    const char* what;
    int x, y;
    int hot, close;
    std::vector<RECT> repainted;
    bool tip;
    std::wstring tipText;  // when shown
  } steps[] = {
      {"onto tab 0", 121, 20, 0, 0, {tab0}, true, kAlice},
      {"along tab 0", 200, 20, 0, 0, {}, true, kAlice},
      {"onto its close button", 300, 10, 0, 1, {close0}, false, L""},
      {"back onto tab 0", 250, 20, 0, 0, {close0}, true, kAlice},
      {"onto tab 1", 309, 20, 1, 0, {tab0, tab1}, false, L""},
      {"along tab 1", 400, 20, 1, 0, {}, true, kBob},
      {"off the strip", kOffX, kOffY, -1, -1, {tab1}, false, L""},
      {"off again", kOffX, kOffY + 10, -1, -1, {}, false, L""},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    ValidateRect(run.hwnd(), nullptr);
    run.HitTest(s.x, s.y);
    EXPECT_EQ(host.m_nHotTab, s.hot);
    EXPECT_EQ(host.m_nCloseState, s.close);
    EXPECT_TRUE(UpdateRegionIs(run.hwnd(), s.repainted))
        << "repainted " << Describe(UpdateRects(run.hwnd())) << ", want " << Describe(s.repainted);
    EXPECT_EQ(host.m_bTipActive != FALSE, s.tip);
    if (s.tip) {
      EXPECT_EQ(TipText(host), s.tipText);
    }
  }
  // The mouse leaving the window (or its non-client part) takes the hover
  // away; only the client form ends the leave tracking.
  struct Leave {
    UINT msg;
    BOOL trackingAfter;
  } leaves[] = {{WM_NCMOUSELEAVE, TRUE}, {WM_MOUSELEAVE, FALSE}};
  for (const Leave& l : leaves) {
    SCOPED_TRACE(l.msg == WM_MOUSELEAVE ? "WM_MOUSELEAVE" : "WM_NCMOUSELEAVE");
    run.HitTest(300, 10);
    ASSERT_EQ(host.m_nHotTab, 0);
    host.m_bTracking = TRUE;
    ValidateRect(run.hwnd(), nullptr);
    SendMessageW(run.hwnd(), l.msg, 0, 0);
    EXPECT_EQ(host.m_nHotTab, -1);
    EXPECT_EQ(host.m_nCloseState, -1);
    EXPECT_TRUE(UpdateRegionIs(run.hwnd(), {tab0})) << Describe(UpdateRects(run.hwnd()));
    EXPECT_EQ(host.m_bTracking, l.trackingAfter);
  }
}

// The tabs as they are painted: the current tab yellow, the hot one cyan,
// the others light blue; the close button only on the hot tab, red while
// hovered; a long caption cut where the close button begins.
TEST(HostStrip, PaintedTabs) {
  HostRun run;
  CTavrix3Dlg& host = run.host();
  const std::wstring longName = L"9-nine-" + std::wstring(60, L'W');
  ASSERT_TRUE(run.OpenTabs({longName, kBob, kCarol}));
  // Tab 1 current, the mouse on tab 2's close button.
  run.PostMouse(WM_LBUTTONDOWN, tabs::TabRect(1).left + 100, 20);
  run.PostMouse(WM_LBUTTONUP, tabs::TabRect(1).left + 100, 20);
  ASSERT_TRUE(run.PumpUntil([&] { return host.m_nCurTab == 1; }));
  run.HitTest(tabs::TabCloseRect(2).left + 6, 9);
  ASSERT_EQ(host.m_nHotTab, 2);
  ASSERT_EQ(host.m_nCloseState, 1);

  const RECT strip = ToRect(tabs::NewTabInvalidRect(3));
  const Shot shot = Snapshot(run.hwnd(), RECT{0, 0, strip.right + 10, 30});
  const COLORREF kNormal = RGB(204, 226, 248), kHot = RGB(170, 234, 246),
                 kCurrent = RGB(255, 224, 138), kCloseHover = RGB(220, 62, 56);
  struct Probe {
    const char* what;
    int x, y;
    COLORREF colour;
  } probes[] = {
      {"tab 0 normal", tabs::TabRect(0).left + 183, 20, kNormal},
      {"tab 0 shows no close button", tabs::TabCloseRect(0).left + 6, 5, kNormal},
      {"tab 1 current", tabs::TabRect(1).left + 183, 20, kCurrent},
      {"tab 1 shows no close button", tabs::TabCloseRect(1).left + 6, 5, kCurrent},
      {"tab 2 hot", tabs::TabRect(2).left + 183, 20, kHot},
      {"tab 2's close button, hovered", tabs::TabCloseRect(2).left + 6, 5, kCloseHover},
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(p.what);
    EXPECT_EQ(shot.at(p.x, p.y), p.colour);
  }
  // Tab 0's caption: text in its rectangle, none from the close button's
  // left edge on (the button is not drawn there: tab 0 is not hot).
  const tabs::Rect text = tabs::TabCaptionRect(0);
  int inside = 0, beyond = 0;
  for (int y = text.top; y < text.bottom; ++y) {
    for (int x = text.left; x < text.right; ++x) inside += Dark(shot.at(x, y));
    for (int x = text.right; x < tabs::TabRect(0).right - 1; ++x) beyond += Dark(shot.at(x, y));
  }
  EXPECT_GT(inside, 100) << "the caption is drawn";
  EXPECT_EQ(beyond, 0) << "and cut at x0 + 176";
}

// The left button and the middle button on the strip, maximized (client
// messages) and restored (non-client messages, since the strip is caption).
TEST(HostStrip, MouseRules) {
  struct Case {
    const char* what;
    bool restored;
    std::vector<UINT> downUp;  // posted at (press, release) points
    POINT press, release;
    int current, hot, close;    // after the press
    bool asks;                  // a question followed the release
  } cases[] = {
      {"close button pressed, released on the tab body", false, {WM_LBUTTONDOWN, WM_LBUTTONUP},
       {300, 9}, {200, 20}, 0, 0, 2, false},
      {"close button pressed, released off the strip", false, {WM_LBUTTONDOWN, WM_LBUTTONUP},
       {300, 9}, {kOffX, kOffY}, 0, 0, 2, false},
      {"restored: close button pressed, released on the tab body", true,
       {WM_NCLBUTTONDOWN, WM_NCLBUTTONUP}, {300, 9}, {200, 20}, 0, 0, 2, false},
      {"tab body pressed, released on its close button", false, {WM_LBUTTONDOWN, WM_LBUTTONUP},
       {200, 20}, {300, 9}, 0, -1, -1, true},
      {"middle click on a tab body", false, {WM_MBUTTONDOWN, WM_MBUTTONUP}, {200, 20}, {200, 20},
       1, -1, -1, true},
      // (The system hit-tests before every non-client message: the tab is hot.)
      {"restored: middle click on a tab body", true, {WM_NCMBUTTONDOWN, WM_NCMBUTTONUP},
       {200, 20}, {200, 20}, 1, 0, 0, true},
      {"middle click off the strip", false, {WM_MBUTTONDOWN, WM_MBUTTONUP}, {60, 15}, {60, 15}, 1,
       -1, -1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HostRun run;
    CTavrix3Dlg& host = run.host();
    ASSERT_TRUE(run.OpenTabs({kAlice, kBob}));
    if (c.restored) {
      PostMessageW(run.hwnd(), WM_COMMAND, CDlgEx::kIdMaximize, 0);
      ASSERT_TRUE(run.PumpUntil([&] { return !host.m_bMaximized; }));
    }
    const RECT before = host.GetWindowRect();
    run.HitTest(kOffX, kOffY);
    run.PostMouse(c.downUp[0], c.press.x, c.press.y);
    run.Settle(100);
    EXPECT_EQ(host.m_nCurTab, c.current);
    EXPECT_EQ(host.m_nHotTab, c.hot);
    EXPECT_EQ(host.m_nCloseState, c.close);
    if (c.close == 2) {
      // The pressed image at once.
      const Shot shot = Snapshot(run.hwnd(), RECT{0, 0, 320, 30});
      EXPECT_EQ(shot.at(tabs::TabCloseRect(0).left + 6, 5), RGB(170, 36, 32)) << "pressed image";
    }
    if (c.asks) run.Answer(kBoxButton2);
    run.PostMouse(c.downUp[1], c.release.x, c.release.y);
    run.Settle(300);
    ASSERT_TRUE(run.PumpUntil([&] { return !run.AnswersLeft(); }));
    EXPECT_EQ(run.Boxes().size(), c.asks ? 1u : 0u);
    if (c.asks && !run.Boxes().empty()) {
      EXPECT_EQ(run.Boxes()[0].text, L"确定要退出账号：" + kAlice + L" ?");
    }
    EXPECT_EQ(host.TabCount(), 2) << "nothing closed";
    const RECT after = host.GetWindowRect();
    EXPECT_TRUE(EqualRect(&before, &after)) << "no drag on the strip";
  }
}

// A double click on a tab neither maximizes nor restores the host; on the
// caption band left of the strip or right of the last tab it does.
TEST(HostStrip, DoubleClickOnATabKeepsTheSize) {
  struct Case {
    const char* what;
    bool restored;
    int x, y;
    bool toggles;
  } cases[] = {
      {"maximized, on a tab", false, 200, 20, false},
      {"maximized, left of the strip", false, 60, 15, true},
      {"maximized, right of the last tab", false, 540, 15, true},
      {"restored, on a tab", true, 400, 20, false},
      {"restored, left of the strip", true, 60, 15, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HostRun run;
    CTavrix3Dlg& host = run.host();
    ASSERT_TRUE(run.OpenTabs({kAlice, kBob}));
    if (c.restored) {
      PostMessageW(run.hwnd(), WM_COMMAND, CDlgEx::kIdMaximize, 0);
      ASSERT_TRUE(run.PumpUntil([&] { return !host.m_bMaximized; }));
    }
    const BOOL maximized = host.m_bMaximized;
    const RECT before = host.GetWindowRect();
    run.PostMouse(c.restored ? WM_NCLBUTTONDBLCLK : WM_LBUTTONDBLCLK, c.x, c.y);
    run.Settle(200);
    const RECT after = host.GetWindowRect();
    EXPECT_EQ(host.m_bMaximized != maximized, c.toggles);
    EXPECT_EQ(EqualRect(&before, &after) == FALSE, c.toggles) << hosttest::Describe(after);
  }
}

// The host cannot become smaller than its strip and caption controls need:
// 189 per tab + 483 wide, 260 high; larger sizes are kept.
TEST(HostStrip, LeastSizeGrowsWithTheTabs) {
  HostRun run;
  CTavrix3Dlg& host = run.host();
  const std::vector<std::wstring> accounts = {kAlice, kBob, kCarol};
  for (int n = 1; n <= 3; ++n) {
    SCOPED_TRACE(n);
    if (n == 1) {
      ASSERT_TRUE(run.OpenTabs({accounts[0]}));
    } else {
      ASSERT_TRUE(run.AddTab(accounts[static_cast<size_t>(n) - 1]));
    }
    struct Size {
      int cx, cy, wantX, wantY;
    } sizes[] = {
        {300, 100, 189 * n + 483, 260},
        {1, 1, 189 * n + 483, 260},
        {1200, 700, 1200, 700},
    };
    for (const Size& s : sizes) {
      SetWindowPos(run.hwnd(), nullptr, 0, 0, s.cx, s.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      const RECT r = host.GetWindowRect();
      EXPECT_EQ(r.right - r.left, s.wantX) << "asked " << s.cx << " x " << s.cy;
      EXPECT_EQ(r.bottom - r.top, s.wantY) << "asked " << s.cx << " x " << s.cy;
    }
  }
  EXPECT_EQ(host.TabCount(), 3);
}

// The caption controls keep their places from the right edge; the shown tab
// fills the content area. A size change that keeps the width leaves the
// controls where they are.
TEST(HostStrip, CaptionControlsAndContentFollowTheSize) {
  HostRun run;
  CTavrix3Dlg& host = run.host();
  ASSERT_TRUE(run.OpenTabs({kAlice}));
  const HWND frame = host.m_arrTabWnd[0];
  for (int width : {900, 1100, 1280}) {
    SCOPED_TRACE(width);
    SetWindowPos(run.hwnd(), nullptr, 0, 0, width, 600, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT client = host.GetClientRect();
    const tabs::CaptionLayout want = tabs::LayoutCaptionControls(client.right);
    struct {
      HWND control;
      tabs::Rect rect;
    } controls[] = {{host.m_btnHide.Hwnd(), want.hide},
                    {host.m_btnSound.Hwnd(), want.sound},
                    {host.m_btnSystem.Hwnd(), want.system},
                    {host.m_lnkAddLogin.Hwnd(), want.addLogin}};
    for (const auto& c : controls) {
      const RECT have = hosttest::RectInParent(c.control), expected = ToRect(c.rect);
      EXPECT_TRUE(EqualRect(&have, &expected)) << hosttest::Describe(have);
    }
    const RECT placed = hosttest::RectInParent(frame);
    const RECT area = ToRect(tabs::ContentArea(client.right, client.bottom));
    EXPECT_TRUE(EqualRect(&placed, &area)) << hosttest::Describe(placed);
  }
  // The link paints the host's background under itself: the same pixels as
  // the host's whole client area painted at once.
  {
    const RECT client = host.GetClientRect();
    fw::ScopedWindowDC screen(run.hwnd());
    fw::ScopedMemDC mem(CreateCompatibleDC(screen.get()));
    fw::ScopedBitmap whole(CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
    fw::ScopedSelect sel(mem.get(), whole.get());
    SendMessageW(run.hwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem.get()), 0);
    HWND link = host.m_lnkAddLogin.Hwnd();
    RedrawWindow(link, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    fw::ScopedWindowDC linkDc(link);
    const RECT at = hosttest::RectInParent(link);
    for (POINT p : {POINT{90, 1}, POINT{91, 14}, POINT{1, 1}}) {
      SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
      EXPECT_EQ(GetPixel(linkDc.get(), p.x, p.y), GetPixel(mem.get(), at.left + p.x, at.top + p.y));
    }
  }
  // Same width, other height: the controls stay where they are.
  MoveWindow(host.m_btnHide.Hwnd(), 5, 5, 27, 27, TRUE);
  SetWindowPos(run.hwnd(), nullptr, 0, 0, 1280, 700, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(hosttest::RectInParent(host.m_btnHide.Hwnd()).left, 5);
}

// Hovering and repainting the strip again and again leaves no GDI objects behind.
TEST(HostStrip, RepaintingLeaksNothing) {
  HostRun run;
  CTavrix3Dlg& host = run.host();
  ASSERT_TRUE(run.OpenTabs({kAlice, kBob}));
  const auto sweep = [&] {
    for (int x = 121; x < 498; x += 29) {
      run.HitTest(x, x % 2 ? 9 : 20);
      SendMessageW(run.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x, 9));
      UpdateWindow(run.hwnd());
    }
  };
  sweep();
  const test::GuiCounts before = test::CountGuiObjects();
  for (int i = 0; i < 20; ++i) sweep();
  const test::GuiCounts after = test::CountGuiObjects();
  EXPECT_EQ(after.gdi, before.gdi);
  EXPECT_EQ(host.TabCount(), 2);
}

}  // namespace
