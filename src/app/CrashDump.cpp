#include "app/CrashDump.h"

#include <dbghelp.h>

#include <cwchar>

#include "common/Constants.h"
#include "framework/Scoped.h"

namespace {

// Set once the first dump is written; a second crash of the process writes nothing.
volatile bool DumpWritten = false;

using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE,
                                          PMINIDUMP_EXCEPTION_INFORMATION,
                                          PMINIDUMP_USER_STREAM_INFORMATION,
                                          PMINIDUMP_CALLBACK_INFORMATION);

// Richest first; older DbgHelp versions refuse flags they do not know.
constexpr MINIDUMP_TYPE kDumpTypes[] = {
    static_cast<MINIDUMP_TYPE>(MiniDumpWithDataSegs | MiniDumpWithHandleData |
                               MiniDumpWithUnloadedModules | MiniDumpWithPrivateReadWriteMemory |
                               MiniDumpWithFullMemoryInfo | MiniDumpWithThreadInfo),  // 0x1A25
    static_cast<MINIDUMP_TYPE>(MiniDumpWithDataSegs | MiniDumpWithHandleData |
                               MiniDumpWithUnloadedModules |
                               MiniDumpWithPrivateReadWriteMemory),  // 0x225
    MiniDumpNormal,
};

}  // namespace

void InstallCrashHandler() { SetUnhandledExceptionFilter(CrashFilter); }

bool MakeDumpPath(const wchar_t* exePath, wchar_t* out, size_t outChars) {
  // Only a dot in the file name counts: a dot in a folder name must not
  // send the dump next to that folder.
  const wchar_t* name = std::wcsrchr(exePath, L'\\');
  name = name ? name + 1 : exePath;
  const wchar_t* dot = std::wcsrchr(name, L'.');
  if (!dot) return false;
  const size_t stem = static_cast<size_t>(dot - exePath);
  constexpr wchar_t kExt[] = L".dmp";
  if (stem + ARRAYSIZE(kExt) > outChars) return false;
  std::wmemcpy(out, exePath, stem);
  std::wmemcpy(out + stem, kExt, ARRAYSIZE(kExt));
  return true;
}

LONG WINAPI CrashFilter(EXCEPTION_POINTERS* exception) {
  if (DumpWritten) return EXCEPTION_EXECUTE_HANDLER;

  wchar_t exePath[kPathChars];
  const DWORD n = GetModuleFileNameW(nullptr, exePath, kPathChars);
  // A truncated path would name some other file.
  if (n == 0 || n >= static_cast<DWORD>(kPathChars)) return EXCEPTION_CONTINUE_SEARCH;
  wchar_t dumpPath[kPathChars];
  if (!MakeDumpPath(exePath, dumpPath, kPathChars)) return EXCEPTION_CONTINUE_SEARCH;

  {
    fw::ScopedHandle file(CreateFileW(dumpPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) WriteMiniDump(file.get(), exception);
  }
  DumpWritten = true;
  return EXCEPTION_CONTINUE_SEARCH;
}

void WriteMiniDump(HANDLE file, EXCEPTION_POINTERS* exception) {
  fw::ScopedModule dbghelp(LoadLibraryW(L"DbgHelp.dll"));
  if (!dbghelp) return;
  auto write = reinterpret_cast<MiniDumpWriteDumpFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(dbghelp.get(), "MiniDumpWriteDump")));
  if (!write) return;

  MINIDUMP_EXCEPTION_INFORMATION info{};
  info.ThreadId = GetCurrentThreadId();
  info.ExceptionPointers = exception;
  info.ClientPointers = TRUE;
  for (MINIDUMP_TYPE type : kDumpTypes) {
    if (write(GetCurrentProcess(), GetCurrentProcessId(), file, type, &info, nullptr, nullptr)) {
      break;
    }
  }
}
