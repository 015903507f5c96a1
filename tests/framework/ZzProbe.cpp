#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>
#include "Support.h"
TEST(Probe, Counts) {
  auto p = [](const char* t) { ULONGLONG t0 = GetTickCount64(); auto c = test::CountGuiObjects(); printf("%s gdi=%lu user=%lu handles=%lu (%llu ms)\n", t, c.gdi, c.user, c.handles, GetTickCount64() - t0); };
  p("start");
  HWND w = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 10, 10, w, nullptr, nullptr, nullptr);
  HWND m = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr, nullptr, nullptr);
  HANDLE e = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HBITMAP b = CreateBitmap(2,2,1,1,nullptr);
  p("created");
  DestroyWindow(w); DestroyWindow(m); CloseHandle(e); DeleteObject(b);
  p("destroyed");
}
