// The launcher itself, started in every mode: the steps it takes, in order.
// Steps whose parts are not built yet print one line each; the lines, in
// order, are the start-up sequence of the mode.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

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

TEST(Startup, StepsOfEveryMode) {
  struct Case {
    const wchar_t* args;
    std::vector<std::string> steps;
  } cases[] = {
      // Started from outside the install folder: installs and reports.
      {L"", {"InstallLauncher", "WriteDisableDays", "IncrementCounter(Inst)",
             kPing + "/install.htm?tag=lgtarvo&ver=3.0.0.1&count=0)", "WaitForPing"}},
      {L"/ChannelD", {"IncrementCounter(Tarvo)",
                      kPing + "/active.htm?tag=webchannel&ver=3.0.0.1&count=0)", "WaitForPing"}},
      {L"/LgTarvoD", {"CheckForUpdate(unforced)", "IncrementCounter(Game)",
                      kPing + "/active.htm?tag=lgtarvo&ver=3.0.0.1&count=0)",
                      "SetBrowserCacheLimit", "RunHostWindow"}},
      // No answer but Yes removes anything.
      {L"/uninst", {"SkinMessageBox(确定要移除 tarvo砾歌登陆器吗？)"}},
      // Forced update; when it is not applied the host opens without counting a start.
      {L"/update", {"CheckForUpdate(forced)", "RunUpdate", "SetBrowserCacheLimit", "RunHostWindow"}},
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
    EXPECT_EQ(StepLines(r.out), c.steps);
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
  EXPECT_EQ(StepLines(r.out),
            (std::vector<std::string>{"IncrementCounter(Game)",
                                      kPing + "/active.htm?tag=lgtarvo&ver=3.0.0.1&count=0)",
                                      "SetBrowserCacheLimit", "RunHostWindow"}));
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
