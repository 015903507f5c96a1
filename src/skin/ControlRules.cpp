#include "skin/ControlRules.h"

#include <algorithm>
#include <cstdint>

namespace ctl {

ButtonStateChoice ChooseButtonState(bool disabled, bool selected, bool pressedLatch, bool hover) {
  if (disabled) return {kStateDisabled, pressedLatch};
  if (selected || pressedLatch) return {kStatePressed, true};
  return {hover ? kStateHover : kStateNormal, false};
}

int LabelHeight(int lines, int lineHeight, int lineSpace) {
  lines = std::max(lines, 1);
  return lineHeight + (lines - 1) * (lineHeight + lineSpace);
}

LabelLines BreakLabelText(const std::wstring& text, int lineWidth, int lineHeight, int lineSpace,
                          const TextMeasure& measure) {
  LabelLines out;
  std::wstring line;
  for (wchar_t c : text) {
    if (c == L'\r') continue;
    if (c == L'\n') {
      out.lines.push_back(std::move(line));
      line.clear();
      continue;
    }
    line.push_back(c);
    if (line.size() > 1 && measure(line) > lineWidth) {
      // The character goes to the next line. On an empty line it stays even
      // when it is too wide: moving it on again would never end.
      line.pop_back();
      out.lines.push_back(std::move(line));
      line.assign(1, c);
    }
  }
  out.lines.push_back(std::move(line));
  out.height = LabelHeight(static_cast<int>(out.lines.size()), lineHeight, lineSpace);
  return out;
}

ProgressFill ComputeProgressFill(int barWidth, int lower, int upper, int pos) {
  ProgressFill fill;
  if (barWidth <= 0 || upper <= lower) return fill;
  pos = std::clamp(pos, lower, upper);
  // Exact integer arithmetic: the share of the bar that the position has
  // reached, truncated. 64 bits: a 32-bit range times a bar width overflows.
  const std::int64_t range = static_cast<std::int64_t>(upper) - lower;
  const std::int64_t done = static_cast<std::int64_t>(pos) - lower;
  fill.width = static_cast<int>(barWidth * done / range);
  fill.leftColumns = fill.width / 2;
  fill.rightColumns = fill.width - fill.leftColumns;
  fill.rightSource = barWidth - fill.rightColumns;
  return fill;
}

}  // namespace ctl
