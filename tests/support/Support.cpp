#include "Support.h"

#include <shellapi.h>

#include <vector>

namespace test {

std::wstring ExeDir() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring s(path, n);
  return s.substr(0, s.find_last_of(L'\\') + 1);
}

Child::~Child() {
  Kill();
  if (process_) CloseHandle(process_);
  if (output_) CloseHandle(output_);
}

bool Child::Start(const std::wstring& commandLine, const std::wstring& workDir) {
  SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
  HANDLE writeEnd = nullptr;
  if (process_ || !CreatePipe(&output_, &writeEnd, &sa, 0)) return false;
  SetHandleInformation(output_, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = writeEnd;
  si.hStdError = writeEnd;
  PROCESS_INFORMATION pi{};
  std::vector<wchar_t> cmd(commandLine.begin(), commandLine.end());
  cmd.push_back(0);
  const bool started = CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      workDir.empty() ? nullptr : workDir.c_str(), &si,
                                      &pi) != FALSE;
  // Only the child holds the write end now, so the pipe ends with it.
  CloseHandle(writeEnd);
  if (!started) return false;
  CloseHandle(pi.hThread);
  process_ = pi.hProcess;
  pid_ = pi.dwProcessId;
  return true;
}

void Child::Read() {
  DWORD avail = 0;
  while (output_ && PeekNamedPipe(output_, nullptr, 0, nullptr, &avail, nullptr) && avail) {
    char buf[4096];
    DWORD got = 0;
    if (!ReadFile(output_, buf, sizeof(buf), &got, nullptr) || !got) break;
    out_.append(buf, got);
  }
}

bool Child::Exited() {
  Read();
  return !process_ || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
}

bool Child::WaitForExit(DWORD ms) {
  const bool ended = PumpUntil([&] { return Exited(); }, ms);
  Read();
  return ended;
}

DWORD Child::ExitCode() const {
  DWORD code = 0;
  if (process_) GetExitCodeProcess(process_, &code);
  return code;
}

void Child::Kill() {
  if (process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_, 999);
    WaitForSingleObject(process_, 5000);
  }
}

std::vector<std::string> Child::Lines() {
  Read();
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = out_.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = out_.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

ProcessResult Run(const std::wstring& commandLine, DWORD timeoutMs, const std::wstring& workDir) {
  ProcessResult r;
  Child child;
  r.started = child.Start(commandLine, workDir);
  if (!r.started) return r;
  // Without pumping: the caller may have no windows, and a child's output
  // must keep flowing while it runs.
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (!child.Exited()) {
    if (GetTickCount64() > end) {
      r.timedOut = true;
      child.Kill();
      break;
    }
    WaitForSingleObject(child.process(), 10);
  }
  r.exitCode = child.ExitCode();
  r.out = child.Output();
  return r;
}

void PumpFor(DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    ULONGLONG now = GetTickCount64();
    if (now >= end) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
  }
}

// Wine 8 answers 0 to GetGuiResources and GetProcessHandleCount (stubs), so
// there the counts come from walking the tables directly: GDI handles whose
// high word is 0 match any live object in that slot (Wine's own rule), handle
// values are multiples of 4 handed out from the lowest free slot, and the user
// count is this process's windows (Wine's table of USER objects is shared by
// every process, so it is counted by enumerating windows instead).
static DWORD CountGdiSlots() {
  DWORD n = 0;
  for (UINT_PTR i = 0; i < 0x10000; ++i)
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(i))) ++n;
  return n;
}

static DWORD CountHandleSlots() {
  DWORD n = 0, flags = 0;
  for (UINT_PTR h = 4, gap = 0; gap < 1024; h += 4, ++gap)
    if (GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags)) ++n, gap = 0;
  return n;
}

static BOOL CALLBACK CountWindowTree(HWND w, LPARAM counter) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid != GetCurrentProcessId()) return TRUE;
  DWORD* n = reinterpret_cast<DWORD*>(counter);
  ++*n;
  EnumChildWindows(w, [](HWND, LPARAM c) -> BOOL { ++*reinterpret_cast<DWORD*>(c); return TRUE; },
                   counter);
  return TRUE;
}

static DWORD CountOwnWindows() {
  DWORD n = 0;
  EnumWindows(CountWindowTree, reinterpret_cast<LPARAM>(&n));
  for (HWND w = nullptr; (w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr));)
    CountWindowTree(w, reinterpret_cast<LPARAM>(&n));
  return n;
}

GuiCounts CountGuiObjects() {
  GuiCounts c;
  HANDLE self = GetCurrentProcess();
  c.gdi = GetGuiResources(self, GR_GDIOBJECTS);
  c.user = GetGuiResources(self, GR_USEROBJECTS);
  GetProcessHandleCount(self, &c.handles);
  if (!c.gdi) c.gdi = CountGdiSlots();
  if (!c.user) c.user = CountOwnWindows();
  if (!c.handles) c.handles = CountHandleSlots();
  return c;
}

std::wstring MakeTempDir(const wchar_t* tag) {
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  static LONG serial = 0;
  wchar_t dir[MAX_PATH];
  swprintf(dir, MAX_PATH, L"%lslgt_%ls_%lu_%ld", tmp, tag, GetCurrentProcessId(),
           InterlockedIncrement(&serial));
  CreateDirectoryW(dir, nullptr);
  return dir;
}

void RemoveTree(const std::wstring& dir) {
  std::wstring from = dir;
  from.push_back(0);  // SHFileOperation wants a double-terminated list
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
  SHFileOperationW(&op);
}

bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring Utf8ToWide(const std::string& s) {
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

}  // namespace test
