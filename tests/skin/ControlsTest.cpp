// The skinned button, label and progress bar on real windows: messages are
// sent as the system would send them, and the result is read back from the
// controls' own pixels (window DC). Images are made here with exact colours
// (a strip whose states are solid colours with key-coloured corners, a fill
// whose columns carry their own index), so every probe has one right answer.
// The parents are framework windows, so drawing also goes through the
// framework's reflection of WM_DRAWITEM.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "FrameFixture.h"
#include "Support.h"
#include "framework/Dialog.h"
#include "framework/Scoped.h"
#include "framework/Window.h"
#include "skin/BtnEx.h"
#include "skin/ControlRules.h"
#include "skin/ImgProgress.h"
#include "skin/StaticEx.h"

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// Test bitmaps are 32-bit bottom-up DIB sections, as skin images are.
using frametest::MakeDib;

// Pixel (x, y) of a bitmap made by MakeDib, read back through GDI.
COLORREF BitmapPixel(HBITMAP bmp, int x, int y) {
  fw::ScopedMemDC dc(CreateCompatibleDC(nullptr));
  fw::ScopedSelect sel(dc.get(), bmp);
  return GetPixel(dc.get(), x, y);
}

// The client area of a window as it is on screen now.
class Snapshot {
 public:
  explicit Snapshot(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    w_ = r.right;
    h_ = r.bottom;
    fw::ScopedWindowDC wdc(hwnd);
    fw::ScopedMemDC mem(CreateCompatibleDC(wdc.get()));
    fw::ScopedBitmap bmp(CreateCompatibleBitmap(wdc.get(), w_, h_));
    {
      fw::ScopedSelect sel(mem.get(), bmp.get());
      BitBlt(mem.get(), 0, 0, w_, h_, wdc.get(), 0, 0, SRCCOPY);
    }
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w_;
    bi.bmiHeader.biHeight = -h_;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    px_.resize(static_cast<size_t>(w_) * h_);
    GetDIBits(mem.get(), bmp.get(), 0, h_, px_.data(), &bi, DIB_RGB_COLORS);
  }
  int Width() const { return w_; }
  int Height() const { return h_; }
  COLORREF At(int x, int y) const {
    const DWORD p = px_[static_cast<size_t>(y) * w_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  int Count(COLORREF c) const {
    int n = 0;
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) n += At(x, y) == c;
    return n;
  }
  // The smallest rectangle holding every pixel that differs from `ground`
  // (empty when there is none).
  RECT Ink(COLORREF ground) const {
    RECT r{w_, h_, 0, 0};
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x)
        if (At(x, y) != ground) {
          r.left = std::min<LONG>(r.left, x);
          r.top = std::min<LONG>(r.top, y);
          r.right = std::max<LONG>(r.right, x + 1);
          r.bottom = std::max<LONG>(r.bottom, y + 1);
        }
    return r;
  }
  bool RowHasInk(int y, COLORREF ground) const {
    for (int x = 0; x < w_; ++x)
      if (At(x, y) != ground) return true;
    return false;
  }

 private:
  int w_ = 0, h_ = 0;
  std::vector<DWORD> px_;
};

// Paints any pending update of `hwnd` (and of the windows it resized) and
// takes its picture.
Snapshot Look(HWND hwnd) {
  UpdateWindow(hwnd);
  UpdateWindow(hwnd);  // a label that grew while painting paints again
  return Snapshot(hwnd);
}

// A top-level framework window whose background says where it is: pixel
// (x, y) of its client area is Pattern(x, y), or one solid colour.
class Backdrop : public fw::Window {
 public:
  static COLORREF Pattern(int x, int y) { return RGB(x & 0xFF, y & 0xFF, 0x40); }

  explicit Backdrop(COLORREF solid = CLR_INVALID, int w = 460, int h = 240) : solid_(solid) {
    // Keep the real mouse away: only the messages the tests send count.
    SetCursorPos(1270, 1010);
    if (solid_ == CLR_INVALID) pattern_.reset(MakeDib(w, h, Pattern));
    Create(nullptr, L"backdrop", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW, 40, 40, w,
           h);
    UpdateWindow(Hwnd());
  }
  ~Backdrop() override { DestroyDetached(); }

  // What a child at (cx, cy) shows at its pixel (x, y) where it is see-through.
  COLORREF Under(int cx, int cy, int x, int y) const {
    return solid_ == CLR_INVALID ? Pattern(cx + x, cy + y) : solid_;
  }

 protected:
  const wchar_t* ClassName() const override { return L"lgt.test.Backdrop"; }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_ERASEBKGND) {
      // Painted at logical (0, 0): the controls move the DC's origin.
      HDC dc = reinterpret_cast<HDC>(wp);
      const RECT client = GetClientRect();
      if (solid_ != CLR_INVALID) {
        fw::ScopedBrush brush(CreateSolidBrush(solid_));
        FillRect(dc, &client, brush.get());
      } else {
        fw::ScopedMemDC mem(CreateCompatibleDC(dc));
        fw::ScopedSelect sel(mem.get(), pattern_.get());
        BitBlt(dc, 0, 0, client.right, client.bottom, mem.get(), 0, 0, SRCCOPY);
      }
      return TRUE;
    }
    return Window::WindowProc(msg, wp, lp);
  }

 private:
  COLORREF solid_;
  fw::ScopedBitmap pattern_;
};

// A font whose glyphs are drawn in exactly the text colour, so pixels of
// text can be told by colour.
HFONT MakeCrispFont(int height, int weight = FW_BOLD) {
  LOGFONTW lf{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = NONANTIALIASED_QUALITY;
  lstrcpyW(lf.lfFaceName, L"Tahoma");
  return CreateFontIndirectW(&lf);
}

// A four-state strip of `cw` x `h` states, each one solid colour, with a
// 3 x 3 key-coloured square at each state's top-right corner.
const COLORREF kStates[4] = {RGB(200, 30, 30), RGB(30, 200, 30), RGB(30, 30, 200), RGB(120, 120, 20)};
HBITMAP MakeStrip(int cw, int h, const COLORREF (&states)[4] = kStates, bool keyCorners = true) {
  return MakeDib(4 * cw, h, [cw, &states, keyCorners](int x, int y) {
    return (keyCorners && x % cw >= cw - 3 && y < 3) ? kKey : states[x / cw];
  });
}

std::wstring ToolText(const fw::ToolTip& tip, HWND tool) {
  wchar_t buf[80] = {};
  TTTOOLINFOW ti{};
  ti.cbSize = TTTOOLINFOW_V2_SIZE;
  ti.hwnd = tool;
  ti.uId = reinterpret_cast<UINT_PTR>(tool);
  ti.lpszText = buf;
  tip.Send(TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
  return buf;
}

// ---------------------------------------------------------------- button

TEST(ControlsButton, CloseStripGivesA33x28ButtonWithFourStates) {
  Backdrop parent;
  fw::ScopedBitmap strip(MakeStrip(33, 28));  // the close strip: 132 x 28
  CBtnEx btn;
  ASSERT_TRUE(btn.Create(parent.Hwnd(), RECT{10, 20, 60, 70}, 50000, L""));
  EXPECT_EQ(GetWindowLongPtrW(btn.Hwnd(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_TRUE(btn.SetImage(strip.get(), TRUE));
  // Given again: the caller's image must still have its key colour.
  EXPECT_EQ(BitmapPixel(strip.get(), 32, 0), kKey);
  EXPECT_TRUE(btn.SetImage(strip.get(), TRUE));

  const RECT wr = btn.GetWindowRect();
  EXPECT_EQ(wr.right - wr.left, 33);
  EXPECT_EQ(wr.bottom - wr.top, 28);
  EXPECT_TRUE(EqualRect(&wr, &btn.m_rcWnd));

  const HWND h = btn.Hwnd();
  struct Step {
    const char* name;
    std::function<void()> act;
    int state;
  } steps[] = {
      {"normal", [] {}, 0},
      {"mouse rests", [h] { SendMessageW(h, WM_MOUSEHOVER, 0, MAKELPARAM(5, 5)); }, 1},
      {"left button down", [h] { SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)); }, 2},
      {"dragged off, still held",
       [h] { SendMessageW(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 200)); }, 2},
      {"mouse left, still held", [h] { SendMessageW(h, WM_MOUSELEAVE, 0, 0); }, 2},
      {"released", [h] { SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(200, 200)); }, 0},
      {"mouse rests again", [h] { SendMessageW(h, WM_MOUSEHOVER, 0, MAKELPARAM(5, 5)); }, 1},
      {"space bar down", [h] { SendMessageW(h, WM_KEYDOWN, VK_SPACE, 0x00390001); }, 2},
      {"space bar up", [h] { SendMessageW(h, WM_KEYUP, VK_SPACE, 0xC0390001); }, 1},
      {"disabled", [h] { EnableWindow(h, FALSE); }, 3},
      {"disabled, mouse rests", [h] { SendMessageW(h, WM_MOUSEHOVER, 0, MAKELPARAM(5, 5)); }, 3},
      {"enabled", [h] { EnableWindow(h, TRUE); }, 1},
      {"mouse left", [h] { SendMessageW(h, WM_MOUSELEAVE, 0, 0); }, 0},
  };
  for (const Step& s : steps) {
    s.act();
    const Snapshot shot = Look(h);
    EXPECT_EQ(shot.At(5, 14), kStates[s.state]) << s.name;
    EXPECT_EQ(shot.At(29, 27), kStates[s.state]) << s.name;
    // The key-coloured corner lets the parent's background through, at the
    // right place of that background.
    EXPECT_EQ(shot.At(32, 0), parent.Under(10, 20, 32, 0)) << s.name;
    EXPECT_EQ(shot.At(30, 2), parent.Under(10, 20, 30, 2)) << s.name;
  }
}

TEST(ControlsButton, LargerButtonShowsItsStateStretched) {
  Backdrop parent;
  // 10 x 10 states; the normal one: left half red above blue, right half key.
  const COLORREF red = RGB(220, 0, 0), blue = RGB(0, 0, 220), green = RGB(0, 160, 0);
  fw::ScopedBitmap strip(MakeDib(40, 10, [&](int x, int y) {
    if (x >= 10) return green;
    if (x >= 5) return kKey;
    return y < 5 ? red : blue;
  }));
  CBtnEx btn;
  ASSERT_TRUE(btn.Create(parent.Hwnd(), RECT{30, 40, 70, 60}, 1, L""));  // 40 x 20: 4 times, 2 times
  btn.SetImage(strip.get(), FALSE);
  const RECT wr = btn.GetWindowRect();
  EXPECT_EQ(wr.right - wr.left, 40) << "not resized";

  const Snapshot shot = Look(btn.Hwnd());
  struct Probe {
    int x, y;
    COLORREF want;  // CLR_INVALID: the parent's background
  } probes[] = {
      {0, 0, red},           {17, 8, red},          {2, 12, blue},         {17, 19, blue},
      {22, 2, CLR_INVALID},  {39, 0, CLR_INVALID},  {25, 10, CLR_INVALID}, {39, 19, CLR_INVALID},
  };
  for (const Probe& p : probes) {
    const COLORREF want = p.want == CLR_INVALID ? parent.Under(30, 40, p.x, p.y) : p.want;
    EXPECT_EQ(shot.At(p.x, p.y), want) << p.x << "," << p.y;
  }

  // Resized later, the drawing follows the new size.
  SetWindowPos(btn.Hwnd(), nullptr, 0, 0, 80, 20, SWP_NOMOVE | SWP_NOZORDER);
  const Snapshot wide = Look(btn.Hwnd());
  EXPECT_EQ(wide.At(35, 2), red);
  EXPECT_EQ(wide.At(45, 2), parent.Under(30, 40, 45, 2));
}

TEST(ControlsButton, TextIsCentredAndGreyWhenDisabled) {
  Backdrop parent(RGB(250, 250, 250));
  const COLORREF face = RGB(240, 240, 200);
  const COLORREF faces[4] = {face, face, face, face};
  fw::ScopedBitmap strip(MakeStrip(57, 23, faces, false));  // the push-button strip: 228 x 23
  fw::ScopedFont font(MakeCrispFont(-14));
  const COLORREF red = RGB(200, 0, 0);
  const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
  ASSERT_NE(grey, face);

  struct Case {
    const char* name;
    bool withFont, enabled;
  } cases[] = {{"own font", true, true}, {"own font, disabled", true, false}, {"no font", false, true}};
  for (const Case& c : cases) {
    CBtnEx btn;
    ASSERT_TRUE(btn.Create(parent.Hwnd(), RECT{20, 20, 120, 60}, 1, L"WWW"));
    EXPECT_EQ(btn.m_strText, L"WWW");
    btn.SetImage(strip.get(), TRUE);
    btn.m_crText = red;
    if (c.withFont) btn.Send(WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    btn.Enable(c.enabled);
    const Snapshot shot = Look(btn.Hwnd());
    const RECT ink = shot.Ink(face);
    ASSERT_FALSE(IsRectEmpty(&ink)) << c.name << ": no text";
    // Centred (glyph side bearings allow a pixel or two).
    EXPECT_NEAR((ink.left + ink.right) / 2.0, 57 / 2.0, 2.5) << c.name;
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 23 / 2.0, 2.5) << c.name;
    if (c.withFont) {
      EXPECT_EQ(shot.Count(red) > 0, c.enabled) << c.name;
      EXPECT_EQ(shot.Count(grey) > 0, !c.enabled) << c.name;
    }
  }
}

TEST(ControlsButton, MissingOrUnusableImagesDrawTheBackgroundOnly) {
  Backdrop parent;
  fw::ScopedBitmap narrow(MakeDib(3, 10, [](int, int) { return RGB(1, 2, 3); }));  // a quarter is 0
  fw::ScopedBitmap strip(MakeStrip(20, 10));
  CBtnEx btn;
  ASSERT_TRUE(btn.Create(parent.Hwnd(), RECT{10, 10, 50, 30}, 1, L""));
  struct Case {
    const char* name;
    HBITMAP image;
  } cases[] = {{"no image yet", nullptr}, {"NULL image", nullptr}, {"3 pixels wide", narrow.get()}};
  for (const Case& c : cases) {
    if (c.image || std::string(c.name) == "NULL image") {
      btn.SetImage(strip.get(), FALSE);  // an image that the next call must drop
      EXPECT_EQ(btn.SetImage(c.image, TRUE), TRUE) << c.name;
    }
    const RECT wr = btn.GetWindowRect();
    EXPECT_EQ(wr.right - wr.left, 40) << c.name << ": size kept";
    const Snapshot shot = Look(btn.Hwnd());
    for (POINT p : {POINT{0, 0}, POINT{20, 10}, POINT{39, 19}})
      EXPECT_EQ(shot.At(p.x, p.y), parent.Under(10, 10, p.x, p.y)) << c.name;
  }
}

TEST(ControlsButton, ToolTipTextAndDelays) {
  Backdrop parent;
  CBtnEx btn;
  ASSERT_TRUE(btn.Create(parent.Hwnd(), RECT{10, 10, 43, 38}, 50000, L""));
  btn.SetToolTipText(L"最大化");
  ASSERT_TRUE(btn.m_bToolTip);
  const HWND tip = btn.m_toolTip.Hwnd();
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(btn.m_toolTip.ToolCount(), 1);
  EXPECT_EQ(btn.m_toolTip.Send(TTM_GETDELAYTIME, TTDT_INITIAL), 660);
  EXPECT_EQ(btn.m_toolTip.Send(TTM_GETDELAYTIME, TTDT_AUTOPOP), 6600);
  // Until the mouse rests, the text is asked for: the button answers.
  NMTTDISPINFOW info{};
  info.hdr.hwndFrom = tip;
  info.hdr.code = TTN_GETDISPINFOW;
  btn.Send(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_STREQ(info.lpszText, L"最大化");

  btn.SetToolTipText(L"还原");  // the same tooltip, a new text
  EXPECT_EQ(btn.m_toolTip.Hwnd(), tip);
  EXPECT_EQ(btn.m_toolTip.ToolCount(), 1);
  btn.Send(WM_MOUSEHOVER, 0, 0);
  EXPECT_EQ(ToolText(btn.m_toolTip, btn.Hwnd()), L"还原");
  EXPECT_TRUE(btn.m_bHover);

  // A button made again (as the frame does when it gets a new skin) gets a
  // tooltip of its own; the old one goes with the old window.
  btn.Destroy();
  EXPECT_FALSE(IsWindow(tip));
  EXPECT_FALSE(btn.m_bHover);
  ASSERT_TRUE(btn.Create(parent.Hwnd(), RECT{10, 10, 43, 38}, 50000, L""));
  btn.SetToolTipText(L"关闭");
  ASSERT_NE(btn.m_toolTip.Hwnd(), nullptr);
  EXPECT_EQ(btn.m_toolTip.ToolCount(), 1);
  btn.Send(WM_MOUSEHOVER, 0, 0);
  EXPECT_EQ(ToolText(btn.m_toolTip, btn.Hwnd()), L"关闭");
}

// A dialog whose items are bound to the controls, as the program's dialogs do.
class BoundDialog : public fw::Dialog {
 public:
  explicit BoundDialog(const DLGTEMPLATE* t) : Dialog(t) {}
  CBtnEx m_btnOK;
  CStaticEx m_text;

 protected:
  void DoDataExchange() override {
    Bind(IDOK, m_btnOK);
    Bind(1023, m_text);
  }
};

// A DLGTEMPLATE with a button and a static, in dialog units.
std::vector<WORD> BoundTemplate() {
  std::vector<WORD> t;
  auto dword = [&t](DWORD v) {
    t.push_back(LOWORD(v));
    t.push_back(HIWORD(v));
  };
  auto text = [&t](const wchar_t* s) {
    for (; *s; ++s) t.push_back(*s);
    t.push_back(0);
  };
  auto align = [&t] {
    if (t.size() % 2) t.push_back(0);
  };
  dword(WS_POPUP | WS_VISIBLE | DS_SETFONT);
  dword(WS_EX_TOOLWINDOW);
  t.push_back(2);  // items
  for (short v : {0, 0, 200, 80}) t.push_back(static_cast<WORD>(v));
  t.push_back(0);  // no menu
  t.push_back(0);  // standard class
  text(L"");
  t.push_back(8);
  text(L"MS Shell Dlg");
  struct Item {
    DWORD style;
    short x, y, cx, cy;
    WORD id, cls;
    const wchar_t* text;
  } items[] = {{WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 10, 50, 42, 14, IDOK, 0x80, L"确定"},
               {WS_CHILD | WS_VISIBLE, 10, 10, 160, 30, 1023, 0x82, L"在当前窗口新增标签页？"}};
  for (const Item& i : items) {
    align();
    dword(i.style);
    dword(0);
    for (short v : {i.x, i.y, i.cx, i.cy}) t.push_back(static_cast<WORD>(v));
    t.push_back(i.id);
    t.push_back(0xFFFF);
    t.push_back(i.cls);
    text(i.text);
    t.push_back(0);  // no creation data
  }
  return t;
}

TEST(ControlsButton, BoundDialogItemsAreTakenOver) {
  SetCursorPos(1270, 1010);
  const std::vector<WORD> tmpl = BoundTemplate();
  BoundDialog dlg(reinterpret_cast<const DLGTEMPLATE*>(tmpl.data()));
  ASSERT_TRUE(dlg.Create(nullptr));
  CBtnEx& btn = dlg.m_btnOK;
  EXPECT_EQ(btn.m_strText, L"确定");
  EXPECT_EQ(GetWindowLongPtrW(btn.Hwnd(), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  const RECT wr = btn.GetWindowRect();
  EXPECT_TRUE(EqualRect(&wr, &btn.m_rcWnd));
  EXPECT_EQ(dlg.m_text.m_strText, L"在当前窗口新增标签页？");

  // Drawn through the dialog's reflection of WM_DRAWITEM.
  fw::ScopedBitmap strip(MakeStrip(wr.right - wr.left, wr.bottom - wr.top));
  btn.SetImage(strip.get(), FALSE);
  EXPECT_EQ(Look(btn.Hwnd()).At(2, 2), kStates[0]);
  btn.Enable(false);
  EXPECT_EQ(Look(btn.Hwnd()).At(2, 2), kStates[3]);
  dlg.Destroy();
}

// ---------------------------------------------------------------- framework

// A control object that answers every reflected message with a marker.
class ReflectProbe : public fw::Window {
 public:
  std::vector<UINT> got;
  bool OnReflectedMessage(UINT msg, WPARAM, LPARAM, LRESULT* result) override {
    got.push_back(msg);
    *result = 0x5281;
    return true;
  }
};

TEST(ControlsFramework, ParentsHandOwnerDrawAndColourMessagesToTheControl) {
  Backdrop parent;
  ReflectProbe probe;
  ASSERT_TRUE(probe.CreateControl(L"STATIC", parent.Hwnd(), 7, L"", WS_CHILD, 0, RECT{0, 0, 10, 10}));
  HWND plain = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, parent.Hwnd(), nullptr,
                               nullptr, nullptr);
  fw::ScopedWindowDC dc(parent.Hwnd());
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_BUTTON;
  item.hwndItem = probe.Hwnd();
  DRAWITEMSTRUCT menu = item;
  menu.CtlType = ODT_MENU;  // hwndItem is a menu then, whatever it holds
  const auto dcParam = reinterpret_cast<WPARAM>(dc.get());
  struct Case {
    const char* name;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    bool reflected;
  } cases[] = {
      {"WM_DRAWITEM", WM_DRAWITEM, 7, reinterpret_cast<LPARAM>(&item), true},
      {"WM_CTLCOLORSTATIC", WM_CTLCOLORSTATIC, dcParam, reinterpret_cast<LPARAM>(probe.Hwnd()), true},
      {"WM_CTLCOLORBTN", WM_CTLCOLORBTN, dcParam, reinterpret_cast<LPARAM>(probe.Hwnd()), true},
      {"menu item", WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&menu), false},
      {"control without object", WM_CTLCOLORSTATIC, dcParam, reinterpret_cast<LPARAM>(plain), false},
      {"other message", WM_COMMAND, 7, reinterpret_cast<LPARAM>(probe.Hwnd()), false},
  };
  for (const Case& c : cases) {
    const size_t before = probe.got.size();
    const LRESULT r = parent.Send(c.msg, c.wp, c.lp);
    EXPECT_EQ(probe.got.size() - before, c.reflected ? 1u : 0u) << c.name;
    if (c.reflected) {
      EXPECT_EQ(r, 0x5281) << c.name;
    }
  }
  DestroyWindow(plain);
}

// ---------------------------------------------------------------- label

// Line height and the width of `text` in the label's font (made at its first paint).
int LabelLineHeight(const CStaticEx& label) {
  fw::ScopedMemDC dc(CreateCompatibleDC(nullptr));
  fw::ScopedSelect sel(dc.get(), label.m_font.get());
  RECT r{0, 0, 0, 0};
  DrawTextW(dc.get(), L"测试用汉字来获取宽度", 11, &r, DT_CALCRECT);
  return r.bottom;
}
int LabelTextWidth(const CStaticEx& label, const wchar_t* text) {
  fw::ScopedMemDC dc(CreateCompatibleDC(nullptr));
  fw::ScopedSelect sel(dc.get(), label.m_font.get());
  RECT r{0, 0, 0, 0};
  DrawTextW(dc.get(), text, -1, &r, DT_CALCRECT | DT_SINGLELINE);
  return r.right;
}
int WindowHeight(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r.bottom - r.top;
}

TEST(ControlsLabel, CarriageReturnLineFeedDrawsTwoLines) {
  Backdrop parent(kWhite);
  fw::ScopedFont font(MakeCrispFont(-14));
  CStaticEx label;
  ASSERT_TRUE(label.Create(parent.Hwnd(), RECT{20, 20, 220, 30}, 1, L"ab\r\ncd"));
  label.Send(WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  EXPECT_EQ(label.m_strText, L"ab\r\ncd");
  const Snapshot shot = Look(label.Hwnd());
  const int L = LabelLineHeight(label);
  ASSERT_GT(L, 5);
  EXPECT_EQ(WindowHeight(label.Hwnd()), L + (L + 3)) << "grown to two lines";
  ASSERT_EQ(shot.Height(), 2 * L + 3);
  bool first = false, second = false;
  for (int y = 0; y < shot.Height(); ++y) {
    if (!shot.RowHasInk(y, kWhite)) continue;
    if (y < L) first = true;
    else if (y >= L + 3) second = true;
    else ADD_FAILURE() << "ink in the line space, row " << y;
  }
  EXPECT_TRUE(first);
  EXPECT_TRUE(second);
  // "ab" alone on the first line: a carriage return drawn there would widen it.
  RECT ink = shot.Ink(kWhite);
  EXPECT_LE(ink.right, LabelTextWidth(label, L"cd") + 2);
}

TEST(ControlsLabel, LongChineseTextWrapsAndTheLabelGrows) {
  Backdrop parent(kWhite);
  fw::ScopedFont font(MakeCrispFont(-12, FW_NORMAL));
  const std::wstring text = L"本登录器会自动检查更新并在发现新版本后提示您下载安装最新版本";  // 30
  CStaticEx label;
  ASSERT_TRUE(label.Create(parent.Hwnd(), RECT{10, 10, 70, 30}, 1, text.c_str()));
  label.Send(WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  label.m_crText = kBlack;
  Look(label.Hwnd());
  const int L = LabelLineHeight(label);
  // Every ideograph has the same advance: a line holds as many as fit in 60.
  const int cw = LabelTextWidth(label, L"本");
  ASSERT_GT(cw, 0);
  ASSERT_EQ(LabelTextWidth(label, L"本登录"), 3 * cw);
  const int perLine = 60 / cw;
  const int lines = (30 + perLine - 1) / perLine;
  ASSERT_GE(lines, 3);
  EXPECT_EQ(WindowHeight(label.Hwnd()), L + (lines - 1) * (L + 3));
  const Snapshot shot(label.Hwnd());
  // The last line is drawn (inside the grown part), and nothing spills
  // beyond the lines' width.
  const int lastTop = (lines - 1) * (L + 3);
  bool lastInk = false;
  for (int y = lastTop; y < lastTop + L; ++y) lastInk = lastInk || shot.RowHasInk(y, kWhite);
  EXPECT_TRUE(lastInk);
  const RECT ink = shot.Ink(kWhite);
  EXPECT_LE(ink.right, perLine * cw);

  // Never shrinks: a shorter text leaves the height.
  const int grown = WindowHeight(label.Hwnd());
  label.SetText(L"短");
  Look(label.Hwnd());
  EXPECT_EQ(WindowHeight(label.Hwnd()), grown);
}

TEST(ControlsLabel, AlignmentFromTheStyle) {
  Backdrop parent(kWhite);
  fw::ScopedFont font(MakeCrispFont(-14));
  struct Case {
    const char* name;
    DWORD style;
    int inkCentre;  // expected middle of the text's ink, +-6
  } cases[] = {{"SS_LEFT", SS_LEFT, 0}, {"SS_CENTER", SS_CENTER, 100}, {"SS_RIGHT", SS_RIGHT, 200}};
  for (const Case& c : cases) {
    CStaticEx label;
    ASSERT_TRUE(label.Create(parent.Hwnd(), RECT{10, 10, 210, 40}, 1, L"ab", WS_CHILD | WS_VISIBLE | c.style));
    label.Send(WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    const Snapshot shot = Look(label.Hwnd());
    const RECT ink = shot.Ink(kWhite);
    ASSERT_FALSE(IsRectEmpty(&ink)) << c.name;
    const int width = ink.right - ink.left;
    const int want = std::min(std::max(c.inkCentre, width / 2), 200 - width / 2);
    EXPECT_NEAR((ink.left + ink.right) / 2, want, 6) << c.name;
  }
}

TEST(ControlsLabel, TooNarrowForTextIsSafe) {
  Backdrop parent(kWhite);
  struct Case {
    const char* name;
    int width;
    bool image;
  } cases[] = {{"2 pixels", 2, false}, {"image wider than the label", 30, true}};
  fw::ScopedBitmap image(MakeDib(40, 16, [](int, int) { return RGB(0, 128, 0); }));
  for (const Case& c : cases) {
    CStaticEx label;
    ASSERT_TRUE(label.Create(parent.Hwnd(), RECT{10, 10, 10 + c.width, 30}, 1, L"很长的中文文字很长的中文文字"));
    if (c.image) label.SetImage(image.get());
    Look(label.Hwnd());
    EXPECT_EQ(WindowHeight(label.Hwnd()), 20) << c.name << ": nothing fits, nothing grows";
  }
}

TEST(ControlsLabel, HoverColourWhenEnabled) {
  Backdrop parent(kWhite);
  fw::ScopedFont font(MakeCrispFont(-14));
  const COLORREF text = RGB(0, 0, 160), hover = RGB(22, 122, 235);
  struct Case {
    bool hoverColour, hovering;
    COLORREF shown;
  } cases[] = {{false, false, text}, {false, true, text}, {true, false, text}, {true, true, hover}};
  for (const Case& c : cases) {
    CStaticEx label;
    ASSERT_TRUE(label.Create(parent.Hwnd(), RECT{10, 10, 150, 40}, 1, L"详细>>", WS_CHILD | WS_VISIBLE | SS_NOTIFY));
    label.Send(WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    label.m_crText = text;
    label.m_crHover = hover;
    label.m_bHoverColor = c.hoverColour;
    Look(label.Hwnd());
    if (c.hovering) label.Send(WM_MOUSEHOVER, 0, 0);
    const Snapshot shot = Look(label.Hwnd());
    const COLORREF other = c.shown == text ? hover : text;
    EXPECT_GT(shot.Count(c.shown), 0) << c.hoverColour << c.hovering;
    EXPECT_EQ(shot.Count(other), 0) << c.hoverColour << c.hovering;
    if (c.hovering) {  // and back when the mouse leaves
      label.Send(WM_MOUSELEAVE, 0, 0);
      EXPECT_EQ(Look(label.Hwnd()).Count(hover), 0);
    }
  }
}

TEST(ControlsLabel, HandCursorOnlyWhenAskedFor) {
  Backdrop parent;
  const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND), arrow = LoadCursorW(nullptr, IDC_ARROW);
  for (BOOL wantHand : {TRUE, FALSE}) {
    CStaticEx label;
    ASSERT_TRUE(label.Create(parent.Hwnd(), RECT{10, 10, 100, 30}, 1, L"link", WS_CHILD | WS_VISIBLE | SS_NOTIFY));
    label.m_bHandCursor = wantHand;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    const LRESULT r = label.Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(label.Hwnd()),
                                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), wantHand ? hand : arrow) << wantHand;
    if (wantHand) {
      EXPECT_EQ(r, TRUE);
    }
  }
}

TEST(ControlsLabel, ImageOrIconOnEitherSide) {
  Backdrop parent(kWhite);
  const COLORREF green = RGB(0, 150, 0), yellow = RGB(230, 200, 0);
  // 16 x 16, key-coloured top-left 2 x 2.
  fw::ScopedBitmap image(MakeDib(16, 16, [&](int x, int y) { return x < 2 && y < 2 ? kKey : green; }));
  fw::ScopedBitmap iconColour(MakeDib(16, 16, [&](int, int) { return yellow; }));
  fw::ScopedBitmap iconMask(CreateBitmap(16, 16, 1, 1, nullptr));  // all 0: opaque
  {
    fw::ScopedMemDC dc(CreateCompatibleDC(nullptr));
    fw::ScopedSelect sel(dc.get(), iconMask.get());
    PatBlt(dc.get(), 0, 0, 16, 16, BLACKNESS);
  }
  ICONINFO ii{TRUE, 0, 0, iconMask.get(), iconColour.get()};
  fw::ScopedIcon icon(CreateIconIndirect(&ii));
  ASSERT_TRUE(icon);
  fw::ScopedFont font(MakeCrispFont(-14));

  struct Case {
    const char* name;
    bool useImage, right;
    COLORREF colour;
  } cases[] = {{"image left", true, false, green},
               {"image right", true, true, green},
               {"icon left", false, false, yellow},
               {"icon right", false, true, yellow}};
  const int W = 200, H = 30;
  for (const Case& c : cases) {
    CStaticEx label;
    ASSERT_TRUE(label.Create(parent.Hwnd(), RECT{10, 10, 10 + W, 10 + H}, 1, L"abc"));
    label.Send(WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    if (c.useImage) {
      label.m_bImgRight = TRUE;
      EXPECT_TRUE(label.SetImage(image.get())) << c.name;
      EXPECT_FALSE(label.m_bImgRight) << c.name << ": SetImage puts the image on the left";
      EXPECT_EQ(label.m_nImgWidth, 16);
      EXPECT_EQ(label.m_nImgHeight, 16);
    } else {
      label.m_hIcon = icon.get();
    }
    label.m_bImgRight = c.right;
    const Snapshot shot = Look(label.Hwnd());
    const int x = c.right ? W - 16 - 3 : 3, y = (H - 16) / 2;
    EXPECT_EQ(shot.At(x + 8, y + 8), c.colour) << c.name;
    EXPECT_EQ(shot.At(x + 15, y + 15), c.colour) << c.name;
    EXPECT_EQ(shot.At(x, y), c.useImage ? kWhite : c.colour) << c.name << ": key corner";
    EXPECT_EQ(shot.At(c.right ? 3 + 8 : W - 3 - 8, y + 8), kWhite) << c.name << ": other side empty";
    // The text keeps clear of the picture's side (its width and 6 pixels).
    const RECT ink = shot.Ink(kWhite);
    RECT text = ink;
    if (c.right) {
      // The picture is the rightmost ink; the text is what comes before it.
      for (int tx = x - 1; tx >= 0; --tx) {
        bool any = false;
        for (int ty = 0; ty < H; ++ty) any = any || shot.At(tx, ty) != kWhite;
        if (any) {
          text.right = tx + 1;
          break;
        }
      }
      EXPECT_LE(text.right, W - 16 - 6) << c.name;
    } else {
      for (int tx = x + 16; tx < W; ++tx) {
        bool any = false;
        for (int ty = 0; ty < H; ++ty) any = any || shot.At(tx, ty) != kWhite;
        if (any) {
          text.left = tx;
          break;
        }
      }
      EXPECT_GE(text.left, 16 + 6) << c.name;
    }
  }
  CStaticEx label;
  label.m_bImgRight = TRUE;
  EXPECT_FALSE(label.SetImage(nullptr));
  EXPECT_FALSE(label.m_bImgRight);
}

// A label that draws its own text.
class SwatchLabel : public CStaticEx {
 protected:
  void DrawLabelText(HDC dc) override {
    RECT r{0, 0, 4, 4};
    fw::ScopedBrush b(CreateSolidBrush(RGB(9, 99, 199)));
    FillRect(dc, &r, b.get());
  }
};

TEST(ControlsLabel, DerivedLabelDrawsTheText) {
  Backdrop parent(kWhite);
  SwatchLabel label;
  ASSERT_TRUE(label.Create(parent.Hwnd(), RECT{10, 10, 60, 30}, 1, L"text"));
  const Snapshot shot = Look(label.Hwnd());
  EXPECT_EQ(shot.At(1, 1), RGB(9, 99, 199));
  EXPECT_EQ(shot.Count(kWhite), 50 * 20 - 16) << "nothing else drawn";
}

// ---------------------------------------------------------------- progress

// The fill image's column x (rows clear of the rounded ends).
COLORREF FillColumn(int x) { return RGB(x & 0xFF, 0x10 + (x >> 8), 0xA0); }
constexpr COLORREF kTrack = RGB(90, 90, 90);

TEST(ControlsProgress, FillShowsBothEndsOfTheFillImage) {
  Backdrop parent;
  // Track and fill 390 x 21 with key-coloured rounded ends.
  HBITMAP track = MakeDib(390, 21, [](int x, int) { return x < 4 || x >= 386 ? kKey : kTrack; });
  HBITMAP fill = MakeDib(390, 21, [](int x, int y) {
    return (x < 2 || x >= 388) && (y < 3 || y >= 18) ? kKey : FillColumn(x);
  });
  CImgProgress bar;
  ASSERT_TRUE(bar.Create(parent.Hwnd(), RECT{10, 50, 110, 60}, 1025));
  EXPECT_TRUE(bar.SetImages(track, fill));
  const RECT wr = bar.GetWindowRect();
  EXPECT_EQ(wr.right - wr.left, 390);
  EXPECT_EQ(wr.bottom - wr.top, 21);
  const RECT whole{0, 0, 390, 21};
  EXPECT_TRUE(EqualRect(&bar.m_rcCtrl, &whole));
  EXPECT_TRUE(EqualRect(&bar.m_rcBar, &whole));

  struct Case {
    int lower, upper, pos;
    int width;  // of the fill
  } cases[] = {{0, 100, 50, 195}, {0, 100, 0, 0}, {0, 100, 100, 390}, {0, 100, 1, 3},
               {50, 150, 100, 195}, {0, 100, 99, 386}};
  for (const Case& c : cases) {
    bar.Send(PBM_SETRANGE32, c.lower, c.upper);
    bar.Send(PBM_SETPOS, c.pos);
    const Snapshot shot = Look(bar.Hwnd());
    const int h = c.width / 2;
    // Where the expected source column of each probe comes from.
    auto expect = [&](int x, int y) -> COLORREF {
      if (x < c.width) {
        const int src = x < h ? x : 390 - (c.width - h) + (x - h);
        const bool key = (src < 2 || src >= 388) && (y < 3 || y >= 18);
        if (!key) return FillColumn(src);
      }
      return (x < 4 || x >= 386) ? parent.Under(10, 50, x, y) : kTrack;
    };
    std::vector<int> xs = {0, 2, 5, 96, 97, 98, 150, 194, 195, 196, 300, 385, 389};
    if (c.width > 0) xs.insert(xs.end(), {c.width - 1, c.width, h - 1, h});
    for (int x : xs) {
      if (x < 0 || x >= 390) continue;
      for (int y : {0, 10, 20})
        EXPECT_EQ(shot.At(x, y), expect(x, y))
            << c.lower << ".." << c.upper << " at " << c.pos << ": pixel " << x << "," << y;
    }
  }
}

TEST(ControlsProgress, EmptyRangeAndMissingImagesAreSafe) {
  Backdrop parent;
  CImgProgress bar;
  ASSERT_TRUE(bar.Create(parent.Hwnd(), RECT{10, 50, 110, 70}, 1025));
  // No images yet: the parent's background only.
  Snapshot none = Look(bar.Hwnd());
  EXPECT_EQ(none.At(50, 10), parent.Under(10, 50, 50, 10));

  bar.SetImages(MakeDib(100, 20, [](int, int) { return kTrack; }),
                MakeDib(80, 10, [](int x, int) { return FillColumn(x); }));
  const RECT centred{10, 5, 90, 15};
  EXPECT_TRUE(EqualRect(&bar.m_rcBar, &centred));
  bar.Send(PBM_SETRANGE32, 0, 100);
  bar.Send(PBM_SETPOS, 100);
  Snapshot full = Look(bar.Hwnd());
  EXPECT_EQ(full.At(10, 5), FillColumn(0));
  EXPECT_EQ(full.At(89, 14), FillColumn(79));
  EXPECT_EQ(full.At(9, 10), kTrack);
  EXPECT_EQ(full.At(50, 4), kTrack);

  // An empty range: no fill, whatever the control keeps as its range.
  bar.Send(PBM_SETRANGE32, 5, 5);
  bar.Send(PBM_SETPOS, 5);
  PBRANGE range{};
  bar.Send(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
  if (range.iLow == range.iHigh) {
    Snapshot empty = Look(bar.Hwnd());
    EXPECT_EQ(empty.At(50, 10), kTrack);
  }

  // New images replace (and free) the old ones; the size is set, not added.
  HBITMAP oldTrack = bar.m_hBack, oldFill = bar.m_hBar;
  bar.SetImages(MakeDib(60, 16, [](int, int) { return kTrack; }), nullptr);
  BITMAP bm;
  EXPECT_EQ(GetObjectW(oldTrack, sizeof(bm), &bm), 0) << "old track deleted";
  EXPECT_EQ(GetObjectW(oldFill, sizeof(bm), &bm), 0) << "old fill deleted";
  const RECT small{0, 0, 60, 16};
  EXPECT_TRUE(EqualRect(&bar.m_rcCtrl, &small));
  const RECT wr = bar.GetWindowRect();
  EXPECT_EQ(wr.right - wr.left, 60);
  Snapshot trackOnly = Look(bar.Hwnd());
  EXPECT_EQ(trackOnly.At(30, 8), kTrack) << "no fill image: no fill";

  // The same bitmap for both is owned once.
  HBITMAP both = MakeDib(60, 16, [](int, int) { return kTrack; });
  bar.SetImages(both, both);
  Look(bar.Hwnd());
}

// ---------------------------------------------------------------- resources

TEST(Controls, ManyPaintsLeaveNoGdiOrUserObjects) {
  Backdrop parent;
  fw::ScopedBitmap strip(MakeStrip(33, 28));
  fw::ScopedBitmap picture(MakeDib(16, 16, [](int x, int) { return x ? RGB(0, 99, 0) : kKey; }));
  fw::ScopedFont font(MakeCrispFont(-12));
  auto makeAll = [&](CBtnEx& btn, CStaticEx& label, CImgProgress& bar) {
    btn.Create(parent.Hwnd(), RECT{10, 10, 60, 50}, 1, L"关闭");  // stretched: 50 x 40
    btn.SetImage(strip.get(), FALSE);
    btn.SetToolTipText(L"关闭");
    label.Create(parent.Hwnd(), RECT{10, 60, 110, 70}, 2, L"很长的中文文字很长的中文文字\r\nab");
    label.Send(WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    label.SetImage(picture.get());
    bar.Create(parent.Hwnd(), RECT{10, 150, 110, 160}, 3);
    bar.SetImages(MakeDib(200, 20, [](int, int) { return kTrack; }),
                  MakeDib(200, 20, [](int x, int) { return FillColumn(x); }));
  };
  auto paintAll = [&](CBtnEx& btn, CStaticEx& label, CImgProgress& bar, int i) {
    btn.SetImage(strip.get(), FALSE);
    btn.Send(i % 2 ? WM_MOUSEHOVER : WM_MOUSELEAVE);
    label.SetImage(picture.get());
    bar.Send(PBM_SETPOS, i % 101);
    for (HWND h : {btn.Hwnd(), label.Hwnd(), bar.Hwnd()}) {
      InvalidateRect(h, nullptr, TRUE);
      UpdateWindow(h);
    }
  };

  {  // warm-up: caches of fonts and classes fill once
    CBtnEx btn;
    CStaticEx label;
    CImgProgress bar;
    makeAll(btn, label, bar);
    paintAll(btn, label, bar, 1);
  }
  CBtnEx btn;
  CStaticEx label;
  CImgProgress bar;
  makeAll(btn, label, bar);
  paintAll(btn, label, bar, 0);
  const test::GuiCounts before = test::CountGuiObjects();
  for (int i = 0; i < 300; ++i) paintAll(btn, label, bar, i);
  const test::GuiCounts after = test::CountGuiObjects();
  EXPECT_EQ(after.gdi, before.gdi);
  EXPECT_EQ(after.user, before.user);

  // Making and dropping controls frees everything they made. (The first
  // round, with two sets alive at once, fills the system's caches once.)
  test::GuiCounts start;
  for (int i = 0; i < 21; ++i) {
    {
      CBtnEx b;
      CStaticEx l;
      CImgProgress p;
      makeAll(b, l, p);
      paintAll(b, l, p, i);
    }
    if (i == 0) start = test::CountGuiObjects();
  }
  const test::GuiCounts end = test::CountGuiObjects();
  EXPECT_EQ(end.gdi, start.gdi);
  EXPECT_EQ(end.user, start.user);
}

}  // namespace
