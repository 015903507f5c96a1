// Command lines of every shape, split by the system's own rules, through the
// start-mode parser; and the install-folder test.
#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "app/StartMode.h"

namespace {

struct Parsed {
  bool matched;
  StartArgs args;
};

Parsed ParseLine(const std::wstring& line) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(line.c_str(), &argc);
  Parsed p{};
  p.args = ParseSwitches(argc, argv, &p.matched);
  LocalFree(argv);
  return p;
}

TEST(StartMode, CommandLines) {
  const std::wstring longPath = L"C:\\" + std::wstring(5000, L'x') + L"\\LgTarvo.exe";
  struct Case {
    std::wstring line;  // after the program name
    bool matched;
    StartMode mode;
    std::intptr_t host;
    std::int32_t tabs;
  } cases[] = {
      {L"", false, StartMode::Install, 0, 0},
      {L"/ChannelD", true, StartMode::ChannelShortcut, 0, 0},
      {L"/CHANNELD", true, StartMode::ChannelShortcut, 0, 0},
      {L"/channeld extra args", true, StartMode::ChannelShortcut, 0, 0},
      {L"/LgTarvoD", true, StartMode::DesktopShortcut, 0, 0},
      {L"/Lgtarvod", true, StartMode::DesktopShortcut, 0, 0},
      {L"/uninst", true, StartMode::Uninstall, 0, 0},
      {L"/Uninst", true, StartMode::Uninstall, 0, 0},
      {L"/UPDATE /newgm /5 /1", true, StartMode::Update, 0, 0},
      {L"\"/update\"", true, StartMode::Update, 0, 0},
      {L"/newgm /1234 /0", true, StartMode::GameTab, 1234, 0},
      {L"/NewGm /1234 /2", true, StartMode::GameTab, 1234, 2},
      {L"/newgm /-5 /-1", true, StartMode::GameTab, -5, -1},
      {L"/newgm", true, StartMode::GameTab, 0, 0},
      {L"/newgm /77", true, StartMode::GameTab, 77, 0},
      {L"/newgm /12ab /3x", true, StartMode::GameTab, 12, 3},
      {L"/newgm /abc /", true, StartMode::GameTab, 0, 0},
      {L"/newgm 1234 2", true, StartMode::GameTab, 0, 0},  // no slash: malformed
      {L"/newgm /123456789012345 /1234567", true, StartMode::GameTab, 0, 0},  // one character too long each
      {L"/newgm /12345678901234 /123456", true, StartMode::GameTab, 0, 123456},  // too big for a window
      {L"/newgm /2147483647 /0", true, StartMode::GameTab, 2147483647, 0},
      {L"/newgm /-2147483648 /0", true, StartMode::GameTab, -2147483647 - 1, 0},
      {L"/newgm /1234567890123456 /12345678", true, StartMode::GameTab, 0, 0},  // overlong
      {L"/newgm \"/12 34\" \"/5\"", true, StartMode::GameTab, 12, 5},
      {L"/newgm /" + std::wstring(100000, L'9') + L" /1", true, StartMode::GameTab, 0, 1},
      {L"/gmhall /4321", true, StartMode::GameList, 4321, 0},
      {L"/GMHALL /4321 /9", true, StartMode::GameList, 4321, 0},
      {L"/gmhall", true, StartMode::GameList, 0, 0},
      {L"/gmhall \"", true, StartMode::GameList, 0, 0},
      {L"/newgmx /1 /1", false, StartMode::Install, 0, 0},
      {L"newgm /1 /1", false, StartMode::Install, 0, 0},
      {L"/", false, StartMode::Install, 0, 0},
      {L"\"\"", false, StartMode::Install, 0, 0},
      {L"\"unterminated /newgm", false, StartMode::Install, 0, 0},
      {L"/ＣhannelD", false, StartMode::Install, 0, 0},  // full-width letter is not the switch
      {longPath, false, StartMode::Install, 0, 0},
  };
  for (const Case& c : cases) {
    const std::wstring line = L"\"C:\\Program Files\\LgTarvo.exe\" " + c.line;
    const Parsed p = ParseLine(line);
    const std::wstring shown = c.line.substr(0, 60);
    SCOPED_TRACE(testing::Message() << "command line: " << std::string(shown.begin(), shown.end()));
    EXPECT_EQ(p.matched, c.matched);
    EXPECT_EQ(static_cast<int>(p.args.mode), static_cast<int>(c.mode));
    EXPECT_EQ(p.args.hostWindow, c.host);
    EXPECT_EQ(p.args.hostTabCount, c.tabs);
  }
}

TEST(StartMode, NoArgumentVectorAtAll) {
  bool matched = true;
  const StartArgs a = ParseSwitches(0, nullptr, &matched);
  EXPECT_FALSE(matched);
  EXPECT_EQ(a.mode, StartMode::Install);
}

TEST(StartMode, InstallFolderMustOccurWhole) {
  const wchar_t* folder = L"C:\\PROGRAMDATA\\TARVO\\GAMELOGIN";
  struct Case {
    const wchar_t* program;
    bool inside;
  } cases[] = {
      {L"C:\\PROGRAMDATA\\TARVO\\GAMELOGIN\\LGTARVO.EXE", true},
      {L"\\\\?\\C:\\PROGRAMDATA\\TARVO\\GAMELOGIN\\SUB\\X.EXE", true},
      {L"D:\\PROGRAMDATA\\TARVO\\GAMELOGIN\\LGTARVO.EXE", false},  // other drive
      {L"C:\\USERS\\A\\TARVO\\GAMELOGIN\\LGTARVO.EXE", false},     // other parent
      {L"C:\\PROGRAMDATA\\TARVO\\GAMELOGI\\LGTARVO.EXE", false},
      {L"C:\\DOWNLOADS\\LGTARVO.EXE", false},
      {L"", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsInsideInstallFolder(c.program, folder), c.inside) << testing::PrintToString(std::wstring(c.program));
  }
  // Without a folder name nothing is inside it.
  EXPECT_FALSE(IsInsideInstallFolder(L"C:\\X.EXE", L""));
}

}  // namespace
