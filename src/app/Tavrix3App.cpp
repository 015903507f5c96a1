#include "app/Tavrix3App.h"

#include <commctrl.h>
#include <gdiplus.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cwchar>

#include "app/CrashDump.h"
#include "app/Steps.h"
#include "common/Platform.h"
#include "framework/Window.h"

CTavrix3App theApp;

HWND HostWindow = nullptr;
std::int32_t HostTabCount = 0;
std::wstring g_strGameUrl = std::wstring(L"http://") + platform::ClientServiceHost() + L"/webgame.htm";
std::wstring g_strCurrentUrl;
std::wstring g_strPageTitle;

namespace {

constexpr wchar_t kInstallSubfolder[] = L"\\Tarvo\\GameLogin";

// Report pages on the client service host, per counter.
constexpr wchar_t kInstallPage[] = L"/install.htm?tag=lgtarvo&ver=3.0.0.1";
constexpr wchar_t kStartPage[] = L"/active.htm?tag=lgtarvo&ver=3.0.0.1";
constexpr wchar_t kChannelPage[] = L"/active.htm?tag=webchannel&ver=3.0.0.1";

constexpr wchar_t kConfirmRemoval[] = L"确定要移除 tarvo砾歌登陆器吗？";
constexpr wchar_t kOleFailed[] = L"初始化OLE库失败";

}  // namespace

bool GetInstallFolder(wchar_t (&folder)[kPathChars]) {
  folder[0] = 0;
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) {
    folder[0] = 0;
    return false;
  }
  const size_t used = wcslen(folder);
  if (used + ARRAYSIZE(kInstallSubfolder) > kPathChars) {
    folder[0] = 0;
    return false;
  }
  wcscpy(folder + used, kInstallSubfolder);
  return true;
}

StartMode ParseStartMode() {
  HostWindow = nullptr;
  HostTabCount = 0;

  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  bool matched = false;
  const StartArgs args = ParseSwitches(argv ? argc : 0, argv, &matched);
  LocalFree(argv);
  if (matched) {
    if (args.mode == StartMode::GameTab || args.mode == StartMode::GameList) {
      // Handles are 32-bit values, sign-extended like LongToHandle.
      HostWindow = reinterpret_cast<HWND>(args.hostWindow);
      HostTabCount = args.hostTabCount;
    }
    return args.mode;
  }

  wchar_t program[kPathChars];
  const DWORD n = GetModuleFileNameW(nullptr, program, kPathChars);
  program[n < kPathChars ? n : kPathChars - 1] = 0;
  wchar_t folder[kPathChars];
  GetInstallFolder(folder);
  CharUpperBuffW(program, static_cast<DWORD>(wcslen(program)));
  CharUpperBuffW(folder, static_cast<DWORD>(wcslen(folder)));
  return IsInsideInstallFolder(program, folder) ? StartMode::Installed : StartMode::Install;
}

void CTavrix3App::Report(const wchar_t* counterKey, const wchar_t* page) {
  const unsigned count = IncrementCounter(counterKey);
  wchar_t url[kUrlChars];
  int n = _snwprintf(url, kUrlChars, L"http://%ls%ls&count=%u", platform::ClientServiceHost(), page,
                     count);
  if (n < 0 || n >= kUrlChars) return;  // a host that long cannot be reported to
  StartPing(url, *this);
}

bool CTavrix3App::InitInstance() {
  InstallCrashHandler();

  INITCOMMONCONTROLSEX icc{sizeof(icc), 0xFF};
  InitCommonControlsEx(&icc);
  fw::App::InitInstance();

  const StartMode mode = ParseStartMode();

  PingArgsCopied.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  PingDone.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));

  if (mode == StartMode::Uninstall) {
    if (SkinMessageBox(nullptr, kConfirmRemoval, kAppTitle, MB_YESNO) == IDYES) {
      UninstallLauncher(*this);
      WaitForPing(*this);
    }
    return false;
  }

  if (mode == StartMode::Update || mode == StartMode::DesktopShortcut) {
    const bool forced = mode == StartMode::Update;
    const bool published = CheckForUpdate(forced);
    // A forced update downloads whatever is published; otherwise only a newer build.
    if ((forced || published) && RunUpdate(*this)) {
      LaunchExecutable();
      RecordUpdateTime();
      return false;
    }
  }

  Gdiplus::GdiplusStartupInput gdiplus;  // version 1, GDI+'s own thread, external codecs
  if (Gdiplus::GdiplusStartup(&m_gdiplusToken, &gdiplus, nullptr) != Gdiplus::Ok) m_gdiplusToken = 0;

  switch (mode) {
    case StartMode::Install:
      InstallLauncher();
      WriteDisableDays();
      Report(L"Inst", kInstallPage);
      WaitForPing(*this);
      return false;
    case StartMode::ChannelShortcut: {
      wchar_t site[kUrlChars];
      _snwprintf(site, kUrlChars, L"http://%ls/", platform::GameHallSite());
      site[kUrlChars - 1] = 0;
      ShellExecuteW(nullptr, L"open", site, nullptr, nullptr, SW_SHOWMAXIMIZED);
      Report(L"Tarvo", kChannelPage);
      WaitForPing(*this);
      return false;
    }
    case StartMode::DesktopShortcut:
    case StartMode::Installed:
      Report(L"Game", kStartPage);  // not waited for: the host opens meanwhile
      break;
    default:
      break;
  }

  SetBrowserCacheLimit();

  if (mode == StartMode::GameTab || mode == StartMode::GameList) {
    if (FAILED(OleInitialize(nullptr))) {
      SkinMessageBox(nullptr, kOleFailed, kAppTitle, MB_OK);
      return false;
    }
    oleStarted_ = true;
    if (mode == StartMode::GameTab && RunLoginWindow(HostWindow) == IDCANCEL) {
      // Tell the host this tab will not come; without a host there is no one to tell.
      if (HostWindow) PostMessageW(HostWindow, WM_SYSCOMMAND, SC_CLOSE, kLauncherMarker);
      return false;
    }
    if (!CreateGameFrame(*this) || !MainWindow()) return false;
    // The frame shows itself inside the host once its first page arrives.
    HWND frame = MainWindow()->Hwnd();
    SetWindowTextW(frame, kAppTitle);
    ShowWindow(frame, SW_HIDE);
    UpdateWindow(frame);
    return true;
  }

  RunHostWindow(*this);
  return false;
}

int CTavrix3App::ExitInstance() {
  PingArgsCopied.reset();
  PingDone.reset();
  if (m_gdiplusToken) {
    Gdiplus::GdiplusShutdown(m_gdiplusToken);
    m_gdiplusToken = 0;
  }
  if (oleStarted_) {
    OleUninitialize();
    oleStarted_ = false;
  }
  return fw::App::ExitInstance();
}
