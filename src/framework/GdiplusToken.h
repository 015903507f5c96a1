// GDI+ start-up for the life of an object. Kept apart from Scoped.h because it
// pulls in the GDI+ headers and needs gdiplus linked.
#pragma once
#include <windows.h>
#include <gdiplus.h>

namespace fw {

class GdiplusToken {
 public:
  GdiplusToken() {
    Gdiplus::GdiplusStartupInput input;
    ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
  }
  // GDI+ objects must all be deleted before this runs (GdiplusShutdown documentation).
  ~GdiplusToken() {
    if (ok_) Gdiplus::GdiplusShutdown(token_);
  }
  GdiplusToken(const GdiplusToken&) = delete;
  GdiplusToken& operator=(const GdiplusToken&) = delete;

  bool ok() const { return ok_; }
  ULONG_PTR get() const { return token_; }

 private:
  ULONG_PTR token_ = 0;
  bool ok_ = false;
};

}  // namespace fw
