#include "skin/FrameRules.h"

#include <cstring>

namespace frame {

namespace {

// One colour channel of a partly transparent pixel, composed over white.
// a * (c - 255) lies in [-65025, 0], so the sum never goes negative and the
// division truncates like the integer division it is meant to be.
uint32_t OverWhite(uint32_t a, uint32_t c) {
  const int v = (static_cast<int>(a) * (static_cast<int>(c) - 255) + 65025) / 255;
  return static_cast<uint32_t>(v);
}

void AddIfPositive(std::vector<Blit>& out, const Rect& dst, const Rect& src) {
  if (dst.Width() <= 0 || dst.Height() <= 0 || src.Width() <= 0 || src.Height() <= 0) return;
  out.push_back(Blit{dst, src});
}

int Min(int a, int b) { return a < b ? a : b; }

}  // namespace

uint32_t KeyedPixel(uint32_t argb, uint32_t key) {
  const uint32_t a = argb >> 24;
  if (a == 255) return argb & 0x00FFFFFFu;
  if (a == 0) return key & 0x00FFFFFFu;
  const uint32_t r = OverWhite(a, (argb >> 16) & 0xFF);
  const uint32_t g = OverWhite(a, (argb >> 8) & 0xFF);
  const uint32_t b = OverWhite(a, argb & 0xFF);
  return (r << 16) | (g << 8) | b;
}

void ConvertKeyedRows(const uint8_t* top, std::ptrdiff_t stride, int width, int height,
                      uint32_t* dib, uint32_t key) {
  if (!top || !dib || width <= 0 || height <= 0) return;
  for (int i = 0; i < height; ++i) {
    const uint8_t* row = top + static_cast<std::ptrdiff_t>(i) * stride;
    uint32_t* out =
        dib + static_cast<std::size_t>(height - 1 - i) * static_cast<std::size_t>(width);
    for (int j = 0; j < width; ++j) {
      uint32_t argb;
      std::memcpy(&argb, row + static_cast<std::size_t>(j) * 4, sizeof argb);
      out[j] = KeyedPixel(argb, key);
    }
  }
}

std::vector<Point> CornerCutPixels(int windowW, int windowH, int imageW, int imageH,
                                   const KeyTest& isKey) {
  std::vector<Point> cut;
  if (windowW <= 0 || windowH <= 0 || imageW <= 0 || imageH <= 0 || !isKey) return cut;
  auto add = [&](int x, int y) {
    if (x >= 0 && x < windowW && y >= 0 && y < windowH) cut.push_back(Point{x, y});
  };
  const int columns = Min(imageW, kCornerSquare);
  // Top corners: the image's first rows map to the window's first rows.
  for (int y = 0; y < Min(imageH, kCornerSquare); ++y) {
    for (int x = 0; x < columns; ++x) {
      if (isKey(x, y)) add(x, y);
      if (isKey(imageW - 1 - x, y)) add(windowW - 1 - x, y);
    }
  }
  // Bottom corners: the image's last rows map to the window's last rows.
  const int firstRow = imageH > kCornerSquare ? imageH - kCornerSquare : 0;
  for (int y = firstRow; y < imageH; ++y) {
    const int row = windowH - imageH + y;
    for (int x = 0; x < columns; ++x) {
      if (isKey(x, y)) add(x, row);
      if (isKey(imageW - 1 - x, y)) add(windowW - 1 - x, row);
    }
  }
  return cut;
}

std::vector<Blit> BackgroundBlits(int windowW, int windowH, int imageW, int imageH, int border,
                                  int caption, bool stretch) {
  std::vector<Blit> out;
  if (windowW <= 0 || windowH <= 0 || imageW <= 0 || imageH <= 0) return out;
  const int W = windowW, H = windowH, iw = imageW, ih = imageH, bw = border < 0 ? 0 : border;
  // Height of the top row of parts: the border, or the caption band.
  const int top = caption == kNoCaption ? bw : caption;
  if (stretch) {
    AddIfPositive(out, RectAt(0, 0, bw, top), RectAt(0, 0, bw, top));
    AddIfPositive(out, RectAt(bw, 0, W - 2 * bw, top), RectAt(bw, 0, iw - 2 * bw, top));
    AddIfPositive(out, RectAt(W - bw, 0, bw, top), RectAt(iw - bw, 0, bw, top));
    AddIfPositive(out, RectAt(0, top, bw, H - top - bw), RectAt(0, top, bw, ih - top - bw));
    AddIfPositive(out, RectAt(W - bw, top, bw, H - top - bw),
                  RectAt(iw - bw, top, bw, ih - top - bw));
    AddIfPositive(out, RectAt(bw, top, W - 2 * bw, H - top - bw),
                  RectAt(bw, top, iw - 2 * bw, ih - top - bw));
  } else {
    const int w = Min(W, iw), h = Min(H, ih);
    AddIfPositive(out, RectAt(0, 0, w, h), RectAt(0, 0, w, h));
    AddIfPositive(out, RectAt(W - bw, 0, bw, top), RectAt(iw - bw, 0, bw, top));
    AddIfPositive(out, RectAt(W - bw, top, bw, H - top - bw),
                  RectAt(iw - bw, top, bw, ih - top - bw));
  }
  AddIfPositive(out, RectAt(0, H - bw, bw, bw), RectAt(0, ih - bw, bw, bw));
  AddIfPositive(out, RectAt(bw, H - bw, W - 2 * bw, bw), RectAt(bw, ih - bw, iw - 2 * bw, bw));
  AddIfPositive(out, RectAt(W - bw, H - bw, bw, bw), RectAt(iw - bw, ih - bw, bw, bw));
  return out;
}

bool InCaptionBand(int y, int caption) { return caption == kNoCaption || (y >= 0 && y < caption); }

Hit FrameHitTest(const HitFrame& f, Point p) {
  if (f.maximized) return Hit::kDefault;
  if (!f.resizable) return InCaptionBand(p.y, f.caption) ? Hit::kCaption : Hit::kDefault;
  const int bw = f.border;
  const bool topBand = p.y >= 0 && p.y < bw;
  const bool bottomBand = p.y >= f.clientH - bw && p.y < f.clientH;
  if (p.x >= 0 && p.x < bw) {
    if (topBand) return Hit::kTopLeft;
    if (bottomBand) return Hit::kBottomLeft;
    return Hit::kLeft;
  }
  if (p.x >= f.clientW - bw && p.x < f.clientW) {
    if (topBand) return Hit::kTopRight;
    if (bottomBand) return Hit::kBottomRight;
    return Hit::kRight;
  }
  if (p.y >= 0 && p.y < kTopResizeBand) return Hit::kTop;
  if (f.caption == kNoCaption || (p.y >= kTopResizeBand && p.y < f.caption)) return Hit::kCaption;
  if (bottomBand) return Hit::kBottom;
  return Hit::kDefault;
}

int SizeCommandOffset(int hitCode) {
  switch (static_cast<Hit>(hitCode)) {
    case Hit::kLeft: return 1;
    case Hit::kRight: return 2;
    case Hit::kTop: return 3;
    case Hit::kTopLeft: return 4;
    case Hit::kTopRight: return 5;
    case Hit::kBottom: return 6;
    case Hit::kBottomLeft: return 7;
    case Hit::kBottomRight: return 8;
    default: return 0;
  }
}

Rect MaximizedRect(const Rect& workArea, int maxWidth, int maxHeight) {
  Rect r = workArea;
  if (r.Width() > maxWidth) {
    r.left += (r.Width() - maxWidth) / 2;
    r.right = r.left + maxWidth;
  }
  if (r.Height() > maxHeight) {
    r.top += (r.Height() - maxHeight) / 2;
    r.bottom = r.top + maxHeight;
  }
  return r;
}

Rect InitialRestoreRect(const Rect& workArea) {
  const int dx = workArea.Width() / 8;
  const int dy = workArea.Height() / 8;
  return Rect{workArea.left + dx, workArea.top + dy, workArea.right - dx, workArea.bottom - dy};
}

Point CaptionIconPos(int border, int caption) {
  return Point{border, caption == kNoCaption ? 6 : (caption - 15) / 2};
}

int CaptionTextX(int border, bool iconDrawn) {
  return border + 5 + (iconDrawn ? kCaptionIconSize : 0);
}

int CaptionTextY(int caption, int lfHeight) {
  const long long height = lfHeight < 0 ? -static_cast<long long>(lfHeight) : lfHeight;
  long long half = (static_cast<long long>(caption) + 1 - height) / 2;
  if (half < 0) half = 6;
  return static_cast<int>(half - 2);
}

std::vector<Rect> LayoutCaptionButtons(int right, int gap, const std::vector<ButtonBox>& boxes) {
  std::vector<Rect> out;
  out.reserve(boxes.size());
  int x = right;
  for (const ButtonBox& b : boxes) {
    out.push_back(Rect{x - b.width, b.top, x, b.top + b.height});
    x -= b.width + gap;
  }
  return out;
}

}  // namespace frame
