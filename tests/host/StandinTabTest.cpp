// The stand-in tab process against a small stand-in host window in this
// process: the login handshake over WM_COPYDATA, the frame moving into the
// host, the messages a host sends its tabs, and the three ways a tab ends
// (closed, refused or cancelled, host gone). Later host tests rely on the
// stand-in behaving like a real tab process, which these tests pin down.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "Support.h"
#include "common/Constants.h"
#include "host/TabRules.h"

namespace {

// Exit codes of the stand-in (see tests/helpers/standin_tab.cpp).
constexpr DWORD kExitClosed = 0;
constexpr DWORD kExitHostGone = 3;
constexpr DWORD kExitFrameDestroyed = 4;
constexpr DWORD kExitRefused = 5;
constexpr DWORD kExitCancelled = 6;
constexpr size_t kHugeUnits = 100000;

// Generous limit for the stand-in to reach a step; only a broken stand-in or
// host ever waits this long.
constexpr DWORD kStepMs = 15000;

// A host window that answers a tab's WM_COPYDATA and records what the tab
// sends it.
class StandinHost {
 public:
  enum class Answer { ByRules, Refuse };

  explicit StandinHost(Answer answer) : answer_(answer) {
    static const ATOM atom = [] {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof(wc);
      wc.lpfnWndProc = Proc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
      wc.lpszClassName = L"LgtStandinHost";
      return RegisterClassExW(&wc);
    }();
    wnd_ = CreateWindowExW(0, MAKEINTATOM(atom), L"stand-in host",
                           WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 10, 10, 700, 520,
                           nullptr, nullptr, GetModuleHandleW(nullptr), this);
  }
  ~StandinHost() { Destroy(); }
  StandinHost(const StandinHost&) = delete;
  StandinHost& operator=(const StandinHost&) = delete;

  HWND wnd() const { return wnd_; }
  void Destroy() {
    if (wnd_ && IsWindow(wnd_)) DestroyWindow(wnd_);
    wnd_ = nullptr;
  }

  // What arrived, in order.
  std::vector<size_t> copyDataBytes;
  std::vector<std::wstring> acceptedTexts;
  std::vector<std::pair<WPARAM, LPARAM>> tabCreated;
  std::vector<std::pair<WPARAM, LPARAM>> sysCommands;

 private:
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
      SetWindowLongPtrW(wnd, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<StandinHost*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (self) {
      switch (msg) {
        case WM_COPYDATA: {
          const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
          self->copyDataBytes.push_back(cds->cbData);
          std::wstring text;
          if (self->answer_ == Answer::Refuse ||
              !tabs::ReadAccountServerText(cds->lpData, cds->cbData, &text))
            return 0;
          self->acceptedTexts.push_back(text);
          return 1;
        }
        case WM_TAB_CREATED:
          self->tabCreated.emplace_back(wParam, lParam);
          return 0;
        case WM_SYSCOMMAND:
          // Recorded only: a close must not end this window behind the test's back.
          self->sysCommands.emplace_back(wParam, lParam);
          return 0;
        case WM_NCDESTROY:
          SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
          break;
      }
    }
    return DefWindowProcW(wnd, msg, wParam, lParam);
  }

  Answer answer_;
  HWND wnd_ = nullptr;
};

// The stand-in as a child process whose output is read while this thread
// keeps pumping messages for the host window (test::Run would block it, and
// the stand-in's WM_COPYDATA needs an answer from this thread).
class StandinTab : public test::Child {
 public:
  // Starts the stand-in with the command line a host gives a tab process,
  // followed by `options`.
  bool Start(HWND host, int tabCount, const std::wstring& options) {
    const std::wstring program = test::ExeDir() + L"helper_standin_tab.exe";
    std::vector<wchar_t> line(kTabCommandLineChars);
    if (!tabs::BuildTabCommandLine(program.c_str(), HandleToLong(host), tabCount, line.data(),
                                   line.size()))
      return false;
    std::wstring commandLine = line.data() + (L" " + options);
    return test::Child::Start(commandLine);
  }

  // Pumps until the stand-in has ended; false if it is still running after `ms`.
  bool WaitForExit(DWORD ms = kStepMs) {
    return test::Child::WaitForExit(ms);
  }

  // Pumps until the stand-in printed a line beginning with `prefix`; false
  // when it ended or ran out of time without printing one.
  bool WaitForLine(const std::string& prefix, DWORD ms = kStepMs) {
    const auto printed = [&] {
      for (const std::string& l : Lines())
        if (l.compare(0, prefix.size(), prefix) == 0) return true;
      return false;
    };
    test::PumpUntil([&] { return printed() || Exited(); }, ms);
    return printed();
  }

  // The lines after the first one beginning with `prefix`.
  std::vector<std::string> LinesAfter(const std::string& prefix) {
    std::vector<std::string> all = Lines();
    for (size_t i = 0; i < all.size(); ++i)
      if (all[i].compare(0, prefix.size(), prefix) == 0)
        return std::vector<std::string>(all.begin() + i + 1, all.end());
    return {};
  }
};

std::wstring AccountOption(const std::wstring& text) { return L"--account \"" + text + L"\""; }

TEST(StandinTab, AcceptedLoginPutsTheFrameIntoTheHost) {
  const std::wstring account = L"7服-电信一区-player";
  struct Case {
    const char* what;
    std::wstring options;
    LPARAM gameList;
    bool shown;
  } cases[] = {
      {"game tab", L"", 0, true},
      {"game list window", L"--gamelist", 1, true},
      {"page not loaded yet", L"--stay-hidden", 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StandinHost host(StandinHost::Answer::ByRules);
    ASSERT_TRUE(host.wnd());
    StandinTab tab;
    ASSERT_TRUE(tab.Start(host.wnd(), 1, AccountOption(account) + L" " + c.options));
    ASSERT_TRUE(tab.WaitForLine(c.shown ? "shown" : "hidden")) << tab.Output();
    EXPECT_EQ(tab.Lines().front(), "started host=" + std::to_string(HandleToLong(host.wnd())) + " tabs=1");

    // The handshake: one text with its terminator, then the announcement.
    ASSERT_TRUE(test::PumpUntil([&] { return !host.tabCreated.empty(); }, kStepMs));
    EXPECT_EQ(host.copyDataBytes, std::vector<size_t>{(account.size() + 1) * 2});
    EXPECT_EQ(host.acceptedTexts, std::vector<std::wstring>{account});
    ASSERT_EQ(host.tabCreated.size(), 1u);
    EXPECT_EQ(host.tabCreated[0].second, c.gameList);
    const HWND frame = reinterpret_cast<HWND>(host.tabCreated[0].first);
    DWORD framePid = 0;
    GetWindowThreadProcessId(frame, &framePid);
    EXPECT_EQ(framePid, tab.pid()) << "WM_TAB_CREATED names the stand-in's own frame";
    EXPECT_EQ(GetAncestor(frame, GA_PARENT), host.wnd());
    EXPECT_TRUE(GetWindowLongPtrW(frame, GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(IsWindowVisible(frame) != FALSE, c.shown);
    if (c.shown) {
      RECT client{}, placed{};
      GetClientRect(host.wnd(), &client);
      GetWindowRect(frame, &placed);
      MapWindowPoints(HWND_DESKTOP, host.wnd(), reinterpret_cast<POINT*>(&placed), 2);
      const tabs::Rect want = tabs::ContentArea(client.right, client.bottom);
      EXPECT_EQ(placed.left, want.left);
      EXPECT_EQ(placed.top, want.top);
      EXPECT_EQ(placed.right, want.right);
      EXPECT_EQ(placed.bottom, want.bottom);
    }

    // What a host sends a tab, then the close the way the host closes a tab.
    PostMessageW(frame, WM_SOUND_SWITCH, 1, 0);
    PostMessageW(frame, WM_TAB_RELOAD_HOTKEYS, 0, 0);
    PostMessageW(frame, WM_KEYDOWN, VK_F5, kLauncherMarker);
    PostMessageW(frame, WM_CHAR, 4, 0x00200001);
    PostMessageW(frame, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    ASSERT_TRUE(tab.WaitForLine("raise-host")) << tab.Output();
    SetParent(frame, nullptr);
    PostMessageW(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(tab.WaitForExit()) << tab.Output();
    EXPECT_EQ(tab.ExitCode(), kExitClosed);
    const std::vector<std::string> expected = {
        "sound-switch 1", "reload-hotkeys", "keydown 116 5281", "char 4 2097153",
        "raise-host",     "close 0",        "exit 0",
    };
    EXPECT_EQ(tab.LinesAfter(c.shown ? "shown" : "hidden"), expected);
    test::PumpFor(0);
    EXPECT_TRUE(host.sysCommands.empty()) << "an accepted tab never posts the marked close";
  }
}

// A login that ends without a frame posts exactly one marked close.
TEST(StandinTab, RefusedOrCancelledLoginPostsOneMarkedClose) {
  const std::wstring account = L"1服-一区-twice";
  const size_t sent = (account.size() + 1) * 2;
  struct Case {
    const char* what;
    std::wstring options;
    StandinHost::Answer answer;
    DWORD exitCode;
    std::vector<size_t> bytes;  // cbData of each WM_COPYDATA the host saw
  } cases[] = {
      {"the host holds this account already", L"", StandinHost::Answer::Refuse, kExitRefused, {sent}},
      {"login cancelled", L"--cancel", StandinHost::Answer::ByRules, kExitCancelled, {}},
      // Malformed payloads: what arrives is exactly what was sent, and the
      // host's reading refuses it.
      {"odd size", L"--payload odd", StandinHost::Answer::ByRules, kExitRefused, {sent - 1}},
      {"no terminator", L"--payload nozero", StandinHost::Answer::ByRules, kExitRefused, {sent - 2}},
      {"empty text", L"--payload empty", StandinHost::Answer::ByRules, kExitRefused, {2}},
      {"huge text", L"--payload huge", StandinHost::Answer::ByRules, kExitRefused, {(kHugeUnits + 1) * 2}},
      {"no data", L"--payload null", StandinHost::Answer::ByRules, kExitRefused, {0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StandinHost host(c.answer);
    ASSERT_TRUE(host.wnd());
    StandinTab tab;
    ASSERT_TRUE(tab.Start(host.wnd(), 0, AccountOption(account) + L" " + c.options));
    ASSERT_TRUE(tab.WaitForExit()) << tab.Output();
    EXPECT_EQ(tab.ExitCode(), c.exitCode) << tab.Output();
    // Everything the stand-in posted is queued by now.
    test::PumpFor(0);
    EXPECT_EQ(host.copyDataBytes, c.bytes);
    EXPECT_TRUE(host.acceptedTexts.empty());
    EXPECT_TRUE(host.tabCreated.empty());
    ASSERT_EQ(host.sysCommands.size(), 1u) << tab.Output();
    EXPECT_EQ(host.sysCommands[0].first, WPARAM{SC_CLOSE});
    EXPECT_EQ(host.sysCommands[0].second, LPARAM{kLauncherMarker});
  }
}

TEST(StandinTab, EndsWhenTheHostIsGone) {
  struct Case {
    const char* what;
    bool detachFirst;
    DWORD exitCode;
    const char* lastLines[2];
  } cases[] = {
      // Only the 800 ms check can notice: the frame is no longer the host's child.
      {"frame detached, host destroyed", true, kExitHostGone, {"host-gone", "exit 3"}},
      // The frame goes down with its parent.
      {"host destroyed around the frame", false, kExitFrameDestroyed, {"frame-destroyed", "exit 4"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StandinHost host(StandinHost::Answer::ByRules);
    ASSERT_TRUE(host.wnd());
    StandinTab tab;
    ASSERT_TRUE(tab.Start(host.wnd(), 0, AccountOption(L"2服-网通-gone")));
    ASSERT_TRUE(tab.WaitForLine("shown")) << tab.Output();
    ASSERT_TRUE(test::PumpUntil([&] { return !host.tabCreated.empty(); }, kStepMs));
    const HWND frame = reinterpret_cast<HWND>(host.tabCreated[0].first);
    if (c.detachFirst) SetParent(frame, nullptr);
    host.Destroy();
    ASSERT_TRUE(tab.WaitForExit()) << tab.Output();
    EXPECT_EQ(tab.ExitCode(), c.exitCode);
    const std::vector<std::string> lines = tab.LinesAfter("shown");
    EXPECT_EQ(lines, (std::vector<std::string>{c.lastLines[0], c.lastLines[1]}));
  }
}

}  // namespace
