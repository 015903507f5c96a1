#include "HostHarness.h"

#include <commctrl.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cwchar>

#include "Support.h"
#include "common/Constants.h"
#include "host/TabRules.h"
#include "skin/MessageBox.h"

namespace hosttest {

namespace {

// The run whose hooks and timer are active (one at a time per thread).
HostRun* g_run = nullptr;

constexpr UINT_PTR kBoxTimer = 1;
constexpr UINT kBoxTimerMs = 10;
constexpr UINT_PTR kRecordSubclass = 0x7e57;

std::wstring StandinProgram() { return test::ExeDir() + L"helper_standin_tab.exe"; }

}  // namespace

HMODULE LauncherModule() {
  static HMODULE module = LoadLibraryExW((test::ExeDir() + L"LgTarvo.exe").c_str(), nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  return module;
}

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
  return s;
}

RECT RectInParent(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetAncestor(child, GA_PARENT), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string Describe(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

// ---------------------------------------------------------------------------

std::string StandinLog::Text() const {
  HANDLE f = CreateFileW(path_.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return {};
  std::string text;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(f, buf, sizeof(buf), &got, nullptr) && got) text.append(buf, got);
  CloseHandle(f);
  return text;
}

std::vector<std::string> StandinLog::Lines(bool withSound) const {
  const std::string text = Text();
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = text.substr(start, end - start);
    if (withSound || line.rfind("sound-switch", 0) != 0) lines.push_back(line);
  }
  return lines;
}

bool StandinLog::Has(const std::string& prefix) const {
  for (const std::string& l : Lines(true))
    if (l.compare(0, prefix.size(), prefix) == 0) return true;
  return false;
}

std::vector<std::string> StandinLog::LinesAfter(const std::string& prefix, bool withSound) const {
  const std::vector<std::string> all = Lines(withSound);
  for (size_t i = 0; i < all.size(); ++i)
    if (all[i].compare(0, prefix.size(), prefix) == 0)
      return std::vector<std::string>(all.begin() + static_cast<long>(i) + 1, all.end());
  return {};
}

// ---------------------------------------------------------------------------

HostRun::HostRun() {
  dir_ = test::MakeTempDir(L"host");
  app_.reset(new fw::App);
  host_.reset(new CTavrix3Dlg(LauncherModule()));
  host_->m_pfnLaunchExecutable = &HostRun::LaunchRecorder;
  app_->SetMainWindow(host_.get());
  g_run = this;
  static const ATOM atom = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = TimerWndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LgtHostRunTimer";
    return RegisterClassW(&wc);
  }();
  timerWnd_ = CreateWindowW(MAKEINTATOM(atom), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  SetTimer(timerWnd_, kBoxTimer, kBoxTimerMs, nullptr);
  getMessageHook_ = SetWindowsHookExW(WH_GETMESSAGE, GetMessageHook, nullptr, GetCurrentThreadId());
}

HostRun::~HostRun() {
  if (getMessageHook_) UnhookWindowsHookEx(getMessageHook_);
  if (timerWnd_) DestroyWindow(timerWnd_);
  if (host_->Hwnd()) RemoveWindowSubclass(host_->Hwnd(), RecordSent, kRecordSubclass);
  host_.reset();
  app_.reset();
  // Tab processes the host did not end end here (a host window that is
  // destroyed takes the frames inside it along; a held login would wait).
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap != INVALID_HANDLE_VALUE) {
    PROCESSENTRY32W pe{};
    pe.dwSize = sizeof(pe);
    for (BOOL ok = Process32FirstW(snap, &pe); ok; ok = Process32NextW(snap, &pe)) {
      if (pe.th32ParentProcessID != GetCurrentProcessId() ||
          _wcsicmp(pe.szExeFile, L"helper_standin_tab.exe") != 0)
        continue;
      if (HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pe.th32ProcessID)) {
        TerminateProcess(p, 999);
        WaitForSingleObject(p, 5000);
        CloseHandle(p);
      }
    }
    CloseHandle(snap);
  }
  // A WM_QUIT of this run must not end the next one's loop.
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  if (g_run == this) g_run = nullptr;
  test::RemoveTree(dir_);
}

int HostRun::NextTab(const std::wstring& account, const std::wstring& switches) {
  return NextTabFrom(StandinProgram(), account, switches);
}

int HostRun::NextTabFrom(const std::wstring& program, const std::wstring& account,
                         const std::wstring& switches) {
  const std::wstring log = dir_ + L"\\tab" + std::to_wstring(logs_.size()) + L".log";
  std::wstring args = L"--account \"" + account + L"\" --log \"" + log + L"\"";
  if (!switches.empty()) args += L" " + switches;
  host_->SetTabProgram(program, args);
  logs_.emplace_back(log);
  return static_cast<int>(logs_.size()) - 1;
}

bool HostRun::Start() {
  if (!host_->Create(nullptr)) return false;
  // The first tab process is running already, but its text can only arrive
  // once this thread takes messages again.
  SetWindowSubclass(host_->Hwnd(), RecordSent, kRecordSubclass, 0);
  return true;
}

bool HostRun::WaitPlaced(int i) {
  return PumpUntil([&] { return Tab(i).Has("shown") || Tab(i).Has("hidden"); });
}

bool HostRun::OpenTabs(const std::vector<std::wstring>& accounts) {
  for (size_t i = 0; i < accounts.size(); ++i) {
    if (i == 0) {
      const int t = NextTab(accounts[0]);
      if (!Start()) return false;
      if (!PumpUntil([&] { return host_->TabCount() == 1; }) || !WaitPlaced(t)) return false;
    } else if (!AddTab(accounts[i])) {
      return false;
    }
  }
  return true;
}

bool HostRun::AddTab(const std::wstring& account, const std::wstring& switches) {
  const int before = host_->TabCount();
  const int t = NextTab(account, switches);
  PostMessageW(hwnd(), WM_ADD_LOGIN, 1, 0);
  return PumpUntil([&] { return host_->TabCount() == before + 1; }) && WaitPlaced(t);
}

bool HostRun::PumpUntil(const std::function<bool()>& done, DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        // The host's loop would end here.
        if (!quit_) trayAtQuit_ = TrayIconExists();
        quit_ = true;
        continue;
      }
      fw::DispatchOne(&msg);
    }
    if (done()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void HostRun::Settle(DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  PumpUntil([&] { return GetTickCount64() >= end; }, ms + 1000);
}

bool HostRun::WaitLine(int i, const std::string& prefix, DWORD ms) {
  return PumpUntil([&] { return Tab(i).Has(prefix); }, ms);
}

int HostRun::RunningStandins() const {
  int n = 0;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return -1;
  PROCESSENTRY32W pe{};
  pe.dwSize = sizeof(pe);
  for (BOOL ok = Process32FirstW(snap, &pe); ok; ok = Process32NextW(snap, &pe)) {
    if (pe.th32ParentProcessID != GetCurrentProcessId() ||
        _wcsicmp(pe.szExeFile, L"helper_standin_tab.exe") != 0)
      continue;
    // A process that ended may stay listed while a handle to it is open.
    HANDLE p = OpenProcess(SYNCHRONIZE, FALSE, pe.th32ProcessID);
    if (p && WaitForSingleObject(p, 0) == WAIT_TIMEOUT) ++n;
    if (p) CloseHandle(p);
  }
  CloseHandle(snap);
  return n;
}

LPARAM HostRun::ScreenLParam(int x, int y) const {
  POINT p{x, y};
  ClientToScreen(hwnd(), &p);
  return MAKELPARAM(p.x, p.y);
}

LRESULT HostRun::HitTest(int x, int y) {
  return SendMessageW(hwnd(), WM_NCHITTEST, 0, ScreenLParam(x, y));
}

void HostRun::PostMouse(UINT msg, int x, int y) {
  const bool nonClient = msg >= WM_NCMOUSEMOVE && msg <= WM_NCMBUTTONDBLCLK;
  if (nonClient) {
    // What the system would put in wParam: the host's hit-test answer there.
    const WPARAM code = static_cast<WPARAM>(HitTest(x, y));
    PostMessageW(hwnd(), msg, code, ScreenLParam(x, y));
  } else {
    const WPARAM keys = msg == WM_LBUTTONDOWN ? MK_LBUTTON : msg == WM_MBUTTONDOWN ? MK_MBUTTON : 0;
    PostMessageW(hwnd(), msg, keys, MAKELPARAM(x, y));
  }
}

bool HostRun::TrayIconExists() const {
  // Modifying an icon succeeds only for one that exists.
  NOTIFYICONDATAW nid{};
  nid.cbSize = sizeof(nid);
  nid.hWnd = host_->Hwnd();
  nid.uID = 1;
  nid.uFlags = NIF_TIP;
  wcscpy(nid.szTip, kTitle);
  return nid.hWnd && Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

bool HostRun::LaunchRecorder(const wchar_t*) {
  if (g_run) ++g_run->newInstances_;
  return true;
}

void HostRun::AnswerBoxes() {
  struct Search {
    HostRun* run;
    HWND found;
  } search{this, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        wchar_t cls[16] = {};
        GetClassNameW(w, cls, 16);
        if (wcscmp(cls, L"#32770") || !IsWindowVisible(w)) return TRUE;
        fw::Window* object = fw::Window::FromHandle(w);
        // The host and its pop-up are dialogs too; every other dialog the
        // host shows is the message box.
        if (!object || object == s->run->host_.get() || object == &s->run->host_->m_dlgAddAcc)
          return TRUE;
        for (HWND seen : s->run->boxWindows_)
          if (seen == w) return TRUE;
        s->found = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  if (!search.found) return;
  HWND w = search.found;
  boxWindows_.push_back(w);
  auto* box = static_cast<CMessageBox*>(fw::Window::FromHandle(w));
  Box b;
  b.caption = box->m_strTitle;
  b.text = box->m_strText;
  b.type = box->m_nType;
  wchar_t text[32] = {};
  if (GetDlgItemTextW(w, kBoxButton1, text, 32)) b.button1 = text;
  text[0] = 0;
  if (GetDlgItemTextW(w, kBoxButton2, text, 32)) b.button2 = text;
  int button = kBoxClose;
  if (answers_.empty()) {
    b.expected = false;
  } else {
    button = answers_.front();
    answers_.erase(answers_.begin());
  }
  boxes_.push_back(b);
  // Pressed as a user presses it; posted, so the box's loop handles it.
  PostMessageW(GetDlgItem(w, button), BM_CLICK, 0, 0);
}

LRESULT CALLBACK HostRun::TimerWndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER && wp == kBoxTimer) {
    if (g_run) g_run->AnswerBoxes();
    return 0;
  }
  return DefWindowProcW(w, msg, wp, lp);
}

LRESULT CALLBACK HostRun::GetMessageHook(int code, WPARAM wp, LPARAM lp) {
  auto* msg = reinterpret_cast<MSG*>(lp);
  if (code == HC_ACTION && wp == PM_REMOVE && g_run && g_run->host_ && msg &&
      msg->hwnd == g_run->hwnd() && msg->hwnd) {
    if (msg->message == WM_TAB_CREATED) {
      g_run->protocol_.push_back("tab-created " + std::to_string(msg->lParam));
    } else if (msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == SC_CLOSE) {
      g_run->protocol_.push_back("syscommand close " + std::to_string(msg->lParam));
    } else if (msg->message == WM_ADD_LOGIN) {
      g_run->addLogins_.push_back(msg->wParam);
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK HostRun::RecordSent(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                     DWORD_PTR) {
  // Installed after the framework's own subclass, so this sees the message
  // first and the host's answer on the way back.
  const LRESULT result = DefSubclassProc(w, msg, wp, lp);
  if (msg == WM_COPYDATA && g_run) {
    const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
    std::wstring text;
    std::string what = cds && tabs::ReadAccountServerText(cds->lpData, cds->cbData, &text)
                           ? Utf8(text)
                           : "bytes=" + std::to_string(cds ? cds->cbData : 0);
    g_run->protocol_.push_back("copydata " + what + " -> " + std::to_string(result));
  }
  return result;
}

}  // namespace hosttest
