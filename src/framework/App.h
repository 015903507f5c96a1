// The application object: one per process, reached through App::Current().
// wWinMain hands control to Main(), which runs InitInstance and, when that
// asks for it, the message pump; ExitInstance always runs last.
//
// Every message the framework's loops take from the queue (App::Run and the
// modal loop of Dialog::DoModal) goes through DispatchOne:
//   1. App::PreTranslateMessage, which by default walks from the message's
//      window up through its parents and owners (GetParent) and calls each
//      framework window's PreTranslateMessage, innermost first, stopping at
//      the main window or at a window of another thread; a message that
//      never passed the main window's tree then goes to the main window too.
//      The first that answers true swallows the message. A dialog's own
//      PreTranslateMessage ends with IsDialogMessage (Dialog.h), so a dialog
//      handles its keyboard before its owner sees the key;
//   2. IsDialogMessage for a modeless dialog that has no framework object;
//   3. TranslateMessage and DispatchMessage.
#pragma once
#include <windows.h>

namespace fw {

class Window;

class App {
 public:
  App();
  virtual ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  static App* Current() { return current_; }

  // Runs the whole life of the process: InitInstance, then Run when it
  // answered true, else ExitInstance directly. Returns the process exit code.
  int Main(HINSTANCE instance);

  // Set-up; answer true to enter the message loop, false to end the process.
  virtual bool InitInstance() { return true; }
  // Clean-up; the answer is the process exit code.
  virtual int ExitInstance();

  // Message loop until WM_QUIT, then ExitInstance.
  int Run();

  // Step 1 above. True: handled, do not dispatch.
  virtual bool PreTranslateMessage(MSG* msg);

  HINSTANCE Instance() const { return instance_; }
  Window* MainWindow() const { return mainWindow_; }
  // The main window gets every message's PreTranslateMessage last, owns
  // dialogs run without an owner, and (a FrameWnd) ends the loop when it is
  // destroyed. Cleared when that window object is destroyed.
  void SetMainWindow(Window* w) { mainWindow_ = w; }

 protected:
  int quitCode_ = 0;  // wParam of the WM_QUIT that ended Run

 private:
  static App* current_;
  HINSTANCE instance_ = nullptr;
  Window* mainWindow_ = nullptr;
};

// Step 1 without an application object: the walk from msg->hwnd up to (and
// including) `stop`. `reachedStop` tells whether `stop` was on the way.
bool WalkPreTranslateTree(MSG* msg, HWND stop, bool* reachedStop = nullptr);

// One pass of the framework's message handling for `msg` (steps 1 to 3).
// Used by Run and by modal loops.
void DispatchOne(MSG* msg);

}  // namespace fw
