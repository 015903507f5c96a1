// Forced into GoogleTest and the test programs (see tests/CMakeLists.txt).
// This mingw uses the win32 thread model, whose C++ library has no std::mutex
// or std::condition_variable; GoogleTest needs them only for its Notification
// class, which this header supplies on a Windows event instead.
#pragma once
#include <windows.h>

namespace testing {
namespace internal {

class Notification {
 public:
  Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~Notification() { CloseHandle(event_); }
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;
  void Notify() { SetEvent(event_); }
  void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

 private:
  HANDLE event_;
};

}  // namespace internal
}  // namespace testing
