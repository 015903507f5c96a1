// Plays a tab process towards a host window, so the host can be tested
// without a login page or a game:
//
//   helper_standin_tab.exe /newgm /<host> /<tabs> [--account <text>]
//       [--cancel] [--hold] [--gamelist] [--stay-hidden]
//       [--payload odd|nozero|empty|huge|null] [--log <file>]
//
// 1. --cancel: posts the marked close (WM_SYSCOMMAND, SC_CLOSE, 5281) to the
//    host at once, as a cancelled login does, and ends.
//    --hold: a login the user has not finished: sends nothing and waits
//    until it is ended from outside or the host is gone.
// 2. Otherwise sends the account-server text (default "1服-一区-standin")
//    with WM_COPYDATA: dwData 0, cbData (length + 1) * 2, the text with its
//    terminator. --payload sends a malformed one instead:
//      odd     the same text with cbData one byte short (odd)
//      nozero  cbData = length * 2: no terminator within the payload
//      empty   just the terminator (cbData 2)
//      huge    100000 units of 'h' and the terminator
//      null    no data at all (lpData null, cbData 0)
// 3. Answer 0: posts the marked close and ends (the login was refused).
// 4. Otherwise creates its frame window (a top-level window titled with the
//    text), posts WM_TAB_CREATED (wParam the frame, lParam 1 with --gamelist,
//    else 0), makes the frame a child of the host, moves it into the host's
//    content area and shows it (not with --stay-hidden, like a frame whose
//    page never finishes loading).
// 5. Then, as a frame: every 800 ms checks that the host still exists; closes
//    on WM_SYSCOMMAND SC_CLOSE; raises the host on a left click; and reports
//    what the host sends it.
//
// Standard output, one line per event, in order (with --log, the same lines
// go to that file as UTF-8 too: a host starts its tab processes without
// handing them any handles, so a test reads them there):
//   started host=<n> tabs=<n>       the values read from the command line
//   no-host                         <host> is no window (ends with 2)
//   cancel                          marked close posted (--cancel)
//   hold                            waiting with the login open (--hold)
//   copydata bytes=<cbData>         about to send
//   answer <n> | no-answer          the host's reply, or none within 30 s
//   refused                         marked close posted after answer 0
//   frame <n>                       frame created, announced and re-parented
//   shown <x> <y> <width> <height>  placed in the host's client coordinates
//   hidden                          --stay-hidden
//   sound-switch <wParam>           WM_SOUND_SWITCH
//   reload-hotkeys                  WM_TAB_RELOAD_HOTKEYS
//   keydown|syskeydown|char <wParam> <lParam>   keys posted to the frame
//   raise-host                      after a left click raised the host
//   close <lParam>                  WM_SYSCOMMAND SC_CLOSE received
//   host-gone                       the 800 ms check found the host gone
//   frame-destroyed                 the frame was destroyed without SC_CLOSE
//   exit <code>                     last line
//
// Exit codes: 0 closed by SC_CLOSE, 2 bad command line or no host window,
// 3 host gone, 4 frame destroyed without SC_CLOSE (directly, or with the
// host window around it), 5 login refused, 6 login cancelled, 7 no answer
// to WM_COPYDATA.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "app/StartMode.h"
#include "common/Constants.h"
#include "host/TabRules.h"

namespace {

enum ExitCode : int {
  kExitClosed = 0,
  kExitUsage = 2,
  kExitHostGone = 3,
  kExitFrameDestroyed = 4,
  kExitRefused = 5,
  kExitCancelled = 6,
  kExitNoAnswer = 7,
};

constexpr UINT_PTR kHostWatchTimer = 2;
constexpr UINT kHostWatchMs = 800;
constexpr size_t kHugeUnits = 100000;
constexpr UINT kAnswerTimeoutMs = 30000;  // a host that hangs must not hang its tests too

HWND g_host = nullptr;
bool g_closing = false;
HANDLE g_log = INVALID_HANDLE_VALUE;

void Say(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Say(const char* format, ...) {
  char line[1024];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(line, sizeof(line) - 1, format, args);
  va_end(args);
  if (n < 0) n = 0;
  if (n > static_cast<int>(sizeof(line)) - 2) n = static_cast<int>(sizeof(line)) - 2;
  line[n++] = '\n';
  std::fwrite(line, 1, static_cast<size_t>(n), stdout);
  std::fflush(stdout);  // the test reads the lines while this process runs
  if (g_log != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(g_log, line, static_cast<DWORD>(n), &written, nullptr);
  }
}

long long Number(LPARAM value) { return static_cast<long long>(value); }

// Brings the host to the top of the z-order without taking the activation
// from the window that has it: the input of the host's thread is attached to
// the foreground thread for the moment of the two z-order changes.
void RaiseHost() {
  const HWND foreground = GetForegroundWindow();
  const DWORD hostThread = GetWindowThreadProcessId(g_host, nullptr);
  const DWORD foregroundThread = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
  const bool attached = foregroundThread && foregroundThread != hostThread &&
                        AttachThreadInput(hostThread, foregroundThread, TRUE);
  const UINT flags = SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE;
  SetWindowPos(g_host, HWND_TOPMOST, 0, 0, 0, 0, flags);
  SetWindowPos(g_host, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
  if (attached) AttachThreadInput(hostThread, foregroundThread, FALSE);
  Say("raise-host");
}

LRESULT CALLBACK FrameProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_TIMER:
      if (wParam == kHostWatchTimer && !IsWindow(g_host)) {
        KillTimer(wnd, kHostWatchTimer);
        Say("host-gone");
        PostQuitMessage(kExitHostGone);
      }
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) != SC_CLOSE) break;
      Say("close %lld", Number(lParam));
      g_closing = true;
      DestroyWindow(wnd);
      return 0;
    case WM_SOUND_SWITCH:
      Say("sound-switch %lld", Number(wParam));
      return 0;
    case WM_TAB_RELOAD_HOTKEYS:
      Say("reload-hotkeys");
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
      Say("%s %lld %lld", msg == WM_KEYDOWN ? "keydown" : msg == WM_SYSKEYDOWN ? "syskeydown" : "char",
          Number(wParam), Number(lParam));
      return 0;
    case WM_LBUTTONDOWN:
      RaiseHost();
      return 0;
    case WM_DESTROY:
      KillTimer(wnd, kHostWatchTimer);
      // Destroyed without SC_CLOSE: directly, or with the host around it.
      // Either way the tab has no window left, so it ends, as the frame of
      // a real tab ends its process with its main window.
      if (!g_closing) Say("frame-destroyed");
      PostQuitMessage(g_closing ? kExitClosed : kExitFrameDestroyed);
      return 0;
  }
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

struct Options {
  std::wstring account = tabs::BuildAccountServerText(L"1", L"一区", L"standin");
  std::wstring log;
  bool cancel = false;
  bool hold = false;
  bool gameList = false;
  bool stayHidden = false;
  std::wstring payload;  // empty: a well-formed one
};

bool ReadOptions(int argc, wchar_t** argv, Options* o) {
  for (int i = 4; i < argc; ++i) {
    const std::wstring a = argv[i];
    if (a == L"--account" && i + 1 < argc) {
      o->account = argv[++i];
    } else if (a == L"--payload" && i + 1 < argc) {
      o->payload = argv[++i];
      if (o->payload != L"odd" && o->payload != L"nozero" && o->payload != L"empty" &&
          o->payload != L"huge" && o->payload != L"null")
        return false;
    } else if (a == L"--log" && i + 1 < argc) {
      o->log = argv[++i];
    } else if (a == L"--cancel") {
      o->cancel = true;
    } else if (a == L"--hold") {
      o->hold = true;
    } else if (a == L"--gamelist") {
      o->gameList = true;
    } else if (a == L"--stay-hidden") {
      o->stayHidden = true;
    } else {
      return false;
    }
  }
  return true;
}

int Finish(int code) {
  Say("exit %d", code);
  return code;
}

void PostMarkedClose() { PostMessageW(g_host, WM_SYSCOMMAND, SC_CLOSE, kLauncherMarker); }

// Asks the host whether this login may start; false when it did not answer.
bool SendAccountServerText(const Options& o, LRESULT* answer) {
  std::vector<wchar_t> text(o.account.begin(), o.account.end());
  if (o.payload == L"empty") text.clear();
  if (o.payload == L"huge") text.assign(kHugeUnits, L'h');
  if (o.payload == L"nozero" && text.empty()) text.push_back(L'x');
  text.push_back(0);
  COPYDATASTRUCT cds{};
  cds.dwData = 0;
  cds.cbData = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  cds.lpData = text.data();
  if (o.payload == L"odd") cds.cbData -= 1;
  if (o.payload == L"nozero") cds.cbData -= sizeof(wchar_t);
  if (o.payload == L"null") cds.cbData = 0, cds.lpData = nullptr;
  Say("copydata bytes=%lu", cds.cbData);
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(g_host, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_NORMAL,
                           kAnswerTimeoutMs, &result)) {
    Say("no-answer");
    return false;
  }
  *answer = static_cast<LRESULT>(result);
  Say("answer %lld", Number(*answer));
  return true;
}

HWND CreateFrame(const Options& o) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = FrameProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"LgtStandinTabFrame";
  if (!RegisterClassExW(&wc)) return nullptr;
  // Created hidden and without a taskbar button, as the game frame is.
  return CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, o.account.c_str(),
                         WS_POPUP | WS_CLIPCHILDREN, 0, 0, 10, 10, nullptr, nullptr,
                         wc.hInstance, nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  bool matched = false;
  const StartArgs args = ParseSwitches(argc, argv, &matched);
  Options o;
  if (!matched || args.mode != StartMode::GameTab || !ReadOptions(argc, argv, &o)) {
    std::fprintf(stderr,
                 "usage: helper_standin_tab /newgm /<host> /<tabs> [--account <text>] [--cancel]\n"
                 "       [--hold] [--gamelist] [--stay-hidden] [--payload odd|nozero|empty|huge|null]\n"
                 "       [--log <file>]\n");
    return kExitUsage;
  }
  if (!o.log.empty()) {
    // Shared for reading (the test reads while this runs) and deleting (the
    // test may clean up its folder while a stand-in it lost track of runs).
    g_log = CreateFileW(o.log.c_str(), GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  // The host wrote its handle as a 32-bit value; widen it back the way the
  // system does for handles passed between processes.
  g_host = static_cast<HWND>(LongToHandle(static_cast<long>(args.hostWindow)));
  Say("started host=%ld tabs=%ld", static_cast<long>(args.hostWindow),
      static_cast<long>(args.hostTabCount));
  if (!IsWindow(g_host)) {
    Say("no-host");
    return Finish(kExitUsage);
  }

  if (o.cancel) {
    PostMarkedClose();
    Say("cancel");
    return Finish(kExitCancelled);
  }
  if (o.hold) {
    Say("hold");
    while (IsWindow(g_host)) Sleep(kHostWatchMs);
    Say("host-gone");
    return Finish(kExitHostGone);
  }
  LRESULT answer = 0;
  if (!SendAccountServerText(o, &answer)) return Finish(kExitNoAnswer);
  if (!answer) {
    PostMarkedClose();
    Say("refused");
    return Finish(kExitRefused);
  }

  const HWND frame = CreateFrame(o);
  if (!frame) return Finish(kExitUsage);
  // Announce first, then move in: the host files the window as a tab (or
  // as its game list) before the frame becomes its child.
  PostMessageW(g_host, WM_TAB_CREATED, reinterpret_cast<WPARAM>(frame), o.gameList ? 1 : 0);
  // A window that becomes another's child must carry WS_CHILD instead of
  // WS_POPUP (SetParent documentation), or it keeps behaving as a top-level
  // window: activation, and coordinates that are not its parent's.
  const LONG_PTR style = GetWindowLongPtrW(frame, GWL_STYLE);
  SetWindowLongPtrW(frame, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_POPUP)) | WS_CHILD);
  SetParent(frame, g_host);
  Say("frame %ld", HandleToLong(frame));
  SetTimer(frame, kHostWatchTimer, kHostWatchMs, nullptr);

  if (o.stayHidden) {
    Say("hidden");
  } else {
    RECT client{};
    GetClientRect(g_host, &client);
    const tabs::Rect area = tabs::ContentArea(client.right, client.bottom);
    MoveWindow(frame, area.left, area.top, area.Width(), area.Height(), TRUE);
    ShowWindow(frame, SW_SHOW);
    Say("shown %d %d %d %d", area.left, area.top, area.Width(), area.Height());
  }

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return Finish(static_cast<int>(msg.wParam));
}
