#include "framework/FrameWnd.h"

#include <utility>

#include "framework/App.h"

namespace fw {

FrameWnd::~FrameWnd() {
  // The frame's window goes down now, while view_ still exists, so the view
  // object sees its window's WM_DESTROY as it would on a close. Left to
  // ~Window, view_ would already be gone and its window destroyed unseen.
  DestroyDetached();
}

bool FrameWnd::Create(std::unique_ptr<View> view, const wchar_t* title, DWORD style,
                      DWORD exStyle, HWND owner, const RECT* rect) {
  if (Hwnd()) return false;
  const bool created =
      rect ? Window::Create(owner, title, style, exStyle, *rect)
           : Window::Create(owner, title, style, exStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT);
  if (!created) return false;
  view_ = std::move(view);
  if (view_ &&
      !view_->Create(Hwnd(), nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, GetClientRect(),
                     kViewId)) {
    view_.reset();
    Destroy();
    return false;
  }
  return true;
}

LRESULT FrameWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE:
      // A minimized frame reports 0 x 0; the view keeps its size until restored.
      if (wp != SIZE_MINIMIZED && view_ && view_->Hwnd())
        view_->Move(0, 0, LOWORD(lp), HIWORD(lp));
      return 0;
    case WM_SETFOCUS:
      if (view_ && view_->Hwnd()) view_->SetFocus();
      return 0;
    case WM_CLOSE:
      Destroy();
      return 0;
    case WM_NCDESTROY: {
      // Child windows are gone before WM_NCDESTROY reaches their parent.
      view_.reset();
      App* app = App::Current();
      if (app && app->MainWindow() == this) {
        app->SetMainWindow(nullptr);
        PostQuitMessage(0);
      }
      break;
    }
  }
  return Window::WindowProc(msg, wp, lp);
}

}  // namespace fw
