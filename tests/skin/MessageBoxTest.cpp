// The message box on real windows: SkinMessageBox runs its own modal loop,
// and the test acts from inside that loop, as a user's input would arrive:
// a small script window of the test gets posted one message per step, so
// each step runs after whatever the step before posted (a key, a click) has
// been handled. Buttons are clicked with BM_CLICK, keys are posted as
// WM_KEYDOWN/WM_KEYUP to the focus window, where the box's keyboard
// interface turns them into commands, and pixels are read back from the
// window's own DC after a real paint.
//
// Resources come from the launcher (LgTarvo.exe, loaded as a resource
// module). Message texts whose pixels are checked are Latin: the test
// machine has no font with Chinese glyphs.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "FrameFixture.h"
#include "Support.h"
#include "framework/Scoped.h"
#include "skin/MessageBox.h"
#include "skin/SkinImage.h"

using frametest::PixelAt;

namespace {

constexpr wchar_t kTitle[] = L"tarvo - 砾歌";
constexpr int kIdClose = 50000;
constexpr int kStateW = 57, kStateH = 23;  // one state of PNG 133

HBITMAP Launcher(WORD id) { return LoadSkinImage(id, frametest::LauncherModule()); }

// Plays steps inside a box's modal loop. Each step gets the box's window.
// After the last step the box must go; one still open after some rounds of
// the queue is destroyed (its loop answers -1) and reported, so a faulty box
// cannot hang the test.
class BoxScript {
 public:
  using Step = std::function<void(HWND box)>;

  explicit BoxScript(std::vector<Step> steps) : steps_(std::move(steps)) {
    static const ATOM atom = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = Proc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"LgtBoxScript";
      return RegisterClassW(&wc);
    }();
    wnd_ = CreateWindowW(MAKEINTATOM(atom), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~BoxScript() { DestroyWindow(wnd_); }
  BoxScript(const BoxScript&) = delete;
  BoxScript& operator=(const BoxScript&) = delete;

  // Calls `show` (which runs a box with caption `caption`) with the steps
  // queued to run once its loop takes messages; returns what `show` answered.
  int Run(const std::function<int()>& show, const wchar_t* caption = kTitle) {
    caption_ = caption;
    PostMessageW(wnd_, WM_APP, 0, 0);
    return show();
  }

  HWND box() const { return box_; }
  size_t stepsRun() const { return next_; }
  bool allStepsRan() const { return next_ == steps_.size(); }
  bool leftOpen() const { return leftOpen_; }

 private:
  static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<BoxScript*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    if (msg == WM_APP && self) {
      self->Next();
      return 0;
    }
    return DefWindowProcW(w, msg, wp, lp);
  }

  // The box: a visible dialog of this thread with the caption.
  static BOOL CALLBACK FindBox(HWND w, LPARAM lp) {
    auto* self = reinterpret_cast<BoxScript*>(lp);
    wchar_t cls[16] = {}, text[128] = {};
    GetClassNameW(w, cls, 16);
    GetWindowTextW(w, text, 128);
    if (wcscmp(cls, L"#32770") == 0 && IsWindowVisible(w) && self->caption_ == text) {
      self->box_ = w;
      return FALSE;
    }
    return TRUE;
  }

  void Next() {
    if (!box_) EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(this));
    if (!box_ || !IsWindow(box_)) return;
    if (next_ < steps_.size()) {
      steps_[next_++](box_);
      PostMessageW(wnd_, WM_APP, 0, 0);
      return;
    }
    // What the last step set off may take a few more posted messages (a
    // click posts a close, say): the queue gets some rounds to drain first.
    if (++drainRounds_ < kDrainRounds) {
      PostMessageW(wnd_, WM_APP, 0, 0);
      return;
    }
    leftOpen_ = true;
    DestroyWindow(box_);
  }

  static constexpr int kDrainRounds = 20;
  int drainRounds_ = 0;

  std::vector<Step> steps_;
  std::wstring caption_;
  HWND wnd_ = nullptr;
  HWND box_ = nullptr;
  size_t next_ = 0;
  bool leftOpen_ = false;
};

int ShowBox(HWND owner, const wchar_t* text, UINT type, const wchar_t* caption = kTitle) {
  return SkinMessageBox(owner, text, caption, type, frametest::LauncherModule());
}

RECT ChildRect(HWND child, HWND parent) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string Text(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

std::wstring WindowText(HWND w) {
  wchar_t text[64] = {};
  GetWindowTextW(w, text, 64);
  return text;
}

void Click(HWND box, int id) { PostMessageW(GetDlgItem(box, id), BM_CLICK, 0, 0); }

// A key as the keyboard delivers it to the window with the focus.
void PressKey(HWND box, WPARAM key) {
  HWND focus = GetFocus();
  if (!focus || (focus != box && !IsChild(box, focus))) focus = box;
  const UINT scan = MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
  PostMessageW(focus, WM_KEYDOWN, key, 1 | (scan << 16));
  PostMessageW(focus, WM_KEYUP, key, 1 | (scan << 16) | (1u << 30) | (1u << 31));
}

// Alt+F4 as the system delivers it: a system key with the Alt flag.
void PressAltF4(HWND box) {
  PostMessageW(box, WM_SYSKEYDOWN, VK_F4,
               1 | (MapVirtualKeyW(VK_F4, MAPVK_VK_TO_VSC) << 16) | (1u << 29));
}

// The box's client area as it is on screen after a full paint, top row first.
struct Shot {
  int w = 0, h = 0;
  std::vector<uint32_t> px;
  COLORREF at(int x, int y) const { return PixelAt(px, w, x, y); }
};

Shot Snapshot(HWND box) {
  RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Shot s;
  RECT r{};
  GetClientRect(box, &r);
  s.w = r.right;
  s.h = r.bottom;
  fw::ScopedBitmap canvas(frametest::MakeDib(s.w, s.h, [](int, int) { return RGB(1, 2, 3); }));
  {
    fw::ScopedMemDC mem(CreateCompatibleDC(nullptr));
    fw::ScopedSelect sel(mem.get(), canvas.get());
    fw::ScopedWindowDC dc(box);
    BitBlt(mem.get(), 0, 0, s.w, s.h, dc.get(), 0, 0, SRCCOPY);
  }
  s.px = frametest::ReadPixels(canvas.get());
  return s;
}

bool Dark(COLORREF c) { return GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100; }

// Dark (text) pixels of `shot` in the rectangle.
int DarkPixels(const Shot& s, int left, int top, int right, int bottom) {
  int n = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) n += Dark(s.at(x, y)) ? 1 : 0;
  return n;
}

// The message as the box measures it: the dialog's font, no prefix handling.
SIZE TextExtent(HWND box, const std::wstring& line) {
  fw::ScopedWindowDC dc(box);
  fw::ScopedSelect sel(dc.get(), reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)));
  SIZE s{};
  GetTextExtentPoint32W(dc.get(), line.c_str(), static_cast<int>(line.size()), &s);
  return s;
}

int LineHeight(HWND box) {
  fw::ScopedWindowDC dc(box);
  fw::ScopedSelect sel(dc.get(), reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)));
  TEXTMETRICW tm{};
  GetTextMetricsW(dc.get(), &tm);
  return tm.tmHeight;
}

// Records the commands the box receives (what the dialog manager makes of keys).
class CommandRecorder {
 public:
  CommandRecorder() {
    current_ = this;
    hook_ = SetWindowsHookExW(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId());
  }
  ~CommandRecorder() {
    UnhookWindowsHookEx(hook_);
    current_ = nullptr;
  }
  CommandRecorder(const CommandRecorder&) = delete;
  CommandRecorder& operator=(const CommandRecorder&) = delete;
  std::vector<int> ids;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp) {
    const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lp);
    if (code == HC_ACTION && current_ && cwp->message == WM_COMMAND)
      current_->ids.push_back(LOWORD(cwp->wParam));
    return CallNextHookEx(nullptr, code, wp, lp);
  }
  static CommandRecorder* current_;
  HHOOK hook_ = nullptr;
};
CommandRecorder* CommandRecorder::current_ = nullptr;

// The bytes of a resource of the launcher.
std::vector<uint8_t> LauncherResource(const wchar_t* type, WORD id) {
  HMODULE m = frametest::LauncherModule();
  HRSRC res = FindResourceW(m, MAKEINTRESOURCEW(id), type);
  HGLOBAL data = res ? LoadResource(m, res) : nullptr;
  const auto* p = data ? static_cast<const uint8_t*>(LockResource(data)) : nullptr;
  if (!p) return {};
  return std::vector<uint8_t>(p, p + SizeofResource(m, res));
}

}  // namespace

TEST(MessageBoxWindow, EachButtonAnswersItsResultAndShowsItsText) {
  ASSERT_TRUE(frametest::LauncherModule());
  struct Button {
    int id;
    const wchar_t* text;
    int result;
  };
  struct Case {
    UINT type;
    std::vector<Button> buttons;
  } cases[] = {
      {MB_YESNO, {{5000, L"是", IDYES}, {5001, L"否", IDNO}}},
      {MB_OKCANCEL, {{5000, L"确定", IDOK}, {5001, L"取消", IDCANCEL}}},
      {MB_OK, {{5000, L"确定", IDOK}}},
      {MB_ABORTRETRYIGNORE, {{5000, L"确定", IDOK}}},
      {MB_ICONINFORMATION, {{5000, L"确定", IDOK}}},
  };
  for (const Case& c : cases) {
    for (const Button& pressed : c.buttons) {
      SCOPED_TRACE(testing::Message() << "type " << c.type << ", button " << pressed.id);
      std::vector<std::pair<RECT, std::wstring>> seen;
      RECT client{};
      BoxScript script({[&](HWND box) {
        GetClientRect(box, &client);
        for (int id : {5000, 5001}) {
          HWND b = GetDlgItem(box, id);
          if (b) seen.emplace_back(ChildRect(b, box), WindowText(b));
        }
        Click(box, pressed.id);
      }});
      EXPECT_EQ(script.Run([&] { return ShowBox(nullptr, L"Hi", c.type); }), pressed.result);
      EXPECT_TRUE(script.allStepsRan());
      EXPECT_FALSE(script.leftOpen());
      ASSERT_EQ(seen.size(), c.buttons.size());
      // Buttons one state big, 30 pixels above the bottom, 20 apart around
      // the middle or centred alone.
      const int cw = client.right, bottom = client.bottom - 30;
      const int firstLeft = c.buttons.size() == 2 ? cw / 2 - 10 - kStateW : (cw - kStateW) / 2;
      for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].second, c.buttons[i].text);
        const int left = firstLeft + static_cast<int>(i) * (kStateW + 20);
        const RECT expected{left, bottom - kStateH, left + kStateW, bottom};
        EXPECT_TRUE(EqualRect(&seen[i].first, &expected))
            << "button " << i << " at " << Text(seen[i].first) << ", expected " << Text(expected);
      }
    }
  }
}

TEST(MessageBoxWindow, ClosingAnswersCancelWhateverTheType) {
  struct Way {
    const char* name;
    std::function<void(HWND)> close;
  } ways[] = {
      {"caption close button", [](HWND box) { Click(box, kIdClose); }},
      {"Alt+F4", PressAltF4},
  };
  for (const Way& way : ways) {
    for (UINT type : {MB_YESNO, MB_OKCANCEL, MB_OK}) {
      SCOPED_TRACE(testing::Message() << way.name << ", type " << type);
      BoxScript script({[&](HWND box) {
        EXPECT_NE(GetDlgItem(box, kIdClose), nullptr) << "close button in the caption";
        way.close(box);
      }});
      EXPECT_EQ(script.Run([&] { return ShowBox(nullptr, L"Close me", type); }), IDCANCEL);
      EXPECT_FALSE(script.leftOpen());
    }
  }
}

TEST(MessageBoxWindow, EnterAndEscapeLeaveTheBoxOpen) {
  struct Case {
    UINT type;
    WPARAM key;
    int command;  // what the dialog manager makes of the key
    int button;   // clicked afterwards
    int result;
  } cases[] = {
      {MB_YESNO, VK_RETURN, IDOK, 5001, IDNO},
      {MB_YESNO, VK_ESCAPE, IDCANCEL, 5001, IDNO},
      {MB_OKCANCEL, VK_RETURN, IDOK, 5001, IDCANCEL},
      {MB_OKCANCEL, VK_ESCAPE, IDCANCEL, 5000, IDOK},
      {MB_OK, VK_ESCAPE, IDCANCEL, 5000, IDOK},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << ", key " << c.key);
    CommandRecorder commands;
    bool openAfterKey = false;
    BoxScript script({
        [&](HWND box) { PressKey(box, c.key); },
        [&](HWND box) {
          openAfterKey = IsWindowVisible(box) != FALSE;
          Click(box, c.button);
        },
    });
    EXPECT_EQ(script.Run([&] { return ShowBox(nullptr, L"Keys", c.type); }), c.result);
    EXPECT_TRUE(openAfterKey);
    EXPECT_TRUE(script.allStepsRan()) << "the box was gone before the click";
    ASSERT_FALSE(commands.ids.empty());
    EXPECT_EQ(commands.ids.front(), c.command) << "the key reached the box as its command";
  }
}

TEST(MessageBoxWindow, SizeFollowsTheMessage) {
  const std::wstring wide = L"A message that is wider than the two buttons together";
  const std::wstring ampersands(60, L'&');
  struct Case {
    const char* name;
    const wchar_t* text;              // nullptr: no message at all
    std::vector<std::wstring> lines;  // drawn lines, measured for the width
    int counted;                      // lines the height counts
  } cases[] = {
      {"short: two buttons and 60 wide", L"Hi", {L"Hi"}, 1},
      {"wide: message and 60", wide.c_str(), {wide}, 1},
      {"two lines: the wider one counts",
       L"Hi\nthere, second line",
       {L"Hi", L"there, second line"},
       2},
      {"a trailing line feed counts for the height only", L"Hi\n", {L"Hi"}, 2},
      {"no message", nullptr, {}, 1},
      {"ampersands are shown, not taken as prefixes", ampersands.c_str(), {ampersands}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RECT window{}, client{};
    int tw = 0, th = 0;
    BoxScript script({[&](HWND box) {
      GetWindowRect(box, &window);
      GetClientRect(box, &client);
      for (const std::wstring& line : c.lines) {
        const SIZE s = TextExtent(box, line);
        if (s.cx > tw) tw = s.cx;
      }
      th = LineHeight(box) * static_cast<int>(c.lines.size());
      Click(box, 5000);
    }});
    EXPECT_EQ(script.Run([&] { return ShowBox(nullptr, c.text, MB_YESNO); }), IDYES);
    const int expectedW = tw > 2 * kStateW ? tw + 60 : 2 * kStateW + 60;
    EXPECT_EQ(window.right - window.left, expectedW) << "measured " << tw;
    EXPECT_EQ(window.bottom - window.top, 3 * c.counted + 90 + th + kStateH);
    EXPECT_EQ(client.right, window.right - window.left) << "no system frame";
    EXPECT_EQ(window.left, 0) << "where the template puts it";
    EXPECT_EQ(window.top, 0);
  }
}

TEST(MessageBoxWindow, PaintsSkinButtonsAndMessage) {
  fw::ScopedBitmap skin(Launcher(131));
  fw::ScopedBitmap strip(Launcher(133));
  ASSERT_TRUE(skin && strip);
  int sw = 0, stripW = 0;
  const std::vector<uint32_t> skinPx = frametest::ReadPixels(skin.get(), &sw);
  const std::vector<uint32_t> stripPx = frametest::ReadPixels(strip.get(), &stripW);
  const COLORREF centre = PixelAt(skinPx, sw, 15, 40);
  ASSERT_FALSE(Dark(centre)) << "the light frame has a light centre";

  // A pixel of the button's normal state that no other state has, clear of
  // the text in the middle.
  POINT probe{-1, -1};
  for (int y = 0; y < kStateH && probe.x < 0; ++y)
    for (int x = 0; x < 12 && probe.x < 0; ++x) {
      const COLORREF normal = PixelAt(stripPx, stripW, x, y);
      bool unique = normal != kKeyColour && normal != centre;
      for (int state = 1; state < 4; ++state)
        unique = unique && PixelAt(stripPx, stripW, state * kStateW + x, y) != normal;
      if (unique) probe = POINT{x, y};
    }
  ASSERT_GE(probe.x, 0) << "the strip's normal state has a pixel of its own";
  const COLORREF normal = PixelAt(stripPx, stripW, probe.x, probe.y);

  struct Case {
    const char* name;
    const wchar_t* text;
    int drawn;  // lines drawn
  } cases[] = {
      {"one line", L"MMMM WWWW MMMM WWWW MMMM WWWW MMMM", 1},
      {"two lines", L"MMMM WWWW MMMM\nWWWW MMMM WWWW MMMM WWWW", 2},
      {"a trailing line feed draws the line whole", L"MMMM WWWW MMMM WWWW MMMM WWWW MMMM\n", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Shot shot;
    RECT button1{}, button2{};
    int lh = 0;
    BoxScript script({[&](HWND box) {
      shot = Snapshot(box);
      button1 = ChildRect(GetDlgItem(box, 5000), box);
      button2 = ChildRect(GetDlgItem(box, 5001), box);
      lh = LineHeight(box);
      Click(box, 5001);
    }});
    EXPECT_EQ(script.Run([&] { return ShowBox(nullptr, c.text, MB_YESNO); }), IDNO);
    ASSERT_GT(shot.w, 0);
    const int W = shot.w;

    EXPECT_EQ(shot.at(W / 2, 45), centre) << "light centre between the caption band and the text";
    EXPECT_EQ(shot.at(W / 2, 15), PixelAt(skinPx, sw, 15, 15)) << "caption band, stretched";
    EXPECT_EQ(shot.at(W - 8, 60), PixelAt(skinPx, sw, 15, 40)) << "centre at the right";
    EXPECT_EQ(shot.at(1, 60), PixelAt(skinPx, sw, 1, 40)) << "left border";
    for (const RECT& b : {button1, button2})
      EXPECT_EQ(shot.at(b.left + probe.x, b.top + probe.y), normal)
          << "button at " << Text(b) << " in its normal state";

    // The text: dark glyphs in each line, upper and lower half, from x 30
    // (the message is the widest thing), and nothing above or between.
    EXPECT_EQ(DarkPixels(shot, 4, 31, W - 4, 55), 0) << "above the first line";
    EXPECT_EQ(DarkPixels(shot, 4, 55, 30, 55 + c.drawn * (lh + 3)), 0) << "left of the text block";
    for (int i = 0; i < c.drawn; ++i) {
      SCOPED_TRACE(testing::Message() << "line " << i);
      const int top = 55 + i * (lh + 3);
      EXPECT_GT(DarkPixels(shot, 30, top, W - 30, top + lh / 2), 10) << "upper half";
      EXPECT_GT(DarkPixels(shot, 30, top + lh / 2, W - 30, top + lh), 10) << "lower half";
      EXPECT_EQ(DarkPixels(shot, 4, top + lh, W - 4, top + lh + 3), 0) << "gap below";
    }
  }
}

TEST(MessageBoxWindow, IsModalOverItsOwner) {
  struct Owner {
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
      if (m == WM_APP + 7) {
        ++*reinterpret_cast<int*>(GetWindowLongPtrW(w, GWLP_USERDATA));
        return 0;
      }
      return DefWindowProcW(w, m, wp, lp);
    }
  };
  WNDCLASSW wc{};
  wc.lpfnWndProc = Owner::Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"LgtBoxOwner";
  RegisterClassW(&wc);
  HWND owner = CreateWindowW(L"LgtBoxOwner", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 200,
                             500, 400, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_TRUE(owner);
  int ownerMessages = 0;
  SetWindowLongPtrW(owner, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&ownerMessages));

  bool enabledWhileOpen = true;
  HWND boxOwner = nullptr;
  int seenWhileOpen = -1;
  BoxScript script({
      [&](HWND box) {
        enabledWhileOpen = IsWindowEnabled(owner) != FALSE;
        boxOwner = GetWindow(box, GW_OWNER);
        PostMessageW(owner, WM_APP + 7, 0, 0);
      },
      [&](HWND box) {
        seenWhileOpen = ownerMessages;  // the owner's messages go on
        Click(box, 5000);
      },
  });
  EXPECT_EQ(script.Run([&] { return ShowBox(owner, L"Modal", MB_YESNO); }), IDYES);
  EXPECT_FALSE(enabledWhileOpen) << "the owner is disabled while the box is open";
  EXPECT_EQ(boxOwner, owner);
  EXPECT_EQ(seenWhileOpen, 1);
  EXPECT_TRUE(IsWindowEnabled(owner)) << "and enabled again afterwards";
  DestroyWindow(owner);
}

TEST(MessageBoxWindow, CtrlCCopiesCaptionMessageAndButtons) {
  // The key state Ctrl+C is read against; given back whatever happens.
  struct ControlDown {
    static void Set(bool down) {
      BYTE keys[256] = {};
      GetKeyboardState(keys);
      keys[VK_CONTROL] = down ? 0x80 : 0;
      SetKeyboardState(keys);
    }
    ControlDown() { Set(true); }
    ~ControlDown() { Set(false); }
  };
  // Nothing left over from an earlier run can pass for the copy.
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  std::wstring copied;
  BoxScript script({
      [&](HWND box) { PressKey(box, 'C'); },
      [&](HWND box) {
        if (OpenClipboard(nullptr)) {
          if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) copied = p;
            GlobalUnlock(data);
          }
          CloseClipboard();
        }
        Click(box, 5001);
      },
  });
  ControlDown control;
  EXPECT_EQ(
      script.Run([&] { return ShowBox(nullptr, L"确定要移除 tarvo砾歌登陆器吗？", MB_YESNO); }),
      IDNO);
  EXPECT_EQ(copied,
            L"---------------------------\r\ntarvo - 砾歌\r\n"
            L"---------------------------\r\n确定要移除 tarvo砾歌登陆器吗？\r\n"
            L"---------------------------\r\n是   否   \r\n"
            L"---------------------------\r\n");
}

TEST(MessageBoxWindow, MissingImagesStillGiveAUsableBox) {
  ASSERT_TRUE(frametest::LauncherModule());
  struct Case {
    const char* name;
    bool close;  // only the close image is there
    std::function<void(HWND)> answer;
    int result;
  } cases[] = {
      {"no image at all: Alt+F4 closes", false, PressAltF4, IDCANCEL},
      {"no image at all: the buttons still answer", false, [](HWND box) { Click(box, 5000); },
       IDYES},
      {"close image only: the close button closes", true, [](HWND box) { Click(box, kIdClose); },
       IDCANCEL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::pair<RECT, std::wstring>> buttons;
    BoxScript script({[&](HWND box) {
      for (int id : {5000, 5001})
        if (HWND b = GetDlgItem(box, id)) buttons.emplace_back(ChildRect(b, box), WindowText(b));
      Snapshot(box);  // paints without images
      c.answer(box);
    }});
    const int result = script.Run([&] {
      CMessageBox box(nullptr, frametest::LauncherModule());
      box.SetContent(MB_YESNO, kTitle, L"No images", nullptr, c.close ? Launcher(132) : nullptr,
                     nullptr, nullptr);
      return static_cast<int>(box.DoModal());
    });
    EXPECT_EQ(result, c.result);
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].second, L"是");
    EXPECT_EQ(buttons[1].second, L"否");
    for (const auto& b : buttons) {
      EXPECT_EQ(b.first.right - b.first.left, kStateW) << "a button to click, without its image";
      EXPECT_EQ(b.first.bottom - b.first.top, kStateH);
    }
  }
}

TEST(MessageBoxWindow, ImagesAndWindowsGoWithTheBox) {
  auto run = [](UINT type, int button) {
    BoxScript script({[&](HWND box) {
      Snapshot(box);
      Click(box, button);
    }});
    return script.Run([&] { return ShowBox(nullptr, L"Leak check\nsecond line", type); });
  };
  EXPECT_EQ(run(MB_YESNO, 5000), IDYES);  // warm-up: first-use allocations
  const test::GuiCounts before = test::CountGuiObjects();
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(run(MB_YESNO, 5001), IDNO);
    EXPECT_EQ(run(MB_OKCANCEL, kIdClose), IDCANCEL);
    EXPECT_EQ(run(MB_OK, 5000), IDOK);
  }
  const test::GuiCounts after = test::CountGuiObjects();
  EXPECT_EQ(after.gdi, before.gdi);
  EXPECT_EQ(after.user, before.user);

  // A box whose dialog cannot be made still lets go of its images, the
  // background included (the frame never took it).
  std::vector<frametest::ResourceCopy::Entry> entries;
  for (WORD id : {131, 132, 133})
    entries.push_back({L"PNG", id, 2052, LauncherResource(L"PNG", id)});
  ASSERT_FALSE(entries[0].bytes.empty());
  frametest::ResourceCopy imagesOnly(entries);
  ASSERT_TRUE(imagesOnly.Get());
  fw::ScopedBitmap check(LoadSkinImage(131, imagesOnly.Get()));
  ASSERT_TRUE(check) << "the copy has the images";
  check.reset();
  ASSERT_EQ(SkinMessageBox(nullptr, L"x", kTitle, MB_YESNO, imagesOnly.Get()), -1);  // warm-up
  const test::GuiCounts beforeFailed = test::CountGuiObjects();
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(SkinMessageBox(nullptr, L"x", kTitle, MB_YESNO, imagesOnly.Get()), -1);
  EXPECT_EQ(test::CountGuiObjects().gdi, beforeFailed.gdi);
}
