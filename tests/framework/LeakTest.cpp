// No GDI objects, windows or kernel handles left behind by many dialog
// lifetimes with bound controls, image lists and tooltips.
#include <gtest/gtest.h>

#include "FwTest.h"
#include "Support.h"
#include "framework/ImageList.h"
#include "framework/Scoped.h"
#include "framework/ToolTip.h"

using fwtest::Log;

namespace {

// A dialog that binds a second control and, while it runs, makes an image
// list (filled and drawn) and a tooltip with tools.
class BusyDialog : public fwtest::TestDialog {
 public:
  BusyDialog(const DLGTEMPLATE* t, Log& log, fw::ToolTip& tip)
      : TestDialog(t, log, "D"), ok(log, "OK"), tip_(tip) {}
  fwtest::RecordingWindow ok;

 protected:
  void DoDataExchange() override {
    TestDialog::DoDataExchange();
    Bind(IDOK, ok);
  }
  bool OnInitDialog() override {
    TestDialog::OnInitDialog();
    fw::ScopedWindowDC screen(Hwnd());
    fw::ScopedBitmap strip(CreateCompatibleBitmap(screen.get(), 32, 16));
    fw::ImageList list;
    list.Create(16, 16, ILC_COLOR24 | ILC_MASK, 0, 0);
    list.Add(strip.get(), RGB(255, 0, 255));
    fw::ScopedMemDC mem(CreateCompatibleDC(screen.get()));
    fw::ScopedBitmap target(CreateCompatibleBitmap(screen.get(), 16, 16));
    fw::ScopedSelect sel(mem.get(), target.get());
    list.Draw(1, mem.get(), 0, 0, ILD_TRANSPARENT);
    tip_.Create(Hwnd());
    tip_.AddTool(edit.Hwnd(), L"edit");
    tip_.AddTool(Hwnd(), 3, RECT{0, 0, 10, 10}, L"corner");
    return true;
  }

 private:
  fw::ToolTip& tip_;
};

// One dialog lifetime. Modal ones end by Enter; modeless ones are taken down
// by their object's destructor (which detaches first, then destroys). The
// tooltip object outlives the modal dialog (its window dies with its owner)
// and dies before the modeless one (it destroys its window itself).
void Cycle(const DLGTEMPLATE* t, bool modal) {
  Log log;
  if (modal) {
    fw::ToolTip tip;
    BusyDialog d(t, log, tip);
    d.steps = {[&] { PostMessageW(d.edit.Hwnd(), WM_KEYDOWN, VK_RETURN, 0); }};
    EXPECT_EQ(d.DoModal(), IDOK);
  } else {
    fw::ToolTip* tip = new fw::ToolTip;
    BusyDialog d(t, log, *tip);
    ASSERT_TRUE(d.Create(nullptr));
    delete tip;
  }
}

}  // namespace

TEST(Leaks, TwoHundredDialogsWithControlsImageListsAndTooltips) {
  const fwtest::DialogTemplate t = fwtest::StandardTemplate(false, WS_VISIBLE);
  // The first windows and drawing of a process fill caches (fonts, DCs,
  // brushes) that stay: they are made before the first count.
  for (int i = 0; i < 4; ++i) Cycle(t.Get(), i % 2 == 0);
  const test::GuiCounts before = test::CountGuiObjects();
  for (int i = 0; i < 200; ++i) Cycle(t.Get(), i % 2 == 0);
  const test::GuiCounts after = test::CountGuiObjects();
  EXPECT_EQ(after.gdi, before.gdi);
  EXPECT_EQ(after.user, before.user);
  EXPECT_EQ(after.handles, before.handles);
  EXPECT_GT(before.gdi, 0u) << "the GDI count must come from somewhere";
}
