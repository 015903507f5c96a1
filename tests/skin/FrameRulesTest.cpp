// The frame's rules without windows: keyed pixels, corner cuts, background
// pieces, hit testing, maximize and restore rectangles, caption places.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "skin/FrameRules.h"

using frame::Blit;
using frame::Hit;
using frame::Point;
using frame::Rect;
using frame::RectAt;

namespace frame {
// Readable failures.
void PrintTo(const Rect& r, std::ostream* os) {
  *os << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}
void PrintTo(const Point& p, std::ostream* os) { *os << "(" << p.x << "," << p.y << ")"; }
void PrintTo(const Blit& b, std::ostream* os) {
  *os << "dst ";
  PrintTo(b.dst, os);
  *os << " src ";
  PrintTo(b.src, os);
}
bool operator==(const Blit& a, const Blit& b) { return a.dst == b.dst && a.src == b.src; }
bool operator<(const Point& a, const Point& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; }
}  // namespace frame

namespace {

std::set<Point> AsSet(const std::vector<Point>& v) { return std::set<Point>(v.begin(), v.end()); }

// A skin image for the corner rules: '#' marks key-coloured pixels, rows
// shorter than the image are padded with ordinary pixels.
struct Sketch {
  int w, h;
  std::set<Point> keys;
  bool operator()(int x, int y) const { return keys.count(Point{x, y}) != 0; }
};

// The image's top-left 9 x 9 corner is cut as a quarter circle: key colour
// outside the circle of radius 9 around (9, 9).
std::set<Point> QuarterCircle() {
  std::set<Point> s;
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x)
      if ((9 - x - 0.5) * (9 - x - 0.5) + (9 - y - 0.5) * (9 - y - 0.5) > 81) s.insert(Point{x, y});
  return s;
}

}  // namespace

TEST(FrameRules, KeyedPixelsAreOpaqueKeyOrComposedOverWhite) {
  struct Case {
    const char* name;
    uint32_t argb;
    uint32_t expected;
  };
  const Case cases[] = {
      {"opaque keeps its colour", 0xFF112233u, 0x00112233u},
      {"transparent becomes the key whatever its colour", 0x00123456u, frame::kKeyPixel},
      {"transparent black becomes the key", 0x00000000u, frame::kKeyPixel},
      {"alpha 128 black: (128 * (0 - 255) + 65025) / 255 = 127", 0x80000000u, 0x007F7F7Fu},
      {"alpha 128 white stays white", 0x80FFFFFFu, 0x00FFFFFFu},
      {"alpha 128 red", 0x80FF0000u, 0x00FF7F7Fu},
      {"alpha 1 black is almost white", 0x01000000u, 0x00FEFEFEu},
      {"alpha 254 black is almost black", 0xFE000000u, 0x00010101u},
      {"each channel on its own", 0x40204080u, 0x00C7CFDFu},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(frame::KeyedPixel(c.argb), c.expected);
  }
  EXPECT_EQ(frame::KeyedPixel(0x00FFFFFFu, 0x00010203u), 0x00010203u) << "the given key is used";
}

TEST(FrameRules, ConvertedRowsAreFlippedIntoABottomUpDib) {
  // A 3 x 2 image: top row transparent, opaque, half black; bottom row opaque.
  const uint32_t top[] = {0x00000000u, 0xFF0000FFu, 0x80000000u};
  const uint32_t bottom[] = {0xFF010101u, 0xFF020202u, 0xFF030303u};
  const std::vector<uint32_t> expected = {
      0x00010101u, 0x00020202u, 0x00030303u,        // DIB row 0 is the image's bottom row
      frame::kKeyPixel, 0x000000FFu, 0x007F7F7Fu};  // DIB row 1 is its top row

  struct Case {
    const char* name;
    int stride;  // in pixels; negative: the rows lie bottom-up in memory
  };
  for (const Case& c : {Case{"tight rows", 3}, Case{"padded rows", 5}, Case{"bottom-up rows", -4}}) {
    SCOPED_TRACE(c.name);
    const int rowPixels = std::abs(c.stride);
    std::vector<uint32_t> memory(static_cast<size_t>(rowPixels) * 2, 0xDEADBEEFu);
    uint32_t* topRow = c.stride > 0 ? &memory[0] : &memory[static_cast<size_t>(rowPixels)];
    uint32_t* bottomRow = c.stride > 0 ? &memory[static_cast<size_t>(rowPixels)] : &memory[0];
    std::copy(std::begin(top), std::end(top), topRow);
    std::copy(std::begin(bottom), std::end(bottom), bottomRow);
    std::vector<uint32_t> dib(6, 0xCCCCCCCCu);
    frame::ConvertKeyedRows(reinterpret_cast<const uint8_t*>(topRow), c.stride * 4, 3, 2, dib.data());
    EXPECT_EQ(dib, expected);
  }
}

TEST(FrameRules, CornerCutsKeepTheSkinsCornerShapeAtEverySize) {
  // A 30 x 51 skin with a rounded top-left corner, a stray key pixel at
  // (10, 0) outside the corner square, and nothing else.
  Sketch skin{30, 51, QuarterCircle()};
  skin.keys.insert(Point{10, 0});
  const std::set<Point> circle = QuarterCircle();
  ASSERT_GT(circle.size(), 3u);
  for (const Point size : {Point{100, 80}, Point{400, 300}, Point{30, 51}}) {
    SCOPED_TRACE(testing::Message() << "window " << size.x << " x " << size.y);
    EXPECT_EQ(AsSet(frame::CornerCutPixels(size.x, size.y, skin.w, skin.h, skin)), circle);
  }
}

TEST(FrameRules, CornerCutsMapEachCornerSquareToTheWindowsCorner) {
  struct Case {
    const char* name;
    Sketch skin;
    Point window;
    std::set<Point> expected;
  };
  const Case cases[] = {
      {"top-right and bottom corners mirror into the window's corners",
       {30, 51, {{29, 0}, {28, 0}, {29, 1}, {0, 50}, {8, 42}, {29, 42}}},
       {200, 100},
       {{199, 0}, {198, 0}, {199, 1}, {0, 99}, {8, 91}, {199, 91}}},
      {"pixels just outside the 9 x 9 squares are not looked at",
       {30, 51, {{9, 0}, {0, 9}, {20, 0}, {29, 9}, {0, 41}, {9, 50}, {20, 50}}},
       {200, 100},
       {}},
      {"an image 5 high has all rows looked at for the top and again for the bottom",
       {20, 5, {{0, 0}, {0, 4}, {19, 2}}},
       {50, 40},
       {{0, 0}, {0, 4}, {49, 2}, {0, 35}, {0, 39}, {49, 37}}},
      {"an image 5 wide has all columns looked at from both sides",
       {5, 30, {{4, 0}}},
       {50, 40},
       {{4, 0}, {49, 0}}},
      {"pixels that fall outside a tiny window are left out",
       {30, 51, {{8, 0}, {0, 42}}},
       {6, 4},
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(AsSet(frame::CornerCutPixels(c.window.x, c.window.y, c.skin.w, c.skin.h, c.skin)), c.expected);
  }
}

TEST(FrameRules, CornerCutsAskOnlyAboutTheFourCornerSquares) {
  struct Size {
    int w, h;
  };
  for (const Size image : {Size{30, 51}, Size{20, 5}, Size{5, 30}, Size{1, 1}, Size{0, 10}, Size{10, 0}}) {
    SCOPED_TRACE(testing::Message() << "image " << image.w << " x " << image.h);
    std::vector<Point> asked;
    auto everything = [&](int x, int y) {
      asked.push_back(Point{x, y});
      return true;
    };
    frame::CornerCutPixels(64, 48, image.w, image.h, everything);
    EXPECT_LE(asked.size(), 4u * 81u);
    for (const Point& p : asked) {
      EXPECT_TRUE(p.x >= 0 && p.x < image.w && p.y >= 0 && p.y < image.h) << p.x << "," << p.y;
      const bool inCornerColumns = p.x < 9 || p.x >= image.w - 9;
      const bool inCornerRows = p.y < 9 || p.y >= image.h - 9;
      EXPECT_TRUE(inCornerColumns && inCornerRows) << p.x << "," << p.y;
    }
  }
}

TEST(FrameRules, BackgroundPiecesOfTheProgramsSkins) {
  struct Case {
    const char* name;
    int W, H, iw, ih, bw, cb;
    bool stretch;
    std::vector<Blit> expected;
  };
  const Case cases[] = {
      {"stretched skin with a caption band (message box: 30 x 51, band 30, border 4)",
       300, 200, 30, 51, 4, 30, true,
       {
           {RectAt(0, 0, 4, 30), RectAt(0, 0, 4, 30)},          // top-left of the band
           {RectAt(4, 0, 292, 30), RectAt(4, 0, 22, 30)},       // band, stretched
           {RectAt(296, 0, 4, 30), RectAt(26, 0, 4, 30)},       // top-right of the band
           {RectAt(0, 30, 4, 166), RectAt(0, 30, 4, 17)},       // left edge
           {RectAt(296, 30, 4, 166), RectAt(26, 30, 4, 17)},    // right edge
           {RectAt(4, 30, 292, 166), RectAt(4, 30, 22, 17)},    // centre
           {RectAt(0, 196, 4, 4), RectAt(0, 47, 4, 4)},         // bottom-left
           {RectAt(4, 196, 292, 4), RectAt(4, 47, 22, 4)},      // bottom edge
           {RectAt(296, 196, 4, 4), RectAt(26, 47, 4, 4)},      // bottom-right
       }},
      {"stretched nine parts with square corners (no band)",
       100, 50, 20, 24, 3, frame::kNoCaption, true,
       {
           {RectAt(0, 0, 3, 3), RectAt(0, 0, 3, 3)},
           {RectAt(3, 0, 94, 3), RectAt(3, 0, 14, 3)},
           {RectAt(97, 0, 3, 3), RectAt(17, 0, 3, 3)},
           {RectAt(0, 3, 3, 44), RectAt(0, 3, 3, 18)},
           {RectAt(97, 3, 3, 44), RectAt(17, 3, 3, 18)},
           {RectAt(3, 3, 94, 44), RectAt(3, 3, 14, 18)},
           {RectAt(0, 47, 3, 3), RectAt(0, 21, 3, 3)},
           {RectAt(3, 47, 94, 3), RectAt(3, 21, 14, 3)},
           {RectAt(97, 47, 3, 3), RectAt(17, 21, 3, 3)},
       }},
      {"unstretched with a band: 1:1, then top-right and right edge at the window's right",
       300, 200, 284, 150, 3, 30, false,
       {
           {RectAt(0, 0, 284, 150), RectAt(0, 0, 284, 150)},  // clipped by the image
           {RectAt(297, 0, 3, 30), RectAt(281, 0, 3, 30)},
           {RectAt(297, 30, 3, 167), RectAt(281, 30, 3, 117)},
           {RectAt(0, 197, 3, 3), RectAt(0, 147, 3, 3)},
           {RectAt(3, 197, 294, 3), RectAt(3, 147, 278, 3)},
           {RectAt(297, 197, 3, 3), RectAt(281, 147, 3, 3)},
       }},
      {"unstretched notice skin at its own size: band 0 leaves out the top-right corner",
       250, 191, 250, 191, 3, 0, false,
       {
           {RectAt(0, 0, 250, 191), RectAt(0, 0, 250, 191)},
           {RectAt(247, 0, 3, 188), RectAt(247, 0, 3, 188)},
           {RectAt(0, 188, 3, 3), RectAt(0, 188, 3, 3)},
           {RectAt(3, 188, 244, 3), RectAt(3, 188, 244, 3)},
           {RectAt(247, 188, 3, 3), RectAt(247, 188, 3, 3)},
       }},
      {"border 0 (picture notice): only the 1:1 copy", 160, 212, 160, 212, 0, 0, false,
       {{RectAt(0, 0, 160, 212), RectAt(0, 0, 160, 212)}}},
      {"no image: nothing", 100, 100, 0, 0, 4, 30, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(frame::BackgroundBlits(c.W, c.H, c.iw, c.ih, c.bw, c.cb, c.stretch), c.expected);
  }
}

TEST(FrameRules, BackgroundPiecesNeverMirrorAndStretchedOnesTileTheWindow) {
  // Windows from far too small to large, skins well formed or not: no piece
  // has a negative or empty size (StretchBlt would mirror it) or leaves the
  // window; the stretched skins cover every window pixel exactly once.
  const int sizes[] = {1, 3, 5, 7, 8, 9, 20, 33, 61};
  int tiled = 0;
  for (const bool stretch : {true, false}) {
    for (const int cb : {frame::kNoCaption, 0, 4, 12}) {
      for (const int bw : {0, 1, 4}) {
        for (const int W : sizes) {
          for (const int H : sizes) {
            const std::vector<Blit> blits = frame::BackgroundBlits(W, H, 12, 22, bw, cb, stretch);
            // A window smaller than its fixed parts gets them overlapping
            // and partly outside; GDI clips those.
            const int top = cb == frame::kNoCaption ? bw : cb;
            const bool roomy = W >= 2 * bw && H >= top + bw;
            std::vector<int> cover(static_cast<size_t>(W * H), 0);
            for (const Blit& b : blits) {
              SCOPED_TRACE(testing::Message() << "W " << W << " H " << H << " bw " << bw << " cb " << cb
                                              << " stretch " << stretch);
              ASSERT_GT(b.dst.Width(), 0);
              ASSERT_GT(b.dst.Height(), 0);
              ASSERT_GT(b.src.Width(), 0);
              ASSERT_GT(b.src.Height(), 0);
              ASSERT_TRUE(b.src.left >= 0 && b.src.top >= 0 && b.src.right <= 12 && b.src.bottom <= 22);
              if (!roomy) continue;
              ASSERT_TRUE(b.dst.left >= 0 && b.dst.top >= 0 && b.dst.right <= W && b.dst.bottom <= H);
              for (int y = b.dst.top; y < b.dst.bottom; ++y)
                for (int x = b.dst.left; x < b.dst.right; ++x) ++cover[static_cast<size_t>(y * W + x)];
            }
            if (stretch && roomy) {
              ++tiled;
              for (int i = 0; i < W * H; ++i)
                ASSERT_EQ(cover[static_cast<size_t>(i)], 1)
                    << "pixel " << i % W << "," << i / W << " of " << W << " x " << H << " bw " << bw << " cb " << cb;
            }
          }
        }
      }
    }
  }
  EXPECT_GT(tiled, 100) << "the tiling check ran";
}

TEST(FrameRules, HitTestAnswers) {
  frame::HitFrame fixed30;  // the message box: band 30, border 4, not resizable
  fixed30.caption = 30;
  fixed30.border = 4;
  fixed30.clientW = 400;
  fixed30.clientH = 300;
  frame::HitFrame fixedNoBand = fixed30;
  fixedNoBand.caption = frame::kNoCaption;
  frame::HitFrame fixedBand0 = fixed30;  // the notice pop-up
  fixedBand0.caption = 0;
  frame::HitFrame resizable = fixed30;  // the host window
  resizable.resizable = true;
  frame::HitFrame resizableNoBand = resizable;
  resizableNoBand.caption = frame::kNoCaption;
  frame::HitFrame thinBorder = resizable;
  thinBorder.border = 2;
  frame::HitFrame maximized = resizable;
  maximized.maximized = true;

  struct Case {
    const char* name;
    const frame::HitFrame& f;
    Point p;
    Hit expected;
  };
  const Case cases[] = {
      {"fixed: band top drags", fixed30, {50, 0}, Hit::kCaption},
      {"fixed: band's last row drags", fixed30, {50, 29}, Hit::kCaption},
      {"fixed: below the band is the client", fixed30, {50, 30}, Hit::kDefault},
      {"fixed: the border corner only drags", fixed30, {0, 0}, Hit::kCaption},
      {"fixed: the border below the band is the client", fixed30, {0, 150}, Hit::kDefault},
      {"fixed without band drags from anywhere", fixedNoBand, {200, 299}, Hit::kCaption},
      {"band 0 never drags", fixedBand0, {50, 0}, Hit::kDefault},
      {"resizable: top-left corner", resizable, {0, 0}, Hit::kTopLeft},
      {"resizable: top-left corner's far pixel", resizable, {3, 3}, Hit::kTopLeft},
      {"resizable: left below the corner", resizable, {0, 4}, Hit::kLeft},
      {"resizable: left", resizable, {3, 150}, Hit::kLeft},
      {"resizable: top band", resizable, {4, 0}, Hit::kTop},
      {"resizable: top band's last row", resizable, {200, 2}, Hit::kTop},
      {"resizable: caption from y 3", resizable, {200, 3}, Hit::kCaption},
      {"resizable: caption's last row", resizable, {200, 29}, Hit::kCaption},
      {"resizable: client below the band", resizable, {200, 30}, Hit::kDefault},
      {"resizable: client above the bottom band", resizable, {200, 295}, Hit::kDefault},
      {"resizable: bottom band", resizable, {200, 296}, Hit::kBottom},
      {"resizable: top-right corner", resizable, {396, 0}, Hit::kTopRight},
      {"resizable: right", resizable, {399, 150}, Hit::kRight},
      {"resizable: right band's first column", resizable, {396, 150}, Hit::kRight},
      {"resizable: left of the right band", resizable, {395, 150}, Hit::kDefault},
      {"resizable: bottom-left", resizable, {0, 296}, Hit::kBottomLeft},
      {"resizable: bottom-right", resizable, {399, 299}, Hit::kBottomRight},
      {"resizable without band: top band", resizableNoBand, {50, 2}, Hit::kTop},
      {"resizable without band: drags from the middle", resizableNoBand, {200, 150}, Hit::kCaption},
      {"resizable without band: no bottom band", resizableNoBand, {200, 299}, Hit::kCaption},
      {"resizable without band: bottom-left still sizes", resizableNoBand, {0, 299}, Hit::kBottomLeft},
      {"border 2: the top band is still 3 high", thinBorder, {50, 2}, Hit::kTop},
      {"border 2: left at y 2", thinBorder, {0, 2}, Hit::kLeft},
      {"maximized: no dragging", maximized, {200, 10}, Hit::kDefault},
      {"maximized: no sizing", maximized, {0, 0}, Hit::kDefault},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(static_cast<int>(frame::FrameHitTest(c.f, c.p)), static_cast<int>(c.expected));
  }
}

TEST(FrameRules, SizeCommandsAndCaptionBand) {
  // HTLEFT (10) ... HTBOTTOMRIGHT (17) start sizing with SC_SIZE + 1 ... + 8.
  const std::pair<int, int> codes[] = {{10, 1}, {11, 2}, {12, 3}, {13, 4}, {14, 5}, {15, 6}, {16, 7}, {17, 8},
                                       {0, 0},  {1, 0},  {2, 0},  {9, 0},  {18, 0}, {20, 0}, {-1, 0}};
  for (const auto& c : codes) EXPECT_EQ(frame::SizeCommandOffset(c.first), c.second) << "hit code " << c.first;

  struct Case {
    int y, caption;
    bool expected;
  };
  for (const Case& c : {Case{0, 30, true}, Case{29, 30, true}, Case{30, 30, false}, Case{-1, 30, false},
                        Case{500, frame::kNoCaption, true}, Case{0, 0, false}}) {
    EXPECT_EQ(frame::InCaptionBand(c.y, c.caption), c.expected) << "y " << c.y << " band " << c.caption;
  }
}

TEST(FrameRules, MaximizeAndRestoreRectangles) {
  struct Max {
    const char* name;
    Rect work;
    int maxW, maxH;
    Rect expected;
  };
  const Max maxCases[] = {
      {"work area no bigger than the maximum: all of it", {0, 0, 1280, 1024}, 1280, 1024, {0, 0, 1280, 1024}},
      {"larger both ways: centred at the maximum size", {0, 0, 1280, 1024}, 1000, 800, {140, 112, 1140, 912}},
      {"larger one way only", {0, 0, 1280, 1024}, 1280, 1000, {0, 12, 1280, 1012}},
      {"odd surplus: still exactly the maximum size", {0, 0, 1281, 1024}, 1280, 1024, {0, 0, 1280, 1024}},
      {"work area that does not start at the origin", {100, 50, 1380, 1074}, 1000, 1024, {240, 50, 1240, 1074}},
      {"work area smaller than the maximum", {0, 0, 800, 600}, 1280, 1024, {0, 0, 800, 600}},
  };
  for (const Max& c : maxCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(frame::MaximizedRect(c.work, c.maxW, c.maxH), c.expected);
  }

  struct Restore {
    const char* name;
    Rect work;
    Rect expected;
  };
  const Restore restoreCases[] = {
      {"an eighth off each side", {0, 0, 1280, 1024}, {160, 128, 1120, 896}},
      {"eighths truncate", {0, 0, 1366, 728}, {170, 91, 1196, 637}},
      {"a taskbar on the left or top: the rectangle stays inside the work area",
       {100, 40, 1380, 1064}, {260, 168, 1220, 936}},
  };
  for (const Restore& c : restoreCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(frame::InitialRestoreRect(c.work), c.expected);
  }
}

TEST(FrameRules, CaptionIconAndTextPlaces) {
  // Band 30, font height -11: text at y 8, icon at y 7.
  EXPECT_EQ(frame::CaptionIconPos(4, 30), (Point{4, 7}));
  EXPECT_EQ(frame::CaptionTextY(30, -11), 8);
  EXPECT_EQ(frame::CaptionIconPos(3, frame::kNoCaption), (Point{3, 6}));

  // Text x: 5 past the border, 21 with an icon.
  EXPECT_EQ(frame::CaptionTextX(4, false), 9);
  EXPECT_EQ(frame::CaptionTextX(4, true), 25);
  EXPECT_EQ(frame::CaptionTextX(0, false), 5);

  struct Case {
    const char* name;
    int caption, lfHeight, expected;
  };
  const Case cases[] = {
      {"positive height counts by its size", 30, 11, 8},
      {"even band rest", 30, -12, 7},
      {"no band: a negative half becomes 6", frame::kNoCaption, -11, 4},
      {"band 0: a negative half becomes 6", 0, -12, 4},
      {"font as high as the band", 30, -31, -2},
      {"half of -1 truncates to 0, which is not negative", 30, -32, -2},
      {"half of -2 is -1: becomes 6", 30, -33, 4},
      {"no overflow on an absurd height", 30, -2147483647 - 1, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(frame::CaptionTextY(c.caption, c.lfHeight), c.expected);
  }
}

TEST(FrameRules, CaptionButtonsLineUpRightToLeft) {
  // Close 33 x 28, maximize and minimize 27 x 27, from x 395.
  const std::vector<frame::ButtonBox> boxes = {{33, 28, 0}, {27, 27, 0}, {27, 27, 1}};
  EXPECT_EQ(frame::LayoutCaptionButtons(395, 0, boxes),
            (std::vector<Rect>{{362, 0, 395, 28}, {335, 0, 362, 27}, {308, 1, 335, 28}}));
  EXPECT_EQ(frame::LayoutCaptionButtons(395, 2, boxes),
            (std::vector<Rect>{{362, 0, 395, 28}, {333, 0, 360, 27}, {304, 1, 331, 28}}));
  EXPECT_TRUE(frame::LayoutCaptionButtons(395, 0, {}).empty());
}
