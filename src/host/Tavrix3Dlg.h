// CTavrix3Dlg: the host window, the program's main window in the host start
// modes. A skinned dialog that holds up to three game tabs; every tab is a
// process of its own (started with "/newgm") whose frame window moves into
// this window's client area. The host keeps the frames' handles, shows one
// of them at a time, draws the tab strip in its caption band, refuses a
// second login of one account on one server, and closes tabs and their
// processes on request.
//
// Talking to the tab processes (all messages; ids in common/Constants.h):
//   tab -> host  WM_COPYDATA       the account-server text; answered 1 (go
//                                  on) or 0 (refused: already logged in here)
//   tab -> host  WM_TAB_CREATED    wParam the frame, lParam 1 for a game list
//   tab -> host  WM_SYSCOMMAND     SC_CLOSE with lParam kLauncherMarker: the
//                                  login was cancelled or refused
//   host -> tab  WM_SOUND_SWITCH   every 400 ms, wParam 1 muted / 0 sound on
//   host -> tab  WM_KEYDOWN VK_F5, WM_CHAR 4 (Ctrl+D): passed on to the shown page
//   host -> tab  WM_SYSCOMMAND     SC_CLOSE, lParam 0, after SetParent(frame, NULL)
//
// Messages. WindowProc answers them in this order: WM_PAINT,
// WM_QUERYDRAGICON, WM_SIZE, WM_TAB_CREATED, WM_WINDOWPOSCHANGING,
// WM_COPYDATA, WM_TRAY_ICON, WM_SHOW_TRAY_MENU, WM_RELOAD_HOTKEYS, WM_COMMAND
// of the caption controls (1001, 1003, 1002, 1005), WM_TIMER, the caption and
// strip mouse messages, WM_ADD_LOGIN.
//
// Where the tab strip lies and what a point on it hits is host/TabRules.h.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/ImageList.h"
#include "framework/Scoped.h"
#include "framework/ToolTip.h"
#include "host/AddAccDlg.h"
#include "skin/BtnEx.h"
#include "skin/DlgEx.h"
#include "skin/StaticEx.h"

class CTavrix3Dlg : public CDlgEx {
 public:
  // Timer 3 sends the sound state to the tabs; timer 4 opens the notice.
  static constexpr UINT_PTR kSoundTimer = 3;
  static constexpr UINT kSoundTimerMs = 400;
  static constexpr UINT_PTR kNoticeTimer = 4;

  // On dialog template IDD_HOST; the template, the skin images and the icon
  // come from `resources` (nullptr: the program's own module). Sets g_pHostDlg.
  explicit CTavrix3Dlg(HINSTANCE resources = nullptr);
  ~CTavrix3Dlg() override;

  // Which program a tab process runs. By default (an empty `program`) the
  // running program file itself: a tab is another instance of this program.
  // `extraArguments`, when not empty, follow the arguments the host gives
  // every tab process. Takes effect at the next start of a tab process.
  void SetTabProgram(const std::wstring& program, const std::wstring& extraArguments = L"");

  // Starts a new, independent program instance without arguments (the
  // "否" choice of the new-login pop-up). The start-up sets it; without it
  // that choice does nothing.
  bool (*m_pfnLaunchExecutable)(const wchar_t* path) = nullptr;

  // Starts one tab process for the next tab: "<program> /newgm /<this
  // window> /<tab count>" in the idle priority class. Its handle becomes the
  // pending process (an older pending handle is closed; that process goes
  // on). A failure is silent.
  void StartTabProcess();
  // WM_COPYDATA from a tab's login: 1 accepts the account-server text (and
  // keeps it as the caption of the tab to come), 0 refuses it because a tab
  // with the same text exists or because the payload is no such text.
  LRESULT OnCopyData(const COPYDATASTRUCT* pcds);
  // WM_TAB_CREATED: files `frame` as a new tab (made current) or, with
  // `isGameList`, as the game list window. The first window to arrive
  // maximizes the host, adds the tray icon and starts timer 3. Returns 0.
  LRESULT OnTabCreated(HWND frame, BOOL isGameList);
  // WM_ADD_LOGIN: choice 1 opens one more tab (refused with a message when
  // there are three), 0 a new program instance. Returns 0.
  LRESULT OnAddLogin(int choice);
  // Shows tab window `wnd` in the content area (hiding every other tab and
  // the game list window); NULL hides all tabs.
  void ShowTab(HWND wnd);
  // Left button pressed on the strip at client point (x, y): that tab
  // becomes current.
  void SelectTabAt(int x, int y);
  // Closes tab `index` after asking (close button or middle click). The last
  // tab is never closed alone: with one tab this asks the exit question.
  void CloseTab(int index);
  // Ends the host: the pending tab process, the tabs (detached and told to
  // close), the tray icon, then WM_QUIT for the host's loop.
  void ShutDownHost();
  // Adds (TRUE) or deletes (FALSE) the tray icon.
  void SetTrayIcon(BOOL add);

  // The keys and closes the host answers before its window sees them: Escape
  // and Space are swallowed; the marked close and a close without tabs end
  // the host without a question; F5 and Ctrl+D go to the shown page; then
  // the tooltip and the dialog's keyboard interface.
  bool PreTranslateMessage(MSG* msg) override;

  int TabCount() const { return static_cast<int>(m_arrTabWnd.size()); }

  HICON m_hIcon = nullptr;  // shared icon resource; not destroyed
  CBtnEx m_btnHide;         // 1001
  CBtnEx m_btnSystem;       // 1003
  CBtnEx m_btnSound;        // 1002
  CStaticEx m_lnkAddLogin;  // 1005, "登录其他账号"
  BOOL m_bMuted = FALSE;    // sent to the tabs by timer 3
  OSVERSIONINFOW m_osvi{};  // only the major version counts: below 6 is Windows XP
  HWND m_hGameListWnd = nullptr;
  fw::ScopedHandle m_hPendingProcess;  // the last tab process whose frame has not arrived
  std::vector<HWND> m_arrTabWnd;       // tab frames in strip order
  std::vector<std::wstring> m_arrTabCaption;  // accepted account-server texts, in arrival order
  fw::ImageList m_ilTabBack;   // 189 x 22: normal, hot, current
  fw::ImageList m_ilTabClose;  // 13 x 13: normal, hover, pressed
  int m_nCurTab = 0;
  int m_nHotTab = -1;       // tab under the mouse
  int m_nCloseState = -1;   // its close button: -1 none, 0 normal, 1 hover, 2 pressed
  BOOL m_bTipActive = FALSE;
  fw::ToolTip m_tipTabs;
  BOOL m_bTracking = FALSE;  // mouse-leave notification requested
  CAddAccDlg m_dlgAddAcc;

 protected:
  void DoDataExchange() override;
  bool OnInitDialog() override;
  // Enter never closes the host.
  void OnOK() override {}
  // The exit question; Yes ends the host.
  void OnCancel() override;

  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  HINSTANCE Resources() const;
  void SetUpSkin();
  void SetUpTabImages();
  void SetUpToolTip();
  // The skinned message box with the host's resources, title kAppTitle.
  int Ask(const std::wstring& text, UINT type) const;

  // Caption band and strip.
  void OnPaint();
  BOOL OnEraseBkgnd(HDC dc);
  void DrawTabs(HDC dc) const;
  LRESULT OnNcHitTest(POINT screen);
  void OnHostSize(UINT type, int cx, int cy);
  void OnWindowPosChanging(WINDOWPOS* pos) const;
  void LayoutCaptionControls(int cx);
  // Mouse messages on the strip; `client` in client coordinates. False when
  // the point is off the strip (the caller then does the frame's handling).
  bool StripButtonDown(POINT client);
  bool StripButtonUp(POINT client);
  bool StripMiddleUp(POINT client);
  bool OnStrip(POINT client) const;
  void OnMouseLeave(bool clientArea);
  void ResetHover();
  void InvalidateTab(int i);
  void InvalidateClose(int i);
  void ActivateTip(bool active);

  // Passes a key message (F5, Ctrl+D) on to the shown page.
  void ForwardToShownPage(const MSG& msg) const;
  // Where the shown tab and the game list window go.
  RECT ContentRect() const;
  bool GameListVisible() const;
  void OnCommandAddLogin();
  void OnSoundTimer();
  void OnTimer(UINT_PTR id);

  // Steps that come with the menus, tray and hot keys, and with the notice
  // and the preloaded login page; each reports that it is not built yet.
  void InstallKeyboardHook();
  void ReloadHotKeys();
  void CreateLoginPreload();
  void ToggleHostVisible();
  void ShowSystemMenu();
  void OnTrayIcon(WPARAM wp, LPARAM lp);
  void ShowTrayMenu();
  void ShowNotice();

  HINSTANCE m_hResources = nullptr;
  std::wstring m_strTabProgram;
  std::wstring m_strTabArguments;
  int m_nClientWidth = 0;        // client width at the last WM_SIZE
  BOOL m_bSoundShown = TRUE;     // the state the sound button's image shows
  bool m_bFirstWindowSeen = false;
};

// The host window of this process (at most one), set by its constructor;
// the keyboard hook reaches the host through it.
extern CTavrix3Dlg* g_pHostDlg;
