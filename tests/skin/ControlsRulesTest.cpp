// The window-free rules of the skinned button, label and progress bar.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "skin/ControlRules.h"

namespace {

using Lines = std::vector<std::wstring>;

// A measure with made-up glyph widths: 'W' is 30 pixels, ideographs 12,
// everything else 10.
int FakeWidth(const std::wstring& s) {
  int w = 0;
  for (wchar_t c : s) w += c == L'W' ? 30 : (c >= 0x4E00 && c <= 0x9FFF) ? 12 : 10;
  return w;
}

TEST(ControlRules, ButtonState) {
  struct Case {
    bool disabled, selected, latch, hover;
    int index;
    bool latchAfter;
  } cases[] = {
      {false, false, false, false, ctl::kStateNormal, false},
      {false, false, false, true, ctl::kStateHover, false},
      {false, true, false, false, ctl::kStatePressed, true},   // pressing sets the latch
      {false, true, false, true, ctl::kStatePressed, true},
      {false, false, true, false, ctl::kStatePressed, true},   // mouse dragged off: still pressed
      {false, false, true, true, ctl::kStatePressed, true},
      {true, false, false, true, ctl::kStateDisabled, false},  // disabled wins over hover...
      {true, true, false, false, ctl::kStateDisabled, false},  // ...and over the press
      {true, false, true, false, ctl::kStateDisabled, true},   // the latch waits for the button-up
  };
  for (const Case& c : cases) {
    const ctl::ButtonStateChoice got = ctl::ChooseButtonState(c.disabled, c.selected, c.latch, c.hover);
    EXPECT_EQ(got.index, c.index) << c.disabled << c.selected << c.latch << c.hover;
    EXPECT_EQ(got.pressedLatch, c.latchAfter) << c.disabled << c.selected << c.latch << c.hover;
  }
}

TEST(ControlRules, LabelLineBreaking) {
  struct Case {
    const wchar_t* name;
    std::wstring text;
    int width;
    Lines lines;
  } cases[] = {
      {L"CR LF makes two lines, CR dropped", L"ab\r\ncd", 100, {L"ab", L"cd"}},
      {L"empty text is one empty line", L"", 100, {L""}},
      {L"only CRs", L"\r\r", 100, {L""}},
      {L"LF alone", L"\n", 100, {L"", L""}},
      {L"LF at the end", L"abc\n", 100, {L"abc", L""}},
      {L"blank lines kept", L"a\n\nb", 100, {L"a", L"", L"b"}},
      {L"exact fit stays", L"abcdef", 30, {L"abc", L"def"}},
      {L"one pixel less", L"abcdef", 29, {L"ab", L"cd", L"ef"}},
      {L"Chinese breaks at any character", L"一二三四五六七八九十", 50,
       {L"一二三四", L"五六七八", L"九十"}},
      {L"blanks are ordinary characters", L"ab cd", 30, {L"ab ", L"cd"}},
      {L"wrap then LF", L"abcd\nef", 30, {L"abc", L"d", L"ef"}},
      {L"too-wide character on its own line", L"aWb", 20, {L"a", L"W", L"b"}},
      {L"too-wide character first", L"Wa", 20, {L"W", L"a"}},
      {L"zero width: one character a line", L"ab", 0, {L"a", L"b"}},
  };
  for (const Case& c : cases) {
    const ctl::LabelLines got = ctl::BreakLabelText(c.text, c.width, 14, 3, FakeWidth);
    EXPECT_EQ(got.lines, c.lines) << c.name;
    const int n = static_cast<int>(c.lines.size());
    EXPECT_EQ(got.height, 14 + (n - 1) * 17) << c.name;
  }
}

TEST(ControlRules, LabelBreakingEndsForAnyWidth) {
  // Widths where nothing fits must still end, one character a line.
  const std::wstring text(500, L'W');
  for (int width : {-5, 0, 1, 29}) {
    const ctl::LabelLines got = ctl::BreakLabelText(text, width, 10, 0, FakeWidth);
    ASSERT_EQ(got.lines.size(), text.size()) << width;
    EXPECT_EQ(got.height, 500 * 10) << width;
  }
}

TEST(ControlRules, LabelHeight) {
  struct Case {
    int lines, lineHeight, space, height;
  } cases[] = {
      {1, 17, 3, 17}, {2, 17, 3, 37}, {5, 12, 0, 60}, {0, 17, 3, 17}, {3, 10, -2, 26},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ctl::LabelHeight(c.lines, c.lineHeight, c.space), c.height)
        << c.lines << " lines of " << c.lineHeight << " + " << c.space;
}

TEST(ControlRules, ProgressFillColumns) {
  struct Case {
    const char* name;
    int barWidth, lower, upper, pos;
    int width, left, rightSource, right;
  } cases[] = {
      {"half of 390", 390, 0, 100, 50, 195, 97, 292, 98},
      {"nothing at 0", 390, 0, 100, 0, 0, 0, 390, 0},
      {"whole image at the top", 390, 0, 100, 100, 390, 195, 195, 195},
      {"one step", 390, 0, 100, 1, 3, 1, 388, 2},
      {"truncated, not rounded", 390, 0, 100, 99, 386, 193, 197, 193},
      {"lower bound counts", 390, 50, 150, 100, 195, 97, 292, 98},
      {"negative range", 390, -100, 0, -50, 195, 97, 292, 98},
      {"empty range", 390, 5, 5, 5, 0, 0, 390, 0},
      {"reversed range", 390, 100, 0, 50, 0, 0, 390, 0},
      {"above the range", 390, 0, 100, 150, 390, 195, 195, 195},
      {"below the range", 390, 0, 100, -7, 0, 0, 390, 0},
      {"huge range, no overflow", 390, 0, INT_MAX, INT_MAX, 390, 195, 195, 195},
      {"full 32-bit span", 390, INT_MIN, INT_MAX, 0, 195, 97, 292, 98},
      {"no fill image", 0, 0, 100, 50, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    const ctl::ProgressFill f = ctl::ComputeProgressFill(c.barWidth, c.lower, c.upper, c.pos);
    EXPECT_EQ(f.width, c.width) << c.name;
    EXPECT_EQ(f.leftColumns, c.left) << c.name;
    EXPECT_EQ(f.rightColumns, c.right) << c.name;
    if (f.rightColumns > 0) {
      EXPECT_EQ(f.rightSource, c.rightSource) << c.name;
    }
    // The two pieces make the fill and never read outside the image.
    EXPECT_EQ(f.leftColumns + f.rightColumns, f.width) << c.name;
    EXPECT_LE(f.rightSource + f.rightColumns, c.barWidth > 0 ? c.barWidth : 0) << c.name;
  }
}

}  // namespace
