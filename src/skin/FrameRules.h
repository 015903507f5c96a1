// Decisions of the skinned window frame that need no window: how a skin
// image's pixels become a colour-keyed bitmap, which pixels of a window's
// corners are cut away, which pieces of the skin are copied where when the
// background is painted, what the frame answers to a hit test, where the
// frame maximizes and restores to, and where the caption's icon, text and
// buttons sit. No Windows calls in here, so the rules are tested and fuzzed
// directly; DlgEx.cpp and SkinImage.cpp apply them to real windows and bitmaps.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace frame {

struct Point {
  int x = 0;
  int y = 0;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

inline bool operator==(const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; }
inline bool operator!=(const Point& a, const Point& b) { return !(a == b); }
inline bool operator==(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator!=(const Rect& a, const Rect& b) { return !(a == b); }

// A rectangle from its top-left corner and size.
inline Rect RectAt(int x, int y, int width, int height) {
  return Rect{x, y, x + width, y + height};
}

// ---------------------------------------------------------------------------
// Keyed pixels.
//
// Source pixels are 32-bit ARGB values as GDI+ locks them (0xAARRGGBB);
// target pixels are those of a 32-bit DIB: blue, green, red and a fourth byte
// that is always 0 (0x00RRGGBB).

// The key colour, magenta, as a DIB pixel.
constexpr uint32_t kKeyPixel = 0x00FF00FFu;

// One pixel: opaque ones keep their colour, fully transparent ones become
// `key`, partly transparent ones are composed over white with integer
// arithmetic: (a * (c - 255) + 65025) / 255 per channel.
uint32_t KeyedPixel(uint32_t argb, uint32_t key = kKeyPixel);

// Converts a whole image. `top` points at the image's top row, rows are
// `stride` bytes apart (negative when the rows lie bottom-up in memory, as
// GDI+ may report), each row `width` ARGB pixels. `dib` receives the rows of
// a bottom-up DIB of the same size: image row i goes to DIB row
// height - 1 - i, so the picture shows upright.
void ConvertKeyedRows(const uint8_t* top, std::ptrdiff_t stride, int width, int height,
                      uint32_t* dib, uint32_t key = kKeyPixel);

// ---------------------------------------------------------------------------
// Window corners.

// Side of the square in each corner of the skin image that is looked at.
constexpr int kCornerSquare = 9;

// Answers whether the skin image shows the key colour at (x, y).
using KeyTest = std::function<bool(int x, int y)>;

// The window pixels to cut out of a `windowW` x `windowH` window whose skin
// image is `imageW` x `imageH`: each key-coloured pixel of the image's four
// 9 x 9 corner squares maps to the same place in the window's corresponding
// corner, whatever the window's size. An image smaller than 9 pixels has all
// its rows (or columns) looked at, for the top and again for the bottom
// corners. Pixels that fall outside the window are left out; a pixel may be
// listed twice when corner squares overlap.
std::vector<Point> CornerCutPixels(int windowW, int windowH, int imageW, int imageH,
                                   const KeyTest& isKey);

// ---------------------------------------------------------------------------
// Background painting.

// One copy from the skin image to the window: 1:1 when both rectangles have
// the same size, stretched otherwise.
struct Blit {
  Rect dst;
  Rect src;
  bool Stretched() const { return dst.Width() != src.Width() || dst.Height() != src.Height(); }
};

// The caption band height that means "no band".
constexpr int kNoCaption = -1;

// The copies that paint a `windowW` x `windowH` window from an `imageW` x
// `imageH` skin with border `border` and caption band `caption` (kNoCaption
// for none), in painting order:
// - stretched skins are nine parts: fixed corners, stretched edges and
//   centre; with a caption band the top row of parts is the band's height;
// - unstretched skins are copied 1:1 (as far as the image reaches), then the
//   top-right corner and the stretched right edge are put at the window's
//   right;
// - in both cases the bottom row of parts follows.
// Parts that would have no pixels, or a negative size (a window or an image
// narrower than its two borders), are left out: stretching to or from a
// negative size would mirror the picture.
std::vector<Blit> BackgroundBlits(int windowW, int windowH, int imageW, int imageH, int border,
                                  int caption, bool stretch);

// ---------------------------------------------------------------------------
// Hit testing. The values are those of the Windows hit-test codes.

enum class Hit : int {
  kDefault = 0,  // no answer of the frame: the window's default handling decides
  kCaption = 2,
  kLeft = 10,
  kRight = 11,
  kTop = 12,
  kTopLeft = 13,
  kTopRight = 14,
  kBottom = 15,
  kBottomLeft = 16,
  kBottomRight = 17,
};

struct HitFrame {
  bool maximized = false;
  bool resizable = false;
  int caption = kNoCaption;  // band height
  int border = 0;            // width of the resize bands at the sides and bottom
  int clientW = 0;
  int clientH = 0;
};

// Height of the resize band at the top of a resizable window, whatever its border.
constexpr int kTopResizeBand = 3;

// What the frame answers for a point in client coordinates. A maximized
// window leaves everything to the default (no dragging, no resizing). A
// fixed-size window drags from its caption band, or from everywhere when it
// has no band (a band of 0 never drags). A resizable window answers resize
// bands at its sides and corners, a 3-pixel top band, the caption band below
// it, and the bottom band.
Hit FrameHitTest(const HitFrame& frame, Point client);

// True when `y` (client coordinates) lies in the caption band; everywhere
// when there is no band.
bool InCaptionBand(int y, int caption);

// The n of SC_SIZE + n that starts sizing from a resize band (1 left,
// 2 right, 3 top, 4 top-left, 5 top-right, 6 bottom, 7 bottom-left,
// 8 bottom-right); 0 for any other hit-test code.
int SizeCommandOffset(int hitCode);

// ---------------------------------------------------------------------------
// Maximize and restore.

// The frame's maximized rectangle: the work area, cut down to the largest
// size in each direction where it is bigger, and centred there (an odd
// surplus leaves the extra pixel on the right or bottom side).
Rect MaximizedRect(const Rect& workArea, int maxWidth, int maxHeight);

// Where a window restores to before the user has moved or sized it: the work
// area shrunk by an eighth of its width and height on each side.
Rect InitialRestoreRect(const Rect& workArea);

// ---------------------------------------------------------------------------
// Caption band.

// Size of the small icon in the band.
constexpr int kCaptionIconSize = 16;

// Top-left of the small icon: at the border, 6 pixels down without a band,
// else centred in the band ((band - 15) / 2).
Point CaptionIconPos(int border, int caption);

// Left of the caption text: 5 pixels past the border, 16 more after an icon.
int CaptionTextX(int border, bool iconDrawn);

// Top of the caption text for a font of height `lfHeight` (LOGFONT units:
// its magnitude counts): ((band + 1 - |lfHeight|) / 2) - 2, where a negative
// half becomes 6 (so the text sits 4 pixels down in a window without a band).
int CaptionTextY(int caption, int lfHeight);

// One caption button as it stands: its size and the top of its window.
struct ButtonBox {
  int width = 0;
  int height = 0;
  int top = 0;
};

// Places caption buttons right to left (close, maximize, minimize): the
// first one's right edge at `right`, each next one `gap` pixels left of the
// one before. Returns one rectangle (client coordinates) per box, in order.
std::vector<Rect> LayoutCaptionButtons(int right, int gap, const std::vector<ButtonBox>& boxes);

}  // namespace frame
