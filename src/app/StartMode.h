// Which role this start of the launcher plays, decided from the command line
// and from where the program file lies. No Windows calls in here: the rules
// are plain functions over strings, so they can be tested and fuzzed directly.
#pragma once
#include <cstdint>

enum class StartMode : int {
  Install = 0,          // run from outside the install folder, no switch
  ChannelShortcut = 1,  // "/ChannelD"
  DesktopShortcut = 2,  // "/LgTarvoD"
  Installed = 3,        // run from inside the install folder, no switch
  Uninstall = 4,        // "/uninst"
  Update = 5,           // "/update"
  GameTab = 6,          // "/newgm /<host window> /<tab count>"
  GameList = 7,         // "/gmhall /<host window>"
};

struct StartArgs {
  StartMode mode = StartMode::Install;
  // Host window handle as the number the host wrote; 0 when absent or malformed.
  std::intptr_t hostWindow = 0;
  // Tabs the host had when it started this process; GameTab only.
  std::int32_t hostTabCount = 0;
};

// Reads a command-line value of the form "/<decimal>": the first character
// must be the slash; after it, optional blanks and sign, then the leading
// digits. No digits give 0. A value longer than `maxChars` characters (the
// room the host's protocol gives it), a missing slash, or a number outside
// the 32-bit range are malformed and give 0 as well.
std::int32_t ParseSlashNumber(const wchar_t* arg, int maxChars);

// The switch part of the decision: argv[0] is the program, argv[1] selects
// the mode (compared case-insensitively, in table order). `*matched` tells
// whether a switch matched; when not, the caller decides between Install and
// Installed from the program's location.
StartArgs ParseSwitches(int argc, const wchar_t* const* argv, bool* matched);

// True when `installFolderUpper` occurs anywhere in `programPathUpper`; both
// already upper-cased by the caller with the system's own case rules.
bool IsInsideInstallFolder(const wchar_t* programPathUpper, const wchar_t* installFolderUpper);
