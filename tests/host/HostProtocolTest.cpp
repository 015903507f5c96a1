// The host window with real tab processes (the stand-in tab program): how a
// host starts, how logins are accepted or refused, how tabs arrive, are
// closed and end, how the host ends, and which keys it passes on. The host's
// side of the protocol is compared with the expected message sequence; the
// tab side with each stand-in's log.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "HostHarness.h"
#include "framework/Scoped.h"
#include "skin/SkinImage.h"
#include "Support.h"
#include "common/Constants.h"
#include "host/TabRules.h"

using hosttest::Box;
using hosttest::HostRun;
using hosttest::kBoxButton1;
using hosttest::kBoxButton2;
using hosttest::kBoxClose;
using hosttest::kStepMs;
using hosttest::kTitle;
using Lines = std::vector<std::string>;

namespace {

constexpr wchar_t kExitQuestion[] = L"窗口即将关闭，确定要退出游戏？";
constexpr wchar_t kTooManyTabs[] = L"当前窗体只支持3个游戏页";

const std::wstring kAlice = L"1服-一区-alice";
const std::wstring kBob = L"1服-一区-bob";
const std::wstring kCarol = L"2服-二区-carol";

std::string Marked() { return "syscommand close " + std::to_string(kLauncherMarker); }
std::string Accepted(const std::wstring& account) {
  return "copydata " + hosttest::Utf8(account) + " -> 1";
}
std::string Refused(const std::wstring& account) {
  return "copydata " + hosttest::Utf8(account) + " -> 0";
}

// The frame a stand-in announced, from its log line "frame <n>".
HWND FrameOf(const hosttest::StandinLog& log) {
  for (const std::string& l : log.Lines())
    if (l.rfind("frame ", 0) == 0) return static_cast<HWND>(LongToHandle(std::stol(l.substr(6))));
  return nullptr;
}

// A process's end, watched from its pid.
class Watched {
 public:
  explicit Watched(HANDLE process)
      : h_(process ? OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                 GetProcessId(process))
                   : nullptr) {}
  ~Watched() {
    if (h_) CloseHandle(h_);
  }
  Watched(const Watched&) = delete;
  Watched& operator=(const Watched&) = delete;
  bool valid() const { return h_ != nullptr; }
  bool Ended() const { return h_ && WaitForSingleObject(h_, 0) == WAIT_OBJECT_0; }
  DWORD ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(h_, &code);
    return code;
  }

 private:
  HANDLE h_;
};

std::wstring TextOf(const std::vector<Box>& boxes) {
  std::wstring all;
  for (const Box& b : boxes) all += b.text + L" | ";
  return all;
}

// ---------------------------------------------------------------------------

// The host starts practically invisible, 1 x 1 at (0, 0), while its first
// login runs; the first tab to arrive maximizes it into the work area and
// brings the tray icon and the sound state.
TEST(Host, StartsTinyAndGrowsWithTheFirstTab) {
  HostRun run;
  CTavrix3Dlg& host = run.host();
  const int first = run.NextTab(kAlice, L"--stay-hidden");
  ASSERT_TRUE(run.Start());
  const RECT tiny = host.GetWindowRect();
  EXPECT_EQ(tiny.left, 0);
  EXPECT_EQ(tiny.top, 0);
  EXPECT_EQ(tiny.right, 1);
  EXPECT_EQ(tiny.bottom, 1);
  EXPECT_NE(host.m_hPendingProcess.get(), nullptr) << "the first login is pending";
  EXPECT_FALSE(run.TrayIconExists());
  wchar_t title[64] = {};
  GetWindowTextW(run.hwnd(), title, 64);
  EXPECT_STREQ(title, kTitle);
  ASSERT_NE(host.m_hIcon, nullptr);
  EXPECT_EQ(SendMessageW(run.hwnd(), WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(host.m_hIcon));
  EXPECT_EQ(SendMessageW(run.hwnd(), WM_GETICON, ICON_SMALL, 0), reinterpret_cast<LRESULT>(host.m_hIcon));
  EXPECT_EQ(SendMessageW(run.hwnd(), WM_QUERYDRAGICON, 0, 0), reinterpret_cast<LRESULT>(host.m_hIcon));
  const LONG_PTR style = GetWindowLongPtrW(run.hwnd(), GWL_STYLE);
  EXPECT_TRUE(style & WS_CLIPCHILDREN) << "the tabs are not painted over";
  EXPECT_FALSE(style & WS_CAPTION) << "the skinned frame draws the caption";
  EXPECT_TRUE(GetWindowLongPtrW(host.m_lnkAddLogin.Hwnd(), GWL_STYLE) & SS_NOTIFY);

  ASSERT_TRUE(run.PumpUntil([&] { return host.TabCount() == 1; }));
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const RECT grown = host.GetWindowRect();
  EXPECT_TRUE(EqualRect(&grown, &work)) << hosttest::Describe(grown);
  EXPECT_TRUE(host.m_bMaximized);
  EXPECT_TRUE(run.TrayIconExists());
  EXPECT_EQ(host.m_nCurTab, 0);
  EXPECT_EQ(host.m_hPendingProcess.get(), nullptr) << "the pending login became the tab";
  EXPECT_EQ(GetAncestor(host.m_arrTabWnd[0], GA_PARENT), run.hwnd());
  // The host leaves it to the frame to show itself once its page is there.
  EXPECT_FALSE(IsWindowVisible(host.m_arrTabWnd[0]));
  EXPECT_TRUE(run.WaitLine(first, "sound-switch 0")) << "timer 3 runs";
}

// How the host answers a close: the marked close from a login that ended
// without a tab, a plain close (the taskbar, Alt+F4), with and without tabs
// and with and without a login still open.
TEST(Host, ClosesAndCancelledLogins) {
  enum class Pending { None, Ended, Terminated, Running };
  struct Case {
    const char* what;
    std::wstring first;   // switches of the first tab process
    std::wstring second;  // a further login (not waited for), or none
    long post;            // lParam of a close the test posts, -1 none
    int answer;           // to the exit question, 0 when none is expected
    bool quit;
    Pending pending;      // what became of the last login started
    Lines protocol;
  } cases[] = {
      {"first login cancelled", L"--cancel", L"", -1, 0, true, Pending::Ended, {Marked()}},
      {"first login sends no text", L"--payload empty", L"", -1, 0, true, Pending::Ended,
       {"copydata bytes=2 -> 0", Marked()}},
      {"closed while the first login is open", L"--hold", L"", 0, 0, true, Pending::Terminated,
       {"syscommand close 0"}},
      {"marked close while the first login is open", L"--hold", L"", kLauncherMarker, 0, true,
       Pending::Terminated, {Marked()}},
      {"one tab, further login cancelled", L"", L"--cancel", -1, 0, false, Pending::Ended,
       {Accepted(kAlice), "tab-created 0", Marked()}},
      {"one tab, further login open, marked close", L"", L"--hold", kLauncherMarker, 0, false,
       Pending::Running, {Accepted(kAlice), "tab-created 0", Marked()}},
      {"one tab, nothing pending, marked close: asks", L"", L"", kLauncherMarker, kBoxButton2,
       false, Pending::None, {Accepted(kAlice), "tab-created 0", Marked()}},
      {"one tab, plain close, 否", L"", L"", 0, kBoxButton2, false, Pending::None,
       {Accepted(kAlice), "tab-created 0", "syscommand close 0"}},
      {"one tab, plain close, box closed", L"", L"", 0, kBoxClose, false, Pending::None,
       {Accepted(kAlice), "tab-created 0", "syscommand close 0"}},
      {"one tab, plain close, 是", L"", L"", 0, kBoxButton1, true, Pending::None,
       {Accepted(kAlice), "tab-created 0", "syscommand close 0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HostRun run;
    CTavrix3Dlg& host = run.host();
    const int first = run.NextTab(kAlice, c.first);
    ASSERT_TRUE(run.Start());
    int last = first;
    if (c.first.empty()) {
      ASSERT_TRUE(run.PumpUntil([&] { return host.TabCount() == 1; })) << run.Tab(first).Text();
      ASSERT_TRUE(run.WaitPlaced(first));
      EXPECT_TRUE(run.TrayIconExists()) << "the first tab brings the tray icon";
    }
    if (!c.second.empty()) {
      last = run.NextTab(kBob, c.second);
      PostMessageW(run.hwnd(), WM_ADD_LOGIN, 1, 0);
    }
    const bool holds = (c.second.empty() ? c.first : c.second) == L"--hold";
    if (holds) {
      ASSERT_TRUE(run.WaitLine(last, "hold"));
    }
    Watched pending(host.m_hPendingProcess.get());
    if (c.post >= 0) PostMessageW(run.hwnd(), WM_SYSCOMMAND, SC_CLOSE, c.post);
    if (c.answer) run.Answer(c.answer);

    // Until the host ended, or the question was answered, or the login ended.
    ASSERT_TRUE(run.PumpUntil([&] {
      if (c.quit) return run.Quit();
      if (c.answer) return !run.AnswersLeft() && run.Protocol().size() == c.protocol.size();
      if (c.pending == Pending::Ended) return run.Tab(last).Has("exit");
      return run.Protocol().size() == c.protocol.size();
    })) << run.Tab(last).Text();
    run.Settle();

    EXPECT_EQ(run.Protocol(), c.protocol);
    EXPECT_EQ(run.Quit(), c.quit);
    if (c.answer) {
      ASSERT_EQ(run.Boxes().size(), 1u) << hosttest::Utf8(TextOf(run.Boxes()));
      const Box& b = run.Boxes()[0];
      EXPECT_EQ(b.caption, kTitle);
      EXPECT_EQ(b.text, kExitQuestion);
      EXPECT_EQ(b.type, UINT{MB_YESNO});
      EXPECT_EQ(b.button1, L"是");
      EXPECT_EQ(b.button2, L"否");
    } else {
      EXPECT_TRUE(run.Boxes().empty()) << "no question: " << hosttest::Utf8(TextOf(run.Boxes()));
    }
    if (c.quit) {
      EXPECT_FALSE(run.TrayIconAtQuit()) << "no tray icon is left behind";
    }
    if (c.quit && c.first.empty()) {
      // The tab was detached and told to close; its process ended with it.
      ASSERT_TRUE(run.WaitLine(first, "exit"));
      EXPECT_EQ(run.Tab(first).LinesAfter("shown"), (Lines{"close 0", "exit 0"}));
    }
    if (!c.first.empty() && c.quit) {
      // The host never grew: it ends as it started, 1 x 1.
      const RECT r = host.GetWindowRect();
      EXPECT_EQ(r.right - r.left, 1);
      EXPECT_EQ(r.bottom - r.top, 1);
    }
    EXPECT_EQ(host.m_hPendingProcess.get(), nullptr) << "no pending process is remembered";
    switch (c.pending) {
      case Pending::None:
        EXPECT_FALSE(pending.valid());
        break;
      case Pending::Ended:
        // The tab's own last line may still be on its way when the host ended.
        EXPECT_TRUE(run.PumpUntil([&] { return run.Tab(last).Has("exit"); }))
            << "the login ended by itself";
        break;
      case Pending::Terminated:
        ASSERT_TRUE(run.PumpUntil([&] { return pending.Ended(); }));
        EXPECT_EQ(pending.ExitCode(), 0u);
        EXPECT_FALSE(run.Tab(last).Has("exit")) << "ended from outside, not by itself";
        break;
      case Pending::Running:
        EXPECT_FALSE(pending.Ended()) << "forgotten, not ended";
        break;
    }
  }
}

// Client points on the strip: the body of tab i, and its close button.
int TabBodyX(int i) { return tabs::TabRect(i).left + 100; }
constexpr int kTabBodyY = 20;
int CloseButtonX(int i) { return tabs::TabCloseRect(i).left + 6; }
constexpr int kCloseButtonY = 9;

// The host's tabs by caption, in strip order.
std::vector<std::wstring> Captions(const CTavrix3Dlg& host) { return host.m_arrTabCaption; }

// A login that is refused is told so, ends with a marked close, and is
// accepted again once the tab holding that account has closed. Each tab
// process learns the host window and the tab count from its command line.
TEST(Host, SameAccountTwiceIsRefusedUntilItsTabCloses) {
  HostRun run;
  CTavrix3Dlg& host = run.host();
  ASSERT_TRUE(run.OpenTabs({kAlice, kBob}));

  const int again = run.NextTab(kAlice);
  PostMessageW(run.hwnd(), WM_ADD_LOGIN, 1, 0);
  ASSERT_TRUE(run.WaitLine(again, "exit")) << run.Tab(again).Text();
  run.Settle();
  EXPECT_EQ(run.Tab(again).LinesAfter("started"),
            (Lines{"copydata bytes=" + std::to_string((kAlice.size() + 1) * 2), "answer 0",
                   "refused", "exit 5"}));
  EXPECT_EQ(host.TabCount(), 2);
  EXPECT_EQ(host.m_hPendingProcess.get(), nullptr);
  EXPECT_TRUE(run.Boxes().empty()) << "the refused login says so itself; the host asks nothing";

  // Alice's tab closes (a middle click on it, confirmed); then she may log in again.
  run.Answer(kBoxButton1);
  run.PostMouse(WM_MBUTTONUP, TabBodyX(0), kTabBodyY);
  ASSERT_TRUE(run.PumpUntil([&] { return host.TabCount() == 1; }));
  ASSERT_TRUE(run.AddTab(kAlice));
  EXPECT_EQ(Captions(host), (std::vector<std::wstring>{kBob, kAlice}));

  EXPECT_EQ(run.Protocol(),
            (Lines{Accepted(kAlice), "tab-created 0", Accepted(kBob), "tab-created 0",
                   Refused(kAlice), Marked(), Accepted(kAlice), "tab-created 0"}));
  ASSERT_EQ(run.Boxes().size(), 1u);
  EXPECT_EQ(run.Boxes()[0].text, L"确定要退出账号：1服-一区-alice ?");
  EXPECT_EQ(run.Boxes()[0].type, UINT{MB_YESNO});

  // "/newgm /<host> /<tabs the host had>", as each process read it.
  const std::string host32 = std::to_string(HandleToLong(run.hwnd()));
  const int tabCounts[] = {0, 1, 2, 1};
  for (int i = 0; i < run.TabsStarted(); ++i) {
    SCOPED_TRACE(i);
    ASSERT_FALSE(run.Tab(i).Lines().empty());
    EXPECT_EQ(run.Tab(i).Lines()[0],
              "started host=" + host32 + " tabs=" + std::to_string(tabCounts[i]));
  }
}

// Three tabs are the most; a fourth login is refused with a message and no
// process, while a new window may still be asked for.
TEST(Host, FourthTabIsRefusedAndStartsNoProcess) {
  HostRun run;
  CTavrix3Dlg& host = run.host();
  ASSERT_TRUE(run.OpenTabs({kAlice, kBob, kCarol}));
  ASSERT_EQ(run.RunningStandins(), 3);

  const int fourth = run.NextTab(L"3服-三区-dave");
  run.Answer(kBoxButton1);
  PostMessageW(run.hwnd(), WM_ADD_LOGIN, 1, 0);
  ASSERT_TRUE(run.PumpUntil([&] { return run.Boxes().size() == 1 && !run.AnswersLeft(); }));
  run.Settle(300);
  const Box& b = run.Boxes()[0];
  EXPECT_EQ(b.caption, kTitle);
  EXPECT_EQ(b.text, kTooManyTabs);
  EXPECT_EQ(b.type, UINT{MB_OK});
  EXPECT_EQ(b.button1, L"确定");
  EXPECT_EQ(b.button2, L"");
  EXPECT_EQ(run.RunningStandins(), 3);
  EXPECT_EQ(host.m_hPendingProcess.get(), nullptr);
  EXPECT_TRUE(run.Tab(fourth).Text().empty()) << "that tab process never started";
  EXPECT_EQ(host.TabCount(), 3);

  // "否": another program instance, whatever the tab count.
  PostMessageW(run.hwnd(), WM_ADD_LOGIN, 0, 0);
  ASSERT_TRUE(run.PumpUntil([&] { return run.NewInstances() == 1; }));
  run.Settle();
  EXPECT_EQ(run.Boxes().size(), 1u);
  EXPECT_EQ(run.RunningStandins(), 3);
  EXPECT_FALSE(run.Quit());
}

// Closing one of three tabs: the question names its account; the tab that
// moves into its place becomes current, or the left neighbour when the
// rightmost closed. The closed tab leaves the host and its process ends.
TEST(Host, ClosingATabAsksAndSelectsItsNeighbour) {
  const std::vector<std::wstring> accounts = {kAlice, kBob, kCarol};
  struct Case {
    const char* what;
    int close;
    bool closeButton;  // else a middle click
    int answer;
    std::vector<std::wstring> left;
    int current;
  } cases[] = {
      {"middle, middle click", 1, false, kBoxButton1, {kAlice, kCarol}, 1},
      {"rightmost, close button", 2, true, kBoxButton1, {kAlice, kBob}, 1},
      {"leftmost, close button", 0, true, kBoxButton1, {kBob, kCarol}, 0},
      {"middle, 否", 1, false, kBoxButton2, {kAlice, kBob, kCarol}, 2},
      {"middle, box closed", 1, true, kBoxClose, {kAlice, kBob, kCarol}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HostRun run;
    CTavrix3Dlg& host = run.host();
    ASSERT_TRUE(run.OpenTabs(accounts));
    ASSERT_EQ(host.m_nCurTab, 2) << "the newest tab is current";
    std::vector<HWND> frames;
    for (int i = 0; i < 3; ++i) frames.push_back(FrameOf(run.Tab(i)));
    ASSERT_EQ(host.m_arrTabWnd, frames);

    run.Answer(c.answer);
    if (c.closeButton) {
      // Pressing selects the tab and shows the pressed button; the release
      // on the button closes.
      run.PostMouse(WM_LBUTTONDOWN, CloseButtonX(c.close), kCloseButtonY);
      run.PostMouse(WM_LBUTTONUP, CloseButtonX(c.close), kCloseButtonY);
    } else {
      run.PostMouse(WM_MBUTTONUP, TabBodyX(c.close), kTabBodyY);
    }
    ASSERT_TRUE(run.PumpUntil([&] { return !run.Boxes().empty() && !run.AnswersLeft(); }));
    const bool closes = c.answer == kBoxButton1;
    if (closes) {
      ASSERT_TRUE(run.WaitLine(c.close, "exit"));
    } else {
      run.Settle(300);
    }
    ASSERT_EQ(run.Boxes().size(), 1u);
    EXPECT_EQ(run.Boxes()[0].text, L"确定要退出账号：" + accounts[static_cast<size_t>(c.close)] + L" ?");
    EXPECT_EQ(Captions(host), c.left);
    EXPECT_EQ(host.m_nCurTab, c.current);
    EXPECT_EQ(host.m_nHotTab, -1);
    EXPECT_EQ(host.m_nCloseState, -1);
    for (int i = 0; i < 3; ++i) {
      SCOPED_TRACE(i);
      if (closes && i == c.close) {
        EXPECT_EQ(run.Tab(i).LinesAfter("shown"), (Lines{"close 0", "exit 0"}));
        continue;
      }
      EXPECT_FALSE(run.Tab(i).Has("close")) << "the other tabs stay";
      EXPECT_EQ(GetAncestor(frames[static_cast<size_t>(i)], GA_PARENT), run.hwnd());
      const bool current = host.m_arrTabWnd[static_cast<size_t>(host.m_nCurTab)] == frames[static_cast<size_t>(i)];
      EXPECT_EQ(IsWindowVisible(frames[static_cast<size_t>(i)]) != FALSE, current)
          << "only the current tab is shown";
    }
    EXPECT_FALSE(run.Quit());
  }
}

// The last tab is never closed alone: its close button and a middle click on
// it ask the exit question instead.
TEST(Host, TheLastTabAsksTheExitQuestion) {
  struct Case {
    const char* what;
    bool closeButton;
    int answer;
  } cases[] = {
      {"close button, 否", true, kBoxButton2},
      {"middle click, 否", false, kBoxButton2},
      {"close button, 是", true, kBoxButton1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HostRun run;
    CTavrix3Dlg& host = run.host();
    ASSERT_TRUE(run.OpenTabs({kAlice}));
    run.Answer(c.answer);
    if (c.closeButton) {
      run.PostMouse(WM_LBUTTONDOWN, CloseButtonX(0), kCloseButtonY);
      run.PostMouse(WM_LBUTTONUP, CloseButtonX(0), kCloseButtonY);
    } else {
      run.PostMouse(WM_MBUTTONUP, TabBodyX(0), kTabBodyY);
    }
    ASSERT_TRUE(run.PumpUntil([&] { return !run.Boxes().empty() && !run.AnswersLeft(); }));
    run.Settle(200);
    ASSERT_EQ(run.Boxes().size(), 1u);
    EXPECT_EQ(run.Boxes()[0].text, kExitQuestion);
    const bool leaves = c.answer == kBoxButton1;
    EXPECT_EQ(run.Quit(), leaves);
    EXPECT_EQ(host.m_nHotTab, -1);
    if (leaves) {
      ASSERT_TRUE(run.WaitLine(0, "exit"));
      EXPECT_EQ(run.Tab(0).LinesAfter("shown"), (Lines{"close 0", "exit 0"}));
    } else {
      EXPECT_EQ(host.TabCount(), 1);
      EXPECT_FALSE(run.Tab(0).Has("close"));
    }
  }
}

// The account-server text arrives from another process: a payload that is
// not one terminated text of the size given is refused, and nothing beyond
// the bytes sent is read.
TEST(Host, MalformedLoginTextsAreRefused) {
  HostRun run;
  CTavrix3Dlg& host = run.host();
  ASSERT_TRUE(run.OpenTabs({kAlice}));
  const size_t sent = (kBob.size() + 1) * 2;
  struct Case {
    const wchar_t* payload;
    size_t bytes;
  } cases[] = {
      {L"odd", sent - 1}, {L"nozero", sent - 2}, {L"empty", 2}, {L"huge", 200002}, {L"null", 0},
  };
  Lines protocol = run.Protocol();
  for (const Case& c : cases) {
    SCOPED_TRACE(hosttest::Utf8(c.payload));
    const int t = run.NextTab(kBob, std::wstring(L"--payload ") + c.payload);
    PostMessageW(run.hwnd(), WM_ADD_LOGIN, 1, 0);
    ASSERT_TRUE(run.WaitLine(t, "exit"));
    run.Settle();
    EXPECT_EQ(run.Tab(t).LinesAfter("copydata"), (Lines{"answer 0", "refused", "exit 5"}));
    protocol.push_back("copydata bytes=" + std::to_string(c.bytes) + " -> 0");
    protocol.push_back(Marked());
    EXPECT_EQ(run.Protocol(), protocol);
    EXPECT_EQ(Captions(host), std::vector<std::wstring>{kAlice});
    EXPECT_EQ(host.m_hPendingProcess.get(), nullptr);
  }
  // Bob himself is welcome.
  ASSERT_TRUE(run.AddTab(kBob));
  EXPECT_EQ(Captions(host), (std::vector<std::wstring>{kAlice, kBob}));
  EXPECT_TRUE(run.Boxes().empty());
  EXPECT_FALSE(run.Quit());
}

// A tab program whose path has blanks (an install folder under "Documents
// and Settings") still gets "/newgm" as its first argument.
TEST(Host, TabProgramInAFolderWithBlanks) {
  HostRun run;
  const std::wstring dir = test::MakeTempDir(L"blank") + L"\\tab program";
  ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
  const std::wstring copy = dir + L"\\helper_standin_tab.exe";
  ASSERT_TRUE(CopyFileW((test::ExeDir() + L"helper_standin_tab.exe").c_str(), copy.c_str(), FALSE));
  const int t = run.NextTabFrom(copy, kAlice);
  ASSERT_TRUE(run.Start());
  EXPECT_TRUE(run.PumpUntil([&] { return run.host().TabCount() == 1; })) << run.Tab(t).Text();
  EXPECT_EQ(run.Protocol(), (Lines{Accepted(kAlice), "tab-created 0"}));
  run.host().Destroy();
  run.PumpUntil([&] { return run.Tab(t).Has("exit"); });
  test::RemoveTree(dir.substr(0, dir.rfind(L'\\')));
}

// Keys pressed while the host (not a tab) has the focus. Escape would ask the
// exit question and Space would click the focused caption button; Enter
// has no meaning in the host. None of them does anything, and none is
// passed on to the tab.
TEST(Host, EscapeSpaceAndEnterDoNothing) {
  HostRun run;
  CTavrix3Dlg& host = run.host();
  ASSERT_TRUE(run.OpenTabs({kAlice}));
  const HWND frame = FrameOf(run.Tab(0));
  struct Case {
    const char* what;
    WPARAM key;
    HWND target;
  } cases[] = {
      {"Escape to the host", VK_ESCAPE, run.hwnd()},
      {"Space to the host", VK_SPACE, run.hwnd()},
      {"Enter to the host", VK_RETURN, run.hwnd()},
      {"Escape on the sound button", VK_ESCAPE, host.m_btnSound.Hwnd()},
      {"Space on the sound button", VK_SPACE, host.m_btnSound.Hwnd()},
      {"Enter on the sound button", VK_RETURN, host.m_btnSound.Hwnd()},
      {"Space on the link", VK_SPACE, host.m_lnkAddLogin.Hwnd()},
      {"Enter on the link", VK_RETURN, host.m_lnkAddLogin.Hwnd()},
  };
  size_t markers = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // As the keyboard delivers it: down, its character, up.
    const LPARAM scan =
        static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(c.key), MAPVK_VK_TO_VSC)) << 16;
    const WPARAM character = c.key == VK_RETURN ? L'\r' : c.key == VK_SPACE ? L' ' : 0x1B;
    PostMessageW(c.target, WM_KEYDOWN, c.key, 1 | scan);
    PostMessageW(c.target, WM_CHAR, character, 1 | scan);
    PostMessageW(c.target, WM_KEYUP, c.key, 1 | scan | (LPARAM{1} << 30) | (LPARAM{1} << 31));
    run.Settle(200);
    // Whatever the host passed on to the tab is there before this marker.
    PostMessageW(frame, WM_TAB_RELOAD_HOTKEYS, 0, 0);
    ++markers;
    ASSERT_TRUE(run.PumpUntil([&] { return run.Tab(0).LinesAfter("shown").size() >= markers; }));
    EXPECT_EQ(run.Tab(0).LinesAfter("shown"), Lines(markers, "reload-hotkeys"));
    EXPECT_TRUE(run.Boxes().empty()) << hosttest::Utf8(TextOf(run.Boxes()));
    EXPECT_FALSE(run.Quit());
    EXPECT_FALSE(host.m_bMuted) << "the sound button was not clicked";
    EXPECT_FALSE(host.m_dlgAddAcc.Hwnd() && host.m_dlgAddAcc.IsVisible()) << "nor the link";
    EXPECT_TRUE(host.IsVisible());
    EXPECT_EQ(host.TabCount(), 1);
  }
}

// Refresh (F5) and favourites (Ctrl+D, character 4 on its first press)
// pressed in the host belong to the page that is shown: the current tab
// when it is visible, else the game list window when that is visible, else
// nobody. Without tabs nothing is passed on.
TEST(Host, RefreshAndFavouritesGoToTheShownPage) {
  constexpr LPARAM kF5 = 0x003F0001;         // scan code 0x3F, one press
  constexpr LPARAM kCtrlD = 0x00200001;      // scan code 0x20
  constexpr LPARAM kCtrlDRepeat = 0x40200001;  // held down: the repeat flag
  struct Key {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
  };
  const Key f5{WM_KEYDOWN, VK_F5, kF5}, menuF5{WM_KEYDOWN, VK_F5, kLauncherMarker},
      ctrlD{WM_CHAR, 4, kCtrlD}, ctrlDHeld{WM_CHAR, 4, kCtrlDRepeat};
  const std::string f5Line = "keydown 116 " + std::to_string(kF5);
  const std::string menuF5Line = "keydown 116 " + std::to_string(kLauncherMarker);
  const std::string ctrlDLine = "char 4 " + std::to_string(kCtrlD);
  enum Who { kTab, kGameList };
  struct Case {
    const char* what;
    bool tab;            // a tab exists
    bool tabShown;       // ... and has shown its frame
    bool gameList;       // a game list window exists (shown)
    Key key;
    std::vector<std::string> atTab, atGameList;
  } cases[] = {
      {"F5, tab shown", true, true, false, f5, {f5Line}, {}},
      {"F5 from the menus, tab shown", true, true, false, menuF5, {menuF5Line}, {}},
      {"Ctrl+D, tab shown", true, true, false, ctrlD, {ctrlDLine}, {}},
      {"Ctrl+D held down", true, true, false, ctrlDHeld, {}, {}},
      {"F5, tab and game list shown", true, true, true, f5, {f5Line}, {}},
      {"F5, tab hidden, game list shown", true, false, true, f5, {}, {f5Line}},
      {"Ctrl+D, tab hidden, game list shown", true, false, true, ctrlD, {}, {ctrlDLine}},
      {"F5, tab hidden, no game list", true, false, false, f5, {}, {}},
      {"F5, game list but no tab", false, false, true, f5, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HostRun run;
    CTavrix3Dlg& host = run.host();
    int tab = -1, list = -1;
    if (c.tab) {
      tab = run.NextTab(kAlice, c.tabShown ? L"" : L"--stay-hidden");
      ASSERT_TRUE(run.Start());
      ASSERT_TRUE(run.PumpUntil([&] { return host.TabCount() == 1; }));
      ASSERT_TRUE(run.WaitPlaced(tab));
      if (c.gameList) {
        list = run.NextTab(L"game list", L"--gamelist");
        PostMessageW(run.hwnd(), WM_ADD_LOGIN, 1, 0);
      }
    } else {
      list = run.NextTab(L"game list", L"--gamelist");
      ASSERT_TRUE(run.Start());
    }
    if (list >= 0) {
      ASSERT_TRUE(run.PumpUntil([&] { return host.m_hGameListWnd != nullptr; }));
      ASSERT_TRUE(run.WaitPlaced(list));
      EXPECT_EQ(host.m_hGameListWnd, FrameOf(run.Tab(list)));
    }
    EXPECT_EQ(host.TabCount(), c.tab ? 1 : 0) << "a game list window is no tab";

    PostMessageW(run.hwnd(), c.key.msg, c.key.wp, c.key.lp);
    run.Settle(100);
    // Whatever the host passed on arrived before these markers.
    for (int t : {tab, list}) {
      if (t < 0) continue;
      PostMessageW(FrameOf(run.Tab(t)), WM_TAB_RELOAD_HOTKEYS, 0, 0);
      ASSERT_TRUE(run.WaitLine(t, "reload-hotkeys"));
    }
    const auto passedOn = [&](int t) {
      Lines keys;
      const std::string after = run.Tab(t).Has("shown") ? "shown" : "hidden";
      for (const std::string& l : run.Tab(t).LinesAfter(after)) {
        if (l == "reload-hotkeys") break;
        keys.push_back(l);
      }
      return keys;
    };
    if (tab >= 0) {
      EXPECT_EQ(passedOn(tab), c.atTab) << "at the tab";
    }
    if (list >= 0) {
      EXPECT_EQ(passedOn(list), c.atGameList) << "at the game list window";
    }
    EXPECT_TRUE(run.Boxes().empty());
    EXPECT_FALSE(run.Quit());
  }
}

// Timer 3 tells every tab the mute state, not the game list window; the
// sound button shows the muted image while muted.
TEST(Host, SoundStateReachesTheTabsAndTheButton) {
  HostRun run;
  CTavrix3Dlg& host = run.host();
  ASSERT_TRUE(run.OpenTabs({kAlice, kBob}));
  const int list = run.NextTab(L"game list", L"--gamelist");
  PostMessageW(run.hwnd(), WM_ADD_LOGIN, 1, 0);
  ASSERT_TRUE(run.PumpUntil([&] { return host.m_hGameListWnd != nullptr; }));
  SetCursorPos(640, 700);  // no hover on the caption buttons

  // Pixels where the two images of the sound button differ (normal state).
  HMODULE res = hosttest::LauncherModule();
  fw::ScopedBitmap on(LoadSkinImage(149, res)), off(LoadSkinImage(148, res));
  struct Probe {
    int x, y;
    COLORREF on, off;
  };
  std::vector<Probe> probes;
  {
    fw::ScopedMemDC a(CreateCompatibleDC(nullptr)), b(CreateCompatibleDC(nullptr));
    fw::ScopedSelect sa(a.get(), on.get()), sb(b.get(), off.get());
    for (int y = 2; y < 25 && probes.size() < 12; y += 3)
      for (int x = 2; x < 25 && probes.size() < 12; x += 2) {
        const COLORREF p = GetPixel(a.get(), x, y), q = GetPixel(b.get(), x, y);
        if (p != q && p != kKeyColour && q != kKeyColour) probes.push_back({x, y, p, q});
      }
  }
  ASSERT_GE(probes.size(), 4u);
  const auto shows = [&](bool muted) {
    HWND button = host.m_btnSound.Hwnd();
    RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    fw::ScopedWindowDC dc(button);
    int matches = 0;
    for (const Probe& p : probes) matches += GetPixel(dc.get(), p.x, p.y) == (muted ? p.off : p.on);
    return matches == static_cast<int>(probes.size());
  };

  ASSERT_TRUE(run.WaitLine(0, "sound-switch 0"));
  EXPECT_TRUE(shows(false));
  struct Step {
    bool muted;
    const char* line;
  } steps[] = {{true, "sound-switch 1"}, {false, "sound-switch 0"}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.line);
    const size_t before = run.Tab(1).Lines(true).size();
    PostMessageW(host.m_btnSound.Hwnd(), BM_CLICK, 0, 0);
    // Both tabs hear it at the next tick.
    ASSERT_TRUE(run.PumpUntil([&] {
      const Lines lines = run.Tab(1).Lines(true);
      return lines.size() > before && lines.back() == step.line && run.Tab(0).Lines(true).back() == step.line;
    }));
    EXPECT_EQ(host.m_bMuted != FALSE, step.muted);
    EXPECT_FALSE(host.m_btnSound.m_bHover);
    EXPECT_TRUE(shows(step.muted));
  }
  // The state changes in the order the clicks came, nothing in between.
  Lines changes;
  for (const std::string& l : run.Tab(0).Lines(true))
    if (l.rfind("sound-switch", 0) == 0 && (changes.empty() || changes.back() != l)) changes.push_back(l);
  EXPECT_EQ(changes, (Lines{"sound-switch 0", "sound-switch 1", "sound-switch 0"}));

  PostMessageW(FrameOf(run.Tab(list)), WM_TAB_RELOAD_HOTKEYS, 0, 0);
  ASSERT_TRUE(run.WaitLine(list, "reload-hotkeys"));
  EXPECT_EQ(run.Tab(list).LinesAfter("shown", true), Lines{"reload-hotkeys"})
      << "the game list window gets no sound state";
}

}  // namespace
