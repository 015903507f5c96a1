// Values that several processes and windows of the launcher must agree on.
// Each is defined here once.
#pragma once

#define LGT_WM_USER 0x0400

// Messages between the host window and its tab processes, and host-internal ones.
enum : unsigned {
  WM_TRAY_ICON = LGT_WM_USER + 1,           // tray icon callback
  WM_TAB_CREATED = LGT_WM_USER + 2,         // frame -> host: wParam frame, lParam 1 = game list
  WM_SHOW_TRAY_MENU = LGT_WM_USER + 3,      // host: open the tray menu
  WM_RELOAD_HOTKEYS = LGT_WM_USER + 4,      // settings dialog -> every host window
  WM_SOUND_SWITCH = LGT_WM_USER + 5,        // host -> frames: wParam 1 muted, 0 sound on
  WM_ADD_LOGIN = LGT_WM_USER + 6,           // new-login choice -> host: wParam 1 tab, 0 window
  WM_TAB_RELOAD_HOTKEYS = LGT_WM_USER + 7,  // host -> frames: re-read the hot keys
};

// lParam that marks a message as made by the launcher itself, not the user:
// the close posted after a cancelled login, and the F5 refresh from the menus.
constexpr long kLauncherMarker = 5281;

// Shown as window title, tray tip and caption of every message box.
constexpr const wchar_t kAppTitle[] = L"tarvo - 砾歌";
constexpr const wchar_t kVersionText[] = L"3.0.0.1";

// Settings: section of Statistic.ini and the machine-wide registry key (HKLM).
constexpr const wchar_t kSettingsFileName[] = L"Statistic.ini";
constexpr const wchar_t kSettingsSection[] = L"LgTarvo";
constexpr const wchar_t kRegistryKey[] = L"Software\\Tarvo\\GameLogin\\LgTarvo";

// Fixed buffer sizes, in wide characters.
constexpr int kPathChars = 260;
constexpr int kUrlChars = 512;
constexpr int kValueChars = 32;
// The command line with which the host starts a tab process.
constexpr int kTabCommandLineChars = 288;
