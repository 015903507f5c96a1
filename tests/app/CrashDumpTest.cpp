// The crash handler, exercised by a helper process that really crashes.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "Support.h"
#include "app/CrashDump.h"

namespace {

// The exception code recorded in a minidump file, or 0 when the file is not
// a minidump with an exception stream.
DWORD DumpExceptionCode(const std::wstring& path) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (f == INVALID_HANDLE_VALUE) return 0;
  std::vector<char> data(GetFileSize(f, nullptr));
  DWORD got = 0;
  ReadFile(f, data.data(), static_cast<DWORD>(data.size()), &got, nullptr);
  CloseHandle(f);
  // MINIDUMP_HEADER: Signature 'MDMP', Version, NumberOfStreams, StreamDirectoryRva.
  auto u32 = [&](size_t at) -> DWORD {
    if (at + 4 > data.size()) return 0;
    DWORD v;
    memcpy(&v, data.data() + at, 4);
    return v;
  };
  if (u32(0) != 0x504D444D) return 0;
  const DWORD streams = u32(8), dir = u32(12);
  for (DWORD i = 0; i < streams; ++i) {
    const size_t entry = dir + i * 12;  // StreamType, DataSize, Rva
    if (u32(entry) == 6) {              // ExceptionStream
      // MINIDUMP_EXCEPTION_STREAM: ThreadId, alignment, then ExceptionCode.
      return u32(u32(entry + 8) + 8);
    }
  }
  return 0;
}

struct CrashFolder {
  std::wstring dir = test::MakeTempDir(L"crash");
  std::wstring exe = dir + L"\\crashy.exe";
  std::wstring dump = dir + L"\\crashy.dmp";
  CrashFolder() { CopyFileW((test::ExeDir() + L"helper_crasher.exe").c_str(), exe.c_str(), FALSE); }
  ~CrashFolder() { test::RemoveTree(dir); }
  test::ProcessResult Crash(const wchar_t* how) {
    return test::Run(L"\"" + exe + L"\" " + how, 60000);
  }
};

TEST(CrashDump, DumpPathReplacesTheFileExtension) {
  struct Case {
    const wchar_t* exe;
    const wchar_t* dump;  // nullptr: no dump path
  } cases[] = {
      {L"C:\\Games\\LgTarvo.exe", L"C:\\Games\\LgTarvo.dmp"},
      {L"C:\\a.b\\LgTarvo.x.exe", L"C:\\a.b\\LgTarvo.x.dmp"},
      {L"C:\\a.b\\LgTarvo", nullptr},  // a dot in a folder name is not an extension
      {L"LgTarvo", nullptr},
      {L"C:\\LgTarvo.", L"C:\\LgTarvo.dmp"},
  };
  for (const Case& c : cases) {
    wchar_t out[MAX_PATH];
    const bool made = MakeDumpPath(c.exe, out, MAX_PATH);
    EXPECT_EQ(made, c.dump != nullptr) << c.exe;
    if (made && c.dump) {
      EXPECT_STREQ(out, c.dump) << c.exe;
    }
  }
  // The result must fit the caller's buffer, terminator included.
  wchar_t small[8];
  EXPECT_FALSE(MakeDumpPath(L"C:\\ab.exe", small, 8));  // "C:\ab.dmp" needs 10
  EXPECT_TRUE(MakeDumpPath(L"C:\\a.exe", small, 9));
  EXPECT_STREQ(small, L"C:\\a.dmp");
}

TEST(CrashDump, CrashWritesDumpBesideTheExecutable) {
  CrashFolder f;
  const test::ProcessResult r = f.Crash(L"access");
  ASSERT_TRUE(r.started);
  EXPECT_FALSE(r.timedOut);
  EXPECT_EQ(r.exitCode, 0xC0000005u) << "the system still ends the process as usual";
  EXPECT_EQ(DumpExceptionCode(f.dump), 0xC0000005u);
}

TEST(CrashDump, SecondExceptionOfAProcessWritesNothing) {
  CrashFolder f;
  const test::ProcessResult r = f.Crash(L"twice");
  ASSERT_TRUE(r.started);
  EXPECT_EQ(r.exitCode, 0xC0000005u);
  EXPECT_EQ(DumpExceptionCode(f.dump + L".first"), 0xE0000001u);
  EXPECT_FALSE(test::FileExists(f.dump));
}

TEST(CrashDump, LaterCrashOfAnotherProcessOverwritesTheDump) {
  CrashFolder f;
  f.Crash(L"access");
  ASSERT_EQ(DumpExceptionCode(f.dump), 0xC0000005u);
  f.Crash(L"raise");
  EXPECT_EQ(DumpExceptionCode(f.dump), 0xE0000042u);
}

}  // namespace
