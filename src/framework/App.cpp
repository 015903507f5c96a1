#include "framework/App.h"

#include "framework/Window.h"

namespace fw {

App* App::current_ = nullptr;

App::App() { current_ = this; }

App::~App() {
  if (current_ == this) current_ = nullptr;
}

int App::Main(HINSTANCE instance) {
  instance_ = instance;
  if (!InitInstance()) return ExitInstance();
  return Run();
}

int App::ExitInstance() { return quitCode_; }

int App::Run() {
  MSG msg;
  BOOL got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) DispatchOne(&msg);
  // -1 (an invalid argument) leaves `msg` unfilled: no exit code to take from it.
  quitCode_ = got == 0 ? static_cast<int>(msg.wParam) : -1;
  return ExitInstance();
}

bool WalkPreTranslateTree(MSG* msg, HWND stop, bool* reachedStop) {
  if (reachedStop) *reachedStop = false;
  const DWORD thread = GetCurrentThreadId();
  // GetParent gives the parent of a child window and the owner of a pop-up,
  // so keys in a dialog also reach the window that owns it.
  for (HWND hwnd = msg->hwnd; hwnd; hwnd = GetParent(hwnd)) {
    // A parent can belong to another thread or process (a frame placed into
    // another program's window): its objects are not this thread's to call.
    if (GetWindowThreadProcessId(hwnd, nullptr) != thread) break;
    Window* w = Window::FromHandle(hwnd);
    if (w && w->PreTranslateMessage(msg)) return true;
    if (hwnd == stop) {
      if (reachedStop) *reachedStop = true;
      break;
    }
  }
  return false;
}

bool App::PreTranslateMessage(MSG* msg) {
  HWND main = mainWindow_ ? mainWindow_->Hwnd() : nullptr;
  bool reachedMain = false;
  if (WalkPreTranslateTree(msg, main, &reachedMain)) return true;
  // Messages for windows outside the main window's tree (an unowned pop-up,
  // a thread message) still pass the main window's rules.
  return main && !reachedMain && mainWindow_->PreTranslateMessage(msg);
}

namespace {

// IsDialogMessage for a modeless dialog that is not a framework Dialog (those
// call it from their own PreTranslateMessage).
bool PlainDialogMessage(MSG* msg) {
  HWND root = msg->hwnd ? GetAncestor(msg->hwnd, GA_ROOT) : nullptr;
  if (!root || GetWindowThreadProcessId(root, nullptr) != GetCurrentThreadId()) return false;
  // 32770 is the atom of the dialog class (WC_DIALOG).
  if (GetClassLongPtrW(root, GCW_ATOM) != 32770 || Window::FromHandle(root)) return false;
  return IsDialogMessageW(root, msg) != FALSE;
}

}  // namespace

void DispatchOne(MSG* msg) {
  App* app = App::Current();
  const bool handled = app ? app->PreTranslateMessage(msg) : WalkPreTranslateTree(msg, nullptr);
  if (handled || PlainDialogMessage(msg)) return;
  TranslateMessage(msg);
  DispatchMessageW(msg);
}

}  // namespace fw
