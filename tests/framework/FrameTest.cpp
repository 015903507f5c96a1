// The frame window and its one view on real windows.
#include <gtest/gtest.h>

#include <memory>

#include "framework/App.h"
#include "framework/FrameWnd.h"

namespace {

// A view that tells when its object goes away and whether it saw its
// window's WM_DESTROY (where a view releases what lives in its window).
struct CountedView : fw::View {
  explicit CountedView(int& alive, bool* sawDestroy = nullptr)
      : alive_(alive), sawDestroy_(sawDestroy) {
    ++alive_;
  }
  ~CountedView() override { --alive_; }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_DESTROY && sawDestroy_) *sawDestroy_ = true;
    return fw::View::WindowProc(msg, wp, lp);
  }
  int& alive_;
  bool* sawDestroy_;
};

RECT ViewRectInFrame(const fw::FrameWnd& frame) {
  RECT r = frame.GetView()->GetWindowRect();
  MapWindowPoints(nullptr, frame.Hwnd(), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool Same(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

}  // namespace

TEST(FrameWnd, ViewFillsTheClientAreaThroughResizes) {
  int alive = 0;
  fw::FrameWnd frame;
  const RECT start{10, 10, 410, 310};
  ASSERT_TRUE(frame.Create(std::make_unique<CountedView>(alive), L"frame",
                           WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, nullptr, &start));
  ASSERT_NE(frame.GetView(), nullptr);
  EXPECT_EQ(GetParent(frame.GetView()->Hwnd()), frame.Hwnd());
  EXPECT_TRUE(Same(ViewRectInFrame(frame), frame.GetClientRect())) << "after creation";

  struct Step {
    const char* name;
    int showCmd;  // 0: move to cx x cy instead
    int cx, cy;
  };
  const Step steps[] = {
      {"smaller", 0, 200, 150},
      {"larger", 0, 640, 480},
      {"minimized", SW_MINIMIZE, 0, 0},
      {"restored", SW_RESTORE, 0, 0},
      {"maximized", SW_MAXIMIZE, 0, 0},
  };
  RECT last = frame.GetView()->GetClientRect();
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    if (s.showCmd)
      ShowWindow(frame.Hwnd(), s.showCmd);
    else
      frame.Move(10, 10, s.cx, s.cy);
    if (s.showCmd == SW_MINIMIZE) {
      // The frame reports a 0 x 0 client area; the view keeps its size for the restore.
      EXPECT_TRUE(Same(frame.GetView()->GetClientRect(), last));
    } else {
      EXPECT_TRUE(Same(ViewRectInFrame(frame), frame.GetClientRect()));
      last = frame.GetView()->GetClientRect();
    }
  }
}

TEST(FrameWnd, MainFrameEndsTheLoopWhenClosedButNotWhenItsObjectIsDeleted) {
  for (bool userCloses : {true, false}) {
    SCOPED_TRACE(userCloses ? "WM_CLOSE to the frame" : "the program deletes the frame object");
    int alive = 0;
    bool viewSawDestroy = false;
    fw::App app;
    auto frame = std::make_unique<fw::FrameWnd>();
    ASSERT_TRUE(frame->Create(std::make_unique<CountedView>(alive, &viewSawDestroy), L"main"));
    HWND hwnd = frame->Hwnd();
    HWND view = frame->GetView()->Hwnd();
    app.SetMainWindow(frame.get());
    if (userCloses) {
      frame->Post(WM_CLOSE);
      EXPECT_EQ(app.Run(), 0);  // returns once WM_QUIT came
      // The view object went with the window, before the frame object.
      EXPECT_EQ(alive, 0);
      EXPECT_EQ(frame->Hwnd(), nullptr);
    } else {
      frame.reset();
      MSG msg;
      EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    }
    EXPECT_EQ(app.MainWindow(), nullptr);
    EXPECT_TRUE(viewSawDestroy) << "the view goes down as its window's object either way";
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(IsWindow(view));
    frame.reset();
    EXPECT_EQ(alive, 0);
  }
}
