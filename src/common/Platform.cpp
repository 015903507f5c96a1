#include "common/Platform.h"

#include <windows.h>

namespace platform {
namespace {

constexpr wchar_t kOverrideVariable[] = L"LGTARVO_PLATFORM_HOST";

// Read once: the environment does not change under a running launcher.
const wchar_t* Override() {
  static wchar_t host[128];
  static const bool present = [] {
    DWORD n = GetEnvironmentVariableW(kOverrideVariable, host, ARRAYSIZE(host));
    // Empty, unset or too long for the buffer: no override.
    return n > 0 && n < ARRAYSIZE(host);
  }();
  return present ? host : nullptr;
}

const wchar_t* Pick(const wchar_t* real) {
  const wchar_t* local = Override();
  return local ? local : real;
}

}  // namespace

const wchar_t* GameSiteHost() { return Pick(L"game.tarvo.example"); }
const wchar_t* ClientServiceHost() { return Pick(L"client.tarvo.example"); }
const wchar_t* GameHallSite() { return Pick(L"hall.tarvo.example"); }

}  // namespace platform
