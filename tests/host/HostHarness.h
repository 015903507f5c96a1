// A host window under test: the real CTavrix3Dlg in this process, made the
// application's main window and pumped by the framework's own dispatch (so
// its PreTranslateMessage rules apply), with the stand-in tab program
// (helpers/standin_tab.cpp) as the program of its tab processes. Every tab
// is a real process that talks to the host with real messages.
//
// Stand-in logs leave out the "sound-switch" lines of timer 3 unless asked:
// they arrive every 400 ms and would sit between any two other lines.
//
// What a test sees:
//   - the host object and its window (fields, real window state, pixels);
//   - each stand-in's log: what that tab process did and received, in order;
//   - the host's side of the protocol, recorded by thread hooks as the
//     messages arrive: "copydata <text> -> <answer>", "tab-created <lParam>",
//     "syscommand close <lParam>";
//   - every skinned message box the host showed (caption, text, type,
//     button texts), each answered by pressing the button the test queued
//     (a box nobody expected is answered with its close button and stays on
//     record, so a test can fail on it);
//   - whether the host posted WM_QUIT (ShutDownHost), and whether its tray
//     icon existed at that moment.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/App.h"
#include "host/Tavrix3Dlg.h"

namespace hosttest {

// Generous limit for one step (a stand-in starting, a message arriving);
// only a broken host or stand-in ever waits this long.
constexpr DWORD kStepMs = 15000;

// Buttons of the skinned message box.
constexpr int kBoxButton1 = 5000;  // "是" or "确定"
constexpr int kBoxButton2 = 5001;  // "否"
constexpr int kBoxClose = 50000;   // the caption's close button

constexpr wchar_t kTitle[] = L"tarvo - 砾歌";

// LgTarvo.exe (built beside the tests) as a resource module: the host's
// template, images and icon.
HMODULE LauncherModule();

// The lines a stand-in wrote to its log file so far.
class StandinLog {
 public:
  explicit StandinLog(std::wstring path) : path_(std::move(path)) {}
  std::vector<std::string> Lines(bool withSound = false) const;
  // Whether a line (sound lines too) begins with `prefix`.
  bool Has(const std::string& prefix) const;
  // The lines after the first one beginning with `prefix`.
  std::vector<std::string> LinesAfter(const std::string& prefix, bool withSound = false) const;
  std::string Text() const;
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

struct Box {
  std::wstring caption, text;
  UINT type = 0;
  std::wstring button1, button2;  // texts; button2 empty for a one-button box
  bool expected = true;           // false: no answer was queued for it
};

class HostRun {
 public:
  HostRun();
  ~HostRun();
  HostRun(const HostRun&) = delete;
  HostRun& operator=(const HostRun&) = delete;

  CTavrix3Dlg& host() { return *host_; }
  HWND hwnd() const { return host_->Hwnd(); }

  // The next tab process the host starts logs in as `account`, with further
  // stand-in switches (--cancel, --hold, --gamelist...). Returns its index
  // for Tab().
  int NextTab(const std::wstring& account, const std::wstring& switches = L"");
  // As NextTab, with the stand-in program at `program` (a copy elsewhere).
  int NextTabFrom(const std::wstring& program, const std::wstring& account,
                  const std::wstring& switches = L"");
  const StandinLog& Tab(int i) const { return logs_.at(static_cast<size_t>(i)); }
  int TabsStarted() const { return static_cast<int>(logs_.size()); }

  // Creates the host window; its start-up starts the first tab process.
  bool Start();
  // Start, then one tab per account (each waited for until its frame is in
  // place). False when one did not arrive.
  bool OpenTabs(const std::vector<std::wstring>& accounts);
  // One more tab through WM_ADD_LOGIN 1, waited for.
  bool AddTab(const std::wstring& account, const std::wstring& switches = L"");
  // Waits until stand-in `i` placed its frame (or stayed hidden as asked).
  bool WaitPlaced(int i);

  // Dispatches messages the way the host's own loop does until `done` or
  // `ms` passed; answers whether `done` became true.
  bool PumpUntil(const std::function<bool()>& done, DWORD ms = kStepMs);
  // Dispatches what is queued now (and what that posts) for a short while.
  void Settle(DWORD ms = 50);
  // Waits until stand-in `i` logged a line beginning with `prefix`.
  bool WaitLine(int i, const std::string& prefix, DWORD ms = kStepMs);

  // The next message box is answered with `button` (kBoxButton1...).
  void Answer(int button) { answers_.push_back(button); }
  const std::vector<Box>& Boxes() const { return boxes_; }
  bool AnswersLeft() const { return !answers_.empty(); }

  // The host's side of the protocol so far (see above).
  const std::vector<std::string>& Protocol() const { return protocol_; }
  // The WM_ADD_LOGIN choices (wParam) the host received, in order.
  const std::vector<WPARAM>& AddLoginChoices() const { return addLogins_; }

  bool Quit() const { return quit_; }
  bool TrayIconAtQuit() const { return trayAtQuit_; }
  // How often the "new window" choice asked for another program instance.
  int NewInstances() const { return newInstances_; }

  // Stand-in processes of this test program that are still running.
  int RunningStandins() const;

  // Client point (x, y) of the host in screen coordinates, packed as a
  // mouse message's lParam.
  LPARAM ScreenLParam(int x, int y) const;
  // WM_NCHITTEST at client point (x, y), sent; the host's answer.
  LRESULT HitTest(int x, int y);
  // A mouse message at client point (x, y), posted: client messages with
  // client coordinates, non-client ones (WM_NC...) with screen coordinates
  // and the hit-test code the host answers there.
  void PostMouse(UINT msg, int x, int y);

  // Whether the host's tray icon exists now.
  bool TrayIconExists() const;

 private:
  static LRESULT CALLBACK GetMessageHook(int code, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK RecordSent(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                     DWORD_PTR data);
  static LRESULT CALLBACK TimerWndProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
  static bool LaunchRecorder(const wchar_t* path);
  void AnswerBoxes();

  std::unique_ptr<fw::App> app_;
  std::unique_ptr<CTavrix3Dlg> host_;
  std::wstring dir_;
  std::vector<StandinLog> logs_;
  std::vector<int> answers_;
  std::vector<Box> boxes_;
  std::vector<HWND> boxWindows_;
  std::vector<std::string> protocol_;
  std::vector<WPARAM> addLogins_;
  HHOOK getMessageHook_ = nullptr;
  HWND timerWnd_ = nullptr;
  bool quit_ = false;
  bool trayAtQuit_ = false;
  int newInstances_ = 0;
};

// Helpers for tests.
std::string Utf8(const std::wstring& w);
// A window's client rectangle in its parent's client coordinates.
RECT RectInParent(HWND child);
std::string Describe(const RECT& r);

}  // namespace hosttest
