// Decisions of the host window that need no window: where the tabs of the
// caption strip and their close buttons lie and which of them a point hits,
// which areas a new or closed tab repaints, where the caption controls and
// the shown tab go, how small the host may become, which tab is current after
// a close, the command line of a tab process, reading the account-server text
// that a tab process sends, and the question asked before closing a tab.
// No Windows calls in here, so the rules are tested and fuzzed directly; the
// host window applies them to its real windows and messages.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace tabs {

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;   // exclusive
  int bottom = 0;  // exclusive
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

inline bool operator==(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator!=(const Rect& a, const Rect& b) { return !(a == b); }

// A host holds at most this many tabs; a further login is refused.
constexpr int kMaxTabs = 3;

// The strip lies in the 30-pixel caption band, right of the frame's icon and
// title. Every tab image is 189 x 22 pixels, its close button 13 x 13.
constexpr int kStripLeft = 120;
constexpr int kTabWidth = 189;
constexpr int kTabTop = 3;
constexpr int kTabBottom = 25;

// ---------------------------------------------------------------------------
// Strip geometry, in client pixels, for tab i (0-based).

Rect TabRect(int i);         // the tab's background image
Rect TabCaptionRect(int i);  // its account-server text, cut at the right edge
Rect TabCloseRect(int i);    // its close button, drawn only while the tab is hot

struct StripHitResult {
  bool onStrip = false;
  int tab = -1;  // valid when onStrip
  // On that tab's close button. The hover rule (y < 16) and the press rule
  // (y <= 15) are the same test for whole pixels, so this one answer serves
  // hover, press and release alike.
  bool onCloseButton = false;
};

// Which part of the strip of `tabCount` tabs the client point (x, y) hits.
// The strip runs from 120 (exclusive: a point at x = 120 is the frame's, not
// tab 0's) to 120 + 189 * tabCount (exclusive), y from 3 to 24.
StripHitResult StripHit(int x, int y, int tabCount);

// ---------------------------------------------------------------------------
// Repainting.

// After a new tab was appended: the strip up to the end of the last tab
// (`tabCount` counts the new one).
Rect NewTabInvalidRect(int tabCount);
// After a tab was closed: the strip up to the end of the tab that stood last
// before (`tabCountAfter` is the count without the closed tab).
Rect ClosedTabInvalidRect(int tabCountAfter);

// ---------------------------------------------------------------------------
// Layout.

// The host's own caption controls, placed from the right edge of a client
// area `clientWidth` wide: left of the frame's close, maximize and minimize
// buttons come hide, sound and "系统", then after an 8-pixel gap the
// "登录其他账号" link.
struct CaptionLayout {
  Rect hide;      // 1001
  Rect sound;     // 1002
  Rect system;    // 1003
  Rect addLogin;  // 1005
};
CaptionLayout LayoutCaptionControls(int clientWidth);

// Where the shown tab window and the game list window sit: the client area
// without the 30-pixel caption band and the 4-pixel border on the left,
// right and bottom. Never negative in size (the host starts 1 x 1 pixel).
Rect ContentArea(int clientWidth, int clientHeight);

// Raises a proposed window size to the least that shows `tabCount` tabs and
// the caption controls: 189 * tabCount + 483 wide and 260 high. A host
// without tabs (still 1 x 1 while the first login runs) has no minimum.
// Answers true when it changed either value.
bool RaiseToMinimumSize(int tabCount, int* width, int* height);

// The tab that becomes current when tab `closedIndex` of `tabCount` is
// closed: the one that moves into its place, or the new last one when the
// closed tab was the last. -1 when no tab remains or the index is not a tab.
int CurrentTabAfterClose(int closedIndex, int tabCount);

// ---------------------------------------------------------------------------
// Talking to tab processes.

// The command line that starts a tab process:
//   <program> /newgm /<host window> /<tab count>
// `hostWindow` is the host's handle as the 32-bit value that window handles
// carry between processes (sign-extended again on the other side); `tabCount`
// is the number of tabs the host has now. A program path containing blanks is
// quoted, since the tab process splits its command line by blanks and would
// otherwise not find "/newgm" in its first argument. Answers false, with an
// empty `out`, when the whole line and its terminator do not fit in
// `outChars` characters: a cut-off line would start the wrong thing.
bool BuildTabCommandLine(const wchar_t* programPath, std::int32_t hostWindow, int tabCount,
                         wchar_t* out, std::size_t outChars);

// The account-server text that names one login: the server, "服-", a middle
// text (the server's area), "-", the account. The tab's login builds it, the
// host compares it whole and shows it as the tab's caption.
std::wstring BuildAccountServerText(const std::wstring& server, const std::wstring& middle,
                                    const std::wstring& account);

// The longest account-server text the host accepts, in UTF-16 units.
// Server and account names are a few dozen characters, and a percent-encoded
// login text is decoded through a 256-byte buffer by the tab's login window,
// so real texts stay far below this; anything longer is not a login of ours
// and would only be cut off in the 160-pixel caption.
constexpr std::size_t kMaxAccountServerChars = 1024;

// Reads the account-server text from the payload of a WM_COPYDATA (lpData,
// cbData). The payload comes from another process, so nothing beyond `bytes`
// is read: the text ends at the first zero UTF-16 unit within them. Refused
// (false, `out` empty): a null pointer, an odd byte count, no terminating
// zero within `bytes`, an empty text, or one longer than
// kMaxAccountServerChars. The units are kept as they are; the host compares
// whole texts and shows them, it does not interpret them.
bool ReadAccountServerText(const void* data, std::size_t bytes, std::wstring* out);

// The question asked before tab `caption` is closed while other tabs remain.
std::wstring TabCloseQuestion(const std::wstring& caption);

}  // namespace tabs
