// The start-up steps: the host window, and placeholders for the steps whose
// parts of the launcher are not built yet. Each placeholder answers as
// "nothing happened" so start-up takes its ordinary path.
#include "app/Steps.h"

#include <cstdio>

#include "app/Tavrix3App.h"
#include "host/Tavrix3Dlg.h"

void ReportMissingStep(const wchar_t* what) {
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  if (!err || err == INVALID_HANDLE_VALUE) return;
  wchar_t line[640];
  int n = _snwprintf(line, ARRAYSIZE(line) - 1, L"LgTarvo: %ls: not built yet\n", what);
  if (n < 0) n = ARRAYSIZE(line) - 1;  // cut off: still one line
  line[ARRAYSIZE(line) - 1] = 0;
  char utf8[2048];
  int bytes = WideCharToMultiByte(CP_UTF8, 0, line, n, utf8, sizeof(utf8), nullptr, nullptr);
  DWORD written = 0;
  if (bytes > 0) WriteFile(err, utf8, static_cast<DWORD>(bytes), &written, nullptr);
}

bool CheckForUpdate(bool forced) {
  ReportMissingStep(forced ? L"CheckForUpdate(forced)" : L"CheckForUpdate(unforced)");
  return false;
}

bool RunUpdate(CTavrix3App&) {
  ReportMissingStep(L"RunUpdate");
  return false;
}

bool LaunchExecutable(const wchar_t*) {
  ReportMissingStep(L"LaunchExecutable");
  return false;
}

void RecordUpdateTime() { ReportMissingStep(L"RecordUpdateTime"); }

void InstallLauncher() { ReportMissingStep(L"InstallLauncher"); }

void WriteDisableDays() { ReportMissingStep(L"WriteDisableDays"); }

void UninstallLauncher(CTavrix3App&) { ReportMissingStep(L"UninstallLauncher"); }

unsigned IncrementCounter(const wchar_t* key) {
  wchar_t what[64];
  _snwprintf(what, ARRAYSIZE(what) - 1, L"IncrementCounter(%ls)", key);
  what[ARRAYSIZE(what) - 1] = 0;
  ReportMissingStep(what);
  return 0;
}

void StartPing(const wchar_t* url, CTavrix3App&) {
  wchar_t what[600];
  _snwprintf(what, ARRAYSIZE(what) - 1, L"StartPing(%ls)", url);
  what[ARRAYSIZE(what) - 1] = 0;
  ReportMissingStep(what);
}

void WaitForPing(CTavrix3App&) { ReportMissingStep(L"WaitForPing"); }

void SetBrowserCacheLimit() { ReportMissingStep(L"SetBrowserCacheLimit"); }

INT_PTR RunLoginWindow(HWND) {
  ReportMissingStep(L"RunLoginWindow");
  return IDCANCEL;
}

bool CreateGameFrame(CTavrix3App&) {
  ReportMissingStep(L"CreateGameFrame");
  return false;
}

void RunHostWindow(CTavrix3App& app) {
  CTavrix3Dlg host;
  // "否" in the new-login choice: the program again, as a new host.
  host.m_pfnLaunchExecutable = &LaunchExecutable;
  app.SetMainWindow(&host);
  // Returns when the host shuts down (its WM_QUIT ends the loop).
  host.DoModal();
}
