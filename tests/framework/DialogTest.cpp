// Dialogs on real windows: templates from memory and from a resource module,
// the modal loop (its end, its owner, nesting, WM_QUIT, wake-up from another
// thread) and the keyboard paths to OnOK and OnCancel.
#include <gtest/gtest.h>

#include "FwTest.h"
#include "framework/App.h"
#include "framework/Dialog.h"
#include "framework/Scoped.h"

using fwtest::DialogTemplate;
using fwtest::Log;
using fwtest::RecordingWindow;
using fwtest::TestDialog;

namespace {

// A visible top-level framework window to own dialogs.
struct Owner : RecordingWindow {
  explicit Owner(Log& log) : RecordingWindow(log, "P") {
    Create(nullptr, L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 50, 50, 300, 200);
  }
};

std::string Flag(const char* what, bool v) { return std::string(what) + (v ? "=1" : "=0"); }

}  // namespace

TEST(Dialog, CreatesFromMemoryAndResourceTemplatesAndBindsItems) {
  const DialogTemplate plain = fwtest::StandardTemplate(false);
  const DialogTemplate extended = fwtest::StandardTemplate(true);
  const fwtest::ResourceModule module({{201, &plain}, {202, &extended}});
  ASSERT_NE(module.Get(), nullptr) << "could not build the resource module";

  struct Case {
    const char* name;
    const DLGTEMPLATE* memory;
    UINT resourceId;
  };
  const Case cases[] = {
      {"DLGTEMPLATE in memory", plain.Get(), 0},
      {"DLGTEMPLATEEX in memory", extended.Get(), 0},
      {"DLGTEMPLATE resource", nullptr, 201},
      {"DLGTEMPLATEEX resource", nullptr, 202},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Log log;
    HWND item = nullptr;
    {
      TestDialog d = c.memory ? TestDialog(c.memory, log, "D")
                              : TestDialog(c.resourceId, module.Get(), log, "D");
      ASSERT_TRUE(d.Create(nullptr));
      EXPECT_EQ(log, (Log{"D DoDataExchange", "D OnInitDialog"}));
      wchar_t title[32] = {};
      GetWindowTextW(d.Hwnd(), title, 32);
      EXPECT_STREQ(title, L"fw test");
      item = d.Item(fwtest::kEditId);
      ASSERT_NE(item, nullptr);
      EXPECT_EQ(d.edit.Hwnd(), item);
      EXPECT_EQ(fw::Window::FromHandle(item), &d.edit);
      EXPECT_EQ(fw::Window::FromHandle(d.Hwnd()), &d);
      // The bound item's messages reach its object.
      SendMessageW(item, WM_APP + 1, 0, 0);
      EXPECT_EQ(log.back(), "E got WM_APP+1 0x00");
    }
    // The dialog object took its window down; the bound control let go.
    EXPECT_FALSE(IsWindow(item));
  }
}

TEST(Dialog, MissingTemplateFailsWithoutCallingTheObject) {
  const DialogTemplate plain = fwtest::StandardTemplate(false);
  const fwtest::ResourceModule module({{201, &plain}});
  Log log;
  TestDialog d(999, module.Get(), log, "D");
  EXPECT_FALSE(d.Create(nullptr));
  EXPECT_EQ(d.DoModal(nullptr), -1);
  EXPECT_TRUE(log.empty());
}

TEST(Dialog, KeysAndCloseReachOnOKAndOnCancel) {
  const DialogTemplate t = fwtest::StandardTemplate();
  struct Case {
    const char* name;
    UINT msg;
    WPARAM wp;
    bool toDialog;  // else to the edit box
    Log expected;   // after DoDataExchange and OnInitDialog
    INT_PTR result;
  };
  // IsDialogMessage turns Enter into IDOK (no default button) and Escape
  // into IDCANCEL; WM_CLOSE becomes IDCANCEL in the dialog manager. A
  // notification that the OK button sends (here BN_SETFOCUS) is no click.
  const Case cases[] = {
      {"Enter in the edit box", WM_KEYDOWN, VK_RETURN, false,
       {"E pre WM_KEYDOWN 0x0D", "D pre WM_KEYDOWN 0x0D", "D OnOK"}, IDOK},
      {"Escape in the edit box", WM_KEYDOWN, VK_ESCAPE, false,
       {"E pre WM_KEYDOWN 0x1B", "D pre WM_KEYDOWN 0x1B", "D OnCancel"}, IDCANCEL},
      {"WM_CLOSE to the dialog", WM_CLOSE, 0, true, {"D OnCancel"}, IDCANCEL},
      {"a notification from the OK button, then Escape", WM_COMMAND,
       MAKEWPARAM(IDOK, BN_SETFOCUS), true,
       {"E pre WM_KEYDOWN 0x1B", "D pre WM_KEYDOWN 0x1B", "D OnCancel"}, IDCANCEL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Log log;
    TestDialog d(t.Get(), log, "D");
    d.steps = {[&] { PostMessageW(c.toDialog ? d.Hwnd() : d.edit.Hwnd(), c.msg, c.wp, 0); },
               [&] { PostMessageW(d.edit.Hwnd(), WM_KEYDOWN, VK_ESCAPE, 0); }};
    EXPECT_EQ(d.DoModal(nullptr), c.result);
    Log expected{"D DoDataExchange", "D OnInitDialog"};
    expected.insert(expected.end(), c.expected.begin(), c.expected.end());
    EXPECT_EQ(log, expected);
  }
}

TEST(Dialog, TheSameObjectRunsAgainModalOrModeless) {
  // The loop state and the bound controls start afresh every time.
  const DialogTemplate t = fwtest::StandardTemplate();
  Log log;
  TestDialog d(t.Get(), log, "D");
  d.steps = {[&] { PostMessageW(d.edit.Hwnd(), WM_KEYDOWN, VK_RETURN, 0); }};
  const Log run{"D DoDataExchange", "D OnInitDialog", "E pre WM_KEYDOWN 0x0D",
                "D pre WM_KEYDOWN 0x0D", "D OnOK"};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i == 0 ? "first modal run" : "second modal run");
    log.clear();
    EXPECT_EQ(d.DoModal(), IDOK);
    EXPECT_EQ(log, run);
    EXPECT_EQ(d.edit.Hwnd(), nullptr);
  }
  log.clear();
  d.steps.clear();
  ASSERT_TRUE(d.Create(nullptr));
  EXPECT_NE(d.edit.Hwnd(), nullptr);
  d.EndDialog(IDOK);  // modeless: destroys the window
  EXPECT_EQ(d.Hwnd(), nullptr);
  EXPECT_EQ(log, (Log{"D DoDataExchange", "D OnInitDialog"}));
}

TEST(Dialog, RealKeyboardEnterReachesOnOK) {
  // Through the system's input queue (SendInput) to the focused edit box.
  const DialogTemplate t = fwtest::StandardTemplate();
  Log log;
  TestDialog d(t.Get(), log, "D");
  d.steps = {[&] {
    SetForegroundWindow(d.Hwnd());
    d.edit.SetFocus();
  }, [&] {
    INPUT in[2] = {};
    for (INPUT& i : in) {
      i.type = INPUT_KEYBOARD;
      i.ki.wVk = VK_RETURN;
    }
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
  }};
  d.handler = [&](UINT msg, WPARAM, LPARAM) {
    // A watchdog, so a lost key fails the test instead of hanging it.
    if (msg == WM_TIMER) d.EndDialog(-2);
    return msg == WM_TIMER;
  };
  d.steps.insert(d.steps.begin(), [&] { d.SetTimer(1, 10000); });
  EXPECT_EQ(d.DoModal(nullptr), IDOK);
  EXPECT_EQ(log, (Log{"D DoDataExchange", "D OnInitDialog", "E pre WM_KEYDOWN 0x0D",
                      "D pre WM_KEYDOWN 0x0D", "D OnOK"}));
  // The key-up is still queued; it is not for the windows of later tests.
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
  }
}

TEST(Dialog, OwnerIsDisabledWhileModalAndGetsActivationBack) {
  const DialogTemplate t = fwtest::StandardTemplate();
  for (bool enabledBefore : {true, false}) {
    SCOPED_TRACE(enabledBefore ? "owner enabled before" : "owner disabled before");
    Log log;
    Owner owner(log);
    ASSERT_NE(owner.Hwnd(), nullptr);
    SetForegroundWindow(owner.Hwnd());
    owner.Enable(enabledBefore);
    TestDialog d(t.Get(), log, "D");
    HWND dialog = nullptr;
    d.steps = {[&] { d.SetTimer(1, 10); }};
    d.handler = [&](UINT msg, WPARAM, LPARAM) {
      if (msg != WM_TIMER) return false;
      d.KillTimer(1);
      dialog = d.Hwnd();
      log.push_back(Flag("timer: owner enabled", IsWindowEnabled(owner.Hwnd())));
      log.push_back(Flag("timer: owned by owner", GetWindow(d.Hwnd(), GW_OWNER) == owner.Hwnd()));
      d.EndDialog(5);
      return true;
    };
    EXPECT_EQ(d.DoModal(owner.Hwnd()), 5);
    EXPECT_FALSE(IsWindow(dialog)) << "DoModal destroys its dialog window";
    EXPECT_EQ(d.Hwnd(), nullptr);
    log.push_back(Flag("after: owner enabled", IsWindowEnabled(owner.Hwnd())));
    EXPECT_EQ(log, (Log{"D DoDataExchange", "D OnInitDialog", "timer: owner enabled=0",
                        "timer: owned by owner=1", Flag("after: owner enabled", enabledBefore)}));
    if (enabledBefore) {
      EXPECT_EQ(GetActiveWindow(), owner.Hwnd());
    }
  }
}

TEST(Dialog, NestedModalsEndInsideOut) {
  const DialogTemplate t = fwtest::StandardTemplate();
  Log log;
  fw::App app;
  Owner main(log);
  app.SetMainWindow(&main);
  TestDialog outer(t.Get(), log, "outer");
  TestDialog inner(t.Get(), log, "inner");
  inner.steps = {[&] {
    // No owner given: the main window's last active pop-up, the outer dialog.
    log.push_back(Flag("inner owned by outer", GetWindow(inner.Hwnd(), GW_OWNER) == outer.Hwnd()));
    log.push_back(Flag("outer enabled", IsWindowEnabled(outer.Hwnd())));
    log.push_back(Flag("main enabled", IsWindowEnabled(main.Hwnd())));
    inner.EndDialog(11);
  }};
  outer.steps = {[&] { log.push_back("inner returned " + std::to_string(inner.DoModal())); },
                 [&] {
                   log.push_back(Flag("outer enabled", IsWindowEnabled(outer.Hwnd())));
                   log.push_back(Flag("main enabled", IsWindowEnabled(main.Hwnd())));
                   outer.EndDialog(22);
                 }};
  log.push_back("outer returned " + std::to_string(outer.DoModal(main.Hwnd())));
  log.push_back(Flag("main enabled", IsWindowEnabled(main.Hwnd())));
  EXPECT_EQ(log, (Log{"outer DoDataExchange", "outer OnInitDialog", "inner DoDataExchange",
                      "inner OnInitDialog", "inner owned by outer=1", "outer enabled=0",
                      "main enabled=0", "inner returned 11", "outer enabled=1", "main enabled=0",
                      "outer returned 22", "main enabled=1"}));
}

TEST(Dialog, QuitInsideNestedModalsEndsThemAndTheApplicationLoop) {
  const DialogTemplate t = fwtest::StandardTemplate();
  Log log;
  struct QuitApp : fw::App {
    Log& log;
    const DLGTEMPLATE* t;
    QuitApp(Log& l, const DLGTEMPLATE* tt) : log(l), t(tt) {}
    bool InitInstance() override {
      TestDialog outer(t, log, "outer");
      TestDialog inner(t, log, "inner");
      inner.steps = {[&] { PostQuitMessage(42); }};
      outer.steps = {[&] { log.push_back("inner returned " + std::to_string(inner.DoModal())); }};
      log.push_back("outer returned " + std::to_string(outer.DoModal()));
      // As the host does: the modal window was the whole program; the loop
      // that follows sees the WM_QUIT again and ends at once.
      return true;
    }
  } app(log, t.Get());
  EXPECT_EQ(app.Main(GetModuleHandleW(nullptr)), 42);
  EXPECT_EQ(log, (Log{"outer DoDataExchange", "outer OnInitDialog", "inner DoDataExchange",
                      "inner OnInitDialog", "inner returned -1", "outer returned -1"}));
}

TEST(Dialog, EndDialogFromAMessageSentByAnotherThreadEndsTheLoop) {
  // GetMessage handles messages sent from other threads without returning;
  // EndDialog must wake the loop itself.
  const DialogTemplate t = fwtest::StandardTemplate();
  Log log;
  TestDialog d(t.Get(), log, "D");
  HANDLE worker = nullptr;
  d.handler = [&](UINT msg, WPARAM, LPARAM) {
    if (msg == WM_APP + 5) d.EndDialog(7);
    if (msg == WM_TIMER) d.EndDialog(-2);  // watchdog: the loop did not wake
    return msg == WM_APP + 5 || msg == WM_TIMER;
  };
  d.steps = {[&] {
    // No focused edit box: its caret blinks on a system timer, which would
    // wake the loop anyway.
    SetFocus(d.Item(IDOK));
    d.SetTimer(1, 10000);
    worker = CreateThread(
        nullptr, 0,
        [](void* hwnd) -> DWORD {
          SendMessageW(static_cast<HWND>(hwnd), WM_APP + 5, 0, 0);
          return 0;
        },
        d.Hwnd(), 0, nullptr);
  }};
  EXPECT_EQ(d.DoModal(nullptr), 7);
  ASSERT_NE(worker, nullptr);
  WaitForSingleObject(worker, 5000);
  CloseHandle(worker);
}

namespace {

// A control object that colours or draws itself from the messages its
// parent reflects to it, and records them.
struct SelfPaintingControl : fw::Window {
  SelfPaintingControl(Log& log, const char* name, HBRUSH brush)
      : log_(log), name_(name), brush_(brush) {}
  bool OnReflectedMessage(UINT msg, WPARAM, LPARAM lp, LRESULT* result) override {
    if (msg == WM_DRAWITEM) {
      const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      log_.push_back(name_ + " WM_DRAWITEM for " + std::to_string(dis->CtlID));
      *result = TRUE;
      return true;
    }
    if (msg == WM_CTLCOLORSTATIC && brush_) {
      log_.push_back(name_ + " WM_CTLCOLORSTATIC");
      *result = reinterpret_cast<LRESULT>(brush_);
      return true;
    }
    return false;
  }
  void OnSubclassed() override { log_.push_back(name_ + " subclassed"); }
  Log& log_;
  std::string name_;
  HBRUSH brush_;
};

}  // namespace

TEST(Dialog, ReflectsDrawItemAndColoursToTheBoundControl) {
  constexpr int kButton = 300, kLabel = 301, kPlainLabel = 302;
  DialogTemplate t(false, WS_POPUP | WS_VISIBLE, 120, 60, L"reflect");
  t.Item(0x80, kButton, L"", BS_OWNERDRAW, 4, 4, 50, 14)
      .Item(0x82, kLabel, L"label", SS_LEFT, 4, 24, 50, 10)
      .Item(0x82, kPlainLabel, L"plain", SS_LEFT, 4, 40, 50, 10);
  HBRUSH brush = GetSysColorBrush(COLOR_HIGHLIGHT);
  Log log;
  struct ReflectDialog : TestDialog {
    ReflectDialog(const DLGTEMPLATE* tt, Log& l, HBRUSH b)
        : TestDialog(tt, l, "D"), button(l, "button", nullptr), label(l, "label", b) {}
    void DoDataExchange() override {
      Bind(kButton, button);
      Bind(kLabel, label);
    }
    SelfPaintingControl button, label;
  } d(t.Get(), log, brush);
  ASSERT_TRUE(d.Create(nullptr));
  EXPECT_EQ(log, (Log{"button subclassed", "label subclassed", "D OnInitDialog"}));
  log.clear();

  // Real painting: each control asks its parent while it paints.
  for (int id : {kButton, kLabel, kPlainLabel})
    RedrawWindow(d.Item(id), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_EQ(log, (Log{"button WM_DRAWITEM for 300", "label WM_CTLCOLORSTATIC"}));

  // The control's answer is the parent's answer; for the dialog itself and
  // for controls without an object the dialog's own handling stays.
  fw::ScopedWindowDC dc(d.Item(kLabel));
  auto colour = [&](UINT msg, HWND about) {
    return SendMessageW(d.Hwnd(), msg, reinterpret_cast<WPARAM>(dc.get()),
                        reinterpret_cast<LPARAM>(about));
  };
  EXPECT_EQ(colour(WM_CTLCOLORSTATIC, d.Item(kLabel)), reinterpret_cast<LRESULT>(brush));
  EXPECT_NE(colour(WM_CTLCOLORSTATIC, d.Item(kPlainLabel)), reinterpret_cast<LRESULT>(brush));
  EXPECT_NE(colour(WM_CTLCOLORDLG, d.Hwnd()), reinterpret_cast<LRESULT>(brush));
}
