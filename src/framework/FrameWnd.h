// A top-level frame window holding one view, a child that always fills the
// frame's client area (the game frame builds on this).
#pragma once
#include <windows.h>

#include <memory>

#include "framework/Window.h"

namespace fw {

// The frame's one child. Derive from it for the content.
class View : public Window {
 protected:
  const wchar_t* ClassName() const override { return L"fw.View"; }
};

class FrameWnd : public Window {
 public:
  // Id of the view window.
  static constexpr int kViewId = 0xE900;

  FrameWnd() = default;
  ~FrameWnd() override;

  // Creates the frame and then `view` as its child over the whole client
  // area. The frame takes the view object: it is deleted when the frame's
  // window is gone. `rect` null: the system's default position and size.
  bool Create(std::unique_ptr<View> view, const wchar_t* title,
              DWORD style = WS_OVERLAPPEDWINDOW, DWORD exStyle = 0, HWND owner = nullptr,
              const RECT* rect = nullptr);

  View* GetView() const { return view_.get(); }

 protected:
  // WM_SIZE fits the view, WM_SETFOCUS passes the focus to it, WM_CLOSE
  // destroys the frame, and WM_NCDESTROY of the application's main window
  // posts WM_QUIT.
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  const wchar_t* ClassName() const override { return L"fw.FrameWnd"; }

 private:
  std::unique_ptr<View> view_;
};

}  // namespace fw
