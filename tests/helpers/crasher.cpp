// Crashes on request, with the launcher's crash handler installed.
//   crasher access    write through a null pointer (0xC0000005)
//   crasher raise     raise the exception 0xE0000042
//   crasher twice     pass an exception to the handler (as if a first crash
//                     happened), move that dump to <name>.first, then crash
//                     for real: the second crash must write nothing.
#include <windows.h>

#include <cwchar>
#include <string>

#include "app/CrashDump.h"

namespace {

void CrashByAccess() {
  volatile int* nowhere = nullptr;
  *nowhere = 1;
}

std::wstring DumpPath() {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  wchar_t dump[MAX_PATH];
  MakeDumpPath(exe, dump, MAX_PATH);
  return dump;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  InstallCrashHandler();
  const wchar_t* how = argc > 1 ? argv[1] : L"access";
  if (!wcscmp(how, L"raise")) {
    RaiseException(0xE0000042, EXCEPTION_NONCONTINUABLE, 0, nullptr);
  } else if (!wcscmp(how, L"twice")) {
    EXCEPTION_RECORD record{};
    record.ExceptionCode = 0xE0000001;
    CONTEXT context{};
    RtlCaptureContext(&context);
    EXCEPTION_POINTERS pointers{&record, &context};
    if (CrashFilter(&pointers) != EXCEPTION_CONTINUE_SEARCH) return 2;
    const std::wstring dump = DumpPath();
    if (!MoveFileW(dump.c_str(), (dump + L".first").c_str())) return 3;
    CrashByAccess();
  } else {
    CrashByAccess();
  }
  return 1;  // not reached
}
