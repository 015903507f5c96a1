// The host's window-free rules: strip geometry and hit testing, repaint
// areas, layout, minimum size, the tab chosen after a close, the tab-process
// command line, the account-server text from WM_COPYDATA, and the close
// question.
#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "common/Constants.h"
#include "host/TabRules.h"

namespace {

using tabs::Rect;

std::string Show(const Rect& r) {
  return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" +
         std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")";
}

TEST(TabRules, TabRectangles) {
  struct Case {
    int tab;
    Rect tab_, caption, close;
  } cases[] = {
      {0, {120, 3, 309, 25}, {136, 8, 296, 22}, {296, 3, 309, 16}},
      {1, {309, 3, 498, 25}, {325, 8, 485, 22}, {485, 3, 498, 16}},
      {2, {498, 3, 687, 25}, {514, 8, 674, 22}, {674, 3, 687, 16}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "tab " << c.tab);
    EXPECT_EQ(Show(tabs::TabRect(c.tab)), Show(c.tab_));
    EXPECT_EQ(Show(tabs::TabCaptionRect(c.tab)), Show(c.caption));
    EXPECT_EQ(Show(tabs::TabCloseRect(c.tab)), Show(c.close));
  }
}

TEST(TabRules, StripHitCases) {
  struct Case {
    const char* what;
    int x, y, tabCount;
    bool onStrip;
    int tab;
    bool onClose;
  } cases[] = {
      {"no tabs: nothing is the strip", 200, 10, 0, false, -1, false},
      {"negative tab count", 200, 10, -1, false, -1, false},
      {"x = 120 is the frame's", 120, 10, 1, false, -1, false},
      {"x = 121 is tab 0", 121, 10, 1, true, 0, false},
      {"last pixel of the only tab", 308, 20, 1, true, 0, false},
      {"x = 309 ends a strip of one", 309, 10, 1, false, -1, false},
      {"x = 309 is tab 1 of two", 309, 10, 2, true, 1, false},
      {"x = 309 is tab 1 of three", 309, 10, 3, true, 1, false},
      {"top row y = 3", 200, 3, 1, true, 0, false},
      {"above the strip y = 2", 200, 2, 1, false, -1, false},
      {"bottom row y = 24", 200, 24, 1, true, 0, false},
      {"below the strip y = 25", 200, 25, 1, false, -1, false},
      {"negative point", -5, -5, 3, false, -1, false},
      {"close of tab 0, left edge", 296, 10, 1, true, 0, true},
      {"close of tab 0, right edge", 308, 10, 1, true, 0, true},
      {"left of close of tab 0", 295, 10, 1, true, 0, false},
      {"close of tab 0, top row", 296, 3, 1, true, 0, true},
      {"close of tab 0, y = 15 (press rule)", 300, 15, 1, true, 0, true},
      {"below close of tab 0, y = 16", 300, 16, 1, true, 0, false},
      {"close of tab 1", 485, 4, 2, true, 1, true},
      {"close of tab 1, right edge", 497, 15, 2, true, 1, true},
      {"x = 498 ends a strip of two", 498, 10, 2, false, -1, false},
      {"x = 498 is tab 2 of three", 498, 10, 3, true, 2, false},
      {"close of tab 2", 674, 10, 3, true, 2, true},
      {"right of close of tab 2", 687, 10, 3, false, -1, false},
      {"no wrap-around for an absurd count", 1000, 10, INT_MAX, true, 4, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const tabs::StripHitResult h = tabs::StripHit(c.x, c.y, c.tabCount);
    EXPECT_EQ(h.onStrip, c.onStrip);
    EXPECT_EQ(h.tab, c.tab);
    EXPECT_EQ(h.onCloseButton, c.onClose);
  }
}

// The hit rule and the painted rectangles must agree pixel for pixel, apart
// from the column x = 120, which the strip leaves to the frame.
TEST(TabRules, StripHitAgreesWithTheRectangles) {
  for (int n = 0; n <= tabs::kMaxTabs; ++n) {
    for (int y = -1; y <= 30; ++y) {
      for (int x = 100; x <= 720; ++x) {
        int inTab = -1;
        for (int i = 0; i < n; ++i)
          if (tabs::TabRect(i).Contains(x, y)) inTab = i;
        if (x == tabs::kStripLeft) inTab = -1;
        const tabs::StripHitResult h = tabs::StripHit(x, y, n);
        const bool inClose = inTab >= 0 && tabs::TabCloseRect(inTab).Contains(x, y);
        if (h.onStrip != (inTab >= 0) || h.tab != inTab || h.onCloseButton != inClose) {
          ADD_FAILURE() << "tabs " << n << " at (" << x << ", " << y << "): hit tab " << h.tab
                        << " close " << h.onCloseButton << ", rectangles say tab " << inTab
                        << " close " << inClose;
          return;
        }
      }
    }
  }
}

TEST(TabRules, RepaintAreas) {
  struct Case {
    const char* what;
    Rect got, want;
  } cases[] = {
      {"first tab added", tabs::NewTabInvalidRect(1), {120, 3, 309, 25}},
      {"third tab added", tabs::NewTabInvalidRect(3), {120, 3, 687, 25}},
      {"closed to one tab: the old second tab goes too", tabs::ClosedTabInvalidRect(1), {120, 3, 498, 25}},
      {"closed to two tabs", tabs::ClosedTabInvalidRect(2), {120, 3, 687, 25}},
  };
  for (const Case& c : cases) EXPECT_EQ(Show(c.got), Show(c.want)) << c.what;
}

TEST(TabRules, LayoutOfCaptionAndContent) {
  struct Case {
    int cx;
    Rect hide, sound, system, link;
  } cases[] = {
      {1000, {886, 0, 913, 27}, {859, 0, 886, 27}, {815, 0, 859, 28}, {715, 7, 807, 23}},
      {672, {558, 0, 585, 27}, {531, 0, 558, 27}, {487, 0, 531, 28}, {387, 7, 479, 23}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "client width " << c.cx);
    const tabs::CaptionLayout l = tabs::LayoutCaptionControls(c.cx);
    EXPECT_EQ(Show(l.hide), Show(c.hide));
    EXPECT_EQ(Show(l.sound), Show(c.sound));
    EXPECT_EQ(Show(l.system), Show(c.system));
    EXPECT_EQ(Show(l.addLogin), Show(c.link));
    EXPECT_EQ(l.system.left - l.addLogin.right, 8) << "gap between the link and the system button";
  }

  struct Area {
    int cx, cy;
    Rect want;
  } areas[] = {
      {640, 480, {4, 30, 636, 476}},
      {1050, 260, {4, 30, 1046, 256}},
      {8, 34, {4, 30, 4, 30}},
      {1, 1, {4, 30, 4, 30}},  // the host before its first tab: empty, not negative
  };
  for (const Area& a : areas)
    EXPECT_EQ(Show(tabs::ContentArea(a.cx, a.cy)), Show(a.want)) << a.cx << " x " << a.cy;
}

TEST(TabRules, MinimumHostSize) {
  struct Case {
    int tabs, width, height;
    bool changed;
    int wantWidth, wantHeight;
  } cases[] = {
      {0, 1, 1, false, 1, 1},  // the 1 x 1 host waiting for its first tab
      {1, 100, 100, true, 672, 260},
      {2, 100, 900, true, 861, 900},
      {3, 1049, 259, true, 1050, 260},
      {3, 1050, 260, false, 1050, 260},
      {3, 1920, 1080, false, 1920, 1080},
      {1, 672, 10, true, 672, 260},
      {INT_MAX, 10, 10, true, INT_MAX, 260},
  };
  for (const Case& c : cases) {
    int w = c.width, h = c.height;
    SCOPED_TRACE(testing::Message() << c.tabs << " tabs, " << c.width << " x " << c.height);
    EXPECT_EQ(tabs::RaiseToMinimumSize(c.tabs, &w, &h), c.changed);
    EXPECT_EQ(w, c.wantWidth);
    EXPECT_EQ(h, c.wantHeight);
  }
}

TEST(TabRules, CurrentTabAfterClose) {
  struct Case {
    int closed, count, current;
  } cases[] = {
      {0, 3, 0}, {1, 3, 1}, {2, 3, 1},  // the right neighbour moves in; the last gives way left
      {0, 2, 0}, {1, 2, 0},
      {0, 1, -1},   // the last tab is never closed alone
      {3, 3, -1}, {-1, 3, -1}, {0, 0, -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(tabs::CurrentTabAfterClose(c.closed, c.count), c.current)
        << "closing " << c.closed << " of " << c.count;
}

TEST(TabRules, TabCommandLine) {
  const std::wstring installed = L"C:\\ProgramData\\Tarvo\\GameLogin\\LgTarvo.exe";
  const std::wstring spaced = L"C:\\Program Files\\Tarvo\\LgTarvo.exe";
  // The longest path that still fits with " /newgm /1234 /0" (16 characters)
  // and the terminator, and one character more.
  const std::wstring fits(kTabCommandLineChars - 1 - 16, L'p');
  const std::wstring tooLong = fits + L"p";
  const std::wstring longest = L"C:\\a b\\" + std::wstring(kPathChars - 1 - 7, L'q');
  struct Case {
    const char* what;
    std::wstring path;
    std::int32_t host;
    int count;
    bool ok;
    std::wstring line;
  } cases[] = {
      {"first tab", installed, 1234, 0, true, installed + L" /newgm /1234 /0"},
      {"third tab", installed, 1234, 2, true, installed + L" /newgm /1234 /2"},
      {"handle with the top bit set", installed, -5, 1, true, installed + L" /newgm /-5 /1"},
      {"largest handle", installed, INT32_MAX, 0, true, installed + L" /newgm /2147483647 /0"},
      {"smallest handle", installed, INT32_MIN, 0, true, installed + L" /newgm /-2147483648 /0"},
      {"blanks in the path are quoted", spaced, 77, 1, true, L"\"" + spaced + L"\" /newgm /77 /1"},
      {"exactly fills the buffer", fits, 1234, 0, true, fits + L" /newgm /1234 /0"},
      {"one character too long", tooLong, 1234, 0, false, L""},
      {"a longer count no longer fits", fits, 1234, 10, false, L""},
      // The longest path the program file can have still leaves room.
      {"quoted path of MAX_PATH - 1", longest, INT32_MIN, 2, true, L"\"" + longest + L"\" /newgm /-2147483648 /2"},
      {"empty path", L"", 1234, 0, false, L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<wchar_t> buf(kTabCommandLineChars, L'#');
    const bool ok = tabs::BuildTabCommandLine(c.path.c_str(), c.host, c.count, buf.data(), buf.size());
    EXPECT_EQ(ok, c.ok);
    EXPECT_EQ(std::wstring(buf.data()), c.line);  // terminated, and empty on refusal
    if (!ok) continue;
    // The tab process splits the line by the system's rules and must find
    // the switch and both values in its arguments 1 to 3.
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(buf.data(), &argc);
    ASSERT_EQ(argc, 4);
    EXPECT_EQ(std::wstring(argv[0]), c.path);
    EXPECT_EQ(std::wstring(argv[1]), L"/newgm");
    EXPECT_EQ(std::wstring(argv[2]), L"/" + std::to_wstring(c.host));
    EXPECT_EQ(std::wstring(argv[3]), L"/" + std::to_wstring(c.count));
    LocalFree(argv);
  }
  wchar_t one[1] = {L'#'};
  EXPECT_FALSE(tabs::BuildTabCommandLine(installed.c_str(), 1, 0, one, 1));
  EXPECT_EQ(one[0], 0);
  EXPECT_FALSE(tabs::BuildTabCommandLine(installed.c_str(), 1, 0, nullptr, 288));
  EXPECT_FALSE(tabs::BuildTabCommandLine(nullptr, 1, 0, one, 1));
}

// A payload placed so that its last byte is the last readable byte of
// memory: reading one byte past it faults, so the test crashes instead of
// passing when the reader looks beyond the payload.
class PayloadAtPageEnd {
 public:
  explicit PayloadAtPageEnd(const std::vector<unsigned char>& bytes) {
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    const size_t page = si.dwPageSize;
    const size_t pages = (bytes.size() + page - 1) / page + 1;
    base_ = static_cast<unsigned char*>(
        VirtualAlloc(nullptr, pages * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    DWORD old = 0;
    VirtualProtect(base_ + (pages - 1) * page, page, PAGE_NOACCESS, &old);
    data_ = base_ + (pages - 1) * page - bytes.size();
    if (!bytes.empty()) std::memcpy(data_, bytes.data(), bytes.size());
  }
  ~PayloadAtPageEnd() { VirtualFree(base_, 0, MEM_RELEASE); }
  PayloadAtPageEnd(const PayloadAtPageEnd&) = delete;
  PayloadAtPageEnd& operator=(const PayloadAtPageEnd&) = delete;
  const void* data() const { return data_; }

 private:
  unsigned char* base_ = nullptr;
  unsigned char* data_ = nullptr;
};

std::vector<unsigned char> Units(const std::u16string& text) {
  std::vector<unsigned char> b(text.size() * 2);
  std::memcpy(b.data(), text.data(), b.size());
  return b;
}

TEST(TabRules, AccountServerTextFromCopyData) {
  const std::u16string login = u"1服-一区-player-x";
  const std::u16string atCap(tabs::kMaxAccountServerChars, u'a');
  const std::u16string overCap(tabs::kMaxAccountServerChars + 1, u'a');
  const std::u16string huge(1 << 20, u'h');
  struct Case {
    const char* what;
    std::vector<unsigned char> bytes;
    bool ok;
    std::u16string text;
  } cases[] = {
      {"as a tab sends it: text and terminator", Units(login + u'\0'), true, login},
      {"stops at the first zero", Units(u"ab" + std::u16string(1, 0) + u"cd" + std::u16string(1, 0)), true, u"ab"},
      {"bytes after the terminator are ignored", Units(u"ab" + std::u16string(1, 0) + u"zzzz"), true, u"ab"},
      {"zero bytes inside units are no terminator", {'a', 0, 0, 'b', 0, 0}, true, u"a\u6200"},
      {"units are kept as they are", Units(u"\xD800\xFFFF" + std::u16string(1, 0)), true, u"\xD800\xFFFF"},
      {"exactly the longest text", Units(atCap + u'\0'), true, atCap},
      {"long payload, short text", Units(u"ab" + std::u16string(1, 0) + huge), true, u"ab"},
      {"terminator just past the payload", Units(login), false, u""},
      {"no terminator, one byte short of a unit", [&] { auto b = Units(login + u'\0'); b.pop_back(); return b; }(), false, u""},
      {"odd size even with a terminator", [&] { auto b = Units(u"ab" + std::u16string(1, 0)); b.push_back(0); return b; }(), false, u""},
      {"one byte", {0}, false, u""},
      {"no bytes", {}, false, u""},
      {"empty text", Units(std::u16string(1, 0)), false, u""},
      {"one unit over the longest text", Units(overCap + u'\0'), false, u""},
      {"huge text", Units(huge + u'\0'), false, u""},
      {"huge, no terminator", Units(huge), false, u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const PayloadAtPageEnd payload(c.bytes);
    std::wstring text = L"previous";
    EXPECT_EQ(tabs::ReadAccountServerText(payload.data(), c.bytes.size(), &text), c.ok);
    EXPECT_EQ(text, std::wstring(c.text.begin(), c.text.end()));
  }
  std::wstring text = L"previous";
  EXPECT_FALSE(tabs::ReadAccountServerText(nullptr, 10, &text)) << "null data";
  EXPECT_EQ(text, L"");
  EXPECT_FALSE(tabs::ReadAccountServerText(nullptr, 0, &text)) << "null data, no bytes";
  const char16_t ok[] = u"ab";
  EXPECT_FALSE(tabs::ReadAccountServerText(ok, sizeof(ok), nullptr)) << "nowhere to put it";
}

TEST(TabRules, TabCloseQuestion) {
  struct Case {
    std::wstring caption, question;
  } cases[] = {
      {L"1服-一区-player", L"\u786E\u5B9A\u8981\u9000\u51FA\u8D26\u53F7\uFF1A1服-一区-player ?"},
      {L"", L"\u786E\u5B9A\u8981\u9000\u51FA\u8D26\u53F7\uFF1A ?"},
      {L"%s%n%%", L"\u786E\u5B9A\u8981\u9000\u51FA\u8D26\u53F7\uFF1A%s%n%% ?"},  // taken as text, never as a format
  };
  for (const Case& c : cases) EXPECT_EQ(tabs::TabCloseQuestion(c.caption), c.question);
}

}  // namespace
