// The start-up steps that other parts of the launcher supply. Each is called
// at its place in the start-up sequence; one not built yet does nothing and
// prints one line on standard error saying so, so the start-up order stays
// visible while the launcher grows.
#pragma once
#include <windows.h>

#include "skin/MessageBox.h"  // SkinMessageBox, which the start-up asks with

class CTavrix3App;

// Self-update.
bool CheckForUpdate(bool forced);       // true: a newer program is published
bool RunUpdate(CTavrix3App& app);       // true: the new program replaced this one
bool LaunchExecutable(const wchar_t* path = nullptr);  // default: this program, no arguments
void RecordUpdateTime();

// Installation and removal.
void InstallLauncher();
void WriteDisableDays();
void UninstallLauncher(CTavrix3App& app);

// Usage counters and statistics requests.
unsigned IncrementCounter(const wchar_t* key);
void StartPing(const wchar_t* url, CTavrix3App& app);
void WaitForPing(CTavrix3App& app);

// Browser cache limit of the current user.
void SetBrowserCacheLimit();

// Login window of a tab process, owned by `owner`; answers the modal result.
INT_PTR RunLoginWindow(HWND owner);
// The game frame of a tab or game-list process; true when it was created.
bool CreateGameFrame(CTavrix3App& app);
// The host window, run modally until the host shuts down.
void RunHostWindow(CTavrix3App& app);

// Prints "LgTarvo: <what>: not built yet" on standard error.
void ReportMissingStep(const wchar_t* what);
