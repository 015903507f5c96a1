// Small helpers shared by the test programs: where the built programs are,
// running a program and reading what it printed, pumping messages, and
// counting GUI objects for leak checks.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace test {

// Folder of the running test program, with a trailing backslash. The launcher
// and the helper programs are built into the same folder.
std::wstring ExeDir();

struct ProcessResult {
  bool started = false;
  bool timedOut = false;
  DWORD exitCode = 0;
  std::string out;  // standard output and standard error together, as written
};

// Runs `commandLine` (the program path quoted by the caller when needed) in
// `workDir` (current folder when empty), collecting its standard output and
// error. Kills it after `timeoutMs`.
ProcessResult Run(const std::wstring& commandLine, DWORD timeoutMs = 20000,
                  const std::wstring& workDir = L"");

// A program running beside the test. Its standard output and error are
// collected without blocking, so the test can pump its own windows while the
// program runs. A program still running when the object goes is killed.
class Child {
 public:
  Child() = default;
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // `commandLine` with the program path quoted by the caller when needed.
  bool Start(const std::wstring& commandLine, const std::wstring& workDir = L"");
  DWORD pid() const { return pid_; }
  HANDLE process() const { return process_; }
  // Collects what the program wrote so far.
  void Read();
  bool Exited();
  // Pumps this thread's messages until the program ended; false after `ms`.
  bool WaitForExit(DWORD ms);
  DWORD ExitCode() const;
  void Kill();
  const std::string& Output() {
    Read();
    return out_;
  }
  // The complete lines written so far, without line ends.
  std::vector<std::string> Lines();

 private:
  HANDLE process_ = nullptr;
  HANDLE output_ = nullptr;
  DWORD pid_ = 0;
  std::string out_;
};

// Dispatches this thread's messages for about `ms` milliseconds.
void PumpFor(DWORD ms);

// Dispatches messages until `done()` is true or `ms` milliseconds passed.
template <class Pred>
bool PumpUntil(Pred done, DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  while (!done()) {
    if (GetTickCount64() > end) return false;
    PumpFor(10);
  }
  return true;
}

// GDI objects, USER objects (under Wine: this process's windows) and kernel
// handles of this process, for leak checks around repeated work.
struct GuiCounts {
  DWORD gdi = 0, user = 0, handles = 0;
};
GuiCounts CountGuiObjects();

// A fresh scratch folder under %TEMP% (created; removed by the caller with RemoveTree).
std::wstring MakeTempDir(const wchar_t* tag);
void RemoveTree(const std::wstring& dir);
bool FileExists(const std::wstring& path);
std::wstring Utf8ToWide(const std::string& s);

}  // namespace test
