// Skin images on real GDI and GDI+: the keyed conversion, the launcher's own
// PNG resources, resources made here with exact pixels (a bitmap beside a
// PNG of the same id, data that does not decode), and picture files.
#include <gtest/gtest.h>
#include <windows.h>

#include <gdiplus.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FrameFixture.h"
#include "Support.h"
#include "framework/GdiplusToken.h"
#include "framework/Scoped.h"
#include "skin/SkinImage.h"

namespace gp = Gdiplus::DllExports;
using frametest::PixelAt;
using frametest::ReadPixels;

namespace {

constexpr uint32_t kMagenta = 0x00FF00FFu;

// A 3 x 2 picture whose pixels name every case of the conversion; the top
// row differs from the bottom row so an upside-down result shows.
const std::vector<uint32_t> kSample = {
    0x00FF0000u, 0x80000000u, 0xFF0A141Eu,  // transparent red, half black, opaque (10, 20, 30)
    0xFFFFFFFFu, 0x40204080u, 0xFF123456u,  // opaque white, quarter (32, 64, 128), opaque
};
// kSample as a skin bitmap, top row first (0x00RRGGBB).
const std::vector<uint32_t> kSampleKeyed = {
    kMagenta, 0x007F7F7Fu, 0x000A141Eu,
    0x00FFFFFFu, 0x00C7CFDFu, 0x00123456u,
};

// The DIB section behind a bitmap, or an empty one.
DIBSECTION DibOf(HBITMAP bitmap) {
  DIBSECTION ds{};
  if (GetObjectW(bitmap, sizeof(ds), &ds) != sizeof(ds)) return DIBSECTION{};
  return ds;
}

// Checks that `bitmap` is a skin bitmap (32-bit bottom-up DIB section, fourth
// byte 0) of w x h and gives its pixels, top row first.
std::vector<uint32_t> SkinPixels(HBITMAP bitmap, int w, int h) {
  const DIBSECTION ds = DibOf(bitmap);
  EXPECT_EQ(ds.dsBmih.biWidth, w);
  EXPECT_EQ(ds.dsBmih.biHeight, h) << "positive height: bottom-up";
  EXPECT_EQ(ds.dsBmih.biBitCount, 32);
  EXPECT_EQ(ds.dsBmih.biPlanes, 1);
  EXPECT_EQ(ds.dsBmih.biCompression, static_cast<DWORD>(BI_RGB));
  std::vector<uint32_t> top;
  if (!ds.dsBm.bmBits || ds.dsBmih.biWidth != w || ds.dsBmih.biHeight != h) return top;
  const auto* bits = static_cast<const uint32_t*>(ds.dsBm.bmBits);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t p = bits[static_cast<size_t>(h - 1 - y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
      EXPECT_EQ(p >> 24, 0u) << "fourth byte at " << x << "," << y;
      top.push_back(p & 0x00FFFFFFu);
    }
  return top;
}

// Sets the CRC of the PNG chunk that starts at `at` (its length field).
void FixChunkCrc(std::vector<uint8_t>& png, size_t at) {
  const uint32_t length = (uint32_t{png[at]} << 24) | (uint32_t{png[at + 1]} << 16) |
                          (uint32_t{png[at + 2]} << 8) | png[at + 3];
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = at + 4; i < at + 8 + length; ++i) {
    crc ^= png[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  crc ^= 0xFFFFFFFFu;
  const size_t c = at + 8 + length;
  for (int k = 0; k < 4; ++k) png[c + static_cast<size_t>(k)] = static_cast<uint8_t>(crc >> (24 - 8 * k));
}

// The sample PNG with its width set to 0 in a header that is otherwise valid
// (its CRC matches), so only the zero width is wrong with it.
std::vector<uint8_t> ZeroWidthPng(std::vector<uint8_t> png) {
  constexpr size_t kIhdr = 8;  // after the signature
  for (size_t i = 0; i < 4; ++i) png.at(kIhdr + 8 + i) = 0;
  FixChunkCrc(png, kIhdr);
  return png;
}

// A packed DIB (BITMAPINFOHEADER and 24-bit pixels), as an RT_BITMAP
// resource holds it, of one colour.
std::vector<uint8_t> SolidBitmapResource(int w, int h, COLORREF c) {
  BITMAPINFOHEADER bih{};
  bih.biSize = sizeof(bih);
  bih.biWidth = w;
  bih.biHeight = h;
  bih.biPlanes = 1;
  bih.biBitCount = 24;
  bih.biCompression = BI_RGB;
  const size_t stride = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
  std::vector<uint8_t> out(sizeof(bih) + stride * static_cast<size_t>(h), 0);
  memcpy(out.data(), &bih, sizeof(bih));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = out.data() + sizeof(bih) + stride * static_cast<size_t>(y) + static_cast<size_t>(x) * 3;
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
    }
  return out;
}

constexpr WORD kLangChinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);  // 2052
constexpr wchar_t kPng[] = L"PNG";

// Ids of the resources made here.
enum : WORD {
  kIdSample = 700,
  kIdBitmapAndPng = 701,
  kIdGarbage = 702,
  kIdZeroWidth = 703,
  kIdTruncated = 704,
};

}  // namespace

TEST(SkinImage, ConvertsGdiplusPixelsIntoAnUprightKeyedDib) {
  fw::GdiplusToken gdiplus;
  ASSERT_TRUE(gdiplus.ok());
  std::vector<uint32_t> pixels = kSample;
  Gdiplus::GpBitmap* bitmap = nullptr;
  ASSERT_EQ(gp::GdipCreateBitmapFromScan0(3, 2, 12, PixelFormat32bppARGB, reinterpret_cast<BYTE*>(pixels.data()),
                                          &bitmap),
            Gdiplus::Ok);
  fw::ScopedBitmap keyed(ConvertToKeyedBitmap(bitmap, kKeyColour));
  gp::GdipDisposeImage(bitmap);
  ASSERT_TRUE(keyed);
  EXPECT_EQ(SkinPixels(keyed.get(), 3, 2), kSampleKeyed);

  EXPECT_EQ(ConvertToKeyedBitmap(nullptr, kKeyColour), nullptr) << "no bitmap";
}

TEST(SkinImage, LoadsTheLaunchersSkinsAtTheirSizes) {
  HMODULE launcher = frametest::LauncherModule();
  ASSERT_NE(launcher, nullptr) << "LgTarvo.exe beside the tests";
  struct Case {
    WORD id;
    int w, h;
  };
  const Case cases[] = {
      {131, 30, 51},  {132, 132, 28}, {133, 228, 23}, {134, 30, 51},  {135, 108, 27},
      {136, 108, 27}, {137, 108, 27}, {129, 888, 518}, {152, 390, 21}, {162, 284, 150},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "PNG " << c.id);
    fw::ScopedBitmap skin(LoadSkinImage(c.id, launcher));
    ASSERT_TRUE(skin);
    const std::vector<uint32_t> px = SkinPixels(skin.get(), c.w, c.h);
    if (c.id == 132) {
      // The close strip's top-right pixel (the window's rounded corner) is
      // see-through: key colour.
      ASSERT_FALSE(px.empty());
      EXPECT_EQ(px[static_cast<size_t>(c.w - 1)], kMagenta);
    }
  }
  EXPECT_EQ(LoadSkinImage(999, launcher), nullptr) << "no such resource";
  EXPECT_EQ(LoadSkinImage(131), nullptr) << "the test program itself has no skins";
}

TEST(SkinImage, ResourcesMadeHereDecodeOrFailCleanly) {
  std::vector<uint8_t> sample;
  {
    fw::GdiplusToken gdiplus;
    sample = frametest::EncodePng(3, 2, kSample);
  }
  ASSERT_GT(sample.size(), 33u) << "GDI+ encoded the sample";
  const std::vector<uint8_t> red = [] {
    fw::GdiplusToken gdiplus;
    return frametest::EncodePng(2, 2, std::vector<uint32_t>(4, 0xFFFF0000u));
  }();
  const std::vector<uint8_t> truncated(sample.begin(), sample.begin() + static_cast<std::ptrdiff_t>(sample.size() / 2));
  const std::vector<uint8_t> garbage = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'};
  const frametest::ResourceCopy module({
      {kPng, kIdSample, kLangChinese, sample},
      {RT_BITMAP, kIdBitmapAndPng, kLangChinese, SolidBitmapResource(2, 2, RGB(0, 0, 255))},
      {kPng, kIdBitmapAndPng, kLangChinese, red},
      {kPng, kIdGarbage, kLangChinese, garbage},
      {kPng, kIdZeroWidth, kLangChinese, ZeroWidthPng(sample)},
      {kPng, kIdTruncated, kLangChinese, truncated},
  });
  ASSERT_NE(module.Get(), nullptr) << "could not build the resource module";

  {
    SCOPED_TRACE("PNG resource: keyed, composed over white, upright");
    fw::ScopedBitmap skin(LoadSkinImage(kIdSample, module.Get()));
    ASSERT_TRUE(skin);
    EXPECT_EQ(SkinPixels(skin.get(), 3, 2), kSampleKeyed);
  }
  {
    SCOPED_TRACE("the same bytes from memory");
    fw::ScopedBitmap skin(DecodeSkinImage(sample.data(), sample.size()));
    ASSERT_TRUE(skin);
    EXPECT_EQ(SkinPixels(skin.get(), 3, 2), kSampleKeyed);
  }
  {
    SCOPED_TRACE("a bitmap resource wins over the PNG of the same id and comes unconverted");
    fw::ScopedBitmap skin(LoadSkinImage(kIdBitmapAndPng, module.Get()));
    ASSERT_TRUE(skin);
    int w = 0;
    const std::vector<uint32_t> px = ReadPixels(skin.get(), &w);
    ASSERT_EQ(px.size(), 4u);
    EXPECT_EQ(PixelAt(px, w, 1, 1), RGB(0, 0, 255)) << "blue bitmap, not the red PNG";
    EXPECT_EQ(DibOf(skin.get()).dsBm.bmBits, nullptr) << "LoadBitmap's own bitmap, not a converted DIB section";
  }

  struct Bad {
    const char* name;
    WORD id;
    const std::vector<uint8_t>* bytes;
  };
  const Bad bad[] = {
      {"not a picture", kIdGarbage, &garbage},
      {"zero width", kIdZeroWidth, nullptr},
      {"cut off in the middle", kIdTruncated, &truncated},
  };
  for (const Bad& b : bad) {
    SCOPED_TRACE(b.name);
    EXPECT_EQ(LoadSkinImage(b.id, module.Get()), nullptr);
    if (b.bytes) {
      EXPECT_EQ(DecodeSkinImage(b.bytes->data(), b.bytes->size()), nullptr);
    }
  }
  const std::vector<uint8_t> zeroWidth = ZeroWidthPng(sample);
  EXPECT_EQ(DecodeSkinImage(zeroWidth.data(), zeroWidth.size()), nullptr) << "zero width from memory";
  EXPECT_EQ(DecodeSkinImage(nullptr, 10), nullptr);
  EXPECT_EQ(DecodeSkinImage(sample.data(), 0), nullptr);
}

TEST(SkinImage, RepeatedLoadsLeaveNothingBehind) {
  HMODULE launcher = frametest::LauncherModule();
  ASSERT_NE(launcher, nullptr);
  auto loadSome = [&](int times) {
    for (int i = 0; i < times; ++i) {
      fw::ScopedBitmap frame(LoadSkinImage(131, launcher));
      fw::ScopedBitmap close(LoadSkinImage(132, launcher));
      ASSERT_TRUE(frame && close);
      ASSERT_EQ(LoadSkinImage(999, launcher), nullptr);
    }
  };
  loadSome(3);  // warm-up: first use of GDI+ and the codecs
  const test::GuiCounts before = test::CountGuiObjects();
  loadSome(150);
  const test::GuiCounts after = test::CountGuiObjects();
  EXPECT_EQ(after.gdi, before.gdi);
  EXPECT_EQ(after.user, before.user);
  EXPECT_EQ(after.handles, before.handles);
}

TEST(SkinImage, PictureFilesAreComposedOverWhite) {
  const std::wstring dir = test::MakeTempDir(L"framepic");
  const std::wstring path = dir + L"\\picture.png";
  {
    fw::GdiplusToken gdiplus;
    const std::vector<uint8_t> png = frametest::EncodePng(3, 2, kSample);
    ASSERT_FALSE(png.empty());
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(f, png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
    CloseHandle(f);
  }

  int w = -1, h = -1;
  fw::ScopedBitmap picture(LoadImageFile(path.c_str(), &w, &h));
  ASSERT_TRUE(picture);
  EXPECT_EQ(w, 3);
  EXPECT_EQ(h, 2);
  int pw = 0;
  const std::vector<uint32_t> px = ReadPixels(picture.get(), &pw);
  ASSERT_EQ(px.size(), 6u);
  struct Probe {
    const char* name;
    int x, y;
    uint32_t expected;
  };
  const Probe probes[] = {
      {"transparent shows white, not the key", 0, 0, 0x00FFFFFFu},
      {"opaque keeps its colour", 2, 0, 0x000A141Eu},
      {"opaque white", 0, 1, 0x00FFFFFFu},
      {"opaque", 2, 1, 0x00123456u},
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(p.name);
    EXPECT_EQ(px[static_cast<size_t>(p.y * pw + p.x)], p.expected);
  }
  // Half-transparent black over white: about half grey (GDI+ rounds its own way).
  const uint32_t half = px[1];
  for (int shift : {0, 8, 16}) {
    const int channel = static_cast<int>((half >> shift) & 0xFF);
    EXPECT_NEAR(channel, 127, 1) << "half black, channel at bit " << shift;
  }

  w = h = -1;
  EXPECT_EQ(LoadImageFile((dir + L"\\missing.png").c_str(), &w, &h), nullptr);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 0);
  EXPECT_EQ(LoadImageFile(nullptr, nullptr, nullptr), nullptr);
  test::RemoveTree(dir);
}
