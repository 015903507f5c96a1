#include <windows.h>

#include "app/Tavrix3App.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  return theApp.Main(instance);
}
