// The launcher itself, started in every mode: the steps it takes, in order.
// Steps whose parts are not built yet print one line each; the lines, in
// order, are the start-up sequence of the mode.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include <cwchar>
#include <sstream>
#include <string>
#include <vector>

#include "Support.h"
#include "common/Constants.h"

namespace {

constexpr wchar_t kHost[] = L"127.0.0.1:1";

std::vector<std::string> StepLines(const std::string& out) {
  std::vector<std::string> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string prefix = "LgTarvo: ", suffix = ": not built yet";
    if (line.rfind(prefix, 0) == 0 && line.size() > prefix.size() + suffix.size() &&
        line.compare(line.size() - suffix.size(), suffix.size(), suffix) == 0) {
      lines.push_back(line.substr(prefix.size(), line.size() - prefix.size() - suffix.size()));
    }
  }
  return lines;
}

test::ProcessResult RunLauncher(const std::wstring& exe, const std::wstring& args) {
  SetEnvironmentVariableW(L"LGTARVO_PLATFORM_HOST", kHost);
  return test::Run(L"\"" + exe + L"\" " + args, 30000);
}

std::wstring Launcher() { return test::ExeDir() + L"LgTarvo.exe"; }

const std::string kPing = "StartPing(http://127.0.0.1:1";

// The host modes open the host window. It starts its first tab process, the
// launcher itself in "/newgm" mode, whose login (not built yet) answers
// "cancelled": that process posts the marked close, and the host, which has
// no tab yet, ends by itself without a question. Both processes write to the
// same output; the tab's lines come after the host started it, mixed in with
// the host's own.
const std::vector<std::string> kHostWindowSteps = {"InstallKeyboardHook", "ReloadHotKeys"};
const std::vector<std::string> kFirstTabSteps = {"SetBrowserCacheLimit", "RunLoginWindow"};

// Whether `lines` are `a` and `b` merged, each keeping its own order.
bool Interleaves(const std::vector<std::string>& lines, const std::vector<std::string>& a,
                 const std::vector<std::string>& b, size_t i = 0, size_t j = 0) {
  if (i + j == lines.size()) return i == a.size() && j == b.size();
  const std::string& next = lines[i + j];
  return (i < a.size() && a[i] == next && Interleaves(lines, a, b, i + 1, j)) ||
         (j < b.size() && b[j] == next && Interleaves(lines, a, b, i, j + 1));
}

// The steps of a host mode: `before` in this process, then the host
// window's own steps with its first tab's steps among them.
void ExpectHostSteps(const std::vector<std::string>& lines, const std::vector<std::string>& before) {
  ASSERT_GE(lines.size(), before.size() + 1);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + static_cast<long>(before.size()) + 1),
            [&] {
              std::vector<std::string> v = before;
              v.push_back(kHostWindowSteps[0]);  // the tab starts after this one
              return v;
            }());
  const std::vector<std::string> rest(lines.begin() + static_cast<long>(before.size()) + 1, lines.end());
  EXPECT_TRUE(Interleaves(rest, {kHostWindowSteps.begin() + 1, kHostWindowSteps.end()}, kFirstTabSteps))
      << testing::PrintToString(rest);
}

TEST(Startup, StepsOfEveryMode) {
  struct Case {
    const wchar_t* args;
    std::vector<std::string> steps;
    bool hostWindow = false;  // `steps` are those before the host window's
  } cases[] = {
      // Started from outside the install folder: installs and reports.
      {L"", {"InstallLauncher", "WriteDisableDays", "IncrementCounter(Inst)",
             kPing + "/install.htm?tag=lgtarvo&ver=3.0.0.1&count=0)", "WaitForPing"}},
      {L"/ChannelD", {"IncrementCounter(Tarvo)",
                      kPing + "/active.htm?tag=webchannel&ver=3.0.0.1&count=0)", "WaitForPing"}},
      {L"/LgTarvoD", {"CheckForUpdate(unforced)", "IncrementCounter(Game)",
                      kPing + "/active.htm?tag=lgtarvo&ver=3.0.0.1&count=0)",
                      "SetBrowserCacheLimit"}, true},
      // Forced update; when it is not applied the host opens without counting a start.
      {L"/update", {"CheckForUpdate(forced)", "RunUpdate", "SetBrowserCacheLimit"}, true},
      {L"/newgm /0 /0", {"SetBrowserCacheLimit", "RunLoginWindow"}},
      {L"/gmhall /0", {"SetBrowserCacheLimit", "CreateGameFrame"}},
      {L"/GMHALL", {"SetBrowserCacheLimit", "CreateGameFrame"}},
  };
  for (const Case& c : cases) {
    const test::ProcessResult r = RunLauncher(Launcher(), c.args);
    SCOPED_TRACE(testing::Message() << "arguments: \"" << testing::PrintToString(std::wstring(c.args))
                                    << "\"\n" << r.out);
    ASSERT_TRUE(r.started);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0u);
    if (c.hostWindow) {
      ExpectHostSteps(StepLines(r.out), c.steps);
    } else {
      EXPECT_EQ(StepLines(r.out), c.steps);
    }
  }
}

// The launcher as a child process that the test talks to while it runs
// (test::Run would block until it ends): its output is collected as it
// comes, its windows are found by its process id.
class RunningLauncher : public test::Child {
 public:
  bool Start(const std::wstring& args) {
    SetEnvironmentVariableW(L"LGTARVO_PLATFORM_HOST", kHost);
    return test::Child::Start(L"\"" + Launcher() + L"\" " + args);
  }

  // A visible top-level window of the launcher with class `cls` and text
  // `text`, once it is there; nullptr when the launcher ended first or
  // took longer than `ms`.
  HWND WaitForWindow(const wchar_t* cls, const wchar_t* text, DWORD ms) {
    struct Search {
      DWORD pid;
      const wchar_t* cls;
      const wchar_t* text;
      HWND found;
    } search{pid(), cls, text, nullptr};
    const auto find = [&] {
      EnumWindows(
          [](HWND w, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            wchar_t c[64] = {}, t[128] = {};
            GetClassNameW(w, c, 64);
            GetWindowTextW(w, t, 128);
            if (pid != s->pid || !IsWindowVisible(w) || wcscmp(c, s->cls) || wcscmp(t, s->text))
              return TRUE;
            s->found = w;
            return FALSE;
          },
          reinterpret_cast<LPARAM>(&search));
      return search.found != nullptr || Exited();
    };
    test::PumpUntil(find, ms);
    return search.found;
  }
};

std::wstring ClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) text = p;
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

// "/uninst" asks first, with the launcher's own message box: only "是"
// goes on to the removal.
TEST(Startup, UninstallAsksWithTheMessageBoxFirst) {
  // Generous: only a launcher that never shows its box or never ends waits this long.
  constexpr DWORD kStepMs = 20000;
  struct Case {
    const char* answer;
    int control;  // clicked in the box
    std::vector<std::string> steps;
  } cases[] = {
      {"否: nothing more happens", 5001, {}},
      {"caption close button: nothing more happens", 50000, {}},
      {"是: the removal", 5000, {"UninstallLauncher", "WaitForPing"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    RunningLauncher launcher;
    ASSERT_TRUE(launcher.Start(L"/uninst"));
    HWND box = launcher.WaitForWindow(L"#32770", L"tarvo - 砾歌", kStepMs);
    ASSERT_NE(box, nullptr) << "the question is shown\n" << launcher.Output();
    EXPECT_TRUE(StepLines(launcher.Output()).empty()) << "nothing happens before the answer";

    EXPECT_EQ(GetWindowLongPtrW(box, GWL_STYLE) & WS_CAPTION, 0)
        << "the skinned frame, not the system's";
    wchar_t text[32] = {};
    GetWindowTextW(GetDlgItem(box, 5000), text, 32);
    EXPECT_EQ(std::wstring(text), L"是");
    GetWindowTextW(GetDlgItem(box, 5001), text, 32);
    EXPECT_EQ(std::wstring(text), L"否");
    // The message, as the box copies it (Ctrl+C sends itself WM_COPY).
    if (OpenClipboard(nullptr)) {
      EmptyClipboard();
      CloseClipboard();
    }
    SendMessageW(box, WM_COPY, 0, 0);
    EXPECT_EQ(ClipboardText(),
              L"---------------------------\r\ntarvo - 砾歌\r\n"
              L"---------------------------\r\n确定要移除 tarvo砾歌登陆器吗？\r\n"
              L"---------------------------\r\n是   否   \r\n"
              L"---------------------------\r\n");

    HWND control = GetDlgItem(box, c.control);
    ASSERT_NE(control, nullptr);
    PostMessageW(control, BM_CLICK, 0, 0);
    ASSERT_TRUE(launcher.WaitForExit(kStepMs)) << launcher.Output();
    SCOPED_TRACE(launcher.Output());
    EXPECT_EQ(launcher.ExitCode(), 0u);
    EXPECT_EQ(StepLines(launcher.Output()), c.steps);
  }
}

TEST(Startup, InstalledCopyStartsTheHostWithoutInstalling) {
  wchar_t data[MAX_PATH];
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, data)));
  // Letter case does not matter for the folder test.
  const std::wstring folder = std::wstring(data) + L"\\tarvo\\GAMElogin";
  SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  const std::wstring exe = folder + L"\\LgTarvo-startup-test.exe";
  ASSERT_TRUE(CopyFileW(Launcher().c_str(), exe.c_str(), FALSE));
  const test::ProcessResult r = RunLauncher(exe, L"");
  DeleteFileW(exe.c_str());
  SCOPED_TRACE(r.out);
  EXPECT_FALSE(r.timedOut);
  EXPECT_EQ(r.exitCode, 0u);
  ExpectHostSteps(StepLines(r.out), {"IncrementCounter(Game)",
                                     kPing + "/active.htm?tag=lgtarvo&ver=3.0.0.1&count=0)",
                                     "SetBrowserCacheLimit"});
}

// A tab process whose login is cancelled tells its host with exactly one
// marked close, then ends.
TEST(Startup, CancelledLoginPostsOneMarkedCloseToTheHost) {
  struct Recorder {
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
      if (m == WM_SYSCOMMAND) {
        auto* seen = reinterpret_cast<std::vector<std::pair<WPARAM, LPARAM>>*>(
            GetWindowLongPtrW(w, GWLP_USERDATA));
        seen->emplace_back(wp, lp);
        return 0;
      }
      return DefWindowProcW(w, m, wp, lp);
    }
  };
  WNDCLASSW wc{};
  wc.lpfnWndProc = Recorder::Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"StandInHost";
  RegisterClassW(&wc);
  HWND host = CreateWindowW(L"StandInHost", L"host", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                            wc.hInstance, nullptr);
  ASSERT_TRUE(host);
  std::vector<std::pair<WPARAM, LPARAM>> seen;
  SetWindowLongPtrW(host, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&seen));

  const std::wstring args =
      L"/newgm /" + std::to_wstring(static_cast<long>(reinterpret_cast<LONG_PTR>(host))) + L" /0";
  const test::ProcessResult r = RunLauncher(Launcher(), args);
  test::PumpFor(300);
  DestroyWindow(host);
  EXPECT_EQ(r.exitCode, 0u);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].first, static_cast<WPARAM>(SC_CLOSE));
  EXPECT_EQ(seen[0].second, static_cast<LPARAM>(kLauncherMarker));
}

}  // namespace
