#include "host/TabRules.h"

#include <cstring>

namespace tabs {

namespace {

// Close button of a tab: 13 x 13 at its top-right corner.
constexpr int kCloseLeft = 176;  // from the tab's left edge
constexpr int kCloseBottom = 16;
// Caption text of a tab: right of the person symbol, up to the close button.
constexpr int kCaptionLeft = 16;
constexpr int kCaptionTop = 8;
constexpr int kCaptionBottom = 22;

// Frame border and caption band around the content area.
constexpr int kBorder = 4;
constexpr int kCaptionBand = 30;

// Least host size: the strip plus the caption controls and frame buttons.
constexpr int kMinWidthBesideTabs = 483;
constexpr int kMinHeight = 260;

int TabLeft(int i) { return kStripLeft + kTabWidth * i; }

// Appends `text` to the line being built; false when it would not leave room
// for the terminator.
bool Append(const wchar_t* text, std::size_t n, wchar_t* out, std::size_t outChars,
            std::size_t* used) {
  if (n >= outChars - *used) return false;
  std::memcpy(out + *used, text, n * sizeof(wchar_t));
  *used += n;
  return true;
}

// Signed decimal, without relying on the C library's wide formatting.
bool AppendDecimal(std::int64_t value, wchar_t* out, std::size_t outChars, std::size_t* used) {
  wchar_t digits[24];
  std::size_t n = 0;
  const bool negative = value < 0;
  std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value)
                                     : static_cast<std::uint64_t>(value);
  do {
    digits[sizeof(digits) / sizeof(digits[0]) - 1 - n++] = static_cast<wchar_t>(L'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  if (negative) digits[sizeof(digits) / sizeof(digits[0]) - 1 - n++] = L'-';
  return Append(digits + sizeof(digits) / sizeof(digits[0]) - n, n, out, outChars, used);
}

}  // namespace

Rect TabRect(int i) { return Rect{TabLeft(i), kTabTop, TabLeft(i) + kTabWidth, kTabBottom}; }

Rect TabCaptionRect(int i) {
  return Rect{TabLeft(i) + kCaptionLeft, kCaptionTop, TabLeft(i) + kCloseLeft, kCaptionBottom};
}

Rect TabCloseRect(int i) {
  return Rect{TabLeft(i) + kCloseLeft, kTabTop, TabLeft(i) + kTabWidth, kCloseBottom};
}

StripHitResult StripHit(int x, int y, int tabCount) {
  StripHitResult hit;
  // 64-bit, so that no tab count can wrap the strip's end around.
  const std::int64_t stripEnd = kStripLeft + std::int64_t{kTabWidth} * tabCount;
  if (y < kTabTop || y >= kTabBottom || x <= kStripLeft || x >= stripEnd) return hit;
  hit.onStrip = true;
  hit.tab = (x - kStripLeft) / kTabWidth;
  const std::int64_t closeLeft = kStripLeft + kCloseLeft + std::int64_t{kTabWidth} * hit.tab;
  hit.onCloseButton = x >= closeLeft && x < closeLeft + (kTabWidth - kCloseLeft) && y < kCloseBottom;
  return hit;
}

Rect NewTabInvalidRect(int tabCount) {
  return Rect{kStripLeft, kTabTop, TabLeft(tabCount), kTabBottom};
}

Rect ClosedTabInvalidRect(int tabCountAfter) {
  // Up to the end of the tab one further right than the ones that remain:
  // the place where the last tab was drawn before.
  return Rect{kStripLeft, kTabTop, TabLeft(tabCountAfter + 1), kTabBottom};
}

CaptionLayout LayoutCaptionControls(int cx) {
  CaptionLayout c;
  c.hide = Rect{cx - 114, 0, cx - 114 + 27, 27};
  c.sound = Rect{cx - 141, 0, cx - 141 + 27, 27};
  c.system = Rect{cx - 185, 0, cx - 185 + 44, 28};
  c.addLogin = Rect{cx - 285, 7, cx - 285 + 92, 7 + 16};
  return c;
}

Rect ContentArea(int clientWidth, int clientHeight) {
  const int width = clientWidth - 2 * kBorder;
  const int height = clientHeight - kCaptionBand - kBorder;
  return Rect{kBorder, kCaptionBand, kBorder + (width > 0 ? width : 0),
              kCaptionBand + (height > 0 ? height : 0)};
}

bool RaiseToMinimumSize(int tabCount, int* width, int* height) {
  if (tabCount <= 0) return false;
  const std::int64_t wanted = std::int64_t{kTabWidth} * tabCount + kMinWidthBesideTabs;
  const int minWidth = wanted < INT32_MAX ? static_cast<int>(wanted) : INT32_MAX;
  bool changed = false;
  if (*width < minWidth) *width = minWidth, changed = true;
  if (*height < kMinHeight) *height = kMinHeight, changed = true;
  return changed;
}

int CurrentTabAfterClose(int closedIndex, int tabCount) {
  if (closedIndex < 0 || closedIndex >= tabCount || tabCount < 2) return -1;
  const int lastAfter = tabCount - 2;
  return closedIndex < lastAfter ? closedIndex : lastAfter;
}

bool BuildTabCommandLine(const wchar_t* programPath, std::int32_t hostWindow, int tabCount,
                         wchar_t* out, std::size_t outChars) {
  if (!out || !outChars) return false;
  out[0] = 0;
  if (!programPath || !*programPath) return false;
  const std::size_t pathChars = std::wcslen(programPath);
  const bool quote = std::wcspbrk(programPath, L" \t") != nullptr;
  std::size_t used = 0;
  const bool fits = (!quote || Append(L"\"", 1, out, outChars, &used)) &&
                    Append(programPath, pathChars, out, outChars, &used) &&
                    (!quote || Append(L"\"", 1, out, outChars, &used)) &&
                    Append(L" /newgm /", 9, out, outChars, &used) &&
                    AppendDecimal(hostWindow, out, outChars, &used) &&
                    Append(L" /", 2, out, outChars, &used) &&
                    AppendDecimal(tabCount, out, outChars, &used);
  out[fits ? used : 0] = 0;
  return fits;
}

std::wstring BuildAccountServerText(const std::wstring& server, const std::wstring& middle,
                                    const std::wstring& account) {
  return server + L"服-" + middle + L"-" + account;
}

bool ReadAccountServerText(const void* data, std::size_t bytes, std::wstring* out) {
  if (!out) return false;
  out->clear();
  if (!data || bytes % 2 != 0) return false;
  const unsigned char* p = static_cast<const unsigned char*>(data);
  // Never look further than the payload, nor further than one unit past the
  // longest text we take: a text that runs on there is refused either way.
  const std::size_t units = bytes / 2;
  const std::size_t scan = units < kMaxAccountServerChars + 1 ? units : kMaxAccountServerChars + 1;
  std::size_t length = 0;
  for (; length < scan; ++length) {
    char16_t unit;  // copied, since nothing promises the payload is aligned
    std::memcpy(&unit, p + 2 * length, 2);
    if (!unit) break;
  }
  if (length == scan || length == 0) return false;
  out->resize(length);
  for (std::size_t i = 0; i < length; ++i) {
    char16_t unit;
    std::memcpy(&unit, p + 2 * i, 2);
    (*out)[i] = static_cast<wchar_t>(unit);
  }
  return true;
}

std::wstring TabCloseQuestion(const std::wstring& caption) {
  return L"确定要退出账号：" + caption + L" ?";
}

}  // namespace tabs
