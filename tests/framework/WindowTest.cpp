// The window base on real windows: who owns which window, subclassing of
// existing controls, and that no message reaches an object once its
// destructor has started.
#include <gtest/gtest.h>

#include <cstring>
#include <new>

#include "FwTest.h"
#include "framework/Window.h"

using fwtest::Log;
using fwtest::RecordingWindow;

namespace {

HWND PlainEdit(HWND parent = nullptr) {
  return CreateWindowExW(0, L"EDIT", L"", parent ? WS_CHILD : WS_POPUP, 0, 0, 100, 20, parent,
                         nullptr, GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

TEST(Window, OwnershipFollowsHowTheObjectGotItsWindow) {
  enum How { kCreate, kCreateControl, kSubclass, kAttach };
  struct Case {
    const char* name;
    How how;
    bool owns;    // the object's end destroys the window
    bool routed;  // its messages reach the object, FromHandle finds it
  };
  const Case cases[] = {
      {"Create: the framework's own class", kCreate, true, true},
      {"CreateControl: a system control", kCreateControl, true, true},
      {"Subclass: someone else's window", kSubclass, false, true},
      {"Attach: a bare wrapper", kAttach, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Log log;
    HWND hwnd = nullptr;
    {
      RecordingWindow w(log, "W");
      switch (c.how) {
        case kCreate: ASSERT_TRUE(w.Create(nullptr, L"", WS_POPUP, 0, 0, 0, 10, 10)); break;
        case kCreateControl:
          ASSERT_TRUE(w.CreateControl(L"EDIT", nullptr, 0, L"", WS_POPUP, 0, RECT{0, 0, 10, 10}));
          break;
        case kSubclass: ASSERT_TRUE(w.Subclass(PlainEdit())); break;
        case kAttach: ASSERT_TRUE(w.Attach(PlainEdit())); break;
      }
      hwnd = w.Hwnd();
      EXPECT_EQ(w.Owns(), c.owns);
      EXPECT_EQ(fw::Window::FromHandle(hwnd), c.routed ? &w : nullptr);
      SendMessageW(hwnd, WM_APP + 1, 0, 0);
      EXPECT_EQ(log, c.routed ? Log{"W got WM_APP+1 0x00"} : Log{});
    }
    EXPECT_EQ(IsWindow(hwnd) != FALSE, !c.owns);
    EXPECT_EQ(fw::Window::FromHandle(hwnd), nullptr);
    DestroyWindow(hwnd);
  }
}

TEST(Window, SubclassTakesMessagesAndUnsubclassRestoresTheProcedure) {
  Log log;
  HWND edit = PlainEdit();
  ASSERT_NE(edit, nullptr);
  const LONG_PTR original = GetWindowLongPtrW(edit, GWLP_WNDPROC);
  RecordingWindow first(log, "A"), second(log, "B");

  ASSERT_TRUE(first.Subclass(edit));
  EXPECT_FALSE(second.Subclass(edit)) << "one object per window";
  PostMessageW(edit, WM_KEYDOWN, 'X', 0);
  MSG msg;
  while (PeekMessageW(&msg, edit, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  // The object saw the key and passed it on: the edit box's own procedure still works.
  SetWindowTextW(edit, L"kept");
  wchar_t text[16] = {};
  GetWindowTextW(edit, text, 16);
  EXPECT_STREQ(text, L"kept");

  ASSERT_TRUE(first.Unsubclass());
  EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_WNDPROC), original);
  EXPECT_EQ(first.Hwnd(), nullptr);
  EXPECT_EQ(fw::Window::FromHandle(edit), nullptr);
  SendMessageW(edit, WM_APP + 2, 0, 0);

  // Free again: another object can take it.
  ASSERT_TRUE(second.Subclass(edit));
  SendMessageW(edit, WM_APP + 3, 0, 0);
  EXPECT_EQ(log, (Log{"A got WM_KEYDOWN 0x58", "B got WM_APP+3 0x00"}));
  DestroyWindow(edit);
  EXPECT_EQ(second.Hwnd(), nullptr) << "a destroyed window lets go of its object";

  // An owned control cannot be unsubclassed: nobody would destroy it.
  RecordingWindow owned(log, "O");
  ASSERT_TRUE(owned.CreateControl(L"EDIT", nullptr, 0, L"", WS_POPUP, 0, RECT{0, 0, 10, 10}));
  EXPECT_FALSE(owned.Unsubclass());
}

namespace {

// A window object that records every call of its WindowProc and whose memory
// is poisoned, not freed, when it is deleted: a later virtual call through a
// stale pointer jumps through a garbage table and crashes the test, and a
// write into the dead object shows in the poison.
class Mortal : public fw::Window {
 public:
  enum class DeleteOn { kNothing, kClose, kNcDestroy };
  Mortal(Log& log, DeleteOn deleteOn) : log_(log), deleteOn_(deleteOn) {}
  ~Mortal() override { log_.push_back("~Mortal"); }

  static void* operator new(size_t n) { return ::operator new(n); }
  static void operator delete(void* p, size_t n) {
    std::memset(p, 0xCD, n);
    dead = static_cast<unsigned char*>(p);
    deadSize = n;
  }
  static bool PoisonIntact() {
    for (size_t i = 0; i < deadSize; ++i)
      if (dead[i] != 0xCD) return false;
    return true;
  }
  static inline unsigned char* dead = nullptr;
  static inline size_t deadSize = 0;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    log_.push_back(fwtest::MsgName(msg));
    if (msg == WM_CLOSE && deleteOn_ == DeleteOn::kClose) {
      delete this;  // which destroys the window it owns
      return 0;
    }
    if (msg == WM_NCDESTROY && deleteOn_ == DeleteOn::kNcDestroy) {
      LRESULT r = DefaultProc(msg, wp, lp);
      delete this;
      return r;
    }
    return Window::WindowProc(msg, wp, lp);
  }

 private:
  Log& log_;
  DeleteOn deleteOn_;
};

// Only the lines the tests look at: the destructor and the named messages.
Log Named(const Log& log) {
  Log out;
  for (const std::string& s : log)
    if (s.rfind("msg ", 0) != 0) out.push_back(s);
  return out;
}

}  // namespace

TEST(Window, NoCallReachesAnObjectAfterItsDestructorStarted) {
  enum How { kSubclassedControlOutlivesIt, kOwnerDeletesIt, kDeletedAtClose, kDeletedAtNcDestroy };
  struct Case {
    const char* name;
    How how;
    Log expected;
  };
  const Case cases[] = {
      // The control lives on and keeps getting messages below.
      {"a subclassed control outlives its object", kSubclassedControlOutlivesIt, {"~Mortal"}},
      // The window is destroyed after the object let go of it: no WM_DESTROY for the object.
      {"the owner deletes the object of a live window", kOwnerDeletesIt, {"~Mortal"}},
      {"the object deletes itself at WM_CLOSE", kDeletedAtClose, {"WM_CLOSE", "~Mortal"}},
      {"the object deletes itself at WM_NCDESTROY", kDeletedAtNcDestroy,
       {"WM_CLOSE", "WM_DESTROY", "WM_NCDESTROY", "~Mortal"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Log log;
    const auto deleteOn = c.how == kDeletedAtClose      ? Mortal::DeleteOn::kClose
                          : c.how == kDeletedAtNcDestroy ? Mortal::DeleteOn::kNcDestroy
                                                         : Mortal::DeleteOn::kNothing;
    Mortal* m = new Mortal(log, deleteOn);
    HWND hwnd = nullptr;
    if (c.how == kSubclassedControlOutlivesIt) {
      hwnd = PlainEdit();
      ASSERT_TRUE(m->Subclass(hwnd));
    } else {
      ASSERT_TRUE(m->Create(nullptr, L"", WS_POPUP, 0, 0, 0, 10, 10));
      hwnd = m->Hwnd();
    }
    log.clear();
    if (c.how == kSubclassedControlOutlivesIt || c.how == kOwnerDeletesIt)
      delete m;
    else
      SendMessageW(hwnd, WM_CLOSE, 0, 0);  // the default handling destroys the window
    m = nullptr;
    // Whatever still reaches the window must not touch the dead object.
    if (IsWindow(hwnd)) {
      EXPECT_EQ(fw::Window::FromHandle(hwnd), nullptr);
      SendMessageW(hwnd, WM_APP + 1, 0, 0);
      SetWindowTextW(hwnd, L"after");
      DestroyWindow(hwnd);
    }
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(Named(log), c.expected);
    EXPECT_TRUE(Mortal::PoisonIntact()) << "something wrote into the deleted object";
  }
}

TEST(Window, FromHandleIgnoresTheSamePropertyOnAnotherProcessWindow) {
  // A frame of this program can be the child of another process's window
  // (the host's), and window properties are readable across processes: an
  // address stored there by the other process means nothing here.
  HWND foreign = GetDesktopWindow();
  DWORD pid = 0;
  GetWindowThreadProcessId(foreign, &pid);
  ASSERT_NE(pid, GetCurrentProcessId()) << "the desktop window should belong to another process";
  Log log;
  RecordingWindow probe(log, "X");
  ASSERT_TRUE(probe.Create(nullptr, L"", WS_POPUP, 0, 0, 0, 10, 10));
  // The property exactly as the framework writes it, on the foreign window.
  HANDLE stored = GetPropW(probe.Hwnd(), L"fw.Window");
  ASSERT_NE(stored, nullptr);
  ASSERT_TRUE(SetPropW(foreign, L"fw.Window", stored));
  EXPECT_EQ(fw::Window::FromHandle(foreign), nullptr);
  RemovePropW(foreign, L"fw.Window");
}
