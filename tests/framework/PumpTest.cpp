// The message pump's PreTranslateMessage walk, on real windows: which
// objects see a message, in which order, and who swallows it; during a modal
// dialog and in the application's own loop.
#include <gtest/gtest.h>

#include "FwTest.h"
#include "framework/App.h"

using fwtest::DialogTemplate;
using fwtest::Log;
using fwtest::RecordingWindow;
using fwtest::TestDialog;

TEST(Pump, PreTranslateWalkDuringAModalDialog) {
  const DialogTemplate t = fwtest::StandardTemplate();
  Log log;
  fw::App app;
  // M: the main window, with U a pop-up it owns. P: another top-level window,
  // with C its child; P owns the modal dialog D, whose edit box E is bound.
  RecordingWindow main(log, "M"), owned(log, "U"), owner(log, "P"), child(log, "C");
  ASSERT_TRUE(main.Create(nullptr, L"M", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 0, 300, 200));
  ASSERT_TRUE(owned.Create(main.Hwnd(), L"U", WS_POPUP, 0, 0, 0, 50, 50));
  ASSERT_TRUE(owner.Create(nullptr, L"P", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 0, 300, 200));
  ASSERT_TRUE(child.Create(owner.Hwnd(), L"C", WS_CHILD | WS_VISIBLE, 0, 0, 0, 50, 50, 1));
  app.SetMainWindow(&main);
  TestDialog d(t.Get(), log, "D");
  d.swallowKey = VK_F5;  // D's own rule swallows F5
  d.passKey = VK_F6;     // D hands F6 on without its keyboard handling
  d.edit.swallowKey = VK_F7;

  enum Target { kEdit, kChild, kOwnedPopup, kThread };
  struct Case {
    const char* name;
    Target target;
    UINT msg;
    WPARAM wp;
    Log expected;
  };
  const Case cases[] = {
      {"a character key in the edit box: the dialog's keyboard handling types it", kEdit,
       WM_KEYDOWN, 'A',
       {"E pre WM_KEYDOWN 0x41", "D pre WM_KEYDOWN 0x41", "E got WM_KEYDOWN 0x41",
        "E pre WM_CHAR 0x61", "D pre WM_CHAR 0x61", "E got WM_CHAR 0x61"}},
      {"Tab moves to the next control and goes no further", kEdit, WM_KEYDOWN, VK_TAB,
       {"E pre WM_KEYDOWN 0x09", "D pre WM_KEYDOWN 0x09", "focus on the second edit box"}},
      {"the dialog's rule swallows F5", kEdit, WM_KEYDOWN, VK_F5,
       {"E pre WM_KEYDOWN 0x74", "D pre WM_KEYDOWN 0x74"}},
      {"a key the dialog hands on: its owner, the main window, then the edit box", kEdit,
       WM_KEYDOWN, VK_F6,
       {"E pre WM_KEYDOWN 0x75", "D pre WM_KEYDOWN 0x75", "P pre WM_KEYDOWN 0x75",
        "M pre WM_KEYDOWN 0x75", "E got WM_KEYDOWN 0x75"}},
      {"the edit box's own rule swallows F7 first", kEdit, WM_KEYDOWN, VK_F7,
       {"E pre WM_KEYDOWN 0x76"}},
      {"a posted non-input message is not the dialog's keyboard's", kEdit, WM_APP + 3, 0,
       {"E pre WM_APP+3 0x00", "D pre WM_APP+3 0x00", "P pre WM_APP+3 0x00",
        "M pre WM_APP+3 0x00", "E got WM_APP+3 0x00"}},
      {"other windows keep their walk while the dialog runs", kChild, WM_KEYDOWN, VK_F2,
       {"C pre WM_KEYDOWN 0x71", "P pre WM_KEYDOWN 0x71", "M pre WM_KEYDOWN 0x71",
        "C got WM_KEYDOWN 0x71"}},
      {"a pop-up of the main window: the main window once", kOwnedPopup, WM_KEYDOWN, VK_F2,
       {"U pre WM_KEYDOWN 0x71", "M pre WM_KEYDOWN 0x71", "U got WM_KEYDOWN 0x71"}},
      {"a thread message: the main window only", kThread, WM_APP + 4, 0, {"M pre WM_APP+4 0x00"}},
  };
  std::vector<Log> seen;
  for (const Case& c : cases) {
    d.steps.push_back([&] {
      log.clear();
      const HWND targets[] = {d.edit.Hwnd(), child.Hwnd(), owned.Hwnd()};
      if (c.target == kThread)
        PostThreadMessageW(GetCurrentThreadId(), c.msg, c.wp, 0);
      else
        PostMessageW(targets[c.target], c.msg, c.wp, 0);
    });
    d.steps.push_back([&] {
      if (GetFocus() && GetFocus() == d.Item(fwtest::kEdit2Id)) {
        log.push_back("focus on the second edit box");
        d.edit.SetFocus();
      }
      seen.push_back(log);
    });
  }
  d.steps.push_back([&] { d.EndDialog(IDOK); });
  ASSERT_EQ(d.DoModal(owner.Hwnd()), IDOK);
  ASSERT_EQ(seen.size(), std::size(cases));
  for (size_t i = 0; i < seen.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    EXPECT_EQ(seen[i], cases[i].expected);
  }
}

TEST(Pump, ModelessDialogKeyboardInTheApplicationLoop) {
  // A framework dialog does its own IsDialogMessage; a plain dialog without an
  // object gets it from the pump. In both Tab moves the focus.
  const DialogTemplate t = fwtest::StandardTemplate(false, WS_VISIBLE);
  struct ModelessApp : fw::App {
    const DLGTEMPLATE* t;
    Log log;
    TestDialog d{t, log, "M"};
    HWND plain = nullptr;
    explicit ModelessApp(const DLGTEMPLATE* tt) : t(tt) {}
    bool InitInstance() override {
      // A dialog procedure that leaves everything to the dialog manager.
      DLGPROC defaults = [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; };
      plain = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t, nullptr, defaults, 0);
      d.steps = {[&] { PostMessageW(d.edit.Hwnd(), WM_KEYDOWN, VK_TAB, 0); },
                 [&] {
                   log.push_back(GetFocus() == d.Item(fwtest::kEdit2Id) ? "M: focus moved"
                                                                        : "M: focus stayed");
                   SetActiveWindow(plain);
                   SetFocus(GetDlgItem(plain, fwtest::kEditId));
                   PostMessageW(GetDlgItem(plain, fwtest::kEditId), WM_KEYDOWN, VK_TAB, 0);
                 },
                 [&] {
                   log.push_back(GetFocus() == GetDlgItem(plain, fwtest::kEdit2Id)
                                     ? "plain: focus moved"
                                     : "plain: focus stayed");
                   // Enter: the modeless dialog's OnOK destroys it.
                   PostMessageW(d.edit.Hwnd(), WM_KEYDOWN, VK_RETURN, 0);
                 }};
      d.handler = [&](UINT msg, WPARAM, LPARAM) {
        if (msg == WM_DESTROY) PostQuitMessage(3);
        return false;
      };
      return d.Create(nullptr) && plain;
    }
  } app(t.Get());
  EXPECT_EQ(app.Main(GetModuleHandleW(nullptr)), 3);
  EXPECT_EQ(app.d.Hwnd(), nullptr);
  EXPECT_EQ(app.log, (Log{"M DoDataExchange", "M OnInitDialog", "E pre WM_KEYDOWN 0x09",
                          "M pre WM_KEYDOWN 0x09", "M: focus moved", "plain: focus moved",
                          "E pre WM_KEYDOWN 0x0D", "M pre WM_KEYDOWN 0x0D", "M OnOK"}));
  DestroyWindow(app.plain);
}
