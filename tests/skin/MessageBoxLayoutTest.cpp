// The message box's layout rules without a window: window size, buttons of
// each type and where they sit, and where each line of the message goes.
// The numbers of the worked example are those of the launcher's push button
// strip (57 x 23 per state) and a one-line message of 200 x 12.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/MessageBoxLayout.h"

using frame::Rect;

namespace {

std::string Text(const Rect& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
         std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

constexpr int kBw = 57, kBh = 23;

}  // namespace

TEST(MessageBoxLayout, WindowSizeFollowsTheMessageAndTheButtons) {
  struct Case {
    const char* name;
    int tw, th, lines;
    int cx, cy;
  } cases[] = {
      {"worked example: message wider than two buttons", 200, 12, 1, 260, 128},
      {"narrow message: two button widths + 60", 100, 13, 1, 174, 129},
      {"message as wide as two buttons", 114, 13, 1, 174, 129},
      {"one pixel wider than two buttons", 115, 13, 1, 175, 129},
      {"empty message", 0, 0, 1, 174, 116},
      {"three lines: 3 pixels each", 300, 39, 3, 360, 161},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const msgbox::Size s = msgbox::WindowSize(c.tw, c.th, c.lines, kBw, kBh);
    EXPECT_EQ(s.cx, c.cx);
    EXPECT_EQ(s.cy, c.cy);
  }
}

TEST(MessageBoxLayout, LinesCountedForTheHeightAndLinesDrawn) {
  struct Case {
    const wchar_t* text;
    int counted;                      // for the window's height
    std::vector<std::wstring> drawn;  // the text of each line drawn
  } cases[] = {
      {L"", 1, {L""}},
      {L"one", 1, {L"one"}},
      {L"one\ntwo", 2, {L"one", L"two"}},
      // The carriage return stays at the end of the first line's text.
      {L"one\r\ntwo", 2, {L"one\r", L"two"}},
      // A message ending with a line feed counts a line it never draws.
      {L"one\n", 2, {L"one"}},
      {L"one\r\n", 2, {L"one\r"}},
      {L"\n", 2, {L""}},
      {L"one\n\nthree", 3, {L"one", L"", L"three"}},
      {L"one\n\n", 3, {L"one", L""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
    const std::wstring text = c.text;
    EXPECT_EQ(msgbox::CountLines(text), c.counted);
    std::vector<std::wstring> drawn;
    for (const msgbox::Line& l : msgbox::MessageLines(text, 200, 100, 13))
      drawn.push_back(text.substr(l.start, l.length));
    EXPECT_EQ(drawn, c.drawn);
  }

  // One more counted line is 3 more pixels of height, nothing else.
  const int plain = msgbox::WindowSize(100, 13, msgbox::CountLines(L"one"), kBw, kBh).cy;
  const int fed = msgbox::WindowSize(100, 13, msgbox::CountLines(L"one\n"), kBw, kBh).cy;
  EXPECT_EQ(fed, plain + 3);
}

TEST(MessageBoxLayout, MessageLineRectangles) {
  struct Case {
    const char* name;
    const wchar_t* text;
    int cw, tw, th;
    std::vector<Rect> rects;
  } cases[] = {
      {"worked example: x 30, y 55 to 67", L"single line", 260, 200, 12, {{30, 55, 230, 67}}},
      {"block centred in a window made wide by the buttons",
       L"hi",
       174,
       20,
       13,
       {{77, 55, 97, 68}}},
      {"odd surplus: the extra pixel on the right", L"hi", 175, 20, 13, {{77, 55, 97, 68}}},
      {"second line 3 pixels below the first",
       L"one\ntwo",
       174,
       20,
       26,
       {{77, 55, 97, 68}, {77, 71, 97, 84}}},
      {"empty line in the middle keeps its place",
       L"a\n\nc",
       174,
       20,
       39,
       {{77, 55, 97, 68}, {77, 71, 97, 84}, {77, 87, 97, 100}}},
      // DrawText measures "one\n" as one line of 13: the line keeps its full
      // height rather than half of it, which would clip the glyphs.
      {"trailing line feed: the drawn line is whole", L"one\n", 174, 20, 13, {{77, 55, 97, 68}}},
      {"two lines and a trailing feed",
       L"one\ntwo\n",
       174,
       20,
       26,
       {{77, 55, 97, 68}, {77, 71, 97, 84}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<msgbox::Line> lines = msgbox::MessageLines(c.text, c.cw, c.tw, c.th);
    ASSERT_EQ(lines.size(), c.rects.size());
    for (size_t i = 0; i < lines.size(); ++i)
      EXPECT_EQ(lines[i].rect, c.rects[i]) << "line " << i << " at " << Text(lines[i].rect);
  }
}

TEST(MessageBoxLayout, ButtonsOfEachType) {
  struct Case {
    unsigned type;
    std::vector<std::wstring> texts;
    std::vector<int> results;
  } cases[] = {
      {0, {L"确定"}, {msgbox::kResultOk}},
      {1, {L"确定", L"取消"}, {msgbox::kResultOk, msgbox::kResultCancel}},
      {4, {L"是", L"否"}, {msgbox::kResultYes, msgbox::kResultNo}},
      // Every other type is a box with one OK button.
      {2, {L"确定"}, {msgbox::kResultOk}},
      {3, {L"确定"}, {msgbox::kResultOk}},
      {5, {L"确定"}, {msgbox::kResultOk}},
      {0x40, {L"确定"}, {msgbox::kResultOk}},
      {0x44, {L"确定"}, {msgbox::kResultOk}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type);
    std::vector<std::wstring> texts;
    std::vector<int> ids, results;
    for (const msgbox::BoxButton& b : msgbox::ButtonsOf(c.type)) {
      texts.push_back(b.text);
      ids.push_back(b.id);
      results.push_back(b.result);
      EXPECT_EQ(msgbox::CommandResult(c.type, b.id), b.result) << "command of button " << b.id;
    }
    EXPECT_EQ(texts, c.texts);
    EXPECT_EQ(results, c.results);
    const std::vector<int> expectedIds =
        c.texts.size() == 2 ? std::vector<int>{5000, 5001} : std::vector<int>{5000};
    EXPECT_EQ(ids, expectedIds);
    EXPECT_EQ(msgbox::CommandResult(c.type, 5002), 0) << "not a button of the box";
  }
}

TEST(MessageBoxLayout, ButtonRectangles) {
  struct Case {
    const char* name;
    unsigned type;
    int cw, ch;
    std::vector<Rect> rects;
  } cases[] = {
      {"worked example, two buttons", 4, 260, 128, {{63, 75, 120, 98}, {140, 75, 197, 98}}},
      {"worked example, OK and Cancel", 1, 260, 128, {{63, 75, 120, 98}, {140, 75, 197, 98}}},
      {"worked example, single button", 0, 260, 128, {{101, 75, 158, 98}}},
      {"narrowest window: single button centred", 0, 174, 129, {{58, 76, 115, 99}}},
      {"odd width: the middle rounds down", 4, 175, 129, {{20, 76, 77, 99}, {97, 76, 154, 99}}},
      {"odd surplus for one button", 3, 175, 129, {{59, 76, 116, 99}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<Rect> rects = msgbox::ButtonRects(c.type, c.cw, c.ch, kBw, kBh);
    ASSERT_EQ(rects.size(), c.rects.size());
    for (size_t i = 0; i < rects.size(); ++i)
      EXPECT_EQ(rects[i], c.rects[i]) << "button " << i << " at " << Text(rects[i]);
  }
}
