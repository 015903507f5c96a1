// The new-login choice: the host's caption link opens it below itself; "是"
// opens one more tab in this host, "否" asks for a new program instance;
// Escape, a close and a click elsewhere choose nothing.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "HostHarness.h"
#include "framework/Scoped.h"
#include "resource.h"
#include "skin/SkinImage.h"

using hosttest::HostRun;

namespace {

const std::wstring kAlice = L"1服-一区-alice";
const std::wstring kBob = L"1服-一区-bob";

// Clicks the caption link as the mouse does; the pop-up once it is shown.
HWND OpenChoice(HostRun& run) {
  HWND link = run.host().m_lnkAddLogin.Hwnd();
  PostMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 8));
  PostMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(20, 8));
  CAddAccDlg& pop = run.host().m_dlgAddAcc;
  run.PumpUntil([&] { return pop.Hwnd() && pop.IsVisible(); });
  return pop.Hwnd();
}

std::wstring Text(HWND w) {
  wchar_t text[256] = {};
  GetWindowTextW(w, text, 256);
  return text;
}

TEST(AddAccDlg, TheLinkOpensItBelowItself) {
  HostRun run;
  CTavrix3Dlg& host = run.host();
  ASSERT_TRUE(run.OpenTabs({kAlice}));
  const HWND pop = OpenChoice(run);
  ASSERT_NE(pop, nullptr);

  // Right edges in line, directly below the link, the size of its skin.
  const RECT link = host.m_lnkAddLogin.GetWindowRect();
  const RECT r = host.m_dlgAddAcc.GetWindowRect();
  fw::ScopedBitmap skin(LoadSkinImage(IDR_PNG_ADD_LOGIN_BACK, hosttest::LauncherModule()));
  BITMAP bm{};
  ASSERT_TRUE(GetObjectW(skin.get(), sizeof(bm), &bm));
  EXPECT_EQ(r.right, link.right);
  EXPECT_EQ(r.top, link.bottom);
  EXPECT_EQ(r.right - r.left, bm.bmWidth);
  EXPECT_EQ(r.bottom - r.top, bm.bmHeight);
  EXPECT_EQ(GetWindow(pop, GW_OWNER), run.hwnd());

  EXPECT_EQ(Text(pop), L"登录其他账号");
  EXPECT_EQ(Text(GetDlgItem(pop, IDC_ADD_LOGIN_TEXT)),
            L"在当前窗口新增标签页？\r\n点击\"是\"，在当前窗口登录(支持3个标签页)；\r\n"
            L"点击\"否\"，在新窗口中登录。");
  EXPECT_EQ(host.m_dlgAddAcc.m_stcText.m_nLineSpace, 5);
  struct {
    int id;
    const wchar_t* text;
  } buttons[] = {{IDOK, L"是"}, {IDCANCEL, L"否"}};
  for (const auto& b : buttons) {
    HWND w = GetDlgItem(pop, b.id);
    EXPECT_EQ(Text(w), b.text);
    RECT br{};
    GetWindowRect(w, &br);
    EXPECT_EQ(br.right - br.left, 57);
    EXPECT_EQ(br.bottom - br.top, 23);
  }
  // It cannot be dragged, not even by its caption band.
  for (POINT p : {POINT{20, 10}, POINT{100, 50}}) {
    ClientToScreen(pop, &p);
    EXPECT_EQ(SendMessageW(pop, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTCLIENT);
  }
  // Opened again, it is the same window.
  host.m_dlgAddAcc.Show(SW_HIDE);
  EXPECT_EQ(OpenChoice(run), pop);
}

TEST(AddAccDlg, ChoicesAndDismissals) {
  enum class Act { Yes, No, Escape, AltF4, ClickElsewhere };
  struct Case {
    const char* what;
    Act act;
    std::vector<WPARAM> choices;  // WM_ADD_LOGIN the host got
    int tabs;                     // tabs afterwards
    int newInstances;
  } cases[] = {
      {"是: one more tab here", Act::Yes, {1}, 2, 0},
      {"否: a new program instance", Act::No, {0}, 1, 1},
      {"Escape: nothing", Act::Escape, {}, 1, 0},
      {"Alt+F4: nothing", Act::AltF4, {}, 1, 0},
      {"a click on the host: nothing", Act::ClickElsewhere, {}, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HostRun run;
    CTavrix3Dlg& host = run.host();
    ASSERT_TRUE(run.OpenTabs({kAlice}));
    const HWND pop = OpenChoice(run);
    ASSERT_NE(pop, nullptr);
    const int next = run.NextTab(kBob);
    switch (c.act) {
      case Act::Yes: PostMessageW(GetDlgItem(pop, IDOK), BM_CLICK, 0, 0); break;
      case Act::No: PostMessageW(GetDlgItem(pop, IDCANCEL), BM_CLICK, 0, 0); break;
      case Act::Escape:
        PostMessageW(GetFocus() && IsChild(pop, GetFocus()) ? GetFocus() : pop, WM_KEYDOWN, VK_ESCAPE,
                     0x00010001);
        break;
      case Act::AltF4: PostMessageW(pop, WM_SYSCOMMAND, SC_CLOSE, 0); break;
      case Act::ClickElsewhere: SetActiveWindow(run.hwnd()); break;
    }
    ASSERT_TRUE(run.PumpUntil([&] { return !IsWindowVisible(pop); })) << "the pop-up goes away";
    if (c.tabs == 2) {
      ASSERT_TRUE(run.PumpUntil([&] { return host.TabCount() == 2; }));
      EXPECT_TRUE(run.WaitPlaced(next));
    }
    run.Settle(300);
    EXPECT_EQ(run.AddLoginChoices(), c.choices);
    EXPECT_EQ(host.TabCount(), c.tabs);
    EXPECT_EQ(run.NewInstances(), c.newInstances);
    EXPECT_EQ(run.RunningStandins(), c.tabs) << "no other tab process started";
    EXPECT_TRUE(run.Boxes().empty());
    EXPECT_FALSE(run.Quit());
  }
}

}  // namespace
