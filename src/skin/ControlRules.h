// Decisions of the skinned button, label and progress bar that need no
// window: which state image a button shows, how a label's text is broken
// into lines, and which columns of the fill image a progress bar shows.
// No Windows calls in here, so the rules are tested and fuzzed directly.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace ctl {

// The four images of a button strip, left to right.
enum ButtonState : int {
  kStateNormal = 0,
  kStateHover = 1,
  kStatePressed = 2,
  kStateDisabled = 3,
};

struct ButtonStateChoice {
  int index = kStateNormal;
  // The pressed look stays until the left button comes up (or the button
  // loses the mouse capture), even while the mouse is off the button and the
  // button itself no longer reports itself selected.
  bool pressedLatch = false;
};

// `disabled`: ODS_DISABLED or ODS_GRAYED; `selected`: ODS_SELECTED.
ButtonStateChoice ChooseButtonState(bool disabled, bool selected, bool pressedLatch, bool hover);

// Width in pixels of a piece of one line of label text, as the label's font
// draws it.
using TextMeasure = std::function<int(const std::wstring& line)>;

struct LabelLines {
  std::vector<std::wstring> lines;  // in drawing order; at least one (maybe empty)
  int height = 0;                   // pixels the label needs to show them all
};

// Breaks `text` for a label whose lines are `lineWidth` pixels wide and
// `lineHeight` pixels high, `lineSpace` pixels apart. A line feed ends a line
// (a carriage return is dropped); otherwise a line takes characters while it
// fits, with no hyphenation and no preference for blanks (Chinese text has
// none). A character that does not fit even on an empty line gets a line of
// its own and is clipped when drawn, so every character moves the text on.
LabelLines BreakLabelText(const std::wstring& text, int lineWidth, int lineHeight, int lineSpace,
                          const TextMeasure& measure);

// Height of `lines` lines (at least one): L + (lines - 1) * (L + space).
int LabelHeight(int lines, int lineHeight, int lineSpace);

// The fill of the progress bar: `width` pixels of the bar, made of the fill
// image's first `leftColumns` columns followed by its last `rightColumns`
// columns (from column `rightSource`), so both rounded ends always show.
struct ProgressFill {
  int width = 0;
  int leftColumns = 0;
  int rightSource = 0;
  int rightColumns = 0;
};

// `barWidth` is the fill image's width; `pos` is clamped into [lower, upper].
// An empty or reversed range (upper <= lower) shows no fill.
ProgressFill ComputeProgressFill(int barWidth, int lower, int upper, int pos);

}  // namespace ctl
