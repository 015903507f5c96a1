// The launcher's application object. One executable plays every role of the
// launcher; InitInstance decides the role of this start (see StartMode.h)
// and carries it out.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "app/StartMode.h"
#include "common/Constants.h"
#include "framework/App.h"
#include "framework/Scoped.h"

class CTavrix3App : public fw::App {
 public:
  CTavrix3App() = default;
  ~CTavrix3App() override = default;

  bool InitInstance() override;
  int ExitInstance() override;

  // GDI+ runs for the whole process once start-up got past the update steps.
  ULONG_PTR m_gdiplusToken = 0;
  // Where the published update can be downloaded; filled by the update check.
  wchar_t m_szUpdateUrl[kUrlChars] = {};
  // Hand-over with the statistics thread: set once it copied its address,
  // and once its request finished. Manual reset, created unsignalled.
  fw::ScopedHandle PingArgsCopied;
  fw::ScopedHandle PingDone;

 private:
  // Counts the event under `counterKey` and sends its report page.
  void Report(const wchar_t* counterKey, const wchar_t* page);

  bool oleStarted_ = false;
};

extern CTavrix3App theApp;

// Set from the command line of a tab or game-list process; zero otherwise.
extern HWND HostWindow;
extern std::int32_t HostTabCount;

// The game address a tab process opens: the game list page until a login
// replaces it. The game view's last address and title, for the favourites.
extern std::wstring g_strGameUrl;
extern std::wstring g_strCurrentUrl;
extern std::wstring g_strPageTitle;

// Decides the start mode from this process's command line and program file,
// and sets HostWindow and HostTabCount. No other side effects.
StartMode ParseStartMode();

// The install folder: the all-users application data folder + "\Tarvo\GameLogin".
// False when it cannot be named in `kPathChars` characters.
bool GetInstallFolder(wchar_t (&folder)[kPathChars]);
