#include "app/StartMode.h"

#include <cwchar>

namespace {

// Host-window values have room for 15 characters and tab counts for 7
// (the buffers the host's command line was designed for).
constexpr int kHostWindowChars = 15;
constexpr int kTabCountChars = 7;

struct Switch {
  const wchar_t* text;
  StartMode mode;
};

// In the order they are tried.
constexpr Switch kSwitches[] = {
    {L"/ChannelD", StartMode::ChannelShortcut}, {L"/LgTarvoD", StartMode::DesktopShortcut},
    {L"/uninst", StartMode::Uninstall},         {L"/update", StartMode::Update},
    {L"/newgm", StartMode::GameTab},            {L"/gmhall", StartMode::GameList},
};

wchar_t AsciiLower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c; }

bool EqualsNoCase(const wchar_t* a, const wchar_t* b) {
  for (; *a && *b; ++a, ++b) {
    if (AsciiLower(*a) != AsciiLower(*b)) return false;
  }
  return *a == *b;
}

}  // namespace

std::int32_t ParseSlashNumber(const wchar_t* arg, int maxChars) {
  if (!arg || arg[0] != L'/') return 0;
  if (std::wcslen(arg) > static_cast<std::size_t>(maxChars)) return 0;
  const wchar_t* p = arg + 1;
  while (*p == L' ' || *p == L'\t') ++p;
  bool negative = false;
  if (*p == L'+' || *p == L'-') negative = (*p++ == L'-');
  std::int64_t value = 0;
  for (; *p >= L'0' && *p <= L'9'; ++p) {
    value = value * 10 + (*p - L'0');
    if (value > INT32_MAX + std::int64_t{1}) return 0;  // cannot be a window or a count
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return 0;
  return static_cast<std::int32_t>(value);
}

StartArgs ParseSwitches(int argc, const wchar_t* const* argv, bool* matched) {
  StartArgs args;
  *matched = false;
  if (argc < 2 || !argv || !argv[1]) return args;
  for (const Switch& s : kSwitches) {
    if (!EqualsNoCase(argv[1], s.text)) continue;
    *matched = true;
    args.mode = s.mode;
    if (s.mode == StartMode::GameTab || s.mode == StartMode::GameList) {
      args.hostWindow = ParseSlashNumber(argc > 2 ? argv[2] : nullptr, kHostWindowChars);
    }
    if (s.mode == StartMode::GameTab) {
      args.hostTabCount = ParseSlashNumber(argc > 3 ? argv[3] : nullptr, kTabCountChars);
    }
    break;
  }
  return args;
}

bool IsInsideInstallFolder(const wchar_t* programPathUpper, const wchar_t* installFolderUpper) {
  // An empty folder name would be found in every path.
  if (!programPathUpper || !installFolderUpper || !*installFolderUpper) return false;
  return std::wcsstr(programPathUpper, installFolderUpper) != nullptr;
}
