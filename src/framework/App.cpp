#include "framework/App.h"

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
  for (;;) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    DispatchOne(&msg);
  }
  quitCode_ = static_cast<int>(msg.wParam);
  return ExitInstance();
}

bool App::PreTranslateMessage(MSG*) { return false; }

void DispatchOne(MSG* msg) {
  App* app = App::Current();
  if (app && app->PreTranslateMessage(msg)) return;
  TranslateMessage(msg);
  DispatchMessageW(msg);
}

}  // namespace fw
