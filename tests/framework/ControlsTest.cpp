// Image lists and tooltips on real GDI and real tooltip windows.
#include <gtest/gtest.h>

#include "framework/ImageList.h"
#include "framework/Scoped.h"
#include "framework/ToolTip.h"

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0);

// A 24-bit bitmap of two 8 x 8 images, red and blue, each with a key-coloured
// 4 x 4 square in its top-left corner.
HBITMAP TwoImages(HDC screen) {
  HBITMAP bmp = CreateCompatibleBitmap(screen, 16, 8);
  fw::ScopedMemDC dc(CreateCompatibleDC(screen));
  fw::ScopedSelect sel(dc.get(), bmp);
  for (int x = 0; x < 16; ++x)
    for (int y = 0; y < 8; ++y)
      SetPixel(dc.get(), x, y, (x % 8) < 4 && y < 4 ? kKey : x < 8 ? kRed : kBlue);
  return bmp;
}

}  // namespace

TEST(ImageList, MaskedImagesDrawOnlyTheirOpaquePixels) {
  fw::ScopedWindowDC screen(nullptr);
  fw::ImageList list;
  ASSERT_TRUE(list.Create(8, 8, ILC_COLOR24 | ILC_MASK, 0, 0));
  {
    fw::ScopedBitmap strip(TwoImages(screen.get()));
    EXPECT_EQ(list.Add(strip.get(), kKey), 0);
  }
  EXPECT_EQ(list.Count(), 2);

  // Draw onto green: image 0 at (0, 0), image 1 at (8, 0) and again with
  // DrawEx at (0, 8). (ILD_SCALE needs version 6 of the common controls,
  // which this program without a manifest does not get.)
  fw::ScopedMemDC dc(CreateCompatibleDC(screen.get()));
  fw::ScopedBitmap target(CreateCompatibleBitmap(screen.get(), 32, 32));
  fw::ScopedSelect sel(dc.get(), target.get());
  fw::ScopedBrush green(CreateSolidBrush(kGreen));
  RECT all{0, 0, 32, 32};
  FillRect(dc.get(), &all, green.get());
  EXPECT_TRUE(list.Draw(0, dc.get(), 0, 0, ILD_TRANSPARENT));
  EXPECT_TRUE(list.Draw(1, dc.get(), 8, 0, ILD_TRANSPARENT));
  EXPECT_TRUE(list.DrawEx(1, dc.get(), 0, 8, 0, 0, CLR_NONE, CLR_DEFAULT, ILD_TRANSPARENT));

  struct Probe {
    const char* name;
    int x, y;
    COLORREF expected;
  };
  const Probe probes[] = {
      {"image 0, key square", 1, 1, kGreen},   {"image 0, opaque", 6, 6, kRed},
      {"image 1, key square", 9, 2, kGreen},   {"image 1, opaque", 14, 5, kBlue},
      {"DrawEx, key square", 3, 11, kGreen},   {"DrawEx, opaque", 6, 14, kBlue},
      {"outside the images", 20, 4, kGreen},
  };
  for (const Probe& p : probes) EXPECT_EQ(GetPixel(dc.get(), p.x, p.y), p.expected) << p.name;
}

TEST(ToolTip, KeepsToolsAndTextsAndDiesWithItsOwner) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                               nullptr, nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  fw::ToolTip tip;
  ASSERT_TRUE(tip.Create(owner));
  EXPECT_EQ(GetWindow(tip.Hwnd(), GW_OWNER), owner);

  ASSERT_TRUE(tip.AddTool(owner, L"whole window"));
  ASSERT_TRUE(tip.AddTool(owner, 7, RECT{0, 0, 20, 20}, L"corner"));
  EXPECT_FALSE(tip.AddTool(owner, 0, RECT{0, 0, 20, 20}, L"id 0 is the whole window"));
  EXPECT_EQ(tip.ToolCount(), 2);
  tip.UpdateText(owner, 0, L"updated");

  auto text = [&](UINT_PTR id) {
    wchar_t buf[80] = {};
    TTTOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = owner;
    ti.uId = id ? id : reinterpret_cast<UINT_PTR>(owner);
    ti.lpszText = buf;
    tip.Send(TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
    return std::wstring(buf);
  };
  EXPECT_EQ(text(0), L"updated");
  EXPECT_EQ(text(7), L"corner");

  tip.SetDelay(TTDT_AUTOMATIC, 500);
  EXPECT_EQ(tip.Send(TTM_GETDELAYTIME, TTDT_INITIAL), 500);

  DestroyWindow(owner);
  EXPECT_EQ(tip.Hwnd(), nullptr) << "an owned pop-up goes with its owner";
}
