// Decisions of the skinned message box that need no window: which buttons a
// box type has and what each answers, how big the window is for a measured
// message, where the buttons sit and where each line of the message is
// drawn. No Windows calls in here, so the rules are tested directly;
// MessageBox.cpp applies them to the real dialog.
//
// Sizes in pixels. tw x th is the whole message as DrawText measures it
// (DT_CALCRECT, no word break); bw x bh is one state of the push button strip.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "skin/FrameRules.h"

namespace msgbox {

// Box types: the values of the system's MB_OK, MB_OKCANCEL and MB_YESNO. Any
// type other than the last two is a box with one OK button.
constexpr unsigned kTypeOk = 0;
constexpr unsigned kTypeOkCancel = 1;
constexpr unsigned kTypeYesNo = 4;

// Answers: the system's IDOK, IDCANCEL, IDYES and IDNO.
constexpr int kResultOk = 1;
constexpr int kResultCancel = 2;
constexpr int kResultYes = 6;
constexpr int kResultNo = 7;

// Control ids of the first and the second button.
constexpr int kIdButton1 = 5000;
constexpr int kIdButton2 = 5001;

// The frame of the box: caption band and border of the light skin; the close
// button sits in the top-right corner with no margin.
constexpr int kCaptionHeight = 30;
constexpr int kBorder = 4;

// One state of the push button strip as drawn for the launcher. A box whose
// strip is missing still gets buttons of this size, showing only their text,
// so every answer stays within reach.
constexpr int kFallbackButtonWidth = 57;
constexpr int kFallbackButtonHeight = 23;

constexpr int kSideMargin = 30;    // left and right of the wider of message and buttons
constexpr int kTextTop = 55;       // top of the first message line
constexpr int kLineGap = 3;        // between message lines
constexpr int kButtonBottom = 30;  // from the buttons' bottom edge to the window's
constexpr int kButtonGap = 20;     // between two buttons, centred on the middle

struct Size {
  int cx = 0;
  int cy = 0;
};

// One button of a box: its control id, its text and the box's answer when it
// is clicked.
struct BoxButton {
  int id = 0;
  const wchar_t* text = L"";
  int result = 0;
};

// The buttons of `type`, first button first: "是"/"否" for Yes/No,
// "确定"/"取消" for OK/Cancel, and "确定" alone for every other type.
std::vector<BoxButton> ButtonsOf(unsigned type);

// The answer to a WM_COMMAND from control `id`: the first button answers
// Yes for a Yes/No box and OK otherwise, the second No for a Yes/No box and
// Cancel otherwise; 0 for any other id (not a button of the box).
int CommandResult(unsigned type, int id);

// Lines of `text` as the window's height counts them: one more per line feed
// (so a message ending with a line feed counts a line it never draws).
int CountLines(std::wstring_view text);

// The window's size: 2 x bw + 60 wide when that is at least tw, else tw +
// 60; 3 x lines + 90 + th + bh high.
Size WindowSize(int tw, int th, int lines, int bw, int bh);

// Where the buttons of `type` sit in a client area of cw x ch, in the order
// of ButtonsOf: bottom edge at ch - 30, bw x bh each; two buttons 20 pixels
// apart around the middle (the first one's right edge at cw / 2 - 10), one
// button centred.
std::vector<frame::Rect> ButtonRects(unsigned type, int cw, int ch, int bw, int bh);

// One line of the message as it is drawn: `length` characters of the text
// from `start`, drawn left-aligned at the top of `rect`.
struct Line {
  std::size_t start = 0;
  std::size_t length = 0;
  frame::Rect rect;
};

// The lines drawn for `text` in a client area `cw` wide. The text is cut at
// each line feed (the feed itself is not drawn; a carriage return before it
// stays with its line); text after the last feed is one more line, and a
// message ending with a line feed draws no line after it. The block of lines
// is tw wide, centred, starting at y 55; each line is th / (lines drawn)
// high and the next one starts 3 pixels below it. An empty message is one
// empty line.
//
// The height is shared out among the lines that are drawn, not among those
// the window's height counts: DrawText does not measure a trailing line
// feed as a line, so counting it here would make every line too low and
// clip its glyphs.
std::vector<Line> MessageLines(std::wstring_view text, int cw, int tw, int th);

// What Ctrl+C puts on the clipboard, laid out as people know it from the
// system's message boxes: caption, message and the button texts, each
// between rules of dashes, lines ending in CR LF.
std::wstring CopyText(std::wstring_view caption, std::wstring_view text, unsigned type);

}  // namespace msgbox
