// The application object: one per process, reached through App::Current().
// wWinMain hands control to Main(), which runs InitInstance and, when that
// asks for it, the message pump; ExitInstance always runs last.
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

  // Gives the framework windows from msg->hwnd up through its parents a
  // chance to handle the message before it is dispatched. True: handled.
  virtual bool PreTranslateMessage(MSG* msg);

  HINSTANCE Instance() const { return instance_; }
  Window* MainWindow() const { return mainWindow_; }
  void SetMainWindow(Window* w) { mainWindow_ = w; }

 protected:
  int quitCode_ = 0;  // wParam of the WM_QUIT that ended Run

 private:
  static App* current_;
  HINSTANCE instance_ = nullptr;
  Window* mainWindow_ = nullptr;
};

// One pass of the framework's message handling for `msg`: PreTranslateMessage
// walk, then TranslateMessage and DispatchMessage. Used by Run and by modal loops.
void DispatchOne(MSG* msg);

}  // namespace fw
