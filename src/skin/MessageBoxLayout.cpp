#include "skin/MessageBoxLayout.h"

namespace msgbox {

namespace {

bool HasTwoButtons(unsigned type) { return type == kTypeOkCancel || type == kTypeYesNo; }

}  // namespace

std::vector<BoxButton> ButtonsOf(unsigned type) {
  switch (type) {
    case kTypeYesNo: return {{kIdButton1, L"是", kResultYes}, {kIdButton2, L"否", kResultNo}};
    case kTypeOkCancel:
      return {{kIdButton1, L"确定", kResultOk}, {kIdButton2, L"取消", kResultCancel}};
    default: return {{kIdButton1, L"确定", kResultOk}};
  }
}

int CommandResult(unsigned type, int id) {
  const bool yesNo = type == kTypeYesNo;
  if (id == kIdButton1) return yesNo ? kResultYes : kResultOk;
  if (id == kIdButton2) return yesNo ? kResultNo : kResultCancel;
  return 0;
}

int CountLines(std::wstring_view text) {
  int lines = 1;
  for (wchar_t c : text)
    if (c == L'\n') ++lines;
  return lines;
}

Size WindowSize(int tw, int th, int lines, int bw, int bh) {
  const int buttonsWidth = 2 * bw;
  Size s;
  s.cx = (buttonsWidth >= tw ? buttonsWidth : tw) + 2 * kSideMargin;
  s.cy = kLineGap * lines + 90 + th + bh;
  return s;
}

std::vector<frame::Rect> ButtonRects(unsigned type, int cw, int ch, int bw, int bh) {
  const int bottom = ch - kButtonBottom;
  const int top = bottom - bh;
  if (!HasTwoButtons(type)) {
    const int left = (cw - bw) / 2;
    return {frame::Rect{left, top, left + bw, bottom}};
  }
  const int firstRight = cw / 2 - kButtonGap / 2;
  const frame::Rect first{firstRight - bw, top, firstRight, bottom};
  const int shift = bw + kButtonGap;
  return {first, frame::Rect{first.left + shift, top, first.right + shift, bottom}};
}

std::vector<Line> MessageLines(std::wstring_view text, int cw, int tw, int th) {
  std::vector<Line> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t feed = text.find(L'\n', start);
    if (feed == std::wstring_view::npos) {
      // What follows the last feed; nothing when the text ended with one
      // (an empty message still has its one, empty, line).
      if (start < text.size() || lines.empty())
        lines.push_back(Line{start, text.size() - start, {}});
      break;
    }
    lines.push_back(Line{start, feed - start, {}});
    start = feed + 1;
  }
  const int lineHeight = th / static_cast<int>(lines.size());
  const int left = (cw - tw) / 2;
  int top = kTextTop;
  for (Line& line : lines) {
    line.rect = frame::Rect{left, top, left + tw, top + lineHeight};
    top += lineHeight + kLineGap;
  }
  return lines;
}

std::wstring CopyText(std::wstring_view caption, std::wstring_view text, unsigned type) {
  const std::wstring_view rule = L"---------------------------\r\n";
  std::wstring out;
  out.append(rule).append(caption).append(L"\r\n");
  out.append(rule).append(text).append(L"\r\n");
  out.append(rule);
  for (const BoxButton& b : ButtonsOf(type)) out.append(b.text).append(L"   ");
  out.append(L"\r\n").append(rule);
  return out;
}

}  // namespace msgbox
