// Crash dumps: an unhandled exception in any launcher process leaves a
// minidump beside the executable (same name, extension ".dmp"), then the
// system ends the process as usual. Installed first thing at start-up.
#pragma once
#include <windows.h>

void InstallCrashHandler();

// The unhandled-exception filter. Answers EXCEPTION_CONTINUE_SEARCH after
// writing the dump, and EXCEPTION_EXECUTE_HANDLER at once for any later
// exception of the same process, so only the first crash is written.
LONG WINAPI CrashFilter(EXCEPTION_POINTERS* exception);

// Writes a minidump of this process into `file`, trying richer dump types
// first. Does nothing when DbgHelp or its MiniDumpWriteDump is missing.
void WriteMiniDump(HANDLE file, EXCEPTION_POINTERS* exception);

// Builds the dump path for `exePath` into `out` (room for `outChars`):
// the file name's extension replaced by ".dmp". False when the file name has
// no extension or the result does not fit.
bool MakeDumpPath(const wchar_t* exePath, wchar_t* out, size_t outChars);
