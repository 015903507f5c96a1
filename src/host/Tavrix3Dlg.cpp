#include "host/Tavrix3Dlg.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <cstdio>
#include <cwchar>

#include "common/Constants.h"
#include "host/TabRules.h"
#include "resource.h"
#include "skin/MessageBox.h"
#include "skin/SkinImage.h"

CTavrix3Dlg* g_pHostDlg = nullptr;

namespace {

constexpr wchar_t kTooManyTabs[] = L"当前窗体只支持3个游戏页";
constexpr wchar_t kExitQuestion[] = L"窗口即将关闭，确定要退出游戏？";

// The tray icon's id among this window's icons.
constexpr UINT kTrayIconId = 1;

// Tab images: three frames side by side; drawn transparent, at their size.
constexpr int kTabFrames = 3;
constexpr int kTabNormal = 0, kTabHot = 1, kTabCurrent = 2;
constexpr int kCloseSize = 13;
constexpr UINT kTabDrawStyle = ILD_TRANSPARENT | ILD_SCALE;

// Ctrl+D reaches a window as the character 4; on its first press (no repeat
// flag) the high word of lParam is exactly its scan code.
constexpr WPARAM kCtrlDChar = 4;
constexpr WORD kCtrlDFirstPress = 0x0020;

// The tab tooltip appears after the mouse rested half a second on a tab.
constexpr int kTipDelayMs = 500;

// Windows older than Vista (major version 6) leave traces of the shaped
// top-right corner when the window narrows.
constexpr DWORD kVistaMajor = 6;
constexpr int kCornerTrace = 4;

// Mouse messages carry signed coordinates (GET_X_LPARAM, not LOWORD).
POINT PointOf(LPARAM lp) { return POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}; }

RECT ToRect(const tabs::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// One line "LgTarvo: <text>" on standard error (nowhere for a user's start;
// the terminal of a developer's run).
void SayOnStderr(const wchar_t* text) {
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  if (!err || err == INVALID_HANDLE_VALUE) return;
  wchar_t line[200];
  int n = _snwprintf(line, ARRAYSIZE(line) - 1, L"LgTarvo: %ls\n", text);
  if (n < 0) n = ARRAYSIZE(line) - 1;
  line[ARRAYSIZE(line) - 1] = 0;
  char utf8[600];
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, line, n, utf8, sizeof(utf8), nullptr, nullptr);
  DWORD written = 0;
  if (bytes > 0) WriteFile(err, utf8, static_cast<DWORD>(bytes), &written, nullptr);
}

// "LgTarvo: <what>: not built yet", as every start-up step that is still to
// come says, so a run shows where the host stops short.
void ReportNotBuilt(const wchar_t* what) {
  wchar_t text[120];
  _snwprintf(text, ARRAYSIZE(text) - 1, L"%ls: not built yet", what);
  text[ARRAYSIZE(text) - 1] = 0;
  SayOnStderr(text);
}

}  // namespace

CTavrix3Dlg::CTavrix3Dlg(HINSTANCE resources)
    : CDlgEx(IDD_HOST, resources), m_dlgAddAcc(resources), m_hResources(resources) {
  // A shared icon: it lives as long as the module and is never destroyed.
  m_hIcon = LoadIconW(Resources(), MAKEINTRESOURCEW(IDI_MAIN));
  g_pHostDlg = this;
}

CTavrix3Dlg::~CTavrix3Dlg() {
  // The window goes while the controls, the tooltip and the pop-up still exist.
  DestroyDetached();
  if (g_pHostDlg == this) g_pHostDlg = nullptr;
}

HINSTANCE CTavrix3Dlg::Resources() const {
  return m_hResources ? m_hResources : fw::ModuleInstance();
}

void CTavrix3Dlg::SetTabProgram(const std::wstring& program, const std::wstring& extraArguments) {
  m_strTabProgram = program;
  m_strTabArguments = extraArguments;
}

int CTavrix3Dlg::Ask(const std::wstring& text, UINT type) const {
  // No owner named: the box belongs to the application's main window, this one.
  return SkinMessageBox(nullptr, text.c_str(), kAppTitle, type, m_hResources);
}

// ---------------------------------------------------------------------------
// Start-up.

void CTavrix3Dlg::DoDataExchange() {
  Bind(IDC_HOST_HIDE, m_btnHide);
  Bind(IDC_HOST_SYSTEM, m_btnSystem);
  Bind(IDC_HOST_SOUND, m_btnSound);
  Bind(IDC_HOST_ADD_LOGIN, m_lnkAddLogin);
}

bool CTavrix3Dlg::OnInitDialog() {
  CDlgEx::OnInitDialog();
  Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  InstallKeyboardHook();
  m_osvi = OSVERSIONINFOW{};
  m_osvi.dwOSVersionInfoSize = sizeof(m_osvi);
  GetVersionExW(&m_osvi);
  SetUpSkin();
  StartTabProcess();
  ReloadHotKeys();
  if (m_osvi.dwMajorVersion < kVistaMajor) CreateLoginPreload();
  return true;
}

void CTavrix3Dlg::SetUpSkin() {
  HWND hwnd = Hwnd();
  // The tab frames of other processes live in the client area; painting the
  // strip and the skin must not paint over them.
  SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) | WS_CLIPCHILDREN);

  SetTitle(kAppTitle);
  m_nCaptionHeight = 30;
  m_nBorder = 4;
  m_nBtnRight = 0;
  m_nBtnTop = 0;
  m_nBtnGap = 0;
  // The frame takes background, maximize and restore images; close and
  // minimize are copied into their buttons and stay ours.
  fw::ScopedBitmap close(LoadSkinImage(IDR_PNG_CAPTION_CLOSE, m_hResources));
  fw::ScopedBitmap minimize(LoadSkinImage(IDR_PNG_CAPTION_MIN, m_hResources));
  SetSkin(close.get(), LoadSkinImage(IDR_PNG_FRAME_DARK, m_hResources), FALSE, TRUE, minimize.get(),
          LoadSkinImage(IDR_PNG_CAPTION_MAX, m_hResources),
          LoadSkinImage(IDR_PNG_CAPTION_RESTORE, m_hResources));
  m_bResizable = TRUE;

  // Practically invisible until the first tab arrives (OnTabCreated).
  SetWindowPos(hwnd, nullptr, 0, 0, 1, 1, SWP_NOZORDER | SWP_NOACTIVATE);

  struct {
    CBtnEx& button;
    WORD image;
  } buttons[] = {
      {m_btnHide, IDR_PNG_CAPTION_HIDE},
      {m_btnSound, IDR_PNG_SOUND_ON},
      {m_btnSystem, IDR_PNG_CAPTION_SYSTEM},
  };
  for (auto& b : buttons) {
    fw::ScopedBitmap strip(LoadSkinImage(b.image, m_hResources));
    b.button.SetImage(strip.get(), TRUE);
  }
  m_btnSystem.m_crText = RGB(255, 255, 255);

  m_lnkAddLogin.m_crText = RGB(255, 255, 255);
  m_lnkAddLogin.m_bHandCursor = TRUE;
  m_lnkAddLogin.m_bUnderline = TRUE;
  // A static control reports clicks (WM_COMMAND 1005) only with SS_NOTIFY.
  HWND link = m_lnkAddLogin.Hwnd();
  if (link) SetWindowLongPtrW(link, GWL_STYLE, GetWindowLongPtrW(link, GWL_STYLE) | SS_NOTIFY);
  fw::ScopedBitmap padlock(LoadSkinImage(IDR_PNG_PADLOCK, m_hResources));
  m_lnkAddLogin.SetImage(padlock.get());

  SetUpTabImages();
  SetUpToolTip();
}

void CTavrix3Dlg::SetUpTabImages() {
  struct {
    fw::ImageList& list;
    WORD image;
  } lists[] = {{m_ilTabBack, IDR_PNG_TAB_BACK}, {m_ilTabClose, IDR_PNG_TAB_CLOSE}};
  for (auto& l : lists) {
    fw::ScopedBitmap strip(LoadSkinImage(l.image, m_hResources));
    BITMAP bm{};
    if (!strip || !GetObjectW(strip.get(), sizeof(bm), &bm)) continue;
    if (l.list.Create(bm.bmWidth / kTabFrames, bm.bmHeight, ILC_COLOR24 | ILC_MASK, 0, 0))
      l.list.Add(strip.get(), kKeyColour);
  }
}

void CTavrix3Dlg::SetUpToolTip() {
  if (!m_tipTabs.Create(Hwnd(), TTS_ALWAYSTIP)) return;
  // One tool for the whole window; the hit test puts in the text of the tab
  // under the mouse.
  m_tipTabs.AddTool(Hwnd(), LPSTR_TEXTCALLBACKW);
  m_tipTabs.SetDelay(TTDT_AUTOMATIC, kTipDelayMs);
}

// ---------------------------------------------------------------------------
// Tab processes.

void CTavrix3Dlg::StartTabProcess() {
  wchar_t program[kPathChars] = {};
  if (m_strTabProgram.empty()) {
    const DWORD n = GetModuleFileNameW(nullptr, program, kPathChars);
    if (!n || n >= static_cast<DWORD>(kPathChars)) return;  // cut off: not our program
  } else if (m_strTabProgram.size() < static_cast<size_t>(kPathChars)) {
    wcscpy(program, m_strTabProgram.c_str());
  } else {
    return;
  }
  wchar_t line[kTabCommandLineChars];
  if (!tabs::BuildTabCommandLine(program, HandleToLong(Hwnd()), TabCount(), line,
                                 ARRAYSIZE(line)))
    return;
  std::wstring commandLine = line;
  if (!m_strTabArguments.empty()) commandLine += L" " + m_strTabArguments;

  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION pi{};
  // CreateProcessW may write into the command line: it gets a copy of its own.
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, IDLE_PRIORITY_CLASS,
                      nullptr, nullptr, &si, &pi))
    return;
  CloseHandle(pi.hThread);
  // Only the newest launch is remembered; an older one goes on unwatched.
  m_hPendingProcess.reset(pi.hProcess);
}

LRESULT CTavrix3Dlg::OnCopyData(const COPYDATASTRUCT* pcds) {
  // The payload comes from another process: nothing past cbData is read,
  // and anything that is not one terminated text is refused.
  std::wstring text;
  if (!pcds || !tabs::ReadAccountServerText(pcds->lpData, pcds->cbData, &text)) return 0;
  for (const std::wstring& caption : m_arrTabCaption)
    if (caption == text) return 0;
  m_arrTabCaption.push_back(text);
  return 1;
}

LRESULT CTavrix3Dlg::OnTabCreated(HWND frame, BOOL isGameList) {
  // The handle comes from another process; a frame that is gone already, or
  // one announced twice, would be a tab that can never be shown or closed.
  if (!IsWindow(frame) || frame == Hwnd()) return 0;
  for (HWND w : m_arrTabWnd)
    if (w == frame) return 0;

  // The first window of any kind grows the 1 x 1 host. (A tab after a game
  // list must not toggle the maximized host back.)
  if (!m_bFirstWindowSeen && TabCount() == 0) {
    m_bFirstWindowSeen = true;
    OnCaptionMaximize();
    SetTrayIcon(TRUE);
    SetTimer(kSoundTimer, kSoundTimerMs);
  }
  if (isGameList) {
    // Not a tab: no strip entry, no caption, no sound state.
    m_hGameListWnd = frame;
    return 0;
  }
  ShowTab(nullptr);
  if (m_hGameListWnd && IsWindow(m_hGameListWnd)) ShowWindow(m_hGameListWnd, SW_HIDE);
  m_arrTabWnd.push_back(frame);
  m_nCurTab = TabCount() - 1;
  m_hPendingProcess.reset();
  // The new tab is drawn; it shows its frame itself once its page has loaded.
  const RECT strip = ToRect(tabs::NewTabInvalidRect(TabCount()));
  InvalidateRect(Hwnd(), &strip, TRUE);
  return 0;
}

LRESULT CTavrix3Dlg::OnAddLogin(int choice) {
  if (choice == 1) {
    if (TabCount() < tabs::kMaxTabs)
      StartTabProcess();
    else
      Ask(kTooManyTabs, MB_OK);
  } else if (choice == 0) {
    // A new, independent host window: the program again, without arguments.
    if (m_pfnLaunchExecutable) m_pfnLaunchExecutable(nullptr);
  }
  return 0;
}

RECT CTavrix3Dlg::ContentRect() const {
  const RECT client = GetClientRect();
  return ToRect(tabs::ContentArea(client.right, client.bottom));
}

bool CTavrix3Dlg::GameListVisible() const {
  return m_hGameListWnd && IsWindowVisible(m_hGameListWnd);
}

void CTavrix3Dlg::ShowTab(HWND wnd) {
  for (HWND tab : m_arrTabWnd) {
    if (tab != wnd) {
      ShowWindow(tab, SW_HIDE);
      continue;
    }
    // Moved without repaint: the frame repaints itself when it is shown.
    const RECT area = ContentRect();
    MoveWindow(tab, area.left, area.top, area.right - area.left, area.bottom - area.top, FALSE);
    ShowWindow(tab, SW_SHOW);
    SetForegroundWindow(tab);
    if (GameListVisible()) ShowWindow(m_hGameListWnd, SW_HIDE);
  }
}

void CTavrix3Dlg::SelectTabAt(int x, int y) {
  const tabs::StripHitResult hit = tabs::StripHit(x, y, TabCount());
  if (!hit.onStrip) return;
  const int i = hit.tab;
  if (i != m_nCurTab) {
    const int old = m_nCurTab;
    m_nCurTab = i;
    ShowTab(m_arrTabWnd[static_cast<size_t>(i)]);
    InvalidateTab(old);
    InvalidateTab(i);
  } else if (GameListVisible()) {
    ShowTab(m_arrTabWnd[static_cast<size_t>(i)]);
  }
}

void CTavrix3Dlg::CloseTab(int index) {
  const int n = TabCount();
  if (index < 0 || index >= n) return;
  if (n == 1) {
    // The last tab is not closed alone: closing it is leaving the program.
    InvalidateClose(index);
    ResetHover();
    OnCancel();
    return;
  }
  const HWND wnd = m_arrTabWnd[static_cast<size_t>(index)];
  const std::wstring caption =
      static_cast<size_t>(index) < m_arrTabCaption.size() ? m_arrTabCaption[static_cast<size_t>(index)] : L"";
  if (Ask(tabs::TabCloseQuestion(caption), MB_YESNO) != IDYES) {
    InvalidateTab(index);
    ResetHover();
    return;
  }
  // The question ran a message loop; tabs may have arrived meanwhile (they
  // only ever append, but the tab is looked up again by its window).
  int i = -1;
  for (size_t k = 0; k < m_arrTabWnd.size(); ++k)
    if (m_arrTabWnd[k] == wnd) i = static_cast<int>(k);
  if (i < 0) return;
  const int before = TabCount();
  m_arrTabWnd.erase(m_arrTabWnd.begin() + i);
  if (static_cast<size_t>(i) < m_arrTabCaption.size()) m_arrTabCaption.erase(m_arrTabCaption.begin() + i);
  const int current = tabs::CurrentTabAfterClose(i, before);
  if (current >= 0) {
    ShowTab(m_arrTabWnd[static_cast<size_t>(current)]);
    m_nCurTab = current;
  }
  // The frame belongs to its process: it leaves this window first, then is
  // told to close, and its process ends with it.
  SetParent(wnd, nullptr);
  PostMessageW(wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  const RECT strip = ToRect(tabs::ClosedTabInvalidRect(TabCount()));
  InvalidateRect(Hwnd(), &strip, TRUE);
  ResetHover();
}

void CTavrix3Dlg::OnCancel() {
  if (Ask(kExitQuestion, MB_YESNO) == IDYES) ShutDownHost();
}

void CTavrix3Dlg::ShutDownHost() {
  // A login still open in a tab process ends with its process.
  if (m_hPendingProcess) {
    TerminateProcess(m_hPendingProcess.get(), 0);
    m_hPendingProcess.reset();
  }
  // (The keyboard hook is removed here once the hot keys have one.)
  for (HWND wnd : m_arrTabWnd) {
    SetParent(wnd, nullptr);
    ShowWindow(wnd, SW_HIDE);
    PostMessageW(wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  }
  SetTrayIcon(FALSE);
  // Ends the host's loop (and with it the process). The game list window is
  // not told: it ends by itself when it finds this window gone.
  PostQuitMessage(0);
}

void CTavrix3Dlg::SetTrayIcon(BOOL add) {
  NOTIFYICONDATAW nid{};
  nid.cbSize = sizeof(nid);
  nid.hWnd = Hwnd();
  nid.uID = kTrayIconId;
  nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  nid.uCallbackMessage = WM_TRAY_ICON;
  nid.hIcon = m_hIcon;
  wcsncpy(nid.szTip, kAppTitle, ARRAYSIZE(nid.szTip) - 1);
  Shell_NotifyIconW(add ? NIM_ADD : NIM_DELETE, &nid);
}

// ---------------------------------------------------------------------------
// Keys and closes before dispatch.

void CTavrix3Dlg::ForwardToShownPage(const MSG& msg) const {
  if (TabCount() == 0) return;
  HWND current = m_nCurTab >= 0 && m_nCurTab < TabCount() ? m_arrTabWnd[static_cast<size_t>(m_nCurTab)]
                                                          : nullptr;
  HWND target = nullptr;
  if (current && IsWindowVisible(current))
    target = current;
  else if (GameListVisible())
    target = m_hGameListWnd;
  if (target) PostMessageW(target, msg.message, msg.wParam, msg.lParam);
}

bool CTavrix3Dlg::PreTranslateMessage(MSG* msg) {
  // (The window-switch key comes first here once the hot keys are built.)
  const bool toHost = msg->hwnd == Hwnd();
  switch (msg->message) {
    case WM_KEYDOWN:
      // Escape would cancel the dialog (the exit question), Space would click
      // the focused caption button.
      if (msg->wParam == VK_ESCAPE || msg->wParam == VK_SPACE) return true;
      break;
    case WM_SYSCOMMAND:
      // Closes addressed to the host itself; a box or pop-up of the host
      // closing goes its own way.
      if (toHost && (msg->wParam & 0xFFF0) == SC_CLOSE) {
        const bool marked = msg->lParam == kLauncherMarker;
        if (marked && TabCount() == 0) {
          // The first login was cancelled: the host, still 1 x 1, ends. It
          // was never seen, so whoever started it is told why it is gone.
          SayOnStderr(L"host window: its first login ended without a game tab, so it closes");
          ShutDownHost();
          return true;
        }
        if (marked && m_hPendingProcess) {
          // A further login was cancelled or refused: its tab will not come.
          m_hPendingProcess.reset();
          return true;
        }
        if (msg->lParam == 0 && TabCount() == 0) {
          // Nothing to lose yet: no question. ShutDownHost ends the pending login.
          ShutDownHost();
          return true;
        }
        // Otherwise the close reaches OnCancel and its question.
      }
      break;
  }
  const bool ctrlD = msg->message == WM_CHAR && msg->wParam == kCtrlDChar &&
                     HIWORD(msg->lParam) == kCtrlDFirstPress;
  const bool f5 = msg->message == WM_KEYDOWN && msg->wParam == VK_F5;
  if (ctrlD || f5) {
    // Refresh and favourites belong to the page that is shown.
    ForwardToShownPage(*msg);
    return true;
  }
  if (toHost && msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == SC_RESTORE &&
      TabCount() == 0)
    ShowWindow(Hwnd(), SW_RESTORE);
  if (m_tipTabs.Hwnd()) m_tipTabs.RelayEvent(msg);
  return CDlgEx::PreTranslateMessage(msg);
}

// ---------------------------------------------------------------------------
// Caption band and tab strip.

void CTavrix3Dlg::ResetHover() {
  m_nHotTab = -1;
  m_nCloseState = -1;
}

void CTavrix3Dlg::InvalidateTab(int i) {
  if (i < 0) return;
  const RECT r = ToRect(tabs::TabRect(i));
  InvalidateRect(Hwnd(), &r, TRUE);
}

void CTavrix3Dlg::InvalidateClose(int i) {
  if (i < 0) return;
  const RECT r = ToRect(tabs::TabCloseRect(i));
  InvalidateRect(Hwnd(), &r, TRUE);
}

void CTavrix3Dlg::ActivateTip(bool active) {
  if (m_tipTabs.Hwnd()) m_tipTabs.Activate(active);
}

bool CTavrix3Dlg::OnStrip(POINT client) const {
  return tabs::StripHit(client.x, client.y, TabCount()).onStrip;
}

void CTavrix3Dlg::OnPaint() {
  if (!IsIconic(Hwnd())) {
    DefaultProc(WM_PAINT, 0, 0);
    return;
  }
  fw::ScopedPaint paint(Hwnd());
  Send(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.get()), 0);
  const RECT client = GetClientRect();
  const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(paint.get(), x, y, m_hIcon);
}

BOOL CTavrix3Dlg::OnEraseBkgnd(HDC dc) {
  const RECT client = GetClientRect();
  if (client.right <= 0 || client.bottom <= 0) return TRUE;
  // Frame and strip go into one off-screen bitmap that reaches the screen
  // in a single blit, so hovering along the strip does not flicker. The
  // bitmap covers only what the DC lets through (a hover change repaints a
  // tab, not the window), in the DC's own coordinates.
  RECT box{};
  if (GetClipBox(dc, &box) == NULLREGION || IsRectEmpty(&box)) return TRUE;
  const int w = box.right - box.left, h = box.bottom - box.top;
  fw::ScopedMemDC mem(CreateCompatibleDC(dc));
  fw::ScopedBitmap canvas(CreateCompatibleBitmap(dc, w, h));
  if (!mem || !canvas) return CDlgEx::OnEraseBkgnd(dc);
  {
    fw::ScopedSelect selectCanvas(mem.get(), canvas.get());
    SetWindowOrgEx(mem.get(), box.left, box.top, nullptr);
    CDlgEx::OnEraseBkgnd(mem.get());
    DrawTabs(mem.get());
    BitBlt(dc, box.left, box.top, w, h, mem.get(), box.left, box.top, SRCCOPY);
  }
  return TRUE;
}

void CTavrix3Dlg::DrawTabs(HDC dc) const {
  const int n = TabCount();
  if (n == 0) return;
  const int saved = SaveDC(dc);
  if (auto font = reinterpret_cast<HFONT>(Send(WM_GETFONT))) SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  for (int i = 0; i < n; ++i) {
    const tabs::Rect tab = tabs::TabRect(i);
    const int frame = i == m_nCurTab ? kTabCurrent : i == m_nHotTab ? kTabHot : kTabNormal;
    m_ilTabBack.DrawEx(frame, dc, tab.left, tab.top, tab.Width(), tab.Height(), CLR_DEFAULT,
                       CLR_DEFAULT, kTabDrawStyle);
    // Only the tab under the mouse shows its close button.
    if (i == m_nHotTab && m_nCloseState >= 0) {
      const tabs::Rect close = tabs::TabCloseRect(i);
      m_ilTabClose.DrawEx(m_nCloseState, dc, close.left, close.top, kCloseSize, kCloseSize,
                          CLR_DEFAULT, CLR_DEFAULT, kTabDrawStyle);
    }
    if (static_cast<size_t>(i) < m_arrTabCaption.size()) {
      RECT text = ToRect(tabs::TabCaptionRect(i));
      // Cut at the close button's left edge. No prefix: an "&" in an
      // account is a character, not an underline.
      const std::wstring& caption = m_arrTabCaption[static_cast<size_t>(i)];
      DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                DT_SINGLELINE | DT_NOPREFIX);
    }
  }
  RestoreDC(dc, saved);  // lets go of the font
}

LRESULT CTavrix3Dlg::OnNcHitTest(POINT screen) {
  // The answer is always the frame's; on the way the hover state follows the mouse.
  const LRESULT answer = CDlgEx::OnNcHitTest(screen);
  POINT p = screen;
  ScreenToClient(Hwnd(), &p);
  const tabs::StripHitResult hit = tabs::StripHit(p.x, p.y, TabCount());
  if (!hit.onStrip) {
    if (m_nHotTab != -1) InvalidateTab(m_nHotTab);
    ResetHover();
    m_bTipActive = FALSE;
    ActivateTip(false);
    return answer;
  }
  const int e = hit.tab;
  // Tooltip: shown with tab e's caption; moving to another tab hides it, and
  // the next hit test there shows the new caption.
  if (!m_bTipActive) {
    ActivateTip(true);
    const wchar_t* caption =
        static_cast<size_t>(e) < m_arrTabCaption.size() ? m_arrTabCaption[static_cast<size_t>(e)].c_str() : L"";
    if (m_tipTabs.Hwnd()) m_tipTabs.UpdateText(Hwnd(), 0, caption);
    m_bTipActive = TRUE;
  } else if (e != m_nHotTab) {
    m_bTipActive = FALSE;
    ActivateTip(false);
  }
  int c = 0;
  if (hit.onCloseButton) {
    c = (GetKeyState(VK_LBUTTON) & 0x8000) ? 2 : 1;
    m_bTipActive = FALSE;
    ActivateTip(false);
  }
  if (e != m_nHotTab || c != m_nCloseState) {
    const int h = m_nHotTab;
    // Only what changed is repainted: the close button within the same
    // tab, else the tab left and the tab entered.
    if (h != -1) {
      if (h == e)
        InvalidateClose(h);
      else
        InvalidateTab(h);
    }
    m_nHotTab = e;
    m_nCloseState = c;
    if (h != e) InvalidateTab(e);
  }
  if (!m_bTracking && answer != HTCAPTION) {
    TRACKMOUSEEVENT tme{};
    tme.cbSize = sizeof(tme);
    tme.dwFlags = TME_LEAVE;
    tme.hwndTrack = Hwnd();
    tme.dwHoverTime = HOVER_DEFAULT;
    m_bTracking = TrackMouseEvent(&tme);
  }
  return answer;
}

bool CTavrix3Dlg::StripButtonDown(POINT client) {
  const tabs::StripHitResult hit = tabs::StripHit(client.x, client.y, TabCount());
  if (!hit.onStrip) return false;
  SelectTabAt(client.x, client.y);
  // Pressed on the close button: the pressed image at once; the tab closes
  // on the release over the button, not here.
  if (hit.onCloseButton) {
    m_nCloseState = 2;
    m_nHotTab = hit.tab;
    InvalidateClose(hit.tab);
  }
  return true;
}

bool CTavrix3Dlg::StripButtonUp(POINT client) {
  const tabs::StripHitResult hit = tabs::StripHit(client.x, client.y, TabCount());
  if (!hit.onStrip) return false;
  if (hit.onCloseButton) CloseTab(hit.tab);
  return true;
}

bool CTavrix3Dlg::StripMiddleUp(POINT client) {
  const tabs::StripHitResult hit = tabs::StripHit(client.x, client.y, TabCount());
  if (!hit.onStrip) return false;
  CloseTab(hit.tab);
  return true;
}

void CTavrix3Dlg::OnMouseLeave(bool clientArea) {
  if (m_nHotTab != -1 || m_nCloseState != -1) {
    InvalidateTab(m_nHotTab);
    ResetHover();
  }
  if (clientArea) m_bTracking = FALSE;
}

void CTavrix3Dlg::LayoutCaptionControls(int cx) {
  const tabs::CaptionLayout layout = tabs::LayoutCaptionControls(cx);
  struct {
    fw::Window& control;
    tabs::Rect rect;
  } controls[] = {
      {m_btnHide, layout.hide},
      {m_btnSound, layout.sound},
      {m_btnSystem, layout.system},
      {m_lnkAddLogin, layout.addLogin},
  };
  for (auto& c : controls) {
    if (!c.control.Hwnd()) continue;
    c.control.Move(ToRect(c.rect), true);
    c.control.Invalidate(true);
  }
  RedrawCaptionButtons();
}

void CTavrix3Dlg::OnHostSize(UINT type, int cx, int cy) {
  const RECT area = ContentRect();
  const int w = area.right - area.left, h = area.bottom - area.top;
  if (GameListVisible())
    MoveWindow(m_hGameListWnd, area.left, area.top, w, h, FALSE);
  else if (m_nCurTab >= 0 && m_nCurTab < TabCount())
    MoveWindow(m_arrTabWnd[static_cast<size_t>(m_nCurTab)], area.left, area.top, w, h, FALSE);
  CDlgEx::OnSize(type, cx, cy);

  if (cx != m_nClientWidth && m_btnHide.Hwnd()) LayoutCaptionControls(cx);
  if (m_osvi.dwMajorVersion < kVistaMajor && cx < m_nClientWidth) {
    RECT corner = GetWindowRect();
    corner.left = corner.right - kCornerTrace;
    corner.bottom = corner.top + kCornerTrace;
    RedrawWindow(GetDesktopWindow(), &corner, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  }
  m_nClientWidth = cx;
}

void CTavrix3Dlg::OnWindowPosChanging(WINDOWPOS* pos) const {
  if (!pos || (pos->flags & SWP_NOSIZE)) return;
  // The strip and the caption controls need room; without tabs (the 1 x 1
  // start) there is no minimum.
  int width = pos->cx, height = pos->cy;
  if (tabs::RaiseToMinimumSize(TabCount(), &width, &height)) {
    pos->cx = width;
    pos->cy = height;
  }
}

// ---------------------------------------------------------------------------
// Commands and timers.

void CTavrix3Dlg::OnCommandAddLogin() {
  if (!m_dlgAddAcc.Hwnd() && !m_dlgAddAcc.Create(Hwnd())) return;
  // Directly below the link, right edges in line.
  const RECT link = m_lnkAddLogin.GetWindowRect();
  const RECT pop = m_dlgAddAcc.GetWindowRect();
  const int w = pop.right - pop.left, h = pop.bottom - pop.top;
  m_dlgAddAcc.Move(link.right - w, link.bottom, w, h, true);
  m_dlgAddAcc.Show(SW_SHOW);
}

void CTavrix3Dlg::OnSoundTimer() {
  const WPARAM muted = m_bMuted ? 1 : 0;
  for (HWND tab : m_arrTabWnd) PostMessageW(tab, WM_SOUND_SWITCH, muted, 0);
  const BOOL shown = m_bMuted ? TRUE : FALSE;
  if (shown == m_bSoundShown) return;
  m_bSoundShown = shown;
  fw::ScopedBitmap strip(
      LoadSkinImage(m_bMuted ? IDR_PNG_SOUND_OFF : IDR_PNG_SOUND_ON, m_hResources));
  m_btnSound.SetImage(strip.get(), TRUE);
  m_btnSound.Invalidate(true);
}

void CTavrix3Dlg::OnTimer(UINT_PTR id) {
  if (id == kSoundTimer) {
    OnSoundTimer();
  } else if (id == kNoticeTimer) {
    KillTimer(kNoticeTimer);
    ShowNotice();
  }
}

// Steps still to come.
void CTavrix3Dlg::InstallKeyboardHook() { ReportNotBuilt(L"InstallKeyboardHook"); }
void CTavrix3Dlg::ReloadHotKeys() { ReportNotBuilt(L"ReloadHotKeys"); }
void CTavrix3Dlg::CreateLoginPreload() { ReportNotBuilt(L"CreateLoginPreload"); }
void CTavrix3Dlg::ToggleHostVisible() { ReportNotBuilt(L"ToggleHostVisible"); }
void CTavrix3Dlg::ShowSystemMenu() { ReportNotBuilt(L"ShowSystemMenu"); }
void CTavrix3Dlg::OnTrayIcon(WPARAM, LPARAM) { ReportNotBuilt(L"OnTrayIcon"); }
void CTavrix3Dlg::ShowTrayMenu() { ReportNotBuilt(L"ShowTrayMenu"); }
void CTavrix3Dlg::ShowNotice() { ReportNotBuilt(L"ShowNotice"); }

// ---------------------------------------------------------------------------

LRESULT CTavrix3Dlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_QUERYDRAGICON: return reinterpret_cast<LRESULT>(m_hIcon);
    case WM_SIZE: OnHostSize(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp)); return 0;
    case WM_TAB_CREATED: return OnTabCreated(reinterpret_cast<HWND>(wp), lp != 0);
    case WM_WINDOWPOSCHANGING:
      OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lp));
      break;
    case WM_COPYDATA: return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lp));
    case WM_TRAY_ICON: OnTrayIcon(wp, lp); return 0;
    case WM_SHOW_TRAY_MENU: ShowTrayMenu(); return 0;
    case WM_RELOAD_HOTKEYS: ReloadHotKeys(); return 0;
    case WM_COMMAND:
      if (HIWORD(wp) == BN_CLICKED) {  // STN_CLICKED of the link is 0 too
        switch (LOWORD(wp)) {
          case IDC_HOST_HIDE: ToggleHostVisible(); return 0;
          case IDC_HOST_SYSTEM: ShowSystemMenu(); return 0;
          case IDC_HOST_SOUND: m_bMuted = !m_bMuted; return 0;
          case IDC_HOST_ADD_LOGIN: OnCommandAddLogin(); return 0;
        }
      }
      break;
    case WM_TIMER: OnTimer(wp); return 0;
    case WM_ERASEBKGND: return OnEraseBkgnd(reinterpret_cast<HDC>(wp));
    case WM_NCHITTEST: return OnNcHitTest(PointOf(lp));
    case WM_NCLBUTTONDOWN: {
      POINT p = PointOf(lp);
      ScreenToClient(Hwnd(), &p);
      // On a tab no window drag starts.
      if (!StripButtonDown(p)) CDlgEx::OnNcLButtonDown(static_cast<UINT>(wp), PointOf(lp));
      return 0;
    }
    case WM_NCLBUTTONUP: {
      POINT p = PointOf(lp);
      ScreenToClient(Hwnd(), &p);
      if (StripButtonUp(p)) return 0;
      break;
    }
    case WM_LBUTTONDOWN:
      StripButtonDown(PointOf(lp));
      break;
    case WM_LBUTTONUP:
      StripButtonUp(PointOf(lp));
      break;
    case WM_NCLBUTTONDBLCLK: {
      POINT p = PointOf(lp);
      ScreenToClient(Hwnd(), &p);
      // A double click on a tab neither maximizes nor restores.
      if (!OnStrip(p)) CDlgEx::OnNcLButtonDblClk(static_cast<UINT>(wp), PointOf(lp));
      return 0;
    }
    case WM_LBUTTONDBLCLK:
      if (!OnStrip(PointOf(lp))) CDlgEx::OnLButtonDblClk(static_cast<UINT>(wp), PointOf(lp));
      return 0;
    case WM_MBUTTONUP:
      if (StripMiddleUp(PointOf(lp))) return 0;
      break;
    case WM_NCMBUTTONUP: {
      POINT p = PointOf(lp);
      ScreenToClient(Hwnd(), &p);
      if (StripMiddleUp(p)) return 0;
      break;
    }
    case WM_MOUSELEAVE:
      OnMouseLeave(true);
      break;
    case WM_NCMOUSELEAVE:
      OnMouseLeave(false);
      break;
    case WM_ADD_LOGIN: return OnAddLogin(static_cast<int>(wp));
    case WM_NOTIFY: {
      // The tooltip asks for its text before the first hit test set one.
      auto* info = reinterpret_cast<NMTTDISPINFOW*>(lp);
      if (info && m_tipTabs.Hwnd() && info->hdr.hwndFrom == m_tipTabs.Hwnd() &&
          info->hdr.code == TTN_GETDISPINFOW) {
        const size_t hot = static_cast<size_t>(m_nHotTab);
        info->lpszText = const_cast<wchar_t*>(
            m_nHotTab >= 0 && hot < m_arrTabCaption.size() ? m_arrTabCaption[hot].c_str() : L"");
        return 0;
      }
      break;
    }
  }
  return CDlgEx::WindowProc(msg, wp, lp);
}
